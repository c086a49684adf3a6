// Round trips of the packaging tool: a manifest and its files become a setup executable,
// which is read back through the tool's own PE reader and the package layer (the way the
// setup program reads itself) and compared field by field, file by file.
#include <gtest/gtest.h>

#include <sstream>

#include "base/error.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/payload_stream.h"
#include "tests/unit/packager_test_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/image_resources.h"
#include "tools/packager/inspect.h"
#include "tools/packager/package_builder.h"
#include "tools/packager/parallel_pack.h"

namespace setup::packager {
namespace {

using testing::TempDir;
using testing::U8;

// Narrow literals in this file are GBK (the build's execution character set): they are the
// bytes the record must hold. U8() gives the UTF-8 the manifest is written in.
const std::string kManifest = U8(u8R"(
licence = "licence.txt"

[product]
author = "ZENTA"
company = "ZENTA"
site = "http://www.zenta.example/"
rights_notice = "版权所有 (C) 2004-2024 ZENTA"
version = "V29.5"
release_date = "20240711"
product_name = "ZENTA-KOV"
folder_name = "ZENTA-KOV"
category = "共享软件,系统工具"
intro = "青岚护卫，守护你的电脑。\r\n"
date = "20040201"
reserved_date = "20240229"

[[file]]
source = "${BUILD}/main.exe"
name = '\ZENTA-KOV.exe'

[[file]]
source = "docs/说明.txt"
name = '\文档\说明.txt'
text = true

[[file]]
source = "empty.dat"
name = '\empty.dat'

[[file]]
source = "青岚护卫更新.url"
name = '\青岚护卫更新.url'

[[shortcut]]
link = "ZENTA-KOV"
file = '\zenta-kov.EXE'
place = "desktop"

[[shortcut]]
link = "说明"
file = 1
place = "group"
arguments = "/readme 1"

[[shortcut]]
link = "更新"
file = '\青岚护卫更新.url'
place = "both"

[[registry]]
root = "HKCU"
key = 'Software\ZENTA\ZENTA-KOV'
name = "Skin"
value = "蓝色"

[[registry]]
root = "HKEY_LOCAL_MACHINE"
key = 'Software\ZENTA'
name = "Count"
value = -7

[[registry]]
root = "HKLM"
key = 'Software\ZENTA'
name = ""
value = true
)");

class PackageBuild : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("manifest.toml", kManifest);
        dir_.Write("licence.txt", U8(u8"\xEF\xBB\xBF许可协议\n第一条\r\n第二条\r"));
        main_exe_ = testing::RandomBytes(300000, 42);
        dir_.Write("build/main.exe", main_exe_);
        dir_.Write(U8(u8"docs/说明.txt"), U8(u8"第一行\n第二行\n"));  // file names are UTF-8 on disk
        dir_.Write("empty.dat", std::string());
        dir_.Write(U8(u8"青岚护卫更新.url"), std::string("[InternetShortcut]\r\nURL=http://www.zenta.example/\r\n"));
        defines_ = {{"BUILD", (dir_.path() / "build").string()}};
    }

    std::vector<uint8_t> StubBytes(bool pe64) const {
        return testing::MakeStub({.pe64 = pe64, .resources = testing::SetupStubResources()});
    }

    BuildReport Build(const std::vector<uint8_t>& stub, const std::string& out) {
        dir_.Write("stub.exe", stub);
        return BuildSetup(dir_ / "manifest.toml", defines_, dir_ / "stub.exe", dir_ / out);
    }

    TempDir dir_;
    std::vector<uint8_t> main_exe_;
    Defines defines_;
};

// Reads a finished setup the way the program does: its RCDATA through the package layer.
struct ReadBack {
    explicit ReadBack(std::vector<uint8_t> exe)
        : pe(PeImage::Parse(std::move(exe), "setup.exe")), resources(ReadResources(pe)) {
        LoadRecord(resources, config);
        payload = Unpack(resources.Find("SETUPPACK"));
    }
    std::string File(int i) const {
        const FileRow f = config.File(i);
        if (uint64_t{f.offset} + f.size > payload.size()) return "<out of range>";
        return std::string(payload.begin() + f.offset, payload.begin() + f.offset + f.size);
    }
    PeImage pe;
    ImageResources resources;
    SetupConfig config;
    std::vector<uint8_t> payload;
};

