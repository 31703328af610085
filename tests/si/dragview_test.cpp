// A view dragged between windows as a user drags it: pressed in one
// window, carried by the drag window under the pointer, offered to the
// views it passes over and dropped or sent back at the release.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "si/dataslot.h"
#include "si/dragpal.h"
#include "si/dragview.h"
#include "si/event.h"
#include "si/gridview.h"
#include "si/objectwell.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "tests/support/controls.h"
#include "tests/support/views.h"

namespace {
std::string g_steps;

const char* StepName(ZuDragDropProtocol step)
{
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
        return "CHECK";
    case ZU_DDP_DRAGnDROP_ENTER:
        return "ENTER";
    case ZU_DDP_DRAGnDROP_LEAVE:
        return "LEAVE";
    case ZU_DDP_DRAGnDROP_MOTION:
        return "MOTION";
    case ZU_DDP_DRAGnDROP_COMMIT:
        return "COMMIT";
    default:
        return nullptr;
    }
}
} // namespace

// A drop target that logs the steps it is offered (not the substitution)
// and answers the check as told.
ZU_HANDLE(TDropTarget, ZuView)
class TDropTarget : public ZuView {
    ZU_CLASS(TDropTarget, ZuView)
public:
    TDropTarget() {}
    static TDropTargetRef Make(const char* label, const ZuRect& box, bool accept)
    {
        TDropTargetRef t(ZuNew<TDropTarget>(Zuvi_app_zone));
        t->label = label;
        t->accept = accept;
        t->SetBox(box);
        return t;
    }
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override
    {
        if (const char* name = StepName(step))
            g_steps += label + ":" + name + " ";
        if (step == ZU_DDP_DRAGnDROP_CHECK)
            return accept;
        return ZuView::DragAndDrop(rect, object, step);
    }
    std::string label;
    bool accept = true;
};
ZU_CLASS_END(TDropTarget)
ZU_IMPLEMENT_CLASS(TDropTarget, "tests/dragview", ZU_CLASS_PLAIN)

// A view whose left press starts a drag of itself, configured by the test.
ZU_HANDLE(TDragSource, ZuView)
class TDragSource : public ZuView {
    ZU_CLASS(TDragSource, ZuView)
public:
    TDragSource() {}
    void ButtonPress(const ZuEventRef& event) override
    {
        if (configure)
            configure(event);
    }
    void GetMinSize(double& dx, double& dy) const override
    {
        dx = min_dx;
        dy = min_dy;
    }
    std::function<void(const ZuEventRef&)> configure;
    double min_dx = 2, min_dy = 2;
};
ZU_CLASS_END(TDragSource)
ZU_IMPLEMENT_CLASS(TDragSource, "tests/dragview", ZU_CLASS_PLAIN)

// The drag view with its inner state readable and its slide-back steps
// logged.
ZU_HANDLE(TDragView, ZuDragView)
class TDragView : public ZuDragView {
    ZU_CLASS(TDragView, ZuDragView)
public:
    TDragView() {}
    void SetWindowOrigin(double x, double y) override
    {
        if (log_origins)
            origins += std::to_string(int(x)) + " ";
        ZuDragView::SetWindowOrigin(x, y);
    }
    const ZuViewRef& LastDropView() const { return drop_view; }
    void SetStartOrigin(double x, double y)
    {
        start_x = x;
        start_y = y;
    }
    bool log_origins = false;
    std::string origins;
};
ZU_CLASS_END(TDragView)
ZU_IMPLEMENT_CLASS(TDragView, "tests/dragview", ZU_CLASS_PLAIN)

// Vetoes every drop view offered during "do_check_drop", after reading
// what the drag view lets it read then.
ZU_HANDLE(TCheckVeto, ZuObject)
class TCheckVeto : public ZuObject {
    ZU_CLASS(TCheckVeto, ZuObject)
public:
    TCheckVeto() {}
    bool Veto(const ZuObjectRef& source, unsigned)
    {
        ZuDragViewRef drag(source);
        ZuViewRef v;
        ZuRect box;
        saw_view = drag->GetDropView(v) && v.IsValid() && drag->GetDropBox(box);
        return drag->InvalidateDropView();
    }
    bool saw_view = false;
};
ZU_CLASS_END(TCheckVeto)
ZU_IMPLEMENT_CLASS(TCheckVeto, "tests/dragview", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TCheckVeto, Veto)

class DragViewTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        g_steps.clear();
        source = ZuNew<TDragSource>(Zuvi_app_zone);
        source->SetBox(ZuRect(10, 10, 29, 29));
        source->SetParent(w);
        a = TDropTarget::Make("A", ZuRect(60, 10, 99, 59), true);
        b = TDropTarget::Make("B", ZuRect(120, 10, 159, 59), true);
        a->SetParent(w);
        b->SetParent(w);
        // The drag takes the pressed view, keeps the pressed point under
        // the pointer and offers the pointer's position as the drop box.
        source->configure = [this](const ZuEventRef& event) {
            drag = ZuNew<TDragView>(Zuvi_app_zone);
            reports->Watch(drag, {"notify_drag_began", "notify_drag_ended", "notify_drop_committed",
                                  "notify_drop_cancelled"});
            drag->SetAutoStop(auto_stop);
            drag->SetAutoEmbed(true);
            drag->SetDragView(source);
            drag->SetDragObject(source);
            double ox = 0, oy = 0;
            source->GetOrigin(ox, oy);
            drag->SetHotSpot(event->RetX() - ox, event->RetY() - oy);
            drag->SetDetectSpot(detect_dx, 0);
            if (only_in.IsValid())
                drag->DropOnlyInView(only_in);
            if (veto.IsValid())
                drag->AttachObserver(veto, ZuDragView::do_check_drop, ZuAtomRef("Veto"), 0);
            drag->DragBegin();
            ZuEvent::HandOverToWindow(drag);
        };
    }
    void TearDown() override
    {
        if (drag.IsValid() && drag->IsVisible()) {
            drag->DragForget();
            drag->Close();
            drag->Delete();
        }
        drag = TDragViewRef();
        if (source->RetParent().IsInvalid())
            source->Delete();
        source = TDragSourceRef();
        a = b = TDropTargetRef();
        if (veto.IsValid())
            veto->Delete();
        veto = TCheckVetoRef();
        only_in = ZuViewRef();
        ControlTest::TearDown();
    }
    // Press on the source, a first motion that starts the drag, then the
    // pointer at each point with the button held.
    void DragThrough(std::initializer_list<std::pair<double, double>> points)
    {
        Mouse(15, 15, MK_LBUTTON);
        Mouse(16, 16, MK_LBUTTON);
        for (const auto& p : points)
            Mouse(p.first, p.second, MK_LBUTTON);
    }

    TDragSourceRef source;
    TDropTargetRef a, b;
    TDragViewRef drag;
    TCheckVetoRef veto;
    ZuViewRef only_in;
    bool auto_stop = true;
    double detect_dx = 0;
};

TEST_F(DragViewTest, MovingBetweenViewsLeavesTheFirstBeforeEnteringTheNext)
{
    DragThrough({{70, 20}, {75, 25}, {130, 20}});
    ASSERT_TRUE(drag.IsValid());
    EXPECT_EQ(g_steps, "A:CHECK A:ENTER A:MOTION B:CHECK A:LEAVE B:ENTER ");
    // The lifted view rides in the drag window, kept under the pointer at
    // the pressed point.
    EXPECT_EQ(source->RetParent(), ZuViewRef(drag));
    double x = 0, y = 0, wx = 0, wy = 0;
    drag->GetWindowOrigin(x, y);
    w->GetWindowOrigin(wx, wy);
    EXPECT_EQ(x - wx, 125);
    EXPECT_EQ(y - wy, 15);

    // The release drops the view into B at the drop box.
    g_steps.clear();
    Mouse(130, 20, 0);
    // The release is a last motion over B, then the drop.
    EXPECT_EQ(g_steps.find("LEAVE"), std::string::npos);
    EXPECT_EQ(g_steps.substr(g_steps.size() - 17), "B:CHECK B:COMMIT ");
    EXPECT_EQ(source->RetParent(), ZuViewRef(b));
    EXPECT_EQ(source->RetBox(), ZuRect(130, 20, 149, 39));
    EXPECT_EQ(reports->log, "notify_drag_began(1) notify_drag_ended(1) notify_drop_committed(1) ");
    EXPECT_FALSE(drag->IsVisible());
    EXPECT_EQ(ZuEvent::RetGrabCount(), 0);
}

