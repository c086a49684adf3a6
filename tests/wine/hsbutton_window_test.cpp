// The hot-track button as a real window under Wine: its face read back from the window,
// hover with the real pointer, clicks with real input, the form-level keys through the
// message loop, the fade timer across destruction, and its bitmap resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "controls/hsbutton/hsbutton_win.h"
#include "win/ui/gdi.h"
#include "tests/wine/dialog_watcher.h"
#include "win/application.h"

namespace setup::win {
namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kCream = 12905212;
constexpr Color kDarkGray = 8355711;

LRESULT CALLBACK FormProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(w, m, wp, lp); }

// A top-level test window with a green background, an edit box and the buttons of a test.
class HSButtonWindow : public ::testing::Test {
protected:
    HWND form = nullptr;
    HWND edit = nullptr;
    HBRUSH green = ::CreateSolidBrush(RGB(0, 160, 0));

    void SetUp() override {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = FormProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = green;
        wc.lpszClassName = L"HSButtonTestForm";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        ::UnregisterClassW(wc.lpszClassName, wc.hInstance);
        ASSERT_TRUE(::RegisterClassExW(&wc));
        form = ::CreateWindowExW(0, wc.lpszClassName, L"HSButton test", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 100,
                                 100, 420, 200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(form, nullptr);
        edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 10, 100, 150, 22,
                                 form, nullptr, wc.hInstance, nullptr);
        ::SetForegroundWindow(form);
        ::SetFocus(edit);
        Pump(100);
    }
    void TearDown() override {
        buttons.clear();
        if (form) ::DestroyWindow(form);
        Pump(20);
        ::DeleteObject(green);
    }

    std::vector<std::unique_ptr<HSButton>> buttons;
    HSButton& Add(const char* caption, int x, int y) {
        auto b = std::make_unique<HSButton>();
        ApplyWizardButtonProps(*b);
        b->SetCaption(caption);
        b->Create(form, 100 + static_cast<int>(buttons.size()), x, y, 92, 23);
        const size_t index = buttons.size();
        b->OnClick = [this, index] { ++clicks[index]; };
        buttons.push_back(std::move(b));
        return *buttons.back();
    }
    int clicks[8] = {};

    // Runs the message loop for ms milliseconds the way the wizard's loop does; counts the
    // timer messages that arrive for `watch`.
    int timer_messages = 0;
    HWND watch = nullptr;
    bool dialog_loop = false;  // the wizard's loop: the router, then IsDialogMessage
    void Pump(int ms) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
        do {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && watch && msg.hwnd == watch) ++timer_messages;
                if (form && ui::RouteFormKeys(form, msg)) continue;
                if (dialog_loop && form && ::IsDialogMessageW(form, &msg)) continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::Sleep(5);
        } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
    }
    template <typename Done>
    bool PumpUntil(Done done, int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (done()) return true;
            Pump(20);
        }
        return done();
    }

    // A pixel of what the window shows, read back from its DC after it painted.
    static Color ShownPixel(HWND w, int x, int y) {
        HDC dc = ::GetDC(w);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(w, dc);
        return c;
    }
    // A pixel of the window printed into a bitmap of our own (WM_PRINT, the paint code).
    static Color PrintedPixel(HWND w, int x, int y) {
        RECT rc;
        ::GetClientRect(w, &rc);
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, rc.right, rc.bottom);
        HGDIOBJ old = ::SelectObject(dc, bmp);
        ::PrintWindow(w, dc, PW_CLIENTONLY);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::SelectObject(dc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
        return c;
    }
    static void ExpectFace(HWND w, Color face) {
        for (auto read : {&ShownPixel, &PrintedPixel}) {
            EXPECT_EQ(read(w, 6, 3), face);
            EXPECT_EQ(read(w, 85, 19), face);
            EXPECT_EQ(read(w, 0, 11), kWhite);
            EXPECT_EQ(read(w, 40, 0), kWhite);
            EXPECT_EQ(read(w, 91, 11), kDarkGray);
            EXPECT_EQ(read(w, 40, 22), kDarkGray);
        }
    }

    static void MovePointer(HWND w, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(w, &p);
        ::SetCursorPos(p.x, p.y);
    }
    static void Key(WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ::SendInput(1, &in, sizeof(in));
    }
    static void Tap(WORD vk) {
        Key(vk, false);
        Key(vk, true);
    }
    static void Mouse(DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        ::SendInput(1, &in, sizeof(in));
    }
};

