#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include "tests/platform/registry_fixture.h"

namespace tarnwell::test_support {

static const std::filesystem::path kFile =
    std::filesystem::temp_directory_path() / ("tarnwell-registry-" + std::to_string(getpid()));

ScopedRegistryKey::ScopedRegistryKey(const std::vector<StoredValue>& values) {
  std::ofstream file(kFile, std::ios::binary);  // REGEDIT4 keeps text in 8 bits
  file << "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" << TestKeyPath() << "]\n" << std::hex;
  for (const StoredValue& value : values) {
    file << '"' << value.name << "\"=hex(" << value.type << "):";
    for (std::size_t i = 0; i < value.data.size(); ++i) {
      file << (i ? "," : "") << std::setw(2) << std::setfill('0') << (value.data[i] & 0xff);
    }
    file << "\n";
  }
  setenv("TARNWELL_REGISTRY", kFile.c_str(), 1);
}

ScopedRegistryKey::~ScopedRegistryKey() {
  std::filesystem::remove(kFile);
  unsetenv("TARNWELL_REGISTRY");
}

}  // namespace tarnwell::test_support
