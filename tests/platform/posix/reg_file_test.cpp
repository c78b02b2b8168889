// Real .reg files named by TARNWELL_REGISTRY, read through the registry functions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kV5 =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";
const std::string kV4 = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n";

std::string Utf16WithBom(const std::string& ascii) {
  std::string bytes = "\xff\xfe";
  for (const char c : ascii) bytes += {c, '\0'};
  return bytes;
}

class RegFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tarnwell-regfile-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    Use(folder_ / "registry.reg");
  }
  void TearDown() override {
    unsetenv("TARNWELL_REGISTRY");
    fs::remove_all(folder_);
  }

  void Use(const fs::path& file) {
    file_ = file;
    setenv("TARNWELL_REGISTRY", file_.c_str(), 1);
  }
  void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }

  struct Read {
    std::int32_t status;
    std::uint32_t type;
    std::string data;
    std::string errors;  // what the lookup wrote to standard error
  };
  Read ReadValue(const std::string& name) {
    ::testing::internal::CaptureStderr();
    Read read{};
    RegistryKey key = 0;
    read.status = OpenRegistryKey(kHkeyLocalMachine, "Software\\CORVANE", &key);
    if (read.status == kErrorSuccess) {
      read.status = QueryRegistryValue(key, name, &read.type, &read.data);
      CloseRegistryKey(key);
    }
    read.errors = ::testing::internal::GetCapturedStderr();
    return read;
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(RegFileTest, ReadsEveryValueForm) {
  const struct {
    std::string file;
    const char* name;
    std::uint32_t type;  // 0: no such value
    std::string data;
  } cases[] = {
      {kV5 + "\"DebugPath\"=\"D:\\\\Logs\"\r\n", "debugpath", kRegSz, "D:\\Logs\0"s},
      {kV5 + "  \"Q\" = \"say \\\"hi\\\" ; [x] \\\\\"  \r\n", "Q", kRegSz,
       "say \"hi\" ; [x] \\\0"s},
      {kV5 + "; comment\r\n@=\"root\"\r\n", "", kRegSz, "root\0"s},
      {kV5 + "\"n\"=dword:0000002A\r\n", "n", kRegDword, "\x2a\0\0\0"s},
      {kV5 + "\"b\"=hex:01,ff, 7f\r\n", "b", kRegBinary, "\x01\xff\x7f"s},
      {kV5 + "\"e\"=hex(2):25,00,54,00,25,00,00,00\r\n", "e", kRegExpandSz, "%T%\0"s},
      {kV5 + "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n", "m", kRegMultiSz, "a\0b\0\0"s},
      {kV5 + "\"u\"=hex(1):f6,00,3d,d8,00,de,00,00\r\n", "u", kRegSz,
       "\xc3\xb6\xf0\x9f\x98\x80\0"s},
      {kV5 + "\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n", "q", 11, "\x01\0\0\0\0\0\0\0"s},
      {kV5 + "\"c\"=hex(2):44,00,3a,00,\\\r\n  5c,00,\\\r\n  00,00\r\n", "c", kRegExpandSz,
       "D:\\\0"s},
      {Utf16WithBom(kV5 + "\"DebugPath\"=hex(1):2f,00,\\\r\n 6c,00,00,00\r\n"), "DebugPath", kRegSz,
       "/l\0"s},
      {kV4 + "\"e\"=hex(2):25,54,25,00\n", "e", kRegExpandSz, "%T%\0"s},
      {"REGEDIT4\r[hklm\\software\\corvane]\r\"a\"=\"\xc3\xb6\"\r", "A", kRegSz, "\xc3\xb6\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"X\"=\"2\"\r\n", "x", kRegSz, "2\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"x\"=-\r\n", "x", 0, ""},
      {kV5 + "\"x\"=\"1\"\r\n[-HKLM\\SOFTWARE]\r\n\"y\"=\"2\"\r\n", "x", 0, ""},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane]\n\"x\"=\"1\"\n", "x", 0, ""},
  };
  for (const auto& c : cases) {
    Write(c.file);
    const Read read = ReadValue(c.name);
    EXPECT_EQ(read.errors, "") << c.file;
    if (c.type == 0) {
      EXPECT_EQ(read.status, kErrorFileNotFound) << c.file;
      continue;
    }
    EXPECT_EQ(read.status, kErrorSuccess) << c.file;
    EXPECT_EQ(read.type, c.type) << c.file;
    EXPECT_EQ(read.data, c.data) << c.file;
  }
}

TEST_F(RegFileTest, IgnoresAMalformedFileWithOneWarningNamingItsFirstBadLine) {
  const struct {
    std::string file;
    int line;
  } cases[] = {
      {"", 1},
      {"\n\nREGEDIT5\n", 3},
      {Utf16WithBom("REGEDIT4\n\"DebugPath\"=\"/x\"\n"), 2},  // a value before any key
      {kV5 + "\"DebugPath\"=\"D:\\Logs\"\r\n", 4},            // unknown escape
      {kV5 + "\"a\"=\"open\r\n", 4},
      {kV5 + "\"a\"=\"b\" junk\r\n", 4},
      {kV5 + "a=\"b\"\r\n", 4},
      {kV5 + "\"a\"=dword:123456789\r\n", 4},
      {kV5 + "\"a\"=hex:01,,02\r\n", 4},
      {kV5 + "\"a\"=hex:01,\\\r\n 0x1\r\n", 5},
      {kV5 + "\"a\"=hex(2):41,00,42\r\n", 4},  // half a UTF-16 unit
      {kV5 + "\"a\"=string:x\r\n", 4},
      {kV5 + "[HKEY_LOCAL_MACHIN\\x]\r\n", 4},
  };
  for (const auto& c : cases) {
    Write(c.file + "\"DebugPath\"=\"/fine\"\r\n");
    const Read read = ReadValue("DebugPath");
    EXPECT_EQ(read.status, kErrorFileNotFound) << c.file;
    EXPECT_TRUE(read.errors.starts_with("tarnwell: " + file_.string() + ":" +
                                        std::to_string(c.line) + ": "))
        << c.file << "\n"
        << read.errors;
    EXPECT_EQ(std::count(read.errors.begin(), read.errors.end(), '\n'), 1) << read.errors;
  }
}

TEST_F(RegFileTest, AMissingFileIsSilentAndAnUnreadableOneWarns) {
  Use(folder_ / "absent.reg");
  EXPECT_EQ(ReadValue("DebugPath").status, kErrorFileNotFound);
  EXPECT_EQ(ReadValue("DebugPath").errors, "");

  Use(folder_);  // opens, but cannot be read as a file
  EXPECT_EQ(ReadValue("DebugPath").status, kErrorFileNotFound);
  EXPECT_TRUE(ReadValue("DebugPath").errors.starts_with("tarnwell: " + folder_.string() + ": "));

  if (geteuid() == 0) return;  // permission bits do not stop root from reading
  Use(folder_ / "locked.reg");
  Write(kV4 + "\"DebugPath\"=\"/ok\"\n");
  fs::permissions(file_, fs::perms::none);
  EXPECT_EQ(ReadValue("DebugPath").status, kErrorFileNotFound);
  EXPECT_TRUE(ReadValue("DebugPath").errors.starts_with("tarnwell: " + file_.string() + ": "));
}

}  // namespace
}  // namespace tarnwell::platform
