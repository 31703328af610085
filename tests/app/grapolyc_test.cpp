// The Bézier curve chain: definitions, handles and node modes, drawing with
// the tool, the palette's commands, properties, transforms, the PostScript
// it sends, its box and hits in the interpreter, and its stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/closedef.h"
#include "app/grapolyc.h"
#include "app/misc.h"
#include "app/positiondef.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// A chain that stores a vertex count it does not have; its class name has
// the chain's length, so that a test can rename it in the stream.
ZU_HANDLE(CGraPolyCurvX, CGraPolyCurve)
class CGraPolyCurvX : public CGraPolyCurve {
    ZU_CLASS(CGraPolyCurvX, CGraPolyCurve)
public:
    CGraPolyCurvX() {}
    int stored_count = 0;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        paint.Store(s);
        s << stored_count << ZuStorageSync::repeat;
        for (int i = 0; i < stored_count; i++)
            s << ZuStorageSync::begin << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 1 << 0
              << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraPolyCurvX)
ZU_IMPLEMENT_CLASS(CGraPolyCurvX, "tests/app/grapolyc_test", ZU_CLASS_PLAIN)

namespace {

struct V {
    DPoint s1, p, s2;
    int mode;
};

class CGraPolyCurveTest : public GraTest {
protected:
    // A chain through the vertices (appended with the tool, then placed).
    CGraPolyCurveRef Chain(std::initializer_list<V> vs, bool closed = false)
    {
        CGraPolyCurveRef c = Make<CGraPolyCurveRef>();
        int i = 0;
        for (const V& v : vs) {
            EXPECT_TRUE(c->SetPoints(&v.p, 1));
            c->SetHandlePosition(3 * i, v.s1);
            c->SetHandlePosition(3 * i + 2, v.s2);
            c->EditPoints(3 * i, -1, v.p, 101 + v.mode);
            i++;
        }
        SetClosed(c, closed);
        return c;
    }
    // A chain of n straight segments along y = 0, from x = 0 in steps of 10.
    CGraPolyCurveRef Straight(int n, bool closed = false)
    {
        CGraPolyCurveRef c = Make<CGraPolyCurveRef>();
        for (int i = 0; i < n; i++) {
            const DPoint p = P(10.0 * i, 10.0 * (i % 2));
            c->SetPoints(&p, 1);
        }
        SetClosed(c, closed);
        return c;
    }
};

TEST_F(CGraPolyCurveTest, ANewChainHasItsFiveDefinitionsAndNoVertex)
{
    CGraPolyCurveRef c = Make<CGraPolyCurveRef>();
    ZuStringRef text;
    EXPECT_TRUE(c->GetTypeName(text));
    EXPECT_EQ("Courbes de B\xe9zier", Text(text));
    EXPECT_EQ(22, c->GetIconId(0));
    EXPECT_EQ(32, c->GetIconId(1));
    EXPECT_EQ(-1, c->GetIconId(2));
    EXPECT_EQ(0, c->GetHandleCount());
    EXPECT_EQ(1, c->IsEditing());
    EXPECT_TRUE(c->HasProperties());
    EXPECT_TRUE(c->GetDebugText(text));
    EXPECT_EQ("  Sommets=0", Text(text));
    struct Kind {
        int kind;
        bool set;
    } const kinds[] = {{10, true}, {11, false}, {12, false}, {15, true}, {18, true},
                       {20, true}, {21, false}, {22, false}, {25, true}, {100, false}};
    for (const Kind& k : kinds) {
        ZuObjectRef d;
        EXPECT_TRUE(c->GetDefinition(k.kind, d)) << k.kind;
        EXPECT_EQ(k.set, d.IsValid()) << k.kind;
    }
    ZuObjectRef d;
    c->GetDefinition(18, d);
    EXPECT_TRUE(d->IsKindOf(CCloseDefRef::RetRuntime()));
    EXPECT_FALSE(c->GetDefinition(30, d));
    int list[20];
    c->GetDefinitionKinds(list);
    const int expected[] = {10, 11, 12, 15, 18, 20, 21, 22, 25, 100, 102, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(list, expected, sizeof expected));
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(12))->IsKindOf(CGraPolyCurveRef::RetRuntime()));
}

