// What a run is asked to do, read from its command line before anything is touched: the
// sweeps to make, each a rule, and the choices that hold for the whole run.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "general/numbers.h"

namespace tarnwell {

// One sweep's whole question: which folder, and which of its dated logs go.
struct Rule {
  // The folder as given. Empty for the default sweep: the root of drive C:, then the
  // folder the registry names, each with the rest of this rule.
  std::string folder = "";
  Long days = 0;  // a log dated more than this many whole days before today goes
  Long keep = 0;  // the `keep` newest logs of each stem stay whatever their age; 0: none

  bool operator==(const Rule&) const = default;
};

// What holds for every sweep of a run.
struct RunChoices {
  bool silent = false;   // /Silent: no count message
  bool what_if = false;  // /WhatIf: decide about every file as usual, delete none
  bool list = false;     // /List: write each file's path as it goes
  // The threads that delete each batch; 0: the program's own choice (see DeleteEntries).
  // No switch sets it: the tests do, to run the same sweep on one thread and on several.
  unsigned deletion_threads = 0;

  bool operator==(const RunChoices&) const = default;
};

struct RunPlan {
  // Set when the run is the usage message instead: why, in a few words for the user
  // ("unknown switch '/WhatsIf'"), or empty when the usage was asked for (/?).
  std::optional<std::string> usage;
  // A run-time error that reading the command line met (Overflow of the day count): the
  // run ends with it before anything is touched. The choices below are read all the same,
  // so the error is reported as the run asked (/Silent).
  std::optional<RuntimeError> error;

  Rule sweep;          // the command line's own sweep
  RunChoices choices;  // for every sweep of the run
};

// The plan of the trimmed argument text `command_line` (the Windows-style switches, read
// as the switch lookup reads them). `arguments`, where the system hands over an argument
// vector (POSIX) from which `command_line` was rebuilt, is held against it: each argument
// must be one switch this program knows, and /Path must read exactly as its argument
// holds it. Pure: reads nothing but its arguments, never raises.
//
// The usage, with the reason, for: a word written as a switch (it begins with "/" or "-")
// that names no switch this program knows, or a known one in the wrong form (a flag with
// "=", a switch that takes a value without one); no day count above 0; a /Path that yields
// no folder; a bad /Keep; "/?", without a reason.
RunPlan ReadRunPlan(std::string_view command_line,
                    const std::vector<std::string>* arguments = nullptr);

// The usage message, as the run shows it.
inline constexpr char kUsageMessage[] =
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]";

}  // namespace tarnwell
