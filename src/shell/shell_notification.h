// TStShellNotification: tells the program when a removable volume is
// mounted (a medium inserted) or unmounted (removed), from a watch on the
// mount table. Everything runs on the user-interface thread's event loop.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/mounts.h"
#include "shell/flag_set.h"

class QObject;

namespace ff {

enum class TStNotifyEvents {
  neAssociationChange,
  neAttributesChange,
  neFileChange,
  neFileCreate,
  neFileDelete,
  neFileRename,
  neDriveAdd,
  neDriveRemove,
  neShellDriveAdd,
  neDriveSpaceChange,
  neMediaInsert,
  neMediaRemove,
  neFolderCreate,
  neFolderDelete,
  neFolderRename,
  neFolderUpdate,
  neNetShare,
  neNetUnShare,
  neServerDisconnect,
  neImageListChange,
};
using TStNotifyEventsSet = FlagSet<TStNotifyEvents>;
inline constexpr TStNotifyEventsSet kAllNotifyEvents = TStNotifyEventsSet::FromBits((1u << 20) - 1);

// The desktop's special folders a watch can be rooted at; sfNone while a
// path (WatchFolder) is watched instead.
enum class TStSpecialRootFolder {
  sfNone,
  sfAltStartup,
  sfAppData,
  sfBitBucket,
  sfCommonAltStartup,
  sfCommonAppData,
  sfCommonDesktopDir,
  sfCommonFavorites,
  sfCommonPrograms,
  sfCommonStartMenu,
  sfCommonStartup,
  sfControls,
  sfCookies,
  sfDesktop,
  sfDesktopDirectory,
  sfDrives,
  sfFavorites,
  sfFonts,
  sfHistory,
  sfInternet,
  sfInternetCache,
  sfLocalAppData,
  sfNetHood,
  sfNetwork,
  sfPersonal,
  sfPrinters,
  sfPrintHood,
  sfPrograms,
  sfRecentFiles,
  sfSendTo,
  sfStartMenu,
  sfStartup,
  sfTemplates,
  sfMyPictures,
};

inline constexpr char kInvalidFolder[] = "Invalid folder";
inline constexpr char kNotSupportedByShell[] =
    "Operation not supported in this version of the shell";

// The volume a notification is about.
class TStShellItem {
 public:
  explicit TStShellItem(std::string path);
  // The volume's mount point.
  const std::string& Path() const { return path_; }
  // The name the desktop shows for it: the last folder of the mount point.
  const std::string& DisplayName() const { return displayName_; }

 private:
  std::string path_;
  std::string displayName_;
};

// The watched mount table: what wakes the component and what it reads then.
class MountWatch {
 public:
  virtual ~MountWatch() = default;
  // Starts watching; changed is called from the event loop of the calling
  // thread after the table changed. False when the table cannot be watched.
  virtual bool Start(std::function<void()> changed) = 0;
  virtual void Stop() = 0;
  // The table as it stands now; false when it could not be read.
  virtual bool Read(MountTable& table) = 0;
};

// Watches source's mountinfo file: the kernel wakes poll with POLLPRI on
// every mount change.
std::unique_ptr<MountWatch> MakeMountInfoWatch(MountSource source = {});

class TStShellNotification {
 public:
  using MediaEvent = std::function<void(TStShellNotification& sender, const TStShellItem& item)>;

  // Watches this process's mount table.
  TStShellNotification();
  explicit TStShellNotification(std::unique_ptr<MountWatch> watch);
  ~TStShellNotification();
  TStShellNotification(const TStShellNotification&) = delete;
  TStShellNotification& operator=(const TStShellNotification&) = delete;

  // While true the component is registered with the watch (a refused
  // registration is tried again when Active is set to true again).
  bool Active() const { return active_; }
  void SetActive(bool active);
  bool Registered() const { return registered_; }

  // Which kinds are reported; all of them until set. Of these, the mount
  // table yields neMediaInsert and neMediaRemove.
  TStNotifyEventsSet NotifyEvents() const { return notifyEvents_; }
  void SetNotifyEvents(TStNotifyEventsSet events);

  // Where the watch is rooted. Media changes are reported wherever it is.
  // Special folders without a counterpart on this system throw Error
  // (kNotSupportedByShell); a WatchFolder that is not an existing folder
  // throws Error (kInvalidFolder). Both leave the settings unchanged.
  TStSpecialRootFolder SpecialWatchFolder() const { return specialWatchFolder_; }
  void SetSpecialWatchFolder(TStSpecialRootFolder folder);
  const std::string& WatchFolder() const { return watchFolder_; }
  void SetWatchFolder(const std::string& folder);
  bool WatchSubFolders() const { return watchSubFolders_; }
  void SetWatchSubFolders(bool watch);

  // Raised from the event loop, one notification at a time, in the order the
  // mount table changed. A handler may run a nested event loop: notifications
  // arriving meanwhile wait and follow after it returns. A handler may
  // destroy the component.
  MediaEvent OnMediaInsert;
  MediaEvent OnMediaRemove;
  // Called when a handler throws; that notification is done and the next one
  // follows. Without it the error is written to stderr.
  std::function<void(const std::exception& error)> OnHandlerError;

 private:
  struct Known {
    std::string mountPoint;
    bool removable = false;
  };
  struct Pending {
    TStNotifyEvents kind;
    std::string path;
  };

  void Register();
  void Withdraw();
  void Reregister();
  void TableChanged();
  void Enqueue(TStNotifyEvents kind, const std::string& path);
  void Drain();
  std::map<std::string, Known> Snapshot(const MountTable& table) const;

  std::unique_ptr<MountWatch> watch_;
  std::unique_ptr<QObject> receiver_;  // owns the queued drain calls
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool active_ = false;
  bool registered_ = false;
  bool draining_ = false;
  TStNotifyEventsSet notifyEvents_ = kAllNotifyEvents;
  TStSpecialRootFolder specialWatchFolder_ = TStSpecialRootFolder::sfDesktop;
  std::string watchFolder_;
  bool watchSubFolders_ = false;
  std::map<std::string, Known> known_;
  std::deque<Pending> queue_;
};

}  // namespace ff
