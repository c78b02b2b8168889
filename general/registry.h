// Reading one string value from the registry, with a default.
#pragma once

#include <string>
#include <string_view>

#include "general/numbers.h"
#include "platform/registry.h"

namespace tarnwell {

// The REG_SZ value `value_name` of `key_path` under `root`; `default_value` when the key
// or value is missing or cannot be read; "" when the value is of another type.
std::string GetRegistryString(Long root, const std::string& key_path, const std::string& value_name,
                              const std::string& default_value);

// Reads a REG_SZ value of an open key into `value` (cut at its first NUL); other types
// leave `value` untouched and give 0. Returns the registry status, 0 on success.
Long QueryRegistryStringValue(platform::RegistryKey key, const std::string& value_name,
                              std::string& value);

// `text` up to its first NUL, or up to its last NUL when `from_end` is true; unchanged
// without a NUL.
std::string TrimAtNull(std::string_view text, bool from_end);

}  // namespace tarnwell
