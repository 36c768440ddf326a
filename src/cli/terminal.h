// fotoferry-cli's conversation on a terminal: the progress bar and the
// questions of an import.
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

#include "import/import_run.h"
#include "shell/format_drive.h"

namespace ff {

// Draws a progress bar on err, at most ten times a second.
class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& err) : err_(err) {}
  bool Show(const TransferProgress& progress);
  // Ends the bar's line.
  void Finish();

 private:
  std::ostream& err_;
  std::chrono::steady_clock::time_point last_{};
  bool drawn_ = false;
};

// Asks on the terminal; answers No when input is not a terminal.
class TerminalPrompts : public ImportPrompts, public FormatInteraction {
 public:
  TerminalPrompts(std::istream& in, std::ostream& err, bool interactive)
      : in_(in), err_(err), interactive_(interactive) {}
  bool Confirm(const std::string& text) override;
  void Inform(const std::string& text) override;
  // The user has answered the question of the run already.
  bool ConfirmFormat(const std::string& drive, const FormatVolume& volume, bool full) override;

 private:
  std::istream& in_;
  std::ostream& err_;
  bool interactive_;
};

// "12.3 MB" and the like.
std::string ByteText(std::uint64_t bytes);

}  // namespace ff
