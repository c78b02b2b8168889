#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "base/ascii.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/posix_path.h"
#include "platform/posix/wildcard.h"

namespace tarnwell::platform {

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// MatchesPattern for a pattern of one leading "*" and a `tail` without "*", as the sweep's
// is. In a plain ASCII name every character is one byte, so only the last bytes can match
// the tail and the star's backtracking is not needed; other names take the general way.
bool MatchesStarTail(std::string_view name, std::string_view pattern, std::string_view tail) {
  if (!IsAscii(name)) return MatchesPattern(name, pattern);
  if (name.size() < tail.size()) return false;
  const std::string_view end = name.substr(name.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (tail[i] != '?' && FoldCase(tail[i]) != FoldCase(end[i])) return false;
  }
  return true;
}

// A name that could leave the folder, or that a NUL would cut short, is never an entry of it.
bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// getdents64 fills this; glibc's readdir uses the same size.
constexpr std::size_t kReadBufferBytes = 32 * 1024;
// Room for the longest name and its NUL, so a batch stops before a name would not fit.
constexpr std::size_t kNameRoom = NAME_MAX + 1;

}  // namespace

struct FolderListing::State {
  ~State() {
    if (dir_fd >= 0) close(dir_fd);
  }

  int dir_fd = -1;  // -1: the folder is not there, nothing is listed
  std::string pattern;
  bool star_tail = false;  // the pattern is "*" and a tail without "*"
  std::unique_ptr<char[]> read_buffer;
  std::size_t read_at = 0, read_end = 0;  // the unread records of read_buffer
  bool at_end = false;
  // A failure met after some names of a batch: those go out first, the failure next time.
  int held_errno = 0;
  // The current batch's names, each NUL-terminated for the *at calls. Allocated once and
  // never grown, so the views handed out stay put and untouched pages cost no memory.
  std::unique_ptr<char[]> names;
  std::size_t names_used = 0;

  // The next raw directory record, or null at the end; errno set on failure.
  const dirent64* NextRecord();
  // Whether the record is a listed file, its d_type confirmed where the file system left
  // it open.
  bool Lists(const dirent64& record) const;
  std::string_view Keep(const char* name);
};

const dirent64* FolderListing::State::NextRecord() {
  if (read_at >= read_end) {
    if (at_end) return nullptr;
    const ssize_t got = getdents64(dir_fd, read_buffer.get(), kReadBufferBytes);
    if (got <= 0) {
      if (got == 0) at_end = true;
      return nullptr;
    }
    read_at = 0;
    read_end = static_cast<std::size_t>(got);
  }
  const auto* record = reinterpret_cast<const dirent64*>(read_buffer.get() + read_at);
  read_at += record->d_reclen;
  return record;
}

bool FolderListing::State::Lists(const dirent64& record) const {
  // A leading dot is this file system's hidden mark.
  if (record.d_name[0] == '.') return false;
  if (record.d_type != DT_REG && record.d_type != DT_UNKNOWN) return false;
  const bool matches =
      star_tail ? MatchesStarTail(record.d_name, pattern, std::string_view(pattern).substr(1))
                : MatchesPattern(record.d_name, pattern);
  if (!matches) return false;
  if (record.d_type == DT_UNKNOWN) {
    struct stat info;
    return fstatat(dir_fd, record.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
  }
  return true;
}

std::string_view FolderListing::State::Keep(const char* name) {
  const std::size_t size = std::strlen(name);
  char* kept = names.get() + names_used;
  std::memcpy(kept, name, size + 1);
  names_used += size + 1;
  return {kept, size};
}

FolderListing::FolderListing() : state_(std::make_unique<State>()) {}

FolderListing::~FolderListing() = default;

OsResult FolderListing::Open(const std::string& folder, const std::string& pattern) {
  state_ = std::make_unique<State>();
  state_->pattern = pattern;
  state_->star_tail = pattern.starts_with('*') && pattern.find('*', 1) == std::string::npos;
  const std::optional<std::string> path = ToPosixPath(folder);
  if (!path || path->empty()) return OsResult::NotThere();
  const int fd = open(path->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return PosixError(errno);
  state_->dir_fd = fd;
  state_->read_buffer = std::make_unique_for_overwrite<char[]>(kReadBufferBytes);
  state_->names = std::make_unique_for_overwrite<char[]>(kMaxBatchNameBytes + kNameRoom);
  return OsResult::Done();
}

OsResult FolderListing::NextBatch(std::vector<ListedEntry>* batch) {
  batch->clear();
  State& s = *state_;
  if (s.dir_fd < 0) return OsResult::NotThere();
  if (s.held_errno != 0) return OsResult::Failed(std::strerror(std::exchange(s.held_errno, 0)));
  s.names_used = 0;
  while (batch->size() < kMaxBatchEntries && s.names_used <= kMaxBatchNameBytes) {
    errno = 0;
    const dirent64* record = s.NextRecord();
    if (record == nullptr) {
      if (errno == 0) break;
      if (batch->empty()) return OsResult::Failed(std::strerror(errno));
      s.held_errno = errno;
      break;
    }
    if (s.Lists(*record)) batch->push_back({s.Keep(record->d_name), record->d_ino});
  }
  return batch->empty() ? OsResult::NotThere() : OsResult::Done();
}

namespace {

// kDone when the listed entry may go, as far as it tells now: still the listed regular file,
// with a write bit. A preview and the deletion both ask here, so they cannot disagree.
// `name` receives the entry's name as a C string, on the stack: a heap copy would be the one
// allocation per file.
OsResult CheckEntry(int dir_fd, const ListedEntry& entry, char (&name)[kNameRoom]) {
  if (dir_fd < 0 || !IsEntryName(entry.name) || entry.name.size() >= kNameRoom) {
    return OsResult::NotThere();
  }
  entry.name.copy(name, entry.name.size());
  name[entry.name.size()] = '\0';
  struct stat info;
  if (fstatat(dir_fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return PosixError(errno);
  if (!S_ISREG(info.st_mode)) return OsResult::Failed("not a regular file");
  // Another file under the listed name was never judged: the listed one has gone.
  if (info.st_ino != entry.id) return OsResult::NotThere();
  // No write bit at all is this file system's read-only mark; even root leaves it alone.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return OsResult::Failed("read-only");
  return OsResult::Done();
}

}  // namespace

OsResult FolderListing::DeleteEntry(const ListedEntry& entry) {
  char name[kNameRoom];
  OsResult result = CheckEntry(state_->dir_fd, entry, name);
  if (result.done() && unlinkat(state_->dir_fd, name, 0) != 0) result = PosixError(errno);
  return result;
}

OsResult FolderListing::WouldDeleteEntry(const ListedEntry& entry) {
  char name[kNameRoom];
  OsResult result = CheckEntry(state_->dir_fd, entry, name);
  // unlinkat writes to the folder: it needs write and search permission on it, and a
  // mount that is not read-only, which access() tells without trying.
  if (result.done() && faccessat(state_->dir_fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    result = PosixError(errno);
  }
  return result;
}

std::string EntryPath(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}

}  // namespace tarnwell::platform
