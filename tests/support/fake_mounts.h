// A fake mount table and sysfs below a temporary folder, for tests that need
// removable and fixed volumes at real paths.
#pragma once

#include <filesystem>
#include <string>

#include "platform/mounts.h"
#include "support/temp_dir.h"

namespace ff::test {

class FakeMounts {
 public:
  FakeMounts() : base_(std::filesystem::canonical(tmp_.path()).string()) {
    std::filesystem::create_directories(At("sys/dev/block"));
  }

  // A path below the temporary folder, free of symbolic links.
  std::string At(const std::string& relative) const { return base_ + "/" + relative; }

  // A disk in the fake sysfs, numbered "major:minor", removable or not.
  void AddDisk(const std::string& number, const std::string& name, bool removable) {
    const std::filesystem::path device =
        std::filesystem::path(At("sys/devices/pci0000:00/0000:00:1f.2/ata1/block")) / name;
    std::filesystem::create_directories(device);
    WriteFile((device / "removable").string(), removable ? "1\n" : "0\n");
    std::filesystem::create_symlink(device, At("sys/dev/block/" + number));
  }

  // Appends a mountinfo line; the mount point folder is created when it
  // lies below the temporary folder.
  void Mount(int id, const std::string& number, const std::string& mountPoint,
             const std::string& type = "vfat", const std::string& source = "/dev/sdb1") {
    if (mountPoint.compare(0, base_.size(), base_) == 0)
      std::filesystem::create_directories(mountPoint);
    text_ += std::to_string(id) + " 1 " + number + " / " + mountPoint + " rw - " + type + " " +
             source + " rw\n";
    WriteFile(At("mountinfo"), text_);
  }

  const std::string& Text() const { return text_; }
  void Clear() {
    text_.clear();
    WriteFile(At("mountinfo"), text_);
  }
  // Reads the table as it stands at each use.
  MountSource Source() const {
    MountSource source;
    source.mountInfoPath = At("mountinfo");
    source.sysfsRoot = At("sys");
    return source;
  }
  MountTable Table() const { return MountTable::Read(Source()); }

 private:
  TempDir tmp_;
  std::string base_;
  std::string text_;
};

}  // namespace ff::test
