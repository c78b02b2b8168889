#include "platform/standard_output.h"

#include <unistd.h>

#include "platform/posix/write_line.h"

namespace tarnwell::platform {

OsResult WriteStandardOutputLine(const std::string& line) {
  return WriteLineTo(STDOUT_FILENO, line);
}

}  // namespace tarnwell::platform
