// Reading values from the registry: HKEY_LOCAL_MACHINE on Windows (32-bit view), a
// registry file in .reg export format elsewhere. Status codes are Win32's.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell::platform {

using RegistryKey = std::uintptr_t;  // an open key; 0 is none

inline constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// The types whose data is text: it comes as UTF-8 from QueryRegistryValue.
inline bool IsTextType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Opens `sub_key` (backslash-separated, case ignored) under the predefined `root`.
// kErrorSuccess with `*key` open; any other status (kErrorFileNotFound for a missing key
// or registry file) with `*key` 0. Never raises.
std::int32_t OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key);

// Reads the type of value `value_name` ("" is the key's default value) and, when `data`
// is not null, its data. String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) come as
// UTF-8 text with every stored NUL kept, the terminator included; other types as raw bytes.
// kErrorSuccess, kErrorFileNotFound for a missing value, or the system's status.
std::int32_t QueryRegistryValue(RegistryKey key, const std::string& value_name, std::uint32_t* type,
                                std::string* data);

// Closes a key OpenRegistryKey opened; 0 is ignored.
void CloseRegistryKey(RegistryKey key);

}  // namespace tarnwell::platform
