// The platform's window for two-digit years: a two-digit year names the one year ending in
// those digits among the hundred years that end with the window's last year.
#pragma once

namespace tarnwell::platform {

// The last year of the window: the user's setting on Windows, 2029 elsewhere (0-29 are
// 2000-2029, 30-99 are 1930-1999).
int TwoDigitYearMax();

}  // namespace tarnwell::platform
