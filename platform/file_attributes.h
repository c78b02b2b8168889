// The attribute bits of a path, as the Windows file system reports them.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell::platform {

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;

// The attributes of `path` as given, or kInvalidFileAttributes when they cannot be read.
std::uint32_t ReadFileAttributes(const std::string& path);

}  // namespace tarnwell::platform
