// The arrow: its heads by kind, the head handles, drawing part by part,
// boxes and hits in the interpreter, and its stored record. What it shares
// with the line (properties, transforms) is tested once on the line; here
// only that the arrow reaches it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/graarrow.h"
#include "app/graline.h"
#include "app/misc.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// An arrow that stores a pen where its start head belongs; its class name
// has the arrow's length, so that a test can rename it in the stream.
ZU_HANDLE(CGraArroX, CGraArrow)
class CGraArroX : public CGraArrow {
    ZU_CLASS(CGraArroX, CGraArrow)
public:
    CGraArroX() {}

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        s << pen << brush << pulsar << stroke_colour << ZuStorageSync::mark;
        s << pen << end_head << ZuStorageSync::mark;
        s << start.x << start.y << end.x << end.y << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraArroX)
ZU_IMPLEMENT_CLASS(CGraArroX, "tests/app/graarrow_test", ZU_CLASS_PLAIN)

namespace {

enum { START = 40, END = 41 };

class CGraArrowTest : public GraTest {
protected:
    static CGraArrowRef Arrow(DPoint a, DPoint b)
    {
        CGraArrowRef r = Make<CGraArrowRef>();
        r->SetHandlePosition(0, a);
        r->SetHandlePosition(1, b);
        return r;
    }
    static CArrowDefRef Head(const CGraObjectRef& o, int kind)
    {
        return Def<CArrowDefRef>(o, kind);
    }
    // The arrow's head of the kind takes these values.
    static void SetHead(const CGraArrowRef& a, int which, int kind, double p1, double p2 = 0,
                        double p3 = 0, double p4 = 0, int flags = 0, double p5 = 0)
    {
        CArrowDefRef h = Make<CArrowDefRef>();
        h->SetValue(kind);
        h->SetParam1(p1);
        h->SetParam2(p2);
        h->SetParam3(p3);
        h->SetParam4(p4);
        h->SetParam5(p5);
        h->SetFlags(flags);
        EXPECT_TRUE(a->SetDefinition(which, h));
    }
};

TEST_F(CGraArrowTest, ANewArrowHasTwoHeads)
{
    CGraArrowRef a = Make<CGraArrowRef>();
    ZuStringRef name;
    EXPECT_TRUE(a->GetTypeName(name));
    EXPECT_STREQ("Fl\xe8"
                 "che",
                 name->AccessLatin());
    EXPECT_EQ(25, a->GetIconId(0));
    EXPECT_EQ(35, a->GetIconId(1));
    EXPECT_EQ(8, a->GetHandleCount());
    int kinds[16];
    a->GetDefinitionKinds(kinds);
    const int expected[] = {10, 11, 12, 15, 40, 41, 100, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(kinds, expected, sizeof expected));
    EXPECT_TRUE(Head(a, START).IsValid());
    EXPECT_TRUE(Head(a, END).IsValid());
    EXPECT_FALSE(Head(a, START) == Head(a, END));
    EXPECT_FALSE(a->SetDefinition(START, Make<CPenDefRef>()));
    EXPECT_FALSE(a->SetDefinition(10, Make<CArrowDefRef>()));
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(15))->IsKindOf(CGraArrowRef::RetRuntime()));
    // The line's properties.
    EXPECT_EQ(9, a->GetPropertyCount());
    a->SetHandlePosition(1, P(3, 4));
    a->SetPropertyValue(2, 2);
    EXPECT_TRUE(a->SetPropertyValue(7, 10));
    ExpectPoint(a->GetHandlePosition(1), 6, 8, "length along the arrow");
}

TEST_F(CGraArrowTest, HeadsByKind)
{
    struct Case {
        const char* what;
        int kind;
        double p1, p2, p3, p4;
        int flags;
        double p5;
        DPoint a, b, c, d;
    } const cases[] = {
        {"triangle, notched", 67, 4, 1.5, 1, 0, 0, 0, {7, 0}, {7, 0}, {6, 1.5}, {6, -1.5}},
        {"triangle, outside", 67, 4, 1.5, 1, 2, 1, 0, {12, 0}, {13, 0}, {14, -1.5}, {14, 1.5}},
        {"triangle, plain", 67, 4, 1.5, 0, 0, 0, 0, {6, 0}, {6, 0}, {6, 1.5}, {6, -1.5}},
        {"triangle, negative notch", 67, 4, 1.5, -1, 0, 0, 0, {6, 0}, {5, 0}, {6, 1.5}, {6, -1.5}},
        {"triangle longer than the arrow",
         67,
         40,
         1.5,
         0,
         0,
         0,
         0,
         {0, 0},
         {0, 0},
         {0, 1.5},
         {0, -1.5}},
        {"round", 68, 2, 0, 0, 0, 0, 0, {10, 0}, {10, 0}, {8, 0}, {8, 0}},
        {"tick", 69, 2, 0, 0, 0, 0, 1.5707963267948966, {10, 0}, {10, 0}, {10, -2}, {10, 2}},
        {"none", 66, 4, 1.5, 1, 2, 1, 0, {10, 0}, {10, 0}, {10, 0}, {10, 0}},
    };
    for (const Case& c : cases) {
        CGraArrowRef a = Arrow(P(0, 0), P(10, 0));
        SetHead(a, END, c.kind, c.p1, c.p2, c.p3, c.p4, c.flags, c.p5);
        const CGraArrow::Head h = a->ComputeHead(true);
        ExpectPoint(h.a, c.a.x, c.a.y, c.what);
        ExpectPoint(h.b, c.b.x, c.b.y, c.what);
        ExpectPoint(h.c, c.c.x, c.c.y, c.what);
        ExpectPoint(h.d, c.d.x, c.d.y, c.what);
        // The same head at the start mirrors it.
        SetHead(a, START, c.kind, c.p1, c.p2, c.p3, c.p4, c.flags, c.p5);
        const CGraArrow::Head s = a->ComputeHead(false);
        ExpectPoint(s.a, 10 - c.a.x, -c.a.y, c.what);
        ExpectPoint(s.c, 10 - c.c.x, -c.c.y, c.what);
    }
    // Coinciding points: every head point is the tip.
    CGraArrowRef a = Arrow(P(2, 3), P(2, 3));
    const CGraArrow::Head h = a->ComputeHead(true);
    ExpectPoint(h.c, 2, 3, "collapsed");
    ExpectPoint(h.a, 2, 3, "collapsed");
}

