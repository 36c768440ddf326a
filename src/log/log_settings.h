// The five log settings, their stored form in a key of the key store, and
// the retention sweep of the log folder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/datetime.h"
#include "platform/registry.h"

namespace ff {

struct LogSettings {
  // Folder of the daily files, without a trailing "/".
  std::string LogPath;
  // Days before today that a log file survives the start-up sweep.
  std::int32_t LogKeepDays = 30;
  // Stored and edited with the others; no message depends on them.
  bool UseDebugLog = false;
  bool UseErrorLog = false;
  // Gates every message that is not written with the always-flag.
  bool UseInfoLog = true;
};

// Reads every setting whose value exists in the open key with its type
// ("LogKeepDays", "UseDebugLog", "UseErrorLog", "UseInfoLog" REG_DWORD;
// "LogPath" REG_SZ or REG_EXPAND_SZ, taken unexpanded). A missing value, or
// one of another type, leaves its field as it is; nothing throws.
void ReadLogSettings(Registry& key, LogSettings& settings);

// Writes the five values into the open key: LogKeepDays, LogPath (REG_SZ),
// UseDebugLog, UseErrorLog, UseInfoLog (0 or 1). Throws ff::Error "Failed to
// set data for '%s'" at the first value that cannot be stored.
void WriteLogSettings(Registry& key, const LogSettings& settings);

// The "yyyymmdd" text of the day keepDays before today. A negative keepDays
// counts as 0, so today's file always stays; a day before year 1 gives ""
// (before which nothing sorts).
std::string RetentionCutoff(const CalendarTime& today, std::int32_t keepDays);

// Deletes from folder every entry whose name ends in ".txt" (any letter
// case; folders and hidden files included) and whose first eight bytes (the
// whole name when shorter) sort strictly before cutoff. A failed deletion is
// ignored; answers the number of entries selected. A missing or empty folder
// name selects nothing.
int SweepLogFolder(const std::string& folder, const std::string& cutoff);

}  // namespace ff
