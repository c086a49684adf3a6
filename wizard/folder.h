// folder.h: target-folder helpers shared by the folder page and the installation run.
#pragma once

#include <string>
#include <string_view>

#include "base/platform.h"

namespace setup {

// Most bytes the record keeps of the target folder.
inline constexpr size_t kMaxFolderBytes = 128;

// Creates every missing level of `path`, left to right: each piece keeps its trailing "\"
// (the last one has none), a piece that exists as a directory is skipped, and the first
// creation that fails stops the walk (levels made before it stay). So C:\a\b checks C:\,
// C:\a\ and C:\a\b. True when nothing was missing or everything missing was made; an empty
// path is true. A "\" that is the second byte of a two-byte GBK character does not split.
bool ForceFolder(FileSystem& fs, std::string_view path);

// The folder part of a path, up to and including its last "\" (empty when it has none).
std::string ParentFolder(std::string_view path);

// What the browse button writes into the folder box for a chosen path: a drive root such as
// "D:\" (3 bytes or fewer) gets the folder name directly, anything longer gets "\" first.
std::string BrowsedFolderText(std::string_view chosen, std::string_view folder_name);

}  // namespace setup
