#include "platform/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "platform/error.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::Exists;
using ::testing::HasSubstr;

constexpr const char* kKey = "Software\\Tallmark\\Fotoferry";

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

class RegistryTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string folder = dir / "config/fotoferry";
  std::string hive = folder + "/HKEY_CURRENT_USER.reg";
};

TEST_F(RegistryTest, ValuesRoundTripThroughAReadableFile) {
  const std::string longPath = "/home/ansel/Pictures/" + std::string(60, 'x') + "/Log";
  {
    Registry reg(RootKey::CurrentUser, folder);
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteString("ImportTo", "C:\\Pics \"raw\"");
    reg.WriteString("Umlaut", "Ärger ✓ 𝄞");
    reg.WriteString("TwoLines", "first\r\nsecond\tend");
    reg.WriteExpandString("LogPath", longPath);
    reg.WriteInteger("QuickFolders", -1);
    reg.WriteInteger("LogKeepDays", 30);
    reg.WriteBool("Move", true);
    reg.WriteString("", "default");
    reg.WriteString("importto", "/srv/photos");  // names ignore letter case
  }
  const std::string text = test::ReadFile(hive);
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n\n", 0), 0u);
  EXPECT_THAT(text, HasSubstr("[HKEY_CURRENT_USER\\Software\\Tallmark\\Fotoferry]\n"));
  EXPECT_THAT(text, HasSubstr("\n\"ImportTo\"=\"/srv/photos\"\n"));
  EXPECT_THAT(text, HasSubstr("\n\"QuickFolders\"=dword:ffffffff\n"));
  EXPECT_THAT(text, HasSubstr("\n\"LogKeepDays\"=dword:0000001e\n"));
  EXPECT_THAT(text, HasSubstr("\n\"LogPath\"=hex(2):2f,00,68,00,"));
  EXPECT_THAT(text, HasSubstr("\\\n  "));  // the long hex list is continued
  EXPECT_THAT(text, HasSubstr("\n@=\"default\"\n"));
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);

  Registry reg(RootKey::CurrentUser, folder);
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_EQ(reg.ReadString("IMPORTTO"), "/srv/photos");
  EXPECT_EQ(reg.ReadString("Umlaut"), "Ärger ✓ 𝄞");
  EXPECT_EQ(reg.ReadString("TwoLines"), "first\r\nsecond\tend");
  EXPECT_EQ(reg.ReadString("LogPath"), longPath);
  EXPECT_EQ(reg.GetDataType("LogPath"), RegDataType::ExpandString);
  EXPECT_EQ(reg.ReadInteger("QuickFolders"), -1);
  EXPECT_EQ(reg.ReadInteger("LogKeepDays"), 30);
  EXPECT_TRUE(reg.ReadBool("Move"));
  EXPECT_EQ(reg.ReadString(""), "default");

  EXPECT_TRUE(reg.DeleteValue("move"));
  EXPECT_FALSE(reg.ValueExists("Move"));
  EXPECT_FALSE(reg.DeleteValue("Move"));
}

