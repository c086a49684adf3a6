// The installation run on Windows: a test package installed for real through the Win32
// platform into a temporary folder, then everything read back through the system.
// platform_win.h first: it includes <windows.h> and then drops the A/W macros that share
// names with members of the platform interfaces.
#include "win/platform_win.h"
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/error.h"
#include "install/run.h"
#include "install/shortcuts.h"
#include "package/packed_resource.h"
#include "package/payload_stream.h"
#include "package/setup_config.h"
#include "tests/wine/dialog_watcher.h"
#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/text.h"

namespace setup {
namespace {

using win::Gbk;
using win::Wide;

// ---- helpers ---------------------------------------------------------------------------------

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!testing::ReadWholeFile(Wide(path), bytes)) return {'<', 'n', 'o', 'n', 'e', '>'};
    return bytes;
}

bool Exists(const std::string& path) { return testing::PathExists(Wide(path)); }

std::string ModuleFolder() {
    win::WinFileSystem fs;
    return fs.ModuleFolder();
}

// A registry value saved at construction and put back (or removed again) at destruction.
class SavedValue {
public:
    SavedValue(HKEY root, std::wstring key, std::wstring name) : root_(root), key_(std::move(key)), name_(std::move(name)) {
        DWORD size = 0;
        if (::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr, &size) ==
            ERROR_SUCCESS) {
            data_.resize(size);
            existed_ = ::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                                      data_.data(), &size) == ERROR_SUCCESS;
            data_.resize(size);
        }
    }
    ~SavedValue() {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        if (existed_)
            ::RegSetValueExW(key, name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
        else
            ::RegDeleteValueW(key, name_.c_str());
        ::RegCloseKey(key);
    }
    void Set(const std::wstring& value) const {
        ::RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void Remove() const { ::RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str()); }

private:
    HKEY root_;
    std::wstring key_, name_;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
    bool existed_ = false;
};

struct RegRead {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool found = false;
    std::wstring Text() const {
        return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    }
};

RegRead ReadValue(HKEY root, const std::string& key, const std::string& name) {
    RegRead out;
    std::string k = key.front() == '\\' ? key.substr(1) : key;
    HKEY h = nullptr;
    if (::RegOpenKeyExW(root, Wide(k).c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (::RegQueryValueExW(h, Wide(name).c_str(), nullptr, &out.type, nullptr, &size) == ERROR_SUCCESS) {
        out.data.resize(size);
        out.found = ::RegQueryValueExW(h, Wide(name).c_str(), nullptr, &out.type, out.data.data(), &size) == ERROR_SUCCESS;
    }
    ::RegCloseKey(h);
    return out;
}

// A REG_SZ as the run must have stored it: UTF-16 of the GBK text with its terminating zero.
void ExpectString(HKEY root, const std::string& key, const std::string& name, const std::string& gbk) {
    RegRead v = ReadValue(root, key, name);
    ASSERT_TRUE(v.found) << key << " " << name;
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << name;
    std::wstring expected = Wide(gbk);
    expected.push_back(L'\0');
    EXPECT_EQ(v.Text(), expected) << name;
}

void ExpectDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    RegRead v = ReadValue(root, key, name);
    ASSERT_TRUE(v.found) << key << " " << name;
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD)) << name;
    ASSERT_EQ(v.data.size(), sizeof(DWORD));
    DWORD got = 0;
    memcpy(&got, v.data.data(), sizeof(got));
    EXPECT_EQ(got, value) << name;
}

struct LinkRead {
    bool loaded = false;
    std::string path, arguments, icon, working_dir;
    int icon_index = -1;
};

LinkRead LoadLink(const std::string& link_path) {
    LinkRead out;
    win::CoInitScope com;
    win::ComPtr<IShellLinkW> link;
    if (FAILED(link.CreateInstance(CLSID_ShellLink))) return out;
    win::ComPtr<IPersistFile> file;
    if (FAILED(link.As(file)) || FAILED(file->Load(Wide(link_path).c_str(), STGM_READ))) return out;
    wchar_t buf[MAX_PATH * 2] = {};
    // The path through the link's item list: Wine's GetPath answers from the ANSI copy that
    // the link also stores, which loses characters outside the ANSI code page.
    win::UniqueCoTaskMem<ITEMIDLIST> pidl;
    if (SUCCEEDED(link->GetIDList(pidl.put())) && pidl) ::SHGetPathFromIDListW(pidl.get(), buf);
    out.path = Gbk(buf);
    buf[0] = 0;
    link->GetArguments(buf, MAX_PATH);
    out.arguments = Gbk(buf);
    buf[0] = 0;
    link->GetIconLocation(buf, MAX_PATH, &out.icon_index);
    out.icon = Gbk(buf);
    buf[0] = 0;
    link->GetWorkingDirectory(buf, MAX_PATH);
    out.working_dir = Gbk(buf);
    out.loaded = true;
    return out;
}

