// The arc of circle or ellipse: creation and the circle constraint, its
// handles, transforms, properties, the path it appends, fills and strokes,
// its box and hits in the interpreter, and its stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/graarc.h"
#include "app/misc.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// An arc whose record is of an older writer (no inclination group), holds
// an arrow head where the arc definition belongs, or ends its groups before
// any definition; its class name has the arc's length, so that a test can
// rename it in the stream.
ZU_HANDLE(CGraArX, CGraArc)
class CGraArX : public CGraArc {
    ZU_CLASS(CGraArX, CGraArc)
public:
    CGraArX() {}
    static bool wrong_definition;
    static bool no_definitions;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        if (no_definitions) {
            s << ZuStorageSync::mark << ZuStorageSync::mark;
            s << centre.x << centre.y << radii.x << radii.y << start_angle << end_angle
              << ZuStorageSync::mark;
            s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
            return;
        }
        s << pen << brush << pulsar << stroke_colour << ZuStorageSync::mark;
        s << fill << fill_brush << fill_pulsar << fill_colour;
        if (wrong_definition)
            s << ZuNew<CArrowDef>();
        else
            s << arc;
        s << ZuStorageSync::mark;
        s << centre.x << centre.y << radii.x << radii.y << start_angle << end_angle
          << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraArX)
ZU_IMPLEMENT_CLASS(CGraArX, "tests/app/graarc_test", ZU_CLASS_PLAIN)
bool CGraArX::wrong_definition = false;
bool CGraArX::no_definitions = false;

namespace {

const double kPi = 3.141592653589793;

class CGraArcTest : public GraTest {
protected:
    // An arc about c with radii r, of the shape and kind of arc definition.
    static CGraArcRef Arc(DPoint c, DPoint r, int shape = 223, int kind = 221)
    {
        CGraArcRef a = Make<CGraArcRef>();
        CArcDefRef def = Make<CArcDefRef>();
        def->SetValue(kind);
        def->SetMode(shape);
        EXPECT_TRUE(a->SetDefinition(51, def));
        a->SetPropertyValue(0, c.x);
        a->SetPropertyValue(1, c.y);
        a->SetPropertyValue(2, r.x);
        a->SetPropertyValue(3, r.y);
        return a;
    }
    static double Value(const CGraArcRef& a, int n)
    {
        double v = 0;
        EXPECT_TRUE(a->GetPropertyValue(n, v)) << n;
        return v;
    }
};

TEST_F(CGraArcTest, ANewArcAndItsDefinitions)
{
    CGraArcRef a = Make<CGraArcRef>();
    ZuStringRef name;
    EXPECT_TRUE(a->GetTypeName(name));
    EXPECT_STREQ("Arc cercle/ellipse", name->AccessLatin());
    EXPECT_EQ(28, a->GetIconId(0));
    EXPECT_EQ(38, a->GetIconId(1));
    EXPECT_EQ(-1, a->GetIconId(5));
    EXPECT_NEAR(1.57079632675, Value(a, 4), 1e-12);
    EXPECT_NEAR(6.283185307, Value(a, 5), 1e-12);
    EXPECT_EQ(0.0, Value(a, 6));
    int kinds[20];
    a->GetDefinitionKinds(kinds);
    const int expected[] = {10, 11, 12, 15, 20, 21, 22, 25, 51, 100, 102, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(kinds, expected, sizeof expected));
    for (int kind : {10, 15, 20, 25, 51})
        EXPECT_TRUE(Def<ZuObjectRef>(a, kind).IsValid()) << kind;
    for (int kind : {11, 12, 21, 22})
        EXPECT_TRUE(Def<ZuObjectRef>(a, kind).IsInvalid()) << kind;
    // Each slot takes its class only.
    EXPECT_FALSE(a->SetDefinition(51, Make<CArrowDefRef>()));
    EXPECT_FALSE(a->SetDefinition(20, Make<CColorDefRef>()));
    EXPECT_TRUE(a->SetDefinition(25, Make<CColorDefRef>()));
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(18))->IsKindOf(CGraArcRef::RetRuntime()));

    // A special fill needs its brush and pulsar; other fills let them go.
    CMotifDefRef special = Make<CMotifDefRef>();
    special->SetValue(CMotifDef::KIND_SPECIAL);
    a->SetDefinition(20, special);
    int missing[8] = {};
    int count = 0;
    a->GetMissingDefinitions(missing, &count);
    ASSERT_EQ(2, count);
    EXPECT_EQ(21, missing[0]);
    EXPECT_EQ(22, missing[1]);
    a->SetDefinition(21, Make<CPatternDefRef>());
    a->SetDefinition(22, Make<CPulsarDefRef>());
    a->PruneDefinitions();
    EXPECT_TRUE(Def<ZuObjectRef>(a, 21).IsValid());
    a->SetDefinition(20, Make<CMotifDefRef>());
    a->PruneDefinitions();
    EXPECT_TRUE(Def<ZuObjectRef>(a, 21).IsInvalid());
    EXPECT_TRUE(Def<ZuObjectRef>(a, 22).IsInvalid());
}

