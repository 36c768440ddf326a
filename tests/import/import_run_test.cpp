#include "import/import_run.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "import/naming_template.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::UtcInstant;

// Copies with the standard library; can fail chosen files or pretend their
// names were taken.
class FakeTransfer : public FileTransfer {
 public:
  std::vector<std::string> failNames;
  std::vector<std::string> takenNames;
  int calls = 0;

  TransferResult Transfer(const ImportList& list, bool move, const std::string&,
                          const TransferProgressFn&) override {
    ++calls;
    if (list.empty()) throw Error("No source files specified");
    TransferResult result;
    for (const ImportEntry& e : list) {
      const std::string name(FileNamePart(e.source));
      TransferResult::Item item;
      if (std::find(failNames.begin(), failNames.end(), name) != failNames.end()) {
        item.error = "No space left on device";
      } else {
        item.target = e.target;
        if (std::find(takenNames.begin(), takenNames.end(), name) != takenNames.end())
          item.target.insert(item.target.rfind('.'), " (2)");
        std::filesystem::create_directories(std::filesystem::path(item.target).parent_path());
        std::filesystem::copy_file(e.source, item.target);
        if (move) std::filesystem::remove(e.source);
      }
      result.items.push_back(item);
    }
    return result;
  }
};

class FakeDrives : public SourceDrives {
 public:
  std::string type = "Fixed";
  bool formatAnswer = false;
  int formats = 0;
  std::string DriveOf(const std::string&) override { return "/media/card"; }
  std::string DriveTypeName(const std::string&) override { return type; }
  bool Format(const std::string&) override {
    ++formats;
    return formatAnswer;
  }
};

class FakePrompts : public ImportPrompts {
 public:
  bool answer = false;
  std::vector<std::string> asked;
  std::vector<std::string> told;
  bool Confirm(const std::string& text) override {
    asked.push_back(text);
    return answer;
  }
  void Inform(const std::string& text) override { told.push_back(text); }
};

class ImportRunTest : public ::testing::Test {
 protected:
  ImportRunTest() : clock_(UtcInstant(2026, 12, 11, 10)), log_(clock_, env_) {
    log_.LogPath = dir_ / "log";
    options_.request.sourceFolder = dir_ / "card";
    options_.request.searchPattern = "*.jpg";
    options_.request.importRoot = dir_ / "new/archive";
    options_.request.fileTemplate = StoredToTemplate("{File.Filename}");
  }

  std::string Card(const std::string& name, Instant created) {
    const std::string path = dir_ / ("card/" + name);
    test::WriteFile(path, name);
    test::SetTime(path, created);
    return path;
  }

  ImportRunReport Run() {
    return RunImport(options_, transfer_, drives_, prompts_, env_, clock_, log_);
  }

  std::string Log() { return test::ReadFile(log_.LogFileName(clock_.Now())); }

  static Instant Times(const std::string& path, Instant* access = nullptr) {
    struct stat st {};
    stat(path.c_str(), &st);
    if (access) *access = Instant{st.st_atim.tv_sec, static_cast<std::int32_t>(st.st_atim.tv_nsec)};
    return Instant{st.st_mtim.tv_sec, static_cast<std::int32_t>(st.st_mtim.tv_nsec)};
  }

  test::TempDir dir_;
  test::FakeEnvironment env_;
  test::FakeClock clock_;
  TLogHandler log_;
  ImportRunOptions options_;
  FakeTransfer transfer_;
  FakeDrives drives_;
  FakePrompts prompts_;
};

TEST_F(ImportRunTest, CopiesIntoANewRootAndRestoresExactTimesInListOrder) {
  Card("b.jpg", UtcInstant(2008, 5, 7, 10, 0, 2, 123'456'789));
  Card("a.jpg", UtcInstant(2008, 5, 7, 10, 0, 1));
  Card("c.jpg", UtcInstant(2008, 5, 7));
  const ImportRunReport report = Run();
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.arrived, 3u);
  Instant access;
  EXPECT_EQ(Times(dir_ / "new/archive/b.jpg", &access),
            UtcInstant(2008, 5, 7, 10, 0, 2, 123'456'789));
  EXPECT_EQ(access, UtcInstant(2008, 5, 7, 10, 0, 2, 123'456'789));
  const std::string root = dir_ / "new/archive";
  EXPECT_TRUE(Log().ends_with("100000\tSetting TDateTime 07.05.2008 on " + root + "/c.jpg\r\n" +
                              "100000\tSetting TDateTime 07.05.2008 10:00:01 on " + root +
                              "/a.jpg\r\n" + "100000\tSetting TDateTime 07.05.2008 10:00:02 on " +
                              root + "/b.jpg\r\n"))
      << Log();
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(ImportRunTest, TimesGoToTheFileUnderTheNameItActuallyGot) {
  Card("a.jpg", UtcInstant(2008, 5, 7, 10));
  test::WriteFile(dir_ / "new/archive/a.jpg", "older");
  test::SetTime(dir_ / "new/archive/a.jpg", UtcInstant(2020, 1, 1));
  transfer_.takenNames = {"a.jpg"};
  const ImportRunReport report = Run();
  EXPECT_EQ(report.renamed, 1u);
  EXPECT_EQ(Times(dir_ / "new/archive/a.jpg"), UtcInstant(2020, 1, 1));
  EXPECT_EQ(Times(dir_ / "new/archive/a (2).jpg"), UtcInstant(2008, 5, 7, 10));
  EXPECT_NE(Log().find(" on " + dir_ / "new/archive/a (2).jpg\r\n"), std::string::npos);
}

