#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <vector>

#include "log/log_handler.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

using ::testing::HasSubstr;

constexpr const char* kKey = "Software\\Tallmark\\Fotoferry";
constexpr const char* kHeader =
    "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Tallmark\\Fotoferry]\n";

class LogSettingsTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string hives = dir / "config";
  std::string machineHive = hives + "/HKEY_LOCAL_MACHINE.reg";
  test::FakeClock clock{test::UtcInstant(2007, 5, 12, 10, 0, 0)};
  test::FakeEnvironment env;

  std::string logs = dir / "logs";

  LogStore Store(std::function<bool()> setup = {}) {
    return LogStore{hives, kKey, std::move(setup), logs};
  }
};

TEST_F(LogSettingsTest, StoredSettingsAreLoadedAndStoredAgainAtDestruction) {
  const std::string stored = dir / "stored logs";
  {
    Registry key(RootKey::LocalMachine, hives);
    ASSERT_TRUE(key.OpenKey(kKey, true));
    key.WriteInteger("LogKeepDays", 7);
    key.WriteExpandString("LogPath", stored);  // accepted, used as stored
    key.WriteInteger("UseDebugLog", 2);        // any non-zero number is true
    key.WriteInteger("UseErrorLog", 0);
    key.WriteInteger("UseInfoLog", 0);
  }
  {
    TLogHandler log(Store(), clock, env);
    EXPECT_EQ(log.LogKeepDays, 7);
    EXPECT_EQ(log.LogPath, stored);
    EXPECT_TRUE(log.UseDebugLog);
    EXPECT_FALSE(log.UseErrorLog);
    EXPECT_FALSE(log.UseInfoLog);

    log.WriteLog("per file", false);
    log.WriteLog("always", true);
    EXPECT_EQ(test::ReadFile(stored + "/20070512 Info.txt"), "100000\talways\r\n");
    log.LogKeepDays = -3;
    log.UseErrorLog = true;
  }
  Registry key(RootKey::LocalMachine, hives);
  ASSERT_TRUE(key.OpenKey(kKey, false));
  EXPECT_EQ(key.ReadInteger("LogKeepDays"), -3);
  EXPECT_EQ(key.GetDataType("LogPath"), RegDataType::String);
  EXPECT_EQ(key.ReadString("LogPath"), stored);
  EXPECT_EQ(key.ReadInteger("UseDebugLog"), 1);
  EXPECT_EQ(key.ReadInteger("UseErrorLog"), 1);
  EXPECT_EQ(key.ReadInteger("UseInfoLog"), 0);
}

TEST_F(LogSettingsTest, ValuesOfAnotherTypeCountAsMissing) {
  test::WriteFile(machineHive, std::string(kHeader) +
                                   "\"LogKeepDays\"=\"10\"\n"
                                   "\"LogPath\"=dword:00000001\n"
                                   "\"UseDebugLog\"=\"yes\"\n"
                                   "\"UseErrorLog\"=hex:01,00,00,00\n"
                                   "\"UseInfoLog\"=\"0\"\n");
  {
    TLogHandler log(Store(), clock, env);
    EXPECT_EQ(log.LogKeepDays, 30);
    EXPECT_EQ(log.LogPath, logs);
    EXPECT_FALSE(log.UseDebugLog);
    EXPECT_FALSE(log.UseErrorLog);
    EXPECT_TRUE(log.UseInfoLog);
  }
  // Stored again with their proper types.
  const std::string text = test::ReadFile(machineHive);
  EXPECT_THAT(text, HasSubstr("\"LogKeepDays\"=dword:0000001e\n"));
  EXPECT_THAT(text, HasSubstr("\"UseErrorLog\"=dword:00000000\n"));
}