// Records message boxes instead of showing them (for the runs that must show none).
class RecordingDialogs : public Dialogs {
public:
    std::vector<std::string> boxes;
    int MessageBox(const std::string& text, const std::string&, unsigned) override {
        boxes.push_back(text);
        return kIdOk;
    }
    bool Confirm(const std::string&) override { return false; }
    void ShowError(const std::string& text) override { boxes.push_back("error " + text); }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

class MapResources : public Resources {
public:
    std::vector<uint8_t> setupini = {0x20, 0, 0, 0, 0x78, 0x9C, 0xAA, 0x55};
    std::vector<uint8_t> setuppack;
    std::span<const uint8_t> Find(const std::string& name) override {
        if (name == "SETUPPACK") return setuppack;
        if (name != "SETUPINI") throw Error("Resource " + name + " not found");
        return setupini;
    }
};

class NullView : public CopyPageView {
public:
    std::vector<int> progress;
    void SetStatus(const std::string&) override {}
    void ShowFileName(const std::string&) override {}
    void HideFileName() override {}
    void SetProgress(uint32_t, int position) override { progress.push_back(position); }
    void HideHeadings() override {}
};

// ---- fixture ---------------------------------------------------------------------------------

constexpr const char* kCompany = "ZsInstallWineTest";
constexpr const char* kProduct = "ZsKov 青岚";
const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class WinInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.path().empty());
        root_ = temp_.gbk() + "zs install 青岚";  // blanks and Chinese characters in every path
        ASSERT_TRUE(::CreateDirectoryW(Wide(root_).c_str(), nullptr));
        desktop_ = root_ + "\\Desktop";
        programs_ = root_ + "\\Start Menu\\Programs";
        folder_ = root_ + "\\Program Files\\青岚 KOV";
        ::CreateDirectoryW(Wide(desktop_).c_str(), nullptr);
        ::CreateDirectoryW(Wide(root_ + "\\Start Menu").c_str(), nullptr);
        ::CreateDirectoryW(Wide(programs_).c_str(), nullptr);
        // The shell rewrites "Shell Folders" from "User Shell Folders" whenever it resolves a
        // folder (creating a link does), so both point at the test's folders.
        for (const SavedValue* v : {&saved_desktop_, &saved_user_desktop_}) v->Set(Wide(desktop_));
        for (const SavedValue* v : {&saved_programs_, &saved_user_programs_}) v->Set(Wide(programs_));
        ::GetCurrentDirectoryW(MAX_PATH, cwd_);

        marker_ = ReadAll(ModuleFolder() + "install_marker.exe");
        ASSERT_GT(marker_.size(), 1000u) << "install_marker.exe missing next to the test program";
        config_.SetText(TextField::Author, "ZENTA 作者");
        config_.SetText(TextField::Company, kCompany);
        config_.SetText(TextField::Site, "http://www.zenta.example/");
        config_.SetText(TextField::Version, "V29.5");
        config_.SetText(TextField::ProductName, kProduct);
        config_.SetText(TextField::FolderName, "ZENTA-KOV");
        config_.SetText(TextField::Date, "20040201");
        config_.SetFolder(folder_);
        AddFile("\\ZENTA-KOV.exe", std::string(marker_.begin(), marker_.end()));
        AddFile("\\sub\\readme.txt", "readme 说明\r\n");
        AddFile("\\青岚护卫更新.url", "[InternetShortcut]\r\nURL=http://www.zenta.example/\r\n");
        AddFile("\\empty.dat", "");
        config_.SetShortcut(0, {"ZENTA-KOV", 0, 0, "-x \"y z\""});
        config_.SetShortcut(1, {"ZENTA-KOV", 0, 1, ""});
        config_.SetShortcut(2, {"Readme.txt", 1, 2, ""});
        config_.SetRegValue(0, {"Flag", 0, "Software\\ZsInstallWineTestExtra", 0, 1, "", 0});
        config_.SetRegValue(1, {"Text", 1, "Software\\ZsInstallWineTestExtra", 1, 0, "文本 value", 0});
        config_.SetRegValue(2, {"Num", 0, "Software\\ZsInstallWineTestExtra", 2, 0, "", -5});
        config_.SetRegValue(3, {"None", 1, "Software\\ZsInstallWineTestOnlyKey", 3, 1, "x", 7});
        config_.SetCounts(static_cast<int32_t>(files_.size()), 3, 4);
    }
    void TearDown() override {
        ::SetCurrentDirectoryW(cwd_);  // the run leaves the process in the group folder
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(std::string("Software\\") + kCompany).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(UninstallKey()).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\ZsInstallWineTestExtra");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZsInstallWineTestExtra");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZsInstallWineTestOnlyKey");
    }
    void AddFile(const std::string& name, const std::string& content) {
        const auto offset = static_cast<uint32_t>(payload_bytes_.size());
        payload_bytes_.insert(payload_bytes_.end(), content.begin(), content.end());
        files_.push_back({name, offset, static_cast<uint32_t>(content.size())});
        config_.SetFile(static_cast<int>(files_.size() - 1), files_.back());
    }
    std::vector<uint8_t> Content(size_t i) const {
        return {payload_bytes_.begin() + files_[i].offset, payload_bytes_.begin() + files_[i].offset + files_[i].size};
    }
    std::string UninstallKey() const {
        return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
    }
    void Run(Dialogs& dialogs) {
        resources_.setuppack = Pack(payload_bytes_);
        PayloadStream payload = OpenPayload(resources_);
        Platform p{fs_, reg_, shell_, dialogs, resources_};
        InstallContext ctx{config_, payload, ProductKey(config_), InstallKey(config_), installing_, report_, p, view_};
        RunInstallation(ctx);
    }

    testing::TempDir temp_;
    std::string root_, desktop_, programs_, folder_;
    wchar_t cwd_[MAX_PATH] = {};
    // Restored in reverse order: "User Shell Folders" first, then "Shell Folders".
    SavedValue saved_desktop_{HKEY_CURRENT_USER, Wide(kShellFolders), L"Desktop"};
    SavedValue saved_programs_{HKEY_CURRENT_USER, Wide(kShellFolders), L"Programs"};
    SavedValue saved_user_desktop_{HKEY_CURRENT_USER, Wide(kUserShellFolders), L"Desktop"};
    SavedValue saved_user_programs_{HKEY_CURRENT_USER, Wide(kUserShellFolders), L"Programs"};
    std::vector<uint8_t> marker_;
    SetupConfig config_;
    std::vector<FileRow> files_;
    std::vector<uint8_t> payload_bytes_;
    bool installing_ = false;
    InstallReport report_;
    win::WinFileSystem fs_;
    win::WinRegistry reg_;
    win::WinShell shell_{nullptr};
    MapResources resources_;
    NullView view_;
};

