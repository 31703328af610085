#ifndef TESTS_ZOVEDA_GFXTEST_H
#define TESTS_ZOVEDA_GFXTEST_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "zoveda/gfxmemory.h"
#include "zoveda/gfxsurface.h"

// Points the engine's memory hooks at a counting allocator for the length of
// a test, and puts them back afterwards. fail_at makes the n-th allocation
// from now on (1 for the next one) give nothing.
class GfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_arg_ = GfxMemory::arg;
        saved_alloc_ = GfxMemory::fn_alloc;
        saved_free_ = GfxMemory::fn_free;
        GfxMemory::arg = this;
        GfxMemory::fn_alloc = &CountingAlloc;
        GfxMemory::fn_free = &CountingFree;
    }

    void TearDown() override
    {
        for (GfxSurface*& s : made_) {
            GfxSurface::Delete(s);
        }
        EXPECT_EQ(allocs, frees) << "every block the engine took is given back";
        GfxMemory::arg = saved_arg_;
        GfxMemory::fn_alloc = saved_alloc_;
        GfxMemory::fn_free = saved_free_;
    }

    // A surface of the depth and size, deleted at the end of the test.
    GfxSurface* Make(unsigned depth, unsigned dx, unsigned dy)
    {
        GfxSurface* s = GfxSurface::New(depth);
        if (s != nullptr) {
            s->Initialise(dx, dy);
            made_.push_back(s);
        }
        return s;
    }

    GfxSurface* Keep(GfxSurface* s)
    {
        made_.push_back(s);
        return s;
    }

    void FailAt(int n) { fail_at_ = allocs + n; }

    int allocs = 0;
    int frees = 0;
    std::vector<unsigned long> sizes;

private:
    static void* CountingAlloc(void* arg, unsigned long size)
    {
        GfxTest* t = static_cast<GfxTest*>(arg);
        if (t->fail_at_ == t->allocs + 1) {
            t->fail_at_ = 0;
            return nullptr;
        }
        ++t->allocs;
        t->sizes.push_back(size);
        return std::malloc(size == 0 ? 1 : size);
    }

    static void CountingFree(void* arg, void* ptr)
    {
        ++static_cast<GfxTest*>(arg)->frees;
        std::free(ptr);
    }

    void* saved_arg_ = nullptr;
    GfxMemory::AllocFn saved_alloc_ = nullptr;
    GfxMemory::FreeFn saved_free_ = nullptr;
    int fail_at_ = 0;
    std::vector<GfxSurface*> made_;
};

#endif