TEST_F(CGraPolyCurveTest, DefinitionsFollowThePenAndTheFill)
{
    CGraPolyCurveRef c = Make<CGraPolyCurveRef>();
    // A definition of another class does not fit.
    EXPECT_FALSE(c->SetDefinition(20, Make<CColorDefRef>()));
    EXPECT_FALSE(c->SetDefinition(18, Make<CPenDefRef>()));
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetValue(CPenDef::KIND_FANCY);
    EXPECT_TRUE(c->SetDefinition(10, pen));
    EXPECT_FALSE(Pen(c) == pen);
    CMotifDefRef fill = Make<CMotifDefRef>();
    fill->SetValue(60);
    EXPECT_TRUE(c->SetDefinition(20, fill));
    int kinds[16] = {};
    int n = 0;
    EXPECT_TRUE(c->GetMissingDefinitions(kinds, &n));
    ASSERT_EQ(2, n);
    EXPECT_EQ(11, kinds[0]);
    EXPECT_EQ(12, kinds[1]);

    // A plain pen and a special fill: the stroke's brush and pulsar go.
    for (int k : {11, 12, 21, 22})
        EXPECT_TRUE(c->SetDefinition(k, k % 10 == 1 ? ZuObjectRef(Make<CPatternDefRef>())
                                                    : ZuObjectRef(Make<CPulsarDefRef>())));
    pen->SetValue(CPenDef::KIND_PLAIN);
    c->SetDefinition(10, pen);
    fill->SetValue(CMotifDef::KIND_SPECIAL);
    c->SetDefinition(20, fill);
    EXPECT_TRUE(c->PruneDefinitions());
    for (int k : {11, 12, 21, 22}) {
        ZuObjectRef d;
        c->GetDefinition(k, d);
        EXPECT_EQ(k > 20, d.IsValid()) << k;
    }
    // A copy of a chain without stroke brush leaves none here.
    CGraPolyCurveRef other = Make<CGraPolyCurveRef>();
    other->SetDefinition(11, Make<CPatternDefRef>());
    other->CopyFrom(c);
    ZuObjectRef d;
    other->GetDefinition(11, d);
    EXPECT_TRUE(d.IsInvalid());
    other->GetDefinition(21, d);
    EXPECT_TRUE(d.IsValid());
}

TEST_F(CGraPolyCurveTest, HandleKindsOpenAndClosed)
{
    // Every control point off its principal point.
    const std::initializer_list<V> two = {{P(-1, 1), P(0, 0), P(1, 1), 1},
                                          {P(9, 1), P(10, 0), P(11, 1), 1}};
    CGraPolyCurveRef open = Chain(two);
    CGraPolyCurveRef closed = Chain(two, true);
    const int openKinds[] = {1, 2, 3, 3, 2, 1};
    const int closedKinds[] = {3, 2, 3, 3, 2, 3};
    for (int n = 0; n < 6; n++) {
        EXPECT_EQ(openKinds[n], open->GetHandleType(n)) << n;
        EXPECT_EQ(closedKinds[n], closed->GetHandleType(n)) << n;
    }
    EXPECT_EQ(0, open->GetHandleType(-1));
    EXPECT_EQ(0, open->GetHandleType(6));
    DPoint out;
    EXPECT_FALSE(open->GetHandle(0, out));
    EXPECT_TRUE(closed->GetHandle(0, out));
    ExpectPoint(out, -1, 1, "S1");
    ExpectPoint(open->GetHandlePosition(6), 0, 0, "out of range");
    // A collapsed control point is hidden.
    closed->SetHandlePosition(3, P(10, 0));
    EXPECT_EQ(1, closed->GetHandleType(3));

    open->MoveHandle(4, P(10, 2));
    EXPECT_EQ(9, open->GetHandleType(4));
    EXPECT_EQ(2, open->GetHandleType(1));
    // A new edit mode forgets the chosen vertex and every selection.
    open->SelectHandle(2);
    EXPECT_TRUE(open->IsHandleSelected(2));
    EXPECT_TRUE(open->SetEditMode(3));
    EXPECT_EQ(3, open->GetEditMode());
    EXPECT_EQ(2, open->GetHandleType(4));
    EXPECT_FALSE(open->IsHandleSelected(2));
    // Selection only while editing, and only in range.
    open->SetEditing(0);
    open->SelectHandle(1);
    open->SetEditing(1);
    EXPECT_FALSE(open->IsHandleSelected(1));
    open->SelectHandle(6);
    EXPECT_FALSE(open->IsHandleSelected(6));
}

