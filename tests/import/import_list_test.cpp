#include "import/import_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "import/naming_template.h"
#include "platform/error.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::UtcInstant;

class ImportListTest : public ::testing::Test {
 protected:
  ImportListTest() : clock_(UtcInstant(2026, 12, 11, 10, 0, 0)), log_(clock_, env_) {
    log_.LogPath = dir_ / "log";
    request_.sourceFolder = dir_ / "card";
    request_.searchPattern = kDefaultSearchPattern;
    request_.importRoot = "/archive";
  }

  std::string Card(const std::string& relative, Instant created = UtcInstant(2008, 5, 7)) {
    const std::string path = dir_ / ("card/" + relative);
    test::WriteFile(path);
    test::SetTime(path, created);
    return path;
  }

  ImportList Build() { return BuildImportList(request_, env_, clock_, log_, &problems_); }

  std::vector<std::string> Sources(const ImportList& list) {
    std::vector<std::string> sources;
    for (const ImportEntry& e : list)
      sources.push_back(e.source.substr(request_.sourceFolder.size()));
    return sources;
  }

  std::string Log() { return test::ReadFile(log_.LogFileName(clock_.Now())); }

  test::TempDir dir_;
  test::FakeEnvironment env_;
  test::FakeClock clock_;
  TLogHandler log_;
  ImportRequest request_;
  std::vector<std::string> problems_;
};

TEST_F(ImportListTest, FindsMatchingFilesInSubfoldersButNotInHiddenOnes) {
  Card("100/IMG_0001.CR2", UtcInstant(2008, 5, 7, 1));
  Card("101/IMG_0100.JPG", UtcInstant(2008, 5, 7, 2));
  Card(".hidden/IMG_0200.JPG");
  Card("notes.txt");
  request_.recurse = true;
  EXPECT_EQ(Sources(Build()), (std::vector<std::string>{"/100/IMG_0001.CR2", "/101/IMG_0100.JPG"}));
  request_.recurse = false;
  EXPECT_TRUE(Build().empty());
}

TEST_F(ImportListTest, EachFileOnceWhateverTheWildcardsAndOnlyFiles) {
  Card("IMG_0001.jpg");
  Card("folder.jpg/inside.txt");
  request_.searchPattern = "*.JPG;IMG*;*";
  request_.recurse = false;
  const ImportList list = Build();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].source, request_.sourceFolder + "/IMG_0001.jpg");
  EXPECT_EQ(list[0].target, "/archive/.jpg");
}

