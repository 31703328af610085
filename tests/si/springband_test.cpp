// Spring bands and boards: views placed along a row or column by springs,
// the boards that hold the bands of a view, and both stored in view trees.
#include <gtest/gtest.h>

#include <vector>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/springboard.h"
#include "si/window.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class SpringBandTest : public ZuviRuntimeTest {
protected:
    ZuViewRef View(double x1, double y1, double x2, double y2)
    {
        ZuViewRef v = ZuNew<ZuView>();
        v->SetBox(ZuRect(x1, y1, x2, y2));
        made.push_back(v);
        return v;
    }
    void TearDown() override
    {
        for (ZuViewRef& v : made)
            if (v->RetParent().IsInvalid())
                v->Delete();
        made.clear();
        ZuviRuntimeTest::TearDown();
    }
    std::vector<ZuViewRef> made;
};

// Rigid sizes at stretch 1 of every spring, and whether each is rigid.
std::vector<double> Sizes(const ZuSpringBandRef& band)
{
    std::vector<double> out;
    ZuSpringRef s;
    for (unsigned i = 0; band->GetNthSpring(i, s); ++i) {
        EXPECT_EQ(s->FindSlope(1), 0) << "spring " << i;
        out.push_back(s->FindSize(1));
    }
    return out;
}

typedef std::vector<double> D;

} // namespace

TEST_F(SpringBandTest, NewBandHoldsNothingAndDoesNothing)
{
    ZuSpringBandRef band = ZuNew<ZuSpringBand>();
    EXPECT_EQ(band->CountViews(), 0u);
    EXPECT_EQ(band->CountSprings(), 0u);
    EXPECT_FALSE(band->IsVertical());
    band->Resize(ZuRect(0, 0, 99, 99));
    EXPECT_FALSE(band->ResetFromModel());
    ZuWindowRef w;
    EXPECT_FALSE(band->GetAssociatedWindow(w));
    ZuViewRef v;
    EXPECT_FALSE(band->GetNthView(0, v));
    EXPECT_FALSE(band->RemoveView(0u));
    band->Delete();
}

TEST_F(SpringBandTest, InsertingAndRemovingViewsShareTheGaps)
{
    ZuSpringBandRef band = ZuNew<ZuSpringBand>();
    ZuViewRef a = View(0, 0, 29, 9), b = View(0, 0, 19, 39);
    EXPECT_FALSE(band->InsertView(0, ZuViewRef()));
    EXPECT_FALSE(band->InsertView(1, a)); // past the views: refused, nothing made
    EXPECT_EQ(band->CountSprings(), 0u);
    ASSERT_TRUE(band->InsertView(0, a));
    EXPECT_EQ(Sizes(band), (D{1.5, 30, 1.5}));
    EXPECT_FALSE(band->InsertView(2, b));
    EXPECT_EQ(band->CountViews(), 1u);
    ASSERT_TRUE(band->InsertView(1, b));
    EXPECT_EQ(Sizes(band), (D{1.5, 30, 1, 20, 1}));
    EXPECT_EQ(band->RetMetaSpring()->FindSize(1), 53.5);

    ZuSpringRef s;
    struct Case {
        unsigned index;
        bool before_ok, of_ok, after_ok;
        double before, of, after;
    };
    for (Case c : {Case{0, true, true, true, 1.5, 30, 1}, Case{1, true, true, true, 1, 20, 1},
                   Case{2, false, false, false, 0, 0, 0}}) {
        EXPECT_EQ(band->FindSpringBeforeView(c.index, s), c.before_ok) << c.index;
        if (c.before_ok) {
            EXPECT_EQ(s->FindSize(1), c.before);
        } else {
            EXPECT_TRUE(s.IsInvalid());
        }
        EXPECT_EQ(band->FindSpringOfView(c.index, s), c.of_ok);
        if (c.of_ok) {
            EXPECT_EQ(s->FindSize(1), c.of);
        }
        EXPECT_EQ(band->FindSpringAfterView(c.index, s), c.after_ok);
        if (c.after_ok) {
            EXPECT_EQ(s->FindSize(1), c.after);
        }
    }
    EXPECT_TRUE(band->FindSpringOfView(b, s));
    EXPECT_EQ(s->FindSize(1), 20);
    EXPECT_FALSE(band->FindSpringOfView(View(0, 0, 1, 1), s));

    unsigned at = 7;
    EXPECT_TRUE(band->FindView(b, at));
    EXPECT_EQ(at, 1u);
    EXPECT_FALSE(band->FindView(View(0, 0, 1, 1), at));
    EXPECT_EQ(at, 0u);

    // A vertical band measures heights.
    ZuSpringBandRef column = ZuNew<ZuSpringBand>();
    column->SetVertical(true);
    ASSERT_TRUE(column->InsertView(0, b));
    EXPECT_EQ(Sizes(column), (D{2, 40, 2}));

    EXPECT_FALSE(band->RemoveView(2u));
    ASSERT_TRUE(band->RemoveView(0u));
    EXPECT_EQ(Sizes(band), (D{32.5, 20, 1}));
    EXPECT_FALSE(band->RemoveView(a));
    ASSERT_TRUE(band->RemoveView(b));
    EXPECT_EQ(band->CountViews(), 0u);
    EXPECT_EQ(band->CountSprings(), 0u);
    band->Delete();
    column->Delete();
}

