#include "app/report.h"

#include <utility>

#include "app/tarnwell_fn.h"
#include "base/runtime_error.h"
#include "platform/event_log.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/standard_output.h"

namespace tarnwell {
namespace {

// A message nobody could read must not pass for a run that reported: the caller sees the
// failure in the exit status and the reason on the error stream.
void Show(const std::string& text) {
  const platform::OsResult shown = platform::ShowMessage(text);
  if (shown.failed()) RaiseError(kDeviceIoError, shown.reason);
}

// An entry for whoever looks after the machine. One that cannot be written is lost: the
// run's result and exit status stay as they are.
void Log(platform::EventType type, std::uint32_t event_id,
         const std::vector<std::string>& strings) {
  platform::WriteEventLogEntry(type, event_id, strings);
}

}  // namespace

Report::Report(const RunChoices& choices, std::string command_line, std::string usage_hint)
    : choices_(choices),
      command_line_(std::move(command_line)),
      usage_hint_(std::move(usage_hint)),
      seen_(platform::MessagesCanBeSeen()),
      unwatched_(choices.silent || !seen_) {}

void Report::Notice(const std::string& text) {
  const std::string line = "tarnwell: " + text;
  platform::ShowNotice(line);
  if (unwatched_) Log(platform::EventType::kWarning, platform::kEventNotice, {line});
  if (!choices_.json) return;
  if (summary_.warnings.size() < kMostWarnings) {
    summary_.warnings.push_back(text);
  } else {
    ++summary_.more_warnings;
  }
}

void Report::Record(const std::string& path) {
  const std::string line = choices_.json ? JsonPathLine(path) : platform::LineText(path);
  const std::lock_guard<std::mutex> lock(record_mutex_);
  const platform::OsResult written = platform::WriteStandardOutputLine(line);
  if (written.failed() && !record_failure_) record_failure_ = written.reason;
}

void Report::Swept(JsonSweep sweep) {
  if (choices_.json) summary_.sweeps.push_back(std::move(sweep));
}

void Report::Result(const std::string& text) { platform::ShowNotice("tarnwell: " + text); }

void Report::SweepFailed(const RuntimeError& error, const std::string& rule) {
  const std::string named = rule.empty() ? "" : "rule " + rule + ": ";
  platform::ShowNotice("tarnwell: " + named + FormatRuntimeErrorWithDetail(error));
  Log(platform::EventType::kError, platform::kEventRuntimeError,
      {std::to_string(error.Number()), error.Description(), named + error.Detail()});
}

void Report::Refused(const std::string& text) {
  platform::ShowNotice("tarnwell: " + text + "; not swept");
  Log(platform::EventType::kError, platform::kEventRuleRefused, {text});
}

void Report::Usage(const std::string& why) {
  // The reason first: a box waits for its click, and the log should not wait with it.
  if (!why.empty()) platform::ShowNotice("tarnwell: " + why + usage_hint_);
  if (unwatched_) {
    Log(platform::EventType::kWarning, platform::kEventUsageShown,
        {command_line_, why.empty() ? "asked for with /?" : why});
  }
  if (!seen_) return;
  // Standard output holds JSON alone, which a usage message would break.
  const platform::OsResult shown = choices_.json ? platform::ShowMessageApart(kUsageMessage)
                                                 : platform::ShowMessage(kUsageMessage);
  if (shown.failed()) RaiseError(kDeviceIoError, shown.reason);
}

void Report::Finish(Long total, const std::vector<std::string>& folders, int exit_status) {
  if (choices_.json) {
    const platform::OsResult written =
        WriteSummary(total, record_failure_ ? kRunTimeErrorExitStatus : exit_status);
    if (written.failed() && !record_failure_) record_failure_ = written.reason;
  }
  if (record_failure_) RaiseError(kDeviceIoError, "standard output: " + *record_failure_);
  if (choices_.json && !unwatched_) return;
  if (!unwatched_) {
    Show(std::to_string(total) +
         (choices_.what_if ? " Debug files would be deleted" : " Debug files deleted"));
    return;
  }
  std::string lines;
  for (const std::string& folder : folders) lines += (lines.empty() ? "" : "\r\n") + folder;
  Log(platform::EventType::kInformation,
      choices_.what_if ? platform::kEventPreviewed : platform::kEventSwept,
      {std::to_string(total), lines});
}

void Report::Abandon(Long total, int exit_status) {
  if (choices_.json) WriteSummary(total, exit_status);
}

platform::OsResult Report::WriteSummary(Long total, int exit_status) {
  summary_.preview = choices_.what_if;
  summary_.deleted = total;
  summary_.exit_status = exit_status;
  return platform::WriteStandardOutputLine(JsonSummaryLine(summary_));
}

}  // namespace tarnwell
