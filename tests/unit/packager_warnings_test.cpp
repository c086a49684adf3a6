// Warnings of `pack-setup build`: packages that build but would install or show badly. The
// example product gets none; each condition is named once; the text fit estimate holds at
// its boundaries.
#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/packager_test_support.h"
#include "tools/packager/build_checks.h"
#include "tools/packager/package_builder.h"

namespace setup::packager {
namespace {

// The example manifest with stand-in programs; narrow literals in this file are GBK.
class ExampleWarnings : public ::testing::Test {
protected:
    void SetUp() override {
        build_.Write("ZENTA-KOV.exe", testing::RandomBytes(100, 1));
        build_.Write("Uninstall.exe", testing::RandomBytes(100, 2));
        manifest_ = ReadManifest(std::string(ZS_SOURCE_DIR) + "/examples/zenta-kov/manifest.toml",
                                 {{"BUILD", build_.path().string()}});
    }
    std::vector<std::string> Warnings(const std::function<void(SetupConfig&)>& change = {}) {
        Package p = MakePackage(manifest_, 1);
        if (change) change(p.config);
        return PackageWarnings(manifest_, p.config);
    }
    static std::string Joined(const std::vector<std::string>& w) {
        std::string s;
        for (const auto& line : w) s += line + "\n";
        return s;
    }

    testing::TempDir build_;
    Manifest manifest_;
};

TEST_F(ExampleWarnings, TheExampleGetsNone) { EXPECT_EQ(Joined(Warnings()), ""); }

TEST_F(ExampleWarnings, EachConditionIsNamed) {
    const auto rename_uninstaller = [](const char* name) {
        return [name](SetupConfig& c) {
            FileRow row = c.File(3);
            row.name = name;
            ASSERT_TRUE(c.SetFile(3, row));
        };
    };
    const auto name = [](int ascii) {
        return [ascii](SetupConfig& c) { ASSERT_TRUE(c.SetText(TextField::ProductName, std::string(ascii, 'N'))); };
    };
    struct Case {
        const char* what;
        std::function<void(SetupConfig&)> change;
        std::vector<std::string> expected;  // a part of each warning, in order
    };
    const std::vector<Case> cases = {
        {"no uninstaller", rename_uninstaller("\\Uninst.exe"), {"no [[file]] is stored as '\\Uninstall.exe'"}},
        {"uninstaller in another case", rename_uninstaller("\\UNINSTALL.EXE"), {}},
        {"uninstaller in a subfolder", rename_uninstaller("\\bin\\Uninstall.exe"), {"'\\Uninstall.exe'"}},
        {"no files", [](SetupConfig& c) { c.SetCounts(0, 0, 0); }, {"no [[file]] rows", "'\\Uninstall.exe'"}},
        // The heading has 144 px of its own at 16 px: ten ASCII characters fit its 226, eleven do not.
        {"name at the heading's edge", name(10), {}},
        {"name past the heading's edge", name(11), {"manifest.toml:19: product.product_name"}},
        // The check box caption has 35 px of its own at 14 px: 27 characters fill its 224 exactly.
        {"name filling the check box", name(27), {"heading", "sentence"}},
        {"name past the check box", name(28), {"heading", "sentence", "start check box"}},
        // 6 px a character at 12 px: seven fit the version's 46 px, eight run into the date.
        {"version at its edge", [](SetupConfig& c) { c.SetText(TextField::Version, "V1.2.34"); }, {}},
        {"version past its edge", [](SetupConfig& c) { c.SetText(TextField::Version, "V1.2.345"); },
         {"product.version: \"V1.2.345\" is about 48 px wide in the bottom panel's version, which has room for 46"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const std::vector<std::string> warnings = Warnings(k.change);
        ASSERT_EQ(warnings.size(), k.expected.size()) << Joined(warnings);
        for (size_t i = 0; i < warnings.size(); ++i)
            EXPECT_NE(warnings[i].find(k.expected[i]), std::string::npos) << warnings[i];
    }
}

TEST(TextFit, EstimateCountsWideCharactersAsOneEmAndOthersAsHalf) {
    EXPECT_EQ(EstimatedTextWidth("", 12), 0);
    EXPECT_EQ(EstimatedTextWidth("a", 12), 6);
    EXPECT_EQ(EstimatedTextWidth("a", 13), 7);  // rounded up
    EXPECT_EQ(EstimatedTextWidth("青", 12), 12);
    EXPECT_EQ(EstimatedTextWidth("a青b", 14), 28);
    EXPECT_EQ(EstimatedTextWidth("\xC7", 12), 6);  // a lead byte without its pair
}

}  // namespace
}  // namespace setup::packager
