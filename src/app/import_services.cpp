#include "app/import_services.h"

namespace ff {
namespace {

class ProgressRelay : public FileOperationProgress {
 public:
  explicit ProgressRelay(const TransferProgressFn& progress) : progress_(progress) {}
  bool Report(const FileOperationStatus& s) override {
    return progress_({s.filesDone, s.filesTotal, s.bytesDone, s.bytesTotal, s.current});
  }

 private:
  const TransferProgressFn& progress_;
};

}  // namespace

TransferResult ShellTransfer::Transfer(const ImportList& list, bool move, const std::string& root,
                                       const TransferProgressFn& progress) {
  operation_.SetOperation(move ? TStFileOp::fopMove : TStFileOp::fopCopy);
  operation_.SetOptions({TStFileOpOption::foAllowUndo, TStFileOpOption::foFilesOnly,
                         TStFileOpOption::foNoConfirmMkDir, TStFileOpOption::foRenameCollision});
  operation_.SetDestination(root);
  std::vector<std::pair<std::string, std::string>> pairs;
  pairs.reserve(list.size());
  for (const ImportEntry& entry : list) pairs.emplace_back(entry.source, entry.target);
  if (pairs.empty())
    operation_.SetSourceFiles({});  // refused: "No source files specified"
  else
    operation_.SetSourcePairs(std::move(pairs));

  ProgressRelay relay(progress);
  operation_.SetProgress(progress ? &relay : nullptr);
  operation_.Execute();
  operation_.SetProgress(nullptr);

  TransferResult result;
  result.cancelled = operation_.Aborted();
  for (const FileOpResult& r : operation_.Results()) {
    // A file whose copy arrived counts as arrived, also when its source
    // could not be removed afterwards; the error still tells why.
    result.items.push_back({r.finalPath, r.error == 0 ? std::string() : r.errorText});
  }
  return result;
}

std::string ShellDrives::DriveOf(const std::string& path) {
  return VolumeMountPoint(path, mounts_);
}

std::string ShellDrives::DriveTypeName(const std::string& drive) {
  return ff::DriveTypeName(drive, mounts_);
}

bool ShellDrives::Format(const std::string& drive) {
  formatDrive_.SetDrive(drive);
  formatDrive_.SetOptions(TStFormatOptionsSet{TStFormatOptions::fmtFull});
  return formatDrive_.Execute();
}

}  // namespace ff
