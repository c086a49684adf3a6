#include "controls/skin/theme.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "controls/skin/file_theme.h"

namespace setup::skin {

namespace {

constexpr int kStyleCount = 5;  // MacOS..BlueGlass

struct Cell {
    int32_t number;
    std::string_view bitmap;
};
struct Row {
    ThemeItemKind kind;
    std::array<Cell, kStyleCount> cells;
};

constexpr Cell Num(int32_t n) { return {n, {}}; }
constexpr Cell Col(int r, int g, int b) { return {static_cast<int32_t>(Rgb(r, g, b)), {}}; }
constexpr Cell Bmp(std::string_view name) { return {0, name}; }

// One row per item, one cell per style (MacOS, WinXP, DeepBlue, Protein, BlueGlass).
// Items the controls of this program do not read are kept for skinned components that
// share the table.
constexpr std::array<Row, kThemeItemCount> kTable{{
    /*  1 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_BUTTON"), Bmp("WINXP_BUTTON"), Bmp("DEEPBLUE_BUTTON"),
               Bmp("PROTEIN_BUTTON"), Bmp("BLUEGLASS_BUTTON")}},
    /*  2 */ {ThemeItemKind::kFlag, {Num(1), Num(0), Num(0), Num(0), Num(1)}},
    /*  3 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_CHECKBOX"), Bmp("WINXP_CHECKBOX"), Bmp("DEEPBLUE_CHECKBOX"),
               Bmp("PROTEIN_CHECKBOX"), Bmp("BLUEGLASS_CHECKBOX")}},
    /*  4 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_RADIOBUTTON"), Bmp("WINXP_RADIOBUTTON"), Bmp("DEEPBLUE_RADIOBUTTON"),
               Bmp("PROTEIN_RADIOBUTTON"), Bmp("BLUEGLASS_RADIOBUTTON")}},
    /*  5 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TITLEBTN"), Bmp("WINXP_TITLEBTN"), Bmp("DEEPBLUE_TITLEBTN"),
               Bmp("PROTEIN_TITLEBTN"), Bmp("BLUEGLASS_TITLEBTN")}},
    /*  6 */ {ThemeItemKind::kFlag, {Num(0), Num(0), Num(0), Num(1), Num(1)}},
    /*  7 */ {ThemeItemKind::kInteger, {Num(3), Num(2), Num(0), Num(0), Num(4)}},
    /*  8 */ {ThemeItemKind::kInteger, {Num(-2), Num(-2), Num(0), Num(0), Num(-3)}},
    /*  9 */ {ThemeItemKind::kInteger, {Num(4), Num(5), Num(2), Num(2), Num(6)}},
    /* 10 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TITLE_LEFT"), Bmp("WINXP_TITLE_LEFT"), Bmp("DEEPBLUE_TITLE_LEFT"),
               Bmp("PROTEIN_TITLE_LEFT"), Bmp("BLUEGLASS_TITLE_LEFT")}},
    /* 11 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TITLE_CLIENT"), Bmp("WINXP_TITLE_CLIENT"), Bmp("DEEPBLUE_TITLE_CLIENT"),
               Bmp("PROTEIN_TITLE_CLIENT"), Bmp("BLUEGLASS_TITLE_CLIENT")}},
    /* 12 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TITLE_RIGHT"), Bmp("WINXP_TITLE_RIGHT"), Bmp("DEEPBLUE_TITLE_RIGHT"),
               Bmp("PROTEIN_TITLE_RIGHT"), Bmp("BLUEGLASS_TITLE_RIGHT")}},
    /* 13 */ {ThemeItemKind::kInteger, {Num(130), Num(150), Num(130), Num(130), Num(270)}},
    /* 14 */ {ThemeItemKind::kInteger, {Num(0), Num(13), Num(0), Num(0), Num(11)}},
    /* 15 */ {ThemeItemKind::kColor, {Col(231, 231, 231), Col(239, 235, 222), Col(232, 232, 232), Col(251, 251, 251), Col(231, 231, 231)}},
    /* 16 */ {ThemeItemKind::kColor, {Col(127, 127, 127), Col(0, 44, 200), Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0)}},
    /* 17 */ {ThemeItemKind::kInteger, {Num(1), Num(3), Num(1), Num(1), Num(1)}},
    /* 18 */ {ThemeItemKind::kColor, {Col(57, 115, 196), Col(49, 105, 198), Col(68, 74, 160), Col(45, 48, 196), Col(94, 94, 236)}},
    /* 19 */ {ThemeItemKind::kColor, {Col(57, 115, 196), Col(198, 211, 239), Col(68, 74, 160), Col(45, 48, 196), Col(94, 94, 236)}},
    /* 20 */ {ThemeItemKind::kColor, {Col(255, 255, 255), Col(0, 0, 0), Col(255, 255, 255), Col(255, 255, 255), Col(255, 255, 255)}},
    /* 21 */ {ThemeItemKind::kColor, {Col(0, 0, 0), Col(255, 255, 255), Col(255, 255, 255), Col(255, 255, 255), Col(231, 231, 231)}},
    /* 22 */ {ThemeItemKind::kColor, {Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0)}},
    /* 23 */ {ThemeItemKind::kColor, {Col(0, 0, 0), Col(214, 211, 206), Col(214, 211, 206), Col(214, 211, 206), Col(214, 211, 206)}},
    /* 24 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_PROGRESSBAR"), Bmp("WINXP_PROGRESSBAR"), Bmp("DEEPBLUE_PROGRESSBAR"),
               Bmp("PROTEIN_PROGRESSBAR"), Bmp("BLUEGLASS_PROGRESSBAR")}},
    /* 25 */ {ThemeItemKind::kColor, {Col(127, 127, 127), Col(104, 104, 104), Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0)}},
    /* 26 */ {ThemeItemKind::kColor, {Col(231, 231, 231), Col(239, 235, 222), Col(232, 232, 232), Col(251, 251, 251), Col(231, 231, 231)}},
    /* 27 */ {ThemeItemKind::kColor, {Col(0, 0, 0), Col(2, 70, 207), Col(0, 0, 0), Col(0, 0, 0), Col(0, 0, 0)}},
    /* 28 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TRACKBAR_BAR"), Bmp("WINXP_TRACKBAR_BAR"), Bmp("DEEPBLUE_TRACKBAR_BAR"),
               Bmp("PROTEIN_TRACKBAR_BAR"), Bmp("BLUEGLASS_TRACKBAR_BAR")}},
    /* 29 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TRACKBAR_SLIDER"), Bmp("WINXP_TRACKBAR_SLIDER"), Bmp("DEEPBLUE_TRACKBAR_SLIDER"),
               Bmp("PROTEIN_TRACKBAR_SLIDER"), Bmp("BLUEGLASS_TRACKBAR_SLIDER")}},
    /* 30 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TRACKBAR_SLIDER_V"), Bmp("WINXP_TRACKBAR_SLIDER_V"), Bmp("DEEPBLUE_TRACKBAR_SLIDER_V"),
               Bmp("PROTEIN_TRACKBAR_SLIDER_V"), Bmp("BLUEGLASS_TRACKBAR_SLIDER_V")}},
    /* 31 */ {ThemeItemKind::kColor, {Col(201, 201, 201), Col(249, 249, 249), Col(245, 245, 245), Col(245, 245, 245), Col(244, 244, 244)}},
    /* 32 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_SCROLLBAR_BUTTON"), Bmp("WINXP_SCROLLBAR_BUTTON"), Bmp("DEEPBLUE_SCROLLBAR_BUTTON"),
               Bmp("PROTEIN_SCROLLBAR_BUTTON"), Bmp("BLUEGLASS_SCROLLBAR_BUTTON")}},
    /* 33 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_SCROLLBAR_TRACK"), Bmp("WINXP_SCROLLBAR_TRACK"), Bmp("DEEPBLUE_SCROLLBAR_TRACK"),
               Bmp("PROTEIN_SCROLLBAR_TRACK"), Bmp("BLUEGLASS_SCROLLBAR_TRACK")}},
    /* 34 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_CHECKLIST"), Bmp("WINXP_CHECKLIST"), Bmp("DEEPBLUE_CHECKLIST"),
               Bmp("PROTEIN_CHECKLIST"), Bmp("BLUEGLASS_CHECKLIST")}},
    /* 35 */ {ThemeItemKind::kColor, {Col(71, 71, 71), Col(49, 105, 198), Col(71, 71, 71), Col(71, 71, 71), Col(71, 71, 71)}},
    /* 36 */ {ThemeItemKind::kColor, {Col(239, 239, 239), Col(198, 211, 239), Col(239, 239, 239), Col(239, 239, 239), Col(239, 239, 239)}},
    /* 37 */ {ThemeItemKind::kColor, {Col(216, 216, 216), Col(147, 172, 225), Col(216, 216, 216), Col(216, 216, 216), Col(216, 216, 216)}},
    /* 38 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_SCROLLBUTTON"), Bmp("WINXP_SCROLLBUTTON"), Bmp("MORE_SCROLLBUTTON"),
               Bmp("MORE_SCROLLBUTTON"), Bmp("MORE_SCROLLBUTTON")}},
    /* 39 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TAB"), Bmp("WINXP_TAB"), Bmp("DEEPBLUE_TAB"),
               Bmp("PROTEIN_TAB"), Bmp("BLUEGLASS_TAB")}},
    /* 40 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_TAB_LINE"), Bmp("WINXP_TAB_LINE"), Bmp("DEEPBLUE_TAB_LINE"),
               Bmp("PROTEIN_TAB_LINE"), Bmp("BLUEGLASS_TAB_LINE")}},
    /* 41 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_SIDECHENNEL_HANDLE"), Bmp("WINXP_SIDECHENNEL_HANDLE"), Bmp("DEEPBLUE_SIDECHENNEL_HANDLE"),
               Bmp("PROTEIN_SIDECHENNEL_HANDLE"), Bmp("BLUEGLASS_SIDECHENNEL_HANDLE")}},
    /* 42 */ {ThemeItemKind::kBitmap,
              {Bmp("MACOS_SIDECHENNEL_BAR"), Bmp("WINXP_SIDECHENNEL_BAR"), Bmp("DEEPBLUE_SIDECHENNEL_BAR"),
               Bmp("PROTEIN_SIDECHENNEL_BAR"), Bmp("BLUEGLASS_SIDECHENNEL_BAR")}},
    /* 43 */ {ThemeItemKind::kBitmap, {Bmp(""), Bmp(""), Bmp(""), Bmp(""), Bmp("")}},
    /* 44 */ {ThemeItemKind::kColor, {Col(0, 0, 0), Col(255, 255, 255), Col(255, 255, 255), Col(255, 255, 255), Col(255, 255, 255)}},
    /* 45 */ {ThemeItemKind::kBitmap, {Bmp(""), Bmp(""), Bmp(""), Bmp(""), Bmp("")}},
    /* 46 */ {ThemeItemKind::kBitmap, {Bmp(""), Bmp(""), Bmp(""), Bmp(""), Bmp("")}},
    /* 47 */ {ThemeItemKind::kInteger, {Num(0), Num(0), Num(0), Num(0), Num(0)}},
    /* 48 */ {ThemeItemKind::kColor, {Col(231, 231, 231), Col(239, 235, 222), Col(232, 232, 232), Col(251, 251, 251), Col(231, 231, 231)}},
}};

