#include "import/import_run.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ff {
namespace {

void RestoreTimes(ImportRunReport& report, const Environment& env, TLogHandler& log) {
  std::vector<std::string> records;
  records.reserve(report.list.size());
  for (size_t i = 0; i < report.list.size(); ++i) {
    const ImportEntry& entry = report.list[i];
    const std::string& target = report.transfer.items[i].target;
    // A file that never arrived gets no time: nothing is created to carry one.
    if (target.empty()) continue;
    ++report.arrived;
    if (target != entry.target) ++report.renamed;
    int ignored = 0;
    SetFileTimes(target, entry.creation, ignored);
    if (log.UseInfoLog)
      records.push_back("Setting TDateTime " +
                        DefaultDateTimeText(env, DecodeDateTime(entry.dateTime)) + " on " + target);
  }
  // The records go to the log together, in list order.
  log.WriteLogRecords(records, false);
}

}  // namespace

void OfferFormat(const ImportRunOptions& options, ImportRunReport& report, SourceDrives& drives,
                 ImportPrompts& prompts) {
  if (!options.format) return;
  const std::string drive = drives.DriveOf(options.request.sourceFolder);
  if (drive.empty() || drives.DriveTypeName(drive) != "Removable") return;
  if (!report.Complete()) {
    // Formatting now would destroy the pictures that were not imported.
    prompts.Inform("Not every file was imported, so drive " + drive + " is not formatted");
    return;
  }
  if (!prompts.Confirm("Format drive " + drive + "?")) return;
  report.formatted = drives.Format(drive);
  if (!report.formatted) prompts.Inform("Formatting failed for some reason");
}

ImportRunReport CarryOutImport(const ImportRunOptions& options, FileTransfer& transfer,
                               const Environment& env, const Clock& clock, TLogHandler& log) {
  const ImportRequest& request = options.request;
  if (request.sourceFolder.empty()) throw Error("No source folder is chosen");
  if (request.importRoot.empty()) throw Error("No folder to import into is chosen");
  int ignored = 0;
  MakeFolders(request.importRoot, ignored);  // a root that cannot be made fails every file

  ImportRunReport report;
  report.list = BuildImportList(request, env, clock, log, &report.problems);
  report.transfer =
      transfer.Transfer(report.list, options.move, request.importRoot, options.progress);
  if (report.transfer.items.size() != report.list.size())
    throw Error("The file operation answered for " + std::to_string(report.transfer.items.size()) +
                " of " + std::to_string(report.list.size()) + " files");
  RestoreTimes(report, env, log);
  return report;
}

ImportRunReport RunImport(const ImportRunOptions& options, FileTransfer& transfer,
                          SourceDrives& drives, ImportPrompts& prompts, const Environment& env,
                          const Clock& clock, TLogHandler& log) {
  ImportRunReport report = CarryOutImport(options, transfer, env, clock, log);
  OfferFormat(options, report, drives, prompts);
  return report;
}

}  // namespace ff
