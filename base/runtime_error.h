// Numbered run-time errors: raised where a failure occurs, caught only by the sweep
// (around one file) and by the process entry point (which reports it and exits).
#pragma once

#include <stdexcept>
#include <string>

namespace tarnwell {

enum ErrorNumber : int {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kDeviceIoError = 57,
  kPathFileAccessError = 75,
};

class RuntimeError : public std::runtime_error {
 public:
  // `detail` says what failed and why ("/srv/logs: Permission denied"), or is empty.
  RuntimeError(int number, std::string description, std::string detail = "");

  int Number() const { return number_; }
  const std::string& Description() const { return description_; }
  const std::string& Detail() const { return detail_; }

 private:
  int number_;
  std::string description_;
  std::string detail_;
};

// The standard description of an error number ("Overflow" for 6).
std::string DescribeError(int number);

// Raises error `number` with its standard description and an optional `detail`.
[[noreturn]] void RaiseError(int number, std::string detail = "");

// "Run-time error '6': Overflow": how an unhandled error is reported to the user, exactly
// as the Windows program shows it.
std::string FormatRuntimeError(const RuntimeError& error);

// The same followed by ": " and the detail when there is one, for a line in a log
// ("Run-time error '75': Path/File access error: /srv/logs: Permission denied").
std::string FormatRuntimeErrorWithDetail(const RuntimeError& error);

}  // namespace tarnwell
