#include "platform/folder_listing.h"

#include <windows.h>

#include "general/runtime_error.h"
#include "platform/win32/wide_string.h"

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

FolderListing::FolderListing(const std::string& folder, const std::string& pattern)
    : state_(std::make_unique<State>()) {
  state_->folder = Widen(folder);
  const std::wstring search = state_->folder + L"\\" + Widen(pattern);
  state_->find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &state_->data,
                                  FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state_->find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // No match, or a folder that vanished since it was checked: nothing to list.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ||
        error == ERROR_PATH_NOT_FOUND) {
      return;
    }
    RaiseError(kPathFileAccessError);
  }
  state_->data_unread = true;
}

FolderListing::~FolderListing() = default;

std::string FolderListing::Next() {
  State& s = *state_;
  for (;;) {
    if (s.find == INVALID_HANDLE_VALUE) return "";
    if (!s.data_unread && !FindNextFileW(s.find, &s.data)) {
      const DWORD error = GetLastError();
      FindClose(s.find);
      s.find = INVALID_HANDLE_VALUE;
      if (error != ERROR_NO_MORE_FILES) RaiseError(kPathFileAccessError);
      return "";
    }
    s.data_unread = false;
    if ((s.data.dwFileAttributes & kNotOrdinary) != 0) continue;
    return Narrow(s.data.cFileName);
  }
}

bool FolderListing::DeleteEntry(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) return false;
  const std::wstring path = state_->folder + L"\\" + Widen(name);
  return DeleteFileW(path.c_str()) != 0;
}

}  // namespace tarnwell::platform
