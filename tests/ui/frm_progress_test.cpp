// The progress window on a real desktop (Wine and Xvfb under ctest), read back through
// Win32 the way a user or an accessibility tool would see it.
#include "ui/frm_progress.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "general/progress_rules.h"
#include "general/runtime_error.h"

namespace tarnwell {
namespace {

class ProgressWindowTest : public ::testing::Test {
 protected:
  HWND Child(frmProgress::ControlId id) { return GetDlgItem(form_.Handle(), id); }

  // A width in twips as the window's pixels at the desktop's dpi.
  Long Px(double twips) {
    HDC dc = GetDC(form_.Handle());
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(form_.Handle(), dc);
    return TwipsToPixels(twips, dpi);
  }
  Long ClientWidth() {
    RECT client{};
    GetClientRect(form_.Handle(), &client);
    return client.right;
  }
  int BarPosition() {
    return static_cast<int>(
        SendMessageW(Child(frmProgress::kProgOverallProcess), PBM_GETPOS, 0, 0));
  }
  PBRANGE BarRange() {
    PBRANGE range{};
    SendMessageW(Child(frmProgress::kProgOverallProcess), PBM_GETRANGE, FALSE,
                 reinterpret_cast<LPARAM>(&range));
    return range;
  }
  void Click() { SendMessageW(Child(frmProgress::kCmdCancel), BM_CLICK, 0, 0); }

  // Every pixel of a control as painted now.
  std::vector<COLORREF> Pixels(HWND control) {
    RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect{};
    GetClientRect(control, &rect);
    HDC dc = GetDC(control);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rect.bottom; ++y) {
      for (int x = 0; x < rect.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(control, dc);
    return pixels;
  }

  frmProgress form_;
};

TEST_F(ProgressWindowTest, LoadsHiddenTopmostWithTheDesignLayout) {
  EXPECT_FALSE(form_.Loaded());
  HWND window = form_.Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Px(5415));
  EXPECT_EQ(client.bottom, Px(600));
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  EXPECT_STREQ(title, L"Progress");
  EXPECT_FALSE(IsWindowVisible(Child(frmProgress::kCmdCancel)));
  EXPECT_FALSE(IsWindowVisible(Child(frmProgress::kLblHiddenProgress)));
  EXPECT_EQ(BarRange().iLow, 0);
  EXPECT_EQ(BarRange().iHigh, 100);

