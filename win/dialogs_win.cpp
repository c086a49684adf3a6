// WinDialogs: message boxes, the "Confirm" dialog, the error box and the folder browser.
#include "win/platform_win.h"

#include <shlobj.h>

#include "win/confirm_dialog.h"
#include "win/handles.h"
#include "win/system.h"
#include "win/text.h"

namespace setup::win {

HWND WinDialogs::Owner() const {
    return app_ ? app_->DialogOwner() : ::GetActiveWindow();
}

int WinDialogs::MessageBox(const std::string& text, const std::string& title, unsigned flags) {
    return ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(title).c_str(), flags);
}

bool WinDialogs::Confirm(const std::string& text) {
    return ShowConfirmDialog(Owner(), Wide(text));
}

void WinDialogs::ShowError(const std::string& text) {
    if (app_) {
        app_->ShowErrorBox(text);
        return;
    }
    ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(ExecutableTitle()).c_str(), MB_ICONERROR | MB_OK);
}

std::string WinDialogs::BrowseForFolder(const std::string& title) {
    // The browser's tree is built from shell folders, which need COM on this thread.
    CoInitScope com;
    UniqueCoTaskMem<ITEMIDLIST> root;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, root.put())) || !root) return {};
    std::wstring wtitle = Wide(title);
    wchar_t display_name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = ::GetActiveWindow();
    info.pidlRoot = root.get();
    info.pszDisplayName = display_name;
    info.lpszTitle = wtitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    UniqueCoTaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return {};
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), path)) return {};
    return Gbk(path);
}

}  // namespace setup::win
