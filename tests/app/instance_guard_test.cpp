#include "app/instance_guard.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace ff {
namespace {

InstanceGuardSetup GuardSetup(const std::string& title, const std::string& lockFolder) {
  InstanceGuardSetup setup;
  setup.title = title;
  setup.lockFolder = lockFolder;
  return setup;
}

TEST(InstanceGuard, TitleIsTheFileNameUpToItsFirstDotWithLaterLettersLowered) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/x/FotoFerry.Setup.exe", "Fotoferry"},
      {"/usr/bin/fotoferry", "fotoferry"},
      {"Fotoferry2.exe", "Fotoferry2"},
      {"/home/a.b/FOTOFERRY", "Fotoferry"},
      {"/x/\xC3\x84RGER.bin", "\xC3\x84rger"},  // the first character kept whole
      {"/x/.hidden", ""},
      {"", ""},
  };
  for (const auto& [exe, title] : cases) EXPECT_EQ(ApplicationTitle(exe), title) << exe;
}

TEST(InstanceGuard, KeyPathsAndVersionStringsFollowTheVersionInformation) {
  test::TempDir tmp;
  VersionInfo noInternalName;
  noInternalName.translations = {{0x0409, 0x04E4}};
  noInternalName.blocks = {{"040904E4", {{"ProductName", "Fotoferry"}}}};
  struct Case {
    const VersionInfo* info;
    std::string keyPath, fileVersion;
  };
  const Case cases[] = {
      {&ProgramVersionInfo(), "Software\\Tallmark\\Fotoferry", "2.0.0.70"},
      {nullptr, "Software\\Tallmark\\Fotoferry.exe", ""},
      {&noInternalName, "Software\\Tallmark\\", ""},
  };
  for (const Case& c : cases) {
    InitInstanceGuard({"Fotoferry", tmp.path(), "/opt/fotoferry/Fotoferry.exe", c.info});
    EXPECT_EQ(ProgramKeyPath(), c.keyPath);
    EXPECT_EQ(RunKeyPath(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(ExeFileName(), "/opt/fotoferry/Fotoferry.exe");
    EXPECT_EQ(GetVersionInfoString("FileVersion"), c.fileVersion);
    EXPECT_TRUE(IsFirstInstance());
    DoneInstanceGuard();
    EXPECT_EQ(ProgramKeyPath(), "");
    EXPECT_EQ(GetVersionInfoString("FileVersion"), "");
  }
  InitInstanceGuard(GuardSetup("Fotoferry", tmp.path()));
  EXPECT_EQ(ExeFileName(), std::filesystem::canonical("/proc/self/exe").string());
  DoneInstanceGuard();
}

// Starts a process that takes the lock of title in folder and reports
// whether it is the first instance; it then waits to be killed when hold
// is set, and ends otherwise.
struct Instance {
  pid_t pid = -1;
  bool first = false;
};

Instance StartInstance(const std::string& folder, const std::string& title, bool hold) {
  int report[2];
  if (::pipe(report) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(30);  // never outlives a failed test for long
    ::close(report[0]);
    InitInstanceGuard(GuardSetup(title, folder));
    const char answer = IsFirstInstance() ? '1' : '0';
    if (::write(report[1], &answer, 1) != 1) ::_exit(2);
    while (hold) ::pause();
    ::_exit(0);
  }
  ::close(report[1]);
  char answer = '?';
  const bool got = pid > 0 && ::read(report[0], &answer, 1) == 1;
  ::close(report[0]);
  if (!hold && pid > 0) ::waitpid(pid, nullptr, 0);
  return {pid, got && answer == '1'};
}

TEST(InstanceGuard, SecondProcessIsRefusedUntilTheFirstHasEnded) {
  test::TempDir tmp;
  Instance first = StartInstance(tmp.path(), "Fotoferry", /*hold=*/true);
  ASSERT_GT(first.pid, 0);
  EXPECT_TRUE(first.first);
  EXPECT_FALSE(StartInstance(tmp.path(), "Fotoferry", false).first);
  EXPECT_TRUE(StartInstance(tmp.path(), "Fotoferry2", false).first);
  EXPECT_TRUE(StartInstance(tmp.path(), "fotoferry", false).first);
  // The lock dies with the process, however it ends.
  ::kill(first.pid, SIGKILL);
  ::waitpid(first.pid, nullptr, 0);
  EXPECT_TRUE(StartInstance(tmp.path(), "Fotoferry", false).first);

  // This process as the first one: refused while it holds the lock.
  InitInstanceGuard(GuardSetup("Fotoferry", tmp.path()));
  EXPECT_TRUE(IsFirstInstance());
  EXPECT_FALSE(StartInstance(tmp.path(), "Fotoferry", false).first);
  DoneInstanceGuard();
  EXPECT_TRUE(StartInstance(tmp.path(), "Fotoferry", false).first);
}

TEST(InstanceGuard, LockFolderIsPrivateOrRefused) {
  test::TempDir tmp;
  const std::string fresh = tmp / "fresh";
  ASSERT_TRUE(EnsurePrivateFolder(fresh));
  struct stat st {};
  ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  const std::string open = tmp / "open";
  ::mkdir(open.c_str(), 0777);
  ::chmod(open.c_str(), 0777);
  EXPECT_TRUE(EnsurePrivateFolder(open));
  ASSERT_EQ(::stat(open.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // A link planted in place of the folder, or a file, is never used.
  std::filesystem::create_directory_symlink(fresh, tmp / "link");
  EXPECT_FALSE(EnsurePrivateFolder(tmp / "link"));
  test::WriteFile(tmp / "file");
  EXPECT_FALSE(EnsurePrivateFolder(tmp / "file"));

  // Without a lock folder no process is first.
  InitInstanceGuard(GuardSetup("Fotoferry", tmp / "file"));
  EXPECT_FALSE(IsFirstInstance());
  DoneInstanceGuard();

  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = runtime ? runtime : "";
  ::setenv("XDG_RUNTIME_DIR", tmp.path().c_str(), 1);
  EXPECT_EQ(InstanceLockFolder(), tmp.path());
  runtime ? ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace ff
