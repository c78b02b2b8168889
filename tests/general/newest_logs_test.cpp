// The stem that /Keep counts the newest logs of.
#include "general/newest_logs.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarnwell
