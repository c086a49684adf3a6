#include "wizard/folder.h"

#include "base/text.h"

namespace setup {
namespace {

// Byte positions just after each "\" that separates components, GBK-aware.
template <class F>
void ForEachSeparator(std::string_view path, F&& f) {
    for (size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<uint8_t>(path[i]);
        if (IsGbkLeadByte(b) && i + 1 < path.size()) {
            ++i;  // the trail byte may be 0x5C without being a separator
            continue;
        }
        if (path[i] == '\\') f(i);
    }
}

}  // namespace

bool ForceFolder(FileSystem& fs, std::string_view path) {
    size_t start = 0;
    auto visit = [&](size_t end) {  // piece = path[0, end)
        const std::string level(path.substr(0, end));
        if (fs.DirectoryExists(level)) return true;
        return fs.CreateDirectory(level);
    };
    bool ok = true;
    ForEachSeparator(path, [&](size_t i) {
        if (!ok) return;
        ok = visit(i + 1);
        start = i + 1;
    });
    if (!ok) return false;
    if (start < path.size()) return visit(path.size());
    return true;
}

std::string ParentFolder(std::string_view path) {
    size_t end = 0;
    ForEachSeparator(path, [&](size_t i) { end = i + 1; });
    return std::string(path.substr(0, end));
}

std::string BrowsedFolderText(std::string_view chosen, std::string_view folder_name) {
    std::string text(chosen);
    if (chosen.size() > 3) text += '\\';
    text += folder_name;
    return text;
}

}  // namespace setup
