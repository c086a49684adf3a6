// The wizard under a vendor's brand: its word in the texts that name the brand, its title on
// every message box, its site behind the links, its programs ended; a damaged brand resource
// is a damaged package.
#include <gtest/gtest.h>

#include "package/brand.h"
#include "tests/support/vendor_brand.h"
#include "tests/unit/wizard_fakes.h"
#include "wizard/texts.h"

namespace setup::testing {
namespace {

TEST(WizardBrand, TheVendorsBrandIsShownAndItsProgramsEnded) {
    WizardRig r({}, true, WizardRig::Engine::Real);
    r.m.resources.items[kBrandResource] = EncodeBrand(VendorBrand());
    r.m.reg.SetDword(RegRoot::LocalMachine, "\\Software\\ZENTA\\ZENTA-KOV", "Setup", 1);
    r.m.shell.processes = {{7, "AcmeSync.exe"}, {8, "ZENTA-X.exe"}, {9, "AcmeHelper.exe"}, {10, "acmesync.exe"}};
    r.Start();
    ASSERT_FALSE(r.wizard->Terminated());
    ASSERT_EQ(r.m.dialogs.boxes.size(), 1u);
    EXPECT_EQ(r.m.dialogs.boxes[0].title, "AcmeNotes");
    EXPECT_EQ(r.m.dialogs.boxes[0].text, "   极光提示：极光软件已经安装,覆盖原来以前的吗？        ");
    EXPECT_EQ(r.ctl(Ctl::Label8).caption, "极光安装程序");
    EXPECT_EQ(r.ctl(Ctl::Label4).caption, "安装成功! 感谢您使用极光！");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).url, "https://notes.acme.example/license.html");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabelG).url, "https://notes.acme.example/");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabelG).hint, "极光官方网站");

    r.Next();
    EXPECT_EQ(r.m.shell.terminated, (std::vector<uint32_t>{7, 9}));  // exact names, in the brand's order
    r.WalkTo(kPageFolder);
    r.SetFolderText("");
    r.Next();  // an empty folder: a notice under the brand's title
    ASSERT_EQ(r.m.dialogs.boxes.size(), 2u);
    EXPECT_EQ(r.m.dialogs.boxes[1].title, "AcmeNotes");
}

TEST(WizardBrand, WithoutABrandTheExamplesIsShown) {
    WizardRig r({}, true, WizardRig::Engine::Real);
    r.m.shell.processes = {{7, "AcmeSync.exe"}, {8, "ZENTA-X.exe"}, {9, "KOV-H-Up.exe"}};
    r.Start();
    EXPECT_EQ(r.ctl(Ctl::Label8).caption, "青岚护卫安装程序");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabel1).url, "https://www.zenta.example/license.html");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabelG).url, "https://www.zenta.example/");
    EXPECT_EQ(r.ctl(Ctl::suiURLLabelG).hint, "青岚护卫官方网站");
    r.Next();
    EXPECT_EQ(r.m.shell.terminated, (std::vector<uint32_t>{8, 9}));
}

TEST(WizardBrand, ADamagedBrandIsADamagedPackage) {
    WizardRig r;
    std::vector<uint8_t> bytes = EncodeBrand(VendorBrand());
    bytes.pop_back();
    r.m.resources.items[kBrandResource] = bytes;
    r.Start();
    EXPECT_TRUE(r.wizard->Terminated());
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    EXPECT_NE(r.m.dialogs.errors[0].find(std::string(texts::kDamagedPackage) + kBrandResource), std::string::npos);
    EXPECT_TRUE(r.m.dialogs.boxes.empty());
}

}  // namespace
}  // namespace setup::testing
