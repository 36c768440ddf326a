#include "cli/cli.h"

#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/instance_guard.h"
#include "cli/terminal.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::UtcInstant;

// The settings key comes from the instance guard, set up once as the
// program's entry does.
class GuardEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    InstanceGuardSetup setup;
    setup.lockFolder = lockFolder_.path();
    InitInstanceGuard(setup);
  }
  void TearDown() override { DoneInstanceGuard(); }

 private:
  test::TempDir lockFolder_;
};
const auto* const kGuard = ::testing::AddGlobalTestEnvironment(new GuardEnvironment);

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
    setenv("XDG_PICTURES_DIR", (dir_ / "Pictures").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  }
  ~CliTest() override {
    unsetenv("XDG_STATE_HOME");
    unsetenv("XDG_PICTURES_DIR");
    unsetenv("XDG_CONFIG_HOME");
  }

  void Card(const std::string& relative, Instant created) {
    test::WriteFile(dir_ / ("card/" + relative));
    test::SetTime(dir_ / ("card/" + relative), created);
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    std::istringstream in;
    return RunCli(args, out_, err_, in, false);
  }

  test::TempDir dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CliTest, PlanPrintsSourceTabTargetAndLogsTheSnapshots) {
  Card("DCIM/100CANON/IMG_0002.CR2", UtcInstant(2008, 5, 7, 10, 0, 1));
  Card("DCIM/100CANON/IMG_0002.JPG", UtcInstant(2008, 5, 7, 10, 0, 1, 500'000'000));
  Card("DCIM/100CANON/IMG_0001.JPG", UtcInstant(2008, 5, 7, 10, 0, 0));
  Card("DCIM/100CANON/NOTES.TXT", UtcInstant(2008, 5, 7, 9));
  const std::string card = dir_ / "card";
  ASSERT_EQ(
      Run({"plan", "--to", dir_ / "archive", "--folder", "{File.CreationYear}\\;x", "--file",
           "{File.CreationYear}{Incremental.Counter}", "--map", "*.cr2=" + dir_ / "raw", card}),
      0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            card + "/DCIM/100CANON/IMG_0001.JPG\t" + dir_ / "archive/2008/x/2008-0001.JPG\n" +
                card + "/DCIM/100CANON/IMG_0002.CR2\t" + dir_ / "raw/2008/x/2008-0001.CR2\n" +
                card + "/DCIM/100CANON/IMG_0002.JPG\t" + dir_ / "archive/2008/x/2008-0001.JPG\n");
  // The day's log holds the three snapshots.
  std::string log;
  for (const auto& file : std::filesystem::directory_iterator(dir_ / "state/fotoferry/Log"))
    log += test::ReadFile(file.path());
  for (const char* stage : {"before sorting\r\n", "after sorting\r\n", "after counting\r\n"})
    EXPECT_NE(log.find(std::string("\tValues of ImportList ") + stage), std::string::npos) << stage;
}

TEST_F(CliTest, DefaultsTakeThePicturesFolderAndTheDefaultPattern) {
  Card("IMG_0001.NEF", UtcInstant(2008, 5, 7));
  Card("sub/IMG_0002.ORF", UtcInstant(2008, 5, 8));
  Card("IMG_0003.PNG", UtcInstant(2008, 5, 9));
  ASSERT_EQ(Run({"plan", dir_ / "card"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), dir_ / "card/IMG_0001.NEF\t" + dir_ / "Pictures/.NEF\n" +
                            dir_ / "card/sub/IMG_0002.ORF\t" + dir_ / "Pictures/.ORF\n");
  ASSERT_EQ(Run({"plan", "--no-recurse", dir_ / "card"}), 0);
  EXPECT_EQ(out_.str(), dir_ / "card/IMG_0001.NEF\t" + dir_ / "Pictures/.NEF\n");
}

TEST_F(CliTest, BadInputGetsAMessageAndAnExitCode) {
  Card("IMG_0001.JPG", UtcInstant(2008, 5, 7));
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {{}, 2, "no command given"},
      {{"plan"}, 2, "no SOURCE folder given"},
      {{"plan", ""}, 2, "the SOURCE folder is empty"},
      {{"copy", "x"}, 2, "unknown command 'copy'"},
      {{"plan", "--bogus", "x"}, 2, "unknown option '--bogus'"},
      {{"plan", "--to"}, 2, "option --to needs a value"},
      {{"plan", "--map", "*.jpg", "x"}, 2, "--map needs WILDCARD=DIR"},
      {{"plan", "--move", "x"}, 2, "--move, --copy and --format belong to 'import'"},
      {{"plan", dir_ / "nowhere"}, 1, "cannot be opened: No such file or directory"},
      {{"plan", "--pattern", "*.jpg;[a", dir_ / "card"}, 1, "'[a' is an invalid mask at (3)"},
      {{"plan", "--folder", "..\\;up", dir_ / "card"}, 1, "'..' folder level"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.code) << c.message;
    EXPECT_EQ(err_.str().rfind("fotoferry-cli: ", 0), 0u) << err_.str();
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    EXPECT_TRUE(out_.str().empty());
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out_.str().find("fotoferry-cli plan"), std::string::npos);
}

