// What a Windows folder listing holds while it reads one folder: the folder held open, the
// search over it and the current batch.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/batch_arena.h"
#include "platform/folder_listing.h"
#include "platform/os_result.h"

namespace tarnwell::platform {

// The longest name in UTF-8 (three bytes for each UTF-16 unit) and its NUL, and as listed.
inline constexpr std::size_t kEntryRoom = 3 * MAX_PATH + 1 + MAX_PATH * sizeof(wchar_t);

class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  // Gives up the handle, unclosed.
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

struct FolderListing::State final : EntrySource {
  explicit State(std::size_t batch_bytes) : batch(batch_bytes, kEntryRoom) {}
  ~State() {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }

  // Held open for the whole sweep without delete sharing, so the folder cannot be renamed or
  // removed meanwhile; every deletion names its entry relative to it, never by path.
  Handle folder;
  std::wstring path;        // the folder's, ending in a separator, in its extended form
  bool subfolders = false;  // lists the sub-folders a sweep may enter, not files
  std::wstring search;      // what FindFirstFileExW was given, to read the folder again
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool data_unread = false;  // `data` holds an entry Next() has not looked at yet
  std::string name;          // the UTF-8 form of the entry Next() gave last
  // Each name is kept as given out and, beside it, as listed: a name that is not valid
  // UTF-16 does not survive the trip through UTF-8, so its deletion uses the listed form.
  BatchArena batch;

  // The next ordinary file of the listing (or sub-folder a sweep may enter).
  OsResult Next(FoundEntry* found) override;
  // Starts the search of `path` for `pattern`.
  OsResult Find(const std::wstring& pattern);
  // Back to the folder's first entry.
  OsResult Rewind();
};

}  // namespace tarnwell::platform
