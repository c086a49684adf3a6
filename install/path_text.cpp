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

std::string WorkingFolderOf(std::string_view path) {
    std::string folder = FolderOf(path);
    if (!folder.empty() && folder.back() == ':') folder += "\\.";
    return folder;
}

std::string FolderWithSeparator(std::string_view path) {
    return std::string(path.substr(0, LastPos("\\", path)));
}

bool HasSeparator(std::string_view text) {
    return LastPos("\\", text) != 0;
}

std::string QuoteArgument(std::string_view arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (size_t i = 0; i < arg.size(); ++i) {
        const char ch = arg[i];
        if (IsGbkLeadByte(static_cast<uint8_t>(ch)) && i + 1 < arg.size()) {
            out.append(arg.substr(i++, 2));
            backslashes = 0;
        } else if (ch == '\\') {
            out += ch;
            ++backslashes;
        } else if (ch == '"') {
            out.append(backslashes + 1, '\\');  // the run before it doubled, then the quote escaped
            out += ch;
            backslashes = 0;
        } else {
            out += ch;
            backslashes = 0;
        }
    }
    out.append(backslashes, '\\');  // a run at the end must not escape the closing quote
    return out + "\"";
}

}  // namespace setup
