// The Ghostscript view on the real interpreter: its offsets and ratios
// between the view's box and its image, by call and by published name, with
// and without a context; making and resizing the context; the copy of the
// image into a port; the stored form.
#include "ghost/gsview.h"

#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <string>

// Counts the reports of one notification.
ZU_HANDLE(TOffsetWatch, ZuObject)
class TOffsetWatch : public ZuObject {
    ZU_CLASS(TOffsetWatch, ZuObject)
public:
    TOffsetWatch() {}
    bool Seen(const ZuObjectRef&, unsigned)
    {
        ++count;
        return true;
    }
    int count = 0;
};
ZU_CLASS_END(TOffsetWatch)
ZU_IMPLEMENT_CLASS(TOffsetWatch, "tests/ghost/gsview_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TOffsetWatch, Seen)

namespace {

class GSViewTest : public LookTest {
protected:
    // A view of the given box with a 24-bit image of pw x ph.
    GSViewRef View(const ZuRect& box, uint32_t pw, uint32_t ph)
    {
        GSViewRef v = ZuNew<GSView>(Zuvi_app_zone);
        v->SetBox(box);
        EXPECT_TRUE(v->Initialise(pw, ph, GS_VIEW_RGB24));
        return v;
    }
    static double Datum(const GSViewRef& v, const char* name)
    {
        ZuValueRef value;
        EXPECT_TRUE(ZuObject::QueryData(v, ZuTextRef(ZuAtomRef(name)), value)) << name;
        return value.IsValid() ? Zuvi_ValueToReal(value) : -1.0;
    }
};

} // namespace

TEST_F(GSViewTest, OffsetsAndRatiosFollowTheBoxAndTheImage)
{
    // 100 x 50 on a 400 x 200 image.
    GSViewRef v = View(ZuRect(10, 20, 109, 69), 400, 200);
    EXPECT_EQ(v->RetViewWidth(), 100u);
    EXPECT_EQ(v->RetViewHeight(), 50u);
    struct {
        double h, v;
        uint32_t hp, vp;
    } const cases[] = {
        {0.5, 0.5, 150, 75},
        {0.0, 1.0, 0, 0},
        {1.0, 0.0, 300, 150},
        {0.25, 0.75, 75, 37},
    };
    for (const auto& k : cases) {
        EXPECT_TRUE(v->SetHOffset(k.h));
        EXPECT_TRUE(v->SetVOffset(k.v));
        EXPECT_EQ(v->RetHPixelOffset(), k.hp) << k.h;
        EXPECT_EQ(v->RetVPixelOffset(), k.vp) << k.v;
    }
    v->SetHOffset(0.5);
    v->SetVOffset(0.0);
    EXPECT_DOUBLE_EQ(v->GetHOffset(), 0.5);
    EXPECT_DOUBLE_EQ(v->GetVOffset(), 0.0);
    EXPECT_DOUBLE_EQ(v->GetHRatio(), 0.25);
    EXPECT_DOUBLE_EQ(v->GetVRatio(), 0.25);
    // The same by published name.
    EXPECT_DOUBLE_EQ(Datum(v, "h_offset"), 0.5);
    EXPECT_DOUBLE_EQ(Datum(v, "h_ratio"), 0.25);
    EXPECT_TRUE(ZuObject::DefineData(v, ZuTextRef(ZuAtomRef("v_offset")), ZuValueRef(1.0)));
    EXPECT_EQ(v->RetVPixelOffset(), 0u);
    EXPECT_FALSE(ZuObject::DefineData(v, ZuTextRef(ZuAtomRef("h_ratio")), ZuValueRef(0.5)));

    // A view at least as large as its image: offsets 0, each setter still
    // reports its change.
    GSViewRef wide = View(ZuRect(0, 0, 499, 299), 400, 200);
    TOffsetWatchRef watch = ZuNew<TOffsetWatch>(Zuvi_app_zone);
    wide->AttachObserver(watch, GSView::notify_HOffsetChanged, ZuAtomRef("Seen"), 0);
    wide->AttachObserver(watch, GSView::notify_VOffsetChanged, ZuAtomRef("Seen"), 0);
    EXPECT_TRUE(wide->SetHOffset(0.7));
    EXPECT_TRUE(wide->SetVOffset(0.2));
    EXPECT_EQ(watch->count, 2);
    EXPECT_EQ(wide->RetHPixelOffset(), 0u);
    EXPECT_EQ(wide->RetVPixelOffset(), 0u);
    EXPECT_DOUBLE_EQ(wide->GetHOffset(), 0.0);
    EXPECT_DOUBLE_EQ(wide->GetVOffset(), 1.0);
    EXPECT_DOUBLE_EQ(wide->GetHRatio(), 1.0);
    EXPECT_DOUBLE_EQ(wide->GetVRatio(), 1.0);

    // An empty box is 0 wide: the whole span scrolls.
    GSViewRef none = View(ZuRect(), 400, 200);
    EXPECT_EQ(none->RetViewWidth(), 0u);
    none->SetHOffset(0.5);
    EXPECT_EQ(none->RetHPixelOffset(), 200u);
    EXPECT_DOUBLE_EQ(none->GetHRatio(), 0.0);
    // Fractions from outside: nothing below 0 or NaN turns into a huge offset.
    v->SetHOffset(-3.0);
    EXPECT_EQ(v->RetHPixelOffset(), 0u);
    v->SetHOffset(std::nan(""));
    EXPECT_EQ(v->RetHPixelOffset(), 0u);
}

TEST_F(GSViewTest, WithoutAContextEverythingAnswersTheNeutralValues)
{
    GSViewRef v = ZuNew<GSView>(Zuvi_app_zone);
    v->SetBox(ZuRect(0, 0, 99, 49));
    EXPECT_TRUE(v->RetContext().IsInvalid());
    EXPECT_TRUE(v->SetHOffset(0.5));
    EXPECT_TRUE(v->SetVOffset(0.5));
    EXPECT_DOUBLE_EQ(v->GetHOffset(), 0.0);
    EXPECT_DOUBLE_EQ(v->GetVOffset(), 1.0);
    EXPECT_DOUBLE_EQ(v->GetHRatio(), 1.0);
    EXPECT_DOUBLE_EQ(v->GetVRatio(), 1.0);
    EXPECT_DOUBLE_EQ(Datum(v, "h_offset"), 0.0);
    EXPECT_DOUBLE_EQ(Datum(v, "v_ratio"), 1.0);
    ZuGrailPixmapRef p = NewPixmap(24, 20, 10);
    p->BeginDraw(0, 0, 19, 9);
    v->Draw(p, ZuRect(0, 0, 19, 9), ZU_DRAW_ALL);
    EXPECT_EQ(CountInked(p), 0u);
    p->EndDraw();
    // Without a context a copy writes nothing: the caller's bytes stay as
    // they were (a buffer of zeros could not tell).
    unsigned char row[8];
    std::memset(row, 0xA5, sizeof row);
    v->CopyTo24Bit(0, 0, 2, 1, row, 8);
    for (unsigned char b : row)
        EXPECT_EQ(b, 0xA5);
    // SetContext with something else than a context leaves none.
    EXPECT_TRUE(v->SetContext(ZuObjectRef(ZuNew<GSView>(Zuvi_app_zone))));
    EXPECT_TRUE(v->RetContext().IsInvalid());
}

TEST_F(GSViewTest, InitialiseMakesThenResizesAndRefusesAnotherType)
{
    GSViewRef v = ZuNew<GSView>(Zuvi_app_zone);
    EXPECT_TRUE(v->Initialise(64, 32, GS_VIEW_MONO));
    ASSERT_TRUE(v->RetContext().IsValid());
    EXPECT_EQ(v->RetContext()->GetType(), int(GS_VIEW_MONO));
    EXPECT_FALSE(v->Initialise(640, 480, GS_VIEW_RGB24));
    uint32_t w = 0, h = 0;
    v->GetPixmapSize(w, h);
    EXPECT_EQ(w, 64u);
    EXPECT_EQ(h, 32u);
    EXPECT_TRUE(v->Initialise(80, 40, GS_VIEW_MONO));
    v->GetPixmapSize(w, h);
    EXPECT_EQ(w, 80u);
    EXPECT_EQ(h, 40u);

    // By name, with the declared arguments in order.
    GSViewRef n = ZuNew<GSView>(Zuvi_app_zone);
    ZuMessageRef msg = ZuNew<ZuMessage>(Zuvi_app_zone);
    msg->SetMethod("Initialise");
    msg << uint32_t(24) << uint32_t(16) << GS_VIEW_RGB24;
    EXPECT_TRUE(msg->Send(n));
    ASSERT_TRUE(n->RetContext().IsValid());
    n->GetPixmapSize(w, h);
    EXPECT_EQ(w, 24u);
    EXPECT_EQ(h, 16u);
    EXPECT_EQ(n->RetContext()->GetType(), int(GS_VIEW_RGB24));
}

TEST_F(GSViewTest, DrawCopiesTheImageToTheBoxCorner)
{
    GSViewRef v = View(ZuRect(3, 2, 12, 9), 8, 6);
    ASSERT_TRUE(v->RetContext()->ExecuteText("erasepage 1 0 0 setrgbcolor 0 0 2 2 rectfill\n", 0));
    ZuGrailPixmapRef p = NewPixmap(24, 20, 12);
    p->BeginDraw(0, 0, 19, 11);
    p->SetForeColor(ZuColorPixel(0u));
    p->FillRect(0, 0, 19, 11);
    v->Draw(p, ZuRect(0, 0, 19, 11), ZU_DRAW_ALL);
    // The image's bottom-left 2 x 2 red lands at the bottom of the copy:
    // rows 6 and 7 (from the box's top row 2), columns 3 and 4.
    EXPECT_EQ(Pixel(p, 3, 7), 0xFF0000u);
    EXPECT_EQ(Pixel(p, 4, 6), 0xFF0000u);
    EXPECT_EQ(Pixel(p, 5, 7), 0xFFFFFFu);
    EXPECT_EQ(Pixel(p, 3, 5), 0xFFFFFFu);
    EXPECT_EQ(Pixel(p, 2, 7), 0u);  // left of the box
    EXPECT_EQ(Pixel(p, 11, 7), 0u); // beyond the image's 8 columns
    p->EndDraw();
}

TEST_F(GSViewTest, StoringKeepsOffsetsAndContext)
{
    GSViewRef v = View(ZuRect(0, 0, 99, 49), 400, 200);
    v->SetHOffset(0.5);
    v->SetVOffset(0.0);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(v);
    const std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, GSViewRef::RetRuntime());
    GSViewRef back(out);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetHPixelOffset(), 150u);
    EXPECT_EQ(back->RetVPixelOffset(), 150u);
    ASSERT_TRUE(back->RetContext().IsValid());
    uint32_t w = 0, h = 0;
    back->GetPixmapSize(w, h);
    EXPECT_EQ(w, 400u);
    EXPECT_EQ(h, 200u);
    EXPECT_DOUBLE_EQ(back->GetHOffset(), 0.5);
    back->Delete();
}
