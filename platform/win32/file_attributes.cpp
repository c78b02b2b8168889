#include "platform/file_attributes.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "platform/win32/extended_path.h"

namespace tarnwell::platform {

std::uint32_t ReadFileAttributes(const std::string& path) {
  return GetFileAttributesW(ExtendedPath(Widen(path)).c_str());
}

}  // namespace tarnwell::platform
