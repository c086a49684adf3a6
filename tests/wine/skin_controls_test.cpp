// The skinned controls in real windows under Wine: the browse button's pictures under the
// pointer and its click, the link label's colours and what it hands to the shell, the group
// layout and its clicks, and the keys routed to skinned buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/skin/group_win.h"
#include "controls/skin/image_button_win.h"
#include "controls/skin/url_label_win.h"
#include "wizard/links_win.h"

namespace setup::skin::win {
namespace {

// ---- helpers ------------------------------------------------------------------------------

HWND g_form = nullptr;

void Pump(int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (setup::win::ui::RouteFormKeys(g_form, msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

// Waits (pumping) until pred holds or about two seconds have passed.
template <typename Pred>
bool PumpUntil(Pred pred) {
    for (int i = 0; i < 100 && !pred(); ++i) Pump(20);
    return pred();
}

void SendMouse(DWORD flags, int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &in, sizeof in);
}

// Moves the real pointer to a point of a window's client area.
void PointerTo(HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    SetCursorPos(p.x, p.y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Pump(150);
}

void LeftClickHere() {
    POINT p;
    GetCursorPos(&p);
    SendMouse(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Pump(60);
    SendMouse(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Pump(150);
}

// What the control paints, through WM_PRINTCLIENT into an off-screen surface.
Image Render(HWND h) {
    RECT c{};
    GetClientRect(h, &c);
    Dib s(c.right, c.bottom);
    SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    return GetImage(s);
}

bool SameRegion(const Image& shown, const Image& picture) {
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if ((shown.at(x, y) & 0xFFFFFF) != (picture.at(x, y) & 0xFFFFFF)) return false;
    return true;
}

int CountColor(const Image& img, Color c) {
    int n = 0;
    for (uint32_t px : img.pixels) n += FromPixel(px) == c;
    return n;
}

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, msg, wp, lp); }

class SkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = FormProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = L"SkinTestForm";
        RegisterClassW(&wc);
        form_ = CreateWindowExW(WS_EX_TOPMOST, L"SkinTestForm", L"skin test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 660, 480, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(form_, nullptr);
        g_form = form_;
        SetForegroundWindow(form_);
        Pump(100);
    }
    void TearDown() override {
        DestroyWindow(form_);
        g_form = nullptr;
        PointerTo(GetDesktopWindow(), 900, 700);
    }
    HWND form_ = nullptr;
};

// ---- image button -------------------------------------------------------------------------

TEST_F(SkinWindowTest, BrowseButtonShowsItsHoverPictureUnderThePointerAndClicks) {
    auto b = ImageButton::Create(form_, 562, 205, 39, 25);
    ASSERT_NE(b, nullptr);
    const Image normal = setup::win::ui::LoadBitmapResource("BROWSE");
    const Image hot = setup::win::ui::LoadBitmapResource("BROWSE_HOT");
    ASSERT_EQ(std::pair(normal.width, normal.height), std::pair(24, 21));
    ASSERT_EQ(std::pair(hot.width, hot.height), std::pair(24, 21));
    b->SetPicNormal(normal);
    b->SetPicMouseOn(hot);
    b->SetHandCursor();
    int clicks = 0;
    b->on_click = [&] { ++clicks; };
    EXPECT_EQ(b->UIStyle(), TsuiUIStyle::FromThemeFile);

    Image shown = Render(b->hwnd());
    EXPECT_TRUE(SameRegion(shown, normal));
    EXPECT_EQ(FromPixel(shown.at(30, 22)), ::GetSysColor(COLOR_WINDOW));  // uncovered: the page

    PointerTo(b->hwnd(), 10, 10);
    ASSERT_TRUE(PumpUntil([&] { return b->MouseOver(); }));
    EXPECT_EQ(b->ShownPicture(), ButtonPicture::kMouseOn);
    EXPECT_TRUE(SameRegion(Render(b->hwnd()), hot));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));

    LeftClickHere();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), b->hwnd());
    // Pressed falls back to the normal picture (no PicMouseDown).
    EXPECT_TRUE(SameRegion(Render(b->hwnd()), hot));

    PointerTo(form_, 300, 400);
    ASSERT_TRUE(PumpUntil([&] { return !b->MouseOver(); }));
    EXPECT_TRUE(SameRegion(Render(b->hwnd()), normal));
    // Focus without DrawFocused: no dotted rectangle, the picture is untouched.
    EXPECT_EQ(Render(b->hwnd()), shown);
}

