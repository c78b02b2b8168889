#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/posix/posix_error.h"
#include "platform/posix/posix_path.h"
#include "platform/posix/wildcard.h"

namespace tarnwell::platform {

namespace {

// A name that could leave the folder is never an entry of it.
bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

}  // namespace

struct FolderListing::State {
  ~State() {
    if (dir != nullptr) closedir(dir);
  }

  DIR* dir = nullptr;  // null: the folder is not there, nothing is listed
  int dir_fd = -1;     // deletions are relative to it, so a renamed folder cannot redirect them
  std::string pattern;
};

FolderListing::FolderListing() : state_(std::make_unique<State>()) {}

FolderListing::~FolderListing() = default;

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  state_ = std::make_unique<State>();
  state_->pattern = pattern;
  const std::optional<std::string> path = ToPosixPath(folder);
  if (!path || path->empty()) return OsResult::NotThere();
  const int fd = open(path->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return PosixError(errno);
  state_->dir = fdopendir(fd);
  if (state_->dir == nullptr) {
    const int error = errno;
    close(fd);
    return PosixError(error);
  }
  state_->dir_fd = fd;
  return OsResult::Done();
}

OsResult FolderListing::Next(std::string* name) {
  if (state_->dir == nullptr) return OsResult::NotThere();
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(state_->dir);
    if (entry == nullptr) {
      return errno != 0 ? OsResult::Failed(std::strerror(errno)) : OsResult::NotThere();
    }
    // A leading dot is this file system's hidden mark.
    if (entry->d_name[0] == '.') continue;
    if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN) continue;
    if (!MatchesPattern(entry->d_name, state_->pattern)) continue;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat info;
      if (fstatat(state_->dir_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
          !S_ISREG(info.st_mode)) {
        continue;
      }
    }
    *name = entry->d_name;
    return OsResult::Done();
  }
}

namespace {

// kDone when `name` may go, as far as the entry itself tells: a regular file with a
// write bit. A preview and the deletion both ask here, so they cannot disagree.
OsResult CheckEntry(int dir_fd, const std::string& name) {
  if (dir_fd < 0 || !IsEntryName(name)) return OsResult::NotThere();
  struct stat info;
  if (fstatat(dir_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return PosixError(errno);
  if (!S_ISREG(info.st_mode)) return OsResult::Failed("not a regular file");
  // No write bit at all is this file system's read-only mark; even root leaves it alone.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return OsResult::Failed("read-only");
  return OsResult::Done();
}

}  // namespace

OsResult FolderListing::DeleteEntry(const std::string& name) {
  OsResult result = CheckEntry(state_->dir_fd, name);
  if (result.done() && unlinkat(state_->dir_fd, name.c_str(), 0) != 0) result = PosixError(errno);
  return result;
}

OsResult FolderListing::WouldDeleteEntry(const std::string& name) {
  OsResult result = CheckEntry(state_->dir_fd, name);
  // unlinkat writes to the folder: it needs write and search permission on it, and a
  // mount that is not read-only, which access() tells without trying.
  if (result.done() && faccessat(state_->dir_fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    result = PosixError(errno);
  }
  return result;
}

std::string EntryPath(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}

}  // namespace tarnwell::platform
