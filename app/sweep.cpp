#include "app/sweep.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/batch_deletion.h"
#include "base/runtime_error.h"
#include "general/log_age.h"
#include "general/name_pattern.h"
#include "general/newest_logs.h"
#include "platform/file_attributes.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"
#include "platform/two_digit_year.h"

namespace tarnwell {
namespace {

constexpr char kDebugFilePattern[] = "*.????????.log";

// Whether the listing goes on: true for an opened folder or a listed batch, false for a
// folder that has gone or a listing at its end. A folder that is there but cannot be read
// ends the sweep, saying which folder and why.
bool Listed(const platform::OsResult& result, const std::string& folder) {
  if (result.failed()) RaiseError(kPathFileAccessError, folder + ": " + result.reason);
  return result.done();
}

// How a sweep reads a file's name: by the default shape, stem.YYYYMMDD.log, with its lenient
// reading of the date, or by the /Names patterns.
class NameReading {
 public:
  explicit NameReading(const Rule& rule)
      : patterns_(rule.names), window_(platform::TwoDigitYearMax()) {}

  bool Patterned() const { return !patterns_.empty(); }
  // What the folder's listing is asked for: with patterns every ordinary file, which are
  // judged here.
  const char* ListingPattern() const { return Patterned() ? "*" : kDebugFilePattern; }
  // The day serial of the date in a dated log's name; nullopt for any other name.
  std::optional<Long> DateOf(std::string_view name, const AgeLimit& dates) const {
    if (!Patterned()) return dates.LogDate(name);
    const std::optional<NameMatch> match = MatchName(patterns_, name, window_);
    if (!match) return std::nullopt;
    return match->date;
  }
  // What /Keep counts the newest logs by: the stem, and with patterns each pattern's own.
  NewestLogs::StemOf StemOf() const {
    if (!Patterned()) return LogStem;
    return [this](std::string_view name) {
      const std::optional<NameMatch> match = MatchName(patterns_, name, window_);
      return match ? std::to_string(match->pattern) + '/' + match->Stem(name) : std::string();
    };
  }
  // The patterns as the /Names value wrote them.
  std::string Text() const {
    std::string text;
    for (const NamePattern& pattern : patterns_) text += (text.empty() ? "" : "|") + pattern.Text();
    return text;
  }

