// The regular polygon or star: definitions by kind, its stored record, the
// points and PostScript of its outline, its handles with the inset limits,
// constraint, transforms and properties, and its box and hits in the
// interpreter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/grapolyr.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/positiondef.h"
#include "si/except.h"
#include "si/storage.h"
#include "tests/app/gratest.h"

// A polygon whose spare value a test can set and read, and which can store
// its record as an older writer did, without the last group.
ZU_HANDLE(CGraPolyRegSpare, CGraPolyReg)
class CGraPolyRegSpare : public CGraPolyReg {
    ZU_CLASS(CGraPolyRegSpare, CGraPolyReg)
public:
    CGraPolyRegSpare() {}
    double spareValue() const { return spare; }
    void setSpare(double v) { spare = v; }
    bool older = false;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        if (!older) {
            CGraPolyReg::StoreInstance(s);
            return;
        }
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        s << pen << stroke_brush << stroke_pulsar << stroke_colour << ZuStorageSync::mark;
        s << fill << fill_brush << fill_pulsar << fill_colour << ZuStorageSync::mark;
        s << shape << outer << inner << ZuStorageSync::mark;
        s << centre.x << centre.y << vertex.x << vertex.y << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraPolyRegSpare)
ZU_IMPLEMENT_CLASS(CGraPolyRegSpare, "tests/app/grapolyr_test", ZU_CLASS_PLAIN)

namespace {

class CGraPolyRegTest : public GraTest {
protected:
    static CGraPolyRegRef Poly(int sides, bool star, double depth, DPoint centre, DPoint vertex)
    {
        CGraPolyRegRef r = Make<CGraPolyRegRef>();
        const DPoint points[2] = {centre, vertex};
        EXPECT_TRUE(r->SetPoints(points, 2));
        CPolyRegDefRef shape = Def<CPolyRegDefRef>(r, 50);
        shape->SetSides(sides);
        shape->SetValue(star ? CPolyRegDef::STAR : CPolyRegDef::POLYGON);
        shape->SetIndentation(depth);
        return r;
    }
    static double Value(const CGraPolyRegRef& r, int n)
    {
        double v = -1.0;
        EXPECT_TRUE(r->GetPropertyValue(n, v));
        return v;
    }
    // The points of every "x y moveto" and "x y lineto" in the text.
    static std::vector<DPoint> PathPoints(const std::string& text)
    {
        std::vector<DPoint> points;
        std::vector<double> numbers;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find_first_of(" \n", at);
            if (end == std::string::npos)
                end = text.size();
            const std::string word = text.substr(at, end - at);
            if (word == "moveto" || word == "lineto") {
                if (numbers.size() >= 2)
                    points.push_back(P(numbers[numbers.size() - 2], numbers.back()));
                numbers.clear();
            } else if (!word.empty()) {
                char* stop = nullptr;
                const double v = std::strtod(word.c_str(), &stop);
                if (stop != word.c_str() && *stop == '\0')
                    numbers.push_back(v);
                else
                    numbers.clear();
            }
            at = end + 1;
        }
        return points;
    }
    // Draws twice (the first writes the port's state) and keeps the sends
    // of the second.
    void DrawAgain(const CGraPolyRegRef& r, int flags)
    {
        r->Draw(port, flags);
        recorder->Clear();
        EXPECT_TRUE(r->Draw(port, flags));
    }
};

