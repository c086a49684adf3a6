// Every refusal of `pack-setup build`: the message names the field and the limit, and
// nothing is written (an earlier output stays as it was, no temporary file is left).
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "tests/unit/packager_test_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/package_builder.h"

namespace setup::packager {
namespace {

using testing::TempDir;
using testing::U8;

// A manifest assembled from parts that each case can change. Values are TOML text.
struct ManifestParts {
    std::string top = "licence = \"licence.txt\"";
    std::map<std::string, std::string> product = {
        {"author", "\"ZENTA\""}, {"company", "\"ZENTA\""}, {"product_name", "\"KOV\""},
        {"folder_name", "\"KOV\""}, {"version", "\"V1.0\""}, {"release_date", "\"20240711\""}};
    std::vector<std::string> files = {"source = \"a.txt\"\nname = '\\a.txt'", "source = \"b.txt\"\nname = '\\sub\\b.txt'"};
    std::vector<std::string> shortcuts = {"link = \"A\"\nfile = '\\a.txt'\nplace = \"both\""};
    std::vector<std::string> registry = {"root = \"HKCU\"\nkey = 'Software\\ZENTA'\nname = \"X\"\nvalue = 1"};

    std::string Render() const {
        std::string s = top + "\n[product]\n";
        for (const auto& [k, v] : product) s += k + " = " + v + "\n";
        for (const auto& f : files) s += "[[file]]\n" + f + "\n";
        for (const auto& f : shortcuts) s += "[[shortcut]]\n" + f + "\n";
        for (const auto& f : registry) s += "[[registry]]\n" + f + "\n";
        return s;
    }
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::vector<std::string> ManyRows(const std::string& row, int n) { return std::vector<std::string>(n, row); }

struct Refusal {
    const char* what;
    std::function<void(ManifestParts&, TempDir&)> change;
    std::string message;  // a part of the expected message
};

class BuildRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("a.txt", std::string("alpha"));
        dir_.Write("b.txt", std::string("beta"));
        dir_.Write("licence.txt", U8(u8"许可协议\n"));
        dir_.Write("stub.exe", testing::MakeStub({.resources = testing::SetupStubResources()}));
    }

    // Runs the build and returns its message ("" when it succeeded).
    std::string Run(const ManifestParts& parts) {
        dir_.Write("manifest.toml", parts.Render());
        try {
            BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "setup.exe");
        } catch (const PackError& e) {
            return e.what();
        }
        return "";
    }

    TempDir dir_;
};

TEST_F(BuildRefusal, TheBaseManifestBuilds) {
    EXPECT_EQ(Run(ManifestParts{}), "");
    EXPECT_TRUE(std::filesystem::exists(dir_ / "setup.exe"));
}

