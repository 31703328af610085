// The colour well: components and luminance, changes reported only for a
// new colour, the swatch inside its margin, and colours dragged out of one
// well and dropped on another, with drags that carry no colour refused.
// Drags run through stand-in drag calls: the stand-in publishes what it
// carries as "drag_object", as a drag view does.
#include "si/colorwell.h"

#include <gtest/gtest.h>

#include <string>

#include "si/dragcalls.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/typeinfo.h"
#include "si/types.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

ZU_HANDLE(TColorDrag, ZuObject)
class TColorDrag : public ZuObject {
    ZU_CLASS(TColorDrag, ZuObject)
public:
    TColorDrag() {}
    ZuObjectRef carried;
    bool publishes = true;
    ZuViewRef image;
    void Delete() override
    {
        carried = ZuObjectRef();
        if (image.IsValid()) {
            image->SetParent(ZuViewNull);
            image->Delete();
        }
        image = ZuViewRef();
        ZuObject::Delete();
    }
};
ZU_CLASS_END(TColorDrag)
ZU_IMPLEMENT_CLASS(TColorDrag, "tests/si/colorwell_test", ZU_CLASS_PLAIN)

namespace {

void GetCarried(ZuValueRef& value, ZuObject* o)
{
    TColorDrag* d = static_cast<TColorDrag*>(o);
    if (d->publishes)
        value = ZuValueRef(d->carried);
}
void DeclareDragData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef item = {&TColorDragRef::RetRuntime(),
                                   "drag_object",
                                   "Drag object",
                                   &ZuObject_type,
                                   true,
                                   false,
                                   &GetCarried,
                                   nullptr};
    runtime->PublishData(item);
}
Zuvi_PubDataExport drag_data(&DeclareDragData);

TColorDragRef last_drag;
std::string drag_log;

ZuObjectRef MakeDrag(const ZuViewRef& image, const ZuObjectRef& object, bool hot, double hx,
                     double hy, const ZuViewRef&)
{
    TColorDragRef d = ZuNew<TColorDrag>(Zuvi_app_zone);
    d->carried = object;
    d->image = image;
    last_drag = d;
    double ix = 0, iy = 0, iw = 0, ih = 0;
    image->GetOrigin(ix, iy);
    image->GetSize(iw, ih);
    drag_log += "made image at " + std::to_string(int(ix)) + "," + std::to_string(int(iy)) +
                " size " + std::to_string(int(iw)) + "x" + std::to_string(int(ih)) +
                (hot ? " hot " + std::to_string(int(hx)) + "," + std::to_string(int(hy)) : "") +
                "; ";
    return d;
}
void StartDrag(const ZuObjectRef&)
{
    drag_log += "started; ";
}

class ColorWellTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        saved = Zuvi_drag_calls;
        Zuvi_drag_calls.make = &MakeDrag;
        Zuvi_drag_calls.start = &StartDrag;
        drag_log.clear();
        well = Well(20, 20);
        log = TReportLog::Make();
        log->Watch(well, {"notify_changed", "notify_right_button_pressed"});
    }
    void TearDown() override
    {
        Zuvi_drag_calls = saved;
        if (last_drag.IsValid())
            last_drag->Delete();
        last_drag = TColorDragRef();
        well = ZuColorWellRef();
        log = TReportLogRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    // A 40 x 30 well at (x, y) of the window.
    ZuColorWellRef Well(double x, double y)
    {
        ZuColorWellRef w2 = ZuNew<ZuColorWell>(Zuvi_app_zone);
        w2->SetBox(ZuRect(x, y, x + 39, y + 29));
        w2->SetParent(w);
        return w2;
    }
    unsigned Shown(int x, int y)
    {
        w->AddDelayedDisplay(w->RetBox(), true);
        w->RedrawDelayedDisplay();
        return WindowPixel(x, y);
    }
    Zuvi_DragCalls saved;
    ZuColorWellRef well;
    TReportLogRef log;
};

} // namespace

