// The two encodings of .reg files, turned into UTF-8.
#include "platform/posix/reg_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;

// The bytes of a UTF-16LE file: its mark, then `units`.
std::string Utf16File(std::u16string_view units) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : units) {
    bytes += char(unit & 0xFF);
    bytes += char(unit >> 8);
  }
  return bytes;
}

TEST(RegFileText, ReadsUtf16AfterItsMarkAndEightBitTextAsUtf8) {
  const struct {
    std::string bytes;
    std::string text;
  } rows[] = {
      {Utf16File(u"RE\r\n"), "RE\r\n"},
      {Utf16File(u"\u00F6\U0001F600"), "\xC3\xB6\xF0\x9F\x98\x80"},
      // A lone surrogate becomes U+FFFD; a last byte without its pair is dropped.
      {Utf16File(u"\xD800\u0041"), "\uFFFDA"},
      {Utf16File(u"A\0"s) + "B", "A\0"s},
      {"\xEF\xBB\xBFREGEDIT4", "REGEDIT4"},
      {"REGEDIT4\n\xC3\xB6", "REGEDIT4\n\xC3\xB6"},
  };
  for (const auto& row : rows) {
    std::string storage;
    EXPECT_EQ(RegFileText(row.bytes, storage), row.text) << testing::PrintToString(row.bytes);
  }
}

}  // namespace
}  // namespace tarnwell::platform
