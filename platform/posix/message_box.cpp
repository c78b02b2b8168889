#include "platform/message_box.h"

#include <cstdio>

namespace tarnwell::platform {

namespace {

void WriteLine(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void ShowMessage(const std::string& text) { WriteLine(stdout, text); }

void ShowErrorMessage(const std::string& text) { WriteLine(stderr, text); }

}  // namespace tarnwell::platform
