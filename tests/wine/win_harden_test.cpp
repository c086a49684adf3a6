// DLL planting: after HardenDllSearch a DLL beside the executable or in the current folder
// is not loaded by name, libraries loaded at run time come from the system folder, and the
// setup program imports nothing that the loader would look for beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/wine/win_test_util.h"
#include "win/handles.h"
#include "win/system.h"

namespace setup::win {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

std::wstring SystemFolder() {
    wchar_t dir[MAX_PATH] = {};
    ::GetSystemDirectoryW(dir, MAX_PATH);
    return Lower(dir);
}

// A file removed again at the end of the test.
struct Planted {
    std::wstring path;
    ~Planted() {
        if (!path.empty()) ::DeleteFileW(path.c_str());
    }
};

TEST(WinHardenTest, PlantedDllsAreNotLoadedByName) {
    const std::wstring probe = testing::TestExeFolder() + L"zsprobe.exe";
    ASSERT_TRUE(testing::PathExists(probe));
    // An image that loads as a DLL, planted beside the executable and in the current folder.
    Planted beside{testing::TestExeFolder() + L"zs_planted_beside.dll"};
    ASSERT_TRUE(::CopyFileW(probe.c_str(), beside.path.c_str(), FALSE));
    testing::TempDir cwd;
    Planted in_cwd{cwd / L"zs_planted_cwd.dll"};
    ASSERT_TRUE(::CopyFileW(probe.c_str(), in_cwd.path.c_str(), FALSE));
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(::SetCurrentDirectoryW(cwd.path().c_str()));

    // The plant is loadable: without the hardening it would be taken.
    {
        UniqueModule plant(::LoadLibraryExW(beside.path.c_str(), nullptr, 0));
        ASSERT_TRUE(plant) << "the planted image does not load as a DLL here (error " << ::GetLastError() << ")";
    }

    EXPECT_TRUE(HardenDllSearch()) << "SetDefaultDllDirectories is missing";
    wchar_t dll_dir[8] = L"x";
    ::GetDllDirectoryW(8, dll_dir);
    EXPECT_STREQ(dll_dir, L"");

    UniqueModule by_name(::LoadLibraryW(L"zs_planted_beside.dll"));
    EXPECT_FALSE(by_name);
    UniqueModule from_cwd(::LoadLibraryW(L"zs_planted_cwd.dll"));
    EXPECT_FALSE(from_cwd);
    // System DLLs still load by name.
    UniqueModule system(::LoadLibraryW(L"version.dll"));
    EXPECT_TRUE(system);

    ::SetCurrentDirectoryW(before);
}

TEST(WinHardenTest, SystemLibrariesComeFromTheSystemFolder) {
    for (const wchar_t* name : {L"wininet.dll", L"kernel32.dll"}) {
        UniqueModule module = LoadSystemLibrary(name);
        ASSERT_TRUE(module) << testing::Utf8(name);
        std::wstring path = Lower(ModuleFileName(module.get()));
        EXPECT_EQ(path.rfind(SystemFolder() + L"\\", 0), 0u) << testing::Utf8(path);
    }
    EXPECT_FALSE(LoadSystemLibrary(L"zs_no_such_library.dll"));
}

// Names of the DLLs a PE file imports (ordinary and delay-load), lower case.
bool ImportedDlls(const std::wstring& file, std::set<std::string>& names) {
    std::vector<uint8_t> image;
    if (!testing::ReadWholeFile(file, image) || image.size() < sizeof(IMAGE_DOS_HEADER)) return false;
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size() ? image.data() + offset : nullptr; };
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32)));
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || !nt || nt->Signature != IMAGE_NT_SIGNATURE) return false;
    const IMAGE_DATA_DIRECTORY* dirs = nullptr;
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        dirs = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory;
    else
        dirs = nt->OptionalHeader.DataDirectory;
    auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        reinterpret_cast<const uint8_t*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
    auto offset_of = [&](DWORD rva) -> size_t {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return SIZE_MAX;
    };
    auto name_at = [&](DWORD rva) {
        std::string name;
        for (size_t o = offset_of(rva); o < image.size() && image[o]; ++o)
            name += static_cast<char>(tolower(image[o]));
        return name;
    };
    if (DWORD rva = dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress) {
        for (size_t o = offset_of(rva);; o += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(o, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
            if (!d || !d->Name) break;
            names.insert(name_at(d->Name));
        }
    }
    if (DWORD rva = dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress) {
        for (size_t o = offset_of(rva);; o += sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)) {
            auto* d = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(at(o, sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)));
            if (!d || !d->DllNameRVA) break;
            names.insert(name_at(d->DllNameRVA));
        }
    }
    return true;
}

TEST(WinHardenTest, SetupProgramImportsOnlyDllsTheLoaderTakesFromTheSystem) {
    // Imports are resolved before wWinMain runs, so the hardening cannot cover them: every
    // DLL the program imports must be one the loader never looks for beside the program.
    // These are the known DLLs of every supported Windows version, and the common controls,
    // which the manifest binds to the side-by-side assembly.
    static const std::set<std::string> kSafe = {
        "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
        "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
        "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
        "comctl32.dll"};
    int checked = 0;
    for (const std::wstring& exe : {testing::TestExeFolder() + L"setup-stub.exe",
                                    testing::TestExeFolder() + L"..\\build-win\\setup-stub.exe"}) {
        if (!testing::PathExists(exe)) continue;
        std::set<std::string> imports;
        ASSERT_TRUE(ImportedDlls(exe, imports)) << testing::Utf8(exe);
        EXPECT_TRUE(imports.count("kernel32.dll")) << testing::Utf8(exe);
        for (const auto& name : imports)
            EXPECT_TRUE(kSafe.count(name) || name.rfind("api-ms-win-", 0) == 0)
                << testing::Utf8(exe) << " imports " << name
                << ", which a planted copy beside the program would replace";
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "setup-stub.exe not built";
}

}  // namespace
}  // namespace setup::win
