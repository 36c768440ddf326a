// File lookups and file times.
#pragma once

#include <cstdint>
#include <string>

#include "platform/datetime.h"

struct statx;

namespace ff {

struct FileStatus {
  bool isDirectory = false;
  bool isRegular = false;
  std::uint64_t size = 0;
  // When the picture was taken: the earlier of the birth time (where the
  // file system reports one) and the modification time. A camera writes
  // both at the shot; a copied folder keeps only the modification time.
  Instant creation;
};

// Looks path up, following symbolic links. On failure answers false and
// leaves the errno value in error.
bool StatPath(const std::string& path, FileStatus& status, int& error);

// Looks up name inside the open folder dirFd (no path walk); as StatPath.
bool StatAt(int dirFd, const char* name, FileStatus& status, int& error);

// The creation instant of a statx result, by the rule of FileStatus.
Instant CreationInstant(const struct statx& sx);

// Sets the access and modification time of path to instant, exactly.
// Answers false (errno in error) on failure; never creates the file.
bool SetFileTimes(const std::string& path, Instant instant, int& error);

}  // namespace ff