TEST_F(CGraPolyCurveTest, NodeModesTieTheControlPoints)
{
    struct Case {
        const char* what;
        int mode;
        DPoint s2;
        DPoint expected;
    } const cases[] = {
        {"symmetric mirrors", 1, P(5, 0), P(-3, -4)},
        {"smooth keeps its length", 2, P(10, 0), P(-6, -8)},
        {"angular is free", 3, P(5, 0), P(5, 0)},
        {"collapsed never moves", 1, P(0, 0), P(0, 0)},
        {"collapsed smooth never moves", 2, P(0, 0), P(0, 0)},
    };
    for (const Case& c : cases) {
        CGraPolyCurveRef k =
            Chain({{P(-2, 0), P(0, 0), c.s2, c.mode}, {P(20, 0), P(20, 0), P(20, 0), 1}});
        k->MoveHandle(0, P(3, 4));
        ExpectPoint(k->GetHandlePosition(0), 3, 4, c.what);
        ExpectPoint(k->GetHandlePosition(2), c.expected.x, c.expected.y, c.what);
        EXPECT_EQ(9, k->GetHandleType(1)) << c.what; // chosen
    }
    // Moving S2 drags S1 the same way; moving P carries both.
    CGraPolyCurveRef k = Chain({{P(-1, 0), P(0, 0), P(1, 0), 1}});
    k->MoveHandle(2, P(0, 2));
    ExpectPoint(k->GetHandlePosition(0), 0, -2, "S1 mirrored");
    k->MoveHandle(1, P(5, 0));
    ExpectPoint(k->GetHandlePosition(0), 5, -2, "S1 carried");
    ExpectPoint(k->GetHandlePosition(2), 5, 2, "S2 carried");
    // SetHandlePosition moves the one point only.
    k->SetHandlePosition(0, P(7, 7));
    ExpectPoint(k->GetHandlePosition(2), 5, 2, "alone");
}

TEST_F(CGraPolyCurveTest, DrawingWithTheTool)
{
    CGraPolyCurveRef c = Make<CGraPolyCurveRef>();
    // No vertex yet: placing and dragging change nothing.
    c->PlacePoint(P(5, 5), 0);
    EXPECT_TRUE(c->DragPoint(P(5, 5), 0));
    EXPECT_EQ(0, c->GetCount());
    const DPoint a = P(0, 0);
    EXPECT_TRUE(c->SetPoints(&a, 1));
    EXPECT_TRUE(c->DragPoint(P(3, 1), 0));
    ExpectPoint(c->GetHandlePosition(2), 3, 1, "S2 follows");
    ExpectPoint(c->GetHandlePosition(0), -3, -1, "S1 mirrored");
    const DPoint b = P(10, 0);
    c->SetPoints(&b, 1);
    EXPECT_EQ(0, c->GetVertex(0).end);
    EXPECT_EQ(1, c->GetVertex(1).end);
    EXPECT_EQ(1, c->GetVertex(1).mode);
    EXPECT_TRUE(c->CanRemovePoint());
    c->RemoveLastPoint();
    EXPECT_EQ(1, c->GetCount());
    EXPECT_EQ(1, c->GetVertex(0).end);
    EXPECT_FALSE(c->CanRemovePoint());
    c->RemoveLastPoint();
    c->RemoveLastPoint();
    EXPECT_EQ(0, c->GetCount());

    // At 100 vertices the tool stops.
    for (int i = 0; i < 100; i++) {
        const DPoint p = P(i, 0);
        ASSERT_TRUE(c->SetPoints(&p, 1)) << i;
    }
    EXPECT_FALSE(c->SetPoints(&a, 1));
    EXPECT_EQ(100, c->GetCount());
    EXPECT_FALSE(c->DragPoint(P(1, 1), 0));
    ExpectPoint(c->GetHandlePosition(299), 1, 1, "the last vertex still placed");
}