TEST_F(DragViewTest, AVetoDuringTheCheckLeavesNoDropView)
{
    veto = ZuNew<TCheckVeto>(Zuvi_app_zone);
    DragThrough({{70, 20}, {75, 25}});
    EXPECT_TRUE(veto->saw_view);
    // A accepted, was overturned and never entered; the drop stays off.
    EXPECT_EQ(g_steps, "A:CHECK A:CHECK ");
    EXPECT_TRUE(drag->LastDropView().IsInvalid());
    // Outside the check the drag view answers nothing.
    ZuViewRef v;
    EXPECT_FALSE(drag->GetDropView(v));
    EXPECT_FALSE(drag->InvalidateDropView());
    Mouse(75, 25, 0);
    EXPECT_EQ(reports->log, "notify_drag_began(1) notify_drag_ended(1) notify_drop_cancelled(1) ");
    // The owner takes back a view whose drop failed: it has no parent.
    EXPECT_TRUE(source->RetParent().IsInvalid());
}

TEST_F(DragViewTest, LeavingTheAllowedViewDisablesTheDrop)
{
    only_in = a;
    DragThrough({{70, 20}, {130, 20}, {135, 25}});
    EXPECT_EQ(g_steps, "A:CHECK A:ENTER A:LEAVE ");
    EXPECT_TRUE(drag->LastDropView().IsInvalid());
}

TEST_F(DragViewTest, WithoutAutoStopTheReleaseOnlyLowersTheGrab)
{
    auto_stop = false;
    DragThrough({{70, 20}});
    EXPECT_EQ(ZuEvent::RetGrabCount(), 1);
    Mouse(72, 22, 0);
    EXPECT_EQ(ZuEvent::RetGrabCount(), 0);
    EXPECT_TRUE(drag->IsVisible());
    EXPECT_FALSE(drag->IsStarted());
    EXPECT_TRUE(drag->IsLifted());
    EXPECT_EQ(drag->LastDropView(), ZuViewRef(a));
    EXPECT_EQ(source->RetParent(), ZuViewRef(drag));
    EXPECT_EQ(reports->log, "notify_drag_began(1) ");
}

TEST_F(DragViewTest, ARefusedCheckAtTheReleaseSlidesBackAndCancels)
{
    DragThrough({{70, 20}});
    a->accept = false;
    Mouse(70, 20, 0);
    // No commit: the view is let go for its owner to take back.
    EXPECT_EQ(g_steps.substr(0, 16), "A:CHECK A:ENTER ");
    EXPECT_EQ(g_steps.substr(g_steps.size() - 17), "A:MOTION A:CHECK ");
    EXPECT_EQ(g_steps.find("COMMIT"), std::string::npos);
    EXPECT_TRUE(source->RetParent().IsInvalid());
    EXPECT_EQ(reports->log, "notify_drag_began(1) notify_drag_ended(1) notify_drop_cancelled(1) ");
}

TEST_F(DragViewTest, AProtectedTargetRefusesTheEmbedding)
{
    b->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    // Checked by the target itself: the probe accepts anyway.
    DragThrough({{130, 20}});
    Mouse(130, 20, 0);
    EXPECT_TRUE(source->RetParent().IsInvalid());
    EXPECT_EQ(reports->log, "notify_drag_began(1) notify_drag_ended(1) notify_drop_cancelled(1) ");
}

// The "BuilderGrid" of the target's window snaps the embedded view, never
// below its minimum size; anything that is not a grid view is ignored.
TEST_F(DragViewTest, TheBuilderGridSnapsTheDroppedViewWhenItIsAGrid)
{
    struct Case {
        const char* what;
        double detect_dx, drop_x, drop_y;
        double min_dx, min_dy;
        ZuRect expected;
    } cases[] = {
        {"grid", 0, 10, 7, 2, 2, ZuRect(8, 4, 27, 15)},
        {"grid", -15, 10, 7, 2, 2, ZuRect(-4, 4, 15, 15)},
        {"grid", 0, 10, 7, 22, 15, ZuRect(8, 4, 29, 18)},
        {"string", 0, 10, 7, 2, 2, ZuRect(10, 7, 30, 15)},
        {"none", 0, 10, 7, 2, 2, ZuRect(10, 7, 30, 15)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.what) + " " + std::to_string(k.detect_dx));
        ZuWindowRef target = NewShownWindow(400, 100, 100, 80);
        TDropTargetRef t = TDropTarget::Make("T", ZuRect(0, 0, 99, 79), true);
        t->SetParent(target);
        ZuGridViewRef grid(ZuNew<ZuGridView>(Zuvi_app_zone));
        if (std::string(k.what) == "grid")
            target->SetAttribute("BuilderGrid", grid);
        else if (std::string(k.what) == "string")
            target->SetAttribute("BuilderGrid", ZuObjectRef(ZuStringRef("pas une grille")));
        source->SetSize(21, 9);
        source->min_dx = k.min_dx;
        source->min_dy = k.min_dy;
        detect_dx = k.detect_dx;
        DragThrough({{300 + k.drop_x, k.drop_y}});
        Mouse(300 + k.drop_x, k.drop_y, 0);
        EXPECT_EQ(source->RetParent(), ZuViewRef(t));
        EXPECT_EQ(source->RetBox(), k.expected);
        // Back home for the next case.
        source->SetParent(w);
        source->SetBox(ZuRect(10, 10, 29, 29));
        target->RemoveAttribute("BuilderGrid", 0);
        grid->Delete();
    }
}

