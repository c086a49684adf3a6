// threads.h: the few thread primitives the payload engine needs.
//
// The shipped 32-bit program is built with MinGW's win32 thread model, which has no
// std::thread, std::mutex or std::condition_variable; these wrap std:: natively (threads.cpp)
// and Win32 there (threads_win.cpp: SRW locks, condition variables, _beginthreadex).
//
//   Mutex, Lock   a plain mutex and its scope guard
//   CondVar       a condition variable waited on under a Lock
//   Thread        a joinable thread running a std::function
//   HardwareThreads()
#pragma once

#include <exception>
#include <functional>
#include <memory>

namespace setup {

class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void Acquire();
    void Release();

private:
    friend class CondVar;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class Lock {
public:
    explicit Lock(Mutex& m) : m_(m) { m_.Acquire(); }
    ~Lock() { m_.Release(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    friend class CondVar;
    Mutex& m_;
};

class CondVar {
public:
    CondVar();
    ~CondVar();
    CondVar(const CondVar&) = delete;
    CondVar& operator=(const CondVar&) = delete;
    // Releases the lock's mutex while waiting; may wake spuriously, so wait in a loop.
    void Wait(Lock& lock);
    template <typename Pred>
    void Wait(Lock& lock, Pred ready) {
        while (!ready()) Wait(lock);
    }
    void NotifyOne();
    void NotifyAll();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Starts `body` on a new thread. An exception leaving body is kept and rethrown by Join on
// the thread that joins, never left to end the process. Throws Error("Out of memory") when
// the thread cannot be started. The destructor joins (and drops a kept exception).
class Thread {
public:
    explicit Thread(std::function<void()> body);
    ~Thread();
    Thread(Thread&&) noexcept;
    Thread& operator=(Thread&&) = delete;
    Thread(const Thread&) = delete;

    void Join();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The number of hardware threads (at least 1).
unsigned HardwareThreads();

}  // namespace setup