// ---- tests -----------------------------------------------------------------------------------

TEST_F(WinInstall, InstallsAndEverythingReadsBack) {
    RecordingDialogs dialogs;
    Run(dialogs);
    EXPECT_FALSE(installing_);
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front();
    EXPECT_EQ(view_.progress, (std::vector<int>{0, 25, 50, 75}));

    for (size_t i = 0; i < files_.size(); ++i) EXPECT_EQ(ReadAll(folder_ + files_[i].name), Content(i)) << files_[i].name;
    EXPECT_EQ(ReadAll(folder_ + "\\Z_ta.cx"), resources_.setupini);

    const std::string product_key = std::string("Software\\") + kCompany;
    const std::string install_key = product_key + "\\ZENTA-KOV";
    ExpectString(HKEY_LOCAL_MACHINE, product_key, "Site", "http://www.zenta.example/");
    ExpectString(HKEY_LOCAL_MACHINE, product_key, "Author", "ZENTA 作者");
    ExpectDword(HKEY_LOCAL_MACHINE, install_key, "Setup", 1);
    ExpectString(HKEY_LOCAL_MACHINE, install_key, "Version", "V29.5");
    ExpectString(HKEY_LOCAL_MACHINE, install_key, "Folder", folder_);
    ExpectString(HKEY_LOCAL_MACHINE, install_key, "Date", "20040201");
    ExpectString(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName", kProduct);
    ExpectString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString", "\"" + folder_ + "\\uninstall.exe\"");
    ExpectDword(HKEY_LOCAL_MACHINE, "Software\\ZsInstallWineTestExtra", "Flag", 1);
    ExpectString(HKEY_CURRENT_USER, "Software\\ZsInstallWineTestExtra", "Text", "文本 value");
    ExpectDword(HKEY_LOCAL_MACHINE, "Software\\ZsInstallWineTestExtra", "Num", 0xFFFFFFFBu);
    HKEY only = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\ZsInstallWineTestOnlyKey", 0, KEY_QUERY_VALUE, &only),
              ERROR_SUCCESS);
    DWORD values = 99;
    ::RegQueryInfoKeyW(only, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(only);
    EXPECT_EQ(values, 0u);

    const std::string main_exe = folder_ + "\\ZENTA-KOV.exe";
    const std::string group = programs_ + "\\" + kProduct;
    struct Expected {
        std::string link, target, arguments;
    };
    const Expected links[] = {
        {desktop_ + "\\ZENTA-KOV.lnk", main_exe, "-x \"y z\""},
        {group + "\\ZENTA-KOV.lnk", main_exe, ""},
        {group + "\\Readme.txt.lnk", folder_ + "\\sub\\readme.txt", ""},
        {desktop_ + "\\Readme.txt.lnk", folder_ + "\\sub\\readme.txt", ""},
        {group + "\\卸载" + kProduct + ".lnk", folder_ + "\\uninstall.exe", ""},
    };
    for (const Expected& e : links) {
        LinkRead l = LoadLink(e.link);
        ASSERT_TRUE(l.loaded) << e.link;
        EXPECT_EQ(l.path, e.target) << e.link;
        EXPECT_EQ(l.arguments, e.arguments) << e.link;
        EXPECT_EQ(l.icon, e.target) << e.link;
        EXPECT_EQ(l.icon_index, 0) << e.link;
        EXPECT_EQ(l.working_dir, e.target.substr(0, e.target.rfind('\\') + 1)) << e.link;
    }
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    EXPECT_EQ(Gbk(cwd), group);
}

