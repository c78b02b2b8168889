// HKEY_LOCAL_MACHINE is a .reg file, read afresh whenever a key is opened: the program
// opens one key once per run here (its retention rules are files on POSIX), so there is
// nothing worth caching.
#include "platform/registry.h"

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "platform/posix/reg_file.h"
#include "platform/posix/regular_file.h"

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

// The file's bytes; nullopt when it is missing (silently) or unusable (with a warning).
std::optional<std::string> ReadRegistryFile(const std::string& path,
                                            std::vector<std::string>* warnings) {
  std::string bytes;
  const OsResult read = ReadRegularFile(path, kMaxRegistryFileBytes, &bytes);
  if (read.failed()) WarnIgnored(path, read.reason, warnings);
  if (!read.done()) return std::nullopt;
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
                         std::vector<std::string>* warnings, RegistryView view) {
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
  const std::optional<std::string> wow64 =
      view == RegistryView::k32Bit ? Wow64Path(sub_key) : std::nullopt;
  if (wow64) {
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

// Rules come from files here (rules_folder.h): nothing enumerates the registry file.
OsResult ListRegistrySubKeys(const RegistryKey&, std::vector<std::string>* names) {
  names->clear();
  return OsResult::NotThere();
}

OsResult ListRegistryValues(const RegistryKey&, std::vector<std::string>* names) {
  names->clear();
  return OsResult::NotThere();
}

std::string ExpandRegistryText(const std::string& text) { return text; }

std::string RegistryLocation() { return RegistryFilePath(); }

}  // namespace tarnwell::platform
