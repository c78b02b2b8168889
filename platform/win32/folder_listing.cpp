#include "platform/folder_listing.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "platform/win32/wide_string.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The longest name in UTF-8 (three bytes for each UTF-16 unit) and its NUL.
constexpr std::size_t kNameRoom = 3 * MAX_PATH + 1;

}  // namespace

struct FolderListing::State {
  ~State() {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }

  std::wstring folder;  // as given: deletions use folder "\" name
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool data_unread = false;  // `data` holds an entry NextBatch() has not looked at yet
  // The current batch's names. Allocated once and never grown, so the views handed out
  // stay put.
  std::unique_ptr<char[]> names =
      std::make_unique_for_overwrite<char[]>(kMaxBatchNameBytes + kNameRoom);
  std::size_t names_used = 0;
  // A failure met after some names of a batch: those go out first, the failure next time.
  OsResult held_failure = OsResult::Done();

  // The next listed file's name into `*name`, as the listing's single-entry calls give it.
  OsResult Next(std::string* name);
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

OsResult FolderListing::State::Next(std::string* name) {
  for (;;) {
    if (find == INVALID_HANDLE_VALUE) return OsResult::NotThere();
    if (!data_unread && !FindNextFileW(find, &data)) {
      const DWORD error = GetLastError();
      FindClose(find);
      find = INVALID_HANDLE_VALUE;
      return error == ERROR_NO_MORE_FILES ? OsResult::NotThere() : Win32Error(error);
    }
    data_unread = false;
    if ((data.dwFileAttributes & kNotOrdinary) != 0) continue;
    *name = Narrow(data.cFileName);
    return OsResult::Done();
  }
}

OsResult FolderListing::NextBatch(std::vector<ListedEntry>* batch) {
  batch->clear();
  State& s = *state_;
  if (s.held_failure.failed()) return std::exchange(s.held_failure, OsResult::NotThere());
  s.names_used = 0;
  std::string name;
  while (batch->size() < kMaxBatchEntries && s.names_used <= kMaxBatchNameBytes) {
    const OsResult next = s.Next(&name);
    if (next.failed()) {
      if (batch->empty()) return next;
      s.held_failure = next;
      break;
    }
    if (!next.done()) break;
    char* kept = s.names.get() + s.names_used;
    name.copy(kept, name.size());
    kept[name.size()] = '\0';
    s.names_used += name.size() + 1;
    batch->push_back({std::string_view(kept, name.size()), 0});
  }
  return batch->empty() ? OsResult::NotThere() : OsResult::Done();
}

OsResult FolderListing::DeleteEntry(const ListedEntry& entry) {
  const std::string_view name = entry.name;
  if (name.empty() || name.find_first_of(std::string_view("\\/\0", 3)) != std::string_view::npos) {
    return OsResult::NotThere();
  }
  const std::wstring path = state_->folder + L"\\" + Widen(name);
  if (!DeleteFileW(path.c_str())) return Win32Error(GetLastError());
  return OsResult::Done();
}

}  // namespace tarnwell::platform
