#include "ui/import_runner.h"

namespace ff {
namespace {

class DialogPrompts : public ImportPrompts {
 public:
  explicit DialogPrompts(Dialogs& dialogs) : dialogs_(dialogs) {}
  bool Confirm(const std::string& text) override {
    return dialogs_.Message(text, MessageKind::kConfirmation, MessageButtons::kYesNo) ==
           MessageResult::kYes;
  }
  void Inform(const std::string& text) override {
    dialogs_.Message(text, MessageKind::kInformation, MessageButtons::kOk);
  }

 private:
  Dialogs& dialogs_;
};

constexpr std::size_t kListedFailures = 10;

}  // namespace

ImportRunner::ImportRunner(Dialogs& dialogs, FileTransfer& transfer, SourceDrives& drives,
                           const Environment& env, const Clock& clock, TLogHandler& log)
    : dialogs_(dialogs),
      transfer_(transfer),
      drives_(drives),
      env_(env),
      clock_(clock),
      log_(log) {}

ImportRunReport ImportRunner::Run(ImportRunOptions options) {
  ImportRunReport report;
  {
    const std::unique_ptr<ProgressBox> progress =
        dialogs_.Progress(options.move ? "Moving pictures" : "Copying pictures");
    options.progress = [&](const TransferProgress& p) {
      return progress->Update(p.bytesDone, p.bytesTotal,
                              std::to_string(p.filesDone + 1) + " of " +
                                  std::to_string(p.filesTotal) + ": " + std::string(p.current));
    };
    report = CarryOutImport(options, transfer_, env_, clock_, log_);
  }
  const std::string failures = FailureReport(report);
  if (!failures.empty()) dialogs_.Message(failures, MessageKind::kError, MessageButtons::kOk);
  DialogPrompts prompts(dialogs_);
  OfferFormat(options, report, drives_, prompts);
  return report;
}

bool DialogFormatInteraction::ConfirmFormat(const std::string& drive, const FormatVolume& volume,
                                            bool full) {
  const std::string what = volume.device + " (" + volume.fsType +
                           (volume.label.empty() ? "" : ", \"" + volume.label + "\"") +
                           ") mounted at " + drive;
  return dialogs_.Message(
             (full ? "Erase every block of " : "Format ") + what + "? Everything on it is lost.",
             MessageKind::kConfirmation, MessageButtons::kOkCancel) == MessageResult::kOk;
}

void DialogFormatInteraction::Inform(const std::string& message) {
  dialogs_.Message(message, MessageKind::kInformation, MessageButtons::kOk);
}

std::string FailureReport(const ImportRunReport& report) {
  std::string text;
  std::size_t failed = 0;
  for (std::size_t i = 0; i < report.list.size(); ++i) {
    const TransferResult::Item& item = report.transfer.items[i];
    if (!item.target.empty()) continue;
    if (++failed <= kListedFailures)
      text += "\n" + report.list[i].source + ": " +
              (item.error.empty() ? std::string("not imported") : item.error);
  }
  for (const std::string& problem : report.problems) text += "\n" + problem;
  if (failed == 0 && report.problems.empty()) return {};
  if (failed > kListedFailures)
    text += "\n… and " + std::to_string(failed - kListedFailures) + " more";
  std::string head = report.transfer.cancelled ? "The import was cancelled. " : "";
  head += std::to_string(failed) + " of " + std::to_string(report.list.size()) +
          " files were not imported:";
  return head + text;
}

}  // namespace ff
