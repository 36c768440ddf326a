#include "cli/cli.h"

#include <istream>
#include <ostream>

#include "app/import_services.h"
#include "app/instance_guard.h"
#include "app/settings_store.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "import/import_list.h"
#include "import/naming_template.h"
#include "log/log_handler.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ff {
namespace {

constexpr const char* kPrefix = "fotoferry-cli: ";

// The key of the program's settings in both hives.
const std::string& KeyPath() { return ProgramKeyPath(); }

std::string AbsoluteMapLine(const std::string& line) {
  const size_t eq = line.find('=');
  const std::string folder = line.substr(eq + 1);
  return line.substr(0, eq + 1) + (folder.empty() ? folder : AbsolutePath(folder));
}

// The log keeps the machine's settings; without a dialog the defaults stand
// where none are stored.
LogStore CliLogStore() {
  LogStore store;
  store.keyPath = KeyPath();
  return store;
}

ImportRequest MakeRequest(const CliOptions& options, const ImportDefaults& defaults) {
  ImportRequest request;
  request.sourceFolder = AbsolutePath(options.source);
  request.searchPattern = options.pattern.value_or(defaults.pattern);
  request.recurse = options.recurse.value_or(defaults.recurse);
  request.folderTemplate = StoredToTemplate(options.folder.value_or(defaults.folderTemplate));
  request.fileTemplate = StoredToTemplate(options.file.value_or(defaults.fileTemplate));
  request.importRoot = options.to ? AbsolutePath(*options.to) : defaults.root;
  // The stored map was completed for the stored root and pattern; with
  // either given anew it is completed again for them.
  if (!options.map.empty()) {
    for (const std::string& line : options.map)
      request.multiTargetMap.push_back(AbsoluteMapLine(line));
  } else if (!options.to && !options.pattern) {
    request.multiTargetMap = defaults.map;
  } else {
    for (const std::string& line : defaults.map) {
      const size_t eq = line.find('=');
      // Lines that sent files to the stored root follow the new one.
      if (eq != std::string::npos && line.compare(eq + 1, std::string::npos, defaults.root) != 0)
        request.multiTargetMap.push_back(line);
    }
  }
  CompleteMultiTargetMap(request.multiTargetMap, request.searchPattern, request.importRoot);
  return request;
}

void CheckSource(const std::string& folder) {
  FileStatus status;
  int error = 0;
  if (!StatPath(folder, status, error))
    throw Error("the source folder '" + folder + "' cannot be opened: " + ErrnoText(error));
  if (!status.isDirectory) throw Error("the source '" + folder + "' is not a folder");
}

int Plan(const CliOptions& options, std::ostream& out, std::ostream& err) {
  const SettingsStore store(SettingsStore::UserLocations(KeyPath()));
  const ImportRequest request = MakeRequest(options, LoadImportDefaults(store));
  CheckSource(request.sourceFolder);
  TLogHandler log(CliLogStore());
  std::vector<std::string> problems;
  const ImportList list =
      BuildImportList(request, SystemEnvironment(), SystemClock(), log, &problems);
  for (const std::string& problem : problems) err << kPrefix << "warning: " << problem << '\n';
  for (const ImportEntry& entry : list) out << entry.source << '\t' << entry.target << '\n';
  out.flush();
  if (list.empty())
    err << kPrefix << "no files match '" << request.searchPattern << "' in '"
        << request.sourceFolder << "'\n";
  return problems.empty() ? 0 : 1;
}

int Import(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
           bool terminal) {
  const SettingsStore store(SettingsStore::UserLocations(KeyPath()));
  const ImportDefaults defaults = LoadImportDefaults(store);
  ImportRunOptions run;
  run.request = MakeRequest(options, defaults);
  run.move = options.move || (!options.copy && defaults.move);
  run.format = options.format;
  CheckSource(run.request.sourceFolder);
  TLogHandler log(CliLogStore());

  ProgressBar bar(err);
  if (terminal) run.progress = [&](const TransferProgress& p) { return bar.Show(p); };
  TStFileOperation operation;
  ShellTransfer transfer(operation);
  TerminalPrompts prompts(in, err, terminal);
  TStFormatDrive formatDrive;
  formatDrive.SetInteraction(&prompts);
  ShellDrives drives(formatDrive);

  ImportRunReport report = CarryOutImport(run, transfer, SystemEnvironment(), SystemClock(), log);
  bar.Finish();
  std::uint64_t bytes = 0;
  std::size_t failures = 0;
  for (std::size_t i = 0; i < report.list.size(); ++i) {
    const TransferResult::Item& item = report.transfer.items[i];
    if (!item.error.empty()) {
      ++failures;
      err << kPrefix << report.list[i].source << ": " << item.error << '\n';
    }
    if (!item.target.empty()) bytes += report.list[i].size;
  }
  for (const std::string& problem : report.problems)
    err << kPrefix << "warning: " << problem << '\n';
  out << (run.move ? "Moved " : "Copied ") << report.arrived << " of " << report.list.size()
      << " files, " << ByteText(bytes) << ", " << failures << " failed, " << report.renamed
      << " renamed to a free name" << (report.transfer.cancelled ? ", cancelled" : "") << '\n';
  out.flush();
  OfferFormat(run, report, drives, prompts);
  return report.Complete() && failures == 0 ? 0 : 1;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in, bool terminal) {
  CliOptions options;
  try {
    options = ParseCliOptions(args);
  } catch (const Error& e) {
    err << kPrefix << e.what() << "\nTry 'fotoferry-cli --help'.\n";
    return 2;
  }
  if (options.help) {
    out << kCliUsage;
    return 0;
  }
  try {
    if (options.command == "plan") return Plan(options, out, err);
    return Import(options, in, out, err, terminal);
  } catch (const std::exception& e) {
    err << kPrefix << e.what() << '\n';
    return 1;
  }
}

}  // namespace ff
