// The free polygon: definitions and the vertex corners, drawing with the
// tool and its constraint, corner handles, the palette's commands,
// properties, transforms, the PostScript it sends, its box and hits in the
// interpreter, and its stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/closedef.h"
#include "app/cornerdef.h"
#include "app/grapolyl.h"
#include "app/misc.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// A polygon that stores a vertex count or a vertex corners array it does
// not have; its class name has the polygon's length, so that a test can
// rename it in the stream.
ZU_HANDLE(CGraPolyLinX, CGraPolyLine)
class CGraPolyLinX : public CGraPolyLine {
    ZU_CLASS(CGraPolyLinX, CGraPolyLine)
public:
    CGraPolyLinX() {}
    int stored_count = 0;
    ZuArrayRef stored_corners;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        paint.Store(s);
        s << ZuStorageSync::mark << corner << stored_corners;
        s << stored_count << ZuStorageSync::repeat;
        for (int i = 0; i < stored_count; i++)
            s << ZuStorageSync::begin << 1.0 << 2.0 << 0 << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraPolyLinX)
ZU_IMPLEMENT_CLASS(CGraPolyLinX, "tests/app/grapolyl_test", ZU_CLASS_PLAIN)

namespace {

class CGraPolyLineTest : public GraTest {
protected:
    CGraPolyLineRef Poly(std::initializer_list<DPoint> ps, bool closed = false)
    {
        CGraPolyLineRef l = Make<CGraPolyLineRef>();
        bool first = true;
        for (const DPoint& p : ps) {
            EXPECT_TRUE(l->SetPoints(&p, 1));
            if (first)
                l->DragPoint(p, 0);
            first = false;
        }
        SetClosed(l, closed);
        return l;
    }
    CGraPolyLineRef Square(bool closed = true)
    {
        return Poly({P(0, 0), P(10, 0), P(10, 10), P(0, 10)}, closed);
    }
    static CCornerDefRef CornerOf(const CGraObjectRef& o) { return Def<CCornerDefRef>(o, 30); }
};

TEST_F(CGraPolyLineTest, ANewPolygonHasItsCornerAndNoVertexCorners)
{
    CGraPolyLineRef l = Make<CGraPolyLineRef>();
    ZuStringRef text;
    EXPECT_TRUE(l->GetTypeName(text));
    EXPECT_EQ("Polygone quelconque", Text(text));
    EXPECT_EQ(23, l->GetIconId(0));
    EXPECT_EQ(33, l->GetIconId(1));
    EXPECT_EQ(-1, l->GetIconId(5));
    int list[20];
    l->GetDefinitionKinds(list);
    const int expected[] = {10, 11, 12, 15, 18, 20, 21, 22, 25, 30, 100, 102, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(list, expected, sizeof expected));
    const CCornerDefRef own = CornerOf(l);
    ASSERT_TRUE(own.IsValid());
    // With a vertex chosen, the vertex's corner: none yet.
    CGraPolyLineRef sq = Square();
    sq->SetPropertyValue(2, 3);
    EXPECT_TRUE(CornerOf(sq).IsInvalid());
    sq->SetPropertyValue(2, 0);
    EXPECT_TRUE(CornerOf(sq).IsValid());
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(13))->IsKindOf(CGraPolyLineRef::RetRuntime()));
    l->GetDebugText(text);
    EXPECT_EQ("  Sommets=0", Text(text));
    EXPECT_FALSE(l->SetDefinition(30, Make<CColorDefRef>()));
}

