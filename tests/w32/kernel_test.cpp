#include "w32/kernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

TEST(W32Global, BlocksKeepTheirSizeAndAreAlignedOn16Bytes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_ZEROINIT, 5000);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 5000u);
    unsigned char* data = static_cast<unsigned char*>(GlobalLock(mem));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 16, 0u);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(data[i], 0);
    }
    std::memset(data, 0x5A, 5000);
    EXPECT_EQ(GlobalUnlock(mem), FALSE); // no lock left
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(W32Global, InjectedFailuresGiveNullAndThenStop)
{
    W32_FailGlobalAllocs(2);
    EXPECT_EQ(GlobalAlloc(0, 100), nullptr);
    EXPECT_EQ(GlobalAlloc(0, 100), nullptr);
    HGLOBAL mem = GlobalAlloc(0, 100);
    EXPECT_NE(mem, nullptr);
    GlobalFree(mem);
    EXPECT_EQ(GlobalAlloc(0, SIZE_MAX - 8), nullptr); // an impossible size is refused, not wrapped
    EXPECT_EQ(GlobalSize(nullptr), 0u);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST(W32Global, PreparedMemoryKeepsItsBytes)
{
    // Pages written before, pages never touched, and the partial pages at
    // both ends of an unaligned range.
    std::vector<unsigned char> block(5 * 4096 + 100);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<unsigned char>(i * 7 + 1);
    }
    HGLOBAL fresh = GlobalAlloc(0, 64 * 1024);
    ASSERT_NE(fresh, nullptr);
    unsigned char* data = static_cast<unsigned char*>(GlobalLock(fresh));
    data[0] = 0x11;
    W32_PrepareMemory(block.data() + 3, block.size() - 3);
    W32_PrepareMemory(data, GlobalSize(fresh));
    W32_PrepareMemory(nullptr, 4096);
    W32_PrepareMemory(block.data(), 0);
    for (size_t i = 0; i < block.size(); ++i) {
        ASSERT_EQ(block[i], static_cast<unsigned char>(i * 7 + 1)) << i;
    }
    EXPECT_EQ(data[0], 0x11);
    std::memset(data, 0xA5, GlobalSize(fresh));
    EXPECT_EQ(data[GlobalSize(fresh) - 1], 0xA5);
    GlobalUnlock(fresh);
    GlobalFree(fresh);
}

TEST(W32CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    static CRITICAL_SECTION cs;
    InitializeCriticalSectionAndSpinCount(&cs, 100);
    EXPECT_EQ(SetCriticalSectionSpinCount(&cs, 1000), 100u);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    std::atomic<bool> tried{false};
    std::atomic<BOOL> got{TRUE};
    std::thread other([&]() {
        got = TryEnterCriticalSection(&cs);
        tried = true;
    });
    other.join();
    EXPECT_TRUE(tried);
    EXPECT_EQ(got, FALSE);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    std::thread again([&]() {
        got = TryEnterCriticalSection(&cs);
        if (got) {
            LeaveCriticalSection(&cs);
        }
    });
    again.join();
    EXPECT_EQ(got, TRUE);

    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&]() {
            for (int i = 0; i < 10000; ++i) {
                EnterCriticalSection(&cs);
                ++counter;
                LeaveCriticalSection(&cs);
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    EXPECT_EQ(counter, 40000);
    DeleteCriticalSection(&cs);
}

TEST(W32CriticalSection, LeavingWithoutHoldingDoesNotUnlockTheHolder)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    std::thread other([&]() { LeaveCriticalSection(&cs); });
    other.join();
    std::atomic<BOOL> got{TRUE};
    std::thread probe([&]() { got = TryEnterCriticalSection(&cs); });
    probe.join();
    EXPECT_EQ(got, FALSE);
    LeaveCriticalSection(&cs);
    DeleteCriticalSection(&cs);
}

TEST(W32Tls, EachThreadSeesItsOwnValue)
{
    DWORD index = TlsAlloc();
    ASSERT_NE(index, TLS_OUT_OF_INDEXES);
    int a = 1;
    int b = 2;
    EXPECT_EQ(TlsGetValue(index), nullptr);
    EXPECT_TRUE(TlsSetValue(index, &a));
    void* seen_before = &a;
    void* seen_after = nullptr;
    std::thread other([&]() {
        seen_before = TlsGetValue(index);
        TlsSetValue(index, &b);
        seen_after = TlsGetValue(index);
    });
    other.join();
    EXPECT_EQ(seen_before, nullptr);
    EXPECT_EQ(seen_after, &b);
    EXPECT_EQ(TlsGetValue(index), &a);
    EXPECT_TRUE(TlsFree(index));
    EXPECT_EQ(TlsGetValue(TLS_OUT_OF_INDEXES), nullptr);
    EXPECT_FALSE(TlsSetValue(TLS_OUT_OF_INDEXES, &a));
}

TEST(W32Thread, ThreadIdsDifferBetweenThreads)
{
    DWORD mine = GetCurrentThreadId();
    DWORD other_id = 0;
    std::thread other([&]() { other_id = GetCurrentThreadId(); });
    other.join();
    EXPECT_NE(mine, 0u);
    EXPECT_NE(other_id, 0u);
    EXPECT_NE(mine, other_id);
    EXPECT_EQ(mine, GetCurrentThreadId());
    EXPECT_NE(GetCurrentProcessId(), 0u);
}
