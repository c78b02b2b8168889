#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "base/ascii.h"
#include "platform/batch_arena.h"
#include "platform/posix/listing_state.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/wildcard.h"

namespace tarnwell::platform {

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// MatchesPattern for a pattern of one leading "*" and a `tail` without "*", as the sweep's
// is. In a plain ASCII name every character is one byte, so only the last bytes can match
// the tail and the star's backtracking is not needed; other names take the general way.
bool MatchesStarTail(std::string_view name, std::string_view pattern, std::string_view tail) {
  if (!IsAscii(name)) return MatchesPattern(name, pattern);
  if (name.size() < tail.size()) return false;
  const std::string_view end = name.substr(name.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (tail[i] != '?' && FoldCase(tail[i]) != FoldCase(end[i])) return false;
  }
  return true;
}

// getdents64 fills this; glibc's readdir uses the same size.
constexpr std::size_t kReadBufferBytes = 32 * 1024;

}  // namespace

FolderListing::State::~State() {
  if (dir_fd >= 0) close(dir_fd);
}

const dirent64* FolderListing::State::NextRecord() {
  if (read_at >= read_end) {
    if (at_end || dir_fd < 0) return nullptr;
    const ssize_t got = getdents64(dir_fd, read_buffer.get(), kReadBufferBytes);
    if (got <= 0) {
      if (got == 0) at_end = true;
      return nullptr;
    }
    read_at = 0;
    read_end = static_cast<std::size_t>(got);
  }
  const auto* record = reinterpret_cast<const dirent64*>(read_buffer.get() + read_at);
  read_at += record->d_reclen;
  return record;
}

bool FolderListing::State::Lists(const dirent64& record) const {
  // A leading dot is this file system's hidden mark (and ".", ".." have one). What d_type
  // shows to be of another type goes before any name is matched or any stat made.
  const unsigned char type = subfolders ? DT_DIR : DT_REG;
  if (record.d_name[0] == '.' || (record.d_type != type && record.d_type != DT_UNKNOWN)) {
    return false;
  }
  if (std::strlen(record.d_name) >= kNameRoom) return false;
  if (!subfolders) {
    const bool matches =
        star_tail ? MatchesStarTail(record.d_name, pattern, std::string_view(pattern).substr(1))
                  : MatchesPattern(record.d_name, pattern);
    if (!matches) return false;
  }
  if (record.d_type == DT_UNKNOWN) {
    // Only the type, from what the kernel holds: an entry's type never changes, and the
    // deletion (or the opening of a sub-folder) looks again in any case. A network file
    // system answers without a round trip to the server.
    struct statx info;
    return statx(dir_fd, record.d_name, AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC | AT_NO_AUTOMOUNT,
                 STATX_TYPE, &info) == 0 &&
           (subfolders ? S_ISDIR(info.stx_mode) : S_ISREG(info.stx_mode));
  }
  return true;
}

OsResult FolderListing::State::Next(FoundEntry* found) {
  for (;;) {
    errno = 0;
    const dirent64* record = NextRecord();
    if (record == nullptr) {
      return errno == 0 ? OsResult::NotThere() : OsResult::Failed(std::strerror(errno));
    }
    if (Lists(*record)) {
      *found = {record->d_name, record->d_ino, {}};
      return OsResult::Done();
    }
  }
}

void FolderListing::State::SetPattern(const std::string& files) {
  pattern = files;
  star_tail = pattern.starts_with('*') && pattern.find('*', 1) == std::string::npos;
}

void FolderListing::State::Read(int fd) {
  dir_fd = fd;
  read_buffer = std::make_unique_for_overwrite<char[]>(kReadBufferBytes);
}

OsResult FolderListing::State::Rewind() {
  if (dir_fd < 0) return OsResult::NotThere();
  if (lseek(dir_fd, 0, SEEK_SET) != 0) return PosixError(errno);
  read_at = read_end = 0;
  at_end = false;
  return OsResult::Done();
}

