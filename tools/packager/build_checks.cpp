#include "tools/packager/build_checks.h"

// Narrow literals are GBK here as everywhere in the build; messages are UTF-8, so Chinese
// text goes through GbkToUtf8.

#include <sys/stat.h>

#include "base/text.h"
#include "tools/packager/bytes.h"
#include "tools/packager/gbk.h"
#include "wizard/captions.h"

namespace setup::packager {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec_a, ec_b;
    if (fs::weakly_canonical(fs::absolute(a), ec_a) == fs::weakly_canonical(fs::absolute(b), ec_b) && !ec_a && !ec_b)
        return true;
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// One label of the wizard whose text comes from the record, with the room it has there. The
// figures come from wizard/main_form_layout_win.cpp.
struct LabelRoom {
    const char* label;
    TextField field;  // the manifest text that feeds it
    int font_px;
    int room_px;
    std::string (*caption)(const SetupConfig&);
};

const LabelRoom kLabelRooms[] = {
    // Wraps at its 226 px width; a second line would run into the sentence below it.
    {"the welcome page's heading", TextField::ProductName, 16, 226, WelcomeHeading},
    // Grows to the right from x 208 on a page 632 px wide.
    {"the welcome page's sentence", TextField::ProductName, 14, 632 - 208, WelcomeIntro},
    // The date label starts 46 px to its right.
    {"the bottom panel's version", TextField::Version, 12, 60 - 14, [](const SetupConfig& c) { return c.Version(); }},
    // Grows to the right up to the Back button.
    {"the bottom panel's date", TextField::ReleaseDate, 12, 336 - 60, ReleaseDateDisplay},
    // The check box is 241 px wide; its box and the gap take about 17.
    {"the finished page's start check box", TextField::ProductName, 14, 241 - 17, StartProgramCaption},
};

const char* KeyOf(TextField field) {
    for (const ManifestText& t : kManifestTexts)
        if (t.field == field) return t.key;
    return "?";
}

bool IsUninstaller(const std::string& gbk) {
    static constexpr std::string_view kName = "\\uninstall.exe";
    if (gbk.size() != kName.size()) return false;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const char c = gbk[i] >= 'A' && gbk[i] <= 'Z' ? static_cast<char>(gbk[i] - 'A' + 'a') : gbk[i];
        if (c != kName[i]) return false;
    }
    return true;
}

}  // namespace

void RefuseOutputOverInput(const Manifest& m, const fs::path& stub, const fs::path& output) {
    std::vector<std::pair<fs::path, std::string>> inputs = {
        {m.path, "the manifest"}, {stub, "the stub"}, {m.licence, "the licence"}};
    for (size_t i = 0; i < m.files.size(); ++i)
        inputs.push_back({m.files[i].source, "the source of [[file]] " + std::to_string(i) + " (" + m.files[i].name + ")"});
    for (const auto& [key, path] : m.brand.pictures) inputs.push_back({path, "brand." + key});
    for (const fs::path& banner : m.brand.banners) inputs.push_back({banner, "one of brand.banners"});
    for (const auto& [input, what] : inputs)
        if (SameFile(output, input))
            throw PackError("-o " + Quoted(output.string()) + " is " + what + " " + Quoted(input.string()) +
                            ": the build would overwrite its own input; choose another output");
}

std::vector<std::string> MissingStubResources(const std::vector<Resource>& resources) {
    // The wizard loads these by name from its own image (resources/wizard.rc); an ordinary
    // program has none of them, and a setup without them shows an empty window.
    struct Wanted {
        uint16_t type;
        const char* name;
    };
    static constexpr Wanted kWanted[] = {
        {14, "MAINICON"}, {14, "FINISH"}, {kRtRcdata, "PRODUCT"}, {kRtRcdata, "JPG_WELCOME"}, {kRtRcdata, "JPG_LOGO"}, {2, "BROWSE"}};
    std::vector<std::string> missing;
    for (const Wanted& w : kWanted) {
        const ResourceId type = ResourceId::Id(w.type), name = ResourceId::Name(w.name);
        bool found = false;
        for (const Resource& r : resources) found = found || (r.type == type && r.name == name);
        if (!found) missing.push_back(w.name);
    }
    return missing;
}

// An estimate, not a measurement: the wizard draws in Microsoft YaHei (or whatever Windows
// substitutes), whose Latin letters vary in width. A GBK double-byte character counts one
// full em (the font's pixel size), any other character about half of one.
int EstimatedTextWidth(std::string_view gbk, int font_px) {
    int halves = 0;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const bool wide = IsGbkLeadByte(static_cast<uint8_t>(gbk[i])) && i + 1 < gbk.size();
        halves += wide ? 2 : 1;
        i += wide ? 1 : 0;
    }
    return (halves * font_px + 1) / 2;
}

std::vector<std::string> PackageWarnings(const Manifest& m, const SetupConfig& c) {
    std::vector<std::string> warnings;
    if (c.FileCount() == 0) warnings.push_back(m.Where(0) + ": no [[file]] rows: the setup would install nothing");
    bool uninstaller = false;
    for (int i = 0; i < c.FileCount(); ++i) uninstaller = uninstaller || IsUninstaller(c.File(i).name);
    if (!uninstaller)
        warnings.push_back(m.Where(0) + ": no [[file]] is stored as '\\Uninstall.exe': the uninstall entry and the "
                           "start-menu shortcut " + Quoted(GbkToUtf8(std::string("卸载") + c.ProductName())) +
                           " point at it");
    for (const LabelRoom& l : kLabelRooms) {
        const std::string caption = l.caption(c);
        const int width = EstimatedTextWidth(caption, l.font_px);
        if (width <= l.room_px) continue;
        const auto line = m.text_lines.find(l.field);
        warnings.push_back(m.Where(line == m.text_lines.end() ? 0 : line->second) + ": product." + KeyOf(l.field) +
                           ": " + Quoted(GbkToUtf8(caption)) + " is about " + std::to_string(width) + " px wide in " +
                           l.label + ", which has room for " + std::to_string(l.room_px) + " px (" +
                           std::to_string(l.font_px) + " px font); it will be cut or overlap");
    }
    return warnings;
}

}  // namespace setup::packager
