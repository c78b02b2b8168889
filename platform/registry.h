// Reading values from the registry: HKEY_LOCAL_MACHINE on Windows, a registry file in .reg
// export format elsewhere.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

inline constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// The types whose data is text: it comes as UTF-8 from QueryRegistryValue.
inline bool IsTextType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Which of a 64-bit Windows machine's two views of HKEY_LOCAL_MACHINE\SOFTWARE a key is
// read in. k32Bit, where installations of the earlier 32-bit program keep DebugPath, is
// SOFTWARE\WOW6432Node; kNative is where 64-bit programs and Group Policy write. On POSIX,
// k32Bit reads a value under SOFTWARE\WOW6432Node first, as an export of a 64-bit machine
// holds that view, and the key as named after it; kNative the key as named alone.
enum class RegistryView { k32Bit, kNative };

// An open key, closed when it goes. A default-made one holds no key.
class RegistryKey {
 public:
  struct Opened;  // what an open key holds on this system
  // Closes the key and frees what held it; each system defines it beside its Opened, so a
  // key can be moved and dropped where Opened is not known.
  struct Close {
    void operator()(Opened* opened) const;
  };
  using OpenedPtr = std::unique_ptr<Opened, Close>;

  RegistryKey() = default;
  explicit RegistryKey(OpenedPtr opened) : opened_(std::move(opened)) {}

  bool IsOpen() const { return opened_ != nullptr; }
  const Opened* opened() const { return opened_.get(); }

 private:
  OpenedPtr opened_;
};

// One value as stored: its type and data. String types (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) as UTF-8 text with every stored NUL kept, the terminator included; other
// types as raw bytes.
struct RegistryValue {
  std::uint32_t type = 0;
  std::string data;
};

// Opens `sub_key` (backslash-separated, case ignored) under the predefined `root`, in
// `view`, to read its values and list its sub-keys.
//  kDone:     `*key` holds it open.
//  kNotThere: no such key (on POSIX also: no registry file, or one that cannot be used).
//  kFailed:   it cannot be opened (access denied); `reason` and `code` say why.
// On POSIX the registry file may also have something to tell whoever reads the run's log
// (a file ignored, lines of it left out): one line each, without the program's name, is
// added to `*warnings`. Windows adds none.
OsResult OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key,
                         std::vector<std::string>* warnings,
                         RegistryView view = RegistryView::k32Bit);

// The names of the sub-keys of the open `key` into `*names`, in no particular order.
//  kDone:     `*names` holds them, perhaps none.
//  kNotThere: `key` is not open.
//  kFailed:   they cannot be listed; `reason` and `code` (the system's status) say why.
// POSIX, where rules come from files (rules_folder.h) and nothing enumerates the registry
// file: always kNotThere.
OsResult ListRegistrySubKeys(const RegistryKey& key, std::vector<std::string>* names);

// The names of the values of the open `key` into `*names` ("" for the key's default
// value), in no particular order. Results as for ListRegistrySubKeys, POSIX too.
OsResult ListRegistryValues(const RegistryKey& key, std::vector<std::string>* names);

// The text of a REG_EXPAND_SZ value as Windows expands it: each %NAME% of an environment
// variable of this process replaced by the variable's value, any other "%" kept as it
// stands. Never fails. POSIX: `text` as it is (no rule is read from the registry file).
std::string ExpandRegistryText(const std::string& text);

// Where HKEY_LOCAL_MACHINE is kept, as a message tells an administrator where to set a
// value: on POSIX the registry file read ($TARNWELL_REGISTRY, or
// /etc/tarnwell/registry.reg); on Windows "the registry".
std::string RegistryLocation();

// Reads the value `value_name` ("" is the key's default value) of the open `key`: its type
// only, or with `with_data` its data too, into `*value`.
//  kDone:     `*value` holds it.
//  kNotThere: no such value, or `key` is not open.
//  kFailed:   it cannot be read; `reason` and `code` (the system's status) say why.
OsResult QueryRegistryValue(const RegistryKey& key, const std::string& value_name, bool with_data,
                            RegistryValue* value);

}  // namespace tarnwell::platform
