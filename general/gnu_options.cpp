#include "general/gnu_options.h"

#include <getopt.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/ascii.h"

namespace tarnwell {
namespace {

// The ids of the long options without a short one, clear of every character.
enum : int { kNames = 256, kDepth, kMaxSize, kMinFree, kRules, kJson };

// The short options, after "-" (options and operands returned in order) and ":" (a missing
// value returned as ':', told apart from an unknown option).
constexpr char kShortOptions[] = "-:d:k:nlqhV";

struct GnuOption {
  const char* name;      // the long option, without "--"
  int has_arg;           // no_argument or required_argument
  int id;                // its short option, or one of the ids above
  std::string_view key;  // the Windows-style switch it stands for; "" for --help, --version
};

constexpr GnuOption kOptions[] = {
    {.name = "older-than", .has_arg = required_argument, .id = 'd', .key = "/DeleteAfterDays"},
    {.name = "keep", .has_arg = required_argument, .id = 'k', .key = "/Keep"},
    {.name = "names", .has_arg = required_argument, .id = kNames, .key = "/Names"},
    {.name = "depth", .has_arg = required_argument, .id = kDepth, .key = "/Depth"},
    {.name = "max-size", .has_arg = required_argument, .id = kMaxSize, .key = "/MaxSize"},
    {.name = "min-free", .has_arg = required_argument, .id = kMinFree, .key = "/MinFree"},
    {.name = "rules", .has_arg = no_argument, .id = kRules, .key = "/Rules"},
    {.name = "dry-run", .has_arg = no_argument, .id = 'n', .key = "/WhatIf"},
    {.name = "list", .has_arg = no_argument, .id = 'l', .key = "/List"},
    {.name = "quiet", .has_arg = no_argument, .id = 'q', .key = "/Silent"},
    {.name = "json", .has_arg = no_argument, .id = kJson, .key = "/Json"},
    {.name = "help", .has_arg = no_argument, .id = 'h', .key = ""},
    {.name = "version", .has_arg = no_argument, .id = 'V', .key = ""},
};

const GnuOption* OptionWithId(int id) {
  const auto found = std::ranges::find(kOptions, id, &GnuOption::id);
  return found == std::end(kOptions) ? nullptr : found;
}

// Why the Windows-style switch `word` cannot stand among GNU options, with what to write.
std::string Mixed(std::string_view word) {
  const std::string_view key = word.substr(0, word.find('='));
  const auto is = [key](std::string_view name) { return EqualsIgnoringCase(key, name); };
  std::string instead = is("/Path") ? "the folder alone" : is("/?") ? "--help" : "";
  for (const GnuOption& option : kOptions) {
    if (!option.key.empty() && is(option.key)) instead = "--" + std::string(option.name);
  }
  return Quoted(word) + " is a Windows-style switch: " +
         (instead.empty() ? "GNU options and Windows-style switches do not mix"
                          : "with GNU options write " + instead);
}

// Why getopt_long answered '?', as glibc itself would have printed it. optopt names a short
// option, or a long one given a value it does not take; it is 0 for a long option that is
// unknown or ambiguous, and then `written`, the argument just read, is that option.
std::string Unaccepted(std::string_view written) {
  if (optopt != 0) {
    // A known id here is an option that takes no value given one with "=".
    const GnuOption* option = OptionWithId(optopt);
    if (option != nullptr)
      return "option '--" + std::string(option->name) + "' doesn't allow an argument";
    return "invalid option -- " + Quoted(std::string(1, static_cast<char>(optopt)));
  }
  const std::string_view name = written.substr(2, written.find('=') - 2);
  std::string possibilities;
  for (const GnuOption& option : kOptions) {
    if (std::string_view(option.name).starts_with(name)) {
      possibilities += " '--" + std::string(option.name) + "'";
    }
  }
  if (possibilities.find(' ', 1) != std::string::npos) {
    return "option " + Quoted(written.substr(0, written.find('='))) +
           " is ambiguous; possibilities:" + possibilities;
  }
  return "unrecognized option " + Quoted(written);
}

GnuCommandLine Refusal(std::string why) {
  return {.asks = GnuCommandLine::Asks::kRefusal, .refusal = std::move(why)};
}

}  // namespace

bool IsGnuCommandLine(const std::vector<std::string>& arguments) {
  return !arguments.empty() && arguments.front().starts_with('-') && arguments.front() != "-";
}

GnuCommandLine ReadGnuCommandLine(const std::vector<std::string>& arguments) {
  // getopt_long writes into the vector it reads, so it reads copies; argv[0] it skips.
  std::vector<std::string> owned = {"tarnwell"};
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : owned) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(owned.size());
  std::vector<option> long_options;
  for (const GnuOption& gnu : kOptions)
    long_options.push_back({gnu.name, gnu.has_arg, nullptr, gnu.id});
  long_options.push_back({});

