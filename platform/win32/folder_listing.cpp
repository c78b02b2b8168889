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

// What a sub-folder a sweep enters is not: a link, a junction or a volume mount point (all
// reparse points), a hidden or system folder.
constexpr DWORD kNotEntered = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What may have changed between listing and deleting: such an entry is no longer one the
// sweep would have listed, or one Windows would refuse to delete.
constexpr DWORD kNotDeletable =
    kNotOrdinary | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;

}  // namespace

OsResult FolderListing::State::Find(const std::wstring& pattern) {
  search = path + pattern;
  find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                          FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // No match is an empty listing, not a missing folder.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return OsResult::Done();
    return Win32Error(error);
  }
  data_unread = true;
  return OsResult::Done();
}

OsResult FolderListing::State::Rewind() {
  if (!folder.valid()) return OsResult::NotThere();
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  find = INVALID_HANDLE_VALUE;
  data_unread = false;
  return Find(search.substr(path.size()));
}

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  State& state = StartReading();
  state.path = ExtendedFolderPath(Widen(folder));
  // Not FILE_FLAG_OPEN_REPARSE_POINT: a folder the user names through a link is the link's
  // target, as on Linux. Once open, nothing below it is followed.
  HANDLE opened = CreateFileW(state.path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return Win32Error(GetLastError());
  state.folder.reset(opened);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(opened, &info)) return Win32Error(GetLastError());
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return OsResult::NotThere();
  return state.Find(Widen(pattern));
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
    if (!subfolders && (data.dwFileAttributes & kNotOrdinary) == 0) break;
    const std::wstring_view listed(data.cFileName);
    if (subfolders && (data.dwFileAttributes & kNotEntered) == FILE_ATTRIBUTE_DIRECTORY &&
        listed != L"." && listed != L"..") {
      break;
    }
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

// How an entry of an open folder is opened, relative to it and never through a reparse
// point.
struct EntryOpening {
  ACCESS_MASK access;
  ULONG sharing;
  ULONG options;
};
// Sharing as DeleteFileW asks for it: a file someone holds without delete sharing fails
// and stays.
constexpr EntryOpening kDeleteFile = {
    DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
    FILE_OPEN_REPARSE_POINT | FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT};
// Held as Open() holds the folder named: without delete sharing, so it cannot be renamed
// or removed while it is swept.
constexpr EntryOpening kEnterSubfolder = {
    FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
    FILE_OPEN_REPARSE_POINT | FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT |
        FILE_OPEN_FOR_BACKUP_INTENT};

// Only looked at: any other opener's sharing is granted.
constexpr EntryOpening kLookAtFile = {
    FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
    FILE_OPEN_REPARSE_POINT | FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT};

// Opens the entry `name` of the open `folder` as `how` says, into `*opened`.
OsResult OpenEntry(const Handle& folder, std::optional<std::wstring>& name, const EntryOpening& how,
                   Handle* opened) {
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
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS status =
      NtOpenFile(&handle, how.access, &attributes, &io, how.sharing, how.options);
  // A folder now standing where a file was listed is no ordinary file, as its attributes
  // would say once open, not the "Access denied" that the status turns into.
  constexpr NTSTATUS kFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
  if (status == kFileIsADirectory) return Win32Error(ERROR_NOT_SUPPORTED);
  if (status < 0) return Win32Error(RtlNtStatusToDosError(status));
  opened->reset(handle);
  return OsResult::Done();
}

// What the open `file`, of the attributes `tag`, takes, into `*size`.
OsResult SizeOf(const Handle& file, const FILE_ATTRIBUTE_TAG_INFO& tag, FileSize* size) {
  FILE_STANDARD_INFO standard{};
  if (!GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard)) {
    return Win32Error(GetLastError());
  }
  *size = {.length = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
           .allocated = static_cast<std::uint64_t>(standard.AllocationSize.QuadPart),
           .links = standard.NumberOfLinks,
           .read_only = (tag.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0};
  return OsResult::Done();
}

