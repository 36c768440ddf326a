// Copy, move, rename and delete on real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "file_op_test_util.h"

namespace ff {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;
using Lines = std::vector<std::string>;
using enum TStFileOpOption;

class FileOperationTest : public testing::Test {
 protected:
  std::string In(const std::string& name) const { return dir_ / ("card/" + name); }
  std::string Out(const std::string& name) const { return dir_ / ("archive/" + name); }

  bool Run(TStFileOp operation, const Lines& lines) {
    op_.SetOperation(operation);
    op_.SetSourceFiles(lines);
    op_.SetDestination(dir_ / "archive");
    return op_.Execute();
  }

  test::TempDir dir_;
  TStFileOperation op_;
};

TEST_F(FileOperationTest, CopyPutsEachSourceAtItsOwnTargetWithModeAndTime) {
  WriteFile(In("a.jpg"), "alpha");
  WriteFile(In("b.cr2"), test::Pattern(3 << 20, 'b'));
  WriteFile(In("c.thm"), "");
  chmod(In("b.cr2").c_str(), 0640);
  const Instant shot = test::UtcInstant(2008, 5, 7, 14, 5, 9, 123456789);
  test::SetTime(In("b.cr2"), shot);

  ASSERT_TRUE(Run(TStFileOp::fopCopy, {In("a.jpg") + "=" + Out("2008/05/x1.jpg"),
                                       In("b.cr2") + "=" + Out("2008/06/deep/x2.cr2"),
                                       In("c.thm") + "=" + Out("x3.thm")}));

  EXPECT_EQ(op_.ErrorCode(), 0);
  EXPECT_EQ(op_.ErrorText(), "");
  EXPECT_FALSE(op_.Aborted());
  EXPECT_EQ(ReadFile(Out("2008/05/x1.jpg")), "alpha");
  EXPECT_EQ(ReadFile(Out("2008/06/deep/x2.cr2")), ReadFile(In("b.cr2")));
  EXPECT_EQ(ReadFile(Out("x3.thm")), "");
  struct stat st {};
  ASSERT_EQ(stat(Out("2008/06/deep/x2.cr2").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, shot.seconds);
  EXPECT_EQ(st.st_mtim.tv_nsec, shot.nanoseconds);
  EXPECT_EQ(test::FilesBelow(dir_ / "archive"),
            (Lines{"2008/05/x1.jpg", "2008/06/deep/x2.cr2", "x3.thm"}));
  EXPECT_TRUE(Exists(In("a.jpg")));

  ASSERT_EQ(op_.Results().size(), 3u);
  for (const FileOpResult& result : op_.Results()) {
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(result.finalPath, result.target);
    EXPECT_FALSE(result.Renamed());
  }
}

TEST_F(FileOperationTest, PlainCopyTakesWildcardFilesIntoDestination) {
  WriteFile(In("a.jpg"), "a");
  WriteFile(In("b.jpg"), "b");
  WriteFile(In("c.txt"), "c");
  WriteFile(In("d.jpg/inner.jpg"), "folder named like a picture");
  op_.SetOptions({foFilesOnly, foRenameCollision});

  ASSERT_TRUE(Run(TStFileOp::fopCopy, {In("*.jpg"), In("c.txt")}));
  EXPECT_EQ(test::FilesBelow(dir_ / "archive"), (Lines{"a.jpg", "b.jpg", "c.txt"}));
  EXPECT_EQ(op_.Results().size(), 3u);
}

// The target name and its first free alternative are taken; both must stay
// as they were and the incoming file gets the next free name.
class TakenNameTest : public FileOperationTest, public testing::WithParamInterface<TStFileOp> {};

TEST_P(TakenNameTest, IncomingFileGetsFirstFreeNameAndExistingFilesStay) {
  WriteFile(In("IMG_1.JPG"), "incoming");
  WriteFile(In("noext"), "incoming without extension");
  WriteFile(Out("x.jpg"), "first");
  WriteFile(Out("x (2).jpg"), "second");
  WriteFile(Out("noext"), "taken");

  ASSERT_TRUE(
      Run(GetParam(), {In("IMG_1.JPG") + "=" + Out("x.jpg"), In("noext") + "=" + Out("noext")}));

  EXPECT_EQ(ReadFile(Out("x.jpg")), "first");
  EXPECT_EQ(ReadFile(Out("x (2).jpg")), "second");
  EXPECT_EQ(ReadFile(Out("x (3).jpg")), "incoming");
  EXPECT_EQ(ReadFile(Out("noext (2)")), "incoming without extension");
  ASSERT_EQ(op_.Results().size(), 2u);
  EXPECT_EQ(op_.Results()[0].target, Out("x.jpg"));
  EXPECT_EQ(op_.Results()[0].finalPath, Out("x (3).jpg"));
  EXPECT_TRUE(op_.Results()[0].Renamed());
  EXPECT_EQ(op_.Results()[1].finalPath, Out("noext (2)"));
  EXPECT_EQ(Exists(In("IMG_1.JPG")), GetParam() == TStFileOp::fopCopy);
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, TakenNameTest,
                         testing::Values(TStFileOp::fopCopy, TStFileOp::fopMove),
                         test::OperationName);

TEST_F(FileOperationTest, WithoutRenameCollisionTakenNameFailsAndExistingFileStays) {
  WriteFile(In("a.jpg"), "incoming");
  WriteFile(Out("x.jpg"), "existing");
  op_.SetOptions({foAllowUndo, foNoConfirmation});

  EXPECT_FALSE(Run(TStFileOp::fopCopy, {In("a.jpg") + "=" + Out("x.jpg")}));
  EXPECT_EQ(op_.ErrorCode(), EEXIST);
  EXPECT_EQ(ReadFile(Out("x.jpg")), "existing");
  EXPECT_EQ(test::FilesBelow(dir_ / "archive"), Lines{"x.jpg"});
}

TEST_F(FileOperationTest, MoveWithinOneVolumeRenames) {
  WriteFile(In("a.jpg"), "alpha");
  struct stat before {};
  ASSERT_EQ(stat(In("a.jpg").c_str(), &before), 0);

  ASSERT_TRUE(Run(TStFileOp::fopMove, {In("a.jpg") + "=" + Out("new/x.jpg")}));
  struct stat after {};
  ASSERT_EQ(stat(Out("new/x.jpg").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_FALSE(Exists(In("a.jpg")));
}

TEST_F(FileOperationTest, FailedFilesAreReportedAndTheRestGoesOn) {
  WriteFile(In("first.jpg"), "1");
  WriteFile(In("blocked.jpg"), "2");
  WriteFile(In("secret.jpg"), "3");
  WriteFile(In("last.jpg"), "4");
  WriteFile(Out("2008"), "a file where a folder should be");
  chmod(In("secret.jpg").c_str(), 0);
  // Permissions must bind even when the test runs as root.
  chmod(dir_.path().c_str(), 0777);
  chmod((dir_ / "archive").c_str(), 0777);
  int notified = 0;
  op_.OnError = [&](TSsShellComponent& sender) {
    EXPECT_EQ(&sender, &op_);
    ++notified;
  };

  bool ok = true;
  {
    test::AsNobody nobody;
    ok = Run(TStFileOp::fopCopy,
             {In("first.jpg") + "=" + Out("1.jpg"), In("blocked.jpg") + "=" + Out("2008/05/2.jpg"),
              In("secret.jpg") + "=" + Out("3.jpg"), In("gone.jpg") + "=" + Out("4.jpg"),
              In("last.jpg") + "=" + Out("5.jpg")});
  }

  EXPECT_FALSE(ok);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(ReadFile(Out("1.jpg")), "1");
  EXPECT_EQ(ReadFile(Out("5.jpg")), "4");
  EXPECT_EQ(test::FilesBelow(dir_ / "archive"), (Lines{"1.jpg", "2008", "5.jpg"}));
  const std::vector<FileOpResult>& results = op_.Results();
  ASSERT_EQ(results.size(), 5u);
  EXPECT_EQ(results[1].error, ENOTDIR);
  EXPECT_EQ(results[2].error, EACCES);
  EXPECT_EQ(results[3].error, ENOENT);
  EXPECT_EQ(results[3].errorText, ErrnoText(ENOENT));
  for (size_t i : {1, 2, 3}) EXPECT_EQ(results[i].finalPath, "") << i;
  EXPECT_EQ(op_.ErrorCode(), ENOTDIR);
  EXPECT_EQ(op_.ErrorText(), ErrnoText(ENOTDIR));
}

TEST_F(FileOperationTest, RenameMappedAndPlain) {
  WriteFile(In("a.jpg"), "a");
  WriteFile(In("b.jpg"), "b");
  WriteFile(In("taken.jpg"), "taken");

  ASSERT_TRUE(Run(TStFileOp::fopRename, {In("a.jpg") + "=" + In("taken.jpg")}));
  EXPECT_EQ(ReadFile(In("taken.jpg")), "taken");
  EXPECT_EQ(ReadFile(In("taken (2).jpg")), "a");

  op_.SetOperation(TStFileOp::fopRename);
  op_.SetSourceFiles({In("b.jpg")});
  op_.SetDestination(In("renamed.jpg"));
  ASSERT_TRUE(op_.Execute());
  EXPECT_EQ(ReadFile(In("renamed.jpg")), "b");
  EXPECT_FALSE(Exists(In("b.jpg")));
}

TEST_F(FileOperationTest, DeleteWithoutUndoRemovesFilesAndFolders) {
  WriteFile(In("a.jpg"));
  WriteFile(In("sub/deeper/b.jpg"));
  op_.SetOptions({foFilesOnly});
  ASSERT_TRUE(Run(TStFileOp::fopDelete, {In("a.jpg"), In("sub")}));
  EXPECT_EQ(test::FilesBelow(dir_ / "card"), Lines{});
  EXPECT_FALSE(Exists(In("sub")));
}

TEST_F(FileOperationTest, DeleteWithUndoMovesToTheHomeTrashWithItsRecord) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string savedValue = saved ? saved : "";
  setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  WriteFile(In("a b.jpg"), "first");
  WriteFile(dir_ / "other/a b.jpg", "second");

  const bool ok = Run(TStFileOp::fopDelete, {In("a b.jpg"), dir_ / "other/a b.jpg"});
  if (saved)
    setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");

  ASSERT_TRUE(ok) << op_.ErrorText();
  const std::string trash = dir_ / "data/Trash";
  EXPECT_EQ(ReadFile(trash + "/files/a b.jpg"), "first");
  EXPECT_EQ(ReadFile(trash + "/files/a b (2).jpg"), "second");
  EXPECT_EQ(op_.Results()[1].finalPath, trash + "/files/a b (2).jpg");
  const std::string info = ReadFile(trash + "/info/a b.jpg.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir_.path() + "/card/a%20b.jpg\nDeletionDate=", 0),
            0u)
      << info;
  EXPECT_FALSE(Exists(In("a b.jpg")));
}

TEST_F(FileOperationTest, DeleteWithUndoOnAnotherVolumeUsesThatVolumesTrash) {
  test::Tmpfs card(dir_ / "card", "1m");
  FF_REQUIRE_TMPFS(card);
  WriteFile(In("DCIM/a.jpg"), "a");

  ASSERT_TRUE(Run(TStFileOp::fopDelete, {In("DCIM/a.jpg")})) << op_.ErrorText();
  const std::string trash = In(".Trash-" + std::to_string(getuid()));
  EXPECT_EQ(ReadFile(trash + "/files/a.jpg"), "a");
  EXPECT_EQ(ReadFile(trash + "/info/a.jpg.trashinfo").rfind("[Trash Info]\nPath=DCIM/a.jpg\n", 0),
            0u);
  EXPECT_FALSE(Exists(In("DCIM/a.jpg")));
}

}  // namespace
}  // namespace ff