TEST_F(CGraPolyCurveTest, AddingAPointKeepsTheDrawnShape)
{
    struct Case {
        const char* what;
        std::initializer_list<V> vs;
        bool closed;
        int segment;
        DPoint click;
    } const cases[] = {
        {"straight segment",
         {{P(0, 0), P(0, 0), P(0, 0), 1}, {P(30, 0), P(30, 0), P(30, 0), 1}},
         false,
         0,
         P(11, 2)},
        {"curved segment",
         {{P(0, 0), P(0, 0), P(0, 20), 3}, {P(30, 20), P(30, 0), P(30, 0), 3}},
         false,
         0,
         P(15, 20)},
        {"closing segment",
         {{P(0, 0), P(0, 0), P(0, 20), 3}, {P(30, 20), P(30, 0), P(20, -5), 3}},
         true,
         1,
         P(15, -4)},
    };
    for (const Case& c : cases) {
        CGraPolyCurveRef k = Chain(c.vs, c.closed);
        const int first = c.segment;
        const CurveVertex a = k->GetVertex(first);
        const CurveVertex b = k->GetVertex((first + 1) % 2);
        k->EditPoints(-1, c.segment, c.click, CGraPolyCurve::CMD_ADD);
        ASSERT_EQ(3, k->GetCount()) << c.what;
        const int mid = first + 1;
        const CurveVertex& m = k->GetVertex(mid);
        EXPECT_EQ(2, m.mode) << c.what;
        // The two halves draw the old segment: sample both against it.
        const CurveVertex& l = k->GetVertex(first);
        const CurveVertex& r = k->GetVertex((mid + 1) % 3);
        const double t = BezierNearest(a.p, a.s2, b.s1, b.p, c.click, 1000);
        for (int i = 0; i <= 10; i++) {
            const double u = i / 10.0;
            const DPoint left = BezierPoint(l.p, l.s2, m.s1, m.p, u);
            const DPoint right = BezierPoint(m.p, m.s2, r.s1, r.p, u);
            const DPoint oldLeft = BezierPoint(a.p, a.s2, b.s1, b.p, u * t);
            const DPoint oldRight = BezierPoint(a.p, a.s2, b.s1, b.p, t + u * (1 - t));
            EXPECT_NEAR(oldLeft.x, left.x, 1e-9) << c.what;
            EXPECT_NEAR(oldLeft.y, left.y, 1e-9) << c.what;
            EXPECT_NEAR(oldRight.x, right.x, 1e-9) << c.what;
            EXPECT_NEAR(oldRight.y, right.y, 1e-9) << c.what;
        }
        if (c.segment == 0 && !c.closed && a.s2.x == a.p.x && a.s2.y == a.p.y) {
            EXPECT_EQ(0.0, m.p.y) << "on the line";
            EXPECT_NEAR(11.0, m.p.x, 0.1) << "where clicked";
        }
    }
}

TEST_F(CGraPolyCurveTest, PaletteCommands)
{
    CGraPolyCurveRef k = Straight(3);
    // "Courbe": a quarter of the chord from each end, both smooth.
    k->EditPoints(-1, 0, P(0, 0), CGraPolyCurve::CMD_CURVE);
    ExpectPoint(k->GetHandlePosition(2), 2.5, 2.5, "a.S2");
    ExpectPoint(k->GetHandlePosition(3), 7.5, 7.5, "b.S1");
    EXPECT_EQ(2, k->GetVertex(0).mode);
    EXPECT_EQ(2, k->GetVertex(1).mode);
    // b.S2 was collapsed: it stays.
    ExpectPoint(k->GetHandlePosition(5), 10, 10, "b.S2");
    int words[64];
    k->GetPropertyLayout(-1, 0, 0, 0, words);
    const int curved[] = {8, 0, 0,  -2, -6, 100, 0, 0,  -2, -3, 105, 0, 0,  -2, 106,
                          0, 0, -2, -6, 30, 0,   0, -2, -3, 78, 0,   0, -2, -1};
    EXPECT_EQ(0, std::memcmp(words, curved, sizeof curved));
    // "Droite", then the layout leaves "Droite" out.
    k->EditPoints(-1, 0, P(0, 0), CGraPolyCurve::CMD_STRAIGHT);
    ExpectPoint(k->GetHandlePosition(2), 0, 0, "a.S2 collapsed");
    k->GetPropertyLayout(-1, 0, 0, 0, words);
    const int straight[] = {8,  0,  0,  -2, -6, 100, 0,  0,  -2, -3, 106, 0, 0,
                            -2, -6, 30, 0,  0,  -2,  -3, 78, 0,  0,  -2,  -1};
    EXPECT_EQ(0, std::memcmp(words, straight, sizeof straight));
    // A handle: the node modes with the vertex's state, "Supprimer point"
    // on a principal point of a chain of more than two.
    k->EditPoints(4, -1, P(0, 0), CGraPolyCurve::CMD_ANGULAR);
    EXPECT_EQ(3, k->GetVertex(1).mode);
    k->GetPropertyLayout(4, -1, 0, 0, words);
    const int handle[] = {8,  0,   0, -2, -6, 102, 4,  0, -2, 103, 4,  0,  -2, 104, 4,  1, -2,
                          -3, 101, 0, 0,  -2, -6,  30, 0, 0,  -2,  -3, 78, 0,  0,   -2, -1};
    EXPECT_EQ(0, std::memcmp(words, handle, sizeof handle));
    k->GetPropertyLayout(-1, -1, 0, 0, words);
    const int none[] = {8, 0, 0, -2, -6, 30, 0, 0, -2, -3, 78, 0, 0, -2, -1};
    EXPECT_EQ(0, std::memcmp(words, none, sizeof none));

    k->EditPoints(4, -1, P(0, 0), CGraPolyCurve::CMD_REMOVE);
    ASSERT_EQ(2, k->GetCount());
    ExpectPoint(k->GetHandlePosition(4), 20, 0, "later vertex moved down");
    // Below three vertices, at 100, and out of range: nothing changes.
    k->EditPoints(1, -1, P(0, 0), CGraPolyCurve::CMD_REMOVE);
    EXPECT_EQ(2, k->GetCount());
    k->EditPoints(-1, 1, P(5, 5), CGraPolyCurve::CMD_ADD); // no closing segment when open
    k->EditPoints(-1, 7, P(5, 5), CGraPolyCurve::CMD_ADD);
    k->EditPoints(9, -1, P(5, 5), CGraPolyCurve::CMD_SYMMETRIC);
    EXPECT_EQ(2, k->GetCount());
    CGraPolyCurveRef full = Straight(100);
    full->EditPoints(-1, 5, P(55, 5), CGraPolyCurve::CMD_ADD);
    EXPECT_EQ(100, full->GetCount());
}

