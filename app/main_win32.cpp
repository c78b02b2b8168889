// The Windows process (GUI subsystem, no console): the command line after the program's
// name is the argument text. A run-time error goes to the Application log, and into a box
// unless nobody would see it (under /Silent, or where no box can be seen), so an
// unattended run never waits on a box nobody can close.
#include <windows.h>

#include <new>
#include <string>

#include "app/tarnwell_fn.h"
#include "general/argument_text.h"
#include "platform/event_log.h"
#include "platform/message_box.h"
#include "platform/wide_text.h"
#include "tarnwell_events.h"

namespace tarnwell {
namespace {

// The platform layer names the IDs the message table gives, and administrators filter on.
static_assert(platform::kEventSwept == TARNWELL_EVENT_SWEPT);
static_assert(platform::kEventPreviewed == TARNWELL_EVENT_PREVIEWED);
static_assert(platform::kEventUsageShown == TARNWELL_EVENT_USAGE_SHOWN);
static_assert(platform::kEventRuntimeError == TARNWELL_EVENT_RUNTIME_ERROR);
static_assert(platform::kEventNotice == TARNWELL_EVENT_NOTICE);
static_assert(platform::kEventRuleRefused == TARNWELL_EVENT_RULE_REFUSED);

void ReportError(const RuntimeError& error, const RunOutcome& outcome) {
  // The run has already failed; an entry that cannot be written (no Event Log service, a
  // full log, no memory for its text) is lost and changes nothing, as below.
  try {
    platform::WriteEventLogEntry(
        platform::EventType::kError, platform::kEventRuntimeError,
        {std::to_string(error.Number()), error.Description(), error.Detail()});
  } catch (const std::bad_alloc&) {
    // Unwinding has freed the entry's text; the box below needs little.
  }
  // A caller that reads the JSON report reads the streams, not the screen.
  if (outcome.choices.json) platform::ShowNotice(FormatRuntimeErrorWithDetail(error));
  if (!outcome.unwatched) platform::ShowErrorMessage(FormatRuntimeError(error));
}

}  // namespace
}  // namespace tarnwell

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tarnwell;
  const std::string text = ArgumentTextFromCommandLine(platform::Narrow(GetCommandLineW()));
  RunOutcome outcome;
  return ExitStatusOfRun({.text = text}, &outcome, ReportError);
}
