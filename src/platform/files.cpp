#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace ff {
namespace {

constexpr unsigned kStatMask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME;

Instant ToInstant(const statx_timestamp& ts) {
  return Instant{ts.tv_sec, static_cast<std::int32_t>(ts.tv_nsec)};
}

void Fill(const struct statx& sx, FileStatus& status) {
  status.isDirectory = S_ISDIR(sx.stx_mode);
  status.isRegular = S_ISREG(sx.stx_mode);
  status.size = sx.stx_size;
  status.creation = CreationInstant(sx);
}

}  // namespace

Instant CreationInstant(const struct statx& sx) {
  const Instant modified = ToInstant(sx.stx_mtime);
  if ((sx.stx_mask & STATX_BTIME) != 0) {
    const Instant born = ToInstant(sx.stx_btime);
    // A birth time of zero is a file system that keeps none.
    if ((born.seconds != 0 || born.nanoseconds != 0) && born < modified) return born;
  }
  return modified;
}

bool StatAt(int dirFd, const char* name, FileStatus& status, int& error) {
  struct statx sx {};
  if (statx(dirFd, name, AT_STATX_SYNC_AS_STAT, kStatMask, &sx) != 0) {
    error = errno;
    return false;
  }
  Fill(sx, status);
  return true;
}

bool StatPath(const std::string& path, FileStatus& status, int& error) {
  if (path.empty()) {
    error = ENOENT;
    return false;
  }
  return StatAt(AT_FDCWD, path.c_str(), status, error);
}

bool SetFileTimes(const std::string& path, Instant instant, int& error) {
  const timespec times[2] = {{static_cast<time_t>(instant.seconds), instant.nanoseconds},
                             {static_cast<time_t>(instant.seconds), instant.nanoseconds}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    error = errno;
    return false;
  }
  return true;
}

}  // namespace ff
