#include "platform/message_box.h"

#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_error.h"

namespace tarnwell::platform {

namespace {

// Straight to the descriptor, unbuffered: a line that was not written must be known
// before the run ends, not lost in a buffer flushed at exit.
OsResult WriteLine(int fd, const char* stream_name, const std::string& text) {
  const std::string line = text + "\n";
  for (std::size_t written = 0; written < line.size();) {
    const ssize_t count = write(fd, line.data() + written, line.size() - written);
    if (count >= 0) {
      written += static_cast<std::size_t>(count);
    } else if (errno != EINTR) {
      const OsResult error = PosixError(errno);
      return OsResult::Failed(std::string(stream_name) + ": " + error.reason);
    }
  }
  return OsResult::Done();
}

}  // namespace

OsResult ShowMessage(const std::string& text) {
  return WriteLine(STDOUT_FILENO, "standard output", text);
}

OsResult ShowErrorMessage(const std::string& text) {
  return WriteLine(STDERR_FILENO, "standard error", text);
}

}  // namespace tarnwell::platform