TEST_F(CGraArcTest, DrawingWithTheMouseAndTheCircleConstraint)
{
    struct Case {
        const char* what;
        int kind;
        DPoint to;
        DPoint radii;
    } const cases[] = {
        {"circle", 220, {3, -5}, {5, -5}},
        {"circle, wider", 220, {-6, 2}, {-6, 6}},
        {"circle, no height counts as negative", 220, {4, 0}, {4, -4}},
        {"ellipse", 221, {3, -5}, {3, -5}},
    };
    for (const Case& c : cases) {
        CGraArcRef a = Arc(P(0, 0), P(0, 0), 223, c.kind);
        const DPoint pressed = P(10, 10);
        EXPECT_TRUE(a->SetPoints(&pressed, 1));
        EXPECT_FALSE(a->DragPoint(P(10 + c.to.x, 10 + c.to.y), 2)) << c.what;
        EXPECT_EQ(c.radii.x, Value(a, 2)) << c.what;
        EXPECT_EQ(c.radii.y, Value(a, 3)) << c.what;
    }
    // Turning an ellipse into a circle: ry as large as rx, its own sign.
    CGraArcRef a = Arc(P(0, 0), P(-4, -1), 223, 221);
    CArcDefRef circle = Make<CArcDefRef>();
    circle->SetValue(220);
    a->SetDefinition(51, circle);
    EXPECT_EQ(-4.0, Value(a, 2));
    EXPECT_EQ(-4.0, Value(a, 3));
}

TEST_F(CGraArcTest, HandlesByShape)
{
    CGraArcRef whole = Arc(P(0, 0), P(4, 2), 222);
    EXPECT_EQ(4, whole->GetHandleCount());
    CGraArcRef open = Arc(P(0, 0), P(4, 2), 223);
    EXPECT_EQ(7, open->GetHandleCount());
    const int types[] = {2, 2, 2, 2, 3, 3, 3, 0};
    for (int n = 0; n < 8; n++)
        EXPECT_EQ(types[n], open->GetHandleType(n)) << n;
    ExpectPoint(open->GetHandlePosition(0), 4, 2, "corner 0");
    ExpectPoint(open->GetHandlePosition(2), -4, -2, "corner 2");
    ExpectPoint(open->GetHandlePosition(4), 0, 2, "start at a quarter turn");
    ExpectPoint(open->GetHandlePosition(9), 0, 0, "none");

    // Corners resize about the centre, in the arc's own frame.
    CGraArcRef turned = Arc(P(10, 0), P(4, 2), 223);
    turned->SetPropertyValue(6, kPi / 2);
    ExpectPoint(turned->GetHandlePosition(0), 8, 4, "turned corner");
    turned->MoveHandle(1, P(13, 5)); // back in the frame: (5, -3)
    EXPECT_NEAR(5.0, Value(turned, 2), 1e-9);
    EXPECT_NEAR(3.0, Value(turned, 3), 1e-9);
    turned->MoveHandle(2, P(10, 0));
    EXPECT_NEAR(0.0, Value(turned, 2), 1e-9);
    // A flat ellipse leaves its angles alone.
    const double start = Value(turned, 4);
    turned->MoveHandle(4, P(20, 20));
    turned->MoveHandle(6, P(-20, 20));
    EXPECT_EQ(start, Value(turned, 4));
}

