#include "platform/path_syntax.h"

#include <algorithm>

namespace tarnwell::platform {

bool CouldNameFolder(std::string_view path) {
  return std::none_of(path.begin(), path.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '"'; });
}

}  // namespace tarnwell::platform