TEST_F(RegistryTest, StoringWhatIsStoredAlreadyLeavesTheFileAlone) {
  Registry reg(RootKey::CurrentUser, folder);
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("ImportTo", "/srv/photos");
  reg.WriteInteger("QuickFolders", 3);
  struct stat before {};
  ASSERT_EQ(stat(hive.c_str(), &before), 0);
  reg.WriteString("ImportTo", "/srv/photos");
  reg.WriteInteger("QuickFolders", 3);
  struct stat after {};
  ASSERT_EQ(stat(hive.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not replaced
  reg.WriteExpandString("ImportTo", "/srv/photos");  // another type is a change
  ASSERT_EQ(stat(hive.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(reg.GetDataType("ImportTo"), RegDataType::ExpandString);
}

TEST_F(RegistryTest, ReadAndWriteFailuresCarryTheValueName) {
  test::WriteFile(hive,
                  "Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Tallmark\\Fotoferry]\n"
                  "\"Long\"=\"abc\"\n"  // 8 bytes as UTF-16: longer than a number
                  "\"Short\"=\"a\"\n"   // 4 bytes: fits, but is no number
                  "\"Number\"=dword:00000002\n"
                  "\"Blob\"=hex:01,02\n");
  Registry reg(RootKey::CurrentUser, folder);
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  struct Case {
    std::function<void()> action;
    std::string message;
  } cases[] = {
      {[&] { reg.ReadInteger("Long"); }, "Failed to get data for 'Long'"},
      {[&] { reg.ReadBool("Short"); }, "Invalid data type for 'Short'"},
      {[&] { reg.ReadInteger("Blob"); }, "Invalid data type for 'Blob'"},
      {[&] { reg.ReadString("Number"); }, "Invalid data type for 'Number'"},
      {[&] { reg.ReadString("Missing"); }, "Failed to get data for 'Missing'"},
      {[&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
      {[&] { reg.WriteString("Bad\nName", "x"); }, "Failed to set data for 'Bad\nName'"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.action), c.message);

  EXPECT_FALSE(reg.OpenKey("Software\nInjected]", true));
  EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("Move", 1); }), "Failed to set data for 'Move'");

  // A hive whose folder cannot exist (a file stands in its way).
  test::WriteFile(dir / "blocked");
  Registry blocked(RootKey::CurrentUser, dir / "blocked/fotoferry");
  EXPECT_FALSE(blocked.OpenKey(kKey, true));
  EXPECT_FALSE(Exists(dir / "blocked/fotoferry"));
}

// A file as a person writes it: CR LF, comments, blank lines, any letter
// case, continued hex lists, deletions; also as regedit exports it (UTF-16LE
// with byte-order mark).
TEST_F(RegistryTest, HandWrittenFilesReadAsDocumented) {
  const std::string text =
      "; settings for the card importer\r\n"
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[hkey_current_user\\SOFTWARE\\tallmark\\fotoferry]\r\n"
      "\"ImportTo\"=\"D:\\\\Photo \\\"archive\\\"\"\r\n"
      "  ; the default value\r\n"
      "@=\"root\"\r\n"
      "\"Recurse\"=dword:1   ; short form\r\n"
      "\"LogPath\"=hex(2):25,00,48,00,\\\r\n"
      "    4f,00,4d,00,45,00,25,00,00,00\r\n"
      "\"Note\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
      "\"Gone\"=\"x\"\r\n"
      "\"Gone\"=-\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Keep\"=hex(7):61,00,00,00,00,00\r\n";

  std::string utf16 = "\xFF\xFE";
  for (unsigned char c : text) utf16 += {static_cast<char>(c), '\0'};  // text is ASCII

  for (const std::string& content : {text, utf16}) {
    test::WriteFile(hive, content);
    Registry reg(RootKey::CurrentUser, folder);
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.ReadString("importto"), "D:\\Photo \"archive\"");
    EXPECT_EQ(reg.ReadString(""), "root");
    EXPECT_TRUE(reg.ReadBool("Recurse"));
    EXPECT_EQ(reg.ReadString("LogPath"), "%HOME%");  // unexpanded
    EXPECT_EQ(reg.ReadString("Note"), "A\nB");
    EXPECT_FALSE(reg.ValueExists("Gone"));
    EXPECT_TRUE(reg.KeyExists("Software"));
    EXPECT_FALSE(reg.KeyExists("Software\\Tall"));

    // A change keeps what the program does not know of.
    reg.WriteBool("Move", false);
    const std::string after = test::ReadFile(hive);
    EXPECT_THAT(after,
                HasSubstr("[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=hex(7):61,00,00,"));
    EXPECT_THAT(after, HasSubstr("\"Move\"=dword:00000000"));
  }
}

TEST_F(RegistryTest, UnparsableFilesAreKeptAsideAndReportedOnce) {
  struct Case {
    const char* what;
    std::string content;
  } cases[] = {
      {"no header", "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\"\n"},
      {"broken value",
       "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=dword:xyz\n"},
      {"value before key", "Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n"},
      {"open quote", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"b\n"},
      {"bad hex", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:1g\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WriteFile(hive, c.content);
    ::testing::internal::CaptureStderr();
    Registry reg(RootKey::CurrentUser, folder);
    EXPECT_FALSE(reg.KeyExists("X"));
    EXPECT_FALSE(reg.KeyExists("Software"));
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(report, HasSubstr(hive));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1);
    EXPECT_FALSE(Exists(hive));

    ASSERT_TRUE(reg.OpenKey(kKey, true));
    reg.WriteInteger("Move", 1);
    EXPECT_EQ(Registry(RootKey::CurrentUser, folder).OpenKey(kKey, false), true);
  }
  // Every bad file is still there, none replaced by a later one.
  EXPECT_EQ(test::ReadFile(hive + ".corrupt"), cases[0].content);
  EXPECT_EQ(test::ReadFile(hive + ".corrupt.5"), cases[4].content);
}

TEST_F(RegistryTest, KeysOpenForFullAccessOnlyWhereTheFileCanBeWritten) {
  Registry reg(RootKey::LocalMachine, folder);
  EXPECT_FALSE(reg.OpenKey(kKey, false));
  EXPECT_FALSE(Exists(folder));  // opening without creating writes nothing
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  EXPECT_THAT(test::ReadFile(folder + "/HKEY_LOCAL_MACHINE.reg"),
              HasSubstr("[HKEY_LOCAL_MACHINE\\Software\\Tallmark\\Fotoferry]"));
  EXPECT_TRUE(Registry(RootKey::LocalMachine, folder).OpenKey(kKey, false));
  EXPECT_FALSE(Registry(RootKey::CurrentUser, folder).OpenKey(kKey, false));

  // Where no lock can be taken beside the file, no change could be made.
  const std::string lock = folder + "/HKEY_LOCAL_MACHINE.reg.lock";
  unlink(lock.c_str());
  ASSERT_EQ(mkdir(lock.c_str(), 0755), 0);
  EXPECT_FALSE(Registry(RootKey::LocalMachine, folder).OpenKey(kKey, false));
  EXPECT_FALSE(Registry(RootKey::LocalMachine, folder).OpenKey(kKey, true));
  rmdir(lock.c_str());
}

TEST_F(RegistryTest, ReadOnlyHiveFileIsReadButNotOpenedForFullAccess) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  ASSERT_TRUE(Registry(RootKey::LocalMachine, folder).OpenKey(kKey, true));
  chmod((folder + "/HKEY_LOCAL_MACHINE.reg").c_str(), 0444);
  Registry readOnly(RootKey::LocalMachine, folder);
  EXPECT_TRUE(readOnly.KeyExists(kKey));
  EXPECT_FALSE(readOnly.OpenKey(kKey, false));
}

// Two processes change one hive at the same moment: every change survives.
TEST_F(RegistryTest, ConcurrentProcessesLoseNoChange) {
  constexpr int kWrites = 60;
  ASSERT_TRUE(Registry(RootKey::CurrentUser, folder).OpenKey(kKey, true));
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      int failures = 0;
      Registry reg(RootKey::CurrentUser, folder);
      for (int i = 0; i < kWrites; ++i) {
        try {
          if (!reg.OpenKey(kKey, true)) ++failures;
          reg.WriteInteger("p" + std::to_string(child) + "_" + std::to_string(i), i);
        } catch (...) {
          ++failures;
        }
      }
      _exit(failures == 0 ? 0 : 1);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry reg(RootKey::CurrentUser, folder);
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  for (int child = 0; child < 2; ++child)
    for (int i = 0; i < kWrites; ++i)
      EXPECT_EQ(reg.ReadInteger("p" + std::to_string(child) + "_" + std::to_string(i)), i);
}

}  // namespace
}  // namespace ff
