// What a run tells the people who started it or look after it: the /List record, the
// notices of what it could not do, and the one message at its end (or the usage message).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "general/numbers.h"
#include "general/run_plan.h"

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
  // the run is unwatched, an Event Log warning with that line.
  void Notice(const std::string& text);

  // The /List line for `path` (a full path, as platform::LineText writes it). A line that
  // cannot be written must not cost the deletions still to come: the first failure is
  // kept for Finish. Lines written from several threads stay whole.
  void Record(const std::string& path);

  // The usage message instead of a run (unless no box can be seen), and `why` (empty: it
  // was asked for) as a line on standard error; when the run is unwatched, an Event Log
  // warning with the command line and why. Raises kDeviceIoError when the message cannot
  // be shown.
  void Usage(const std::string& why);

  // The end of a run that deleted `total` files (with /WhatIf: would delete) in `folders`
  // (as given, in sweep order): the count message, or when the run is unwatched an Event
  // Log entry with the count and the folders. Raises kDeviceIoError, instead, when a /List
  // line was lost, so that an incomplete record does not pass for a success, or when the
  // message cannot be shown.
  void Finish(Long total, const std::vector<std::string>& folders);

 private:
  RunChoices choices_;
  std::string command_line_;
  std::string usage_hint_;
  bool seen_;
  bool unwatched_;
  std::mutex record_mutex_;
  std::optional<std::string> record_failure_;
};

}  // namespace tarnwell
