#include "app/caps.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <queue>
#include <utility>
#include <vector>

#include "app/batch_deletion.h"
#include "app/folder_walk.h"
#include "general/calendar.h"
#include "general/sizes.h"
#include "platform/local_clock.h"
#include "platform/path_text.h"

namespace tarnwell {
namespace {

// The most ties of one date a selection holds at once: a few MiB of paths. A date with
// more logs is gone through again for each such share.
constexpr std::size_t kTiesAtOnce = 65536;
// Later, and earlier, than every date a log can carry.
constexpr Long kAfterEveryDate = std::numeric_limits<Long>::max();
constexpr Long kNoDate = std::numeric_limits<Long>::min();

// A log's place in the order in which the caps take logs.
struct Key {
  Long date = 0;
  std::string path;  // below the swept folder, "/" between components
  auto operator<=>(const Key&) const = default;
};

// A log that is left once the age rule is done. It is looked at (its size, links and
// read-only mark) only when a pass asks, as that costs a system call a log.
class LeftLog {
 public:
  LeftLog(const platform::FolderListing& files, const platform::ListedEntry& entry,
          std::string_view folder, Long date, bool eligible)
      : entry_(entry), files_(files), folder_(folder), date_(date), eligible_(eligible) {}

  const platform::ListedEntry& Entry() const { return entry_; }
  Long Date() const { return date_; }
  // Its place in the order the caps take logs.
  Key PlaceInOrder() const {
    return {date_, folder_.empty() ? std::string(entry_.name)
                                   : std::string(folder_) + "/" + std::string(entry_.name)};
  }
  // What it takes; nullptr when it has gone meanwhile.
  const platform::FileSize* Size() {
    if (!looked_) {
      looked_ = true;
      there_ = files_.MeasureEntry(entry_, &size_).done();
    }
    return there_ ? &size_ : nullptr;
  }
  // Whether a cap may take it: not dated today or later, not kept, not read-only.
  bool MayGo() { return eligible_ && Size() != nullptr && !size_.read_only; }
  // What its deletion gives back to the free space: nothing while another name holds it.
  std::uint64_t Frees() { return Size() != nullptr && size_.links == 1 ? size_.allocated : 0; }
  std::uint64_t Length() { return Size() != nullptr ? size_.length : 0; }

 private:
  const platform::ListedEntry& entry_;
  const platform::FolderListing& files_;
  std::string_view folder_;
  Long date_;
  bool eligible_;
  bool looked_ = false, there_ = false;
  platform::FileSize size_;
};

// Today as the caps see it: the earlier of the local and the UTC date, so that east of
// Greenwich the log being written under yesterday's UTC date is not taken.
Long CapToday() {
  const platform::LocalTime local = platform::ReadLocalClock();
  const platform::LocalTime utc = platform::ReadUniversalClock();
  return std::min(DaySerialOfCalendarDay(local.Year, local.Month, local.Day),
                  DaySerialOfCalendarDay(utc.Year, utc.Month, utc.Day));
}

// One pass of the caps over the swept folder and its sub-folders: `each` is called for
// every dated log left after the age rule, folder by folder, with the folder's listing
// still on that log's batch. Logs the age rule takes are not left: in a real run they are
// gone, and a preview asks each whether it would go, as the age rule's preview did; an old
// log still there is one the age rule could not delete, which no cap takes either.
class CapPass {
 public:
  CapPass(const Rule& rule, const RunChoices& choices, Report& report, const std::string& used,
          const std::string& shown)
      : rule_(rule),
        choices_(choices),
        report_(report),
        used_(used),
        shown_(shown),
        reading_(rule),
        today_(CapToday()) {}

  // `batch_done`, when given, is called after the logs of each batch, while the entries
  // handed to `each` are still valid.
  void Run(const std::function<void(LeftLog&)>& each,
           const std::function<void(const VisitedFolder&)>& batch_done = {}) {
    platform::FolderListing root;
    if (!Listed(root.Open(used_, reading_.ListingPattern()), shown_)) return;
    // Sub-folders that cannot be read were said in the age rule's pass.
    WalkFolders(root, used_, rule_.depth, reading_, report_, nullptr,
                [&](const VisitedFolder& folder) { Folder(folder, each, batch_done); });
  }

 private:
  void Folder(const VisitedFolder& folder, const std::function<void(LeftLog&)>& each,
              const std::function<void(const VisitedFolder&)>& batch_done) {
    const std::string shown = platform::LineText(folder.used);
    std::optional<NewestLogs> newest;
    if (rule_.keep > 0) {
      newest = NewestLogsIn(folder.files, batch_, shown, rule_.keep, reading_);
      Listed(folder.files.Restart(), shown);
    }
    const AgeLimit age = AgeLimit::FromClock(rule_.days);
    while (Listed(folder.files.NextBatch(&batch_), shown)) {
      for (const platform::ListedEntry& entry : batch_) {
        const std::optional<Long> date = reading_.DateOf(entry.name, age);
        if (!date) continue;
        const bool kept = newest && newest->Keeps(entry.name, *date);
        const bool old = age.IsOlderDate(*date);
        if (old && !kept && choices_.what_if && folder.files.WouldDeleteEntry(entry).done()) {
          continue;  // the age rule's
        }
        LeftLog log(folder.files, entry, folder.relative, *date, !old && !kept && *date < today_);
        each(log);
      }
      if (batch_done) batch_done(folder);
    }
  }

