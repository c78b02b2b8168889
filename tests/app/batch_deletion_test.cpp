// The deletion of a batch on one thread and on four, on real folders: the same counts and
// files left, every /List line whole and once, whatever happened to a file since it was
// listed; and /Keep decided before the deletion on any number of threads.
#include "app/batch_deletion.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/path_text.h"
#include "tests/test_folder.h"

namespace tarnwell {
namespace {

using Lines = std::vector<std::string>;
using Change = void (*)(const fs::path& file);

void MakeReadOnly(const fs::path& file) {
  fs::permissions(file, fs::perms::all, fs::perm_options::remove);
}
void Remove(const fs::path& file) { fs::remove(file); }
// Where the C++ library makes no symbolic links (mingw's), a folder stands in: neither is
// an ordinary file.
void SwapForLink(const fs::path& file) {
  fs::remove(file);
  std::error_code no_links;
  fs::create_symlink("elsewhere.log", file, no_links);
  if (no_links) fs::create_directory(file);
}

// Forty listed files; every tenth, one in each of four shares, changed before the deletion.
TEST(DeleteEntries, ComesToTheSameOnOneThreadAndOnFour) {
  const struct {
    Change change = nullptr;
    bool what_if = false;
    std::int64_t deleted;
    // By kind: read-only (the mark), in use, permission denied, read-only file system, other.
    platform::FailureCounts not_deleted = {};
    std::size_t left;
  } rows[] = {
      {.deleted = 40, .left = 0},
      {.change = MakeReadOnly, .deleted = 36, .not_deleted = {4}, .left = 4},
      {.change = Remove, .deleted = 36, .left = 0},
      {.change = SwapForLink, .deleted = 36, .not_deleted = {0, 0, 0, 0, 4}, .left = 4},
      {.change = MakeReadOnly, .what_if = true, .deleted = 36, .not_deleted = {4}, .left = 40},
  };
  // Checked once the record is read back: a failure told meanwhile would land in it.
  using Outcome = std::tuple<std::string, std::int64_t, platform::FailureCounts, std::size_t>;
  std::vector<Outcome> outcomes, wanted;
  std::multiset<std::string> expected, written;
  Lines reasons;
  testing::internal::CaptureStdout();
  for (const auto& row : rows) {
    for (const unsigned threads : {1u, 4u}) {
      const std::string run = "row" + std::to_string(&row - rows) + "-" + std::to_string(threads);
      const TestFolder folder(run);
      for (int i = 0; i < 40; ++i) folder.Add("trace" + std::to_string(i) + ".20100101.log");
      platform::FolderListing listing;
      std::vector<platform::ListedEntry> batch;
      if (listing.Open(folder.Text(), "*.log").done()) listing.NextBatch(&batch);
      listing.OrderForDeletion(&batch);  // as DeleteEntries shares them out
      for (std::size_t i = 0; i < batch.size(); ++i) {
        const fs::path file = folder.Path() / FromUtf8(std::string(batch[i].name));
        if (row.change && i % 10 == 3) {
          row.change(file);
        } else {
          expected.insert(Utf8(fs::path(file).make_preferred()));
        }
      }
      const RunChoices choices = {
          .what_if = row.what_if, .list = true, .deletion_threads = threads};
      Report report(choices, "", "");
      SweepResult result;
      DeleteEntries(listing, batch, *platform::FolderAsUsed(folder.Text()), choices, report,
                    result);
      outcomes.emplace_back(run, result.deleted, result.not_deleted, folder.Entries().size());
      wanted.emplace_back(run, row.deleted, row.not_deleted, row.left);
      if (result.Unmeant() > 0) reasons.push_back(result.first_reason);
    }
  }
  std::istringstream output(testing::internal::GetCapturedStdout());
  for (std::string line; std::getline(output, line);) written.insert(line);
  EXPECT_EQ(outcomes, wanted);
  EXPECT_EQ(written, expected);
  EXPECT_EQ(reasons, Lines(2, reasons.empty() ? "" : reasons.front()));

  // /Keep=5 of forty old logs of one stem.
  for (const unsigned threads : {1u, 4u}) {
    const TestFolder folder("keep" + std::to_string(threads));
    Names kept;
    for (int i = 0; i < 40; ++i) folder.Add(LogName("trace", -10 - i));
    for (int i = 0; i < 5; ++i) kept.insert(LogName("trace", -10 - i));
    Report report({}, "", "");
    const SweepResult result = Sweep({.folder = folder.Text(), .days = 7, .keep = 5},
                                     {.deletion_threads = threads}, report);
    EXPECT_EQ(std::tuple(result.deleted, result.kept, folder.Entries()), std::tuple(35, 5, kept));
  }
}

}  // namespace
}  // namespace tarnwell
