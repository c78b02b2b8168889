// What a run is asked to do, read from its command line before anything is touched: the
// sweeps to make, each a rule, and the choices that hold for the whole run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "general/name_pattern.h"
#include "general/numbers.h"
#include "general/sizes.h"

namespace tarnwell {

// One sweep's whole question: which folder, and which of its dated logs go.
struct Rule {
  // The folder as given. Empty for the default sweep: the root of drive C:, then the
  // folder the registry names, each with the rest of this rule.
  std::string folder = "";
  // POSIX: `folder` is a path as Linux tools take one (a folder given the GNU way), a "\"
  // in it part of a name and "c:" a relative folder, where /Path reads "\" as a separator
  // and "c:" as a drive.
  bool verbatim_folder = false;
  Long days = 0;  // a log dated more than this many whole days before today goes
  Long keep = 0;  // the `keep` newest logs of each stem stay whatever their age; 0: none
  // The names of the logs (/Names), the first a name matches giving its date; empty: the
  // default shape, stem.YYYYMMDD.log, with its lenient reading of the date.
  std::vector<NamePattern> names = {};
  int depth = 0;  // how many levels of sub-folders are swept too, each as a folder of its own
  // Caps on what the dated logs that remain after the age rule may take, the folder and its
  // sub-folders together; the oldest go until both hold. Each as written too, for messages.
  std::optional<std::uint64_t> max_size = std::nullopt;  // bytes of file length, at most
  std::optional<FreeFloor> min_free = std::nullopt;      // free space on the file system
  std::string max_size_text = "";
  std::string min_free_text = "";

  bool operator==(const Rule&) const = default;
};

// What holds for every sweep of a run.
struct RunChoices {
  bool silent = false;   // /Silent: no count message
  bool what_if = false;  // /WhatIf: decide about every file as usual, delete none
  bool list = false;     // /List: write each file's path as it goes
  bool json = false;     // /Json: the report as JSON Lines on standard output
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

  Rule sweep;          // the command line's own sweep; none (days 0) with /Rules alone
  bool rules = false;  // /Rules: every configured retention rule is swept too, after it
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
// no folder; a bad /Keep, /Names, /Depth, /MaxSize or /MinFree; a /Depth above 0 without
// /Path; "/?", without a reason. With /Rules and no /DeleteAfterDays the command line has
// no sweep of its own, and a switch of one (/Path, /Keep, ...) is the usage, with the reason.
RunPlan ReadRunPlan(std::string_view command_line,
                    const std::vector<std::string>* arguments = nullptr);

// Sets the field of `rule` that the switch `key` ("/Keep", "/Names", "/Depth", "/MaxSize",
// "/MinFree", compared ignoring case) gives, from `value` as the switch holds it. Returns
// why the value is refused, or nullopt when it is set. A rule file and another way of
// writing the command line read their values through this too, so a value means the same
// wherever it is written. "/DeleteAfterDays" is read here strictly, as rules and GNU
// options take it (a whole number of days from 1 to 1,000,000 in digits); the command
// line's own lenient reading of it is ReadRunPlan's.
std::optional<std::string> SetRuleField(std::string_view key, const std::string& value, Rule* rule);

// Whether `word` is written as a switch this program knows ("/Silent", "/keep=0", "/?"):
// its key, up to "=", compared ignoring case, whatever its form or value.
bool IsKnownSwitch(std::string_view word);

// The usage message, as the run shows it.
inline constexpr char kUsageMessage[] =
    "Usage: Tarnwell.exe /DeleteAfterDays=<NumberOfDays> [/Path=<PathToExamine] [/Silent]";

}  // namespace tarnwell
