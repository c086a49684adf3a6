// The brand resource: the built-in brand leaves every text as it is, a vendor's brand names
// itself where the texts name the brand, and the resource decodes only when it is whole.
#include <gtest/gtest.h>

#include "package/brand.h"
#include "tests/support/fake_platform.h"
#include "tests/support/vendor_brand.h"
#include "wizard/texts.h"

namespace setup {
namespace {

// The vendor's brand with a licence address and a program named in its own word.
Brand Vendor() {
    Brand b = testing::VendorBrand();
    b.licence_url = "https://notes.acme.example/eula.html";
    b.end_programs.push_back("极光.exe");
    return b;
}

TEST(Brand, TheBuiltInBrandIsTheExamplesAndChangesNoText) {
    const Brand b;
    EXPECT_EQ(b.name, "青岚护卫");
    EXPECT_EQ(b.box_title, " ZENTA");
    EXPECT_EQ(LicenceAddress(b), "https://www.zenta.example/license.html");
    EXPECT_EQ(b.end_programs, (std::vector<std::string>{"ZENTA-X.exe", "KOV-H-Up.exe"}));
    for (const char* text : {texts::kOverwriteQuestion, texts::kByteSumQuestion, texts::kHeading0, texts::kSuccess,
                             texts::kSiteTooltip, texts::kQuitQuestion})
        EXPECT_EQ(BrandText(b, text), text);

    testing::FakeMachine m;  // no SETUPBRAND: the built-in brand
    EXPECT_EQ(LoadBrand(m.resources), Brand{});
}

TEST(Brand, AVendorsBrandReplacesOnlyTheBrandWord) {
    const Brand b = Vendor();
    EXPECT_EQ(BrandText(b, texts::kOverwriteQuestion), "   极光提示：极光软件已经安装,覆盖原来以前的吗？        ");
    EXPECT_EQ(BrandText(b, texts::kByteSumQuestion), "   极光提示：文件资源校核不完整,继续吗？      ");
    EXPECT_EQ(BrandText(b, texts::kHeading0), "极光安装程序");
    EXPECT_EQ(BrandText(b, texts::kSuccess), "安装成功! 感谢您使用极光！");
    EXPECT_EQ(BrandText(b, texts::kSiteTooltip), "极光官方网站");
    EXPECT_EQ(BrandText(b, texts::kQuitQuestion), texts::kQuitQuestion);
    // Bytes that spell the word across two characters are not the word: "\xB0青岚护卫" read
    // from its start is B0 C7, E0 E1, B0 BB, A4 CE, C0.
    const std::string shifted = std::string("\xB0") + kDefaultBrandName;
    EXPECT_EQ(BrandText(b, shifted), shifted);
    EXPECT_EQ(LicenceAddress(b), "https://notes.acme.example/eula.html");
}

TEST(Brand, TheResourceRoundTripsAndAnythingElseIsRefused) {
    for (Brand b : {Brand{}, Vendor()}) {
        EXPECT_EQ(DecodeBrand(EncodeBrand(b)), b);
        b.end_programs.clear();
        b.licence_url.clear();
        EXPECT_EQ(DecodeBrand(EncodeBrand(b)), b);
    }
    const std::vector<uint8_t> good = EncodeBrand(Vendor());
    testing::FakeMachine m;
    m.resources.items[kBrandResource] = good;
    EXPECT_EQ(LoadBrand(m.resources), Vendor());

    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeBrand(std::span(good).first(n))) << "cut to " << n << " bytes";
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(DecodeBrand(longer));
    const auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    EXPECT_FALSE(DecodeBrand(changed(4, 2))) << "another format version";
    EXPECT_FALSE(DecodeBrand(changed(6, 2))) << "name's tag twice over";
    EXPECT_FALSE(DecodeBrand(changed(6, 9))) << "an unknown tag";

    const auto unfit = [](auto change) {
        Brand b = Vendor();
        change(b);
        EXPECT_NE(BrandProblem(b), "");
        return DecodeBrand(EncodeBrand(b));
    };
    EXPECT_FALSE(unfit([](Brand& b) { b.name.clear(); }));
    EXPECT_FALSE(unfit([](Brand& b) { b.box_title = "a\r\nb"; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.site = "ftp://acme.example/"; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.site = "https://acme.example"; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.licence_url = "eula.html"; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.end_programs = {"..\\evil.exe"}; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.end_programs = {"a.exe", ""}; }));
    EXPECT_FALSE(unfit([](Brand& b) { b.name = std::string(65, 'n'); }));
    EXPECT_FALSE(unfit([](Brand& b) { b.name = "\xC7"; }));  // half a character
    m.resources.items[kBrandResource] = changed(4, 2);
    EXPECT_FALSE(LoadBrand(m.resources));
}

}  // namespace
}  // namespace setup
