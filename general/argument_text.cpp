#include "general/argument_text.h"

#include "base/ascii.h"

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

// What separates arguments outside quotes. Windows itself splits at blanks and tabs; no
// Windows name holds a line break either, so one can only have come between switches.
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct WindowsArgument {
  std::string value;
  std::size_t end = 0;  // where the argument ends in the text
};

// The argument starting at `at`, read as the C runtime's start-up code reads argv: 2n
// backslashes before a quote are n backslashes and the quote opens or closes, 2n+1 are n
// and a literal quote, "" inside quotes is a quote; other backslashes are themselves.
WindowsArgument ReadWindowsArgument(std::string_view text, std::size_t at) {
  WindowsArgument argument;
  bool quoted = false;
  std::size_t i = at;
  while (i < text.size() && (quoted || !IsSeparator(text[i]))) {
    std::size_t backslashes = 0;
    for (; i < text.size() && text[i] == '\\'; ++i) ++backslashes;
    if (i < text.size() && text[i] == '"') {
      argument.value.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        argument.value += '"';
      } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        argument.value += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
      continue;
    }
    argument.value.append(backslashes, '\\');
    if (i < text.size() && (quoted || !IsSeparator(text[i]))) argument.value += text[i++];
  }
  argument.end = i;
  return argument;
}

// A switch that was quoted as a whole, written the way the lookup reads it: "/Key=value"
// as /Key="value" (an empty value stays empty, never the next switch), "/Key" as /Key.
// Nothing for a value with a quote of its own, which no quoting would carry.
std::optional<std::string> AsLookupSwitch(const std::string& argument) {
  if (!argument.starts_with('/') || argument.find('"') != std::string::npos) return std::nullopt;
  const std::size_t equals = argument.find('=');
  const std::string key = argument.substr(0, equals);
  for (const char c : key) {
    if (IsSeparator(c)) return std::nullopt;
  }
  if (equals == std::string::npos) return key;
  return key + "=\"" + argument.substr(equals + 1) + '"';
}

}  // namespace

std::string ArgumentTextFromCommandLine(std::string_view command_line) {
  // The program's name runs to its closing quote when quoted, else to the first blank;
  // this is how the system's own start-up code finds it.
  std::size_t at = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    const std::size_t closing = command_line.find('"', 1);
    at = closing == std::string_view::npos ? command_line.size() : closing + 1;
  } else {
    at = command_line.find_first_of(" \t");
    if (at == std::string_view::npos) at = command_line.size();
  }

  std::string text;
  while (at < command_line.size()) {
    if (IsSeparator(command_line[at])) {
      text += ' ';
      ++at;
      continue;
    }
    if (command_line.substr(at).starts_with("\"/")) {
      const WindowsArgument argument = ReadWindowsArgument(command_line, at);
      if (const std::optional<std::string> rewritten = AsLookupSwitch(argument.value)) {
        text += *rewritten;
        at = argument.end;
        continue;
      }
    }
    // Anything else as typed, up to the next separator outside quotes.
    for (bool quoted = false;
         at < command_line.size() && (quoted || !IsSeparator(command_line[at])); ++at) {
      quoted ^= command_line[at] == '"';
      text += command_line[at];
    }
  }
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ArgumentTextFromArguments(const std::vector<std::string>& arguments) {
  std::string text;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += QuoteIfBlank(arguments[i]);
  }
  return text;
}

std::optional<std::string> SwitchValueInArguments(const std::vector<std::string>& arguments,
                                                  std::string_view key) {
  const std::string prefix = std::string(key) + '=';
  for (const std::string& argument : arguments) {
    if (!StartsWithIgnoringCase(argument, prefix)) continue;
    std::string value = argument.substr(prefix.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"' &&
        value.find('"', 1) == value.size() - 1) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return std::nullopt;
}

}  // namespace tarnwell