// The table's rows need not follow their bytes: reversed, overlapping, over an old file.
TEST_F(WinInstall, RowsOutOfOrderInstallByteForByte) {
    std::reverse(files_.begin(), files_.end());
    files_.push_back({"\\sub\\part.bin", files_.back().offset + 100, 200});  // inside ZENTA-KOV.exe
    for (size_t i = 0; i < files_.size(); ++i) config_.SetFile(static_cast<int>(i), files_[i]);
    config_.SetCounts(static_cast<int32_t>(files_.size()), 0, 0);
    ASSERT_TRUE(::CreateDirectoryW(Wide(root_ + "\\Program Files").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_).c_str(), nullptr));
    ASSERT_TRUE(testing::WriteWholeFile(Wide(folder_ + "\\empty.dat"), "old and longer"));
    RecordingDialogs dialogs;
    Run(dialogs);
    EXPECT_TRUE(dialogs.boxes.empty());
    for (size_t i = 0; i < files_.size(); ++i) EXPECT_EQ(ReadAll(folder_ + files_[i].name), Content(i)) << files_[i].name;
    // Nothing but the files, the data file and the sub-folder.
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(Wide(folder_ + "\\*").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do names.push_back(found.cFileName);
    while (::FindNextFileW(h, &found));
    ::FindClose(h);
    EXPECT_EQ(names.size(), 2u + 5u) << "temporary files left behind?";
}

