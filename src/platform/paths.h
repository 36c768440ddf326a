// Native paths and the folders the program keeps its files in.
#pragma once

#include <string>
#include <string_view>

namespace ff {

// The name part of a path: the text after its last "/".
std::string_view FileNamePart(std::string_view path);

// folder + "/" (only when folder does not already end in one) + name.
std::string JoinPath(std::string_view folder, std::string_view name);

// A full path is an absolute one.
inline bool IsFullPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

// True when some folder level of path is "..".
bool HasParentLevel(std::string_view path);

// path made absolute against the current folder and lexically normalised
// ("a/./b/../c" becomes "a/c"); an empty path stays empty.
std::string AbsolutePath(std::string_view path);

// $HOME, else the password database's home folder.
std::string HomeFolder();

// The user's pictures folder: XDG_PICTURES_DIR, else the PICTURES entry of
// user-dirs.dirs, else ~/Pictures.
std::string UserPicturesFolder();

// $XDG_CONFIG_HOME/fotoferry (default ~/.config/fotoferry).
std::string ConfigFolder();

// $XDG_STATE_HOME/fotoferry/Log (default ~/.local/state/fotoferry/Log).
std::string DefaultLogFolder();

// The running program's own executable (/proc/self/exe).
std::string ExecutablePath();

// Creates path and every missing folder above it. Answers false (errno in
// error) when it could not; an existing folder is success.
bool MakeFolders(const std::string& path, int& error);

}  // namespace ff
