// What a run tells the people who started it or look after it: the /List record, the
// notices of what it could not do, and the one message at its end (or the usage message).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/json_report.h"
#include "base/runtime_error.h"
#include "general/numbers.h"
#include "general/run_plan.h"
#include "platform/os_result.h"

namespace tarnwell {

class Report {
 public:
  // For a run with `choices`, started with the argument text `command_line`. `usage_hint`
  // follows the reason a command line is refused ("; see tarnwell --help"), or is empty.
  Report(const RunChoices& choices, std::string command_line, std::string usage_hint);

  // Whether nobody sees the end of the run on the screen: under /Silent, or where no
  // message box can be seen (platform::MessagesCanBeSeen). Such a run reports in the
  // Event Log what a box would have said, and its errors without a box.
  bool Unwatched() const { return unwatched_; }

  // A notice for whoever reads an unattended run's log, `text` after "tarnwell: ": one line
  // on standard error (Windows: when a caller redirected it), also under /Silent; and when
  // the run is unwatched, an Event Log warning with that line. With /Json also one of the
  // summary's warnings. From the run's own thread.
  void Notice(const std::string& text);

  // The /List line for `path` (a full path as the system names it): platform::LineText's,
  // or with /Json an object (JsonPathLine). A line that cannot be written must not cost the
  // deletions still to come: the first failure is kept for Finish. Lines written from
  // several threads stay whole.
  void Record(const std::string& path);

  // With /Json: the entry of one sweep, or of a rule not swept, for the summary, in sweep
  // order. Without, nothing.
  void Swept(JsonSweep sweep);

  // How one sweep of a /Rules run ended, `text` after "tarnwell: " on standard error (a
  // rule's result: "rule myapp.conf: /var/log/myapp: 12 deleted"), also under /Silent, so
  // the journal of a daily run tells each rule's. No entry of its own: an unwatched run's
  // information entry lists the lines (Finish's `folders`).
  void Result(const std::string& text);

  // A sweep of a /Rules run that the run-time error `error` stopped while the others go on,
  // `rule` the rule's name ("" for the command line's own sweep): the error with its detail
  // on standard error ("tarnwell: rule myapp.conf: Run-time error '75': ..."), also under
  // /Silent, and its Event Log error entry, watched or not, as a run-time error that ends a
  // run leaves one; no box, which would hold the sweeps still to come.
  void SweepFailed(const RuntimeError& error, const std::string& rule);

  // A configured rule that is not swept, and why (`text`: "rule myapp.conf: FILE:7: unknown
  // key 'Kepe'"), or a place of rules that cannot be read: "tarnwell: TEXT; not swept" on
  // standard error, also under /Silent, and an Event Log error entry with `text`, watched or
  // not, as an error always leaves one.
  void Refused(const std::string& text);

  // The usage message instead of a run (unless no box can be seen), and `why` (empty: it
  // was asked for) as a line on standard error; when the run is unwatched, an Event Log
  // warning with the command line and why. With /Json no JSON, and on POSIX the usage
  // message on standard error too. Raises kDeviceIoError when the message cannot be shown.
  void Usage(const std::string& why);

  // The end of a run that deleted `total` files (with /WhatIf: would delete) in `folders`
  // (as given, in sweep order) and exits with `exit_status`: the count message, or with
  // /Json the summary instead; and when the run is unwatched an Event Log entry with the
  // count and the folders, in place of the message. Raises kDeviceIoError, after the
  // summary (its exit status then 1), when a /List line was lost, so that an incomplete
  // record does not pass for a success, or when the message or summary cannot be written.
  void Finish(Long total, const std::vector<std::string>& folders, int exit_status);

  // With /Json: the summary of a run that a run-time error ends after `total` files,
  // before the error is reported; `exit_status` is what the process exits with. One that
  // cannot be written is lost: the error is what the run reports.
  void Abandon(Long total, int exit_status);

 private:
  // The summary line with the run's counts, on standard output.
  platform::OsResult WriteSummary(Long total, int exit_status);

  RunChoices choices_;
  std::string command_line_;
  std::string usage_hint_;
  bool seen_;
  bool unwatched_;
  std::mutex record_mutex_;
  std::optional<std::string> record_failure_;
  JsonSummary summary_;  // with /Json, filled in as the run goes
};

}  // namespace tarnwell