TEST_F(ImportListTest, SortsByCreationTimeWhateverTheNamesAndNumbersThen) {
  Card("A.JPG", UtcInstant(2008, 5, 7, 10, 0, 1));
  Card("B.JPG", UtcInstant(2008, 5, 7, 10, 0, 0));
  Card("C.JPG", UtcInstant(2008, 5, 7, 10, 0, 2));
  request_.fileTemplate = StoredToTemplate("{File.CreationYear}{Incremental.Counter}");
  const ImportList list = Build();
  EXPECT_EQ(Sources(list), (std::vector<std::string>{"/B.JPG", "/A.JPG", "/C.JPG"}));
  EXPECT_EQ(list[0].target, "/archive/2008-0001.JPG");
  EXPECT_EQ(list[2].target, "/archive/2008-0003.JPG");
  // The entry keeps the exact instant and its date-time value (UTC).
  EXPECT_EQ(list[0].creation, UtcInstant(2008, 5, 7, 10, 0, 0));
  EXPECT_NEAR(list[0].dateTime, 39'575.0 + 10.0 / 24, 1e-9);
}

TEST_F(ImportListTest, FilesWithinOneMillisecondKeepScanOrder) {
  // Created 0.4 ms apart, in the other order than their names: they count as
  // created together, so the sorted list keeps the order of the scan.
  Card("A.JPG", UtcInstant(2008, 5, 7, 10, 0, 0, 100'400'000));
  Card("B.JPG", UtcInstant(2008, 5, 7, 10, 0, 0, 100'000'000));
  Card("C.JPG", UtcInstant(2008, 5, 7, 9));
  const std::vector<std::string> sorted = Sources(Build());
  const std::string log = Log();
  const bool aFirstInScan = log.find("/A.JPG=") < log.find("/B.JPG=");
  EXPECT_EQ(sorted[0], "/C.JPG");
  EXPECT_EQ(sorted[1], aFirstInScan ? "/A.JPG" : "/B.JPG");
}

TEST_F(ImportListTest, LogsTheThreeSnapshots) {
  Card("B.JPG", UtcInstant(2008, 5, 7, 10, 0, 1));
  Card("A.JPG", UtcInstant(2008, 5, 7, 10, 0, 0));
  request_.fileTemplate = StoredToTemplate("n{Incremental.Counter}");
  Build();
  const std::string src = request_.sourceFolder;
  const std::string log = Log();
  EXPECT_EQ(log.find("100000\tValues of ImportList before sorting\r\n"), 0u);
  // Each record is the heading, the list's lines, and an empty line.
  EXPECT_NE(log.find("100000\tValues of ImportList after sorting\r\n" + src +
                     "/A.JPG=/archive/n{Incremental.Counter}.JPG\r\n" + src +
                     "/B.JPG=/archive/n{Incremental.Counter}.JPG\r\n\r\n100000\t"),
            std::string::npos)
      << log;
  EXPECT_TRUE(log.ends_with("100000\tValues of ImportList after counting\r\n" + src +
                            "/A.JPG=/archive/n-0001.JPG\r\n" + src +
                            "/B.JPG=/archive/n-0002.JPG\r\n\r\n"))
      << log;
}

TEST_F(ImportListTest, EmptyFolderLogsEmptySnapshots) {
  Card("notes.txt");
  EXPECT_TRUE(Build().empty());
  EXPECT_EQ(Log(),
            "100000\tValues of ImportList before sorting\r\n\r\n"
            "100000\tValues of ImportList after sorting\r\n\r\n"
            "100000\tValues of ImportList after counting\r\n\r\n");
}

TEST_F(ImportListTest, RefusesBadInputBeforeLoggingAnything) {
  Card("IMG_0001.JPG");
  struct Case {
    const char* name;
    void (*change)(ImportRequest&);
    const char* message;
  };
  const Case cases[] = {
      {"invalid wildcard", [](ImportRequest& r) { r.searchPattern = "*.jpg;[a"; },
       "'[a' is an invalid mask at (3)"},
      {"invalid map wildcard", [](ImportRequest& r) { r.multiTargetMap = {"[!]=/x"}; },
       "'[!]' is an invalid mask at (3)"},
      {"no source", [](ImportRequest& r) { r.sourceFolder.clear(); }, "No source folder is chosen"},
      {"no root", [](ImportRequest& r) { r.importRoot.clear(); },
       "No folder to import into is chosen"},
      {"missing source", [](ImportRequest& r) { r.sourceFolder += "/gone"; }, "/gone'"},
      {"parent level", [](ImportRequest& r) { r.folderTemplate = "..\\\r\nx\r\n"; },
       "'..' folder level"},
  };
  for (const Case& c : cases) {
    ImportRequest saved = request_;
    c.change(request_);
    try {
      Build();
      ADD_FAILURE() << c.name;
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.name << ": " << e.what();
    }
    EXPECT_FALSE(test::Exists(log_.LogFileName(clock_.Now()))) << c.name;
    request_ = saved;
  }
}

TEST_F(ImportListTest, ANameWithoutBaseOrExtensionIsRefused) {
  Card("...");  // its name without extension is ".."
  request_.searchPattern = "*";
  request_.folderTemplate = "{File.Filename}\r\n";
  EXPECT_THROW(Build(), Error);
  request_.folderTemplate.clear();  // and with the extension empty, the name is "."
  EXPECT_THROW(Build(), Error);
}

TEST_F(ImportListTest, SourcePathsWithEqualsSignsStayWhole) {
  Card("a=b/IMG=1.JPG");
  const ImportList list = Build();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].source, request_.sourceFolder + "/a=b/IMG=1.JPG");
  EXPECT_EQ(list[0].target, "/archive/.JPG");
}

TEST_F(ImportListTest, UnreadableSubfolderIsReportedAndTheRestGoesOn) {
  Card("locked/IMG_0001.JPG");
  Card("IMG_0002.JPG");
  chmod((dir_ / "card/locked").c_str(), 0);
  // Root reads every folder: the scan then runs as nobody.
  const bool asRoot = geteuid() == 0;
  if (asRoot) {
    chmod(dir_.path().c_str(), 0777);
    chmod((dir_ / "card").c_str(), 0755);
    ASSERT_EQ(seteuid(65534), 0);
  }
  const size_t found = Build().size();
  if (asRoot) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(found, 1u);
  ASSERT_EQ(problems_.size(), 1u);
  EXPECT_NE(problems_[0].find("Permission denied"), std::string::npos) << problems_[0];
}

TEST_F(ImportListTest, UnwritableLogStopsThePlan) {
  Card("IMG_0001.JPG");
  test::WriteFile(dir_ / "blocker");
  log_.LogPath = dir_ / "blocker/log";
  EXPECT_THROW(Build(), Error);
}

TEST(MultiTargetMap, CompletionFollowsThePattern) {
  std::vector<std::string> map = {"*.JPG=/jpg", "*.crw=", "*.old"};
  CompleteMultiTargetMap(map, "*.jpg;*.crw;*.nef;", "/root");
  EXPECT_EQ(map,
            (std::vector<std::string>{"*.JPG=/jpg", "*.crw=/root", "*.old=/root", "*.nef=/root"}));
}

}  // namespace
}  // namespace ff
