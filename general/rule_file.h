// Retention rules as an administrator or a package writes them: the fields of one rule, by
// name, and the rules files that hold them on POSIX. Pure: reads nothing but its arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "general/run_plan.h"

namespace tarnwell {

// One retention rule as configured, with its name; swept only when `fault` is empty.
struct ConfiguredRule {
  // "myapp.conf", "myapp.conf#2" for a file's second section; a registry rule's sub-key
  // name. Empty for a fault of the store itself (a folder of rules that cannot be listed).
  std::string name = "";
  Rule rule = {};          // the fields read, complete when `fault` is empty
  std::string fault = "";  // where and why it is refused ("/etc/x.conf:7: unknown key 'Kepe'")

  bool operator==(const ConfiguredRule&) const = default;
};

// What a rule's field holds, which decides the registry types it may be stored as.
enum class FieldKind { kFolder, kNumber, kText };

// The kind of the field `key` (Path, DeleteAfterDays, Keep, Names, Depth, MaxSize, MinFree,
// compared ignoring case); nullopt for a key no rule has.
std::optional<FieldKind> RuleFieldKind(std::string_view key);

// Sets the field `key` of `*rule` from `value`, as written. Path as /Path takes it;
// DeleteAfterDays a whole number from 1 to 1000000 in decimal digits (none of the day
// count's lenient reading); the others as their switches take them (SetRuleField). Returns
// why the key or value is refused, or nullopt when it is set.
std::optional<std::string> SetConfiguredField(std::string_view key, const std::string& value,
                                              Rule* rule);

// Why `rule`, all its fields set, cannot be swept: it has no Path or no DeleteAfterDays;
// nullopt when it can.
std::optional<std::string> MissingField(const Rule& rule);

// The rules of the rules file named `name` ("myapp.conf") at `path`, which holds `text`, in
// the order they stand. The text is "[Rule]" sections of "Key=Value" lines (see
// SetConfiguredField), keys in any case; blanks around keys and values are dropped, and so
// is one pair of double quotes around a whole value; lines whose first non-blank character
// is "#" or ";" are comments; a UTF-8 byte-order mark and CR LF line ends are read too.
// Every section line ("[...]") begins a rule, named by the file and from the second on by
// its position ("myapp.conf#2"). A rule is refused, its fault naming `path`, the line and
// why, for the first of: a section other than [Rule], a line that is no Key=Value, a key
// given twice, a key or value SetConfiguredField refuses, no Path or DeleteAfterDays (at
// its section line). Anything but comments before the first section refuses the first rule
// too, or makes one named by the file when no section follows.
std::vector<ConfiguredRule> ParseRuleFile(std::string_view name, std::string_view path,
                                          std::string_view text);

}  // namespace tarnwell
