// theme.h: UI styles and the built-in theme table of the skinned controls.
//
//   TsuiUIStyle                 the five built-in styles, or FromThemeFile (a skin file)
//   BuiltInThemeItem ...        look-ups in the constant 48-item table, neutral when not found
//   BitmapSource                where theme bitmaps come from (the executable's BITMAP resources)
//   LoadBuiltInThemeBitmap/Frame  a theme bitmap, or one frame of a strip, as an Image
//   ResolveThemeSource          built-in style or skin file for a control
//   StyledControl, PropagateStyleToChildren   a container hands its style to its children
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/image.h"

namespace setup::skin {

class TsuiFileTheme;

enum class TsuiUIStyle : uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

// The fall-back style: new controls start with it, and FromThemeFile without a ready skin
// file draws as it.
inline constexpr TsuiUIStyle kDefaultUIStyle = TsuiUIStyle::DeepBlue;

// The names stored window layouts use ("BlueGlass"); nullopt for an unknown name.
std::string_view UIStyleName(TsuiUIStyle style);
std::optional<TsuiUIStyle> ParseUIStyle(std::string_view name);

enum class ThemeItemKind : uint8_t { kInteger = 0, kColor = 1, kBitmap = 2, kFlag = 3 };

struct ThemeItemValue {
    ThemeItemKind kind = ThemeItemKind::kInteger;
    int32_t number = -1;          // integer, colour (0x00BBGGRR) or flag (0/1)
    std::string_view bitmap;      // bitmap items: resource name, empty when the style has none
};

inline constexpr int kThemeItemCount = 48;
// The items this system's controls read.
inline constexpr int ThemeItemButtonStrip = 1;          // 3 frames: normal, mouse over, pressed
inline constexpr int ThemeItemCheckBoxStrip = 3;        // 4 frames, see kGlyphFrame* below
inline constexpr int ThemeItemRadioButtonStrip = 4;
inline constexpr int ThemeItemControlBorderColor = 25;
inline constexpr int ThemeItemControlFontColor = 27;

// Look-ups (item 1..48). A style outside MacOS..BlueGlass, FromThemeFile included, or an item
// number outside the table gives kind integer with value -1; an item of another kind than
// asked for gives the neutral result (colour 0, integer -1, flag false, bitmap name empty).
// Only the low seven bits of the style value count.
ThemeItemValue BuiltInThemeItem(TsuiUIStyle style, int item);
Color BuiltInThemeColor(TsuiUIStyle style, int item);
int32_t BuiltInThemeInteger(TsuiUIStyle style, int item);
bool BuiltInThemeFlag(TsuiUIStyle style, int item);
std::string_view BuiltInThemeBitmapName(TsuiUIStyle style, int item);

// Every distinct BITMAP resource name the table refers to (for the resource script's checks).
std::span<const std::string_view> AllBuiltInThemeBitmapNames();

// The program's BITMAP resources: the DIB bytes (header, palette, pixels; no file header).
class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    virtual std::optional<std::span<const uint8_t>> FindBitmap(std::string_view name) = 0;
};

// If the item is a bitmap of that style and its resource decodes, fills *dest and returns
// true; otherwise *dest is left untouched (also with dest null).
bool LoadBuiltInThemeBitmap(BitmapSource& source, TsuiUIStyle style, int item, Image* dest);
// count 0: as LoadBuiltInThemeBitmap; otherwise frame `index` of `count` of the strip.
bool LoadBuiltInThemeFrame(BitmapSource& source, TsuiUIStyle style, int item, Image* dest, int index,
                           int count);

// Frame numbers of check-box and radio strips.
inline constexpr int kGlyphFrameChecked = 1;
inline constexpr int kGlyphFrameUnchecked = 2;
inline constexpr int kGlyphFrameCheckedDisabled = 3;
inline constexpr int kGlyphFrameUncheckedDisabled = 4;

struct ThemeSource {
    bool use_file = false;
    TsuiUIStyle style = kDefaultUIStyle;  // the built-in style to draw with when !use_file
    bool operator==(const ThemeSource&) const = default;
};
// A control draws from the skin file only when its style is FromThemeFile and it has a ready
// file theme; FromThemeFile without one draws as DeepBlue; any other style draws as itself.
ThemeSource ResolveThemeSource(const TsuiFileTheme* file_theme, TsuiUIStyle style);

// A control that carries both a file theme and a UI style.
class StyledControl {
public:
    virtual ~StyledControl() = default;
    virtual void SetFileTheme(TsuiFileTheme* theme) = 0;
    virtual void SetUIStyle(TsuiUIStyle style) = 0;
};

// For every child that is a StyledControl (others are null and left alone): file theme first,
// then the style, so the style is applied with the new theme in place.
void PropagateStyleToChildren(std::span<StyledControl* const> children, TsuiUIStyle style,
                              TsuiFileTheme* file_theme);

}  // namespace setup::skin
