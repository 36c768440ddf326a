// Carrying an import out: the list built, every file copied or moved to its
// own target in one operation, the creation times restored on the new files
// and logged, and the source card offered for formatting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "import/import_list.h"
#include "log/log_handler.h"
#include "platform/clock.h"
#include "platform/environment.h"

namespace ff {

// What one file operation over a whole import list achieved.
struct TransferResult {
  struct Item {
    // The path the file actually got (another name when the planned one was
    // taken); empty when the file did not reach its target.
    std::string target;
    std::string error;  // why it did not, in the system's words
  };
  std::vector<Item> items;  // one per list entry, in list order
  bool cancelled = false;
  std::uint64_t bytes = 0;
};

// How far one transfer has come.
struct TransferProgress {
  std::size_t filesDone = 0;
  std::size_t filesTotal = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
  std::string_view current;  // the source being worked on
};
// Sees the progress; answers false to cancel the rest of the transfer.
using TransferProgressFn = std::function<bool(const TransferProgress&)>;

// Copies or moves files, one operation for a whole list.
class FileTransfer {
 public:
  virtual ~FileTransfer() = default;
  // Every entry's source to its own target; missing folders are created and
  // a taken name is never overwritten. Throws ff::Error for a request it
  // refuses before touching any file (an empty list among them).
  virtual TransferResult Transfer(const ImportList& list, bool move, const std::string& root,
                                  const TransferProgressFn& progress) = 0;
};

// The drives a source can lie on, and their formatting.
class SourceDrives {
 public:
  virtual ~SourceDrives() = default;
  // The drive (mount point) holding path.
  virtual std::string DriveOf(const std::string& path) = 0;
  // "Removable", "Fixed", … for a drive.
  virtual std::string DriveTypeName(const std::string& drive) = 0;
  // Formats drive after the user agreed; answers true only for a completed
  // format. May throw ff::Error.
  virtual bool Format(const std::string& drive) = 0;
};

// The two questions the run may ask the user.
class ImportPrompts {
 public:
  virtual ~ImportPrompts() = default;
  virtual bool Confirm(const std::string& text) = 0;  // Yes: true, No: false
  virtual void Inform(const std::string& text) = 0;
};

struct ImportRunOptions {
  ImportRequest request;
  bool move = false;
  bool format = false;          // offer to format the source's drive afterwards
  TransferProgressFn progress;  // may be empty
};

struct ImportRunReport {
  ImportList list;                    // the final list, targets as planned
  TransferResult transfer;            // what the file operation achieved
  std::size_t arrived = 0;            // files that reached a target
  std::size_t renamed = 0;            // of those, files that got another name
  std::vector<std::string> problems;  // folders the scan could not read
  bool formatted = false;

  bool Complete() const { return arrived == list.size() && problems.empty(); }
};

// Runs one import. Throws ff::Error, before any file is touched, for an
// empty source folder or root, a bad wildcard or template, an empty list
// and a log that cannot be written; a log record that fails later ends the
// run there. The format is offered only when every file reached its target.
ImportRunReport RunImport(const ImportRunOptions& options, FileTransfer& transfer,
                          SourceDrives& drives, ImportPrompts& prompts, const Environment& env,
                          const Clock& clock, TLogHandler& log);

// The two halves of RunImport, for a front end that shows something between
// them: the list built, transferred and its times restored; then, when
// options.format is set, the format offer.
ImportRunReport CarryOutImport(const ImportRunOptions& options, FileTransfer& transfer,
                               const Environment& env, const Clock& clock, TLogHandler& log);
void OfferFormat(const ImportRunOptions& options, ImportRunReport& report, SourceDrives& drives,
                 ImportPrompts& prompts);

}  // namespace ff
