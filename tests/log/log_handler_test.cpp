#include "log/log_handler.h"

#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using test::UtcInstant;

class LogHandlerTest : public ::testing::Test {
 protected:
  LogHandlerTest() : clock_(UtcInstant(2007, 5, 12, 14, 5, 9)), log_(clock_, env_) {
    log_.LogPath = dir_ / "deep/Log";
  }
  std::string Today() { return test::ReadFile(dir_ / "deep/Log/20070512 Info.txt"); }

  test::TempDir dir_;
  test::FakeEnvironment env_;
  test::FakeClock clock_;
  TLogHandler log_;
};

TEST_F(LogHandlerTest, RecordsAreTimeTabMessageCrLfInTheDaysFile) {
  log_.WriteLog("first", true);
  log_.WriteLog("two\r\nlines\r\n", false);
  EXPECT_EQ(Today(), "140509\tfirst\r\n140509\ttwo\r\nlines\r\n\r\n");
}

TEST_F(LogHandlerTest, ABatchIsOneRecordPerMessage) {
  log_.WriteLogRecords({"one", "two"}, false);
  EXPECT_EQ(Today(), "140509\tone\r\n140509\ttwo\r\n");
  log_.UseInfoLog = false;
  log_.WriteLogRecords({"three"}, false);
  log_.WriteLogRecords({"four"}, true);
  EXPECT_EQ(Today(), "140509\tone\r\n140509\ttwo\r\n140509\tfour\r\n");
}

TEST_F(LogHandlerTest, InfoSwitchGatesOnlyMessagesWithoutTheAlwaysFlag) {
  log_.UseInfoLog = false;
  log_.UseDebugLog = true;
  log_.UseErrorLog = true;
  log_.WriteLog("quiet", false);
  EXPECT_FALSE(test::Exists(dir_ / "deep"));  // nothing touched, not even the folder
  log_.WriteLog("loud", true);
  EXPECT_EQ(Today(), "140509\tloud\r\n");
}

TEST_F(LogHandlerTest, MidnightStartsANewFile) {
  clock_.Set(UtcInstant(2007, 5, 12, 23, 59, 59));
  log_.WriteLog("before", true);
  clock_.Set(UtcInstant(2007, 5, 13, 0, 0, 1));
  log_.WriteLog("after", true);
  EXPECT_EQ(Today(), "235959\tbefore\r\n");
  EXPECT_EQ(test::ReadFile(dir_ / "deep/Log/20070513 Info.txt"), "000001\tafter\r\n");
}

TEST_F(LogHandlerTest, UnwritableFolderFailsWithTheSystemsText) {
  test::WriteFile(dir_ / "file");
  log_.LogPath = dir_ / "file/Log";
  try {
    log_.WriteLog("x", true);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("Not a directory"), std::string::npos) << e.what();
  }
}

TEST_F(LogHandlerTest, FullDiskLeavesTheFileAsItWas) {
  const std::string mountPoint = dir_ / "small";
  test::WriteFile(mountPoint + "/.keep");
  if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here";
  log_.LogPath = mountPoint + "/Log";
  log_.WriteLog("kept", true);
  EXPECT_THROW(log_.WriteLog(std::string(200'000, 'x'), true), Error);
  const std::string content = test::ReadFile(mountPoint + "/Log/20070512 Info.txt");
  umount2(mountPoint.c_str(), MNT_DETACH);
  EXPECT_EQ(content, "140509\tkept\r\n");
}

}  // namespace
}  // namespace ff
