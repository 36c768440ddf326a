// The daily log: one text file per calendar day in LogPath, one record per
// message ("hhmmss", TAB, the message, CR LF).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/environment.h"

namespace ff {

class TLogHandler {
 public:
  // Sets the defaults. The clock and environment must outlive the handler.
  explicit TLogHandler(const Clock& clock = SystemClock(),
                       const Environment& env = SystemEnvironment());

  // Folder of the daily files, without a trailing "/".
  std::string LogPath;
  // Days before today that a log file survives the start-up sweep.
  std::int32_t LogKeepDays = 30;
  // Stored and edited with the others; no message depends on them.
  bool UseDebugLog = false;
  bool UseErrorLog = false;
  // Gates every message that is not written with the always-flag.
  bool UseInfoLog = true;

  // Appends one record to today's file when always or UseInfoLog is set;
  // creates the folder and the file as needed. Throws ff::Error with the
  // system's description when the file cannot be written; a failed write
  // leaves the file as it was before the call.
  void WriteLog(std::string_view message, bool always);

  // Full name of the file for the local date of instant.
  std::string LogFileName(Instant instant) const;

 private:
  const Clock& clock_;
  const Environment& env_;
};

}  // namespace ff