TEST_F(CGraArrowTest, HeadHandles)
{
    struct Types {
        int kind;
        int flags;
        int c, b, a;
    } const types[] = {
        {66, 0, 1, 1, 1}, {67, 0, 3, 3, 1}, {67, 1, 3, 3, 3}, {68, 1, 3, 1, 1}, {69, 0, 3, 1, 1},
    };
    for (const Types& t : types) {
        CGraArrowRef a = Arrow(P(0, 0), P(10, 0));
        SetHead(a, START, t.kind, 2, 1, 0, 1, t.flags);
        SetHead(a, END, 66, 2);
        EXPECT_EQ(t.c, a->GetHandleType(2)) << t.kind;
        EXPECT_EQ(t.b, a->GetHandleType(3)) << t.kind;
        EXPECT_EQ(t.a, a->GetHandleType(4)) << t.kind;
        for (int n = 5; n < 8; n++)
            EXPECT_EQ(1, a->GetHandleType(n)) << n;
        EXPECT_EQ(0, a->GetHandleType(8));
        DPoint out;
        EXPECT_EQ(t.c == 3, a->GetHandle(2, out)) << t.kind;
    }

    // Triangle at the end: the wing sets length and half width.
    CGraArrowRef a = Arrow(P(0, 0), P(10, 0));
    SetHead(a, END, 67, 4, 1.5, 1, 2, 1);
    a->MoveHandle(5, P(7, 2)); // outside: the foot (7, 0) is 3 from the tip
    EXPECT_NEAR(3.0, Head(a, END)->GetParam1(), 1e-9);
    EXPECT_NEAR(2.0, Head(a, END)->GetParam2(), 1e-9);
    EXPECT_EQ(2, a->GetHandleType(1)); // a head handle is not the chosen one
    // The notch: positive towards the tip, at most the length.
    SetHead(a, END, 67, 4, 1.5, 1, 0, 0);
    a->MoveHandle(6, P(7.5, 0.3)); // the base is at 6
    EXPECT_NEAR(1.5, Head(a, END)->GetParam3(), 1e-9);
    a->MoveHandle(6, P(30, 0)); // beyond the tip
    EXPECT_EQ(4.0, Head(a, END)->GetParam3());
    a->MoveHandle(6, P(4, 0)); // behind the base
    EXPECT_NEAR(-2.0, Head(a, END)->GetParam3(), 1e-9);
    // The outward shaft.
    SetHead(a, END, 67, 4, 1.5, 1, 2, 1);
    a->MoveHandle(7, P(13, 4));
    EXPECT_NEAR(5.0, Head(a, END)->GetParam4(), 1e-9);
    // Round and tick at the start.
    SetHead(a, START, 68, 2);
    a->MoveHandle(2, P(3, 4));
    EXPECT_NEAR(5.0, Head(a, START)->GetParam1(), 1e-9);
    SetHead(a, START, 69, 2);
    a->MoveHandle(2, P(0, 3));
    EXPECT_NEAR(3.0, Head(a, START)->GetParam1(), 1e-9);
    EXPECT_NEAR(1.5707963, Head(a, START)->GetParam5(), 1e-6);
    // The start head's notch dragged past its tip.
    SetHead(a, START, 67, 4, 1.5, 1);
    a->MoveHandle(3, P(-7, 0.5));
    EXPECT_EQ(4.0, Head(a, START)->GetParam3());
    // A hidden handle changes nothing.
    SetHead(a, START, 68, 2, 1, 0.5);
    a->MoveHandle(3, P(5, 5));
    EXPECT_EQ(0.5, Head(a, START)->GetParam3());
    // The geometry of the line is not moved by head handles.
    ExpectPoint(a->GetHandlePosition(0), 0, 0, "start");
    ExpectPoint(a->GetHandlePosition(1), 10, 0, "end");
}

TEST_F(CGraArrowTest, DrawingPartByPart)
{
    Record();
    // No heads: the line's text.
    CGraArrowRef bare = Arrow(P(10, 20), P(30, 40));
    SetHead(bare, START, 66, 4);
    SetHead(bare, END, 66, 4);
    bare->Draw(port, 7);
    recorder->Clear();
    EXPECT_TRUE(bare->Draw(port, 7));
    EXPECT_EQ("10.000000 20.000000 moveto 30.000000 40.000000 lineto stroke \n", recorder->All());

    struct Case {
        const char* what;
        int start_kind;
        int end_kind;
        int flags;
        size_t strokes; // "lineto stroke"
        size_t fills;   // "eofill"
        size_t circles;
    } const cases[] = {
        {"triangles filled", 67, 67, 7, 1, 2, 0},
        {"triangles outlined", 67, 67, 8, 9, 0, 0},
        {"no flags: outlined", 67, 66, 0, 5, 0, 0},
        {"round filled, tick stroked", 68, 69, 7, 2, 1, 1},
        {"round outlined", 68, 66, 16, 1, 0, 1},
    };
    for (const Case& c : cases) {
        CGraArrowRef a = Arrow(P(0, 0), P(20, 0));
        SetHead(a, START, c.start_kind, 4, 1.5);
        SetHead(a, END, c.end_kind, 4, 1.5);
        a->Draw(port, 7);
        recorder->Clear();
        EXPECT_TRUE(a->Draw(port, c.flags));
        const std::string all = recorder->All();
        EXPECT_EQ(c.strokes, Count(all, "lineto stroke")) << c.what << ": " << all;
        EXPECT_EQ(c.fills, Count(all, "eofill")) << c.what;
        EXPECT_EQ(c.circles, Count(all, "360 arc") + Count(all, "360.000000 arc")) << c.what;
    }
}

