#include <gtest/gtest.h>

#include "si/respond.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

class ResponderTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        TProbeView::log.clear();
    }
};

TEST_F(ResponderTest, DispatchPicksOneHandlerByType)
{
    struct Case {
        ZuEventType type;
        int button; // -1: none
        const char* handler;
    } cases[] = {
        {ZU_EVENT_KEY_DOWN, -1, "KeyDown"},
        {ZU_EVENT_KEY_REP, -1, "KeyDown"},
        {ZU_EVENT_KEY_UP, -1, "KeyUp"},
        {ZU_EVENT_KEY_CHANGE, -1, "KeyChange"},
        {ZU_EVENT_PRESS, 0, "ButtonPress"},
        {ZU_EVENT_RELEASE, 0, "ButtonRelease"},
        {ZU_EVENT_MOTION, -1, "MotionNotify"},
        {ZU_EVENT_MOTION, 31, "MotionNotify"},
        {ZU_EVENT_MOTION, 0, "DragNotify"},
        {ZU_EVENT_WHEEL, -1, "Miscellanous"},
        {ZU_EVENT_COMMAND, -1, "Miscellanous"},
        {ZU_EVENT_USER, -1, "Miscellanous"},
        {ZU_EVENT_WAKE_UP, -1, "Miscellanous"},
        {ZU_EVENT_NONE, -1, "Miscellanous"},
        {static_cast<ZuEventType>(99), -1, "Miscellanous"},
    };
    TProbeViewRef v = TProbeView::Make("v");
    for (const Case& c : cases) {
        TProbeView::log.clear();
        TProbeEventRef e = TProbeEvent::Make(c.type);
        if (c.button >= 0)
            e->Button(static_cast<unsigned>(c.button));
        v->DispatchEvent(e);
        EXPECT_EQ(TProbeView::log, std::string("v:") + c.handler + " ")
            << "type " << static_cast<unsigned>(c.type);
        e->Delete();
    }
    v->Delete();
}

TEST_F(ResponderTest, DefaultHandlersPassOnOrDoNothing)
{
    ZuResponderRef alone = ZuNew<ZuResponder>(Zuvi_app_zone);
    TProbeViewRef next = TProbeView::Make("n");
    TProbeEventRef key = TProbeEvent::Make(ZU_EVENT_KEY_UP);
    alone->DispatchEvent(key); // nobody next: nothing happens
    EXPECT_EQ(TProbeView::log, "");
    alone->SetNextResponder(next);
    ZuResponderRef out;
    EXPECT_TRUE(alone->GetNextResponder(out));
    alone->DispatchEvent(key);
    EXPECT_EQ(TProbeView::log, "n:KeyUp ");
    key->Delete();
    alone->SetNextResponder(ZuResponderRef());
    EXPECT_FALSE(alone->GetNextResponder(out));
    next->Delete();
    alone->Delete();
}

TEST_F(ResponderTest, EnterAndLeaveReachTheNextViewOnlyAcrossItsBorder)
{
    ZuResponderRef r = ZuNew<ZuResponder>(Zuvi_app_zone);
    TProbeViewRef v = TProbeView::Make("v", 10, 10, 19, 19);
    r->SetNextResponder(v);
    struct Case {
        double x, y;
        bool entered_before;
        bool enter_reaches, leave_reaches;
    } cases[] = {
        {19, 19, false, true, false}, // right and bottom border: inside
        {10, 10, false, true, false}, {20, 15, false, false, false},
        {20, 15, true, false, true},  {15, 15, true, false, false},
    };
    for (const Case& c : cases) {
        TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_MOTION, c.x, c.y);
        v->ChangeState(ZU_VIEW_IS_ENTERED, c.entered_before, false);
        TProbeView::log.clear();
        r->EnterNotify(e);
        EXPECT_EQ(TProbeView::log.find("v:Enter") != std::string::npos, c.enter_reaches)
            << c.x << "," << c.y;
        v->ChangeState(ZU_VIEW_IS_ENTERED, c.entered_before, false);
        TProbeView::log.clear();
        r->LeaveNotify(e);
        EXPECT_EQ(TProbeView::log.find("v:Leave") != std::string::npos, c.leave_reaches)
            << c.x << "," << c.y;
        e->Delete();
    }
    r->Delete();
    v->Delete();
}

TEST_F(ResponderTest, StoredResponderComesBackWithoutChain)
{
    ZuResponderRef r = ZuNew<ZuResponder>(Zuvi_app_zone);
    ZuResponderRef other = ZuNew<ZuResponder>(Zuvi_app_zone);
    r->SetNextResponder(other);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(r);
    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(s->Bytes());
    ZuObjectRef back;
    in->RestoreObject(back, ZuResponderRef::RetRuntime());
    ZuResponderRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    ZuResponderRef next;
    EXPECT_FALSE(copy->GetNextResponder(next));
    copy->Delete();
    r->Delete();
    other->Delete();
}
