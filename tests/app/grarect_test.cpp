// The rectangle: definitions by kind, its stored record, the PostScript of
// its outline, its handles, constraint, transforms and properties, and its
// box and hits in the interpreter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/grarect.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/positiondef.h"
#include "si/except.h"
#include "tests/app/gratest.h"

namespace {

class CGraRectTest : public GraTest {
protected:
    static CGraRectRef Rect(DPoint p, DPoint q, double angle = 0.0)
    {
        CGraRectRef r = Make<CGraRectRef>();
        const DPoint points[2] = {p, q};
        EXPECT_TRUE(r->SetPoints(points, 2));
        r->SetPropertyValue(8, angle);
        return r;
    }
    static double Inset(const CGraRectRef& r)
    {
        double v = -1.0;
        EXPECT_TRUE(r->GetPropertyValue(9, v));
        return v;
    }
};

TEST_F(CGraRectTest, ANewRectangleHasItsDefinitionsButNoCorner)
{
    CGraRectRef r = Make<CGraRectRef>();
    ZuStringRef name;
    EXPECT_TRUE(r->GetTypeName(name));
    EXPECT_EQ("Rectangle", Text(name));
    EXPECT_EQ(21, r->GetIconId(0));
    EXPECT_EQ(31, r->GetIconId(1));
    EXPECT_EQ(-1, r->GetIconId(2));
    EXPECT_EQ(0, r->GetEditMode());
    EXPECT_EQ(1, r->IsEditing());
    for (int kind : {10, 15, 20, 25}) {
        ZuObjectRef d;
        EXPECT_TRUE(r->GetDefinition(kind, d)) << kind;
        EXPECT_TRUE(d.IsValid()) << kind;
    }
    for (int kind : {11, 12, 21, 22, 30}) {
        ZuObjectRef d;
        EXPECT_TRUE(r->GetDefinition(kind, d)) << kind;
        EXPECT_TRUE(d.IsInvalid()) << kind;
    }
    ZuObjectRef other;
    EXPECT_FALSE(r->GetDefinition(31, other));
    int kinds[20];
    r->GetDefinitionKinds(kinds);
    const int expected[] = {10, 11, 12, 15, 20, 21, 22, 25, 30, 100, 102, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(kinds, expected, sizeof expected));
    // No corner is nothing missing.
    int list[8] = {};
    int count = 0;
    EXPECT_TRUE(r->GetMissingDefinitions(list, &count));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(11))->IsKindOf(CGraRectRef::RetRuntime()));
    // A definition of another class is refused.
    EXPECT_FALSE(r->SetDefinition(30, Make<CColorDefRef>()));
}

TEST_F(CGraRectTest, PruningAndMissingDefinitions)
{
    CGraRectRef r = Make<CGraRectRef>();
    // A sharp corner is no corner.
    EXPECT_TRUE(r->SetDefinition(30, Corner(110, 0.0)));
    EXPECT_TRUE(Def<CCornerDefRef>(r, 30).IsValid());
    EXPECT_TRUE(r->SetDefinition(11, Make<CPatternDefRef>()));
    EXPECT_TRUE(r->SetDefinition(21, Make<CPatternDefRef>()));
    EXPECT_TRUE(r->SetDefinition(22, Make<CPulsarDefRef>()));
    r->PruneDefinitions();
    for (int kind : {11, 21, 22, 30})
        EXPECT_TRUE(Def<ZuObjectRef>(r, kind).IsInvalid()) << kind;
    // A rounded corner stays.
    r->SetDefinition(30, Corner(112, 2.0));
    r->PruneDefinitions();
    EXPECT_TRUE(Def<CCornerDefRef>(r, 30).IsValid());

    // A fancy pen and a special fill need their brushes and pulsars; a kind
    // already listed is not listed again.
    Def<CPenDefRef>(r, 10)->SetValue(CPenDef::KIND_FANCY);
    Def<CMotifDefRef>(r, 20)->SetValue(CMotifDef::KIND_SPECIAL);
    int list[8] = {11};
    int count = 1;
    r->GetMissingDefinitions(list, &count);
    ASSERT_EQ(4, count);
    EXPECT_EQ(12, list[1]);
    EXPECT_EQ(21, list[2]);
    EXPECT_EQ(22, list[3]);
}

