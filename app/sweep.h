// The sweep of one folder: which of its dated logs go, and what stood in the way.
#pragma once

#include <cstdint>
#include <string>

#include "app/report.h"
#include "general/numbers.h"
#include "general/run_plan.h"
#include "platform/folder_listing.h"

namespace tarnwell {

// What one sweep came to.
struct SweepResult {
  // The folder as the sweep used it and every line names it (platform::FolderAsUsed,
  // written as platform::LineText); empty when the folder text names no folder on this
  // system at all (a drive-letter path on POSIX).
  std::string folder;
  bool there = false;       // the folder was there and was read
  Long deleted = 0;         // files deleted (with /WhatIf: that would be)
  std::uint64_t bytes = 0;  // their length, as ls -l and Explorer show it
  std::uint64_t freed = 0;  // the space their deletion gave back (last names')
  std::int64_t kept = 0;    // old logs that stayed as the newest of their stem (/Keep)
  // Old logs whose deletion failed, by why (platform::KindOfFailure); those with the
  // read-only mark stay as meant.
  platform::FailureCounts not_deleted{};
  std::string first_reason;             // the system's words for the first failure but those
  std::int64_t unreadable_folders = 0;  // sub-folders that could not be read (/Depth)

  // The old logs whose deletion failed for another reason than their read-only mark.
  std::int64_t Unmeant() const;
};

// Deletes the dated logs directly inside `rule.folder` (and its sub-folders down to
// `rule.depth` levels, each a folder of its own) whose date lies more than `rule.days`
// days before today, except the `rule.keep` newest of each stem; then, with the caps
// `rule.max_size` and `rule.min_free`, the oldest of the rest until the caps hold (see
// caps.h). A dated log is named "stem.YYYYMMDD.log", or like one of `rule.names`. A file
// that cannot be deleted, or whose name cannot be read as a date, is left alone and the
// sweep goes on. With `choices.what_if` nothing is deleted and the result counts what
// would be; with `choices.list` each file's full path goes to `report` as it goes.
// A folder that is not there is swept as an empty one (`there` false). A notice to
// `report` after each folder says how many old files stayed for another reason than their
// read-only mark, with the first such reason; with `rule.names`, another says when a
// folder holds files but none named like them. A sub-folder that cannot be read is said
// and counted, and the others are swept; the folder itself, when it is there but cannot be
// reached or listed, raises kPathFileAccessError, its detail naming it and the system's
// reason.
SweepResult Sweep(const Rule& rule, const RunChoices& choices, Report& report);

// Adds what `part`, a later part of a sweep, came to (files, bytes, kept, failures) to
// `whole`: the first reason stays the earliest's.
void AddResult(const SweepResult& part, SweepResult& whole);

// The number of files Sweep deletes in `folder` with the day limit `limit` and nothing
// else asked: 0 for a folder that is not there. Raises what Sweep raises.
Long SweepFolder(const std::string& folder, Long limit);

}  // namespace tarnwell
