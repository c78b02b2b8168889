#include "platform/folder_listing.h"

#include <windows.h>

#include "platform/win32/wide_string.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

struct FolderListing::State {
  ~State() {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }

  std::wstring folder;  // as given: deletions use folder "\" name
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool data_unread = false;  // `data` holds an entry Next() has not looked at yet
};

FolderListing::FolderListing() : state_(std::make_unique<State>()) {}

FolderListing::~FolderListing() = default;

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  state_ = std::make_unique<State>();
  state_->folder = Widen(folder);
  const std::wstring search = state_->folder + L"\\" + Widen(pattern);
  state_->find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &state_->data,
                                  FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state_->find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // No match is an empty listing, not a missing folder.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return OsResult::Done();
    return Win32Error(error);
  }
  state_->data_unread = true;
  return OsResult::Done();
}

OsResult FolderListing::Next(std::string* name) {
  State& s = *state_;
  for (;;) {
    if (s.find == INVALID_HANDLE_VALUE) return OsResult::NotThere();
    if (!s.data_unread && !FindNextFileW(s.find, &s.data)) {
      const DWORD error = GetLastError();
      FindClose(s.find);
      s.find = INVALID_HANDLE_VALUE;
      return error == ERROR_NO_MORE_FILES ? OsResult::NotThere() : Win32Error(error);
    }
    s.data_unread = false;
    if ((s.data.dwFileAttributes & kNotOrdinary) != 0) continue;
    *name = Narrow(s.data.cFileName);
    return OsResult::Done();
  }
}

OsResult FolderListing::DeleteEntry(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) return OsResult::NotThere();
  const std::wstring path = state_->folder + L"\\" + Widen(name);
  if (!DeleteFileW(path.c_str())) return Win32Error(GetLastError());
  return OsResult::Done();
}

OsResult FolderListing::WouldDeleteEntry(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) return OsResult::NotThere();
  const std::wstring path = state_->folder + L"\\" + Widen(name);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Win32Error(GetLastError());
  // DeleteFileW refuses these before it looks at anything else.
  if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Win32Error(ERROR_ACCESS_DENIED);
  }
  // Opening for deletion meets the access rights and the sharing of other openers that the
  // deletion would meet, and changes nothing.
  const HANDLE file =
      CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Win32Error(GetLastError());
  CloseHandle(file);
  return OsResult::Done();
}

std::string EntryPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

}  // namespace tarnwell::platform
