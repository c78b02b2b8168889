#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_error.h"

namespace tarnwell::platform {
namespace {

OsResult ReadOpenFile(int fd, std::size_t max_bytes, std::string* bytes) {
  struct stat info;
  if (fstat(fd, &info) != 0) return PosixError(errno);
  if (!S_ISREG(info.st_mode)) return OsResult::Failed("not a regular file");
  const OsResult too_large =
      OsResult::Failed("larger than " + std::to_string(max_bytes >> 20) + " MiB");
  if (static_cast<std::size_t>(info.st_size) > max_bytes) return too_large;
  bytes->clear();
  bytes->reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      bytes->append(buffer, static_cast<std::size_t>(count));
      if (bytes->size() > max_bytes) return too_large;  // it grew while read
    } else if (count == 0) {
      return OsResult::Done();
    } else if (errno != EINTR) {
      return PosixError(errno);
    }
  }
}

}  // namespace

OsResult ReadRegularFile(const std::string& path, std::size_t max_bytes, std::string* bytes) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return PosixError(errno);
  const OsResult read = ReadOpenFile(fd, max_bytes, bytes);
  close(fd);
  return read;
}

}  // namespace tarnwell::platform
