// HKEY_LOCAL_MACHINE is a .reg file, read afresh whenever a key is opened: the program
// opens one key once per run, so there is nothing worth caching.
#include "platform/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "platform/posix/reg_file.h"

namespace tarnwell::platform {
namespace {

constexpr char kDefaultRegistryFile[] = "/etc/tarnwell/registry.reg";
// Room for a whole export of a machine's HKEY_LOCAL_MACHINE\SOFTWARE; anything larger is
// no file this program was meant to read.
constexpr std::size_t kMaxRegistryFileBytes = std::size_t{16} << 20;

std::string RegistryFilePath() {
  const char* path = std::getenv("TARNWELL_REGISTRY");
  return path != nullptr && *path != '\0' ? path : kDefaultRegistryFile;
}

// A registry file that is there but cannot be used: say so once, then act as if it were
// absent, so the run goes on with its defaults.
void WarnIgnored(const std::string& where, const std::string& why,
                 std::vector<std::string>* warnings) {
  warnings->push_back(where + ": " + why + "; registry file ignored");
}

// The bytes of the open file `fd`, named `path`; nullopt, with a warning, for anything
// but a regular file of at most kMaxRegistryFileBytes: a device or a pipe would feed the
// parser without end.
std::optional<std::string> ReadRegularFile(int fd, const std::string& path,
                                           std::vector<std::string>* warnings) {
  struct stat info;
  if (fstat(fd, &info) != 0) {
    WarnIgnored(path, std::strerror(errno), warnings);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    WarnIgnored(path, "not a regular file", warnings);
    return std::nullopt;
  }
  const auto too_large = [&path, warnings] {
    WarnIgnored(path, "larger than " + std::to_string(kMaxRegistryFileBytes >> 20) + " MiB",
                warnings);
    return std::nullopt;
  };
  if (static_cast<std::size_t>(info.st_size) > kMaxRegistryFileBytes) return too_large();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      bytes.append(buffer, static_cast<std::size_t>(count));
      if (bytes.size() > kMaxRegistryFileBytes) return too_large();  // it grew while read
    } else if (count == 0) {
      return bytes;
    } else if (errno != EINTR) {
      WarnIgnored(path, std::strerror(errno), warnings);
      return std::nullopt;
    }
  }
}

// The file's bytes; nullopt when it is missing (silently) or unusable (with a warning).
std::optional<std::string> ReadRegistryFile(const std::string& path,
                                            std::vector<std::string>* warnings) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) WarnIgnored(path, std::strerror(errno), warnings);
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadRegularFile(fd, path, warnings);
  close(fd);
  return bytes;
}

// The warnings of a file that was read: each line left out (the first few in full), so a
// damaged export never passes without a word.
void WarnLinesLeftOut(const std::string& path, const RegFile& file,
                      std::vector<std::string>* warnings) {
  for (const RegFileWarning& warning : file.warnings()) {
    warnings->push_back(path + ":" + std::to_string(warning.line) + ": " + warning.reason +
                        "; line ignored");
  }
  if (const std::size_t more = file.warning_count() - file.warnings().size(); more > 0) {
    warnings->push_back(path + ": " + std::to_string(more) + " more lines ignored");
  }
}

// `sub_key` as the 32-bit view of a 64-bit Windows resolves it, when it lies below
// SOFTWARE: there it is stored under SOFTWARE\WOW6432Node, which is where an export of the
// 64-bit view (regedit /e, reg export HKLM\SOFTWARE) writes it.
std::optional<std::string> Wow64Path(const std::string& sub_key) {
  constexpr std::string_view kSoftware = "software\\";
  constexpr std::string_view kWow64 = "software\\wow6432node";
  const std::string folded = FoldCase(sub_key);
  if (!folded.starts_with(kSoftware) || folded.starts_with(kWow64)) return std::nullopt;
  return "SOFTWARE\\WOW6432Node\\" + sub_key.substr(kSoftware.size());
}

}  // namespace

// An open key of the registry file: its values, read when it was opened.
struct RegistryKey::Opened {
  RegFile::Values values;
};

void RegistryKey::Close::operator()(Opened* opened) const { delete opened; }

OsResult OpenRegistryKey(std::int32_t root, const std::string& sub_key, RegistryKey* key,
                         std::vector<std::string>* warnings) {
  *key = RegistryKey();
  if (root != kHkeyLocalMachine) return OsResult::NotThere();  // the only root mapped here

  const std::string path = RegistryFilePath();
  const std::optional<std::string> bytes = ReadRegistryFile(path, warnings);
  if (!bytes) return OsResult::NotThere();
  const RegFile file = RegFile::Parse(*bytes);
  if (!file.ok()) {
    WarnIgnored(path + ":" + std::to_string(file.error_line()), file.error(), warnings);
    return OsResult::NotThere();
  }
  WarnLinesLeftOut(path, file, warnings);
  // A value of the WOW6432Node key comes first, as the Windows program sees it; a file
  // written from a 32-bit view, or by hand, names the key directly.
  std::optional<RegFile::Values> values = file.Key(sub_key);
  if (const std::optional<std::string> wow64 = Wow64Path(sub_key)) {
    if (std::optional<RegFile::Values> redirected = file.Key(*wow64)) {
      if (values) redirected->merge(*values);  // keeps the WOW6432Node value of a name
      values = std::move(redirected);
    }
  }
  if (!values) return OsResult::NotThere();
  *key = RegistryKey(RegistryKey::OpenedPtr(new RegistryKey::Opened{std::move(*values)}));
  return OsResult::Done();
}

OsResult QueryRegistryValue(const RegistryKey& key, const std::string& value_name, bool with_data,
                            RegistryValue* value) {
  if (!key.IsOpen()) return OsResult::NotThere();
  const RegFileValue* found = FindRegFileValue(key.opened()->values, value_name);
  if (found == nullptr) return OsResult::NotThere();
  value->type = found->type;
  value->data = with_data ? found->data : std::string();
  return OsResult::Done();
}

}  // namespace tarnwell::platform