TEST_F(CGraPolyCurveTest, PropertyTableAndChoice)
{
    const std::vector<PropertyRow> rows = {
        {"Position X", "Position horizontale", 0x821, 0, -2000, 2000, 0},
        {"Position Y", "Position verticale", 0x8C0, 0, -2000, 2000, 0},
        {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1, 4, 1},
        {"Position X", "Position point principal", 0x821, 0, -2000, 2000, 0},
        {"Position Y", "Position point principal", 0x842, 0, -2000, 2000, 0},
        {"Distance S1", "Distance point secondaire 1", 0x821, 0, 0, 2000, 0},
        {"Angle S1", "Inclinaison point secondaire 1 [degr\xe9s]", 0x842, 13, 0, 6.283185307,
         0.3926990816875},
        {"Distance S2", "Distance point secondaire 2", 0x821, 0, 0, 2000, 0},
        {"Angle S2", "Inclinaison point secondaire 2 [degr\xe9s]", 0x8C0, 13, 0, 6.283185307,
         0.3926990816875},
    };
    CGraPolyCurveRef k = Straight(4);
    ExpectPropertyTable(k, rows);

    double v = 0;
    for (int n = 2; n < 9; n++)
        EXPECT_FALSE(k->GetPropertyValue(n, v)) << n;
    // Without a chosen vertex the chain moves all the same, and says false.
    EXPECT_FALSE(k->SetPropertyValue(0, 25.0));
    EXPECT_TRUE(k->GetPropertyValue(0, v));
    EXPECT_NEAR(25.0, v, 1e-9);
    ExpectPoint(k->GetHandlePosition(1), 10, 0, "moved by 10");
    struct Choice {
        double value;
        int chosen;
    } const choices[] = {{0, -1}, {500, 3}, {2.9, 1}, {-7, -1}, {1, 0}};
    for (const Choice& c : choices) {
        EXPECT_EQ(c.chosen != -1, k->SetPropertyValue(2, c.value)) << c.value;
        EXPECT_EQ(c.chosen, k->GetChosen()) << c.value;
    }
    EXPECT_FALSE(k->SetPropertyValue(2, std::nan("")));
    EXPECT_EQ(0, k->GetChosen());
}

TEST_F(CGraPolyCurveTest, PropertiesOfTheChosenVertex)
{
    CGraPolyCurveRef k =
        Chain({{P(-3, 0), P(0, 0), P(0, 4), 3}, {P(10, 0), P(10, 0), P(10, 0), 1}});
    k->SetPropertyValue(2, 1);
    const double expected[] = {5, 0, 1, 0, 0, 3, M_PI, 4, M_PI / 2};
    for (int n = 0; n < 9; n++) {
        double v = 0;
        ASSERT_TRUE(k->GetPropertyValue(n, v)) << n;
        EXPECT_NEAR(expected[n], v, 1e-6) << n;
    }
    struct Case {
        int n;
        double value;
        DPoint s1, p, s2;
    } const cases[] = {
        {3, 2, P(-1, 0), P(2, 0), P(2, 4)}, {4, -1, P(-3, -1), P(0, -1), P(0, 3)},
        {5, 6, P(-6, 0), P(0, 0), P(0, 4)}, {6, M_PI / 2, P(0, 3), P(0, 0), P(0, 4)},
        {7, 1, P(-3, 0), P(0, 0), P(0, 1)}, {8, 0, P(-3, 0), P(0, 0), P(4, 0)},
    };
    for (const Case& c : cases) {
        CGraPolyCurveRef m =
            Chain({{P(-3, 0), P(0, 0), P(0, 4), 3}, {P(10, 0), P(10, 0), P(10, 0), 1}});
        m->SetPropertyValue(2, 1);
        EXPECT_TRUE(m->SetPropertyValue(c.n, c.value)) << c.n;
        const std::string what = "property " + std::to_string(c.n);
        ExpectPoint(m->GetHandlePosition(0), c.s1.x, c.s1.y, what + " S1");
        ExpectPoint(m->GetHandlePosition(1), c.p.x, c.p.y, what + " P");
        ExpectPoint(m->GetHandlePosition(2), c.s2.x, c.s2.y, what + " S2");
    }
    DPoint a, b;
    int kind = 0;
    const int kinds[] = {2, 3, 1, 2, 3, 4, 7, 4, 7};
    for (int n = 0; n < 9; n++) {
        ASSERT_TRUE(k->GetPropertyHandles(n, a, b, kind)) << n;
        EXPECT_EQ(kinds[n], kind) << n;
    }
    ExpectPoint(a, 0, 0, "P");
    ExpectPoint(b, 0, 4, "S2");
    k->SetPropertyValue(2, 0);
    EXPECT_FALSE(k->GetPropertyHandles(5, a, b, kind));
}

