// The window's dispatch steps that need stand-ins for classes built above
// the window layer: controls with keyboard alternatives, the interface
// builder and its selection frames; and the mouse grab of a dragging view.
// Last, the pointer followed through the event layer from window to window
// and out of them all.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "si/app.h"
#include "si/iselframe.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "si/window.h"
#include "tests/support/controls.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"
#include "w32/headless.h"

namespace {
std::string g_log;
}

// A control stand-in: answers "HandleKeyAlt" by name with its own answer.
ZU_HANDLE(TKeyAltView, ZuView)
class TKeyAltView : public ZuView {
    ZU_CLASS(TKeyAltView, ZuView)
public:
    TKeyAltView() {}
    std::string label;
    bool answer = false;
    // Takes this control out of the window's table when it is asked.
    ZuViewRef removes;
};
ZU_CLASS_END(TKeyAltView)
ZU_IMPLEMENT_CLASS(TKeyAltView, "tests/window_dispatch", ZU_CLASS_PLAIN)

static Zuvi_TargetExport key_alt_export(
    [](ZuObject* o, const ZuObjectRef& source, unsigned) -> bool {
        TKeyAltView* v = static_cast<TKeyAltView*>(o);
        bool is_event = source.IsValid() && source->IsKindOf(ZuEventRef::RetRuntime());
        g_log += v->label + (is_event ? ":HandleKeyAlt " : ":HandleKeyAlt(no event) ");
        if (v->removes.IsValid())
            v->RetWindow()->NotifyRemoveKeyAlt(v->removes);
        return v->answer;
    },
    "HandleKeyAlt", TKeyAltViewRef::RetRuntime());

// The builder stand-in: the two data items and the two actions the
// dispatch uses.
ZU_HANDLE(TBuilder, ZuObject)
class TBuilder : public ZuObject {
    ZU_CLASS(TBuilder, ZuObject)
public:
    TBuilder() {}
    void Delete() override
    {
        selected_object = ZuObjectNull;
        selected_sel_view = ZuObjectNull;
        ZuObject::Delete();
    }
    ZuObjectRef selected_object;
    ZuObjectRef selected_sel_view;
    bool sel_view_defined = false;
};
ZU_CLASS_END(TBuilder)
ZU_IMPLEMENT_CLASS(TBuilder, "tests/window_dispatch", ZU_CLASS_PLAIN)

static Zuvi_TargetExport builder_connection(
    [](ZuObject*) -> bool {
        g_log += "NotifyConnectionBegin ";
        return true;
    },
    "NotifyConnectionBegin", TBuilderRef::RetRuntime());
static Zuvi_TargetExport builder_menu(
    [](ZuObject*) -> bool {
        g_log += "NotifyMenuBegin ";
        return true;
    },
    "NotifyMenuBegin", TBuilderRef::RetRuntime());

namespace {
void GetSelectedObject(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<TBuilder*>(o)->selected_object);
}
bool SetSelectedObject(const ZuValueRef& value, ZuObject* o)
{
    static_cast<TBuilder*>(o)->selected_object =
        value.IsValid() ? value->RetObject() : ZuObjectNull;
    return true;
}
void GetSelectedSelView(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<TBuilder*>(o)->selected_sel_view);
}
bool SetSelectedSelView(const ZuValueRef& value, ZuObject* o)
{
    TBuilder* b = static_cast<TBuilder*>(o);
    b->selected_sel_view = value.IsValid() ? value->RetObject() : ZuObjectNull;
    b->sel_view_defined = true;
    return true;
}
void DeclareBuilderData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&TBuilderRef::RetRuntime(), "selected_object", "Selected object", &ZuObject_type, true,
         true, &GetSelectedObject, &SetSelectedObject},
        {&TBuilderRef::RetRuntime(), "selected_sel_view", "Selection view", &ZuObject_type, true,
         true, &GetSelectedSelView, &SetSelectedSelView},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport builder_data(&DeclareBuilderData);
} // namespace

