#include "shell/format_drive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "qt_application.h"
#include "support/fake_mounts.h"

namespace ff {
namespace {

class FakeDiskService : public DiskService {
 public:
  bool available = true;
  bool found = true;
  bool systemDevice = false;
  bool formatSucceeds = true;
  std::vector<MountEntry> lookups;
  std::vector<std::pair<FormatVolume, bool>> formats;

  bool Available() override { return available; }
  std::optional<FormatVolume> FindVolume(const MountEntry& mount) override {
    lookups.push_back(mount);
    if (!found) return std::nullopt;
    return FormatVolume{"/org/block/sdb1", mount.source, "vfat",
                        "EOS_DIGITAL",     8u << 30,     systemDevice};
  }
  bool Format(const FormatVolume& volume, bool full, std::string& error) override {
    formats.emplace_back(volume, full);
    if (!formatSucceeds) error = "Error synchronizing after formatting";
    return formatSucceeds;
  }
};

class FakeInteraction : public FormatInteraction {
 public:
  bool answer = true;
  int confirmations = 0;
  bool lastFull = false;
  std::vector<std::string> messages;

  bool ConfirmFormat(const std::string&, const FormatVolume&, bool full) override {
    ++confirmations;
    lastFull = full;
    return answer;
  }
  void Inform(const std::string& message) override { messages.push_back(message); }
};

class FormatDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mounts.AddDisk("8:0", "sda", false);
    mounts.AddDisk("8:16", "sdb", true);
    mounts.Mount(1, "8:0", mounts.At("disk"), "ext4", "/dev/sda1");
    mounts.Mount(2, "8:16", card, "vfat", "/dev/sdb1");
    mounts.Mount(3, "0:40", mounts.At("disk/ram"), "tmpfs", "tmpfs");
    mounts.Mount(4, "0:41", mounts.At("disk/net"), "nfs4", "srv:/x");
    test::WriteFile(card + "/DCIM/100CANON/IMG_0001.CR2");
    auto fake = std::make_unique<FakeDiskService>();
    service = fake.get();
    format = std::make_unique<TStFormatDrive>(std::move(fake), mounts.Source());
    format->SetInteraction(&user);
  }

  test::FakeMounts mounts;
  const std::string card = mounts.At("disk/card");
  FakeDiskService* service = nullptr;
  FakeInteraction user;
  std::unique_ptr<TStFormatDrive> format;
};

TEST_F(FormatDriveTest, DriveIsTheMountPointOfTheVolumeHoldingThePath) {
  const std::pair<std::string, std::string> cases[] = {
      {card + "/DCIM/100CANON", card},
      {card, card},
      {card + "/DCIM/../DCIM/", card},
      {card + "/not/there/yet", card},
      {mounts.At("disk/cardigan"), mounts.At("disk")},
      {"", ""},
  };
  for (const auto& [path, drive] : cases) {
    format->SetDrive(path);
    EXPECT_EQ(format->Drive(), drive) << path;
  }
  EXPECT_EQ(format->Options(), TStFormatOptionsSet{TStFormatOptions::fmtFull});
}

TEST_F(FormatDriveTest, AnythingNotRemovableIsRefusedBeforeAnythingHappens) {
  for (const std::string& path :
       {mounts.At("disk"), mounts.At("disk/ram"), mounts.At("disk/net"), std::string()}) {
    format->SetDrive(path);
    try {
      format->Execute();
      ADD_FAILURE() << "no error for " << path;
    } catch (const ESsShellFormatError& e) {
      EXPECT_STREQ(e.what(), "Invalid drive. Drive is not removable");
    }
  }
  // A card pulled after Drive was set: its mount point folder now lies on
  // the fixed disk.
  format->SetDrive(card);
  mounts.Clear();
  mounts.Mount(1, "8:0", mounts.At("disk"), "ext4", "/dev/sda1");
  EXPECT_THROW(format->Execute(), ESsShellFormatError);
  EXPECT_TRUE(service->lookups.empty());
  EXPECT_EQ(user.confirmations, 0);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(FormatDriveTest, ConfirmedFormatKeepsTypeAndLabelAndAnswersTheOutcome) {
  format->SetDrive(card + "/DCIM");
  EXPECT_TRUE(format->Execute());
  ASSERT_EQ(service->formats.size(), 1u);
  EXPECT_EQ(service->lookups.at(0).source, "/dev/sdb1");
  EXPECT_EQ(service->formats[0].first.fsType, "vfat");
  EXPECT_EQ(service->formats[0].first.label, "EOS_DIGITAL");
  EXPECT_TRUE(service->formats[0].second);
  EXPECT_TRUE(user.lastFull);

  format->SetOptions({});
  service->formatSucceeds = false;
  EXPECT_FALSE(format->Execute());
  EXPECT_FALSE(service->formats.at(1).second);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("Error synchronizing"), std::string::npos);
}

TEST_F(FormatDriveTest, NoFormatWithoutConfirmationOrService) {
  format->SetDrive(card);
  struct Case {
    const char* name;
    bool available, found, systemDevice, answer, hasUser;
    int confirmations;
    size_t messages;
  };
  const Case cases[] = {
      {"dialog closed", true, true, false, false, true, 1, 0},
      {"no disk service", false, true, false, true, true, 0, 1},
      {"unknown to the service", true, false, false, true, true, 0, 1},
      {"a system disk", true, true, true, true, true, 0, 1},
      {"nobody to ask", true, true, false, true, false, 0, 0},
  };
  for (const Case& c : cases) {
    service->available = c.available;
    service->found = c.found;
    service->systemDevice = c.systemDevice;
    user = FakeInteraction{};
    user.answer = c.answer;
    format->SetInteraction(c.hasUser ? &user : nullptr);
    EXPECT_FALSE(format->Execute()) << c.name;
    EXPECT_EQ(user.confirmations, c.confirmations) << c.name;
    EXPECT_EQ(user.messages.size(), c.messages) << c.name;
  }
  EXPECT_TRUE(service->formats.empty());
  service->available = false;
  user = FakeInteraction{};
  format->SetInteraction(&user);
  format->Execute();
  EXPECT_EQ(user.messages.at(0), kFormatNotAvailable);
}

// The desktop's own service, on a system bus that is not there: the user is
// told and nothing is formatted.
TEST_F(FormatDriveTest, WithoutASystemBusTheUserIsToldFormattingIsNotAvailable) {
  test::EnsureApplication();
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + mounts.At("no-bus")).c_str(), 1);
  TStFormatDrive real(MakeUDisks2Service(), mounts.Source());
  real.SetInteraction(&user);
  real.SetDrive(card);
  EXPECT_FALSE(real.Execute());
  EXPECT_EQ(user.messages, std::vector<std::string>{kFormatNotAvailable});
  EXPECT_EQ(user.confirmations, 0);
}

}  // namespace
}  // namespace ff