TEST_F(CGraPolyCurveTest, TransformsStartFromTheSavedVertices)
{
    ChangeRecord scale = {};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(2, 3);
    CGraPolyCurveRef k = Chain({{P(-1, 0), P(0, 1), P(1, 1), 3}, {P(9, 0), P(10, 0), P(11, 0), 3}});
    Pen(k)->SetWidth(2.0);
    EXPECT_TRUE(k->SaveGeometry(scale));
    EXPECT_TRUE(k->Transform(scale, 2));
    EXPECT_TRUE(k->Transform(scale, 2));
    ExpectPoint(k->GetHandlePosition(0), -2, 0, "S1");
    ExpectPoint(k->GetHandlePosition(1), 0, 3, "P");
    ExpectPoint(k->GetHandlePosition(5), 22, 0, "S2");
    EXPECT_DOUBLE_EQ(5.0, Pen(k)->GetWidth());
    EXPECT_TRUE(k->AcceptsChange(scale));

    // A selected control point stays; a selected principal point keeps
    // its vertex; the pen is not scaled with a selection.
    k = Chain({{P(-1, 0), P(0, 1), P(1, 1), 3}, {P(9, 0), P(10, 0), P(11, 0), 3}});
    Pen(k)->SetWidth(2.0);
    k->SelectHandle(2);
    k->SelectHandle(4);
    k->SaveGeometry(scale);
    k->Transform(scale, 2);
    ExpectPoint(k->GetHandlePosition(0), -2, 0, "S1 scaled");
    ExpectPoint(k->GetHandlePosition(1), 0, 3, "P scaled");
    ExpectPoint(k->GetHandlePosition(2), 1, 1, "selected S2");
    ExpectPoint(k->GetHandlePosition(3), 9, 0, "vertex of a selected P");
    EXPECT_DOUBLE_EQ(2.0, Pen(k)->GetWidth());
}

TEST_F(CGraPolyCurveTest, DrawingSendsTheCurvesThroughThePort)
{
    RecordDrawingOnly();
    CGraPolyCurveRef k =
        Chain({{P(0, 0), P(0, 0), P(10, 0), 3}, {P(20, 10), P(30, 10), P(30, 10), 3}});
    EXPECT_TRUE(k->Draw(port, 0));
    EXPECT_EQ("0.000000 0.000000 moveto 10.000000 0.000000 20.000000 10.000000 30.000000 10.000000 "
              "curveto "
              "stroke newpath ",
              recorder->Text());

    // Closed: the closing curve and a fill with the object's colours.
    SetClosed(k, true);
    recorder->Clear();
    EXPECT_TRUE(k->Draw(port, 7));
    const std::string closed = recorder->All();
    EXPECT_EQ(2u, Count(closed, "curveto"));
    EXPECT_NE(std::string::npos,
              closed.find("30.000000 10.000000 0.000000 0.000000 0.000000 0.000000 curveto"));
    EXPECT_NE(std::string::npos, closed.find("fill"));

    // Construction lines in the outline modes, no fill.
    struct Case {
        int flags;
        bool closed;
        size_t lines;
    } const cases[] = {{8, false, 4}, {16, false, 6}, {8, true, 6}};
    for (const Case& c : cases) {
        CGraPolyCurveRef three = Straight(3, c.closed);
        recorder->Clear();
        three->Draw(port, c.flags);
        const std::string text = recorder->All();
        EXPECT_EQ(c.lines, Count(text, "lineto stroke")) << c.flags;
        EXPECT_EQ(std::string::npos, text.find("fill")) << c.flags;
    }
    // One vertex: no curve open, the cross in an outline mode; closed, one
    // curve back to itself.
    CGraPolyCurveRef one = Straight(1);
    recorder->Clear();
    one->Draw(port, 8);
    EXPECT_EQ(0u, Count(recorder->All(), "curveto"));
    EXPECT_NE(std::string::npos,
              recorder->All().find("-20.000000 -20.000000 moveto 20.000000 20.000000 lineto"));
    SetClosed(one, true);
    recorder->Clear();
    one->Draw(port, 0);
    EXPECT_EQ(1u, Count(recorder->All(), "curveto"));
    // A closed chain without vertices emits no path at all.
    CGraPolyCurveRef empty = Straight(0, true);
    recorder->Clear();
    EXPECT_TRUE(empty->Draw(port, 0));
    EXPECT_EQ(std::string::npos, recorder->All().find("moveto"));
}

