// The Windows folder listing under the sweep, and the argument text of the command line.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/tarnwell_fn.h"
#include "platform/argument_text.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

TEST(SweepFolder, LeavesHiddenAndSystemFilesAlone) {
  const TestFolder folder;
  folder.Create({"plain.20100101.log", "h.20100101.log", "s.20100101.log"});
  ASSERT_TRUE(
      SetFileAttributesW((folder.Path() / "h.20100101.log").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(
      SetFileAttributesW((folder.Path() / "s.20100101.log").c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 1);
  EXPECT_EQ(folder.Entries(), (Names{"h.20100101.log", "s.20100101.log"}));
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
