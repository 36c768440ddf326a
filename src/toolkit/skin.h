// Skins: a skin is a Qt style sheet, "*.skn" compressed with gzip, "*.ini"
// (or anything else) as plain text.
#pragma once

#include <string>

namespace ff {

// The style sheet in file, uncompressed where it is gzip data. Throws
// ff::Error with the system's text when the file cannot be read, and when
// compressed data is damaged.
std::string ReadSkin(const std::string& file);

// Where a skin named name is: name itself when it is an existing file (a
// relative name from the current folder), else among the delivered skins
// beside the executable (skins/) or installed (../share/fotoferry/skins/).
// Empty when there is none.
std::string FindSkin(const std::string& name, const std::string& executable);

// Reads the skin and gives it to the application; answers false (and
// changes nothing) when it cannot be read.
bool ApplySkin(const std::string& file);

}  // namespace ff
