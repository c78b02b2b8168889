#include "platform/folder_listing.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "app/tarnwell_fn.h"
#include "tests/app/temp_folder.h"

namespace tarnwell::platform {
namespace {

TEST(Win32FolderListing, HiddenAndSystemFilesAreNeitherListedNorSwept) {
  const TempFolder folder;
  const std::pair<const char*, DWORD> files[] = {
      {"archive.20100101.log", FILE_ATTRIBUTE_ARCHIVE},
      {"hidden.20100101.log", FILE_ATTRIBUTE_HIDDEN},
      {"plain.20100101.log", FILE_ATTRIBUTE_NORMAL},
      {"system.20100101.log", FILE_ATTRIBUTE_SYSTEM},
  };
  for (const auto& [name, attributes] : files) {
    folder.Create({name});
    ASSERT_TRUE(SetFileAttributesW((folder.Path() / name).wstring().c_str(), attributes));
  }
  EXPECT_EQ(SweepFolder(folder.Path().string(), 1), 2);
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"hidden.20100101.log", "system.20100101.log"}));
}

}  // namespace
}  // namespace tarnwell::platform
