// The adorner: reliefs, frames, fills, named frames, icons and the port's
// adorner.
#include <gtest/gtest.h>

#include <string>

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/iconrect.h"
#include "si/memzone.h"
#include "tests/support/looks.h"

// A pixmap port that counts its flushes.
ZU_HANDLE(TFlushCounter, ZuGrailPixmap)
class TFlushCounter : public ZuGrailPixmap {
    ZU_CLASS(TFlushCounter, ZuGrailPixmap)

public:
    TFlushCounter() {}
    void Flush() override { ++flushes; }
    int flushes = 0;
};
ZU_CLASS_END(TFlushCounter)
ZU_IMPLEMENT_CLASS(TFlushCounter, "tests/adorner", ZU_CLASS_PLAIN)

namespace {

class Adorner : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        port = NewPixmap(32, 16, 16);
        port->BeginDraw(0, 0, 15, 15);
        port->SetForeColor(ZuColorPixel(kBack));
        port->FillRect(0, 0, 15, 15);
        port->EndDraw();
        adorner = port->RetAdorner();
    }
    // The port's pixels before drawing: no look colour.
    static constexpr unsigned kBack = 0x00123456u;
    // Pixels that are no longer the background.
    unsigned CountDrawn() const
    {
        unsigned n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                n += Pixel(port, x, y) != kBack;
        return n;
    }
    void TearDown() override
    {
        adorner = ZuAdornerNull;
        port->Delete();
        port = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    unsigned Word(ZuLookColor color) const
    {
        unsigned word = 0;
        ZuLookMan::Current()->GetColorCompactRGB(color, word);
        return word;
    }
    // Whether the n pixels from (x, y) going right (dx 1) or down hold the
    // look colour.
    bool Run(int x, int y, int n, bool across, ZuLookColor color) const
    {
        for (int i = 0; i < n; ++i)
            if (Pixel(port, across ? x + i : x, across ? y : y + i) != Word(color))
                return false;
        return true;
    }

    ZuGrailPixmapRef port;
    ZuAdornerRef adorner;
};

TEST_F(Adorner, PortMakesItsAdornerOnce)
{
    ASSERT_TRUE(adorner.IsValid());
    EXPECT_TRUE(adorner->RetPort() == port);
    EXPECT_TRUE(port->RetAdorner() == adorner);
    ZuAdornerRef other(ZuNew<ZuAdorner>(Zuvi_app_zone));
    port->InitAdorner(other);
    EXPECT_TRUE(port->RetAdorner() == other);
    other->Delete();
}

TEST_F(Adorner, RaisedReliefLines)
{
    port->BeginDraw(0, 0, 15, 15);
    adorner->DrawRectHigh(0, 0, 9, 9);
    port->EndDraw();
    EXPECT_TRUE(Run(0, 0, 9, true, ZU_COLOR_LGRAY));
    EXPECT_TRUE(Run(0, 0, 9, false, ZU_COLOR_LGRAY));
    EXPECT_TRUE(Run(1, 1, 7, true, ZU_COLOR_WHITE));
    EXPECT_TRUE(Run(1, 1, 7, false, ZU_COLOR_WHITE));
    EXPECT_TRUE(Run(0, 9, 10, true, ZU_COLOR_BLACK));
    EXPECT_TRUE(Run(9, 0, 10, false, ZU_COLOR_BLACK));
    EXPECT_TRUE(Run(1, 8, 7, true, ZU_COLOR_DGRAY));
    EXPECT_TRUE(Run(8, 1, 7, false, ZU_COLOR_DGRAY));
    EXPECT_EQ(Pixel(port, 10, 0), kBack);
    EXPECT_EQ(Pixel(port, 2, 2), kBack);
    EXPECT_EQ(CountDrawn(), 4u * 9u + 4u * 7u);
}

TEST_F(Adorner, ReliefsOnEmptyRectanglesAndMarginsDrawNothingMore)
{
    port->BeginDraw(0, 0, 15, 15);
    adorner->DrawRectHigh(9, 0, 0, 9);
    adorner->DrawRectSunken(ZuRect(), 0.0);
    port->EndDraw();
    EXPECT_EQ(CountDrawn(), 0u);

    const ZuRect rect(2, 3, 12, 10);
    ZuGrailPixmapRef other = NewPixmap(32, 16, 16);
    other->BeginDraw(0, 0, 15, 15);
    other->SetForeColor(ZuColorPixel(kBack));
    other->FillRect(0, 0, 15, 15);
    other->EndDraw();
    port->BeginDraw(0, 0, 15, 15);
    adorner->DrawRectLow(rect, 5.0);
    port->EndDraw();
    other->BeginDraw(0, 0, 15, 15);
    other->RetAdorner()->DrawRectLow(rect, 0.0);
    other->EndDraw();
    EXPECT_TRUE(SamePixels(port, other));
    EXPECT_GT(CountDrawn(), 0u);
    other->Delete();
}

TEST_F(Adorner, EdgedFrameBottomOnly)
{
    const ZuRect rect(1, 2, 12, 13); // W = H = 12
    port->BeginDraw(0, 0, 15, 15);
    ZuFrameEdges edges;
    edges.SetBit(ZU_FRAME_BOTTOM);
    adorner->DrawFrame(rect, edges, 2);
    port->EndDraw();
    EXPECT_TRUE(Run(3, 2 + 12 - 4, 8, true, ZU_COLOR_WHITE));
    EXPECT_TRUE(Run(3, 2 + 12 - 3, 8, true, ZU_COLOR_BLACK));
    EXPECT_EQ(CountDrawn(), 16u);
}