TEST_F(HSButtonWindow, FaceIsWhiteThenCreamUnderThePointerThenWhiteAgain) {
    MovePointer(form, 300, 150);
    HSButton& next = Add("下一步", 200, 20);
    Pump(100);
    ExpectFace(next.hwnd(), kWhite);

    MovePointer(next.hwnd(), 46, 11);
    ASSERT_TRUE(PumpUntil([&] { return next.MouseInside(); }));
    Pump(50);
    ExpectFace(next.hwnd(), kCream);

    MovePointer(form, 300, 150);
    ASSERT_TRUE(PumpUntil([&] { return !next.MouseInside(); }));
    Pump(50);
    ExpectFace(next.hwnd(), kWhite);
}

TEST_F(HSButtonWindow, ReleaseOutsideAfterAPressStillClicks) {
    HSButton& b = Add("OK", 200, 20);
    MovePointer(b.hwnd(), 46, 11);
    ASSERT_TRUE(PumpUntil([&] { return b.MouseInside(); }));
    Mouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return b.Pressed(); }));
    EXPECT_EQ(::GetCapture(), b.hwnd());
    EXPECT_EQ(::GetFocus(), b.hwnd());
    MovePointer(form, 300, 150);
    Pump(100);
    Mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return clicks[0] == 1; }));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(b.Pressed());
}

TEST_F(HSButtonWindow, LosingTheCaptureMidPressDoesNotClick) {
    HSButton& b = Add("OK", 200, 20);
    ::SendMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(b.Pressed());
    ::SetCapture(form);  // someone else takes the mouse
    EXPECT_FALSE(b.Pressed());
    ::ReleaseCapture();
    ::SendMessageW(b.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks[0], 0);
}

TEST_F(HSButtonWindow, EnterOnTheFormClicksTheDefaultButton) {
    HSButton& next = Add("下一步", 200, 20);
    Add("取消", 300, 20);
    next.SetDefault(true);
    ASSERT_EQ(::GetFocus(), edit);
    Tap(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return clicks[0] == 1; }));
    Pump(50);
    EXPECT_EQ(clicks[0], 1);
    EXPECT_EQ(clicks[1], 0);
}

TEST_F(HSButtonWindow, EscapeClicksTheCancelButton) {
    Add("下一步", 200, 20);
    HSButton& cancel = Add("取消", 300, 20);
    cancel.SetCancel(true);
    Tap(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return clicks[1] == 1; }));
    EXPECT_EQ(clicks[0], 0);
}

TEST_F(HSButtonWindow, EnterOnAFocusedButtonClicksThatButtonNotTheDefault) {
    HSButton& next = Add("下一步", 200, 20);
    HSButton& back = Add("上一步", 100, 20);
    next.SetDefault(true);
    back.Focus();
    Pump(20);
    ASSERT_EQ(::GetFocus(), back.hwnd());
    Tap(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return clicks[1] == 1; }));
    Pump(50);
    EXPECT_EQ(clicks[0], 0);
}

TEST_F(HSButtonWindow, SpaceOnTheFocusedButtonClicksOnRelease) {
    HSButton& b = Add("OK", 200, 20);
    b.Focus();
    Pump(20);
    Key(VK_SPACE, false);
    ASSERT_TRUE(PumpUntil([&] { return b.Pressed(); }));
    EXPECT_EQ(clicks[0], 0);
    Key(VK_SPACE, true);
    ASSERT_TRUE(PumpUntil([&] { return clicks[0] == 1; }));
    EXPECT_FALSE(b.Pressed());
}

