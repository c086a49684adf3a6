#include "tools/packager/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "tools/packager/bytes.h"

namespace setup::packager {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw PackError(std::string("this system's iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns the number of input bytes consumed.
    size_t Run(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        while (left > 0) {
            char buf[4096];
            char* dst = buf;
            size_t room = sizeof buf;
            const size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, dst);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - left;
    }

private:
    iconv_t cd_;
};

// Why the UTF-8 text at the start of s could not be converted.
std::string DescribeFailure(std::string_view s) {
    const auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const uint32_t lead = b(0);
    const size_t len = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
    bool valid = len > 1 && len <= s.size();
    for (size_t i = 1; valid && i < len; ++i) valid = (b(i) & 0xC0) == 0x80;
    char text[64];
    if (!valid) {
        std::snprintf(text, sizeof text, "the byte 0x%02X is not UTF-8 (texts must be UTF-8)", lead);
        return text;
    }
    uint32_t c = len == 4 ? (lead & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F)
               : len == 3 ? (lead & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F)
                          : (lead & 0x1F) << 6 | (b(1) & 0x3F);
    std::snprintf(text, sizeof text, "the character U+%04X \"", c);
    return text + std::string(s.substr(0, len)) + "\" cannot be written in GBK (code page 936)";
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8, const std::string& field) {
    Converter cv("GBK", "UTF-8");
    std::string out;
    const size_t done = cv.Run(utf8, out);
    if (done != utf8.size()) {
        const auto before = utf8.substr(0, done);
        const std::string line = utf8.find('\n') == std::string_view::npos ? "" :
            " (line " + std::to_string(1 + std::count(before.begin(), before.end(), '\n')) + ")";
        throw PackError(field + line + ": " + DescribeFailure(utf8.substr(done)));
    }
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    Converter cv("UTF-8", "GBK");
    std::string out;
    while (!gbk.empty()) {
        gbk.remove_prefix(cv.Run(gbk, out));
        if (gbk.empty()) break;
        char esc[8];
        std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned char>(gbk[0]));
        out += esc;
        gbk.remove_prefix(1);
    }
    return out;
}

std::optional<std::string> GbkToUtf8Exact(std::string_view gbk) {
    Converter cv("UTF-8", "GBK");
    std::string out;
    if (cv.Run(gbk, out) != gbk.size()) return std::nullopt;
    return out;
}

std::string TextFileToGbk(std::string_view utf8, const std::string& field) {
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    std::string crlf;
    crlf.reserve(utf8.size() + utf8.size() / 16);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            crlf += "\r\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (utf8[i] == '\n') {
            crlf += "\r\n";
        } else {
            crlf += utf8[i];
        }
    }
    return Utf8ToGbk(crlf, field);
}

}  // namespace setup::packager
