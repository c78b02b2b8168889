#include "general/command_line.h"

#include "base/ascii.h"
#include "general/token.h"

namespace tarnwell {

std::string CommandLine;

namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

std::string GetCommandLineParameter(std::string command_line, std::string key,
                                    std::string_view separator, bool decode,
                                    std::string_view terminator) {
  if (!terminator.empty()) {
    if (!StartsWithIgnoringCase(command_line, terminator)) command_line.insert(0, terminator);
    if (!StartsWithIgnoringCase(key, terminator)) key.insert(0, terminator);
  }

  std::string value;
  const std::size_t match = FindIgnoringCase(command_line, key + std::string(separator));
  if (match != std::string::npos) {
    // One variable is both start and found-at: it moves from the key to its separator.
    Long position = static_cast<Long>(match) + 1;
    value = ExtractToken(command_line, position, separator, position, true, true);
    if (position > 0) {
      Long value_start = position + 1;
      Long ignored = 0;
      if (value_start <= static_cast<Long>(command_line.size()) &&
          command_line[value_start - 1] == '"') {
        ++value_start;
        value = ExtractToken(command_line, value_start, "\"", ignored, true, true);
      } else {
        value = ExtractToken(command_line, value_start, terminator, ignored, true, true);
      }
    }
  }
  return decode ? DecodeEscapes(value) : value;
}

bool MentionsSwitch(std::string_view command_line, std::string_view key) {
  return ContainsIgnoringCase(command_line, key);
}

bool StartsAWord(std::string_view command_line, std::string_view key) {
  return StartsWithIgnoringCase(command_line, key) ||
         ContainsIgnoringCase(command_line, " " + std::string(key));
}

bool StandsAsWord(std::string_view command_line, std::string_view key) {
  for (std::size_t from = 0; from < command_line.size(); ++from) {
    const std::size_t at = FindIgnoringCase(command_line.substr(from), key);
    if (at == std::string_view::npos) return false;
    from += at;
    const std::size_t end = from + key.size();
    if ((from == 0 || command_line[from - 1] == ' ') &&
        (end == command_line.size() || command_line[end] == ' ')) {
      return true;
    }
  }
  return false;
}

std::vector<std::string_view> SwitchWords(std::string_view command_line) {
  std::vector<std::string_view> words;
  for (std::size_t at = 0; at < command_line.size();) {
    if (command_line[at] == ' ') {
      ++at;
      continue;
    }
    const std::size_t start = at;
    for (bool quoted = false; at < command_line.size() && (quoted || command_line[at] != ' ');
         ++at) {
      quoted ^= command_line[at] == '"';
    }
    const std::string_view word = command_line.substr(start, at - start);
    if (word.starts_with('/') || word.starts_with('-')) words.push_back(word);
  }
  return words;
}

std::string DecodeEscapes(std::string_view text) {
  std::string decoded(text);
  ReplaceAll(decoded, "{0D}", "\r");
  ReplaceAll(decoded, "{0A}", "\n");
  ReplaceAll(decoded, "{22}", "\"");
  ReplaceAll(decoded, "{09}", "\t");
  return decoded;
}

}  // namespace tarnwell