TEST_F(CGraPolyRegTest, ANewPolygonHasAllItsDefinitions)
{
    CGraPolyRegRef r = Make<CGraPolyRegRef>();
    ZuStringRef name;
    EXPECT_TRUE(r->GetTypeName(name));
    EXPECT_EQ("Polygone r\xe9gulier", Text(name));
    EXPECT_EQ(24, r->GetIconId(0));
    EXPECT_EQ(34, r->GetIconId(1));
    EXPECT_EQ(-1, r->GetIconId(-1));
    EXPECT_EQ(0, r->GetEditMode());
    EXPECT_EQ(1, r->IsEditing());
    for (int kind : {10, 15, 20, 25, 50, 30, 31}) {
        ZuObjectRef d;
        EXPECT_TRUE(r->GetDefinition(kind, d)) << kind;
        EXPECT_TRUE(d.IsValid()) << kind;
    }
    for (int kind : {11, 12, 21, 22}) {
        ZuObjectRef d;
        EXPECT_TRUE(r->GetDefinition(kind, d)) << kind;
        EXPECT_TRUE(d.IsInvalid()) << kind;
    }
    EXPECT_NE(Def<ZuObjectRef>(r, 30).Resolve(), Def<ZuObjectRef>(r, 31).Resolve());
    ZuObjectRef other;
    EXPECT_FALSE(r->GetDefinition(60, other));
    int kinds[20];
    r->GetDefinitionKinds(kinds);
    const int expected[] = {10, 11, 12, 15, 20, 21, 22, 25, 30, 31, 50, 100, 102, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(kinds, expected, sizeof expected));
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(14))->IsKindOf(CGraPolyRegRef::RetRuntime()));
    EXPECT_FALSE(r->SetDefinition(50, Make<CCornerDefRef>()));
    EXPECT_TRUE(r->SetDefinition(31, Corner(112, 1.0)));
    EXPECT_EQ(112, Def<CCornerDefRef>(r, 31)->GetValue());
}

TEST_F(CGraPolyRegTest, PruningAndMissingDefinitions)
{
    CGraPolyRegRef r = Make<CGraPolyRegRef>();
    for (int kind : {11, 21})
        r->SetDefinition(kind, Make<CPatternDefRef>());
    for (int kind : {12, 22})
        r->SetDefinition(kind, Make<CPulsarDefRef>());
    // A plain pen and a uniform fill need no brush or pulsar.
    r->PruneDefinitions();
    for (int kind : {11, 12, 21, 22})
        EXPECT_TRUE(Def<ZuObjectRef>(r, kind).IsInvalid()) << kind;
    int list[8] = {};
    int count = 0;
    r->GetMissingDefinitions(list, &count);
    EXPECT_EQ(0, count);
    Def<CPenDefRef>(r, 10)->SetValue(CPenDef::KIND_FANCY);
    list[0] = 11;
    count = 1;
    r->GetMissingDefinitions(list, &count);
    ASSERT_EQ(2, count);
    EXPECT_EQ(12, list[1]);

    // Copying empties what the other has not.
    CGraPolyRegRef from = Poly(5, true, 0.3, P(1, 2), P(3, 4));
    r->SetDefinition(21, Make<CPatternDefRef>());
    r->CopyFrom(from);
    EXPECT_TRUE(Def<ZuObjectRef>(r, 21).IsInvalid());
    EXPECT_EQ(5, Value(r, 4));
    ExpectPoint(r->GetHandlePosition(1), 3, 4, "vertex copied");
    EXPECT_NE(Def<ZuObjectRef>(r, 50).Resolve(), Def<ZuObjectRef>(from, 50).Resolve());
}

