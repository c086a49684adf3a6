// A window showing every skinned control: radio and check groups in each built-in style and
// from a skin file, disabled ones, the five-item two-column layout, the browse image button
// beside an edit box, and the wizard's two link labels. For screenshots and manual checks.
// Closes with the window. Optional argument: a folder to write the skin file into (default:
// the temporary folder). When the environment variable SKIN_GALLERY_INFO names a file, the
// screen rectangles of the browse button and the two links are written there once the window
// is shown ("name left top width height" per line), for scripts that point at them.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/skin/group_win.h"
#include "controls/skin/image_button_win.h"
#include "controls/skin/skin_file.h"
#include "controls/skin/url_label_win.h"
#include "win/text.h"
#include "wizard/links_win.h"

namespace {

using namespace setup;
using namespace setup::skin;
using namespace setup::skin::win;

struct Gallery {
    std::vector<std::unique_ptr<CheckGroup>> groups;
    std::unique_ptr<ImageButton> browse;
    std::unique_ptr<UrlLabel> license, site;
    Win32SkinFileHost host;
    std::unique_ptr<TsuiFileTheme> theme;
    HWND edit = nullptr;
};

// A skin of its own: red frame and caption, the MacOS radio glyphs and a six-frame check strip.
std::string WriteDemoSkin(const std::wstring& folder) {
    SkinData skin;
    skin.colors[kSkinColorControlBorder] = Rgb(200, 30, 30);
    skin.colors[kSkinColorControlFont] = Rgb(160, 0, 0);
    skin.bitmaps[kSkinBitmapRadioButton] = setup::win::ui::LoadBitmapResource("MACOS_RADIOBUTTON");
    const Image four = setup::win::ui::LoadBitmapResource("PROTEIN_CHECKBOX");
    Image six(four.width / 4 * 6, four.height);
    const int fw = four.width / 4;
    const int order[6] = {1, 1, 2, 3, 4, 4};  // checked, -, unchecked, checked disabled, -, unchecked disabled
    for (int f = 0; f < 6; ++f) {
        Image frame;
        ExtractStripFrame(four, &frame, 4, order[f]);
        DrawImage(six, frame, f * fw, 0);
    }
    skin.bitmaps[kSkinBitmapCheckBox] = six;
    const auto bytes = WriteSkinFile(skin, "gallery");
    const std::wstring path = folder + L"\\gallery.skn";
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return setup::win::Gbk(path);
}

void Build(HWND w, Gallery& g, const std::wstring& skin_folder) {
    const TsuiUIStyle styles[] = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein,
                                  TsuiUIStyle::BlueGlass};
    const FontSpec font{.name = "微软雅黑", .height = 12, .charset = kDefaultCharset};
    for (int i = 0; i < 5; ++i) {
        const std::string name(UIStyleName(styles[i]));
        auto r = RadioGroup::Create(w, 10 + i * 172, 10, 165, 110);
        r->SetFont(font);
        r->SetItems({"典型安装", "最小安装", "自定义"});
        r->SetUIStyle(styles[i]);
        r->SetCaption(name + " 单选");
        r->SetItemIndex(i % 3);
        g.groups.push_back(std::move(r));
        auto c = CheckGroup::Create(w, 10 + i * 172, 130, 165, 110);
        c->SetFont(font);
        c->SetItems({"桌面快捷方式", "开始菜单", "查看使用教程"});
        c->SetUIStyle(styles[i]);
        c->SetCaption(name + " 复选");
        c->SetChecked(0, true);
        c->SetChecked(2, true);
        g.groups.push_back(std::move(c));
    }

    auto disabled_radio = RadioGroup::Create(w, 10, 250, 165, 110);
    disabled_radio->SetFont(font);
    disabled_radio->SetItems({"已选 (禁用)", "未选 (禁用)"});
    disabled_radio->SetItemIndex(0);
    disabled_radio->SetCaption("DeepBlue 禁用");
    disabled_radio->SetEnabled(false);
    g.groups.push_back(std::move(disabled_radio));
    auto disabled_check = CheckGroup::Create(w, 182, 250, 165, 110);
    disabled_check->SetFont(font);
    disabled_check->SetItems({"已选 (禁用)", "未选 (禁用)"});
    disabled_check->SetChecked(0, true);
    disabled_check->SetCaption("DeepBlue 禁用");
    disabled_check->SetEnabled(false);
    g.groups.push_back(std::move(disabled_check));

