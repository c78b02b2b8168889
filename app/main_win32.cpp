// The Windows process (GUI subsystem, no console): the command line after the program's
// name is the argument text; a run-time error is shown in a box unless the run is silent,
// so a scheduled run never waits on a box nobody can close. What nobody sees goes to the
// Application log: every run-time error, and under /Silent the count or the refusal.
#include <windows.h>

#include <new>
#include <string>

#include "app/tarnwell_fn.h"
#include "general/argument_text.h"
#include "general/command_line.h"
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

// Main has kept the trimmed argument text in CommandLine.
bool Silent() { return ContainsIgnoringCase(CommandLine, "/Silent"); }

void ReportError(const RuntimeError& error) {
  // The run has already failed; an entry that cannot be written (no Event Log service, a
  // full log, no memory for its text) is lost and changes nothing, as below.
  try {
    platform::WriteEventLogEntry(
        platform::EventType::kError, platform::kEventRuntimeError,
        {std::to_string(error.Number()), error.Description(), error.Detail()});
  } catch (const std::bad_alloc&) {
    // Unwinding has freed the entry's text; the box below needs little.
  }
  if (!Silent()) platform::ShowErrorMessage(FormatRuntimeError(error));
}

// Under /Silent nothing on the screen says how the run went. Its exit status is decided
// before this is written and stays as it is whether or not the entry can be written.
void ReportSilentRun(int exit_status, const RunSummary& summary) {
  try {
    if (exit_status == static_cast<int>(RunEnding::kSwept)) {
      std::string folders;
      for (const std::string& folder : summary.folders) {
        folders += (folders.empty() ? "" : "\r\n") + folder;
      }
      platform::WriteEventLogEntry(
          platform::EventType::kInformation,
          summary.what_if ? platform::kEventPreviewed : platform::kEventSwept,
          {std::to_string(summary.total), folders});
    } else if (exit_status == static_cast<int>(RunEnding::kUsageShown)) {
      platform::WriteEventLogEntry(platform::EventType::kWarning, platform::kEventUsageShown,
                                   {CommandLine});
    }
  } catch (const std::bad_alloc&) {
    // The entry is lost; the run's ending stands.
  }
}

}  // namespace
}  // namespace tarnwell

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tarnwell;
  RunSummary summary;
  const int exit_status =
      ExitStatusOfRun(ArgumentTextFromCommandLine(platform::Narrow(GetCommandLineW())), nullptr,
                      ReportError, &summary);
  if (Silent()) ReportSilentRun(exit_status, summary);
  return exit_status;
}
