#include "controls/hsbutton/color.h"

#include <algorithm>

namespace setup {

namespace {
int Clamp255(int v) { return std::clamp(v, 0, 255); }
}  // namespace

Color AddToColor(Color c, int n) {
    return Rgb(Clamp255(RedOf(c) + n), Clamp255(GreenOf(c) + n), Clamp255(BlueOf(c) + n));
}

int ChannelAverage(Color c) { return (RedOf(c) + GreenOf(c) + BlueOf(c)) / 3; }

SystemPalette::SystemPalette() {
    // COLOR_SCROLLBAR .. COLOR_MENUBAR of the classic (Windows Standard) scheme.
    static constexpr Color kClassic[kCount] = {
        Rgb(212, 208, 200), Rgb(58, 110, 165),  Rgb(10, 36, 106),   Rgb(128, 128, 128),
        Rgb(212, 208, 200), Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(0, 0, 0),
        Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(212, 208, 200), Rgb(212, 208, 200),
        Rgb(128, 128, 128), Rgb(10, 36, 106),   Rgb(255, 255, 255), Rgb(212, 208, 200),
        Rgb(128, 128, 128), Rgb(128, 128, 128), Rgb(0, 0, 0),       Rgb(212, 208, 200),
        Rgb(255, 255, 255), Rgb(64, 64, 64),    Rgb(212, 208, 200), Rgb(0, 0, 0),
        Rgb(255, 255, 225), Rgb(181, 181, 181), Rgb(0, 0, 128),     Rgb(166, 202, 240),
        Rgb(192, 192, 192), Rgb(49, 106, 197),  Rgb(236, 233, 216)};
    std::copy(std::begin(kClassic), std::end(kClassic), rgb_.begin());
}

const SystemPalette& SystemPalette::Classic() {
    static const SystemPalette palette;
    return palette;
}

void SystemPalette::Set(int index, Color rgb) {
    if (index >= 0 && index < kCount) rgb_[static_cast<size_t>(index)] = rgb & 0x00FFFFFF;
}

Color SystemPalette::Resolve(Color c) const {
    if (!IsSystemColor(c)) return c & 0x00FFFFFF;
    const uint32_t index = c & 0x00FFFFFF;
    return index < static_cast<uint32_t>(kCount) ? rgb_[index] : kClBlack;
}

}  // namespace setup
