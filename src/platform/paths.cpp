#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace ff {
namespace {

std::string EnvFolder(const char* name) {
  const char* value = std::getenv(name);
  return (value && value[0] == '/') ? std::string(value) : std::string();
}

// Reads XDG_PICTURES_DIR from user-dirs.dirs ("$HOME/Pictures" form).
std::string PicturesFromUserDirs(const std::string& home) {
  std::string config = EnvFolder("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::ifstream file(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_PICTURES_DIR=";
  while (std::getline(file, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (IsFullPath(value)) return value;
  }
  return {};
}

}  // namespace

std::string_view FileNamePart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool HasParentLevel(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

std::string AbsolutePath(std::string_view path) {
  if (path.empty()) return {};
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
  if (ec) p = std::filesystem::path(path);
  std::string text = p.lexically_normal().string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string HomeFolder() {
  std::string home = EnvFolder("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
    return found->pw_dir;
  return "/";
}

std::string UserPicturesFolder() {
  std::string folder = EnvFolder("XDG_PICTURES_DIR");
  if (!folder.empty()) return folder;
  const std::string home = HomeFolder();
  folder = PicturesFromUserDirs(home);
  return folder.empty() ? JoinPath(home, "Pictures") : folder;
}

std::string ConfigFolder() {
  std::string base = EnvFolder("XDG_CONFIG_HOME");
  if (base.empty()) base = JoinPath(HomeFolder(), ".config");
  return JoinPath(base, "fotoferry");
}

std::string DefaultLogFolder() {
  std::string base = EnvFolder("XDG_STATE_HOME");
  if (base.empty()) base = JoinPath(HomeFolder(), ".local/state");
  return JoinPath(base, "fotoferry/Log");
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
}

bool MakeFolders(const std::string& path, int& error) {
  if (path.empty()) {
    error = ENOENT;
    return false;
  }
  std::string partial;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    partial = path.substr(0, pos);
    if (partial.empty() || partial == "/") continue;
    if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
      error = errno;
      return false;
    }
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    error = errno;
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = ENOTDIR;
    return false;
  }
  return true;
}

}  // namespace ff
