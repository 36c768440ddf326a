#include "cli/terminal.h"

#include <cstdio>
#include <iostream>

namespace ff {

std::string ByteText(std::uint64_t bytes) {
  const char* units[] = {"B", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1000 && unit < 4) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
  return text;
}

bool ProgressBar::Show(const TransferProgress& p) {
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - last_ < std::chrono::milliseconds(100)) return true;
  last_ = now;
  drawn_ = true;
  constexpr int kWidth = 30;
  const double share =
      p.bytesTotal   ? static_cast<double>(p.bytesDone) / static_cast<double>(p.bytesTotal)
      : p.filesTotal ? static_cast<double>(p.filesDone) / static_cast<double>(p.filesTotal)
                     : 0.0;
  const int filled = static_cast<int>(share * kWidth);
  err_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] "
       << static_cast<int>(share * 100) << "% " << p.filesDone << "/" << p.filesTotal << " files, "
       << ByteText(p.bytesDone) << "   " << std::flush;
  return true;
}

void ProgressBar::Finish() {
  if (drawn_) err_ << "\r" << std::string(72, ' ') << "\r" << std::flush;
}

bool TerminalPrompts::Confirm(const std::string& text) {
  err_ << text << " [y/N] " << std::flush;
  if (!interactive_) {
    err_ << "N (input is not a terminal)\n";
    return false;
  }
  std::string answer;
  std::getline(in_, answer);
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

void TerminalPrompts::Inform(const std::string& text) { err_ << "fotoferry-cli: " << text << "\n"; }

bool TerminalPrompts::ConfirmFormat(const std::string& drive, const FormatVolume& volume, bool) {
  err_ << "Formatting " << volume.device << " (" << volume.fsType
       << (volume.label.empty() ? "" : ", \"" + volume.label + "\"") << ") mounted at " << drive
       << "...\n";
  return true;
}

}  // namespace ff
