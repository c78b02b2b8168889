#include <gtest/gtest.h>

#include "app/tarnwell_fn.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

// Only ordinary files dated strictly more than the limit before today go: not a read-only
// file, nor a folder (created first, so that creating the kept files skips it). A name that
// is no date, or a date beyond the calendar (9999-99-99 carries past 31 December 9999,
// 1e999999 reads beyond any number), leaves that file alone and the sweep goes on; deleting
// while listing reaches every file.
TEST(SweepFolder, DeletesOnlyOrdinaryFilesStrictlyOlderThanTheLimit) {
  const TestFolder folder;
  Names deleted = {LogName("app", -8), LogName("a.b", -9), LogName("UPPER", -10, "LOG")};
  for (int i = 0; i < 300; ++i) deleted.insert("f" + std::to_string(i) + ".20100101.log");
  const Names kept = {LogName("app", -7), LogName("app", 12),   "app.2014080x.log",
                      "app.2014081.log",  "app.201408123.log",  "readme.log",
                      "x.00000000.log",   "x.20100101.log.bak", "x.abcdefgh.log",
                      "x.99999999.log",   "x.1e999999.log",     "x.99991231.log",
                      "ro.20100101.log",  "dir.20100101.log"};
  fs::create_directory(folder.Path() / "dir.20100101.log");
  std::ofstream(folder.Path() / "dir.20100101.log" / "inner.20100101.log") << "x";
  folder.Create(deleted);
  folder.Create(kept);
  fs::permissions(folder.Path() / "ro.20100101.log", fs::perms::all, fs::perm_options::remove);
  EXPECT_EQ(SweepFolder(folder.Path().string(), 7), 303);
  EXPECT_EQ(folder.Entries(), kept);
  EXPECT_TRUE(fs::exists(folder.Path() / "dir.20100101.log" / "inner.20100101.log"));
  // A trailing separator doubles it in the pattern, which still names the folder.
  EXPECT_EQ(SweepFolder(folder.Path().string() + "\\", 6), 1);
  EXPECT_EQ(SweepFolder((folder.Path() / "missing").string(), 1), 0);
}

}  // namespace
}  // namespace tarnwell
