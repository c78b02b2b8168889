// Writes registry values for real, the way each target keeps HKEY_LOCAL_MACHINE: the
// 32-bit view of the registry on Windows, a .reg file named by TARNWELL_REGISTRY on POSIX.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwell::test_support {

struct StoredValue {
  std::string name;
  std::uint32_t type;
  // Text types: ASCII text with every NUL to be stored, the terminator included.
  // Other types: raw bytes.
  std::string data;
};

// Key `key_path` under HKEY_LOCAL_MACHINE holding exactly `values` while this lives.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey(std::string key_path, const std::vector<StoredValue>& values);
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
  ~ScopedRegistryKey();

 private:
  std::string key_path_;
  std::string previous_;  // what the target needs to restore afterwards
};

// A key path under HKEY_LOCAL_MACHINE that belongs to the running test alone.
std::string TestKeyPath();

}  // namespace tarnwell::test_support
