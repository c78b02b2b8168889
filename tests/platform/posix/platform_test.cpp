// What differs by target, on Linux: the registry is a .reg file named by TARNWELL_REGISTRY,
// read here through the registry functions, and the clock is local time. (That drive paths
// name nothing here is seen in the black-box runs, started where relative "c:" folders exist.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <tuple>
#include <vector>

#include "general/calendar.h"
#include "general/date_stamp.h"
#include "platform/path_text.h"
#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

using namespace std::string_literals;

const std::string kFile = testing::TempDir() + "tarnwell-regfile-" + std::to_string(getpid());
const std::string kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";

struct Read {
  OsResult::Kind kind;
  std::string data;  // of the value, when there is one
  std::vector<std::string> warnings;
  bool operator==(const Read&) const = default;
};

// Value `name` of HKLM\SOFTWARE\Corvane (asked in another case) as the registry file of
// `bytes` gives it, with what the file has to tell.
Read ReadValue(const std::string& bytes, const std::string& name) {
  std::ofstream(kFile, std::ios::binary) << bytes;
  setenv("TARNWELL_REGISTRY", kFile.c_str(), 1);
  Read read{OsResult::kNotThere, "", {}};
  RegistryKey key;
  if (OpenRegistryKey(kHkeyLocalMachine, "Software\\CORVANE", &key, &read.warnings).done()) {
    RegistryValue value;
    read.kind = QueryRegistryValue(key, name, true, &value).kind;
    read.data = value.data;
  }
  unsetenv("TARNWELL_REGISTRY");
  std::remove(kFile.c_str());
  return read;
}

// What stands beside DebugPath in real exports must not cost the lookup: files made by
// Wine's own `reg export` (tests/data/registry/make-exports.sh), from the 64-bit view
// (WOW6432Node, multi-line text) and from the 32-bit view.
TEST(RegistryFile, FindsDebugPathInRealExportsOfEitherView) {
  for (const char* name : {"wine-export-64bit-view.reg", "wine-export-32bit-view.reg"}) {
    std::ifstream file(std::string(TARNWELL_TEST_DATA) + "/registry/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(ReadValue(bytes, "DebugPath"), (Read{OsResult::kDone, "/srv/corvane/logs\0"s, {}}))
        << name;
  }
}

// The 32-bit view of a 64-bit machine's export first, value by value; every warning names
// the file and the line.
TEST(RegistryFile, ReadsTheWow6432NodeKeyFirstAndNamesTheFileInEachWarning) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\r\n";
  const std::string wow64 = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Corvane]\r\n";
  const std::string fine = "\"DebugPath\"=\"/fine\"\r\n";
  const struct {
    std::string file;
    Read read;
  } rows[] = {
      {kV5 + key + fine + wow64 + "\"DebugPath\"=\"/wow\"\r\n", {OsResult::kDone, "/wow\0"s, {}}},
      {kV5 + wow64 + "\"DebugPath\"=\"/wow\"\r\n" + key + fine, {OsResult::kDone, "/wow\0"s, {}}},
      {kV5 + key + fine + wow64 + "\"Other\"=\"/wow\"\r\n", {OsResult::kDone, "/fine\0"s, {}}},
      {kV5 + wow64 + "junk\r\n" + fine,
       {OsResult::kDone,
        "/fine\0"s,
        {kFile + ":4: a value line must start with \"name\"= or @=; line ignored"}}},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadValue(row.file, "DebugPath"), row.read) << row.file;
}

// A record line and a name in the JSON report each hold any name a POSIX folder can, and
// can be undone: the line escapes the bytes that would break it or read as an escape; the
// JSON name only "\" and every byte that is not part of well-formed UTF-8 (JSON escapes
// the rest itself).
TEST(LineText, EscapesWhatWouldBreakTheLineOrJsonAndKeepsEveryOtherByte) {
  const struct {
    std::string path;
    std::string line;
    std::string json;
  } rows[] = {
      {"/logs/back\\slash.log", "/logs/back\\\\slash.log", "/logs/back\\\\slash.log"},
      {"/a\nb\rc\td\"", "/a\\nb\\rc\\td\"", "/a\nb\rc\td\""},
      {"/c\x01\x1F\x7F.log", "/c\\x01\\x1f\\x7f.log", "/c\x01\x1F\x7F.log"},
      {"/\xC3\xA9t\xC3\xA9 \xE6\x97\xA5 \xFF.log", "/\xC3\xA9t\xC3\xA9 \xE6\x97\xA5 \xFF.log",
       "/\xC3\xA9t\xC3\xA9 \xE6\x97\xA5 \\xff.log"},
      // Overlong, a surrogate, cut short, above U+10FFFF, a stray continuation byte.
      {"\xC0\xAF \xED\xA0\x80 \xE6\x97x \xF4\x90\x80\x80 \x80",
       "\xC0\xAF \xED\xA0\x80 \xE6\x97x \xF4\x90\x80\x80 \x80",
       "\\xc0\\xaf \\xed\\xa0\\x80 \\xe6\\x97x \\xf4\\x90\\x80\\x80 \\x80"},
      {"/\xF0\x9F\x98\x80 \\x41", "/\xF0\x9F\x98\x80 \\\\x41", "/\xF0\x9F\x98\x80 \\\\x41"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::tuple(LineText(row.path), JsonText(row.path)), std::tuple(row.line, row.json))
        << row.path;
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
