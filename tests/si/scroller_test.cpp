// Scroll bars: the value and ratio kept in [0, 1], steps and snapping, the
// arrows fitted into the length, the knob's geometry, the pointer, held
// arrows on the test clock, cursor keys, drawing, published data, a look
// change and the stored form.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/scroller.h"
#include "si/scrollview.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/storagetest.h"

// A scroller whose fields are set as no setter would, to store what an
// interface file from outside may hold.
ZU_HANDLE(TRawScroller, ZuScroller)
class TRawScroller : public ZuScroller {
    ZU_CLASS(TRawScroller, ZuScroller)
public:
    TRawScroller() {}
    void Raw(double v, double r, unsigned pos)
    {
        value = v;
        ratio = r;
        init_arrow_pos = static_cast<ZuScrollArrowPos>(pos);
    }
};
ZU_CLASS_END(TRawScroller)
ZU_IMPLEMENT_CLASS(TRawScroller, "tests/si/scroller_test", ZU_CLASS_PLAIN)

namespace {

class ScrollerTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        sheet = NewPixmap(32, 40, 20);
        sheet->BeginDraw(0, 0, 39, 19);
        sheet->SetForeColor(ZuColorPixel(0x0000FF00u));
        sheet->FillRect(0, 0, 39, 19);
        sheet->EndDraw();
        for (const char* name : {"Zuvi_ScrollerUpArrow", "Zuvi_ScrollerDownArrow",
                                 "Zuvi_ScrollerLeftArrow", "Zuvi_ScrollerRightArrow"})
            AddIcon(name, 16, 16);
        s = ZuNew<ZuScroller>(Zuvi_app_zone);
        s->SetParent(w);
    }
    void TearDown() override
    {
        s = ZuScrollerRef();
        sheet->Delete();
        sheet = ZuGrailPixmapNull;
        ControlTest::TearDown();
    }
    void AddIcon(const char* name, double dx, double dy)
    {
        ZuLookMan::Current()->AddUserIcon(ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, sheet,
                                          ZuRect(0, 0, dx - 1, dy - 1));
    }
    // The arrows shown, in the order decr0 incr1 decr1 incr0, as their
    // origins along the axis ("-" for a hidden one).
    std::string Arrows() const
    {
        std::string out;
        const ZuIconRef arrows[] = {s->RetArrowDecr(0), s->RetArrowIncr(1), s->RetArrowDecr(1),
                                    s->RetArrowIncr(0)};
        for (const ZuIconRef& a : arrows) {
            if (a->RetState().TestBit(ZU_VIEW_NO_DISPLAY)) {
                out += "- ";
                continue;
            }
            double x = 0, y = 0;
            a->GetOrigin(x, y);
            out += std::to_string(int(s->IsHorizontal() ? x : y)) + " ";
        }
        return out;
    }

    ZuGrailPixmapRef sheet;
    ZuScrollerRef s;
};

} // namespace