constexpr std::array<std::string_view, 6> kStyleNames{"FromThemeFile", "MacOS", "WinXP", "DeepBlue", "Protein",
                                                      "BlueGlass"};

const Row* Find(TsuiUIStyle style, int item) {
    const int s = static_cast<int>(static_cast<uint8_t>(style) & 0x7F);
    if (s < 1 || s > kStyleCount || item < 1 || item > kThemeItemCount) return nullptr;
    return &kTable[static_cast<size_t>(item - 1)];
}

int Column(TsuiUIStyle style) { return (static_cast<uint8_t>(style) & 0x7F) - 1; }

}  // namespace

std::string_view UIStyleName(TsuiUIStyle style) {
    const auto s = static_cast<size_t>(style);
    return s < kStyleNames.size() ? kStyleNames[s] : std::string_view{};
}

std::optional<TsuiUIStyle> ParseUIStyle(std::string_view name) {
    for (size_t i = 0; i < kStyleNames.size(); ++i)
        if (kStyleNames[i] == name) return static_cast<TsuiUIStyle>(i);
    return std::nullopt;
}

ThemeItemValue BuiltInThemeItem(TsuiUIStyle style, int item) {
    const Row* row = Find(style, item);
    if (!row) return {};
    const Cell& cell = row->cells[static_cast<size_t>(Column(style))];
    return {row->kind, row->kind == ThemeItemKind::kBitmap ? 0 : cell.number, cell.bitmap};
}