TEST_F(CGraPolyCurveTest, TheShadowIsFilledAndClosed)
{
    RecordDrawingOnly();
    CGraPolyCurveRef k = Straight(3);
    CPositionDefRef where = Make<CPositionDefRef>();
    where->SetValue(119);
    where->SetOffsetX(2.0);
    k->SetDefinition(100, where);
    k->SetDefinition(105, Make<CColorDefRef>());
    k->SetDefinition(101, Make<CMotifDefRef>());
    for (int flags : {0, 3, 12, 20}) {
        recorder->Clear();
        EXPECT_TRUE(k->DrawShadow(port, flags));
        EXPECT_TRUE(recorder->sends.empty()) << flags;
    }
    recorder->Clear();
    EXPECT_TRUE(k->DrawShadow(port, 7));
    const std::string text = recorder->All();
    EXPECT_NE(std::string::npos, text.find("closepath"));
    EXPECT_NE(std::string::npos, text.find("fill"));
    CGraTransform t;
    port->GetTransform(t);
    EXPECT_EQ(0.0, t.dx);
}

TEST_F(CGraPolyCurveTest, BoxAndHitsWithTheRecorder)
{
    RecordDrawingOnly();
    CGraPolyCurveRef k = Straight(3);
    recorder->answers = {BoxAnswer(-1, -2, 21, 12)};
    EXPECT_TRUE(k->UpdateBoundingBox(port));
    EXPECT_EQ(21.0, k->GetBoundingBox().x2);
    recorder->answers.clear();
    EXPECT_FALSE(k->UpdateBoundingBox(port));
    EXPECT_EQ(21.0, k->GetBoundingBox().x2);
    // Outside the box: no word to the interpreter.
    recorder->Clear();
    EXPECT_FALSE(k->HitTest(port, P(30, 30), 1.0, 1));
    EXPECT_EQ(-1, k->HitTestSegment(port, P(30, 30), 1.0, 0));
    EXPECT_TRUE(recorder->sends.empty());
    // An invisible fill is not tested, an invisible stroke neither.
    CColorDefRef clear = Make<CColorDefRef>();
    clear->SetTransparency(1.0);
    k->SetDefinition(25, clear);
    recorder->answers = {BoolAnswer(true)};
    EXPECT_TRUE(k->HitTest(port, P(5, 5), 1.0, 1));
    EXPECT_EQ(std::string::npos, recorder->All().find("infill"));
    EXPECT_EQ(std::string::npos, recorder->All().find("ineofill"));
    EXPECT_NE(std::string::npos, recorder->All().find("instroke"));
}

TEST_F(CGraPolyCurveTest, BoxAndHitsInTheInterpreter)
{
    Live(200, 200, 4.0);
    // A closed chain of four straight segments around (0, 0) .. (20, 20).
    CGraPolyCurveRef k = Make<CGraPolyCurveRef>();
    for (DPoint p : {P(0, 0), P(20, 0), P(20, 20), P(0, 20)})
        k->SetPoints(&p, 1);
    SetClosed(k, true);
    Pen(k)->SetWidth(1.0);
    ASSERT_TRUE(k->UpdateBoundingBox(port));
    const DRect box = k->GetBoundingBox();
    // Half the pen outside each edge; a device pixel is 0.25.
    ExpectBox(box, -0.5, -0.5, 20.5, 20.5, 0.25);
    EXPECT_EQ(3, k->HitTestSegment(port, P(0, 10), 1.0, 0));
    EXPECT_EQ(1, k->HitTestSegment(port, P(20, 10), 1.0, 0));
    EXPECT_EQ(-1, k->HitTestSegment(port, P(10, 10), 1.0, 0));
    EXPECT_TRUE(k->HitTest(port, P(10, 10), 1.0, 1));
    EXPECT_FALSE(k->HitTest(port, P(10, 10), 1.0, 0));
    EXPECT_TRUE(k->HitTest(port, P(10, 0.2), 1.0, 0));
    // Open, the closing segment is not there.
    SetClosed(k, false);
    EXPECT_EQ(-1, k->HitTestSegment(port, P(0, 10), 1.0, 0));
    // A curve: the bulge of a segment is in the box.
    CGraPolyCurveRef c =
        Chain({{P(0, 0), P(0, 0), P(0, 20), 3}, {P(20, 20), P(20, 0), P(20, 0), 3}});
    Pen(c)->SetWidth(0.0);
    ASSERT_TRUE(c->UpdateBoundingBox(port));
    EXPECT_NEAR(15.0, c->GetBoundingBox().y2, 0.25);
}

