#include "cli/options.h"

#include "platform/error.h"

namespace ff {

const char* const kCliUsage =
    "Usage: fotoferry-cli plan   [OPTIONS] SOURCE\n"
    "       fotoferry-cli import [OPTIONS] SOURCE\n"
    "\n"
    "Imports picture files from SOURCE into the archive, naming folders and files\n"
    "from templates. 'plan' prints every file with its target (source, TAB,\n"
    "target) and copies nothing; 'import' carries the import out.\n"
    "\n"
    "Options (each one not given comes from the stored settings):\n"
    "  --to DIR            root folder to import into\n"
    "  --pattern TEXT      the wildcards, as typed into \"Files to search for\"\n"
    "  --folder TEMPLATE   folder string in stored form (items joined by \";\")\n"
    "  --file TEMPLATE     file string in stored form\n"
    "  --map WILDCARD=DIR  one multi-target line; repeatable; replaces the stored\n"
    "                      map, then every wildcard of the pattern without a line\n"
    "                      gets the root\n"
    "  --recurse, --no-recurse\n"
    "                      search the subfolders of SOURCE, or not\n"
    "  --move, --copy      import only: move instead of copy, or copy\n"
    "  --format            import only: offer to format the source afterwards\n"
    "  -h, --help          show this text\n"
    "\n"
    "Template variables: {System.Date}, {File.CreationYear}, {File.Filename},\n"
    "{Incremental.Counter} and the others of the window's list; \"\\\" in a\n"
    "template starts a new folder level.\n";

namespace {

[[noreturn]] void Usage(const std::string& message) { throw Error(message); }

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
      }
    }
    const auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) Usage("option " + arg + " needs a value");
      return args[++i];
    };
    const auto flag = [&]() {
      if (inlineValue) Usage("option " + arg + " takes no value");
    };
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--to") {
      options.to = value();
    } else if (arg == "--pattern") {
      options.pattern = value();
    } else if (arg == "--folder") {
      options.folder = value();
    } else if (arg == "--file") {
      options.file = value();
    } else if (arg == "--map") {
      const std::string line = value();
      if (line.find('=') == std::string::npos)
        Usage("--map needs WILDCARD=DIR, got '" + line + "'");
      options.map.push_back(line);
    } else if (arg == "--recurse") {
      flag();
      options.recurse = true;
    } else if (arg == "--no-recurse") {
      flag();
      options.recurse = false;
    } else if (arg == "--move") {
      flag();
      options.move = true;
    } else if (arg == "--copy") {
      flag();
      options.copy = true;
    } else if (arg == "--format") {
      flag();
      options.format = true;
    } else if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      Usage("unknown option '" + arg + "'");
    } else {
      positional.push_back(arg);
    }
  }
  if (options.help) return options;
  if (positional.empty()) Usage("no command given (plan or import)");
  options.command = positional[0];
  if (options.command != "plan" && options.command != "import")
    Usage("unknown command '" + options.command + "' (plan or import)");
  if (positional.size() < 2) Usage("no SOURCE folder given");
  if (positional.size() > 2) Usage("more than one SOURCE given: '" + positional[2] + "'");
  options.source = positional[1];
  if (options.source.empty()) Usage("the SOURCE folder is empty");
  if (options.command == "plan" && (options.move || options.copy || options.format))
    Usage("--move, --copy and --format belong to 'import'");
  if (options.move && options.copy) Usage("--move and --copy exclude each other");
  return options;
}

}  // namespace ff