Color BuiltInThemeColor(TsuiUIStyle style, int item) {
    const auto v = BuiltInThemeItem(style, item);
    return v.kind == ThemeItemKind::kColor ? static_cast<Color>(v.number) : 0;
}

int32_t BuiltInThemeInteger(TsuiUIStyle style, int item) {
    const auto v = BuiltInThemeItem(style, item);
    return v.kind == ThemeItemKind::kInteger ? v.number : -1;
}

bool BuiltInThemeFlag(TsuiUIStyle style, int item) {
    const auto v = BuiltInThemeItem(style, item);
    return v.kind == ThemeItemKind::kFlag && v.number != 0;
}

std::string_view BuiltInThemeBitmapName(TsuiUIStyle style, int item) {
    const auto v = BuiltInThemeItem(style, item);
    return v.kind == ThemeItemKind::kBitmap ? v.bitmap : std::string_view{};
}

std::span<const std::string_view> AllBuiltInThemeBitmapNames() {
    static const auto names = [] {
        std::array<std::string_view, kThemeItemCount * kStyleCount> all{};
        size_t n = 0;
        for (const Row& row : kTable)
            for (const Cell& cell : row.cells)
                if (!cell.bitmap.empty() && std::find(all.begin(), all.begin() + n, cell.bitmap) == all.begin() + n)
                    all[n++] = cell.bitmap;
        return std::pair{all, n};
    }();
    return {names.first.data(), names.second};
}

