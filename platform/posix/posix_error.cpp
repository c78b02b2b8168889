#include "platform/posix/posix_error.h"

#include <cerrno>
#include <cstring>

namespace tarnwell::platform {

OsResult PosixError(int error_number) {
  if (error_number == ENOENT || error_number == ENOTDIR) return OsResult::NotThere();
  return OsResult::Failed(std::strerror(error_number), error_number);
}

}  // namespace tarnwell::platform