TEST_F(CGraRectTest, TheStoredRecordKeepsEveryStoredField)
{
    for (bool withCorner : {false, true}) {
        CGraRectRef r = Rect(P(1.5, -2), P(7, 9.25), 0.3);
        if (withCorner)
            r->SetDefinition(30, Corner(113, 1.75));
        Def<CPenDefRef>(r, 10)->SetWidth(2.5);
        r->SetDefinition(11, Make<CPatternDefRef>());
        r->SetEditMode(3);
        r->SetEditing(0);
        Record();
        recorder->answers = {BoxAnswer(-1, -2, 30, 40)};
        ASSERT_TRUE(r->UpdateBoundingBox(port));
        // Not stored: the marks and the saved geometry.
        r->SetEditing(1);
        r->SelectHandle(2);
        r->SetEditing(0);
        r->SaveGeometry(ChangeRecord{});

        CGraRectRef back(RoundTrip(r));
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(3, back->GetEditMode());
        EXPECT_EQ(0, back->IsEditing());
        for (int n = 0; n < 9; n++) {
            double a = 0, b = 1;
            r->GetPropertyValue(n, a);
            back->GetPropertyValue(n, b);
            EXPECT_EQ(a, b) << n;
        }
        const DRect box = back->GetBoundingBox();
        EXPECT_EQ(-1, box.x1);
        EXPECT_EQ(40, box.y2);
        EXPECT_EQ(2.5, Def<CPenDefRef>(back, 10)->GetWidth());
        EXPECT_TRUE(Def<ZuObjectRef>(back, 11).IsValid());
        EXPECT_TRUE(Def<ZuObjectRef>(back, 12).IsInvalid());
        CCornerDefRef corner = Def<CCornerDefRef>(back, 30);
        EXPECT_EQ(withCorner, corner.IsValid());
        if (withCorner) {
            EXPECT_EQ(113, corner->GetValue());
            EXPECT_EQ(1.75, corner->GetLength());
        }
        back->SetEditing(1);
        EXPECT_FALSE(back->IsHandleSelected(2));
        // A transform from the never-saved geometry starts from zero.
        ChangeRecord move{};
        move.kind = 1;
        back->Transform(move, 0);
        ExpectPoint(back->GetHandlePosition(0), 0, 0, "fresh saved geometry");
    }
}

TEST_F(CGraRectTest, ACutStreamIsRefused)
{
    CGraRectRef r = Rect(P(1, 2), P(3, 4));
    r->SetDefinition(30, Corner(112, 1.0));
    const std::vector<unsigned char> bytes = Stored(r);
    for (size_t cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 2}) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_THROW(Restored(part), ZuExcStream) << cut;
    }
}

// ---- PostScript

TEST_F(CGraRectTest, ASharpRectangleIsFourLinesClosedAndStroked)
{
    CGraRectRef r = Rect(P(10, 10), P(4, 20));
    EXPECT_EQ(-6, (r->GetHandlePosition(2).x - r->GetHandlePosition(0).x));
    ExpectPoint(r->GetHandlePosition(3), 4, 10, "c3");
    Record();
    EXPECT_TRUE(r->Draw(port, 0)); // writes the port's state first
    recorder->Clear();
    EXPECT_TRUE(r->Draw(port, 0));
    EXPECT_EQ("10.000000 10.000000 moveto 10.000000 20.000000 lineto 4.000000 20.000000 lineto "
              "4.000000 10.000000 lineto 10.000000 10.000000 lineto closepath stroke newpath ",
              Flat(recorder->All()));
    // A sharp corner or one without an inset draws the same.
    for (CCornerDefRef c : {Corner(110, 0.0), Corner(112, 0.0)}) {
        r->SetDefinition(30, c);
        recorder->Clear();
        r->Draw(port, 0);
        EXPECT_EQ(1u, Count(recorder->All(), "moveto"));
        EXPECT_EQ(4u, Count(recorder->All(), "lineto"));
    }
}