  const Rule& rule_;
  const RunChoices& choices_;
  Report& report_;
  const std::string& used_;
  const std::string& shown_;
  NameReading reading_;
  Long today_;
  std::vector<platform::ListedEntry> batch_;
};

// What the logs that may go carry, date by date.
struct DateTally {
  std::uint64_t length = 0;
  std::uint64_t frees = 0;
};

// The last log a cap takes: every log that may go up to it (by Key), or for /MinFree every
// one that frees something. nullopt: the cap takes none.
using Limit = std::optional<Key>;

// Where taking the logs that may go, oldest first, reaches `need` bytes of `Measure`: the
// date and what is still needed of the logs of that date; every log, when all of them
// together do not reach it.
struct Reach {
  Long date = kAfterEveryDate;
  std::uint64_t rest = 0;
};
Reach ReachOf(const std::map<Long, DateTally>& dates, std::uint64_t need,
              std::uint64_t DateTally::*measure) {
  for (const auto& [date, tally] : dates) {
    if (tally.*measure >= need) return {date, need};
    need -= tally.*measure;
  }
  return {};
}

}  // namespace

void ApplyCaps(const Rule& rule, const RunChoices& choices, Report& report, const std::string& used,
               const std::string& shown, const CapStart& start, SweepResult& result) {
  CapPass pass(rule, choices, report, used, shown);

  // First pass: what is left, and what may go date by date.
  std::uint64_t total = 0;
  std::map<Long, DateTally> dates;
  pass.Run([&](LeftLog& log) {
    total += log.Length();
    if (!log.MayGo()) return;
    DateTally& tally = dates[log.Date()];
    tally.length += log.Length();
    tally.frees += log.Frees();
  });
  const std::uint64_t size_need =
      rule.max_size && total > *rule.max_size ? total - *rule.max_size : 0;
  const std::uint64_t free_now = start.space ? start.space->free + start.freed : 0;
  const std::uint64_t floor = start.space ? rule.min_free->BytesOf(start.space->total) : 0;
  const std::uint64_t free_need = floor > free_now ? floor - free_now : 0;
  if (size_need == 0 && free_need == 0) return;

  // Where each cap stops: the date, then ties on it by path, in shares of kTiesAtOnce.
  const auto limit_of = [&](std::uint64_t need, std::uint64_t DateTally::*measure,
                            bool frees) -> Limit {
    if (need == 0) return std::nullopt;
    const Reach reach = ReachOf(dates, need, measure);
    if (reach.date == kAfterEveryDate) return Key{kAfterEveryDate, ""};
    std::uint64_t rest = reach.rest;
    std::optional<std::string> after;
    for (;;) {
      std::priority_queue<std::pair<std::string, std::uint64_t>> smallest;
      pass.Run([&](LeftLog& log) {
        if (log.Date() != reach.date || !log.MayGo()) return;
        const std::uint64_t gives = frees ? log.Frees() : log.Length();
        std::string path = log.PlaceInOrder().path;
        if (gives == 0 || (after && path <= *after)) return;
        smallest.emplace(std::move(path), gives);
        if (smallest.size() > kTiesAtOnce) smallest.pop();
      });
      std::vector<std::pair<std::string, std::uint64_t>> ties;
      for (; !smallest.empty(); smallest.pop()) ties.push_back(smallest.top());
      std::reverse(ties.begin(), ties.end());
      for (const auto& [path, gives] : ties) {
        if (gives >= rest) return Key{reach.date, path};
        rest -= gives;
      }
      if (ties.size() < kTiesAtOnce) return Key{reach.date, ties.empty() ? "" : ties.back().first};
      after = ties.back().first;
    }
  };
  const Limit by_size = limit_of(size_need, &DateTally::length, false);
  const Limit by_free = limit_of(free_need, &DateTally::frees, true);

  // Last pass: each folder's share of what the caps take, deleted as the age rule deletes.
  SweepResult caps;
  std::vector<platform::ListedEntry> chosen;
  // The date alone rules out most logs before any is looked at.
  const Long last = std::max(by_size ? by_size->date : kNoDate, by_free ? by_free->date : kNoDate);
  pass.Run(
      [&](LeftLog& log) {
        if (log.Date() > last || !log.MayGo()) return;
        const Key key = log.PlaceInOrder();
        if ((by_size && key <= *by_size) || (by_free && log.Frees() > 0 && key <= *by_free)) {
          chosen.push_back(log.Entry());
        }
      },
      [&](const VisitedFolder& folder) {
        DeleteEntries(folder.files, chosen, folder.used, choices, report, caps);
        chosen.clear();
      });
  AddResult(caps, result);
  if (const std::int64_t unmeant = caps.Unmeant(); unmeant > 0) {
    report.Notice(shown + ": " + std::to_string(unmeant) + (unmeant == 1 ? " log" : " logs") +
                  " the caps take not deleted: " + caps.first_reason);
  }

  const std::uint64_t left = total - caps.bytes;
  if (rule.max_size && left > *rule.max_size) {
    report.Notice(shown + ": " + ShowSize(left) + " of dated logs remain, over " +
                  rule.max_size_text + "; the rest is kept or dated today");
  }
  if (start.space && free_now + caps.freed < floor) {
    report.Notice(shown + ": " + ShowSize(free_now + caps.freed) + " free, under " +
                  rule.min_free_text + "; the rest is kept or dated today");
  }
}

}  // namespace tarnwell