// The selection frame stand-in: takes the place of the view in front of
// it (as a sibling, so that the pointer finds the frame), logs its calls.
ZU_HANDLE(TSelFrame, ZuView)
class TSelFrame : public ZuView, public ZuiSelectionFrame {
    ZU_CLASS(TSelFrame, ZuView)
public:
    TSelFrame() {}
    bool BeginSelection(const ZuViewRef& v) override
    {
        g_log += "Begin(" + Label(v) + ") ";
        if (refuse)
            return false;
        view = v;
        SetBox(v->RetBox());
        SetParent(v->RetParent());
        return true;
    }
    void EndSelection() override
    {
        g_log += "End(" + Label(view) + ") ";
        SetParent(ZuViewNull);
        view = ZuViewNull;
    }
    ZuViewRef RetSelectedView() const override { return view; }
    void ButtonPress(const ZuEventRef&) override { g_log += "Frame:ButtonPress "; }
    void Delete() override
    {
        g_log += "Frame:Delete ";
        view = ZuViewNull;
        ZuView::Delete();
    }
    static std::string Label(const ZuViewRef& v)
    {
        TProbeViewRef p = v.IsValid() && v->IsKindOf(TProbeViewRef::RetRuntime()) ? TProbeViewRef(v)
                                                                                  : TProbeViewRef();
        return p.IsValid() ? p->label : std::string("?");
    }
    ZuViewRef view;
    static bool refuse;
};
ZU_CLASS_END(TSelFrame)
ZU_IMPLEMENT_CLASS(TSelFrame, "tests/window_dispatch", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TSelFrame, ZuiSelectionFrame)
bool TSelFrame::refuse = false;

class WindowDispatchTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        TProbeView::log.clear();
        g_log.clear();
        TSelFrame::refuse = false;
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        w = NewTestWindow(100, 60);
        a = TProbeView::Make("A", 10, 10, 49, 39);
        b = TProbeView::Make("B", 60, 10, 89, 49);
        a->SetParent(w);
        b->SetParent(w);
        saved_frame_class = ZuWindow::selection_frame_class;
        ZuWindow::selection_frame_class = "TSelFrame";
    }
    void TearDown() override
    {
        ZuWindow::selection_frame_class = saved_frame_class;
        w->Delete();
        w = ZuWindowRef();
        a = b = TProbeViewRef();
        app->SetBuilder(ZuObjectNull);
        if (builder.IsValid())
            builder->Delete();
        builder = TBuilderRef();
        ZuApp::Kill();
        app = ZuAppRef();
        LookTest::TearDown();
    }
    void StartBuilding()
    {
        builder = ZuNew<TBuilder>(Zuvi_app_zone);
        app->SetBuilder(builder);
        ASSERT_TRUE(app->IsBuildEnabled());
    }
    TKeyAltViewRef NewControl(const char* label, bool answer)
    {
        TKeyAltViewRef c = ZuNew<TKeyAltView>(Zuvi_app_zone);
        c->label = label;
        c->answer = answer;
        c->SetBox(ZuRect(0, 50, 5, 55));
        c->SetParent(w);
        w->NotifyInsertKeyAlt(c);
        return c;
    }
    // A left press at (x, y) with the modifiers given.
    void Click(double x, double y, bool shift, bool control)
    {
        TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_PRESS, x, y);
        e->Button(ZU_EV_BUTTON_LEFT).Changed(ZU_EV_BUTTON_LEFT);
        if (shift)
            e->Modifier(ZU_MOD_SHIFT);
        if (control)
            e->Modifier(ZU_MOD_CONTROL);
        w->DispatchEvent(e);
        e->Delete();
    }
    void Send(ZuEventType type)
    {
        TProbeEventRef e = TProbeEvent::Make(type, 0, 0);
        w->DispatchEvent(e);
        e->Delete();
    }
    ZuViewRef MainResponder()
    {
        ZuViewRef m;
        w->GetMainResponder(m);
        return m;
    }
    ZuViewRef CursorView()
    {
        ZuViewRef c;
        w->GetCursorView(c);
        return c;
    }

    ZuAppRef app;
    TBuilderRef builder;
    ZuWindowRef w;
    TProbeViewRef a, b;
    const char* saved_frame_class = nullptr;
};

