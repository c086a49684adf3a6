// The thread primitives over std:: (every build but Windows; see threads_win.cpp).
#include "base/threads.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/error.h"

namespace setup {

struct Mutex::Impl {
    std::mutex m;
};
Mutex::Mutex() : impl_(std::make_unique<Impl>()) {}
Mutex::~Mutex() = default;
void Mutex::Acquire() { impl_->m.lock(); }
void Mutex::Release() { impl_->m.unlock(); }

struct CondVar::Impl {
    std::condition_variable cv;
};
CondVar::CondVar() : impl_(std::make_unique<Impl>()) {}
CondVar::~CondVar() = default;
void CondVar::Wait(Lock& lock) {
    // The Lock keeps owning the mutex; the unique_lock only lends it to wait.
    std::unique_lock<std::mutex> held(lock.m_.impl_->m, std::adopt_lock);
    impl_->cv.wait(held);
    held.release();
}
void CondVar::NotifyOne() { impl_->cv.notify_one(); }
void CondVar::NotifyAll() { impl_->cv.notify_all(); }

struct Thread::Impl {
    std::function<void()> body;
    std::exception_ptr failure;
    std::thread thread;
};

Thread::Thread(std::function<void()> body) : impl_(std::make_unique<Impl>()) {
    impl_->body = std::move(body);
    Impl* impl = impl_.get();
    try {
        impl_->thread = std::thread([impl] {
            try {
                impl->body();
            } catch (...) {
                impl->failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        throw Error("Out of memory");
    }
}

Thread::~Thread() {
    if (impl_ && impl_->thread.joinable()) impl_->thread.join();
}
Thread::Thread(Thread&&) noexcept = default;

void Thread::Join() {
    if (impl_->thread.joinable()) impl_->thread.join();
    if (impl_->failure) std::rethrow_exception(std::exchange(impl_->failure, nullptr));
}

unsigned HardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace setup
