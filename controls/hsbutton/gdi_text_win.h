// gdi_text_win.h: the button's caption through GDI, drawn into the face's own DIB.
//
//   GdiFontCache      the fonts a button has asked for, made once and owned (a few at most)
//   GdiTextRenderer   TextRenderer over a memory DC: DrawTextW with word-break, alignment and
//                     "&" prefixes, text converted from GBK at the call
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "controls/hsbutton/gdi_win.h"
#include "controls/hsbutton/text_renderer.h"

namespace setup::win::hsb {

class GdiFontCache {
public:
    HFONT Get(const FontSpec& spec);

private:
    static constexpr size_t kMaxFonts = 4;
    std::vector<std::pair<FontSpec, UniqueFont>> fonts_;  // most recently used last
};

class GdiTextRenderer : public TextRenderer {
public:
    // dc has the DIB selected that Draw's image views; the renderer restores what it selects.
    GdiTextRenderer(HDC dc, GdiFontCache& fonts) : dc_(dc), fonts_(fonts) {}

    int LineWidth(const FontSpec& font, std::string_view text) override;
    TextSize Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) override;
    void Draw(const ImageView& image, const FontSpec& font, std::string_view text, Rect box, TextFormat format,
              ColorValue rgb) override;

private:
    HDC dc_;
    GdiFontCache& fonts_;
};

}  // namespace setup::win::hsb
