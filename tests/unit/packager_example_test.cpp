// The example product's manifest (examples/zenta-kov) packages the product as listed: its
// texts, five files in order with GBK names, four shortcuts and no registry values. The
// programs are stand-ins here; tests/e2e/package_example.sh checks the real build.
#include <gtest/gtest.h>

#include "package/payload.h"
#include "tests/unit/packager_test_support.h"
#include "tools/packager/package_builder.h"

namespace setup::packager {
namespace {

TEST(ExampleManifest, DescribesTheZentaKovPackage) {
    testing::TempDir build;
    build.Write("ZENTA-KOV.exe", testing::RandomBytes(1000, 1));
    build.Write("Uninstall.exe", testing::RandomBytes(500, 2));
    const Manifest m = ReadManifest(std::string(ZS_SOURCE_DIR) + "/examples/zenta-kov/manifest.toml",
                                    {{"BUILD", build.path().string()}});
    const Package p = MakePackage(m, 1);
    const SetupConfig& c = p.config;

    EXPECT_EQ(c.Author(), "ZENTA");
    EXPECT_EQ(c.Company(), "ZENTA");
    EXPECT_EQ(c.ProductName(), "ZENTA-KOV");
    EXPECT_EQ(c.FolderName(), "ZENTA-KOV");
    EXPECT_EQ(c.Version(), "V29.5");
    EXPECT_EQ(c.ReleaseDate(), "20240711");
    EXPECT_EQ(c.Date(), "20040201");
    EXPECT_EQ(c.Category(), "共享软件,系统工具");

    const char* names[] = {"\\ZENTA-KOV.exe", "\\license.txt", "\\readme.txt", "\\Uninstall.exe", "\\青岚护卫更新.url"};
    ASSERT_EQ(c.RawFileCount(), 5);
    uint32_t end = 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(c.File(i).name, names[i]);  // GBK bytes: this file's literals are GBK
        EXPECT_EQ(c.File(i).offset, end);
        end += c.File(i).size;
    }
    EXPECT_EQ(c.File(0).size, 1000u);
    EXPECT_EQ(c.File(3).size, 500u);
    EXPECT_EQ(p.payload_size, end);

    struct Link {
        const char* name;
        uint32_t file;
        uint8_t place;
    };
    const Link links[] = {{"ZENTA-KOV", 0, 0}, {"ZENTA-KOV", 0, 1}, {"License.txt", 1, 1}, {"Readme.txt", 2, 1}};
    ASSERT_EQ(c.ShortcutCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.Shortcut(i).link_name, links[i].name);
        EXPECT_EQ(c.Shortcut(i).file_index, links[i].file);
        EXPECT_EQ(c.Shortcut(i).place, links[i].place);
        EXPECT_EQ(c.Shortcut(i).arguments, "");
    }
    EXPECT_EQ(c.RegValueCount(), 0);
    EXPECT_FALSE(p.protocol.empty());
}

}  // namespace
}  // namespace setup::packager
