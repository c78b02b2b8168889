#include "platform/posix/posix_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/utf8_text.h"
#include "platform/path_text.h"

namespace tarnwell::platform {

std::optional<std::string> ToPosixPath(std::string_view path) {
  const bool has_drive = path.size() >= 2 && path[1] == ':' &&
                         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (has_drive) return std::nullopt;
  std::string converted(path);
  std::replace(converted.begin(), converted.end(), '\\', '/');
  return converted;
}

std::optional<std::string> FolderAsUsed(const std::string& folder, bool verbatim) {
  const std::optional<std::string> path = verbatim ? folder : ToPosixPath(folder);
  if (!path || path->empty()) return std::nullopt;
  std::string whole = *path;
  if (!whole.starts_with('/')) {
    std::error_code unnamed;
    const std::string current = std::filesystem::current_path(unnamed).string();
    if (!unnamed) whole = current + "/" + whole;
  }
  // ".." stays: "link/.." is the folder above the link's target, which dropping the pair
  // would not name. "." and empty components change nothing the kernel finds.
  std::string used;
  for (std::size_t at = 0; at <= whole.size();) {
    const std::size_t end = std::min(whole.find('/', at), whole.size());
    const std::string_view part = std::string_view(whole).substr(at, end - at);
    if (!part.empty() && part != ".") {
      if (!used.empty() || whole.starts_with('/')) used += '/';
      used += part;
    }
    at = end + 1;
  }
  if (used.empty()) used = whole.starts_with('/') ? "/" : ".";
  return used;
}

std::string EntryPath(std::string_view folder, std::string_view name) {
  while (folder.ends_with('/')) folder.remove_suffix(1);
  return std::string(folder) + "/" + std::string(name);
}

std::string LineText(std::string_view path) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(path.size());
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\t':
        text += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          text += "\\x";
          text += kHexDigits[byte >> 4];
          text += kHexDigits[byte & 0xF];
        } else {
          text += c;
        }
    }
  }
  return text;
}

std::string JsonText(std::string_view path) { return EscapeNonUtf8(path, true); }

}  // namespace tarnwell::platform
