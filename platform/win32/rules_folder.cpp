// Windows keeps its retention rules in the registry, where Group Policy writes them: there
// is no folder of rules files to read.
#include "platform/rules_folder.h"

namespace tarnwell::platform {

std::string RulesFolder() { return ""; }

OsResult ReadRulesFiles(const std::string&, std::vector<RulesFile>* files) {
  files->clear();
  return OsResult::NotThere();
}

}  // namespace tarnwell::platform
