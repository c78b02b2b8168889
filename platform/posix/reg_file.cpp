#include "platform/posix/reg_file.h"

#include <algorithm>
#include <utility>

#include "base/ascii.h"
#include "platform/posix/reg_text.h"
#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

constexpr std::string_view kHeaderVersion4 = "REGEDIT4";
constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";

// The value of 1 to `max_digits` hex digits, or nullopt.
std::optional<std::uint32_t> ReadHex(std::string_view digits, std::size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    const int digit = DigitValue(c, 16);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// The character an escape in quoted text stands for: the two that every exporter writes,
// and the line ends and NUL that Wine's also writes inside string data.
std::optional<char> Unescaped(char c) {
  switch (c) {
    case '\\':
    case '"':
      return c;
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case '0':
      return '\0';
    default:
      return std::nullopt;
  }
}

bool IsOtherRoot(std::string_view folded_root) {
  static constexpr std::string_view kOtherRoots[] = {"hkey_classes_root",
                                                     "hkey_current_user",
                                                     "hkey_users",
                                                     "hkey_current_config",
                                                     "hkcr",
                                                     "hkcu",
                                                     "hku",
                                                     "hkcc"};
  return std::ranges::find(kOtherRoots, folded_root) != std::end(kOtherRoots);
}

// The path below the root with trailing separators dropped, in FoldCase form.
std::string FoldKeyPath(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return FoldCase(path);
}

}  // namespace

// Walks the text one line at a time, so the memory it needs beyond the text is what the
// file declares, never a list of its lines. A line that cannot be read is left out with a
// warning, except the header: without it the text is no registry file.
class RegFileParser {
 public:
  RegFileParser(std::string_view text, RegFile& file) : rest_(text), file_(file) {}

  void Run() {
    std::string_view header;
    bool read = NextLine(&header);
    while (read && TrimSpacesAndTabs(header).empty()) read = NextLine(&header);
    header = TrimSpacesAndTabs(header);
    if (header == kHeaderVersion4) {
      hex_text_is_utf16_ = false;
    } else if (header != kHeaderVersion5) {
      file_.error_line_ = std::max<std::size_t>(line_number_, 1);
      file_.error_ =
          "not a registry file: the first line must be REGEDIT4 or " + std::string(kHeaderVersion5);
      return;
    }
    for (std::string_view line; NextLine(&line);) {
      line = TrimSpacesAndTabs(line);
      if (line.empty() || line.front() == ';') continue;
      const std::size_t starts_at = line_number_;  // continued hex lines move it on
      if (!(line.front() == '[' ? ParseSection(line) : ParseValue(line))) Warn(starts_at);
    }
  }

