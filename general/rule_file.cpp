#include "general/rule_file.h"

#include <algorithm>
#include <set>

#include "base/ascii.h"
#include "platform/path_syntax.h"

namespace tarnwell {
namespace {

struct KnownField {
  std::string_view key;
  FieldKind kind;
};

constexpr KnownField kFields[] = {
    {.key = "Path", .kind = FieldKind::kFolder},
    {.key = "DeleteAfterDays", .kind = FieldKind::kNumber},
    {.key = "Keep", .kind = FieldKind::kNumber},
    {.key = "Names", .kind = FieldKind::kText},
    {.key = "Depth", .kind = FieldKind::kNumber},
    {.key = "MaxSize", .kind = FieldKind::kText},
    {.key = "MinFree", .kind = FieldKind::kText},
};

const KnownField* FindField(std::string_view key) {
  const auto found = std::ranges::find_if(
      kFields, [key](const KnownField& field) { return EqualsIgnoringCase(key, field.key); });
  return found == std::end(kFields) ? nullptr : found;
}

// Reads a rules file a line at a time, each section into the rule it begins.
class RuleFileReader {
 public:
  RuleFileReader(std::string_view name, std::string_view path) : name_(name), path_(path) {}

  void Line(std::size_t number, std::string_view line) {
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() == '#' || line.front() == ';') return;
    if (line.front() == '[') return Section(number, line);
    if (rules_.empty()) {
      // A rule's lines written before its section line still belong to some rule: sweeping
      // the first without them could sweep more than its writer meant.
      if (stray_.empty()) stray_ = At(number) + Quoted(line) + " before the first [Rule] line";
      return;
    }
    if (!rules_.back().fault.empty()) return;  // one fault is enough to refuse a rule
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return Refuse(number, Quoted(line) + " is no Key=Value line");
    }
    const std::string_view key = TrimSpacesAndTabs(line.substr(0, equals));
    std::string_view value = TrimSpacesAndTabs(line.substr(equals + 1));
    // Quotes keep blanks at a value's ends, and let a value copied from a command line
    // (/Path="D:\My Logs") mean what it meant there.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (!seen_.insert(FoldCase(key)).second) {
      return Refuse(number, std::string(key) + " given twice");
    }
    if (std::optional<std::string> refused =
            SetConfiguredField(key, std::string(value), &rules_.back().rule)) {
      Refuse(number, *refused);
    }
  }

  std::vector<ConfiguredRule> Finish() && {
    EndSection();
    if (rules_.empty() && !stray_.empty()) rules_.push_back({.name = name_, .fault = stray_});
    return std::move(rules_);
  }

 private:
  std::string At(std::size_t number) const { return path_ + ":" + std::to_string(number) + ": "; }

  void Refuse(std::size_t number, const std::string& why) {
    rules_.back().fault = At(number) + why;
  }

  void Section(std::size_t number, std::string_view line) {
    EndSection();
    const std::size_t position = rules_.size() + 1;
    rules_.push_back({.name = position == 1 ? name_ : name_ + "#" + std::to_string(position)});
    section_line_ = number;
    seen_.clear();
    const bool rule =
        line.back() == ']' &&
        EqualsIgnoringCase(TrimSpacesAndTabs(line.substr(1, line.size() - 2)), "Rule");
    if (!rule) {
      Refuse(number, "unknown section " + Quoted(line) + ": a rules file holds [Rule] sections");
    } else if (position == 1 && !stray_.empty()) {
      rules_.back().fault = stray_;
    }
  }

  void EndSection() {
    if (rules_.empty() || !rules_.back().fault.empty()) return;
    if (std::optional<std::string> missing = MissingField(rules_.back().rule)) {
      Refuse(section_line_, *missing);
    }
  }

  std::string name_;
  std::string path_;
  std::vector<ConfiguredRule> rules_;
  std::string stray_;  // the fault of a line before the first section
  std::size_t section_line_ = 0;
  std::set<std::string> seen_;  // the keys of the current section, in FoldCase form
};

}  // namespace

std::optional<FieldKind> RuleFieldKind(std::string_view key) {
  const KnownField* field = FindField(key);
  if (field == nullptr) return std::nullopt;
  return field->kind;
}

std::optional<std::string> SetConfiguredField(std::string_view key, const std::string& value,
                                              Rule* rule) {
  const KnownField* field = FindField(key);
  if (field == nullptr) return "unknown key '" + std::string(key) + "'";
  const std::string written = std::string(field->key) + "=" + value;
  if (field->key == "Path") {
    if (value.empty()) return "Path names no folder";
    if (!platform::CouldNameFolder(value)) return written + " cannot name a folder here";
    rule->folder = value;
  } else if (std::optional<std::string> refused =
                 SetRuleField("/" + std::string(field->key), value, rule)) {
    // The switch's words, without the switch's slash: the rule wrote the key alone.
    return refused->substr(refused->starts_with('/') ? 1 : 0);
  }
  return std::nullopt;
}

std::optional<std::string> MissingField(const Rule& rule) {
  if (rule.folder.empty()) return "no Path";
  if (rule.days <= 0) return "no DeleteAfterDays";
  return std::nullopt;
}

std::vector<ConfiguredRule> ParseRuleFile(std::string_view name, std::string_view path,
                                          std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  RuleFileReader reader(name, path);
  for (std::size_t number = 1; !text.empty(); ++number) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    reader.Line(number, line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return std::move(reader).Finish();
}

}  // namespace tarnwell
