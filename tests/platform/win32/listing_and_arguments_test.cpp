// The Windows folder listing under the sweep, and the argument text of the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/tarnwell_fn.h"
#include "platform/argument_text.h"
#include "tests/app/temp_folder.h"

namespace tarnwell {
namespace {

TEST(SweepFolder, LeavesHiddenAndSystemFilesAlone) {
  const TempFolder folder;
  folder.Create({"plain.20100101.log", "h.20100101.log", "s.20100101.log"});
  ASSERT_TRUE(SetFileAttributesW((folder.path / "h.20100101.log").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW((folder.path / "s.20100101.log").c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(SweepFolder(folder.path.string(), 1), 1);
  EXPECT_EQ(folder.Left(), (Names{"h.20100101.log", "s.20100101.log"}));
}

// The black-box runs cover quoted and unquoted program names with blanks around.
TEST(ArgumentTextFromCommandLine, DropsTheProgramNameQuotedOrNot) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tarnwell.exe\t/Silent", "/Silent"},
      {"Tarnwell.exe", ""},
      {R"("C:\Program Files\Tarnwell.exe)", ""},
      {"", ""},
  };
  for (const auto& [line, text] : cases) {
    EXPECT_EQ(platform::ArgumentTextFromCommandLine(line), text) << line;
  }
}

}  // namespace
}  // namespace tarnwell
