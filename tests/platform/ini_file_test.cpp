#include "platform/ini_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

std::string WriteError(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

class IniFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string path = dir / "config/fotoferry.ini";
};

TEST_F(IniFileTest, ReadsWithPrivateProfileRules) {
  test::WriteFile(path,
                  "; quick selections\r\n"
                  "[ QuickFolders ]\r\n"
                  "  Userdefined =  {File.CreationYear};\\   \r\n"
                  "Trip = a=b\r\n"
                  "no equals sign here\r\n"
                  "trip=second\r\n"
                  "\r\n"
                  "[Other]\r\n"
                  "Key=v\r\n"
                  "[quickfolders]\r\n"
                  "Late=1\r\n");
  const IniFile ini(path);
  EXPECT_THAT(ini.ReadSection("QUICKFOLDERS"), ElementsAre("Userdefined", "Trip", "trip"));
  EXPECT_THAT(ini.ReadSectionValues("quickFolders"),
              ElementsAre(Pair("Userdefined", "{File.CreationYear};\\"), Pair("Trip", "a=b"),
                          Pair("trip", "second")));
  EXPECT_EQ(ini.ReadString("quickfolders", "TRIP"), "a=b");  // the first line wins
  EXPECT_EQ(ini.ReadString("Other", "key"), "v");
  EXPECT_EQ(ini.ReadString("Other", "Missing", "fallback"), "fallback");
  EXPECT_TRUE(ini.ReadSection("Missing").empty());
  EXPECT_TRUE(IniFile(dir / "none.ini").ReadSection("QuickFolders").empty());
}

TEST_F(IniFileTest, ValuesReadBackUpTo2047Characters) {
  IniFile ini(path);
  const std::string exact(2047, 'x');
  ini.WriteString("S", "Exact", exact);
  ini.WriteString("S", "Long", std::string(3000, 'y'));
  std::string umlauts;
  for (int i = 0; i < 2100; ++i) umlauts += "ä";
  ini.WriteString("S", "Wide", umlauts);
  EXPECT_EQ(ini.ReadString("S", "Exact"), exact);
  EXPECT_EQ(ini.ReadString("S", "Long"), std::string(2047, 'y'));
  EXPECT_EQ(ini.ReadString("S", "Wide"), umlauts.substr(0, 2047 * 2));  // characters, not bytes
}

TEST_F(IniFileTest, WritesChangeOnlyTheirLinesAndErasingTakesWholeSections) {
  test::WriteFile(path,
                  "; keep me\r\n"
                  "[QuickFiles]\r\n"
                  "Userdefined=old\r\n"
                  "\r\n"
                  "[QuickFolders]\r\n"
                  "A=1\r\n"
                  "[Tail]\r\n"
                  "x=y\r\n"
                  "[quickfolders]\r\n"
                  "B=2\r\n");
  IniFile ini(path);
  ini.WriteString("quickfiles", "USERDEFINED", "new");
  ini.WriteString("QuickFiles", "  Daily ", "{File.CreationYear}");
  ini.EraseSection("QUICKFOLDERS");
  ini.WriteString("Added", "k", "v");
  EXPECT_EQ(test::ReadFile(path),
            "; keep me\r\n"
            "[QuickFiles]\r\n"
            "Userdefined=new\r\n"
            "Daily={File.CreationYear}\r\n"
            "\r\n"
            "[Tail]\r\n"
            "x=y\r\n"
            "\r\n"
            "[Added]\r\n"
            "k=v\r\n");
  EXPECT_TRUE(ini.ReadSection("QuickFolders").empty());
}

TEST_F(IniFileTest, UnwritableFilesAndUnstorableTextsAreRefused) {
  test::WriteFile(dir / "blocker");
  IniFile blocked(dir / "blocker/fotoferry.ini");
  const std::string message = "Unable to write to " + dir / "blocker/fotoferry.ini";
  EXPECT_EQ(WriteError([&] { blocked.WriteString("S", "k", "v"); }), message);
  EXPECT_EQ(WriteError([&] { blocked.EraseSection("S"); }), message);

  // Texts that would read back as something else, or break the file.
  IniFile ini(path);
  ini.WriteString("S", "k", "v");
  const std::string before = test::ReadFile(path);
  const std::pair<std::string, std::string> bad[] = {
      {"k", "two\nlines"}, {"a=b", "v"}, {"[x]", "v"}, {";k", "v"}};
  for (const auto& [key, value] : bad)
    EXPECT_EQ(WriteError([&] { ini.WriteString("S", key, value); }), "Unable to write to " + path)
        << key;
  EXPECT_EQ(WriteError([&] { ini.WriteString("S]x", "k", "v"); }), "Unable to write to " + path);
  EXPECT_EQ(test::ReadFile(path), before);
}

TEST_F(IniFileTest, DeliveredFileIsReadUntilTheUserHasOne) {
  const std::string delivered = dir / "share/fotoferry/fotoferry.ini";
  test::WriteFile(delivered, "[QuickFolders]\nUserdefined=\nYear={File.CreationYear}\n");
  IniFile ini(path, delivered);
  EXPECT_THAT(ini.ReadSection("QuickFolders"), ElementsAre("Userdefined", "Year"));

  ini.WriteString("QuickFiles", "Userdefined", "x");
  EXPECT_EQ(test::ReadFile(path),
            "[QuickFolders]\nUserdefined=\nYear={File.CreationYear}\n\n"
            "[QuickFiles]\nUserdefined=x\n");
  EXPECT_EQ(test::ReadFile(delivered), "[QuickFolders]\nUserdefined=\nYear={File.CreationYear}\n");

  ini.EraseSection("QuickFolders");
  EXPECT_TRUE(ini.ReadSection("QuickFolders").empty());  // the delivered one no longer shows

  // Where the delivered file is found: beside the executable first, then
  // the installed data folder.
  test::WriteFile(dir / "bin/fotoferry", "");
  EXPECT_EQ(FindDeliveredIni(dir / "bin/fotoferry"), dir / "bin/../share/fotoferry/fotoferry.ini");
  test::WriteFile(dir / "bin/fotoferry.ini", "");
  EXPECT_EQ(FindDeliveredIni(dir / "bin/fotoferry"), dir / "bin/fotoferry.ini");
  EXPECT_EQ(FindDeliveredIni(dir / "nowhere/fotoferry"), "");
}

}  // namespace
}  // namespace ff
