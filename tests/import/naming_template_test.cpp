#include "import/naming_template.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "import/expander.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::UtcInstant;

TEST(StoredTemplate, ConvertsBetweenListTextAndStoredForm) {
  EXPECT_EQ(TemplateToStored("{File.CreationYear}\\\r\n{File.CreationMonth}\r\n"),
            "{File.CreationYear}\\;{File.CreationMonth}");
  EXPECT_EQ(TemplateToStored(";\r\n;\r\n"), "");
  EXPECT_EQ(TemplateToStored(""), "");
  EXPECT_EQ(StoredToTemplate("a;b"), "a\r\nb");
  EXPECT_EQ(StoredToTemplate(""), "");
  EXPECT_EQ(TemplateItems(StoredToTemplate("a;{Spc};b")),
            (std::vector<std::string>{"a", "{Spc}", "b"}));
  EXPECT_TRUE(TemplateItems("").empty());
  EXPECT_EQ(RemoveSeparators(TemplateToStored("a;b\r\nc\r\n")), "abc");
  EXPECT_EQ(CounterText(1), "-0001");
  EXPECT_EQ(CounterText(42), "-0042");
  EXPECT_EQ(CounterText(12345), "-12345");
}

class Expansion : public ::testing::Test {
 protected:
  Expansion() : clock_(UtcInstant(2008, 5, 7, 15, 4, 5)) {}

  std::string MakeFile(const std::string& name, Instant created) {
    const std::string path = dir_ / ("card/" + name);
    test::WriteFile(path);
    test::SetTime(path, created);
    return path;
  }

  TemplateExpander Expander(std::vector<std::string> map = {}) const {
    return TemplateExpander(env_, clock_, "/pics", map);
  }

  test::TempDir dir_;
  test::FakeEnvironment env_;
  test::FakeClock clock_;
};

TEST_F(Expansion, FileNamesFromTemplates) {
  struct Case {
    const char* items;  // stored form
    const char* file;
    const char* expected;
  };
  const Case cases[] = {
      {"{File.Filename}{Spc};{File.CreationHour}.{File.CreationMinute}", "IMG_0001.JPG",
       "IMG_0001 09.05.JPG"},
      {"{File.Filename}", "README", "README."},
      {"{File.Filename}_{File.FileExtension}", "a.b.c", "a.b_c.c"},
      {"", "IMG_0001.JPG", ".JPG"},
      {"a;b", "x.jpg", "ab.jpg"},
      {"{system.year}", "x.jpg", "{system.year}.jpg"},
      {"{system.year}{System.Year}", "x.jpg", "20082008.jpg"},
      {"{File.Filename}", "{File.Filename}.jpg", "{File.Filename}.jpg"},
      // A name is data: token text inside a value is never expanded.
      {"{File.Filename}", "x{File.CreationYear}.jpg", "x{File.CreationYear}.jpg"},
      {"{File.CreationDateTime}", "x.jpg", "07.05.2008 09.05.03.jpg"},
      {"{System.Domainname}-{System.Computername}-{System.Username}", "x.jpg",
       "WORKGROUP-DARKROOM-ansel.jpg"},
      {"{System.DateTime}", "x.jpg", "07.05.2008 15.04.05.jpg"},
      {"{File.Filename}{Incremental.Counter}", "x.jpg", "x{Incremental.Counter}.jpg"},
      {"a:b/c", "x.jpg", "a.b-c.jpg"},
      {"{Unknown.Token}{spc}", "x.jpg", "{Unknown.Token}{spc}.jpg"},
  };
  const TemplateExpander expander = Expander();
  for (const Case& c : cases) {
    const std::string source = MakeFile(c.file, UtcInstant(2008, 5, 7, 9, 5, 3));
    EXPECT_EQ(expander.ExpandFileTemplate(StoredToTemplate(c.items), source), c.expected)
        << c.items;
  }
}

TEST_F(Expansion, RegionalFormatsAndMidnight) {
  env_.usDates = true;
  env_.twelveHour = true;
  const TemplateExpander expander = Expander();
  const std::string source = MakeFile("x.jpg", UtcInstant(2008, 5, 7));
  EXPECT_EQ(expander.ExpandFileTemplate("{System.Date}\r\n", source), "5-7-2008.jpg");
  EXPECT_EQ(expander.ExpandFileTemplate("{System.Time}\r\n", source), "3.04.05 PM.jpg");
  EXPECT_EQ(expander.ExpandFileTemplate("{File.CreationDateTime}\r\n", source), "5-7-2008.jpg");
}

TEST_F(Expansion, CreationTimeIsLocalAtTheFilesOwnInstant) {
  env_.offsetMinutes = 120;
  const TemplateExpander expander = Expander();
  const std::string source = MakeFile("x.jpg", UtcInstant(2008, 5, 7, 23, 30, 0));
  EXPECT_EQ(expander.ExpandFileTemplate("{File.CreationDate}\r\n", source), "08.05.2008.jpg");
}

