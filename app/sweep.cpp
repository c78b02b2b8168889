#include "app/sweep.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/batch_deletion.h"
#include "base/runtime_error.h"
#include "general/log_age.h"
#include "general/newest_logs.h"
#include "platform/file_attributes.h"
#include "platform/folder_listing.h"
#include "platform/path_text.h"

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

// The `keep` newest logs of each stem in the folder `used` (named `shown`), from a reading
// of the whole folder before anything in it is deleted: their order must not depend on
// which batch a file comes in. The reading uses the sweep's own `listing` and `batch`, so
// it takes no memory beyond theirs and `keep` names per stem.
NewestLogs NewestLogsIn(const std::string& used, const std::string& shown, Long keep,
                        platform::FolderListing& listing,
                        std::vector<platform::ListedEntry>& batch) {
  NewestLogs newest(keep);
  if (!Listed(listing.Open(used, kDebugFilePattern), shown)) return newest;
  // A log's date does not depend on today, only on the two-digit-year window.
  const AgeLimit dates = AgeLimit::FromClock(1);
  while (Listed(listing.NextBatch(&batch), shown)) {
    for (const platform::ListedEntry& entry : batch) {
      if (const std::optional<Long> date = dates.LogDate(entry.name)) {
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

}  // namespace

SweepResult Sweep(const Rule& rule, const RunChoices& choices, Report& report) {
  SweepResult result;
  // A drive-letter path on POSIX names no folder: being not there is its normal state.
  const std::optional<std::string> used = platform::FolderAsUsed(rule.folder);
  if (!used) return result;
  const std::string shown = platform::LineText(*used);
  result.folder = shown;
  const platform::OsResult found = platform::ProbeFolder(*used);
  if (found.failed()) RaiseError(kPathFileAccessError, shown + ": " + found.reason);
  if (!found.done()) return result;
  result.there = true;
  platform::FolderListing listing;
  std::vector<platform::ListedEntry> batch;
  std::optional<NewestLogs> newest;
  if (rule.keep > 0) {
    newest = NewestLogsIn(*used, shown, rule.keep, listing, batch);
    // Nothing old enough beyond the logs kept: the second reading would delete nothing.
    const std::optional<Long> oldest = newest->OldestNotKept();
    if (!oldest || !AgeLimit::FromClock(rule.days).IsOlderDate(*oldest)) return result;
  }
  if (!Listed(listing.Open(*used, kDebugFilePattern), shown)) return result;
  while (Listed(listing.NextBatch(&batch), shown)) {
    // Today is read once per batch: cheap, yet a sweep that runs past midnight moves on to
    // the new date.
    const AgeLimit age_limit = AgeLimit::FromClock(rule.days);
    std::erase_if(batch, [&](const platform::ListedEntry& entry) {
      const std::optional<Long> date = age_limit.LogDate(entry.name);
      if (!date || !age_limit.IsOlderDate(*date)) return true;
      const bool kept = newest && newest->Keeps(entry.name, *date);
      result.kept += kept;
      return kept;
    });
    DeleteBatch(listing, batch, *used, choices, report, result);
  }
  if (result.not_deleted > 0) {
    report.Notice(shown + ": " + std::to_string(result.not_deleted) +
                  (result.not_deleted == 1 ? " old file" : " old files") +
                  " not deleted: " + result.first_reason);
  }
  return result;
}

Long SweepFolder(const std::string& folder, Long limit) {
  Report report({}, "", "");
  return Sweep({.folder = folder, .days = limit}, {}, report).deleted;
}

}  // namespace tarnwell
