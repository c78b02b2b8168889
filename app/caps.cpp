#include "app/caps.h"

#include <algorithm>
#include <limits>
#include <functional>
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
// Later than every date a log can carry.
constexpr Long kAfterEveryDate = std::numeric_limits<Long>::max();

// A log's place in the order in which the caps take logs.
struct Key {
  Long date = 0;
  std::string path;  // below the swept folder, "/" between components
  auto operator<=>(const Key&) const = default;
};

// A log that is left once the age rule is done.
struct LeftLog {
  const platform::ListedEntry& entry;
  Key key;
  platform::FileSize size;
  bool may_go = false;  // a cap may take it: not dated today or later, not kept, writable
  // What its deletion gives back to the free space: nothing while another name holds it.
  std::uint64_t Frees() const { return size.links == 1 ? size.allocated : 0; }
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
  void Run(const std::function<void(const LeftLog&)>& each,
           const std::function<void(const VisitedFolder&)>& batch_done = {}) {
    platform::FolderListing root;
    if (!Listed(root.Open(used_, reading_.ListingPattern()), shown_)) return;
    // Sub-folders that cannot be read were said in the age rule's pass.
    WalkFolders(root, used_, rule_.depth, reading_, report_, nullptr,
                [&](const VisitedFolder& folder) { Folder(folder, each, batch_done); });
  }

 private:
  void Folder(const VisitedFolder& folder, const std::function<void(const LeftLog&)>& each,
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
        platform::FileSize size;
        if (old && !kept && choices_.what_if && folder.files.WouldDeleteEntry(entry).done()) {
          continue;  // the age rule's
        }
        if (!folder.files.MeasureEntry(entry, &size).done()) continue;
        std::string path = folder.relative.empty()
                               ? std::string(entry.name)
                               : std::string(folder.relative) + "/" + std::string(entry.name);
        const bool may_go = !old && !kept && *date < today_ && !size.read_only;
        each({entry, {*date, std::move(path)}, size, may_go});
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
  pass.Run([&](const LeftLog& log) {
    total += log.size.length;
    if (!log.may_go) return;
    DateTally& tally = dates[log.key.date];
    tally.length += log.size.length;
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
      pass.Run([&](const LeftLog& log) {
        const std::uint64_t gives = frees ? log.Frees() : log.size.length;
        if (!log.may_go || log.key.date != reach.date || gives == 0 ||
            (after && log.key.path <= *after)) {
          return;
        }
        smallest.emplace(log.key.path, gives);
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
  pass.Run(
      [&](const LeftLog& log) {
        if (log.may_go && ((by_size && log.key <= *by_size) ||
                           (by_free && log.Frees() > 0 && log.key <= *by_free))) {
          chosen.push_back(log.entry);
        }
      },
      [&](const VisitedFolder& folder) {
        folder.files.OrderForDeletion(&chosen);
        DeleteEntries(folder.files, chosen, folder.used, choices, report, caps);
        chosen.clear();
      });
  result.deleted = AddLong(result.deleted, caps.deleted);
  result.bytes += caps.bytes;
  result.freed += caps.freed;

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
