#include <gtest/gtest.h>

#include <string>

#include "si/message.h"
#include "si/rtclass.h"
#include "si/window.h"
#include "tests/support/storagetest.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"

static std::string g_commits;

ZU_HANDLE(TDropped, ZuObject)
class TDropped : public ZuObject {
    ZU_CLASS(TDropped, ZuObject)
public:
    TDropped() {}
};
ZU_CLASS_END(TDropped)

ZU_IMPLEMENT_CLASS(TDropped, "tests/window", ZU_CLASS_PLAIN)
static Zuvi_TargetExport dropped_commit(
    [](const ZuMessageRef& msg, ZuObject* o, Zuvi_TargetExport* exp) -> bool {
        if (o == nullptr) {
            exp->SetCall("CommitDrop (ZuObject object)");
            exp->SetArg("ZuObject", "object", "the embedded object");
            return true;
        }
        ZuObjectRef object;
        msg >> object;
        g_commits += object.IsValid() ? "CommitDrop(object) " : "CommitDrop(empty) ";
        return true;
    },
    TDroppedRef::RetRuntime());

class WindowTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        RegisterWindowClass();
        TProbeView::log.clear();
        g_commits.clear();
        w = NewTestWindow(100, 60);
        pixmap = NewPixmap(32, 100, 60);
        w->SetGrailPort(pixmap);
        a = TProbeView::Make("A", 10, 10, 49, 39, 0xFF0000);
        b = TProbeView::Make("B", 30, 20, 69, 49, 0x00FF00);
        a->SetParent(w);
        b->SetParent(w);
    }
    void TearDown() override
    {
        w->Delete();
        w = ZuWindowRef();
        a = b = TProbeViewRef();
        pixmap->Delete();
        pixmap = ZuGrailPixmapRef();
        UnregisterWindowClass();
        LookTest::TearDown();
    }
    void Send(ZuEventType type, double x, double y, int button = -1)
    {
        TProbeEventRef e = TProbeEvent::Make(type, x, y);
        if (button >= 0)
            e->Button(static_cast<unsigned>(button));
        w->DispatchEvent(e);
        e->Delete();
    }
    ZuWindowRef w;
    ZuGrailPixmapRef pixmap;
    TProbeViewRef a, b;
};

TEST_F(WindowTest, DrawsChildrenBackToFrontOverTheBackground)
{
    // A background colour that is neither child's.
    ZuRect all(0, 0, 99, 59);
    w->Redraw(all, false);
    unsigned background = Pixel(pixmap, 80, 55);
    EXPECT_EQ(Pixel(pixmap, 40, 30), 0x00FF00u);
    EXPECT_EQ(Pixel(pixmap, 15, 15), 0xFF0000u);
    EXPECT_NE(background, 0x00FF00u);
    EXPECT_NE(background, 0xFF0000u);
}

TEST_F(WindowTest, DrawOpsAndClip)
{
    struct Case {
        ZuDrawOp op;
        bool children, background;
    } cases[] = {
        {ZU_DRAW_FRONT, true, false},
        {ZU_DRAW_BACK, true, true},
        {ZU_DRAW_FRAME, false, false},
        {ZU_DRAW_ALL, true, true},
    };
    // The probe fills in its back layer, so a front-only pass shows the
    // children's passes but draws their fill only through their back.
    for (const Case& c : cases) {
        ZuGrailPixmapRef fresh = NewPixmap(32, 100, 60);
        // Mark the background with a probe colour the window never uses.
        fresh->SetForeColor(ZuColorPixel(0x123456u));
        fresh->FillRect(ZuRect(0, 0, 99, 59), 0);
        TProbeView::log.clear();
        ZuRect before;
        fresh->GetClipRect(before);
        w->ZuView::Draw(fresh, ZuRect(0, 0, 99, 59), c.op);
        ZuRect after;
        fresh->GetClipRect(after);
        EXPECT_EQ(before, after);
        EXPECT_EQ(Pixel(fresh, 80, 55) != 0x123456u, c.background) << static_cast<unsigned>(c.op);
        bool child_drawn = Pixel(fresh, 15, 15) == 0xFF0000u;
        // Children get the pass for ops with bit 1 or 2; they fill in their back.
        EXPECT_EQ(child_drawn, c.children && (static_cast<unsigned>(c.op) & 2) != 0)
            << static_cast<unsigned>(c.op);
        fresh->Delete();
    }
}

