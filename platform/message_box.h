// The program's user interface: one message at the end of a run, the notices that say why
// a run did less than asked, and whether anyone can see a message at all.
#pragma once

#include <string>

#include "platform/os_result.h"

namespace tarnwell::platform {

// An information message: on Windows a modal box (OK, information icon, caption
// "Tarnwell") that returns when it is closed; on POSIX one line on standard output.
//  kDone:   shown (Windows), or written whole (POSIX).
//  kFailed: the box could not be shown, or standard output could not take the line (full
//           disk, closed descriptor); `reason` says why. Never kNotThere.
OsResult ShowMessage(const std::string& text);

// As ShowMessage, for a run whose standard output holds data a program reads (/Json): on
// POSIX the line goes to standard error instead; on Windows the same box.
OsResult ShowMessageApart(const std::string& text);

// A run-time error report: on Windows a modal box with the error icon; on POSIX one line
// on standard error. Results as for ShowMessage.
OsResult ShowErrorMessage(const std::string& text);

// A notice for whoever reads an unattended run's log: one line on standard error, even
// when the run is silent. POSIX: file descriptor 2 (the journal, under systemd). Windows,
// which gives a GUI program no standard error of its own: the standard error handle when
// its caller gave one (a redirection, a parent's pipe), a file or pipe as UTF-8 with CR LF,
// a console as wide text; otherwise nowhere. A line that cannot be written is lost: there
// is no other place left to say so, and the count and exit status still tell the run's end.
void ShowNotice(const std::string& text);

// Whether someone can see a message shown now, and close it. Windows: false when the
// process's window station is not visible (a service; a scheduled task run as SYSTEM or
// "whether the user is logged on or not"), where ShowMessage's box would wait for a click
// that never comes; true on a visible one. POSIX: always true, messages being lines on the
// standard streams, which never wait. Touches nothing, and never fails: on Windows a
// station that cannot be asked counts as not visible.
bool MessagesCanBeSeen();

}  // namespace tarnwell::platform
