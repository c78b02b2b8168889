#include "general/runtime_error.h"

#include <utility>

namespace tarnwell {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

std::string DescribeError(int number) {
  switch (number) {
    case kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kPathFileAccessError:
      return "Path/File access error";
    default:
      return "Application-defined or object-defined error";
  }
}

void RaiseError(int number) { throw RuntimeError(number, DescribeError(number)); }

std::string FormatRuntimeError(const RuntimeError& error) {
  return "Run-time error '" + std::to_string(error.Number()) + "': " + error.Description();
}

}  // namespace tarnwell
