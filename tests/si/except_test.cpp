#include "si/except.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "si/thread.h"
#include "tests/support/objmodel.h"

namespace {

struct ThreadSlot : ZuThread {
    static bool Register(ZuThread* thread) { return SetSlotThread(thread); }
};

int g_throw_line = 0;

void ThrowsMemory()
{
    ZU_FRAME_FUNCTION("ThrowsMemory");
    g_throw_line = __LINE__ - 1;
    throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_IN_ZONE, &g_throw_line, 12, "si/caller");
}

} // namespace

TEST(Exception, ReportsTheFunctionItWasMadeInAfterTheFrameIsGone)
{
    try {
        ThrowsMemory();
        FAIL() << "no exception";
    } catch (const ZuExcMemory& e) {
        EXPECT_EQ(Zuvi_CallFrame::head, nullptr);
        EXPECT_STREQ(e.RetThrowSrcFile(), "tests/si/except_test");
        EXPECT_EQ(e.RetThrowSrcLine(), static_cast<unsigned>(g_throw_line));
        EXPECT_STREQ(e.RetFuncName(), "ThrowsMemory");
        EXPECT_EQ(e.RetError(), ZuExcMemory::ZU_MEM_NOT_IN_ZONE);
        EXPECT_EQ(e.RetFaultyPtr(), &g_throw_line);
        EXPECT_EQ(e.RetFaultySrcLine(), 12u);
        EXPECT_STREQ(e.RetFaultySrcFile(), "si/caller");
    }
}

TEST(Exception, CopiesAndDestructionLeaveTheChainAsItWas)
{
    ZU_FRAME_FUNCTION("Outer");
    const Zuvi_CallFrame* head = Zuvi_CallFrame::head;
    {
        ZuExcAccess made(ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
        ZuExcAccess copy(made);
        ZuExcAccess assigned(ZuExcAccess::ZU_ACCESS_NONE);
        assigned = copy;
        EXPECT_EQ(assigned.RetError(), ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
        EXPECT_EQ(copy.RetNextFrame(), head->RetNextFrame());
        EXPECT_EQ(copy.RetCallID(), head->RetCallID());
    }
    EXPECT_EQ(Zuvi_CallFrame::head, head);
    try {
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
    } catch (ZuException& e) {
        EXPECT_STREQ(e.RetFuncName(), "Outer");
    }
    EXPECT_EQ(Zuvi_CallFrame::head, head);
}

TEST(Exception, OutsideAnyFrameItKeepsTheEmptyFrame)
{
    ZuExcString e(ZuExcString::ZU_STRING_NONE);
    EXPECT_STREQ(e.RetThrowSrcFile(), "?");
    EXPECT_EQ(e.RetThrowSrcLine(), 0u);
}

TEST(Exception, OnAWorkerThreadItDoesNotReadTheMainThreadsChain)
{
    ZU_FRAME_FUNCTION("Main");
    int fake_thread = 0;
    std::string file;
    std::thread worker([&]() {
        ThreadSlot::Register(reinterpret_cast<ZuThread*>(&fake_thread));
        ZuExcObject e(ZuExcObject::ZU_OBJ_NO_SUCH_CLASS, nullptr);
        file = e.RetThrowSrcFile();
    });
    worker.join();
    EXPECT_EQ(file, "?");
}

TEST(Exception, CatchingZuExceptionCatchesEveryClass)
{
    auto code_of = [](auto thrower) {
        try {
            thrower();
        } catch (const ZuException&) {
            return true;
        }
        return false;
    };
    EXPECT_TRUE(
        code_of([] { throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, 0, nullptr); }));
    EXPECT_TRUE(code_of([] { throw ZuExcObject(ZuExcObject::ZU_OBJ_WRONG_CLASS, nullptr); }));
    EXPECT_TRUE(code_of([] { throw ZuExcAccess(ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE); }));
    EXPECT_TRUE(code_of([] { throw ZuExcString(ZuExcString::ZU_STRING_NONE); }));
    EXPECT_TRUE(code_of([] { throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ); }));
    EXPECT_TRUE(code_of([] { throw ZuExcPipe(ZuExcPipe::ZU_PIPE_NO_SERVER); }));
    try {
        throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
    } catch (const ZuExcStream& e) {
        EXPECT_EQ(e.GetError(), 3);
    }
    try {
        throw ZuExcPipe(ZuExcPipe::ZU_PIPE_BROKEN);
    } catch (const ZuExcPipe& e) {
        EXPECT_EQ(e.GetError(), ZuExcPipe::ZU_PIPE_BROKEN);
    }
}