TEST_F(WindowTest, DelayedDisplayMergesAndRedrawEmptiesIt)
{
    // Sizing the window asked for the whole of it.
    EXPECT_EQ(w->RetDelayedRect(), ZuRect(0, 0, 99, 59));
    EXPECT_TRUE(w->RetDelayedFrame());
    w->ResetDelayedDisplay();
    w->AddDelayedDisplay(ZuRect(0, 0, 9, 9), false);
    w->AddDelayedDisplay(ZuRect(20, 20, 29, 29), true);
    EXPECT_EQ(w->RetDelayedRect(), ZuRect(0, 0, 29, 29));
    w->Redraw(ZuRect(0, 0, 15, 15), false); // a part: stays pending
    EXPECT_FALSE(w->RetDelayedRect().IsEmpty());
    w->Redraw(ZuRect(0, 0, 99, 59), false); // covers it
    EXPECT_TRUE(w->RetDelayedRect().IsEmpty());
    EXPECT_TRUE(w->RetDelayedFrame()); // left for the next pass to clear
    EXPECT_FALSE(w->RedrawDelayedDisplay());
    EXPECT_FALSE(w->RetDelayedFrame());
    a->Display(true);
    EXPECT_EQ(w->RetDelayedRect(), ZuRect(10, 10, 49, 39));
    EXPECT_TRUE(w->RedrawDelayedDisplay());
    EXPECT_EQ(Pixel(pixmap, 15, 15), 0xFF0000u);
    EXPECT_TRUE(w->RetDelayedRect().IsEmpty());
}

TEST_F(WindowTest, PointerEntersAndLeavesAndDragGrabs)
{
    TProbeViewRef inner = TProbeView::Make("C", 40, 30, 60, 45);
    inner->SetParent(b);
    Send(ZU_EVENT_MOTION, 35, 25);
    EXPECT_EQ(TProbeView::log, "B:Enter B:MotionNotify ");
    TProbeView::log.clear();
    Send(ZU_EVENT_MOTION, 50, 40); // into the child: no leave for B
    EXPECT_EQ(TProbeView::log, "C:Enter C:MotionNotify ");
    TProbeView::log.clear();
    Send(ZU_EVENT_MOTION, 15, 15);
    EXPECT_NE(TProbeView::log.find("C:Leave"), std::string::npos);
    EXPECT_NE(TProbeView::log.find("B:Leave"), std::string::npos);
    EXPECT_NE(TProbeView::log.find("A:Enter"), std::string::npos);
    // A dragging view takes every event until one holds no button.
    w->SetDraggingView(b);
    TProbeView::log.clear();
    Send(ZU_EVENT_MOTION, 15, 15, 0);
    Send(ZU_EVENT_KEY_DOWN, 0, 0, 0);
    Send(ZU_EVENT_RELEASE, 15, 15);
    Send(ZU_EVENT_MOTION, 15, 15);
    EXPECT_EQ(TProbeView::log, "B:DragNotify B:KeyDown B:ButtonRelease A:MotionNotify ");
}

TEST_F(WindowTest, KeysGoToTheMainResponderAndModalWindowsBlock)
{
    a->SetLastActive();
    b->SetLastActive();
    EXPECT_TRUE(w->SetMainResponder(a, false));
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN, 0, 0);
    EXPECT_EQ(TProbeView::log, "A:KeyDown ");
    // A disabled view climbs to its next responders.
    TProbeViewRef child = TProbeView::Make("D", 12, 12, 14, 14);
    child->SetParent(b);
    child->SetDisable();
    TProbeView::log.clear();
    EXPECT_TRUE(w->SetMainResponder(child, false));
    EXPECT_EQ(TProbeView::log, "A:Resign B:Become ");
    // When the main responder leaves the active list its next, else its
    // previous active sibling takes over.
    TProbeView::log.clear();
    b->RemoveActive();
    EXPECT_EQ(TProbeView::log, "B:Resign A:Become ");
    // Every event of a window with a modal window is dropped.
    ZuWindowRef modal = NewTestWindow(10, 10);
    w->NotifyInsertModalWindow(modal);
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN, 0, 0);
    Send(ZU_EVENT_PRESS, 15, 15, 0);
    EXPECT_EQ(TProbeView::log, "");
    w->NotifyRemoveModalWindow(modal);
    modal->Delete();
}

TEST_F(WindowTest, DropStepsKeepTheOverlayUntilTheLastLeaveAndCommitSends)
{
    TDroppedRef dragged = ZuNew<TDropped>(Zuvi_app_zone);
    ZuRect r(0, 0, 5, 5);
    EXPECT_TRUE(a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_ENTER));
    EXPECT_TRUE(a->DragAndDrop(r, dragged, ZU_DDP_CONNECT_ENTER));
    EXPECT_TRUE(w->RetViewOverlays()->LookFor(a));
    EXPECT_TRUE(a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_LEAVE));
    EXPECT_TRUE(w->RetViewOverlays()->LookFor(a));
    EXPECT_TRUE(a->DragAndDrop(r, dragged, ZU_DDP_CONNECT_LEAVE));
    EXPECT_FALSE(w->RetViewOverlays()->LookFor(a));
    EXPECT_EQ(a->RetNumOverlays(), 0u);
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_ENTER);
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_COMMIT);
    ZuObjectRef embedded = ZuNew<TDropped>(Zuvi_app_zone);
    EXPECT_EQ(g_commits, "CommitDrop(empty) ");
    a->SetAttribute("embedded_object_for_drop", embedded);
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_ENTER);
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_COMMIT);
    EXPECT_EQ(g_commits, "CommitDrop(empty) CommitDrop(object) ");
    // A hidden view refuses every step.
    b->ChangeState(ZU_VIEW_NO_DISPLAY, true, false);
    EXPECT_FALSE(b->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_MOTION));
    // A check nobody can answer climbs to the window, which refuses.
    EXPECT_FALSE(a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_CHECK));
    embedded->Delete();
    dragged->Delete();
}

