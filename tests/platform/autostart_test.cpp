#include "platform/autostart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/error.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using ::testing::HasSubstr;

TEST(Autostart, TheValueIsTheDesktopEntry) {
  test::TempDir dir;
  AutostartFolder run(dir / "autostart");
  EXPECT_FALSE(run.ValueExists("Fotoferry"));

  run.WriteString("Fotoferry", "/opt/Foto Ferry/bin/fotoferry");
  EXPECT_TRUE(run.ValueExists("Fotoferry"));
  const std::string entry = test::ReadFile(dir / "autostart/Fotoferry.desktop");
  EXPECT_THAT(entry, HasSubstr("[Desktop Entry]\nType=Application\nName=Fotoferry\n"));
  EXPECT_THAT(entry, HasSubstr("\nExec=\"/opt/Foto Ferry/bin/fotoferry\"\n"));
  EXPECT_EQ(run.ReadString("Fotoferry"), "/opt/Foto Ferry/bin/fotoferry");

  EXPECT_TRUE(run.DeleteValue("Fotoferry"));
  EXPECT_FALSE(run.ValueExists("Fotoferry"));
  EXPECT_FALSE(run.DeleteValue("Fotoferry"));
}

TEST(Autostart, ExecQuotesEveryPathSoItReadsBack) {
  EXPECT_EQ(ExecLineFor("/a b/$x\\y%"), "\"/a b/\\\\$x\\\\\\\\y%%\"");
  for (const char* path : {"/usr/bin/fotoferry", "/x/quote\"d", "/x/`tick`", "/x/$HOME",
                           "/x/back\\slash", "/x/100%", "/x/new\nline\ttab", "/x/ä ✓"})
    EXPECT_EQ(ProgramOfExecLine(ExecLineFor(path)), path);
  // Entries written by hand or by other tools.
  EXPECT_EQ(ProgramOfExecLine("/usr/bin/fotoferry --tray"), "/usr/bin/fotoferry");
  EXPECT_EQ(ProgramOfExecLine("\"/my\\sapps/foto\" %U"), "/my apps/foto");
}

TEST(Autostart, FailuresNameTheValue) {
  test::TempDir dir;
  test::WriteFile(dir / "file");
  AutostartFolder blocked(dir / "file/autostart");
  auto message = [](const std::function<void()>& action) -> std::string {
    try {
      action();
    } catch (const Error& e) {
      return e.what();
    }
    return "(no error)";
  };
  EXPECT_EQ(message([&] { blocked.WriteString("Fotoferry", "/bin/x"); }),
            "Failed to set data for 'Fotoferry'");
  EXPECT_EQ(message([&] { blocked.ReadString("Fotoferry"); }),
            "Failed to get data for 'Fotoferry'");
  AutostartFolder run(dir / "autostart");
  EXPECT_EQ(message([&] { run.WriteString("../escape", "/bin/x"); }),
            "Failed to set data for '../escape'");
  EXPECT_FALSE(test::Exists(dir / "escape.desktop"));
}

TEST(Autostart, FolderFollowsXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", "/tmp/ff-config", 1);
  EXPECT_EQ(DefaultAutostartFolder(), "/tmp/ff-config/autostart");
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace ff
