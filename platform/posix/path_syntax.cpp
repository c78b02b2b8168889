#include "platform/path_syntax.h"

namespace tarnwell::platform {

bool CouldNameFolder(std::string_view path) { return path.find('\0') == std::string_view::npos; }

}  // namespace tarnwell::platform
