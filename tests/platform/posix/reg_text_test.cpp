// The two encodings of .reg files, turned into UTF-8.
#include "platform/posix/reg_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;

TEST(RegFileText, ReadsUtf16AfterItsMarkAndEightBitTextAsUtf8) {
  const struct {
    std::string bytes;
    std::string text;
  } rows[] = {
      {"\xFF\xFE"
       "R\0E\0\r\0\n\0"s,
       "RE\r\n"},
      {"\xFF\xFE"
       "\xF6\0\x3D\xD8\x00\xDE"s,
       "\xC3\xB6\xF0\x9F\x98\x80"},
      {"\xFF\xFE"
       "\x00\xD8"
       "A\0"s,
       "\xEF\xBF\xBD"
       "A"},
      {"\xFF\xFE"
       "A\0\0\0B"s,
       "A\0"s},
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