TEST_F(CGraArrowTest, HitsAndBoxesInTheInterpreter)
{
    Live(120, 120, 4.0);
    // Without heads it hits as the line.
    CGraArrowRef bare = Arrow(P(0, 0), P(10, 10));
    SetHead(bare, START, 66, 4);
    SetHead(bare, END, 66, 4);
    Pen(bare)->SetWidth(0.5);
    ASSERT_TRUE(bare->UpdateBoundingBox(port));
    EXPECT_TRUE(bare->HitTest(port, P(5, 6), 1.0, 0));
    EXPECT_FALSE(bare->HitTest(port, P(3, 7), 1.0, 0));

    // A shaft from (2, 10) to (22, 10), a triangle at the end, a round head
    // at the start: the box joins them.
    CGraArrowRef a = Arrow(P(2, 10), P(22, 10));
    Pen(a)->SetWidth(0.5);
    SetHead(a, START, 68, 3);
    SetHead(a, END, 67, 6, 4);
    ASSERT_TRUE(a->UpdateBoundingBox(port));
    const DRect box = a->GetBoundingBox();
    EXPECT_NEAR(-1.0, box.x1, 0.25);
    EXPECT_NEAR(6.0, box.y1, 0.25);
    EXPECT_NEAR(22.0, box.x2, 0.4);
    EXPECT_NEAR(14.0, box.y2, 0.25);
    struct Case {
        const char* what;
        DPoint at;
        bool hit;
    } const cases[] = {
        {"on the shaft", {10, 10.5}, true},      {"inside the triangle", {17, 12.5}, true},
        {"inside the circle", {1, 11.5}, true},  {"beside the shaft", {10, 13}, false},
        {"beside the tip", {21.5, 13.5}, false}, {"outside the box", {40, 40}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.hit, a->HitTest(port, c.at, 1.0, 0)) << c.what;

    // Coinciding points: no shaft; the round head still has its box.
    CGraArrowRef dot = Arrow(P(10, 10), P(10, 10));
    SetHead(dot, START, 68, 2);
    SetHead(dot, END, 66, 2);
    ASSERT_TRUE(dot->UpdateBoundingBox(port));
    EXPECT_NEAR(8.0, dot->GetBoundingBox().x1, 0.25);
    EXPECT_NEAR(12.0, dot->GetBoundingBox().y2, 0.25);
}

TEST_F(CGraArrowTest, StoredRecordCopyAndBadRecords)
{
    CGraArrowRef a = Arrow(P(1, 2), P(-3, 4.5));
    SetHead(a, START, 69, 2.5, 0, 0, 0, 0, 0.25);
    SetHead(a, END, 67, 4, 1.5, 1, 2, 1);
    a->SetEditMode(5);
    Pen(a)->SetWidth(0.8);
    a->MoveHandle(0, P(1, 2));
    for (int round = 0; round < 2; round++) {
        CGraArrowRef back = CGraArrowRef(StoredOrCopied(a, round));
        ASSERT_TRUE(back.IsValid());
        ExpectPoint(back->GetHandlePosition(0), 1, 2, "start");
        ExpectPoint(back->GetHandlePosition(1), -3, 4.5, "end");
        EXPECT_EQ(5, back->GetEditMode());
        EXPECT_EQ(0.8, Pen(back)->GetWidth());
        EXPECT_EQ(69, Head(back, START)->GetValue());
        EXPECT_EQ(0.25, Head(back, START)->GetParam5());
        EXPECT_EQ(1, Head(back, END)->GetFlags());
        EXPECT_EQ(2.0, Head(back, END)->GetParam4());
        EXPECT_FALSE(Head(back, END) == Head(a, END));
        EXPECT_EQ(round == 0 ? 2 : 9, back->GetHandleType(0));
    }

    const std::vector<unsigned char> whole = Stored(a);
    for (size_t n = 0; n < whole.size(); n++) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(n));
        EXPECT_THROW(Restored(cut), ZuExcStream) << n;
    }
    std::vector<unsigned char> bytes = Stored(Make<CGraArroXRef>());
    const std::string text(bytes.begin(), bytes.end());
    const size_t at = text.find("CGraArroX");
    ASSERT_NE(std::string::npos, at);
    bytes[at + 8] = 'w';
    EXPECT_THROW(Restored(bytes), ZuExcStream);
}

} // namespace
