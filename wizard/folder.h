// folder.h: the folder page's limits and the browse button's text.
#pragma once

#include <string>
#include <string_view>

namespace setup {

// Most bytes the record keeps of the target folder.
inline constexpr size_t kMaxFolderBytes = 128;

// What the browse button writes into the folder box for a chosen path: a drive root such as
// "D:\" (3 bytes or fewer) gets the folder name directly, anything longer gets "\" first.
std::string BrowsedFolderText(std::string_view chosen, std::string_view folder_name);

}  // namespace setup
