#include "import/delimited_text.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

using Items = std::vector<std::string>;

TEST(DelimitedText, ReadingSplitsByTheDelimiterBlanksAndQuotes) {
  struct Case {
    std::string text;
    Items items;
  };
  const Case cases[] = {
      {"*.crw;*.thm;*.cr2", {"*.crw", "*.thm", "*.cr2"}},
      {"*.jpg *.nef", {"*.jpg", "*.nef"}},         // an unquoted blank ends an item
      {"  *.jpg ;  *.nef  ", {"*.jpg", "*.nef"}},  // blanks around items are skipped
      {"*.jpg;", {"*.jpg", ""}},                   // a final ";" adds an empty item
      {"*.jpg; ", {"*.jpg"}},                      // ... only when it is the last character
      {"a;;b", {"a", "", "b"}},
      {"\"*.jpg;x\";b", {"*.jpg;x", "b"}},     // quoted items are taken whole
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},  // doubled quotes stand for one
      {"\"unclosed;rest", {"unclosed;rest"}},  // no closing quote: to the end
      {"\"a\"b;c", {"a", "b", "c"}},
      {"", {}},
      {"\"\"", {""}},
      {std::string("a;b\0c", 5), {"a", "b"}},  // NUL ends the text
      {"*.jpg=/photo archive;*.crw=/raw", {"*.jpg=/photo", "archive", "*.crw=/raw"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadDelimitedText(c.text), c.items) << c.text;
}

TEST(DelimitedText, WritingQuotesWhatNeedsItAndReadsBackTheSameList) {
  struct Case {
    Items items;
    std::string text;
  };
  const Case cases[] = {
      {{"*.jpg=/Photo archive", "*.crw=/Raw"}, "\"*.jpg=/Photo archive\";*.crw=/Raw"},
      {{"a\"b"}, "\"a\"\"b\""},
      {{"a;b", "c"}, "\"a;b\";c"},
      {{"tab\there"}, "\"tab\there\""},
      {{}, ""},
      {{""}, "\"\""},
      {{"a", ""}, "a;"},
      {{"", "a"}, ";a"},
      {{"é/ü", "x"}, "é/ü;x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WriteDelimitedText(c.items), c.text);
    EXPECT_EQ(ReadDelimitedText(c.text), c.items) << c.text;
  }
}

TEST(DelimitedText, AnyByteSequenceReadsWithoutFailing) {
  std::string text;
  for (int i = 0; i < 4096; ++i) text += static_cast<char>((i * 37 + 11) % 256);
  const Items items = ReadDelimitedText(text);
  EXPECT_FALSE(items.empty());
  EXPECT_EQ(ReadDelimitedText(WriteDelimitedText(items)), items);
}

}  // namespace
}  // namespace ff