  // Tab order is the order of the children.
  std::vector<int> order;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  EXPECT_EQ(order, (std::vector<int>{frmProgress::kProgOverallProcess,
                                     frmProgress::kLblCurrentTaskDesc, frmProgress::kLblCurrentTask,
                                     frmProgress::kCmdCancel, frmProgress::kLblHiddenProgress}));
  LOGFONTW font{};
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(Child(frmProgress::kLblCurrentTask), WM_GETFONT, 0, 0)),
      sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Arial");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(ProgressWindowTest, ShowCancelWidensAndArmsTheButton) {
  form_.Show();
  for (bool show : {true, false, false, true, true}) {
    form_.BeenCancelled = true;
    form_.ShowCancel(show);
    EXPECT_EQ(form_.ShowCancel(), show);
    EXPECT_EQ(ClientWidth(), Px(show ? 5955 : 5415)) << show;
    EXPECT_EQ(IsWindowVisible(Child(frmProgress::kCmdCancel)) != FALSE, show);
    EXPECT_TRUE(IsWindowEnabled(Child(frmProgress::kCmdCancel)));
    EXPECT_EQ(form_.BeenCancelled, !show) << "only showing clears the flag";
  }
}

TEST_F(ProgressWindowTest, ShowCancelBeforeTheWindowExistsAppliesOnLoad) {
  form_.BeenCancelled = true;
  EXPECT_FALSE(form_.ShowCancel());
  EXPECT_FALSE(form_.Loaded()) << "reading the fields never loads";

  form_.ShowCancel(true);
  ASSERT_TRUE(form_.Loaded());
  EXPECT_FALSE(IsWindowVisible(form_.Handle()));
  EXPECT_TRUE(GetWindowLongPtrW(form_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(form_.BeenCancelled);
  form_.Show();
  EXPECT_TRUE(IsWindowVisible(Child(frmProgress::kCmdCancel)));
  EXPECT_EQ(ClientWidth(), Px(5955));
  int red = 0;  // the picture: a red octagon
  for (COLORREF pixel : Pixels(Child(frmProgress::kCmdCancel))) {
    red += GetRValue(pixel) > 180 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
  }
  EXPECT_GT(red, 50);
}

TEST_F(ProgressWindowTest, SetProgressStaysInsideTheRangeReadEachTime) {
  const struct {
    double minimum, maximum;
    Integer value;
    int shown;
  } cases[] = {
      {0, 100, 37, 37}, {0, 100, 150, 100}, {0, 100, -5, 0},
      {10, 20, 5, 10},  {10, 20, 25, 20},   {10, 20, 15, 15},
  };
  for (const auto& c : cases) {
    form_.progOverallProcess().SetMax(c.maximum);
    form_.progOverallProcess().SetMin(c.minimum);
    form_.SetProgress(c.value);
    EXPECT_EQ(BarPosition(), c.shown) << c.value << " in " << c.minimum << ".." << c.maximum;
    EXPECT_EQ(form_.progOverallProcess().Value(), c.shown);
    EXPECT_EQ(BarRange().iLow, c.minimum);
    EXPECT_EQ(BarRange().iHigh, c.maximum);
  }
}

TEST_F(ProgressWindowTest, TextInTheHiddenLabelMovesTheBar) {
  const struct {
    std::string_view text;
    int shown;
  } cases[] = {
      {"42", 42},   {"7 5", 75}, {"12.5", 12}, {"13.5", 14},
      {"&H20", 32}, {"abc", 0},  {"", 0},      {"250", 100},
  };
  for (const auto& c : cases) {
    form_.SetProgress(50);
    form_.SetHiddenProgressText(c.text);
    EXPECT_EQ(BarPosition(), c.shown) << c.text;
    EXPECT_EQ(form_.HiddenProgressText(), c.text);
  }

  form_.SetProgress(33);
  try {
    form_.SetHiddenProgressText("40000");
    ADD_FAILURE() << "40000 raised no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), kOverflow);
  }
  EXPECT_EQ(BarPosition(), 33);

  // Written past the members, the error waits for the owner's next call.
  SetWindowTextW(Child(frmProgress::kLblHiddenProgress), L"40000");
  EXPECT_EQ(BarPosition(), 33);
  EXPECT_THROW(form_.SetProgress(1), RuntimeError);
  form_.SetProgress(1);
  EXPECT_EQ(BarPosition(), 1);
}

TEST_F(ProgressWindowTest, ClickingCancelDisablesFlagsAndRaisesOnce) {
  int raised = 0;
  form_.Cancelled = [&] {
    ++raised;
    EXPECT_TRUE(form_.BeenCancelled) << "the flag is set before the event";
  };
  form_.ShowCancel(true);
  form_.Show();

  Click();
  Click();
  EXPECT_EQ(raised, 1);
  EXPECT_TRUE(form_.BeenCancelled);
  EXPECT_FALSE(IsWindowEnabled(Child(frmProgress::kCmdCancel)));
  EXPECT_TRUE(IsWindowVisible(form_.Handle())) << "the window stays open";

  form_.ShowCancel(false);
  EXPECT_TRUE(form_.BeenCancelled) << "hiding leaves the flag";
  form_.ShowCancel(true);  // re-arms
  EXPECT_FALSE(form_.BeenCancelled);
  EXPECT_TRUE(IsWindowEnabled(Child(frmProgress::kCmdCancel)));
  Click();
  EXPECT_EQ(raised, 2);
}

TEST_F(ProgressWindowTest, ErrorInTheCancelledHandlerReachesTheNextCall) {
  form_.Cancelled = [] { RaiseError(kOverflow); };
  form_.ShowCancel(true);
  Click();
  EXPECT_TRUE(form_.BeenCancelled);
  EXPECT_THROW(form_.SetProgress(5), RuntimeError);
  EXPECT_NO_THROW(form_.SetProgress(5));
}

TEST_F(ProgressWindowTest, UnloadingAfterACancelClearsBothFields) {
  form_.ShowCancel(true);
  form_.Show();
  Click();
  HWND window = form_.Handle();
  form_.Unload();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(form_.Loaded());
  EXPECT_FALSE(form_.BeenCancelled);
  EXPECT_FALSE(form_.ShowCancel());

  form_.Load();  // starts again without the button
  EXPECT_FALSE(GetWindowLongPtrW(Child(frmProgress::kCmdCancel), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(ClientWidth(), Px(5415));
}

TEST_F(ProgressWindowTest, BackColourPaintsTheWindowAndLabelsOnly) {
  form_.ShowCancel(true);
  form_.SetCurrentTaskCaption("Working");
  form_.Show();
  const auto bar = Pixels(Child(frmProgress::kProgOverallProcess));
  const auto button = Pixels(Child(frmProgress::kCmdCancel));

  form_.SetBackColour(0x0000FF);
  const COLORREF red = RGB(255, 0, 0);
  const auto task = Pixels(Child(frmProgress::kLblCurrentTask));
  const auto desc = Pixels(Child(frmProgress::kLblCurrentTaskDesc));
  EXPECT_EQ(task.back(), red);
  EXPECT_EQ(desc.back(), red);
  HDC dc = GetDC(form_.Handle());
  EXPECT_EQ(GetPixel(dc, 2, 2), red);
  ReleaseDC(form_.Handle(), dc);
  EXPECT_EQ(Pixels(Child(frmProgress::kProgOverallProcess)), bar);
  EXPECT_EQ(Pixels(Child(frmProgress::kCmdCancel)), button);
}

TEST_F(ProgressWindowTest, TaskCaptionIsPaintedWithoutPumpingMessages) {
  form_.Show();
  HWND label = Child(frmProgress::kLblCurrentTask);
  form_.SetCurrentTaskCaption("Deleting trace.20140804.log");
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));

  InvalidateRect(label, nullptr, TRUE);
  ASSERT_TRUE(GetUpdateRect(label, nullptr, FALSE)) << "an invalid label would show";
  SetWindowTextW(label, L"Set by the owner directly");
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
}

}  // namespace
}  // namespace tarnwell
