#include "controls/hsbutton/face.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace setup {

namespace {

using S = THSButtonStyle;

int ClampChannel(double v) { return std::clamp(static_cast<int>(std::trunc(v)), 0, 255); }

// Per channel trunc(a * (1 - s/8) + b * s/8): s = 0 gives a, s = 8 gives b exactly.
Color Blend(Color a, Color b, int step) {
    const double t = step / 8.0;
    auto mix = [t](int ca, int cb) { return ClampChannel(ca * (1.0 - t) + cb * t); };
    return Rgb(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}

// A vertical gradient in exactly 32 bands; the corners on the outer edge are rounded with
// radius r (the upper ones when the rectangle starts at the top, else the lower ones).
void Gradient(const ImageView& image, Color from, Color to, Rect rect, int r) {
    const int h = rect.bottom - rect.top;
    if (h <= 0) return;
    const int band = h / 32 + 1;
    const bool upper = rect.top <= 1;
    double channel[3] = {double(RedOf(from)), double(GreenOf(from)), double(BlueOf(from))};
    const double grow[3] = {(RedOf(to) - RedOf(from)) / 31.0, (GreenOf(to) - GreenOf(from)) / 31.0,
                            (BlueOf(to) - BlueOf(from)) / 31.0};
    for (int i = 0; i < 32; ++i) {
        const int u = (i * h) / 32;
        int e = 0;
        if (upper) {
            e = RoundInset(r, u);
        } else if (u > h - r) {
            const int v = h - u - 1;
            e = r - static_cast<int>(RoundHalfEven(std::sqrt(2.0 * r * v - static_cast<double>(v) * v)));
        }
        const Color c = Rgb(ClampChannel(channel[0]), ClampChannel(channel[1]), ClampChannel(channel[2]));
        FillRect(image, {rect.left + e, rect.top + u, rect.right - e, std::min(rect.top + u + band, rect.bottom)},
                 ToPixel(c));
        for (int k = 0; k < 3; ++k) channel[k] += grow[k];
    }
}

void DrawBevel(const ImageView& image, int w, int h, const FaceInputs& in, bool pressed, const SystemPalette& pal) {
    const Pixel light = ToPixel(pal.Resolve(in.light_color));
    const Pixel shadow = ToPixel(pal.Resolve(in.shadow_color));
    Pen pen(image, shadow);
    if (in.style == S::bsOld) {
        if (pressed) {
            pen.MoveTo(1, h - 3), pen.LineTo(1, 1), pen.LineTo(w - 2, 1);
        } else {
            pen.MoveTo(w - 2, 0), pen.LineTo(w - 2, h - 2), pen.LineTo(0, h - 2);
        }
        const Pixel dark = ToPixel(pal.Resolve(kCl3DDkShadow));
        const Pixel bright = ToPixel(pal.Resolve(kCl3DLight));
        pen.SetColor(pressed ? dark : bright);
        pen.MoveTo(0, h - 1), pen.LineTo(0, 0), pen.LineTo(w - 1, 0);
        pen.SetColor(pressed ? bright : dark);
        pen.SetWidth(3);
        pen.LineTo(w - 1, h - 1), pen.LineTo(-1, h - 1);
        pen.SetWidth(1);
        return;
    }
    for (int k = 0; k < in.border; ++k) {
        pen.SetColor(pressed ? shadow : light);
        pen.MoveTo(k, h - k - 1), pen.LineTo(k, k), pen.LineTo(w - k - 1, k);
        pen.SetColor(pressed ? light : shadow);
        pen.LineTo(w - k - 1, h - k - 1), pen.LineTo(k, h - k - 1);
    }
}

// Cell c of the strip, gw x gh, drawn at (x, y) without the pixels of its bottom-left colour.
// A strip without cell c shows its first cell.
void DrawGlyphCell(const ImageView& image, const Image& strip, int gw, int gh, int c, int x, int y) {
    if (gw <= 0 || gh <= 0) return;
    Image cell(gw, gh);
    for (int cy = 0; cy < gh && cy < strip.height; ++cy) {
        for (int cx = 0; cx < gw && cx < strip.width; ++cx) {
            const int sx = cx + c * gw;
            cell.at(cx, cy) = strip.at(sx < strip.width ? sx : cx, cy);
        }
    }
    DrawImage(image, cell, x, y, FromPixel(cell.at(0, gh - 1)));
}

TextAlign AlignOf(TAlignment a) {
    switch (a) {
        case TAlignment::taLeftJustify: return TextAlign::kLeft;
        case TAlignment::taRightJustify: return TextAlign::kRight;
        case TAlignment::taCenter: break;
    }
    return TextAlign::kCenter;
}

}  // namespace

bool IsTransparentStyle(THSButtonStyle style) {
    return style == S::bsModern || style == S::bsShape || style == S::bsQuicken || style == S::bsGlass;
}

std::string FitCaption(TextRenderer& text, const FontSpec& font, std::string_view caption, int width) {
    std::string s(caption);
    while (!s.empty() && text.LineWidth(font, s) > width) s = CutGbk(s, s.size() - 1);
    return s;
}

void DrawButtonFace(const ImageView& image, int w, int h, const FaceInputs& in, FaceTools& tools) {
    const SystemPalette& pal = tools.palette;
    const Rect whole{0, 0, image.width, image.height};

    // Derived values.
    const bool pressed = in.enabled && in.pressed;
    const int d = pressed && in.style != S::bsEncarta ? 2 : 0;
    Color face = pal.Resolve(in.color);
    if (in.enabled && in.hot_track_color != kClNone)
        face = Blend(face, pal.Resolve(in.hot_track_color), in.fade_step);
    if (pressed && in.color_when_down != kClNone) face = pal.Resolve(in.color_when_down);
    const Pixel face_px = ToPixel(face);

    // Background.
    switch (in.style) {
        case S::bsShape: FillRect(image, whole, kKeyPixel); break;
        case S::bsNormal:
        case S::bsEncarta:
        case S::bsOld: FillRect(image, whole, face_px); break;
        case S::bsModern:
            Gradient(image, face, pal.Resolve(in.light_color), {0, 0, w, h / 4 + d}, in.border);
            Gradient(image, pal.Resolve(in.light_color), face, {0, h / 4 + d, w, h}, in.border);
            break;
        case S::bsGlass: {
            const Color dimmed = AddToColor(in.light_color, -32);
            Gradient(image, pal.Resolve(in.light_color), dimmed, {0, 0, w, h / 2 + d}, in.border);
            Gradient(image, face, AddToColor(in.light_color, 0), {0, h / 2 + d, w, h}, in.border);
            if (!in.flat) {
                FillRect(image, {1, h / 2 + d, 2, h / 2 + d + 1}, ToPixel(dimmed));
                FillRect(image, {w - 2, h / 2 + d, w - 1, h / 2 + d + 1}, ToPixel(dimmed));
            }
            break;
        }
        case S::bsQuicken: break;
    }

    // Border.
    switch (in.style) {
        case S::bsNormal:
        case S::bsEncarta:
        case S::bsOld: {
            const bool shown = in.enabled ? (!in.flat || in.hot || pressed) : !in.flat;
            if (shown) DrawBevel(image, w, h, in, pressed, pal);
            if (in.smooth > 0) Blur(image, in.smooth);
            break;
        }
        case S::bsModern:
        case S::bsGlass:
            if (!in.flat)
                FrameRoundRect(image, {0, 0, w, h}, in.border, pressed ? ToPixel(pal.Resolve(in.shadow_color)) : face_px);
            break;
        case S::bsQuicken: {
            FillRoundRect(image, {0, 1, w, h}, in.border, face_px);
            Pen pen(image, ToPixel(pal.Resolve(in.shadow_color)));
            pen.MoveTo(in.border, 0), pen.LineTo(w - in.border - 1, 0);
            pen.MoveTo(in.border, h - 1), pen.LineTo(w - in.border - 1, h - 1);
            break;
        }
        case S::bsShape: break;
    }

    // Caption font and format.
    FontSpec font = in.font;
    if (in.style == S::bsEncarta && pressed) font.bold = true;
    const TextFormat format{AlignOf(in.alignment), true};
    std::string caption;
    int th = 0, tx = 0;
    auto fit = [&](int tw) {
        caption = in.word_wrap ? in.caption : FitCaption(tools.text, font, in.caption, tw);
        const TextSize size = tools.text.Measure(font, caption, tw, format);
        th = size.height;
        tx = size.width;
    };

    // Glyph cell.
    const Image* strip = in.glyph && !in.glyph->empty() ? in.glyph : nullptr;
    const int gh = strip ? strip->height : 0;
    const int gw = strip && in.num_glyphs > 0 ? strip->width / in.num_glyphs : 0;
    int cell = 1;
    if (in.enabled) {
        cell = 0;
        if (in.hot && in.num_glyphs > 3) cell = 3;
        if (pressed && in.num_glyphs > 2) cell = 2;
    }
    auto draw_glyph = [&](int x, int y) {
        if (strip) DrawGlyphCell(image, *strip, gw, gh, cell, x, y);
    };

    // Placement.
    if (in.style == S::bsShape) {
        fit(std::max(w - 8, 0));
        draw_glyph((w - gw) / 2, (h - gh) / 2);
        if (!caption.empty())
            tools.text.Draw(image, font, caption, {d, (h - th) / 2 + d, w, h}, {TextAlign::kCenter, true},
                            pal.Resolve(font.color));
    } else {
        int tw = 0, tl = d + 4, tt = 0, gx = d + 4, gy = 0;
        if (in.layout == THSButtonLayout::blGlyphLeft || in.layout == THSButtonLayout::blGlyphRight) {
            tw = std::max(w - 8 - (gw > 0 ? gw + 4 : 0), 0);
            fit(tw);
            if (in.layout == THSButtonLayout::blGlyphLeft && gw > 0) tl = d + 4 + gw + 4;
            tt = (h - th) / 2 + d;
            gy = (h - gh) / 2 + d;
            const int g = caption.empty() ? 0 : tx + 4;
            const bool left = in.layout == THSButtonLayout::blGlyphLeft;
            gx = left ? d + 4 : tl + g;
            if (!in.word_wrap) {
                switch (in.alignment) {
                    case TAlignment::taLeftJustify: gx = left ? d + 4 : tl + g; break;
                    case TAlignment::taRightJustify: gx = left ? w - 4 - gw - g + d : w - 4 - gw + d; break;
                    case TAlignment::taCenter: gx = (w - gw) / 2 + d + (left ? -(g / 2) : g / 2); break;
                }
            }
        } else {
            tw = std::max(w - 8, 0);
            fit(tw);
            const int t = th + (gh > 0 ? gh + 4 : 0);
            const int base = (h - t) / 2;
            if (in.layout == THSButtonLayout::blGlyphTop) {
                gy = base + d;
                tt = base + gh + d;
            } else {
                tt = base + d;
                gy = base + th + d;
            }
            switch (in.alignment) {
                case TAlignment::taLeftJustify: gx = d + 4; break;
                case TAlignment::taRightJustify: gx = w - gw - 4 + d; break;
                case TAlignment::taCenter: gx = (w - gw) / 2 + d; break;
            }
        }
        const Color text_color = in.enabled ? pal.Resolve(font.color) : Rgb(0x80, 0x80, 0x80);
        if (!caption.empty()) tools.text.Draw(image, font, caption, {tl, tt, tl + tw, tt + th}, format, text_color);
        draw_glyph(gx, gy);
    }

    // Drop-down arrow, last.
    if (in.has_popup && tools.arrow && !tools.arrow->empty()) {
        const Image& arrow = *tools.arrow;
        DrawImage(image, arrow, w - 11, h / 2 - 1, FromPixel(arrow.at(0, arrow.height - 1)));
    }
}

}  // namespace setup
