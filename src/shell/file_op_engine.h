// The engine that carries out a file operation on this system: every source
// to its own target, never replacing an existing file, never leaving a
// partial file under a real name, never removing a source before its copy is
// safe.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_copy.h"
#include "shell/file_op_types.h"

namespace ff {

struct FileOpJob {
  std::string source;
  // The full target path; empty for a delete.
  std::string target;
};

// One engine carries out one operation; not thread-safe.
class FileOpEngine {
 public:
  // progress may be null; it must outlive the engine. With renameOnCollision
  // a taken target name gives the incoming file the first free name
  // "name (2).ext", "name (3).ext", ...; without it the file fails with
  // EEXIST. Either way the existing file is kept.
  FileOpEngine(FileOperationProgress* progress, bool renameOnCollision);
  ~FileOpEngine();
  FileOpEngine(const FileOpEngine&) = delete;
  FileOpEngine& operator=(const FileOpEngine&) = delete;

  // Carries out op over jobs, in order, going on after a failed file, and
  // answers one result per job. Missing target folders are created. A copy
  // is written to a hidden temporary file beside its target and renamed
  // into place when complete. A move renames where it can; across volumes
  // it copies, makes the copies durable with one sync per target file
  // system, checks them and only then removes their sources. A delete goes
  // to the trash when toTrash is set.
  std::vector<FileOpResult> Run(TStFileOp op, bool toTrash, const std::vector<FileOpJob>& jobs);

  // True when the progress asked to cancel.
  bool Cancelled() const { return cancelled_; }

 private:
  struct Folder {
    int fd = -1;
    dev_t dev = 0;
  };
  // A source copied across volumes, removed only once its copy is safe.
  struct PendingRemoval {
    std::size_t index = 0;
    Folder* folder = nullptr;
    std::string finalName;
    std::uint64_t size = 0;
    struct stat source {};
  };

  int CarryOut(TStFileOp op, bool toTrash, std::size_t index, FileOpResult& result);
  int OpenTargetFolder(const std::string& target, Folder*& folder, std::string& name);
  int CopyInto(const std::string& source, Folder& folder, const std::string& name,
               std::string& finalName, struct stat& st, std::uint64_t& copied);
  int Publish(int fromDir, const char* fromName, Folder& folder, const std::string& name,
              std::string& finalName);
  void FinishMoves(std::vector<FileOpResult>& results);
  void CountBytes(const std::vector<FileOpJob>& jobs);
  bool Tick();

  FileOperationProgress* progress_;
  bool renameOnCollision_;
  std::string tempPrefix_;
  bool cancelled_ = false;
  FileOperationStatus status_;
  std::vector<std::uint64_t> sizes_;
  FileDataCopier copier_;
  CopyChunkCallback onChunk_;
  std::unordered_map<std::string, Folder> folders_;
  std::vector<PendingRemoval> pending_;
};

// The name a file gets when its wanted name is taken n - 1 times over:
// n = 1 gives name itself, n = 2 "stem (2).ext" (the extension starting at
// the last "." that is not the first character).
std::string CollisionName(const std::string& name, unsigned n);

}  // namespace ff