// An object well takes whatever is dropped on it as its object: here the
// dragged view itself, which leaves the drag without a parent.
TEST_F(DragViewTest, AViewDroppedOnAnObjectWellBecomesItsObject)
{
    ZuObjectWellRef well(ZuNew<ZuObjectWell>(Zuvi_app_zone));
    well->SetParent(w);
    well->SetBox(ZuRect(40, 70, 189, 109));
    TReportLogRef well_reports = TReportLog::Make();
    well_reports->Watch(well, {"notify_object_changed"});
    DragThrough({{100, 90}});
    Mouse(100, 90, 0);
    EXPECT_EQ(well->RetObject().Resolve(), static_cast<ZuObject*>(source.Resolve()));
    EXPECT_TRUE(source->RetParent().IsInvalid());
    EXPECT_EQ(well_reports->log, "notify_object_changed(1) notify_object_changed(1) ");
    EXPECT_EQ(reports->log, "notify_drag_began(1) notify_drag_ended(1) notify_drop_committed(1) ");
    well_reports->Delete();
}

TEST_F(DragViewTest, TheSlideBackEndsExactlyOnTheStart)
{
    TDragViewRef d(ZuNew<TDragView>(Zuvi_app_zone));
    d->InitGeom(0, 50, 20, 20);
    d->ShowNormal();
    d->SetStartOrigin(95, 50);
    d->log_origins = true;
    d->DragOops();
    EXPECT_EQ(d->origins, "9 19 28 38 47 57 66 76 85 95 ");
    d->Close();
    d->Delete();
}

// A palette sample that holds two objects it should share, not copy.
ZU_HANDLE(TSample, ZuView)
class TSample : public ZuView {
    ZU_CLASS(TSample, ZuView)
public:
    TSample() {}
    void Delete() override
    {
        app_ref = ZuObjectNull;
        slot_ref = ZuObjectNull;
        ZuView::Delete();
    }
    ZuObjectRef app_ref;
    ZuObjectRef slot_ref;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuView::StoreInstance(s);
        s->StoreObject(app_ref);
        s->StoreObject(slot_ref);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuView::RestoreInstance(s);
        s->RestoreObject(app_ref, ZuObjectRef::RetRuntime());
        s->RestoreObject(slot_ref, ZuObjectRef::RetRuntime());
    }
};
ZU_CLASS_END(TSample)
ZU_IMPLEMENT_CLASS(TSample, "tests/dragview", ZU_CLASS_PLAIN)