TEST_F(ImportRunTest, AFileThatDidNotArriveGetsNoTimeNoRecordAndNoFile) {
  Card("a.jpg", UtcInstant(2008, 5, 7, 10));
  Card("b.jpg", UtcInstant(2008, 5, 7, 11));
  transfer_.failNames = {"a.jpg"};
  drives_.type = "Removable";
  options_.format = true;
  const ImportRunReport report = Run();
  EXPECT_FALSE(report.Complete());
  EXPECT_FALSE(test::Exists(dir_ / "new/archive/a.jpg"));
  EXPECT_EQ(Log().find("on " + dir_ / "new/archive/a.jpg"), std::string::npos);
  // The card still holds a picture that is not imported: no format offer.
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(prompts_.told,
            (std::vector<std::string>{
                "Not every file was imported, so drive /media/card is not formatted"}));
  EXPECT_EQ(drives_.formats, 0);
}

TEST_F(ImportRunTest, InfoLogOffLeavesOnlyTheSnapshots) {
  Card("a.jpg", UtcInstant(2008, 5, 7, 10));
  log_.UseInfoLog = false;
  options_.move = true;
  Run();
  EXPECT_FALSE(test::Exists(dir_ / "card/a.jpg"));
  EXPECT_EQ(Log().find("Setting TDateTime"), std::string::npos);
  EXPECT_NE(Log().find("after counting"), std::string::npos);
}

TEST_F(ImportRunTest, FormatOffer) {
  struct Case {
    const char* type;
    bool yes;
    bool formatAnswer;
    std::vector<std::string> asked;
    std::vector<std::string> told;
    int formats;
  };
  const Case cases[] = {
      {"Fixed", true, true, {}, {}, 0},
      {"Removable", false, true, {"Format drive /media/card?"}, {}, 0},
      {"Removable",
       true,
       false,
       {"Format drive /media/card?"},
       {"Formatting failed for some reason"},
       1},
      {"Removable", true, true, {"Format drive /media/card?"}, {}, 1},
  };
  Card("a.jpg", UtcInstant(2008, 5, 7, 10));
  options_.format = true;
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_ / "new");
    drives_ = FakeDrives();
    prompts_ = FakePrompts();
    drives_.type = c.type;
    drives_.formatAnswer = c.formatAnswer;
    prompts_.answer = c.yes;
    const ImportRunReport report = Run();
    EXPECT_EQ(prompts_.asked, c.asked) << c.type << c.yes;
    EXPECT_EQ(prompts_.told, c.told) << c.type << c.yes;
    EXPECT_EQ(drives_.formats, c.formats);
    EXPECT_EQ(report.formatted, c.formats == 1 && c.formatAnswer);
  }
}

TEST_F(ImportRunTest, RefusalsComeBeforeAnyFileIsTouched) {
  Card("a.txt", UtcInstant(2008, 5, 7, 10));
  options_.format = true;
  drives_.type = "Removable";
  // No matching file: the file operation refuses; no time, no format offer.
  EXPECT_THROW(Run(), Error);
  EXPECT_TRUE(prompts_.asked.empty());
  EXPECT_EQ(Log().find("Setting"), std::string::npos);
  options_.request.searchPattern = "[a";
  transfer_.calls = 0;
  EXPECT_THROW(Run(), Error);
  EXPECT_EQ(transfer_.calls, 0);
  options_.request.sourceFolder.clear();
  EXPECT_THROW(Run(), Error);
  EXPECT_EQ(transfer_.calls, 0);
}

}  // namespace
}  // namespace ff
