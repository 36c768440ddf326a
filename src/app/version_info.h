// The program's version information: a table compiled into the program,
// laid out and queried as a version resource is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

struct VersionString {
  std::string_view name;
  std::string_view value;
};

// One string block, named by language and code page in eight hexadecimal
// digits ("040904E4").
struct VersionStringBlock {
  std::string_view name;
  std::vector<VersionString> strings;
};

struct VersionTranslation {
  std::uint16_t language = 0;
  std::uint16_t codePage = 0;
};

struct VersionInfo {
  std::array<std::uint16_t, 4> fileVersion{};
  std::array<std::uint16_t, 4> productVersion{};
  std::vector<VersionTranslation> translations;
  std::vector<VersionStringBlock> blocks;
};

// The program's own table: block "040904E4", FileVersion "2.0.0.70", ...
const VersionInfo& ProgramVersionInfo();

// The string name of the block that the first translation names; empty when
// there is no translation, no such block or no such string. Block and string
// names are matched without regard to ASCII letter case.
std::string QueryVersionString(const VersionInfo& info, std::string_view name);

// The block name of a translation: language × 65536 + code page as eight
// upper-case hexadecimal digits.
std::string TranslationBlockName(VersionTranslation translation);

}  // namespace ff