TEST_F(CGraPolyRegTest, TheStoredRecordKeepsEveryStoredField)
{
    CGraPolyRegSpareRef r = Make<CGraPolyRegSpareRef>();
    const DPoint points[2] = {P(1.5, -2), P(7, 9.25)};
    r->SetPoints(points, 2);
    r->setSpare(0.625);
    Def<CPolyRegDefRef>(r, 50)->SetSides(7);
    Def<CPolyRegDefRef>(r, 50)->SetValue(CPolyRegDef::STAR);
    Def<CPolyRegDefRef>(r, 50)->SetIndentation(0.4);
    r->SetDefinition(30, Corner(111, 0.5));
    r->SetDefinition(31, Corner(113, 0.25));
    r->SetDefinition(22, Make<CPulsarDefRef>());
    r->SetEditMode(5);
    Record();
    recorder->answers = {BoxAnswer(-1, -2, 30, 40)};
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    r->SelectHandle(1);
    r->SaveGeometry(ChangeRecord{});

    CGraPolyRegSpareRef back(RoundTrip(r));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(0.625, back->spareValue());
    EXPECT_EQ(5, back->GetEditMode());
    ExpectPoint(back->GetHandlePosition(0), 1.5, -2, "centre");
    ExpectPoint(back->GetHandlePosition(1), 7, 9.25, "vertex");
    for (int n = 4; n < 8; n++)
        EXPECT_EQ(Value(r, n), Value(back, n)) << n;
    EXPECT_TRUE(Def<CPolyRegDefRef>(back, 50)->IsStar());
    EXPECT_EQ(111, Def<CCornerDefRef>(back, 30)->GetValue());
    EXPECT_EQ(113, Def<CCornerDefRef>(back, 31)->GetValue());
    EXPECT_TRUE(Def<ZuObjectRef>(back, 22).IsValid());
    EXPECT_TRUE(Def<ZuObjectRef>(back, 21).IsInvalid());
    EXPECT_EQ(40, back->GetBoundingBox().y2);
    // Marks and saved geometry come back fresh.
    EXPECT_FALSE(back->IsHandleSelected(1));
    ChangeRecord move{};
    move.kind = 1;
    back->Transform(move, 0);
    ExpectPoint(back->GetHandlePosition(1), 0, 0, "fresh saved vertex");

    // An older record without the spare: 0.0.
    r->older = true;
    CGraPolyRegSpareRef old(RoundTrip(r));
    ASSERT_TRUE(old.IsValid());
    EXPECT_EQ(0.0, old->spareValue());
    ExpectPoint(old->GetHandlePosition(1), 7, 9.25, "vertex of the older record");
    EXPECT_EQ(40, old->GetBoundingBox().y2);

    // A stream cut inside the record is refused.
    r->older = false;
    const std::vector<unsigned char> bytes = Stored(r);
    for (size_t cut : {bytes.size() / 4, bytes.size() / 2, bytes.size() - 3}) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_THROW(Restored(part), ZuExcStream) << cut;
    }
}

// ---- Geometry and PostScript

TEST_F(CGraPolyRegTest, ASharpTriangleIsThreeLinesClosedAndStroked)
{
    CGraPolyRegRef r = Poly(3, false, 0.0, P(0, 0), P(10, 10));
    Record();
    DrawAgain(r, 0);
    EXPECT_EQ("10.000000 10.000000 moveto -13.660254 3.660254 lineto 3.660254 -13.660254 lineto "
              "10.000000 10.000000 lineto closepath stroke newpath ",
              Flat(recorder->All()));
    // The outline modes add the radius, and never fill.
    DrawAgain(r, 8);
    EXPECT_EQ("0.000000 0.000000 moveto 10.000000 10.000000 lineto stroke ",
              Flat(recorder->sends[0]));
    EXPECT_EQ(0u, Count(recorder->All(), "fill"));
    DrawAgain(r, 7);
    EXPECT_EQ(1u, Count(recorder->All(), "eofill"));
}

TEST_F(CGraPolyRegTest, AHexagonIsSixLinesFromVertexToVertex)
{
    CGraPolyRegRef r = Poly(6, false, 0.0, P(2, 1), P(12, 1));
    // An inner corner on a polygon that is not a star has no effect.
    r->SetDefinition(31, Corner(112, 3.0));
    Record();
    DrawAgain(r, 0);
    // One send per line, then the closing stroke.
    ASSERT_EQ(7u, recorder->sends.size());
    const std::vector<DPoint> points = PathPoints(recorder->All());
    ASSERT_EQ(7u, points.size());
    for (int i = 0; i < 7; i++) {
        const DPoint expected = r->GetOuterPoint(2 * i);
        EXPECT_NEAR(expected.x, points[size_t(i)].x, 1e-6) << i;
        EXPECT_NEAR(expected.y, points[size_t(i)].y, 1e-6) << i;
    }
    // A full turn, with 2 pi to ten digits.
    EXPECT_NEAR(12, r->GetOuterPoint(12).x, 1e-6);
    EXPECT_NEAR(1, r->GetOuterPoint(12).y, 1e-6);
    EXPECT_EQ(0, r->NextIndex(11));
    EXPECT_EQ(11, r->PrevIndex(0));
}

