#include "app/report.h"

#include <utility>

#include "base/runtime_error.h"
#include "platform/message_box.h"
#include "platform/standard_output.h"

namespace tarnwell {
namespace {

// A message nobody could read must not pass for a run that reported: the caller sees the
// failure in the exit status and the reason on the error stream.
void Show(const std::string& text) {
  const platform::OsResult shown = platform::ShowMessage(text);
  if (shown.failed()) RaiseError(kDeviceIoError, shown.reason);
}

}  // namespace

Report::Report(const RunChoices& choices, std::string command_line, std::string usage_hint)
    : choices_(choices),
      command_line_(std::move(command_line)),
      usage_hint_(std::move(usage_hint)),
      unwatched_(choices.silent) {}

void Report::Notice(const std::string& text) { platform::ShowNotice("tarnwell: " + text); }

void Report::Record(const std::string& path) {
  const std::lock_guard<std::mutex> lock(record_mutex_);
  const platform::OsResult written = platform::WriteStandardOutputLine(path);
  if (written.failed() && !record_failure_) record_failure_ = written.reason;
}

void Report::Usage(const std::string& why) {
  // The reason first: a box waits for its click, and the log should not wait with it.
  if (!why.empty()) platform::ShowNotice("tarnwell: " + why + usage_hint_);
  Show(kUsageMessage);
}

void Report::Finish(Long total) {
  if (record_failure_) RaiseError(kDeviceIoError, "standard output: " + *record_failure_);
  if (choices_.silent) return;
  Show(std::to_string(total) +
       (choices_.what_if ? " Debug files would be deleted" : " Debug files deleted"));
}

}  // namespace tarnwell
