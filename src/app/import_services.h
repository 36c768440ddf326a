// The import run's file operation and source drives, carried by the shell
// components: TStFileOperation moves or copies, the mount table tells drive
// types, TStFormatDrive formats.
#pragma once

#include <memory>
#include <string>

#include "import/import_run.h"
#include "platform/mounts.h"
#include "shell/file_operation.h"
#include "shell/format_drive.h"

namespace ff {

// One TStFileOperation call for a whole import list, with the options of
// the window's design.
class ShellTransfer : public FileTransfer {
 public:
  explicit ShellTransfer(TStFileOperation& operation) : operation_(operation) {}
  TransferResult Transfer(const ImportList& list, bool move, const std::string& root,
                          const TransferProgressFn& progress) override;

 private:
  TStFileOperation& operation_;
};

// Drives from the mount table; formatting through a TStFormatDrive.
class ShellDrives : public SourceDrives {
 public:
  ShellDrives(TStFormatDrive& formatDrive, MountSource mounts = {})
      : formatDrive_(formatDrive), mounts_(std::move(mounts)) {}
  std::string DriveOf(const std::string& path) override;
  std::string DriveTypeName(const std::string& drive) override;
  bool Format(const std::string& drive) override;

 private:
  TStFormatDrive& formatDrive_;
  MountSource mounts_;
};

}  // namespace ff
