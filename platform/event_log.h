// Entries in the Windows Event Log, where administrators read the runs that nobody watches.
// Windows only: the Linux program's runs leave their trace in the exit status and the
// standard streams (the journal, under systemd), so nothing implements this on POSIX.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

enum class EventType { kInformation, kWarning, kError };

// Writes one entry of `type` to the Application log under the source "Tarnwell": message
// `event_id` of the program's own message table, with `strings` (UTF-8) as its insertion
// strings %1, %2, ... in order. The entry is written whether or not the source is
// registered; without the registration Event Viewer shows the strings alone.
//  kDone:   written.
//  kFailed: the Event Log took no entry (no Event Log service, access denied, a full log);
//           `reason` says why. Never kNotThere: a missing log is a failure like any other.
OsResult WriteEventLogEntry(EventType type, std::uint32_t event_id,
                            const std::vector<std::string>& strings);

}  // namespace tarnwell::platform
