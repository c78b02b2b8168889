#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/registry.h"
#include "tests/platform/registry_fixture.h"

namespace tarnwell::test_support {
namespace {

std::string HexBytes(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(c));
    text += (text.empty() ? "" : ",") + std::string(byte);
  }
  return text;
}

bool IsTextType(std::uint32_t type) {
  return type == platform::kRegSz || type == platform::kRegExpandSz ||
         type == platform::kRegMultiSz;
}

std::string FilePath() {
  return (std::filesystem::temp_directory_path() /
          ("tarnwell-registry-" + std::to_string(getpid()) + ".reg"))
      .string();
}

}  // namespace

std::string TestKeyPath() {
  return std::string("SOFTWARE\\TarnwellTest\\") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

ScopedRegistryKey::ScopedRegistryKey(std::string key_path, const std::vector<StoredValue>& values)
    : key_path_(std::move(key_path)) {
  std::ofstream file(FilePath(), std::ios::binary);
  file << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" << key_path_
       << "]\r\n";
  for (const StoredValue& value : values) {
    std::string bytes;
    for (const char c : value.data) {  // version 5 files keep text as UTF-16LE
      bytes += c;
      if (IsTextType(value.type)) bytes += '\0';
    }
    file << '"' << value.name << "\"=hex(" << std::hex << value.type << std::dec
         << "):" << HexBytes(bytes) << "\r\n";
  }
  const char* previous = std::getenv("TARNWELL_REGISTRY");
  previous_ = previous != nullptr ? previous : "";
  setenv("TARNWELL_REGISTRY", FilePath().c_str(), 1);
}

ScopedRegistryKey::~ScopedRegistryKey() {
  std::filesystem::remove(FilePath());
  if (previous_.empty()) {
    unsetenv("TARNWELL_REGISTRY");
  } else {
    setenv("TARNWELL_REGISTRY", previous_.c_str(), 1);
  }
}

}  // namespace tarnwell::test_support