TEST_F(CGraArcTest, AngleHandlesAcrossZero)
{
    CGraArcRef a = Arc(P(0, 0), P(4, 4), 223);
    a->SetPropertyValue(4, 5.0);
    a->SetPropertyValue(5, 1.0);
    const double middle = (5.0 + 1.0 + 6.283185307) / 2;
    const DPoint m = a->GetHandlePosition(6);
    EXPECT_NEAR(4 * std::cos(middle), m.x, 1e-9);
    EXPECT_NEAR(4 * std::sin(middle), m.y, 1e-9);

    // Handle 6 turns the arc and keeps its span.
    const DPoint to = P(4 * std::cos(middle + 0.5), 4 * std::sin(middle + 0.5));
    a->MoveHandle(6, to);
    const double s = Value(a, 4);
    double e = Value(a, 5);
    if (e < s)
        e += 6.283185307;
    EXPECT_NEAR(2.283185307, e - s, 1e-6);
    EXPECT_NEAR(std::fmod(5.5, 6.283185307), s, 1e-6);

    // The ends take the angle of the point.
    a->MoveHandle(4, P(0, -4));
    EXPECT_NEAR(4.71238898, Value(a, 4), 1e-6);
    a->MoveHandle(5, P(-4, 0));
    EXPECT_NEAR(3.14159265, Value(a, 5), 1e-6);
    ExpectPoint(a->GetHandlePosition(5), -4, 0, "end handle");
}

TEST_F(CGraArcTest, TransformsKeepTheShapeOfAnInclinedArc)
{
    struct Case {
        const char* what;
        double inclination;
        DPoint factors;
        DPoint radii;
    } const cases[] = {
        {"level, (2, 1)", 0.0, {2, 1}, {8, 2}},
        {"a quarter turn, (2, 1)", kPi / 2, {2, 1}, {4, 4}},
        {"an eighth, (1, 1): unchanged", kPi / 4, {1, 1}, {4, 2}},
        {"an eighth, (2, 2): doubled", kPi / 4, {2, 2}, {8, 4}},
        {"an eighth, (3, 1)", kPi / 4, {3, 1}, {8, 4}},
    };
    for (const Case& c : cases) {
        CGraArcRef a = Arc(P(1, 1), P(4, 2));
        a->SetPropertyValue(6, c.inclination);
        Def<CPenDefRef>(a, 10)->SetWidth(1.0);
        ChangeRecord scale = {};
        scale.kind = 2;
        scale.a = P(0, 0);
        scale.c = c.factors;
        a->SaveGeometry(scale);
        EXPECT_TRUE(a->Transform(scale, 2));
        EXPECT_TRUE(a->Transform(scale, 2)); // from the saved geometry again
        EXPECT_NEAR(c.radii.x, Value(a, 2), 1e-9) << c.what;
        EXPECT_NEAR(c.radii.y, Value(a, 3), 1e-9) << c.what;
        EXPECT_NEAR(c.factors.x, Value(a, 0), 1e-9) << c.what;
        EXPECT_NEAR((c.factors.x + c.factors.y) / 2, Def<CPenDefRef>(a, 10)->GetWidth(), 1e-12)
            << c.what;
    }
    // Rotation turns the inclination; a move only the centre.
    CGraArcRef a = Arc(P(1, 0), P(4, 2));
    ChangeRecord turn = {};
    turn.kind = 3;
    turn.c = P(0.5, 0);
    a->SaveGeometry(turn);
    a->Transform(turn, 0);
    EXPECT_NEAR(0.5, Value(a, 6), 1e-12);
    EXPECT_NEAR(std::cos(0.5), Value(a, 0), 1e-9);
    ChangeRecord move = {};
    move.kind = 1;
    move.b = P(2, 3);
    a->SaveGeometry(move);
    a->Transform(move, 2);
    EXPECT_NEAR(std::cos(0.5) + 2, Value(a, 0), 1e-9);
    EXPECT_EQ(4.0, Value(a, 2));
}

