#include "platform/event_log.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

namespace {

WORD EventLogType(EventType type) {
  switch (type) {
    case EventType::kInformation:
      return EVENTLOG_INFORMATION_TYPE;
    case EventType::kWarning:
      return EVENTLOG_WARNING_TYPE;
    case EventType::kError:
      break;
  }
  return EVENTLOG_ERROR_TYPE;
}

// An entry that was not written is a failure whatever the code says, "not found" included.
OsResult Refused(DWORD code) {
  const OsResult result = Win32Error(code);
  return result.failed() ? result : OsResult::Failed("error " + std::to_string(code));
}

}  // namespace

OsResult WriteEventLogEntry(EventType type, std::uint32_t event_id,
                            const std::vector<std::string>& strings) {
  std::vector<std::wstring> wide;
  for (const std::string& text : strings) wide.push_back(Widen(text));
  std::vector<const wchar_t*> inserts;
  for (const std::wstring& text : wide) inserts.push_back(text.c_str());

  HANDLE source = RegisterEventSourceW(nullptr, L"Tarnwell");
  if (source == nullptr) return Refused(GetLastError());
  const BOOL written = ReportEventW(source, EventLogType(type), 0, event_id, nullptr,
                                    static_cast<WORD>(inserts.size()), 0, inserts.data(), nullptr);
  const DWORD code = GetLastError();
  DeregisterEventSource(source);
  return written ? OsResult::Done() : Refused(code);
}

}  // namespace tarnwell::platform
