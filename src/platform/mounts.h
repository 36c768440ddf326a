// The mount table and drive types: which mounted volume holds a path, and
// what kind of drive that volume is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ff {

// One line of /proc/self/mountinfo, with its octal escapes decoded.
struct MountEntry {
  int id = 0;
  int parentId = 0;
  unsigned major = 0;
  unsigned minor = 0;
  std::string root;        // the folder of the file system mounted here
  std::string mountPoint;  // absolute, as the process sees it
  std::string fsType;      // "vfat", "nfs4", "fuse.sshfs", ...
  std::string source;      // "/dev/sdb1", "server:/export", ...
};

// Decodes the octal escapes ("\040" for a blank) of a mountinfo field; a
// backslash not followed by three octal digits is kept.
std::string UnescapeMountField(std::string_view field);

// Parses mountinfo text; lines that do not have the mountinfo form are
// skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The answers of the drive type query, numbered as the program has always
// numbered them.
enum class DriveType : int {
  Unknown = 0,
  NoRootDir = 1,  // the path does not exist
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// Where the mount table and the block-device attributes are read from.
// Tests point both at fakes.
struct MountSource {
  std::string mountInfoPath = "/proc/self/mountinfo";
  // When set, parsed instead of reading mountInfoPath.
  bool useText = false;
  std::string text;
  std::string sysfsRoot = "/sys";

  static MountSource FromText(std::string mountInfo, std::string sysfs = "/sys");
};

// A snapshot of the mount table.
class MountTable {
 public:
  MountTable() = default;
  MountTable(std::vector<MountEntry> entries, std::string sysfsRoot);

  // Reads the table; an unreadable table is an empty one.
  static MountTable Read(const MountSource& source = {});

  const std::vector<MountEntry>& Entries() const { return entries_; }

  // The mount holding path: the longest mount point that is path itself or
  // one of its folders, after path is made absolute (and, where it exists,
  // freed of symbolic links). Of mounts stacked on one mount point the top
  // one counts. nullptr when none matches (or path is empty).
  const MountEntry* VolumeOf(std::string_view path) const;

  // The kind of drive a mounted volume is.
  DriveType TypeOf(const MountEntry& entry) const;

  // The kind of drive holding path; NoRootDir when path does not exist.
  DriveType DriveTypeOf(std::string_view path) const;

 private:
  bool OnRemovableDevice(const MountEntry& entry) const;

  std::vector<MountEntry> entries_;
  std::string sysfsRoot_ = "/sys";
};

// The mount point of the volume holding path; empty when path is empty or
// no mount holds it.
std::string VolumeMountPoint(std::string_view path, const MountSource& source = {});

// The name of a numeric drive type answer: 0 "?", 1 "Path does not exists",
// 2 "Removable", 3 "Fixed", 4 "Remote", 5 "CD-ROM", 6 "RAMDISK", anything
// else "Unknown".
std::string DriveTypeAnswerName(int answer);

// The name of the kind of drive holding path, as DriveTypeAnswerName names it.
std::string DriveTypeName(std::string_view path, const MountSource& source = {});

}  // namespace ff