TEST_F(SpringBandTest, ResizePlacesViewsAtTheStretchThatFillsTheLength)
{
    ZuViewRef parent = View(0, 0, 99, 49);
    ZuViewRef a = View(10, 5, 39, 14);
    a->SetParent(parent);
    ZuSpringBandRef band = ZuNew<ZuSpringBand>();
    ASSERT_TRUE(band->InsertView(0, a));
    // Rigid springs (1.5, 30, 1.5): the view runs from 1.5 to 31.5 and keeps
    // its y coordinates.
    band->Resize(ZuRect(0, 0, 99, 0));
    EXPECT_EQ(a->RetBox(), ZuRect(1.5, 5, 31.5, 14));

    // The gap before the view gives way; the springs take their measure
    // from where the view lies in its parent.
    a->SetBox(ZuRect(10, 5, 39, 14));
    ZuSpringRef gap;
    ASSERT_TRUE(band->FindSpringBeforeView(0u, gap));
    gap->Reset(0, 1);
    ASSERT_TRUE(band->ResetFromModel());
    EXPECT_EQ(gap->FindSize(0), 0);
    EXPECT_EQ(gap->FindSize(1), 10);
    ZuSpringRef trailing;
    ASSERT_TRUE(band->FindSpringAfterView(0u, trailing));
    EXPECT_EQ(trailing->FindSize(0), 61); // 0 + 100 - 39
    EXPECT_EQ(trailing->FindSlope(0), 0);

    struct Case {
        ZuRect rect;
        double x1, x2;
    };
    // Length 96 = 10 s + 30 + 61 gives s = 0.5; an empty rectangle has
    // length 0.
    for (Case c : {Case{ZuRect(0, 0, 95, 0), 5, 35}, Case{ZuRect(20, 0, 120, 0), 30, 60},
                   Case{ZuRect(), -91, -61}}) {
        band->Resize(c.rect);
        EXPECT_EQ(a->RetBox(), ZuRect(c.x1, 5, c.x2, 14)) << c.x1;
    }
    band->Delete();
}

TEST_F(SpringBandTest, ResetFromModelMeasuresGapsBetweenLastPixels)
{
    ZuViewRef parent = View(100, 0, 199, 9);
    ZuViewRef a = View(100, 0, 129, 9), b = View(130, 0, 199, 9);
    a->SetParent(parent);
    b->SetParent(parent);
    ZuSpringBandRef band = ZuNew<ZuSpringBand>();
    band->InsertView(0, a);
    band->InsertView(1, b);
    ASSERT_TRUE(band->ResetFromModel());
    // At the frame's origin: 0; right after a neighbour: 1; ending on the
    // frame's last pixel: 1.
    EXPECT_EQ(Sizes(band), (D{0, 30, 1, 70, 1}));

    ZuWindowRef w = ZuNew<ZuWindow>();
    w->SetSize(50, 20);
    ZuViewRef c = ZuNew<ZuView>();
    c->SetBox(ZuRect(4, 0, 13, 9));
    c->SetParent(w);
    ZuSpringBandRef in_window = ZuNew<ZuSpringBand>();
    in_window->InsertView(0, c);
    ZuWindowRef found;
    EXPECT_TRUE(in_window->GetAssociatedWindow(found));
    EXPECT_EQ(found, w);
    ASSERT_TRUE(in_window->ResetFromModel());
    EXPECT_EQ(Sizes(in_window), (D{4, 10, 37}));
    band->Delete();
    in_window->Delete();
    w->Kill();
}

