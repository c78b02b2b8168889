// The program's run: the driver that reads the plan, sweeps each folder and reports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "general/numbers.h"
#include "general/run_plan.h"

namespace tarnwell {

// How a run ended; the values are the process exit statuses.
enum class RunEnding : int {
  kSwept = 0,             // every folder swept (with or without the count message)
  kSweptWithFailure = 1,  // swept, but a sub-folder could not be read, or with /Rules a
                          // sweep failed or a rule was refused (after the count)
  kUsageShown = 2,        // the usage message instead of a run
};
// The exit status after a run-time error ended the run.
inline constexpr int kRunTimeErrorExitStatus = 1;

// How the process was started, as its entry point hands it over.
struct Invocation {
  std::string_view text = "";  // the argument text: the command line after the program's name
  // The argument vector that `text` was rebuilt from (POSIX), or null (Windows).
  const std::vector<std::string>* arguments = nullptr;
  // The plan, when the entry point has read it already (the GNU way on POSIX); null: it is
  // read from `text` and `arguments` (ReadRunPlan).
  const RunPlan* plan = nullptr;
  std::string_view usage_hint = "";  // follows the reason a command line is refused
};

// What a run leaves its entry point to know, filled in as the run goes, so that an error
// that ends it is reported as the run asked.
struct RunOutcome {
  RunChoices choices;
  bool unwatched = false;            // nobody sees its end on the screen (see Report)
  std::vector<std::string> folders;  // in sweep order, as given ("c:"); a rule's result line
  Long total = 0;                    // files deleted, or with /WhatIf that would be
};

// The whole run: keeps the trimmed argument text in CommandLine, reads the run's plan from
// it (ReadRunPlan) unless given one, and either shows the usage message, or sweeps the /Path
// folder, or else the root of drive C: and then the registry's debug folder (DebugPath of
// HKEY_LOCAL_MACHINE\SOFTWARE\Corvane, or C:\DebugFiles); with /Rules then every
// configured retention rule (ReadConfiguredRules), each with a line of its result; and
// shows the total count of deleted files (unless /Silent). Run-time errors (Overflow of the
// day count or of the total, a folder that cannot be listed, Device I/O error when the
// message cannot be shown or, after the sweeps, when a /List line could not be written)
// pass to the caller; with /Rules, one that stops a sweep is said and the next sweep runs,
// and so is a rule that is refused: the run then ends in kSweptWithFailure.
RunEnding Main(const Invocation& invocation, RunOutcome* outcome);

// Main's ending as the process exit status. A run-time error, and running out of memory
// (as error 7, Out of memory), go to `report` with what the run had filled in of
// `*outcome`, and give kRunTimeErrorExitStatus; what the run deleted before stays deleted.
int ExitStatusOfRun(const Invocation& invocation, RunOutcome* outcome,
                    void (*report)(const RuntimeError&, const RunOutcome&));

}  // namespace tarnwell
