// Sizes and free-space floors as the caps take them.
#include "general/sizes.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(ReadSize, TakesBytesOrABinaryUnitInAnySpellingAndNothingElse) {
  const struct {
    const char* text;
    std::optional<std::uint64_t> bytes;
  } rows[] = {
      {"4096", 4096},
      {"4G", 4 * kGiB},
      {"4gb", 4 * kGiB},
      {"4GiB", 4 * kGiB},
      {"512mib", std::uint64_t{512} << 20},
      {"1t", std::uint64_t{1} << 40},
      {"8388607T", std::uint64_t{8388607} << 40},
      {"9223372036854775807", kLargestSize},
      {"8388608T", std::nullopt},
      {"9223372036854775808", std::nullopt},
      {"0", std::nullopt},
      {"", std::nullopt},
      {"-1", std::nullopt},
      {"1.5G", std::nullopt},
      {"4X", std::nullopt},
      {"4 G", std::nullopt},
      {"G", std::nullopt},
      {"4Gibb", std::nullopt},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadSize(row.text), row.bytes) << row.text;
}

TEST(ReadFreeFloor, TakesASizeOrAPercentFrom1To99) {
  const struct {
    const char* text;
    std::optional<FreeFloor> floor;
  } rows[] = {
      {"10%", FreeFloor{.percent = 10}},
      {"99%", FreeFloor{.percent = 99}},
      {"2G", FreeFloor{.bytes = 2 * kGiB}},
      {"0%", std::nullopt},
      {"100%", std::nullopt},
      {"5.5%", std::nullopt},
      {"%", std::nullopt},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadFreeFloor(row.text), row.floor) << row.text;
  EXPECT_EQ(FreeFloor{.percent = 10}.BytesOf(1001), 101u);
}

}  // namespace
}  // namespace tarnwell
