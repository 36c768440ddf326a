// Helpers of the file operation tests: scripted progress, a small mounted
// tmpfs, tree listings and a way to lose read permission as root.
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/file_operation.h"
#include "support/temp_dir.h"

namespace ff::test {

class ScriptedProgress : public FileOperationProgress {
 public:
  explicit ScriptedProgress(std::function<bool(const FileOperationStatus&)> answer)
      : answer_(std::move(answer)) {}
  bool Report(const FileOperationStatus& status) override {
    ++calls;
    return answer_(status);
  }
  int calls = 0;

 private:
  std::function<bool(const FileOperationStatus&)> answer_;
};

// Test names for copy and move cases.
inline std::string OperationName(const testing::TestParamInfo<TStFileOp>& param) {
  return param.param == TStFileOp::fopMove ? "Move" : "Copy";
}

// A tmpfs of the given size mounted at path while the object lives.
class Tmpfs {
 public:
  Tmpfs(const std::string& path, const std::string& size) : path_(path) {
    mkdir(path.c_str(), 0755);
    const std::string options = "size=" + size;
    mounted_ = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~Tmpfs() {
    if (mounted_ && umount(path_.c_str()) != 0) umount2(path_.c_str(), MNT_DETACH);
  }
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

#define FF_REQUIRE_TMPFS(fs) \
  if (!(fs).mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << (fs).error()

// Every regular file below folder, as paths relative to it, sorted.
inline std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec))
      files.push_back(std::filesystem::relative(it->path(), folder).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// True when some file below folder is an unfinished copy.
inline bool HasTemporaryFiles(const std::string& folder) {
  for (const std::string& file : FilesBelow(folder))
    if (std::filesystem::path(file).filename().string().rfind(".fotoferry-", 0) == 0) return true;
  return false;
}

// Content that tells files and their positions apart.
inline std::string Pattern(size_t size, char seed) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>(seed + static_cast<char>(i % 251));
  return text;
}

// Drops the effective user to "nobody" while it lives, so that permissions
// apply to a test that runs as root.
class AsNobody {
 public:
  AsNobody() : wasRoot_(geteuid() == 0) {
    if (wasRoot_ && seteuid(65534) != 0) wasRoot_ = false;
  }
  ~AsNobody() {
    if (wasRoot_ && seteuid(0) != 0) std::abort();
  }
  AsNobody(const AsNobody&) = delete;
  AsNobody& operator=(const AsNobody&) = delete;

 private:
  bool wasRoot_;
};

}  // namespace ff::test
