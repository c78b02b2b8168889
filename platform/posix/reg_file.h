// The Windows registry export format (.reg): the text that stands in for
// HKEY_LOCAL_MACHINE on POSIX. Parsing is pure; reading the file is the caller's job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell::platform {

struct RegFileValue {
  std::uint32_t type = 0;
  // String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as UTF-8 with every stored NUL
  // kept, the terminator included; other types as raw bytes.
  std::string data;
};

// The HKEY_LOCAL_MACHINE part of a .reg file. Accepted:
//  - "REGEDIT4" or "Windows Registry Editor Version 5.00" as the first non-blank line;
//  - UTF-16LE text with its byte-order mark, or 8-bit text read as UTF-8 (ASCII included);
//  - blank lines, ";" comment lines;
//  - [HKEY_LOCAL_MACHINE\path] or [HKLM\path] sections; sections of the other roots are
//    read but kept nowhere; [-...] deletes a key and its subkeys read so far;
//  - "name"= or @= (the default value) followed by "text" (REG_SZ, escapes \\ and \"),
//    dword:hhhhhhhh, hex:bytes (REG_BINARY), hex(N):bytes (type N, hexadecimal), or -
//    (deletes the value); hex bytes may continue on the next line after a trailing "\".
//    String types given as hex bytes are UTF-16LE in version 5 files and 8-bit in
//    REGEDIT4 files, as the two formats write them.
// Anything else makes the whole file malformed, reported with its first bad line.
class RegFile {
 public:
  // Values by name in FoldCase form; "" is the default value.
  using Values = std::map<std::string, RegFileValue>;

  static RegFile Parse(std::string_view bytes);

  bool ok() const { return error_line_ == 0; }
  // 1-based line of the first fault, and what is wrong there.
  std::size_t error_line() const { return error_line_; }
  const std::string& error() const { return error_; }

  // The values of the key at `path` below HKEY_LOCAL_MACHINE (case ignored; "" is the root),
  // nullopt when the file holds no such key. A key named only as the parent of another
  // exists, without values, as it would after importing the file.
  std::optional<Values> Key(std::string_view path) const;

 private:
  friend class RegFileParser;

  std::map<std::string, Values> keys_;  // by path in FoldCase form
  std::size_t error_line_ = 0;
  std::string error_;
};

// The value `name` (case ignored) of `values`, or null.
const RegFileValue* FindRegFileValue(const RegFile::Values& values, std::string_view name);

}  // namespace tarnwell::platform
