#include "app/sweep.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/batch_deletion.h"
#include "app/caps.h"
#include "app/folder_walk.h"
#include "base/runtime_error.h"
#include "general/log_age.h"
#include "general/newest_logs.h"
#include "platform/file_attributes.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"

namespace tarnwell {
namespace {

// What the age rule does in one folder of a sweep.
class AgeRule {
 public:
  AgeRule(const Rule& rule, const RunChoices& choices, Report& report, SweepResult& result)
      : rule_(rule), choices_(choices), report_(report), reading_(rule), result_(result) {}

  const NameReading& Reading() const { return reading_; }

  // Sweeps the files of `folder`. A folder that cannot be read raises kPathFileAccessError,
  // naming it and why.
  void Sweep(const VisitedFolder& folder) {
    const std::string shown = platform::LineText(folder.used);
    SweepResult here;
    std::optional<NewestLogs> newest;
    // The ordinary files listed and the dated logs among them, for a pattern naming none.
    std::pair<std::int64_t, std::int64_t> named;
    if (rule_.keep > 0) {
      newest = NewestLogsIn(folder.files, batch_, shown, rule_.keep, reading_, &named);
      // Nothing old enough beyond the logs kept: a second reading would delete nothing.
      const std::optional<Long> oldest = newest->OldestNotKept();
      if (oldest && AgeLimit::FromClock(rule_.days).IsOlderDate(*oldest)) {
        Listed(folder.files.Restart(), shown);
      }
    }
    while (Listed(folder.files.NextBatch(&batch_), shown)) {
      // Today is read once per batch: cheap, yet a sweep that runs past midnight moves on
      // to the new date.
      const AgeLimit age_limit = AgeLimit::FromClock(rule_.days);
      std::erase_if(batch_, [&](const platform::ListedEntry& entry) {
        // Without /Keep every listed file comes here once; with it NewestLogsIn counted them.
        const bool judged = !newest;
        named.first += judged;
        const std::optional<Long> date = reading_.DateOf(entry.name, age_limit);
        named.second += judged && date;
        if (!date || !age_limit.IsOlderDate(*date)) return true;
        const bool kept = newest && newest->Keeps(entry.name, *date);
        here.kept += kept;
        return kept;
      });
      DeleteEntries(folder.files, batch_, folder.used, choices_, report_, here);
    }
    if (reading_.Patterned() && named.first > 0 && named.second == 0) {
      report_.Notice(shown + ": " + std::to_string(named.first) +
                     (named.first == 1 ? " file" : " files") + ", none named like " +
                     reading_.Text());
    }
    if (const std::int64_t unmeant = here.Unmeant(); unmeant > 0) {
      report_.Notice(shown + ": " + std::to_string(unmeant) +
                     (unmeant == 1 ? " old file" : " old files") +
                     " not deleted: " + here.first_reason);
    }
    AddResult(here, result_);
  }

 private:
  const Rule& rule_;
  const RunChoices& choices_;
  Report& report_;
  NameReading reading_;
  SweepResult& result_;
  std::vector<platform::ListedEntry> batch_;
};

}  // namespace

std::int64_t SweepResult::Unmeant() const {
  std::int64_t unmeant = 0;
  for (std::size_t kind = 0; kind < not_deleted.size(); ++kind) {
    if (kind != static_cast<std::size_t>(platform::DeletionFailure::kReadOnly)) {
      unmeant += not_deleted[kind];
    }
  }
  return unmeant;
}

void AddResult(const SweepResult& part, SweepResult& whole) {
  whole.deleted = AddLong(whole.deleted, part.deleted);
  whole.bytes += part.bytes;
  whole.freed += part.freed;
  whole.kept += part.kept;
  if (whole.Unmeant() == 0) whole.first_reason = part.first_reason;
  for (std::size_t kind = 0; kind < whole.not_deleted.size(); ++kind) {
    whole.not_deleted[kind] += part.not_deleted[kind];
  }
}

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
  AgeRule age_rule(rule, choices, report, result);
  platform::FolderListing listing;
  if (!Listed(listing.Open(*used, age_rule.Reading().ListingPattern()), shown)) return result;
  // /MinFree counts from the space before anything goes, and what each deletion frees.
  CapStart start;
  if (rule.min_free) {
    platform::DiskSpace space;
    const platform::OsResult read = listing.Space(&space);
    if (read.failed()) RaiseError(kPathFileAccessError, shown + ": " + read.reason);
    start.space = space;
  }
  WalkFolders(listing, *used, rule.depth, age_rule.Reading(), report, &result.unreadable_folders,
              [&](const VisitedFolder& folder) { age_rule.Sweep(folder); });
  if (rule.max_size || rule.min_free) {
    start.freed = result.freed;
    ApplyCaps(rule, choices, report, *used, shown, start, result);
  }
  return result;
}

Long SweepFolder(const std::string& folder, Long limit) {
  Report report({}, "", "");
  return Sweep({.folder = folder, .days = limit}, {}, report).deleted;
}

}  // namespace tarnwell
