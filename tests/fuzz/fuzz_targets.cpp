// Every libFuzzer target in one file: the build makes one executable per FUZZ_<target>
// definition. Each checks properties that must hold for any input, so a wrong answer is a
// finding like a crash, and libFuzzer keeps the input that broke it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
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
  // A name built from the first pattern, each star nothing, each "?" an "x", and every part
  // of its field "12" ("1212" for yyyy), matches it with the date 12 December of 1212 or of
  // the year 12 places: digits that alternate cannot make another date at another place.
  const std::string_view text = patterns->front().Text();
  const std::size_t open = text.find('{'), close = text.find('}');
  std::string built;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (at > open && at < close && std::string_view("yMdHms").find(text[at]) != npos) {
      built += "12";
      ++at;  // each part is a pair of letters, or two ("yyyy")
    } else if (text[at] == '?') {
      built += 'x';
    } else if (text[at] == '*') {
      // A continuation byte after the star would join the character before it.
      if (at + 1 < text.size() && (text[at + 1] & 0xC0) == 0x80) built += 'x';
    } else if (at != open && at != close) {
      built += text[at];
    }
  }
  const bool four = text.substr(open, close - open).find("yyyy") != npos;
  const Long year = four ? 1212 : PlaceTwoDigitYear(12, window);
  const auto got = MatchName(*patterns, built, window);
  CHECK(got && got->pattern == 0 && got->date == DaySerialOfCalendarDay(year, 12, 12));
#elif defined(FUZZ_rule_file)
  // Each section line makes one rule (or lines before the first, when none follows), named by
  // the file and its position; a fault names a line of the file; a rule that is swept has
  // its fields in range and is read back the same from its fields written out again.
  // Rules are named by the file and their place in it; a fault names a line of the file; a
  // rule that is swept has its fields in range.
  const std::string text = input.ConsumeRemainingBytesAsString();
  const auto rules = ParseRuleFile("a.conf", "/r/a.conf", text);
  const auto lines = std::size_t(std::ranges::count(text, '\n')) + 1;
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
