#include "si/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "si/globallock.h"
#include "si/classfactory.h"
#include "si/performer.h"
#include "tests/support/objmodel.h"

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
    ZuThread::QuickGlobalLock(ZU_GLOBAL_LOCK_ATOM); // same lock, same thread: no block
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
    EXPECT_FALSE(taken); // still held once
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
    } catch (int) {}
    EXPECT_TRUE(OtherThreadCanLock());
    {
        ZuGlobalLockAcquisition hold(ZU_GLOBAL_LOCK_MEMORY);
        ZuGlobalLockAcquisition other(ZU_GLOBAL_LOCK_ATOM);
        other = hold; // copies the id only: each still releases once
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

// ---- The thread object -------------------------------------------------------

// Records what the thread looks like from inside, then waits for a stop.
ZU_HANDLE(TThreadWork, ZuPerformer)
class TThreadWork : public ZuPerformer {
    ZU_CLASS(TThreadWork, ZuPerformer)
public:
    TThreadWork() {}
    bool Run(const ZuObjectRef& subject) override
    {
        ZuThreadRef me(subject);
        current = ZuThread::Current().RetRawObject();
        is_main = ZuThread::IsMainThread();
        started = true;
        while (!me->IsStopRequested())
            me->Sleep(1);
        return true;
    }
    std::atomic<bool> started{false};
    ZuThread* current = nullptr;
    bool is_main = true;
};
ZU_CLASS_END(TThreadWork)
ZU_IMPLEMENT_CLASS(TThreadWork, "tests/thread", ZU_CLASS_PLAIN)

namespace {

class ThreadObjectTest : public ZuviRuntimeTest {};

void WaitFor(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 5000 && !flag; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(ThreadObjectTest, RunsItsPerformerUntilAskedToStop)
{
    ZuThreadRef thread(ZuClassFactory::New("ZuThread", nullptr, __LINE__, __FILE__));
    TThreadWorkRef work(ZuClassFactory::New("TThreadWork", nullptr, __LINE__, __FILE__));
    TThreadWorkRef other(ZuClassFactory::New("TThreadWork", nullptr, __LINE__, __FILE__));
    EXPECT_TRUE(thread->TestStatus(ZuObjectStatusBit(3)));
    EXPECT_TRUE(ZuThread::Current().IsInvalid());
    ASSERT_TRUE(thread->SetPerformer(work));
    ASSERT_TRUE(thread->Run());
    EXPECT_FALSE(thread->Run());
    WaitFor(work->started);
    ASSERT_TRUE(work->started);
    EXPECT_EQ(thread.RetRawObject(), work->current);
    EXPECT_FALSE(work->is_main);
    EXPECT_TRUE(thread->IsRunning());
    EXPECT_FALSE(thread->SetPerformer(other));
    EXPECT_TRUE(thread->RetPerformer() == work);

    thread->RequestStop();
    for (int i = 0; i < 5000 && !thread->IsDead(); ++i)
        thread->Sleep(1);
    EXPECT_TRUE(thread->IsDead());
    EXPECT_FALSE(thread->IsRunning());
    EXPECT_FALSE(thread->SetPerformer(other));
    EXPECT_TRUE(ZuThread::IsMainThread());
    thread->Delete();
}

TEST_F(ThreadObjectTest, KeepsACopyOfItsName)
{
    ZuThreadRef thread(ZuClassFactory::New("ZuThread", nullptr, __LINE__, __FILE__));
    EXPECT_TRUE(thread->RetName().IsInvalid());
    ZuStringRef name("dessin");
    thread->SetName(name);
    EXPECT_NE(name.RetRawObject(), thread->RetName().RetRawObject());
    EXPECT_EQ(0, thread->RetName()->CompareWith("dessin", true));
    thread->SetName(ZuStringNull);
    EXPECT_TRUE(thread->RetName().IsInvalid());
    thread->Delete();
}

TEST(ThreadObjectDeathTest, PerformerItselfCannotBeMade)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuClassFactory::New("ZuPerformer", nullptr, __LINE__, __FILE__);
        },
        "Cannot instanciate ZuPerformer");
}

} // namespace
