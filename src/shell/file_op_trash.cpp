#include "shell/file_op_trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/file_copy.h"
#include "platform/paths.h"
#include "shell/file_op_engine.h"

namespace ff {
namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

// Percent-encodes everything but unreserved characters and "/".
std::string EncodePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string DeletionDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

int MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return 0;
  return errno;
}

// A trash folder with its files/ and info/ folders, made when missing.
int PrepareTrash(const std::string& trash) {
  if (int error = MakeFolder(trash)) return error;
  if (int error = MakeFolder(trash + "/files")) return error;
  return MakeFolder(trash + "/info");
}

// The top folder of the volume holding path: the highest folder above it on
// the same device.
std::string TopFolder(const std::string& path, dev_t device) {
  std::string folder = ParentOf(path);
  while (folder != "/") {
    const std::string parent = ParentOf(folder);
    struct stat st {};
    if (stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
    folder = parent;
  }
  return folder;
}

// $topdir/.Trash/$uid where $topdir/.Trash is a real, sticky folder; else
// $topdir/.Trash-$uid, a real folder of our own. Empty when neither.
std::string VolumeTrash(const std::string& top) {
  const std::string uid = std::to_string(getuid());
  const std::string base = top == "/" ? "" : top;
  struct stat st {};
  const std::string shared = base + "/.Trash";
  if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    const std::string mine = shared + "/" + uid;
    if (PrepareTrash(mine) == 0 && lstat(mine.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == getuid())
      return mine;
  }
  const std::string own = base + "/.Trash-" + uid;
  if (PrepareTrash(own) == 0 && lstat(own.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
      st.st_uid == getuid())
    return own;
  return {};
}

int WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

// Reserves a name in trash/info, then moves path to trash/files under it.
int MoveInto(const std::string& trash, const std::string& path, const std::string& recorded,
             std::string& trashedPath) {
  const std::string name(FileNamePart(path));
  const std::string info =
      "[Trash Info]\nPath=" + EncodePath(recorded) + "\nDeletionDate=" + DeletionDate() + "\n";
  for (unsigned n = 1; n < 10000; ++n) {
    const std::string entry = CollisionName(name, n);
    const std::string infoPath = trash + "/info/" + entry + ".trashinfo";
    const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    int error = WriteAll(fd, info);
    if (close(fd) != 0 && error == 0) error = errno;
    const std::string filesPath = trash + "/files/" + entry;
    if (error == 0) error = RenameNoReplace(AT_FDCWD, path.c_str(), AT_FDCWD, filesPath.c_str());
    if (error == 0) {
      trashedPath = filesPath;
      return 0;
    }
    unlink(infoPath.c_str());
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

std::string HomeTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base =
      (data && data[0] == '/') ? std::string(data) : JoinPath(HomeFolder(), ".local/share");
  return JoinPath(base, "Trash");
}

}  // namespace

int MoveToTrash(const std::string& given, std::string& trashedPath) {
  const std::string path = AbsolutePath(given);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return errno;
  if (FileNamePart(path).empty() || path == "/") return EINVAL;

  const std::string home = HomeTrash();
  int error = 0;
  MakeFolders(ParentOf(home), error);
  struct stat homeSt {};
  if (PrepareTrash(home) == 0 && stat(home.c_str(), &homeSt) == 0 && homeSt.st_dev == st.st_dev)
    return MoveInto(home, path, path, trashedPath);

  const std::string top = TopFolder(path, st.st_dev);
  const std::string trash = VolumeTrash(top);
  if (trash.empty()) return EXDEV;
  // Paths in a volume's trash are recorded relative to its top folder.
  const std::string recorded = top == "/" ? path.substr(1) : path.substr(top.size() + 1);
  return MoveInto(trash, path, recorded, trashedPath);
}

}  // namespace ff