TEST_F(WindowTest, EventLayerHandsWindowEventsToTheWindow)
{
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_MOTION, 15, 15);
    e->In(w);
    e->ZuEvent::DispatchEvent();
    EXPECT_EQ(TProbeView::log, "A:Enter A:MotionNotify ");
    e->Delete();
}

TEST_F(WindowTest, StyleChangesAndModalActivation)
{
    ZuWinStyle set;
    set.SetBit(ZU_WINSTYLE_SIZABLE);
    set.SetBit(ZU_WINSTYLE_TOOL);
    w->ChangeStyle(set, true);
    ZuWinStyle both = set;
    both.SetBit(ZU_WINSTYLE_FRAMELESS);
    EXPECT_EQ(w->RetStyle(), both);
    ZuWinStyle one;
    one.SetBit(ZU_WINSTYLE_TOOL);
    w->ChangeStyle(one, false);
    ZuWinStyle left;
    left.SetBit(ZU_WINSTYLE_SIZABLE);
    left.SetBit(ZU_WINSTYLE_FRAMELESS);
    EXPECT_EQ(w->RetStyle(), left);

    // Activating a window that has modal windows activates the one that
    // was active last instead.
    ZuWindowRef first = NewTestWindow(10, 10), last = NewTestWindow(10, 10);
    w->NotifyInsertModalWindow(first);
    w->NotifyInsertModalWindow(last);
    w->SysChangedActive(true);
    EXPECT_TRUE(last->IsVisible());
    EXPECT_FALSE(first->IsVisible());
    EXPECT_FALSE(w->IsVisible());
    w->NotifyRemoveModalWindow(first);
    w->NotifyRemoveModalWindow(last);
    first->Delete();
    last->Delete();
}

TEST_F(WindowTest, StoredWindowComesBackWithItsTree)
{
    w->SetTitle(ZuStringRef("Fenêtre"));
    a->SetUserName(ZuAtomRef("gauche"));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(w);
    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(s->Bytes());
    ZuObjectRef back;
    in->RestoreObject(back, ZuWindowRef::RetRuntime());
    ZuWindowRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    ZuViewRef found;
    ASSERT_TRUE(copy->FindUserName(ZuAtomRef("gauche"), found));
    EXPECT_EQ(found->RetWindow(), copy);
    EXPECT_TRUE(copy->RetViewCollection()->LookFor(found));
    EXPECT_EQ(copy->RetViewCollection()->TotalCount(), 2u);
    ZuViewRef hit;
    EXPECT_TRUE(copy->Detect(40, 30, hit, false));
    EXPECT_EQ(hit->RetBox(), ZuRect(30, 20, 69, 49));
    copy->Delete();
}

TEST_F(WindowTest, ModalParentsMainStyleAndClosing)
{
    ZuWindowRef modal = NewTestWindow(10, 10);
    EXPECT_FALSE(modal->IsModal());
    EXPECT_TRUE(modal->SetModalWindowParent(w));
    EXPECT_TRUE(modal->IsModal());
    EXPECT_TRUE(w->HasModalWindow());
    ZuWindowRef parent;
    EXPECT_TRUE(modal->GetModalWindowParent(parent));
    EXPECT_EQ(parent, w);
    // Closing gives the parent back its events.
    modal->Close();
    EXPECT_FALSE(modal->IsModal());
    EXPECT_FALSE(w->HasModalWindow());
    EXPECT_FALSE(modal->IsVisible());
    EXPECT_FALSE(modal->IsReduced());
    EXPECT_FALSE(modal->IsActive());
    // A modal window deleted without ever being opened leaves its parent.
    modal->SetModalWindowParent(w);
    modal->Delete();
    EXPECT_FALSE(w->HasModalWindow());

    w->NotifyMainWindow(true);
    EXPECT_TRUE(w->RetStyle().TestBit(ZU_WINSTYLE_MAIN));
    w->NotifyMainWindow(false);
    EXPECT_FALSE(w->RetStyle().TestBit(ZU_WINSTYLE_MAIN));
}
