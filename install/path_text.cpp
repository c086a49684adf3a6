#include "install/path_text.h"

#include "base/text.h"

namespace setup {

size_t LastPos(std::string_view pattern, std::string_view text) {
    if (pattern.empty() || pattern.size() > text.size()) return 0;
    size_t found = 0;
    for (size_t i = 0; i + pattern.size() <= text.size();) {
        if (text.compare(i, pattern.size(), pattern) == 0) found = i + 1;
        i += (IsGbkLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return found;
}

std::string ShortenPath(std::string_view path, size_t limit) {
    if (path.size() <= limit) return std::string(path);
    const std::string_view name = path.substr(LastPos("\\", path));
    return CutGbk(path, 3) + "...\\" + CutGbk(name, 40);
}

std::string FolderOf(std::string_view path) {
    const size_t pos = LastPos("\\", path);
    return pos == 0 ? std::string() : std::string(path.substr(0, pos - 1));
}

std::string FolderWithSeparator(std::string_view path) {
    return std::string(path.substr(0, LastPos("\\", path)));
}

bool HasSeparator(std::string_view text) {
    return LastPos("\\", text) != 0;
}

}  // namespace setup
