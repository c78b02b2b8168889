// The progress window on a real desktop (Wine and Xvfb under ctest), read back through
// Win32 the way a user or an accessibility tool would see it.
#include "ui/frm_progress.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "base/runtime_error.h"
#include "ui/progress_rules.h"

namespace tarnwell {
namespace {

using F = frmProgress;

class ProgressWindowTest : public ::testing::Test {
 protected:
  HWND Child(F::ControlId id) { return GetDlgItem(form_.Handle(), id); }
  LRESULT Bar(UINT m, WPARAM w = 0) { return SendMessageW(Child(F::kProgOverallProcess), m, w, 0); }
  void Click() { SendMessageW(Child(F::kCmdCancel), BM_CLICK, 0, 0); }
  // The client area: `width` by 600 twips at the desktop's dpi.
  void ExpectClientSize(double width) {
    HDC dc = GetDC(form_.Handle());
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(form_.Handle(), dc);
    RECT client{};
    GetClientRect(form_.Handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(width, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(600, dpi));
  }
  // Every pixel of a window as painted now.
  std::vector<COLORREF> Pixels(HWND window) {
    RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect{};
    GetClientRect(window, &rect);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < rect.right * rect.bottom; ++i)
      pixels.push_back(GetPixel(dc, i % rect.right, i / rect.right));
    ReleaseDC(window, dc);
    return pixels;
  }

  frmProgress form_;
};

TEST_F(ProgressWindowTest, ShowCancelWidensAndArmsEvenBeforeLoadAndBackColourSparesBarAndButton) {
  EXPECT_FALSE(form_.ShowCancel() || form_.BeenCancelled || form_.Loaded())
      << "reading the fields never loads";
  for (bool show : {true, false, false, true, true}) {
    form_.BeenCancelled = true;
    form_.ShowCancel(show);  // the first call loads the window
    form_.Show();
    ExpectClientSize(show ? 5955 : 5415);
    EXPECT_EQ(IsWindowVisible(Child(F::kCmdCancel)) != FALSE, show);
    EXPECT_TRUE(IsWindowEnabled(Child(F::kCmdCancel)));
    EXPECT_EQ(form_.BeenCancelled, !show) << "only showing clears the flag";
  }
  const auto bar = Pixels(Child(F::kProgOverallProcess)), button = Pixels(Child(F::kCmdCancel));
  int red = 0;  // the picture: a red octagon
  for (COLORREF pixel : button)
    red += GetRValue(pixel) > 180 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
  EXPECT_GT(red, 50);

  form_.SetBackColour(0x0000FF);  // paints the window and labels only
  for (HWND window : {Child(F::kLblCurrentTask), Child(F::kLblCurrentTaskDesc), form_.Handle()})
    EXPECT_EQ(Pixels(window).back(), RGB(255, 0, 0));
  EXPECT_EQ(Pixels(Child(F::kProgOverallProcess)), bar);
  EXPECT_EQ(Pixels(Child(F::kCmdCancel)), button);
}

// How text becomes a number is tabled with the progress rules; here, that the label moves
// the bar, within the range read afresh on each call, and keeps its errors for the owner.
TEST_F(ProgressWindowTest, ProgressFollowsTheHiddenLabelAndStaysInsideTheRangeReadEachTime) {
  for (auto [text, shown] : {std::pair{"13.5", 14}, {"abc", 0}, {"250", 100}}) {
    form_.SetProgress(50);
    form_.SetHiddenProgressText(text);
    EXPECT_EQ(Bar(PBM_GETPOS), shown) << text;
    EXPECT_EQ(form_.HiddenProgressText(), text);
  }
  form_.SetProgress(33);
  EXPECT_THROW(form_.SetHiddenProgressText("40000"), RuntimeError);
  // Written past the members, the error waits for the owner's next call.
  SetWindowTextW(Child(F::kLblHiddenProgress), L"40000");
  EXPECT_EQ(Bar(PBM_GETPOS), 33);
  EXPECT_THROW(form_.SetProgress(1), RuntimeError);
  EXPECT_NO_THROW(form_.SetProgress(1));
  const struct {
    double minimum, maximum;
    Integer value;
    int shown;
  } rows[] = {{0, 100, 37, 37}, {10, 20, 5, 10}, {10, 20, 25, 20}};
  for (const auto& row : rows) {
    form_.progOverallProcess().SetMax(row.maximum);
    form_.progOverallProcess().SetMin(row.minimum);
    form_.SetProgress(row.value);
    EXPECT_EQ(Bar(PBM_GETPOS), row.shown)
        << row.value << " in " << row.minimum << ".." << row.maximum;
    EXPECT_EQ(Bar(PBM_GETRANGE, TRUE), row.minimum);
  }
}

TEST_F(ProgressWindowTest, CancelDisablesFlagsRaisesOnceReArmsAndUnloadsToTheDesignLayout) {
  int raised = 0;  // counts 100 when the flag is not yet set at the event
  form_.Cancelled = [&] { raised += form_.BeenCancelled ? 1 : 100; };
  form_.ShowCancel(true);
  form_.Show();
  Click();
  Click();
  EXPECT_EQ(raised, 1);
  EXPECT_FALSE(IsWindowEnabled(Child(F::kCmdCancel)));
  EXPECT_TRUE(IsWindowVisible(form_.Handle())) << "the window stays open";
  form_.ShowCancel(true);  // re-arms
  EXPECT_TRUE(IsWindowEnabled(Child(F::kCmdCancel)));
  form_.Cancelled = [] { RaiseError(kOverflow); };
  Click();
  EXPECT_THROW(form_.SetProgress(5), RuntimeError) << "raised in the handler";

  HWND window = form_.Handle();
  form_.Unload();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(form_.Loaded() || form_.BeenCancelled || form_.ShowCancel());
  // Loaded afresh: hidden, topmost, without the button and with the design layout.
  window = form_.Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ExpectClientSize(5415);
  EXPECT_FALSE(IsWindowVisible(Child(F::kLblHiddenProgress)));
  EXPECT_EQ(Bar(PBM_GETRANGE, FALSE), 100);
}

TEST_F(ProgressWindowTest, TaskCaptionIsPaintedWithoutPumpingMessages) {
  form_.Show();
  HWND label = Child(F::kLblCurrentTask);
  form_.SetCurrentTaskCaption("Deleting trace.20140804.log");
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE)) << "painted without pumping messages";
  InvalidateRect(label, nullptr, TRUE);
  ASSERT_TRUE(GetUpdateRect(label, nullptr, FALSE)) << "an invalid label would show";
  SetWindowTextW(label, L"Set by the owner directly");
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
}

}  // namespace
}  // namespace tarnwell
