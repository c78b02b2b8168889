// The program: one run of the command-line driver, and the sweep of one folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "general/numbers.h"

namespace tarnwell {

// How a run ended; the values are the process exit statuses.
enum class RunEnding : int {
  kSwept = 0,       // one or two folders swept (with or without the count message)
  kUsageShown = 2,  // no positive day count: the usage message was shown
};
// The exit status after a run-time error ended the run.
inline constexpr int kRunTimeErrorExitStatus = 1;

// What a run swept, for a report beside its own message (the Windows Event Log): Main
// fills it when given one.
struct RunSummary {
  std::vector<std::string> folders;  // in sweep order, named as the sweep used them ("c:")
  Long total = 0;                    // files deleted, or with /WhatIf that would be
  bool what_if = false;
};

// The whole run for the process's `argument_text` (the command line after the program's
// name): keeps it trimmed in CommandLine, sweeps the /Path folder, or else the root of
// drive C: and then the registry's debug folder, and shows the usage message or the count
// of deleted files (unless /Silent). /WhatIf and /List (whole switches) preview and record
// the sweep (see SweepOptions). Run-time errors (Overflow of the day count or of the
// total, a folder that cannot be listed, Device I/O error when the message cannot be
// shown or, after the sweeps, when a /List line could not be written) pass to the caller.
//
// The default sweep runs only when the command line does not mention /Path at all (case
// ignored). When it does, the usage message is shown unless the lookup yields a folder:
// not empty, a name this system could have, and, when the text was rebuilt from the
// argument vector `arguments` (POSIX), exactly what the first "/Path=" argument holds.
// `summary`, when given, names each folder as its sweep begins and takes the total at the end.
RunEnding Main(std::string_view argument_text, const std::vector<std::string>* arguments = nullptr,
               RunSummary* summary = nullptr);

// Main's ending as the process exit status. A run-time error, and running out of memory
// (as error 7, Out of memory), go to `report` and give kRunTimeErrorExitStatus; what the
// run deleted before stays deleted. `arguments` and `summary` go to Main.
int ExitStatusOfRun(std::string_view argument_text, const std::vector<std::string>* arguments,
                    void (*report)(const RuntimeError&), RunSummary* summary = nullptr);

// What the switches /WhatIf and /List ask of a sweep.
struct SweepOptions {
  bool what_if = false;  // decide about every file as usual, delete none
  bool list = false;     // write each file's full path to standard output as it goes
  Long keep = 0;         // /Keep=N: the N newest logs of each stem stay, whatever their age
};

// Deletes the files "stem.YYYYMMDD.log" directly inside `folder` whose date lies more
// than `limit` days before today, and returns how many it deleted; 0 for a folder that
// is not there. A file that cannot be deleted, or whose name cannot be read as a date,
// is left alone and the sweep goes on. A folder that is there but cannot be reached or
// listed raises kPathFileAccessError, its detail naming the folder and the system's
// reason. Every line names the folder as it is used (platform::FolderAsUsed, written as
// platform::LineText). A notice (platform::ShowNotice) says when a folder named is not
// there (not for a drive-letter path on POSIX, which names none), and after the sweep
// how many old files stayed for another reason than their read-only mark, with the
// first such reason. With `options.what_if` it deletes nothing and returns how many
// files it would delete, with the same notices. With `options.list` each file's full
// path goes to standard output as it goes; a line that cannot be written does not stop
// the sweep: the system's reason for the first such line is put into `*list_failure`
// (when given and still empty).
Long SweepFolder(const std::string& folder, Long limit, const SweepOptions& options = {},
                 std::optional<std::string>* list_failure = nullptr);

}  // namespace tarnwell
