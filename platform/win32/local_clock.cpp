#include "platform/local_clock.h"

#include <windows.h>

#include <cstdint>

namespace tarnwell::platform {
namespace {

using SystemTimeReader = VOID(WINAPI*)(LPFILETIME);

// The precise reader (sub-microsecond) exists from Windows 8 on; Windows 7 has only the
// coarse one, which advances with the timer tick.
SystemTimeReader ChooseSystemTimeReader() {
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (FARPROC precise = GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime")) {
      return reinterpret_cast<SystemTimeReader>(reinterpret_cast<void*>(precise));
    }
  }
  return &GetSystemTimeAsFileTime;
}

// The fields of the moment `ticks` (a FILETIME's, or 0 when only `fields` are known).
LocalTime FromFields(const SYSTEMTIME& fields, const FILETIME& ticks_time) {
  const std::uint64_t ticks =
      (std::uint64_t{ticks_time.dwHighDateTime} << 32) | ticks_time.dwLowDateTime;
  LocalTime time;
  time.Year = fields.wYear;
  time.Month = fields.wMonth;
  time.Day = fields.wDay;
  time.Hour = fields.wHour;
  time.Minute = fields.wMinute;
  time.Second = fields.wSecond;
  time.Nanosecond =
      ticks != 0 ? static_cast<int>(ticks % 10'000'000 * 100) : fields.wMilliseconds * 1'000'000;
  return time;
}

FILETIME ReadSystemTime() {
  static const SystemTimeReader read_system_time = ChooseSystemTimeReader();
  FILETIME utc{};
  read_system_time(&utc);
  return utc;
}

}  // namespace

LocalTime ReadLocalClock() {
  const FILETIME utc = ReadSystemTime();
  FILETIME local{};
  SYSTEMTIME fields{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) {
    // Cannot fail for the current time; keep a usable answer all the same.
    GetLocalTime(&fields);
    local = {};
  }
  return FromFields(fields, local);
}

LocalTime ReadUniversalClock() {
  FILETIME utc = ReadSystemTime();
  SYSTEMTIME fields{};
  if (!FileTimeToSystemTime(&utc, &fields)) {
    GetSystemTime(&fields);
    utc = {};
  }
  return FromFields(fields, utc);
}

}  // namespace tarnwell::platform
