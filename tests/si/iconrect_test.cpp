#include "si/iconrect.h"

#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

// Piece i is an 8 x 8 cell of the sheet at (8 i, 0) in its own colour.
unsigned PieceColour(unsigned i)
{
    return 0x00010101u * (20u * (i + 1u));
}

class IconRectTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        sheet = NewPixmap(32, 80, 8);
        sheet->BeginDraw(0, 0, 79, 7);
        sheet->SetPureColor(true);
        for (unsigned i = 0; i < 9; ++i) {
            sheet->SetForeColor(ZuColorPixel(PieceColour(i)));
            sheet->FillRect(ZuRect(8.0 * i, 0, 8.0 * i + 7, 7), 0);
        }
        sheet->EndDraw();
        target = NewPixmap(32, 100, 60);
    }
    // The nine pieces of a frame under the name, but those in `skip`.
    void AddFrame(const char* name, int skip = -1)
    {
        for (unsigned i = 0; i < 9; ++i) {
            if (static_cast<int>(i) == skip)
                continue;
            ZuIconRecordRef r(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
            r->Initialise(ZuAtomRef(name), sheet);
            r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(8.0 * i, 0, 8.0 * i + 7, 7));
            r->DefineMosaicID(i);
            // Edges stretch along themselves, the surface both ways.
            r->SetXStretchable(i == 1 || i == 4 || i == 7);
            r->SetYStretchable(i == 3 || i == 4 || i == 5);
            ZuLookMan::Current()->AddUserIcon(r);
        }
    }
    ZuIconRectRef NewFrame(const char* name, bool* complete = nullptr)
    {
        ZuIconRectRef f(ZuNew<ZuIconRect>(Zuvi_app_zone));
        const bool ok = f->Initialise(ZuAtomRef(name));
        if (complete != nullptr)
            *complete = ok;
        return f;
    }
    // The pixmaps go before the runtime does.
    void TearDown() override
    {
        sheet = ZuGrailPixmapNull;
        target = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    ZuGrailPixmapRef sheet;
    ZuGrailPixmapRef target;
};

TEST_F(IconRectTest, EdgeBoxesLieBetweenTheCorners)
{
    AddFrame("Frame");
    bool complete = false;
    ZuIconRectRef f = NewFrame("Frame", &complete);
    ASSERT_TRUE(complete);
    const ZuRect frame(0, 0, 99, 49);
    struct Case {
        ZuFrameEdgeBit edge;
        bool ok;
        ZuRect want;
    } const cases[] = {
        {ZU_FRAME_TOP, true, ZuRect(8, 0, 91, 7)},  {ZU_FRAME_BOTTOM, true, ZuRect(8, 42, 91, 49)},
        {ZU_FRAME_LEFT, true, ZuRect(0, 8, 7, 41)}, {ZU_FRAME_RIGHT, true, ZuRect(92, 8, 99, 41)},
        {ZU_FRAME_SURFACE, false, ZuRect()},        {ZU_FRAME_CORNERS, false, ZuRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ZuFrameEdgeBitRetName(c.edge));
        ZuRect box;
        ASSERT_EQ(f->GetEdgeBox(c.edge, ZU_CTRL_STATE_ACTIVE, frame, box), c.ok);
        if (c.ok) {
            EXPECT_TRUE(box == c.want)
                << box.X1() << "," << box.Y1() << " " << box.X2() << "," << box.Y2();
        }
    }
    // A frame as narrow as its corners has an empty top edge.
    ZuRect box(1, 1, 2, 2);
    ASSERT_TRUE(f->GetEdgeBox(ZU_FRAME_TOP, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 15, 49), box));
    EXPECT_TRUE(box.IsEmpty());
}

