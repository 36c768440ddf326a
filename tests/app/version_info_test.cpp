#include "app/version_info.h"

#include <gtest/gtest.h>

namespace ff {
namespace {

TEST(VersionInfo, ProgramStringsThroughTheFirstTranslation) {
  const VersionInfo& info = ProgramVersionInfo();
  const std::pair<const char*, const char*> cases[] = {
      {"FileVersion", "2.0.0.70"},
      {"ProductVersion", "2.0.0.70"},
      {"InternalName", "Fotoferry"},
      {"productname", "Fotoferry"},
      {"OriginalFilename", "Fotoferry"},
      {"FileDescription", "Fotoferry"},
      {"Comments",
       "Please consider donations to ensure this tools future survival!\n"
       "Follow the links below for contact or donations."},
      {"LegalTrademarks", ""},
      {"PrivateBuild", ""},
      {"", ""},
  };
  for (const auto& [name, value] : cases) EXPECT_EQ(QueryVersionString(info, name), value) << name;
  EXPECT_NE(QueryVersionString(info, "LegalCopyright").find("2007"), std::string::npos);
  EXPECT_FALSE(QueryVersionString(info, "CompanyName").empty());
  EXPECT_EQ(info.fileVersion, (std::array<std::uint16_t, 4>{2, 0, 0, 0}));
}

TEST(VersionInfo, TheFirstTranslationNamesTheBlock) {
  EXPECT_EQ(TranslationBlockName({0x0409, 0x04E4}), "040904E4");
  EXPECT_EQ(TranslationBlockName({0x0407, 0x04b0}), "040704B0");
  VersionInfo info;
  info.blocks = {{"040904e4", {{"FileVersion", "1.0"}}}, {"040704B0", {{"FileVersion", "de"}}}};
  EXPECT_EQ(QueryVersionString(info, "FileVersion"), "");  // no translation
  info.translations = {{0x0409, 0x04E4}, {0x0407, 0x04B0}};
  EXPECT_EQ(QueryVersionString(info, "FileVersion"), "1.0");
  info.translations = {{0x0C0A, 0x04E4}, {0x0409, 0x04E4}};
  EXPECT_EQ(QueryVersionString(info, "FileVersion"), "");  // first one has no block
}

}  // namespace
}  // namespace ff
