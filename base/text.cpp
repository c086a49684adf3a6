#include "base/text.h"

namespace setup {

std::string CutBytes(std::string_view s, size_t n) {
    return std::string(s.substr(0, n));
}

std::string CutGbk(std::string_view s, size_t n) {
    if (s.size() <= n) return std::string(s);
    size_t i = 0;
    while (i < n) {
        size_t width = (IsGbkLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        if (i + width > n) break;
        i += width;
    }
    return std::string(s.substr(0, i));
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<uint8_t>(s[b]) <= 0x20) ++b;
    while (e > b && static_cast<uint8_t>(s[e - 1]) <= 0x20) --e;
    return std::string(s.substr(b, e - b));
}

size_t GbkCharCount(std::string_view s) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++count)
        i += (IsGbkLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    return count;
}

}  // namespace setup
