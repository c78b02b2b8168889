#include "app/tarnwell_fn.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <vector>

#include "base/runtime_error.h"
#include "general/argument_text.h"
#include "general/command_line.h"
#include "general/log_age.h"
#include "general/newest_logs.h"
#include "general/registry.h"
#include "general/token.h"
#include "platform/file_attributes.h"
#include "platform/folder_listing.h"
#include "platform/message_box.h"
#include "platform/path_syntax.h"
#include "platform/path_text.h"
#include "platform/standard_output.h"

namespace tarnwell {

namespace {

constexpr char kUsage[] =
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]";
constexpr char kDebugFilePattern[] = "*.????????.log";
constexpr char kFallbackFolder[] = "C:\\DebugFiles";
constexpr Long kMaxKeep = 1'000'000;

std::string ReadSwitch(const char* key) {
  return GetCommandLineParameter(CommandLine, key, "=", false, " ");
}

// Whether the listing goes on: true for an opened folder or a listed batch, false for a
// folder that has gone or a listing at its end. A folder that is there but cannot be read
// ends the run, saying which folder and why.
bool Listed(const platform::OsResult& result, const std::string& folder) {
  if (result.failed()) RaiseError(kPathFileAccessError, folder + ": " + result.reason);
  return result.done();
}

// One line of the /List record. A lost line must not cost the deletions still to come,
// so the first failure is only kept, for the end of the run.
void Record(const std::string& path, std::optional<std::string>* failure) {
  const platform::OsResult written = platform::WriteStandardOutputLine(path);
  if (written.failed() && failure != nullptr && !*failure) *failure = written.reason;
}

// A message nobody could read must not pass for a run that reported: the caller sees the
// failure in the exit status and the reason on the error stream.
void Show(const std::string& text) {
  const platform::OsResult shown = platform::ShowMessage(text);
  if (shown.failed()) RaiseError(kDeviceIoError, shown.reason);
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

// Whether the /Path value `folder` is the folder the caller named. A command line that
// mentions /Path at all never falls back to the default sweep, so an empty or misread
// value must be refused rather than swept elsewhere.
bool IsNamedFolder(const std::string& folder, const std::vector<std::string>* arguments) {
  if (folder.empty() || !platform::CouldNameFolder(folder)) return false;
  // A rebuilt text carries some values changed (a quote inside, blanks at an end); what
  // the lookup read must be what the argument holds.
  return arguments == nullptr || folder == SwitchValueInArguments(*arguments, "/Path").value_or("");
}

// The count of /Keep=N: 0 without the switch, nullopt for one whose value is not a whole
// number from 1 to kMaxKeep in decimal digits. The switch counts as given wherever "/Keep"
// starts the command line or a word, so a typo in this safety switch (/Keep 7, /Keep:7)
// refuses the run rather than running without it.
std::optional<Long> ReadKeepCount() {
  if (FindIgnoringCase(" " + CommandLine, " /Keep") == std::string::npos) return 0;
  const std::string value = ReadSwitch("/Keep");
  Long keep = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    keep = keep * 10 + (c - '0');
    if (keep > kMaxKeep) return std::nullopt;
  }
  if (keep < 1) return std::nullopt;
  return keep;
}

}  // namespace

RunEnding Main(std::string_view argument_text, const std::vector<std::string>* arguments,
               RunSummary* summary) {
  CommandLine = std::string(TrimBlanks(argument_text));

  const Long limit = ToLong(ReadNumber(ReadSwitch("/DeleteAfterDays")));
  std::string folder = ReadSwitch("/Path");
  const bool path_given = ContainsIgnoringCase(CommandLine, "/Path");
  const std::optional<Long> keep = ReadKeepCount();
  if (limit <= 0 || (path_given && !IsNamedFolder(folder, arguments)) || !keep) {
    Show(kUsage);
    return RunEnding::kUsageShown;
  }

  const SweepOptions options = {.what_if = HasSwitch(CommandLine, "/WhatIf"),
                                .list = HasSwitch(CommandLine, "/List"),
                                .keep = *keep};
  std::optional<std::string> list_failure;
  const auto sweep = [&](const std::string& swept) {
    if (summary != nullptr) summary->folders.push_back(swept);
    return SweepFolder(swept, limit, options, &list_failure);
  };
  Long total = 0;
  if (path_given) {
    total = sweep(folder);
  } else {
    // "c:" plus the sweep's "\" names the root of drive C:.
    const Long first = sweep("c:");
    std::vector<std::string> warnings;
    folder = GetRegistryString(platform::kHkeyLocalMachine, "SOFTWARE\\Corvane", "DebugPath", "",
                               &warnings);
    for (const std::string& warning : warnings) platform::ShowNotice("tarnwell: " + warning);
    if (folder.empty()) folder = kFallbackFolder;
    total = AddLong(sweep(folder), first);
  }
  if (summary != nullptr) {
    summary->total = total;
    summary->what_if = options.what_if;
  }

  // A record that was asked for and is incomplete must not end in a report of success.
  if (list_failure) RaiseError(kDeviceIoError, "standard output: " + *list_failure);
  if (!ContainsIgnoringCase(CommandLine, "/Silent")) {
    Show(std::to_string(total) +
         (options.what_if ? " Debug files would be deleted" : " Debug files deleted"));
  }
  return RunEnding::kSwept;
}

