#include "general/registry.h"

namespace tarnwell {
namespace {

// A registry status for what a platform call came to.
Long Status(const platform::OsResult& result) {
  if (result.done()) return 0;
  // A failure without a number of its own still must not read as success.
  return result.failed() && result.code != 0 ? result.code : kRegistryNotFound;
}

}  // namespace

std::string GetRegistryString(Long root, const std::string& key_path, const std::string& value_name,
                              const std::string& default_value,
                              std::vector<std::string>* warnings) {
  std::vector<std::string> ignored;
  platform::RegistryKey key;
  if (!platform::OpenRegistryKey(root, key_path, &key, warnings ? warnings : &ignored).done()) {
    return default_value;
  }
  std::string value;
  if (QueryRegistryStringValue(key, value_name, value) != 0) return default_value;
  return value;
}

Long QueryRegistryStringValue(const platform::RegistryKey& key, const std::string& value_name,
                              std::string& value) {
  platform::RegistryValue stored;
  Long status = Status(platform::QueryRegistryValue(key, value_name, false, &stored));
  if (status != 0 || stored.type != platform::kRegSz) return status;

  status = Status(platform::QueryRegistryValue(key, value_name, true, &stored));
  // The value may have been rewritten with another type between the two reads; such data
  // is no text, and a non-string value leaves the output alone.
  if (status == 0 && stored.type == platform::kRegSz) value = TrimAtNull(stored.data, false);
  return status;
}

std::string TrimAtNull(std::string_view text, bool from_end) {
  // Byte positions: in UTF-8 a zero byte only ever stands for U+0000, and size_t positions
  // cannot overflow however long the value is.
  const std::size_t pos = from_end ? text.rfind('\0') : text.find('\0');
  if (pos == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, pos));
}

}  // namespace tarnwell
