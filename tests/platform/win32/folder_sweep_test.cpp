// Sweeps of folders named in every form the file API takes, and of folders changed by
// someone else while they are swept.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/tarnwell_fn.h"
#include "base/runtime_error.h"
#include "platform/folder_listing.h"
#include "platform/win32/extended_path.h"
#include "platform/win32/wide_string.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

using platform::ExtendedFolderPath;
using platform::ExtendedPath;
using platform::Widen;

const std::string kOld = LogName("trace", -30);
const std::string kNew = LogName("trace", 0);

TEST(ExtendedPath, PrefixesDriveAndSharePathsAndKeepsWhatIsAlreadyPrefixed) {
  const struct {
    const wchar_t *path, *extended, *folder;
  } rows[] = {
      {.path = LR"(C:\a\..\b)", .extended = LR"(\\?\C:\b)", .folder = LR"(\\?\C:\b\)"},
      {.path = L"C:/a//b", .extended = LR"(\\?\C:\a\b)", .folder = LR"(\\?\C:\a\b\)"},
      {.path = LR"(\\server\share\logs)",
       .extended = LR"(\\?\UNC\server\share\logs)",
       .folder = LR"(\\?\UNC\server\share\logs\)"},
      {.path = LR"(\\?\C:\S\)", .extended = LR"(\\?\C:\S\)", .folder = LR"(\\?\C:\S\)"},
      {.path = LR"(\\?\C:)", .extended = LR"(\\?\C:)", .folder = LR"(\\?\C:\)"},
      {.path = LR"(\\.\pipe\p)", .extended = LR"(\\.\pipe\p)", .folder = LR"(\\.\pipe\p\)"},
      // "c:" alone is the drive's current folder, but a folder to sweep "c:" is its root.
      {.path = L"c:", .extended = nullptr, .folder = LR"(\\?\c:\)"},
  };
  for (const auto& row : rows) {
    if (row.extended != nullptr) {
      EXPECT_EQ(ExtendedPath(row.path), row.extended) << row.path;
    }
    EXPECT_EQ(ExtendedFolderPath(row.path), row.folder) << row.path;
  }
}

// Files are made and read through "\\?\" paths: the C runtime behind std::filesystem
// stops at 260 characters.
std::wstring Prefixed(const fs::path& path) { return LR"(\\?\)" + path.wstring(); }