TEST_F(CGraArcTest, PropertiesAreSetDirectly)
{
    const char* const names[] = {"Position X",
                                 "Position Y",
                                 "Rayon X",
                                 "Rayon Y",
                                 "Angle d\xe9"
                                 "but",
                                 "Angle fin",
                                 "Orientation"};
    const int flags[] = {0x821, 0x8C0, 0x821, 0x842, 0x801, 0x802, 0x880};
    const int units[] = {0, 0, 0, 0, 13, 13, 13};
    CGraArcRef a = Arc(P(0, 0), P(2, 2), 223, 220);
    ASSERT_EQ(7, a->GetPropertyCount());
    for (int n = 0; n < 7; n++) {
        ZuStringRef name;
        int f = 0, u = 0, option = 0;
        EXPECT_TRUE(a->GetPropertyName(n, name));
        EXPECT_STREQ(names[n], name->AccessLatin());
        EXPECT_TRUE(a->GetPropertyFlags(n, f));
        EXPECT_EQ(flags[n], f);
        EXPECT_TRUE(a->GetPropertyUnit(n, u));
        EXPECT_EQ(units[n], u);
        EXPECT_TRUE(a->GetPropertyOption(n, option));
        EXPECT_EQ(-1, option);
    }
    // No circle constraint and no page check.
    EXPECT_TRUE(a->SetPropertyValue(2, 7.0));
    EXPECT_EQ(2.0, Value(a, 3));
    EXPECT_TRUE(a->SetPropertyValue(0, 1e6));
    EXPECT_EQ(1e6, Value(a, 0));
    EXPECT_FALSE(a->SetPropertyValue(7, 1.0));
    DPoint p, q;
    int kind = 0;
    EXPECT_TRUE(a->GetPropertyHandles(3, p, q, kind));
    EXPECT_EQ(6, kind);
    ExpectPoint(q, 1e6 + 7, 2, "corner");
    EXPECT_FALSE(a->GetPropertyHandles(7, p, q, kind));
}

TEST_F(CGraArcTest, AppendedPathAndDrawing)
{
    Record();
    CGraArcRef a = Arc(P(10, 20), P(4, 2), 222);
    a->SetPropertyValue(6, kPi / 6);
    port->BeginPath();
    recorder->Clear();
    a->AppendArc(port);
    // The literal numbers of the scales and the arc's centre are written
    // as the port writes them.
    const std::string appended =
        "10.000000 20.000000 translate 30.000000 rotate 1 0.500000 scale 4.000000 0.000000 "
        "moveto 0 0 4.000000 0.000000 360.000000 arc 1 2.000000 scale -30.000000 rotate "
        "-10.000000 -20.000000 translate \n";
    ASSERT_EQ(1u, recorder->sends.size());
    const std::string& sent = recorder->sends[0];
    ASSERT_GE(sent.size(), appended.size());
    EXPECT_EQ(appended, sent.substr(sent.size() - appended.size()));
    port->EndPath(false, false, false);

    // A radius of 0.0 appends nothing.
    a->SetPropertyValue(3, 0.0);
    port->BeginPath();
    recorder->Clear();
    a->AppendArc(port);
    EXPECT_EQ(std::string::npos, recorder->All().find("arc"));
    port->EndPath(false, false, false);

    // Outline drawing: the frame's six lines and, for an open arc, the two
    // radii, then the arc stroked, not filled.
    struct Case {
        int shape;
        int flags;
        size_t lines;
        bool filled;
        bool closed;
    } const cases[] = {
        {223, 8, 8, false, false}, {222, 16, 6, false, true}, {224, 7, 0, true, true},
        {225, 0, 0, false, true},  {223, 7, 0, true, false},
    };
    for (const Case& c : cases) {
        CGraArcRef shape = Arc(P(0, 0), P(4, 2), c.shape);
        shape->Draw(port, 7);
        recorder->Clear();
        EXPECT_TRUE(shape->Draw(port, c.flags));
        const std::string all = recorder->All();
        size_t lines = 0;
        for (size_t at = all.find("lineto stroke"); at != std::string::npos;
             at = all.find("lineto stroke", at + 1))
            lines++;
        EXPECT_EQ(c.lines, lines) << c.shape << " " << c.flags;
        EXPECT_EQ(c.filled, all.find("eofill") != std::string::npos) << c.shape << " " << c.flags;
        EXPECT_EQ(c.closed, all.find("closepath") != std::string::npos)
            << c.shape << " " << c.flags;
    }
}

