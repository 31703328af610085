// The selection frame of the interface builder in a running window: taking
// the edited view's place and giving it back, corner grabs, moving and
// resizing with the mouse, and what reaches the builder.

#include <gtest/gtest.h>

#include <string>

#include "si/app.h"
#include "si/gridview.h"
#include "si/list.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/selview.h"
#include "si/springband.h"
#include "si/springboard.h"
#include "si/values.h"
#include "si/window.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"

namespace {
std::string g_log;
}

// The builder stand-in: the two data items, the four actions and the two
// messages that a selection frame uses, logged.
ZU_HANDLE(TSelBuilder, ZuObject)
class TSelBuilder : public ZuObject {
    ZU_CLASS(TSelBuilder, ZuObject)
public:
    TSelBuilder() {}
    void Delete() override
    {
        selected_object = ZuObjectNull;
        selected_sel_view = ZuObjectNull;
        ZuObject::Delete();
    }
    ZuObjectRef selected_object;
    ZuObjectRef selected_sel_view;
};
ZU_CLASS_END(TSelBuilder)
ZU_IMPLEMENT_CLASS(TSelBuilder, "tests/selview", ZU_CLASS_PLAIN)

#define T_LOGGED_ACTION(NAME)               \
    static Zuvi_TargetExport action_##NAME( \
        [](ZuObject*) -> bool {             \
            g_log += #NAME " ";             \
            return true;                    \
        },                                  \
        #NAME, TSelBuilderRef::RetRuntime());
T_LOGGED_ACTION(NotifyConnectionBegin)
T_LOGGED_ACTION(NotifyMenuBegin)
T_LOGGED_ACTION(NotifyDeleteSelection)
T_LOGGED_ACTION(NotifyInspectSelection)

namespace {
// Logs the message's method and whether its argument is a selection view.
bool LogMessage(const char* method, const ZuMessageRef& msg)
{
    ZuObjectRef arg;
    msg >> arg;
    bool is_frame = arg.IsValid() && arg->IsKindOf(ZuSelViewRef::RetRuntime());
    g_log += std::string(method) + (is_frame ? "(frame) " : "(?) ");
    return true;
}
bool BeginThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("NotifySelectionBegin (ZuObjectRef view)");
        exp->SetArg("ZuObjectRef", "view", "selection view");
        return false;
    }
    return LogMessage("NotifySelectionBegin", msg);
}
bool EndThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("NotifySelectionEnd (ZuObjectRef view)");
        exp->SetArg("ZuObjectRef", "view", "selection view");
        return false;
    }
    return LogMessage("NotifySelectionEnd", msg);
}
Zuvi_TargetExport begin_export(&BeginThunk, TSelBuilderRef::RetRuntime());
Zuvi_TargetExport end_export(&EndThunk, TSelBuilderRef::RetRuntime());

void GetSelectedObject(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<TSelBuilder*>(o)->selected_object);
}
bool SetSelectedObject(const ZuValueRef& value, ZuObject* o)
{
    static_cast<TSelBuilder*>(o)->selected_object =
        value.IsValid() ? value->RetObject() : ZuObjectNull;
    return true;
}
void GetSelectedSelView(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<TSelBuilder*>(o)->selected_sel_view);
}
bool SetSelectedSelView(const ZuValueRef& value, ZuObject* o)
{
    static_cast<TSelBuilder*>(o)->selected_sel_view =
        value.IsValid() ? value->RetObject() : ZuObjectNull;
    return true;
}
void DeclareBuilderData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&TSelBuilderRef::RetRuntime(), "selected_object", "Selected object", &ZuObject_type, true,
         true, &GetSelectedObject, &SetSelectedObject},
        {&TSelBuilderRef::RetRuntime(), "selected_sel_view", "Selection view", &ZuObject_type, true,
         true, &GetSelectedSelView, &SetSelectedSelView},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport builder_data(&DeclareBuilderData);
} // namespace

// A probe view that may not shrink below 20 x 15.
ZU_HANDLE(TMinView, TProbeView)
class TMinView : public TProbeView {
    ZU_CLASS(TMinView, TProbeView)
public:
    TMinView() {}
    void GetMinSize(double& dx, double& dy) const override
    {
        dx = 20;
        dy = 15;
    }
};
ZU_CLASS_END(TMinView)
ZU_IMPLEMENT_CLASS(TMinView, "tests/selview", ZU_CLASS_PLAIN)

class SelViewTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        g_log.clear();
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        builder = ZuNew<TSelBuilder>(Zuvi_app_zone);
        app->SetBuilder(builder);
        w = NewTestWindow(100, 60);
        a = TProbeView::Make("A", 0, 0, 9, 9);
        b = ZuNew<TMinView>(Zuvi_app_zone);
        b->label = "B";
        b->SetBox(ZuRect(10, 10, 49, 39));
        c = TProbeView::Make("C", 60, 10, 89, 49);
        for (const ZuViewRef& v : {ZuViewRef(a), ZuViewRef(b), ZuViewRef(c)}) {
            v->SetParent(w);
            v->SetLastActive();
        }
        row = ZuNew<ZuSpringBand>();
        row->InsertView(0, a);
        row->InsertView(1, b);
        row->InsertView(2, c);
        ZuSpringBoardRef board = ZuNew<ZuSpringBoard>();
        board->InsertBand(0, row);
        w->SetSpringBoard(board);
    }
    void TearDown() override
    {
        w->Delete();
        w = ZuWindowRef();
        a = c = TProbeViewRef();
        b = TMinViewRef();
        row = ZuSpringBandRef();
        app->SetBuilder(ZuObjectNull);
        builder->Delete();
        builder = TSelBuilderRef();
        ZuApp::Kill();
        app = ZuAppRef();
        LookTest::TearDown();
    }
    // A left press, motion with the button held, or release at (x, y).
    void Mouse(ZuEventType type, double x, double y, bool shift = false, bool control = false)
    {
        TProbeEventRef e = TProbeEvent::Make(type, x, y);
        if (type != ZU_EVENT_RELEASE)
            e->Button(ZU_EV_BUTTON_LEFT);
        if (type != ZU_EVENT_MOTION)
            e->Changed(ZU_EV_BUTTON_LEFT);
        if (shift)
            e->Modifier(ZU_MOD_SHIFT);
        if (control)
            e->Modifier(ZU_MOD_CONTROL);
        w->DispatchEvent(e);
        e->Delete();
    }
    void Key(ZuKeyType type)
    {
        TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_KEY_DOWN, 0, 0);
        e->Key(type, 0, 0);
        w->DispatchEvent(e);
        e->Delete();
    }
    // Selects b the way a user does: Ctrl+Shift+click on it.
    ZuSelViewRef SelectB()
    {
        Mouse(ZU_EVENT_PRESS, 30, 25, true, true);
        Mouse(ZU_EVENT_RELEASE, 30, 25, true, true);
        ZuViewRef cursor;
        w->GetCursorView(cursor);
        return cursor.IsValid() && cursor->IsKindOf(ZuSelViewRef::RetRuntime())
                   ? ZuSelViewRef(cursor)
                   : ZuSelViewRef();
    }
    int ActiveRank(const ZuViewRef& v)
    {
        unsigned i = 0;
        return w->RetActiveList().IsValid() && w->RetActiveList()->Find(v, i) ? int(i) : -1;
    }
    unsigned BandIndex(const ZuViewRef& v)
    {
        unsigned i = 99;
        return row->FindView(v, i) ? i : 99;
    }

    ZuAppRef app;
    TSelBuilderRef builder;
    ZuWindowRef w;
    TProbeViewRef a, c;
    TMinViewRef b;
    ZuSpringBandRef row;
};

TEST_F(SelViewTest, FrameStandsInForTheViewAndGivesItsPlaceBack)
{
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    EXPECT_EQ(g_log, "NotifySelectionBegin(frame) ");
    EXPECT_EQ(sel->RetSelectedView(), ZuViewRef(b));
    EXPECT_EQ(sel->RetSelectedObject().Resolve(), b.Resolve());
    EXPECT_EQ(sel->RetBox(), ZuRect(10, 10, 49, 39));
    // The frame holds the view and stands where it stood.
    EXPECT_EQ(b->RetParent(), ZuViewRef(sel));
    EXPECT_EQ(sel->RetParent(), ZuViewRef(w));
    ZuViewRef prev, next;
    sel->GetPrevSibling(prev);
    sel->GetNextSibling(next);
    EXPECT_EQ(prev, ZuViewRef(a));
    EXPECT_EQ(next, ZuViewRef(c));
    EXPECT_EQ(BandIndex(sel), 1u);
    EXPECT_EQ(BandIndex(b), 99u);
    EXPECT_EQ(ActiveRank(sel), 1);
    // The pointer finds the frame, never the view inside.
    ZuViewRef hit;
    EXPECT_TRUE(w->Detect(30, 25, hit, true));
    EXPECT_EQ(hit, ZuViewRef(sel));
    // Selecting it publishes it on the builder.
    EXPECT_EQ(builder->selected_sel_view.Resolve(), sel.Resolve());
    EXPECT_EQ(builder->selected_object.Resolve(), b.Resolve());

    // Ctrl+Shift+click on the frame ends the selection.
    g_log.clear();
    Mouse(ZU_EVENT_PRESS, 30, 25, true, true);
    EXPECT_EQ(g_log, "NotifySelectionEnd(frame) ");
    EXPECT_EQ(b->RetParent(), ZuViewRef(w));
    b->GetPrevSibling(prev);
    b->GetNextSibling(next);
    EXPECT_EQ(prev, ZuViewRef(a));
    EXPECT_EQ(next, ZuViewRef(c));
    EXPECT_EQ(BandIndex(b), 1u);
    EXPECT_EQ(ActiveRank(b), 1);
    EXPECT_EQ(w->RetActiveList()->TotalCount(), 3u);
    EXPECT_EQ(b->RetBox(), ZuRect(10, 10, 49, 39));
}

