#include "app/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/text.h"

namespace ff {
namespace {

constexpr char kProgramKeyBase[] = "Software\\Tallmark\\";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr size_t kMaxTitle = 512;

struct GuardState {
  int lockFd = -1;
  bool firstInstance = false;
  std::string exeFileName;
  const VersionInfo* versionInfo = nullptr;
  std::string programKeyPath = kProgramKeyBase;
  std::string runKeyPath = kRunKey;
};

GuardState& State() {
  static GuardState state;
  return state;
}

// Opens the lock file and tries to lock it; the descriptor stays open either
// way, as a handle to the lock would.
void TakeLock(GuardState& state, const std::string& folder, const std::string& name) {
  if (folder.empty()) return;
  state.lockFd =
      ::open(JoinPath(folder, name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (state.lockFd < 0) return;
  int result;
  do {
    result = ::flock(state.lockFd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  state.firstInstance = result == 0;
}

}  // namespace

std::string ApplicationTitle(std::string_view exeFileName) {
  std::string_view name = FileNamePart(exeFileName);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  size_t first = 0;
  if (!title.empty()) DecodeUtf8(title, first);
  for (size_t i = first; i < title.size(); ++i)
    if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
  return title;
}

bool EnsurePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
    return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

std::string InstanceLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (runtime && IsFullPath(runtime) && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
    return runtime;
  const std::string folder = "/tmp/fotoferry-" + std::to_string(::geteuid());
  return EnsurePrivateFolder(folder) ? folder : std::string();
}

void InitInstanceGuard(const InstanceGuardSetup& setup) {
  GuardState& state = State();
  if (state.lockFd >= 0) ::close(state.lockFd);
  state.lockFd = -1;
  state.firstInstance = false;
  const std::string exe = setup.exeFileName.empty() ? ExecutablePath() : setup.exeFileName;
  // 1-3: the lock and whether this is the first instance.
  std::string title = setup.title.empty() ? ApplicationTitle(exe) : setup.title;
  if (title.size() > kMaxTitle) title.resize(kMaxTitle);
  TakeLock(state, setup.lockFolder.empty() ? InstanceLockFolder() : setup.lockFolder,
           "PREVINST:" + title);
  // 5: the executable.
  state.exeFileName = exe;
  // 6-7: the version information and the program's key.
  state.versionInfo = setup.versionInfo;
  state.programKeyPath = kProgramKeyBase;
  state.runKeyPath = kRunKey;
  if (state.versionInfo)
    state.programKeyPath += GetVersionInfoString("InternalName");
  else
    state.programKeyPath += FileNamePart(exe);
}

void DoneInstanceGuard() {
  GuardState& state = State();
  state.versionInfo = nullptr;
  if (state.lockFd >= 0) ::close(state.lockFd);
  state.lockFd = -1;
  state.firstInstance = false;
  state.programKeyPath.clear();
  state.runKeyPath.clear();
}

bool IsFirstInstance() { return State().firstInstance; }

const std::string& ExeFileName() { return State().exeFileName; }

const std::string& ProgramKeyPath() { return State().programKeyPath; }

const std::string& RunKeyPath() { return State().runKeyPath; }

std::string GetVersionInfoString(std::string_view name) {
  const VersionInfo* info = State().versionInfo;
  return info ? QueryVersionString(*info, name) : std::string();
}

}  // namespace ff
