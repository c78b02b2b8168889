#include "general/name_pattern.h"

#include <algorithm>

#include "base/ascii.h"
#include "general/calendar.h"

namespace tarnwell {
namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::size_t kLongestPattern = 255;  // characters, as a Windows file name
constexpr std::string_view kSeparators = "-_. ";

// The field's parts by their letters.
struct FieldPart {
  std::string_view letters;
  int part;          // NamePattern's PartIndex
  const char* name;  // for a reason
};
constexpr FieldPart kFieldParts[] = {
    {"yyyy", 0, "year"}, {"yy", 0, "year"},   {"MM", 1, "month"},  {"dd", 2, "day"},
    {"HH", 3, "hour"},   {"mm", 4, "minute"}, {"ss", 5, "second"},
};

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// How many continuation bytes the lead byte `c` announces.
std::size_t Announced(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
}

// Whether a character starts at `at`. A lead byte owns at most the continuation bytes it
// announces; every other byte is a character of its own, a stray continuation byte too.
// Deciding looks back three bytes at most, so characters can be walked both ways, and a
// name that is no valid UTF-8 still falls into characters the same way from either end.
bool StartsCharacter(std::string_view text, std::size_t at) {
  if (at == 0 || at >= text.size() || !IsContinuation(text[at])) return true;
  for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
    const char c = text[at - back];
    if (!IsContinuation(c)) return static_cast<unsigned char>(c) < 0xC0 || back > Announced(c);
  }
  return true;
}

std::size_t NextCharacter(std::string_view text, std::size_t at) {
  do ++at;
  while (!StartsCharacter(text, at));
  return at;
}

std::size_t PreviousCharacter(std::string_view text, std::size_t at) {
  do --at;
  while (!StartsCharacter(text, at));
  return at;
}

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at)) ++count;
  return count;
}

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

