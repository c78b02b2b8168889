// The registry-file parser on any bytes: a fault names a line inside the file, and a
// parsed file yields only values whose names are written in it, quoted text terminated.
#include <algorithm>
#include <string>

#include "base/ascii.h"
#include "platform/posix/reg_file.h"
#include "platform/registry.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The name as it must stand between quotes in the file.
std::string Escaped(const std::string& name) {
  std::string text;
  for (const char c : name) {
    if (c == '\\' || c == '"') text += '\\';
    text += c;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace tarnwell;
  using namespace tarnwell::platform;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const RegFile file = RegFile::Parse(bytes);
  if (!file.ok()) {
    const auto breaks =
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\n' || c == '\r'; });
    FUZZ_CHECK(file.error_line() >= 1 && file.error_line() <= std::size_t(breaks) + 1);
    FUZZ_CHECK(!file.error().empty());
    return 0;
  }
  if (bytes.starts_with("\xFF\xFE")) return 0;  // names are checked in 8-bit files only
  const std::string folded = FoldCase(bytes);
  std::size_t line_start = 0;
  while (line_start <= bytes.size()) {
    const std::size_t line_end = std::min(bytes.find_first_of("\r\n", line_start), bytes.size());
    const std::string line = bytes.substr(line_start, line_end - line_start);
    line_start = line_end + 1;
    const std::size_t path_at = line.find('\\');
    const std::size_t close = line.rfind(']');
    if (path_at == std::string::npos || close == std::string::npos || close < path_at) continue;
    const auto values = file.Key(line.substr(path_at + 1, close - path_at - 1));
    if (!values) continue;
    for (const auto& [name, value] : *values) {
      FUZZ_CHECK(name.empty() || folded.find('"' + Escaped(name) + '"') != std::string::npos);
      // Quoted text always gets its terminator; hex(N): bytes are kept as written.
      if (value.type == kRegSz && folded.find("hex(") == std::string::npos) {
        FUZZ_CHECK(!value.data.empty() && value.data.back() == '\0');
      }
    }
  }
  return 0;
}
