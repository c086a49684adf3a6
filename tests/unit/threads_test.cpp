// The thread primitives: a hand-off under the mutex and condition variable, and an exception
// thrown on a thread arriving at Join instead of ending the process.
#include <gtest/gtest.h>

#include <vector>

#include "base/error.h"
#include "base/threads.h"

namespace setup {
namespace {

TEST(Threads, HandOffAndExceptionReachesJoin) {
    Mutex m;
    CondVar cv;
    int turn = 0;  // 0: the thread's turn, 1: ours
    std::vector<int> seen;
    Thread t([&] {
        for (int i = 0; i < 100; ++i) {
            Lock lock(m);
            cv.Wait(lock, [&] { return turn == 0; });
            seen.push_back(i);
            turn = 1;
            cv.NotifyAll();
        }
        throw Error("from the thread");
    });
    for (int i = 0; i < 100; ++i) {
        Lock lock(m);
        cv.Wait(lock, [&] { return turn == 1; });
        ASSERT_EQ(seen.size(), static_cast<size_t>(i + 1));
        turn = 0;
        cv.NotifyAll();
    }
    try {
        t.Join();
        FAIL() << "Join did not rethrow";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), "from the thread");
    }
    EXPECT_GE(HardwareThreads(), 1u);
}

}  // namespace
}  // namespace setup
