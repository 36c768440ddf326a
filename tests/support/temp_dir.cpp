#include "support/temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/files.h"

namespace ff::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "fotoferry-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Folders a test made unreadable must be readable again to be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec)) chmod(it->path().c_str(), 0755);
  }
  chmod(path_.c_str(), 0755);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::operator/(const std::string& relative) const { return path_ + "/" + relative; }

void WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream file(path, std::ios::binary);
  file << content;
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void SetTime(const std::string& path, Instant instant) {
  int error = 0;
  if (!SetFileTimes(path, instant, error)) throw std::runtime_error("cannot set time of " + path);
}

Instant UtcInstant(int year, int month, int day, int hour, int minute, int second,
                   int nanoseconds) {
  const std::int64_t days = DaysFromCivil(year, month, day) - 25'569;  // since 1970-01-01
  return Instant{days * 86'400 + hour * 3600 + minute * 60 + second, nanoseconds};
}

}  // namespace ff::test
