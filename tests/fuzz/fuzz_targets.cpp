// Every libFuzzer target in one file: the build makes one executable per FUZZ_<target>
// definition. Each checks properties that must hold for any input, so a wrong answer is a
// finding like a crash, and libFuzzer keeps the input that broke it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "general/argument_text.h"
#include "general/calendar.h"
#include "general/command_line.h"
#include "general/date_expression.h"
#include "general/gnu_options.h"
#include "general/name_pattern.h"
#include "general/numbers.h"
#include "general/rule_file.h"
#include "general/run_plan.h"
#include "general/sizes.h"
#include "general/token.h"
#include "platform/posix/reg_file.h"

#define CHECK(c) ((c) ? void() : (std::fputs("broken: " #c "\n", stderr), __builtin_trap()))

using namespace tarnwell;
using namespace tarnwell::platform;
[[maybe_unused]] constexpr auto npos = std::string::npos;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
#if defined(FUZZ_read_number)
  // Overflow is the only error, and blanks stand anywhere without changing the number.
  const std::string text = input.ConsumeRemainingBytesAsString();
  std::string squeezed = text;
  std::erase_if(squeezed, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
  try {
    const double value = ReadNumber(text);
    CHECK(std::isfinite(value) && ReadNumber(squeezed) == value);
  } catch (const RuntimeError& error) {
    CHECK(error.Number() == kOverflow);
  }
#elif defined(FUZZ_date_expression)
  // Errors 5 and 6 only; a time of day past one day only when the expression sets one.
  const Long day = input.ConsumeIntegral<Long>(), seconds = input.ConsumeIntegralInRange(0, 86399);
  const int window_max = input.ConsumeIntegralInRange(99, 9999);
  const std::string expression = input.ConsumeRemainingBytesAsString();
  try {
    const auto stamp = EvaluateDateExpressionFrom(expression, MakeStamp(day, seconds), window_max);
    CHECK(stamp.Seconds >= 0 && (stamp.Seconds <= 86400 || expression.find(':') != npos));
  } catch (const RuntimeError& error) {
    CHECK(error.Number() == kInvalidProcedureCall || error.Number() == kOverflow);
  }
#elif defined(FUZZ_reg_file)
  // A fault or a line left out names a line inside the file; every value name read is
  // written in the file.
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  const RegFile file = RegFile::Parse(bytes);
  const auto breaks = std::ranges::count(bytes, '\n') + std::ranges::count(bytes, '\r');
  CHECK(file.ok() || (file.error_line() <= std::size_t(breaks) + 1 && !file.error().empty()));
  CHECK(file.warning_count() >= file.warnings().size());
  for (const RegFileWarning& warning : file.warnings())
    CHECK(warning.line >= 1 && warning.line <= std::size_t(breaks) + 1 && !warning.reason.empty());
  if (!file.ok() || bytes.starts_with("\xFF\xFE")) return 0;  // names in 8-bit files only
  // Each run from a backslash to the next ']' is tried as a key path, "[HKLM\path]" among them.
  // Names with \, ", a line end or NUL stand escaped in the file; the unit tests check the
  // escaping.
  for (std::size_t at = bytes.find('\\'); at != npos; at = bytes.find('\\', at + 1))
    for (const auto& [name, value] :
         file.Key(bytes.substr(at + 1, bytes.find(']', at) - at - 1)).value_or(RegFile::Values{}))
      if (name.find_first_of(std::string_view("\\\"\r\n\0", 5)) == npos)
        CHECK(name.empty() || ContainsIgnoringCase(bytes, '"' + name + '"'));
#elif defined(FUZZ_argument_text)
  // Without quotes or line breaks the command line loses only the program's name and outer
  // blanks; a switch quoted whole reads as the switch with its value quoted; and a /Path
  // value survives the rebuild from an argument vector and the switch lookup.
  const std::string command_line = input.ConsumeRandomLengthString(256);
  const std::string rest = ArgumentTextFromCommandLine(command_line);
  CHECK(TrimBlanks(rest) == rest);
  CHECK(command_line.find_first_of("\"\t\r\n") != npos || command_line.find(rest) != npos);
  std::string value = input.ConsumeRandomLengthString(64);
  std::erase_if(value, [](char c) { return c == '"' || c == '\\' || c == '\0'; });
  const auto path_in = [](const std::string& line) {
    return GetCommandLineParameter(ArgumentTextFromCommandLine(line), "/Path", "=", false, " ");
  };
  CHECK(path_in("T.exe \"/Path=" + value + '"') == path_in("T.exe /Path=\"" + value + '"'));
  // Never empty: an empty value lets the lookup run on into the next argument, by design.
  std::string folder = input.ConsumeRandomLengthString(64) + "x";
  std::erase_if(folder, [](char c) { return c == '\0' || c == '"'; });  // NUL: no shell passes it
  const std::string text = ArgumentTextFromArguments(
      {"/DeleteAfterDays=7", "/Path=" + folder, input.ConsumeRemainingBytesAsString()});
  CHECK(GetCommandLineParameter(text, "/Path", "=", false, " ") == TrimBlanks(folder));
#elif defined(FUZZ_run_plan)
  // Reading a plan never raises; a plan that runs has a day count above 0 (or /Rules alone)
  // and a /Keep in range, and on POSIX each argument is a switch and the folder is what /Path's
  // holds.
  std::vector<std::string> arguments;
  while (input.remaining_bytes() > 0) arguments.push_back(input.ConsumeRandomLengthString(64));
  const std::string text = ArgumentTextFromArguments(arguments);
  for (const bool posix : {false, true}) {
    const RunPlan plan = ReadRunPlan(text, posix ? &arguments : nullptr);
    if (plan.usage || plan.error) continue;
    CHECK((plan.sweep.days > 0 || plan.rules) && plan.sweep.keep >= 0 &&
          plan.sweep.keep <= 1'000'000);
    if (!posix) continue;
    CHECK(std::ranges::all_of(arguments, [](const std::string& a) { return a.starts_with('/'); }));
    CHECK(plan.sweep.folder.empty() ||
          SwitchValueInArguments(arguments, "/Path") == plan.sweep.folder);
  }
#elif defined(FUZZ_gnu_options)
  // Reading never raises and reads alike again (glibc's state is reset); a plan that runs
  // has a day count from 1 to 1,000,000, or with --rules none and no sweep of its own, and
  // its folder is one of the arguments as written, a Windows-style switch only after "--".
  std::vector<std::string> arguments;
  while (input.remaining_bytes() > 0) arguments.push_back(input.ConsumeRandomLengthString(64));
  for (std::string& argument : arguments) std::erase(argument, '\0');  // argv holds none
  const GnuCommandLine gnu = ReadGnuCommandLine(arguments), again = ReadGnuCommandLine(arguments);
  CHECK(gnu.asks == again.asks && gnu.refusal == again.refusal);
  CHECK((gnu.asks == GnuCommandLine::Asks::kRefusal) == !gnu.refusal.empty());
  if (gnu.asks != GnuCommandLine::Asks::kRun) return 0;
  const Rule& sweep = gnu.plan.sweep;
  CHECK(!gnu.plan.usage && !gnu.plan.error && sweep == again.plan.sweep);
  CHECK((sweep.days >= 1 && sweep.days <= 1'000'000) || (gnu.plan.rules && sweep == Rule{}));
  CHECK(sweep.keep >= 0 && sweep.keep <= 1'000'000 && sweep.depth >= 0 && sweep.depth <= 16);
  CHECK(sweep.verbatim_folder == !sweep.folder.empty() &&
        (sweep.depth == 0 || sweep.verbatim_folder));
  CHECK(sweep.folder.empty() || std::ranges::find(arguments, sweep.folder) != arguments.end());
  CHECK(!IsKnownSwitch(sweep.folder) || std::ranges::find(arguments, "--") != arguments.end());
#elif defined(FUZZ_name_pattern)
  // Patterns parse with their Texts rebuilding the value, or give a reason; a match has a
  // date in range and a stem within the name, and is the same again and from its pattern
  // alone.
  const int window = input.ConsumeIntegralInRange(199, 9999);
  const std::string value = input.ConsumeRandomLengthString(300);
  const std::string name = input.ConsumeRandomLengthString(800);
  std::string reason;
  const auto patterns = ParseNamePatterns(value, &reason);
  CHECK(patterns.has_value() == reason.empty());
  if (!patterns) return 0;
  std::string texts;
  for (const NamePattern& pattern : *patterns) texts += (texts.empty() ? "" : "|") + pattern.Text();
  CHECK(texts == value);
  if (const auto match = MatchName(*patterns, name, window)) {
    CHECK(match->date >= kFirstDaySerial && match->date <= kLastDaySerial);
    CHECK(match->stem_size <= name.size() && MatchName(*patterns, name, window) == match);
    const std::vector<NamePattern> alone{(*patterns)[match->pattern]};
    const NameMatch by_itself{0, match->date, match->stem_size};
    CHECK(MatchName(alone, name, window) == by_itself);
  }
  // A name built from the first pattern matches it: a date in its field, ASCII for each
  // star, one whole character for each "?", the letters in either case. With no star on a
  // side, the field can stand in one place only: the date and stem are the ones built.
  using namespace std::chrono;
  const sys_days zero = year{1899} / December / 30;
  const year_month_day date{zero +
                            days{input.ConsumeIntegralInRange(kFirstDaySerial, kLastDaySerial)}};
  const int values[] = {int(date.year()),
                        int(unsigned(date.month())),
                        int(unsigned(date.day())),
                        input.ConsumeIntegralInRange(0, 23),
                        input.ConsumeIntegralInRange(0, 59),
                        input.ConsumeIntegralInRange(0, 59)};
  const std::string_view text = patterns->front().Text();
  const std::size_t open = text.find('{'), close = text.find('}');
  std::string built;
  std::size_t stem = 0;
  bool two_digit_year = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const std::size_t part = std::string_view("yMdHms").find(c);
    if (at > open && at < close && part != npos) {
      std::size_t run = 1;
      while (text[at + run] == c) ++run;
      two_digit_year |= c == 'y' && run == 2;
      char digits[8];
      std::snprintf(digits, sizeof digits, "%0*d", int(run),
                    values[part] % (run == 2 ? 100 : 10000));
      built += digits;
      at += run - 1;
    } else if (c == '*' && (at < open || at > close)) {
      std::string filler = input.ConsumeRandomLengthString(8);
      for (char& f : filler) f &= 0x7F;
      // A continuation byte after the star would join the character before it.
      const bool joins = at + 1 < text.size() && (text[at + 1] & 0xC0) == 0x80;
      built += filler.empty() && joins ? "x" : filler;
    } else if (c == '?' && (at < open || at > close)) {
      constexpr const char* kCharacters[] = {"x", "\u00e9", "\u20ac", "\U0001F600"};
      built += kCharacters[input.ConsumeIntegralInRange(0, 3)];
    } else if (c == '{' && at == open) {
      stem = built.size();
    } else if (c != '}' || at != close) {
      const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      built += letter && input.ConsumeBool() ? char(c ^ 0x20) : c;
    }
  }
  const int placed = two_digit_year ? PlaceTwoDigitYear(values[0] % 100, window) : values[0];
  const year_month_day built_date = year{placed} / date.month() / date.day();
  if (!built_date.ok()) return 0;  // 29 February of a year the two digits place elsewhere
  const auto got = MatchName(*patterns, built, window);
  CHECK(got && got->pattern == 0);
  if (text.find('*') > open || text.rfind('*') < close)
    CHECK(got->date == (sys_days{built_date} - zero).count() && got->stem_size == stem);