TEST_F(CGraArcTest, FillsAndStrokesInTheInterpreter)
{
    Live(120, 120, 4.0);
    CGraArcRef a = Arc(P(15, 15), P(10, 6), 222, 221);
    a->SetPropertyValue(6, kPi / 2);
    Def<CPenDefRef>(a, 10)->SetWidth(1.0);
    ASSERT_TRUE(a->UpdateBoundingBox(port));
    // Turned a quarter: 6 across, 10 up, half the pen around.
    DRect box = a->GetBoundingBox();
    ExpectBox(box, 8.5, 4.5, 21.5, 25.5, 0.25);

    struct Case {
        const char* what;
        double fill_transparency;
        double stroke_transparency;
        DPoint at;
        int flags;
        bool hit;
    } const cases[] = {
        {"inside, fill asked", 0.0, 0.0, {15, 18}, 1, true},
        {"inside, fill not asked", 0.0, 0.0, {15, 18}, 0, false},
        {"inside, invisible fill", 1.0, 0.0, {15, 18}, 1, false},
        {"on the stroke, invisible fill", 1.0, 0.0, {15, 25}, 1, true},
        {"on the stroke, invisible stroke", 1.0, 1.0, {15, 25}, 1, false},
        {"in the box, off the ellipse", 0.0, 0.0, {21.2, 25.2}, 1, false},
        {"outside the box", 0.0, 0.0, {40, 40}, 1, false},
    };
    for (const Case& c : cases) {
        Def<CColorDefRef>(a, 25)->SetTransparency(c.fill_transparency);
        Def<CColorDefRef>(a, 15)->SetTransparency(c.stroke_transparency);
        EXPECT_EQ(c.hit, a->HitTest(port, c.at, 1.0, c.flags)) << c.what;
    }

    // The box of an open arc is that of its closed path.
    CGraArcRef open = Arc(P(15, 15), P(10, 10), 223, 220);
    open->SetPropertyValue(4, 0.0);
    open->SetPropertyValue(5, kPi / 2);
    Def<CPenDefRef>(open, 10)->SetWidth(0.0);
    ASSERT_TRUE(open->UpdateBoundingBox(port));
    box = open->GetBoundingBox();
    ExpectBox(box, 15.0, 15.0, 25.0, 25.0, 0.25);
}

TEST_F(CGraArcTest, StoredRecordAndCopy)
{
    CGraArcRef a = Arc(P(3, -4), P(5, 6), 225, 221);
    a->SetPropertyValue(4, 0.25);
    a->SetPropertyValue(5, 2.5);
    a->SetPropertyValue(6, 0.75);
    a->SetEditMode(3);
    a->SetEditing(0);
    Def<CPenDefRef>(a, 10)->SetWidth(0.3);
    a->SetDefinition(22, Make<CPulsarDefRef>());
    for (int round = 0; round < 2; round++) {
        CGraArcRef back = CGraArcRef(StoredOrCopied(a, round));
        ASSERT_TRUE(back.IsValid());
        const double values[] = {3, -4, 5, 6, 0.25, 2.5, 0.75};
        for (int n = 0; n < 7; n++)
            EXPECT_EQ(values[n], Value(back, n)) << n;
        EXPECT_EQ(3, back->GetEditMode());
        EXPECT_EQ(0, back->IsEditing());
        EXPECT_EQ(225, Def<CArcDefRef>(back, 51)->GetMode());
        EXPECT_EQ(0.3, Def<CPenDefRef>(back, 10)->GetWidth());
        EXPECT_TRUE(Def<ZuObjectRef>(back, 21).IsInvalid());
        EXPECT_TRUE(Def<ZuObjectRef>(back, 22).IsValid());
        EXPECT_FALSE(Def<ZuObjectRef>(back, 51) == Def<ZuObjectRef>(a, 51));
    }
}

