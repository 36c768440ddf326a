// fotoferry-cli: the headless front end over the import engine.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ff {

// Runs one command line (without the program name). Writes results to out
// and messages to err ("fotoferry-cli: " + message); questions are answered
// from in, and only when terminal is set (a progress bar then shows on err).
// The instance guard must be set up (it names the settings key). Answers
// the exit code: 0 success (for an import: every file reached its
// target), 1 failure, 2 usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in, bool terminal);

}  // namespace ff