TEST_F(Expansion, FoldersFromTemplatesRootAndMap) {
  struct Case {
    const char* items;
    const char* file;
    std::vector<std::string> map;
    const char* expected;
  };
  const Case cases[] = {
      {"{File.CreationYear}-{File.CreationMonth}-{File.CreationDay}",
       "a.jpg",
       {"*.jpg=/pics"},
       "/pics/2008-05-07"},
      {"{File.CreationYear}", "IMG_0001.CRW", {"*.crw=/raw", "*.jpg=/jpg"}, "/raw/2008"},
      {"{File.CreationYear}", "IMG_0001.JPG", {"*.crw=/raw", "*.jpg=/jpg"}, "/jpg/2008"},
      {"{File.CreationYear}\\;{File.CreationMonth}", "a.jpg", {}, "/pics/2008/05"},
      {"{File.CreationYear}\\", "a.jpg", {}, "/pics/2008/"},
      {"", "a.jpg", {}, "/pics/"},
      // A folder break written first cannot lead out of the root.
      {"\\{File.CreationYear}", "a.jpg", {}, "/pics/2008"},
      // A relative map folder and a map line without a folder stay below the root.
      {"{File.CreationYear}", "a.jpg", {"*.jpg=jpegs"}, "/pics/jpegs/2008"},
      {"{File.CreationYear}", "a.jpg", {"*.jpg="}, "/pics/2008"},
      // The first matching line decides.
      {"x", "a.jpg", {"a*=/first", "*.jpg=/second"}, "/first/x"},
      // ":" and "/" of values and text never make a path of their own.
      {"/etc:{File.Filename}", "a.jpg", {}, "/pics/-etc.a"},
  };
  for (const Case& c : cases) {
    const std::string source = MakeFile(c.file, UtcInstant(2008, 5, 7, 9, 5, 3));
    EXPECT_EQ(Expander(c.map).ExpandFolderTemplate(StoredToTemplate(c.items), source), c.expected)
        << c.items;
  }
}

TEST_F(Expansion, ABackslashInAValueIsNoFolderBreak) {
  env_.user = "OFFICE\\ansel";
  const std::string source = MakeFile("a.jpg", UtcInstant(2008, 5, 7));
  EXPECT_EQ(Expander().ExpandFolderTemplate("{System.Username}\\\r\nx\r\n", source),
            "/pics/OFFICE-ansel/x");
}

TEST_F(Expansion, FailuresReachTheCaller) {
  try {
    Expander().ExpandFileTemplate("x\r\n", dir_ / "missing.jpg");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "System Error.  Code: 2.\r\nNo such file or directory");
  }
  EXPECT_THROW(Expander({"[a=/x"}), Error);
}

TEST_F(Expansion, SampleNames) {
  const TFileInfo sample("/opt/fotoferry/Fotoferry.exe", UtcInstant(2008, 5, 7, 9, 5, 3), env_);
  const TemplateExpander expander = Expander();
  SampleNames names =
      MakeSampleNames(expander, "", "{File.Filename}{Incremental.Counter}\r\n", sample);
  EXPECT_EQ(names.folder, "/pics/");
  EXPECT_EQ(names.file, "Capture-0001.raw");
  names = MakeSampleNames(expander, "{File.CreationYear}\\\r\n{File.FileExtension}\r\n",
                          "{File.CreationYear}{Spc}\r\n{File.Filename}\r\n", sample);
  EXPECT_EQ(names.folder, "/pics/2008/raw");
  EXPECT_EQ(names.file, "2008 Capture.raw");
  // The real executable serves as the sample file.
  EXPECT_EQ(FileNamePart(SampleFile(env_).Path()), "Fotoferry.exe");
}

}  // namespace
}  // namespace ff

namespace ff {
namespace {

// Templates and file names are user and card input: any bytes must expand
// without failing, and no value may add a folder level of its own.
TEST(ExpansionOfAnyBytes, NeverFailsAndKeepsValuesInOneLevel) {
  test::TempDir dir;
  test::FakeEnvironment env;
  test::FakeClock clock(UtcInstant(2008, 5, 7, 15, 4, 5));
  const TemplateExpander expander(env, clock, "/pics", {"*=/pics"});
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245 + 12345;
    return static_cast<unsigned char>(seed >> 16);
  };
  const std::string pieces[] = {"{File.Filename}",       "{Spc}", "\\", ";",
                                "{System.Date}",         ":",     "/",  "{File.CreationDateTime}",
                                "{Incremental.Counter}", "{",     "}"};
  for (int round = 0; round < 300; ++round) {
    std::string name;
    for (int i = 0; i < 1 + round % 40; ++i) {
      char c = static_cast<char>(next());
      if (c == '/' || c == '\0') c = '\\';  // a name may hold anything else, "\" too
      name += c;
    }
    if (name == "." || name == "..") continue;
    const std::string source = dir / name;
    test::WriteFile(source);
    std::string text;
    for (int i = 0; i < round % 12; ++i)
      text += next() % 2 ? pieces[next() % std::size(pieces)] : std::string(1, char(next()));
    const std::string listText = StoredToTemplate(text);
    const std::string file = expander.ExpandFileTemplate(listText, source);
    const std::string folder = expander.ExpandFolderTemplate(listText, source);
    EXPECT_EQ(folder.rfind("/pics/", 0), 0u);
    // Only the template's own "\" breaks folders: the name's never does.
    const std::string onlyName = expander.ExpandFileTemplate("{File.Filename}\r\n", source);
    EXPECT_EQ(onlyName.find('/'), std::string::npos) << onlyName;
    EXPECT_FALSE(file.empty());
    std::filesystem::remove(source);
  }
}

}  // namespace
}  // namespace ff
