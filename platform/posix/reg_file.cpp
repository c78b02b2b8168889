#include "platform/posix/reg_file.h"

#include <algorithm>
#include <utility>

#include "base/ascii.h"
#include "platform/registry.h"

namespace tarnwell::platform {
namespace {

constexpr std::string_view kHeaderVersion4 = "REGEDIT4";
constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

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

void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

// UTF-16LE code units as UTF-8, NULs kept; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16Le(std::string_view bytes) {
  const auto unit = [bytes](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[2 * i]) |
           static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
  };
  const auto in_range = [](char32_t c, char32_t low, char32_t high) {
    return c >= low && c <= high;
  };
  std::string out;
  const std::size_t count = bytes.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    char32_t c = unit(i);
    if (in_range(c, 0xD800, 0xDBFF) && i + 1 < count && in_range(unit(i + 1), 0xDC00, 0xDFFF)) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (in_range(c, 0xD800, 0xDFFF)) {
      c = 0xFFFD;
    }
    AppendUtf8(c, out);
  }
  return out;
}

// The path below the root with trailing separators dropped, in FoldCase form.
std::string FoldKeyPath(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return FoldCase(path);
}

}  // namespace

// Walks the text one line at a time, so the memory it needs beyond the text is what the
// file declares, never a list of its lines. A fault stops the walk and is kept in the file.
class RegFileParser {
 public:
  RegFileParser(std::string_view text, RegFile& file) : rest_(text), file_(file) {}

