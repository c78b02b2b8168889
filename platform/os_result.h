// What an operating-system call came to. The platform layer reports every failure this way
// and never raises: the layers above decide which failures are run-time errors.
#pragma once

#include <string>
#include <utility>

namespace tarnwell::platform {

struct OsResult {
  enum Kind { kDone, kNotThere, kFailed };

  Kind kind = kDone;
  std::string reason;  // kFailed: the system's own words for it ("Permission denied")
  int code = 0;        // kFailed: the system's own number for it (errno, a Win32 status), or 0

  static OsResult Done() { return {}; }
  static OsResult NotThere() { return {kNotThere, {}}; }
  static OsResult Failed(std::string why, int code = 0) { return {kFailed, std::move(why), code}; }

  bool done() const { return kind == kDone; }
  bool failed() const { return kind == kFailed; }
};

}  // namespace tarnwell::platform
