// The newest logs of each stem that /Keep keeps, and the stem they are counted by.
#include "general/newest_logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace tarnwell {
namespace {

TEST(LogStem, IsTheNameWithoutItsDateAndExtensionInLowerCase) {
  const struct {
    const char* name;
    const char* stem;
  } rows[] = {
      {"trace.20140804.log", "trace"},
      {"App.Node1.20140804.LOG", "app.node1"},
      {".20140804.log", ""},
      {"20140804.log", ""},
      {"my trace. 20140804.log", "my trace"},
  };
  for (const auto& row : rows) EXPECT_EQ(LogStem(row.name), row.stem) << row.name;
}

// Each case offers its logs in the order given (the listing's), then asks about each; the
// answers must not depend on that order.
TEST(NewestLogs, KeepsTheNewestOfEachStemByDateThenName) {
  const struct {
    const char* what;
    Long keep;
    std::map<std::string, Long> logs;  // name and day serial
    std::set<std::string> kept;
    std::optional<Long> oldest_not_kept;
  } rows[] = {
      {.what = "stems counted apart",
       .keep = 1,
       .logs = {{"a.x.log", 10}, {"a.y.log", 12}, {"b.x.log", 11}, {"b.y.log", 9}},
       .kept = {"a.y.log", "b.x.log"},
       .oldest_not_kept = 9},
      {.what = "a tie on a date goes to the greater name",
       .keep = 1,
       .logs = {{"app.1.log", 20}, {"app.2.log", 20}, {"app.0.log", 19}},
       .kept = {"app.2.log"},
       .oldest_not_kept = 19},
      {.what = "more to keep than there are logs",
       .keep = 5,
       .logs = {{"a.x.log", 1}, {"a.y.log", 2}},
       .kept = {"a.x.log", "a.y.log"},
       .oldest_not_kept = std::nullopt},
      {.what = "stems differing in case are one",
       .keep = 2,
       .logs = {{"APP.x.log", 5}, {"app.y.log", 6}, {"App.z.log", 7}},
       .kept = {"app.y.log", "App.z.log"},
       .oldest_not_kept = 5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    for (const bool reversed : {false, true}) {
      NewestLogs newest(row.keep);
      std::vector<std::pair<std::string, Long>> offers(row.logs.begin(), row.logs.end());
      if (reversed) std::reverse(offers.begin(), offers.end());
      for (const auto& [name, date] : offers) newest.Offer(name, date);
      std::set<std::string> kept;
      for (const auto& [name, date] : row.logs) {
        if (newest.Keeps(name, date)) kept.insert(name);
      }
      EXPECT_EQ(kept, row.kept);
      EXPECT_EQ(newest.OldestNotKept(), row.oldest_not_kept);
    }
  }
}

// A log that was not there at the first reading (written meanwhile) is newer than the
// oldest kept when its date is, so it stays too.
TEST(NewestLogs, KeepsALogFirstSeenAfterTheReadingWhenItIsNewer) {
  NewestLogs newest(1);
  newest.Offer("a.20140101.log", 100);
  newest.Offer("a.20140102.log", 101);
  EXPECT_TRUE(newest.Keeps("a.20140103.log", 102));
  EXPECT_FALSE(newest.Keeps("a.20131231.log", 99));
  EXPECT_TRUE(newest.Keeps("b.20131231.log", 99));
}

}  // namespace
}  // namespace tarnwell
