// What a full disk, a cancel and a killed process leave behind: complete
// files under real names only, and no source removed before its copy is safe.
// The archive is a small tmpfs, so a move from the test folder crosses
// volumes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file_op_test_util.h"

namespace ff {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

struct Picture {
  std::string name;
  size_t size;
};

class ReliabilityTest : public testing::Test {
 protected:
  std::string In(const std::string& name) const { return dir_ / ("card/" + name); }
  std::string Out(const std::string& name) const { return dir_ / ("archive/" + name); }
  const std::string& Content(size_t i) const { return contents_[i]; }

  // Writes the pictures to the card and answers their import lines.
  std::vector<std::string> Prepare(std::vector<Picture> pictures) {
    pictures_ = std::move(pictures);
    std::vector<std::string> lines;
    for (size_t i = 0; i < pictures_.size(); ++i) {
      contents_.push_back(test::Pattern(pictures_[i].size, static_cast<char>('a' + i)));
      WriteFile(In(pictures_[i].name), Content(i));
      lines.push_back(In(pictures_[i].name) + "=" + Out("2008/" + pictures_[i].name));
    }
    return lines;
  }

  // Every file under a real name in the archive is a complete copy, and
  // every picture is complete at its source or its target (or both).
  void ExpectNothingLost() {
    for (const std::string& file : test::FilesBelow(dir_ / "archive")) {
      const std::string name = std::filesystem::path(file).filename().string();
      if (name.rfind(".fotoferry-", 0) == 0) continue;  // unfinished, hidden
      bool known = false;
      for (size_t i = 0; i < pictures_.size(); ++i) {
        if (pictures_[i].name != name) continue;
        known = true;
        EXPECT_EQ(ReadFile(Out(file)), Content(i)) << file << " is incomplete";
      }
      EXPECT_TRUE(known) << file;
    }
    for (size_t i = 0; i < pictures_.size(); ++i) {
      const bool atSource = Exists(In(pictures_[i].name));
      const bool atTarget = Exists(Out("2008/" + pictures_[i].name));
      EXPECT_TRUE(atSource || atTarget) << pictures_[i].name << " was lost";
      if (atSource) {
        EXPECT_EQ(ReadFile(In(pictures_[i].name)), Content(i));
      }
    }
  }

  test::TempDir dir_;
  std::vector<Picture> pictures_;
  std::vector<std::string> contents_;
};

class FullDiskTest : public ReliabilityTest, public testing::WithParamInterface<TStFileOp> {};

TEST_P(FullDiskTest, FilesThatFitAreCompleteAndNoSourceOfAFailedCopyIsRemoved) {
  test::Tmpfs archive(dir_ / "archive", "256k");
  FF_REQUIRE_TMPFS(archive);
  TStFileOperation op;
  op.SetOperation(GetParam());
  op.SetSourceFiles(
      Prepare({{"a.raw", 100'000}, {"b.raw", 100'000}, {"c.raw", 100'000}, {"d.jpg", 20'000}}));

  EXPECT_FALSE(op.Execute());

  EXPECT_EQ(op.ErrorCode(), ENOSPC);
  EXPECT_EQ(op.ErrorText(), ErrnoText(ENOSPC));
  const std::vector<FileOpResult>& results = op.Results();
  ASSERT_EQ(results.size(), 4u);
  EXPECT_TRUE(results[0].Succeeded());
  EXPECT_EQ(results[2].error, ENOSPC);
  EXPECT_EQ(results[2].finalPath, "");
  EXPECT_TRUE(results[3].Succeeded()) << "a smaller file after the failure still fits";
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(Exists(results[i].target), results[i].Succeeded()) << i;
    if (GetParam() == TStFileOp::fopMove) {
      EXPECT_EQ(Exists(results[i].source), !results[i].Succeeded()) << i;
    }
  }
  EXPECT_FALSE(test::HasTemporaryFiles(dir_ / "archive"));
  ExpectNothingLost();
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, FullDiskTest,
                         testing::Values(TStFileOp::fopCopy, TStFileOp::fopMove),
                         test::OperationName);

TEST_F(ReliabilityTest, MoveAcrossVolumesKeepsASourceItCannotRemoveAndReportsTheCopy) {
  test::Tmpfs archive(dir_ / "archive", "1m");
  FF_REQUIRE_TMPFS(archive);
  const std::vector<std::string> lines = Prepare({{"a.jpg", 1000}, {"b.jpg", 1000}});
  // A write-protected card: the copies arrive, the sources cannot go.
  chmod(dir_.path().c_str(), 0777);
  chmod((dir_ / "archive").c_str(), 0777);
  chmod((dir_ / "card").c_str(), 0555);
  TStFileOperation op;
  op.SetOperation(TStFileOp::fopMove);
  op.SetSourceFiles(lines);
  {
    test::AsNobody nobody;
    EXPECT_FALSE(op.Execute());
  }

  EXPECT_EQ(op.ErrorCode(), EACCES);
  for (const FileOpResult& result : op.Results()) {
    EXPECT_EQ(result.error, EACCES);
    EXPECT_EQ(result.finalPath, result.target);
    EXPECT_TRUE(Exists(result.source));
  }
  ExpectNothingLost();
  EXPECT_TRUE(Exists(Out("2008/a.jpg")));
}

