// The Linux process: argv becomes the run plan, the GNU way when the first argument is an
// option, else as the argument text the Windows way reads; messages go to stdout, errors to
// stderr with what failed and why, for whoever reads a failed timer's journal; the exit
// status tells how the run ended.
#include <string>
#include <vector>

#include "app/program_information.h"
#include "app/tarnwell_fn.h"
#include "general/argument_text.h"
#include "general/gnu_options.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  using namespace tarnwell;
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const bool gnu_way = IsGnuCommandLine(arguments);
  const GnuCommandLine gnu = gnu_way ? ReadGnuCommandLine(arguments) : GnuCommandLine{};
  switch (gnu.asks) {
    case GnuCommandLine::Asks::kRun:
      break;
    case GnuCommandLine::Asks::kHelp:
      PrintHelp();
      return 0;
    case GnuCommandLine::Asks::kVersion:
      PrintVersion();
      return 0;
    case GnuCommandLine::Asks::kRefusal:
      PrintGnuRefusal(gnu.refusal);
      return static_cast<int>(RunEnding::kUsageShown);
  }
  const std::string text = ArgumentTextFromArguments(arguments);
  RunOutcome outcome;
  return ExitStatusOfRun({.text = text,
                          .arguments = &arguments,
                          .plan = gnu_way ? &gnu.plan : nullptr,
                          .usage_hint = "; see tarnwell --help"},
                         &outcome, [](const RuntimeError& error, const RunOutcome&) {
                           platform::ShowErrorMessage(FormatRuntimeErrorWithDetail(error));
                         });
}
