// Entries in the Windows Event Log, where administrators read the runs that nobody watches.
// The Linux program's runs leave their trace in the exit status and the standard streams
// (the journal, under systemd): there the call writes nothing and says so, so the code
// above needs no case of its own for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

enum class EventType { kInformation, kWarning, kError };

// The event IDs the program writes: the message numbers of resources/tarnwell_events.mc,
// which administrators filter on, so never renumbered (app/main_win32.cpp checks each
// against the message table). The insertion strings each takes, in order:
inline constexpr std::uint32_t kEventSwept = 1;         // information: the count, the folders
inline constexpr std::uint32_t kEventPreviewed = 2;     // information, /WhatIf: the same
inline constexpr std::uint32_t kEventUsageShown = 3;    // warning: the command line, why
inline constexpr std::uint32_t kEventRuntimeError = 4;  // error: number, description, detail
inline constexpr std::uint32_t kEventNotice = 5;        // warning: the notice's line
inline constexpr std::uint32_t kEventRuleRefused = 6;   // error: the rule, where and why

// Writes one entry of `type` to the Application log under the source "Tarnwell": message
// `event_id` of the program's own message table, with `strings` (UTF-8) as its insertion
// strings %1, %2, ... in order. The entry is written whether or not the source is
// registered; without the registration Event Viewer shows the strings alone.
//  kDone:     written.
//  kNotThere: POSIX, which has no Event Log: nothing written. Never on Windows, where a
//             missing log is a failure like any other.
//  kFailed:   the Event Log took no entry (no Event Log service, access denied, a full
//             log); `reason` says why.
OsResult WriteEventLogEntry(EventType type, std::uint32_t event_id,
                            const std::vector<std::string>& strings);

}  // namespace tarnwell::platform
