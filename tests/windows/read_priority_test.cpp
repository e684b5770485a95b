// The priority boost of a read: the reading thread only, and back to what it had.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "serial/read_priority_win32.h"

namespace qv {
namespace {

// Puts the process class and the thread's priority back after the test.
class PriorityFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        oldClass_ = GetPriorityClass(GetCurrentProcess());
        oldThread_ = GetThreadPriority(GetCurrentThread());
    }
    void TearDown() override {
        SetPriorityClass(GetCurrentProcess(), oldClass_);
        SetThreadPriority(GetCurrentThread(), oldThread_);
    }

  private:
    DWORD oldClass_ = NORMAL_PRIORITY_CLASS;
    int oldThread_ = THREAD_PRIORITY_NORMAL;
};

TEST_F(PriorityFixture, RaisesTheThreadAndRestoresWhatItHad) {
    ASSERT_NE(SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS), 0);
    ASSERT_NE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL), 0);
    {
        ReadPriorityBoost boost;
        EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
        EXPECT_EQ(GetPriorityClass(GetCurrentProcess()),
                  static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
    }
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()),
              static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
}

// Two radios, one thread each: the read that ends first must not lower the other one.
TEST_F(PriorityFixture, OneReadEndingLeavesAnotherThreadsBoost) {
    std::atomic<int> stage{0};
    std::atomic<int> otherDuring{0};
    std::thread other([&] {
        ReadPriorityBoost boost;
        stage = 1;
        while (stage != 2) {
            std::this_thread::yield();
        }
        otherDuring = GetThreadPriority(GetCurrentThread());
    });
    while (stage != 1) {
        std::this_thread::yield();
    }
    { ReadPriorityBoost boost; }
    stage = 2;
    other.join();
    EXPECT_EQ(otherDuring.load(), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

}  // namespace
}  // namespace qv
