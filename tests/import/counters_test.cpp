#include <gtest/gtest.h>

#include "import/import_list.h"

namespace ff {
namespace {

ImportList Entries(std::initializer_list<std::pair<const char*, const char*>> lines) {
  ImportList list;
  for (const auto& [source, target] : lines) list.push_back({source, target, {}, 0});
  return list;
}

std::vector<std::string> Targets(const ImportList& list) {
  std::vector<std::string> targets;
  for (const ImportEntry& e : list) targets.push_back(e.target);
  return targets;
}

TEST(Counters, NumberPerTargetFolderAndKeepShotsTogether) {
  struct Case {
    const char* name;
    ImportList list;
    std::vector<std::string> expected;
  };
  const char* c = "{Incremental.Counter}";
  const std::string day = std::string("/p/2008-05-07/2008-05-07") + c;
  const Case cases[] = {
      {"three single files of one day",
       Entries({{"/c/B.JPG", (day + ".JPG").c_str()},
                {"/c/A.JPG", (day + ".JPG").c_str()},
                {"/c/C.JPG", (day + ".JPG").c_str()}}),
       {"/p/2008-05-07/2008-05-07-0001.JPG", "/p/2008-05-07/2008-05-07-0002.JPG",
        "/p/2008-05-07/2008-05-07-0003.JPG"}},
      {"two folders start at one each",
       Entries({{"/c/a.jpg", "/p/7/d{Incremental.Counter}.jpg"},
                {"/c/b.jpg", "/p/8/d{Incremental.Counter}.jpg"},
                {"/c/c.jpg", "/p/7/d{Incremental.Counter}.jpg"}}),
       {"/p/7/d-0001.jpg", "/p/8/d-0001.jpg", "/p/7/d-0002.jpg"}},
      {"a shot's files share the first one's name and use up numbers",
       Entries({{"/c/A.CR2", "/p/2008{Incremental.Counter}.CR2"},
                {"/c/A.JPG", "/p/2009{Incremental.Counter}.JPG"},
                {"/c/B.CR2", "/p/2008{Incremental.Counter}.CR2"},
                {"/c/B.JPG", "/p/2008{Incremental.Counter}.JPG"}}),
       {"/p/2008-0001.CR2", "/p/2008-0001.JPG", "/p/2008-0003.CR2", "/p/2008-0003.JPG"}},
      {"same names in different source folders are separate shots",
       Entries({{"/c/100/IMG_0001.JPG", "/p/x{Incremental.Counter}.JPG"},
                {"/c/101/IMG_0001.JPG", "/p/x{Incremental.Counter}.JPG"}}),
       {"/p/x-0001.JPG", "/p/x-0002.JPG"}},
      {"siblings ignore letter case and keep their own extension",
       Entries({{"/c/img_0001.cr2", "/p/a{Incremental.Counter}.cr2"},
                {"/c/IMG_0001.JPG", "/p/b{Incremental.Counter}.JPG"}}),
       {"/p/a-0001.cr2", "/p/a-0001.JPG"}},
      {"siblings in other folders take the shared name there",
       Entries({{"/c/A.CRW", "/raw/n{Incremental.Counter}.CRW"},
                {"/c/A.JPG", "/jpg/n{Incremental.Counter}.JPG"},
                {"/c/B.JPG", "/jpg/n{Incremental.Counter}.JPG"}}),
       {"/raw/n-0001.CRW", "/jpg/n-0001.JPG", "/jpg/n-0002.JPG"}},
      {"without the counter names stay as given",
       Entries({{"/c/A.JPG", "/p/x.JPG"}, {"/c/B.JPG", "/p/x.JPG"}}),
       {"/p/x.JPG", "/p/x.JPG"}},
      {"a counter in any letter case goes once the exact one is there",
       Entries({{"/c/A.JPG", "/p/{incremental.counter}{Incremental.Counter}.JPG"}}),
       {"/p/-0001-0001.JPG"}},
      {"a source without extension",
       Entries({{"/c/README", "/p/r{Incremental.Counter}."}, {"/c/README.txt", "/p/q.txt"}}),
       {"/p/r-0001.", "/p/r-0001.txt"}},
  };
  for (Case test : cases) {
    ApplyCounters(test.list);
    EXPECT_EQ(Targets(test.list), test.expected) << test.name;
  }
}

TEST(Counters, TenThousandFilesInOneFolder) {
  ImportList list;
  for (int i = 0; i < 10'000; ++i)
    list.push_back({"/c/" + std::to_string(i) + ".jpg", "/p/n{Incremental.Counter}.jpg", {}, 0});
  ApplyCounters(list);
  EXPECT_EQ(list.back().target, "/p/n-10000.jpg");
  EXPECT_EQ(list[8].target, "/p/n-0009.jpg");
}

}  // namespace
}  // namespace ff
