// File-name patterns with one date field, for logs not named stem.YYYYMMDD.log:
// u_ex{yyMMdd}.log for u_ex140804.log, *-{yyyy-MM-dd}.log for app-2014-08-04.log.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/types.h"

namespace tarnwell {

// Where a name matched.
struct NameMatch {
  std::size_t pattern = 0;  // the index of the first pattern the name matches
  Long date = 0;            // the day serial of the field's date
  // The stem is the name's first `stem_size` bytes, all before the date field ("u_ex" of
  // u_ex140804.log under u_ex{yyMMdd}.log); stems compare ignoring ASCII case.
  std::size_t stem_size = 0;

  // The stem of `name` (the name this match is of) with ASCII letters in lower case.
  std::string Stem(std::string_view name) const;

  bool operator==(const NameMatch&) const = default;
};

// One pattern: a file name with exactly one date field in braces. Outside the braces "*"
// matches any run of characters, "?" exactly one character (a whole UTF-8 sequence), any
// other character itself with ASCII case ignored. Inside them stand, in any order, with
// "-", "_", "." and blanks anywhere between them: yyyy (year), yy (two-digit year), MM
// (month), dd (day), HH (hour), mm (minute), ss (second), written exactly so (MM is the
// month, mm the minute; YYYY is refused rather than guessed). A year, a month and a day
// each once; a time part at most once, read and checked but no part of the date.
class NamePattern {
 public:
  // The pattern as written.
  const std::string& Text() const { return text_; }

  // Patterns as written the same are the same pattern.
  bool operator==(const NamePattern& other) const { return text_ == other.text_; }

 private:
  friend std::optional<std::vector<NamePattern>> ParseNamePatterns(std::string_view value,
                                                                   std::string* reason);
  friend std::optional<NameMatch> MatchName(const std::vector<NamePattern>& patterns,
                                            std::string_view name, int two_digit_year_max);

  // Literal characters and "?" between two stars, or between a star and an end.
  struct Chunk {
    std::string folded;      // ASCII letters in lower case
    std::size_t characters;  // each "?" and each literal character counts one
    bool plain;              // ASCII alone and no "?": one byte per character

    // Where the chunk ends when read from the character at `at` of `name`; npos if it
    // does not stand there. Inline, as the next (both defined where alone they are used):
    // a call costs as much as comparing the usual chunk.
    inline std::size_t EndFrom(std::string_view name, std::size_t at) const;
    // Where it starts when it ends exactly at `end`, a character's start; npos if not so.
    inline std::size_t StartBefore(std::string_view name, std::size_t end) const;
    // The end of its leftmost occurrence from the character at `from`; npos if none.
    std::size_t FindFrom(std::string_view name, std::size_t from) const;
    // The start of its rightmost occurrence ending at or before `to`; npos if none.
    std::size_t FindBefore(std::string_view name, std::size_t to) const;
  };
  // Where a part's digits stand in the field; a width of 0 when the field has none.
  struct Part {
    std::size_t offset = 0;
    std::size_t width = 0;
  };
  enum PartIndex { kYear, kMonth, kDay, kHour, kMinute, kSecond, kPartCount };

  static std::optional<NamePattern> Parse(std::string_view text, std::string* reason);
  // The day serial of the date in `name` when it matches, with where the field starts in
  // `*field_at`; a value below every day serial when it does not match.
  Long Match(std::string_view name, int two_digit_year_max, std::size_t* field_at) const;
  // The day serial of the date in the field's `layout_.size()` bytes at `field`, or a value
  // below every day serial when they hold no valid date.
  Long FieldDate(const char* field, int two_digit_year_max) const;

  std::string text_;
  // Split at the stars, so each holds one chunk more than stars: one alone when none.
  std::vector<Chunk> before_;
  std::vector<Chunk> after_;
  std::string layout_;  // the field: '0' where a digit stands, each separator as written
  std::array<Part, kPartCount> parts_;
  bool has_separators_ = false;    // so that a field of digits alone skips their check
  bool has_time_ = false;          // HH, mm or ss
  std::size_t shortest_name_ = 0;  // in bytes
};

// The patterns of a /Names value, separated by "|". nullopt, with a short reason in
// `*reason`, when the value is empty or any pattern is refused: an empty one, one of more
// than 255 characters, one holding "/" or "\", a brace without its partner, no date field
// or two, and a field with anything but the parts above or without its year, month or day.
// A pattern's Text is its part of `value`.
std::optional<std::vector<NamePattern>> ParseNamePatterns(std::string_view value,
                                                          std::string* reason);

// The first of `patterns` that `name` matches with a real calendar date (1 January 100 to
// 31 December 9999, each part exactly its letters' number of ASCII digits, the hour 00-23,
// minutes and seconds 00-59), a two-digit year placed in the hundred years that end with
// `two_digit_year_max`. nullopt when none does; a field holding no such date is no match.
// When stars on both sides let the field stand at several places, the leftmost place
// holding a valid date wins. Time grows at worst with the product of the pattern's and the
// name's lengths; nothing is allocated.
std::optional<NameMatch> MatchName(const std::vector<NamePattern>& patterns, std::string_view name,
                                   int two_digit_year_max);

}  // namespace tarnwell