TEST_F(CGraPolyLineTest, DrawingWithTheToolAndTheConstraint)
{
    CGraPolyLineRef l = Make<CGraPolyLineRef>();
    // No vertex: placing and dragging change nothing.
    l->PlacePoint(P(5, 5), 0);
    l->DragPoint(P(5, 5), 2);
    EXPECT_EQ(0, l->GetCount());
    const DPoint a = P(1, 1);
    EXPECT_TRUE(l->SetPoints(&a, 1));
    EXPECT_EQ(2, l->GetCount());
    EXPECT_EQ(0, l->GetVertex(0).end);
    EXPECT_EQ(1, l->GetVertex(1).end);
    // A click without a drag leaves one vertex.
    EXPECT_TRUE(l->DragPoint(P(1, 1), 0));
    EXPECT_EQ(1, l->GetCount());

    struct Case {
        const char* what;
        DPoint to;
        DPoint lands;
    } const cases[] = {
        {"flatter: horizontal", P(11, 4), P(11, 1)},
        {"steeper: vertical", P(4, 11), P(1, 11)},
        {"equal: horizontal", P(6, 6), P(6, 1)},
    };
    for (const Case& c : cases) {
        CGraPolyLineRef k = Make<CGraPolyLineRef>();
        k->SetPoints(&a, 1);
        k->DragPoint(c.to, 2);
        ExpectPoint(k->GetHandlePosition(4), c.lands.x, c.lands.y, c.what);
        k->DragPoint(c.to, 0);
        ExpectPoint(k->GetHandlePosition(4), c.to.x, c.to.y, c.what);
    }
    // Later vertices: appended, the previous last loses its end mark.
    CGraPolyLineRef k = Poly({P(0, 0), P(10, 0), P(10, 10)});
    EXPECT_EQ(3, k->GetCount());
    EXPECT_EQ(0, k->GetVertex(1).end);
    EXPECT_EQ(1, k->GetVertex(2).end);
    k->RemoveLastPoint();
    EXPECT_EQ(1, k->GetVertex(1).end);
    EXPECT_TRUE(k->CanRemovePoint());
    // At 100 vertices the tool stops.
    while (k->GetCount() < 100) {
        const DPoint p = P(k->GetCount(), 3);
        ASSERT_TRUE(k->SetPoints(&p, 1));
    }
    EXPECT_FALSE(k->SetPoints(&a, 1));
    EXPECT_FALSE(k->DragPoint(P(2, 2), 0));
}

TEST_F(CGraPolyLineTest, DraggingACornerHandle)
{
    CGraPolyLineRef sq = Square();
    EXPECT_EQ(1, sq->GetHandleType(3));
    EXPECT_EQ(2, sq->GetHandleType(4));
    DPoint out;
    EXPECT_FALSE(sq->GetHandle(3, out));
    ExpectPoint(sq->GetHandlePosition(3), 10, 0, "entry on the vertex");
    // The entry of vertex 1 dragged 4 away (any direction).
    sq->MoveHandle(3, P(10, 4));
    EXPECT_EQ(1, sq->GetChosen());
    const CCornerDefRef c = CornerOf(sq);
    ASSERT_TRUE(c.IsValid());
    EXPECT_EQ(112, c->GetValue());
    EXPECT_EQ(4.0, c->GetLength());
    EXPECT_EQ(3, sq->GetHandleType(3));
    EXPECT_EQ(3, sq->GetHandleType(5));
    EXPECT_EQ(9, sq->GetHandleType(4));
    EXPECT_TRUE(sq->GetHandle(3, out));
    ExpectPoint(out, 6, 0, "towards the previous vertex");
    ExpectPoint(sq->GetHandlePosition(5), 10, 4, "towards the next vertex");
    double v = 0;
    EXPECT_TRUE(sq->GetPropertyValue(9, v));
    EXPECT_NEAR(4.0, v, 1e-9);
    // Back onto the vertex: sharp, the handles hidden.
    sq->MoveHandle(5, P(10, 0));
    EXPECT_EQ(110, c->GetValue());
    EXPECT_EQ(1, sq->GetHandleType(3));
    EXPECT_EQ(1, sq->GetHandleType(5));
    // "Retrait coins" below 0 gives no inset; above, the corner again.
    EXPECT_TRUE(sq->SetPropertyValue(9, -3));
    EXPECT_EQ(0.0, c->GetLength());
    EXPECT_TRUE(sq->SetPropertyValue(9, 2.5));
    EXPECT_EQ(2.5, c->GetLength());
    EXPECT_NE(110, c->GetValue());
    // Only the corner handles of the chosen vertex changed.
    EXPECT_EQ(1, sq->GetHandleType(0));
    // SetHandlePosition moves vertices, never corners.
    sq->SetHandlePosition(3, P(50, 50));
    EXPECT_EQ(2.5, c->GetLength());
    sq->SetHandlePosition(4, P(11, 0));
    ExpectPoint(sq->GetHandlePosition(4), 11, 0, "vertex");
}