TEST_F(CGraArcTest, OlderAndBadRecords)
{
    // An older writer ended before the inclination: 0.0.
    CGraArXRef old = Make<CGraArXRef>();
    old->SetPropertyValue(2, 4.0);
    old->SetPropertyValue(6, 1.0);
    CGraArX::wrong_definition = false;
    std::vector<unsigned char> bytes = Stored(old);
    std::string text(bytes.begin(), bytes.end());
    size_t at = text.find("CGraArX");
    ASSERT_NE(std::string::npos, at);
    bytes[at + 6] = 'c';
    CGraArcRef back(Restored(bytes));
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->IsA(CGraArcRef::RetRuntime()));
    EXPECT_EQ(4.0, Value(back, 2));
    EXPECT_EQ(0.0, Value(back, 6));

    // An arrow head where the arc definition belongs.
    CGraArX::wrong_definition = true;
    bytes = Stored(Make<CGraArXRef>());
    CGraArX::wrong_definition = false;
    text.assign(bytes.begin(), bytes.end());
    at = text.find("CGraArX");
    ASSERT_NE(std::string::npos, at);
    bytes[at + 6] = 'c';
    EXPECT_THROW(Restored(bytes), ZuExcStream);

    // Groups that end before their definitions: the arc keeps the ones it
    // starts with, distinct objects of their classes with default values.
    CGraArX::no_definitions = true;
    bytes = Stored(Make<CGraArXRef>());
    CGraArX::no_definitions = false;
    text.assign(bytes.begin(), bytes.end());
    at = text.find("CGraArX");
    ASSERT_NE(std::string::npos, at);
    bytes[at + 6] = 'c';
    back = CGraArcRef(Restored(bytes));
    ASSERT_TRUE(back.IsValid());
    const CGraArcRef fresh = Make<CGraArcRef>();
    EXPECT_EQ(Def<CPenDefRef>(fresh, 10)->GetWidth(), Def<CPenDefRef>(back, 10)->GetWidth());
    EXPECT_EQ(Def<CArcDefRef>(fresh, 51)->GetMode(), Def<CArcDefRef>(back, 51)->GetMode());
    for (int kind : {10, 15, 20, 25, 51})
        EXPECT_TRUE(Def<ZuObjectRef>(back, kind).IsValid()) << kind;
    EXPECT_FALSE(Def<ZuObjectRef>(back, 15) == Def<ZuObjectRef>(back, 25));
    EXPECT_TRUE(Def<ZuObjectRef>(back, 11).IsInvalid());

    // Cut anywhere.
    const std::vector<unsigned char> whole = Stored(Arc(P(1, 2), P(3, 4)));
    for (size_t n = 0; n < whole.size(); n++) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(n));
        EXPECT_THROW(Restored(cut), ZuExcStream) << n;
    }
}

TEST_F(CGraArcTest, DebugText)
{
    struct Case {
        int shape;
        const char* text;
    } const cases[] = {
        {222, "  X=1 Y=-2 rX=3 rY=4"},
        {223, "  X=1 Y=-2 rX=3 rY=4 d=91 a=343 (70%)"},
    };
    for (const Case& c : cases) {
        CGraArcRef a = Arc(P(1.5, -2.5), P(3.9, 4), c.shape);
        a->SetPropertyValue(4, 1.6);
        a->SetPropertyValue(5, 6.0);
        ZuStringRef text;
        EXPECT_TRUE(a->GetDebugText(text));
        EXPECT_STREQ(c.text, text->AccessLatin());
    }
}

} // namespace