TEST_F(CliTest, ImportCopiesWithNamesContentsAndTimes) {
  Card("DCIM/IMG_0001.JPG", UtcInstant(2008, 5, 7, 10, 0, 0, 123'456'789));
  Card("DCIM/IMG_0002.JPG", UtcInstant(2008, 5, 7, 11));
  Card("odd=name/IMG_0003.JPG", UtcInstant(2008, 5, 7, 12));
  test::WriteFile(dir_ / "archive/2008/x-0002.JPG", "taken");
  ASSERT_EQ(Run({"import", "--to", dir_ / "archive", "--folder", "{File.CreationYear}", "--file",
                 "x{Incremental.Counter}", dir_ / "card"}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "Copied 3 of 3 files, 3 B, 0 failed, 1 renamed to a free name\n");
  EXPECT_EQ(test::ReadFile(dir_ / "archive/2008/x-0001.JPG"), "x");
  EXPECT_EQ(test::ReadFile(dir_ / "archive/2008/x-0002.JPG"), "taken");
  EXPECT_TRUE(test::Exists(dir_ / "archive/2008/x-0002 (2).JPG"));
  EXPECT_TRUE(test::Exists(dir_ / "archive/2008/x-0003.JPG"));
  EXPECT_TRUE(test::Exists(dir_ / "card/DCIM/IMG_0001.JPG"));
  FileStatus status;
  int error = 0;
  ASSERT_TRUE(StatPath(dir_ / "archive/2008/x-0001.JPG", status, error));
  EXPECT_EQ(status.creation, UtcInstant(2008, 5, 7, 10, 0, 0, 123'456'789));
  ASSERT_TRUE(StatPath(dir_ / "archive/2008/x-0002 (2).JPG", status, error));
  EXPECT_EQ(status.creation, UtcInstant(2008, 5, 7, 11));
}

TEST_F(CliTest, ImportMovesAndAnswersNoToTheFormatWithoutATerminal) {
  Card("IMG_0001.JPG", UtcInstant(2008, 5, 7, 10));
  ASSERT_EQ(Run({"import", "--move", "--format", "--to", dir_ / "archive", dir_ / "card"}), 0)
      << err_.str();
  EXPECT_TRUE(test::Exists(dir_ / "archive/.JPG"));
  EXPECT_FALSE(test::Exists(dir_ / "card/IMG_0001.JPG"));
  // A temporary folder is no removable drive: no question at all.
  EXPECT_EQ(err_.str().find("Format drive"), std::string::npos);
}

TEST_F(CliTest, LogsWhereTheMachineSettingsSayAndSweepsOldFilesFirst) {
  const std::string logs = dir_ / "logs";
  {
    Registry machine(RootKey::LocalMachine, dir_ / "config/fotoferry");
    ASSERT_TRUE(machine.OpenKey("Software\\Tallmark\\Fotoferry", true));
    machine.WriteString("LogPath", logs);
    machine.WriteInteger("LogKeepDays", 5);
  }
  test::WriteFile(logs + "/20000101 Info.txt", "old");
  Card("IMG_0001.JPG", UtcInstant(2008, 5, 7));
  ASSERT_EQ(Run({"plan", "--to", dir_ / "archive", dir_ / "card"}), 0) << err_.str();
  EXPECT_FALSE(test::Exists(logs + "/20000101 Info.txt"));
  size_t files = 0;
  for (const auto& file : std::filesystem::directory_iterator(logs)) {
    ++files;
    EXPECT_NE(test::ReadFile(file.path()).find("Values of ImportList after counting"),
              std::string::npos);
  }
  EXPECT_EQ(files, 1u);
}

TEST(TerminalPrompts, AskOnATerminalAndAnswerNoWithoutOne) {
  std::istringstream yes("y\n");
  std::ostringstream err;
  EXPECT_TRUE(TerminalPrompts(yes, err, true).Confirm("Format drive /media/card?"));
  EXPECT_EQ(err.str(), "Format drive /media/card? [y/N] ");
  std::istringstream enter("\n");
  EXPECT_FALSE(TerminalPrompts(enter, err, true).Confirm("Format drive /media/card?"));
  std::istringstream script("y\n");
  err.str("");
  EXPECT_FALSE(TerminalPrompts(script, err, false).Confirm("Format drive /media/card?"));
  EXPECT_EQ(err.str(), "Format drive /media/card? [y/N] N (input is not a terminal)\n");
}

TEST_F(CliTest, ImportOfNothingFailsClearly) {
  Card("notes.txt", UtcInstant(2008, 5, 7));
  EXPECT_EQ(Run({"import", "--to", dir_ / "archive", dir_ / "card"}), 1);
  EXPECT_NE(err_.str().find("fotoferry-cli: No source files specified"), std::string::npos)
      << err_.str();
}

}  // namespace
}  // namespace ff
