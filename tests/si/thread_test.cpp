#include "si/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "si/globallock.h"

namespace {

struct ThreadSlot : ZuThread {
    static bool Register(ZuThread* thread) { return SetSlotThread(thread); }
    static ZuThread* Current() { return RetSlotThread(); }
};

// Whether another thread can take the global lock within a second; the lock
// is released again for it when it cannot, so the test never hangs.
bool OtherThreadCanLock()
{
    std::atomic<bool> done{false};
    std::thread other([&]() {
        ZuThread::QuickGlobalLock(ZU_GLOBAL_LOCK_MEMORY);
        done = true;
        ZuThread::QuickGlobalUnlock(ZU_GLOBAL_LOCK_MEMORY);
    });
    for (int i = 0; i < 100 && !done; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    bool result = done;
    if (!result) {
        ZuThread::QuickGlobalUnlock(ZU_GLOBAL_LOCK_MEMORY);
    }
    other.join();
    return result;
}

} // namespace

TEST(GlobalLock, IsReentrantAndExcludesOtherThreads)
{
    ZuThread::QuickGlobalLock(ZU_GLOBAL_LOCK_MEMORY);
    ZuThread::QuickGlobalLock(ZU_GLOBAL_LOCK_ATOM);   // same lock, same thread: no block
    std::atomic<bool> taken{false};
    std::thread other([&]() {
        ZuThread::QuickGlobalLock(ZU_GLOBAL_LOCK_HANDLE);
        taken = true;
        ZuThread::QuickGlobalUnlock(ZU_GLOBAL_LOCK_HANDLE);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(taken);
    ZuThread::QuickGlobalUnlock(ZU_GLOBAL_LOCK_ATOM);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken);   // still held once
    ZuThread::QuickGlobalUnlock(ZU_GLOBAL_LOCK_MEMORY);
    other.join();
    EXPECT_TRUE(taken);
}

TEST(GlobalLock, CountsStayExactUnderContention)
{
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&counter]() {
            for (int i = 0; i < 20000; ++i) {
                ZuGlobalLockAcquisition hold(ZU_GLOBAL_LOCK_ATOM);
                ZuGlobalLockAcquisition again(ZU_GLOBAL_LOCK_ATOM);
                ++counter;
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    EXPECT_EQ(counter, 80000);
}

TEST(GlobalLock, AnExceptionLeavingTheScopeReleasesTheLock)
{
    try {
        ZuGlobalLockAcquisition hold(ZU_GLOBAL_LOCK_MEMORY);
        throw 1;
    } catch (int) {
    }
    EXPECT_TRUE(OtherThreadCanLock());
    {
        ZuGlobalLockAcquisition hold(ZU_GLOBAL_LOCK_MEMORY);
        ZuGlobalLockAcquisition other(ZU_GLOBAL_LOCK_ATOM);
        other = hold;   // copies the id only: each still releases once
    }
    EXPECT_TRUE(OtherThreadCanLock());
}

TEST(Thread, EveryThreadIsMainUntilAWorkerRegisters)
{
    EXPECT_TRUE(ZuThread::IsMainThread());
    EXPECT_EQ(ThreadSlot::Current(), nullptr);
    bool before = false;
    std::thread plain([&]() { before = ZuThread::IsMainThread(); });
    plain.join();
    EXPECT_TRUE(before);

    int fake_thread = 0;
    bool registered_is_main = true;
    ZuThread* seen = nullptr;
    bool other_is_main = false;
    std::thread worker([&]() {
        ASSERT_TRUE(ThreadSlot::Register(reinterpret_cast<ZuThread*>(&fake_thread)));
        registered_is_main = ZuThread::IsMainThread();
        seen = ThreadSlot::Current();
        std::thread unregistered([&]() { other_is_main = ZuThread::IsMainThread(); });
        unregistered.join();
    });
    worker.join();
    EXPECT_FALSE(registered_is_main);
    EXPECT_EQ(seen, reinterpret_cast<ZuThread*>(&fake_thread));
    EXPECT_TRUE(other_is_main);
    EXPECT_TRUE(ZuThread::IsMainThread());
}