TEST_F(SelViewTest, RefusedOrSecondSelectionsChangeNothing)
{
    ZuSelViewRef sel = ZuNew<ZuSelView>(Zuvi_app_zone);
    // A view that may not be modified refuses to be edited.
    b->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    EXPECT_FALSE(sel->BeginSelection(b));
    EXPECT_TRUE(sel->RetSelectedView().IsInvalid());
    EXPECT_TRUE(sel->RetSelectedObject().IsInvalid());
    EXPECT_EQ(b->RetParent(), ZuViewRef(w));
    b->ChangeState(ZU_VIEW_NO_UI_MODIF, false, false);
    EXPECT_FALSE(sel->BeginSelection(ZuViewRef()));
    // Ending with no running selection sends nothing.
    sel->EndSelection();
    EXPECT_EQ(g_log, "");

    ASSERT_TRUE(sel->BeginSelection(b));
    g_log.clear();
    EXPECT_FALSE(sel->BeginSelection(c));
    EXPECT_EQ(sel->RetSelectedView(), ZuViewRef(b));
    EXPECT_EQ(c->RetParent(), ZuViewRef(w));
    EXPECT_EQ(g_log, "");
    sel->EndSelection();
    sel->Delete();
}

TEST_F(SelViewTest, PressGrabsTheCornerUnderThePointer)
{
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    // The box is (10, 10)-(49, 39); the corner zones are 5 wide.
    struct Case {
        double x, y;
        int corner;
    } cases[] = {
        {13, 13, 1}, {15, 13, 0}, {13, 15, 0}, {46, 11, 2},
        {48, 38, 3}, {11, 37, 4}, {30, 25, 0}, {44, 34, 0},
    };
    for (const Case& k : cases) {
        Mouse(ZU_EVENT_PRESS, k.x, k.y);
        EXPECT_EQ(sel->RetDragCorner(), k.corner) << k.x << "," << k.y;
        ZuViewRef dragging;
        EXPECT_TRUE(w->GetDraggingView(dragging));
        EXPECT_EQ(dragging, ZuViewRef(sel));
        Mouse(ZU_EVENT_RELEASE, k.x, k.y);
        EXPECT_FALSE(sel->RetState().TestBit(ZU_VIEW_IS_CLICKED));
    }
}

TEST_F(SelViewTest, DraggingMovesAndResizesWithinTheWindowAndTheMinimum)
{
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    // The whole view follows the pointer at the grab distance.
    Mouse(ZU_EVENT_PRESS, 30, 25);
    Mouse(ZU_EVENT_MOTION, 35, 27);
    EXPECT_EQ(sel->RetBox(), ZuRect(15, 12, 54, 41));
    EXPECT_EQ(b->RetBox(), sel->RetBox());
    Mouse(ZU_EVENT_RELEASE, 35, 27);

    // Corner 3 dragged past the window's right edge stops at its width.
    Mouse(ZU_EVENT_PRESS, 54, 41);
    ASSERT_EQ(sel->RetDragCorner(), 3);
    Mouse(ZU_EVENT_MOTION, 150, 45);
    EXPECT_EQ(sel->RetBox(), ZuRect(15, 12, 99, 44));
    EXPECT_EQ(b->RetBox(), sel->RetBox());
    // Shrinking stops at the view's minimum size.
    Mouse(ZU_EVENT_MOTION, 16, 13);
    EXPECT_EQ(sel->RetBox(), ZuRect(15, 12, 34, 26));
    EXPECT_EQ(b->RetBox(), sel->RetBox());
    Mouse(ZU_EVENT_RELEASE, 16, 13);

    // Corner 1 keeps the bottom-right corner where it is.
    Mouse(ZU_EVENT_PRESS, 15, 12);
    ASSERT_EQ(sel->RetDragCorner(), 1);
    Mouse(ZU_EVENT_MOTION, 5, 2);
    EXPECT_EQ(sel->RetBox(), ZuRect(5, 2, 34, 26));
    Mouse(ZU_EVENT_MOTION, 30, 30);
    EXPECT_EQ(sel->RetBox(), ZuRect(15, 12, 34, 26));
    Mouse(ZU_EVENT_RELEASE, 30, 30);
    sel->EndSelection();
    EXPECT_EQ(b->RetBox(), ZuRect(15, 12, 34, 26));
    sel->Delete();
}

