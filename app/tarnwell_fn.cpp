#include "app/tarnwell_fn.h"

#include <cstdint>
#include <new>
#include <optional>

#include "app/report.h"
#include "app/sweep.h"
#include "general/command_line.h"
#include "general/configured_rules.h"
#include "general/registry.h"
#include "general/token.h"
#include "platform/path_text.h"
#include "platform/registry.h"

namespace tarnwell {
namespace {

constexpr char kFallbackFolder[] = "C:\\DebugFiles";

// The second folder of the default sweep: the registry's debug folder, or "" when it names
// none.
std::string DebugFolder(Report& report) {
  std::vector<std::string> warnings;
  const std::string folder = GetRegistryString(platform::kHkeyLocalMachine, "SOFTWARE\\Corvane",
                                               "DebugPath", "", &warnings);
  for (const std::string& warning : warnings) report.Notice(warning);
  return folder;
}

// The entry of a sweep of `swept` in the JSON report, `rule` its rule's name (none: the
// command line's own sweep). Its folder as the sweep used it, or as given where that names
// no folder here ("c:" on POSIX).
JsonSweep EntryOf(std::optional<std::string> rule, const Rule& swept,
                  const SweepResult& result = {}, std::optional<std::string> error = {}) {
  std::optional<std::string> folder = platform::FolderAsUsed(swept.folder, swept.verbatim_folder);
  if (!folder && !swept.folder.empty()) folder = swept.folder;
  return {.rule = std::move(rule),
          .folder = std::move(folder),
          .deleted = result.deleted,
          .bytes = result.bytes,
          .kept = result.kept,
          .not_deleted = result.not_deleted,
          .error = std::move(error)};
}

// The count a rule's line gives, as the count message words it.
std::string CountText(Long count, const RunChoices& choices) {
  return std::to_string(count) + (choices.what_if ? " would be deleted" : " deleted");
}

}  // namespace

RunEnding Main(const Invocation& invocation, RunOutcome* outcome) {
  CommandLine = std::string(TrimBlanks(invocation.text));
  const RunPlan plan = invocation.plan != nullptr ? *invocation.plan
                                                  : ReadRunPlan(CommandLine, invocation.arguments);
  Report report(plan.choices, CommandLine, std::string(invocation.usage_hint));
  outcome->choices = plan.choices;
  outcome->unwatched = report.Unwatched();
  if (plan.usage) {
    report.Usage(*plan.usage);
    return RunEnding::kUsageShown;
  }

  std::int64_t unreadable = 0;  // sub-folders, each already said
  bool failed = false;          // with /Rules: a sweep stopped, or a rule refused; each said
  // With /Rules each sweep stands alone: its run-time error is said and the others still
  // run. Without, the error ends the run as it always has, the JSON summary written first.
  const auto sweep_failed = [&](const RuntimeError& error, const Rule& rule,
                                const std::optional<std::string>& rule_name) {
    report.Swept(EntryOf(rule_name, rule, {}, FormatRuntimeErrorWithDetail(error)));
    if (!plan.rules) {
      report.Abandon(outcome->total, kRunTimeErrorExitStatus);
      throw error;
    }
    report.SweepFailed(error, rule_name.value_or(""));
    failed = true;
  };
  const auto sweep = [&](const Rule& rule, const std::optional<std::string>& rule_name) {
    try {
      const SweepResult result = Sweep(rule, plan.choices, report);
      outcome->total = AddLong(outcome->total, result.deleted);
      unreadable += result.unreadable_folders;
      report.Swept(EntryOf(rule_name, rule, result));
      return std::optional(result);
    } catch (const RuntimeError& error) {
      sweep_failed(error, rule, rule_name);
      return std::optional<SweepResult>();
    }
  };
  // A folder someone named that is not there is worth a line; the root of C: and the
  // fallback folder, which nobody named, are not.
  const auto own_sweep = [&](std::string folder, bool named) {
    Rule rule = plan.sweep;
    rule.folder = std::move(folder);
    outcome->folders.push_back(rule.folder);
    const std::optional<SweepResult> result = sweep(rule, std::nullopt);
    if (named && result && !result->there && !result->folder.empty()) {
      report.Notice(result->folder + ": no such folder, nothing swept");
    }
  };
  bool debug_path_named = false;
  // An overflowing day count costs the command line's own sweep, which has no folder yet.
  if (plan.error) {
    sweep_failed(*plan.error, plan.sweep, std::nullopt);
  } else if (!plan.sweep.folder.empty()) {
    own_sweep(plan.sweep.folder, true);
  } else if (plan.sweep.days > 0) {
    // "c:" plus the sweep's separator names the root of drive C:.
    own_sweep("c:", false);
    const std::string debug_folder = DebugFolder(report);
    debug_path_named = !debug_folder.empty();
    own_sweep(debug_path_named ? debug_folder : kFallbackFolder, debug_path_named);
  }

  if (plan.rules) {
    const ConfiguredRules configured = ReadConfiguredRules();
    for (const std::string& notice : configured.notices) report.Notice(notice);
    for (const ConfiguredRule& rule : configured.rules) {
      if (!rule.fault.empty()) {
        report.Refused((rule.name.empty() ? "" : "rule " + rule.name + ": ") + rule.fault);
        report.Swept(EntryOf(rule.name, rule.rule, {}, rule.fault));
        failed = true;
        continue;
      }
      const std::optional<SweepResult> result = sweep(rule.rule, rule.name);
      if (!result) continue;
      const std::string line = "rule " + rule.name + ": " +
                               (result->folder.empty() ? rule.rule.folder : result->folder) + ": " +
                               (result->there ? CountText(result->deleted, plan.choices)
                                              : "no such folder, nothing swept");
      report.Result(line);
      outcome->folders.push_back(line);
    }
    const bool default_sweep = !plan.error && plan.sweep.days > 0 && plan.sweep.folder.empty();
    if (configured.rules.empty() && !plan.error && plan.sweep.days == 0) {
      report.Notice("no retention rules in " + configured.place);
    } else if (configured.rules.empty() && default_sweep && !debug_path_named &&
               !platform::FolderAsUsed("c:")) {
      // The drive paths of the default sweep name nothing here: a daily run would report a
      // quiet 0 night after night.
      report.Notice("nothing to sweep: add a rule in " + configured.place +
                    " or set DebugPath in " + platform::RegistryLocation());
    }
  }
  const RunEnding ending =
      unreadable > 0 || failed ? RunEnding::kSweptWithFailure : RunEnding::kSwept;
  report.Finish(outcome->total, outcome->folders, static_cast<int>(ending));
  return ending;
}

int ExitStatusOfRun(const Invocation& invocation, RunOutcome* outcome,
                    void (*report)(const RuntimeError&, const RunOutcome&)) {
  try {
    return static_cast<int>(Main(invocation, outcome));
  } catch (const RuntimeError& error) {
    report(error, *outcome);
  } catch (const std::bad_alloc&) {
    // Unwinding has given back what the run held, so the report has room again.
    report(RuntimeError(kOutOfMemory, DescribeError(kOutOfMemory)), *outcome);
  }
  return kRunTimeErrorExitStatus;
}

}  // namespace tarnwell