TEST_F(SpringBandTest, BoardKeepsBandsAndSearchesFromTheCallersIndex)
{
    ZuSpringBoardRef board = ZuNew<ZuSpringBoard>();
    ZuSpringBandRef b0 = ZuNew<ZuSpringBand>(), b1 = ZuNew<ZuSpringBand>(),
                    b2 = ZuNew<ZuSpringBand>();
    ZuViewRef v = View(0, 0, 9, 9), other = View(0, 0, 4, 4);
    b0->InsertView(0, v);
    b2->InsertView(0, v);
    b1->InsertView(0, other);
    EXPECT_TRUE(board->InsertBand(0, b0));
    EXPECT_TRUE(board->InsertBand(99, b2)); // appended
    EXPECT_TRUE(board->InsertBand(1, b1));
    EXPECT_EQ(board->CountBands(), 3u);

    ZuSpringBandRef got;
    EXPECT_TRUE(board->GetNthBand(2, got));
    EXPECT_EQ(got, b2);
    EXPECT_FALSE(board->GetNthBand(3, got));
    EXPECT_TRUE(got.IsInvalid());
    EXPECT_FALSE(board->RemoveBand(3));

    struct Case {
        unsigned from;
        bool found;
        unsigned index;
    };
    for (Case c : {Case{0, true, 0}, Case{1, true, 2}, Case{3, false, 3}, Case{7, false, 3}}) {
        unsigned index = c.from;
        EXPECT_EQ(board->FindView(v, index), c.found) << c.from;
        EXPECT_EQ(index, c.index) << c.from;
    }
    unsigned index = 9;
    EXPECT_TRUE(board->FindBand(b1, index));
    EXPECT_EQ(index, 1u);
    EXPECT_FALSE(board->FindBand(ZuNew<ZuSpringBand>(), index));
    EXPECT_EQ(index, 0u);

    ZuViewRef w = View(0, 0, 9, 9);
    EXPECT_TRUE(board->ReplaceView(v, w));
    EXPECT_FALSE(board->FindView(v));
    EXPECT_TRUE(b0->FindView(w));
    EXPECT_TRUE(b2->FindView(w));
    EXPECT_EQ(Sizes(b0), (D{0.5, 10, 0.5})); // springs stay as they were

    EXPECT_TRUE(board->RemoveView(w));
    EXPECT_EQ(b0->CountViews(), 0u);
    EXPECT_EQ(b2->CountViews(), 0u);
    EXPECT_FALSE(board->RemoveView(w));
    EXPECT_TRUE(board->RemoveBand(0));
    EXPECT_TRUE(board->GetNthBand(0, got));
    EXPECT_EQ(got, b1);
    board->Delete();
}

