// gdi_text_win.h: the button's caption through GDI, drawn into the face's own DIB.
//
//   GdiFontCache      the fonts a button has asked for, made once and owned (a few at most)
//   GdiTextRenderer   TextRenderer over a memory DC: DrawTextW with word-break, alignment and
//                     "&" prefixes, text converted from GBK at the call
#pragma once

#include <windows.h>

#include <vector>

#include "controls/hsbutton/shapes.h"
#include "win/handles.h"
#include "controls/hsbutton/text_renderer.h"

namespace setup::win::hsb {

class GdiFontCache {
public:
    // smooth: the system's font smoothing; off, every text pixel is the text colour.
    HFONT Get(const FontSpec& font, bool smooth);

private:
    struct Entry {
        FontSpec wanted;
        bool smooth;
        UniqueFont font;
    };
    static constexpr size_t kMaxFonts = 4;
    std::vector<Entry> fonts_;  // most recently used last
};

class GdiTextRenderer : public TextRenderer {
public:
    // dc has the DIB selected that Draw's image views; the renderer restores what it selects.
    // Text drawn straight onto the key colour must not be smoothed: smoothed edges would mix
    // with the key and show as a magenta fringe.
    GdiTextRenderer(HDC dc, GdiFontCache& fonts, bool smooth) : dc_(dc), fonts_(fonts), smooth_(smooth) {}

    int LineWidth(const FontSpec& font, std::string_view text) override;
    TextSize Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) override;
    void Draw(const ImageView& image, const FontSpec& font, std::string_view text, Rect box, TextFormat format,
              Color rgb) override;

private:
    HDC dc_;
    GdiFontCache& fonts_;
    bool smooth_;
};

}  // namespace setup::win::hsb
