// Application: title, the owner window, and the end of the program through Terminate.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "tests/wine/dialog_watcher.h"
#include "win/application.h"
#include "win/text.h"

namespace setup::win {
namespace {

constexpr UINT kRunHandler = WM_APP + 7;

// A stand-in for the wizard window: records what happens to it.
struct MainWindow {
    std::vector<std::string> events;
    bool record_step = false;  // paint, input and close requests are recorded, not handled
    Application* app = nullptr;
    HWND hwnd = nullptr;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
        auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            switch (message) {
                case kRunHandler:
                    self->events.push_back(::IsWindowVisible(self->app->window()) ? "button shown" : "no button");
                    self->app->Terminate();
                    self->events.push_back("handler finished");
                    return 0;
                case WM_DESTROY:
                    self->events.push_back("destroyed");
                    return 0;
                case WM_PAINT:
                case WM_KEYDOWN:
                case WM_LBUTTONDOWN:
                case WM_NCLBUTTONDOWN:
                case WM_CLOSE:
                    if (!self->record_step) break;
                    self->events.push_back(message == WM_PAINT ? "painted" : "input or close");
                    ::ValidateRect(hwnd, nullptr);
                    return 0;
            }
        }
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }

    void Create(Application& application) {
        app = &application;
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZSetupTestMain";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, L"ZSetupTestMain", L"ZENTA-KOV安装向导", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                                 app->window(), nullptr, wc.hInstance, this);
        app->SetMainWindow(hwnd);
    }
};

TEST(WinApplicationTest, TitleStartsAsTheExecutableNameAndBecomesTheTaskbarText) {
    Application app;
    EXPECT_EQ(app.Title(), "wine_tests");
    ASSERT_NE(app.window(), nullptr);
    app.SetTitle("ZENTA-KOV 安装向导");
    wchar_t text[64] = {};
    ::GetWindowTextW(app.window(), text, 64);
    EXPECT_STREQ(text, L"ZENTA-KOV 安装向导");
    EXPECT_EQ(Application::Current(), &app);
}

TEST(WinApplicationTest, TerminateLetsTheHandlerFinishThenDestroysTheWindow) {
    Application app;
    MainWindow main;
    main.Create(app);
    ASSERT_NE(main.hwnd, nullptr);
    EXPECT_EQ(::GetWindow(main.hwnd, GW_OWNER), app.window());
    ::PostMessageW(main.hwnd, kRunHandler, 0, 0);
    int code = app.Run(SW_SHOWNOACTIVATE);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(main.events, (std::vector<std::string>{"button shown", "handler finished", "destroyed"}));
    EXPECT_FALSE(::IsWindow(main.hwnd));
    EXPECT_FALSE(::IsWindowVisible(app.window()));
    EXPECT_TRUE(app.Terminated());
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the quit request of Terminate
}

TEST(WinApplicationTest, TerminateDuringStartUpNeverShowsTheWindow) {
    Application app;
    MainWindow main;
    main.Create(app);
    app.Terminate();  // a "No" to a start-up question
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(main.events, std::vector<std::string>{"destroyed"});
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(WinApplicationTest, MainWindowDestroyedWithoutTerminateEndsTheLoop) {
    Application app;
    MainWindow main;
    main.Create(app);
    ::PostMessageW(main.hwnd, WM_CLOSE, 0, 0);  // the default close destroys the window
    EXPECT_EQ(app.Run(SW_SHOWNOACTIVATE), 0);
    EXPECT_EQ(main.events, std::vector<std::string>{"destroyed"});
    EXPECT_TRUE(app.Terminated());
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// During a long step: paint and the program's own messages are handled; input and close
// requests go, and a quit request waits for the message loop.
TEST(WinApplicationTest, LongStepHandlesMessagesButDropsInput) {
    Application app;
    MainWindow main;
    main.Create(app);
    main.record_step = true;
    ::ShowWindow(main.hwnd, SW_SHOWNOACTIVATE);
    ::InvalidateRect(main.hwnd, nullptr, FALSE);
    for (UINT message : {UINT{WM_KEYDOWN}, UINT{WM_LBUTTONDOWN}, UINT{WM_NCLBUTTONDOWN}, UINT{WM_CLOSE}})
        ::PostMessageW(main.hwnd, message, 0, 0);
    app.HandleMessagesDroppingInput();
    EXPECT_EQ(main.events, std::vector<std::string>{"painted"});
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, main.hwnd, 0, 0, PM_NOREMOVE));
    ::PostQuitMessage(3);
    app.HandleMessagesDroppingInput();
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);

    main.record_step = false;
    ::PostMessageW(main.hwnd, kRunHandler, 0, 0);
    EXPECT_EQ(app.Run(SW_SHOWNOACTIVATE), 0);
    EXPECT_EQ(main.events.back(), "destroyed");
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(WinApplicationTest, MinimisingTheMainWindowMinimisesTheApplication) {
    Application app;
    MainWindow main;
    main.Create(app);
    ::ShowWindow(main.hwnd, SW_SHOWNOACTIVATE);
    ::ShowWindow(app.window(), SW_SHOWNOACTIVATE);
    ::SendMessageW(main.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(app.window()));
    EXPECT_FALSE(::IsIconic(main.hwnd));
    EXPECT_FALSE(::IsWindowVisible(main.hwnd));  // owned windows go with their owner
    ::SendMessageW(app.window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(app.window()));
    EXPECT_TRUE(::IsWindowVisible(main.hwnd));
    ::DestroyWindow(main.hwnd);
}

TEST(WinApplicationTest, DialogOwnerIsTheVisibleMainWindow) {
    Application app;
    MainWindow main;
    main.Create(app);
    EXPECT_NE(app.DialogOwner(), main.hwnd);  // hidden during start-up
    ::ShowWindow(main.hwnd, SW_SHOWNOACTIVATE);
    EXPECT_EQ(app.DialogOwner(), main.hwnd);
    ::DestroyWindow(main.hwnd);
}

TEST(WinApplicationTest, GuardedShowsAnEscapingErrorWithAFullStop) {
    Application app;
    app.SetTitle("ZENTA-KOV 安装向导");
    testing::DialogWatcher watcher(L"OK");
    bool ok = app.Guarded([] { throw Error("Resource SETUPINI not found"); });
    auto seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(seen.title, L"ZENTA-KOV 安装向导");
    EXPECT_EQ(seen.Text(), L"Resource SETUPINI not found.");
    EXPECT_TRUE(seen.has_icon);
}

TEST(WinApplicationTest, GuardedPassesWhenNothingIsThrown) {
    Application app;
    int calls = 0;
    EXPECT_TRUE(app.Guarded([&] { ++calls; }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace setup::win
