#include "shell/shell_notification.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <iostream>

#include "platform/error.h"
#include "platform/paths.h"

namespace ff {
namespace {

// The identity of a mount: a new medium on the same mount point is a new
// mount, even where the kernel reuses the mount's number.
std::string MountKey(const MountEntry& entry) {
  return std::to_string(entry.id) + " " + std::to_string(entry.major) + ":" +
         std::to_string(entry.minor) + " " + entry.mountPoint;
}

bool SupportedHere(TStSpecialRootFolder folder) {
  using enum TStSpecialRootFolder;
  switch (folder) {
    case sfInternet:
    case sfAltStartup:
    case sfCommonAltStartup:
    case sfCommonFavorites:
    case sfInternetCache:
    case sfCookies:
    case sfHistory:
      return false;
    default:
      return true;
  }
}

class MountInfoWatch : public MountWatch {
 public:
  explicit MountInfoWatch(MountSource source) : source_(std::move(source)) {}
  ~MountInfoWatch() override { Stop(); }

  bool Start(std::function<void()> changed) override {
    Stop();
    fd_ = ::open(source_.mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Exception);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [changed = std::move(changed)] { changed(); });
    return true;
  }

  void Stop() override {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  bool Read(MountTable& table) override {
    if (fd_ < 0) {
      table = MountTable::Read(source_);
      return true;
    }
    // Read through the watched descriptor: it sees the table the wake
    // announced.
    if (::lseek(fd_, 0, SEEK_SET) != 0) return false;
    std::string text;
    char buffer[16384];
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    table = MountTable(ParseMountInfo(text), source_.sysfsRoot);
    return true;
  }

 private:
  MountSource source_;
  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

std::string LastFolder(const std::string& path) {
  const std::string name(FileNamePart(path));
  return name.empty() ? path : name;
}

}  // namespace

TStShellItem::TStShellItem(std::string path)
    : path_(std::move(path)), displayName_(LastFolder(path_)) {}

std::unique_ptr<MountWatch> MakeMountInfoWatch(MountSource source) {
  return std::make_unique<MountInfoWatch>(std::move(source));
}

TStShellNotification::TStShellNotification() : TStShellNotification(MakeMountInfoWatch()) {}

TStShellNotification::TStShellNotification(std::unique_ptr<MountWatch> watch)
    : watch_(std::move(watch)), receiver_(std::make_unique<QObject>()) {}

TStShellNotification::~TStShellNotification() {
  *alive_ = false;
  Withdraw();
}

void TStShellNotification::SetActive(bool active) {
  active_ = active;
  if (active && !registered_) Register();
  if (!active) Withdraw();
}

void TStShellNotification::SetNotifyEvents(TStNotifyEventsSet events) {
  notifyEvents_ = events;
  Reregister();
}

void TStShellNotification::SetSpecialWatchFolder(TStSpecialRootFolder folder) {
  if (folder == specialWatchFolder_) return;
  if (folder == TStSpecialRootFolder::sfNone) {
    specialWatchFolder_ = folder;
    return;
  }
  if (!SupportedHere(folder)) throw Error(kNotSupportedByShell);
  specialWatchFolder_ = folder;
  watchFolder_.clear();
  Reregister();
}

void TStShellNotification::SetWatchFolder(const std::string& folder) {
  struct stat st {};
  if (!folder.empty() && (::stat(AbsolutePath(folder).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
    throw Error(kInvalidFolder);
  watchFolder_ = folder;
  specialWatchFolder_ = TStSpecialRootFolder::sfNone;
  Reregister();
}

void TStShellNotification::SetWatchSubFolders(bool watch) {
  watchSubFolders_ = watch;
  Reregister();
}

void TStShellNotification::Reregister() {
  if (active_) Register();
}

void TStShellNotification::Register() {
  Withdraw();
  if (!watch_->Start([this] { TableChanged(); })) return;
  MountTable table;
  if (!watch_->Read(table)) {
    watch_->Stop();
    return;
  }
  known_ = Snapshot(table);
  registered_ = true;
}

void TStShellNotification::Withdraw() {
  if (!registered_) return;
  watch_->Stop();
  registered_ = false;
  known_.clear();
}

std::map<std::string, TStShellNotification::Known> TStShellNotification::Snapshot(
    const MountTable& table) const {
  std::map<std::string, Known> snapshot;
  for (const MountEntry& entry : table.Entries()) {
    const std::string key = MountKey(entry);
    const auto known = known_.find(key);
    // A volume's kind is judged once, while its device is still there.
    snapshot[key] = known != known_.end()
                        ? known->second
                        : Known{entry.mountPoint, table.TypeOf(entry) == DriveType::Removable};
  }
  return snapshot;
}

void TStShellNotification::TableChanged() {
  if (!registered_) return;
  MountTable table;
  if (!watch_->Read(table)) return;  // the next wake reads it again
  std::map<std::string, Known> now = Snapshot(table);
  for (const auto& [key, known] : known_) {
    if (known.removable && !now.count(key))
      Enqueue(TStNotifyEvents::neMediaRemove, known.mountPoint);
  }
  // In the table's order, which is the order of mounting.
  for (const MountEntry& entry : table.Entries()) {
    const std::string key = MountKey(entry);
    if (!known_.count(key) && now[key].removable)
      Enqueue(TStNotifyEvents::neMediaInsert, entry.mountPoint);
  }
  known_ = std::move(now);
}

void TStShellNotification::Enqueue(TStNotifyEvents kind, const std::string& path) {
  if (!notifyEvents_.Contains(kind)) return;
  queue_.push_back({kind, path});
  // A drain runs, or is due, while the queue holds anything: only the first
  // entry asks for one, so a handler's nested event loop never starts a
  // second delivery.
  if (queue_.size() == 1)
    QMetaObject::invokeMethod(
        receiver_.get(), [this] { Drain(); }, Qt::QueuedConnection);
}

void TStShellNotification::Drain() {
  if (draining_) return;
  draining_ = true;
  const std::shared_ptr<bool> alive = alive_;
  while (!queue_.empty()) {
    // The entry stays first in the queue while its handler runs.
    const Pending pending = queue_.front();
    const MediaEvent& handler =
        pending.kind == TStNotifyEvents::neMediaInsert ? OnMediaInsert : OnMediaRemove;
    if (handler) {
      const MediaEvent call = handler;  // the handler may replace itself
      try {
        call(*this, TStShellItem(pending.path));
      } catch (const std::exception& error) {
        if (!*alive) return;
        if (OnHandlerError)
          OnHandlerError(error);
        else
          std::cerr << "fotoferry: media notification: " << error.what() << "\n";
      } catch (...) {
        if (!*alive) return;
        std::cerr << "fotoferry: media notification: a handler failed\n";
      }
      if (!*alive) return;
    }
    queue_.pop_front();
  }
  draining_ = false;
}

}  // namespace ff
