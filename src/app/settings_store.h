// Where the user's settings live between runs: the values of the settings
// key in the key store, the quick selections in the INI file, and the
// autostart entry. Reading and writing are plain C++ over values, shared by
// the window and fotoferry-cli; applying them to widgets is the window's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

// A named template: a quick selection, or "Userdefined".
struct NamedTemplate {
  std::string name;
  std::string stored;  // items joined by ";"
};

inline constexpr const char* kUserdefined = "Userdefined";
inline constexpr const char* kQuickFoldersSection = "QuickFolders";
inline constexpr const char* kQuickFilesSection = "QuickFiles";
inline constexpr const char* kAutostartName = "Fotoferry";
inline constexpr const char* kDefaultSkin = "zUvira.skn";

// The values of the settings key; a value that is not stored stays empty.
struct StoredValues {
  std::optional<std::string> importTo;
  std::optional<bool> move;
  std::optional<bool> format;
  std::optional<bool> recurse;
  std::optional<std::string> searchPattern;
  std::optional<int> quickFolders;
  std::optional<int> quickFiles;
  std::optional<bool> mediaDetect;
  std::optional<std::string> skin;
  std::optional<std::vector<std::string>> multiTargets;
  std::optional<bool> advanced;
};

// Every value a save writes.
struct ValuesToSave {
  bool advanced = true;
  bool move = false;
  bool format = false;
  bool mediaDetect = false;
  bool recurse = true;
  int quickFolders = 0;
  int quickFiles = 0;
  std::string importTo;
  std::string searchPattern;
  std::string skin;
  std::vector<std::string> multiTargets;
};

class SettingsStore {
 public:
  struct Locations {
    std::string configFolder;     // holds the hive files
    std::string iniFile;          // the user's INI file
    std::string deliveredIni;     // read while the user has none; may be empty
    std::string autostartFolder;  // the desktop's autostart folder
    std::string programKey;       // the settings key below HKEY_CURRENT_USER
  };
  // The user's real locations, for the program key given.
  static Locations UserLocations(const std::string& programKey);

  explicit SettingsStore(Locations locations);
  const Locations& Where() const { return where_; }

  // The quick selections of a section in file order, "Userdefined" put
  // first with an empty template when the section has none. A missing file
  // or section gives "Userdefined" alone.
  std::vector<NamedTemplate> ReadQuickList(std::string_view section) const;

  // Opens the settings key (creating it when create is set) and reads its
  // values in the order the window applies them. Answers false when the key
  // cannot be opened. Throws ff::Error ("Invalid data type for '%s'",
  // "Failed to get data for '%s'") at a value of the wrong kind; the values
  // read before it are in values.
  bool ReadValues(StoredValues& values, bool create = true) const;

  // Writes every value in a fixed order; does nothing when the key cannot be
  // opened or created. Throws ff::Error "Failed to set data for '%s'".
  void WriteValues(const ValuesToSave& values) const;

  // Erases the section and writes one key per box item, in order, with the
  // template the list holds for that name; "Userdefined" goes first into
  // both when missing. Throws ff::Error "Unable to write to <file>".
  void WriteQuickList(std::string_view section, std::vector<std::string>& boxItems,
                      std::vector<NamedTemplate>& list) const;

  // Whether the program starts with the user's logon.
  bool AutostartOn() const;
  // Writes the entry for executable, or removes it. An existing entry is
  // never rewritten.
  void SetAutostart(bool on, const std::string& executable) const;

 private:
  Locations where_;
};

// What an import takes from the stored settings when nobody says otherwise,
// as the window would load it: root, wildcards, recursion, move, the map
// completed from the wildcards, and the selected quick selections'
// templates (stored form). Reads without creating anything.
struct ImportDefaults {
  std::string root;
  std::string pattern;
  bool recurse = true;
  bool move = false;
  std::vector<std::string> map;
  std::string folderTemplate;
  std::string fileTemplate;
};
ImportDefaults LoadImportDefaults(const SettingsStore& store);

}  // namespace ff
