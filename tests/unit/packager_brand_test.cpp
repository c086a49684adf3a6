// A manifest's [brand]: the brand resource, the version resource and the pictures and icons
// that replace the stub's own; pictures of the wrong kind or size are refused by key.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "package/packed_resource.h"
#include "tests/unit/packager_test_support.h"
#include "tools/packager/brand_resources.h"
#include "tools/packager/bytes.h"
#include "tools/packager/inspect.h"
#include "tools/packager/package_builder.h"

namespace setup::packager {
namespace {

using testing::TempDir;
using testing::U8;

std::vector<uint8_t> Bytes(std::initializer_list<int> list) { return std::vector<uint8_t>(list.begin(), list.end()); }

// The headers a picture check reads, without any picture data worth decoding.
std::vector<uint8_t> Jpeg(int w, int h, int frame = 0xC0, int components = 3) {
    std::vector<uint8_t> b = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const std::vector<uint8_t> sof = Bytes({0xFF, frame, 0, 8 + 3 * components, 8, h >> 8, h & 0xFF, w >> 8, w & 0xFF, components});
    b.insert(b.end(), sof.begin(), sof.end());
    for (int i = 0; i < components; ++i) b.insert(b.end(), {static_cast<uint8_t>(i + 1), 0x11, 0});
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

std::vector<uint8_t> Bmp(int w, int h, int bits = 24) {
    const size_t stride = (static_cast<size_t>(w) * bits / 8 + 3) & ~size_t{3};
    std::vector<uint8_t> b(54 + stride * h, 0x5A);
    std::fill(b.begin(), b.begin() + 54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(w));
    Put32(b, 22, static_cast<uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint16_t>(bits));
    Put32(b, 34, static_cast<uint32_t>(stride * h));
    return b;
}

// PNG data of an icon image: the signature and the IHDR chunk, filled with its side.
std::vector<uint8_t> PngImage(int side) {
    std::vector<uint8_t> b = Bytes({0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
    for (int v : {side, side})
        for (int k = 3; k >= 0; --k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
    b.resize(b.size() + 5 + side, static_cast<uint8_t>(side));
    return b;
}

std::vector<uint8_t> Ico(const std::vector<int>& sides) {
    std::vector<uint8_t> b(6 + 16 * sides.size(), 0);
    b[2] = 1;
    b[4] = static_cast<uint8_t>(sides.size());
    for (size_t i = 0; i < sides.size(); ++i) {
        const std::vector<uint8_t> image = PngImage(sides[i]);
        const size_t e = 6 + 16 * i;
        b[e] = b[e + 1] = static_cast<uint8_t>(sides[i] & 0xFF);
        Put16(b, e + 4, 1);
        Put16(b, e + 6, 32);
        Put32(b, e + 8, static_cast<uint32_t>(image.size()));
        Put32(b, e + 12, static_cast<uint32_t>(b.size()));
        b.insert(b.end(), image.begin(), image.end());
    }
    return b;
}

std::vector<uint8_t> Group(std::initializer_list<uint16_t> ids) {
    std::vector<uint8_t> b(6 + 14 * ids.size(), 0);
    b[2] = 1;
    b[4] = static_cast<uint8_t>(ids.size());
    size_t e = 6;
    for (uint16_t id : ids) {
        Put16(b, e + 12, id);
        e += 14;
    }
    return b;
}

// A setup stub whose icons are laid out as the program's: FINISH on image 1, APPICON and
// MAINICON on images 1001 and 1002.
std::vector<testing::StubResource> StubWithIcons() {
    return {
        {2, u"BROWSE", 0, 0x0804, testing::RandomBytes(30, 3)},
        {3, u"", 1, 0x0804, testing::RandomBytes(40, 11)},
        {3, u"", 1001, 0x0804, testing::RandomBytes(40, 12)},
        {3, u"", 1002, 0x0804, testing::RandomBytes(40, 13)},
        {10, u"JPG_LOGO", 0, 0x0804, testing::RandomBytes(20, 4)},
        {10, u"JPG_WELCOME", 0, 0x0804, testing::RandomBytes(20, 5)},
        {10, u"PRODUCT", 0, 0x0804, testing::RandomBytes(20, 6)},
        {14, u"APPICON", 0, 0x0804, Group({1001, 1002})},
        {14, u"FINISH", 0, 0x0804, Group({1})},
        {14, u"MAINICON", 0, 0x0804, Group({1001, 1002})},
        {16, u"", 1, 0x0804, testing::RandomBytes(60, 14)},
    };
}

class Branding : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("a.txt", std::string("alpha"));
        dir_.Write("licence.txt", U8(u8"许可协议\n"));
        dir_.Write("stub.exe", testing::MakeStub({.resources = StubWithIcons()}));
        dir_.Write("logo.jpg", Jpeg(130, 30));
        dir_.Write("welcome.jpg", Jpeg(180, 45, 0xC2, 1));
        dir_.Write("ready.jpg", Jpeg(139, 92));
        for (int i = 1; i <= 4; ++i) dir_.Write("b" + std::to_string(i) + ".jpg", Jpeg(631, 20));
        dir_.Write("product.bmp", Bmp(100, 100));
        dir_.Write("done.ico", Ico({64}));
        dir_.Write("setup.ico", Ico({16, 32, 48}));
    }

    std::string Manifest(const std::string& brand) const {
        return "licence = \"licence.txt\"\n[product]\ncompany = \"Acme Inc.\"\nproduct_name = \"" +
               U8(u8"AcmeNotes 极光笔记") + "\"\nfolder_name = \"AcmeNotes\"\nversion = \"V2.1\"\n" +
               "rights_notice = \"(C) 2026 Acme\"\n[[file]]\nsource = \"a.txt\"\nname = '\\a.txt'\n" + brand;
    }

    static std::string FullBrand() {
        return "[brand]\nname = \"" + U8(u8"极光") + "\"\nbox_title = \"AcmeNotes\"\n"
               "site = \"https://notes.acme.example/\"\nend_programs = [\"AcmeSync.exe\"]\n"
               "logo = \"logo.jpg\"\nwelcome_logo = \"welcome.jpg\"\nready_picture = \"ready.jpg\"\n"
               "banners = [\"b1.jpg\", \"b2.jpg\", \"b3.jpg\", \"b4.jpg\"]\npicture = \"product.bmp\"\n"
               "finish_icon = \"done.ico\"\nicon = \"setup.ico\"\n";
    }

    // The output's resources; the build's message instead when it is refused.
    std::vector<Resource> Build(const std::string& brand, std::string* refusal = nullptr) {
        dir_.Write("manifest.toml", Manifest(brand));
        try {
            BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "setup.exe");
        } catch (const PackError& e) {
            if (!refusal) throw;
            *refusal = e.what();
            return {};
        }
        return ReadResources(PeImage::Parse(dir_.Read("setup.exe"), "setup.exe"));
    }

    TempDir dir_;
};

const Resource* Find(const std::vector<Resource>& list, uint16_t type, const ResourceId& name) {
    for (const Resource& r : list)
        if (r.type == ResourceId::Id(type) && r.name == name) return &r;
    return nullptr;
}

std::vector<uint16_t> GroupIds(const Resource& group) {
    std::vector<uint16_t> ids;
    for (size_t i = 0; i < group.data[4]; ++i) ids.push_back(Get16(group.data, 6 + 14 * i + 12));
    return ids;
}

bool Contains(const std::vector<uint8_t>& data, const std::u16string& text) {
    std::vector<uint8_t> wanted;
    for (char16_t c : text) wanted.insert(wanted.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    return std::search(data.begin(), data.end(), wanted.begin(), wanted.end()) != data.end();
}

TEST_F(Branding, EveryKeyGoesIntoTheStubAndNothingOfTheOldBrandStays) {
    const std::vector<Resource> list = Build(FullBrand());
    const Resource* brand = Find(list, kRtRcdata, ResourceId::Name(kBrandResource));
    ASSERT_TRUE(brand);
    Brand expected;
    expected.name = "极光";
    expected.box_title = "AcmeNotes";
    expected.site = "https://notes.acme.example/";
    expected.end_programs = {"AcmeSync.exe"};
    EXPECT_EQ(DecodeBrand(brand->data), expected);

    const Resource* version = Find(list, kRtVersion, ResourceId::Id(1));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->lang, 0x0804);
    for (const char16_t* text : {u"Acme Inc.", u"AcmeNotes 极光笔记", u"AcmeNotes 极光笔记 安装程序", u"V2.1", u"(C) 2026 Acme",
                                 u"CompanyName", u"FileDescription", u"LegalCopyright", u"ProductVersion"})
        EXPECT_TRUE(Contains(version->data, text)) << "version resource lacks a text";
    EXPECT_EQ(Get16(version->data, 0), version->data.size());
    EXPECT_EQ(Get32(version->data, 40), 0xFEEF04BDu);
    EXPECT_EQ(Get32(version->data, 48), 2u << 16 | 1);  // file version 2.1.0.0

    EXPECT_EQ(Find(list, kRtRcdata, ResourceId::Name("JPG_LOGO"))->data, dir_.Read("logo.jpg"));
    EXPECT_EQ(Find(list, kRtRcdata, ResourceId::Name("JPG_WELCOME"))->data, dir_.Read("welcome.jpg"));
    EXPECT_EQ(Find(list, kRtRcdata, ResourceId::Name("JPG_HEADER3"))->data, dir_.Read("b3.jpg"));
    EXPECT_EQ(Find(list, kRtRcdata, ResourceId::Name("JPG_READY_SIDE"))->data, dir_.Read("ready.jpg"));
    const std::vector<uint8_t> bmp = dir_.Read("product.bmp");
    EXPECT_EQ(Unpack(Find(list, kRtRcdata, ResourceId::Name("PRODUCT"))->data),
              std::vector<uint8_t>(bmp.begin() + 14, bmp.end()));

    // Each group points at its new images; no image of the stub's own icons is left.
    const Resource* finish = Find(list, kRtGroupIcon, ResourceId::Name("FINISH"));
    const Resource* main = Find(list, kRtGroupIcon, ResourceId::Name("MAINICON"));
    ASSERT_TRUE(finish && main);
    EXPECT_EQ(Find(list, kRtGroupIcon, ResourceId::Name("APPICON"))->data, main->data);
    ASSERT_EQ(GroupIds(*finish).size(), 1u);
    EXPECT_EQ(Find(list, kRtIcon, ResourceId::Id(GroupIds(*finish)[0]))->data, PngImage(64));
    const std::vector<uint16_t> ids = GroupIds(*main);
    ASSERT_EQ(ids.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Find(list, kRtIcon, ResourceId::Id(ids[i]))->data, PngImage(std::vector<int>{16, 32, 48}[i]));
    std::set<uint16_t> images;
    for (const Resource& r : list)
        if (r.type == ResourceId::Id(kRtIcon)) images.insert(r.name.id);
    EXPECT_EQ(images, (std::set<uint16_t>{ids[0], ids[1], ids[2], GroupIds(*finish)[0]}));

    // Without [brand] the stub keeps its own.
    const std::vector<Resource> plain = Build("");
    EXPECT_FALSE(Find(plain, kRtRcdata, ResourceId::Name(kBrandResource)));
    for (const testing::StubResource& s : StubWithIcons()) {
        const ResourceId name = s.name.empty() ? ResourceId::Id(s.id) : ResourceId{true, 0, s.name};
        ASSERT_TRUE(Find(plain, s.type, name));
        EXPECT_EQ(Find(plain, s.type, name)->data, s.data);
    }
}

TEST_F(Branding, PicturesOfTheWrongKindOrSizeAreRefusedByKey) {
    struct Case {
        const char* what;
        std::function<void(TempDir&)> change;
        std::string brand_line;  // replaces the key's line in the full brand, when set
        std::string message;
    };
    const std::vector<Case> cases = {
        {"PNG logo", [](TempDir& d) { d.Write("logo.jpg", PngImage(30)); }, "",
         "brand.logo: \"" },
        {"logo of another size", [](TempDir& d) { d.Write("logo.jpg", Jpeg(131, 30)); }, "",
         "is a JPEG of 131 x 30, not 130 x 30"},
        {"arithmetic-coded banner", [](TempDir& d) { d.Write("b2.jpg", Jpeg(631, 20, 0xC9)); }, "",
         "brand.banners: "},
        {"CMYK welcome logo", [](TempDir& d) { d.Write("welcome.jpg", Jpeg(180, 45, 0xC0, 4)); }, "",
         "4 colour components"},
        {"three banners", [](TempDir&) {}, "banners = [\"b1.jpg\", \"b2.jpg\", \"b3.jpg\"]", "brand.banners: 3 pictures"},
        {"8-bit picture", [](TempDir& d) { d.Write("product.bmp", Bmp(100, 100, 8)); }, "", "brand.picture: "},
        {"picture of another size", [](TempDir& d) { d.Write("product.bmp", Bmp(100, 99)); }, "",
         "a BMP of 100 x 99, not 100 x 100"},
        {"JPEG picture", [](TempDir& d) { d.Write("product.bmp", Jpeg(100, 100)); }, "", "is a JPEG picture, not a BMP"},
        {"finish icon without 64 x 64", [](TempDir& d) { d.Write("done.ico", Ico({48})); }, "",
         "brand.finish_icon: \""},
        {"icon without 48 x 48", [](TempDir& d) { d.Write("setup.ico", Ico({16, 32})); }, "", "has no 48 x 48 image"},
        {"icon that is a PNG", [](TempDir& d) { d.Write("setup.ico", PngImage(32)); }, "", "brand.icon: "},
        {"missing picture", [](TempDir& d) { std::filesystem::remove(d / "logo.jpg"); }, "", "brand.logo: cannot open"},
        {"site without its slash", [](TempDir&) {}, "site = \"https://notes.acme.example\"", "brand.site: "},
        {"end program with a folder", [](TempDir&) {}, "end_programs = ['bin\\x.exe']", "is not a plain file name"},
        {"empty name", [](TempDir&) {}, "name = \"\"", "brand.name: must not be empty"},
        {"misspelt key", [](TempDir&) {}, "logos = \"logo.jpg\"", "[brand]: unknown key \"logos\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.change(dir_);
        std::string brand = FullBrand();
        if (!c.brand_line.empty()) {
            const std::string key = c.brand_line.substr(0, c.brand_line.find(' ')) + " =";
            const size_t at = brand.find("\n" + key);
            if (at == std::string::npos) brand += c.brand_line + "\n";
            else brand.replace(at + 1, brand.find('\n', at + 1) - at - 1, c.brand_line);
        }
        std::filesystem::remove(dir_ / "setup.exe");
        std::string refusal;
        Build(brand, &refusal);
        EXPECT_NE(refusal.find(c.message), std::string::npos) << "message: " << refusal;
        EXPECT_NE(refusal.find("manifest.toml:"), std::string::npos) << "message: " << refusal;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "setup.exe"));
    }
}

// A branded package's built uninstaller carries the brand too (its box title and the
// programs it ends); the scratch copy made for it is gone after the build.
TEST_F(Branding, TheBuiltinUninstallerCarriesTheBrand) {
    dir_.Write("uninstaller.exe", testing::MakeStub({}));
    dir_.Write("manifest.toml", "uninstaller = \"builtin\"\n" + Manifest(FullBrand()));
    BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "setup.exe", 9, {}, dir_ / "uninstaller.exe");
    std::ostringstream log;
    Extract(dir_ / "setup.exe", dir_ / "out", log);
    const std::vector<Resource> list = ReadResources(PeImage::Parse(dir_.Read("out/uninstall.exe"), "uninstall.exe"));
    const Resource* brand = Find(list, kRtRcdata, ResourceId::Name(kBrandResource));
    ASSERT_TRUE(brand);
    const std::optional<Brand> decoded = DecodeBrand(brand->data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->box_title, "AcmeNotes");
    EXPECT_EQ(decoded->end_programs, std::vector<std::string>{"AcmeSync.exe"});
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        EXPECT_EQ(entry.path().filename().string().find("uninstall."), std::string::npos) << "scratch file left behind";
}

}  // namespace
}  // namespace setup::packager
