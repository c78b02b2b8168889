#include "app/tarnwell_fn.h"

#include <cstdint>
#include <new>

#include "app/report.h"
#include "app/sweep.h"
#include "general/command_line.h"
#include "general/registry.h"
#include "general/token.h"

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

}  // namespace

RunEnding Main(const Invocation& invocation, RunOutcome* outcome) {
  CommandLine = std::string(TrimBlanks(invocation.text));
  const RunPlan plan = invocation.plan != nullptr ? *invocation.plan
                                                  : ReadRunPlan(CommandLine, invocation.arguments);
  Report report(plan.choices, CommandLine, std::string(invocation.usage_hint));
  outcome->choices = plan.choices;
  outcome->unwatched = report.Unwatched();
  if (plan.error) throw *plan.error;
  if (plan.usage) {
    report.Usage(*plan.usage);
    return RunEnding::kUsageShown;
  }

  std::int64_t unreadable = 0;  // sub-folders, each already said
  // A folder someone named that is not there is worth a line; the root of C: and the
  // fallback folder, which nobody named, are not.
  const auto sweep = [&](Rule rule, std::string folder, bool named) {
    rule.folder = std::move(folder);
    outcome->folders.push_back(rule.folder);
    const SweepResult result = Sweep(rule, plan.choices, report);
    unreadable += result.unreadable_folders;
    if (named && !result.there && !result.folder.empty()) {
      report.Notice(result.folder + ": no such folder, nothing swept");
    }
    return result.deleted;
  };
  if (plan.sweep.days == 0) {
    // --rules without --older-than: the rules alone, no sweep of the command line's own.
  } else if (!plan.sweep.folder.empty()) {
    outcome->total = sweep(plan.sweep, plan.sweep.folder, true);
  } else {
    // "c:" plus the sweep's separator names the root of drive C:.
    const Long first = sweep(plan.sweep, "c:", false);
    const std::string debug_folder = DebugFolder(report);
    const bool named = !debug_folder.empty();
    outcome->total =
        AddLong(sweep(plan.sweep, named ? debug_folder : kFallbackFolder, named), first);
  }
  report.Finish(outcome->total, outcome->folders);
  return unreadable > 0 ? RunEnding::kSweptWithFailure : RunEnding::kSwept;
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