TEST_F(SkinWindowTest, ReleaseOutsideTheButtonGivesNoClickAndEndsTheRepeat) {
    auto b = ImageButton::Create(form_, 100, 100, 39, 25);
    b->SetPicNormal(setup::win::ui::LoadBitmapResource("BROWSE"));
    int clicks = 0, repeats = 0;
    b->on_click = [&] { ++clicks; };
    b->on_mouse_continuously_down = [&] { ++repeats; };
    PointerTo(b->hwnd(), 5, 5);
    POINT p;
    GetCursorPos(&p);
    SendMouse(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Pump(60);
    EXPECT_TRUE(b->Pressed());
    EXPECT_TRUE(PumpUntil([&] { return repeats >= 2; }));  // ticks every 100 ms while held
    PointerTo(form_, 400, 300);
    EXPECT_FALSE(b->Pressed());
    GetCursorPos(&p);
    SendMouse(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE, p.x, p.y);
    Pump(100);
    const int after_release = repeats;
    Pump(350);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(repeats, after_release);
    EXPECT_FALSE(b->MouseOver());
}

TEST_F(SkinWindowTest, DefaultCancelAndAcceleratorKeysReachTheButtons) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 23, form_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    auto ok = ImageButton::Create(form_, 300, 10, 60, 25);
    auto cancel = ImageButton::Create(form_, 370, 10, 60, 25);
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    std::vector<std::string> log;
    ok->on_click = [&] { log.push_back("ok"); };
    cancel->on_click = [&] { log.push_back("cancel"); };
    int modal = -1;
    cancel->SetModalResult(2);
    cancel->on_modal_result = [&](int32_t r) { modal = r; };
    SetFocus(edit);
    auto post = [&](UINT msg, WPARAM wp) {  // as the keyboard would: to the focused window
        PostMessageW(GetFocus(), msg, wp, 0);
        Pump(50);
    };
    post(WM_KEYDOWN, VK_RETURN);
    post(WM_KEYDOWN, VK_ESCAPE);
    post(WM_CHAR, 'o');      // a letter typed into the edit box is text
    post(WM_SYSCHAR, 'o');   // Alt+O is the accelerator
    EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel", "ok"}));
    EXPECT_EQ(modal, 2);
    // A focused skinned button takes Enter itself: it presses on key down, clicks on key up.
    SetFocus(cancel->hwnd());
    post(WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(cancel->Pressed());
    post(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(log.back(), "cancel");
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(SkinWindowTest, TransparentButtonShowsTheParentWhereThePictureHasItsTopLeftColour) {
    // A page with a background of its own colour.
    static HBRUSH page_brush = CreateSolidBrush(RGB(10, 120, 30));
    WNDCLASSW wc{};
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = page_brush;
    wc.lpszClassName = L"SkinTestPage";
    RegisterClassW(&wc);
    HWND page = CreateWindowExW(0, L"SkinTestPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, form_, nullptr,
                                wc.hInstance, nullptr);
    auto b = ImageButton::Create(page, 40, 30, 39, 25);
    Image pic(24, 21, ToPixel(Rgb(255, 0, 255)));  // keyed colour everywhere ...
    for (int x = 4; x < 20; ++x) pic.at(x, 10) = ToPixel(Rgb(0, 0, 200));  // ... but one line
    b->SetPicNormal(pic);
    b->SetColor(Rgb(250, 250, 250));
    Image shown = Render(b->hwnd());
    EXPECT_EQ(FromPixel(shown.at(0, 0)), Rgb(255, 0, 255));   // opaque: drawn as it is
    EXPECT_EQ(FromPixel(shown.at(30, 22)), Rgb(250, 250, 250));  // Color beside the picture
    b->SetTransparent(true);
    shown = Render(b->hwnd());
    EXPECT_EQ(FromPixel(shown.at(0, 0)), Rgb(10, 120, 30));
    EXPECT_EQ(FromPixel(shown.at(30, 22)), Rgb(10, 120, 30));
    EXPECT_EQ(FromPixel(shown.at(5, 10)), Rgb(0, 0, 200));
    DestroyWindow(page);
}

TEST_F(SkinWindowTest, FocusRectangleOnlyWithDrawFocusedAndDisabledCaptionInGrey) {
    auto b = ImageButton::Create(form_, 100, 100, 60, 30);
    b->SetColor(Rgb(255, 255, 255));
    b->SetFocusedRectMargin(3);
    SetFocus(b->hwnd());
    Pump(50);
    const Image plain = Render(b->hwnd());
    b->SetDrawFocused(true);
    const Image focused = Render(b->hwnd());
    EXPECT_EQ(FromPixel(plain.at(10, 3)), Rgb(255, 255, 255));
    int dotted = 0;
    for (int x = 3; x < 57; ++x) dotted += FromPixel(focused.at(x, 3)) != Rgb(255, 255, 255);
    EXPECT_GT(dotted, 10);  // a dotted line along the margin
    b->SetTabStop(false);
    EXPECT_EQ(Render(b->hwnd()), plain);

    b->SetCaption("Go");
    b->SetFont({.name = "Arial", .height = 16, .bold = true, .charset = kDefaultCharset});
    EXPECT_EQ(CountColor(Render(b->hwnd()), Rgb(128, 128, 128)), 0);
    b->SetEnabled(false);
    const Image disabled = Render(b->hwnd());
    EXPECT_GT(CountColor(disabled, Rgb(128, 128, 128)), 5);
}

// ---- link labels --------------------------------------------------------------------------

struct RecordingShell : Shell {
    std::vector<std::string> opened;
    LinkResult CreateShellLink(const std::string&, const ShellLinkFields&) override { return LinkResult::kOk; }
    void Execute(const std::string& verb, const std::string& file, const std::string& params, const std::string& dir,
                 int show, bool owner) override {
        opened.push_back(verb + "|" + file + "|" + params + "|" + dir + "|" + std::to_string(show) + "|" +
                         (owner ? "owner" : "none"));
    }
    bool StartProcess(const ProcessStart&) override { return false; }
    std::optional<uint32_t> ConnectedState() override { return std::nullopt; }
    std::vector<ProcessEntry> ListProcesses() override { return {}; }
    void TerminateProcess(uint32_t) override {}
    void Sleep(uint32_t) override {}
    uint64_t Milliseconds() override { return 0; }
};

TEST_F(SkinWindowTest, LinkTurnsOrangeUnderThePointerAndGreyAgainWhenItLeaves) {
    auto link = CreateLicenseLink(form_);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Caption(), "“软件许可协议”");
    EXPECT_EQ(link->URL(), std::string(kSkinSiteRoot) + "license.html");
    EXPECT_EQ(link->FontColor(), kUrlLinkBlue);  // the stored font's blue, until the controller
    link->SetFontLinkColor(kUrlGray);
    EXPECT_GT(CountColor(Render(link->hwnd()), Rgb(128, 128, 128)), 10);  // the grey underline

    PointerTo(link->hwnd(), 5, 5);
    ASSERT_TRUE(PumpUntil([&] { return link->FontColor() == kUrlHoverOrange; }));
    const Image hover = Render(link->hwnd());
    EXPECT_GT(CountColor(hover, Rgb(255, 153, 0)), 10);
    EXPECT_EQ(CountColor(hover, Rgb(128, 128, 128)), 0);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));

    PointerTo(form_, 20, 450);
    ASSERT_TRUE(PumpUntil([&] { return link->FontColor() == kUrlGray; }));
    EXPECT_EQ(CountColor(Render(link->hwnd()), Rgb(255, 153, 0)), 0);
}

