#include "platform/message_box.h"

#include <unistd.h>

#include "platform/posix/write_line.h"

namespace tarnwell::platform {

namespace {

OsResult WriteLine(int fd, const char* stream_name, const std::string& text) {
  OsResult written = WriteLineTo(fd, text);
  if (written.failed()) written.reason = std::string(stream_name) + ": " + written.reason;
  return written;
}

}  // namespace

OsResult ShowMessage(const std::string& text) {
  return WriteLine(STDOUT_FILENO, "standard output", text);
}

OsResult ShowMessageApart(const std::string& text) {
  return WriteLine(STDERR_FILENO, "standard error", text);
}

OsResult ShowErrorMessage(const std::string& text) {
  return WriteLine(STDERR_FILENO, "standard error", text);
}

void ShowNotice(const std::string& text) { WriteLineTo(STDERR_FILENO, text); }

bool MessagesCanBeSeen() { return true; }

}  // namespace tarnwell::platform
