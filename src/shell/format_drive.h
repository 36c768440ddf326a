// TStFormatDrive: formats one removable drive, after the user has seen what
// will be formatted and started it, through the desktop's disk service.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/mounts.h"
#include "shell/flag_set.h"
#include "shell/shell_component.h"

namespace ff {

enum class TStFormatOptions { fmtSystemOnly, fmtFull };
using TStFormatOptionsSet = FlagSet<TStFormatOptions>;

// A formattable volume as the disk service knows it.
struct FormatVolume {
  std::string id;      // the service's name for the block device
  std::string device;  // "/dev/sdb1"
  std::string fsType;  // the file system it has now, and gets again: "vfat", "exfat", ...
  std::string label;   // kept across the format
  std::uint64_t size = 0;
  bool systemDevice = false;  // one of the system's own disks
};

// The desktop's disk service, as far as formatting needs it.
class DiskService {
 public:
  virtual ~DiskService() = default;
  // False when the service cannot be reached (not running, no system bus).
  virtual bool Available() = 0;
  // The block device mounted as mount; nullopt when the service knows none.
  virtual std::optional<FormatVolume> FindVolume(const MountEntry& mount) = 0;
  // Unmounts the volume, gives it a new file system of its type and label
  // (full: every block overwritten first) and mounts it again. True only
  // when the format completed; otherwise error holds the reason. Blocks the
  // caller until the service is done, without taking user input meanwhile.
  virtual bool Format(const FormatVolume& volume, bool full, std::string& error) = 0;
};

// The disk service of the desktop: UDisks2 on the system bus.
std::unique_ptr<DiskService> MakeUDisks2Service();

// The user's side of a format: the format dialog and its messages. Called on
// the user-interface thread; both are modal.
class FormatInteraction {
 public:
  virtual ~FormatInteraction() = default;
  // Shows drive, the volume and the kind of format; true when the user
  // starts the format, false when the dialog is closed without it.
  virtual bool ConfirmFormat(const std::string& drive, const FormatVolume& volume, bool full) = 0;
  // Tells the user why no format took place.
  virtual void Inform(const std::string& message) = 0;
};

inline constexpr char kFormatNotRemovable[] = "Invalid drive. Drive is not removable";
inline constexpr char kFormatNotAvailable[] =
    "Formatting is not available: the desktop's disk service (UDisks2) is not running.";

class TStFormatDrive : public TSsShellComponent {
 public:
  // Formats through UDisks2 and reads the system's mount table.
  TStFormatDrive();
  TStFormatDrive(std::unique_ptr<DiskService> service, MountSource mounts);

  // The mount point of the volume holding the last path given; empty when
  // that path was empty or no volume holds it.
  const std::string& Drive() const { return drive_; }
  void SetDrive(std::string_view path);

  TStFormatOptionsSet Options() const { return options_; }
  void SetOptions(TStFormatOptionsSet options) { options_ = options; }

  // The dialog and messages of a format; not owned, must outlive Execute.
  // Without one Execute never formats.
  void SetInteraction(FormatInteraction* interaction) { interaction_ = interaction; }

  // Formats Drive with the file system and label it has now; a full format
  // with fmtFull (fmtSystemOnly has no meaning here). Throws
  // ESsShellFormatError (kFormatNotRemovable) when Drive is not a removable
  // volume, before anything else happens. Answers true only when the format
  // completed; false when the user closed the dialog, the service is missing
  // (the user is told), the service refuses the volume, or the format failed.
  bool Execute();

 private:
  std::unique_ptr<DiskService> service_;
  MountSource mounts_;
  FormatInteraction* interaction_ = nullptr;
  std::string drive_;
  TStFormatOptionsSet options_{TStFormatOptions::fmtFull};
};

}  // namespace ff