TEST_F(CGraPolyRegTest, ABevelledTriangleIsOneSubpath)
{
    CGraPolyRegRef r = Poly(3, false, 0.0, P(0, 0), P(0, 20));
    r->SetDefinition(30, Corner(111, 5.0));
    Record();
    DrawAgain(r, 0);
    const std::string all = Flat(recorder->All());
    EXPECT_EQ(1u, Count(all, "moveto"));
    EXPECT_EQ(6u, Count(all, "lineto"));
    // The cut ends lie 5 from their vertex along both sides.
    const std::vector<DPoint> points = PathPoints(all);
    ASSERT_EQ(7u, points.size());
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        const DPoint vertex = r->GetOuterPoint(int(i));
        EXPECT_NEAR(5.0, Distance(points[i], vertex), 1e-5) << i;
        EXPECT_NEAR(5.0, Distance(points[i + 1], vertex), 1e-5) << i;
    }
}

TEST_F(CGraPolyRegTest, AStarAlternatesOuterAndInnerVertices)
{
    struct Case {
        double depth;
        double innerRadius;
    } const cases[] = {{0.5, 5.0}, {0.0, 10.0}, {1.0, 0.0}};
    for (const Case& c : cases) {
        CGraPolyRegRef r = Poly(5, true, c.depth, P(0, 0), P(6, 8));
        Record();
        DrawAgain(r, 0);
        const std::vector<DPoint> points = PathPoints(recorder->All());
        ASSERT_EQ(11u, points.size()) << c.depth;
        for (size_t i = 0; i < points.size(); i++)
            EXPECT_NEAR(i % 2 == 0 ? 10.0 : c.innerRadius, Distance(points[i], P(0, 0)), 1e-5)
                << c.depth << " " << i;
        // With no indentation it is a regular decagon.
        if (c.depth == 0.0) {
            EXPECT_NEAR(Distance(points[0], points[1]), Distance(points[1], points[2]), 1e-5);
        }
    }
}

TEST_F(CGraPolyRegTest, StarCornersAreCutTowardsTheirNeighbours)
{
    CGraPolyRegRef r = Poly(4, true, 0.5, P(0, 0), P(10, 0));
    r->SetDefinition(30, Corner(111, 1.0));
    r->SetDefinition(31, Corner(111, 0.5));
    EXPECT_NEAR(1.0, Distance(r->GetOuterCornerStart(0), r->GetOuterPoint(0)), 1e-12);
    EXPECT_NEAR(1.0, Distance(r->GetOuterCornerEnd(0), r->GetOuterPoint(0)), 1e-12);
    const DPoint towards = PointTowards(r->GetOuterPoint(0), r->GetInnerPoint(1), 1.0);
    ExpectPoint(r->GetOuterCornerEnd(0), towards.x, towards.y, "towards the inner point");
    const DPoint back = PointTowards(r->GetInnerPoint(1), r->GetOuterPoint(0), 0.5);
    ExpectPoint(r->GetInnerCornerStart(1), back.x, back.y, "inner start");
    Record();
    DrawAgain(r, 0);
    const std::string all = Flat(recorder->All());
    EXPECT_EQ(1u, Count(all, "moveto"));
    EXPECT_EQ(16u, Count(all, "lineto"));
    // Sharp corners give the points themselves.
    r->SetDefinition(31, Corner(110, 0.0));
    ExpectPoint(r->GetInnerCornerEnd(3), r->GetInnerPoint(3).x, r->GetInnerPoint(3).y, "sharp");
}