 private:
  const std::vector<NamePattern>& patterns_;
  int window_;
};

// The listings of one level of sub-folders, kept from one folder of the level to the next,
// so that a tree of many small folders does not allocate a batch for each.
struct Level {
  platform::FolderListing folders;  // the sub-folders of a folder of the level above
  std::vector<platform::ListedEntry> batch;
  platform::FolderListing files;  // one of them, for its files
};

// What one sweep carries through the folders it walks.
struct Walk {
  const Rule& rule;
  const RunChoices& choices;
  Report& report;
  NameReading reading;
  SweepResult& result;
  std::vector<platform::ListedEntry> files = {};    // the batch of the folder being swept
  std::vector<std::unique_ptr<Level>> levels = {};  // [0]: the swept folder's sub-folders
};

// The `keep` newest logs of each stem in the folder `listing` has open (named `shown`),
// from a reading of the whole folder before anything in it is deleted: their order must not
// depend on which batch a file comes in. The reading uses the sweep's own `listing` and
// `batch`, so it takes no memory beyond theirs and `keep` names per stem. `*named` counts
// the files read and the dated logs among them.
NewestLogs NewestLogsIn(platform::FolderListing& listing, std::vector<platform::ListedEntry>& batch,
                        const std::string& shown, const Walk& walk,
                        std::pair<std::int64_t, std::int64_t>* named) {
  NewestLogs newest(walk.rule.keep, walk.reading.StemOf());
  // A log's date does not depend on today, only on the two-digit-year window.
  const AgeLimit dates = AgeLimit::FromClock(1);
  while (Listed(listing.NextBatch(&batch), shown)) {
    for (const platform::ListedEntry& entry : batch) {
      ++named->first;
      if (const std::optional<Long> date = walk.reading.DateOf(entry.name, dates)) {
        ++named->second;
        newest.Offer(entry.name, *date);
      }
    }
  }
  return newest;
}

// Deletes (or, previewing, judges) the old logs of one batch, chosen before any of them
// goes, and adds what came of each to `result`.
void DeleteBatch(platform::FolderListing& listing, std::vector<platform::ListedEntry>& batch,
                 const std::string& used, const RunChoices& choices, Report& report,
                 SweepResult& result) {
  // In the order the file system deletes fastest.
  listing.OrderForDeletion(&batch);
  DeleteEntries(listing, batch, used, choices, report, result);
}

// Sweeps the files of the folder `listing` has open (`used`, shown as `shown`). A folder
// that cannot be read raises kPathFileAccessError, naming it and why.
void SweepFiles(platform::FolderListing& listing, const std::string& used, const std::string& shown,
                Walk& walk) {
  SweepResult here;
  std::vector<platform::ListedEntry>& batch = walk.files;
  std::optional<NewestLogs> newest;
  // The ordinary files listed and the dated logs among them, for a pattern that names none.
  std::pair<std::int64_t, std::int64_t> named;
  bool judged = true;  // every listed file goes through the loop below
  if (walk.rule.keep > 0) {
    newest = NewestLogsIn(listing, batch, shown, walk, &named);
    judged = false;
    // Nothing old enough beyond the logs kept: a second reading would delete nothing.
    const std::optional<Long> oldest = newest->OldestNotKept();
    if (oldest && AgeLimit::FromClock(walk.rule.days).IsOlderDate(*oldest)) {
      Listed(listing.Restart(), shown);
    }
  }
  while (Listed(listing.NextBatch(&batch), shown)) {
    // Today is read once per batch: cheap, yet a sweep that runs past midnight moves on to
    // the new date.
    const AgeLimit age_limit = AgeLimit::FromClock(walk.rule.days);
    std::erase_if(batch, [&](const platform::ListedEntry& entry) {
      named.first += judged;
      const std::optional<Long> date = walk.reading.DateOf(entry.name, age_limit);
      named.second += judged && date;
      if (!date || !age_limit.IsOlderDate(*date)) return true;
      const bool kept = newest && newest->Keeps(entry.name, *date);
      here.kept += kept;
      return kept;
    });
    DeleteBatch(listing, batch, used, walk.choices, walk.report, here);
  }
  if (walk.reading.Patterned() && named.first > 0 && named.second == 0) {
    walk.report.Notice(shown + ": " + std::to_string(named.first) +
                       (named.first == 1 ? " file" : " files") + ", none named like " +
                       walk.reading.Text());
  }
  if (here.not_deleted > 0) {
    walk.report.Notice(shown + ": " + std::to_string(here.not_deleted) +
                       (here.not_deleted == 1 ? " old file" : " old files") +
                       " not deleted: " + here.first_reason);
  }
  SweepResult& all = walk.result;
  all.deleted = AddLong(all.deleted, here.deleted);
  all.kept += here.kept;
  all.read_only += here.read_only;
  if (all.not_deleted == 0) all.first_reason = here.first_reason;
  all.not_deleted += here.not_deleted;
}

// A sub-folder that cannot be read stops only itself: said, counted, and the others swept.
void Unreadable(const std::string& what, Walk& walk) {
  walk.report.Notice(what);
  ++walk.result.unreadable_folders;
}

// Sweeps the sub-folders of the folder `files` has open (`used`), which are `level` + 1
// levels below the swept folder, and theirs, down to the rule's depth. `files` is closed
// once its sub-folders are open for listing, so each level holds one listing and one batch.
void SweepSubfolders(platform::FolderListing& files, const std::string& used, std::size_t level,
                     Walk& walk) {
  if (walk.levels.size() <= level) walk.levels.push_back(std::make_unique<Level>());
  Level& here = *walk.levels[level];
  const platform::OsResult opened = here.folders.OpenSubfolders(files);
  files.Close();
  if (opened.failed()) return Unreadable(platform::LineText(used) + ": " + opened.reason, walk);
  for (;;) {
    const platform::OsResult listed = here.folders.NextBatch(&here.batch);
    if (listed.failed()) return Unreadable(platform::LineText(used) + ": " + listed.reason, walk);
    if (!listed.done()) return;
    for (const platform::ListedEntry& entry : here.batch) {
      const std::string child = platform::EntryPath(used, entry.name);
      const platform::OsResult entered =
          here.files.OpenSubfolder(here.folders, entry, walk.reading.ListingPattern());
      if (entered.failed()) {
        Unreadable(platform::LineText(child) + ": " + entered.reason, walk);
        continue;
      }
      if (!entered.done()) continue;  // gone, or a link or mount point: never entered
      try {
        SweepFiles(here.files, child, platform::LineText(child), walk);
      } catch (const RuntimeError& error) {
        if (error.Number() != kPathFileAccessError) throw;
        Unreadable(error.Detail(), walk);
        continue;
      }
      if (level + 1 < static_cast<std::size_t>(walk.rule.depth)) {
        SweepSubfolders(here.files, child, level + 1, walk);
      }
    }
  }
}

}  // namespace

SweepResult Sweep(const Rule& rule, const RunChoices& choices, Report& report) {
  SweepResult result;
  // A drive-letter path on POSIX names no folder: being not there is its normal state.
  const std::optional<std::string> used = platform::FolderAsUsed(rule.folder, rule.verbatim_folder);
  if (!used) return result;
  const std::string shown = platform::LineText(*used);
  result.folder = shown;
  const platform::OsResult found = platform::ProbeFolder(*used);
  if (found.failed()) RaiseError(kPathFileAccessError, shown + ": " + found.reason);
  if (!found.done()) return result;
  result.there = true;
  Walk walk{rule, choices, report, NameReading(rule), result};
  platform::FolderListing listing;
  if (!Listed(listing.Open(*used, walk.reading.ListingPattern()), shown)) return result;
  SweepFiles(listing, *used, shown, walk);
  if (rule.depth > 0) SweepSubfolders(listing, *used, 0, walk);
  return result;
}

Long SweepFolder(const std::string& folder, Long limit) {
  Report report({}, "", "");
  return Sweep({.folder = folder, .days = limit}, {}, report).deleted;
}

}  // namespace tarnwell
