// The thread primitives over Win32: the 32-bit program's win32 thread model has no std::
// threads. SRW locks and condition variables need no clean-up and are never copied here.
#include <windows.h>
#include <process.h>

#include <utility>

#include "base/error.h"
#include "base/threads.h"

namespace setup {

struct Mutex::Impl {
    SRWLOCK lock = SRWLOCK_INIT;
};
Mutex::Mutex() : impl_(std::make_unique<Impl>()) {}
Mutex::~Mutex() = default;
void Mutex::Acquire() { AcquireSRWLockExclusive(&impl_->lock); }
void Mutex::Release() { ReleaseSRWLockExclusive(&impl_->lock); }

struct CondVar::Impl {
    CONDITION_VARIABLE cv = CONDITION_VARIABLE_INIT;
};
CondVar::CondVar() : impl_(std::make_unique<Impl>()) {}
CondVar::~CondVar() = default;
void CondVar::Wait(Lock& lock) { SleepConditionVariableSRW(&impl_->cv, &lock.m_.impl_->lock, INFINITE, 0); }
void CondVar::NotifyOne() { WakeConditionVariable(&impl_->cv); }
void CondVar::NotifyAll() { WakeAllConditionVariable(&impl_->cv); }

struct Thread::Impl {
    std::function<void()> body;
    std::exception_ptr failure;
    HANDLE handle = nullptr;

    static unsigned __stdcall Run(void* arg) {
        Impl* impl = static_cast<Impl*>(arg);
        try {
            impl->body();
        } catch (...) {
            impl->failure = std::current_exception();
        }
        return 0;
    }
    void Wait() {
        if (!handle) return;
        WaitForSingleObject(handle, INFINITE);
        CloseHandle(handle);
        handle = nullptr;
    }
};

Thread::Thread(std::function<void()> body) : impl_(std::make_unique<Impl>()) {
    impl_->body = std::move(body);
    // _beginthreadex rather than CreateThread: the C runtime sets up its per-thread state.
    const uintptr_t h = _beginthreadex(nullptr, 0, &Impl::Run, impl_.get(), 0, nullptr);
    if (h == 0) throw Error("Out of memory");
    impl_->handle = reinterpret_cast<HANDLE>(h);
}

Thread::~Thread() {
    if (impl_) impl_->Wait();
}
Thread::Thread(Thread&&) noexcept = default;

void Thread::Join() {
    impl_->Wait();
    if (impl_->failure) std::rethrow_exception(std::exchange(impl_->failure, nullptr));
}

unsigned HardwareThreads() {
    const DWORD n = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return n > 0 ? n : 1;
}

}  // namespace setup
