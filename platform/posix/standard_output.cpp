#include "platform/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace tarnwell::platform {

OsResult WriteStandardOutputLine(const std::string& line) {
  // A reader that went away must not end the run: the sweep still has files to delete,
  // and the run reports the loss of its record at the end.
  static const bool kPipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)kPipeSignalIgnored;
  const std::string text = line + '\n';
  for (std::size_t written = 0; written < text.size();) {
    const ssize_t n = write(STDOUT_FILENO, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return OsResult::Failed(n < 0 ? std::strerror(errno) : "nothing written");
    written += static_cast<std::size_t>(n);
  }
  return OsResult::Done();
}

}  // namespace tarnwell::platform