void AddFiles(const fs::path& folder, const Names& names) {
  for (const std::string& name : names) {
    CloseHandle(CreateFileW(Prefixed(folder / FromUtf8(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_NEW, 0, nullptr));
  }
}

Names Left(const fs::path& folder) {
  Names names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Prefixed(folder / "*").c_str(), &data);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.insert(platform::Narrow(name));
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return names;
}

// The Unix path of `path` when running under Wine, in the form of its Z: drive.
std::string WineZDrivePath(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unix_name != nullptr ? unix_name(Widen(path).c_str()) : nullptr;
  if (name == nullptr) return {};
  std::string z = std::string("Z:") + name;
  HeapFree(GetProcessHeap(), 0, name);
  std::replace(z.begin(), z.end(), '/', '\\');
  return z;
}

// Shares cannot be reached under Wine ("\\?\UNC\localhost\..." is not there), so the
// prefixed forms are tried on drives: C: and Z:, Wine's view of the Unix root.
TEST(SweepFolderOnWindows, SweepsLongPrefixedAndTrailingSeparatorPaths) {
  const std::string long_leaf = std::string(120, 'a') + "\\" + std::string(120, 'b');
  const struct {
    const char* form;
    std::string leaf;
    std::string (*given)(const std::string& full);
  } rows[] = {
      {.form = "over 300 characters",
       .leaf = long_leaf,
       .given = [](const std::string& full) { return full; }},
      {.form = "prefixed, over 300 characters",
       .leaf = long_leaf,
       .given = [](const std::string& full) { return R"(\\?\)" + full; }},
      {.form = "prefixed with a trailing separator",
       .leaf = "s",
       .given = [](const std::string& full) { return R"(\\?\)" + full + "\\"; }},
      {.form = "prefixed on the Unix root drive",
       .leaf = "z",
       .given = [](const std::string& full) { return R"(\\?\)" + WineZDrivePath(full); }},
  };
  for (const auto& row : rows) {
    const TestFolder folder(row.leaf);
    const fs::path path = folder.Path().lexically_normal().make_preferred();
    AddFiles(path, {kOld, kNew});
    const std::string full = Utf8(path);
    const std::string given = row.given(full);
    if (given == R"(\\?\)") continue;  // not under Wine: no Z: drive
    Long deleted = -1;
    try {
      deleted = SweepFolder(given, 10);
    } catch (const RuntimeError& error) {
      ADD_FAILURE() << row.form << ": " << error.what();
    }
    EXPECT_EQ(deleted, 1) << row.form << ": " << given;
    EXPECT_EQ(Left(path), Names{kNew}) << row.form;
  }
}

// Someone renames the swept folder, or a folder above it, and moves another folder with
// the same names into its place. Wine cannot make junctions (FSCTL_SET_REPARSE_POINT is
// not supported there), so the other folder is moved in; for deletions by path the two
// are the same attack.
TEST(FolderListingOnWindows, DeletesNothingOutsideTheOpenedFolderWhenItIsSwappedMidSweep) {
  const struct {
    const char *renamed, *replacement;
    bool refused;  // the rename itself must fail
  } rows[] = {
      {.renamed = R"(in\logs)", .replacement = R"(out\logs)", .refused = true},
      // Windows refuses this one too; Wine lets a folder above an open one move.
      {.renamed = "in", .replacement = "out", .refused = false},
  };
  for (const auto& row : rows) {
    const TestFolder in;
    const fs::path swept = in.Path() / "in" / "logs", outside = in.Path() / "out" / "logs";
    const Names names = {LogName("a", -30), LogName("b", -30), LogName("c", -30)};
    for (const fs::path& folder : {swept, outside}) {
      fs::create_directories(folder);
      AddFiles(folder, names);
    }
    platform::FolderListing listing;
    ASSERT_TRUE(listing.Open(Utf8(swept), "*.log").done()) << row.renamed;
    std::string name;
    ASSERT_TRUE(listing.Next(&name).done()) << row.renamed;

    const fs::path renamed = in.Path() / row.renamed, moved = in.Path() / "moved";
    const bool swapped =
        MoveFileW(renamed.wstring().c_str(), moved.wstring().c_str()) &&
        MoveFileW((in.Path() / row.replacement).wstring().c_str(), renamed.wstring().c_str());
    if (row.refused) {
      EXPECT_FALSE(swapped) << row.renamed << " was renamed while swept";
    }
    do {
      listing.DeleteEntry(name);
    } while (listing.Next(&name).done());

    EXPECT_EQ(Left(swapped ? swept : outside), names) << row.renamed << ": outside files deleted";
    // Wine deletes a file on close by the name it was opened under, and leaves it when
    // that name now leads elsewhere: after a swap, nothing at all is deleted there.
    if (!swapped) {
      EXPECT_EQ(Left(swept), Names{}) << row.renamed;
    }
  }
}

// An unpaired surrogate reads as U+FFFD in UTF-8. Deleting by that text would hit a hidden
// (so never listed) neighbour spelled with a real U+FFFD instead of the entry listed.
TEST(SweepFolderOnWindows, DeletesTheEntryListedWhenItsNameIsNotValidUtf16) {
  const TestFolder folder;
  const std::wstring stem = ExtendedPath(Widen(folder.Text())) + L"\\x";
  const std::wstring tail = Widen(kOld.substr(std::string("trace").size()));
  const std::wstring listed = stem + wchar_t(0xD800) + tail;
  const std::wstring neighbour = stem + wchar_t(0xFFFD) + tail;
  HANDLE file = CreateFileW(listed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no unpaired surrogates in names here (Wine)";
  CloseHandle(file);
  CloseHandle(CreateFileW(neighbour.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_HIDDEN, nullptr));

  EXPECT_EQ(SweepFolder(folder.Text(), 10), 1);
  EXPECT_EQ(GetFileAttributesW(listed.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(neighbour.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace tarnwell
