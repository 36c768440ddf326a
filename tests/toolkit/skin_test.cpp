#include "toolkit/skin.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/temp_dir.h"

namespace ff {
namespace {

void WriteGzip(const std::string& path, const std::string& text) {
  gzFile file = gzopen(path.c_str(), "wb");
  gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
  gzclose(file);
}

TEST(Skin, CompressedAndPlainSheetsReadAndDamageIsRefused) {
  test::TempDir dir;
  const std::string sheet = "QPushButton { color: #123456; }";
  WriteGzip(dir / "blue.skn", sheet);
  test::WriteFile(dir / "plain.ini", sheet);
  EXPECT_EQ(ReadSkin(dir / "blue.skn"), sheet);
  EXPECT_EQ(ReadSkin(dir / "plain.ini"), sheet);
  const std::string gz = test::ReadFile(dir / "blue.skn");
  test::WriteFile(dir / "cut.skn", gz.substr(0, gz.size() / 2));
  EXPECT_THROW(ReadSkin(dir / "cut.skn"), Error);
  EXPECT_THROW(ReadSkin(dir / "missing.skn"), Error);
  EXPECT_FALSE(ApplySkin(dir / "cut.skn"));
}

TEST(Skin, RelativeNamesAreFoundAmongTheDeliveredSkins) {
  test::TempDir dir;
  test::WriteFile(dir / "bin/skins/zUvira.skn", "x");
  test::WriteFile(dir / "share/fotoferry/skins/other.skn", "x");
  const std::string exe = dir / "bin/fotoferry";
  EXPECT_EQ(FindSkin("zUvira.skn", exe), dir / "bin/skins/zUvira.skn");
  EXPECT_EQ(FindSkin("other.skn", exe), dir / "bin/../share/fotoferry/skins/other.skn");
  EXPECT_EQ(FindSkin(dir / "bin/skins/zUvira.skn", exe), dir / "bin/skins/zUvira.skn");
  EXPECT_EQ(FindSkin("none.skn", exe), "");
  EXPECT_EQ(FindSkin("/nowhere/zUvira.skn", exe), "");
}

}  // namespace
}  // namespace ff
