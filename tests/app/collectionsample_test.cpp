// The sample control as a user meets it: swatches read back in pixels (a
// colour box or cross, a pen stroke against the same stroke drawn by the
// interpreter, its width under it), the "def" item set by name, and a drag
// started by the pointer only past its distance, taken only by another
// sample control.
#include <gtest/gtest.h>

#include "app/collectionsample.h"
#include "app/colordef.h"
#include "app/document.h"
#include "app/misc.h"
#include "app/pendef.h"
#include "app/view.h"
#include "ghost/gsview.h"
#include "si/classfactory.h"
#include "si/dragview.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "tests/app/panecontrols.h"

namespace {

class CollectionSampleTest : public PaneControlTest {
protected:
    CCollectionSampleRef Sample(double x, double y, double dx, double dy)
    {
        CCollectionSampleRef s = ZuNew<CCollectionSample>(Zuvi_app_zone);
        s->SetOrigin(x, y);
        s->SetSize(dx, dy);
        s->SetParent(w);
        return s;
    }
    CColorDefRef Colour(double r, double g, double b, double transparency)
    {
        CColorDefRef c = ZuNew<CColorDef>(Zuvi_app_zone);
        c->SetRGB(r, g, b);
        c->SetTransparency(transparency);
        return c;
    }
    CPenDefRef Pen(double width, int cap)
    {
        CPenDefRef p = ZuNew<CPenDef>(Zuvi_app_zone);
        p->SetWidth(width);
        p->SetCap(cap);
        return p;
    }
    void Show()
    {
        w->Display(true);
        Pump();
    }
};

} // namespace

TEST_F(CollectionSampleTest, AColourShowsABoxOrACrossWhenFullyTransparent)
{
    const struct {
        double transparency;
        unsigned centre;
        unsigned off_diagonal;
    } cases[] = {
        {1.0, 0x000000, 0},
        {0.99, 0xFF0000, 0xFF0000},
        {0.0, 0xFF0000, 0xFF0000},
    };
    CCollectionSampleRef s = Sample(10, 10, 40, 30);
    Show();
    const unsigned behind = WindowPixel(100, 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transparency);
        s->SetDef(Colour(1, 0, 0, c.transparency));
        Pump();
        // (29, 24) lies on both diagonals from (14, 14) to (45, 35).
        // The cross is anti-aliased: dark, not always pure black.
        const unsigned centre = WindowPixel(29, 24);
        if (c.centre == 0)
            EXPECT_TRUE(((centre >> 16) & 0xFF) < 0x40 && ((centre >> 8) & 0xFF) < 0x40 &&
                        (centre & 0xFF) < 0x40)
                << std::hex << centre;
        else
            EXPECT_TRUE(Near(centre, c.centre));
        EXPECT_TRUE(Near(WindowPixel(16, 25), c.off_diagonal ? c.off_diagonal : behind));
        // The margin of 4 stays clear.
        EXPECT_FALSE(Near(WindowPixel(12, 25), 0xFF0000));
    }
    // No definition, and a definition neither colour nor pen: grey.
    for (const CDefRef& d : {CDefRef(), CDefRef(ZuNew<CDef>(Zuvi_app_zone))}) {
        s->SetDef(d);
        Pump();
        EXPECT_TRUE(Near(WindowPixel(11, 11), 0xB3B3B3));
        EXPECT_TRUE(Near(WindowPixel(48, 38), 0xB3B3B3));
    }
}

TEST_F(CollectionSampleTest, APenSwatchIsTheInterpretersStrokeWithItsWidthUnderIt)
{
    // The swatch at (10, 10), 90 x 44; the same stroke drawn by the
    // interpreter into a view of its own at (100, 10).
    const struct {
        double width;
        int cap;
    } cases[] = {{3.0, 0}, {1.5, 1}, {6.0, 2}};
    CCollectionSampleRef s = Sample(10, 10, 90, 44);
    GSViewRef reference = ZuNew<GSView>(Zuvi_app_zone);
    reference->SetOrigin(100, 10);
    reference->SetSize(90, 44);
    reference->SetParent(w);
    reference->Initialise(100, 100, GS_VIEW_MONO);
    CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone);
    port->InitBinaryMode();
    port->SetTarget(reference->RetContext());
    port->InitGraphics();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const CPenDefRef pen = Pen(c.width, c.cap);
        // w = 86, h = 40: the line runs along y = 22, shortened by half
        // the width plus one at each end unless its ends are butt.
        const double x1 = c.cap ? 3 + c.width / 2 : 2;
        const double x2 = c.cap ? 87 - c.width / 2 : 88;
        port->ErasePage();
        port->SetPen(pen);
        port->DrawLine(DPoint{x1, 22}, DPoint{x2, 22});
        reference->Display(true);
        s->SetDef(pen);
        Show();
        int inked = 0;
        for (int y = 10; y < 40; ++y)
            for (int x = 10; x < 100; ++x) {
                const bool ink = Near(WindowPixel(x, y), 0x000000);
                ASSERT_EQ(ink, Near(WindowPixel(x + 90, y), 0x000000)) << x << "," << y;
                inked += ink;
            }
        EXPECT_GT(inked, 0);
        // The width in red, in the document's main unit, under the line.
        int red = 0;
        for (int y = 40; y < 54; ++y)
            for (int x = 10; x < 60; ++x)
                red += Near(WindowPixel(x, y), 0xFF0000);
        EXPECT_GT(red, 0);
    }
}

