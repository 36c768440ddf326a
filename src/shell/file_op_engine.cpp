#include "shell/file_op_engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>

#include "platform/error.h"
#include "platform/paths.h"
#include "shell/file_op_trash.h"
#include "shell/shell_component.h"

namespace ff {
namespace {

constexpr unsigned kMaxCollisionNumber = 9999;

std::atomic<unsigned long> tempSequence{0};

// Closes a descriptor at the end of a scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Splits a target path into its folder and its name ("/x" is in "/", a bare
// name in the current folder).
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = path;
  } else {
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

// A hidden, unique temporary name in the target folder, prefix + a number.
// Answers the open descriptor or -errno.
int CreateTemp(int dirFd, const std::string& prefix, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + std::to_string(++tempSequence) + ".part";
    const int fd = openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -errno;
  }
  return -EEXIST;
}

bool SameTimes(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

int RemovePath(const std::string& path) {
  if (unlink(path.c_str()) == 0) return 0;
  if (errno != EISDIR) return errno;
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  return ec.value();
}

void SetFailure(FileOpResult& result, int error) {
  result.error = error;
  result.errorText = ErrnoText(error == kErrorCancelled ? ECANCELED : error);
}

}  // namespace

std::string CollisionName(const std::string& name, unsigned n) {
  if (n <= 1) return name;
  const size_t dot = name.rfind('.');
  const size_t stemEnd = (dot == std::string::npos || dot == 0) ? name.size() : dot;
  return name.substr(0, stemEnd) + " (" + std::to_string(n) + ")" + name.substr(stemEnd);
}

FileOpEngine::FileOpEngine(FileOperationProgress* progress, bool renameOnCollision)
    : progress_(progress),
      renameOnCollision_(renameOnCollision),
      tempPrefix_(".fotoferry-" + std::to_string(getpid()) + "-") {
  onChunk_ = [this](std::uint64_t bytes) {
    status_.bytesDone += bytes;
    return Tick();
  };
}

FileOpEngine::~FileOpEngine() {
  for (auto& [path, folder] : folders_) close(folder.fd);
}

bool FileOpEngine::Tick() {
  if (progress_ && !cancelled_ && !progress_->Report(status_)) cancelled_ = true;
  return !cancelled_;
}

void FileOpEngine::CountBytes(const std::vector<FileOpJob>& jobs) {
  sizes_.assign(jobs.size(), 0);
  for (size_t i = 0; i < jobs.size(); ++i) {
    struct stat st {};
    if (stat(jobs[i].source.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      sizes_[i] = static_cast<std::uint64_t>(st.st_size);
      status_.bytesTotal += sizes_[i];
    }
  }
}

std::vector<FileOpResult> FileOpEngine::Run(TStFileOp op, bool toTrash,
                                            const std::vector<FileOpJob>& jobs) {
  std::vector<FileOpResult> results(jobs.size());
  status_ = FileOperationStatus{};
  status_.filesTotal = jobs.size();
  sizes_.assign(jobs.size(), 0);
  if (progress_) CountBytes(jobs);

  std::uint64_t bytesBefore = 0;
  for (size_t i = 0; i < jobs.size(); ++i) {
    FileOpResult& result = results[i];
    result.source = jobs[i].source;
    result.target = jobs[i].target;
    status_.current = result.source;
    if (cancelled_ || !Tick()) {
      SetFailure(result, kErrorCancelled);
      continue;
    }
    const int error = CarryOut(op, toTrash, i, result);
    if (error != 0) SetFailure(result, error == ECANCELED && cancelled_ ? kErrorCancelled : error);
    if (error == EXDEV && op == TStFileOp::fopDelete && toTrash)
      result.errorText = "No trash on this volume (" + result.errorText + ")";
    bytesBefore += sizes_[i];
    status_.bytesDone = bytesBefore;
    ++status_.filesDone;
  }
  status_.current = {};
  Tick();
  FinishMoves(results);
  return results;
}

int FileOpEngine::CarryOut(TStFileOp op, bool toTrash, size_t index, FileOpResult& result) {
  const std::string& source = result.source;
  if (op == TStFileOp::fopDelete)
    return toTrash ? MoveToTrash(source, result.finalPath) : RemovePath(source);

  Folder* folder = nullptr;
  std::string name;
  if (const int error = OpenTargetFolder(result.target, folder, name)) return error;
  const std::string folderPath = result.target.substr(0, result.target.size() - name.size());
  std::string finalName;

  int error = 0;
  if (op == TStFileOp::fopMove || op == TStFileOp::fopRename) {
    error = Publish(AT_FDCWD, source.c_str(), *folder, name, finalName);
    if (error == 0 || op == TStFileOp::fopRename || error != EXDEV) {
      if (error == 0) result.finalPath = folderPath + finalName;
      return error;
    }
  }

  PendingRemoval pending;
  error = CopyInto(source, *folder, name, finalName, pending.source, pending.size);
  if (error != 0) return error;
  result.finalPath = folderPath + finalName;
  if (op == TStFileOp::fopMove) {
    pending.index = index;
    pending.folder = folder;
    pending.finalName = std::move(finalName);
    pending_.push_back(std::move(pending));
  }
  return 0;
}

int FileOpEngine::OpenTargetFolder(const std::string& target, Folder*& folder, std::string& name) {
  std::string path;
  SplitPath(target, path, name);
  if (name.empty() || name == "." || name == "..") return EINVAL;
  if (auto found = folders_.find(path); found != folders_.end()) {
    folder = &found->second;
    return 0;
  }
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    int error = 0;
    if (!MakeFolders(path, error)) return error;
    fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  if (fd < 0) return errno;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int error = errno;
    close(fd);
    return error;
  }
  folder = &folders_.emplace(path, Folder{fd, st.st_dev}).first->second;
  return 0;
}

int FileOpEngine::CopyInto(const std::string& source, Folder& folder, const std::string& name,
                           std::string& finalName, struct stat& st, std::uint64_t& copied) {
  // O_NONBLOCK keeps a named pipe among the sources from blocking the open.
  const Fd in(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (in.get() < 0) return errno;
  if (fstat(in.get(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return EINVAL;

  std::string tempName;
  const int out = CreateTemp(folder.fd, tempPrefix_, tempName);
  if (out < 0) return -out;
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  int error = copier_.Copy(in.get(), out, size, copied, onChunk_);
  // A source that shrank while it was read is kept as far as it was read;
  // a move notices the change before it removes the source.
  if (error == 0 && fchmod(out, st.st_mode & 0777) != 0) error = errno;
  const timespec times[2] = {st.st_atim, st.st_mtim};
  if (error == 0 && futimens(out, times) != 0) error = errno;
  // Some file systems report a failed write-back only here.
  if (close(out) != 0 && error == 0) error = errno;
  if (error == 0) error = Publish(folder.fd, tempName.c_str(), folder, name, finalName);
  if (error != 0) unlinkat(folder.fd, tempName.c_str(), 0);
  return error;
}

int FileOpEngine::Publish(int fromDir, const char* fromName, Folder& folder,
                          const std::string& name, std::string& finalName) {
  for (unsigned n = 1; n <= kMaxCollisionNumber; ++n) {
    finalName = CollisionName(name, n);
    const int error = RenameNoReplace(fromDir, fromName, folder.fd, finalName.c_str());
    if (error != EEXIST || !renameOnCollision_) return error;
  }
  return EEXIST;
}

void FileOpEngine::FinishMoves(std::vector<FileOpResult>& results) {
  if (pending_.empty()) return;
  status_.finishing = true;

  // One sync per target file system makes every copy on it durable.
  std::map<dev_t, int> synced;
  for (const PendingRemoval& pending : pending_) {
    if (synced.count(pending.folder->dev)) continue;
    synced[pending.folder->dev] = syncfs(pending.folder->fd) == 0 ? 0 : errno;
  }

  for (const PendingRemoval& pending : pending_) {
    FileOpResult& result = results[pending.index];
    status_.current = result.source;
    if (progress_) progress_->Report(status_);
    int error = synced[pending.folder->dev];
    struct stat copy {};
    if (error == 0 &&
        fstatat(pending.folder->fd, pending.finalName.c_str(), &copy, AT_SYMLINK_NOFOLLOW) != 0)
      error = errno;
    if (error == 0 &&
        (!S_ISREG(copy.st_mode) || static_cast<std::uint64_t>(copy.st_size) != pending.size))
      error = EIO;
    // The source must still be the file that was copied, unchanged.
    struct stat now {};
    if (error == 0 && lstat(result.source.c_str(), &now) != 0) error = errno;
    if (error == 0 && (now.st_dev != pending.source.st_dev || now.st_ino != pending.source.st_ino ||
                       now.st_size != pending.source.st_size ||
                       static_cast<std::uint64_t>(now.st_size) != pending.size ||
                       !SameTimes(now.st_mtim, pending.source.st_mtim)))
      error = EBUSY;
    if (error == 0 && unlink(result.source.c_str()) != 0) error = errno;
    if (error != 0) SetFailure(result, error);
  }
  status_.current = {};
  pending_.clear();
}

}  // namespace ff
