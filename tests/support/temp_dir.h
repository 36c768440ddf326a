// A temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <string>

#include "platform/datetime.h"

namespace ff::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

// Writes content to path, creating missing folders.
void WriteFile(const std::string& path, const std::string& content = "x");
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Sets the access and modification time of an existing file.
void SetTime(const std::string& path, Instant instant);

// An instant from UTC calendar fields.
Instant UtcInstant(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                   int nanoseconds = 0);

}  // namespace ff::test
