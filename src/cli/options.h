// Command-line options of fotoferry-cli.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ff {

struct CliOptions {
  std::string command;  // "plan", "import" or empty
  std::string source;
  std::optional<std::string> to;
  std::optional<std::string> pattern;
  std::optional<std::string> folder;  // stored form
  std::optional<std::string> file;    // stored form
  std::vector<std::string> map;       // WILDCARD=DIR lines
  std::optional<bool> recurse;
  bool move = false;
  bool copy = false;
  bool format = false;
  bool help = false;
};

// Parses args; throws ff::Error with a usage message on bad input.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

extern const char* const kCliUsage;

}  // namespace ff
