// The caps on what a folder's dated logs may take: /MaxSize (their length) and /MinFree
// (the space free on their file system). After the age rule, the oldest logs go until both
// caps hold: the earliest date in the name first, and of one date the smaller path below
// the swept folder, byte by byte, whatever order the folders list them in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/report.h"
#include "app/sweep.h"
#include "general/run_plan.h"
#include "platform/folder_listing.h"

namespace tarnwell {

// What the caps start from: the space free before the sweep deleted anything, and what the
// age rule's deletions freed since, from the files' allocated sizes (a preview adds up what
// they would free, so it comes to what the run does).
struct CapStart {
  std::optional<platform::DiskSpace> space;  // read when /MinFree is asked for
  std::uint64_t freed = 0;
};

// Applies the caps of `rule` to the folder `used` (named `shown`) and its sub-folders down
// to `rule.depth`, all together, after the age rule has been applied (with
// `choices.what_if`: as it would have been). Never taken by a cap: a log dated today or
// later (today being the earlier of the local and the UTC date, as many writers name their
// logs by UTC), the `rule.keep` newest of each stem, a read-only log, and for /MinFree a
// log with other hard links, whose deletion frees nothing. A cap that cannot be met with
// what may go is said in a notice; it is no failure. What the caps delete is added to
// `result` and recorded as the age rule's deletions are. Memory grows with the number of
// dates the logs carry, not with the number of logs. Raises what a sweep raises for the
// folder itself; a sub-folder that cannot be read is said and counted.
void ApplyCaps(const Rule& rule, const RunChoices& choices, Report& report, const std::string& used,
               const std::string& shown, const CapStart& start, SweepResult& result);

}  // namespace tarnwell