TEST_F(Adorner, FillsThatDrawNothing)
{
    const ZuRect rect(0, 0, 15, 15);
    port->BeginDraw(0, 0, 15, 15);
    adorner->FillRect(rect, ZU_COLOR_NONE, 0);
    adorner->FillRect(rect, ZuColorPixel::none, 0);
    adorner->FillRect(rect, static_cast<ZuLookColor>(62), 0);
    adorner->FillRect(rect, ZuAtomRef("NoSuchColour"), 0);
    port->EndDraw();
    EXPECT_EQ(CountDrawn(), 0u);
    port->BeginDraw(0, 0, 15, 15);
    adorner->FillRect(rect, ZU_COLOR_BLACK, 0);
    port->EndDraw();
    EXPECT_EQ(Pixel(port, 5, 5), Word(ZU_COLOR_BLACK));
}

TEST_F(Adorner, FlushOnlyWhenSoon)
{
    ZuObjectRef made = ZuNew<TFlushCounter>(Zuvi_app_zone);
    TFlushCounter* counter = static_cast<TFlushCounter*>(made.Resolve());
    counter->Initialise(32, 4, 4);
    ZuAdornerRef a = counter->RetAdorner();
    a->Flush(ZU_FLUSH_NORMAL);
    a->Flush(ZU_FLUSH_LAZY);
    EXPECT_EQ(counter->flushes, 0);
    a->Flush(ZU_FLUSH_FAST);
    a->Flush(ZU_FLUSH_SYNC);
    EXPECT_EQ(counter->flushes, 2);
    made->Delete();
}

TEST_F(Adorner, NamedFramesCacheOnlyWhatTheLookDefines)
{
    const ZuRect rect(0, 0, 15, 15);
    adorner->DrawFrame(ZuAtomRef("Zuvi_NoSuchFrame"), rect, ZU_CTRL_STATE_NORMAL, 0);
    EXPECT_EQ(adorner->RetFrames()->TotalCount(), 0u);
    // A frame of nine 2 x 2 pieces.
    ZuGrailPixmapRef sheet = NewPixmap(32, 18, 2);
    for (unsigned i = 0; i < 9; ++i) {
        ZuIconRecordRef piece(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
        piece->Initialise(ZuAtomRef("T_Frame"), sheet);
        piece->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(2 * i, 0, 2 * i + 1, 1));
        piece->DefineMosaicID(i);
        ZuLookMan::Current()->AddUserIcon(piece);
    }
    adorner->DrawFrame(ZuAtomRef("T_Frame"), rect, ZU_CTRL_STATE_NORMAL, 0);
    adorner->DrawEdge(ZuAtomRef("T_Frame"), rect, ZU_FRAME_TOP, ZuAtomNull, 0, 0, 0,
                      ZU_CTRL_STATE_NORMAL, 0);
    ZuFrameEdges edges;
    edges.SetBit(ZU_FRAME_TOP);
    adorner->DrawFrame(ZuAtomRef("T_Frame"), rect, edges, ZU_CTRL_STATE_NORMAL, 0);
    EXPECT_EQ(adorner->RetFrames()->TotalCount(), 1u);
    sheet = ZuGrailPixmapNull;
}

TEST_F(Adorner, IconAtItsOwnSizeWhenOneSideIsZero)
{
    // A bar 3 wide and 16 high: asked at width 0 and height 16, it is
    // found and drawn 3 wide.
    ZuGrailPixmapRef sheet = NewPixmap(32, 3, 16);
    sheet->BeginDraw(0, 0, 2, 15);
    sheet->SetForeColor(ZuColorPixel(0x00FF0000u));
    sheet->FillRect(0, 0, 2, 15);
    sheet->EndDraw();
    ZuIconRecordRef icon(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
    icon->Initialise(ZuAtomRef("T_Bar"), sheet);
    icon->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 2, 15));
    ZuLookMan::Current()->AddUserIcon(icon);
    port->BeginDraw(0, 0, 15, 15);
    adorner->DrawIcon(2, 0, ZuAtomRef("T_Bar"), ZU_CTRL_STATE_NORMAL, 0, 16);
    adorner->DrawIcon(2, 0, ZuAtomNull, ZU_CTRL_STATE_NORMAL, 0, 0);
    port->EndDraw();
    EXPECT_EQ(Pixel(port, 2, 0), 0x00FF0000u);
    EXPECT_EQ(Pixel(port, 4, 15), 0x00FF0000u);
    EXPECT_EQ(CountDrawn(), 3u * 16u);
    sheet = ZuGrailPixmapNull;
}

TEST_F(Adorner, FrameEdgeBitHelpers)
{
    EXPECT_STREQ(ZuFrameEdgeBitRetName(ZU_FRAME_CORNERS), "ZU_FRAME_CORNERS");
    EXPECT_STREQ(ZuFrameEdgeBitRetName(static_cast<ZuFrameEdgeBit>(9)), "?");
    ZuFrameEdgeBit bit = ZU_FRAME_CORNERS;
    EXPECT_EQ(bit++, ZU_FRAME_CORNERS);
    EXPECT_EQ(static_cast<unsigned>(bit), 6u);
}

using AdornerDeathTest = Adorner;

TEST_F(AdornerDeathTest, NeverStoredAndNeedsAPort)
{
    EXPECT_DEATH(adorner->Initialise(ZuGrailPortNull), "port.IsValid");
}

} // namespace

namespace {

TEST_F(Adorner, LookAdornerListCopiesHandles)
{
    ZuLookMan::AdornerList list;
    EXPECT_TRUE(list.head.IsInvalid() && list.tail.IsInvalid());
    list.head = adorner;
    const ZuLookMan::AdornerList copy = list;
    EXPECT_TRUE(copy.head == adorner);
    EXPECT_TRUE(copy.tail.IsInvalid());
}

} // namespace
