// Reading one string value from the registry, with a default.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "general/numbers.h"
#include "platform/registry.h"

namespace tarnwell {

// The status QueryRegistryStringValue gives for a value that is not there; 0 is success.
inline constexpr Long kRegistryNotFound = 2;

// The REG_SZ value `value_name` of `key_path` under `root`; `default_value` when the key
// or value is missing or cannot be read; "" when the value is of another type. What the
// registry has to tell whoever reads the run's log (POSIX: a registry file ignored, lines
// of it left out) is added to `*warnings` when given, one line each.
std::string GetRegistryString(Long root, const std::string& key_path, const std::string& value_name,
                              const std::string& default_value,
                              std::vector<std::string>* warnings = nullptr);

// Reads a REG_SZ value of an open key into `value` (cut at its first NUL); other types
// leave `value` untouched and give 0. Returns the registry status: 0 on success,
// kRegistryNotFound for a missing value, else the system's status.
Long QueryRegistryStringValue(const platform::RegistryKey& key, const std::string& value_name,
                              std::string& value);

// `text` up to its first NUL, or up to its last NUL when `from_end` is true; unchanged
// without a NUL.
std::string TrimAtNull(std::string_view text, bool from_end);

}  // namespace tarnwell
