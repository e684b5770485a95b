// The helper every host uses to run a worker: the result comes back, the host is woken, and
// a worker never outlives its wait.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "job_test_support.h"
#include "workflow/worker_thread.h"

namespace qv {
namespace {

using namespace std::chrono_literals;

TEST(WorkerThreadTest, WakesTheHostAndHandsBackTheResult) {
    const int threadsBefore = test::ThreadCount();
    std::atomic<bool> release{false};
    std::atomic<bool> woken{false};
    WorkerThread worker;
    ASSERT_TRUE(worker.Start(
        [&] {
            while (!release) {
                std::this_thread::sleep_for(1ms);
            }
            return 7;
        },
        [&] { woken = true; }));
    EXPECT_FALSE(worker.WaitFor(20ms));
    EXPECT_FALSE(worker.Start([] { return 1; }));  // one worker at a time
    release = true;
    EXPECT_EQ(worker.Join(), 7);
    EXPECT_TRUE(woken);
    EXPECT_EQ(test::ThreadCount(), threadsBefore);
    EXPECT_EQ(RunOnWorkerThread([] { return 3; }), 3);
}

}  // namespace
}  // namespace qv