TEST_F(ScrollerTest, ValueAndRatioStayInTheUnitIntervalAndSnapToSteps)
{
    reports->Watch(s, {"notify_changed", "notify_scrolled"});
    struct Case {
        double in, stored;
    } cases[] = {{1.7, 1.0}, {-3, 0.0}, {0.4, 0.4}, {NAN, 0.0}, {INFINITY, 1.0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(s->SetVisibleValue(c.in));
        EXPECT_EQ(s->RetInternalValue(), c.stored) << c.in;
        EXPECT_TRUE(s->SetVisibleRatio(c.in));
        EXPECT_EQ(s->RetVisibleRatio(), c.stored) << c.in;
    }
    // The same value again reports nothing.
    reports->Clear();
    s->SetVisibleValue(1.0);
    s->SetVisibleRatio(1.0);
    EXPECT_EQ(reports->log, "");
    s->SetVisibleValue(0.5);
    EXPECT_EQ(reports->log, "notify_changed(0) ");

    EXPECT_TRUE(s->SetTotalSteps(1));
    EXPECT_EQ(s->RetTotalSteps(), 0u);
    struct Step {
        unsigned steps;
        double value, visible;
    } steps[] = {{0, 0.3, 0.3}, {3, 0.3, 0.5}, {5, 0.3, 0.25}, {2, 0.3, 0.0}, {11, 0.77, 0.8}};
    for (const Step& c : steps) {
        s->SetTotalSteps(c.steps);
        s->SetVisibleValue(c.value);
        EXPECT_DOUBLE_EQ(s->RetVisibleValue(), c.visible) << c.steps;
        EXPECT_EQ(s->RetInternalValue(), c.value);
    }
    // Turning snapping on stores the visible value and reports it.
    s->SetTotalSteps(3);
    s->SetVisibleValue(0.3);
    reports->Clear();
    EXPECT_TRUE(s->SetSnapToStep(true));
    EXPECT_EQ(s->RetInternalValue(), 0.5);
    EXPECT_EQ(reports->log, "notify_changed(0) notify_scrolled(0) ");
}

TEST_F(ScrollerTest, ArrowsFitTheLengthAndTheKnobTheRatio)
{
    // T = 16, frame 1 (the look's widget frame).
    const double frame = ZuLookMan::Current()->RetWidgetFrameSize();
    ASSERT_EQ(frame, 1);
    struct Case {
        ZuScrollArrowPos asked;
        double height; // bottom minus top
        ZuScrollArrowPos used;
        const char* arrows;
        double body_start, body_end;
    } cases[] = {
        {ZU_SCROLL_ARROW_NORMAL, 48, ZU_SCROLL_ARROW_NONE, "- - - - ", 1, 47},
        {ZU_SCROLL_ARROW_NORMAL, 49, ZU_SCROLL_ARROW_NORMAL, "0 - - 34 ", 16, 33},
        {ZU_SCROLL_ARROW_BOTH, 49, ZU_SCROLL_ARROW_NORMAL, "0 - - 34 ", 16, 33},
        {ZU_SCROLL_ARROW_BOTH, 80, ZU_SCROLL_ARROW_NORMAL, "0 - - 65 ", 16, 64},
        {ZU_SCROLL_ARROW_BOTH, 81, ZU_SCROLL_ARROW_BOTH, "0 16 50 66 ", 32, 49},
        {ZU_SCROLL_ARROW_MAX, 99, ZU_SCROLL_ARROW_MAX, "68 - - 84 ", 1, 67},
        {ZU_SCROLL_ARROW_MIN, 99, ZU_SCROLL_ARROW_MIN, "0 - - 16 ", 32, 98},
        {ZU_SCROLL_ARROW_MIN, 49, ZU_SCROLL_ARROW_NONE, "- - - - ", 1, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ZuScrollArrowPosRetName(c.asked) + std::string(" ") +
                     std::to_string(int(c.height)));
        s->SetArrowPos(c.asked);
        s->Initialise(0, 0, c.height + 1, false, 0);
        EXPECT_EQ(s->RetBox().DY() - 1, c.height);
        EXPECT_EQ(s->RetRealArrowPos(), c.used);
        EXPECT_EQ(s->RetInitArrowPos(), c.asked);
        EXPECT_EQ(Arrows(), c.arrows);
        EXPECT_EQ(s->RetBodyStart(), c.body_start);
        EXPECT_EQ(s->RetBodyEnd(), c.body_end);
    }
    // The knob: trunc(L x ratio + 0.5), at least the breadth less two frames.
    s->SetArrowPos(ZU_SCROLL_ARROW_NORMAL);
    s->Initialise(10, 5, 100, true, 0); // body 26..93 along x: L = 68
    EXPECT_EQ(s->RetBox(), ZuRect(10, 5, 109, 20));
    EXPECT_EQ(Arrows(), "10 - - 94 ");
    struct Knob {
        double ratio, value, size, pos;
    } knobs[] = {{0.5, 0, 34, 0}, {0.5, 1, 34, 34}, {0.25, 0.5, 17, 25.5}, {0.01, 0, 14, 0}};
    for (const Knob& k : knobs) {
        s->SetVisibleRatio(k.ratio);
        s->SetVisibleValue(k.value);
        EXPECT_EQ(s->RetKnobSize(), k.size) << k.ratio;
        EXPECT_EQ(s->RetKnobPos(), k.pos) << k.ratio;
    }
    double dx = 0, dy = 0;
    s->GetMinSize(dx, dy);
    EXPECT_EQ(dx, 48);
    EXPECT_EQ(dy, 16);
    s->GetMaxSize(dx, dy);
    EXPECT_EQ(dy, 16);
}

TEST_F(ScrollerTest, ThePointerDragsTheKnobBetweenTheEnds)
{
    // Vertical at (20, 0), 116 long: body 16..99, L = 84, knob 21, travel 63.
    s->SetArrowPos(ZU_SCROLL_ARROW_NORMAL);
    s->Initialise(20, 0, 116, false, 0);
    s->SetVisibleRatio(0.25);
    ASSERT_EQ(s->RetKnobSize(), 21);
    reports->Watch(s, {"notify_scroll_began", "notify_scrolled", "notify_scroll_ended"});
    // A press in the track puts the knob's centre under the pointer.
    Mouse(27, 70, 0);
    Mouse(27, 70, MK_LBUTTON);
    EXPECT_DOUBLE_EQ(s->RetKnobPos(), 70 - 16 - 10.5);
    EXPECT_DOUBLE_EQ(s->RetInternalValue(), (70 - 16 - 10.5) / 63);
    // Past either end the knob stays at the end.
    Mouse(27, 300, MK_LBUTTON);
    EXPECT_EQ(s->RetKnobPos(), 63);
    EXPECT_EQ(s->RetInternalValue(), 1.0);
    Mouse(27, 2, MK_LBUTTON);
    EXPECT_EQ(s->RetKnobPos(), 0);
    EXPECT_EQ(s->RetInternalValue(), 0.0);
    Mouse(27, 2, 0);
    EXPECT_EQ(reports->log,
              "notify_scroll_began(1) notify_scrolled(1) notify_scrolled(1) notify_scrolled(1) "
              "notify_scroll_ended(1) ");
    EXPECT_FALSE(s->RetState().TestBit(ZU_VIEW_IS_CLICKED));

    // A press on the knob holds it where it was hit.
    reports->Clear();
    Mouse(27, 20, MK_LBUTTON);
    EXPECT_EQ(s->RetKnobPos(), 0);
    Mouse(27, 30, MK_LBUTTON);
    EXPECT_EQ(s->RetKnobPos(), 10);
    Mouse(27, 30, 0);
    EXPECT_EQ(reports->log, "notify_scroll_began(1) notify_scrolled(1) notify_scroll_ended(1) ");

    // The right button, and a release while not clicked, do nothing.
    reports->Clear();
    Mouse(27, 80, MK_RBUTTON);
    Mouse(27, 80, 0);
    EXPECT_EQ(s->RetKnobPos(), 10);
    EXPECT_FALSE(s->RetState().TestBit(ZU_VIEW_IS_CLICKED));
    EXPECT_EQ(reports->log, "");
}

TEST_F(ScrollerTest, AHeldArrowRepeatsAfterTheStartTime)
{
    const unsigned start = ZuLookMan::Current()->RetAutoStartTime();
    const unsigned repeat = ZuLookMan::Current()->RetAutoRepeatTime();
    ASSERT_GT(repeat, 0u);
    ASSERT_GT(start, repeat);
    s->SetArrowPos(ZU_SCROLL_ARROW_NORMAL);
    s->Initialise(0, 0, 100, false, 0);
    s->SetIncrement(0.01);
    reports->Watch(s, {"notify_scrolled"});
    // The down arrow at the bottom.
    Mouse(8, 92, 0);
    Mouse(8, 92, MK_LBUTTON);
    // The ticks up to the start time do not scroll yet.
    for (unsigned held = repeat; held <= start; held += repeat)
        Advance(int(repeat));
    EXPECT_EQ(s->RetInternalValue(), 0.0);
    Advance(int(repeat));
    EXPECT_DOUBLE_EQ(s->RetInternalValue(), 0.01);
    for (int i = 0; i < 3; ++i)
        Advance(int(repeat));
    EXPECT_DOUBLE_EQ(s->RetInternalValue(), 0.04);
    // The release scrolls once more.
    Mouse(8, 92, 0);
    EXPECT_DOUBLE_EQ(s->RetInternalValue(), 0.05);
    std::string five;
    for (int i = 0; i < 5; ++i)
        five += "notify_scrolled(1) ";
    EXPECT_EQ(reports->log, five);
    // The up arrow clicked once goes back one increment; nothing below 0.
    Mouse(8, 3, MK_LBUTTON);
    Mouse(8, 3, 0);
    EXPECT_DOUBLE_EQ(s->RetInternalValue(), 0.04);
    s->SetVisibleValue(0);
    reports->Clear();
    Mouse(8, 3, MK_LBUTTON);
    Mouse(8, 3, 0);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ScrollerTest, CursorKeysOfTheAxisMoveByOneIncrement)
{
    s->Initialise(0, 0, 100, false, 0);
    s->SetIncrement(0.25);
    s->ChangeState(ZU_VIEW_OK_ACTIVE, true, false);
    w->SetMainResponder(ZuResponderRef(s), true);
    struct Case {
        bool horizontal;
        UINT key, scan;
        double after;
    } cases[] = {{false, VK_DOWN, 0x50, 0.75}, {false, VK_UP, 0x48, 0.25},
                 {false, VK_RIGHT, 0x4D, 0.5}, {true, VK_RIGHT, 0x4D, 0.75},
                 {true, VK_LEFT, 0x4B, 0.25},  {true, VK_DOWN, 0x50, 0.5}};
    for (const Case& c : cases) {
        s->Initialise(0, 0, 100, c.horizontal, 0);
        s->SetVisibleValue(0.5);
        Key(c.key, c.scan, true);
        Key(c.key, c.scan, false);
        EXPECT_EQ(s->RetInternalValue(), c.after) << c.horizontal << " " << c.key;
    }
}

TEST_F(ScrollerTest, DrawsTrackAndKnobInPlainAndAdornerModes)
{
    s->SetArrowPos(ZU_SCROLL_ARROW_NONE);
    s->Initialise(0, 0, 100, false, 0);
    s->SetVisibleRatio(0.5);
    s->SetVisibleValue(1.0);
    w->Display(false);
    // Outline, track above the knob, knob in the lower half.
    const unsigned outline = WindowPixel(0, 50);
    const unsigned track = WindowPixel(8, 20);
    const unsigned knob = WindowPixel(8, 75);
    EXPECT_EQ(outline, 0x000000u);
    EXPECT_NE(track, knob);
    EXPECT_NE(track, outline);
    // Disabled: the track everywhere.
    s->ChangeState(ZU_VIEW_IS_ENABLED, false, false);
    w->Display(false);
    EXPECT_EQ(WindowPixel(8, 75), track);
    s->ChangeState(ZU_VIEW_IS_ENABLED, true, false);
    // Adorner mode without the frame elements in the look draws neither
    // the outline nor the plain track.
    s->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    w->Display(false);
    EXPECT_NE(WindowPixel(0, 50), 0x000000u);
    EXPECT_NE(WindowPixel(8, 20), track);
}

TEST_F(ScrollerTest, PublishedDataNotificationsAndTargetsByName)
{
    s->Initialise(0, 0, 100, false, 0);
    ZuValueRef v;
    EXPECT_TRUE(s->DefineData(ZuAtomRef("visible_value"), ZuValueRef(2.5)));
    EXPECT_EQ(s->RetInternalValue(), 1.0);
    EXPECT_TRUE(s->DefineData(ZuAtomRef("visible_ratio"), ZuValueRef(0.5)));
    EXPECT_TRUE(s->DefineData(ZuAtomRef("num_steps"), ZuValueRef(5u)));
    EXPECT_TRUE(s->DefineData(ZuAtomRef("increment"), ZuValueRef(0.25)));
    EXPECT_TRUE(s->DefineData(ZuAtomRef("page_increment"), ZuValueRef(0.5)));
    s->SetVisibleValue(0.3);
    ASSERT_TRUE(s->QueryData(ZuAtomRef("visible_value"), v));
    EXPECT_EQ(Zuvi_ValueToReal(v), 0.25);
    ASSERT_TRUE(s->QueryData(ZuAtomRef("visible_ratio"), v));
    EXPECT_EQ(Zuvi_ValueToReal(v), 0.5);
    EXPECT_EQ(s->RetPageIncrement(), 0.5);
    EXPECT_TRUE(s->DefineData(ZuAtomRef("snap_to_step"), ZuValueRef(true)));
    EXPECT_EQ(s->RetInternalValue(), 0.25);
    // Targets.
    EXPECT_TRUE(ZuObjectRef(s)->Action(ZuAtomRef("ScrollIncrement"), ZuObjectNull, 0));
    EXPECT_EQ(s->RetInternalValue(), 0.5);
    EXPECT_TRUE(ZuObjectRef(s)->Action(ZuAtomRef("OnClick"), ZuObjectNull, 1));
    EXPECT_EQ(s->RetInternalValue(), 0.25);
    // Page parts and unknown parts.
    s->Scroll(4);
    EXPECT_EQ(s->RetInternalValue(), 0.75);
    s->Scroll(3);
    s->Scroll(9);
    EXPECT_EQ(s->RetInternalValue(), 0.25);
}

TEST_F(ScrollerTest, AScrolledViewFollowsItsScrollerByName)
{
    ZuScrollViewRef view = ZuNew<ZuScrollView>(Zuvi_app_zone);
    view->SetBox(ZuRect(30, 0, 129, 99));
    view->SetParent(w);
    s->Initialise(0, 0, 116, false, 0);
    view->SetVerticalScroller(s);
    // The view tells the scroller the visible fraction.
    view->SetTotalSize(100, 400);
    EXPECT_DOUBLE_EQ(s->RetVisibleRatio(), 0.25);
    // Dragging the knob to the end scrolls the view to the end.
    Mouse(8, 20, MK_LBUTTON);
    Mouse(8, 200, MK_LBUTTON);
    EXPECT_EQ(view->RetYOffset(), 300);
    Mouse(8, 200, 0);
    // An arrow click scrolls by one increment of the range.
    Mouse(8, 5, MK_LBUTTON);
    Mouse(8, 5, 0);
    EXPECT_EQ(view->RetYOffset(), 270);
    view->SetVerticalScroller(ZuObjectNull);
    view->Delete();
}

TEST_F(ScrollerTest, ALookChangeKeepsTheStepsAndAnUnusableBreadth)
{
    s->Initialise(0, 0, 100, false, 7);
    s->SetVisibleValue(0.5);
    // No "Zuvi_ScrollerLeftNormal" yet, then a non-square one: the breadth
    // stays; a square one sets it.
    struct Case {
        double dx, dy, breadth;
    } cases[] = {{0, 0, 16}, {20, 16, 16}, {18, 18, 18}, {16, 16, 16}};
    for (const Case& c : cases) {
        ZuLookMan::Current()->RemoveUserIcon(ZuAtomRef("Zuvi_ScrollerLeftNormal"));
        if (c.dx > 0)
            AddIcon("Zuvi_ScrollerLeftNormal", c.dx, c.dy);
        w->Broadcast(ZuAtomRef("LookManChanged"), ZuObjectNull);
        EXPECT_EQ(s->RetBreadth(), c.breadth) << c.dx;
        EXPECT_EQ(s->RetBox().DX(), c.breadth);
        EXPECT_EQ(s->RetBox().DY(), 100);
        EXPECT_EQ(s->RetTotalSteps(), 7u);
        EXPECT_EQ(s->RetInternalValue(), 0.5);
    }
}

TEST_F(ScrollerTest, StoredScrollerComesBackWithItsArrows)
{
    s->SetArrowPos(ZU_SCROLL_ARROW_BOTH);
    s->Initialise(5, 0, 110, true, 4);
    s->SetVisibleRatio(0.3);
    s->SetVisibleValue(0.6);
    s->SetIncrement(0.125);
    s->SetPageIncrement(0.5);
    s->SetSnapToStep(true);
    ZuObjectRef out = StoreAndRestore(s);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuScrollerRef::RetRuntime()));
    ZuScrollerRef back(out);
    EXPECT_EQ(back->RetInternalValue(), s->RetInternalValue());
    EXPECT_EQ(back->RetVisibleRatio(), 0.3);
    EXPECT_EQ(back->RetIncrement(), 0.125);
    EXPECT_EQ(back->RetPageIncrement(), 0.5);
    EXPECT_EQ(back->RetTotalSteps(), 4u);
    EXPECT_TRUE(back->RetSnapToStep());
    EXPECT_TRUE(back->IsHorizontal());
    EXPECT_EQ(back->RetInitArrowPos(), ZU_SCROLL_ARROW_BOTH);
    EXPECT_EQ(back->RetRealArrowPos(), ZU_SCROLL_ARROW_BOTH);
    for (unsigned n = 0; n < 2; ++n) {
        ASSERT_TRUE(back->RetArrowIncr(n).IsValid());
        ASSERT_TRUE(back->RetArrowDecr(n).IsValid());
        EXPECT_TRUE(back->RetArrowIncr(n)->RetParent() == back);
    }
    // Its right arrow, clicked, scrolls it once.
    back->SetParent(w);
    s->SetParent(ZuViewNull);
    back->SetSnapToStep(false);
    back->SetVisibleValue(0);
    Mouse(110, 8, MK_LBUTTON);
    Mouse(110, 8, 0);
    EXPECT_EQ(back->RetInternalValue(), 0.125);
    back->SetParent(ZuViewNull);
    back->Delete();
    s->Delete();
}

