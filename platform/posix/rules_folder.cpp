#include "platform/rules_folder.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/path_text.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/regular_file.h"

namespace tarnwell::platform {

std::string RulesFolder() {
  const char* folder = std::getenv("TARNWELL_RULES");
  return folder != nullptr && *folder != '\0' ? folder : "/etc/tarnwell/rules.d";
}

OsResult ReadRulesFiles(const std::string& folder, std::vector<RulesFile>* files) {
  files->clear();
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (dir == nullptr) return PosixError(errno);
  std::vector<std::string> names;
  for (errno = 0; const dirent* entry = readdir(dir.get()); errno = 0) {
    const std::string_view name = entry->d_name;
    // Hidden names are an editor's or a package manager's leftovers, never a rule.
    if (name.ends_with(".conf") && !name.starts_with('.')) names.emplace_back(name);
  }
  if (errno != 0) return PosixError(errno);
  std::ranges::sort(names);
  for (const std::string& name : names) {
    RulesFile& file = files->emplace_back(RulesFile{.name = name, .path = EntryPath(folder, name)});
    file.read = ReadRegularFile(file.path, kMaxRulesFileBytes, &file.text);
    // Gone since it was listed: as if it had never been there.
    if (file.read.kind == OsResult::kNotThere) files->pop_back();
  }
  return OsResult::Done();
}

}  // namespace tarnwell::platform
