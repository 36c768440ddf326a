// fotoferry-cli: the headless front end over the import engine.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ff {

// Runs one command line (without the program name). Writes results to out
// and messages to err ("fotoferry-cli: " + message). Answers the exit code:
// 0 success, 1 failure, 2 usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ff
