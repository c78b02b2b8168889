#include "platform/file_attributes.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/posix_error.h"

namespace tarnwell::platform {

OsResult ProbeFolder(const std::string& path) {
  if (path.empty()) return OsResult::NotThere();
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return PosixError(errno);
  return S_ISDIR(info.st_mode) ? OsResult::Done() : OsResult::NotThere();
}

}  // namespace tarnwell::platform
