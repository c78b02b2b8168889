// The JSON report (/Json): JSON Lines on standard output for a program that reads a run as
// data (a monitoring check, a PowerShell script): with /List one object a file as it goes,
// then one summary of the run, last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "general/numbers.h"
#include "platform/folder_listing.h"

namespace tarnwell {

// What one sweep of a run came to, its sub-folders summed in.
struct JsonSweep {
  std::optional<std::string> rule;    // the rule's name; none: the command line's own sweep
  std::optional<std::string> folder;  // as the sweep used it, else as given; none: not read
  Long deleted = 0;                   // files deleted, or with /WhatIf that would be
  std::uint64_t bytes = 0;            // their length
  std::int64_t kept = 0;              // old logs kept as the newest of their stem (/Keep)
  platform::FailureCounts not_deleted{};
  std::optional<std::string> error;  // what stopped the sweep, or why a rule was not swept
};

// The notices a summary lists at most: a folder of a million files in use must not turn
// one line into megabytes. The rest are counted.
inline constexpr std::size_t kMostWarnings = 100;

struct JsonSummary {
  bool preview = false;
  Long deleted = 0;
  int exit_status = 0;                // what the process exits with
  std::vector<std::string> warnings;  // the run's notices, without "tarnwell: "
  std::int64_t more_warnings = 0;     // notices past kMostWarnings
  std::vector<JsonSweep> sweeps;      // in sweep order
};

// {"path": ...} for the file `path` (a full path as the system names it), deleted or that
// would be. Names are written as platform::JsonText writes them; every other text, a
// notice or an error that names a folder as a line does, with a byte that is not part of
// UTF-8 as "\xHH" (EscapeNonUtf8), so that every line is valid JSON.
std::string JsonPathLine(std::string_view path);

// The summary as one line: {"version", "preview", "deleted", "exit_status", "warnings",
// "more_warnings", "sweeps": [{"rule", "folder", "deleted", "bytes", "kept", "not_deleted":
// {"read-only", "in use", "permission denied", "read-only file system", "other"}, "error"}]},
// in that order; every key always there, a missing value null.
std::string JsonSummaryLine(const JsonSummary& summary);

}  // namespace tarnwell