class DragPaletteTest : public DragViewTest {
protected:
    void SetUp() override
    {
        DragViewTest::SetUp();
        active = ZuNew<ZuDataSlot>(Zuvi_app_zone);
        builder = ZuNew<ZuDataSlot>(Zuvi_app_zone);
        builder->InsertField(ZuAtomRef("active_data_slot"), active);
        app->SetBuilder(builder);
        sample = ZuNew<TSample>(Zuvi_app_zone);
        sample->app_ref = app;
        sample->slot_ref = active;
        sample->SetBox(ZuRect(11, 71, 30, 90));
        sample->SetParent(w);
        palette = ZuNew<ZuDragPalette>(Zuvi_app_zone);
        palette->Initialise(sample);
        reports->Watch(palette, {"notify_drop_committed", "notify_drop_cancelled"});
    }
    void TearDown() override
    {
        app->SetBuilder(ZuObjectNull);
        builder->Delete();
        active->Delete();
        builder = active = ZuDataSlotRef();
        sample = TSampleRef();
        palette = ZuDragPaletteRef();
        DragViewTest::TearDown();
    }
    // Press on the sample, then carry it to a point of the window and let
    // go there.
    void DragSampleTo(double x, double y)
    {
        Mouse(15, 75, MK_LBUTTON);
        Mouse(16, 76, MK_LBUTTON);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    unsigned ChildCount(const ZuViewRef& v)
    {
        unsigned n = 0;
        ZuViewRef c;
        for (v->GetFirstChild(c); c.IsValid(); c->GetNextSibling(c))
            ++n;
        return n;
    }

    ZuDataSlotRef builder, active;
    TSampleRef sample;
    ZuDragPaletteRef palette;
};

TEST_F(DragPaletteTest, AFramedSampleIsCopiedIntoTheTargetSharingAppAndActiveSlot)
{
    EXPECT_EQ(palette->RetBox(), ZuRect(10, 70, 31, 91));
    EXPECT_EQ(sample->RetParent(), ZuViewRef(palette));
    // Nothing is dropped onto the palette itself.
    EXPECT_FALSE(palette->DragAndDrop(ZuRect(), sample, ZU_DDP_DRAGnDROP_CHECK));

    DragSampleTo(130, 20);
    // The palette is as it was.
    EXPECT_EQ(ChildCount(palette), 1u);
    EXPECT_EQ(sample->RetParent(), ZuViewRef(palette));
    EXPECT_EQ(sample->RetBox(), ZuRect(11, 71, 30, 90));
    // B holds a new sample that shares the two objects.
    ZuViewRef dropped;
    b->GetFirstChild(dropped);
    ASSERT_TRUE(dropped.IsValid());
    ASSERT_TRUE(dropped->IsKindOf(TSampleRef::RetRuntime()));
    EXPECT_NE(dropped.Resolve(), static_cast<ZuView*>(sample.Resolve()));
    TSampleRef copy(dropped);
    EXPECT_EQ(copy->app_ref.Resolve(), static_cast<ZuObject*>(app.Resolve()));
    EXPECT_EQ(copy->slot_ref.Resolve(), static_cast<ZuObject*>(active.Resolve()));
    EXPECT_FALSE(copy->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_EQ(reports->log, "notify_drop_committed(1) ");
}

TEST_F(DragPaletteTest, AMovedSampleThatIsRefusedComesBackWithThePalettesBox)
{
    palette->SetAutoCopy(false);
    b->accept = false;
    DragSampleTo(130, 20);
    EXPECT_EQ(sample->RetParent(), ZuViewRef(palette));
    EXPECT_EQ(sample->RetBox(), palette->RetBox());
    EXPECT_TRUE(palette->RetMovedView().IsInvalid());
    EXPECT_EQ(reports->log, "notify_drop_cancelled(1) ");
    EXPECT_TRUE(ChildCount(b) == 0);

    // Accepted, it stays in the target.
    reports->Clear();
    sample->SetBox(ZuRect(11, 71, 30, 90));
    b->accept = true;
    DragSampleTo(130, 20);
    EXPECT_EQ(sample->RetParent(), ZuViewRef(b));
    EXPECT_EQ(ChildCount(palette), 0u);
    EXPECT_EQ(reports->log, "notify_drop_committed(1) ");
}

TEST_F(DragPaletteTest, TheLastOfOverlappingSamplesIsTakenAndOtherButtonsStartNothing)
{
    palette->SetAutoCopy(false);
    TSampleRef top(ZuNew<TSample>(Zuvi_app_zone));
    top->SetBox(ZuRect(14, 74, 25, 85));
    top->SetParent(palette);
    Mouse(15, 75, MK_RBUTTON);
    Mouse(15, 75, 0);
    EXPECT_TRUE(palette->RetMovedView().IsInvalid());
    Mouse(15, 75, MK_LBUTTON);
    EXPECT_EQ(palette->RetMovedView(), ZuViewRef(top));
    Mouse(130, 20, MK_LBUTTON);
    Mouse(131, 21, MK_LBUTTON);
    Mouse(131, 21, 0);
    EXPECT_EQ(top->RetParent(), ZuViewRef(b));
}