void ExpectThePackage(ReadBack& r, const std::vector<uint8_t>& main_exe) {
    const SetupConfig& c = r.config;
    EXPECT_EQ(c.Author(), "ZENTA");
    EXPECT_EQ(c.Company(), "ZENTA");
    EXPECT_EQ(c.Site(), "http://www.zenta.example/");
    EXPECT_EQ(c.Text(TextField::RightsNotice), "版权所有 (C) 2004-2024 ZENTA");
    EXPECT_EQ(c.Version(), "V29.5");
    EXPECT_EQ(c.ReleaseDate(), "20240711");
    EXPECT_EQ(c.ProductName(), "ZENTA-KOV");
    EXPECT_EQ(c.FolderName(), "ZENTA-KOV");
    EXPECT_EQ(c.Category(), "共享软件,系统工具");
    EXPECT_EQ(c.Intro(), "青岚护卫，守护你的电脑。\r\n");
    EXPECT_EQ(c.Date(), "20040201");
    EXPECT_EQ(c.Text(TextField::ReservedDate), "20240229");
    EXPECT_EQ(c.Folder(), "");  // decided at install time

    ASSERT_EQ(c.RawFileCount(), 4);
    const std::vector<std::string> names = {"\\ZENTA-KOV.exe", "\\文档\\说明.txt", "\\empty.dat", "\\青岚护卫更新.url"};
    const std::vector<std::string> contents = {std::string(main_exe.begin(), main_exe.end()), "第一行\r\n第二行\r\n", "",
                                               "[InternetShortcut]\r\nURL=http://www.zenta.example/\r\n"};
    uint32_t offset = 0;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.File(i).name, names[i]);
        EXPECT_EQ(c.File(i).offset, offset) << "files lie back to back in table order";
        EXPECT_EQ(r.File(i), contents[i]);
        offset += c.File(i).size;
    }
    EXPECT_EQ(r.payload.size(), offset);
    EXPECT_EQ(c.PackSum(), ByteSum(r.payload));
    // Used file rows carry the reserved bytes 00 00 01 00; rows beyond the count are zero.
    const auto rec = c.Bytes();
    for (int i = 0; i < 256; ++i) {
        const size_t reserved = 0x52C + 140 * static_cast<size_t>(i) + 128;
        const std::vector<uint8_t> want = i < 4 ? std::vector<uint8_t>{0, 0, 1, 0} : std::vector<uint8_t>{0, 0, 0, 0};
        EXPECT_EQ(std::vector<uint8_t>(rec.begin() + reserved, rec.begin() + reserved + 4), want) << "row " << i;
    }

    ASSERT_EQ(c.ShortcutCount(), 3);
    EXPECT_EQ(c.Shortcut(0).link_name, "ZENTA-KOV");
    EXPECT_EQ(c.Shortcut(0).file_index, 0u);  // found whatever the case
    EXPECT_EQ(c.Shortcut(0).place, 0);
    EXPECT_EQ(c.Shortcut(0).arguments, "");
    EXPECT_EQ(c.Shortcut(1).link_name, "说明");
    EXPECT_EQ(c.Shortcut(1).file_index, 1u);
    EXPECT_EQ(c.Shortcut(1).place, 1);
    EXPECT_EQ(c.Shortcut(1).arguments, "/readme 1");
    EXPECT_EQ(c.Shortcut(2).link_name, "更新");
    EXPECT_EQ(c.Shortcut(2).file_index, 3u);
    EXPECT_EQ(c.Shortcut(2).place, 2);

    ASSERT_EQ(c.RegValueCount(), 3);
    const RegValueRow skin = c.RegValue(0), count = c.RegValue(1), flag = c.RegValue(2);
    EXPECT_EQ(skin.root, 1);
    EXPECT_EQ(skin.key_path, "Software\\ZENTA\\ZENTA-KOV");
    EXPECT_EQ(skin.value_name, "Skin");
    EXPECT_EQ(skin.kind, 1);
    EXPECT_EQ(skin.string_value, "蓝色");
    EXPECT_EQ(count.root, 0);
    EXPECT_EQ(count.kind, 2);
    EXPECT_EQ(count.int_value, -7);
    EXPECT_EQ(flag.kind, 0);
    EXPECT_EQ(flag.bool_value, 1);
    EXPECT_EQ(flag.value_name, "");

    const std::span<const uint8_t> protocol = r.resources.Find("PROTOCOL");
    EXPECT_EQ(std::string(protocol.begin(), protocol.end()), "许可协议\r\n第一条\r\n第二条\r\n");
}