TEST_F(IconRectTest, PaintLaysTheNinePiecesOut)
{
    AddFrame("Frame");
    ZuIconRectRef f = NewFrame("Frame");
    target->BeginDraw(0, 0, 99, 59);
    f->Paint(target, ZU_CTRL_STATE_NORMAL, ZuRect(0.4, 0.6, 39.6, 29.4), 0.0);
    target->EndDraw();
    struct Probe {
        int x, y;
        unsigned piece;
    } const probes[] = {
        {2, 2, 0},   {20, 2, 1}, {37, 2, 2},  {2, 15, 3},  {20, 15, 4},
        {37, 15, 5}, {2, 27, 6}, {20, 27, 7}, {39, 29, 8},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(Pixel(target, p.x, p.y), PieceColour(p.piece)) << p.piece;
    EXPECT_EQ(CountInked(target), 40u * 30u);
}

TEST_F(IconRectTest, ANarrowFrameOverlapsItsCornersWithoutTopEdge)
{
    AddFrame("Frame");
    ZuIconRectRef f = NewFrame("Frame");
    target->BeginDraw(0, 0, 99, 59);
    f->Paint(target, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 11, 29), 0.0);
    target->EndDraw();
    EXPECT_EQ(Pixel(target, 2, 2), PieceColour(0));
    EXPECT_EQ(Pixel(target, 6, 2), PieceColour(2));
    EXPECT_EQ(Pixel(target, 11, 15), PieceColour(5));
    EXPECT_EQ(Pixel(target, 12, 15), 0u);
}

TEST_F(IconRectTest, EdgesChooseThePartsPainted)
{
    AddFrame("Frame");
    ZuIconRectRef f = NewFrame("Frame");
    struct Case {
        const char* what;
        Bitset<ZuFrameEdgeBit> edges;
        unsigned inked;
    } const cases[] = {
        {"top", {ZU_FRAME_TOP}, 24u * 8u},
        {"corners", {ZU_FRAME_CORNERS}, 4u * 64u},
        {"surface and right", {ZU_FRAME_SURFACE, ZU_FRAME_RIGHT}, 24u * 14u + 8u * 14u},
        {"nothing", {}, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target = NewPixmap(32, 100, 60);
        target->BeginDraw(0, 0, 99, 59);
        f->Paint(target, c.edges, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 39, 29), 0.0);
        target->EndDraw();
        EXPECT_EQ(CountInked(target), c.inked);
    }
}

TEST_F(IconRectTest, AFrameWithAMissingPieceNeverResolvesIt)
{
    AddFrame("NoCorner", 8);
    AddFrame("NoEdge", 1);
    bool complete = true;
    ZuIconRectRef no_corner = NewFrame("NoCorner", &complete);
    EXPECT_FALSE(complete);
    ZuIconRectRef no_edge = NewFrame("NoEdge", &complete);
    EXPECT_FALSE(complete);
    EXPECT_FALSE(NewFrame("Nothing", &complete)->RetPiece(0).IsValid());
    EXPECT_FALSE(complete);
    EXPECT_FALSE(ZuIconRectRef(ZuNew<ZuIconRect>(Zuvi_app_zone))->Initialise(ZuAtomNull));

    ZuRect box;
    EXPECT_FALSE(
        no_corner->GetEdgeBox(ZU_FRAME_TOP, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 39, 29), box));
    EXPECT_TRUE(no_edge->GetEdgeBox(ZU_FRAME_TOP, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 39, 29), box));

    target->BeginDraw(0, 0, 99, 59);
    no_edge->Paint(target, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 39, 29), 0.0);
    target->EndDraw();
    EXPECT_EQ(Pixel(target, 20, 2), 0u);
    EXPECT_EQ(Pixel(target, 20, 15), PieceColour(4));
    EXPECT_EQ(CountInked(target), 40u * 30u - 24u * 8u);
}

TEST_F(IconRectTest, StorageKeepsTheNameAndFindsThePiecesAgain)
{
    AddFrame("Frame");
    ZuIconRectRef f = NewFrame("Frame");
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage << ZuObjectRef(f);
    std::string const bytes(storage->Bytes().begin(), storage->Bytes().end());
    EXPECT_NE(bytes.find("<ZuIconRect base_name>"), std::string::npos);
    EXPECT_NE(bytes.find("Frame"), std::string::npos);
    storage->StartRestoring(storage->Bytes());
    ZuIconRectRef back;
    storage >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back == f);
    EXPECT_TRUE(back->RetName() == "Frame");
    for (unsigned i = 0; i < ZuIconRect::kPieces; ++i)
        EXPECT_TRUE(back->RetPiece(i) == f->RetPiece(i)) << i;
    back->Delete();
}

} // namespace
