#include "wizard/folder.h"

namespace setup {

std::string BrowsedFolderText(std::string_view chosen, std::string_view folder_name) {
    std::string text(chosen);
    if (chosen.size() > 3) text += '\\';
    text += folder_name;
    return text;
}

}  // namespace setup