TEST_F(PackageBuild, RoundTripThroughPe32AndPe32PlusStubs) {
    for (bool pe64 : {false, true}) {
        SCOPED_TRACE(pe64 ? "PE32+" : "PE32");
        const BuildReport report = Build(StubBytes(pe64), "setup.exe");
        EXPECT_EQ(report.files, 4);
        EXPECT_EQ(report.shortcuts, 3);
        ReadBack r(dir_.Read("setup.exe"));
        EXPECT_EQ(r.pe.Is64(), pe64);
        ExpectThePackage(r, main_exe_);
        EXPECT_EQ(report.pack_sum, r.config.PackSum());
        // The stub's own resources are still there (the stale SETUPINI is replaced).
        size_t kept = 0;
        for (const Resource& res : r.resources.List()) kept += res.name == ResourceId::Name("LOGO") ||
                                                              res.name == ResourceId::Name("PICTURE1") ||
                                                              res.type == ResourceId::Id(24);
        EXPECT_EQ(kept, 3u);
        EXPECT_EQ(r.resources.List().size(), 12u);
    }
}

TEST_F(PackageBuild, TheSameInputsGiveTheSameBytes) {
    Build(StubBytes(false), "a.exe");
    Build(StubBytes(false), "b.exe");
    EXPECT_EQ(dir_.Read("a.exe"), dir_.Read("b.exe"));
    // Where the sources lie does not show in the package.
    defines_["BUILD"] = (dir_.path() / "build" / "." ).string();
    Build(StubBytes(false), "c.exe");
    EXPECT_EQ(dir_.Read("a.exe"), dir_.Read("c.exe"));
}

// A payload of several blocks carries their index; a later package of one block made from
// that setup as its stub does not keep the index that describes the other payload.
TEST_F(PackageBuild, BlockIndexOnlyWithSeveralBlocks) {
    dir_.Write("build/main.exe", testing::RandomBytes(2 * kPackBlock + 5, 8));
    Build(StubBytes(false), "big.exe");
    ReadBack big(dir_.Read("big.exe"));
    const auto index = ParseBlockIndex(big.resources.Find(kBlockIndexResource));
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(*index, PackBlocks(big.payload, 9).blocks);
    EXPECT_EQ(index->size(), 3u);
    std::ostringstream shown;
    EXPECT_TRUE(Inspect(dir_ / "big.exe", shown)) << shown.str();
    EXPECT_NE(shown.str().find("SETUPINDEX: 3 blocks"), std::string::npos) << shown.str();
    // Inspect checks the index through the parallel pass.
    std::vector<PackedBlock> wrong = *index;
    wrong[1].packed_offset += 1;
    std::vector<Resource> list = big.resources.List();
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(kBlockIndexResource), 0, 0,
                               EncodeBlockIndex(wrong)});
    dir_.Write("wrong.exe", WithResources(big.pe, list));
    std::ostringstream caught;
    EXPECT_FALSE(Inspect(dir_ / "wrong.exe", caught));
    EXPECT_NE(caught.str().find("SETUPINDEX does not describe SETUPPACK"), std::string::npos) << caught.str();

    dir_.Write("build/main.exe", main_exe_);
    Build(dir_.Read("big.exe"), "small.exe");
    ReadBack small(dir_.Read("small.exe"));
    ExpectThePackage(small, main_exe_);
    EXPECT_THROW(small.resources.Find(kBlockIndexResource), Error);
}