TEST_F(ScrollerTest, RestoredOutsideDataIsClampedOrRefused)
{
    struct Case {
        double value, ratio;
        unsigned pos;
        bool refused;
        double value_back, ratio_back;
    } cases[] = {{1.7, -2, 3, false, 1.0, 0.0},
                 {NAN, NAN, 4, false, 0.0, 0.0},
                 {0.5, 0.5, 5, true, 0, 0},
                 {0.5, 0.5, 0xFFFFFFFFu, true, 0, 0}};
    for (const Case& c : cases) {
        TRawScrollerRef raw = ZuNew<TRawScroller>(Zuvi_app_zone);
        raw->Raw(c.value, c.ratio, c.pos);
        ZuTestStorageRef st = ZuTestStorage::Make();
        st->StartStoring();
        st->StoreObject(ZuObjectRef(raw));
        const std::vector<unsigned char> bytes = st->Bytes();
        st->StartRestoring(bytes);
        ZuObjectRef out;
        bool thrown = false;
        try {
            st->RestoreObject(out, ZuObjectRef::RetRuntime());
        } catch (const ZuExcStream&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, c.refused) << c.pos;
        if (!c.refused && out.IsValid()) {
            ZuScrollerRef back(out);
            EXPECT_EQ(back->RetInternalValue(), c.value_back);
            EXPECT_EQ(back->RetVisibleRatio(), c.ratio_back);
            back->Delete();
        }
        st->Delete();
        raw->Delete();
    }
}
