// Moving files to the desktop's trash (the freedesktop.org trash layout).
#pragma once

#include <string>

namespace ff {

// Moves path (a file or a folder) into a trash: the user's home trash
// ($XDG_DATA_HOME/Trash, default ~/.local/share/Trash) when path lies on the
// same volume, else the volume's own ($topdir/.Trash/$uid when an
// administrator prepared it, else $topdir/.Trash-$uid). Writes the
// .trashinfo record first, so the file can always be restored. Answers 0 and
// the path in the trash, or an errno value: EXDEV when the volume has no
// usable trash (the file is then left where it is).
int MoveToTrash(const std::string& path, std::string& trashedPath);

}  // namespace ff