bool LoadBuiltInThemeBitmap(BitmapSource& source, TsuiUIStyle style, int item, Image* dest) {
    if (!dest) return false;
    const auto name = BuiltInThemeBitmapName(style, item);
    if (name.empty()) return false;
    const auto bytes = source.FindBitmap(name);
    if (!bytes) return false;
    auto image = DecodeDib(*bytes);
    if (!image) return false;
    *dest = std::move(*image);
    return true;
}

bool LoadBuiltInThemeFrame(BitmapSource& source, TsuiUIStyle style, int item, Image* dest, int index,
                           int count) {
    if (count == 0) return LoadBuiltInThemeBitmap(source, style, item, dest);
    if (!dest) return false;
    Image strip;
    if (!LoadBuiltInThemeBitmap(source, style, item, &strip)) return false;
    ExtractStripFrame(strip, dest, count, index);
    return true;
}

ThemeSource ResolveThemeSource(const TsuiFileTheme* file_theme, TsuiUIStyle style) {
    if (style != TsuiUIStyle::FromThemeFile) return {false, style};
    if (file_theme && file_theme->Ready()) return {true, style};
    return {false, kDefaultUIStyle};
}

void PropagateStyleToChildren(std::span<StyledControl* const> children, TsuiUIStyle style,
                              TsuiFileTheme* file_theme) {
    for (StyledControl* child : children) {
        if (!child) continue;
        child->SetFileTheme(file_theme);
        child->SetUIStyle(style);
    }
}

}  // namespace setup::skin