TEST_F(CGraPolyLineTest, TheCornerAttribute)
{
    CGraPolyLineRef sq = Square();
    // No chosen vertex: every vertex gets a corner of its own, 5 in.
    EXPECT_TRUE(sq->SetDefinition(30, Corner(112, 5)));
    const DPoint entries[] = {P(0, 5), P(5, 0), P(10, 5), P(5, 10)};
    for (int i = 0; i < 4; i++) {
        ExpectPoint(sq->GetHandlePosition(3 * i), entries[i].x, entries[i].y,
                    "entry " + std::to_string(i));
        EXPECT_EQ(3, sq->GetHandleType(3 * i)) << i;
    }
    sq->SetPropertyValue(2, 1);
    const CCornerDefRef first = CornerOf(sq);
    sq->SetPropertyValue(2, 2);
    const CCornerDefRef second = CornerOf(sq);
    ASSERT_TRUE(first.IsValid());
    EXPECT_FALSE(first == second);

    // One vertex alone: the others and the polygon's corner stay.
    sq->SetPropertyValue(2, 2);
    EXPECT_TRUE(sq->SetDefinition(30, Corner(111, 2)));
    EXPECT_EQ(2.0, CornerOf(sq)->GetLength());
    sq->SetPropertyValue(2, 1);
    EXPECT_EQ(5.0, CornerOf(sq)->GetLength());
    sq->SetPropertyValue(2, 0);
    EXPECT_EQ(112, CornerOf(sq)->GetValue());
    EXPECT_EQ(5.0, CornerOf(sq)->GetLength());

    // Pruning drops the sharp entries only.
    sq->MoveHandle(0, P(0, 0)); // vertex 0 sharp, chosen 0
    EXPECT_TRUE(sq->PruneDefinitions());
    EXPECT_TRUE(CornerOf(sq).IsInvalid());
    sq->SetPropertyValue(2, 2);
    EXPECT_TRUE(CornerOf(sq).IsValid());

    // A sharp polygon corner drops every vertex corner.
    sq->SetPropertyValue(2, 0);
    EXPECT_TRUE(sq->SetDefinition(30, Corner(110, 0)));
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(1, sq->GetHandleType(3 * i + 2)) << i;
    sq->SetPropertyValue(2, 2);
    EXPECT_TRUE(CornerOf(sq).IsInvalid());
}

