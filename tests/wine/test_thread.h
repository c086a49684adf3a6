// test_thread.h: a thread for the Windows tests, on CreateThread.
//
// The shipped 32-bit program is built with MinGW's win32 thread model, whose libstdc++ has no
// std::thread; the tests are built with the same toolchain, so they start their threads here.
//
//   TestThread worker([&] { ... });
//   worker.join();
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace setup::testing {

class TestThread {
public:
    TestThread() = default;
    explicit TestThread(std::function<void()> body) : body_(std::move(body)) {
        handle_ = ::CreateThread(nullptr, 0, &TestThread::Start, this, 0, nullptr);
        if (!handle_) body_();  // no thread to be had: run it here rather than not at all
    }
    ~TestThread() { join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    bool joinable() const { return handle_ != nullptr; }
    void join() {
        if (!handle_) return;
        ::WaitForSingleObject(handle_, INFINITE);
        ::CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    static DWORD WINAPI Start(void* self) {
        static_cast<TestThread*>(self)->body_();
        return 0;
    }

    std::function<void()> body_;
    HANDLE handle_ = nullptr;
};

}  // namespace setup::testing