Long Digits(const char* text, std::size_t count) {
  Long value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

Long DaysInMonth(Long year, Long month) {
  constexpr Long kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

std::string NameMatch::Stem(std::string_view name) const {
  return FoldCase(name.substr(0, stem_size));
}

std::size_t NamePattern::Chunk::EndFrom(std::string_view name, std::size_t at) const {
  if (plain) {
    if (name.size() - at < folded.size()) return npos;
    for (std::size_t i = 0; i < folded.size(); ++i) {
      if (FoldCase(name[at + i]) != folded[i]) return npos;
    }
    return at + folded.size();
  }
  for (std::size_t i = 0; i < folded.size();) {
    if (at == name.size()) return npos;
    const std::size_t next = NextCharacter(name, at);
    if (folded[i] == '?') {
      ++i;
    } else {
      const std::size_t next_i = NextCharacter(folded, i);
      if (next_i - i != next - at) return npos;
      for (std::size_t k = 0; k < next - at; ++k) {
        if (FoldCase(name[at + k]) != folded[i + k]) return npos;
      }
      i = next_i;
    }
    at = next;
  }
  return at;
}

std::size_t NamePattern::Chunk::StartBefore(std::string_view name, std::size_t end) const {
  std::size_t start = end;
  if (plain) {
    if (end < folded.size()) return npos;
    start = end - folded.size();
  } else {
    for (std::size_t i = 0; i < characters; ++i) {
      if (start == 0) return npos;
      start = PreviousCharacter(name, start);
    }
  }
  return EndFrom(name, start) == end ? start : npos;
}

std::size_t NamePattern::Chunk::FindFrom(std::string_view name, std::size_t from) const {
  for (std::size_t at = from;; at = NextCharacter(name, at)) {
    const std::size_t end = EndFrom(name, at);
    if (end != npos) return end;
    if (at == name.size()) return npos;
  }
}

std::size_t NamePattern::Chunk::FindBefore(std::string_view name, std::size_t to) const {
  for (std::size_t end = to;; end = PreviousCharacter(name, end)) {
    const std::size_t start = StartBefore(name, end);
    if (start != npos) return start;
    if (end == 0) return npos;
  }
}

std::optional<NamePattern> NamePattern::Parse(std::string_view text, std::string* reason) {
  const auto refuse = [&](const std::string& why) {
    *reason = why;
    return std::nullopt;
  };
  if (const std::size_t length = CountCharacters(text); length > kLongestPattern) {
    return refuse("pattern of " + std::to_string(length) + " characters (" +
                  std::to_string(kLongestPattern) + " at most)");
  }
  if (const std::size_t slash = text.find_first_of("/\\"); slash != npos) {
    return refuse("folder separator '" + std::string(1, text[slash]) + "' in " + Quoted(text));
  }
  bool inside = false;
  int fields = 0;
  std::size_t open = npos;
  std::size_t close = npos;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '{' && text[at] != '}') continue;
    if (inside == (text[at] == '{')) return refuse("unbalanced brace in " + Quoted(text));
    inside = !inside;
    if (fields == 0) (inside ? open : close) = at;
    if (!inside) ++fields;
  }
  if (inside) return refuse("unbalanced brace in " + Quoted(text));
  if (fields == 0) return refuse("no date field in " + Quoted(text));
  if (fields > 1) return refuse("two date fields in " + Quoted(text));

  NamePattern pattern;
  pattern.text_ = text;
  const std::string_view field = text.substr(open + 1, close - open - 1);
  for (std::size_t at = 0; at < field.size();) {
    if (kSeparators.find(field[at]) != npos) {
      pattern.layout_ += field[at++];
      continue;
    }
    // A run of one letter is one part ("yyyy"); anything else is one character to refuse.
    std::size_t end = NextCharacter(field, at);
    if (FoldCase(field[at]) >= 'a' && FoldCase(field[at]) <= 'z') {
      while (end < field.size() && field[end] == field[at]) ++end;
    }
    const std::string_view letters = field.substr(at, end - at);
    const auto known = std::ranges::find(kFieldParts, letters, &FieldPart::letters);
    if (known == std::end(kFieldParts)) {
      return refuse(Quoted(letters) + " in " + Quoted(text) + " is none of yyyy yy MM dd HH mm ss");
    }
    Part& part = pattern.parts_[known->part];
    if (part.width != 0) {
      return refuse("two " + std::string(known->name) + "s in the date field of " + Quoted(text));
    }
    part = {pattern.layout_.size(), letters.size()};
    pattern.layout_.append(letters.size(), '0');
    at = end;
  }
  constexpr const char* kRequired[] = {"year (yyyy or yy)", "month (MM)", "day (dd)"};
  for (const PartIndex index : {kYear, kMonth, kDay}) {
    if (pattern.parts_[index].width == 0) {
      return refuse(std::string("no ") + kRequired[index] + " in the date field of " +
                    Quoted(text));
    }
  }

  const auto split_at_stars = [&](std::string_view part) {
    std::vector<Chunk> chunks(1);
    for (std::size_t at = 0; at < part.size(); ++at) {
      if (part[at] != '*') {
        chunks.back().folded += FoldCase(part[at]);
      } else if (at == 0 || part[at - 1] != '*') {
        chunks.emplace_back();
      }
    }
    for (Chunk& chunk : chunks) {
      chunk.characters = CountCharacters(chunk.folded);
      chunk.plain =
          std::ranges::none_of(chunk.folded, [](char c) { return c == '?' || (c & 0x80) != 0; });
      pattern.shortest_name_ += chunk.characters;
    }
    return chunks;
  };
  pattern.before_ = split_at_stars(text.substr(0, open));
  pattern.after_ = split_at_stars(text.substr(close + 1));
  pattern.shortest_name_ += pattern.layout_.size();
  return pattern;
}

