#include "shell/shell_notification.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/error.h"
#include "qt_application.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::EnsureApplication;

// Runs the event loop until done() holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int milliseconds = 3000) {
  QDeadlineTimer deadline(milliseconds);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

void Settle() {
  WaitFor([] { return false; }, 30);
}

// The mount table as the test sets it; a change wakes the component from
// the event loop, as the kernel's wake does.
struct FakeTable {
  std::string text;
  bool refuse = false;
  int starts = 0;
  int stops = 0;
  bool running = false;
  std::function<void()> changed;
  QObject context;  // pending wakes die with the table

  void Set(std::string newText) {
    text = std::move(newText);
    QTimer::singleShot(0, &context, [this] {
      if (changed) changed();
    });
  }
};

class FakeWatch : public MountWatch {
 public:
  explicit FakeWatch(FakeTable& table) : table_(table) {}
  bool Start(std::function<void()> changed) override {
    if (table_.refuse) return false;
    ++table_.starts;
    table_.running = true;
    table_.changed = std::move(changed);
    return true;
  }
  void Stop() override {
    if (!table_.running) return;
    ++table_.stops;
    table_.running = false;
    table_.changed = nullptr;
  }
  bool Read(MountTable& table) override {
    table = MountTable(ParseMountInfo(table_.text), "/nonexistent-sysfs");
    return true;
  }

 private:
  FakeTable& table_;
};

std::string Line(int id, const std::string& mountPoint, const std::string& type = "vfat") {
  return std::to_string(id) + " 1 8:" + std::to_string(id) + " / " + mountPoint + " rw - " + type +
         " /dev/sdx" + std::to_string(id) + " rw\n";
}

const std::string kRoot = Line(1, "/", "ext4") + Line(2, "/srv/data", "ext4");

class ShellNotificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    table.text = kRoot;
    notification = std::make_unique<TStShellNotification>(std::make_unique<FakeWatch>(table));
    notification->OnMediaInsert = [this](TStShellNotification&, const TStShellItem& item) {
      events.push_back("+" + item.Path());
    };
    notification->OnMediaRemove = [this](TStShellNotification&, const TStShellItem& item) {
      events.push_back("-" + item.Path());
    };
  }

  bool WaitForEvents(size_t count) {
    return WaitFor([&] { return events.size() >= count; });
  }

  FakeTable table;
  std::unique_ptr<TStShellNotification> notification;
  std::vector<std::string> events;
};

TEST_F(ShellNotificationTest, RemovableVolumesComingAndGoingAreReportedInOrder) {
  notification->SetActive(true);
  table.Set(kRoot + Line(10, "/media/ansel/A") + Line(3, "/srv/more", "ext4"));
  ASSERT_TRUE(WaitForEvents(1));
  table.Set(kRoot + Line(10, "/media/ansel/A") + Line(11, "/media/ansel/B") +
            Line(12, "/run/media/ansel/C"));
  ASSERT_TRUE(WaitForEvents(3));
  // A swapped card is a new mount on the same mount point.
  table.Set(kRoot + Line(12, "/run/media/ansel/C") + Line(13, "/media/ansel/A"));
  ASSERT_TRUE(WaitForEvents(6));
  Settle();
  EXPECT_EQ(events,
            (std::vector<std::string>{"+/media/ansel/A", "+/media/ansel/B", "+/run/media/ansel/C",
                                      "-/media/ansel/A", "-/media/ansel/B", "+/media/ansel/A"}));

  events.clear();
  notification->SetNotifyEvents({TStNotifyEvents::neMediaInsert, TStNotifyEvents::neDriveAdd});
  table.Set(kRoot + Line(14, "/media/ansel/D"));
  ASSERT_TRUE(WaitForEvents(1));
  Settle();
  EXPECT_EQ(events, std::vector<std::string>{"+/media/ansel/D"});
}

TEST_F(ShellNotificationTest, NestedEventLoopInAHandlerDoesNotReorderOrDrop) {
  notification->OnMediaInsert = [this](TStShellNotification&, const TStShellItem& item) {
    events.push_back(item.Path() + " begins");
    if (item.Path() == "/media/A") {
      // A modal box: the next cards arrive while it is open.
      table.Set(kRoot + Line(10, "/media/A") + Line(11, "/media/B"));
      QEventLoop modal;
      QTimer::singleShot(20, [&] {
        table.Set(kRoot + Line(10, "/media/A") + Line(11, "/media/B") + Line(12, "/media/C"));
      });
      QTimer::singleShot(60, &modal, &QEventLoop::quit);
      modal.exec();
    }
    events.push_back(item.Path() + " ends");
  };
  notification->SetActive(true);
  table.Set(kRoot + Line(10, "/media/A"));
  ASSERT_TRUE(WaitForEvents(6));
  Settle();
  EXPECT_EQ(events,
            (std::vector<std::string>{"/media/A begins", "/media/A ends", "/media/B begins",
                                      "/media/B ends", "/media/C begins", "/media/C ends"}));
}

