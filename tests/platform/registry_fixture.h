// Writes registry values for real, the way each target keeps HKEY_LOCAL_MACHINE: the
// 32-bit view of the registry on Windows, a .reg file named by TARNWELL_REGISTRY on POSIX.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwell::test_support {

// Text types: text with every NUL to be stored, the terminator included. Others: raw bytes.
struct StoredValue {
  std::string name;
  std::uint32_t type;
  std::string data;
};

// A key path under HKEY_LOCAL_MACHINE that belongs to the running test alone.
inline std::string TestKeyPath() {
  return std::string("SOFTWARE\\TarnwellTest\\") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The key TestKeyPath() holding exactly `values` while this lives.
struct ScopedRegistryKey {
  explicit ScopedRegistryKey(const std::vector<StoredValue>& values);
  ~ScopedRegistryKey();
};

}  // namespace tarnwell::test_support