TEST_F(BuildRefusal, EachRefusalNamesTheFieldAndWritesNothing) {
    const std::string u8_emoji = U8(u8"😀");
    const std::vector<Refusal> refusals = {
        // Texts longer than their slots, counted in GBK bytes.
        {"version too long", [](auto& m, auto&) { m.product["version"] = "\"" + Repeat("v", 129) + "\""; },
         "product.version: 129 bytes in GBK, more than the 128 its slot holds"},
        {"Chinese name too long in bytes", [](auto& m, auto&) { m.product["product_name"] = "\"" + Repeat(U8(u8"青"), 65) + "\""; },
         "product.product_name: 130 bytes in GBK, more than the 128"},
        {"release date too long", [](auto& m, auto&) { m.product["release_date"] = "\"2024-07-11\""; }, "product.release_date: 10 bytes"},
        {"release date not a date", [](auto& m, auto&) { m.product["release_date"] = "\"20230229\""; }, "is not a date written YYYYMMDD"},
        {"link name too long", [](auto& m, auto&) { m.shortcuts[0] = "link = \"" + Repeat("L", 132) + "\"\nfile = 0\nplace = \"group\""; },
         "[[shortcut]] 0 link: 132 bytes in GBK, more than the 131"},
        {"arguments too long", [](auto& m, auto&) { m.shortcuts[0] += "\narguments = \"" + Repeat("a", 129) + "\""; },
         "[[shortcut]] 0 arguments: 129 bytes"},
        {"registry value too long", [](auto& m, auto&) { m.registry[0] = "root = \"HKLM\"\nkey = 'K'\nname = \"N\"\nvalue = \"" + Repeat("s", 129) + "\""; },
         "[[registry]] 0 value: 129 bytes"},
        {"stored name too long", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\" + Repeat("n", 127) + "'"; },
         "128 bytes in GBK, more than the 127"},
        // Tables beyond 256 rows.
        {"257 files", [](auto& m, auto&) {
             m.files.clear();
             for (int i = 0; i < 257; ++i) m.files.push_back("source = \"a.txt\"\nname = '\\f" + std::to_string(i) + "'");
         }, "257 [[file]] rows, more than the 256 the record holds"},
        {"257 shortcuts", [](auto& m, auto&) { m.shortcuts = ManyRows(m.shortcuts[0], 257); }, "257 [[shortcut]] rows"},
        {"257 registry values", [](auto& m, auto&) { m.registry = ManyRows(m.registry[0], 257); }, "257 [[registry]] rows"},
        // Stored names.
        {"no leading backslash", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = 'a.txt'"; }, "a stored name begins with \"\\\""},
        {"parent folder", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\..\\a.txt'"; }, "not a safe name"},
        {"drive", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\C:\\a.txt'"; }, "not a safe name"},
        {"device name", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\sub\\con.txt'"; }, "not a safe name"},
        {"double backslash", [](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\\\server\\a.txt'"; }, "not a safe name"},
        {"same name twice", [](auto& m, auto&) { m.files[1] = "source = \"b.txt\"\nname = '\\A.TXT'"; }, "the same file as [[file]] 0"},
        // Shortcuts that point at no file.
        {"shortcut to a missing name", [](auto& m, auto&) { m.shortcuts[0] = "link = \"A\"\nfile = '\\nothing.exe'\nplace = \"both\""; },
         "points at no file"},
        {"shortcut to a row past the table", [](auto& m, auto&) { m.shortcuts[0] = "link = \"A\"\nfile = 2\nplace = \"both\""; },
         "row 2 points at no file (there are 2 [[file]] rows)"},
        {"shortcut place unknown", [](auto& m, auto&) { m.shortcuts[0] = "link = \"A\"\nfile = 0\nplace = \"start\""; },
         "place: \"start\" is not"},
        {"link name with a separator", [](auto& m, auto&) { m.shortcuts[0] = "link = 'a\\b'\nfile = 0\nplace = \"both\""; },
         "is not a plain file name"},
        // Texts GBK cannot encode.
        {"emoji in the product name", [&](auto& m, auto&) { m.product["product_name"] = "\"KOV" + u8_emoji + "\""; },
         "product.product_name: the character U+1F600"},
        {"emoji in a stored name", [&](auto& m, auto&) { m.files[0] = "source = \"a.txt\"\nname = '\\" + u8_emoji + "'"; },
         "cannot be written in GBK"},
        {"licence not UTF-8", [](auto&, auto& d) { d.Write("licence.txt", std::string("ok\n\xB0\xA1\n")); },
         "(line 2): the byte 0xB0 is not UTF-8"},
        // Missing and oversized sources.
        {"missing source", [](auto& m, auto&) { m.files[1] = "source = \"missing.txt\"\nname = '\\m.txt'"; }, "is missing or not a file"},
        {"source is a folder", [](auto& m, auto& d) { d.Write("dir/x", std::string("x")); m.files[1] = "source = \"dir\"\nname = '\\m.txt'"; },
         "is missing or not a file"},
        {"missing licence", [](auto& m, auto&) { m.top = "licence = \"nolicence.txt\""; }, "licence: cannot open"},
        {"no licence key", [](auto& m, auto&) { m.top = ""; }, "no licence"},
        {"file of 2 GB", [](auto& m, auto& d) {
             d.Write("big.bin", std::string());
             std::filesystem::resize_file(d / "big.bin", uint64_t{1} << 31);  // sparse: no disk used
             m.files[1] = "source = \"big.bin\"\nname = '\\big.bin'";
         }, "2147483648 bytes; a file must be smaller than 2 GB"},
        {"payload reaching 2 GB", [](auto& m, auto& d) {
             d.Write("half.bin", std::string());
             std::filesystem::resize_file(d / "half.bin", uint64_t{1} << 30);
             m.files[0] = "source = \"half.bin\"\nname = '\\h1.bin'";
             m.files[1] = "source = \"half.bin\"\nname = '\\h2.bin'";
             m.shortcuts.clear();
         }, "the payload would reach 2147483648 bytes"},
        // Manifest mistakes.
        {"misspelt key", [](auto& m, auto&) { m.product["reales_date"] = "\"20240711\""; }, "[product]: unknown key \"reales_date\""},
        {"undefined variable", [](auto& m, auto&) { m.files[0] = "source = \"${BUILD}/a.txt\"\nname = '\\a.txt'"; },
         "${BUILD} is not defined"},
        {"TOML syntax", [](auto& m, auto&) { m.top = "licence = "; }, "manifest.toml:1:"},
        {"empty company", [](auto& m, auto&) { m.product["company"] = "\"\""; }, "product.company: must not be empty"},
        {"company naming a sub-key", [](auto& m, auto&) { m.product["company"] = "'Acme\\Notes'"; },
         "product.company: \"Acme\\Notes\" is not a plain registry key name"},
        {"folder name with a separator", [](auto& m, auto&) { m.product["folder_name"] = "'ZENTA\\KOV'"; }, "is not a plain folder name"},
        {"folder name with a leading dot", [](auto& m, auto&) { m.product["folder_name"] = "'.KOV'"; }, "is not a plain folder name"},
        {"product name leaving the uninstall key", [](auto& m, auto&) { m.product["product_name"] = "'..\\..\\Startup'"; },
         "product.product_name: \"..\\..\\Startup\" is not a plain name"},
        {"product name with a separator, a colon and a wildcard", [](auto& m, auto&) { m.product["product_name"] = "'Acme/Notes: v2?'"; },
         "is not a plain name"},
        {"registry root unknown", [](auto& m, auto&) { m.registry[0] = "root = \"HKCR\"\nkey = 'K'\nname = \"N\"\nvalue = 1"; },
         "root: \"HKCR\" is not"},
        {"registry integer out of range", [](auto& m, auto&) { m.registry[0] = "root = \"HKCU\"\nkey = 'K'\nname = \"N\"\nvalue = 4294967295"; },
         "does not fit a signed 32-bit integer"},
        {"registry value of another type", [](auto& m, auto&) { m.registry[0] = "root = \"HKCU\"\nkey = 'K'\nname = \"N\"\nvalue = 1.5"; },
         "expected a string, an integer or a boolean"},
        {"registry key empty", [](auto& m, auto&) { m.registry[0] = "root = \"HKCU\"\nkey = ''\nname = \"N\"\nvalue = 1"; },
         "key: must not be empty"},
        // Stubs.
        {"missing stub", [](auto&, auto& d) { std::filesystem::remove(d / "stub.exe"); }, "stub: cannot open"},
        {"stub that is no executable", [](auto&, auto& d) { d.Write("stub.exe", std::string("#!/bin/sh\n")); }, "no MZ header"},
        {"an ordinary program as the stub", [](auto&, auto& d) {
             d.Write("stub.exe", testing::MakeStub({.resources = testing::TypicalStubResources()}));
         }, "is not a setup stub: it lacks the setup program's own resources (MAINICON, FINISH, PRODUCT"},
        {"a stub without its main icon", [](auto&, auto& d) {
             std::vector<testing::StubResource> list = testing::SetupStubResources();
             std::erase_if(list, [](const auto& r) { return r.name == u"MAINICON"; });
             d.Write("stub.exe", testing::MakeStub({.pe64 = true, .resources = list}));
         }, "resources (MAINICON)"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        TempDir& d = dir_;
        d.Write("setup.exe", std::string("OLD"));
        SetUp();
        ManifestParts parts;
        r.change(parts, d);
        const std::string message = Run(parts);
        EXPECT_NE(message.find(r.message), std::string::npos) << "message: " << message;
        EXPECT_EQ(d.Read("setup.exe"), std::vector<uint8_t>({'O', 'L', 'D'})) << "the old output stays";
        for (const auto& entry : std::filesystem::directory_iterator(d.path()))
            EXPECT_NE(entry.path().filename().string().rfind(".setup.exe.", 0), 0u) << "temporary file left behind";
        std::filesystem::remove(d / "big.bin");
        std::filesystem::remove(d / "half.bin");
    }
}

TEST_F(BuildRefusal, AnOutputThatIsAnInputIsRefusedAndLeavesItAsItWas) {
    dir_.Write("manifest.toml", ManifestParts{}.Render());
    std::filesystem::create_directories(dir_ / "sub");
    std::filesystem::create_hard_link(dir_ / "b.txt", dir_ / "b-link.exe");
    std::filesystem::create_symlink(dir_ / "stub.exe", dir_ / "stub-link.exe");
    const struct {
        std::filesystem::path output;
        const char* message;
    } cases[] = {
        {dir_ / "manifest.toml", "is the manifest"},
        {dir_ / "sub" / ".." / "stub.exe", "is the stub"},
        {dir_ / "licence.txt", "is the licence"},
        {dir_ / "a.txt", "is the source of [[file]] 0"},
        {dir_ / "b-link.exe", "is the source of [[file]] 1"},  // another name of the same file
        {dir_ / "stub-link.exe", "is the stub"},
    };
    const std::vector<uint8_t> manifest = dir_.Read("manifest.toml"), stub = dir_.Read("stub.exe"),
                               licence = dir_.Read("licence.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output.string());
        try {
            BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", c.output);
            ADD_FAILURE() << "built over an input";
        } catch (const PackError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("would overwrite its own input"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(dir_.Read("manifest.toml"), manifest);
    EXPECT_EQ(dir_.Read("stub.exe"), stub);
    EXPECT_EQ(dir_.Read("licence.txt"), licence);
    EXPECT_EQ(dir_.Read("a.txt"), std::vector<uint8_t>({'a', 'l', 'p', 'h', 'a'}));
    EXPECT_EQ(dir_.Read("b-link.exe"), std::vector<uint8_t>({'b', 'e', 't', 'a'}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "stub-link.exe"));
}

TEST_F(BuildRefusal, MessagesGiveTheManifestLine) {
    ManifestParts parts;
    parts.files[1] = "source = \"missing.txt\"\nname = '\\m.txt'";
    const std::string message = Run(parts);
    // [[file]] 1 starts on the line after the first row's two lines.
    const std::string rendered = parts.Render();
    const size_t at = rendered.find("source = \"missing.txt\"");
    const auto line = 1 + std::count(rendered.begin(), rendered.begin() + static_cast<long>(at), '\n');
    EXPECT_NE(message.find("manifest.toml:" + std::to_string(line - 1) + ": [[file]] 1"), std::string::npos) << message;
}

TEST_F(BuildRefusal, AnOutputThatCannotBeWrittenIsReportedAndLeavesNoTemporaryFile) {
    dir_.Write("manifest.toml", ManifestParts{}.Render());
    try {
        BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "no-such-folder" / "setup.exe");
        ADD_FAILURE() << "built into a missing folder";
    } catch (const PackError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot create a file in its folder"), std::string::npos) << e.what();
    }
    // An output path that is a folder: the temporary file is written, the rename fails.
    std::filesystem::create_directories(dir_ / "taken.exe" / "inside");
    try {
        BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "taken.exe");
        ADD_FAILURE() << "replaced a folder";
    } catch (const PackError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot replace it"), std::string::npos) << e.what();
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        EXPECT_NE(entry.path().filename().string().rfind(".taken.exe.", 0), 0u) << "temporary file left behind";
}

// uninstaller = "builtin" packs the built uninstaller as the last row; a manifest that also
// ships one of its own, or a build without it, is refused.
TEST_F(BuildRefusal, BuiltinUninstaller) {
    dir_.Write("uninstaller.exe", std::string("MZ the uninstaller"));
    const auto build = [&](const ManifestParts& parts, const std::filesystem::path& uninstaller) -> std::string {
        dir_.Write("manifest.toml", parts.Render());
        try {
            BuildSetup(dir_ / "manifest.toml", {}, dir_ / "stub.exe", dir_ / "setup.exe", 9, {}, uninstaller);
        } catch (const PackError& e) {
            return e.what();
        }
        return "";
    };
    ManifestParts parts;
    parts.top += "\nuninstaller = \"builtin\"";
    EXPECT_EQ(build(parts, dir_ / "uninstaller.exe"), "");
    Manifest m = ReadManifest(dir_ / "manifest.toml", {});
    AddBuiltinUninstaller(m, dir_ / "uninstaller.exe");
    const Package package = MakePackage(m);
    ASSERT_EQ(package.config.FileCount(), 3);
    EXPECT_EQ(package.config.File(2).name, "\\uninstall.exe");
    EXPECT_EQ(package.config.File(2).size, 18u);

    std::filesystem::remove(dir_ / "setup.exe");
    EXPECT_NE(build(parts, dir_ / "none.exe").find("the built uninstaller"), std::string::npos);
    ManifestParts own = parts;
    own.files.push_back("source = \"a.txt\"\nname = '\\UnInstall.EXE'");
    EXPECT_NE(build(own, dir_ / "uninstaller.exe").find("uninstaller = \"builtin\""), std::string::npos);
    ManifestParts other = ManifestParts{};
    other.top += "\nuninstaller = \"mine\"";
    EXPECT_NE(build(other, dir_ / "uninstaller.exe").find("is not \"builtin\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "setup.exe"));
}

}  // namespace
}  // namespace setup::packager