TEST_F(CGraPolyRegTest, TheShadowOnlyWhenAskedForAndSet)
{
    CGraPolyRegRef r = Poly(5, false, 0.0, P(0, 0), P(10, 0));
    Record();
    r->Draw(port, 7);
    CPositionDefRef at = Make<CPositionDefRef>();
    at->SetValue(CPositionDef::TOP_LEFT);
    r->SetDefinition(CGraObject::SHADOW_MOTIF, Make<CMotifDefRef>());
    r->SetDefinition(CGraObject::SHADOW_COLOR, Colour(0.5, 0.5, 0.5));
    struct Case {
        const char* what;
        int value;
        int flags;
        bool drawn;
    } const cases[] = {
        {"no shadow", CPositionDef::NO_SHADOW, 7, false},
        {"a shadow", CPositionDef::TOP_LEFT, 7, true},
        {"no fill flag", CPositionDef::TOP_LEFT, 3, false},
        {"outline mode", CPositionDef::TOP_LEFT, 7 | 16, false},
    };
    for (const Case& c : cases) {
        at->SetValue(c.value);
        r->SetDefinition(CGraObject::SHADOW_POSITION, at);
        recorder->Clear();
        EXPECT_TRUE(r->DrawShadow(port, c.flags)) << c.what;
        EXPECT_EQ(c.drawn, Count(recorder->All(), "eofill") == 1) << c.what;
    }
}

TEST_F(CGraPolyRegTest, EmptyShapeAndCornersDrawASharpTriangle)
{
    // A record may hold empty definitions where the shape and corners go.
    CGraPolyRegRef r = Poly(6, true, 0.5, P(0, 0), P(10, 10));
    for (int kind : {50, 30, 31})
        EXPECT_TRUE(r->SetDefinition(kind, ZuObjectRef()));
    EXPECT_EQ(3, Value(r, 4));
    EXPECT_EQ(0.0, Value(r, 6));
    EXPECT_EQ(1, r->GetHandleType(3));
    Record();
    DrawAgain(r, 0);
    EXPECT_EQ("10.000000 10.000000 moveto -13.660254 3.660254 lineto 3.660254 -13.660254 lineto "
              "10.000000 10.000000 lineto closepath stroke newpath ",
              Flat(recorder->All()));
    r->MoveHandle(2, P(0, 0));
    r->MoveHandle(3, P(0, 0));
    EXPECT_TRUE(r->SetPropertyValue(4, 8));
    EXPECT_TRUE(RoundTrip(r).IsValid());
}

// ---- Handles, limits, constraint, transforms

TEST_F(CGraPolyRegTest, HandlesAndTheirKinds)
{
    CGraPolyRegRef r = Poly(6, false, 0.0, P(0, 0), P(10, 0));
    EXPECT_EQ(5, r->GetHandleCount());
    const int polygon[] = {2, 2, 1, 1, 1, 0};
    for (int n = 0; n < 6; n++)
        EXPECT_EQ(polygon[n], r->GetHandleType(n)) << n;
    DPoint out;
    EXPECT_FALSE(r->GetHandle(2, out));
    EXPECT_TRUE(r->GetHandle(1, out));
    ExpectPoint(out, 10, 0, "vertex");

    // Handle 3 of a hexagon of radius 10: half the side at most.
    r->MoveHandle(3, PointTowards(P(10, 0), r->GetOuterPoint(2), 8.0));
    EXPECT_NEAR(5.0, Value(r, 6), 1e-6);
    EXPECT_EQ(3, r->GetHandleType(3));
    r->MoveHandle(3, P(10, 0));
    EXPECT_EQ(0.0, Value(r, 6));
    EXPECT_EQ(110, Def<CCornerDefRef>(r, 30)->GetValue());
    EXPECT_EQ(1, r->GetHandleType(3));
    EXPECT_FALSE(r->GetHandle(3, out));

    // A star shows its indentation handle; dragging it onto the centre
    // gives 1.0, beyond still 1.0, onto the outer point half a step on 0.0.
    CGraPolyRegRef s = Poly(5, true, 0.5, P(0, 0), P(10, 0));
    EXPECT_EQ(3, s->GetHandleType(2));
    EXPECT_EQ(1, s->GetHandleType(4));
    s->SetDefinition(31, Corner(113, 1.0));
    EXPECT_EQ(3, s->GetHandleType(4));
    struct Case {
        DPoint to;
        double depth;
    } const cases[] = {{{0, 0}, 1.0}, {{-3, -3}, 1.0}, {s->GetOuterPoint(1), 0.0}};
    for (const Case& c : cases) {
        s->MoveHandle(2, c.to);
        EXPECT_NEAR(c.depth, Value(s, 5), 1e-9);
    }
    s->MoveHandle(0, P(1, 1));
    ExpectPoint(s->GetHandlePosition(0), 1, 1, "centre");
    ExpectPoint(s->GetHandlePosition(7), 0, 0, "none");
}

