// Sizes as a command line writes them, for the caps on a folder's dated logs: a number of
// bytes with an optional binary unit, or a share of a file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// The largest size accepted: what a signed 64-bit count of bytes holds.
inline constexpr std::uint64_t kLargestSize = 0x7FFF'FFFF'FFFF'FFFF;

// The bytes that `text` writes: a whole number of bytes in decimal digits, or one followed
// by a unit K, M, G or T (powers of 1024), which KB and KiB, MB and MiB, GB and GiB, TB and
// TiB mean too, in any case ("4G", "512mib", "1TB"). From 1 to kLargestSize; nullopt for
// anything else ("", "0", "-1", "1.5G", "4X", "4 G"). Reads nothing but `text`.
std::optional<std::uint64_t> ReadSize(std::string_view text);

// A floor under a file system's free space: a number of bytes, or a percentage of the file
// system's size.
struct FreeFloor {
  std::uint64_t bytes = 0;  // when `percent` is 0
  int percent = 0;          // 1 to 99, or 0 for a number of bytes

  // The free bytes the floor asks for on a file system of `total` bytes.
  std::uint64_t BytesOf(std::uint64_t total) const;
  bool operator==(const FreeFloor&) const = default;
};

// The floor `text` writes: a size as ReadSize reads it, or a whole number from 1 to 99
// followed by "%" ("10%"); nullopt for anything else ("0%", "100%", "5.5%").
std::optional<FreeFloor> ReadFreeFloor(std::string_view text);

// `bytes` for a person: in B below 1 KiB, else in the largest binary unit that gives at
// least 1, with one decimal ("6.1 GiB").
std::string ShowSize(std::uint64_t bytes);

}  // namespace tarnwell
