#include "general/name_pattern.h"

#include <algorithm>
#include <limits>

#include "base/ascii.h"
#include "general/calendar.h"

namespace tarnwell {
namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::size_t kLongestPattern = 255;  // characters, as a Windows file name
constexpr std::string_view kSeparators = "-_. ";
// Below every day serial. A plain value: an optional, returned through memory and copied
// on, made the common patterns a third slower.
constexpr Long kNoDate = std::numeric_limits<Long>::min();

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

// The number two ASCII digits at `text` make; -1 when either is no digit.
Long TwoDigits(const char* text) {
  const unsigned tens = static_cast<unsigned char>(text[0]) - unsigned{'0'};
  const unsigned ones = static_cast<unsigned char>(text[1]) - unsigned{'0'};
  return tens <= 9 && ones <= 9 ? static_cast<Long>(tens * 10 + ones) : -1;
}

// Where the ASCII text `folded` ends when it stands at `at` of `name`, ignoring case;
// npos when it does not.
std::size_t PlainEnd(std::string_view name, std::size_t at, std::string_view folded) {
  if (name.size() - at < folded.size()) return npos;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (FoldCase(name[at + i]) != folded[i]) return npos;
  }
  return at + folded.size();
}

// The same for any text of literal characters and "?", each "?" one whole character.
std::size_t CharactersEnd(std::string_view name, std::size_t at, std::string_view folded) {
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

// Where the text `folded` of `characters` characters starts when it ends at `end` of
// `name`, a character's start; npos when it does not end there.
std::size_t CharactersStart(std::string_view name, std::size_t end, std::string_view folded,
                            std::size_t characters) {
  std::size_t start = end;
  for (std::size_t i = 0; i < characters; ++i) {
    if (start == 0) return npos;
    start = PreviousCharacter(name, start);
  }
  return CharactersEnd(name, start, folded) == end ? start : npos;
}

}  // namespace

std::string NameMatch::Stem(std::string_view name) const {
  return FoldCase(name.substr(0, stem_size));
}

inline std::size_t NamePattern::Chunk::EndFrom(std::string_view name, std::size_t at) const {
  return plain ? PlainEnd(name, at, folded) : CharactersEnd(name, at, folded);
}

inline std::size_t NamePattern::Chunk::StartBefore(std::string_view name, std::size_t end) const {
  if (!plain) return CharactersStart(name, end, folded, characters);
  const std::size_t start = end - folded.size();
  return end >= folded.size() && PlainEnd(name, start, folded) == end ? start : npos;
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
      pattern.has_separators_ = true;
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
  pattern.has_time_ =
      pattern.parts_[kHour].width + pattern.parts_[kMinute].width + pattern.parts_[kSecond].width >
      0;
  return pattern;
}

Long NamePattern::Match(std::string_view name, int two_digit_year_max,
                        std::size_t* field_at) const {
  if (name.size() < shortest_name_) return kNoDate;
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
  if (before_end == npos || after_start == npos) return kNoDate;

  // Without a star on a side, that side's chunk fixes where the field stands; with stars on
  // both, it may stand anywhere between, and the leftmost place with a date wins.
  const bool before_fixed = before_.size() == 1;
  const bool after_fixed = after_.size() == 1;
  const std::size_t width = layout_.size();
  std::size_t first = before_end + (before_fixed ? 0 : before_.back().characters);
  const std::size_t after_least = width + (after_fixed ? 0 : after_.front().characters);
  if (after_start < after_least) return kNoDate;
  std::size_t last = after_start - after_least;
  if (first > last || (before_fixed && after_fixed && first != last)) return kNoDate;
  if (before_fixed) last = first;
  if (after_fixed) first = last;
  for (std::size_t at = first; at <= last; ++at) {
    const Long date = FieldDate(name.data() + at, two_digit_year_max);
    if (date == kNoDate) continue;
    if (!before_fixed) {
      const std::size_t start = before_.back().StartBefore(name, at);
      if (start == npos || start < before_end) continue;
    }
    if (!after_fixed) {
      const std::size_t end = after_.front().EndFrom(name, at + width);
      if (end == npos || end > after_start) continue;
    }
    *field_at = at;
    return date;
  }
  return kNoDate;
}

Long NamePattern::FieldDate(const char* field, int two_digit_year_max) const {
  if (has_separators_) {
    for (std::size_t i = 0; i < layout_.size(); ++i) {
      if (layout_[i] != '0' && field[i] != layout_[i]) return kNoDate;
    }
  }
  // Every part is two digits but the four of yyyy, read as two pairs.
  const auto part = [&](PartIndex index, std::size_t pair = 0) {
    return parts_[index].width > pair * 2 ? TwoDigits(field + parts_[index].offset + pair * 2) : 0;
  };
  const bool two_digit_year = parts_[kYear].width == 2;
  const Long century = two_digit_year ? 0 : part(kYear);
  const Long year = part(kYear, two_digit_year ? 0 : 1);
  const Long month = part(kMonth);
  const Long day = part(kDay);
  if ((century | year | month | day) < 0) return kNoDate;
  if (has_time_) {
    const Long hour = part(kHour);
    const Long minute = part(kMinute);
    const Long second = part(kSecond);
    if ((hour | minute | second) < 0 || hour > 23 || minute > 59 || second > 59) return kNoDate;
  }
  const Long placed =
      two_digit_year ? PlaceTwoDigitYear(year, two_digit_year_max) : century * 100 + year;
  // Strict, unlike the default shape's reading: no month or day carries into the next.
  if (!IsCalendarDay(placed, month, day)) return kNoDate;
  return DaySerialOfCalendarDay(placed, month, day);
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
    std::size_t field_at = 0;
    const Long date = patterns[i].Match(name, two_digit_year_max, &field_at);
    if (date != kNoDate) return NameMatch{i, date, field_at};
  }
  return std::nullopt;
}

}  // namespace tarnwell
