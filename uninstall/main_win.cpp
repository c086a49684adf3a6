// Program entry of the uninstaller, "uninstall.exe" in the installation folder.
//
// Started from the folder, it reads the record beside itself, asks once, then copies itself
// into a folder of its own under the Windows folder's Temp that only administrators can write,
// starts that copy with "/run <its process id> <folder>" and ends. The copy waits for it to be
// gone, so that its file and the folder can be removed too, and does the work (uninstall/plan.h).
// When no copy can be made or started, the work is done in place, the uninstaller's own file
// and the folder staying behind.
#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <shellapi.h>

#include <cstdlib>

#include "install/path_text.h"
#include "uninstall/machine_win.h"
#include "uninstall/plan.h"
#include "win/system.h"
#include "win/text.h"

// As in the setup program: an exception that escapes everything ends the program at once.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

using namespace setup;

constexpr const char* kRunArgument = "/run";
constexpr const char* kCopyFolderPrefix = "zs-uninstall";
constexpr DWORD kStarterWaitMs = 30000;

// The uninstaller shows message boxes only: none of the setup's other dialogs come along.
class BoxDialogs : public Dialogs {
public:
    int MessageBox(const std::string& text, const std::string& title, unsigned flags) override {
        return ::MessageBoxW(nullptr, win::Wide(text).c_str(), win::Wide(title).c_str(), flags | MB_SETFOREGROUND);
    }
    bool Confirm(const std::string&) override { return false; }
    void ShowError(const std::string& text) override { MessageBox(text, "", MB_ICONERROR); }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

struct Arguments {
    bool run = false;  // the copy in the temporary folder
    DWORD starter = 0;
    std::string folder;
};

Arguments ReadArguments() {
    Arguments a;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return a;
    win::UniqueLocal owner(reinterpret_cast<HLOCAL>(argv));
    if (argc != 4 || win::Gbk(argv[1]) != kRunArgument) return a;
    for (const wchar_t* c = argv[2]; *c; ++c) {
        if (*c < L'0' || *c > L'9') return a;
        a.starter = a.starter * 10 + static_cast<DWORD>(*c - L'0');
    }
    a.folder = win::Gbk(argv[3]);
    a.run = !a.folder.empty();
    return a;
}

// The folder the program lies in, without its trailing "\" (so that stored names, which begin
// with "\", join it directly).
std::string OwnFolder(FileSystem& fs) {
    std::string folder = fs.ModuleFolder();
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// Copies this program into a new administrators-only folder and starts the copy there; false
// when that cannot be done.
bool StartCopy(Platform& p, UninstallMachine& m, const std::string& folder) {
    const std::string self = win::Gbk(win::ModuleFileName());
    const std::optional<std::vector<uint8_t>> bytes = m.ReadFile(self, size_t{64} << 20);
    if (!bytes) return false;
    FileSystem::WriteResult result;
    const std::string temp = p.fs.CreatePrivateFolder(p.fs.WindowsFolder() + "\\Temp", kCopyFolderPrefix, result);
    if (temp.empty()) return false;
    const std::string copy = temp + kUninstallerName;
    ProcessStart start;
    start.program = copy;
    start.command_line = QuoteArgument(copy) + " " + kRunArgument + " " + std::to_string(::GetCurrentProcessId()) +
                         " " + QuoteArgument(folder);
    start.dir = temp;
    if (p.fs.WriteNewFile(copy, *bytes).ok() && p.shell.StartProcess(start)) return true;
    p.fs.DeleteFile(copy);
    p.fs.RemoveDirectory(temp);
    return false;
}

int Uninstall(Platform& p, UninstallMachine& m, const UninstallBrand& brand, const std::string& folder,
              bool self_removable) {
    SetupConfig record;
    const RecordState state = ReadInstallRecord(p, m, folder, record);
    if (state != RecordState::kOk) {
        p.dialogs.MessageBox(RecordProblemText(state, folder), brand.box_title, kMbOk | kMbIconExclamation);
        return 1;
    }
    const UninstallPlan plan = PlanUninstall(record, folder, p, m, self_removable);
    const UninstallOutcome outcome = RunUninstall(plan, brand, p, m);
    p.dialogs.MessageBox(FinishedText(record, plan, outcome), brand.box_title,
                         kMbOk | (outcome.cancelled ? kMbIconExclamation : kMbIconInformation));
    return outcome.cancelled ? 1 : 0;
}

// The copy in the temporary folder is removed with its folder when Windows next starts.
void RemoveAtRestart() {
    const std::wstring self = win::ModuleFileName();
    ::MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    const size_t slash = self.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        ::MoveFileExW(self.substr(0, slash).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a DLL by name: never from the folder of the program.
    win::HardenDllSearch();
    win::WinFileSystem fs;
    win::WinRegistry reg;
    win::WinShell shell(nullptr);
    BoxDialogs dialogs;
    win::WinResources resources;
    win::WinUninstallMachine extra;
    Platform p{fs, reg, shell, dialogs, resources};
    const UninstallBrand brand = LoadUninstallBrand(p.resources);

    const Arguments args = ReadArguments();
    if (args.run) {
        if (win::UniqueHandle starter{::OpenProcess(SYNCHRONIZE, FALSE, args.starter)})
            ::WaitForSingleObject(starter.get(), kStarterWaitMs);
        const int code = Uninstall(p, extra, brand, args.folder, true);
        RemoveAtRestart();
        return code;
    }

    const std::string folder = OwnFolder(p.fs);
    SetupConfig record;
    const RecordState state = ReadInstallRecord(p, extra, folder, record);
    if (state != RecordState::kOk) {
        p.dialogs.MessageBox(RecordProblemText(state, folder), brand.box_title, kMbOk | kMbIconExclamation);
        return 1;
    }
    if (p.dialogs.MessageBox(ConfirmText(record), brand.box_title, kMbYesNo | kMbIconQuestion) != kIdYes) return 0;
    if (StartCopy(p, extra, folder)) return 0;
    return Uninstall(p, extra, brand, folder, false);
}
