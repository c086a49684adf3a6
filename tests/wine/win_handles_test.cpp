// The owners of win/handles.h with real handles: one close, moves transfer ownership, COM
// initialisation balanced only when it succeeded.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/wine/test_thread.h"
#include "win/handles.h"

namespace setup::win {
namespace {

bool HandleOpen(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(WinHandlesTest, MoveTransfersOwnershipAndResetCloses) {
    UniqueHandle a(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = a.get();
    ASSERT_TRUE(a);
    UniqueHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), raw);
    EXPECT_TRUE(HandleOpen(raw));
    UniqueHandle c;
    c = std::move(b);
    EXPECT_TRUE(HandleOpen(raw));
    c.reset();
    EXPECT_FALSE(HandleOpen(raw));
}

TEST(WinHandlesTest, FileHandleTreatsInvalidHandleValueAsEmpty) {
    UniqueFile missing(::CreateFileW(L"Z:\\zs\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

TEST(WinHandlesTest, ReleaseGivesUpOwnership) {
    UniqueHandle a(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = a.release();
    EXPECT_FALSE(a);
    EXPECT_TRUE(HandleOpen(raw));
    ::CloseHandle(raw);
}

TEST(WinHandlesTest, GdiObjectsAreDeleted) {
    HBRUSH raw = nullptr;
    {
        UniqueBrush brush(::CreateSolidBrush(RGB(255, 153, 0)));
        raw = brush.get();
        ASSERT_NE(::GetObjectType(raw), 0u);
    }
    EXPECT_EQ(::GetObjectType(raw), 0u);
}

TEST(WinHandlesTest, SelectScopeRestoresThePreviousObject) {
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_PEN);
    UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    {
        SelectScope select(dc.get(), pen.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_PEN), original);
}

TEST(WinHandlesTest, CoInitScopeLeavesAnotherApartmentAlone) {
    testing::TestThread worker([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            CoInitScope scope;
            EXPECT_EQ(scope.result(), RPC_E_CHANGED_MODE);
            EXPECT_FALSE(scope.ok());
        }
        // The thread's own initialisation is still there: a second one only counts up.
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        ::CoUninitialize();
        ::CoUninitialize();
    });
    worker.join();
}

TEST(WinHandlesTest, CoInitScopeBalancesItsOwnInitialisation) {
    testing::TestThread worker([] {
        {
            CoInitScope scope;
            EXPECT_EQ(scope.result(), S_OK);
        }
        // Uninitialised again: the thread can now choose the other model.
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(hr, S_OK);
        if (SUCCEEDED(hr)) ::CoUninitialize();
    });
    worker.join();
}

TEST(WinHandlesTest, ComPtrQueriesAndReleases) {
    CoInitScope com;
    ComPtr<IUnknown> unknown;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IUnknown, unknown.put_void())));
    ComPtr<IGlobalInterfaceTable> table;
    EXPECT_TRUE(SUCCEEDED(unknown.As(table)));
    EXPECT_TRUE(table);
    ComPtr<IGlobalInterfaceTable> moved(std::move(table));
    EXPECT_FALSE(table);
    EXPECT_TRUE(moved);
    ComPtr<IUnknown> empty;
    ComPtr<IGlobalInterfaceTable> none;
    EXPECT_EQ(empty.As(none), E_POINTER);
}

TEST(WinHandlesTest, TimerScopeKillsItsTimer) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        TimerScope timer;
        // Long enough that no tick falls due before the scope ends, even on a loaded machine
        // (KillTimer does not take back a WM_TIMER already posted).
        ASSERT_TRUE(timer.Set(window, 7, 200));
        EXPECT_TRUE(timer.running());
    }
    ::Sleep(300);
    // Only this timer's ticks count: under Wine a recycled window handle can still carry a
    // tick of an earlier test's window.
    MSG msg;
    int ticks = 0;
    while (::PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE))
        if (msg.wParam == 7) ++ticks;
    EXPECT_EQ(ticks, 0);
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace setup::win