TEST_F(LogSettingsTest, WithoutAWritableKeyTheSetupHookDecides) {
  struct Case {
    const char* what;
    std::vector<bool> answers;  // of the successive dialogs
    bool dialogStores;          // whether a confirmed dialog stores its values
    int expectedDialogs;
    std::int32_t expectedKeepDays;
  } cases[] = {
      {"cancelled", {false}, true, 1, 30},
      {"confirmed", {true}, true, 1, 5},
      {"confirmed but not stored, then cancelled", {true, true, false}, false, 3, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    unlink(machineHive.c_str());
    int dialogs = 0;
    auto setup = [&] {
      const bool ok = c.answers.at(static_cast<size_t>(dialogs++));
      if (ok && c.dialogStores) {
        Registry key(RootKey::LocalMachine, hives);
        if (key.OpenKey(kKey, true)) key.WriteInteger("LogKeepDays", 5);
      }
      return ok;
    };
    {
      TLogHandler log(Store(setup), clock, env);
      EXPECT_EQ(dialogs, c.expectedDialogs);
      EXPECT_EQ(log.LogKeepDays, c.expectedKeepDays);
    }
    // Destruction stored all five values: the next start asks nothing.
    int later = 0;
    TLogHandler next(Store([&] { return ++later, false; }), clock, env);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(next.LogKeepDays, c.expectedKeepDays);
  }

  // Without a hook (no dialog) the defaults stand.
  unlink(machineHive.c_str());
  EXPECT_EQ(TLogHandler(Store(), clock, env).LogKeepDays, 30);

  // A key that can be read but not written counts as one that cannot be opened.
  test::WriteFile(machineHive, std::string(kHeader) + "\"LogKeepDays\"=dword:00000009\n");
  const std::string lock = machineHive + ".lock";
  unlink(lock.c_str());
  ASSERT_EQ(mkdir(lock.c_str(), 0755), 0);
  int dialogs = 0;
  TLogHandler readOnly(Store([&] { return ++dialogs, false; }), clock, env);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(readOnly.LogKeepDays, 30);
}

TEST_F(LogSettingsTest, CutoffIsTheDayLogKeepDaysBeforeToday) {
  struct Case {
    CalendarTime today;
    std::int32_t keepDays;
    const char* cutoff;
  } cases[] = {
      {{2007, 5, 12}, 30, "20070412"}, {{2007, 3, 1}, 1, "20070228"},
      {{2008, 3, 1}, 1, "20080229"},   {{2007, 1, 5}, 0, "20070105"},
      {{2007, 1, 5}, -5, "20070105"},  // never a day after today
      {{2007, 1, 5}, INT_MAX, ""},     // before year 1: nothing is older
  };
  for (const Case& c : cases)
    EXPECT_EQ(RetentionCutoff(c.today, c.keepDays), c.cutoff) << c.keepDays;
}

TEST_F(LogSettingsTest, SweepDeletesTextFilesNamedBeforeTheCutoff) {
  struct File {
    const char* name;
    bool stays;
  } files[] = {
      {"20070512 Info.txt", true},  {"20070412 Info.txt", true},  // the cutoff day stays
      {"20070411 Info.txt", false}, {"notes.txt", true},         {"1.txt", false},
      {"2006.TXT", false},          {"20070411 Info.log", true}, {".20070101.txt", false},
  };
  for (const File& f : files) test::WriteFile(logs + "/" + f.name);
  ASSERT_EQ(mkdir((logs + "/20070101 old.txt").c_str(), 0755), 0);  // counted, not deleted

  TLogHandler log(clock, env);  // no store: sweeps only when asked
  log.LogPath = logs;
  EXPECT_EQ(log.DeleteOldLogs(), 5);
  for (const File& f : files) EXPECT_EQ(test::Exists(logs + "/" + f.name), f.stays) << f.name;
  EXPECT_TRUE(test::Exists(logs + "/20070101 old.txt"));

  log.LogPath = dir / "missing";
  EXPECT_EQ(log.DeleteOldLogs(), 0);

  // Construction with a store sweeps with the stored settings.
  test::WriteFile(machineHive, std::string(kHeader) + "\"LogKeepDays\"=dword:00000001\n" +
                                   "\"LogPath\"=\"" + logs + "\"\n");
  TLogHandler started(Store(), clock, env);
  EXPECT_FALSE(test::Exists(logs + "/20070412 Info.txt"));
  EXPECT_TRUE(test::Exists(logs + "/20070512 Info.txt"));
}

}  // namespace
}  // namespace ff