TEST_F(CGraRectTest, OutlineModesDrawTheLegsThenTheUnfilledOutline)
{
    CGraRectRef r = Rect(P(0, 0), P(10, 6));
    r->SetDefinition(30, Corner(112, 2.0));
    Record();
    r->Draw(port, 16);
    recorder->Clear();
    EXPECT_TRUE(r->Draw(port, 16));
    // Eight legs, each a stroke of its own, then one outline: rounded
    // corners 2 along both sides, sides of 6 and 2 between the cuts.
    const std::vector<std::string>& s = recorder->sends;
    // Each call is sent as it comes: eight legs, then the outline's eight
    // pieces, then the closing stroke.
    ASSERT_EQ(17u, s.size());
    EXPECT_EQ("0.000000 0.000000 moveto 2.000000 0.000000 lineto stroke ", Flat(s[0]));
    EXPECT_EQ("0.000000 0.000000 moveto 0.000000 2.000000 lineto stroke ", Flat(s[1]));
    EXPECT_EQ("10.000000 0.000000 moveto 8.000000 0.000000 lineto stroke ", Flat(s[7]));
    std::string outline;
    for (size_t i = 8; i < s.size(); i++)
        outline += Flat(s[i]);
    EXPECT_EQ(0u, outline.find("2.000000 0.000000 moveto 0.000000 0.000000 0.000000 2.000000 "));
    EXPECT_EQ(1u, Count(outline, "moveto"));
    EXPECT_EQ(4u, Count(outline, "arct"));
    EXPECT_NE(std::string::npos, outline.find("0.000000 4.000000 lineto"));
    EXPECT_NE(std::string::npos, outline.find("8.000000 6.000000 lineto"));
    EXPECT_EQ(0u, Count(outline, "fill"));
    EXPECT_NE(std::string::npos, outline.find("closepath stroke newpath"));
    // Filled when drawn for the page.
    recorder->Clear();
    r->Draw(port, 7);
    EXPECT_EQ(1u, Count(recorder->All(), "eofill"));
    EXPECT_EQ(0u, Count(recorder->All(), "stroke \n0.000000"));
}

TEST_F(CGraRectTest, BevelledCornersAreOneSubpath)
{
    // Cuts larger than the side pass each other: drawn as they come.
    for (double inset : {1.0, 4.0}) {
        CGraRectRef r = Rect(P(0, 0), P(10, 6));
        r->SetDefinition(30, Corner(111, inset));
        Record();
        r->Draw(port, 0);
        recorder->Clear();
        r->Draw(port, 0);
        const std::string all = Flat(recorder->All());
        EXPECT_EQ(1u, Count(all, "moveto")) << inset;
        EXPECT_EQ(8u, Count(all, "lineto")) << inset;
    }
}

TEST_F(CGraRectTest, TheShadowOnlyWhenAskedForAndSet)
{
    CGraRectRef r = Rect(P(0, 0), P(10, 6));
    Record();
    r->Draw(port, 7);
    const CPositionDefRef at = ShadowAt(CPositionDef::BOTTOM_RIGHT, 2, 3);
    struct Case {
        const char* what;
        bool set;
        int flags;
        bool drawn;
    } const cases[] = {
        {"no shadow definition", false, 7, false},
        {"set, flags 7", true, 7, true},
        {"no fill flag", true, 3, false},
        {"outline mode", true, 7 | 8, false},
        {"flags 0", true, 0, false},
    };
    for (const Case& c : cases) {
        r->SetDefinition(CGraObject::SHADOW_POSITION, c.set ? ZuObjectRef(at) : ZuObjectRef());
        recorder->Clear();
        EXPECT_TRUE(r->DrawShadow(port, c.flags)) << c.what;
        EXPECT_EQ(c.drawn, !recorder->sends.empty()) << c.what;
    }
}