TEST_F(HSButtonWindow, AltAndTheAccessLetterClicksThatButton) {
    Add("上一步(&B)", 100, 20);
    Add("下一步(&N)", 200, 20);
    Key(VK_MENU, false);
    Tap('N');
    Key(VK_MENU, true);
    ASSERT_TRUE(PumpUntil([&] { return clicks[1] == 1; }));
    Pump(50);
    EXPECT_EQ(clicks[0], 0);
    // A plain letter goes to the edit box, which takes characters.
    Tap('B');
    Pump(100);
    EXPECT_EQ(clicks[0], 0);
    wchar_t text[8] = {};
    ::GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(text, L"b");
}

// The wizard runs IsDialogMessage after the router: Tab moves between the buttons, Enter and
// Space still click the focused one exactly once, Enter elsewhere the Default button.
TEST_F(HSButtonWindow, KeysWorkTheSameUnderIsDialogMessage) {
    dialog_loop = true;
    HSButton& back = Add("上一步", 100, 20);
    HSButton& next = Add("下一步", 200, 20);
    next.SetDefault(true);
    back.Focus();
    Pump(20);
    Tap(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == next.hwnd(); }));
    Tap(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return clicks[1] == 1; }));
    back.Focus();
    Pump(20);
    Tap(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return clicks[0] == 1; }));
    ::SetFocus(edit);
    Pump(20);
    Tap(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return clicks[1] == 2; }));
    Pump(100);
    EXPECT_EQ(clicks[0], 1);
    EXPECT_EQ(clicks[1], 2);
}