TEST_F(CollectionSampleTest, TheWidthTextLosesItsTrailingZeros)
{
    CDocumentRef doc = ZuNew<CDocument>(Zuvi_app_zone);
    doc->Reset();
    SetCurrentDocument(doc, CViewRef());
    const struct {
        int unit;
        double mm;
        const char* text;
    } cases[] = {
        {23, 2.5, "2.5"},   {23, 3.0, "3"},    {23, 10.0, "10"},  {23, 1.5, "1.5"},
        {23, 0.25, "0.25"}, {24, 15.0, "1.5"}, {24, 100.0, "10"},
    };
    for (const auto& c : cases) {
        doc->SetUnit(0, c.unit);
        EXPECT_EQ(CCollectionSample::WidthText(c.mm), c.text) << c.mm;
    }
    SetCurrentDocument(CDocumentRef(), CViewRef());
    doc->Delete();
}

TEST_F(CollectionSampleTest, TheDefItemTakesOnlyDefinitions)
{
    CCollectionSampleRef s(ZuObjectRef(
        ZuClassFactory::New("CCollectionSample", Zuvi_app_zone, __LINE__, "collectionsample")));
    ASSERT_TRUE(s.IsValid());
    s->SetParent(w);
    const CColorDefRef red = Colour(1, 0, 0, 0);
    EXPECT_TRUE(ZuObject::DefineData(s, ZuTextRef("def"), ZuValueRef(ZuObjectRef(red))));
    EXPECT_TRUE(s->RetDef() == CDefRef(red));
    const ZuValueRef refused[] = {ZuValueRef(3), ZuValueRef(2.5),
                                  ZuValueRef(ZuObjectRef(ZuStringRef("rouge"))),
                                  ZuValueRef(ZuObjectRef())};
    for (const ZuValueRef& v : refused) {
        EXPECT_FALSE(ZuObject::DefineData(s, ZuTextRef("def"), v));
        EXPECT_TRUE(s->RetDef() == CDefRef(red));
    }
    ZuValueRef read;
    ASSERT_TRUE(ZuObject::QueryData(s, ZuTextRef("def"), read));
    EXPECT_TRUE(read->RetObject() == ZuObjectRef(red));
    // A stored control comes back by name, showing nothing yet.
    const ZuObjectRef again = StoreAndRestore(s);
    ASSERT_TRUE(again.IsValid() && again->IsKindOf(CCollectionSampleRef::RetRuntime()));
    again->Delete();
}

TEST_F(CollectionSampleTest, ADragStartsOnlyPastFiveAndOncePerPress)
{
    CCollectionSampleRef a = Sample(10, 10, 30, 30);
    a->SetDef(Colour(0, 0, 1, 0));
    Show();
    // Off: no drag however far.
    Mouse(20, 20, MK_LBUTTON);
    Mouse(60, 60, MK_LBUTTON);
    EXPECT_FALSE(a->IsDragging());
    Mouse(60, 60, 0);

    a->SetDragEnabled(true);
    Advance(1000);
    Mouse(20, 20, MK_LBUTTON);
    Mouse(23, 22, MK_LBUTTON); // 5: not yet
    EXPECT_FALSE(a->IsDragging());
    Mouse(24, 22, MK_LBUTTON); // 6
    EXPECT_TRUE(a->IsDragging());
    Mouse(120, 60, 0);
    Pump();
    Advance(1000);
    // The next press clears the flag.
    Mouse(20, 20, MK_LBUTTON);
    EXPECT_FALSE(a->IsDragging());
    Mouse(20, 20, 0);
}

TEST_F(CollectionSampleTest, DropsAreTakenOnlyFromAnotherSampleControl)
{
    CCollectionSampleRef target = Sample(10, 10, 30, 30);
    CCollectionSampleRef source = Sample(50, 10, 30, 30);
    const CColorDefRef red = Colour(1, 0, 0, 0);
    target->SetDef(red);
    source->SetDef(Colour(0, 1, 0, 0));
    ZuDragViewRef drag = ZuNew<ZuDragView>(Zuvi_app_zone);
    const ZuRect box(10, 10, 39, 39);
    const struct {
        bool enabled;
        ZuObjectRef carried;
        bool taken;
    } cases[] = {
        {true, source, true},
        {true, ZuStringRef("texte"), false},
        {true, ZuObjectRef(), false},
        {false, source, false},
    };
    for (const auto& c : cases) {
        target->SetDragEnabled(c.enabled);
        drag->SetDragObject(c.carried);
        EXPECT_EQ(target->DragAndDrop(box, drag, ZU_DDP_DRAGnDROP_CHECK), c.taken);
        EXPECT_EQ(target->DragAndDrop(box, drag, ZU_DDP_DRAGnDROP_COMMIT), c.taken);
        // What was taken changes nothing of the target.
        EXPECT_TRUE(target->RetDef() == CDefRef(red));
    }
    drag->Delete();
}
