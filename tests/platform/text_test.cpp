#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/paths.h"
#include "support/fakes.h"

namespace ff {
namespace {

TEST(Text, FoldCaseHandlesUnicodeAndInvalidBytes) {
  EXPECT_EQ(FoldCase("IMG_0001.JPG"), "img_0001.jpg");
  EXPECT_EQ(FoldCase("ÄÖÜ Straße"), "äöü straße");
  EXPECT_TRUE(EqualsIgnoreCase("Photos ÉTÉ", "photos été"));
  // Bytes that are not UTF-8 survive folding unchanged.
  const std::string raw("A\xff\xc3(B", 5);
  EXPECT_EQ(FoldCase(raw), std::string("a\xff\xc3(b", 5));
  EXPECT_FALSE(EqualsIgnoreCase("a\xff", "a\xfe"));
}

TEST(Text, ReplaceTokenFollowsTheExactSpellingRule) {
  struct Case {
    const char* text;
    const char* token;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      // Only the exact spelling switches the replacement on ...
      {"{system.year}", "{System.Year}", "2008", "{system.year}"},
      // ... and then every spelling is replaced.
      {"{system.year}-{System.Year}", "{System.Year}", "2008", "2008-2008"},
      // One pass: a value holding the token is not expanded again.
      {"{File.Filename}", "{File.Filename}", "{File.Filename}", "{File.Filename}"},
      {"x.exe.EXE", ".exe", ".raw", "x.raw.raw"},
      {"", "{Spc}", " ", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReplaceToken(c.text, c.token, c.value), c.expected) << c.text;
}

TEST(Paths, ParentLevelsAndAbsolutePaths) {
  EXPECT_TRUE(HasParentLevel("/a/../b"));
  EXPECT_TRUE(HasParentLevel(".."));
  EXPECT_TRUE(HasParentLevel("/a/b/.."));
  EXPECT_FALSE(HasParentLevel("/a/..b/c.."));
  EXPECT_FALSE(HasParentLevel("/a/.../b"));
  EXPECT_EQ(AbsolutePath("/a/./b/../c/"), "/a/c");
  EXPECT_EQ(AbsolutePath("/"), "/");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(FileNamePart("/a/b.jpg"), "b.jpg");
}

TEST(Environment, DefaultDateTimeTextLeavesOutMidnight) {
  test::FakeEnvironment env;
  EXPECT_EQ(DefaultDateTimeText(env, {2008, 5, 7, 0, 0, 0, 0}), "07.05.2008");
  EXPECT_EQ(DefaultDateTimeText(env, {2008, 5, 7, 0, 0, 1, 0}), "07.05.2008 00:00:01");
  EXPECT_EQ(PadNumber(7, 4), "0007");
  EXPECT_EQ(PadNumber(12345, 4), "12345");
  EXPECT_EQ(PadNumber(-5, 4), "-0005");
}

TEST(Environment, RealEnvironmentFormatsAndNamesAnswer) {
  const Environment& env = SystemEnvironment();
  EXPECT_FALSE(env.ShortDate({2008, 5, 7, 15, 4, 5, 0}).empty());
  EXPECT_FALSE(env.LongTime({2008, 5, 7, 15, 4, 5, 0}).empty());
  EXPECT_FALSE(env.ComputerName().empty());
  // The offset of the instant itself applies, so a UTC zone gives UTC fields.
  const CalendarTime t = env.ToLocal(Instant{1'210'150'000, 5'000'000});
  EXPECT_EQ(t.millisecond, 5);
}

}  // namespace
}  // namespace ff
