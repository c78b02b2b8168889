#include "platform/file_attributes.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/posix_path.h"

namespace tarnwell::platform {

std::uint32_t ReadFileAttributes(const std::string& path) {
  const std::optional<std::string> posix_path = ToPosixPath(path);
  struct stat info;
  if (!posix_path || posix_path->empty() || stat(posix_path->c_str(), &info) != 0) {
    return kInvalidFileAttributes;
  }
  if (S_ISDIR(info.st_mode)) return kFileAttributeDirectory;
  const bool writable = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  return writable ? kFileAttributeNormal : kFileAttributeReadOnly;
}

}  // namespace tarnwell::platform
