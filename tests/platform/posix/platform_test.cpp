// What differs by target, on Linux: drive paths name nothing; the clock is local time.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "general/calendar.h"
#include "general/date_stamp.h"
#include "general/paths.h"

namespace tarnwell {
namespace {

// Drive letters mean nothing here: the default sweep's "c:" and "C:\DebugFiles" name no
// folder, even when a relative folder of that name exists.
TEST(FolderExistsOnPosix, DriveLetterPathsNameNoFolder) {
  for (const char* path : {"c:", "C:", "c:\\", "C:\\DebugFiles", "z:/tmp"}) {
    EXPECT_FALSE(FolderExists(path)) << path;
  }
  EXPECT_TRUE(FolderExists("/"));
  EXPECT_TRUE(FolderExists("\\"));
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
    const float second = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    // Read within the two seconds after `now`, unless midnight came in between.
    EXPECT_TRUE((stamp.DaySerial == day && stamp.Seconds >= second && stamp.Seconds < second + 2) ||
                (stamp.DaySerial == day + 1 && stamp.Seconds < 2))
        << zone << ": " << stamp.DaySerial << " " << stamp.Seconds;
  }
  saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
  tzset();
}

}  // namespace
}  // namespace tarnwell