namespace {

// Where `info` (of a folder's entry or of a folder) says it lies: the mount's ID, which a
// bind mount of the same file system has of its own where the device number is the same.
struct Place {
  std::uint64_t mount = 0;
  std::uint64_t inode = 0;
  unsigned device_major = 0, device_minor = 0;
  bool operator==(const Place&) const = default;
};
constexpr unsigned kPlaceMask = STATX_TYPE | STATX_INO | STATX_MNT_ID;

std::optional<Place> PlaceOf(const struct statx& info) {
  // Without the mount's ID (Linux before 5.8) a bind mount cannot be told: enter nothing.
  if ((info.stx_mask & STATX_MNT_ID) == 0) return std::nullopt;
  return Place{info.stx_mnt_id, info.stx_ino, info.stx_dev_major, info.stx_dev_minor};
}

}  // namespace

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  State& state = StartReading();
  state.SetPattern(pattern);
  if (folder.empty()) return OsResult::NotThere();
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return PosixError(errno);
  state.Read(fd);
  return OsResult::Done();
}

OsResult FolderListing::OpenSubfolders(const FolderListing& files) {
  const int folder = files.state_->dir_fd;
  State& state = StartReading();
  state.subfolders = true;
  if (folder < 0) return OsResult::NotThere();
  // A descriptor of its own, so the two readings of the folder keep their own places.
  const int fd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return PosixError(errno);
  state.Read(fd);
  struct statx info;
  if (statx(fd, "", AT_EMPTY_PATH, kPlaceMask, &info) != 0) return PosixError(errno);
  if (const std::optional<Place> place = PlaceOf(info)) state.mount = place->mount;
  return OsResult::Done();
}