TEST(Exception, EveryNewGetsStorageOfItsOwnUpToTheLimit)
{
    ZuExcAccess* a = new ZuExcAccess(ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
    ZuExcStream* b = new ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
    EXPECT_NE(static_cast<void*>(a), static_cast<void*>(b));
    EXPECT_EQ(a->RetError(), ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
    EXPECT_EQ(b->GetError(), ZuExcStream::ZU_STREAM_CANNOT_OPEN);
    delete a;
    delete b;
    ZuException::operator delete(ZuException::operator new(ZuException::MAX_EXC_SIZE));
    EXPECT_DEATH(ZuException::operator new(501),
                 "si/except:[0-9]+:error: Failed assertion: size <= MAX_EXC_SIZE");
}

TEST(Exception, TwoThreadsHoldTheirOwnExceptionsAtOnce)
{
    // Each thread makes its exception, waits until the other has made its
    // own, then checks that its exception still says what it said.
    std::mutex m;
    std::condition_variable cv;
    int made = 0;
    auto meet = [&]() {
        std::unique_lock<std::mutex> lock(m);
        ++made;
        cv.notify_all();
        cv.wait(lock, [&]() { return made == 2; });
    };
    bool first_ok = false, second_ok = false;
    std::thread first([&]() {
        ZuExcPipe* e = new ZuExcPipe(ZuExcPipe::ZU_PIPE_BROKEN);
        meet();
        first_ok = e->GetError() == ZuExcPipe::ZU_PIPE_BROKEN;
        delete e;
    });
    std::thread second([&]() {
        ZuExcPipe* e = new ZuExcPipe(ZuExcPipe::ZU_PIPE_NO_SERVER);
        meet();
        second_ok = e->GetError() == ZuExcPipe::ZU_PIPE_NO_SERVER;
        delete e;
    });
    first.join();
    second.join();
    EXPECT_TRUE(first_ok);
    EXPECT_TRUE(second_ok);
}

// ---- Exceptions that name an atom ---------------------------------------------

namespace {

class ExceptAtomTest : public ZuviRuntimeTest {};

TEST_F(ExceptAtomTest, TargetAndOutletExceptionsShareTheirAtom)
{
    ZuAtomRef name("OnMissing");
    bool caught = false;
    try {
        throw ZuExcTarget(name);
    } catch (const ZuException&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
    ZuExcTarget copy_source(name);
    EXPECT_EQ(3u, name->RetRefCount()); // the atom's own handle, name, the exception
    {
        ZuExcTarget copy(copy_source);
        EXPECT_TRUE(copy.RetFaultyTarget() == name);
        EXPECT_EQ(4u, name->RetRefCount());
    }
    EXPECT_EQ(3u, name->RetRefCount());
    ZuExcOutlet outlet;
    EXPECT_TRUE(outlet.RetFaultyOutlet().IsInvalid());
    outlet = ZuExcOutlet(name);
    EXPECT_TRUE(outlet.RetFaultyOutlet() == "OnMissing");
    try {
        throw outlet;
    } catch (const ZuExcOutlet& e) {
        EXPECT_TRUE(e.RetFaultyOutlet() == name);
    }
}

} // namespace
