#include "platform/posix/reg_text.h"

namespace tarnwell::platform {
namespace {

void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

bool InRange(char32_t c, char32_t low, char32_t high) { return c >= low && c <= high; }

}  // namespace

std::string_view RegFileText(std::string_view bytes, std::string& storage) {
  if (bytes.starts_with("\xFF\xFE")) {
    storage = Utf8FromUtf16Le(bytes.substr(2));
    return storage;
  }
  // 8-bit files are taken as UTF-8, which ASCII files also are.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes;
}

std::string Utf8FromUtf16Le(std::string_view bytes) {
  const auto unit = [bytes](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[2 * i]) |
           static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
  };
  std::string out;
  const std::size_t count = bytes.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    char32_t c = unit(i);
    if (InRange(c, 0xD800, 0xDBFF) && i + 1 < count && InRange(unit(i + 1), 0xDC00, 0xDFFF)) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (InRange(c, 0xD800, 0xDFFF)) {
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  return out;
}

}  // namespace tarnwell::platform
