// What every pass of a sweep over its folders shares: how a file's name is read as a dated
// log's, the newest logs /Keep keeps, and the walk through the sub-folders.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/report.h"
#include "general/log_age.h"
#include "general/newest_logs.h"
#include "general/run_plan.h"
#include "platform/folder_listing.h"

namespace tarnwell {

// How a sweep reads a file's name: by the default shape, stem.YYYYMMDD.log, with its
// lenient reading of the date, or by the /Names patterns.
class NameReading {
 public:
  explicit NameReading(const Rule& rule);

  bool Patterned() const { return !patterns_.empty(); }
  // What a folder's listing is asked for: with patterns every ordinary file, which are
  // judged here.
  const char* ListingPattern() const;
  // The day serial of the date in a dated log's name; nullopt for any other name.
  std::optional<Long> DateOf(std::string_view name, const AgeLimit& dates) const;
  // What /Keep counts the newest logs by: the stem, and with patterns each pattern's own.
  NewestLogs::StemOf StemOf() const;
  // The patterns as the /Names value wrote them.
  std::string Text() const;

 private:
  const std::vector<NamePattern>& patterns_;
  int window_;
};

// Whether a listing goes on: true for an opened folder or a listed batch, false for a
// folder that has gone or a listing at its end. A folder that is there but cannot be read
// raises kPathFileAccessError, its detail naming `shown` and the system's reason.
bool Listed(const platform::OsResult& result, const std::string& shown);

// The `keep` newest logs of each stem in the folder `listing` has open (named `shown`),
// from a reading of the whole folder, which it leaves at its end: their order must not
// depend on which batch a file comes in. Takes no memory beyond `batch` and `keep` names
// per stem. `*named`, when given, counts the files read and the dated logs among them.
NewestLogs NewestLogsIn(platform::FolderListing& listing, std::vector<platform::ListedEntry>& batch,
                        const std::string& shown, Long keep, const NameReading& reading,
                        std::pair<std::int64_t, std::int64_t>* named = nullptr);

// One folder of a walk, as it is visited: its listing, opened for the files a sweep reads;
// where it is (as used); and its path below the swept folder ("" for the folder itself,
// "W3SVC1/2014" below it, "/" between components on every system).
struct VisitedFolder {
  platform::FolderListing& files;
  const std::string& used;
  std::string_view relative;
};

// Visits the folder `root` has open (`used`) and its sub-folders down to `depth` levels,
// each opened relative to its parent (platform::FolderListing::OpenSubfolder: never
// through a link, onto a mount or into a hidden folder), parents before their children.
// The visit of a sub-folder that raises kPathFileAccessError, and a sub-folder that cannot
// be opened or listed, stop only that sub-folder: a notice names it and why, and
// `*unreadable` counts it (without `unreadable`, a walk that has been made before says
// nothing again). Anything the visit of `root` raises passes to the caller. Each
// level holds one listing and one batch of sub-folders; `root` is closed once its
// sub-folders are open for listing.
void WalkFolders(platform::FolderListing& root, const std::string& used, int depth,
                 const NameReading& reading, Report& report, std::int64_t* unreadable,
                 const std::function<void(const VisitedFolder&)>& visit);

}  // namespace tarnwell