TEST_F(ShellNotificationTest, OneRegistrationWhateverTheSwitchesAndSettings) {
  const auto running = [this] { return table.starts - table.stops; };
  for (bool active : {true, false, true, true, false, false, true}) notification->SetActive(active);
  EXPECT_EQ(running(), 1);
  notification->SetNotifyEvents(kAllNotifyEvents);
  notification->SetWatchSubFolders(true);
  notification->SetSpecialWatchFolder(TStSpecialRootFolder::sfDrives);
  EXPECT_EQ(running(), 1);
  EXPECT_TRUE(notification->Registered());
  table.Set(kRoot + Line(10, "/media/A"));
  ASSERT_TRUE(WaitForEvents(1));
  Settle();
  EXPECT_EQ(events.size(), 1u);

  // Switched off: changes meanwhile are not reported, and switching on
  // again starts from the table as it is then.
  notification->SetActive(false);
  EXPECT_EQ(running(), 0);
  table.Set(kRoot + Line(11, "/media/B"));
  Settle();
  notification->SetActive(true);
  Settle();
  EXPECT_EQ(events.size(), 1u);

  // A refused registration is not reported and is tried again on the next
  // switch on.
  notification->SetActive(false);
  table.refuse = true;
  notification->SetActive(true);
  EXPECT_TRUE(notification->Active());
  EXPECT_FALSE(notification->Registered());
  table.refuse = false;
  notification->SetActive(true);
  EXPECT_TRUE(notification->Registered());
  EXPECT_EQ(running(), 1);
}

TEST_F(ShellNotificationTest, AThrowingOrDestroyingHandlerLeavesTheRestIntact) {
  std::vector<std::string> errors;
  notification->OnHandlerError = [&](const std::exception& e) { errors.push_back(e.what()); };
  notification->OnMediaInsert = [this](TStShellNotification&, const TStShellItem& item) {
    events.push_back(item.Path());
    if (item.Path() == "/media/A") throw Error("settings unreadable");
  };
  notification->SetActive(true);
  table.Set(kRoot + Line(10, "/media/A") + Line(11, "/media/B"));
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(events, (std::vector<std::string>{"/media/A", "/media/B"}));
  EXPECT_EQ(errors, std::vector<std::string>{"settings unreadable"});

  // The window closing from within a handler destroys the component while
  // another notification waits.
  notification->OnMediaInsert = [this](TStShellNotification&, const TStShellItem& item) {
    events.push_back(item.Path());
    notification.reset();
  };
  table.Set(kRoot + Line(12, "/media/C") + Line(13, "/media/D"));
  ASSERT_TRUE(WaitForEvents(3));
  Settle();
  EXPECT_EQ(events.back(), "/media/C");
  EXPECT_EQ(notification, nullptr);
  EXPECT_FALSE(table.running);
}

TEST_F(ShellNotificationTest, WatchFolderSettingsAndTheirErrors) {
  test::TempDir tmp;
  test::WriteFile(tmp / "file");
  for (const std::string& bad : {tmp / "missing", tmp / "file"}) {
    try {
      notification->SetWatchFolder(bad);
      ADD_FAILURE() << bad;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Invalid folder");
    }
  }
  EXPECT_EQ(notification->WatchFolder(), "");
  EXPECT_EQ(notification->SpecialWatchFolder(), TStSpecialRootFolder::sfDesktop);

  notification->SetWatchFolder(tmp.path());
  EXPECT_EQ(notification->WatchFolder(), tmp.path());
  EXPECT_EQ(notification->SpecialWatchFolder(), TStSpecialRootFolder::sfNone);
  notification->SetSpecialWatchFolder(TStSpecialRootFolder::sfDrives);
  EXPECT_EQ(notification->WatchFolder(), "");
  EXPECT_EQ(notification->SpecialWatchFolder(), TStSpecialRootFolder::sfDrives);
  try {
    notification->SetSpecialWatchFolder(TStSpecialRootFolder::sfCookies);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Operation not supported in this version of the shell");
  }
  EXPECT_EQ(notification->SpecialWatchFolder(), TStSpecialRootFolder::sfDrives);
}

// A real mount below /media: needs the right to mount, skipped without it.
class MediaMount {
 public:
  MediaMount() {
    ::mkdir("/media", 0755);
    char pattern[] = "/media/fotoferry-test-XXXXXX";
    if (!::mkdtemp(pattern)) return;
    folder_ = pattern;
    card_ = folder_ + "/card";
    ::mkdir(card_.c_str(), 0755);
  }
  ~MediaMount() {
    Unmount();
    if (!card_.empty()) ::rmdir(card_.c_str());
    if (!folder_.empty()) ::rmdir(folder_.c_str());
  }
  bool Mount() {
    if (card_.empty()) return false;
    mounted_ = ::mount("fotoferry-test", card_.c_str(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted_) error_ = std::strerror(errno);
    return mounted_;
  }
  void Unmount() {
    if (mounted_) ::umount2(card_.c_str(), MNT_DETACH);
    mounted_ = false;
  }
  const std::string& card() const { return card_; }
  const std::string& error() const { return error_; }

 private:
  std::string folder_, card_, error_ = "cannot make a folder below /media";
  bool mounted_ = false;
};

TEST(ShellNotificationReal, MountAndUnmountBelowMediaAreInsertAndRemove) {
  EnsureApplication();
  MediaMount media;
  TStShellNotification notification;
  std::vector<std::string> events;
  notification.OnMediaInsert = [&](TStShellNotification&, const TStShellItem& item) {
    events.push_back("+" + item.Path());
    EXPECT_EQ(item.DisplayName(), "card");
  };
  notification.OnMediaRemove = [&](TStShellNotification&, const TStShellItem& item) {
    events.push_back("-" + item.Path());
  };
  for (bool active : {true, false, true, true}) notification.SetActive(active);
  ASSERT_TRUE(notification.Registered());
  if (!media.Mount()) GTEST_SKIP() << "mounting tmpfs refused: " << media.error();
  EXPECT_TRUE(WaitFor([&] { return !events.empty(); }));
  media.Unmount();
  EXPECT_TRUE(WaitFor([&] { return events.size() >= 2; }));
  Settle();
  EXPECT_EQ(events, (std::vector<std::string>{"+" + media.card(), "-" + media.card()}));
}

}  // namespace
}  // namespace ff
