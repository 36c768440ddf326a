#include "log/log_handler.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <limits.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/error.h"
#include "platform/paths.h"

namespace ff {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

[[noreturn]] void Fail(const std::string& file, int code) {
  throw Error("Cannot write the log file '" + file + "': " + ErrnoText(code));
}

}  // namespace

TLogHandler::TLogHandler(const Clock& clock, const Environment& env)
    : LogSettings{DefaultLogFolder()}, clock_(clock), env_(env) {}

TLogHandler::TLogHandler(LogStore store, const Clock& clock, const Environment& env)
    : LogSettings{store.defaultLogPath}, store_(std::move(store)), clock_(clock), env_(env) {
  LoadLogSettings();
  DeleteOldLogs();
}

TLogHandler::~TLogHandler() {
  try {
    SaveLogSettings();
  } catch (...) {
    // At exit there is nobody to tell: the settings are simply not stored.
  }
}

bool TLogHandler::ReadStored() {
  Registry key(RootKey::LocalMachine, store_->hiveFolder);
  if (!key.OpenKey(store_->keyPath, false)) return false;
  ReadLogSettings(key, *this);
  return true;
}

bool TLogHandler::RunSetup() { return store_ && store_->setup && store_->setup(); }

void TLogHandler::LoadLogSettings() {
  if (!store_) return;
  // The dialog comes back while it is confirmed and the key still does not
  // open; a loop rather than recursion, so no confirmation can exhaust the stack.
  while (!ReadStored() && RunSetup()) {
  }
}

bool TLogHandler::ShowLogSetup() {
  if (!RunSetup()) return false;
  LoadLogSettings();
  return true;
}

void TLogHandler::SaveLogSettings() {
  if (!store_) return;
  Registry key(RootKey::LocalMachine, store_->hiveFolder);
  if (!key.OpenKey(store_->keyPath, true)) return;
  WriteLogSettings(key, *this);
}

int TLogHandler::DeleteOldLogs() {
  return SweepLogFolder(LogPath, RetentionCutoff(env_.ToLocal(clock_.Now()), LogKeepDays));
}

std::string TLogHandler::LogFileName(Instant instant) const {
  const CalendarTime t = env_.ToLocal(instant);
  return JoinPath(LogPath,
                  PadNumber(t.year, 4) + PadNumber(t.month, 2) + PadNumber(t.day, 2) + " Info.txt");
}

void TLogHandler::WriteLog(std::string_view message, bool always) {
  if (!always && !UseInfoLog) return;
  Append(&message, 1);
}

void TLogHandler::WriteLogRecords(const std::vector<std::string>& messages, bool always) {
  if ((!always && !UseInfoLog) || messages.empty()) return;
  const std::vector<std::string_view> views(messages.begin(), messages.end());
  Append(views.data(), views.size());
}

void TLogHandler::Append(const std::string_view* messages, size_t count) {
  // One reading of the clock names the file and stamps the records, so a
  // record never lands in the file of another day.
  const Instant now = clock_.Now();
  const CalendarTime t = env_.ToLocal(now);
  const std::string file = LogFileName(now);
  const std::string stamp =
      PadNumber(t.hour, 2) + PadNumber(t.minute, 2) + PadNumber(t.second, 2) + '\t';

  constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
  Fd fd(::open(file.c_str(), kFlags, 0644));
  if (fd.get() < 0 && errno == ENOENT) {
    int ignored = 0;
    MakeFolders(LogPath, ignored);  // a failure shows up when the file is opened
    fd = Fd(::open(file.c_str(), kFlags, 0644));
  }
  if (fd.get() < 0) Fail(file, errno);
  struct stat st {};
  const off_t before = ::fstat(fd.get(), &st) == 0 ? st.st_size : -1;

  // The records go out in gathered writes, without copying the messages.
  std::vector<iovec> parts;
  parts.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    parts.push_back({const_cast<char*>(stamp.data()), stamp.size()});
    parts.push_back({const_cast<char*>(messages[i].data()), messages[i].size()});
    parts.push_back({const_cast<char*>("\r\n"), 2});
  }
  iovec* next = parts.data();
  size_t left = parts.size();
  while (left > 0) {
    const ssize_t n = ::writev(fd.get(), next, static_cast<int>(std::min<size_t>(left, IOV_MAX)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int code = n < 0 ? errno : ENOSPC;
      // Take the partial records back so the log stays a sequence of whole records.
      if (before >= 0) (void)!::ftruncate(fd.get(), before);
      Fail(file, code);
    }
    size_t done = static_cast<size_t>(n);
    while (left > 0 && done >= next->iov_len) {
      done -= next->iov_len;
      ++next;
      --left;
    }
    if (left > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + done;
      next->iov_len -= done;
    }
  }
  if (::close(fd.release()) != 0) Fail(file, errno);
}

}  // namespace ff