// ---- Handles, constraint, transforms

TEST_F(CGraRectTest, HandlesMoveTheRectangleOnItsOwnAxes)
{
    struct Case {
        const char* what;
        double angle;
        int n;
        DPoint to;
        DPoint p, q;
    } const cases[] = {
        {"corner 0", 0, 0, {-1, -2}, {-1, -2}, {10, 5}},
        {"corner 1: c3 stays", 0, 1, {2, 7}, {2, 0}, {10, 7}},
        {"corner 2", 0, 2, {12, 8}, {0, 0}, {12, 8}},
        {"corner 3: c1 stays", 0, 3, {11, -1}, {0, -1}, {11, 5}},
        {"side 4", 0, 4, {3, 9}, {3, 0}, {10, 5}},
        {"side 5", 0, 5, {3, 9}, {0, 0}, {10, 9}},
        {"side 6", 0, 6, {12, 40}, {0, 0}, {12, 5}},
        {"side 7", 0, 7, {4, -3}, {0, -3}, {10, 5}},
        // Turned by a right angle: Q is p turned back about P.
        {"corner 2 inclined", M_PI / 2, 2, {-5, 10}, {0, 0}, {10, 5}},
        {"corner 0 inclined: c2 stays", M_PI / 2, 0, {1, 1}, {1, 1}, {10, 7}},
    };
    for (const Case& c : cases) {
        CGraRectRef r = Rect(P(0, 0), P(10, 5), c.angle);
        const DPoint c2 = r->GetHandlePosition(2);
        r->MoveHandle(c.n, c.to);
        ExpectPoint(r->GetHandlePosition(0), c.p.x, c.p.y, c.what);
        double w = 0, h = 0;
        r->GetPropertyValue(6, w);
        r->GetPropertyValue(7, h);
        EXPECT_NEAR(c.q.x - c.p.x, w, 1e-9) << c.what;
        EXPECT_NEAR(c.q.y - c.p.y, h, 1e-9) << c.what;
        if (c.n == 0)
            ExpectPoint(r->GetHandlePosition(2), c2.x, c2.y, c.what);
    }
    CGraRectRef r = Rect(P(0, 0), P(10, 5));
    ExpectPoint(r->GetHandlePosition(1), 0, 5, "c1");
    r->MoveHandle(1, P(2, 7));
    ExpectPoint(r->GetHandlePosition(3), 10, 0, "c3 stays");
    ExpectPoint(r->GetHandlePosition(5), 6, 7, "middle of c1-c2");
    EXPECT_EQ(0, r->GetHandleType(9));
    ExpectPoint(r->GetHandlePosition(9), 0, 0, "none");
}

TEST_F(CGraRectTest, TheInsetHandle)
{
    CGraRectRef r = Rect(P(0, 0), P(10, 2));
    DPoint out;
    // Without a corner: not shown, and moving it changes nothing.
    EXPECT_EQ(1, r->GetHandleType(8));
    EXPECT_FALSE(r->GetHandle(8, out));
    r->MoveHandle(8, P(3, 0));
    EXPECT_EQ(0.0, Inset(r));
    r->SetDefinition(30, Corner(112, 1.0));
    EXPECT_EQ(3, r->GetHandleType(8));
    EXPECT_TRUE(r->GetHandle(8, out));
    ExpectPoint(out, 1, 0, "1 along c0-c3");
    // No upper limit: 3 on a side of 2.
    r->MoveHandle(8, P(0, 3));
    EXPECT_EQ(3.0, Inset(r));
    r->MoveHandle(8, P(0, 0));
    EXPECT_EQ(110, Def<CCornerDefRef>(r, 30)->GetValue());
    EXPECT_EQ(1, r->GetHandleType(8));
}