// A file in use cannot be replaced: Retry / Cancel names it; Cancel keeps the old file and
// the rest installs.
TEST_F(WinInstall, FileHeldOpenAsksRetryOrCancelAndTheRestInstalls) {
    ASSERT_TRUE(::CreateDirectoryW(Wide(root_ + "\\Program Files").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_ + "\\sub").c_str(), nullptr));
    const std::string held = folder_ + "\\sub\\readme.txt";
    win::UniqueFile handle(::CreateFileW(Wide(held).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(handle);
    win::WinDialogs dialogs(nullptr);
    testing::DialogWatcher watcher(L"Cancel", L" ZENTA");
    Run(dialogs);  // returns once the watcher has answered the box
    const testing::DialogSnapshot seen = watcher.Finish();
    ASSERT_TRUE(seen.error.empty()) << seen.error;
    // One question, Retry and Cancel, naming the file (CR LF kept in the text).
    EXPECT_TRUE(seen.has_icon);
    ASSERT_EQ(seen.buttons.size(), 2u);
    ASSERT_EQ(seen.texts.size(), 1u);
    EXPECT_EQ(seen.texts[0].text, Wide(std::string(kFileInUseText) + held));
    EXPECT_EQ(report_.failed, std::vector<std::string>{held});
    EXPECT_FALSE(installing_);
    EXPECT_EQ(view_.progress, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_EQ(ReadAll(folder_ + "\\ZENTA-KOV.exe"), Content(0));
    EXPECT_EQ(ReadAll(folder_ + "\\empty.dat"), Content(3));
    handle.reset();
    EXPECT_TRUE(ReadAll(held).empty());  // untouched: still the empty file it was
}

TEST_F(WinInstall, MissingDesktopValueMakesNoDesktopLinkAndNoMessage) {
    saved_desktop_.Remove();
    RecordingDialogs dialogs;
    Run(dialogs);
    EXPECT_FALSE(installing_);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(Exists(desktop_ + "\\ZENTA-KOV.lnk"));
    EXPECT_FALSE(Exists(desktop_ + "\\Readme.txt.lnk"));
    EXPECT_TRUE(LoadLink(programs_ + "\\" + kProduct + "\\ZENTA-KOV.lnk").loaded);
}

TEST_F(WinInstall, DataFileThatCannotBeCreatedEndsTheRun) {
    ASSERT_TRUE(::CreateDirectoryW(Wide(root_ + "\\Program Files").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_ + "\\Z_ta.cx").c_str(), nullptr));  // a folder in the way
    RecordingDialogs dialogs;
    try {
        Run(dialogs);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text().rfind("Cannot create file \"" + folder_ + "\\Z_ta.cx\". ", 0), 0u) << e.text();
        EXPECT_GT(e.text().size(), ("Cannot create file \"" + folder_ + "\\Z_ta.cx\". ").size()) << "no reason";
    }
    EXPECT_TRUE(installing_);
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, std::string("Software\\") + kCompany, "Site").found);
}

// Run by tests/e2e/install_full_disk.sh, which mounts a small tmpfs as drive ZS_FULL_DRIVE.
TEST_F(WinInstall, FullDiskReportsTheFileThatDoesNotFit) {
    const char* drive = std::getenv("ZS_FULL_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "needs a small drive: run tests/e2e/install_full_disk.sh";
    folder_ = std::string(drive) + "\\zs full 青岚";
    config_.SetFolder(folder_);
    files_.clear();
    payload_bytes_.clear();
    AddFile("\\a.txt", "small a");
    AddFile("\\big.bin", std::string(1024 * 1024, 'B'));
    AddFile("\\b.txt", "small b");
    config_.SetCounts(3, 0, 0);
    // An earlier installation's big.bin: it must survive the write that does not fit.
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder_).c_str(), nullptr));
    const std::string old_big(20000, 'o');
    ASSERT_TRUE(testing::WriteWholeFile(Wide(folder_ + "\\big.bin"), old_big));
    RecordingDialogs dialogs;
    Run(dialogs);
    EXPECT_FALSE(installing_);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0], std::string(kFileErrorText) + folder_ + "\\big.bin");
    EXPECT_EQ(ReadAll(folder_ + "\\a.txt"), Content(0));
    EXPECT_EQ(ReadAll(folder_ + "\\b.txt"), Content(2));
    // The old file, byte for byte, and no partial new one beside it.
    EXPECT_EQ(ReadAll(folder_ + "\\big.bin"), std::vector<uint8_t>(old_big.begin(), old_big.end()));
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(Wide(folder_ + "\\*").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int entries = 0;
    do entries += found.cFileName[0] != L'.';
    while (::FindNextFileW(h, &found));
    ::FindClose(h);
    EXPECT_EQ(entries, 4);  // a.txt, big.bin, b.txt, Z_ta.cx
    EXPECT_EQ(ReadAll(folder_ + "\\Z_ta.cx"), resources_.setupini);
    testing::RemoveTree(Wide(folder_));
}

}  // namespace
}  // namespace setup
