#include "general/configured_rules.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <set>

#include "base/ascii.h"
#include "general/registry.h"
#include "platform/registry.h"
#include "platform/rules_folder.h"

namespace tarnwell {
namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";

void ReadRulesFolder(const std::string& folder, ConfiguredRules* configured) {
  std::vector<platform::RulesFile> files;
  const platform::OsResult listed = platform::ReadRulesFiles(folder, &files);
  if (listed.failed()) configured->rules.push_back({.fault = folder + ": " + listed.reason});
  for (const platform::RulesFile& file : files) {
    if (file.read.failed()) {
      configured->rules.push_back(
          {.name = file.name, .fault = file.path + ": " + file.read.reason});
      continue;
    }
    std::ranges::move(ParseRuleFile(file.name, file.path, file.text),
                      std::back_inserter(configured->rules));
  }
}

std::string TypeName(std::uint32_t type) {
  switch (type) {
    case platform::kRegSz:
      return "REG_SZ";
    case platform::kRegExpandSz:
      return "REG_EXPAND_SZ";
    case platform::kRegBinary:
      return "REG_BINARY";
    case platform::kRegDword:
      return "REG_DWORD";
    case platform::kRegMultiSz:
      return "REG_MULTI_SZ";
    default:
      return "of type " + std::to_string(type);
  }
}

// The field `key` of the kind `kind` as a rules file would write it, from its registry
// value; nullopt, with why in `*why`, for a type that holds no such field.
std::optional<std::string> FieldText(const std::string& key, FieldKind kind,
                                     const platform::RegistryValue& value, std::string* why) {
  if (value.type == platform::kRegSz) return TrimAtNull(value.data, false);
  if (kind == FieldKind::kFolder && value.type == platform::kRegExpandSz) {
    return platform::ExpandRegistryText(TrimAtNull(value.data, false));
  }
  if (kind == FieldKind::kNumber && value.type == platform::kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.data[i]);
    return std::to_string(number);
  }
  *why = key + " is " + TypeName(value.type) + "; " +
         (kind == FieldKind::kFolder   ? "a folder is REG_SZ or REG_EXPAND_SZ"
          : kind == FieldKind::kNumber ? "a number is REG_DWORD or REG_SZ digits"
                                       : "it is REG_SZ");
  return std::nullopt;
}

// The rule the open key `key` (at `where`) holds, named `name`; nullopt for a key without
// values.
std::optional<ConfiguredRule> RegistryRule(const platform::RegistryKey& key,
                                           const std::string& where, const std::string& name) {
  ConfiguredRule configured{.name = name};
  const auto refused = [&](const std::string& why) {
    configured.fault = where + ": " + why;
    return configured;
  };
  std::vector<std::string> fields;
  if (const platform::OsResult listed = platform::ListRegistryValues(key, &fields);
      listed.failed()) {
    return refused(listed.reason);
  }
  // The key's default value is no field: `reg add KEY` alone may leave an empty one.
  std::erase(fields, "");
  if (fields.empty()) return std::nullopt;
  std::ranges::sort(fields, {}, [](const std::string& field) { return FoldCase(field); });
  for (const std::string& field : fields) {
    const std::optional<FieldKind> kind = RuleFieldKind(field);
    if (!kind) return refused("unknown key '" + field + "'");
    platform::RegistryValue value;
    if (const platform::OsResult read = platform::QueryRegistryValue(key, field, true, &value);
        !read.done()) {
      return refused(field + ": " + (read.failed() ? read.reason : "gone while read"));
    }
    std::string why;
    const std::optional<std::string> text = FieldText(field, *kind, value, &why);
    if (!text) return refused(why);
    // An empty text sets nothing: the Group Policy editor writes one for each box of a
    // policy left empty (Tarnwell.admx's Keep, Names, MaxSize, MinFree).
    if (text->empty()) continue;
    if (std::optional<std::string> bad = SetConfiguredField(field, *text, &configured.rule)) {
      return refused(*bad);
    }
  }
  if (std::optional<std::string> missing = MissingField(configured.rule)) return refused(*missing);
  return configured;
}

void ReadRegistryRules(ConfiguredRules* configured) {
  configured->place = std::string(kRoot) + kPolicyRulesKey + " or " + kRoot + kLocalRulesKey;
  std::set<std::string> policy_names;  // of the policy's rules, in FoldCase form
  for (const bool policy : {true, false}) {
    const std::string rules_key = policy ? kPolicyRulesKey : kLocalRulesKey;
    const std::string where = kRoot + rules_key;
    platform::RegistryKey key;
    std::vector<std::string> names;
    platform::OsResult result =
        platform::OpenRegistryKey(platform::kHkeyLocalMachine, rules_key, &key,
                                  &configured->notices, platform::RegistryView::kNative);
    if (result.done()) result = platform::ListRegistrySubKeys(key, &names);
    if (result.failed()) configured->rules.push_back({.fault = where + ": " + result.reason});
    std::ranges::sort(names, {}, [](const std::string& name) { return FoldCase(name) + name; });
    for (const std::string& name : names) {
      const std::string rule_where = where + "\\" + name;
      if (!policy && policy_names.contains(FoldCase(name))) {
        configured->notices.push_back("rule " + name + ": " + rule_where +
                                      " ignored: a policy rule has its name");
        continue;
      }
      platform::RegistryKey rule_key;
      const platform::OsResult opened =
          platform::OpenRegistryKey(platform::kHkeyLocalMachine, rules_key + "\\" + name, &rule_key,
                                    &configured->notices, platform::RegistryView::kNative);
      std::optional<ConfiguredRule> rule;
      if (opened.failed()) {
        rule = ConfiguredRule{.name = name, .fault = rule_where + ": " + opened.reason};
      } else if (opened.done()) {
        rule = RegistryRule(rule_key, rule_where, name);
      }
      if (!rule) continue;  // gone, or no rule in it
      if (policy) policy_names.insert(FoldCase(name));
      configured->rules.push_back(std::move(*rule));
    }
  }
}

}  // namespace

ConfiguredRules ReadConfiguredRules() {
  ConfiguredRules configured;
  configured.place = platform::RulesFolder();
  if (configured.place.empty()) {
    ReadRegistryRules(&configured);
  } else {
    ReadRulesFolder(configured.place, &configured);
  }
  return configured;
}

}  // namespace tarnwell
