#include "platform/posix/write_line.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace tarnwell::platform {

OsResult WriteLineTo(int fd, const std::string& text) {
  static const bool kPipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)kPipeSignalIgnored;
  const std::string line = text + '\n';
  for (std::size_t written = 0; written < line.size();) {
    const ssize_t count = write(fd, line.data() + written, line.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return OsResult::Failed(std::strerror(errno));
    if (count == 0) return OsResult::Failed("nothing written");
    written += static_cast<std::size_t>(count);
  }
  return OsResult::Done();
}

}  // namespace tarnwell::platform