#elif defined(FUZZ_rule_file)
  // Each section line makes one rule (or lines before the first, when none follows), named by
  // the file and its position; a fault names a line of the file; a rule that is swept has
  // its fields in range and is read back the same from its fields written out again.
  const std::string text = input.ConsumeRemainingBytesAsString();
  const auto rules = ParseRuleFile("a.conf", "/r/a.conf", text);
  std::string_view rest = text;
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  std::size_t sections = 0;
  bool stray = false;
  while (!rest.empty()) {
    std::string_view line = rest.substr(0, rest.find('\n'));
    rest.remove_prefix(std::min(rest.size(), line.size() + 1));
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    const char c = first == npos ? '#' : line[first];
    sections += c == '[';
    stray |= sections == 0 && c != '#' && c != ';';
  }
  const auto lines = std::size_t(std::ranges::count(text, '\n')) + 1;
  CHECK(rules.size() == sections + (sections == 0 && stray));
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const ConfiguredRule& got = rules[i];
    CHECK(got.name == (i == 0 ? "a.conf" : "a.conf#" + std::to_string(i + 1)));
    if (!got.fault.empty()) {
      CHECK(got.fault.starts_with("/r/a.conf:") && std::stoul(got.fault.substr(10)) - 1 < lines);
      continue;
    }
    const Rule& rule = got.rule;
    CHECK(!rule.folder.empty() && rule.days >= 1 && rule.days <= 1'000'000 && rule.keep >= 0 &&
          rule.keep <= 1'000'000 && rule.depth >= 0 && rule.depth <= 16);
    std::string names;
    for (const NamePattern& pattern : rule.names)
      names += (names.empty() ? "" : "|") + pattern.Text();
    std::string written = "[Rule]\nPath=\"" + rule.folder +
                          "\"\nDeleteAfterDays=" + std::to_string(rule.days) +
                          "\nDepth=" + std::to_string(rule.depth);
    if (rule.keep > 0) written += "\nKeep=" + std::to_string(rule.keep);
    if (!names.empty()) written += "\nNames=\"" + names + '"';
    if (rule.max_size) written += "\nMaxSize=\"" + rule.max_size_text.substr(9) + '"';
    if (rule.min_free) written += "\nMinFree=\"" + rule.min_free_text.substr(9) + '"';
    const std::vector<ConfiguredRule> again = {{.name = "a.conf", .rule = rule}};
    CHECK(ParseRuleFile("a.conf", "/r/a.conf", written) == again);
  }
#elif defined(FUZZ_sizes)
  // A size read is within its range and reads back the same from its bytes; a floor is a
  // size or a percentage from 1 to 99.
  const std::string text = input.ConsumeRemainingBytesAsString();
  if (const std::optional<std::uint64_t> bytes = ReadSize(text)) {
    CHECK(*bytes >= 1 && *bytes <= kLargestSize && ReadSize(std::to_string(*bytes)) == bytes);
  }
  if (const std::optional<FreeFloor> floor = ReadFreeFloor(text)) {
    CHECK(floor->percent == 0 ? ReadSize(text) == floor->bytes
                              : floor->percent >= 1 && floor->percent <= 99);
  }
#endif
  return 0;
}
