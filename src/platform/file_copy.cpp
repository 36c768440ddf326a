#include "platform/file_copy.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ff {
namespace {

// copy_file_range answers these where the kernel or the file system cannot
// copy between the two files; the data then goes through user space.
bool RangeCopyRefused(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == EBADF;
}

bool RenameNoReplaceRefused(int error) { return error == EINVAL || error == ENOSYS; }

bool LinkRefused(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

}  // namespace

int FileDataCopier::Copy(int in, int out, std::uint64_t size, std::uint64_t& copied,
                         const CopyChunkCallback& onChunk) {
  copied = 0;
  while (copied < size) {
    const size_t want = static_cast<size_t>(std::min(kChunk, size - copied));
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, want, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (RangeCopyRefused(errno)) break;
      return errno;
    }
    if (n == 0) return 0;
    copied += static_cast<std::uint64_t>(n);
    if (onChunk && !onChunk(static_cast<std::uint64_t>(n))) return ECANCELED;
  }
  if (copied == size) return 0;
  std::uint64_t rest = 0;
  const int error = CopyByBuffer(in, out, size - copied, rest, onChunk);
  copied += rest;
  return error;
}

int FileDataCopier::CopyByBuffer(int in, int out, std::uint64_t size, std::uint64_t& copied,
                                 const CopyChunkCallback& onChunk) {
  if (buffer_.empty()) buffer_.resize(kChunk);
  copied = 0;
  while (copied < size) {
    const size_t want = static_cast<size_t>(std::min<std::uint64_t>(buffer_.size(), size - copied));
    const ssize_t n = read(in, buffer_.data(), want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    ssize_t written = 0;
    while (written < n) {
      const ssize_t w = write(out, buffer_.data() + written, static_cast<size_t>(n - written));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      written += w;
    }
    copied += static_cast<std::uint64_t>(n);
    if (onChunk && !onChunk(static_cast<std::uint64_t>(n))) return ECANCELED;
  }
  return 0;
}

int RenameNoReplace(int oldDir, const char* oldName, int newDir, const char* newName) {
  if (renameat2(oldDir, oldName, newDir, newName, RENAME_NOREPLACE) == 0) return 0;
  int error = errno;
  if (!RenameNoReplaceRefused(error)) return error;

  // A second name for the same file cannot replace anything either.
  if (linkat(oldDir, oldName, newDir, newName, 0) == 0) {
    unlinkat(oldDir, oldName, 0);
    return 0;
  }
  error = errno;
  if (!LinkRefused(error)) return error;

  struct stat st {};
  if (fstatat(newDir, newName, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return renameat(oldDir, oldName, newDir, newName) == 0 ? 0 : errno;
}

}  // namespace ff
