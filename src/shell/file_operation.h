// The file operation component: copies, moves, deletes or renames a list of
// files in one call, each source to its own target when the list says so.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/file_op_types.h"
#include "shell/shell_component.h"

namespace ff {

class TStCustomFileOperation : public TSsShellComponent {
 public:
  // In plain mode, check before anything is done that every source is an
  // existing file or folder or holds a wildcard ("*", "?").
  bool ConfirmFiles() const { return confirmFiles_; }
  void SetConfirmFiles(bool value) { confirmFiles_ = value; }

  // The target folder of sources without a target of their own; stored
  // without trailing "/" ("/" itself stays "/").
  const std::string& Destination() const { return destination_; }
  void SetDestination(std::string_view value);

  TStFileOp Operation() const { return operation_; }
  void SetOperation(TStFileOp value) { operation_ = value; }

  TStFileOpOptionsSet Options() const { return options_; }
  void SetOptions(TStFileOpOptionsSet value) { options_ = value; }

  // The title a progress display shows with simple progress.
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(std::string value) { simpleText_ = std::move(value); }

  // The sources: a path alone, or source "=" target (mapping mode as soon as
  // any line holds "="). Setting copies the lines.
  const std::vector<std::string>& SourceFiles() const { return sourceFiles_; }
  void SetSourceFiles(const std::vector<std::string>& lines) {
    sourceFiles_ = lines;
    pairs_.clear();
  }
  // The sources with their own targets as separate fields (mapping mode), so
  // that a path may hold "=". Replaces SourceFiles; SetSourceFiles replaces
  // these.
  void SetSourcePairs(std::vector<std::pair<std::string, std::string>> pairs) {
    pairs_ = std::move(pairs);
    sourceFiles_.clear();
  }

  // Where progress goes and cancel comes from; null for none. Not owned; it
  // must outlive every Execute.
  void SetProgress(FileOperationProgress* progress) { progress_ = progress; }

  // Builds the request Execute carries out, without touching any file
  // (plain mode with ConfirmFiles only looks sources up). In mapping mode it
  // completes lines without "=" in the component's own list. Throws
  // ESsFileOpError for a request that cannot be carried out.
  FileOpRequest BuildRequest();

  // Carries out the request and answers ErrorCode() == 0. Throws
  // ESsFileOpError, before any file is touched and with the error state
  // unchanged, for a request that cannot be carried out. Otherwise every
  // source is tried, failures are collected in Results(), ErrorCode is the
  // errno value of the first failure (kErrorCancelled after a cancel),
  // ErrorText its text, and OnError is called when it is not 0.
  bool Execute();

  // True when the last Execute was cancelled through the progress.
  bool Aborted() const { return aborted_; }

  // One result per source of the last Execute, in request order: in mapping
  // mode one per non-empty line; in plain mode one per source file (a
  // wildcard stands for the files it matched, or for itself when it matched
  // none).
  const std::vector<FileOpResult>& Results() const { return results_; }

 private:
  bool confirmFiles_ = true;
  std::string destination_;
  TStFileOp operation_ = TStFileOp::fopCopy;
  TStFileOpOptionsSet options_{TStFileOpOption::foAllowUndo, TStFileOpOption::foFilesOnly,
                               TStFileOpOption::foRenameCollision};
  std::string simpleText_;
  std::vector<std::string> sourceFiles_;
  std::vector<std::pair<std::string, std::string>> pairs_;
  FileOperationProgress* progress_ = nullptr;
  bool aborted_ = false;
  std::vector<FileOpResult> results_;
};

class TStFileOperation final : public TStCustomFileOperation {};

}  // namespace ff