class CancelTest : public ReliabilityTest, public testing::WithParamInterface<TStFileOp> {};

TEST_P(CancelTest, CancelInsideALargeFileLeavesNoPartialFile) {
  test::Tmpfs archive(dir_ / "archive", "64m");
  FF_REQUIRE_TMPFS(archive);
  constexpr size_t kSmall = 10'000;
  TStFileOperation op;
  op.SetOperation(GetParam());
  op.SetSourceFiles(
      Prepare({{"a.jpg", kSmall}, {"b.jpg", kSmall}, {"big.raw", 12u << 20}, {"c.jpg", kSmall}}));
  // Cancels once the large file is half copied.
  test::ScriptedProgress progress([&](const FileOperationStatus& status) {
    EXPECT_EQ(status.filesTotal, 4u);
    EXPECT_EQ(status.bytesTotal, 3 * kSmall + (12u << 20));
    return status.bytesDone < 2 * kSmall + (6u << 20);
  });
  op.SetProgress(&progress);

  EXPECT_FALSE(op.Execute());

  EXPECT_TRUE(op.Aborted());
  EXPECT_EQ(op.ErrorCode(), kErrorCancelled);
  EXPECT_FALSE(op.ErrorText().empty());
  const std::vector<FileOpResult>& results = op.Results();
  ASSERT_EQ(results.size(), 4u);
  EXPECT_TRUE(results[0].Succeeded());
  EXPECT_TRUE(results[1].Succeeded());
  EXPECT_EQ(results[2].error, kErrorCancelled);
  EXPECT_EQ(results[3].error, kErrorCancelled);
  EXPECT_EQ(test::FilesBelow(dir_ / "archive"),
            (std::vector<std::string>{"2008/a.jpg", "2008/b.jpg"}));
  // A cancelled move still completes the files already copied.
  const bool move = GetParam() == TStFileOp::fopMove;
  EXPECT_EQ(Exists(In("a.jpg")), !move);
  EXPECT_TRUE(Exists(In("big.raw")));
  ExpectNothingLost();
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, CancelTest,
                         testing::Values(TStFileOp::fopCopy, TStFileOp::fopMove),
                         test::OperationName);

struct KillPoint {
  const char* name;
  // Answers true at the progress report at which the process is killed.
  bool (*now)(const FileOperationStatus& status);
};

class KilledMoveTest : public ReliabilityTest, public testing::WithParamInterface<KillPoint> {};

constexpr size_t kSmallPicture = 64 << 10;

TEST_P(KilledMoveTest, EveryFileIsCompleteAtItsSourceOrTarget) {
  test::Tmpfs archive(dir_ / "archive", "64m");
  FF_REQUIRE_TMPFS(archive);
  const std::vector<std::string> lines = Prepare({{"a.jpg", kSmallPicture},
                                                  {"b.jpg", kSmallPicture},
                                                  {"big.raw", 10u << 20},
                                                  {"c.jpg", kSmallPicture},
                                                  {"d.jpg", kSmallPicture}});

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TStFileOperation op;
    op.SetOperation(TStFileOp::fopMove);
    op.SetSourceFiles(lines);
    test::ScriptedProgress progress([](const FileOperationStatus& status) {
      if (GetParam().now(status)) raise(SIGKILL);
      return true;
    });
    op.SetProgress(&progress);
    op.Execute();
    _exit(3);  // the kill point was never reached
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  ExpectNothingLost();
}

INSTANTIATE_TEST_SUITE_P(
    Points, KilledMoveTest,
    testing::Values(KillPoint{"AfterTwoFiles",
                              [](const FileOperationStatus& s) { return s.filesDone == 2; }},
                    KillPoint{"InsideTheLargeFile",
                              [](const FileOperationStatus& s) {
                                return s.current.ends_with("big.raw") &&
                                       s.bytesDone > 2 * kSmallPicture;
                              }},
                    KillPoint{"AllCopiedNoneRemoved",
                              [](const FileOperationStatus& s) {
                                return s.filesDone == s.filesTotal && !s.finishing;
                              }},
                    KillPoint{"WhileRemovingSources",
                              [](const FileOperationStatus& s) {
                                return s.finishing && s.current.ends_with("c.jpg");
                              }}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ff