// Opens the entry `name` of the open `folder` for deletion and refuses what the deletion
// must refuse: kDone with `*file` open when only the deletion itself is left. A preview
// and the deletion both come here, so they cannot disagree.
OsResult OpenForDeletion(const Handle& folder, std::optional<std::wstring> name, Handle* file,
                         FileSize* size) {
  const OsResult opened = OpenEntry(folder, name, kDeleteFile, file);
  if (!opened.done()) return opened;

  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(file->get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    return Win32Error(GetLastError());
  }
  if ((tag.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return OsResult::Failed(kReadOnlyReason);
  if ((tag.FileAttributes & kNotDeletable) != 0) return Win32Error(ERROR_NOT_SUPPORTED);
  if (size != nullptr) return SizeOf(*file, tag, size);
  return OsResult::Done();
}

}  // namespace

OsResult FolderListing::OpenSubfolders(const FolderListing& files) {
  const State& of = *files.state_;
  HANDLE held = nullptr;
  const bool open = of.folder.valid() &&
                    DuplicateHandle(GetCurrentProcess(), of.folder.get(), GetCurrentProcess(),
                                    &held, 0, FALSE, DUPLICATE_SAME_ACCESS);
  const DWORD error = GetLastError();
  const std::wstring path = of.path;
  State& state = StartReading();
  state.subfolders = true;
  if (!of.folder.valid()) return OsResult::NotThere();
  if (!open) return Win32Error(error);
  state.folder.reset(held);
  state.path = path;
  return state.Find(L"*");
}

OsResult FolderListing::OpenSubfolder(const FolderListing& folders, const ListedEntry& entry,
                                      const std::string& pattern) {
  const State& parent = *folders.state_;
  std::optional<std::wstring> name = EntryName(parent.batch, entry);
  const std::wstring parent_path = parent.path;
  Handle opened;
  const OsResult result = OpenEntry(parent.folder, name, kEnterSubfolder, &opened);
  State& state = StartReading();
  // A folder no longer is as good as gone.
  if (result.failed() && result.code == ERROR_DIRECTORY) return OsResult::NotThere();
  if (!result.done()) return result;
  // Looked at as opened, without following it: what the listing saw may have been swapped.
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(opened.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    return Win32Error(GetLastError());
  }
  if ((tag.FileAttributes & kNotEntered) != FILE_ATTRIBUTE_DIRECTORY) return OsResult::NotThere();
  state.folder.reset(opened.release());
  state.path = parent_path + *name + L"\\";
  return state.Find(Widen(pattern));
}

OsResult FolderListing::MeasureEntry(const ListedEntry& listed, FileSize* size) const {
  const State& s = *state_;
  Handle file;
  std::optional<std::wstring> name = EntryName(s.batch, listed);
  const OsResult opened = OpenEntry(s.folder, name, kLookAtFile, &file);
  if (!opened.done()) return opened;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    return Win32Error(GetLastError());
  }
  if ((tag.FileAttributes & (kNotOrdinary | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return OsResult::NotThere();
  }
  return SizeOf(file, tag, size);
}

OsResult FolderListing::Space(DiskSpace* space) const {
  if (!state_->folder.valid()) return OsResult::NotThere();
  ULARGE_INTEGER free{}, total{};
  if (!GetDiskFreeSpaceExW(state_->path.c_str(), &free, &total, nullptr)) {
    return Win32Error(GetLastError());
  }
  *space = {.free = free.QuadPart, .total = total.QuadPart};
  return OsResult::Done();
}

OsResult FolderListing::DeleteEntry(const ListedEntry& listed, FileSize* size) {
  const State& s = *state_;
  Handle file;
  const OsResult opened = OpenForDeletion(s.folder, EntryName(s.batch, listed), &file, size);
  if (!opened.done()) return opened;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                  sizeof disposition)) {
    return Win32Error(GetLastError());
  }
  return OsResult::Done();
}

OsResult FolderListing::WouldDeleteEntry(const ListedEntry& listed, FileSize* size) {
  const State& s = *state_;
  Handle file;
  return OpenForDeletion(s.folder, EntryName(s.batch, listed), &file, size);
}

DeletionFailure KindOfFailure(const OsResult& failed) {
  if (failed.reason == kReadOnlyReason) return DeletionFailure::kReadOnly;
  switch (failed.code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return DeletionFailure::kInUse;
    case ERROR_ACCESS_DENIED:
      return DeletionFailure::kPermissionDenied;
    case ERROR_WRITE_PROTECT:
      return DeletionFailure::kReadOnlyFileSystem;
    default:
      return DeletionFailure::kOther;
  }
}

}  // namespace tarnwell::platform