TEST_F(CGraPolyCurveTest, CopyAndStoredRecord)
{
    CGraPolyCurveRef k = Chain({{P(-1, 0), P(0, 0), P(1, 0), 1},
                                {P(9, 1), P(10, 0), P(11, -1), 2},
                                {P(19, 1), P(20, 0.5), P(21.25, 0), 3}});
    k->SetEditMode(5);
    Pen(k)->SetWidth(0.75);
    k->SetDefinition(22, Make<CPulsarDefRef>());
    SetClosed(k, true);
    RecordDrawingOnly();
    recorder->answers = {BoxAnswer(1, 2, 3, 4)};
    ASSERT_TRUE(k->UpdateBoundingBox(port));
    k->MoveHandle(4, P(10, 0));
    k->SelectHandle(7);
    const ChangeRecord none = {};
    k->SaveGeometry(none);
    for (int round = 0; round < 2; round++) {
        CGraPolyCurveRef back = CGraPolyCurveRef(StoredOrCopied(k, round, kWake));
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(5, back->GetEditMode());
        ASSERT_EQ(3, back->GetCount());
        for (int i = 0; i < 3; i++) {
            const CurveVertex& a = k->GetVertex(i);
            const CurveVertex& b = back->GetVertex(i);
            EXPECT_EQ(0, std::memcmp(&a.s1, &b.s1, sizeof(DPoint) * 3)) << i;
            EXPECT_EQ(i + 1, b.mode) << i;
            EXPECT_EQ(i == 2 ? 1 : 0, b.end) << i;
        }
        EXPECT_EQ(1.0, back->GetBoundingBox().x1);
        EXPECT_EQ(4.0, back->GetBoundingBox().y2);
        EXPECT_EQ(0.75, Pen(back)->GetWidth());
        ZuObjectRef d;
        back->GetDefinition(18, d);
        EXPECT_TRUE(CCloseDefRef(d)->GetClosed());
        back->GetDefinition(22, d);
        EXPECT_TRUE(d.IsValid());
        back->GetDefinition(21, d);
        EXPECT_TRUE(d.IsInvalid());
        // Chosen vertex and selection come back fresh from storage only.
        EXPECT_EQ(round == 0 ? -1 : 1, back->GetChosen());
        EXPECT_EQ(round == 1, back->IsHandleSelected(7));
    }
}

TEST_F(CGraPolyCurveTest, BadRecordsAreRefusedWithTheStreamError)
{
    CGraPolyCurveRef k = Straight(2);
    const std::vector<unsigned char> whole = Stored(k);
    for (size_t n = 0; n < whole.size(); n++) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(n));
        CGraObjectRef back;
        EXPECT_THROW(back = Restored(cut, kWake), ZuExcStream) << n;
        EXPECT_TRUE(back.IsInvalid());
    }
    // Counts the table cannot hold, under the chain's own class name.
    for (int count : {101, -1, 100}) {
        CGraPolyCurvXRef bad = Make<CGraPolyCurvXRef>();
        bad->stored_count = count;
        std::vector<unsigned char> bytes = Stored(bad);
        std::string text(bytes.begin(), bytes.end());
        const size_t at = text.find("CGraPolyCurvX");
        ASSERT_NE(std::string::npos, at);
        bytes[at + 12] = 'e';
        if (count == 100) {
            CGraObjectRef back = Restored(bytes, kWake);
            ASSERT_TRUE(back.IsValid());
            EXPECT_EQ(100, CGraPolyCurveRef(back)->GetCount());
            continue;
        }
        CGraObjectRef back;
        EXPECT_THROW(back = Restored(bytes, kWake), ZuExcStream) << count;
        EXPECT_TRUE(back.IsInvalid());
    }
}

} // namespace