  void Run() {
    std::string_view header;
    while (NextLine(&header) && TrimSpacesAndTabs(header).empty()) {
    }
    header = TrimSpacesAndTabs(header);
    if (header == kHeaderVersion4) {
      hex_text_is_utf16_ = false;
    } else if (header != kHeaderVersion5) {
      Fail("not a registry file: the first line must be REGEDIT4 or " +
           std::string(kHeaderVersion5));
      return;
    }
    for (std::string_view line; NextLine(&line);) {
      line = TrimSpacesAndTabs(line);
      if (line.empty() || line.front() == ';') continue;
      if (!(line.front() == '[' ? ParseSection(line) : ParseValue(line))) return;
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

  // Records the first fault, on the line just read; returns false for the caller to stop.
  bool Fail(std::string reason) {
    file_.keys_.clear();
    file_.error_line_ = std::max<std::size_t>(line_number_, 1);
    file_.error_ = std::move(reason);
    return false;
  }

  bool ParseSection(std::string_view line) {
    if (line.back() != ']' || line.size() < 3) return Fail("a key line must be [root\\path]");
    std::string_view inner = line.substr(1, line.size() - 2);
    const bool remove = inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    const std::size_t separator = inner.find('\\');
    const std::string root = FoldCase(inner.substr(0, separator));
    const std::string path =
        FoldKeyPath(separator == std::string_view::npos ? "" : inner.substr(separator + 1));

    in_section_ = true;
    section_ = nullptr;
    if (root != "hkey_local_machine" && root != "hklm") {
      static constexpr std::string_view kOtherRoots[] = {"hkey_classes_root",
                                                         "hkey_current_user",
                                                         "hkey_users",
                                                         "hkey_current_config",
                                                         "hkcr",
                                                         "hkcu",
                                                         "hku",
                                                         "hkcc"};
      for (const std::string_view other : kOtherRoots) {
        if (root == other) return true;
      }
      return Fail("unknown root key \"" + std::string(inner.substr(0, separator)) + "\"");
    }
    if (!remove) {
      section_ = &file_.keys_[path];
      return true;
    }
    auto& keys = file_.keys_;
    if (path.empty()) {
      keys.clear();
      return true;
    }
    keys.erase(path);
    const std::string below = path + "\\";
    for (auto it = keys.lower_bound(below); it != keys.end() && it->first.starts_with(below);) {
      it = keys.erase(it);
    }
    return true;
  }

  bool ParseValue(std::string_view line) {
    if (!in_section_) return Fail("a value before the first [key] line");
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else if (line.front() != '"') {
      return Fail("a value line must start with \"name\"= or @=");
    } else if (!ParseQuoted(line, &name)) {
      return false;
    }
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() != '=') return Fail("expected = after the value name");
    line = TrimSpacesAndTabs(line.substr(1));
    if (line.empty()) return Fail("no data after =");

    RegFileValue value;
    const bool remove = line == "-";
    if (remove) {
      // Deletion needs no data.
    } else if (line.front() == '"') {
      value.type = kRegSz;
      if (!ParseQuoted(line, &value.data)) return false;
      value.data.push_back('\0');
      if (!line.empty()) return Fail("text after the closing quote");
    } else if (StartsWithIgnoringCase(line, "dword:")) {
      const std::optional<std::uint32_t> number = ReadHex(line.substr(6), 8);
      if (!number) return Fail("dword: needs 1 to 8 hex digits");
      value.type = kRegDword;
      for (int shift = 0; shift < 32; shift += 8) {
        value.data.push_back(static_cast<char>((*number >> shift) & 0xFF));
      }
    } else if (StartsWithIgnoringCase(line, "hex:")) {
      value.type = kRegBinary;
      if (!ParseHexBytes(line.substr(4), &value.data)) return false;
    } else if (StartsWithIgnoringCase(line, "hex(")) {
      const std::size_t close = line.find(')');
      const std::optional<std::uint32_t> type =
          close == std::string_view::npos ? std::nullopt : ReadHex(line.substr(4, close - 4), 8);
      if (!type || close + 1 >= line.size() || line[close + 1] != ':') {
        return Fail("hex(N): needs a hex type number N");
      }
      value.type = *type;
      if (!ParseHexBytes(line.substr(close + 2), &value.data)) return false;
      if (IsTextType(value.type) && hex_text_is_utf16_) {
        if (value.data.size() % 2 != 0) return Fail("UTF-16 text needs an even number of bytes");
        value.data = Utf8FromUtf16Le(value.data);
      }
    } else {
      return Fail("unknown value data: expected \"text\", dword:, hex:, hex(N): or -");
    }

    if (section_ == nullptr) return true;
    if (remove) {
      section_->erase(FoldCase(name));
    } else {
      (*section_)[FoldCase(name)] = std::move(value);
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
      if (rest[i] == '\\') {
        if (i + 1 == rest.size() || (rest[i + 1] != '\\' && rest[i + 1] != '"')) {
          return Fail(
              "unknown escape in quoted text: write \\\\ for a backslash, \\\" for a quote");
        }
        ++i;
      }
      text->push_back(rest[i]);
    }
    return Fail("quoted text without its closing quote");
  }

  // Comma-separated hex bytes into `*bytes`, continued on following lines after a
  // trailing "\".
  bool ParseHexBytes(std::string_view part, std::string* bytes) {
    std::string joined;
    while (!part.empty() && part.back() == '\\') {
      joined.append(part.substr(0, part.size() - 1));
      if (!NextLine(&part)) return Fail("a continued line at the end of the file");
      part = TrimSpacesAndTabs(part);
    }
    joined.append(part);

    if (TrimSpacesAndTabs(joined).empty()) return true;
    std::string_view all = joined;
    while (true) {
      const std::size_t comma = all.find(',');
      const std::string_view token = TrimSpacesAndTabs(all.substr(0, comma));
      const std::optional<std::uint32_t> byte = ReadHex(token, 2);
      if (!byte) return Fail("bad hex byte \"" + std::string(token) + "\"");
      bytes->push_back(static_cast<char>(*byte));
      if (comma == std::string_view::npos) return true;
      all.remove_prefix(comma + 1);
    }
  }

  std::string_view rest_;  // the text after the lines read so far
  bool at_end_ = false;
  std::size_t line_number_ = 0;
  RegFile& file_;
  bool hex_text_is_utf16_ = true;
  bool in_section_ = false;
  RegFile::Values* section_ = nullptr;  // null: values are checked but kept nowhere
};

RegFile RegFile::Parse(std::string_view bytes) {
  std::string utf8;  // only UTF-16 text needs a copy; 8-bit text is read where it lies
  if (bytes.starts_with("\xFF\xFE")) {
    utf8 = Utf8FromUtf16Le(bytes.substr(2));
    bytes = utf8;
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);  // 8-bit files are taken as UTF-8, which ASCII files also are
  }
  RegFile file;
  RegFileParser(bytes, file).Run();
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