// A view with a board lays its children out when its size changes, in
// both directions, and a child that leaves it leaves the bands.
TEST_F(SpringBandTest, ViewResizeLaysOutChildrenThroughItsBoard)
{
    ZuViewRef parent = View(0, 0, 99, 49);
    ZuViewRef a = View(8, 8, 37, 15);
    a->SetParent(parent);
    ZuSpringBandRef row = ZuNew<ZuSpringBand>(), column = ZuNew<ZuSpringBand>();
    column->SetVertical(true);
    row->InsertView(0, a);
    column->InsertView(0, a);
    // The gaps before the view give way in both directions.
    ZuSpringRef s;
    row->FindSpringBeforeView(0u, s);
    s->Reset(0, 1);
    column->FindSpringBeforeView(0u, s);
    s->Reset(0, 1);
    row->ResetFromModel();
    column->ResetFromModel();
    ZuSpringBoardRef board = ZuNew<ZuSpringBoard>();
    board->InsertBand(0, row);
    board->InsertBand(1, column);
    ASSERT_TRUE(parent->SetSpringBoard(board));
    ZuSpringBoardRef held;
    EXPECT_TRUE(parent->GetSpringBoard(held));
    EXPECT_EQ(held, board);

    // 120 = 8 s + 30 + 63 and 70 = 8 s + 8 + 35: s = 3.375 both ways.
    parent->SetSize(120, 70);
    EXPECT_EQ(a->RetBox(), ZuRect(27, 27, 57, 35));
    // Moving the parent moves the child; the board is not asked.
    parent->SetOrigin(5, 5);
    EXPECT_EQ(a->RetBox(), ZuRect(32, 32, 62, 40));

    a->SetParent(ZuViewRef());
    EXPECT_EQ(row->CountViews(), 0u);
    EXPECT_EQ(column->CountViews(), 0u);
}

TEST_F(SpringBandTest, StoredBoardsLayOutAfterRestoring)
{
    ZuViewRef parent = View(0, 0, 99, 49);
    ZuViewRef a = View(10, 10, 39, 19), b = View(50, 10, 59, 19);
    a->SetParent(parent);
    b->SetParent(parent);
    ZuSpringBandRef row = ZuNew<ZuSpringBand>(), spare = ZuNew<ZuSpringBand>();
    row->InsertView(0, a);
    row->InsertView(1, b);
    ZuSpringRef s;
    row->FindSpringAfterView(1u, s);
    s->Reset(0, 1);
    row->ResetFromModel();
    ZuSpringBoardRef board = ZuNew<ZuSpringBoard>();
    board->InsertBand(0, row);
    board->InsertBand(1, spare); // no view, no spring array
    parent->SetSpringBoard(board);

    ZuTestStorageRef out = ZuTestStorage::Make();
    out->StartStoring();
    out->StoreObject(parent);
    std::vector<unsigned char> bytes = out->Bytes();

    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(bytes);
    ZuObjectRef obj;
    in->RestoreObject(obj, ZuViewRef::RetRuntime());
    ZuViewRef back(obj);
    ASSERT_TRUE(back.IsValid());
    ZuSpringBoardRef back_board = back->RetSpringBoard();
    ASSERT_TRUE(back_board.IsValid());
    ASSERT_EQ(back_board->CountBands(), 2u);
    ZuSpringBandRef back_row, back_spare;
    back_board->GetNthBand(0, back_row);
    back_board->GetNthBand(1, back_spare);
    EXPECT_EQ(back_row->CountSprings(), 5u);
    EXPECT_EQ(back_spare->CountSprings(), 0u);
    EXPECT_FALSE(back_spare->ResetFromModel());
    // The restored band makes its sum on its first layout: the trailing gap
    // gives the room back.
    back->SetSize(80, 50);
    ZuViewRef first, second;
    back_row->GetNthView(0, first);
    back_row->GetNthView(1, second);
    EXPECT_EQ(first->RetBox(), ZuRect(10, 10, 40, 19));
    EXPECT_EQ(second->RetBox(), ZuRect(51, 10, 61, 19));
    // The band without springs takes a view as a new band does.
    ZuViewRef c = View(0, 0, 29, 9);
    EXPECT_TRUE(back_spare->InsertView(0, c));
    EXPECT_EQ(Sizes(back_spare), (D{1.5, 30, 1.5}));
    back->Delete();

    for (std::size_t cut = 1; cut < bytes.size(); cut += 2) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
        ZuTestStorageRef cut_in = ZuTestStorage::Make();
        cut_in->StartRestoring(part);
        ZuObjectRef got;
        try {
            cut_in->RestoreObject(got, ZuViewRef::RetRuntime());
        } catch (const ZuException&) {}
        ZuViewRef q(got);
        if (q.IsValid()) {
            q->SetSize(70, 40);
            q->Delete();
        }
    }
}