TEST_F(CGraPolyLineTest, PaletteCommandsMoveTheCornersWithTheirVertices)
{
    CGraPolyLineRef sq = Square();
    sq->MoveHandle(6, P(10, 7)); // vertex 2: length 3
    sq->SetEditMode(0);
    int words[40];
    sq->GetPropertyLayout(4, 1, 0, 0, words);
    const int both[] = {8,  0,  0,  -2, -6, 100, 0,  0,  -2, 101, 0,  0,
                        -2, -6, 30, 0,  0,  -2,  -3, 78, 0,  0,   -2, -1};
    EXPECT_EQ(0, std::memcmp(words, both, sizeof both));
    sq->GetPropertyLayout(3, -1, 0, 0, words); // a corner handle: no deletion
    const int none[] = {8, 0, 0, -2, -6, 30, 0, 0, -2, -3, 78, 0, 0, -2, -1};
    EXPECT_EQ(0, std::memcmp(words, none, sizeof none));

    sq->EditPoints(-1, 1, P(12, 5), CGraPolyLine::CMD_ADD);
    ASSERT_EQ(5, sq->GetCount());
    ExpectPoint(sq->GetHandlePosition(7), 12, 5, "clicked point");
    EXPECT_EQ(0, sq->GetVertex(2).end);
    EXPECT_EQ(1, sq->GetHandleType(6));
    EXPECT_EQ(3, sq->GetHandleType(9));
    sq->SetPropertyValue(2, 4);
    EXPECT_EQ(3.0, CornerOf(sq)->GetLength());

    sq->EditPoints(7, -1, P(0, 0), CGraPolyLine::CMD_REMOVE);
    ASSERT_EQ(4, sq->GetCount());
    EXPECT_EQ(3, sq->GetHandleType(6));
    EXPECT_EQ(1, sq->GetHandleType(9));
    EXPECT_EQ(2, sq->GetChosen());
    // Out of range, below three, at 100, and the curve's commands: nothing.
    CGraPolyLineRef two = Poly({P(0, 0), P(10, 0)});
    two->EditPoints(1, -1, P(0, 0), CGraPolyLine::CMD_REMOVE);
    two->EditPoints(-1, 1, P(5, 5), CGraPolyLine::CMD_ADD); // open: no closing edge
    two->EditPoints(-1, 0, P(5, 5), 105);
    EXPECT_EQ(2, two->GetCount());
    while (two->GetCount() < 100) {
        const DPoint p = P(two->GetCount(), 1);
        two->SetPoints(&p, 1);
    }
    two->EditPoints(-1, 3, P(5, 5), CGraPolyLine::CMD_ADD);
    EXPECT_EQ(100, two->GetCount());
}

TEST_F(CGraPolyLineTest, TenProperties)
{
    const std::vector<PropertyRow> rows = {
        {"Position X", "Position horizontale", 0x821, 0, -2000, 2000, 0, -1},
        {"Position Y", "Position verticale", 0x8C0, 0, -2000, 2000, 0, -1},
        {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1, 4, 1, 30},
        {"Position X", "Position point", 0x821, 0, -2000, 2000, 0, -1},
        {"Position Y", "Position point", 0x842, 0, -2000, 2000, 0, -1},
        {"Distance P", "Distance jusqu'au point pr\xe9\x63\xe9\x64\x65nt", 0x821, 0, 0, 2000, 0,
         -1},
        {"Inclinaison P", "Inclinaison du point pr\xe9\x63\xe9\x64\x65nt", 0x842, 13, 0,
         6.283185307, 0.3926990816875, -1},
        {"Distance S", "Distance jusqu'au point suivant", 0x821, 0, 0, 2000, 0, -1},
        {"Inclinaison S", "Inclinaison du point suivant", 0x842, 13, 0, 6.283185307,
         0.3926990816875, -1},
        {"Retrait coins", "Retrait pour les coins", 0x880, 0, 0, 2000, 0, 30},
    };
    CGraPolyLineRef sq = Square();
    ExpectPropertyTable(sq, rows);

    double v = 0;
    for (int n = 2; n < 10; n++)
        EXPECT_FALSE(sq->GetPropertyValue(n, v)) << n;
    EXPECT_FALSE(sq->SetPropertyValue(1, 15));
    ExpectPoint(sq->GetHandlePosition(1), 0, 10, "moved up all the same");
    EXPECT_FALSE(sq->SetPropertyValue(2, 0));
    EXPECT_TRUE(sq->SetPropertyValue(2, 500));
    EXPECT_EQ(3, sq->GetChosen());
    // Vertex 1 of the square at (0, 10) .. (10, 20).
    sq->SetPropertyValue(2, 2);
    const double expected[] = {5, 15, 2, 10, 10, 10, M_PI, 10, M_PI / 2, 0};
    for (int n = 0; n < 10; n++) {
        ASSERT_TRUE(sq->GetPropertyValue(n, v)) << n;
        EXPECT_NEAR(expected[n], v, 1e-6) << n;
    }
    struct Case {
        int n;
        double value;
        int vertex;
        DPoint at;
    } const cases[] = {
        {3, 12, 1, P(12, 10)},        {4, 0, 1, P(10, 0)},  {5, 4, 0, P(6, 10)},
        {6, M_PI * 1.5, 0, P(10, 0)}, {7, 3, 2, P(10, 13)}, {8, 0, 2, P(20, 10)},
    };
    for (const Case& c : cases) {
        CGraPolyLineRef k = Square();
        k->Offset(P(0, 10));
        k->SetPropertyValue(2, 2);
        EXPECT_TRUE(k->SetPropertyValue(c.n, c.value)) << c.n;
        ExpectPoint(k->GetHandlePosition(3 * c.vertex + 1), c.at.x, c.at.y,
                    "property " + std::to_string(c.n));
    }
    DPoint a, b;
    int kind = 0;
    const int kinds[] = {2, 3, 1, 2, 3, 4, 7, 4, 7, 4};
    for (int n = 0; n < 10; n++) {
        ASSERT_TRUE(sq->GetPropertyHandles(n, a, b, kind)) << n;
        EXPECT_EQ(kinds[n], kind) << n;
    }
    ExpectPoint(a, 10, 10, "V");
    ExpectPoint(b, 10, 10, "entry on V");
    sq->GetPropertyHandles(7, a, b, kind);
    ExpectPoint(b, 10, 20, "next");
}

