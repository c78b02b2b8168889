// Reading a folder one matching name at a time, and deleting what was listed.
#pragma once

#include <memory>
#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// A stream over the ordinary files of one folder whose names match a wildcard pattern
// ("*" any run, "?" one character, letters compared ignoring case). Folders, hidden and
// system entries, and on POSIX anything but a regular file, are never listed. Only the
// current directory entry is held, so a folder of any size reads in constant memory.
class FolderListing {
 public:
  FolderListing();
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // Opens `folder` (as given: "\" and "/" both separate) for `pattern`.
  //  kDone:     the folder is open; Next() gives its names.
  //  kNotThere: no such folder (on POSIX also a drive-letter path): nothing is listed.
  //  kFailed:   the folder is there but cannot be read; `reason` says why.
  OsResult Open(const std::string& folder, const std::string& pattern);

  // The next matching name, without folder, into `*name`. Names come in the file system's
  // order; deleting listed entries does not disturb it.
  //  kDone:     `*name` holds the name.
  //  kNotThere: the listing is exhausted (or was never opened).
  //  kFailed:   reading the folder failed part-way; `reason` says why.
  OsResult Next(std::string* name);

  // Deletes the listed entry `name` of the open folder, relative to the folder that was
  // opened, never following a link. On Windows the folder is held open without delete
  // sharing from Open() on, so it cannot be renamed or removed while it is swept.
  //  kDone:     deleted.
  //  kNotThere: it has vanished since it was listed.
  //  kFailed:   it stays: read-only (on POSIX: no write permission bit at all), no longer
  //             an ordinary file, in use, or access denied.
  OsResult DeleteEntry(const std::string& name);

  // What DeleteEntry(name) would return, found by the same checks and without deleting:
  // kDone when it would delete the entry. On Windows the entry is opened for deletion as
  // DeleteEntry opens it, so rights and other openers count too; on POSIX, where only
  // unlinking itself would meet them, kFailed also for a folder this process may not
  // change (no write permission, a read-only mount).
  OsResult WouldDeleteEntry(const std::string& name);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The full path of the entry `name` of `folder` as a person reads it: the folder as given,
// this system's separator ("\" on Windows, "/" on POSIX) and the name.
std::string EntryPath(const std::string& folder, const std::string& name);

}  // namespace tarnwell::platform
