#include "app/settings_store.h"

#include <algorithm>

#include "import/delimited_text.h"
#include "import/import_list.h"
#include "platform/autostart.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace ff {

SettingsStore::Locations SettingsStore::UserLocations(const std::string& programKey) {
  return {ConfigFolder(), UserIniPath(), FindDeliveredIni(ExecutablePath()),
          DefaultAutostartFolder(), programKey};
}

SettingsStore::SettingsStore(Locations locations) : where_(std::move(locations)) {}

std::vector<NamedTemplate> SettingsStore::ReadQuickList(std::string_view section) const {
  const IniFile ini(where_.iniFile, where_.deliveredIni);
  std::vector<NamedTemplate> list;
  for (auto& [name, value] : ini.ReadSectionValues(section)) list.push_back({name, value});
  const bool hasUserdefined = std::any_of(list.begin(), list.end(), [](const NamedTemplate& t) {
    return EqualsIgnoreCase(t.name, kUserdefined);
  });
  if (!hasUserdefined) list.insert(list.begin(), {kUserdefined, ""});
  return list;
}

bool SettingsStore::ReadValues(StoredValues& values, bool create) const {
  Registry registry(RootKey::CurrentUser, where_.configFolder);
  if (!registry.OpenKey(where_.programKey, create)) return false;
  const auto text = [&](const char* name, std::optional<std::string>& out) {
    if (registry.ValueExists(name)) out = registry.ReadString(name);
  };
  const auto flag = [&](const char* name, std::optional<bool>& out) {
    if (registry.ValueExists(name)) out = registry.ReadBool(name);
  };
  const auto index = [&](const char* name, std::optional<int>& out) {
    if (registry.ValueExists(name)) out = registry.ReadInteger(name);
  };
  text("ImportTo", values.importTo);
  flag("Move", values.move);
  flag("Format", values.format);
  flag("Recurse", values.recurse);
  text("SearchPattern", values.searchPattern);
  index("QuickFolders", values.quickFolders);
  index("QuickFiles", values.quickFiles);
  flag("MediaDetect", values.mediaDetect);
  text("Skin", values.skin);
  std::optional<std::string> map;
  text("MultiTargets", map);
  if (map) values.multiTargets = ReadDelimitedText(*map);
  flag("Advanced", values.advanced);
  return true;
}

void SettingsStore::WriteValues(const ValuesToSave& values) const {
  Registry registry(RootKey::CurrentUser, where_.configFolder);
  if (!registry.OpenKey(where_.programKey, true)) return;
  registry.WriteBool("Advanced", values.advanced);
  registry.WriteBool("Move", values.move);
  registry.WriteBool("Format", values.format);
  registry.WriteBool("MediaDetect", values.mediaDetect);
  registry.WriteBool("Recurse", values.recurse);
  registry.WriteInteger("QuickFolders", values.quickFolders);
  registry.WriteInteger("QuickFiles", values.quickFiles);
  registry.WriteString("ImportTo", values.importTo);
  registry.WriteString("SearchPattern", values.searchPattern);
  registry.WriteString("Skin", values.skin);
  registry.WriteString("MultiTargets", WriteDelimitedText(values.multiTargets));
}

void SettingsStore::WriteQuickList(std::string_view section, std::vector<std::string>& boxItems,
                                   std::vector<NamedTemplate>& list) const {
  IniFile ini(where_.iniFile, where_.deliveredIni);
  ini.EraseSection(section);
  const auto named = [](const std::string& name) {
    return [&name](const NamedTemplate& t) { return EqualsIgnoreCase(t.name, name); };
  };
  const std::string userdefined = kUserdefined;
  if (std::none_of(list.begin(), list.end(), named(userdefined)))
    list.insert(list.begin(), {kUserdefined, ""});
  if (std::find(boxItems.begin(), boxItems.end(), userdefined) == boxItems.end())
    boxItems.insert(boxItems.begin(), userdefined);
  for (const std::string& item : boxItems) {
    const auto found = std::find_if(list.begin(), list.end(), named(item));
    ini.WriteString(section, item, found == list.end() ? std::string() : found->stored);
  }
}

bool SettingsStore::AutostartOn() const {
  return AutostartFolder(where_.autostartFolder).ValueExists(kAutostartName);
}

void SettingsStore::SetAutostart(bool on, const std::string& executable) const {
  AutostartFolder folder(where_.autostartFolder);
  const bool exists = folder.ValueExists(kAutostartName);
  if (on && !exists) folder.WriteString(kAutostartName, executable);
  if (!on && exists) folder.DeleteValue(kAutostartName);
}

ImportDefaults LoadImportDefaults(const SettingsStore& store) {
  ImportDefaults defaults;
  defaults.root = UserPicturesFolder();
  defaults.pattern = kDefaultSearchPattern;
  StoredValues values;
  if (store.ReadValues(values, false)) {
    defaults.root = values.importTo.value_or(defaults.root);
    defaults.pattern = values.searchPattern.value_or(defaults.pattern);
    defaults.recurse = values.recurse.value_or(defaults.recurse);
    defaults.move = values.move.value_or(defaults.move);
    defaults.map = values.multiTargets.value_or(defaults.map);
  }
  CompleteMultiTargetMap(defaults.map, defaults.pattern, defaults.root);
  const auto pick = [](const std::vector<NamedTemplate>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index].stored : std::string();
  };
  defaults.folderTemplate =
      pick(store.ReadQuickList(kQuickFoldersSection), values.quickFolders.value_or(0));
  defaults.fileTemplate =
      pick(store.ReadQuickList(kQuickFilesSection), values.quickFiles.value_or(0));
  return defaults;
}

}  // namespace ff
