#include "platform/posix/posix_error.h"

#include <cerrno>
#include <system_error>

namespace tarnwell::platform {

OsResult PosixError(int error_number) {
  if (error_number == ENOENT || error_number == ENOTDIR) return OsResult::NotThere();
  // The system's words as strerror gives them, through strerror_r: several threads
  // deleting at once may fail at once.
  return OsResult::Failed(std::generic_category().message(error_number), error_number);
}

}  // namespace tarnwell::platform