int ExitStatusOfRun(std::string_view argument_text, const std::vector<std::string>* arguments,
                    void (*report)(const RuntimeError&), RunSummary* summary) {
  try {
    return static_cast<int>(Main(argument_text, arguments, summary));
  } catch (const RuntimeError& error) {
    report(error);
  } catch (const std::bad_alloc&) {
    // Unwinding has given back what the run held, so the report has room again.
    report(RuntimeError(kOutOfMemory, DescribeError(kOutOfMemory)));
  }
  return kRunTimeErrorExitStatus;
}

Long SweepFolder(const std::string& folder, Long limit, const SweepOptions& options,
                 std::optional<std::string>* list_failure) {
  // A drive-letter path on POSIX names no folder: being not there is its normal state.
  const std::optional<std::string> used = platform::FolderAsUsed(folder);
  if (!used) return 0;
  const std::string shown = platform::LineText(*used);
  const platform::OsResult found = platform::ProbeFolder(*used);
  if (found.failed()) RaiseError(kPathFileAccessError, shown + ": " + found.reason);
  if (!found.done()) {
    platform::ShowNotice("tarnwell: " + shown + ": no such folder, nothing swept");
    return 0;
  }
  platform::FolderListing listing;
  std::vector<platform::ListedEntry> batch;
  std::optional<NewestLogs> newest;
  if (options.keep > 0) {
    newest = NewestLogsIn(*used, shown, options.keep, listing, batch);
    // Nothing old enough beyond the logs kept: the second reading would delete nothing.
    const std::optional<Long> oldest = newest->OldestNotKept();
    if (!oldest || !AgeLimit::FromClock(limit).IsOlderDate(*oldest)) return 0;
  }
  if (!Listed(listing.Open(*used, kDebugFilePattern), shown)) return 0;
  Long count = 0;
  // Old files that stayed for another reason than their read-only mark, which is meant.
  std::int64_t stayed = 0;
  std::string first_reason;
  while (Listed(listing.NextBatch(&batch), shown)) {
    // Today is read once per batch: cheap, yet a sweep that runs past midnight moves on to
    // the new date.
    const AgeLimit age_limit = AgeLimit::FromClock(limit);
    std::erase_if(batch, [&](const platform::ListedEntry& entry) {
      const std::optional<Long> date = age_limit.LogDate(entry.name);
      return !date || !age_limit.IsOlderDate(*date) || (newest && newest->Keeps(entry.name, *date));
    });
    listing.OrderForDeletion(&batch);
    for (const platform::ListedEntry& entry : batch) {
      const platform::OsResult gone =
          options.what_if ? listing.WouldDeleteEntry(entry) : listing.DeleteEntry(entry);
      if (gone.failed() && gone.reason != platform::kReadOnlyReason && stayed++ == 0) {
        first_reason = gone.reason;
      }
      if (!gone.done()) continue;
      if (options.list) {
        Record(platform::LineText(platform::EntryPath(*used, entry.name)), list_failure);
      }
      count = AddLong(count, 1);
    }
  }
  if (stayed > 0) {
    platform::ShowNotice("tarnwell: " + shown + ": " + std::to_string(stayed) +
                         (stayed == 1 ? " old file" : " old files") +
                         " not deleted: " + first_reason);
  }
  return count;
}

}  // namespace tarnwell
