#include "platform/argument_text.h"

namespace tarnwell::platform {

namespace {

// The argument as the switch lookup needs it: a value with blanks stays one value only
// when it is quoted.
std::string QuoteIfBlank(const std::string& argument) {
  if (argument.find(' ') == std::string::npos) return argument;
  const std::size_t equals = argument.find('=');
  const std::size_t value_at = equals == std::string::npos ? 0 : equals + 1;
  if (value_at < argument.size() && argument[value_at] == '"') return argument;
  return argument.substr(0, value_at) + '"' + argument.substr(value_at) + '"';
}

}  // namespace

std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments) {
  std::string text;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += QuoteIfBlank(arguments[i]);
  }
  return text;
}

}  // namespace tarnwell::platform
