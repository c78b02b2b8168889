#include "platform/file_attributes.h"

#include <sys/stat.h>

#include "platform/posix/posix_path.h"

namespace tarnwell::platform {

std::uint32_t ReadFileAttributes(const std::string& path) {
  const std::optional<std::string> posix_path = ToPosixPath(path);
  struct stat info;
  if (!posix_path || posix_path->empty() || stat(posix_path->c_str(), &info) != 0) {
    return kInvalidFileAttributes;
  }
  return S_ISDIR(info.st_mode) ? kFileAttributeDirectory : 0;
}

}  // namespace tarnwell::platform
