// What differs by target, on Linux: the registry is a .reg file named by TARNWELL_REGISTRY,
// read here through the registry functions, and the clock is local time. (That drive paths
// name nothing here is seen in the black-box runs, started where relative "c:" folders exist.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
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
      {kV5 + "\"w\"=\"a\\r\\nb\\0c\"\r\n", "w", kRegSz, "a\r\nb\0c\0"s},
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

// What stands beside DebugPath in real exports must not cost the lookup: files made by
// Wine's own `reg export` (tests/data/registry/make-exports.sh), from the 64-bit view
// (WOW6432Node, multi-line text) and from the 32-bit view.
TEST(RegFile, FindsDebugPathInRealExportsOfEitherView) {
  for (const char* name : {"wine-export-64bit-view.reg", "wine-export-32bit-view.reg"}) {
    std::ifstream file(std::string(TARNWELL_TEST_DATA) + "/registry/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(ReadValue(bytes, "DebugPath"),
              Read(kErrorSuccess, kRegSz, "/srv/corvane/logs\0"s, ""))
        << name;
  }
}

// Lines that cannot be read are left out, each named in a warning, and the rest is read; a
// file whose first line is no registry header is no registry file and is ignored whole.
TEST(RegFile, LeavesOutTheLinesItCannotReadAndNamesEach) {
  const std::string wow64 = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Corvane]\r\n";
  const std::string good = "\"DebugPath\"=\"/fine\"\r\n";
  std::string many_bad = kV5;
  for (int i = 0; i < 12; ++i) many_bad += "junk\r\n";
  const struct {
    std::string file;
    std::string debug_path = "";  // "": no value
    std::string warnings = "";    // the lines named, as "line:line"; "ignored": the whole file
  } rows[] = {
      {.file = "", .warnings = "ignored"},
      {.file = "\n\nREGEDIT5\n" + good, .warnings = "ignored"},
      {.file = kV5 + "\"a\"=\"b\" junk\r\n" + good, .debug_path = "/fine", .warnings = "4"},
      {.file = kV5 + "\"a\"=hex:01,\\\r\n 0x1\r\n" + good, .debug_path = "/fine", .warnings = "4"},
      {.file = kV5 + "\"a\"=hex(2):41,00,42\r\n" + good, .debug_path = "/fine", .warnings = "4"},
      {.file = kV5 + good + "\"DebugPath\"=dword:123456789\r\n", .warnings = "5"},
      {.file = kV5 + good + "\"DebugPath\"=\"D:\\Logs\"\r\n", .warnings = "5"},
      {.file = kV5 + "[HKEY_LOCAL_MACHIN\\x]\r\n" + good, .warnings = "4"},
      {.file = "REGEDIT4\n" + good + "[HKLM\\SOFTWARE\\Corvane]\n" + good,
       .debug_path = "/fine",
       .warnings = "2"},
      {.file = kV5 + good + wow64 + "\"DebugPath\"=\"/wow\"\r\n", .debug_path = "/wow"},
      {.file = kV5 + good + wow64 + "\"Other\"=\"/wow\"\r\n", .debug_path = "/fine"},
      {.file = many_bad + good, .debug_path = "/fine", .warnings = "4:5:6:7:8:9:10:11:12:13:+2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const auto [status, type, data, errors] = ReadValue(row.file, "DebugPath");
    EXPECT_EQ(status, row.debug_path.empty() ? kErrorFileNotFound : kErrorSuccess);
    EXPECT_EQ(data, row.debug_path.empty() ? "" : row.debug_path + '\0');
    std::string named;
    for (const std::string& line : Lines(errors)) {
      std::smatch match;
      if (std::regex_match(
              line, match,
              std::regex("tarnwell: " + kFile + ":(\\d+): .+; (line|registry file) ignored"))) {
        named += (named.empty() ? "" : ":") + (match[2] == "line" ? match[1].str() : "ignored");
      } else if (std::regex_match(
                     line, match,
                     std::regex("tarnwell: " + kFile + ": (\\d+) more lines ignored"))) {
        named += ":+" + match[1].str();
      } else {
        ADD_FAILURE() << line;
      }
    }
    EXPECT_EQ(named, row.warnings);
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
