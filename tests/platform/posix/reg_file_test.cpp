// Real .reg files named by TARNWELL_REGISTRY, read through the registry functions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const fs::path kFile = fs::temp_directory_path() / ("tarnwell-regfile-" + std::to_string(getpid()));
const std::string kV5 =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";
const std::string kV4 = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n";

struct Read {
  std::int32_t status;
  std::uint32_t type;
  std::string data, errors;  // errors: what the lookup wrote to standard error
};

// Value `name` of HKLM\SOFTWARE\Corvane in the registry file `file`, written first with
// `bytes` when they are given.
Read ReadValue(const std::optional<std::string>& bytes, const std::string& name = "DebugPath",
               const fs::path& file = kFile) {
  if (bytes) std::ofstream(file, std::ios::binary) << *bytes;
  setenv("TARNWELL_REGISTRY", file.c_str(), 1);
  ::testing::internal::CaptureStderr();
  Read read{};
  RegistryKey key = 0;
  read.status = OpenRegistryKey(kHkeyLocalMachine, "Software\\CORVANE", &key);
  if (read.status == kErrorSuccess) {
    read.status = QueryRegistryValue(key, name, &read.type, &read.data);
    CloseRegistryKey(key);
  }
  read.errors = ::testing::internal::GetCapturedStderr();
  unsetenv("TARNWELL_REGISTRY");
  return read;
}

TEST(RegFile, ReadsEveryValueForm) {
  const struct {
    std::string file;
    const char* name;
    std::uint32_t type;  // 0: no such value
    std::string data;
  } rows[] = {
      // clang-format off
      {kV5 + " \"Q\" = \"say \\\"hi\\\" ; [x] \\\\\" \r\n", "Q", kRegSz, "say \"hi\" ; [x] \\\0"s},
      {kV5 + "; comment\r\n@=\"root\"\r\n", "", kRegSz, "root\0"s},
      {kV5 + "\"n\"=dword:0000002A\r\n", "n", kRegDword, "\x2a\0\0\0"s},
      {kV5 + "\"b\"=hex:01,ff, 7f\r\n", "b", kRegBinary, "\x01\xff\x7f"s},
      {kV5 + "\"u\"=hex(1):f6,00,3d,d8,00,de,00,00\r\n", "u", kRegSz, "\xc3\xb6\xf0\x9f\x98\x80\0"s},
      {kV5 + "\"c\"=hex(7):44,00,\\\r\n  00,00,00,00\r\n", "c", kRegMultiSz, "D\0\0"s},
      {kV4 + "\"e\"=hex(2):25,54,25,00\n", "e", kRegExpandSz, "%T%\0"s},
      {"REGEDIT4\r[hklm\\software\\corvane]\r\"a\"=\"\xc3\xb6\"\r", "A", kRegSz, "\xc3\xb6\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"X\"=\"2\"\r\n", "x", kRegSz, "2\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"x\"=-\r\n", "x", 0, ""},
      {kV5 + "\"x\"=\"1\"\r\n[-HKLM\\SOFTWARE]\r\n\"y\"=\"2\"\r\n", "x", 0, ""},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane]\n\"x\"=\"1\"\n", "x", 0, ""},
      // clang-format on
  };
  for (const auto& row : rows) {
    const Read read = ReadValue(row.file, row.name);
    EXPECT_EQ(std::tuple(read.status, read.type, read.data, read.errors),
              std::tuple(row.type ? kErrorSuccess : kErrorFileNotFound, row.type, row.data, ""))
        << row.file;
  }
}

// Among them: a value before any key, an unknown escape, half a UTF-16 unit.
TEST(RegFile, AMalformedOrUnreadableFileIsIgnoredWithOneWarningNamingItsFirstBadLine) {
  const struct {
    std::string file;
    int bad_line;
  } rows[] = {
      // clang-format off
      {"", 1}, {"\n\nREGEDIT5\n", 3}, {"REGEDIT4\n\"DebugPath\"=\"/x\"\n", 2},
      {kV5 + "\"DebugPath\"=\"D:\\Logs\"\r\n", 4}, {kV5 + "\"a\"=\"open\r\n", 4},
      {kV5 + "\"a\"=\"b\" junk\r\n", 4}, {kV5 + "\"a\"=dword:123456789\r\n", 4},
      {kV5 + "\"a\"=hex:01,\\\r\n 0x1\r\n", 5}, {kV5 + "\"a\"=hex(2):41,00,42\r\n", 4},
      {kV5 + "[HKEY_LOCAL_MACHIN\\x]\r\n", 4},
      // clang-format on
  };
  for (const auto& row : rows) {
    const Read read = ReadValue(row.file + "\"DebugPath\"=\"/fine\"\r\n");
    EXPECT_EQ(read.status, kErrorFileNotFound) << row.file;
    const std::string where = "tarnwell: " + kFile.string() + ":" + std::to_string(row.bad_line);
    EXPECT_TRUE(read.errors.starts_with(where + ": ") && read.errors.ends_with("ignored\n") &&
                std::count(read.errors.begin(), read.errors.end(), '\n') == 1)
        << row.file << read.errors;
  }
  // A missing file is silent; one that opens but cannot be read warns.
  fs::remove(kFile);
  EXPECT_EQ(ReadValue(std::nullopt).errors, "");
  const Read folder = ReadValue(std::nullopt, "DebugPath", kFile.parent_path());
  EXPECT_EQ(folder.status, kErrorFileNotFound);
  EXPECT_TRUE(folder.errors.starts_with("tarnwell: " + kFile.parent_path().string() + ": "));
}

}  // namespace
}  // namespace tarnwell::platform
