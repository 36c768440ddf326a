#include "cli/cli.h"

#include <ostream>

#include "cli/options.h"
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

// The window's defaults, for every option that is not given.
struct Defaults {
  std::string pattern = kDefaultSearchPattern;
  bool recurse = true;
  std::string folderTemplate;  // stored form
  std::string fileTemplate;    // stored form
  std::string root = UserPicturesFolder();
  std::vector<std::string> map;
};

std::string AbsoluteMapLine(const std::string& line) {
  const size_t eq = line.find('=');
  const std::string folder = line.substr(eq + 1);
  return line.substr(0, eq + 1) + (folder.empty() ? folder : AbsolutePath(folder));
}

ImportRequest MakeRequest(const CliOptions& options, const Defaults& defaults) {
  ImportRequest request;
  request.sourceFolder = AbsolutePath(options.source);
  request.searchPattern = options.pattern.value_or(defaults.pattern);
  request.recurse = options.recurse.value_or(defaults.recurse);
  request.folderTemplate = StoredToTemplate(options.folder.value_or(defaults.folderTemplate));
  request.fileTemplate = StoredToTemplate(options.file.value_or(defaults.fileTemplate));
  request.importRoot = options.to ? AbsolutePath(*options.to) : defaults.root;
  if (options.map.empty()) {
    request.multiTargetMap = defaults.map;
  } else {
    for (const std::string& line : options.map)
      request.multiTargetMap.push_back(AbsoluteMapLine(line));
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
  const ImportRequest request = MakeRequest(options, Defaults());
  CheckSource(request.sourceFolder);
  TLogHandler log;
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

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
    err << kPrefix << "import is not available in this version\n";
    return 1;
  } catch (const std::exception& e) {
    err << kPrefix << e.what() << '\n';
    return 1;
  }
}

}  // namespace ff