// The window's "BuilderGrid" snaps a moved view's origin and a resized
// view's corners; anything but a grid view under that name is ignored.
TEST_F(SelViewTest, TheBuildersGridSnapsMovesAndResizes)
{
    ZuGridViewRef grid = ZuNew<ZuGridView>(Zuvi_app_zone);
    grid->SetGridPitch(10, 10);
    w->SetAttribute("BuilderGrid", grid);
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    Mouse(ZU_EVENT_PRESS, 30, 25);
    Mouse(ZU_EVENT_MOTION, 42, 41);
    EXPECT_EQ(sel->RetBox(), ZuRect(20, 20, 59, 49));
    EXPECT_EQ(b->RetBox(), sel->RetBox());
    Mouse(ZU_EVENT_RELEASE, 42, 41);
    // The bottom-right corner lands on the grid too.
    const ZuRect before = sel->RetBox();
    Mouse(ZU_EVENT_PRESS, before.X2(), before.Y2());
    ASSERT_EQ(sel->RetDragCorner(), 3);
    Mouse(ZU_EVENT_MOTION, 73, 62);
    EXPECT_EQ(sel->RetBox(), ZuRect(20, 20, 69, 59));
    Mouse(ZU_EVENT_RELEASE, 73, 62);

    w->RemoveAttribute("BuilderGrid", 0);
    w->SetAttribute("BuilderGrid", ZuObjectRef(ZuStringRef("pas une grille")));
    Mouse(ZU_EVENT_PRESS, 30, 25);
    Mouse(ZU_EVENT_MOTION, 33, 26);
    EXPECT_EQ(sel->RetBox().X1(), 23);
    Mouse(ZU_EVENT_RELEASE, 33, 26);
    sel->EndSelection();
    sel->Delete();
    grid->Delete();
}

TEST_F(SelViewTest, KeysAndModifiedPressesReachTheBuilderOnlyWhileActive)
{
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    ASSERT_TRUE(sel->RetState().TestBit(ZU_VIEW_IS_ACTIVE));
    g_log.clear();
    Key(ZU_KEY_DELETE);
    Key(ZU_KEY_BACKSPACE);
    Key(ZU_KEY_RETURN);
    Mouse(ZU_EVENT_PRESS, 30, 25, false, true);
    Mouse(ZU_EVENT_RELEASE, 30, 25, false, true);
    Mouse(ZU_EVENT_PRESS, 30, 25, true, false);
    Mouse(ZU_EVENT_RELEASE, 30, 25, true, false);
    EXPECT_EQ(g_log, "NotifyDeleteSelection NotifyDeleteSelection NotifyInspectSelection "
                     "NotifyConnectionBegin NotifyMenuBegin ");
    EXPECT_FALSE(sel->RetState().TestBit(ZU_VIEW_IS_CLICKED));

    // Resigning withdraws the selection from the builder.
    w->RemoveMainResponder();
    EXPECT_TRUE(builder->selected_sel_view.IsInvalid());
    EXPECT_TRUE(builder->selected_object.IsInvalid());
    g_log.clear();
    // An inactive frame keeps the key from the builder.
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_KEY_DOWN);
    e->Key(ZU_KEY_DELETE, 0, 0);
    sel->KeyDown(e);
    e->Delete();
    EXPECT_EQ(g_log, "");
}

TEST_F(SelViewTest, DeletingTheFrameDeletesTheSelectedView)
{
    ZuSelViewRef sel = SelectB();
    ASSERT_TRUE(sel.IsValid());
    sel->Delete();
    b = TMinViewRef();
    ZuViewRef prev, next;
    a->GetNextSibling(next);
    EXPECT_EQ(next, ZuViewRef(c));
    EXPECT_EQ(w->RetActiveList()->TotalCount(), 2u);
}
