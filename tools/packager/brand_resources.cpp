#include "tools/packager/brand_resources.h"

// Narrow literals are GBK here as everywhere in the build; messages are UTF-8.

#include <algorithm>
#include <array>
#include <set>

#include "package/packed_resource.h"
#include "tools/packager/bytes.h"
#include "tools/packager/gbk.h"
#include "tools/packager/package_builder.h"

namespace setup::packager {

namespace {

struct JpegPlace {
    const char* resource;
    int width, height;
};
constexpr JpegPlace kLogo{"JPG_LOGO", 130, 30};
constexpr JpegPlace kWelcomeLogo{"JPG_WELCOME", 180, 45};
constexpr JpegPlace kReadyPicture{"JPG_READY_SIDE", 139, 92};
constexpr JpegPlace kBanners[4] = {
    {"JPG_HEADER1", 631, 20}, {"JPG_HEADER2", 631, 20}, {"JPG_HEADER3", 631, 20}, {"JPG_HEADER4", 631, 20}};
constexpr const char* kPictureResource = "PRODUCT";
constexpr int kPictureSide = 100;
constexpr int kFinishIconSide = 64;
constexpr int kIconSides[] = {16, 32, 48};
constexpr uint16_t kChineseSimplified = 0x0804;

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

uint16_t Get16Be(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] << 8 | b[at + 1]); }
uint32_t Get32Be(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

bool StartsWith(const std::vector<uint8_t>& b, std::initializer_list<uint8_t> sig) {
    return b.size() >= sig.size() && std::equal(sig.begin(), sig.end(), b.begin());
}

constexpr std::initializer_list<uint8_t> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// What a file is, by its first bytes, for a refusal.
std::string KindOf(const std::vector<uint8_t>& b) {
    if (StartsWith(b, {0xFF, 0xD8, 0xFF})) return "a JPEG picture";
    if (StartsWith(b, kPngSignature)) return "a PNG picture";
    if (StartsWith(b, {'B', 'M'})) return "a BMP picture";
    if (StartsWith(b, {'G', 'I', 'F', '8'})) return "a GIF picture";
    if (StartsWith(b, {0, 0, 1, 0})) return "an icon file";
    return "not a picture this tool knows";
}

// UTF-8 (valid, as toml++ and GbkToUtf8 give it) to UTF-16LE code units.
std::u16string Utf16(std::string_view utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<uint8_t>(utf8[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
        for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = cp << 6 | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

// One node of a version resource: header, key, value, then its children, each on a 32-bit
// boundary; wLength counts everything but the padding after the last child.
struct VersionNode {
    std::u16string key;
    std::vector<uint8_t> value;
    uint16_t value_length = 0;  // in words for text, in bytes otherwise
    bool text = false;
    std::vector<VersionNode> children;
};

void Pad4(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutText16(std::vector<uint8_t>& out, const std::u16string& s) {
    for (char16_t c : s) Put16(out, c);
    Put16(out, 0);
}

std::vector<uint8_t> Encode(const VersionNode& n) {
    std::vector<uint8_t> out(6, 0);
    PutText16(out, n.key);
    Pad4(out);
    out.insert(out.end(), n.value.begin(), n.value.end());
    for (const VersionNode& child : n.children) {
        Pad4(out);
        const std::vector<uint8_t> bytes = Encode(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    packager::Put16(out, 0, static_cast<uint16_t>(out.size()));
    packager::Put16(out, 2, n.value_length);
    packager::Put16(out, 4, n.text ? 1 : 0);
    return out;
}

VersionNode StringValue(const char* key, const std::string& gbk) {
    VersionNode n{Utf16(key), {}, 0, true, {}};
    const std::u16string value = Utf16(GbkToUtf8(gbk));
    PutText16(n.value, value);
    n.value_length = static_cast<uint16_t>(value.size() + 1);
    return n;
}

// Up to four numbers from the version text: the digits runs from its first digit on, split
// at dots ("V29.5" gives 29, 5).
std::array<uint16_t, 4> VersionNumbers(const std::string& text) {
    std::array<uint16_t, 4> parts{};
    size_t i = text.find_first_of("0123456789");
    for (size_t k = 0; k < 4 && i < text.size(); ++k) {
        uint32_t v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') v = std::min<uint32_t>(v * 10 + (text[i++] - '0'), 65535);
        parts[k] = static_cast<uint16_t>(v);
        if (i + 1 >= text.size() || text[i] != '.' || text[i + 1] < '0' || text[i + 1] > '9') break;
        ++i;
    }
    return parts;
}

std::vector<uint16_t> GroupIconIds(const Resource& group) {
    std::vector<uint16_t> ids;
    const std::vector<uint8_t>& d = group.data;
    if (d.size() < 6) return ids;
    const size_t count = Get16(d, 4);
    for (size_t i = 0; i < count && 6 + 14 * (i + 1) <= d.size(); ++i) ids.push_back(Get16(d, 6 + 14 * i + 12));
    return ids;
}

const Resource* Find(const std::vector<Resource>& list, uint16_t type, const ResourceId& name) {
    for (const Resource& r : list)
        if (r.type == ResourceId::Id(type) && r.name == name) return &r;
    return nullptr;
}

uint16_t LangOf(const std::vector<Resource>& list, uint16_t type, const ResourceId& name, uint16_t fallback) {
    const Resource* r = Find(list, type, name);
    return r ? r->lang : fallback;
}

void ReplaceIcons(std::vector<Resource>& list, IconReplacement&& icon) {
    uint16_t lang = 0;
    std::set<uint16_t> freed;
    for (const std::string& name : icon.groups) {
        if (const Resource* old = Find(list, kRtGroupIcon, ResourceId::Name(name))) {
            lang = old->lang;
            for (uint16_t id : GroupIconIds(*old)) freed.insert(id);
        }
        RemoveResource(list, ResourceId::Id(kRtGroupIcon), ResourceId::Name(name));
    }
    std::set<uint16_t> used, taken;
    for (const Resource& r : list)
        if (r.type == ResourceId::Id(kRtGroupIcon))
            for (uint16_t id : GroupIconIds(r)) used.insert(id);
    for (uint16_t id : freed)
        if (!used.contains(id)) RemoveResource(list, ResourceId::Id(kRtIcon), ResourceId::Id(id));
    for (const Resource& r : list)
        if (r.type == ResourceId::Id(kRtIcon) && !r.name.named) taken.insert(r.name.id);
    // The freed numbers first, in order, then numbers above every one in use.
    std::vector<uint16_t> free_ids;
    for (uint16_t id : freed)
        if (!taken.contains(id)) free_ids.push_back(id);
    uint16_t next = taken.empty() ? 1 : static_cast<uint16_t>(*taken.rbegin() + 1);
    if (!free_ids.empty()) next = std::max<uint16_t>(next, static_cast<uint16_t>(free_ids.back() + 1));

    std::vector<uint8_t> group = {0, 0, 1, 0, static_cast<uint8_t>(icon.images.size()), 0};
    for (size_t i = 0; i < icon.images.size(); ++i) {
        IconImage& image = icon.images[i];
        const uint16_t id = i < free_ids.size() ? free_ids[i] : next++;
        group.push_back(static_cast<uint8_t>(image.width & 0xFF));  // 256 is written as 0
        group.push_back(static_cast<uint8_t>(image.height & 0xFF));
        group.push_back(image.colors);
        group.push_back(0);
        Put16(group, image.planes);
        Put16(group, image.bit_count);
        const uint32_t bytes = static_cast<uint32_t>(image.data.size());
        for (int k = 0; k < 4; ++k) group.push_back(static_cast<uint8_t>(bytes >> (8 * k)));
        Put16(group, id);
        PutResource(list, Resource{ResourceId::Id(kRtIcon), ResourceId::Id(id), lang, 0, std::move(image.data)});
    }
    for (const std::string& name : icon.groups)
        PutResource(list, Resource{ResourceId::Id(kRtGroupIcon), ResourceId::Name(name), lang, 0, group});
}

}  // namespace

std::string JpegProblem(const std::vector<uint8_t>& b, int width, int height) {
    const std::string wanted = "; give a JPEG of " + Size(width, height);
    if (!StartsWith(b, {0xFF, 0xD8, 0xFF})) return KindOf(b) + ", not a JPEG" + wanted;
    for (size_t at = 2; at + 4 <= b.size();) {
        if (b[at] != 0xFF) break;
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;
        const size_t length = Get16Be(b, at + 2);
        if (length < 2 || at + 2 + length > b.size()) break;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (marker > 0xC2) return "a lossless or arithmetic-coded JPEG, which the setup cannot show" + wanted +
                                      " (baseline or progressive)";
            if (length < 8) break;
            const int h = Get16Be(b, at + 5), w = Get16Be(b, at + 7), components = b[at + 9];
            if (b[at + 4] != 8) return "a JPEG of " + std::to_string(b[at + 4]) + "-bit samples" + wanted + " (8-bit)";
            if (components != 1 && components != 3)
                return "a JPEG with " + std::to_string(components) + " colour components (CMYK?)" + wanted +
                       " in grey or colour (1 or 3 components)";
            if (w != width || h != height) return "a JPEG of " + Size(w, h) + ", not " + Size(width, height);
            return {};
        }
        at += 2 + length;
    }
    return "a damaged JPEG (no frame header)" + wanted;
}

std::string BmpProblem(const std::vector<uint8_t>& b, int width, int height, std::vector<uint8_t>* dib) {
    const std::string wanted = "; give a BMP of " + Size(width, height) + ", 24 or 32 bits, uncompressed";
    if (!StartsWith(b, {'B', 'M'})) return KindOf(b) + ", not a BMP" + wanted;
    if (b.size() < 14 + 40) return "a damaged BMP" + wanted;
    const uint32_t pixels_at = Get32(b, 10), header = Get32(b, 14);
    const int32_t w = static_cast<int32_t>(Get32(b, 18)), h = static_cast<int32_t>(Get32(b, 22));
    const uint16_t planes = Get16(b, 26), bits = Get16(b, 28);
    const uint32_t compression = Get32(b, 30);
    if (header < 40 || 14 + uint64_t{header} > b.size() || planes != 1) return "a damaged BMP" + wanted;
    if ((bits != 24 && bits != 32) || compression != 0)
        return "a BMP of " + std::to_string(bits) + " bits" + (compression != 0 ? ", compressed" : "") + wanted;
    const int rows = h < 0 ? -h : h;
    if (w != width || rows != height) return "a BMP of " + Size(w, rows) + ", not " + Size(width, height);
    const uint64_t stride = (uint64_t{static_cast<uint32_t>(w)} * bits / 8 + 3) & ~uint64_t{3};
    const uint64_t size = stride * static_cast<uint64_t>(rows);
    if (pixels_at < 14 + header || pixels_at + size > b.size()) return "a damaged BMP (its pixels run past its end)" + wanted;
    if (dib) {
        // The plain 40-byte header, whatever version the file carries, then the pixels.
        dib->assign(b.begin() + 14, b.begin() + 14 + 40);
        packager::Put32(*dib, 0, 40);
        packager::Put32(*dib, 20, static_cast<uint32_t>(size));  // biSizeImage
        dib->insert(dib->end(), b.begin() + pixels_at, b.begin() + static_cast<std::ptrdiff_t>(pixels_at + size));
    }
    return {};
}

std::string IcoProblem(const std::vector<uint8_t>& b, std::vector<IconImage>* images) {
    if (!StartsWith(b, {0, 0, 1, 0})) return KindOf(b) + ", not an icon (.ico) file";
    if (b.size() < 6) return "a damaged icon file";
    const size_t count = Get16(b, 4);
    if (count == 0 || 6 + 16 * count > b.size()) return "a damaged icon file (its directory runs past its end)";
    for (size_t i = 0; i < count; ++i) {
        const size_t e = 6 + 16 * i;
        const std::string which = "image " + std::to_string(i + 1) + " of the icon file";
        IconImage image;
        image.width = b[e] ? b[e] : 256;
        image.height = b[e + 1] ? b[e + 1] : 256;
        image.colors = b[e + 2];
        image.planes = Get16(b, e + 4);
        image.bit_count = Get16(b, e + 6);
        const uint64_t size = Get32(b, e + 8), at = Get32(b, e + 12);
        if (size < 24 || at + size > b.size()) return which + " runs past the file's end";
        image.data.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + size));
        int w = 0, h = 0;
        if (StartsWith(image.data, kPngSignature)) {
            w = static_cast<int>(Get32Be(image.data, 16));
            h = static_cast<int>(Get32Be(image.data, 20));
            image.planes = 1;
            if (image.bit_count == 0) image.bit_count = 32;
        } else {
            if (image.data.size() < 40 || Get32(image.data, 0) != 40) return which + " is neither PNG nor BMP data";
            w = static_cast<int>(Get32(image.data, 4));
            h = static_cast<int>(Get32(image.data, 8)) / 2;  // the colour and the mask rows
            const uint16_t bits = Get16(image.data, 14);
            if (Get16(image.data, 12) != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
                return which + " is a damaged bitmap";
            image.planes = 1;
            image.bit_count = bits;
        }
        if (w != image.width || h != image.height)
            return which + " is " + Size(w, h) + " but its directory entry says " + Size(image.width, image.height);
        if (images) images->push_back(std::move(image));
    }
    return {};
}

std::vector<uint8_t> VersionResource(const SetupConfig& c) {
    const std::array<uint16_t, 4> v = VersionNumbers(c.Version());
    std::vector<uint8_t> fixed(52, 0);
    packager::Put32(fixed, 0, 0xFEEF04BD);                         // signature
    packager::Put32(fixed, 4, 0x00010000);                         // structure version
    packager::Put32(fixed, 8, uint32_t{v[0]} << 16 | v[1]);        // file version
    packager::Put32(fixed, 12, uint32_t{v[2]} << 16 | v[3]);
    packager::Put32(fixed, 16, uint32_t{v[0]} << 16 | v[1]);       // product version
    packager::Put32(fixed, 20, uint32_t{v[2]} << 16 | v[3]);
    packager::Put32(fixed, 24, 0x3F);                              // flags mask
    packager::Put32(fixed, 32, 0x00040004);                        // VOS_NT_WINDOWS32
    packager::Put32(fixed, 36, 1);                                 // VFT_APP

    VersionNode table{u"080404b0", {}, 0, true, {}};
    table.children = {
        StringValue("CompanyName", c.Company()),
        StringValue("FileDescription", c.ProductName() + " 安装程序"),
        StringValue("FileVersion", c.Version()),
        StringValue("InternalName", "setup"),
        StringValue("LegalCopyright", c.Text(TextField::RightsNotice)),
        StringValue("OriginalFilename", "setup.exe"),
        StringValue("ProductName", c.ProductName()),
        StringValue("ProductVersion", c.Version()),
    };
    VersionNode strings{u"StringFileInfo", {}, 0, true, {std::move(table)}};
    VersionNode translation{u"Translation", {0x04, 0x08, 0xB0, 0x04}, 4, false, {}};
    VersionNode vars{u"VarFileInfo", {}, 0, true, {std::move(translation)}};
    VersionNode root{u"VS_VERSION_INFO", std::move(fixed), 52, false, {}};
    root.children.push_back(std::move(strings));
    root.children.push_back(std::move(vars));
    return Encode(root);
}

namespace {

std::string BrandWhere(const Manifest& m, const std::string& key) {
    const auto line = m.brand.lines.find(key);
    return m.Where(line == m.brand.lines.end() ? m.brand.line : line->second) + ": brand." + key;
}

}  // namespace

Brand ManifestBrandTexts(const Manifest& m) {
    const ManifestBrand& mb = m.brand;
    const auto where = [&](const std::string& key) { return BrandWhere(m, key); };
    Brand b;
    for (const auto& [key, utf8] : mb.texts) {
        std::string gbk = Utf8ToGbk(utf8, where(key));
        if (key == "name") b.name = std::move(gbk);
        else if (key == "box_title") b.box_title = std::move(gbk);
        else if (key == "site") b.site = std::move(gbk);
        else b.licence_url = std::move(gbk);
    }
    if (mb.end_programs) {
        b.end_programs.clear();
        for (const std::string& name : *mb.end_programs) b.end_programs.push_back(Utf8ToGbk(name, where("end_programs")));
    }
    if (const std::string problem = BrandProblem(b); !problem.empty()) {
        const size_t colon = problem.find(':');
        throw PackError(where(problem.substr(0, colon)) + GbkToUtf8(problem.substr(colon)));
    }
    return b;
}

BrandPackage MakeBrandPackage(const Manifest& m, const SetupConfig& config) {
    const ManifestBrand& mb = m.brand;
    const auto where = [&](const std::string& key) { return BrandWhere(m, key); };
    BrandPackage out;
    out.brand = ManifestBrandTexts(m);
    out.setupbrand = EncodeBrand(out.brand);
    out.version = VersionResource(config);

    const auto read = [&](const std::string& key, const std::filesystem::path& path) {
        return ReadWholeFile(path, where(key));
    };
    const auto jpeg = [&](const std::string& key, const std::filesystem::path& path, const JpegPlace& place) {
        std::vector<uint8_t> bytes = read(key, path);
        if (const std::string problem = JpegProblem(bytes, place.width, place.height); !problem.empty())
            throw PackError(where(key) + ": \"" + path.string() + "\" is " + problem);
        out.pictures.push_back(
            Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(place.resource), 0, 0, std::move(bytes)});
    };
    const auto picture = [&](const char* key) -> const std::filesystem::path* {
        const auto it = mb.pictures.find(key);
        return it == mb.pictures.end() ? nullptr : &it->second;
    };
    if (const auto* p = picture("logo")) jpeg("logo", *p, kLogo);
    if (const auto* p = picture("welcome_logo")) jpeg("welcome_logo", *p, kWelcomeLogo);
    if (const auto* p = picture("ready_picture")) jpeg("ready_picture", *p, kReadyPicture);
    for (size_t i = 0; i < mb.banners.size(); ++i) jpeg("banners", mb.banners[i], kBanners[i]);
    if (const auto* p = picture("picture")) {
        std::vector<uint8_t> dib;
        if (const std::string problem = BmpProblem(read("picture", *p), kPictureSide, kPictureSide, &dib); !problem.empty())
            throw PackError(where("picture") + ": \"" + p->string() + "\" is " + problem);
        out.pictures.push_back(Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(kPictureResource), 0, 0, Pack(dib, 9)});
    }
    const auto icon = [&](const char* key, std::vector<int> sides, std::vector<std::string> groups) {
        const auto* p = picture(key);
        if (!p) return;
        std::vector<IconImage> images;
        if (const std::string problem = IcoProblem(read(key, *p), &images); !problem.empty())
            throw PackError(where(key) + ": \"" + p->string() + "\" is " + problem);
        for (const IconImage& image : images)
            if (image.width != image.height || image.width > 256)
                throw PackError(where(key) + ": \"" + p->string() + "\" has an image of " + Size(image.width, image.height) +
                                "; icon images are square, at most 256 x 256");
        for (int side : sides)
            if (std::none_of(images.begin(), images.end(), [&](const IconImage& i) { return i.width == side; }))
                throw PackError(where(key) + ": \"" + p->string() + "\" has no " + Size(side, side) + " image");
        out.icons.push_back(IconReplacement{std::move(groups), std::move(images)});
    };
    icon("finish_icon", {kFinishIconSide}, {"FINISH"});
    icon("icon", {std::begin(kIconSides), std::end(kIconSides)}, {"APPICON", "MAINICON"});
    return out;
}

void PutBrandResources(std::vector<Resource>& list, BrandPackage&& brand) {
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(kBrandResource), 0, 0,
                               std::move(brand.setupbrand)});
    const ResourceId version_name = ResourceId::Id(1);
    const uint16_t version_lang = LangOf(list, kRtVersion, version_name, kChineseSimplified);
    PutResource(list, Resource{ResourceId::Id(kRtVersion), version_name, version_lang, 0, std::move(brand.version)});
    for (Resource& picture : brand.pictures) {
        // In the language the stub's own picture has, so nothing else changes.
        picture.lang = LangOf(list, kRtRcdata, picture.name, 0);
        PutResource(list, std::move(picture));
    }
    for (IconReplacement& icon : brand.icons) ReplaceIcons(list, std::move(icon));
}

}  // namespace setup::packager