    g.theme = std::make_unique<TsuiFileTheme>(g.host);
    g.theme->SetPassword("gallery");
    g.theme->SetThemeFile(WriteDemoSkin(skin_folder));
    auto file_radio = RadioGroup::Create(w, 354, 250, 165, 110);
    file_radio->SetFont(font);
    file_radio->SetItems({"皮肤文件", "FromThemeFile"});
    file_radio->SetFileTheme(g.theme.get());
    file_radio->SetUIStyle(TsuiUIStyle::FromThemeFile);
    file_radio->SetCaption(g.theme->Ready() ? "皮肤文件 单选" : "皮肤文件未就绪");
    file_radio->SetItemIndex(0);
    g.groups.push_back(std::move(file_radio));
    auto file_check = CheckGroup::Create(w, 526, 250, 165, 110);
    file_check->SetFont(font);
    file_check->SetItems({"六帧复选条", "未选"});
    file_check->SetFileTheme(g.theme.get());
    file_check->SetUIStyle(TsuiUIStyle::FromThemeFile);
    file_check->SetCaption("皮肤文件 复选");
    file_check->SetChecked(0, true);
    g.groups.push_back(std::move(file_check));

    auto layout = RadioGroup::Create(w, 10, 380, 185, 105);
    layout->SetFont({.name = "宋体", .height = 12, .charset = kDefaultCharset});
    layout->SetItems({"一", "二", "三", "四", "五"});
    layout->SetColumns(2);
    layout->SetUIStyle(TsuiUIStyle::WinXP);
    layout->SetCaption("五项两列");
    layout->SetItemIndex(3);
    g.groups.push_back(std::move(layout));

    g.edit = CreateWindowExW(0, L"EDIT", L"C:\\Program Files\\ZENTA", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                             210, 400, 385, 23, w, nullptr, GetModuleHandleW(nullptr), nullptr);
    g.browse = ImageButton::Create(w, 596, 399, 39, 25);
    g.browse->SetPicNormal(setup::win::ui::LoadBitmapResource("BROWSE"));
    g.browse->SetPicMouseOn(setup::win::ui::LoadBitmapResource("BROWSE_HOT"));
    g.browse->SetHandCursor();
    g.browse->on_click = [&g] { SetWindowTextW(g.edit, L"D:\\ZENTA"); };

    g.license = CreateLicenseLink(w);
    SetWindowPos(g.license->hwnd(), nullptr, 210, 440, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    g.site = CreateSiteLink(w);
    SetWindowPos(g.site->hwnd(), nullptr, 420, 440, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // As the wizard's controller does at start-up.
    g.license->SetFontLinkColor(kUrlGray);
    g.site->SetFontLinkColor(kUrlGray);
}

void WriteInfo(const Gallery& g) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"SKIN_GALLERY_INFO", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::string text;
    auto line = [&text](const char* name, HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        text += std::string(name) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
    };
    line("browse", g.browse->hwnd());
    line("license", g.license->hwnd());
    line("site", g.site->hwnd());
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmd, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"SkinGallery";
    RegisterClassW(&wc);
    RECT r{0, 0, 880, 500};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND w = CreateWindowExW(0, L"SkinGallery", L"Skin gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    std::wstring folder = cmd && *cmd ? std::wstring(cmd) : std::wstring();
    if (folder.empty()) {
        wchar_t tmp[MAX_PATH];
        const DWORD n = GetTempPathW(MAX_PATH, tmp);
        folder.assign(tmp, n > 0 && tmp[n - 1] == L'\\' ? n - 1 : n);
    }
    Gallery gallery;
    Build(w, gallery, folder);
    ShowWindow(w, show);
    UpdateWindow(w);
    WriteInfo(gallery);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (setup::win::ui::RouteFormKeys(w, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
