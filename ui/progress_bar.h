// The common-controls progress bar behind floating-point minimum, maximum and value.
//
// The control itself counts in int only (PBM_SETRANGE32, PBM_SETPOS): this wrapper keeps
// the exact values and shows each one on the control as its nearest int. Like the
// control, it keeps the value inside the range: a value beyond an end stops at that end,
// and moving an end pulls the value along. With the ends reversed the maximum wins.
#pragma once

#include <windows.h>

namespace tarnwell {

class ProgressBar {
 public:
  // Takes a PROGRESS_CLASS control and gives it the range 0 to 100 at 0.
  explicit ProgressBar(HWND control);

  double Min() const { return min_; }
  double Max() const { return max_; }
  double Value() const { return value_; }

  // A value that is not a number is refused: Invalid procedure call (error 5).
  void SetMin(double NewMin);
  void SetMax(double NewMax);
  void SetValue(double NewValue);

  HWND Handle() const { return control_; }

 private:
  void Show();

  HWND control_;
  double min_ = 0;
  double max_ = 100;
  double value_ = 0;
};

}  // namespace tarnwell
