// The Windows registry export format (.reg): the text that stands in for
// HKEY_LOCAL_MACHINE on POSIX. Parsing is pure; reading the file is the caller's job, and
// the text's encoding is platform/posix/reg_text.h's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell::platform {

struct RegFileValue {
  std::uint32_t type = 0;
  // String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as UTF-8 with every stored NUL
  // kept, the terminator included; other types as raw bytes.
  std::string data;
};

// A line of the file that was left out, and why.
struct RegFileWarning {
  std::size_t line = 0;  // 1-based
  std::string reason;
};

// The HKEY_LOCAL_MACHINE part of a .reg file, read as an import would apply it. Accepted:
//  - "REGEDIT4" or "Windows Registry Editor Version 5.00" as the first non-blank line;
//    anything else there means the bytes are no registry file at all (see ok());
//  - blank lines, ";" comment lines;
//  - [HKEY_LOCAL_MACHINE\path] or [HKLM\path] sections; sections of the other roots are
//    read but kept nowhere; [-...] deletes a key and its subkeys read so far;
//  - "name"= or @= (the default value) followed by "text" (REG_SZ, with the escapes that
//    Windows' and Wine's exporters write: \\, \", \n, \r, \0), dword:hhhhhhhh, hex:bytes
//    (REG_BINARY), hex(N):bytes (type N, hexadecimal), or - (deletes the value); hex bytes
//    may continue on the next line after a trailing "\". String types given as hex bytes
//    are UTF-16LE in version 5 files and 8-bit in REGEDIT4 files, as the two formats write
//    them.
// Any other line is left out with a warning and the rest is read: values under a key line
// that cannot be read are kept nowhere, and a value line that cannot be read removes the
// value it names, so that an older definition never stands in for a damaged one.
class RegFile {
 public:
  // Values by name in FoldCase form; "" is the default value.
  using Values = std::map<std::string, RegFileValue>;
  // Warnings kept in full; more are only counted, so a damaged file costs no more memory.
  static constexpr std::size_t kMaxKeptWarnings = 10;

  static RegFile Parse(std::string_view bytes);

  // False when the bytes are no registry file: its first line is not a registry header.
  bool ok() const { return error_line_ == 0; }
  // When not ok(): 1-based line of the fault and what is wrong there.
  std::size_t error_line() const { return error_line_; }
  const std::string& error() const { return error_; }

  // The first kMaxKeptWarnings lines left out, in file order, and how many there were.
  const std::vector<RegFileWarning>& warnings() const { return warnings_; }
  std::size_t warning_count() const { return warning_count_; }

  // The values of the key at `path` below HKEY_LOCAL_MACHINE (case ignored; "" is the root),
  // nullopt when the file holds no such key. A key named only as the parent of another
  // exists, without values, as it would after importing the file.
  std::optional<Values> Key(std::string_view path) const;

 private:
  friend class RegFileParser;

  std::map<std::string, Values> keys_;  // by path in FoldCase form
  std::size_t error_line_ = 0;
  std::string error_;
  std::vector<RegFileWarning> warnings_;
  std::size_t warning_count_ = 0;
};

// The value `name` (case ignored) of `values`, or null.
const RegFileValue* FindRegFileValue(const RegFile::Values& values, std::string_view name);

}  // namespace tarnwell::platform
