// How the component turns its properties into a request, and the requests it
// refuses before touching any file.
#include <gtest/gtest.h>

#include "file_op_test_util.h"
#include "shell/file_operation.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using Lines = std::vector<std::string>;
using enum TStFileOpOption;

constexpr TStFileOpOptionsSet kMainWindowOptions{foAllowUndo, foFilesOnly, foNoConfirmMkDir,
                                                 foRenameCollision};

struct RequestCase {
  const char* name;
  TStFileOp op;
  Lines lines;
  std::string destination;
  unsigned function;
  std::uint32_t flags;
  Lines sources;
  Lines targets;
};

class RequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestTest, BuildsFunctionFlagsAndPathLists) {
  const RequestCase& c = GetParam();
  TStFileOperation op;
  op.SetOperation(c.op);
  op.SetOptions(kMainWindowOptions);
  op.SetConfirmFiles(false);
  op.SetSourceFiles(c.lines);
  op.SetDestination(c.destination);

  const FileOpRequest request = op.BuildRequest();
  EXPECT_EQ(request.function, c.function);
  EXPECT_EQ(request.flags, c.flags) << std::hex << request.flags;
  EXPECT_EQ(request.sources, c.sources);
  EXPECT_EQ(request.targets, c.targets);
}

INSTANTIATE_TEST_SUITE_P(Cases, RequestTest,
                         testing::Values(RequestCase{"OneMappedLineTargetIsTheFullPath",
                                                     TStFileOp::fopCopy,
                                                     {"/e/a.jpg=/d/x/1.jpg"},
                                                     "/d",
                                                     kFoCopy,
                                                     0x2C8,
                                                     {"/e/a.jpg"},
                                                     {"/d/x/1.jpg"}},
                                         RequestCase{"TwoMappedLinesMoveAddsMultiDest",
                                                     TStFileOp::fopMove,
                                                     {"/e/a.jpg=/d/x/1.jpg", "/e/b.jpg=/d/y/2.jpg"},
                                                     "",
                                                     kFoMove,
                                                     0x2C9,
                                                     {"/e/a.jpg", "/e/b.jpg"},
                                                     {"/d/x/1.jpg", "/d/y/2.jpg"}},
                                         RequestCase{"EmptyLineIsLeftOutAndNotCounted",
                                                     TStFileOp::fopCopy,
                                                     {"/e/a.jpg=/d/1.jpg", "", "/e/b.jpg=/d/2.jpg"},
                                                     "",
                                                     kFoCopy,
                                                     0x2C9,
                                                     {"/e/a.jpg", "/e/b.jpg"},
                                                     {"/d/1.jpg", "/d/2.jpg"}},
                                         RequestCase{"EmptyLinesDoNotMakeOneLineMulti",
                                                     TStFileOp::fopCopy,
                                                     {"", "/e/a.jpg=/d/1.jpg", ""},
                                                     "",
                                                     kFoCopy,
                                                     0x2C8,
                                                     {"/e/a.jpg"},
                                                     {"/d/1.jpg"}},
                                         RequestCase{"LineWithoutTargetGoesToDestination",
                                                     TStFileOp::fopCopy,
                                                     {"/e/a.jpg=/d/1.jpg", "/e/sub/b.jpg"},
                                                     "/d/In/",
                                                     kFoCopy,
                                                     0x2C9,
                                                     {"/e/a.jpg", "/e/sub/b.jpg"},
                                                     {"/d/1.jpg", "/d/In/b.jpg"}},
                                         RequestCase{"RepeatedSourceTakesItsFirstTarget",
                                                     TStFileOp::fopCopy,
                                                     {"/e/a.jpg=/d/1.jpg", "/e/a.jpg=/d/2.jpg"},
                                                     "",
                                                     kFoCopy,
                                                     0x2C9,
                                                     {"/e/a.jpg", "/e/a.jpg"},
                                                     {"/d/1.jpg", "/d/1.jpg"}},
                                         RequestCase{"SourcesDifferingInCaseAreTwoFiles",
                                                     TStFileOp::fopCopy,
                                                     {"/e/A.JPG=/d/1.jpg", "/e/a.jpg=/d/2.jpg"},
                                                     "",
                                                     kFoCopy,
                                                     0x2C9,
                                                     {"/e/A.JPG", "/e/a.jpg"},
                                                     {"/d/1.jpg", "/d/2.jpg"}},
                                         RequestCase{"PlainCopyTargetsDestination",
                                                     TStFileOp::fopCopy,
                                                     {"/e/a.jpg", "/e/b.jpg"},
                                                     "/d/",
                                                     kFoCopy,
                                                     0x2C8,
                                                     {"/e/a.jpg", "/e/b.jpg"},
                                                     {"/d"}},
                                         RequestCase{"PlainDeleteHasNoTargets",
                                                     TStFileOp::fopDelete,
                                                     {"/e/a.jpg"},
                                                     "",
                                                     kFoDelete,
                                                     0x2C8,
                                                     {"/e/a.jpg"},
                                                     {}},
                                         RequestCase{"PlainRename",
                                                     TStFileOp::fopRename,
                                                     {"/e/a.jpg"},
                                                     "/e/b.jpg",
                                                     kFoRename,
                                                     0x2C8,
                                                     {"/e/a.jpg"},
                                                     {"/e/b.jpg"}}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(FileOperationRequest, CompletesLinesWithoutTargetInItsOwnCopy) {
  TStFileOperation op;
  const Lines given = {"/e/a.jpg=/d/1.jpg", "/e/b.jpg"};
  op.SetSourceFiles(given);
  op.SetDestination("/d/In");
  op.BuildRequest();
  EXPECT_EQ(op.SourceFiles(), (Lines{"/e/a.jpg=/d/1.jpg", "/e/b.jpg=/d/In/b.jpg"}));
  EXPECT_EQ(given[1], "/e/b.jpg");
}

TEST(FileOperationRequest, PathListsEndEachPathAndTheListWithNul) {
  EXPECT_EQ(PathListBuffer({"/e/a.jpg", "/e/b.jpg"}), std::string("/e/a.jpg\0/e/b.jpg\0\0", 19));
  EXPECT_EQ(PathListBuffer({}), std::string(1, '\0'));
}

TEST(FileOperationRequest, DefaultsAndDestinationSetter) {
  TStFileOperation op;
  EXPECT_TRUE(op.ConfirmFiles());
  EXPECT_EQ(op.Operation(), TStFileOp::fopCopy);
  EXPECT_EQ(op.Options().Flags(), 0xC8u);

  const std::pair<const char*, const char*> cases[] = {
      {"/d/Pics//", "/d/Pics"}, {"/d/Pics", "/d/Pics"}, {"/", "/"}, {"//", "/"}, {"", ""}};
  for (const auto& [given, stored] : cases) {
    op.SetDestination(given);
    EXPECT_EQ(op.Destination(), stored) << given;
  }
}

struct RefusedCase {
  const char* name;
  TStFileOp op;
  Lines lines;  // "@" stands for the test's temporary folder
  std::string destination;
  const char* message;
};

class RefusedRequestTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRequestTest, RaisesBeforeTouchingAnyFile) {
  const RefusedCase& c = GetParam();
  test::TempDir dir;
  test::WriteFile(dir / "a.jpg", "a");
  Lines lines = c.lines;
  for (std::string& line : lines)
    for (size_t at; (at = line.find('@')) != std::string::npos;) line.replace(at, 1, dir.path());

  TStFileOperation op;
  op.SetOperation(c.op);
  op.SetSourceFiles(lines);
  op.SetDestination(c.destination.empty() ? "" : dir / c.destination);
  bool notified = false;
  op.OnError = [&](TSsShellComponent&) { notified = true; };

  try {
    op.Execute();
    FAIL() << "no error raised";
  } catch (const ESsFileOpError& error) {
    EXPECT_STREQ(error.what(), c.message);
  }
  EXPECT_EQ(op.ErrorCode(), 0);
  EXPECT_FALSE(notified);
  EXPECT_EQ(test::FilesBelow(dir.path()), Lines{"a.jpg"});
  EXPECT_TRUE(test::Exists(dir / "a.jpg"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedRequestTest,
    testing::Values(
        RefusedCase{"EmptyList", TStFileOp::fopCopy, {}, "out", "No source files specified"},
        RefusedCase{"OnlyEmptyLines", TStFileOp::fopCopy, {""}, "out", "No source files specified"},
        RefusedCase{"MappingInDelete",
                    TStFileOp::fopDelete,
                    {"@/a.jpg=@/b.jpg"},
                    "",
                    "Cannot use file mappings in a delete operation"},
        RefusedCase{"PlainWithoutDestination",
                    TStFileOp::fopCopy,
                    {"@/a.jpg"},
                    "",
                    "No destination files specified"},
        RefusedCase{"MappedLineWithoutTargetOrDestination",
                    TStFileOp::fopMove,
                    {"@/a.jpg=@/out/1.jpg", "@/a.jpg"},
                    "",
                    "No destination files specified"},
        RefusedCase{"PlainMissingSource",
                    TStFileOp::fopMove,
                    {"@/a.jpg", "@/gone.jpg"},
                    "out",
                    "Source file error, file not found"},
        RefusedCase{"PlainMissingSourceInDelete",
                    TStFileOp::fopDelete,
                    {"@/a.jpg", "@/gone.jpg"},
                    "",
                    "Source file error, file not found"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ff
