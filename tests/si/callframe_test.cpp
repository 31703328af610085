#include "si/callframe.h"

#include <gtest/gtest.h>

#include <thread>

#include "si/thread.h"

namespace {

// Workers register themselves in the thread slot; this stands in for the
// thread launcher.
struct ThreadSlot : ZuThread {
    static bool Register(ZuThread* thread) { return SetSlotThread(thread); }
};

const Zuvi_CallFrame* g_inner_caller = nullptr;
unsigned g_inner_id = 0;

void Inner()
{
    ZU_FRAME_FUNCTION("Inner");
    g_inner_caller = Zuvi_CallFrame::RetCallerFrame();
    g_inner_id = Zuvi_CallFrame::RetCallFrame()->RetCallID();
}

struct Widget {
    unsigned Outer()
    {
        ZU_FRAME_METHOD("Widget::Outer");
        outer_frame = Zuvi_CallFrame::RetCallFrame();
        Inner();
        return zu_frame.RetCallID();
    }
    const Zuvi_CallFrame* outer_frame = nullptr;
};

} // namespace

TEST(CallFrame, NestedFramesChainAndGetConsecutiveCallNumbers)
{
    EXPECT_EQ(Zuvi_CallFrame::RetCallFrame(), nullptr);
    Widget widget;
    unsigned total = Zuvi_CallFrame::total;
    unsigned outer_id = widget.Outer();
    EXPECT_EQ(outer_id, total);
    EXPECT_EQ(g_inner_id, total + 1);
    EXPECT_EQ(g_inner_caller, widget.outer_frame);
    EXPECT_EQ(Zuvi_CallFrame::total, total + 2);
    EXPECT_EQ(Zuvi_CallFrame::head, nullptr); // both popped
}

TEST(CallFrame, AFrameDescribesItsFunction)
{
    static Zuvi_CallFrame::StaticInfo info(Zuvi_CallFrame::TYPE_MEMBER, "ZuThing::Get", "si/thing",
                                           77);
    int object = 0;
    {
        Zuvi_CallFrame frame(&info, &object);
        EXPECT_EQ(frame.RetType(), Zuvi_CallFrame::TYPE_MEMBER);
        EXPECT_STREQ(frame.RetFuncName(), "ZuThing::Get");
        EXPECT_STREQ(frame.RetFileName(), "si/thing");
        EXPECT_EQ(frame.RetFileLine(), 77u);
        EXPECT_EQ(frame.RetThis(), &object);
        EXPECT_EQ(frame.RetNthCallNumber(), 1u);
        EXPECT_EQ(frame.RetStaticInfo(), &info);
        EXPECT_EQ(frame.RetNextFrame(), nullptr);
        Zuvi_CallFrame copy(frame); // a copy never pops the chain
    }
    EXPECT_EQ(Zuvi_CallFrame::head, nullptr);
    {
        Zuvi_CallFrame again(&info, nullptr);
    }
    EXPECT_EQ(info.use_count, 2u);
}

TEST(CallFrame, TypeNamesAndTheEmptyDescription)
{
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(Zuvi_CallFrame::TYPE_NONE), "?");
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(Zuvi_CallFrame::TYPE_METHOD), "method");
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(Zuvi_CallFrame::TYPE_MEMBER), "member");
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(Zuvi_CallFrame::TYPE_OPERATOR), "operator");
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(Zuvi_CallFrame::TYPE_FUNCTION), "function");
    EXPECT_STREQ(Zuvi_CallFrame::RetTypeName(static_cast<Zuvi_CallFrame::Type>(9)), "?");
    Zuvi_CallFrame unlinked;
    EXPECT_STREQ(unlinked.RetFuncName(), "?");
    EXPECT_STREQ(unlinked.RetFileName(), "?");
    EXPECT_EQ(unlinked.RetFileLine(), 0u);
    EXPECT_EQ(unlinked.RetCallID(), 0u);
    EXPECT_EQ(Zuvi_CallFrame::head, nullptr);
}

TEST(CallFrame, FramesOnAWorkerThreadStayOutOfTheChain)
{
    ZU_FRAME_FUNCTION("TestBody");
    const Zuvi_CallFrame* head = Zuvi_CallFrame::head;
    unsigned total = Zuvi_CallFrame::total;
    int fake_thread = 0;
    unsigned worker_id = 99;
    const Zuvi_CallFrame* worker_next = &zu_frame;
    std::thread worker([&]() {
        ASSERT_TRUE(ThreadSlot::Register(reinterpret_cast<ZuThread*>(&fake_thread)));
        ZU_FRAME_FUNCTION("Worker");
        worker_id = zu_frame.RetCallID();
        worker_next = zu_frame.RetNextFrame();
    });
    worker.join();
    EXPECT_EQ(Zuvi_CallFrame::head, head);
    EXPECT_EQ(Zuvi_CallFrame::total, total);
    EXPECT_EQ(worker_id, 0u);
    EXPECT_EQ(worker_next, nullptr);
}