TEST_F(CGraPolyRegTest, StarInsetsStayWithinTheIndentation)
{
    // Radius 10, indentation 0.2: no inset beyond 2.0, whatever moves.
    CGraPolyRegRef r = Poly(5, true, 0.2, P(0, 0), P(10, 0));
    r->SetDefinition(30, Corner(112, 1.0));
    r->SetDefinition(31, Corner(112, 1.0));
    auto Within = [&](const char* what) {
        EXPECT_LE(Value(r, 6), 2.0 + 1e-12) << what;
        EXPECT_LE(Value(r, 7), 2.0 + 1e-12) << what;
    };
    r->MoveHandle(3, P(0, 0));
    Within("outer handle");
    EXPECT_NEAR(2.0, Value(r, 6), 1e-12);
    r->MoveHandle(4, P(-10, 0));
    Within("inner handle");
    EXPECT_NEAR(2.0, Value(r, 7), 1e-12);
    for (int n : {6, 7}) {
        EXPECT_TRUE(r->SetPropertyValue(n, 50.0));
        Within("property");
    }
    r->MoveHandle(1, P(5, 0)); // radius 5: limit 1.0
    EXPECT_NEAR(1.0, Value(r, 6), 1e-12);
    EXPECT_NEAR(1.0, Value(r, 7), 1e-12);
}

TEST_F(CGraPolyRegTest, DraggingOutAndTheConstraint)
{
    struct Case {
        DPoint p;
        DPoint expected;
    } const cases[] = {{{5, 3}, {5, 0}}, {{3, 5}, {0, 5}}, {{4, 4}, {4, 0}}};
    for (const Case& c : cases) {
        CGraPolyRegRef r = Make<CGraPolyRegRef>();
        const DPoint at = P(0, 0);
        r->SetPoints(&at, 1);
        EXPECT_FALSE(r->DragPoint(c.p, 2));
        ExpectPoint(r->GetHandlePosition(1), c.expected.x, c.expected.y, "constrained");
        r->PlacePoint(c.p, 0);
        ExpectPoint(r->GetHandlePosition(1), c.p.x, c.p.y, "free");
    }
    // Which 0: from the vertex.
    CGraPolyRegRef r = Poly(3, false, 0, P(0, 0), P(10, 10));
    DPoint p = P(13, 11);
    r->ConstrainPoint(2, 0, p);
    ExpectPoint(p, 13, 10, "from the vertex");
}

TEST_F(CGraPolyRegTest, MarksAndTransforms)
{
    CGraPolyRegRef r = Poly(6, false, 0, P(0, 0), P(10, 0));
    r->SetEditing(0);
    r->SelectHandle(0);
    r->SetEditing(1);
    EXPECT_FALSE(r->IsHandleSelected(0));

    // A scale (2, 0.5) with flags 2 and no mark: insets and pen times 1.25.
    r->SetDefinition(30, Corner(112, 2.0));
    r->SetDefinition(31, Corner(112, 4.0));
    Def<CPenDefRef>(r, 10)->SetWidth(2.0);
    r->SaveGeometry(ChangeRecord{});
    ChangeRecord scale{};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(2, 0.5);
    EXPECT_TRUE(r->Transform(scale, 2));
    EXPECT_DOUBLE_EQ(2.5, Value(r, 6));
    EXPECT_DOUBLE_EQ(5.0, Value(r, 7));
    EXPECT_DOUBLE_EQ(2.5, Def<CPenDefRef>(r, 10)->GetWidth());
    ExpectPoint(r->GetHandlePosition(1), 20, 0, "vertex scaled");

    // A marked handle stays, and the insets and pen keep their size.
    r->SelectHandle(0);
    EXPECT_TRUE(r->IsHandleSelected(0));
    ChangeRecord move{};
    move.kind = 1;
    move.a = P(0, 0);
    move.b = P(1, 2);
    r->SaveGeometry(move);
    r->Transform(move, 2);
    ExpectPoint(r->GetHandlePosition(0), 0, 0, "marked centre stays");
    ExpectPoint(r->GetHandlePosition(1), 21, 2, "vertex moved");
    r->Transform(scale, 2);
    EXPECT_DOUBLE_EQ(2.5, Def<CPenDefRef>(r, 10)->GetWidth());
    EXPECT_TRUE(r->SetEditMode(1));
    EXPECT_FALSE(r->IsHandleSelected(0));
}

