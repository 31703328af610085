// The stretchable strip painted from the pieces of one named icon.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/iconedge.h"
#include "si/memzone.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

// One colour per mosaic piece; the strip reads back as the piece digits.
constexpr unsigned kColors[] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFF00u, 0x00FF00FFu,
                                0x0000FFFFu, 0x00800000u, 0x00008000u, 0x00000080u, 0x00808000u};

class IconEdgeTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        sheet = NewPixmap(32, 20, 2);
        sheet->BeginDraw(0, 0, 19, 1);
        for (unsigned i = 0; i < 10; ++i) {
            sheet->SetForeColor(ZuColorPixel(kColors[i]));
            sheet->FillRect(2 * i, 0, 2 * i + 1, 1);
        }
        sheet->EndDraw();
        port = NewPixmap(32, 20, 6);
    }
    void TearDown() override
    {
        port->Delete();
        port = ZuGrailPixmapNull;
        sheet = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    // Gives the look the 2 x 2 pieces of a name; fillers and the middle
    // stretch across.
    void AddPieces(const char* name, std::initializer_list<unsigned> ids)
    {
        for (unsigned id : ids) {
            ZuIconRecordRef piece(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
            piece->Initialise(ZuAtomRef(name), sheet);
            piece->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(2 * id, 0, 2 * id + 1, 1));
            piece->DefineMosaicID(id);
            piece->SetXStretchable(id == 0 || id == 3 || id == 4);
            ZuLookMan::Current()->AddUserIcon(piece);
        }
    }
    // Row y of the port, a piece digit per pixel, '.' where nothing is.
    std::string Row(int y)
    {
        std::string out;
        for (int x = 0; x < 20; ++x) {
            char c = '.';
            for (unsigned i = 0; i < 10; ++i)
                if (Pixel(port, x, y) == kColors[i])
                    c = static_cast<char>('0' + i);
            out += c;
        }
        return out;
    }
    void Paint(const ZuIconEdgeRef& edge, ZuFrameEdgeBit which)
    {
        port->BeginDraw(0, 0, 19, 5);
        edge->Paint(port, which, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 19, 5), 6, 6, 0);
        port->EndDraw();
    }

    ZuGrailPixmapRef sheet;
    ZuGrailPixmapRef port;
};

TEST_F(IconEdgeTest, AMissingPieceAnswersFalseButTheOthersAreSet)
{
    AddPieces("T_Edge", {0, 1, 2, 3, 4, 5, 6, 8, 9});
    ZuIconEdgeRef edge = ZuNew<ZuIconEdge>();
    EXPECT_FALSE(edge->Initialise(ZuAtomRef("T_Edge")));
    EXPECT_TRUE(edge->RetName() == ZuAtomRef("T_Edge"));
    for (unsigned id = 0; id < 10; ++id) {
        ASSERT_EQ(edge->RetPiece(id).IsValid(), id != 7) << id;
        if (id != 7) {
            EXPECT_EQ(edge->RetPiece(id)->RetMosaicID(), id);
        }
    }
    // An empty name is refused at once and changes nothing.
    EXPECT_FALSE(edge->Initialise(ZuAtomNull));
    EXPECT_TRUE(edge->RetName() == ZuAtomRef("T_Edge"));
    // With a frame for the middle, pieces 4 and 9 are not looked for.
    AddPieces("T_Framed", {0, 1, 2, 3, 5, 6, 7, 8});
    ZuIconEdgeRef framed = ZuNew<ZuIconEdge>();
    EXPECT_TRUE(framed->Initialise(ZuAtomRef("T_Framed"), ZuAtomRef("T_Frame")));
    EXPECT_TRUE(framed->RetRectName() == ZuAtomRef("T_Frame"));
    EXPECT_FALSE(framed->RetPiece(4).IsValid());
}

TEST_F(IconEdgeTest, TopAndBottomPaintTheStripSidesPaintNothing)
{
    AddPieces("T_Edge", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ZuIconEdgeRef edge = ZuNew<ZuIconEdge>();
    ASSERT_TRUE(edge->Initialise(ZuAtomRef("T_Edge")));
    for (ZuFrameEdgeBit side : {ZU_FRAME_LEFT, ZU_FRAME_RIGHT}) {
        Paint(edge, side);
        EXPECT_EQ(CountInked(port), 0u) << side;
    }
    // 20 wide, ends of 6: filler 4, end 2, middle 8, end 2, filler 4, on
    // the rows around the centre line (y 3).
    for (ZuFrameEdgeBit side : {ZU_FRAME_TOP, ZU_FRAME_BOTTOM}) {
        Paint(edge, side);
        EXPECT_EQ(Row(1), "....................") << side;
        EXPECT_EQ(Row(2), "00001144444444223333") << side;
        EXPECT_EQ(Row(3), "00001144444444223333") << side;
        EXPECT_EQ(Row(4), "....................") << side;
    }
}

TEST_F(IconEdgeTest, RestoredEdgeLooksItsPiecesUpAgain)
{
    AddPieces("T_Edge", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ZuIconEdgeRef edge = ZuNew<ZuIconEdge>();
    edge->Initialise(ZuAtomRef("T_Edge"), ZuAtomRef("T_Frame"));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(edge);
    const std::vector<unsigned char> bytes = s->Bytes();
    ZuTestStorageRef r = ZuTestStorage::Make();
    r->StartRestoring(bytes);
    ZuObjectRef out;
    r->RestoreObject(out, ZuIconEdgeRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuIconEdgeRef::RetRuntime()));
    ZuIconEdgeRef back(out);
    EXPECT_TRUE(back->RetName() == ZuAtomRef("T_Edge"));
    EXPECT_TRUE(back->RetRectName() == ZuAtomRef("T_Frame"));
    EXPECT_TRUE(back->RetPiece(1).IsValid());
    EXPECT_FALSE(back->RetPiece(4).IsValid());
}

} // namespace
