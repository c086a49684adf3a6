// TMainForm on the real window layer: the window's frame and size, the captions from the
// record, the controls the controller drives, and the close box.
#include "win/platform_win.h"  // first: <windows.h> without its A/W renaming macros

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "package/packed_resource.h"
#include "package/payload.h"
#include "tests/wine/ui_test_support.h"
#include "tests/wine/win_test_util.h"
#include "win/application.h"
#include "win/text.h"
#include "wizard/main_form_win.h"

namespace setup::testing {
namespace {

// A package held in memory, for a product whose keys nothing else uses.
class PackageResources : public Resources {
public:
    PackageResources() {
        SetupConfig c;
        c.SetText(TextField::ProductName, "ZENTA-KOV");
        c.SetText(TextField::FolderName, "ZENTA-KOV");
        c.SetText(TextField::Company, kCompany);
        c.SetText(TextField::Version, "V29.5");
        c.SetText(TextField::ReleaseDate, "20240711");
        const std::vector<uint8_t> payload = {1, 2, 3};
        c.SetPackSum(ByteSum(payload));
        items_["SETUPINI"] = Pack(c.Bytes());
        items_["SETUPPACK"] = Pack(payload);
    }
    std::span<const uint8_t> Find(const std::string& name) override {
        auto it = items_.find(name);
        if (it == items_.end()) throw Error("Resource " + name + " not found");
        return it->second;
    }
    static constexpr const char* kCompany = "ZsWizardFormTest";

private:
    std::map<std::string, std::vector<uint8_t>> items_;
};

// Answers instead of a user; records what was asked.
class ScriptedDialogs : public Dialogs {
public:
    std::vector<std::string> asked;
    std::deque<bool> confirm_answers;
    int MessageBox(const std::string& text, const std::string&, unsigned) override {
        asked.push_back(text);
        return kIdYes;
    }
    bool Confirm(const std::string& text) override {
        asked.push_back(text);
        bool answer = confirm_answers.empty() ? false : confirm_answers.front();
        if (!confirm_answers.empty()) confirm_answers.pop_front();
        return answer;
    }
    void ShowError(const std::string& text) override { asked.push_back("error " + text); }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

class NoEngine : public WizardEngine {
public:
    void EndHelperPrograms() override {}
    void RunInstallation() override {}
    void Finish(const FinishChoices&) override {}
    void ShowAuthorWebSite() override {}
};

struct ChildSearch {
    const wchar_t *cls, *text;
    HWND found;
};

// A named function: a lambda does not convert to the stdcall WNDENUMPROC of 32-bit builds.
BOOL CALLBACK MatchChild(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    wchar_t cls[64] = {}, text[256] = {};
    ::GetClassNameW(w, cls, 64);
    ::GetWindowTextW(w, text, 256);
    if (wcscmp(cls, s->cls) == 0 && (!s->text || wcscmp(text, s->text) == 0)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const wchar_t* class_name, const wchar_t* text) {
    ChildSearch search{class_name, text, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND button) {
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
}

struct FormRig {
    win::Application app;
    win::WinFileSystem fs;
    win::WinRegistry reg;
    win::WinShell shell{&app};
    ScriptedDialogs dialogs;
    PackageResources resources;
    MainForm form{app, Platform{fs, reg, shell, dialogs, resources}, std::make_unique<NoEngine>()};

    FormRig() {
        app.SetMainWindow(form.hwnd());
        form.Create();
        ::ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
        Pump();
    }
    ~FormRig() {
        ::DestroyWindow(form.hwnd());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\ZsWizardFormTest");
    }
    HWND Button(const wchar_t* caption) { return FindChild(form.hwnd(), L"THSButton", caption); }
    // Welcome, agree, a new folder under `dir`, Next: the ready page.
    void WalkToReady(const TempDir& dir) {
        Click(Button(L"下一步"));
        Click(Button(L"同意"));
        ::SetWindowTextW(FindChild(form.hwnd(), L"Edit", nullptr), (dir / L"App").c_str());
        Click(Button(L"下一步"));
    }
};

TEST(WizardForm, FixedFrameClientSizeAndCaption) {
    FormRig r;
    HWND w = r.form.hwnd();
    RECT client;
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, 642);
    EXPECT_EQ(client.bottom, 490);
    const LONG style = ::GetWindowLongW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    wchar_t caption[64] = {};
    ::GetWindowTextW(w, caption, 64);
    EXPECT_STREQ(caption, L"ZENTA-KOV安装向导");
    EXPECT_EQ(r.app.Title(), win::Gbk(L"ZENTA-KOV 安装向导"));
    // Centred on the work area.
    RECT outer, work;
    ::GetWindowRect(w, &outer);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1);
    // Owned by the application window, which carries the task-bar button.
    EXPECT_EQ(::GetWindow(w, GW_OWNER), r.app.window());
}

TEST(WizardForm, BottomPanelIsOrangeAndThePageWhite) {
    FormRig r;
    Snapshot s(r.form.hwnd(), 642, 490);
    HWND panel = nullptr;
    for (HWND c = ::GetWindow(r.form.hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT rc;
        ::GetWindowRect(c, &rc);
        ::MapWindowPoints(nullptr, r.form.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        if (rc.top == 440 && rc.left == 0) panel = c;
    }
    ASSERT_NE(panel, nullptr);
    Snapshot p(panel, 641, 49);
    EXPECT_EQ(p.Pixel(300, 30), 0xFF9900u);
    EXPECT_EQ(s.Pixel(300, 30), Rgb(::GetSysColor(COLOR_WINDOW)));
}

TEST(WizardForm, ButtonsMoveThroughThePages) {
    FormRig r;
    Wizard& w = r.form.Controller();
    ASSERT_NE(r.Button(L"下一步"), nullptr);
    EXPECT_FALSE(::IsWindowVisible(r.Button(L"上一步")));
    EXPECT_FALSE(::IsWindowVisible(r.Button(L"同意")));
    Click(r.Button(L"下一步"));
    EXPECT_EQ(w.ActivePage(), kPageLicence);
    EXPECT_TRUE(::IsWindowVisible(r.Button(L"同意")));
    EXPECT_TRUE(::IsWindowVisible(r.Button(L"上一步")));
    // Agree is the window hit at Next's place.
    RECT next;
    ::GetWindowRect(r.Button(L"下一步"), &next);
    EXPECT_EQ(::WindowFromPoint(POINT{next.left + 5, next.top + 5}), r.Button(L"同意"));
    Click(r.Button(L"同意"));
    EXPECT_EQ(w.ActivePage(), kPageFolder);

    // The folder box shows the start-up folder; a typed one is created on Next.
    HWND edit = FindChild(r.form.hwnd(), L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    wchar_t text[MAX_PATH] = {};
    ::GetWindowTextW(edit, text, MAX_PATH);
    EXPECT_TRUE(std::wstring(text) == L"C:\\ZENTA-KOV" || std::wstring(text) == L"D:\\ZENTA-KOV");
    TempDir dir;
    const std::wstring target = dir / L"新建 文件夹\\子";
    ::SetWindowTextW(edit, (L"  " + target + L" ").c_str());
    Click(r.Button(L"下一步"));
    EXPECT_EQ(w.ActivePage(), kPageReady);
    EXPECT_TRUE(PathExists(target));
    EXPECT_EQ(w.State().Config.Folder(), win::Gbk(target));

    Click(r.Button(L"上一步"));
    EXPECT_EQ(w.ActivePage(), kPageFolder);
    ::GetWindowTextW(edit, text, MAX_PATH);
    EXPECT_EQ(std::wstring(text), target);
    EXPECT_TRUE(r.dialogs.asked.empty());
}

TEST(WizardForm, FinishedPageRelabelsCancelAndChecksBothBoxes) {
    FormRig r;
    TempDir dir;
    r.WalkToReady(dir);
    Click(r.Button(L"下一步"));
    EXPECT_EQ(r.form.Controller().ActivePage(), kPageFinished);
    HWND finish = r.Button(L"完成");
    ASSERT_NE(finish, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(finish));
    EXPECT_FALSE(::IsWindowVisible(r.Button(L"下一步")));
    HWND start = FindChild(r.form.hwnd(), L"Button", L"启动 ZENTA-KOV");
    HWND tutorial = FindChild(r.form.hwnd(), L"Button", L"查看使用教程");
    ASSERT_NE(start, nullptr);
    ASSERT_NE(tutorial, nullptr);
    EXPECT_EQ(::SendMessageW(start, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(tutorial, BM_GETCHECK, 0, 0), BST_CHECKED);
    // The close box is refused here.
    ::SendMessageW(r.form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(r.app.Terminated());
    EXPECT_TRUE(r.dialogs.asked.empty());
}

TEST(WizardForm, FocusLeavesButtonsThatDisappear) {
    FormRig r;
    TempDir dir;
    r.WalkToReady(dir);
    ASSERT_EQ(r.form.Controller().ActivePage(), kPageReady);
    ::SetFocus(r.Button(L"下一步"));
    ASSERT_EQ(::GetFocus(), r.Button(L"下一步"));
    Click(r.Button(L"下一步"));  // the copying page hides Next, the finished page keeps it hidden
    // Not left on a hidden or disabled button, nor on a container that takes no keys.
    HWND focus = ::GetFocus();
    EXPECT_NE(focus, r.Button(L"下一步"));
    EXPECT_TRUE(focus == r.form.hwnd() ||
                (::IsWindowVisible(focus) && (::GetWindowLongW(focus, GWL_STYLE) & WS_TABSTOP)));
}

TEST(WizardForm, KeyboardCannotReachTheNextBeneathAgree) {
    FormRig r;
    HWND next = r.Button(L"下一步"), agree = r.Button(L"同意");
    ::SetFocus(next);
    ::SendMessageW(next, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(next, WM_KEYUP, VK_RETURN, 0);
    Pump();
    ASSERT_EQ(r.form.Controller().ActivePage(), kPageLicence);
    // Agree now covers Next: the focus is on Agree and Tab skips Next.
    EXPECT_EQ(::GetFocus(), agree);
    EXPECT_FALSE(::GetWindowLongW(next, GWL_STYLE) & WS_TABSTOP);
    ::SendMessageW(agree, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(agree, WM_KEYUP, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(r.form.Controller().ActivePage(), kPageFolder);
    // Agree is out of view for good: Next is a tab stop again and has the focus.
    EXPECT_TRUE(::GetWindowLongW(next, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(::GetFocus(), next);
}

TEST(WizardForm, CloseBoxAsksAndOnlyYesEnds) {
    FormRig r;
    r.dialogs.confirm_answers = {false, true};
    ::SendMessageW(r.form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(r.app.Terminated());
    EXPECT_TRUE(::IsWindow(r.form.hwnd()));
    ::SendMessageW(r.form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(r.app.Terminated());
    EXPECT_EQ(r.dialogs.asked.size(), 2u);
}

}  // namespace
}  // namespace setup::testing