// ---- Properties

TEST_F(CGraPolyRegTest, ThePropertyTable)
{
    const std::vector<PropertyRow> rows = {
        {"Centre X", "Centre du polygone", 2081, 0, -2000.0, 2000.0, 0.0, -1},
        {"Centre Y", "Centre du polygone", 2114, 0, -2000.0, 2000.0, 0.0, -1},
        {"Rayon", "Rayon", 2049, 0, -2000.0, 2000.0, 0.0, -1},
        {"Inclinaison", "Inclinaison par-rapport \xe0 l'horizontale", 2176, 13, 0.0, 6.283185307,
         0.3926990816875, -1},
        {"Nb de c\xf4t\xe9s", "Nombre de c\xf4t\xe9s", 128, 10, 3.0, 50.0, 1.0, 50},
        {"Renfoncement", "Renfoncement des branches de l'\xe9toile", 2054, 12, 0.0, 1.0, 0.1, 50},
        {"Retrait ext.", "Retrait des coins ext\xe9rieurs", 2176, 0, 0.0, 2000.0, 0.0, 30},
        {"Retrait int.", "Retrait des coins int\xe9rieurs", 2180, 0, 0.0, 2000.0, 0.0, 31},
    };
    // A star flags the same properties for its branches and inner corners.
    const int starFlags[] = {2081, 2114, 2049, 2176, 128, 2050, 2049, 2176};
    CGraPolyRegRef polygon = Poly(5, false, 0.5, P(0, 0), P(1, 0));
    CGraPolyRegRef star = Poly(5, true, 0.5, P(0, 0), P(1, 0));
    ExpectPropertyTable(polygon, rows);
    for (int n = 0; n < 8; n++) {
        int flags = 0;
        EXPECT_TRUE(star->GetPropertyFlags(n, flags));
        EXPECT_EQ(starFlags[n], flags) << n;
        // Only "Renfoncement" and "Retrait int." hide on a polygon.
        EXPECT_EQ(n == 5 || n == 7, (rows[size_t(n)].flags & 4) != 0) << n;
    }
    int layout[15];
    polygon->GetPropertyLayout(0, 0, 0, 0, layout);
    const int expected[15] = {8, 0, 0, -2, -6, 30, 0, 0, -2, -3, 78, 0, 0, -2, -1};
    EXPECT_EQ(0, std::memcmp(layout, expected, sizeof expected));
}