  GnuCommandLine command;
  RunPlan& plan = command.plan;
  std::vector<std::string> operands;
  std::size_t before_dashes = 0;  // of the operands, how many came before "--"
  std::string_view without_days;  // an option of the command line's own sweep, for --rules
  optind = 0;
  opterr = 0;
  for (int got;
       (got = getopt_long(argc, argv.data(), kShortOptions, long_options.data(), nullptr)) != -1;) {
    const GnuOption* option = OptionWithId(got);
    const std::string value = optarg != nullptr ? optarg : "";
    switch (got) {
      case 1:
        operands.push_back(value);
        before_dashes = operands.size();
        break;
      case 'h':
        return {.asks = GnuCommandLine::Asks::kHelp};
      case 'V':
        return {.asks = GnuCommandLine::Asks::kVersion};
      case ':':
        option = OptionWithId(optopt);
        // optopt tells the option, not how it was written: the argument does.
        if (std::string_view(argv[optind - 1]).starts_with("--")) {
          return Refusal("option '--" + std::string(option->name) + "' requires an argument");
        }
        return Refusal("option requires an argument -- " +
                       Quoted(std::string(1, static_cast<char>(optopt))));
      case '?':
        return Refusal(Unaccepted(argv[optind - 1]));
      case kRules:
        plan.rules = true;
        break;
      case 'n':
        plan.choices.what_if = true;
        break;
      case 'l':
        plan.choices.list = true;
        break;
      case 'q':
        plan.choices.silent = true;
        break;
      case kJson:
        plan.choices.json = true;
        break;
      default:
        if (std::optional<std::string> why = SetRuleField(option->key, value, &plan.sweep)) {
          // SetRuleField names the switch as written ("/Keep=0: ..."); here the option does.
          const std::string written = std::string(option->key) + "=" + value + ": ";
          if (why->starts_with(written)) why->erase(0, written.size());
          return Refusal("invalid --" + std::string(option->name) + " " + Quoted(value) + ": " +
                         *why);
        }
        if (option->id != 'd' && without_days.empty()) without_days = option->name;
    }
  }
  operands.insert(operands.end(), argv.begin() + optind, argv.end() - 1);

  for (std::size_t at = 0; at < before_dashes; ++at) {
    if (IsKnownSwitch(operands[at])) {
      return Refusal(Mixed(operands[at]));
    }
  }
  if (operands.size() > 1) return Refusal("extra operand " + Quoted(operands[1]));
  if (!operands.empty()) {
    if (operands.front().empty()) return Refusal("the FOLDER operand is empty");
    plan.sweep.folder = operands.front();
    plan.sweep.verbatim_folder = true;
  }
  if (plan.sweep.days == 0) {
    if (!plan.rules) return Refusal("--older-than=DAYS is missing");
    // --rules alone sweeps the rules alone: a folder or a value for a sweep of its own
    // would be silently dropped.
    if (!operands.empty())
      return Refusal("the folder " + Quoted(operands.front()) + " needs --older-than");
    if (!without_days.empty())
      return Refusal("--" + std::string(without_days) + " needs --older-than");
  }
  // The default sweep starts at the root of C:: walking it must not be one option away.
  if (plan.sweep.depth > 0 && plan.sweep.folder.empty()) {
    return Refusal("--depth=" + std::to_string(plan.sweep.depth) +
                   " needs a FOLDER: the default sweep is never walked");
  }
  return command;
}

}  // namespace tarnwell
