#include "general/newest_logs.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "base/ascii.h"
#include "general/paths.h"

namespace tarnwell {

std::string LogStem(std::string_view name) {
  const std::string without_extension = FileNameWithoutExtension(name);
  const std::size_t dot = without_extension.rfind('.');
  return dot == std::string::npos ? ""
                                  : FoldCase(std::string_view(without_extension).substr(0, dot));
}

NewestLogs::NewestLogs(Long keep, StemOf stem_of)
    : keep_(static_cast<std::size_t>(std::max<Long>(keep, 0))), stem_of_(std::move(stem_of)) {}

void NewestLogs::Offer(std::string_view name, Long date) {
  if (keep_ == 0) return;
  Stem& stem = stems_[stem_of_(name)];
  stem.oldest_date = stem.offered++ == 0 ? date : std::min(stem.oldest_date, date);
  std::vector<Log>& heap = stem.newest;
  Log log{date, std::string(name)};
  // std::greater makes a min-heap: the oldest kept log is the one a newer one replaces.
  if (heap.size() < keep_) {
    heap.push_back(std::move(log));
    std::push_heap(heap.begin(), heap.end(), std::greater<>());
  } else if (heap.front() < log) {
    std::pop_heap(heap.begin(), heap.end(), std::greater<>());
    heap.back() = std::move(log);
    std::push_heap(heap.begin(), heap.end(), std::greater<>());
  }
}

bool NewestLogs::Keeps(std::string_view name, Long date) const {
  if (keep_ == 0) return false;
  const auto it = stems_.find(stem_of_(name));
  if (it == stems_.end() || it->second.newest.size() < keep_) return true;
  const Log& oldest_kept = it->second.newest.front();
  return oldest_kept.date < date || (oldest_kept.date == date && oldest_kept.name <= name);
}

std::optional<Long> NewestLogs::OldestNotKept() const {
  std::optional<Long> oldest;
  for (const auto& [name, stem] : stems_) {
    if (stem.offered > keep_ && (!oldest || stem.oldest_date < *oldest)) oldest = stem.oldest_date;
  }
  return oldest;
}

}  // namespace tarnwell
