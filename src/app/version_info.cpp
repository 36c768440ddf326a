#include "app/version_info.h"

#include <cstdio>

#include "platform/text.h"

namespace ff {
namespace {

bool SameAsciiName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FindIgnoreAsciiCase(a, b) == 0;
}

}  // namespace

const VersionInfo& ProgramVersionInfo() {
  static const VersionInfo kInfo{
      {2, 0, 0, 0},
      {2, 0, 0, 0},
      {{0x0409, 0x04E4}},
      {{"040904E4",
        {
            {"CompanyName", "Tallmark (www.tallmark.example)"},
            {"FileDescription", "Fotoferry"},
            {"FileVersion", "2.0.0.70"},
            {"InternalName", "Fotoferry"},
            {"LegalCopyright", "Copyright (C) 2007 Tallmark. All rights reserved."},
            {"LegalTrademarks", ""},
            {"OriginalFilename", "Fotoferry"},
            {"ProductName", "Fotoferry"},
            {"ProductVersion", "2.0.0.70"},
            {"Comments",
             "Please consider donations to ensure this tools future survival!\n"
             "Follow the links below for contact or donations."},
        }}},
  };
  return kInfo;
}

std::string TranslationBlockName(VersionTranslation translation) {
  char name[9];
  std::snprintf(name, sizeof name, "%.8X",
                (static_cast<unsigned>(translation.language) << 16) | translation.codePage);
  return name;
}

std::string QueryVersionString(const VersionInfo& info, std::string_view name) {
  if (info.translations.empty()) return {};
  const std::string block = TranslationBlockName(info.translations.front());
  for (const VersionStringBlock& candidate : info.blocks) {
    if (!SameAsciiName(candidate.name, block)) continue;
    for (const VersionString& entry : candidate.strings)
      if (SameAsciiName(entry.name, name)) return std::string(entry.value);
    return {};
  }
  return {};
}

}  // namespace ff
