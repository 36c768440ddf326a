// The private-profile INI file: sections of key=value lines, looked up
// without regard to letter case. Every write goes straight to the file,
// under a lock beside it and by atomic replacement, so a crash never leaves
// a partial file and concurrent writers lose nothing. Comments, blank lines
// and unknown lines are kept as they are.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ff {

// Values read back are cut after this many characters.
inline constexpr std::size_t kIniValueLimit = 2047;

class IniFile {
 public:
  // path is the user's file. While it does not exist, delivered (when not
  // empty) is read in its place; a write then starts from delivered's
  // content and goes to path.
  explicit IniFile(std::string path, std::string delivered = {});

  const std::string& FileName() const { return path_; }

  // The keys of the section in file order ("" keys included, duplicates as
  // often as they occur); empty when the file or the section is missing.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // Every key=value line of the section in file order, each with its own
  // value (cut at kIniValueLimit characters).
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;
  // The value of the first line of key in the first section of that name,
  // blanks around it dropped, cut at kIniValueLimit characters; defaultValue
  // when there is none.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {}) const;

  // Sets key in section, adding the section and the key when missing.
  // Throws ff::Error "Unable to write to <path>" when the file cannot be
  // written, and also when the text cannot be stored as one line that reads
  // back as written (a line break anywhere, "]" in a section name, "=" in a
  // key, a key that begins with "[" or ";").
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes every section of that name with all its lines. Throws as
  // WriteString when the file cannot be written.
  void EraseSection(std::string_view section);

 private:
  std::vector<std::string> Lines() const;
  template <typename Change>
  void Modify(Change change);

  std::string path_;
  std::string delivered_;
};

// fotoferry.ini in the config folder.
std::string UserIniPath();

// The INI delivered with the program: beside the executable (a build tree),
// else in ../share/fotoferry/ next to its folder (an installation). Empty
// when neither exists.
std::string FindDeliveredIni(const std::string& executable);

}  // namespace ff
