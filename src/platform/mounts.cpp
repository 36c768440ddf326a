#include "platform/mounts.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/paths.h"

namespace ff {
namespace {

namespace fs = std::filesystem;

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos == line.size()) break;
    const size_t end = std::min(line.find(' ', pos), line.size());
    fields.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return fields;
}

bool ParseNumber(std::string_view text, unsigned& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

bool ParseLine(std::string_view line, MountEntry& entry) {
  // id parent major:minor root mount-point options [optional...] - type source super-options
  const std::vector<std::string_view> fields = SplitBlanks(line);
  if (fields.size() < 9) return false;
  size_t dash = 6;
  while (dash < fields.size() && fields[dash] != "-") ++dash;
  if (dash + 2 >= fields.size()) return false;
  unsigned id = 0, parent = 0;
  const size_t colon = fields[2].find(':');
  if (!ParseNumber(fields[0], id) || !ParseNumber(fields[1], parent) ||
      colon == std::string_view::npos || !ParseNumber(fields[2].substr(0, colon), entry.major) ||
      !ParseNumber(fields[2].substr(colon + 1), entry.minor))
    return false;
  entry.id = static_cast<int>(id);
  entry.parentId = static_cast<int>(parent);
  entry.root = UnescapeMountField(fields[3]);
  entry.mountPoint = UnescapeMountField(fields[4]);
  entry.fsType = UnescapeMountField(fields[dash + 1]);
  entry.source = UnescapeMountField(fields[dash + 2]);
  return !entry.mountPoint.empty() && entry.mountPoint.front() == '/';
}

// True when mountPoint is path itself or one of its folders.
bool Holds(std::string_view mountPoint, std::string_view path) {
  if (mountPoint == "/") return true;
  if (path.compare(0, mountPoint.size(), mountPoint) != 0) return false;
  return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

bool Below(std::string_view path, std::string_view folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}

bool OneOf(std::string_view value, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), value) != names.end();
}

bool IsRemoteType(std::string_view type) {
  return OneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "davfs",
                      "fuse.davfs", "fuse.davfs2"});
}

// A volume that lives on a block device. Some local file systems (btrfs,
// zfs) report an anonymous device number; their source still names them.
bool OnBlockDevice(const MountEntry& entry) {
  return entry.major != 0 || entry.source.compare(0, 5, "/dev/") == 0 ||
         OneOf(entry.fsType, {"zfs", "bcachefs"});
}

std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string value;
  std::getline(in, value);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\n')) value.pop_back();
  return value;
}

// The path made absolute; free of symbolic links as far as it exists.
std::string ResolvedPath(std::string_view path) {
  const std::string absolute = AbsolutePath(path);
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(fs::path(absolute), ec);
  if (ec) return absolute;
  std::string text = resolved.string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string UnescapeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
        IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> entries;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    MountEntry entry;
    if (ParseLine(text.substr(pos, end - pos), entry)) entries.push_back(std::move(entry));
    pos = end + 1;
  }
  return entries;
}

MountSource MountSource::FromText(std::string mountInfo, std::string sysfs) {
  MountSource source;
  source.useText = true;
  source.text = std::move(mountInfo);
  source.sysfsRoot = std::move(sysfs);
  return source;
}

MountTable::MountTable(std::vector<MountEntry> entries, std::string sysfsRoot)
    : entries_(std::move(entries)), sysfsRoot_(std::move(sysfsRoot)) {}

MountTable MountTable::Read(const MountSource& source) {
  if (source.useText) return MountTable(ParseMountInfo(source.text), source.sysfsRoot);
  std::ifstream in(source.mountInfoPath);
  std::ostringstream text;
  text << in.rdbuf();
  return MountTable(ParseMountInfo(text.str()), source.sysfsRoot);
}

const MountEntry* MountTable::VolumeOf(std::string_view path) const {
  if (path.empty()) return nullptr;
  const std::string resolved = ResolvedPath(path);
  const MountEntry* best = nullptr;
  for (const MountEntry& entry : entries_) {
    if (!Holds(entry.mountPoint, resolved)) continue;
    // ">=": a later mount on the same mount point lies on top.
    if (!best || entry.mountPoint.size() >= best->mountPoint.size()) best = &entry;
  }
  return best;
}

bool MountTable::OnRemovableDevice(const MountEntry& entry) const {
  if (entry.major == 0) return false;
  std::error_code ec;
  const fs::path link = fs::path(sysfsRoot_) / "dev" / "block" /
                        (std::to_string(entry.major) + ":" + std::to_string(entry.minor));
  const fs::path device = fs::canonical(link, ec);
  if (ec) return false;
  if (ReadAttribute(device / "removable") == "1") return true;
  // A partition's disk is the folder above it.
  if (fs::exists(device / "partition", ec) &&
      ReadAttribute(device.parent_path() / "removable") == "1")
    return true;
  // Card readers and sticks that call themselves fixed still sit on a USB or
  // MMC/SD bus.
  const fs::path root = fs::canonical(sysfsRoot_, ec);
  if (ec) return false;
  fs::path walked = root;
  for (const fs::path& part : device.lexically_relative(root)) {
    walked /= part;
    const std::string name = part.string();
    if (name.compare(0, 3, "usb") == 0) return true;
    // An MMC card ("mmc0:0001"): an SD card is removable, a soldered eMMC
    // (type "MMC") is the machine's own disk.
    if (name.compare(0, 3, "mmc") == 0 && name.find(':') != std::string::npos)
      return ReadAttribute(walked / "type") != "MMC";
  }
  return false;
}

DriveType MountTable::TypeOf(const MountEntry& entry) const {
  if (IsRemoteType(entry.fsType)) return DriveType::Remote;
  if (OneOf(entry.fsType, {"iso9660", "udf"})) return DriveType::CdRom;
  if (Below(entry.mountPoint, "/media") || Below(entry.mountPoint, "/run/media"))
    return DriveType::Removable;
  if (OneOf(entry.fsType, {"tmpfs", "ramfs"})) return DriveType::RamDisk;
  if (!OnBlockDevice(entry)) return DriveType::Unknown;
  return OnRemovableDevice(entry) ? DriveType::Removable : DriveType::Fixed;
}

DriveType MountTable::DriveTypeOf(std::string_view path) const {
  if (path.empty()) return DriveType::NoRootDir;
  struct stat st {};
  if (::stat(AbsolutePath(path).c_str(), &st) != 0) return DriveType::NoRootDir;
  const MountEntry* entry = VolumeOf(path);
  return entry ? TypeOf(*entry) : DriveType::Unknown;
}

std::string VolumeMountPoint(std::string_view path, const MountSource& source) {
  if (path.empty()) return {};
  const MountTable table = MountTable::Read(source);
  const MountEntry* entry = table.VolumeOf(path);
  return entry ? entry->mountPoint : std::string();
}

std::string DriveTypeAnswerName(int answer) {
  static constexpr std::array<const char*, 7> kNames = {
      "?", "Path does not exists", "Removable", "Fixed", "Remote", "CD-ROM", "RAMDISK"};
  if (answer < 0 || answer >= static_cast<int>(kNames.size())) return "Unknown";
  return kNames[static_cast<size_t>(answer)];
}

std::string DriveTypeName(std::string_view path, const MountSource& source) {
  return DriveTypeAnswerName(static_cast<int>(MountTable::Read(source).DriveTypeOf(path)));
}

}  // namespace ff
