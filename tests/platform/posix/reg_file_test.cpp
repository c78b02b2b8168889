// The .reg grammar: every value form that exporters write, and the lines it leaves out.
#include "platform/posix/reg_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;

const std::string kV5 =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";

// The value `name` of HKLM\SOFTWARE\Corvane (named in another case) in `file`, or nullopt.
std::optional<RegFileValue> ValueIn(const RegFile& file, const std::string& name) {
  const std::optional<RegFile::Values> values = file.Key("Software\\CORVANE");
  const RegFileValue* value = values ? FindRegFileValue(*values, name) : nullptr;
  if (value == nullptr) return std::nullopt;
  return *value;
}

TEST(RegFile, ReadsEveryValueForm) {
  const struct {
    std::string file;
    const char* name;
    std::uint32_t type;  // 0: no such value
    std::string data = "";
  } rows[] = {
      {kV5 + " \"Q\" = \"say \\\"hi\\\" ; [x] \\\\\" \r\n", "Q", kRegSz, "say \"hi\" ; [x] \\\0"s},
      {kV5 + "\"w\"=\"a\\r\\nb\\0c\"\r\n", "w", kRegSz, "a\r\nb\0c\0"s},
      {kV5 + "; comment\r\n@=\"root\"\r\n", "", kRegSz, "root\0"s},
      {kV5 + "\"n\"=dword:0000002A\r\n", "n", kRegDword, "\x2a\0\0\0"s},
      {kV5 + "\"b\"=hex:0b,AD,f0,0d\r\n", "b", kRegBinary, "\x0b\xad\xf0\x0d"s},
      {kV5 + "\"u\"=hex(1):f6,00,3d,d8,00,de,00,00\r\n", "u", kRegSz,
       "\xc3\xb6\xf0\x9f\x98\x80\0"s},
      {kV5 + "\"c\"=hex(7):44,00,\\\r\n  00,00,00,00\r\n", "c", kRegMultiSz, "D\0\0"s},
      {"REGEDIT4\n[HKLM\\SOFTWARE\\Corvane]\n\"e\"=hex(2):41,42,00\n", "e", kRegExpandSz, "AB\0"s},
      {"REGEDIT4\r[hklm\\software\\corvane]\r\"a\"=\"\xc3\xb6\"\r", "A", kRegSz, "\xc3\xb6\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"X\"=\"2\"\r\n", "x", kRegSz, "2\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"x\"=-\r\n", "x", 0},
      {kV5 + "\"x\"=\"1\"\r\n[-HKLM\\SOFTWARE]\r\n\"y\"=\"2\"\r\n", "x", 0},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane]\n\"x\"=\"1\"\n", "x", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const RegFile file = RegFile::Parse(row.file);
    const std::optional<RegFileValue> value = ValueIn(file, row.name);
    EXPECT_TRUE(file.ok() && file.warnings().empty());
    EXPECT_EQ(value ? value->type : 0, row.type);
    EXPECT_EQ(value ? value->data : "", row.data);
  }
}

// Lines that cannot be read are left out, each named, and the rest is read: values under a
// damaged key line belong to no key, and a damaged value line removes the value it names.
// A first line that is no registry header makes the text no registry file at all.
TEST(RegFile, LeavesOutTheLinesItCannotReadAndNamesEach) {
  const std::string good = "\"DebugPath\"=\"/fine\"\r\n";
  std::string many_bad = kV5;
  for (int i = 0; i < 12; ++i) many_bad += "junk\r\n";
  const struct {
    std::string file;
    std::string debug_path = "";  // "": no value
    std::string lines = "";       // the lines left out, as "line:line"; "file": not a registry file
  } rows[] = {
      {.file = "\n\nREGEDIT5\n" + good, .lines = "file"},
      {.file = kV5 + "\"a\"=\"b\" junk\r\n" + good, .debug_path = "/fine", .lines = "4"},
      {.file = kV5 + "\"a\"=hex:01,\\\r\n 0x1\r\n" + good, .debug_path = "/fine", .lines = "4"},
      {.file = kV5 + "\"a\"=hex(2):41,00,42\r\n" + good, .debug_path = "/fine", .lines = "4"},
      {.file = kV5 + good + "\"DebugPath\"=dword:123456789\r\n", .lines = "5"},
      {.file = kV5 + good + "\"DebugPath\"=\"D:\\Logs\"\r\n", .lines = "5"},
      {.file = kV5 + "[HKEY_LOCAL_MACHIN\\x]\r\n" + good, .lines = "4"},
      {.file = "REGEDIT4\n" + good + "[HKLM\\SOFTWARE\\Corvane]\n" + good,
       .debug_path = "/fine",
       .lines = "2"},
      {.file = many_bad + good, .debug_path = "/fine", .lines = "4:5:6:7:8:9:10:11:12:13:+2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const RegFile file = RegFile::Parse(row.file);
    const std::optional<RegFileValue> value = ValueIn(file, "DebugPath");
    EXPECT_EQ(value ? value->data : "", row.debug_path.empty() ? "" : row.debug_path + '\0');
    std::string lines = file.ok() ? "" : "file";
    for (const RegFileWarning& warning : file.warnings()) {
      EXPECT_FALSE(warning.reason.empty());
      lines += (lines.empty() ? "" : ":") + std::to_string(warning.line);
    }
    if (file.warning_count() > file.warnings().size()) {
      lines += ":+" + std::to_string(file.warning_count() - file.warnings().size());
    }
    EXPECT_EQ(lines, row.lines);
  }
}

}  // namespace
}  // namespace tarnwell::platform
