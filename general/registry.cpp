#include "general/registry.h"

namespace tarnwell {
namespace {

// Closes an opened key on every way out, the exceptional one included.
class OpenedKey {
 public:
  explicit OpenedKey(platform::RegistryKey key) : key_(key) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() { platform::CloseRegistryKey(key_); }

  platform::RegistryKey get() const { return key_; }

 private:
  platform::RegistryKey key_;
};

}  // namespace

std::string GetRegistryString(Long root, const std::string& key_path, const std::string& value_name,
                              const std::string& default_value) {
  platform::RegistryKey key = 0;
  if (platform::OpenRegistryKey(root, key_path, &key) != platform::kErrorSuccess) {
    return default_value;
  }
  const OpenedKey opened(key);
  std::string value;
  if (QueryRegistryStringValue(opened.get(), value_name, value) != platform::kErrorSuccess) {
    return default_value;
  }
  return value;
}

Long QueryRegistryStringValue(platform::RegistryKey key, const std::string& value_name,
                              std::string& value) {
  std::uint32_t type = 0;
  Long status = platform::QueryRegistryValue(key, value_name, &type, nullptr);
  if (status != platform::kErrorSuccess || type != platform::kRegSz) return status;

  std::string data;
  status = platform::QueryRegistryValue(key, value_name, &type, &data);
  // The value may have been rewritten with another type between the two reads; such data
  // is no text, and a non-string value leaves the output alone.
  if (status == platform::kErrorSuccess && type == platform::kRegSz) {
    value = TrimAtNull(data, false);
  }
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