TEST_F(CGraRectTest, DraggingOutAndTheSquareConstraint)
{
    CGraRectRef r = Make<CGraRectRef>();
    const DPoint at = P(0, 0);
    EXPECT_TRUE(r->SetPoints(&at, 1));
    EXPECT_FALSE(r->DragPoint(P(6, -2), 2));
    ExpectPoint(r->GetHandlePosition(2), 6, -6, "square below");
    r->PlacePoint(P(6, 1), 2);
    ExpectPoint(r->GetHandlePosition(2), 6, 6, "square above");
    r->PlacePoint(P(6, 1), 0);
    ExpectPoint(r->GetHandlePosition(2), 6, 1, "free");
    // The reference is the corner opposite the one constrained.
    CGraRectRef s = Rect(P(0, 0), P(10, 5));
    DPoint p = P(3, 1);
    s->ConstrainPoint(2, 2, p); // from c3 (10, 0)
    ExpectPoint(p, 3, 7, "from c3");
    p = P(3, 1);
    s->ConstrainPoint(2, 4, p);
    ExpectPoint(p, 3, 1, "not a corner");
}

TEST_F(CGraRectTest, CornerMarksOnlyWhileEditing)
{
    CGraRectRef r = Make<CGraRectRef>();
    r->SetEditing(0);
    r->SelectHandle(0);
    r->SetEditing(1);
    EXPECT_FALSE(r->IsHandleSelected(0));
    r->SelectHandle(3);
    r->SelectHandle(4);
    EXPECT_TRUE(r->IsHandleSelected(3));
    EXPECT_FALSE(r->IsHandleSelected(4));
    r->SetEditing(0);
    EXPECT_FALSE(r->IsHandleSelected(3));
    r->SetEditing(1);
    r->SetEditMode(2);
    EXPECT_FALSE(r->IsHandleSelected(3));
}

TEST_F(CGraRectTest, Transforms)
{
    // A rotation turns the whole rectangle and keeps its size.
    CGraRectRef r = Rect(P(1, 1), P(5, 3), 0.2);
    r->SaveGeometry(ChangeRecord{});
    ChangeRecord turn{};
    turn.kind = 3;
    turn.a = P(0, 0);
    turn.c = P(0.5, 0);
    EXPECT_TRUE(r->Transform(turn, 0));
    double a = 0, w = 0, h = 0;
    r->GetPropertyValue(8, a);
    r->GetPropertyValue(6, w);
    r->GetPropertyValue(7, h);
    EXPECT_NEAR(0.7, a, 1e-12);
    EXPECT_NEAR(4, w, 1e-12);
    EXPECT_NEAR(2, h, 1e-12);
    const DPoint p = RotatePoint(P(1, 1), P(0, 0), 0.5);
    ExpectPoint(r->GetHandlePosition(0), p.x, p.y, "P turned");
    EXPECT_TRUE(r->AcceptsChange(turn));

    // A scale with flags 2 scales the inset and the pen by the mean factor;
    // an inclined rectangle stays a rectangle of its inclination on the
    // scaled diagonal.
    CGraRectRef s = Rect(P(0, 0), P(4, 2), M_PI / 2);
    s->SetDefinition(30, Corner(112, 2.0));
    Def<CPenDefRef>(s, 10)->SetWidth(2.0);
    s->SaveGeometry(ChangeRecord{});
    ChangeRecord scale{};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(2, 0.5);
    EXPECT_TRUE(s->Transform(scale, 2));
    EXPECT_DOUBLE_EQ(2.5, Inset(s));
    EXPECT_DOUBLE_EQ(2.5, Def<CPenDefRef>(s, 10)->GetWidth());
    // c2 was (-2, 4), now (-4, 2).
    ExpectPoint(s->GetHandlePosition(2), -4, 2, "diagonal scaled");
    s->GetPropertyValue(8, a);
    EXPECT_NEAR(M_PI / 2, a, 1e-12);
    // Without flag 2 the pen keeps its width.
    Def<CPenDefRef>(s, 10)->SetWidth(2.0);
    s->Transform(scale, 0);
    EXPECT_EQ(2.0, Def<CPenDefRef>(s, 10)->GetWidth());
}