TEST_F(WindowDispatchTest, KeyPressReachesEveryKeyAlternativeAndTheMainResponderOnlyWhenNoneTookIt)
{
    EXPECT_TRUE(w->SetMainResponder(a, false));
    TKeyAltViewRef first = NewControl("k1", false), second = NewControl("k2", true);
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    // Both are asked whatever the order of the table; one took the key.
    EXPECT_NE(g_log.find("k1:HandleKeyAlt "), std::string::npos);
    EXPECT_NE(g_log.find("k2:HandleKeyAlt "), std::string::npos);
    EXPECT_EQ(g_log.size(), std::string("k1:HandleKeyAlt k2:HandleKeyAlt ").size());
    EXPECT_EQ(TProbeView::log, "");

    // Nobody takes it: the main responder gets it after all were asked.
    second->answer = false;
    g_log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    EXPECT_EQ(g_log.size(), std::string("k1:HandleKeyAlt k2:HandleKeyAlt ").size());
    EXPECT_EQ(TProbeView::log, "A:KeyDown ");

    // Only key presses are offered to the alternatives.
    second->answer = true;
    g_log.clear();
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_REP);
    Send(ZU_EVENT_KEY_UP);
    EXPECT_EQ(g_log, "");
    EXPECT_EQ(TProbeView::log, "A:KeyDown A:KeyUp ");

    // A control that left the table is no longer asked, also when an
    // earlier control took it out during the same key press.
    w->NotifyRemoveKeyAlt(second);
    g_log.clear();
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    EXPECT_EQ(g_log, "k1:HandleKeyAlt ");
    EXPECT_EQ(TProbeView::log, "A:KeyDown ");
    w->NotifyInsertKeyAlt(second);
    first->removes = second;
    second->removes = first;
    g_log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    EXPECT_TRUE(g_log == "k1:HandleKeyAlt " || g_log == "k2:HandleKeyAlt ") << g_log;
    first->removes = second->removes = ZuViewRef();
}

TEST_F(WindowDispatchTest, WithoutBuildModeModifiedClicksAreOrdinaryPresses)
{
    Click(15, 15, true, true);
    Click(15, 15, false, true);
    Click(15, 15, true, false);
    EXPECT_EQ(TProbeView::log, "A:Enter A:ButtonPress A:ButtonPress A:ButtonPress ");
    EXPECT_EQ(g_log, "");
}

TEST_F(WindowDispatchTest, ShiftControlClickFramesTheViewAndASecondOneEndsTheSelection)
{
    StartBuilding();
    Click(15, 15, true, true);
    EXPECT_EQ(g_log, "Begin(A) ");
    EXPECT_EQ(TProbeView::log, ""); // the press went to no view
    ZuViewRef frame = CursorView();
    ASSERT_TRUE(frame.IsValid());
    EXPECT_TRUE(frame->IsKindOf(TSelFrameRef::RetRuntime()));
    EXPECT_EQ(MainResponder(), frame);
    EXPECT_EQ(frame->RetBox(), a->RetBox());

    // The frame lies in front of A now: a second click ends the selection
    // and gives A the keyboard.
    g_log.clear();
    Click(15, 15, true, true);
    EXPECT_EQ(g_log, "End(A) Frame:Delete ");
    EXPECT_EQ(CursorView(), a);
    EXPECT_EQ(MainResponder(), a);
    EXPECT_FALSE(w->RetViewCollection()->LookFor(frame));
}

