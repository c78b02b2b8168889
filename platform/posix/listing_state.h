// What a POSIX folder listing holds while it reads one folder: the open descriptor, the
// unread records of its last read and the current batch.
#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/batch_arena.h"
#include "platform/folder_listing.h"
#include "platform/os_result.h"

namespace tarnwell::platform {

// The longest name listed, with its NUL: a batch always has room for one more. FUSE
// file systems list names beyond NAME_MAX (exFAT's 255 UTF-16 units take up to 765 bytes);
// no call takes a name of PATH_MAX bytes or more, so such a name is never listed.
inline constexpr std::size_t kNameRoom = PATH_MAX;

struct FolderListing::State final : EntrySource {
  explicit State(std::size_t batch_bytes) : batch(batch_bytes, kNameRoom) {}
  ~State();

  int dir_fd = -1;          // -1: the folder is not there, nothing is listed
  bool subfolders = false;  // lists the sub-folders a sweep may enter, not files
  // Of a listing of sub-folders: the mount the folder lies on, which they must share; 0
  // when it could not be known, and then none is entered.
  std::uint64_t mount = 0;
  std::string pattern;
  bool star_tail = false;  // the pattern is "*" and a tail without "*"
  std::unique_ptr<char[]> read_buffer;
  std::size_t read_at = 0, read_end = 0;  // the unread records of read_buffer
  bool at_end = false;
  BatchArena batch;

  // What the preview asks of the folder, once, by whichever deleting thread comes first:
  // what unlinking any file in it would meet.
  struct FolderFacts {
    OsResult unlinking = OsResult::Done();  // a refusal for every file in the folder
    uid_t user = 0;                         // whose files this process may unlink
    bool sticky_for_others = false;         // others' files are out of reach
  };
  std::once_flag folder_facts_asked;
  FolderFacts folder_facts;

  OsResult Next(FoundEntry* found) override;
  // Back to the folder's first entry.
  OsResult Rewind();
  // Lists the files whose names match `files`.
  void SetPattern(const std::string& files);
  // Starts reading the folder open as `fd`, which it now owns.
  void Read(int fd);
  // The next raw directory record, or null at the end (or with no folder open); errno set
  // on failure.
  const dirent64* NextRecord();
  // Whether the record is a listed file (or sub-folder), its d_type confirmed where the
  // file system left it open.
  bool Lists(const dirent64& record) const;
  FolderFacts AskFolder() const;
  // kDone when the listed entry may go as far as this run can tell: something under its
  // name, a regular file, with a write bit; for a `preview` also nothing that unlinking it
  // would meet. The deletion and the preview both ask here, so they cannot disagree.
  // `name` receives the entry's name as a C string, on the stack: a heap copy would be the
  // one allocation per file. Several threads may check at once: nothing but the folder
  // facts is written, and those once. `*size`, when given, receives what the file takes.
  OsResult Check(const ListedEntry& entry, char (&name)[kNameRoom], bool preview, FileSize* size);
};

}  // namespace tarnwell::platform