// ---- Properties

TEST_F(CGraRectTest, ThePropertyTable)
{
    const std::vector<PropertyRow> rows = {
        {"Position X", "Position horizontale", 2081, 0, -2000.0, 2000.0, 0.0, -1},
        {"Position Y", "Position verticale", 2240, 0, -2000.0, 2000.0, 0.0, -1},
        {"D\xe9"
         "but X",
         "D\xe9"
         "but horizontal",
         2081, 0, -2000.0, 2000.0, 0.0, -1},
        {"D\xe9"
         "but Y",
         "D\xe9"
         "but vertical",
         2114, 0, -2000.0, 2000.0, 0.0, -1},
        {"Arriv\xe9"
         "e X",
         "Arriv\xe9"
         "e horizontal",
         2081, 0, -2000.0, 2000.0, 0.0, -1},
        {"Arriv\xe9"
         "e Y",
         "Arriv\xe9"
         "e vertical",
         2240, 0, -2000.0, 2000.0, 0.0, -1},
        {"Largeur", "Largeur totale", 2081, 0, -2000.0, 2000.0, 0.0, -1},
        {"Hauteur", "Hauteur totale", 2240, 0, -2000.0, 2000.0, 0.0, -1},
        {"Inclinaison", "Inclinaison par-rapport \xe0 l'horizontale", 2176, 13, 0.0, 6.283185307,
         0.3926990816875, -1},
        {"Retrait coins", "Retrait des 4 coins", 2176, 0, 0.0, 2000.0, 0.0, 30},
    };
    CGraRectRef r = Make<CGraRectRef>();
    ExpectPropertyTable(r, rows);
    // The accented letter is one Latin-1 byte.
    ZuStringRef start;
    r->GetPropertyName(2, start);
    EXPECT_EQ(std::string("D") + char(0xE9) + "but X", Text(start));
    double v;
    EXPECT_FALSE(r->GetPropertyValue(10, v));
    int layout[15];
    r->GetPropertyLayout(0, 0, 0, 0, layout);
    const int expected[15] = {8, 0, 0, -2, -6, 30, 0, 0, -2, -3, 78, 0, 0, -2, -1};
    EXPECT_EQ(0, std::memcmp(layout, expected, sizeof expected));
}