TEST_F(WindowDispatchTest, SelectionClimbsToAnEditableViewAndARefusedFrameIsDropped)
{
    StartBuilding();
    // A view that may not be edited hands the selection to its parent.
    TProbeViewRef inner = TProbeView::Make("C", 65, 15, 70, 20);
    inner->SetParent(b);
    inner->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    Click(66, 16, true, true);
    EXPECT_EQ(g_log, "Begin(B) ");
    ZuViewRef frame = CursorView();
    ASSERT_TRUE(frame.IsValid());
    Click(66, 16, true, true); // end it again
    g_log.clear();

    // A frame that refuses the view is deleted; the view under the pointer
    // before the click keeps the keyboard.
    TSelFrame::refuse = true;
    Click(15, 15, true, true);
    EXPECT_EQ(g_log, "Begin(A) Frame:Delete ");
    EXPECT_EQ(MainResponder(), CursorView());
    EXPECT_FALSE(MainResponder()->IsKindOf(TSelFrameRef::RetRuntime()));

    // Nothing editable under the pointer (the window itself does not
    // count): the click is taken and nothing happens.
    g_log.clear();
    TProbeView::log.clear();
    a->ChangeState(ZU_VIEW_NO_UI_INSPECT, true, false);
    ZuViewRef before = MainResponder();
    Click(15, 15, true, true);
    Click(95, 55, true, true);
    EXPECT_EQ(g_log, "");
    EXPECT_EQ(TProbeView::log, "");
    EXPECT_EQ(MainResponder(), before);
}

TEST_F(WindowDispatchTest, ControlAndShiftClicksTellTheBuilder)
{
    StartBuilding();
    Click(15, 15, false, true);
    EXPECT_EQ(g_log, "NotifyConnectionBegin ");
    EXPECT_EQ(builder->selected_object, ZuObjectRef(a));
    EXPECT_TRUE(builder->sel_view_defined);
    EXPECT_FALSE(builder->selected_sel_view.IsValid());
    EXPECT_EQ(TProbeView::log, "");

    // Over no view the window itself is the selected object.
    g_log.clear();
    Click(95, 55, true, false);
    EXPECT_EQ(g_log, "NotifyMenuBegin ");
    EXPECT_EQ(builder->selected_object, ZuObjectRef(w));

    // A press that did not change the left button is an ordinary one.
    g_log.clear();
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_PRESS, 15, 15);
    e->Button(ZU_EV_BUTTON_LEFT).Button(ZU_EV_BUTTON_RIGHT).Changed(ZU_EV_BUTTON_RIGHT);
    e->Modifier(ZU_MOD_CONTROL);
    w->DispatchEvent(e);
    e->Delete();
    EXPECT_EQ(g_log, "");
    EXPECT_EQ(TProbeView::log, "A:Enter A:ButtonPress ");

    // On a selection frame the click is the frame's own.
    Click(15, 15, true, true);
    g_log.clear();
    Click(15, 15, false, true);
    Click(15, 15, true, false);
    EXPECT_EQ(g_log, "Frame:ButtonPress Frame:ButtonPress ");
    Click(15, 15, true, true);
}

TEST_F(WindowDispatchTest, ADraggingViewHoldsTheGrabUntilTheDragEnds)
{
    int grabs = ZuEvent::RetGrabCount();
    w->SetDraggingView(a);
    EXPECT_EQ(ZuEvent::RetGrabCount(), grabs + 1);
    w->SetDraggingView(a); // the same view again: nothing more
    EXPECT_EQ(ZuEvent::RetGrabCount(), grabs + 1);
    w->SetDraggingView(b); // another view: the first one lets go
    EXPECT_EQ(ZuEvent::RetGrabCount(), grabs + 1);

    // The first event without a button ends the drag and the grab.
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_RELEASE, 70, 20);
    w->DispatchEvent(e);
    e->Delete();
    ZuViewRef d;
    EXPECT_FALSE(w->GetDraggingView(d));
    EXPECT_EQ(ZuEvent::RetGrabCount(), grabs);

    // A dragging view deleted with its window lets go too.
    w->SetDraggingView(a);
    a->Delete();
    EXPECT_FALSE(w->GetDraggingView(d));
    EXPECT_EQ(ZuEvent::RetGrabCount(), grabs);
}

