// The folder of retention rules files on POSIX: drop-ins, one a package, as logrotate.d and
// tmpfiles.d hold theirs. Windows keeps its rules in the registry instead.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

// A rules file is a few lines a rule; anything larger is no file meant for this program.
inline constexpr std::size_t kMaxRulesFileBytes = std::size_t{1} << 20;

// One rules file of the folder, read.
struct RulesFile {
  std::string name;    // "myapp.conf"
  std::string path;    // the folder's path and the name, as lines name the file
  OsResult read = {};  // kDone: `text` holds it; kFailed: it cannot be read, `reason` why
  std::string text = "";
};

// The folder of rules files: on POSIX the one the environment variable TARNWELL_RULES
// names when set and not empty, else /etc/tarnwell/rules.d; on Windows "", none.
std::string RulesFolder();

// The rules files of `folder`: every entry whose name ends in ".conf" and does not begin
// with "." (a link is followed), in byte order of the names, each read whole as a regular
// file of at most kMaxRulesFileBytes.
//  kDone:     `*files` holds them, perhaps none; each says whether it was read.
//  kNotThere: no such folder; on Windows always.
//  kFailed:   the folder cannot be listed; `reason` says why.
OsResult ReadRulesFiles(const std::string& folder, std::vector<RulesFile>* files);

}  // namespace tarnwell::platform
