// Small files that several processes change: whole-file reads, an exclusive
// lock beside the file, and replacement that never leaves a partial file.
#pragma once

#include <string>
#include <string_view>

namespace ff {

// An exclusive flock on path (created when missing), held until destruction.
// Blocks while another process holds it. The lock dies with the process.
class FileLock {
 public:
  // Check locked() afterwards; on failure error holds the errno value.
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool locked() const { return fd_ >= 0; }
  int error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Reads the whole file. Answers false with the errno value in error (ENOENT
// for a missing file); content is then empty.
bool ReadWholeFile(const std::string& path, std::string& content, int& error);

// Replaces path with content: writes a hidden temporary file in the same
// folder, flushes it to disk, renames it over path and flushes the folder.
// A crash at any moment leaves either the old or the new file whole. An
// existing file's permissions are kept, a new file gets mode (less umask).
// Answers false with the errno value in error; path is then unchanged.
bool ReplaceFile(const std::string& path, std::string_view content, int& error,
                 unsigned mode = 0644);

// Moves path aside to path + suffix, or path + suffix + ".2", ".3", ... when
// that name is taken; never replaces an existing file. Answers the new name,
// or an empty text (errno in error) when the file could not be moved.
std::string MoveAside(const std::string& path, const std::string& suffix, int& error);

// True when this process may write path (an existing file) or create files
// in the folder that would hold it.
bool CanWrite(const std::string& path);

}  // namespace ff
