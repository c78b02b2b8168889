#include "platform/file_attributes.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "platform/win32/extended_path.h"
#include "platform/win32/win32_error.h"

namespace tarnwell::platform {

OsResult ProbeFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(Widen(path)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // Only a denial says that something is there; a bad name or a drive that is not ready
    // names no folder, as a missing one does.
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED ? Win32Error(error) : OsResult::NotThere();
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? OsResult::Done() : OsResult::NotThere();
}

}  // namespace tarnwell::platform
