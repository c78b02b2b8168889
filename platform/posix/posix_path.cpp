#include "platform/posix/posix_path.h"

#include <algorithm>

namespace tarnwell::platform {

std::optional<std::string> ToPosixPath(std::string_view path) {
  const bool has_drive = path.size() >= 2 && path[1] == ':' &&
                         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (has_drive) return std::nullopt;
  std::string converted(path);
  std::replace(converted.begin(), converted.end(), '\\', '/');
  return converted;
}

}  // namespace tarnwell::platform
