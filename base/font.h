// font.h: the font of every control, in the portable models and in the window layer.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

inline constexpr uint8_t kDefaultCharset = 1;
inline constexpr uint8_t kGb2312Charset = 134;

// Face name (GBK), pixel height, style, character set and colour of a font.
struct FontSpec {
    std::string name = "宋体";  // GBK
    int height = 12;            // character height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    uint8_t charset = kGb2312Charset;
    uint32_t color = 0;  // 0x00BBGGRR, or 0xFF0000nn for a system colour; black by default

    bool operator==(const FontSpec&) const = default;
};

}  // namespace setup
