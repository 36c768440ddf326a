#include "platform/atomic_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace ff {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view data, int& error) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileLock::FileLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  int rc;
  do rc = ::flock(fd, LOCK_EX);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    error_ = errno;
    ::close(fd);
    return;
  }
  fd_ = fd;
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

bool ReadWholeFile(const std::string& path, std::string& content, int& error) {
  content.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  std::vector<char> buffer(65536);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      ::close(fd);
      content.clear();
      return false;
    }
    if (n == 0) break;
    content.append(buffer.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool ReplaceFile(const std::string& path, std::string_view content, int& error, unsigned mode) {
  const std::string folder = FolderOf(path);
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = folder + "/." + name + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat existing {};
  mode_t wanted;
  if (::stat(path.c_str(), &existing) == 0) {
    wanted = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    wanted = static_cast<mode_t>(mode) & ~mask;
  }
  bool ok = ::fchmod(fd, wanted) == 0 || (error = errno, false);
  ok = ok && WriteAll(fd, content, error);
  ok = ok && (::fsync(fd) == 0 || (error = errno, false));
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  ok = ok && (::rename(temp.c_str(), path.c_str()) == 0 || (error = errno, false));
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

std::string MoveAside(const std::string& path, const std::string& suffix, int& error) {
  for (int n = 1; n < 1000; ++n) {
    const std::string target = path + suffix + (n == 1 ? "" : "." + std::to_string(n));
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
      return target;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) {
      error = errno;
      return {};
    }
    // The file system cannot refuse a replacement itself: link, then unlink.
    if (::link(path.c_str(), target.c_str()) == 0) {
      ::unlink(path.c_str());
      return target;
    }
    if (errno == EEXIST) continue;
    error = errno;
    return {};
  }
  error = EEXIST;
  return {};
}

bool CanWrite(const std::string& path) {
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return false;
  return ::access(FolderOf(path).c_str(), W_OK | X_OK) == 0;
}

}  // namespace ff