TEST_F(WindowDispatchTest, MainResponderPassesToNextThenPreviousThenParent)
{
    // Three views in the window's active list, a fourth inside the middle
    // one in its own list.
    TProbeViewRef c = TProbeView::Make("C", 0, 0, 5, 5);
    c->SetParent(w);
    TProbeViewRef inner = TProbeView::Make("I", 61, 11, 62, 12);
    inner->SetParent(b);
    a->SetLastActive();
    b->SetLastActive();
    c->SetLastActive();
    inner->SetLastActive();
    w->SetMainResponder(b, false);
    EXPECT_TRUE(w->IsMainResponderOk());
    ZuViewRef active;
    EXPECT_TRUE(w->GetActiveView(active));
    EXPECT_EQ(active, b);

    // While the main responder is disabled the window's own chain gets the
    // keys.
    TProbeViewRef chain = TProbeView::Make("N");
    w->SetNextResponder(chain);
    w->DisableMainResponder();
    EXPECT_FALSE(w->IsMainResponderOk());
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    EXPECT_EQ(TProbeView::log, "N:KeyDown ");
    w->EnableMainResponder();
    TProbeView::log.clear();
    Send(ZU_EVENT_KEY_DOWN);
    EXPECT_EQ(TProbeView::log, "B:KeyDown ");
    w->SetNextResponder(ZuResponderRef());
    chain->Delete();

    // b leaves: its next one, c; c leaves: its previous one, a; a leaves
    // alone: the window (its parent) takes over; the inner view leaves
    // its parent's list: the parent.
    TProbeView::log.clear();
    b->RemoveActive();
    EXPECT_EQ(TProbeView::log, "B:Resign C:Become ");
    EXPECT_EQ(MainResponder(), c);
    c->RemoveActive();
    EXPECT_EQ(MainResponder(), a);
    a->RemoveActive();
    EXPECT_EQ(MainResponder(), w);
    w->SetMainResponder(inner, false);
    TProbeView::log.clear();
    inner->RemoveActive();
    EXPECT_EQ(TProbeView::log, "I:Resign B:Become ");
    EXPECT_EQ(MainResponder(), b);
}

// Two shown windows with a view each on the headless screen, the pointer
// injected at screen points and served as the main loop serves it.
class WindowPointerTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        a = TProbeView::Make("A", 10, 10, 49, 39);
        a->SetParent(w);
        other = NewShownWindow(400, 100, 100, 60);
        b = TProbeView::Make("B", 10, 10, 49, 39);
        b->SetParent(other);
        TProbeView::log.clear();
    }
    void TearDown() override
    {
        a = b = TProbeViewRef();
        other = ZuWindowRef();
        ControlTest::TearDown();
    }
    std::string Hears(int x, int y)
    {
        TProbeView::log.clear();
        W32_HeadlessMouse(x, y, 0);
        Pump();
        return TProbeView::log;
    }
    static ZuViewRef CursorView(const ZuWindowRef& window)
    {
        ZuViewRef v;
        window->GetCursorView(v);
        return v;
    }

    TProbeViewRef a, b;
    ZuWindowRef other;
};

// The pointer rests on a view, then goes where no window of the program
// is, straight or through the other window: no pointer message follows it
// there, yet the view it was in hears it leave, and hears it come back.
TEST_F(WindowPointerTest, AViewHearsThePointerLeaveForWhereNoWindowIs)
{
    // w's client area is at (100, 100), other's at (400, 100).
    const struct {
        const char* route;
        std::vector<std::pair<int, int>> way; // screen points before the bare screen
        const char* last;                     // the view the pointer was in
    } routes[] = {
        {"straight out", {{120, 120}}, "A"},
        {"through the other window", {{120, 120}, {420, 120}}, "B"},
    };
    for (const auto& r : routes) {
        SCOPED_TRACE(r.route);
        for (const auto& p : r.way)
            Hears(p.first, p.second);
        const ZuWindowRef& window = std::string(r.last) == "A" ? w : other;
        ASSERT_TRUE(CursorView(window).IsValid());
        EXPECT_EQ(Hears(700, 500), std::string(r.last) + ":Leave ");
        EXPECT_TRUE(CursorView(window).IsInvalid());
        EXPECT_EQ(Hears(710, 500), "");
        EXPECT_EQ(Hears(120, 120), "A:Enter A:MotionNotify ");
        Hears(700, 500);
    }
}
