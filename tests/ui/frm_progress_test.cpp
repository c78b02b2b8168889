// The progress window on a real desktop (Wine and Xvfb under ctest), read back through
// Win32 the way a user or an accessibility tool would see it.
#include "ui/frm_progress.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "ui/progress_rules.h"

namespace tarnwell {

using F = frmProgress;

// Outside the anonymous namespace: the form names it as the friend that may break a load.
class ProgressWindowTest : public ::testing::Test {
 protected:
  // The next load asks for a window class nobody registered in place of control `id`'s.
  void BreakNextLoad(F::ControlId id) { form_.class_substitute_ = {id, L"NoSuchClass"}; }
  HWND Child(F::ControlId id) { return GetDlgItem(form_.Handle(), id); }
  LRESULT Bar(UINT m, WPARAM w = 0) { return SendMessageW(Child(F::kProgOverallProcess), m, w, 0); }
  // The client area: `width` by 600 twips at the desktop's dpi.
  void ExpectClientSize(double width) {
    RECT client{};
    GetClientRect(form_.Handle(), &client);
    HDC desktop = GetDC(nullptr);
    EXPECT_EQ(client.right, TwipsToPixels(width, GetDeviceCaps(desktop, LOGPIXELSX)));
    EXPECT_EQ(client.bottom, TwipsToPixels(600, GetDeviceCaps(desktop, LOGPIXELSX)));
    ReleaseDC(nullptr, desktop);
  }

  frmProgress form_;
};

namespace {

TEST_F(ProgressWindowTest, ShowCancelWidensAndArmsEvenBeforeLoadAndPaintsAtOnce) {
  for (bool show : {true, false, false, true, true}) {
    form_.BeenCancelled = true;
    form_.ShowCancel(show);  // the first call loads the window
    form_.Show();
    ExpectClientSize(show ? 5955 : 5415);
    EXPECT_EQ(IsWindowVisible(Child(F::kCmdCancel)) != FALSE, show);
    EXPECT_EQ(form_.BeenCancelled, !show) << "only showing clears the flag";
  }
  // The task is painted at once, whoever sets it: the owner's loop pumps no messages.
  HWND task = Child(F::kLblCurrentTask);
  form_.SetCurrentTaskCaption("Deleting trace.20140804.log");
  EXPECT_FALSE(GetUpdateRect(task, nullptr, FALSE));
  InvalidateRect(task, nullptr, TRUE);
  SetWindowTextW(task, L"Set by the owner directly");
  EXPECT_FALSE(GetUpdateRect(task, nullptr, FALSE));
}

// How text becomes a number is the number reading's, tabled with it; here, that the label moves
// the bar, within the range read afresh on each call, and that errors reach the owner.
TEST_F(ProgressWindowTest, CancelAndProgressRaiseToTheOwnerAndUnloadingRestoresTheDesign) {
  int raised = 0;  // counts 100 when the flag is not yet set at the event
  form_.Cancelled = [&] { raised += form_.BeenCancelled ? 1 : 100; };
  form_.ShowCancel(true);
  for (int click = 0; click < 2; ++click) SendMessageW(Child(F::kCmdCancel), BM_CLICK, 0, 0);
  EXPECT_EQ(raised, 1);
  EXPECT_FALSE(IsWindowEnabled(Child(F::kCmdCancel)));
  form_.ShowCancel(true);  // re-arms
  EXPECT_TRUE(IsWindowEnabled(Child(F::kCmdCancel)));
  form_.Cancelled = [] { RaiseError(kOverflow); };
  SendMessageW(Child(F::kCmdCancel), BM_CLICK, 0, 0);
  EXPECT_THROW(form_.SetProgress(5), RuntimeError) << "raised in the handler";

  form_.SetHiddenProgressText("13.5");
  EXPECT_EQ(Bar(PBM_GETPOS), 14);
  EXPECT_THROW(form_.SetHiddenProgressText("40000"), RuntimeError);
  // Written past the members, the error waits for the owner's next call.
  SetWindowTextW(Child(F::kLblHiddenProgress), L"40000");
  EXPECT_THROW(form_.SetProgress(1), RuntimeError);
  form_.progOverallProcess().SetMax(3e9);
  EXPECT_THROW(form_.SetProgress(1), RuntimeError) << "an end beyond the Long range";
  form_.progOverallProcess().SetMax(20);
  form_.SetProgress(25);
  EXPECT_EQ(Bar(PBM_GETPOS), 20);

  HWND window = form_.Handle();
  form_.Unload();
  EXPECT_FALSE(IsWindow(window) || form_.Loaded() || form_.BeenCancelled || form_.ShowCancel());
  // Loaded afresh: hidden, topmost, with the bar as designed.
  EXPECT_FALSE(IsWindowVisible(form_.Handle()));
  EXPECT_TRUE(GetWindowLongPtrW(form_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(Bar(PBM_GETRANGE, FALSE), 100);
}

// The last control failing: everything else was made, and all of it must go.
TEST_F(ProgressWindowTest, AFailedLoadLeavesNoWindowAndTheNextCallLoadsItWhole) {
  BreakNextLoad(F::kLblHiddenProgress);
  try {
    form_.ShowCancel(true);
    ADD_FAILURE() << "loaded with a control missing";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), kInvalidProcedureCall);
    const std::string& detail = error.Detail();  // in Wine's words or in Windows'
    EXPECT_TRUE(detail == "creating lblHiddenProgress: Class does not exist" ||
                detail == "creating lblHiddenProgress: Cannot find window class")
        << detail;
  }
  EXPECT_FALSE(form_.Loaded() || FindWindowW(L"TarnwellProgressWindow", nullptr));

  form_.SetProgress(150);  // loads, bar and all, and widened for the Cancel the owner asked for
  EXPECT_EQ(Bar(PBM_GETPOS), 100);
  ExpectClientSize(5955);
}

}  // namespace
}  // namespace tarnwell
