#include "controls/hsbutton/box_text.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace setup {

namespace {

struct Glyph {
    int width = 0;
    bool blank = false;      // a space: a break opportunity, not drawn
    bool breakable = false;  // a two-byte character: a line may break before and after it
    bool newline = false;
    bool underline = false;  // the access character
};

using Line = std::vector<Glyph>;

// Splits text into display characters, resolving the "&" prefixes.
std::vector<Glyph> Shape(const FontSpec& font, std::string_view text) {
    std::vector<Glyph> out;
    const int extra = font.bold ? 1 : 0;
    bool underline_next = false;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<uint8_t>(text[i]);
        if (b == '&' && !underline_next) {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                ++i;  // "&&": the second one is shown
            } else {
                underline_next = true;
                ++i;
                continue;
            }
        }
        Glyph g;
        g.underline = underline_next;
        underline_next = false;
        if (IsGbkLeadByte(b) && i + 1 < text.size()) {
            g.width = font.height + extra;
            g.breakable = true;
            i += 2;
        } else {
            g.newline = b == '\n';
            g.blank = b == ' ';
            g.width = g.newline ? 0 : font.height / 2 + extra;
            ++i;
        }
        out.push_back(g);
    }
    return out;
}

int WidthOf(const Line& line) {
    int w = 0;
    for (const Glyph& g : line) w += g.width;
    return w;
}

// Greedy line breaking in a box `width` wide; blanks at a break are dropped.
std::vector<Line> Layout(const std::vector<Glyph>& glyphs, int width, bool word_break) {
    std::vector<Line> lines(1);
    size_t i = 0;
    while (i < glyphs.size()) {
        const Glyph& g = glyphs[i];
        if (g.newline) {
            lines.emplace_back();
            ++i;
            continue;
        }
        // The next unit: one two-byte character, one blank, or a run of other characters.
        size_t end = i + 1;
        if (!g.breakable && !g.blank)
            while (end < glyphs.size() && !glyphs[end].breakable && !glyphs[end].blank && !glyphs[end].newline) ++end;
        const Line unit(glyphs.begin() + static_cast<std::ptrdiff_t>(i), glyphs.begin() + static_cast<std::ptrdiff_t>(end));
        Line& line = lines.back();
        if (word_break && !line.empty() && !g.blank && WidthOf(line) + WidthOf(unit) > width) {
            while (!line.empty() && line.back().blank) line.pop_back();
            lines.push_back(unit);
        } else if (!(g.blank && line.empty() && lines.size() > 1)) {
            line.insert(line.end(), unit.begin(), unit.end());
        }
        i = end;
    }
    return lines;
}

}  // namespace

int BoxTextRenderer::LineWidth(const FontSpec& font, std::string_view text) {
    int w = 0;
    for (const Glyph& g : Shape(font, text)) w += g.width;
    return w;
}

TextSize BoxTextRenderer::Measure(const FontSpec& font, std::string_view text, int width, TextFormat format) {
    if (text.empty()) return {};
    const auto lines = Layout(Shape(font, text), width, format.word_break);
    TextSize size;
    for (const Line& line : lines) size.width = std::max(size.width, WidthOf(line));
    size.height = static_cast<int>(lines.size()) * font.height;
    return size;
}

void BoxTextRenderer::Draw(const ImageView& image, const FontSpec& font, std::string_view text, Rect box,
                           TextFormat format, Color rgb) {
    // Clipping to the box: draw into a view of the image restricted to it.
    const int left = std::max(box.left, 0), top = std::max(box.top, 0);
    const int right = std::min(box.right, image.width), bottom = std::min(box.bottom, image.height);
    if (right <= left || bottom <= top) return;
    const ImageView clip{&image.at(left, top), right - left, bottom - top, image.stride};
    const Pixel color = ToPixel(rgb);
    const int h = font.height;
    int y = box.top - top;
    for (const Line& line : Layout(Shape(font, text), box.width(), format.word_break)) {
        const int w = WidthOf(line);
        int x = box.left - left;
        if (format.align == TextAlign::kRight) x += box.width() - w;
        if (format.align == TextAlign::kCenter) x += (box.width() - w) / 2;
        for (const Glyph& g : line) {
            if (!g.blank) FillRect(clip, {x + 1, y + 2, x + g.width - 1, y + h - 2}, color);
            if (g.underline || font.underline) FillRect(clip, {x, y + h - 1, x + g.width, y + h}, color);
            x += g.width;
        }
        y += h;
    }
}

}  // namespace setup
