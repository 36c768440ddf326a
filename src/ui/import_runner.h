// The Start button's import: the run with a progress box, the user's
// answers to its questions, and one report of what did not work.
#pragma once

#include "import/import_run.h"
#include "log/log_handler.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "shell/format_drive.h"
#include "toolkit/dialogs.h"

namespace ff {

class ImportRunner {
 public:
  ImportRunner(Dialogs& dialogs, FileTransfer& transfer, SourceDrives& drives,
               const Environment& env, const Clock& clock, TLogHandler& log);

  // Runs the import; errors that end it are thrown to the caller. Files
  // that did not arrive are shown in one box at the end.
  ImportRunReport Run(ImportRunOptions options);

 private:
  Dialogs& dialogs_;
  FileTransfer& transfer_;
  SourceDrives& drives_;
  const Environment& env_;
  const Clock& clock_;
  TLogHandler& log_;
};

// The format of a card, asked in the window: what is about to be erased.
class DialogFormatInteraction : public FormatInteraction {
 public:
  explicit DialogFormatInteraction(Dialogs& dialogs) : dialogs_(dialogs) {}
  bool ConfirmFormat(const std::string& drive, const FormatVolume& volume, bool full) override;
  void Inform(const std::string& message) override;

 private:
  Dialogs& dialogs_;
};

// The text that tells which files did not reach their targets; empty when
// all did.
std::string FailureReport(const ImportRunReport& report);

}  // namespace ff
