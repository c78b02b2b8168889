// A desktop nobody can see, for the Windows tests of what a run does where no box can be
// seen: a window station of its own, which Windows (and Wine) make without WSF_VISIBLE, as
// they do for a service or a task run as SYSTEM or whether the user is logged on or not.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace tarnwell {

class UnseenDesktop {
 public:
  explicit UnseenDesktop(const std::wstring& station)
      : station_(station + std::to_wstring(GetCurrentProcessId())) {
    const HWINSTA own = GetProcessWindowStation();
    unseen_ = CreateWindowStationW(station_.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    EXPECT_NE(unseen_, nullptr) << "CreateWindowStationW: error " << GetLastError();
    // A desktop is made on the caller's own window station.
    if (unseen_ != nullptr && SetProcessWindowStation(unseen_)) {
      desktop_ = CreateDesktopW(L"Desk", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
      SetProcessWindowStation(own);
    }
    EXPECT_NE(desktop_, nullptr) << "CreateDesktopW: error " << GetLastError();
  }
  ~UnseenDesktop() {
    if (desktop_ != nullptr) CloseDesktop(desktop_);
    if (unseen_ != nullptr) CloseWindowStation(unseen_);
  }
  UnseenDesktop(const UnseenDesktop&) = delete;
  UnseenDesktop& operator=(const UnseenDesktop&) = delete;

  // "station\desktop", as STARTUPINFOW::lpDesktop names it.
  std::wstring Name() const { return station_ + L"\\Desk"; }

 private:
  std::wstring station_;
  HWINSTA unseen_ = nullptr;
  HDESK desktop_ = nullptr;
};

}  // namespace tarnwell