TEST_F(PackageBuild, InspectVerifiesAndCatchesAWrongSum) {
    Build(StubBytes(true), "setup.exe");
    std::ostringstream good;
    EXPECT_TRUE(Inspect(dir_ / "setup.exe", good)) << good.str();
    EXPECT_NE(good.str().find(U8(u8"\"\\青岚护卫更新.url\"")), std::string::npos) << good.str();
    EXPECT_NE(good.str().find("OK: 4 files, 3 shortcuts, 3 registry values"), std::string::npos);

    // Same executable with a record whose PackSum is off by one.
    ReadBack r(dir_.Read("setup.exe"));
    r.config.SetPackSum(r.config.PackSum() + 1);
    std::vector<Resource> list = r.resources.List();
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPINI"), 0, 0, Pack(r.config.Bytes())});
    dir_.Write("bad.exe", WithResources(r.pe, list));
    std::ostringstream bad;
    EXPECT_FALSE(Inspect(dir_ / "bad.exe", bad));
    EXPECT_NE(bad.str().find("MISMATCH"), std::string::npos) << bad.str();

    // A file row whose range runs past the payload.
    r.config.SetPackSum(r.config.PackSum() - 1);
    FileRow row = r.config.File(3);
    row.size += 1;
    r.config.SetFile(3, row);
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPINI"), 0, 0, Pack(r.config.Bytes())});
    dir_.Write("range.exe", WithResources(r.pe, list));
    std::ostringstream range;
    EXPECT_FALSE(Inspect(dir_ / "range.exe", range));
    EXPECT_NE(range.str().find("file 3: bytes"), std::string::npos) << range.str();
}

TEST_F(PackageBuild, ExtractWritesTheFilesBack) {
    Build(StubBytes(false), "setup.exe");
    std::ostringstream log;
    EXPECT_EQ(Extract(dir_ / "setup.exe", dir_ / "out", log), 4u);
    EXPECT_EQ(dir_.Read("out/ZENTA-KOV.exe"), main_exe_);
    const std::vector<uint8_t> readme = dir_.Read(U8(u8"out/文档/说明.txt"));
    EXPECT_EQ(std::string(readme.begin(), readme.end()), "第一行\r\n第二行\r\n");
}

// The stubs the Windows build makes, when they have been built.
TEST_F(PackageBuild, RoundTripThroughTheRealStubs) {
    int found = 0;
    for (const char* path : {"/out/setup-stub.exe", "/out/win64/setup-stub.exe"}) {
        const std::filesystem::path stub = std::string(ZS_SOURCE_DIR) + path;
        if (!std::filesystem::exists(stub)) continue;
        ++found;
        SCOPED_TRACE(stub.string());
        const std::vector<uint8_t> stub_bytes = ReadWholeFile(stub, "stub");
        const PeImage original = PeImage::Parse(stub_bytes, "stub");
        Build(stub_bytes, "real.exe");
        ReadBack r(dir_.Read("real.exe"));
        ExpectThePackage(r, main_exe_);
        for (const Resource& res : ReadResources(original)) {
            if (res.type == ResourceId::Id(kRtRcdata)) continue;
            const bool kept = std::any_of(r.resources.List().begin(), r.resources.List().end(), [&](const Resource& x) {
                return x.type == res.type && x.name == res.name && x.lang == res.lang && x.data == res.data;
            });
            EXPECT_TRUE(kept) << TypeName(res.type) << " " << res.name.ToString();
        }
        // Code and data sections before the resources are byte for byte the stub's.
        for (size_t i = 0; i < original.Sections().size(); ++i) {
            const Section& s = original.Sections()[i];
            if (s.virtual_address >= original.Directory(kDirResource).rva) break;
            const Section& t = r.pe.Sections()[i];
            EXPECT_EQ(t.name, s.name);
            EXPECT_TRUE(std::equal(stub_bytes.begin() + s.raw_pointer, stub_bytes.begin() + s.RawEnd(),
                                   r.pe.Bytes().begin() + t.raw_pointer));
        }
    }
    if (!found) GTEST_SKIP() << "no stub built under out/";
}

}  // namespace
}  // namespace setup::packager
