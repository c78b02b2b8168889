#include "base/runtime_error.h"

#include <utility>

namespace tarnwell {

RuntimeError::RuntimeError(int number, std::string description, std::string detail)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      detail_(std::move(detail)) {}

std::string DescribeError(int number) {
  switch (number) {
    case kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kOutOfMemory:
      return "Out of memory";
    case kDeviceIoError:
      return "Device I/O error";
    case kPathFileAccessError:
      return "Path/File access error";
    default:
      return "Application-defined or object-defined error";
  }
}

void RaiseError(int number, std::string detail) {
  throw RuntimeError(number, DescribeError(number), std::move(detail));
}

std::string FormatRuntimeError(const RuntimeError& error) {
  return "Run-time error '" + std::to_string(error.Number()) + "': " + error.Description();
}

std::string FormatRuntimeErrorWithDetail(const RuntimeError& error) {
  const std::string line = FormatRuntimeError(error);
  return error.Detail().empty() ? line : line + ": " + error.Detail();
}

}  // namespace tarnwell
