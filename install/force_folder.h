// force_folder.h: ForceFolder, the one way the program creates a folder tree. Used by the
// folder page (wizard) and by the installation run for the folders of the packed files.
#pragma once

#include <string>

#include "base/platform.h"

namespace setup {

// Walks the path from the left one component at a time, each piece with its trailing "\"
// (the last piece has none): an existing directory is passed over, a missing one is created,
// and the walk stops at the first creation that fails. True when nothing was missing or every
// missing level was created (an empty path yields true); false at the first failure, leaving
// the levels made before it in place. So C:\a\b looks at C:\, then C:\a\, then C:\a\b.
// The path is GBK: a trail byte 0x5C inside a two-byte character is not a separator.
bool ForceFolder(FileSystem& fs, const std::string& path);

}  // namespace setup
