#include "shell/format_drive.h"

namespace ff {

TStFormatDrive::TStFormatDrive() : TStFormatDrive(MakeUDisks2Service(), MountSource{}) {}

TStFormatDrive::TStFormatDrive(std::unique_ptr<DiskService> service, MountSource mounts)
    : service_(std::move(service)), mounts_(std::move(mounts)) {}

void TStFormatDrive::SetDrive(std::string_view path) { drive_ = VolumeMountPoint(path, mounts_); }

bool TStFormatDrive::Execute() {
  const MountTable table = MountTable::Read(mounts_);
  const MountEntry* mount = table.VolumeOf(drive_);
  // Drive must still be a mounted volume of its own: a card pulled since
  // leaves its mount point folder (if any) on the volume above it.
  if (table.DriveTypeOf(drive_) != DriveType::Removable || !mount || mount->mountPoint != drive_)
    throw ESsShellFormatError(kFormatNotRemovable);
  if (!interaction_) return false;
  if (!service_ || !service_->Available()) {
    interaction_->Inform(kFormatNotAvailable);
    return false;
  }
  const std::optional<FormatVolume> volume = service_->FindVolume(*mount);
  if (!volume) {
    interaction_->Inform("The disk service knows no disk mounted at " + drive_ + ".");
    return false;
  }
  if (volume->systemDevice) {
    interaction_->Inform(drive_ + " is one of the system's own disks; it is not formatted.");
    return false;
  }
  const bool full = options_.Contains(TStFormatOptions::fmtFull);
  if (!interaction_->ConfirmFormat(drive_, *volume, full)) return false;
  std::string error;
  if (!service_->Format(*volume, full, error)) {
    interaction_->Inform("Formatting " + drive_ + " did not complete: " + error);
    return false;
  }
  return true;
}

}  // namespace ff
