#include "import/wildcard.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace ff {
namespace {

TEST(Wildcard, MatchesWholeNamesIgnoringCase) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*.JPG", "img_0001.jpg", true},
      {"*.jpg", "IMG_0001.JPG", true},
      {"*.jpg", "IMG_0001.JPG.bak", false},
      {"IMG*", "IMG_0001.jpg", true},
      {"img_????.*", "IMG_0001.CR2", true},
      {"img_????.*", "IMG_001.CR2", false},
      {"*", "", true},
      {"*.*", "README", false},
      {"?", "", false},
      {"[a-c]*.raf", "B0001.RAF", true},
      {"[a-c]*.raf", "D0001.RAF", false},
      {"[!a-c]*", "D0001", true},
      {"[!a-c]*", "a0001", false},
      {"[xyz-]", "-", true},
      {"*a*b*c", "xxaxxbxxcxxc", true},
      {"*a*b*c", "xxaxxbxxcxxd", false},
      {"ÉTÉ*", "été 2008.jpg", true},
      {"*.jpg", "\xff\xfe.JPG", true},
      {"", "", true},
      {"", "a", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Wildcard(c.mask).Matches(c.name), c.matches) << c.mask << " / " << c.name;
}

TEST(Wildcard, InvalidMasksNameTheMaskAndThePosition) {
  struct Case {
    std::string mask;
    std::string message;
  };
  std::string stars;
  for (int i = 0; i < 31; ++i) stars += "*a";
  const Case cases[] = {
      {"[a", "'[a' is an invalid mask at (3)"},
      {"*.[jJ", "'*.[jJ' is an invalid mask at (6)"},
      {"x[]", "'x[]' is an invalid mask at (3)"},
      {"[!]", "'[!]' is an invalid mask at (3)"},
      {"[-a]", "'[-a]' is an invalid mask at (2)"},
      {"[a-b-c]", "'[a-b-c]' is an invalid mask at (5)"},
      {stars, "'" + stars + "' is an invalid mask at (61)"},
  };
  for (const Case& c : cases) {
    try {
      Wildcard w(c.mask);
      ADD_FAILURE() << c.mask << " was accepted";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  // Thirty runs are fine, and adjacent stars count as one run.
  EXPECT_NO_THROW(Wildcard(stars.substr(2)));
  EXPECT_NO_THROW(Wildcard("***********************************.jpg"));
}

TEST(Wildcard, AnyByteSequenceIsAcceptedOrRefusedWithoutFailing) {
  for (int seed = 0; seed < 2000; ++seed) {
    std::string mask;
    for (int i = 0; i < seed % 13; ++i) mask += "[]!-*?a\xc3\xa9\xff"[(seed * 7 + i * 13) % 11];
    try {
      Wildcard w(mask);
      w.Matches("a\xc3\xa9-!x]");
    } catch (const Error&) {
    }
  }
}

}  // namespace
}  // namespace ff
