#include "package/safe_name.h"

#include <array>
#include <cstdint>
#include <string>

#include "base/text.h"

namespace setup {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// Windows opens a device for these names whatever extension follows and with trailing
// blanks before the extension ("nul.txt", "CON .log").
bool IsDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view name : kNames)
        if (EqualsNoCase(base, name)) return true;
    if (base.size() == 4 && (EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT")))
        return base[3] >= '0' && base[3] <= '9';
    return false;
}

bool IsForbiddenSingleByte(uint8_t b) {
    if (b < 0x20 || b == 0x7F || b == 0xFF) return true;
    switch (b) {
        case '<': case '>': case ':': case '"': case '/': case '|': case '?': case '*': return true;
        default: return false;
    }
}

// A GBK trail byte: 0x40..0xFE except 0x7F. Anything else after a lead byte is not a
// character, and how the system would convert it is not something to rely on.
bool IsGbkTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// GBK-aware: a trail byte 0x5C inside a two-byte character is not a separator.
bool HasSeparator(std::string_view gbk) {
    for (size_t i = 0; i < gbk.size(); ++i) {
        if (IsGbkLeadByte(static_cast<uint8_t>(gbk[i]))) ++i;
        else if (gbk[i] == '\\' || gbk[i] == '/') return true;
    }
    return false;
}

bool IsSafeComponent(std::string_view c) {
    if (c.empty()) return false;
    // Windows drops trailing dots and blanks, so "..", "a." and "a " are not what they seem.
    if (c.back() == '.' || c.back() == ' ') return false;
    return !IsDeviceName(c);
}

}  // namespace

bool IsSafeStoredName(std::string_view name) {
    if (name.size() < 2 || name[0] != '\\' || name[1] == '\\') return false;
    size_t start = 1;  // first byte of the current component
    size_t i = 1;
    while (i < name.size()) {
        const uint8_t b = static_cast<uint8_t>(name[i]);
        if (IsGbkLeadByte(b)) {
            if (i + 1 >= name.size() || !IsGbkTrailByte(static_cast<uint8_t>(name[i + 1]))) return false;
            i += 2;  // the trail byte may be 0x5C: part of the character, not a separator
            continue;
        }
        if (b == '\\') {
            if (!IsSafeComponent(name.substr(start, i - start))) return false;
            start = i + 1;
        } else if (IsForbiddenSingleByte(b)) {
            return false;
        }
        ++i;
    }
    return IsSafeComponent(name.substr(start));
}

bool IsPlainFileName(std::string_view name) {
    // A stored file name of a single component is exactly a plain file name.
    return !name.empty() && !HasSeparator(name) && IsSafeStoredName("\\" + std::string(name));
}

}  // namespace setup
