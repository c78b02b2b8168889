#include "platform/path_text.h"

#include <cwctype>

#include "platform/wide_text.h"
#include "platform/win32/extended_path.h"

namespace tarnwell::platform {

namespace {

// Whether the "\" that ends `path` is a drive root's, which it cannot do without.
bool EndsInRoot(std::wstring_view path) {
  return path.size() >= 2 && path[path.size() - 2] == L':';
}

}  // namespace

std::optional<std::string> FolderAsUsed(const std::string& folder, bool /*verbatim*/) {
  if (folder.empty()) return std::nullopt;
  const std::wstring given = Widen(folder);
  // The folder the listing opens, without the prefix it adds for the file API alone.
  std::wstring path = ExtendedFolderPath(given);
  if (!given.starts_with(kExtendedPrefix)) {
    if (path.starts_with(kExtendedUncPrefix)) {
      path = L"\\" + path.substr(kExtendedUncPrefix.size() - 1);
    } else if (path.starts_with(kExtendedPrefix)) {
      path.erase(0, kExtendedPrefix.size());
    }
    // "c:" and "C:" are one drive; a record names it one way.
    if (path.size() >= 2 && path[1] == L':') path[0] = static_cast<wchar_t>(std::towupper(path[0]));
  }
  while (path.size() > 1 && path.back() == L'\\' && !EndsInRoot(path)) path.pop_back();
  return Narrow(path);
}

std::string EntryPath(std::string_view folder, std::string_view name) {
  while (folder.ends_with('\\')) folder.remove_suffix(1);
  return std::string(folder) + "\\" + std::string(name);
}

std::string LineText(std::string_view path) { return std::string(path); }

std::string JsonText(std::string_view path) { return std::string(path); }

}  // namespace tarnwell::platform