bool NamePattern::Match(std::string_view name, int two_digit_year_max, Long* date,
                        std::size_t* field_at) const {
  if (name.size() < shortest_name_) return false;
  // Before the field: its first chunk at the name's start, the middle ones each leftmost,
  // which leaves the most room for the last one, ending where the field starts.
  std::size_t before_end = before_.front().EndFrom(name, 0);
  for (std::size_t i = 1; i + 1 < before_.size() && before_end != npos; ++i) {
    before_end = before_[i].FindFrom(name, before_end);
  }
  // After it, mirrored: the last chunk at the name's end, the middle ones each rightmost.
  std::size_t after_start = after_.back().StartBefore(name, name.size());
  for (std::size_t i = after_.size() - 1; i-- > 1 && after_start != npos;) {
    after_start = after_[i].FindBefore(name, after_start);
  }
  if (before_end == npos || after_start == npos) return false;

  // Without a star on a side, that side's chunk fixes where the field stands; with stars on
  // both, it may stand anywhere between, and the leftmost place with a date wins.
  const bool before_fixed = before_.size() == 1;
  const bool after_fixed = after_.size() == 1;
  const std::size_t width = layout_.size();
  std::size_t first = before_end + (before_fixed ? 0 : before_.back().characters);
  const std::size_t after_least = width + (after_fixed ? 0 : after_.front().characters);
  if (after_start < after_least) return false;
  std::size_t last = after_start - after_least;
  if (first > last || (before_fixed && after_fixed && first != last)) return false;
  if (before_fixed) last = first;
  if (after_fixed) first = last;
  for (std::size_t at = first; at <= last; ++at) {
    const std::optional<Long> found = FieldDate(name.data() + at, two_digit_year_max);
    if (!found) continue;
    if (!before_fixed) {
      const std::size_t start = before_.back().StartBefore(name, at);
      if (start == npos || start < before_end) continue;
    }
    if (!after_fixed) {
      const std::size_t end = after_.front().EndFrom(name, at + width);
      if (end == npos || end > after_start) continue;
    }
    *date = *found;
    *field_at = at;
    return true;
  }
  return false;
}

std::optional<Long> NamePattern::FieldDate(const char* field, int two_digit_year_max) const {
  for (std::size_t i = 0; i < layout_.size(); ++i) {
    if (layout_[i] == '0' ? !IsAsciiDigit(field[i]) : field[i] != layout_[i]) return std::nullopt;
  }
  const auto value = [&](PartIndex index) {
    return Digits(field + parts_[index].offset, parts_[index].width);
  };
  const Long year =
      parts_[kYear].width == 2 ? PlaceTwoDigitYear(value(kYear), two_digit_year_max) : value(kYear);
  const Long month = value(kMonth);
  const Long day = value(kDay);
  Long serial = 0;
  // Strict, unlike the default shape's reading: no month or day carries into the next.
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || value(kHour) > 23 ||
      value(kMinute) > 59 || value(kSecond) > 59 ||
      !TryDaySerialOfDate(year, month, day, &serial)) {
    return std::nullopt;
  }
  return serial;
}

std::optional<std::vector<NamePattern>> ParseNamePatterns(std::string_view value,
                                                          std::string* reason) {
  if (value.empty()) {
    *reason = "no pattern";
    return std::nullopt;
  }
  std::vector<NamePattern> patterns;
  for (std::size_t start = 0;;) {
    const std::size_t bar = value.find('|', start);
    const std::string_view text = value.substr(start, bar - start);
    if (text.empty()) {
      *reason = "empty pattern in " + Quoted(value);
      return std::nullopt;
    }
    std::optional<NamePattern> pattern = NamePattern::Parse(text, reason);
    if (!pattern) return std::nullopt;
    patterns.push_back(std::move(*pattern));
    if (bar == npos) return patterns;
    start = bar + 1;
  }
}

std::optional<NameMatch> MatchName(const std::vector<NamePattern>& patterns, std::string_view name,
                                   int two_digit_year_max) {
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    NameMatch match{i};
    if (patterns[i].Match(name, two_digit_year_max, &match.date, &match.stem_size)) return match;
  }
  return std::nullopt;
}

}  // namespace tarnwell
