#include "platform/file_attributes.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/posix_error.h"
#include "platform/posix/posix_path.h"

namespace tarnwell::platform {

OsResult ProbeFolder(const std::string& path) {
  const std::optional<std::string> posix_path = ToPosixPath(path);
  if (!posix_path || posix_path->empty()) return OsResult::NotThere();
  struct stat info;
  if (stat(posix_path->c_str(), &info) != 0) return PosixError(errno);
  return S_ISDIR(info.st_mode) ? OsResult::Done() : OsResult::NotThere();
}

}  // namespace tarnwell::platform
