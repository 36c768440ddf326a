#include "platform/mounts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace ff {
namespace {

namespace fs = std::filesystem;

TEST(MountInfo, ParsesFieldsOptionalTagsAndEscapes) {
  const std::string text =
      "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n"
      "garbage line\n"
      "40 36 8:17 / /media/ansel/MY\\040CARD\\134x rw shared:5 unbindable - vfat /dev/sdb1 rw\n"
      "41 36 0:50 / /srv/nfs rw - nfs4 server:/export\\011tab rw\n"
      "42 36 0:51 / relative rw - tmpfs none rw\n";
  const std::vector<MountEntry> entries = ParseMountInfo(text);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].id, 36);
  EXPECT_EQ(entries[0].parentId, 35);
  EXPECT_EQ(entries[0].major, 98u);
  EXPECT_EQ(entries[0].root, "/mnt1");
  EXPECT_EQ(entries[0].mountPoint, "/mnt2");
  EXPECT_EQ(entries[0].fsType, "ext3");
  EXPECT_EQ(entries[0].source, "/dev/root");
  EXPECT_EQ(entries[1].minor, 17u);
  EXPECT_EQ(entries[1].mountPoint, "/media/ansel/MY CARD\\x");
  EXPECT_EQ(entries[1].fsType, "vfat");
  EXPECT_EQ(entries[2].source, "server:/export\ttab");
  EXPECT_EQ(UnescapeMountField("a\\04b\\"), "a\\04b\\");
}

// Real folders below a temporary folder stand in for mount points, so the
// path rules (existence, symbolic links) work on real paths.
class MountTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::canonical(tmp.path()).string();
    for (const char* folder : {"root", "root/card", "root/card2", "root/card/DCIM", "sys"})
      fs::create_directories(At(folder));
    fs::create_symlink(At("root/card/DCIM"), At("root/link"));
  }

  // A block device in the fake sysfs: devicePath below sys/devices, linked
  // from sys/dev/block/<major>:<minor>.
  void AddBlock(const std::string& number, const std::string& devicePath,
                const std::string& diskRemovable, bool partition = true) {
    const fs::path device = fs::path(At("sys/devices")) / devicePath;
    fs::create_directories(device);
    if (partition) {
      test::WriteFile((device / "partition").string(), "1\n");
      test::WriteFile((device.parent_path() / "removable").string(), diskRemovable + "\n");
    } else {
      test::WriteFile((device / "removable").string(), diskRemovable + "\n");
    }
    fs::create_directories(At("sys/dev/block"));
    fs::create_symlink(device, fs::path(At("sys/dev/block")) / number);
  }

  std::string Line(int id, const std::string& number, const std::string& mountPoint,
                   const std::string& type, const std::string& source) {
    return std::to_string(id) + " 1 " + number + " / " + mountPoint + " rw - " + type + " " +
           source + " rw\n";
  }

  MountTable Table(const std::string& text) { return MountTable(ParseMountInfo(text), At("sys")); }

  // A path below the temporary folder, free of symbolic links.
  std::string At(const std::string& relative) const { return base + "/" + relative; }

  test::TempDir tmp;
  std::string base;
};

TEST_F(MountTableTest, VolumeOfTakesLongestMountPointOnFolderBoundaries) {
  const std::string root = At("root");
  const MountTable table =
      Table(Line(1, "8:1", "/", "ext4", "/dev/sda1") + Line(2, "8:2", root, "ext4", "/dev/sda2") +
            Line(3, "8:17", root + "/card", "vfat", "/dev/sdb1") +
            Line(4, "8:33", root + "/card", "vfat", "/dev/sdc1"));
  struct Case {
    std::string path;
    int id;
  };
  const Case cases[] = {
      {root + "/card/DCIM/100CANON/IMG_0001.CR2", 4},  // stacked: the top mount
      {root + "/card", 4},
      {root + "/card/", 4},
      {root + "/card2/x", 2},  // "card" is no folder of "card2"
      {root + "/card/../card2", 2},
      {root + "/link/img.jpg", 4},  // symbolic link into the card
      {"/usr", 1},
  };
  for (const Case& c : cases) {
    const MountEntry* entry = table.VolumeOf(c.path);
    ASSERT_NE(entry, nullptr) << c.path;
    EXPECT_EQ(entry->id, c.id) << c.path;
  }
  EXPECT_EQ(table.VolumeOf(""), nullptr);
  EXPECT_EQ(Table(Line(2, "8:2", root, "ext4", "/dev/sda2")).VolumeOf("/usr"), nullptr);
}

