#include "platform/folder_listing.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <optional>
#include <string_view>

#include "platform/batch_arena.h"
#include "platform/wide_text.h"
#include "platform/win32/extended_path.h"
#include "platform/win32/listing_state.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What may have changed between listing and deleting: such an entry is no longer one the
// sweep would have listed, or one Windows would refuse to delete.
constexpr DWORD kNotDeletable =
    kNotOrdinary | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;

}  // namespace

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  State& state = StartReading();
  const std::wstring path = ExtendedFolderPath(Widen(folder));
  // Not FILE_FLAG_OPEN_REPARSE_POINT: a folder the user names through a link is the link's
  // target, as on Linux. Once open, nothing below it is followed.
  HANDLE opened = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return Win32Error(GetLastError());
  state.folder.reset(opened);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(opened, &info)) return Win32Error(GetLastError());
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return OsResult::NotThere();

  const std::wstring search = path + Widen(pattern);
  state.find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &state.data, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state.find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // No match is an empty listing, not a missing folder.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return OsResult::Done();
    return Win32Error(error);
  }
  state.data_unread = true;
  return OsResult::Done();
}

OsResult FolderListing::State::Next(FoundEntry* found) {
  for (;;) {
    if (find == INVALID_HANDLE_VALUE) return OsResult::NotThere();
    if (!data_unread && !FindNextFileW(find, &data)) {
      const DWORD error = GetLastError();
      FindClose(find);
      find = INVALID_HANDLE_VALUE;
      return error == ERROR_NO_MORE_FILES ? OsResult::NotThere() : Win32Error(error);
    }
    data_unread = false;
    if ((data.dwFileAttributes & kNotOrdinary) == 0) break;
  }
  name = Narrow(data.cFileName);
  const std::wstring_view listed(data.cFileName);
  *found = {name, 0,
            std::string_view(reinterpret_cast<const char*>(listed.data()),
                             listed.size() * sizeof(wchar_t))};
  return OsResult::Done();
}

namespace {

// The name of `listed` as the listing gave it, or nullopt when it can name no entry of the
// folder. A name that is not valid UTF-16 does not survive the trip through UTF-8, so an
// entry of the current batch is named in its listed form.
std::optional<std::wstring> EntryName(const BatchArena& batch, const ListedEntry& listed) {
  if (!IsEntryName(listed.name, "\\/")) return std::nullopt;
  const std::string_view form = batch.FormOf(listed);
  if (form.empty()) return Widen(listed.name);
  std::wstring wide(form.size() / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), form.data(), wide.size() * sizeof(wchar_t));
  return wide;
}

// Opens the entry `name` of the open `folder` for deletion and refuses what the deletion
// must refuse: kDone with `*file` open when only the deletion itself is left. A preview
// and the deletion both come here, so they cannot disagree.
OsResult OpenForDeletion(const Handle& folder, std::optional<std::wstring> name, Handle* file) {
  if (!folder.valid() || !name) return OsResult::NotThere();
  std::wstring& entry = *name;
  UNICODE_STRING object_name;
  object_name.Buffer = entry.data();
  object_name.Length = object_name.MaximumLength =
      static_cast<USHORT>(entry.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &object_name, OBJ_CASE_INSENSITIVE, folder.get(),
                             nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE opened = INVALID_HANDLE_VALUE;
  // Sharing as DeleteFileW asks for it: a file someone holds without delete sharing fails
  // here and stays.
  const NTSTATUS status =
      NtOpenFile(&opened, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &io,
                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 FILE_OPEN_REPARSE_POINT | FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT);
  if (status < 0) return Win32Error(RtlNtStatusToDosError(status));
  file->reset(opened);

  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(file->get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    return Win32Error(GetLastError());
  }
  if ((tag.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return OsResult::Failed(kReadOnlyReason);
  if ((tag.FileAttributes & kNotDeletable) != 0) return Win32Error(ERROR_NOT_SUPPORTED);
  return OsResult::Done();
}

}  // namespace

OsResult FolderListing::DeleteEntry(const ListedEntry& listed) {
  const State& s = *state_;
  Handle file;
  const OsResult opened = OpenForDeletion(s.folder, EntryName(s.batch, listed), &file);
  if (!opened.done()) return opened;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                  sizeof disposition)) {
    return Win32Error(GetLastError());
  }
  return OsResult::Done();
}

OsResult FolderListing::WouldDeleteEntry(const ListedEntry& listed) {
  const State& s = *state_;
  Handle file;
  return OpenForDeletion(s.folder, EntryName(s.batch, listed), &file);
}

unsigned FolderListing::MostDeletingThreads() { return 1; }

}  // namespace tarnwell::platform