TEST_F(HSButtonWindow, ExceptionsFromOnClickGoToTheApplicationsErrorBox) {
    Application app;
    app.SetTitle("HSButton test");
    HSButton& next = Add("下一步", 200, 20);
    next.SetDefault(true);
    int thrown = 0;
    next.OnClick = [&] {
        ++thrown;
        throw Error("boom");
    };
    auto expect_box = [](testing::DialogWatcher& watcher) {
        const testing::DialogSnapshot seen = watcher.Finish();
        ASSERT_EQ(seen.error, "");
        EXPECT_EQ(seen.title, L"HSButton test");
        EXPECT_EQ(seen.Text(), L"boom.");
    };
    {
        testing::DialogWatcher watcher(L"OK");
        Tap(VK_RETURN);  // through the form's key chain
        ASSERT_TRUE(PumpUntil([&] { return thrown == 1; }));
        expect_box(watcher);
    }
    {
        testing::DialogWatcher watcher(L"OK");
        ::SendMessageW(next.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(next.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // through the window procedure
        EXPECT_EQ(thrown, 2);
        expect_box(watcher);
    }
    EXPECT_FALSE(next.Pressed());
}

TEST_F(HSButtonWindow, DestroyedMidFadeLeavesNoTimerFiring) {
    HSButton& b = Add("OK", 200, 20);
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    ::SendMessageW(b.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ASSERT_TRUE(b.FadeTimerRunning());
    ASSERT_TRUE(PumpUntil([&] { return b.FadeStep() >= 2; }));  // the 30 ms ticks arrive
    ASSERT_TRUE(b.FadeTimerRunning());
    watch = b.hwnd();
    buttons.clear();  // mid-fade
    EXPECT_FALSE(::IsWindow(watch));
    timer_messages = 0;
    Pump(200);
    EXPECT_EQ(timer_messages, 0);
}

TEST_F(HSButtonWindow, ParentDestroyedMidFadeLeavesAnInertButton) {
    HSButton& b = Add("OK", 200, 20);
    b.SetSlowDecease(THSSlowDecease::sdEnterLeave);
    ::SendMessageW(b.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ASSERT_TRUE(b.FadeTimerRunning());
    watch = b.hwnd();
    ::DestroyWindow(form);
    form = nullptr;
    EXPECT_EQ(b.hwnd(), nullptr);
    EXPECT_FALSE(b.FadeTimerRunning());
    timer_messages = 0;
    Pump(150);
    EXPECT_EQ(timer_messages, 0);
    b.SetCaption("still safe");  // no window behind it any more
    b.Click();
}

TEST_F(HSButtonWindow, TransparentStylesShowTheParentBackground) {
    HSButton& b = Add("OK", 200, 20);
    b.SetStyle(THSButtonStyle::bsShape);
    Pump(50);
    EXPECT_EQ(::GetWindowLongW(b.hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, WS_EX_TRANSPARENT);
    EXPECT_EQ(PrintedPixel(b.hwnd(), 2, 2), RGB(0, 160, 0));
    EXPECT_EQ(ShownPixel(b.hwnd(), 2, 2), RGB(0, 160, 0));
    // The caption is drawn on the key colour: no smoothed pixel may mix with it.
    int caption_pixels = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 92; ++x) {
            const Color c = ShownPixel(b.hwnd(), x, y);
            EXPECT_TRUE(c == RGB(0, 160, 0) || c == 0) << x << "," << y << ": " << std::hex << c;
            caption_pixels += c == 0;
        }
    EXPECT_GT(caption_pixels, 10);
    b.SetStyle(THSButtonStyle::bsNormal);
    Pump(50);
    EXPECT_EQ(::GetWindowLongW(b.hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(ShownPixel(b.hwnd(), 2, 2), kWhite);
}

TEST_F(HSButtonWindow, SettersReachTheWindow) {
    HSButton& b = Add("下一步", 200, 20);
    wchar_t text[16] = {};
    ::GetWindowTextW(b.hwnd(), text, 16);
    EXPECT_STREQ(text, L"下一步");
    b.SetEnabled(false);
    EXPECT_FALSE(::IsWindowEnabled(b.hwnd()));
    b.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(b.hwnd()));
    b.SetVisible(true);
    b.SetBounds(10, 30, 80, 25);
    RECT r;
    ::GetWindowRect(b.hwnd(), &r);
    ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 80);
    ::EnableWindow(b.hwnd(), TRUE);  // from outside: the button follows
    EXPECT_TRUE(b.Enabled());
    ::SetWindowTextW(b.hwnd(), L"完成");
    EXPECT_EQ(b.Caption(), "完成");
}

TEST(HSButtonResources, GlyphStripsAndArrowLoadByName) {
    const struct {
        const char* name;
        int width, height;
    } strips[] = {{"BBOK", 36, 18},    {"BBCANCEL", 36, 18}, {"BBHELP", 36, 18},  {"BBYES", 36, 18},
                  {"BBNO", 36, 18},    {"BBCLOSE", 36, 18},  {"BBABORT", 36, 18}, {"BBRETRY", 36, 18},
                  {"BBIGNORE", 36, 18}, {"BBALL", 36, 19}};
    for (const auto& s : strips) {
        const Image b = ui::LoadBitmapResource(s.name);
        ASSERT_EQ(b.width, s.width) << s.name;
        ASSERT_EQ(b.height, s.height) << s.name;
        const Pixel key = b.at(0, s.height - 1);
        EXPECT_TRUE(SameRgb(key, b.at(18, s.height - 1))) << s.name << ": both cells share the key colour";
        int normal = 0, disabled = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < 18; ++x) {
                normal += !SameRgb(b.at(x, y), key);
                disabled += !SameRgb(b.at(18 + x, y), key);
            }
        EXPECT_GT(normal, 20) << s.name;
        EXPECT_GT(disabled, 20) << s.name;
    }
    const Image arrow = ui::LoadBitmapResource("HSARROW");
    EXPECT_EQ(arrow.width, 7);
    EXPECT_EQ(arrow.height, 4);
    EXPECT_FALSE(SameRgb(arrow.at(3, 3), arrow.at(0, 3)));  // the tip is not key colour
    EXPECT_TRUE(ui::LoadBitmapResource("NOSUCHBITMAP").empty());

    HSButton b;
    b.SetKind(THSButtonKind::bkAll);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Glyph().height, 19);
    EXPECT_EQ(b.Caption(), "All");
}

}  // namespace
}  // namespace setup::win