TEST_F(CGraRectTest, PropertyValuesAndTheirSetters)
{
    struct Case {
        const char* what;
        int n;
        double value;
        bool answer;
        DPoint c0, c2;
    } const cases[] = {
        {"centre x", 0, 10, true, {5, 0}, {15, 4}},
        {"centre y", 1, -1, true, {0, -3}, {10, 1}},
        {"start x: c2 stays", 2, 2, true, {2, 0}, {10, 4}},
        {"start y: c2 stays", 3, -1, true, {0, -1}, {10, 4}},
        {"end x", 4, 12, true, {0, 0}, {12, 4}},
        {"end y", 5, 7, true, {0, 0}, {10, 7}},
        {"width: Q left of P", 6, -4, true, {0, 0}, {-4, 4}},
        {"height", 7, 9, true, {0, 0}, {10, 9}},
        {"no number", 0, NAN, false, {0, 0}, {10, 4}},
    };
    for (const Case& c : cases) {
        CGraRectRef r = Rect(P(0, 0), P(10, 4));
        EXPECT_EQ(c.answer, r->SetPropertyValue(c.n, c.value)) << c.what;
        ExpectPoint(r->GetHandlePosition(0), c.c0.x, c.c0.y, c.what);
        ExpectPoint(r->GetHandlePosition(2), c.c2.x, c.c2.y, c.what);
    }
    CGraRectRef r = Rect(P(0, 0), P(10, 4));
    double v = 0;
    EXPECT_TRUE(r->GetPropertyValue(0, v));
    EXPECT_EQ(5, v);
    EXPECT_TRUE(r->GetPropertyValue(5, v));
    EXPECT_EQ(4, v);
    // The inset: negative gives 0.0 and a sharp corner; nothing without a
    // corner.
    EXPECT_TRUE(r->SetPropertyValue(9, 3));
    EXPECT_EQ(0.0, Inset(r));
    r->SetDefinition(30, Corner(112, 1.0));
    EXPECT_TRUE(r->SetPropertyValue(9, 3));
    EXPECT_EQ(3.0, Inset(r));
    EXPECT_TRUE(r->SetPropertyValue(9, -1));
    EXPECT_EQ(0.0, Inset(r));
    EXPECT_EQ(110, Def<CCornerDefRef>(r, 30)->GetValue());
    // The marks of the properties on the page.
    DPoint a, b;
    int kind = -1;
    EXPECT_TRUE(r->GetPropertyHandles(6, a, b, kind));
    EXPECT_EQ(4, kind);
    ExpectPoint(a, 0, 4, "c1");
    ExpectPoint(b, 10, 4, "c2");
    EXPECT_TRUE(r->GetPropertyHandles(8, a, b, kind));
    EXPECT_EQ(7, kind);
    ExpectPoint(b, 10, 0, "c3");
    EXPECT_FALSE(r->GetPropertyHandles(10, a, b, kind));
    EXPECT_EQ(0, kind);
}

TEST_F(CGraRectTest, TheDebuggingText)
{
    CGraRectRef r = Rect(P(1, 2), P(4, 8));
    r->SetDefinition(30, Corner(112, 2.75));
    ZuStringRef out;
    EXPECT_TRUE(r->GetDebugText(out));
    EXPECT_EQ(0u, Text(out).find("  X="));
    EXPECT_NE(std::string::npos, Text(out).find(" dX="));
    EXPECT_NE(std::string::npos, Text(out).find(" a="));
    EXPECT_EQ(Text(out).size() - 4, Text(out).find(" r=2"));
}

// ---- In the interpreter

TEST_F(CGraRectTest, TheBoxCoversTheStrokeAndTheShadow)
{
    Live(80, 80);
    CGraRectRef r = Rect(P(10, 10), P(40, 30));
    Def<CPenDefRef>(r, 10)->SetWidth(4.0);
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    DRect box = r->GetBoundingBox();
    ExpectBox(box, 8, 8, 42, 32, 1.0);
    r->SetDefinition(CGraObject::SHADOW_POSITION, ShadowAt(CPositionDef::BOTTOM_RIGHT, 5, 5));
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    box = r->GetBoundingBox();
    EXPECT_NEAR(47, box.x2, 1.0);
    EXPECT_NEAR(3, box.y1, 1.0);
}

TEST_F(CGraRectTest, HitsInTheInterpreter)
{
    Live(80, 80);
    CGraRectRef r = Rect(P(10, 10), P(40, 30));
    ASSERT_TRUE(r->UpdateBoundingBox(port));
    // A rectangle has no segments to hit.
    ExpectHits(r,
               {
                   {"inside", {25, 20}, 0.0, 1, true, -1},
                   {"inside, fill not allowed", {25, 20}, 0.0, 0, false, -1},
                   {"inside an invisible fill", {25, 20}, 1.0, 1, false, -1},
                   {"on the stroke of an invisible fill", {10, 20}, 1.0, 1, true, -1},
                   {"outside the box", {60, 60}, 0.0, 1, false, -1},
               },
               P(60, 60));
}

} // namespace