TEST_F(CGraPolyLineTest, TransformsAndThePen)
{
    ChangeRecord scale = {};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(3, -1);
    CGraPolyLineRef sq = Square();
    Pen(sq)->SetWidth(2.0);
    EXPECT_TRUE(sq->SaveGeometry(scale));
    EXPECT_TRUE(sq->Transform(scale, 2));
    EXPECT_TRUE(sq->Transform(scale, 2));
    ExpectPoint(sq->GetHandlePosition(7), 30, -10, "scaled");
    EXPECT_DOUBLE_EQ(4.0, Pen(sq)->GetWidth());
    EXPECT_TRUE(sq->AcceptsChange(scale));
    // Without flag 2, or with a handle selected, the pen stays.
    CGraPolyLineRef k = Square();
    Pen(k)->SetWidth(2.0);
    k->SaveGeometry(scale);
    k->Transform(scale, 0);
    EXPECT_DOUBLE_EQ(2.0, Pen(k)->GetWidth());
    k = Square();
    Pen(k)->SetWidth(2.0);
    k->SelectHandle(4);
    EXPECT_TRUE(k->IsHandleSelected(4));
    k->SaveGeometry(scale);
    k->Transform(scale, 2);
    EXPECT_DOUBLE_EQ(2.0, Pen(k)->GetWidth());
    ExpectPoint(k->GetHandlePosition(4), 10, 0, "selected vertex stays");
    ExpectPoint(k->GetHandlePosition(7), 30, -10, "others scaled");
}

TEST_F(CGraPolyLineTest, DrawingTheOutlineWithItsCorners)
{
    RecordDrawingOnly();
    CGraPolyLineRef sq = Square();
    EXPECT_TRUE(sq->Draw(port, 0));
    EXPECT_EQ("0.000000 0.000000 moveto 10.000000 0.000000 lineto 10.000000 10.000000 lineto "
              "0.000000 10.000000 "
              "lineto 0.000000 0.000000 lineto closepath stroke newpath ",
              recorder->Text());

    // Every vertex rounded: a corner at each vertex, open or closed; the
    // closed one adds the closing line.
    for (bool closed : {false, true}) {
        CGraPolyLineRef t = Poly({P(0, 0), P(20, 0), P(10, 20)}, closed);
        t->SetDefinition(30, Corner(112, 2));
        recorder->Clear();
        t->Draw(port, 0);
        const std::string text = recorder->Text();
        EXPECT_EQ(3u, Count(text, "arct")) << closed;
        EXPECT_EQ(closed ? 3u : 2u, Count(text, "lineto") - 3) << closed;
        EXPECT_EQ(closed, text.find("closepath") != std::string::npos);
    }
    // Construction lines of the corners in an outline mode, no fill.
    CGraPolyLineRef t = Poly({P(0, 0), P(20, 0), P(10, 20)}, true);
    t->MoveHandle(3, P(18, 0));
    recorder->Clear();
    t->Draw(port, 8);
    EXPECT_NE(std::string::npos,
              recorder->Text().find("20.000000 0.000000 moveto 18.000000 0.000000 lineto stroke"));
    EXPECT_EQ(std::string::npos, recorder->Text().find("fill"));
    // One vertex: the cross.
    CGraPolyLineRef one = Poly({P(5, 5)});
    recorder->Clear();
    one->Draw(port, 16);
    EXPECT_NE(std::string::npos,
              recorder->Text().find("-15.000000 -15.000000 moveto 25.000000 25.000000 lineto"));
    // Nothing at all, even closed, without a vertex.
    CGraPolyLineRef empty = Make<CGraPolyLineRef>();
    SetClosed(empty, true);
    recorder->Clear();
    EXPECT_TRUE(empty->Draw(port, 0));
    EXPECT_EQ(std::string::npos, recorder->Text().find("moveto"));
}

