// The daily log: one text file per calendar day in LogPath, one record per
// message ("hhmmss", TAB, the message, CR LF).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_settings.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/paths.h"

namespace ff {

// Where a handler keeps its settings: a key below the machine hive
// (HKEY_LOCAL_MACHINE) of the key store.
struct LogStore {
  // Folder of the hive files.
  std::string hiveFolder = ConfigFolder();
  // The program's key, ProgramKeyPath.
  std::string keyPath = "Software\\Tallmark\\Fotoferry";
  // Shows the log setup dialog modally and answers true when it was closed
  // with OK (the dialog has then stored the five values itself). Empty where
  // there is no dialog: the defaults then stand.
  std::function<bool()> setup;
  // LogPath until a stored one is loaded.
  std::string defaultLogPath = DefaultLogFolder();
};

class TLogHandler : public LogSettings {
 public:
  // Sets the defaults; nothing is loaded, swept or stored. The clock and
  // environment must outlive the handler.
  explicit TLogHandler(const Clock& clock = SystemClock(),
                       const Environment& env = SystemEnvironment());
  // Sets the defaults, then LoadLogSettings, then DeleteOldLogs;
  // destruction runs SaveLogSettings.
  explicit TLogHandler(LogStore store, const Clock& clock = SystemClock(),
                       const Environment& env = SystemEnvironment());
  ~TLogHandler();
  TLogHandler(const TLogHandler&) = delete;
  TLogHandler& operator=(const TLogHandler&) = delete;

  // Appends one record to today's file when always or UseInfoLog is set;
  // creates the folder and the file as needed. Throws ff::Error with the
  // system's description when the file cannot be written; a failed write
  // leaves the file as it was before the call.
  void WriteLog(std::string_view message, bool always);
  // Appends one record per message, in order, in a single opening of the
  // file; the same rules as WriteLog, for all of them or none.
  void WriteLogRecords(const std::vector<std::string>& messages, bool always);

  // Full name of the file for the local date of instant.
  std::string LogFileName(Instant instant) const;

  // Reads the stored settings from the store's key, opened for full access
  // without creating it. Where it cannot be opened, shows the setup dialog,
  // again each time it is confirmed while the key still cannot be opened,
  // until it is cancelled or the key opens. Without a store: nothing.
  void LoadLogSettings();
  // Writes the five settings, creating the key when missing; returns
  // silently when the key cannot be opened or created. Throws ff::Error
  // "Failed to set data for '%s'" when a value cannot be stored.
  void SaveLogSettings();
  // Shows the setup dialog; when it is confirmed, loads the settings it
  // stored and answers true. False without a dialog.
  bool ShowLogSetup();
  // Deletes the log files older than LogKeepDays days (see SweepLogFolder)
  // and answers how many entries it selected.
  int DeleteOldLogs();

 private:
  void Append(const std::string_view* messages, size_t count);
  // Reads the key into the settings; false when it cannot be opened.
  bool ReadStored();
  bool RunSetup();

  std::optional<LogStore> store_;
  const Clock& clock_;
  const Environment& env_;
};

}  // namespace ff
