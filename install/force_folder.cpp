#include "install/force_folder.h"

#include "base/text.h"

namespace setup {

bool ForceFolder(FileSystem& fs, const std::string& path) {
    size_t i = 0;
    while (i < path.size()) {
        // Advance to just past the next separator (or the end), a whole character at a time.
        while (i < path.size()) {
            const uint8_t b = static_cast<uint8_t>(path[i]);
            if (b == '\\') {
                ++i;
                break;
            }
            i += (IsGbkLeadByte(b) && i + 1 < path.size()) ? 2 : 1;
        }
        const std::string level = path.substr(0, i);
        if (!fs.DirectoryExists(level) && !fs.CreateDirectory(level)) return false;
    }
    return true;
}

}  // namespace setup