TEST_F(CGraPolyLineTest, BoxAndHitsInTheInterpreter)
{
    Live(200, 200, 4.0);
    CGraPolyLineRef sq = Poly({P(0, 0), P(20, 0), P(20, 20), P(0, 20)}, true);
    Pen(sq)->SetWidth(1.0);
    ASSERT_TRUE(sq->UpdateBoundingBox(port));
    const DRect box = sq->GetBoundingBox();
    ExpectBox(box, -0.5, -0.5, 20.5, 20.5, 0.25);
    EXPECT_EQ(3, sq->HitTestSegment(port, P(0, 10), 1.0, 0));
    EXPECT_EQ(2, sq->HitTestSegment(port, P(10, 20), 1.0, 0));
    EXPECT_EQ(-1, sq->HitTestSegment(port, P(10, 10), 1.0, 0));
    EXPECT_TRUE(sq->HitTest(port, P(10, 10), 1.0, 1));
    EXPECT_FALSE(sq->HitTest(port, P(10, 10), 1.0, 0));
    // A bevel of 10 on a corner cuts it off: the corner is no longer hit,
    // though the straight-edge segment test still finds the edge there.
    sq->SetPropertyValue(2, 3);
    sq->SetDefinition(30, Corner(111, 10));
    EXPECT_FALSE(sq->HitTest(port, P(19.5, 19.5), 1.0, 1));
    EXPECT_EQ(1, sq->HitTestSegment(port, P(20, 19), 1.0, 0));
    // Outside the box: a miss.
    EXPECT_EQ(-1, sq->HitTestSegment(port, P(30, 10), 1.0, 0));
}