 private:
  // The next line without its end (LF, CR or CR LF); false after the last one.
  bool NextLine(std::string_view* line) {
    if (at_end_) return false;
    ++line_number_;
    const std::size_t end = rest_.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      *line = rest_;
      at_end_ = true;
      return true;
    }
    *line = rest_.substr(0, end);
    const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
    rest_.remove_prefix(end + (crlf ? 2 : 1));
    return true;
  }

  // Notes why the line cannot be read; returns false for the caller to give up on it.
  bool Fault(std::string reason) {
    fault_ = std::move(reason);
    return false;
  }

  void Warn(std::size_t line) {
    if (file_.warnings_.size() < RegFile::kMaxKeptWarnings) {
      file_.warnings_.push_back({line, std::move(fault_)});
    }
    ++file_.warning_count_;
  }

  bool ParseSection(std::string_view line) {
    // Until a key line is read, the values that follow belong to no key we know.
    in_section_ = true;
    section_ = nullptr;
    if (line.back() != ']' || line.size() < 3) return Fault("a key line must be [root\\path]");
    std::string_view inner = line.substr(1, line.size() - 2);
    const bool remove = inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    const std::size_t separator = inner.find('\\');
    const std::string root = FoldCase(inner.substr(0, separator));
    const std::string path =
        FoldKeyPath(separator == std::string_view::npos ? "" : inner.substr(separator + 1));
    if (root != "hkey_local_machine" && root != "hklm") {
      return IsOtherRoot(root) ||
             Fault("unknown root key \"" + std::string(inner.substr(0, separator)) + "\"");
    }
    if (remove) {
      RemoveKey(path);
    } else {
      section_ = &file_.keys_[path];
    }
    return true;
  }

  void RemoveKey(const std::string& path) {
    auto& keys = file_.keys_;
    if (path.empty()) {
      keys.clear();
      return;
    }
    keys.erase(path);
    const std::string below = path + "\\";
    for (auto it = keys.lower_bound(below); it != keys.end() && it->first.starts_with(below);) {
      it = keys.erase(it);
    }
  }

  bool ParseValue(std::string_view line) {
    if (!in_section_) return Fault("a value before the first [key] line");
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else if (line.front() != '"') {
      return Fault("a value line must start with \"name\"= or @=");
    } else if (!ParseQuoted(line, &name)) {
      return false;
    }
    RegFileValue value;
    bool remove = false;
    const bool read = ParseData(line, &value, &remove);
    if (section_ != nullptr) {
      // A damaged line removes its value: an older definition must not stand in for it.
      if (!read || remove) {
        section_->erase(FoldCase(name));
      } else {
        (*section_)[FoldCase(name)] = std::move(value);
      }
    }
    return read;
  }

  // What follows a value's name: "=" and its data, or "=-" (`*remove`).
  bool ParseData(std::string_view line, RegFileValue* value, bool* remove) {
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() != '=') return Fault("expected = after the value name");
    line = TrimSpacesAndTabs(line.substr(1));
    if (line.empty()) return Fault("no data after =");
    *remove = line == "-";
    if (*remove) return true;
    if (line.front() == '"') {
      value->type = kRegSz;
      if (!ParseQuoted(line, &value->data)) return false;
      value->data.push_back('\0');
      return line.empty() || Fault("text after the closing quote");
    }
    if (StartsWithIgnoringCase(line, "dword:")) {
      const std::optional<std::uint32_t> number = ReadHex(line.substr(6), 8);
      if (!number) return Fault("dword: needs 1 to 8 hex digits");
      value->type = kRegDword;
      for (int shift = 0; shift < 32; shift += 8) {
        value->data.push_back(static_cast<char>((*number >> shift) & 0xFF));
      }
      return true;
    }
    if (StartsWithIgnoringCase(line, "hex:")) {
      value->type = kRegBinary;
      return ParseHexBytes(line.substr(4), &value->data);
    }
    if (StartsWithIgnoringCase(line, "hex(")) return ParseTypedHex(line, value);
    return Fault("unknown value data: expected \"text\", dword:, hex:, hex(N): or -");
  }

  // hex(N):bytes, the bytes continued on following lines after a trailing "\".
  bool ParseTypedHex(std::string_view line, RegFileValue* value) {
    const std::size_t close = line.find(')');
    const std::optional<std::uint32_t> type =
        close == std::string_view::npos ? std::nullopt : ReadHex(line.substr(4, close - 4), 8);
    // The bytes are read (and their continuation lines passed) even when the type is bad.
    const bool typed = type && close + 1 < line.size() && line[close + 1] == ':';
    const std::size_t colon = typed ? close + 1 : line.find(':');
    if (!ParseHexBytes(colon == std::string_view::npos ? "" : line.substr(colon + 1),
                       &value->data)) {
      return false;
    }
    if (!typed) return Fault("hex(N): needs a hex type number N");
    value->type = *type;
    if (IsTextType(value->type) && hex_text_is_utf16_) {
      if (value->data.size() % 2 != 0) return Fault("UTF-16 text needs an even number of bytes");
      value->data = Utf8FromUtf16Le(value->data);
    }
    return true;
  }

  // The text of the quoted name or string at the start of `rest` into `*text`; `rest`
  // moves past it.
  bool ParseQuoted(std::string_view& rest, std::string* text) {
    for (std::size_t i = 1; i < rest.size(); ++i) {
      if (rest[i] == '"') {
        rest.remove_prefix(i + 1);
        return true;
      }
      if (rest[i] != '\\') {
        text->push_back(rest[i]);
        continue;
      }
      const std::optional<char> escaped = i + 1 < rest.size() ? Unescaped(rest[++i]) : std::nullopt;
      if (!escaped) {
        return Fault("unknown escape in quoted text: write \\\\ for a backslash, \\\" for a quote");
      }
      text->push_back(*escaped);
    }
    return Fault("quoted text without its closing quote");
  }

  // Comma-separated hex bytes into `*bytes`, continued on following lines after a
  // trailing "\". Every continuation line is passed, also when a byte is bad.
  bool ParseHexBytes(std::string_view part, std::string* bytes) {
    std::string joined;
    while (!part.empty() && part.back() == '\\') {
      joined.append(part.substr(0, part.size() - 1));
      if (!NextLine(&part)) return Fault("a continued line at the end of the file");
      part = TrimSpacesAndTabs(part);
    }
    joined.append(part);

    if (TrimSpacesAndTabs(joined).empty()) return true;
    std::string_view all = joined;
    while (true) {
      const std::size_t comma = all.find(',');
      const std::string_view token = TrimSpacesAndTabs(all.substr(0, comma));
      const std::optional<std::uint32_t> byte = ReadHex(token, 2);
      if (!byte) return Fault("bad hex byte \"" + std::string(token) + "\"");
      bytes->push_back(static_cast<char>(*byte));
      if (comma == std::string_view::npos) return true;
      all.remove_prefix(comma + 1);
    }
  }

  std::string_view rest_;  // the text after the lines read so far
  bool at_end_ = false;
  std::size_t line_number_ = 0;
  RegFile& file_;
  std::string fault_;  // why the current line cannot be read
  bool hex_text_is_utf16_ = true;
  bool in_section_ = false;
  RegFile::Values* section_ = nullptr;  // null: values are checked but kept nowhere
};

RegFile RegFile::Parse(std::string_view bytes) {
  std::string storage;
  RegFile file;
  RegFileParser(RegFileText(bytes, storage), file).Run();
  return file;
}

std::optional<RegFile::Values> RegFile::Key(std::string_view path) const {
  const std::string folded = FoldKeyPath(path);
  if (const auto it = keys_.find(folded); it != keys_.end()) return it->second;
  if (folded.empty()) return Values{};
  const std::string below = folded + "\\";
  const auto it = keys_.lower_bound(below);
  if (it != keys_.end() && it->first.starts_with(below)) return Values{};
  return std::nullopt;
}

const RegFileValue* FindRegFileValue(const RegFile::Values& values, std::string_view name) {
  const auto it = values.find(FoldCase(name));
  return it == values.end() ? nullptr : &it->second;
}

}  // namespace tarnwell::platform