TEST_F(ColorWellTest, ComponentsReplaceOneByteAndLuminanceScales)
{
    EXPECT_EQ(ZuLookColor(well->RetColor()), ZU_COLOR_NONE);
    EXPECT_EQ(well->RetFrame(), 4.0);
    EXPECT_TRUE(well->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    struct Case {
        bool (ZuColorWell::*set)(double);
        double value;
        unsigned char r, g, b, t;
    } const cases[] = {
        {&ZuColorWell::SetRed, 0.5, 128, 0, 0, 0},
        {&ZuColorWell::SetGreen, 1.5, 0, 255, 0, 0},
        {&ZuColorWell::SetBlue, -1, 0, 0, 0, 0},
        {&ZuColorWell::SetTransparency, 0.25, 0, 0, 0, 64},
    };
    for (const Case& c : cases) {
        well->SetColor(ZuColorPixel((unsigned char)0, 0, 0, 0));
        EXPECT_TRUE((well.Resolve()->*c.set)(c.value));
        const ZuColorPixel got = well->RetColor();
        EXPECT_EQ(got.Red(), c.r);
        EXPECT_EQ(got.Green(), c.g);
        EXPECT_EQ(got.Blue(), c.b);
        EXPECT_EQ(got.Transparency(), c.t);
    }
    well->SetColor(ZuColorPixel((unsigned char)0, 0, 0, 0));
    well->SetRed(0.5);
    EXPECT_DOUBLE_EQ(well->RetRed(), 128 / 255.0);
    well->SetColor(ZuColorPixel((unsigned char)200, 100, 50, 40));
    well->SetLuminance(0.5);
    const ZuColorPixel half = well->RetColor();
    EXPECT_EQ(half.Red(), 100);
    EXPECT_EQ(half.Green(), 50);
    EXPECT_EQ(half.Blue(), 25);
    EXPECT_EQ(half.Transparency(), 40);
    // By name.
    EXPECT_TRUE(well->DefineData(ZuAtomRef("green"), ZuValueRef(1.0)));
    EXPECT_EQ(well->RetColor().Green(), 255);
    ZuValueRef v;
    ASSERT_TRUE(well->QueryData(ZuAtomRef("blue"), v));
    EXPECT_DOUBLE_EQ(v->RetReal(), 25 / 255.0);
}

TEST_F(ColorWellTest, OnlyANewColourReportsAChange)
{
    const ZuColorPixel red((unsigned char)255, 0, 0, 0);
    well->SetColor(red);
    EXPECT_NE(log->log, "");
    log->Clear();
    well->SetColor(red);
    well->SetRed(1.0);
    EXPECT_EQ(log->log, "");
}

TEST_F(ColorWellTest, TheSwatchLiesInsideTheMarginAndTheRelief)
{
    // No colour: white inside a black outline, 4 plus the relief inside.
    const double inset = 4 + ZuLookMan::Current()->Ret3DEffectWidth();
    const int in = 20 + int(inset);
    EXPECT_EQ(Shown(in, in), 0x000000u);
    EXPECT_EQ(Shown(in + 1, in + 1), 0xFFFFFFu);
    EXPECT_NE(Shown(in - 1, in + 5), 0xFFFFFFu);
    well->SetColor(ZuColorPixel((unsigned char)0, 0, 255, 0));
    EXPECT_EQ(Shown(in + 5, in + 5), 0x0000FFu);
}

TEST_F(ColorWellTest, AColourDraggedFromOneWellOntoAnotherSetsIt)
{
    ZuColorWellRef other = Well(100, 20);
    well->SetColor(ZuColorPixel((unsigned char)10, 20, 30, 0));
    // The press at (25, 30): the image's centre is the well's centre
    // (39.5, 34.5) less 8.
    Mouse(25, 30, 0);
    Mouse(25, 30, MK_LBUTTON);
    EXPECT_EQ(drag_log, "made image at 31,26 size 17x17 hot -6,3; started; ");
    ASSERT_TRUE(last_drag.IsValid());
    ZuColorWellRef image(last_drag->image);
    EXPECT_EQ(image->RetColor(), well->RetColor());
    EXPECT_EQ(image->RetFrame(), 0);
    EXPECT_FALSE(image->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    Mouse(25, 30, 0);
    const ZuRect r = other->RetBox();
    EXPECT_TRUE(other->DragAndDrop(r, last_drag, ZU_DDP_DRAGnDROP_CHECK));
    EXPECT_TRUE(other->DragAndDrop(r, last_drag, ZU_DDP_DRAGnDROP_COMMIT));
    EXPECT_EQ(other->RetColor(), ZuColorPixel((unsigned char)10, 20, 30, 0));
    // A right press starts no drag but reaches the control.
    drag_log.clear();
    log->Clear();
    Mouse(25, 30, MK_RBUTTON);
    Mouse(25, 30, 0);
    EXPECT_EQ(drag_log, "");
    EXPECT_NE(log->log.find("notify_right_button_pressed"), std::string::npos);
}

TEST_F(ColorWellTest, AColourCarriedByTheDragViewIsDroppedOnAnotherWell)
{
    Zuvi_drag_calls = saved;
    ZuColorWellRef other = Well(100, 20);
    well->SetColor(ZuColorPixel((unsigned char)10, 20, 30, 0));
    Mouse(25, 30, 0);
    Mouse(25, 30, MK_LBUTTON);
    Mouse(26, 31, MK_LBUTTON);
    Mouse(120, 35, MK_LBUTTON);
    Mouse(120, 35, 0);
    EXPECT_EQ(other->RetColor(), ZuColorPixel((unsigned char)10, 20, 30, 0));
    // Dropped on nothing that takes colours: nothing changes.
    other->SetColor(ZuColorPixel((unsigned char)1, 1, 1, 0));
    Mouse(25, 30, MK_LBUTTON);
    Mouse(26, 31, MK_LBUTTON);
    Mouse(180, 100, MK_LBUTTON);
    Mouse(180, 100, 0);
    EXPECT_EQ(other->RetColor(), ZuColorPixel((unsigned char)1, 1, 1, 0));
    EXPECT_EQ(well->RetColor(), ZuColorPixel((unsigned char)10, 20, 30, 0));
    ZuObjectRef::RealiseDeletions();
}

TEST_F(ColorWellTest, DragsThatCarryNoColourAreRefusedAndChangeNothing)
{
    const ZuColorPixel kept((unsigned char)1, 2, 3, 0);
    well->SetColor(kept);
    struct Case {
        const char* what;
        ZuObjectRef carried;
        bool publishes;
    } const cases[] = {
        {"a real", ZuValueRef(2.5), true},
        {"a text", ZuStringRef("rouge"), true},
        {"nothing", ZuObjectRef(), true},
        {"no drag object", ZuValueRef(ZuColorPixel((unsigned char)9, 9, 9, 0)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TColorDragRef drag = ZuNew<TColorDrag>(Zuvi_app_zone);
        drag->carried = c.carried;
        drag->publishes = c.publishes;
        EXPECT_FALSE(well->DragAndDrop(well->RetBox(), drag, ZU_DDP_DRAGnDROP_CHECK));
        EXPECT_FALSE(well->DragAndDrop(well->RetBox(), drag, ZU_DDP_DRAGnDROP_COMMIT));
        EXPECT_EQ(well->RetColor(), kept);
        drag->Delete();
    }
}

TEST_F(ColorWellTest, StorageKeepsColourAndMargin)
{
    well->SetColor(ZuColorPixel((unsigned char)7, 8, 9, 10));
    well->SetFrame(2);
    ZuColorWellRef read(StoredAndRead(well));
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(read->RetColor(), well->RetColor());
    EXPECT_EQ(read->RetFrame(), 2);
    read->Delete();
}
