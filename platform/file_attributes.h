// The attribute bits of a path, as the Windows file system reports them.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell::platform {

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// The attributes of `path` exactly as given (on POSIX only the directory bit is ever
// set), or kInvalidFileAttributes when they cannot be read for any reason: not there, an
// invalid name, a drive that is not ready, access denied.
std::uint32_t ReadFileAttributes(const std::string& path);

}  // namespace tarnwell::platform
