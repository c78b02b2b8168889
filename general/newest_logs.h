// The logs a sweep keeps whatever their age: the newest few of each log.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "general/numbers.h"

namespace tarnwell {

// The stem of the dated log `name`: the file name without its date component and extension
// ("app.node1" for app.node1.20140804.log, "" for 20140804.log), ASCII letters in lower
// case, as Windows compares names.
std::string LogStem(std::string_view name);

// The `keep` newest dated logs of each stem in one folder. A first reading of the folder
// offers every dated log; the sweep then asks about each old one. Newer means a later date,
// and for one date the greater name in byte order, so the answer never depends on the order
// of the listing. Memory: `keep` names per stem, whatever the folder's size.
class NewestLogs {
 public:
  // The stem of a log's name: by default LogStem, the default shape's.
  using StemOf = std::function<std::string(std::string_view name)>;

  explicit NewestLogs(Long keep, StemOf stem_of = LogStem);

  // Notes the dated log `name` of day serial `date`.
  void Offer(std::string_view name, Long date);

  // Whether the sweep must keep `name` of day serial `date`: it is among the `keep` newest
  // of its stem offered, or newer than the oldest of those (it came after the first
  // reading), or its stem had fewer than `keep` logs offered.
  bool Keeps(std::string_view name, Long date) const;

  // The date of the oldest log the sweep may delete: the oldest offered of any stem with
  // more than `keep` logs; nullopt when every log offered is kept.
  std::optional<Long> OldestNotKept() const;

 private:
  struct Log {
    Long date;
    std::string name;
    auto operator<=>(const Log&) const = default;
  };

  struct Stem {
    std::vector<Log> newest;  // a heap with the oldest of them on top
    std::size_t offered = 0;
    Long oldest_date = 0;  // of all offered
  };

  std::size_t keep_;
  StemOf stem_of_;
  std::unordered_map<std::string, Stem> stems_;
};

}  // namespace tarnwell