TEST_F(CGraPolyRegTest, PropertyValuesAndTheirSetters)
{
    CGraPolyRegRef r = Poly(6, false, 0.0, P(1, 1), P(1, 11));
    EXPECT_EQ(1, Value(r, 0));
    EXPECT_EQ(10, Value(r, 2));
    EXPECT_NEAR(M_PI / 2, Value(r, 3), 1e-12);
    EXPECT_EQ(6, Value(r, 4));
    struct Case {
        const char* what;
        int n;
        double value;
        bool answer;
        DPoint centre, vertex;
    } const cases[] = {
        {"centre x", 0, 4, true, {4, 1}, {4, 11}},
        {"centre y", 1, -1, true, {1, -1}, {1, 9}},
        {"radius", 2, 5, true, {1, 1}, {1, 6}},
        {"radius 0: refused", 2, 0.0, false, {1, 1}, {1, 11}},
        {"inclination", 3, 0.0, true, {1, 1}, {11, 1}},
        {"no number", 0, NAN, false, {1, 1}, {1, 11}},
        {"infinite", 2, INFINITY, false, {1, 1}, {1, 11}},
    };
    for (const Case& c : cases) {
        CGraPolyRegRef p = Poly(6, false, 0.0, P(1, 1), P(1, 11));
        EXPECT_EQ(c.answer, p->SetPropertyValue(c.n, c.value)) << c.what;
        ExpectPoint(p->GetHandlePosition(0), c.centre.x, c.centre.y, c.what);
        ExpectPoint(p->GetHandlePosition(1), c.vertex.x, c.vertex.y, c.what);
    }
    struct Sides {
        double value;
        int sides;
    } const sides[] = {{7.9, 7}, {60, 50}, {-5, 3}, {1e300, 50}};
    for (const Sides& s : sides) {
        EXPECT_TRUE(r->SetPropertyValue(4, s.value)) << s.value;
        EXPECT_EQ(s.sides, Value(r, 4)) << s.value;
    }
    EXPECT_TRUE(r->SetPropertyValue(5, 1.5));
    EXPECT_EQ(1.0, Value(r, 5));
    EXPECT_TRUE(r->SetPropertyValue(6, -2));
    EXPECT_EQ(0.0, Value(r, 6));
    // Marks of the properties on the page.
    DPoint a, b;
    int kind = -1;
    EXPECT_TRUE(r->GetPropertyHandles(3, a, b, kind));
    EXPECT_EQ(7, kind);
    ExpectPoint(b, 1, 11, "vertex");
    EXPECT_FALSE(r->GetPropertyHandles(4, a, b, kind));
    EXPECT_EQ(0, kind);
    ZuStringRef text;
    EXPECT_TRUE(r->GetDebugText(text));
    EXPECT_EQ(0u, Text(text).find("  X="));
    EXPECT_NE(std::string::npos, Text(text).find(" nb=50 re=0 ri=0"));
}

// ---- In the interpreter

TEST_F(CGraPolyRegTest, TheBoxCoversTheJoinsAndTheShadow)
{
    Live(100, 100);
    // A thin triangle: its mitred tips reach well beyond the vertices.
    CGraPolyRegRef r = Poly(3, false, 0.0, P(50, 50), P(50, 80));
    Def<CPenDefRef>(r, 10)->SetWidth(4.0);
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    DRect box = r->GetBoundingBox();
    // The tip at (50, 80) with a 60-degree mitre: 2 / sin(30) = 4 above.
    EXPECT_NEAR(84, box.y2, 1.0);
    EXPECT_LT(box.y1, 35 - 1.0);
    r->SetDefinition(CGraObject::SHADOW_POSITION, ShadowAt(CPositionDef::TOP_RIGHT, 3, 6));
    const DRect without = box;
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    box = r->GetBoundingBox();
    EXPECT_NEAR(without.y2 + 6, box.y2, 1.0);
    EXPECT_NEAR(without.x2 + 3, box.x2, 1.0);
}

TEST_F(CGraPolyRegTest, HitsInTheInterpreter)
{
    Live(100, 100);
    CGraPolyRegRef star = Poly(5, true, 0.5, P(50, 50), P(50, 80));
    ASSERT_TRUE(star->UpdateBoundingBox(port));
    // A regular polygon is one segment: a hit is on segment 0.
    ExpectHits(star,
               {
                   {"the inner area", {50, 50}, 0.0, 1, true, 0},
                   {"inner area, fill not allowed", {50, 50}, 0.0, 0, false, -1},
                   {"inner area, invisible fill", {50, 50}, 1.0, 1, false, -1},
                   {"on the stroke, invisible fill", {50, 80}, 1.0, 1, true, 0},
                   {"between two branches", {62, 70}, 0.0, 1, false, -1},
                   {"outside the box", {99, 99}, 0.0, 1, false, -1},
               },
               P(99, 99));
}

} // namespace
