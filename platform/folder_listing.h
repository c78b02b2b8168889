// Reading a folder in bounded batches of matching names, and deleting what was listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

// One listed file.
struct ListedEntry {
  std::string_view name;  // without folder; valid until the listing's next batch
  // POSIX: the inode number the folder listed for the name. Deleting a batch in ascending
  // order keeps the file system's inode table and bitmap accesses local, which is most of
  // the cost of a large deletion. Windows: the entry's place in its batch, so the same order
  // is the listing's.
  std::uint64_t id = 0;
};

// A batch holds at most this many entries and about this many bytes of names, so a folder
// of any size is read in the same memory.
inline constexpr std::size_t kMaxBatchEntries = 16384;
inline constexpr std::size_t kMaxBatchNameBytes = std::size_t{1} << 20;

// A stream over the ordinary files of one folder whose names match a wildcard pattern
// ("*" any run, "?" one character, letters compared ignoring case). Folders, hidden and
// system entries, and on POSIX anything but a regular file, are never listed.
class FolderListing {
 public:
  FolderListing();
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // Opens `folder` (as given: "\" and "/" both separate) for `pattern`.
  //  kDone:     the folder is open; NextBatch() gives its names.
  //  kNotThere: no such folder (on POSIX also a drive-letter path): nothing is listed.
  //  kFailed:   the folder is there but cannot be read; `reason` says why.
  OsResult Open(const std::string& folder, const std::string& pattern);

  // Replaces `*batch` with the next matching names in the file system's order. Deleting
  // listed entries does not disturb the order; each name comes once.
  //  kDone:     `*batch` holds at least one entry.
  //  kNotThere: the listing is exhausted (or was never opened); `*batch` is empty.
  //  kFailed:   reading the folder failed part-way; `reason` says why.
  OsResult NextBatch(std::vector<ListedEntry>* batch);

  // Deletes `entry` of the current batch, relative to the folder that was opened, never
  // following a link: on POSIX by its descriptor, so a renamed folder cannot redirect it, the
  // file checked as it is now immediately before it goes; on Windows the folder is held open
  // without delete sharing from Open() on, so it cannot be renamed or removed while it is
  // swept.
  //  kDone:     deleted.
  //  kNotThere: it has vanished since it was listed (on POSIX also: another file has taken
  //             its name).
  //  kFailed:   it stays: read-only (on POSIX: no write permission bit at all), no longer
  //             an ordinary file, in use, or access denied; `reason` says which.
  OsResult DeleteEntry(const ListedEntry& entry);

  // What DeleteEntry(entry) would return, found by the same checks and without deleting:
  // kDone when it would delete the entry. On Windows the entry is opened for deletion as
  // DeleteEntry opens it, so rights and other openers count too; on POSIX, where only
  // unlinking itself would meet them, kFailed also for a folder this process may not
  // change (no write permission, a read-only mount).
  OsResult WouldDeleteEntry(const ListedEntry& entry);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The full path of the entry `name` of `folder` as a person reads it: the folder as given,
// this system's separator ("\" on Windows, "/" on POSIX) and the name.
std::string EntryPath(const std::string& folder, const std::string& name);

}  // namespace tarnwell::platform
