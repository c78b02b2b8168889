// What differs by target, on Linux: the registry is a .reg file named by TARNWELL_REGISTRY,
// read here through the registry functions, and the clock is local time. (That drive paths
// name nothing here is seen in the black-box runs, started where relative "c:" folders exist.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <tuple>

#include "general/calendar.h"
#include "general/date_stamp.h"
#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;
using Read = std::tuple<std::int32_t, std::uint32_t, std::string, std::string>;

const std::string kFile = testing::TempDir() + "tarnwell-regfile-" + std::to_string(getpid());
const std::string kV5 =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";

// Status, type and data of value `name` of HKLM\SOFTWARE\Corvane in a registry file of
// `bytes`, and what the lookup wrote to standard error.
Read ReadValue(const std::string& bytes, const std::string& name) {
  std::ofstream(kFile, std::ios::binary) << bytes;
  setenv("TARNWELL_REGISTRY", kFile.c_str(), 1);
  testing::internal::CaptureStderr();
  RegistryKey key = 0;
  std::uint32_t type = 0;
  std::string data;
  std::int32_t status = OpenRegistryKey(kHkeyLocalMachine, "Software\\CORVANE", &key);
  if (status == kErrorSuccess) status = QueryRegistryValue(key, name, &type, &data);
  CloseRegistryKey(key);
  unsetenv("TARNWELL_REGISTRY");
  std::remove(kFile.c_str());
  return {status, type, data, testing::internal::GetCapturedStderr()};
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
      {kV5 + "\"u\"=hex(1):f6,00,3d,d8,00,de,00,00\r\n", "u", kRegSz, "\xc3\xb6\xf0\x9f\x98\x80\0"s},
      {kV5 + "\"c\"=hex(7):44,00,\\\r\n  00,00,00,00\r\n", "c", kRegMultiSz, "D\0\0"s},
      {"REGEDIT4\n[HKLM\\SOFTWARE\\Corvane]\n\"e\"=hex(2):41,42,00\n", "e", kRegExpandSz, "AB\0"s},
      {"REGEDIT4\r[hklm\\software\\corvane]\r\"a\"=\"\xc3\xb6\"\r", "A", kRegSz, "\xc3\xb6\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"X\"=\"2\"\r\n", "x", kRegSz, "2\0"s},
      {kV5 + "\"x\"=\"1\"\r\n\"x\"=-\r\n", "x", 0, ""},
      {kV5 + "\"x\"=\"1\"\r\n[-HKLM\\SOFTWARE]\r\n\"y\"=\"2\"\r\n", "x", 0, ""},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane]\n\"x\"=\"1\"\n", "x", 0, ""},
      // clang-format on
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadValue(row.file, row.name),
              Read(row.type ? kErrorSuccess : kErrorFileNotFound, row.type, row.data, ""))
        << row.file;
  }
}

// Among them: a value before any key, an unknown escape, half a UTF-16 unit.
TEST(RegFile, AMalformedFileIsIgnoredWithOneWarningNamingItsFirstBadLine) {
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
    const auto [status, type, data, errors] =
        ReadValue(row.file + "\"DebugPath\"=\"/fine\"\r\n", "DebugPath");
    const std::regex warning("tarnwell: " + kFile + ":" + std::to_string(row.bad_line) +
                             ": [^\n]+; registry file ignored\n");
    EXPECT_TRUE(status == kErrorFileNotFound && std::regex_match(errors, warning))
        << row.file << errors;
  }
}

// In zones 14 hours east and 12 west of UTC at least one date differs from UTC's at any
// moment, so a clock that reads UTC instead of local time fails here.
TEST(CurrentStamp, AgreesWithTheCLibrarysLocalDateAndTime) {
  const std::string saved = getenv("TZ") ? getenv("TZ") : "";
  for (const char* zone : {"UTC0", "XST-14", "YST+12", "ZST-5:30"}) {
    setenv("TZ", zone, 1);
    tzset();
    const time_t now = time(nullptr);
    const DateStamp stamp = CurrentStamp(false);
    const tm local = *localtime(&now);
    const Long day = DaySerialOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double second = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    // Read within the two seconds after `now`, midnight or not in between.
    const double late = (stamp.DaySerial - day) * 86400.0 + stamp.Seconds - second;
    EXPECT_TRUE(late >= 0 && late < 2) << zone << ": " << stamp.DaySerial << " " << stamp.Seconds;
  }
  saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
  tzset();
}

}  // namespace
}  // namespace tarnwell::platform
