#include "general/run_plan.h"

#include <algorithm>

#include "base/ascii.h"
#include "general/argument_text.h"
#include "general/command_line.h"
#include "platform/path_syntax.h"

namespace tarnwell {
namespace {

constexpr Long kMaxKeep = 1'000'000;
constexpr Long kMaxStrictDays = 1'000'000;
constexpr int kMaxDepth = 16;

// A switch either takes a value ("/Keep=7") or is a flag ("/WhatIf").
enum class Form { kValue, kFlag };

struct KnownSwitch {
  std::string_view key;
  Form form;
};

constexpr KnownSwitch kKnownSwitches[] = {
    {.key = "/DeleteAfterDays", .form = Form::kValue},
    {.key = "/Path", .form = Form::kValue},
    {.key = "/Silent", .form = Form::kFlag},
    {.key = "/WhatIf", .form = Form::kFlag},
    {.key = "/List", .form = Form::kFlag},
    {.key = "/Keep", .form = Form::kValue},
    {.key = "/Names", .form = Form::kValue},
    {.key = "/Depth", .form = Form::kValue},
    {.key = "/MaxSize", .form = Form::kValue},
    {.key = "/MinFree", .form = Form::kValue},
    {.key = "/Rules", .form = Form::kFlag},
    {.key = "/Json", .form = Form::kFlag},
};

// The switch whose key `word` begins with, up to "=", or null.
const KnownSwitch* FindSwitch(std::string_view word) {
  const std::string_view key = word.substr(0, word.find('='));
  const auto known = std::find_if(
      std::begin(kKnownSwitches), std::end(kKnownSwitches),
      [key](const KnownSwitch& known_switch) { return EqualsIgnoringCase(key, known_switch.key); });
  return known == std::end(kKnownSwitches) ? nullptr : known;
}

// Why `word`, written as a switch, is none this program takes; nullopt when it is one.
std::optional<std::string> RefusedSwitch(std::string_view word) {
  const std::size_t equals = word.find('=');
  const KnownSwitch* known = FindSwitch(word);
  if (known == nullptr) return "unknown switch " + Quoted(word.substr(0, equals));
  if (known->form == Form::kFlag && equals != std::string_view::npos) {
    return Quoted(word) + ": " + std::string(known->key) + " takes no value";
  }
  if (known->form == Form::kValue && equals == std::string_view::npos) {
    return Quoted(word) + " without '=' and a value";
  }
  return std::nullopt;
}

// Why the command line is no run at all: a switch this program does not take, or "/?"
// ("" then: the usage was asked for). On POSIX every argument must be such a switch, so a
// folder without /Path, or a word the shell split off one, is refused; on Windows only the
// words written as switches are checked, as other words never meant anything.
std::optional<std::string> RefusedWords(std::string_view command_line,
                                        const std::vector<std::string>* arguments) {
  std::vector<std::string_view> words;
  if (arguments == nullptr) {
    words = SwitchWords(command_line);
  } else {
    for (const std::string& argument : *arguments) {
      if (!argument.starts_with('/') && !argument.starts_with('-')) {
        return "unexpected argument " + Quoted(argument) + " (a folder is given as /Path=FOLDER)";
      }
      words.push_back(argument);
    }
  }
  for (const std::string_view word : words) {
    if (word == "/?") return "";
    if (std::optional<std::string> refused = RefusedSwitch(word)) return refused;
  }
  return std::nullopt;
}

// Why the /Path value `folder` is not the folder the caller named; nullopt when it is. A
// command line that mentions /Path never falls back to the default sweep, so an empty or
// misread value must be refused rather than swept elsewhere.
std::optional<std::string> RefusedFolder(const std::string& folder,
                                         const std::vector<std::string>* arguments) {
  if (folder.empty()) return "/Path names no folder";
  if (!platform::CouldNameFolder(folder)) {
    return "/Path=" + folder + " cannot name a folder here";
  }
  // A rebuilt text carries some values changed (a quote inside, blanks at an end); what
  // the lookup read must be what the argument holds.
  if (arguments != nullptr && folder != SwitchValueInArguments(*arguments, "/Path")) {
    return "/Path would be read as " + Quoted(folder) + ", not as its argument holds it";
  }
  return std::nullopt;
}

std::string ValueOf(std::string_view command_line, const char* key) {
  return GetCommandLineParameter(std::string(command_line), key, "=", false, " ");
}

}  // namespace

std::optional<std::string> SetRuleField(std::string_view key, const std::string& value,
                                        Rule* rule) {
  const std::string written = std::string(key) + "=" + value;
  const auto is = [key](std::string_view name) { return EqualsIgnoringCase(key, name); };
  if (is("/DeleteAfterDays")) {
    const std::optional<Long> days = ReadWholeNumber(value, 1, kMaxStrictDays);
    if (!days) {
      return written + ": the days must be a whole number from 1 to " +
             std::to_string(kMaxStrictDays);
    }
    rule->days = *days;
  } else if (is("/Keep")) {
    const std::optional<Long> count = ReadWholeNumber(value, 1, kMaxKeep);
    if (!count) {
      return written + ": the count must be a whole number from 1 to " + std::to_string(kMaxKeep);
    }
    rule->keep = *count;
  } else if (is("/Names")) {
    std::string why;
    std::optional<std::vector<NamePattern>> patterns = ParseNamePatterns(value, &why);
    if (!patterns) return written + ": " + why;
    rule->names = std::move(*patterns);
  } else if (is("/Depth")) {
    const std::optional<Long> levels = ReadWholeNumber(value, 0, kMaxDepth);
    if (!levels) {
      return written + ": the depth must be a whole number from 0 to " + std::to_string(kMaxDepth);
    }
    rule->depth = static_cast<int>(*levels);
  } else if (is("/MaxSize")) {
    rule->max_size = ReadSize(value);
    if (!rule->max_size) {
      return written + ": a size is a whole number of bytes, or one with K, M, G or T";
    }
    rule->max_size_text = "/MaxSize=" + value;
  } else if (is("/MinFree")) {
    rule->min_free = ReadFreeFloor(value);
    if (!rule->min_free) {
      return written + ": a size is a whole number of bytes, or one with K, M, G or T, or a " +
             "percentage from 1% to 99%";
    }
    rule->min_free_text = "/MinFree=" + value;
  } else {
    return "unknown switch " + Quoted(key);
  }
  return std::nullopt;
}

bool IsKnownSwitch(std::string_view word) { return word == "/?" || FindSwitch(word) != nullptr; }

RunPlan ReadRunPlan(std::string_view command_line, const std::vector<std::string>* arguments) {
  RunPlan plan;
  plan.choices = {.silent = MentionsSwitch(command_line, "/Silent"),
                  .what_if = StandsAsWord(command_line, "/WhatIf"),
                  .list = StandsAsWord(command_line, "/List"),
                  .json = StandsAsWord(command_line, "/Json")};
  plan.rules = StandsAsWord(command_line, "/Rules");
  if (std::optional<std::string> refused = RefusedWords(command_line, arguments)) {
    plan.usage = std::move(refused);
    return plan;
  }

  // Rules carry their own fields: a switch of a sweep's is the command line's own sweep's,
  // which needs its day count, and must not pass for one of every rule.
  if (plan.rules && !StartsAWord(command_line, "/DeleteAfterDays")) {
    for (const char* key : {"/Path", "/Keep", "/Names", "/Depth", "/MaxSize", "/MinFree"}) {
      if (key == std::string_view("/Path") ? MentionsSwitch(command_line, key)
                                           : StartsAWord(command_line, key)) {
        plan.usage = std::string(key) + " without /DeleteAfterDays: each rule carries its own";
        return plan;
      }
    }
    return plan;
  }

  const std::string days = ValueOf(command_line, "/DeleteAfterDays");
  try {
    plan.sweep.days = ToLong(ReadNumber(days));
  } catch (const RuntimeError& error) {
    plan.error = error;
    return plan;
  }
  if (plan.sweep.days <= 0) {
    plan.usage = days.empty() ? "/DeleteAfterDays=<NumberOfDays> is missing"
                              : "/DeleteAfterDays=" + days + " is no positive number of days";
    return plan;
  }

  if (MentionsSwitch(command_line, "/Path")) {
    plan.sweep.folder = ValueOf(command_line, "/Path");
    if (std::optional<std::string> refused = RefusedFolder(plan.sweep.folder, arguments)) {
      plan.usage = std::move(refused);
      return plan;
    }
  }

  for (const char* key : {"/Keep", "/Names", "/Depth", "/MaxSize", "/MinFree"}) {
    if (!StartsAWord(command_line, key)) continue;
    if (std::optional<std::string> refused =
            SetRuleField(key, ValueOf(command_line, key), &plan.sweep)) {
      plan.usage = std::move(refused);
      return plan;
    }
  }
  // The default sweep starts at the root of C:: walking the system drive must not be one
  // switch away.
  if (plan.sweep.depth > 0 && plan.sweep.folder.empty()) {
    plan.usage = "/Depth=" + std::to_string(plan.sweep.depth) +
                 " needs /Path: the default sweep is never walked";
    return plan;
  }
  return plan;
}

}  // namespace tarnwell
