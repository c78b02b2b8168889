// The Linux process: argv becomes the argument text; messages go to stdout, errors to
// stderr with what failed and why, for whoever reads a failed timer's journal; the exit
// status tells how the run ended.
#include <string>
#include <vector>

#include "app/program_information.h"
#include "app/tarnwell_fn.h"
#include "general/argument_text.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  using namespace tarnwell;
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (arguments.size() == 1 && PrintProgramInformation(arguments.front())) return 0;
  const std::string text = ArgumentTextFromArguments(arguments);
  RunOutcome outcome;
  return ExitStatusOfRun(
      {.text = text, .arguments = &arguments, .usage_hint = "; see tarnwell --help"}, &outcome,
      [](const RuntimeError& error, const RunOutcome&) {
        platform::ShowErrorMessage(FormatRuntimeErrorWithDetail(error));
      });
}
