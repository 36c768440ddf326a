// The import list: every file to import with its full target path, in the
// order in which the files were created, numbered per target folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "log/log_handler.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/environment.h"

namespace ff {

struct ImportEntry {
  std::string source;  // full source path
  std::string target;  // full target path
  Instant creation;    // the source's creation instant, exact, UTC
  // The same instant as a date-time value (UTC), for names and log text.
  DateTime dateTime = 0;
  std::uint64_t size = 0;  // the source's size when it was found

  // The entry as the log shows it: source "=" target.
  std::string Text() const { return source + "=" + target; }
};

using ImportList = std::vector<ImportEntry>;


// The search pattern of a fresh installation.
inline constexpr const char* kDefaultSearchPattern =
    "*.crw;*.thm;*.cr2;*.jpg;*.nef;*.pef;*.raf;*.orf";

// What an import is planned from: the state of the main window.
struct ImportRequest {
  std::string sourceFolder;
  std::string searchPattern;   // wildcards as delimited text
  std::string folderTemplate;  // list text (items followed by CR LF)
  std::string fileTemplate;    // list text
  std::string importRoot;
  std::vector<std::string> multiTargetMap;  // lines wildcard=folder
  bool recurse = true;
};

// Builds the final import list: scans the source folder (and its subfolders
// when recursing; folders whose name begins with "." are not searched) for
// files matching the wildcards, names each, sorts them oldest first, applies
// the counters, and logs the list before sorting, after sorting and after
// counting (always-flag set).
//
// Throws ff::Error, before anything is logged, for an empty source folder or
// import root and for an invalid wildcard; after the scan for a target path
// with a ".." folder level or without a file name; and whatever
// log.WriteLog throws. Folders that cannot be read are skipped and named in
// problems (when given). Only regular files become entries.
ImportList BuildImportList(const ImportRequest& request, const Environment& env, const Clock& clock,
                           TLogHandler& log, std::vector<std::string>* problems = nullptr);

// Numbers the "{Incremental.Counter}" token per target folder in list order
// and gives the files of one shot (same source path apart from the
// extension) the base name of the first of them. Rewrites targets in place.
void ApplyCounters(ImportList& list);

// Brings a multi-target map in line with the search pattern on loading:
// every wildcard without a line (names compared ignoring letter case) gets
// the line wildcard=root, and every line without a folder gets root.
void CompleteMultiTargetMap(std::vector<std::string>& map, const std::string& searchPattern,
                            const std::string& root);

}  // namespace ff
