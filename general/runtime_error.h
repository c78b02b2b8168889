// Numbered run-time errors: raised where a failure occurs, caught only by the sweep
// (around one file) and by the process entry point (which reports it and exits).
#pragma once

#include <stdexcept>
#include <string>

namespace tarnwell {

enum ErrorNumber : int {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kPathFileAccessError = 75,
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, std::string description);

  int Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

// The standard description of an error number ("Overflow" for 6).
std::string DescribeError(int number);

// Raises error `number` with its standard description.
[[noreturn]] void RaiseError(int number);

// "Run-time error '6': Overflow": how an unhandled error is reported to the user.
std::string FormatRuntimeError(const RuntimeError& error);

}  // namespace tarnwell
