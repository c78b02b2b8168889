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
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorMoreData = 234;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Opens `sub_key` (backslash-separated, case ignored) under the predefined `root`.
std::int32_t OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key);

// Reads the type of value `value_name` ("" is the key's default value) and, when `data`
// is not null, its data. String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) come as
// UTF-8 text with every stored NUL kept, the terminator included; other types as raw bytes.
std::int32_t QueryRegistryValue(RegistryKey key, const std::string& value_name, std::uint32_t* type,
                                std::string* data);

void CloseRegistryKey(RegistryKey key);

}  // namespace tarnwell::platform