TEST_F(SkinWindowTest, ClickHandsTheStoredAddressToTheShellThenRunsOnClick) {
    auto link = CreateSiteLink(form_);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Caption(), "www.zenta.example");
    RECT r{};
    GetWindowRect(link->hwnd(), &r);
    MapWindowPoints(HWND_DESKTOP, form_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.right, 617);  // grown to the left to fit the domain
    EXPECT_EQ(r.top, 0);
    RecordingShell shell;
    link->SetShell(&shell);
    std::vector<std::string> order;
    link->on_click = [&] { order.push_back("OnClick after " + std::to_string(shell.opened.size())); };
    PointerTo(link->hwnd(), 4, 4);
    LeftClickHere();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "open|https://www.zenta.example/|||5|none");
    EXPECT_EQ(order, (std::vector<std::string>{"OnClick after 1"}));
    link->SetURL("  ");
    link->Click();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(order.size(), 2u);
}

// The real path: ShellExecute "open" on the address starts the registered handler of http.
class UrlProtocolTest : public SkinWindowTest {
protected:
    static std::wstring ReadCommand(const wchar_t* key) {
        wchar_t buf[1024];
        DWORD size = sizeof buf;
        if (RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
            return {};
        return buf;
    }
    static void WriteCommand(const wchar_t* key, const std::wstring& value) {
        HKEY k;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
    }
    void SetUp() override {
        SkinWindowTest::SetUp();
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring folder(exe);
        folder.erase(folder.find_last_of(L'\\') + 1);
        handler_ = folder + L"skin_url_handler.exe";
        log_ = folder + L"skin_url_handler.log";
        DeleteFileW(log_.c_str());
        SetEnvironmentVariableW(L"SKIN_URL_LOG", log_.c_str());
        for (const wchar_t* key : kKeys) saved_.push_back(ReadCommand(key));
        for (const wchar_t* key : kKeys) WriteCommand(key, L"\"" + handler_ + L"\" \"%1\"");
    }
    void TearDown() override {
        for (size_t i = 0; i < saved_.size(); ++i) WriteCommand(kKeys[i], saved_[i]);
        DeleteFileW(log_.c_str());
        SkinWindowTest::TearDown();
    }
    std::string Log() const {
        std::string text;
        HANDLE f = CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return text;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
        CloseHandle(f);
        return text;
    }
    static constexpr const wchar_t* kKeys[] = {L"http\\shell\\open\\command", L"https\\shell\\open\\command"};
    std::wstring handler_, log_;
    std::vector<std::wstring> saved_;
};

TEST_F(UrlProtocolTest, ClickOpensTheAddressWithTheRegisteredBrowser) {
    ASSERT_NE(GetFileAttributesW(handler_.c_str()), INVALID_FILE_ATTRIBUTES) << "build skin_url_handler.exe";
    auto link = CreateLicenseLink(form_);
    PointerTo(link->hwnd(), 4, 4);
    LeftClickHere();
    ASSERT_TRUE(PumpUntil([&] { return !Log().empty(); })) << "the handler was not started";
    EXPECT_NE(Log().find("https://www.zenta.example/license.html"), std::string::npos) << Log();
}

// ---- groups -------------------------------------------------------------------------------

TEST_F(SkinWindowTest, RadioGroupLaysOutFiveItemsInTwoColumnsAndSelectsByClick) {
    auto g = RadioGroup::Create(form_, 20, 20, 185, 105);
    g->SetFont({.name = "宋体", .height = 12, .charset = kDefaultCharset});
    g->SetTopMargin(8);
    g->SetItems({"a", "b", "c", "d", "e"});
    g->SetColumns(2);
    const POINT want[] = {{8, 21}, {8, 48}, {8, 75}, {95, 21}, {95, 48}};
    ASSERT_EQ(g->ItemCount(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const RECT r = g->ItemRect(i);
        EXPECT_EQ(r.left, want[i].x) << i;
        EXPECT_EQ(r.top, want[i].y) << i;
    }
    int clicks = 0;
    g->on_click = [&] { ++clicks; };
    const RECT r3 = g->ItemRect(3);
    PointerTo(g->hwnd(), r3.left + 5, r3.top + 5);
    LeftClickHere();
    EXPECT_EQ(g->ItemIndex(), 3);
    EXPECT_EQ(clicks, 1);
    LeftClickHere();  // the selected line again: no OnClick
    EXPECT_EQ(clicks, 1);
    PointerTo(g->hwnd(), 150, 95);  // the group's own surface
    LeftClickHere();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(g->ItemIndex(), 3);

    g->SetColumns(0);  // one column, no fault
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(g->ItemRect(i).left, 8);
    g->SetItems({});
    EXPECT_EQ(g->ItemCount(), 0u);
    EXPECT_EQ(g->ItemIndex(), -1);
}

TEST_F(SkinWindowTest, GroupColoursFollowTheStyleAndTheFrameIsDrawnInThem) {
    auto g = CheckGroup::Create(form_, 20, 200, 185, 105);
    g->SetFont({.name = "宋体", .height = 12, .charset = kDefaultCharset});
    g->SetItems({"x", "y"});
    g->SetUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(g->BorderColor(), Rgb(104, 104, 104));
    EXPECT_EQ(g->FontColor(), Rgb(2, 70, 207));
    Image frame = Render(g->hwnd());
    EXPECT_EQ(FromPixel(frame.at(0, 50)), Rgb(104, 104, 104));      // left edge
    EXPECT_EQ(FromPixel(frame.at(100, 104)), Rgb(104, 104, 104));   // bottom edge
    EXPECT_EQ(FromPixel(frame.at(100, 7)), Rgb(104, 104, 104));     // top edge at font height / 2 + 1
    g->SetUIStyle(TsuiUIStyle::BlueGlass);
    EXPECT_EQ(g->BorderColor(), 0u);
    EXPECT_EQ(FromPixel(Render(g->hwnd()).at(0, 50)), Rgb(0, 0, 0));
    g->SetBorderColor(Rgb(0, 128, 0));  // set after the style: it wins
    EXPECT_EQ(FromPixel(Render(g->hwnd()).at(0, 50)), Rgb(0, 128, 0));

    // A check item shows the strip's checked frame after a click.
    auto* item = g->Item(0);
    ASSERT_NE(item, nullptr);
    const Image before = item->Glyph();
    const RECT r = g->ItemRect(0);
    PointerTo(g->hwnd(), r.left + 3, r.top + 3);
    LeftClickHere();
    EXPECT_TRUE(g->Checked(0));
    EXPECT_NE(item->Glyph(), before);
    Image checked;
    LoadBuiltInThemeFrame(ProgramBitmaps(), TsuiUIStyle::BlueGlass, ThemeItemCheckBoxStrip, &checked, 1, 4);
    EXPECT_EQ(item->Glyph(), checked);
}

}  // namespace
}  // namespace setup::skin::win
