#include "general/paths.h"

#include "platform/file_attributes.h"

namespace tarnwell {

std::string FileNameFromPath(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\");
  if (separator == std::string_view::npos) return std::string(path);
  return std::string(path.substr(separator + 1));
}

std::string FileNameWithoutExtension(std::string_view path) {
  std::string name = FileNameFromPath(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

bool FolderExists(const std::string& path) { return platform::ProbeFolder(path).done(); }

}  // namespace tarnwell