OsResult FolderListing::OpenSubfolder(const FolderListing& folders, const ListedEntry& entry,
                                      const std::string& pattern) {
  const int parent = folders.state_->dir_fd;
  const std::uint64_t mount = folders.state_->mount;
  State& state = StartReading();
  state.SetPattern(pattern);
  if (parent < 0 || !IsEntryName(entry.name, "/") || entry.name.size() >= kNameRoom) {
    return OsResult::NotThere();
  }
  char name[kNameRoom];
  entry.name.copy(name, entry.name.size());
  name[entry.name.size()] = '\0';
  // Looked at without following a link or triggering an automount, then opened, then
  // checked to be what was looked at: a folder on its parent's mount, swapped for nothing.
  struct statx seen, opened;
  if (statx(parent, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kPlaceMask, &seen) != 0) {
    return PosixError(errno);
  }
  const std::optional<Place> place = PlaceOf(seen);
  if (!S_ISDIR(seen.stx_mode) || (seen.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0 || !place ||
      mount == 0 || place->mount != mount) {
    return OsResult::NotThere();
  }
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP ? OsResult::NotThere() : PosixError(errno);
  if (statx(fd, "", AT_EMPTY_PATH, kPlaceMask, &opened) != 0 || PlaceOf(opened) != place) {
    close(fd);
    return OsResult::NotThere();
  }
  state.Read(fd);
  return OsResult::Done();
}

namespace {

// Whether this process holds `capability` in its effective set; unknown reads as no.
bool HasCapability(int capability) {
  __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  return syscall(SYS_capget, &header, data) == 0 &&
         (data[capability / 32].effective & (1u << (capability % 32))) != 0;
}

}  // namespace

FolderListing::State::FolderFacts FolderListing::State::AskFolder() const {
  FolderFacts facts;
  struct statvfs volume;
  struct statx folder;
  // unlinkat asks in this order: the mount, then write and search permission on the folder
  // (access() also says EPERM for an immutable folder), then its append-only mark.
  if (fstatvfs(dir_fd, &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0) {
    facts.unlinking = PosixError(EROFS);
  } else if (faccessat(dir_fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    facts.unlinking = PosixError(errno);
  } else if (statx(dir_fd, "", AT_EMPTY_PATH, STATX_MODE | STATX_UID, &folder) != 0) {
    facts.unlinking = PosixError(errno);
  } else if ((folder.stx_attributes & STATX_ATTR_APPEND) != 0) {
    facts.unlinking = PosixError(EPERM);
  } else {
    facts.user = geteuid();
    // In a sticky folder only the file's owner, the folder's or CAP_FOWNER unlinks.
    facts.sticky_for_others = (folder.stx_mode & S_ISVTX) != 0 && folder.stx_uid != facts.user &&
                              !HasCapability(CAP_FOWNER);
  }
  return facts;
}

namespace {

// What stands under the name of `entry` in the folder `dir_fd` now, without following a
// link, as `mask` asks: the listed inode number is no proof of identity (see ListedEntry),
// the name is what was judged. `name` receives the name as a C string, on the stack: a
// heap copy would be the one allocation per file.
OsResult LookAt(int dir_fd, const ListedEntry& entry, char (&name)[kNameRoom], unsigned mask,
                struct statx* info) {
  // A POSIX name may hold "\": only "/" separates.
  if (dir_fd < 0 || !IsEntryName(entry.name, "/") || entry.name.size() >= kNameRoom) {
    return OsResult::NotThere();
  }
  entry.name.copy(name, entry.name.size());
  name[entry.name.size()] = '\0';
  if (statx(dir_fd, name, AT_SYMLINK_NOFOLLOW, mask, info) != 0) return PosixError(errno);
  return OsResult::Done();
}

constexpr unsigned kSizeMask = STATX_SIZE | STATX_BLOCKS | STATX_NLINK;

FileSize SizeOf(const struct statx& info) {
  // stx_blocks counts 512-byte units whatever the file system's block size.
  return {.length = info.stx_size,
          .allocated = info.stx_blocks * 512,
          .links = info.stx_nlink,
          .read_only = (info.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0};
}

}  // namespace

OsResult FolderListing::State::Check(const ListedEntry& entry, char (&name)[kNameRoom],
                                     bool preview, FileSize* size) {
  struct statx info;
  const unsigned wanted =
      STATX_TYPE | STATX_MODE | (preview ? STATX_UID : 0) | (size != nullptr ? kSizeMask : 0);
  if (const OsResult seen = LookAt(dir_fd, entry, name, wanted, &info); !seen.done()) {
    return seen;
  }
  if (!S_ISREG(info.stx_mode)) return OsResult::Failed("not a regular file");
  // No write bit at all is this file system's read-only mark; even root leaves it alone.
  if ((info.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return OsResult::Failed(kReadOnlyReason);
  }
  if (size != nullptr) *size = SizeOf(info);
  if (!preview) return OsResult::Done();
  // The rest is what unlinkat itself would refuse, with the words it would give.
  std::call_once(folder_facts_asked, [this] { folder_facts = AskFolder(); });
  if (!folder_facts.unlinking.done()) return folder_facts.unlinking;
  const bool owned = info.stx_uid == folder_facts.user;
  if ((folder_facts.sticky_for_others && !owned) ||
      (info.stx_attributes & (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND)) != 0) {
    return PosixError(EPERM);
  }
  return OsResult::Done();
}

OsResult FolderListing::DeleteEntry(const ListedEntry& entry, FileSize* size) {
  char name[kNameRoom];
  OsResult result = state_->Check(entry, name, false, size);
  if (result.done() && unlinkat(state_->dir_fd, name, 0) != 0) result = PosixError(errno);
  return result;
}

OsResult FolderListing::WouldDeleteEntry(const ListedEntry& entry, FileSize* size) {
  char name[kNameRoom];
  return state_->Check(entry, name, true, size);
}

OsResult FolderListing::MeasureEntry(const ListedEntry& entry, FileSize* size) const {
  char name[kNameRoom];
  struct statx info;
  const OsResult seen =
      LookAt(state_->dir_fd, entry, name, STATX_TYPE | STATX_MODE | kSizeMask, &info);
  if (!seen.done()) return seen;
  if (!S_ISREG(info.stx_mode)) return OsResult::NotThere();
  *size = SizeOf(info);
  return OsResult::Done();
}

OsResult FolderListing::Space(DiskSpace* space) const {
  if (state_->dir_fd < 0) return OsResult::NotThere();
  struct statvfs volume;
  if (fstatvfs(state_->dir_fd, &volume) != 0) return PosixError(errno);
  *space = {.free = std::uint64_t{volume.f_bavail} * volume.f_frsize,
            .total = std::uint64_t{volume.f_blocks} * volume.f_frsize};
  return OsResult::Done();
}

DeletionFailure KindOfFailure(const OsResult& failed) {
  if (failed.reason == kReadOnlyReason) return DeletionFailure::kReadOnly;
  switch (failed.code) {
    case EBUSY:
    case ETXTBSY:
      return DeletionFailure::kInUse;
    case EACCES:
    case EPERM:
      return DeletionFailure::kPermissionDenied;
    case EROFS:
      return DeletionFailure::kReadOnlyFileSystem;
    default:
      return DeletionFailure::kOther;
  }
}

}  // namespace tarnwell::platform
