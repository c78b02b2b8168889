#include "general/argument_text.h"

namespace tarnwell {
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

std::string ArgumentTextFromCommandLine(std::string_view command_line) {
  // The program's name runs to its closing quote when quoted, else to the first blank;
  // this is how the system's own start-up code finds it.
  std::size_t rest = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    const std::size_t closing = command_line.find('"', 1);
    rest = closing == std::string_view::npos ? command_line.size() : closing + 1;
  } else {
    rest = command_line.find_first_of(" \t");
    if (rest == std::string_view::npos) rest = command_line.size();
  }
  // Spaces and tabs after the name separate it from the arguments.
  std::string_view arguments = command_line.substr(rest);
  const std::size_t first = arguments.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  const std::size_t last = arguments.find_last_not_of(' ');
  return std::string(arguments.substr(first, last - first + 1));
}

std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments) {
  std::string text;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += QuoteIfBlank(arguments[i]);
  }
  return text;
}

}  // namespace tarnwell