TEST_F(MountTableTest, DriveTypesFromFileSystemMountPointAndSysfs) {
  AddBlock("8:17", "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sdb/sdb1", "1");
  AddBlock("8:33",
           "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdc/sdc1",
           "0");
  AddBlock("179:1", "platform/fe320000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0/mmcblk0p1", "0");
  test::WriteFile(At("sys/devices/platform/fe320000.mmc/mmc_host/mmc0/mmc0:aaaa/type"), "SD\n");
  AddBlock("179:9", "platform/fe330000.mmc/mmc_host/mmc1/mmc1:0001/block/mmcblk1/mmcblk1p2", "0");
  test::WriteFile(At("sys/devices/platform/fe330000.mmc/mmc_host/mmc1/mmc1:0001/type"), "MMC\n");
  AddBlock("254:1", "pci0000:00/0000:00:04.0/virtio2/block/vda/vda1", "0");
  AddBlock("8:49", "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0/block/sdd", "1",
           /*partition=*/false);
  struct Case {
    std::string number, mountPoint, type, source;
    DriveType expected;
  };
  const Case cases[] = {
      {"8:17", "/mnt/reader", "vfat", "/dev/sdb1", DriveType::Removable},  // disk removable=1
      {"8:33", "/mnt/stick", "exfat", "/dev/sdc1", DriveType::Removable},  // on a USB bus
      {"179:1", "/mnt/sd", "vfat", "/dev/mmcblk0p1", DriveType::Removable},
      {"179:9", "/", "ext4", "/dev/mmcblk1p2", DriveType::Fixed},        // soldered eMMC
      {"8:49", "/mnt/whole", "vfat", "/dev/sdd", DriveType::Removable},  // unpartitioned
      {"254:1", "/", "ext4", "/dev/vda1", DriveType::Fixed},
      {"254:1", "/media/ansel/Data", "ext4", "/dev/vda1", DriveType::Removable},
      {"254:1", "/run/media/ansel/Data", "ext4", "/dev/vda1", DriveType::Removable},
      {"254:1", "/mediaX/data", "ext4", "/dev/vda1", DriveType::Fixed},
      {"0:33", "/home", "btrfs", "/dev/vda2", DriveType::Fixed},
      {"0:40", "/net/a", "nfs4", "srv:/a", DriveType::Remote},
      {"0:41", "/net/b", "cifs", "//srv/b", DriveType::Remote},
      {"0:42", "/media/ansel/remote", "fuse.sshfs", "me@srv:", DriveType::Remote},
      {"0:43", "/mnt/9p", "9p", "host", DriveType::Remote},
      {"11:0", "/media/ansel/DISC", "iso9660", "/dev/sr0", DriveType::CdRom},
      {"7:0", "/mnt/img", "udf", "/dev/loop0", DriveType::CdRom},
      {"0:44", "/tmp", "tmpfs", "tmpfs", DriveType::RamDisk},
      {"0:45", "/dev/shm", "ramfs", "none", DriveType::RamDisk},
      {"0:46", "/media/test/card", "tmpfs", "none", DriveType::Removable},
      {"0:21", "/proc", "proc", "proc", DriveType::Unknown},
      {"9:9", "/mnt/nosysfs", "ext4", "/dev/md9", DriveType::Fixed},  // no sysfs entry
  };
  for (const Case& c : cases) {
    const std::vector<MountEntry> entries =
        ParseMountInfo(Line(1, c.number, c.mountPoint, c.type, c.source));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(Table("").TypeOf(entries[0]), c.expected) << c.mountPoint << " " << c.type;
  }
}

TEST_F(MountTableTest, PathTypeAndNameNeedAnExistingPath) {
  AddBlock("8:17", "pci0000:00/0000:00:14.0/usb1/1-1/block/sdb/sdb1", "1");
  const std::string card = At("root/card");
  const MountSource source = MountSource::FromText(
      Line(1, "254:1", "/", "ext4", "/dev/vda1") + Line(2, "8:17", card, "vfat", "/dev/sdb1"),
      At("sys"));
  const MountTable table = MountTable::Read(source);
  EXPECT_EQ(table.DriveTypeOf(card + "/DCIM"), DriveType::Removable);
  EXPECT_EQ(table.DriveTypeOf(card + "/missing"), DriveType::NoRootDir);
  EXPECT_EQ(table.DriveTypeOf(""), DriveType::NoRootDir);
  EXPECT_EQ(DriveTypeName(card + "/DCIM", source), "Removable");
  EXPECT_EQ(DriveTypeName(At("root"), source), "Fixed");
  EXPECT_EQ(DriveTypeName(card + "/missing", source), "Path does not exists");
  EXPECT_EQ(VolumeMountPoint(card + "/DCIM/x.jpg", source), card);
  EXPECT_EQ(VolumeMountPoint("", source), "");
  // A table that cannot be read holds no volume.
  MountSource missing;
  missing.mountInfoPath = At("no-such-mountinfo");
  EXPECT_EQ(DriveTypeName(card, missing), "?");
}

TEST(DriveTypeAnswerName, NamesEveryAnswer) {
  const std::pair<int, const char*> cases[] = {
      {-1, "Unknown"},  {0, "?"},       {1, "Path does not exists"},
      {2, "Removable"}, {3, "Fixed"},   {4, "Remote"},
      {5, "CD-ROM"},    {6, "RAMDISK"}, {7, "Unknown"},
  };
  for (const auto& [answer, name] : cases) EXPECT_EQ(DriveTypeAnswerName(answer), name) << answer;
}

TEST(MountTableReal, ReadsThisProcessesMountTable) {
  EXPECT_EQ(VolumeMountPoint("/proc/self/status"), "/proc");
  EXPECT_EQ(DriveTypeName("/proc"), "?");
  EXPECT_EQ(DriveTypeName("/no/such/path/anywhere"), "Path does not exists");
}

}  // namespace
}  // namespace ff