TEST_F(CGraPolyLineTest, CopyAndStoredRecord)
{
    CGraPolyLineRef sq = Square();
    sq->SetDefinition(30, Corner(112, 2));
    sq->MoveHandle(5, P(10, 3)); // vertex 1: its own length 3
    sq->SetEditMode(4);
    Pen(sq)->SetWidth(0.5);
    RecordDrawingOnly();
    recorder->answers = {BoxAnswer(-1, -1, 11, 11)};
    ASSERT_TRUE(sq->UpdateBoundingBox(port));
    sq->MoveHandle(7, P(10, 10));
    sq->SelectHandle(1);
    for (int round = 0; round < 2; round++) {
        CGraPolyLineRef back = CGraPolyLineRef(StoredOrCopied(sq, round, kWake));
        ASSERT_TRUE(back.IsValid());
        ASSERT_EQ(4, back->GetCount());
        EXPECT_EQ(4, back->GetEditMode());
        for (int i = 0; i < 4; i++) {
            ExpectPoint(back->GetVertex(i).p, sq->GetVertex(i).p.x, sq->GetVertex(i).p.y, "vertex");
            EXPECT_EQ(i == 3 ? 1 : 0, back->GetVertex(i).end) << i;
        }
        EXPECT_EQ(11.0, back->GetBoundingBox().x2);
        EXPECT_EQ(0.5, Pen(back)->GetWidth());
        // Each vertex its own corner, with its own length.
        const double lengths[] = {2, 3, 2, 2};
        CCornerDefRef seen[4];
        for (int i = 0; i < 4; i++) {
            back->SetPropertyValue(2, i + 1);
            seen[i] = CornerOf(back);
            ASSERT_TRUE(seen[i].IsValid()) << i;
            EXPECT_EQ(lengths[i], seen[i]->GetLength()) << i;
            for (int j = 0; j < i; j++)
                EXPECT_FALSE(seen[i] == seen[j]);
        }
        back->SetPropertyValue(2, 0);
        EXPECT_EQ(112, CornerOf(back)->GetValue());
    }
    CGraPolyLineRef fresh = CGraPolyLineRef(RoundTrip(sq, kWake));
    EXPECT_EQ(-1, fresh->GetChosen());
    EXPECT_FALSE(fresh->IsHandleSelected(1));
    CGraPolyLineRef copy = Make<CGraPolyLineRef>();
    copy->CopyFrom(sq);
    EXPECT_EQ(2, copy->GetChosen());
    EXPECT_TRUE(copy->IsHandleSelected(1));
    // A copy of a polygon without vertex corners has none either.
    CGraPolyLineRef plain = Square();
    copy->CopyFrom(plain);
    EXPECT_EQ(1, copy->GetHandleType(3));
    EXPECT_TRUE(CGraPolyLineRef(RoundTrip(plain, kWake)).IsValid());
}

TEST_F(CGraPolyLineTest, BadRecordsAreRefusedWithTheStreamError)
{
    CGraPolyLineRef sq = Square();
    sq->SetDefinition(30, Corner(112, 2));
    const std::vector<unsigned char> whole = Stored(sq);
    for (size_t n = 0; n < whole.size(); n += 7) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(n));
        CGraObjectRef back;
        EXPECT_THROW(back = Restored(cut, kWake), ZuExcStream) << n;
        EXPECT_TRUE(back.IsInvalid());
    }
    auto array = [](unsigned size, bool foreign) {
        ZuArrayRef a = ZuNew<ZuArray>();
        a->SetSize(size);
        if (size > 0)
            a[0] = foreign ? ZuObjectRef(Make<CColorDefRef>()) : ZuObjectRef(Make<CCornerDefRef>());
        return a;
    };
    struct Case {
        const char* what;
        int count;
        ZuArrayRef corners;
        bool refused;
    } const cases[] = {
        {"a hundred vertices and corners", 100, array(100, false), false},
        {"no corners", 3, ZuArrayRef(), false},
        {"too many vertices", 101, ZuArrayRef(), true},
        {"a negative count", -1, ZuArrayRef(), true},
        {"99 corners", 3, array(99, false), true},
        {"101 corners", 3, array(101, false), true},
        {"an empty array", 3, array(0, false), true},
        {"a colour among the corners", 3, array(100, true), true},
    };
    for (const Case& c : cases) {
        CGraPolyLinXRef bad = Make<CGraPolyLinXRef>();
        bad->stored_count = c.count;
        bad->stored_corners = c.corners;
        std::vector<unsigned char> bytes = Stored(bad);
        const std::string text(bytes.begin(), bytes.end());
        const size_t at = text.find("CGraPolyLinX");
        ASSERT_NE(std::string::npos, at);
        bytes[at + 11] = 'e';
        CGraObjectRef back;
        if (c.refused) {
            EXPECT_THROW(back = Restored(bytes, kWake), ZuExcStream) << c.what;
            EXPECT_TRUE(back.IsInvalid()) << c.what;
        } else {
            back = Restored(bytes, kWake);
            ASSERT_TRUE(back.IsValid()) << c.what;
            EXPECT_EQ(c.count, CGraPolyLineRef(back)->GetCount()) << c.what;
        }
    }
}

} // namespace
