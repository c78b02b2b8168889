#include "app/folder_walk.h"

#include <memory>
#include <utility>

#include "base/runtime_error.h"
#include "general/name_pattern.h"
#include "platform/path_text.h"
#include "platform/two_digit_year.h"

namespace tarnwell {
namespace {

constexpr char kDebugFilePattern[] = "*.????????.log";

// The listings of one level of sub-folders, kept from one folder of the level to the next,
// so that a tree of many small folders does not allocate a batch for each.
struct Level {
  platform::FolderListing folders;  // the sub-folders of a folder of the level above
  std::vector<platform::ListedEntry> batch;
  platform::FolderListing files;  // one of them, for its files
};

class Walker {
 public:
  Walker(int depth, const NameReading& reading, Report& report, std::int64_t* unreadable,
         const std::function<void(const VisitedFolder&)>& visit)
      : depth_(depth), reading_(reading), report_(report), unreadable_(unreadable), visit_(visit) {}

  // Visits the sub-folders of the folder `files` has open (`used`, `relative` below the
  // swept folder), which are `level` + 1 levels below the swept folder, and theirs.
  void Subfolders(platform::FolderListing& files, const std::string& used,
                  const std::string& relative, std::size_t level) {
    if (levels_.size() <= level) levels_.push_back(std::make_unique<Level>());
    Level& here = *levels_[level];
    const platform::OsResult opened = here.folders.OpenSubfolders(files);
    files.Close();
    if (opened.failed()) return Unreadable(platform::LineText(used) + ": " + opened.reason);
    for (;;) {
      const platform::OsResult listed = here.folders.NextBatch(&here.batch);
      if (listed.failed()) return Unreadable(platform::LineText(used) + ": " + listed.reason);
      if (!listed.done()) return;
      for (const platform::ListedEntry& entry : here.batch) {
        const std::string child = platform::EntryPath(used, entry.name);
        const std::string below =
            relative.empty() ? std::string(entry.name) : relative + "/" + std::string(entry.name);
        const platform::OsResult entered =
            here.files.OpenSubfolder(here.folders, entry, reading_.ListingPattern());
        if (entered.failed()) {
          Unreadable(platform::LineText(child) + ": " + entered.reason);
          continue;
        }
        if (!entered.done()) continue;  // gone, or a link or mount point: never entered
        try {
          visit_({.files = here.files, .used = child, .relative = below});
        } catch (const RuntimeError& error) {
          if (error.Number() != kPathFileAccessError) throw;
          Unreadable(error.Detail());
          continue;
        }
        if (level + 1 < static_cast<std::size_t>(depth_)) {
          Subfolders(here.files, child, below, level + 1);
        }
      }
    }
  }

 private:
  // A sub-folder that cannot be read stops only itself: said, counted, the others walked.
  void Unreadable(const std::string& what) {
    if (unreadable_ == nullptr) return;
    report_.Notice(what);
    ++*unreadable_;
  }

  int depth_;
  const NameReading& reading_;
  Report& report_;
  std::int64_t* unreadable_;
  const std::function<void(const VisitedFolder&)>& visit_;
  std::vector<std::unique_ptr<Level>> levels_;  // [0]: the swept folder's sub-folders
};

}  // namespace

NameReading::NameReading(const Rule& rule)
    : patterns_(rule.names), window_(platform::TwoDigitYearMax()) {}

const char* NameReading::ListingPattern() const { return Patterned() ? "*" : kDebugFilePattern; }

std::optional<Long> NameReading::DateOf(std::string_view name, const AgeLimit& dates) const {
  if (!Patterned()) return dates.LogDate(name);
  const std::optional<NameMatch> match = MatchName(patterns_, name, window_);
  if (!match) return std::nullopt;
  return match->date;
}

NewestLogs::StemOf NameReading::StemOf() const {
  if (!Patterned()) return LogStem;
  return [this](std::string_view name) {
    const std::optional<NameMatch> match = MatchName(patterns_, name, window_);
    return match ? std::to_string(match->pattern) + '/' + match->Stem(name) : std::string();
  };
}

std::string NameReading::Text() const {
  std::string text;
  for (const NamePattern& pattern : patterns_) text += (text.empty() ? "" : "|") + pattern.Text();
  return text;
}

bool Listed(const platform::OsResult& result, const std::string& shown) {
  if (result.failed()) RaiseError(kPathFileAccessError, shown + ": " + result.reason);
  return result.done();
}

NewestLogs NewestLogsIn(platform::FolderListing& listing, std::vector<platform::ListedEntry>& batch,
                        const std::string& shown, Long keep, const NameReading& reading,
                        std::pair<std::int64_t, std::int64_t>* named) {
  NewestLogs newest(keep, reading.StemOf());
  // A log's date does not depend on today, only on the two-digit-year window.
  const AgeLimit dates = AgeLimit::FromClock(1);
  while (Listed(listing.NextBatch(&batch), shown)) {
    for (const platform::ListedEntry& entry : batch) {
      const std::optional<Long> date = reading.DateOf(entry.name, dates);
      if (named != nullptr) {
        ++named->first;
        named->second += date.has_value();
      }
      if (date) newest.Offer(entry.name, *date);
    }
  }
  return newest;
}

void WalkFolders(platform::FolderListing& root, const std::string& used, int depth,
                 const NameReading& reading, Report& report, std::int64_t* unreadable,
                 const std::function<void(const VisitedFolder&)>& visit) {
  visit({.files = root, .used = used, .relative = ""});
  if (depth > 0) Walker(depth, reading, report, unreadable, visit).Subfolders(root, used, "", 0);
}

}  // namespace tarnwell
