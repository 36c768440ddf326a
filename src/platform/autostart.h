// The per-user Run key as the freedesktop autostart folder: a value NAME
// exists exactly while NAME.desktop exists there, and its data is the
// program that the desktop entry starts at logon.
#pragma once

#include <string>
#include <string_view>

namespace ff {

// $XDG_CONFIG_HOME/autostart (default ~/.config/autostart).
std::string DefaultAutostartFolder();

class AutostartFolder {
 public:
  explicit AutostartFolder(std::string folder = DefaultAutostartFolder());

  const std::string& Folder() const { return folder_; }
  // folder + "/" + name + ".desktop".
  std::string EntryPath(std::string_view name) const;

  bool ValueExists(std::string_view name) const;
  // The program the entry starts (the first word of its Exec, unquoted).
  // Throws ff::Error "Failed to get data for '%s'" when there is no entry
  // or it cannot be read.
  std::string ReadString(std::string_view name) const;
  // Writes the entry, creating the folder when missing; Exec is executable,
  // quoted by the desktop entry rules. Throws ff::Error "Failed to set data
  // for '%s'" when it cannot be written or name is no usable file name.
  void WriteString(std::string_view name, std::string_view executable);
  // Removes the entry. Answers false when there was none or it could not
  // be removed.
  bool DeleteValue(std::string_view name);

 private:
  std::string folder_;
};

// The Exec value that starts program without arguments, and back (the first
// word of an Exec value, escapes and quoting undone).
std::string ExecLineFor(std::string_view program);
std::string ProgramOfExecLine(std::string_view exec);

}  // namespace ff
