#include "sd/win32/sd_system.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Work {
    std::atomic<bool> go{false};
    int result = 0;
};

void SlowWork(void* arg)
{
    Work* w = static_cast<Work*>(arg);
    while (!w->go.load())
        Zuvi_Sleep(0);
    w->result = 42;
}

} // namespace

TEST(SdThreadJob, WaitReturnsOnceTheWorkHasEndedAndAllowsAnotherStart)
{
    Zuvi_ThreadJob job;
    EXPECT_FALSE(job.Pending());
    job.Wait(); // nothing pending: at once

    Work w;
    ASSERT_TRUE(job.Start(SlowWork, &w));
    EXPECT_TRUE(job.Pending());
    // One job at a time: a second start is refused and runs nothing.
    Work other;
    other.go = true;
    EXPECT_FALSE(job.Start(SlowWork, &other));
    w.go = true;
    job.Wait();
    EXPECT_FALSE(job.Pending());
    EXPECT_EQ(w.result, 42);
    EXPECT_EQ(other.result, 0);

    ASSERT_TRUE(job.Start(SlowWork, &other));
    job.Wait();
    EXPECT_EQ(other.result, 42);
    EXPECT_FALSE(job.Start(nullptr, nullptr));
}

TEST(SdThreadJob, TheDestructorWaitsForAJobStillRunning)
{
    Work w;
    {
        Zuvi_ThreadJob job;
        ASSERT_TRUE(job.Start(SlowWork, &w));
        w.go = true;
    }
    EXPECT_EQ(w.result, 42);
}
