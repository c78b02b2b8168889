#include "ui/progress_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/runtime_error.h"
#include "ui/progress_rules.h"

namespace tarnwell {
namespace {

double Checked(double value) {
  if (std::isnan(value)) RaiseError(kInvalidProcedureCall);
  return value;
}

}  // namespace

ProgressBar::ProgressBar(HWND control) : control_(control) { Show(); }

void ProgressBar::SetMin(double NewMin) {
  min_ = Checked(NewMin);
  Show();
}

void ProgressBar::SetMax(double NewMax) {
  max_ = Checked(NewMax);
  Show();
}

void ProgressBar::SetValue(double NewValue) {
  value_ = Checked(NewValue);
  Show();
}

void ProgressBar::Show() {
  value_ = std::min(std::max(value_, min_), max_);
  // The control clamps its position into its range: set the range first, so the new
  // position is never held against the old one.
  SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(ControlUnits(min_)),
               static_cast<LPARAM>(ControlUnits(max_)));
  SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(ControlUnits(value_)), 0);
}

}  // namespace tarnwell
