#include "app/tarnwell_fn.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "base/runtime_error.h"
#include "general/command_line.h"
#include "general/date_expression.h"
#include "general/date_stamp.h"
#include "general/paths.h"
#include "general/registry.h"
#include "general/token.h"
#include "platform/folder_listing.h"
#include "platform/message_box.h"
#include "platform/standard_output.h"

namespace tarnwell {

namespace {

constexpr char kUsage[] =
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]";
constexpr char kDebugFilePattern[] = "*.????????.log";
constexpr char kFallbackFolder[] = "C:\\DebugFiles";

std::string ReadSwitch(const char* key) {
  return GetCommandLineParameter(CommandLine, key, "=", false, " ");
}

// The last dot-separated part of the name once its extension is gone ("20140804" for
// "a.b.20140804.log"), with surrounding spaces trimmed.
std::string DateComponent(const std::string& name) {
  std::string reversed = FileNameWithoutExtension(name);
  std::reverse(reversed.begin(), reversed.end());
  Long start = 1;
  Long found_at = 0;
  std::string component = ExtractToken(reversed, start, ".", found_at, true, true);
  std::reverse(component.begin(), component.end());
  return component;
}

// Whether the file `name` is dated more than `limit` days before today. Raises what the
// date evaluation raises for a date it cannot represent.
bool IsOlderThan(const std::string& name, Long limit) {
  const std::string component = DateComponent(name);
  if (component.size() != 8 || !(ReadNumber(component) > 0)) return false;
  const std::string date_text =
      component.substr(0, 4) + "-" + component.substr(4, 2) + "-" + component.substr(6, 2);
  const DateStamp stamp = EvaluateDateExpression(date_text);
  if (stamp.DaySerial <= 0) return false;
  // Today is read for every file, so a sweep that runs past midnight uses the new date.
  const std::int64_t age =
      std::int64_t{CurrentStamp(false).DaySerial} - std::int64_t{stamp.DaySerial};
  return age > limit;
}

// Whether the listing goes on: true for an opened folder or a listed name, false for a
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

}  // namespace

RunEnding Main(std::string_view argument_text) {
  CommandLine = std::string(TrimBlanks(argument_text));

  const Long limit = ToLong(ReadNumber(ReadSwitch("/DeleteAfterDays")));
  if (limit <= 0) {
    Show(kUsage);
    return RunEnding::kUsageShown;
  }

  const SweepOptions options = {.what_if = HasSwitch(CommandLine, "/WhatIf"),
                                .list = HasSwitch(CommandLine, "/List")};
  std::optional<std::string> list_failure;
  std::string folder = ReadSwitch("/Path");
  Long total = 0;
  if (!folder.empty()) {
    total = SweepFolder(folder, limit, options, &list_failure);
  } else {
    // "c:" plus the sweep's "\" names the root of drive C:.
    const Long first = SweepFolder("c:", limit, options, &list_failure);
    folder = GetRegistryString(platform::kHkeyLocalMachine, "SOFTWARE\\Corvane", "DebugPath", "");
    if (folder.empty()) folder = kFallbackFolder;
    total = AddLong(SweepFolder(folder, limit, options, &list_failure), first);
  }

  // A record that was asked for and is incomplete must not end in a report of success.
  if (list_failure) RaiseError(kDeviceIoError, "standard output: " + *list_failure);
  if (!ContainsIgnoringCase(CommandLine, "/Silent")) {
    Show(std::to_string(total) +
         (options.what_if ? " Debug files would be deleted" : " Debug files deleted"));
  }
  return RunEnding::kSwept;
}

int ExitStatusOfRun(std::string_view argument_text, void (*report)(const RuntimeError&)) {
  try {
    return static_cast<int>(Main(argument_text));
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
  if (!FolderExists(folder)) return 0;
  platform::FolderListing listing;
  if (!Listed(listing.Open(folder, kDebugFilePattern), folder)) return 0;
  Long count = 0;
  std::string name;
  while (Listed(listing.Next(&name), folder)) {
    bool delete_it = false;
    try {
      delete_it = IsOlderThan(name, limit);
    } catch (const RuntimeError&) {
      continue;  // a name that is no representable date must not end the run
    }
    if (!delete_it) continue;
    if (!(options.what_if ? listing.WouldDeleteEntry(name) : listing.DeleteEntry(name)).done()) {
      continue;
    }
    if (options.list) Record(platform::EntryPath(folder, name), list_failure);
    count = AddLong(count, 1);
  }
  return count;
}

}  // namespace tarnwell
