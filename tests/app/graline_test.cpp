// The straight line: creation and constraint, handles and marks, the nine
// properties, transforms, definitions by kind, the PostScript it sends, its
// box and hits in the interpreter, and its stored record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/graline.h"
#include "app/misc.h"
#include "app/positiondef.h"
#include "app/view.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

// A line that stores a colour where its pen belongs; its class name has the
// line's length, so that a test can rename it in the stream.
ZU_HANDLE(CGraLinX, CGraLine)
class CGraLinX : public CGraLine {
    ZU_CLASS(CGraLinX, CGraLine)
public:
    CGraLinX() {}

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CGraObject::StoreInstance(s);
        s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
        s << stroke_colour << brush << pulsar << stroke_colour << ZuStorageSync::mark;
        s << start.x << start.y << end.x << end.y << ZuStorageSync::mark;
        s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CGraLinX)
ZU_IMPLEMENT_CLASS(CGraLinX, "tests/app/graline_test", ZU_CLASS_PLAIN)

namespace {

class CGraLineTest : public GraTest {
protected:
    static CGraLineRef Line(DPoint a, DPoint b)
    {
        CGraLineRef l = Make<CGraLineRef>();
        l->SetHandlePosition(0, a);
        l->SetHandlePosition(1, b);
        return l;
    }
};

TEST_F(CGraLineTest, ANewLineHasAPenAColourAndTwoHandles)
{
    CGraLineRef l = Make<CGraLineRef>();
    ZuStringRef name;
    EXPECT_TRUE(l->GetTypeName(name));
    EXPECT_EQ("Droite", Text(name));
    EXPECT_EQ(20, l->GetIconId(0));
    EXPECT_EQ(30, l->GetIconId(1));
    EXPECT_EQ(-1, l->GetIconId(2));
    EXPECT_EQ(0, l->GetEditMode());
    EXPECT_EQ(1, l->IsEditing());
    EXPECT_EQ(2, l->GetHandleCount());
    for (int kind : {10, 15}) {
        ZuObjectRef d;
        EXPECT_TRUE(l->GetDefinition(kind, d));
        EXPECT_TRUE(d.IsValid()) << kind;
    }
    for (int kind : {11, 12, 100}) {
        ZuObjectRef d;
        EXPECT_TRUE(l->GetDefinition(kind, d));
        EXPECT_TRUE(d.IsInvalid()) << kind;
    }
    int kinds[16];
    l->GetDefinitionKinds(kinds);
    const int expected[] = {10, 11, 12, 15, 100, 101, 105, 0};
    EXPECT_EQ(0, std::memcmp(kinds, expected, sizeof expected));
    EXPECT_TRUE(NewGraObject(GetGraObjectRuntime(10))->IsKindOf(CGraLineRef::RetRuntime()));
}

TEST_F(CGraLineTest, MouseCreationAndTheConstraint)
{
    struct Case {
        const char* what;
        int flags;
        DPoint to;
        DPoint end;
    } const cases[] = {
        {"free", 0, {3, 7}, {3, 7}},
        {"equal distances: horizontal", 2, {4, -4}, {4, 0}},
        {"flatter: horizontal", 2, {5, 2}, {5, 0}},
        {"steeper: vertical", 2, {2, -5}, {0, -5}},
    };
    for (const Case& c : cases) {
        CGraLineRef l = Make<CGraLineRef>();
        const DPoint pressed = P(0, 0);
        EXPECT_TRUE(l->SetPoints(&pressed, 1));
        EXPECT_FALSE(l->DragPoint(c.to, c.flags)) << c.what;
        ExpectPoint(l->GetHandlePosition(0), 0, 0, c.what);
        ExpectPoint(l->GetHandlePosition(1), c.end.x, c.end.y, c.what);
    }
    // The reference is the start for which 1, else the end.
    CGraLineRef l = Line(P(0, 0), P(10, 10));
    DPoint p = P(13, 11);
    l->ConstrainPoint(2, 0, p);
    ExpectPoint(p, 13, 10, "from the end");
}

TEST_F(CGraLineTest, HandlesChosenAndSelected)
{
    CGraLineRef l = Line(P(1, 2), P(3, 4));
    EXPECT_EQ(2, l->GetHandleType(0));
    EXPECT_EQ(0, l->GetHandleType(2));
    l->MoveHandle(1, P(5, 6));
    ExpectPoint(l->GetHandlePosition(1), 5, 6, "moved");
    EXPECT_EQ(9, l->GetHandleType(1));
    DPoint out;
    EXPECT_TRUE(l->GetHandle(0, out));
    EXPECT_FALSE(l->GetHandle(2, out));
    // Marks only while editing.
    l->SetEditing(0);
    l->SelectHandle(0);
    EXPECT_FALSE(l->IsHandleSelected(0));
    l->SetEditing(1);
    l->SelectHandle(0);
    EXPECT_TRUE(l->IsHandleSelected(0));
    EXPECT_FALSE(l->IsHandleSelected(1));
    EXPECT_FALSE(l->IsHandleSelected(7));
    // A new edit mode forgets the marks and the chosen handle.
    EXPECT_TRUE(l->SetEditMode(4));
    EXPECT_EQ(4, l->GetEditMode());
    EXPECT_FALSE(l->IsHandleSelected(0));
    EXPECT_EQ(2, l->GetHandleType(1));
}

TEST_F(CGraLineTest, ThePropertyTable)
{
    const std::vector<PropertyRow> rows = {
        {"Position X", "Position horizontale", 0x821, 0, -2000.0, 2000.0, 0.0},
        {"Position Y", "Position verticale", 0x8C0, 0, -2000.0, 2000.0, 0.0},
        {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1.0, 2.0, 1.0},
        {"Point X", "Position horizontale du point", 0x821, 0, -2000.0, 2000.0, 0.0},
        {"Point Y", "Position verticale du point", 0x842, 0, -2000.0, 2000.0, 0.0},
        {"Longueur dX", "Longueur horizontale", 0x821, 0, -2000.0, 2000.0, 0.0},
        {"Longueur dY", "Longueur verticale", 0x842, 0, -2000.0, 2000.0, 0.0},
        {"Longueur", "Longueur effective", 0x801, 0, -2000.0, 2000.0, 0.0},
        {"Inclinaison", "Inclinaison par-rapport \xe0 l'horizontale", 0x880, 13, 0.0, 6.283185307,
         0.3926990816875},
    };
    CGraLineRef l = Make<CGraLineRef>();
    ExpectPropertyTable(l, rows);
    int layout[15];
    l->GetPropertyLayout(0, 0, 0, 0, layout);
    const int words[15] = {8, 0, 0, -2, -6, 30, 0, 0, -2, -3, 78, 0, 0, -2, -1};
    EXPECT_EQ(0, std::memcmp(layout, words, sizeof words));
}

TEST_F(CGraLineTest, PropertiesAddressTheChosenPoint)
{
    CGraLineRef l = Line(P(0, 0), P(3, 4));
    double v = 0;
    // No chosen point: 2 to 8 answer false, setting 3 to 8 too.
    for (int n = 2; n < 9; n++)
        EXPECT_FALSE(l->GetPropertyValue(n, v)) << n;
    EXPECT_FALSE(l->SetPropertyValue(3, 1.0));
    DPoint a, b;
    int kind = 0;
    EXPECT_FALSE(l->GetPropertyHandles(2, a, b, kind));
    EXPECT_TRUE(l->GetPropertyHandles(0, a, b, kind));
    EXPECT_EQ(2, kind);
    ExpectPoint(a, 1.5, 2, "middle");

    // "Choix point": truncated, less one, held to -1 .. 1.
    struct Choice {
        double value;
        int handle;
    } const choices[] = {{5.7, 1}, {1.0, 0}, {1.9, 0}, {0.0, -1}, {-3.0, -1}, {2.0, 1}};
    for (const Choice& c : choices) {
        EXPECT_TRUE(l->SetPropertyValue(2, c.value)) << c.value;
        const bool chosen = l->GetPropertyValue(2, v);
        EXPECT_EQ(c.handle != -1, chosen) << c.value;
        if (chosen) {
            EXPECT_EQ(c.handle + 1, v) << c.value;
        }
    }
    ExpectPoint(l->GetHandlePosition(1), 3, 4, "choice moves nothing");

    // With the end chosen: C = (3, 4), R = (0, 0).
    const double expected[] = {1.5, 2, 2, 3, 4, 3, 4, 5, std::atan2(4.0, 3.0)};
    for (int n = 0; n < 9; n++) {
        ASSERT_TRUE(l->GetPropertyValue(n, v)) << n;
        EXPECT_NEAR(expected[n], v, 1e-9) << n;
    }
    const int kinds[] = {2, 3, 1, 2, 3, 5, 6, 4, 7};
    for (int n = 0; n < 9; n++) {
        ASSERT_TRUE(l->GetPropertyHandles(n, a, b, kind)) << n;
        EXPECT_EQ(kinds[n], kind) << n;
    }
    ExpectPoint(a, 0, 0, "R");
    ExpectPoint(b, 3, 4, "C");
}

TEST_F(CGraLineTest, SettingPropertiesMovesThePoints)
{
    struct Case {
        const char* what;
        int chosen; // handle + 1
        int n;
        double value;
        bool ok;
        DPoint start, end;
    } const cases[] = {
        {"position X moves both", 0, 0, 10, true, {8.5, 0}, {11.5, 4}},
        {"position Y moves both", 0, 1, -1, true, {0, -3}, {3, 1}},
        {"point X", 2, 3, 7, true, {0, 0}, {7, 4}},
        {"point Y of the start", 1, 4, 1, true, {0, 1}, {3, 4}},
        {"length dX", 2, 5, -2, true, {0, 0}, {-2, 4}},
        {"length dY", 2, 6, 0, true, {0, 0}, {3, 0}},
        {"length along the line", 2, 7, 10, true, {0, 0}, {6, 8}},
        {"length 0 joins the points", 2, 7, 0, false, {0, 0}, {3, 4}},
        {"inclination", 2, 8, 1.5707963267948966, true, {0, 0}, {0, 5}},
    };
    for (const Case& c : cases) {
        CGraLineRef l = Line(P(0, 0), P(3, 4));
        l->SetPropertyValue(2, c.chosen);
        EXPECT_EQ(c.ok, l->SetPropertyValue(c.n, c.value)) << c.what;
        ExpectPoint(l->GetHandlePosition(0), c.start.x, c.start.y, c.what);
        ExpectPoint(l->GetHandlePosition(1), c.end.x, c.end.y, c.what);
        double v = 0;
        if (c.ok && c.n != 7 && c.n != 8) {
            EXPECT_TRUE(l->GetPropertyValue(c.n, v));
            EXPECT_NEAR(c.value, v, 1e-9) << c.what;
        }
    }
    // Coinciding points: a length puts the chosen point to the right.
    CGraLineRef l = Line(P(2, 2), P(2, 2));
    l->SetPropertyValue(2, 2);
    EXPECT_TRUE(l->SetPropertyValue(7, 4));
    ExpectPoint(l->GetHandlePosition(1), 6, 2, "to the right");
    // A value that is no number changes nothing.
    EXPECT_FALSE(l->SetPropertyValue(0, std::nan("")));
    EXPECT_FALSE(l->SetPropertyValue(2, std::nan("")));
    double v = 0;
    EXPECT_TRUE(l->GetPropertyValue(2, v));
    EXPECT_EQ(2.0, v);
}

TEST_F(CGraLineTest, PropertiesInUserCoordinatesStayOnThePage)
{
    CDocumentRef doc = Make<CDocumentRef>();
    CViewRef view = Make<CViewRef>();
    doc->SetPageSize(200.0, 100.0);
    view->origin_x = 10.0;
    view->origin_y = 20.0;
    SetCurrentDocument(doc, view);
    // user = page + (90, 30)
    CGraLineRef l = Line(P(0, 0), P(10, 0));
    double v = 0;
    EXPECT_TRUE(l->GetPropertyValue(0, v));
    EXPECT_NEAR(95.0, v, 1e-9);
    EXPECT_TRUE(l->SetPropertyValue(0, 100.0));
    ExpectPoint(l->GetHandlePosition(0), 5, 0, "moved in page units");
    // Off the page (half width 100): refused, nothing moved.
    EXPECT_FALSE(l->SetPropertyValue(0, 200.0));
    ExpectPoint(l->GetHandlePosition(0), 5, 0, "kept");
}

TEST_F(CGraLineTest, TransformsStartFromTheSavedGeometry)
{
    CGraLineRef l = Line(P(0, 0), P(10, 10));
    Pen(l)->SetWidth(2.0);
    ChangeRecord scale = {};
    scale.kind = 2;
    scale.a = P(0, 0);
    scale.c = P(2, -3);
    EXPECT_TRUE(l->SaveGeometry(scale));
    EXPECT_TRUE(l->Transform(scale, 2));
    ExpectPoint(l->GetHandlePosition(1), 20, -30, "scaled");
    EXPECT_DOUBLE_EQ(5.0, Pen(l)->GetWidth());
    // Again: from the saved points and width, not the scaled ones.
    EXPECT_TRUE(l->Transform(scale, 2));
    ExpectPoint(l->GetHandlePosition(1), 20, -30, "scaled again");
    EXPECT_DOUBLE_EQ(5.0, Pen(l)->GetWidth());
    // Without flag 2 the pen keeps its width.
    l = Line(P(0, 0), P(10, 10));
    Pen(l)->SetWidth(2.0);
    l->SaveGeometry(scale);
    l->Transform(scale, 0);
    EXPECT_DOUBLE_EQ(2.0, Pen(l)->GetWidth());

    // A selected end stays put during a move; the pen is not scaled.
    l = Line(P(0, 0), P(10, 10));
    Pen(l)->SetWidth(2.0);
    l->SelectHandle(1);
    ChangeRecord move = {};
    move.kind = 1;
    move.a = P(0, 0);
    move.b = P(5, 1);
    l->SaveGeometry(move);
    EXPECT_TRUE(l->Transform(move, 2));
    ExpectPoint(l->GetHandlePosition(0), 5, 1, "moved start");
    ExpectPoint(l->GetHandlePosition(1), 10, 10, "selected end");
    l->Transform(scale, 2);
    EXPECT_DOUBLE_EQ(2.0, Pen(l)->GetWidth());
}

TEST_F(CGraLineTest, DefinitionsAreClonedAndPruned)
{
    CGraLineRef l = Make<CGraLineRef>();
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(1.25);
    EXPECT_TRUE(l->SetDefinition(10, pen));
    EXPECT_FALSE(Pen(l) == pen);
    EXPECT_EQ(1.25, Pen(l)->GetWidth());
    // A definition of another class is refused; the pen stays.
    EXPECT_FALSE(l->SetDefinition(10, Make<CColorDefRef>()));
    EXPECT_FALSE(l->SetDefinition(15, pen));
    EXPECT_EQ(1.25, Pen(l)->GetWidth());
    // Shadow kinds go to the base.
    EXPECT_TRUE(l->SetDefinition(100, Make<CPositionDefRef>()));

    // A fancy pen needs its brush and pulsar; a plain one lets them go.
    pen->SetValue(CPenDef::KIND_FANCY);
    l->SetDefinition(10, pen);
    int kinds[8] = {};
    int count = 0;
    EXPECT_TRUE(l->GetMissingDefinitions(kinds, &count));
    ASSERT_GE(count, 2);
    EXPECT_EQ(11, kinds[0]);
    EXPECT_EQ(12, kinds[1]);
    l->SetDefinition(11, Make<CPatternDefRef>());
    l->SetDefinition(12, Make<CPulsarDefRef>());
    l->PruneDefinitions();
    ZuObjectRef d;
    l->GetDefinition(11, d);
    EXPECT_TRUE(d.IsValid());
    pen->SetValue(CPenDef::KIND_PLAIN);
    l->SetDefinition(10, pen);
    l->PruneDefinitions();
    l->GetDefinition(11, d);
    EXPECT_TRUE(d.IsInvalid());
    l->GetDefinition(12, d);
    EXPECT_TRUE(d.IsInvalid());
}

TEST_F(CGraLineTest, DrawingSendsMovetoLinetoStroke)
{
    Record();
    CGraLineRef l = Line(P(10, 20), P(30, 40));
    EXPECT_TRUE(l->Draw(port, 3)); // writes the port's state first
    recorder->Clear();
    EXPECT_TRUE(l->Draw(port, 3));
    EXPECT_EQ("10.000000 20.000000 moveto 30.000000 40.000000 lineto stroke \n", recorder->All());

    // The shadow: only with 4 and without 8 and 16, a position other than
    // "Pas d'ombre" and something of the strokes included.
    struct Case {
        int flags;
        int position;
        double include;
        bool drawn;
    } const cases[] = {
        {4, 119, 1.0, true},   {0, 119, 1.0, false}, {3, 119, 1.0, false}, {12, 119, 1.0, false},
        {20, 119, 1.0, false}, {4, 120, 1.0, false}, {4, 119, 0.0, false},
    };
    for (const Case& c : cases) {
        CGraLineRef s = Line(P(10, 20), P(30, 40));
        CPositionDefRef where = Make<CPositionDefRef>();
        where->SetValue(c.position);
        where->SetOffsetX(2.0);
        where->SetInclude(c.include);
        s->SetDefinition(100, where);
        s->SetDefinition(105, Make<CColorDefRef>());
        recorder->Clear();
        EXPECT_TRUE(s->DrawShadow(port, c.flags));
        EXPECT_EQ(c.drawn, recorder->All().find("lineto stroke") != std::string::npos)
            << c.flags << " " << c.position << " " << c.include;
        // The port's view goes back where it was.
        CGraTransform t;
        port->GetTransform(t);
        EXPECT_EQ(0.0, t.dx);
    }
}

TEST_F(CGraLineTest, BoxAndHitsWithTheRecorder)
{
    Record();
    CGraLineRef l = Line(P(0, 0), P(10, 10));
    recorder->answers = {BoxAnswer(-1, -2, 11, 12)};
    EXPECT_TRUE(l->UpdateBoundingBox(port));
    EXPECT_NE(std::string::npos, recorder->All().find("strokepath {pathbbox} stopped"));
    DRect box = l->GetBoundingBox();
    EXPECT_EQ(-1.0, box.x1);
    EXPECT_EQ(12.0, box.y2);
    // Widened on the shadow's side.
    CPositionDefRef where = Make<CPositionDefRef>();
    where->SetValue(119);
    where->SetOffsetX(3.0);
    l->SetDefinition(100, where);
    recorder->answers = {BoxAnswer(-1, -2, 11, 12)};
    EXPECT_TRUE(l->UpdateBoundingBox(port));
    const DPoint offset = where->GetShadowOffset();
    box = l->GetBoundingBox();
    EXPECT_EQ(offset.x > 0 ? 14.0 : 11.0, box.x2);
    // No answer: false, the box kept.
    recorder->answers.clear();
    EXPECT_FALSE(l->UpdateBoundingBox(port));
    EXPECT_EQ(box.x2, l->GetBoundingBox().x2);

    // Outside the box: a miss without a word to the interpreter.
    recorder->Clear();
    EXPECT_FALSE(l->HitTest(port, P(30, 30), 1.0, 0));
    EXPECT_TRUE(recorder->sends.empty());
    recorder->answers = {BoolAnswer(true)};
    EXPECT_TRUE(l->HitTest(port, P(5, 5), 1.0, 0));
    EXPECT_NE(std::string::npos, recorder->All().find("instroke"));
    EXPECT_EQ(std::string::npos, recorder->All().find("ineofill"));
}

TEST_F(CGraLineTest, BoxAndHitsInTheInterpreter)
{
    Live(80, 80, 4.0);
    CGraLineRef l = Line(P(0, 0), P(10, 10));
    Pen(l)->SetWidth(0.5);
    ASSERT_TRUE(l->UpdateBoundingBox(port));
    // Half the pen across a diagonal: 0.177; a device pixel is 0.25.
    const DRect box = l->GetBoundingBox();
    ExpectBox(box, -0.177, -0.177, 10.177, 10.177, 0.25);
    EXPECT_TRUE(l->HitTest(port, P(5, 6), 1.0, 0));
    EXPECT_FALSE(l->HitTest(port, P(3, 7), 1.0, 0));

    // A horizontal line with a wide pen: the box is the stroke's.
    CGraLineRef h = Line(P(2, 5), P(12, 5));
    Pen(h)->SetWidth(2.0);
    ASSERT_TRUE(h->UpdateBoundingBox(port));
    ExpectBox(h->GetBoundingBox(), 2.0, 4.0, 12.0, 6.0, 0.25);
}

TEST_F(CGraLineTest, CopyAndStoredRecord)
{
    CGraLineRef l = Line(P(1.5, -2), P(30, 40.25));
    l->SetEditMode(7);
    l->SetEditing(0);
    Pen(l)->SetWidth(0.75);
    l->SetDefinition(12, Make<CPulsarDefRef>());
    Record();
    recorder->answers = {BoxAnswer(1, 2, 3, 4)};
    ASSERT_TRUE(l->UpdateBoundingBox(port));
    l->MoveHandle(1, P(30, 40.25));
    l->SetEditing(1);
    l->SelectHandle(0);
    l->SetEditing(0);
    const ChangeRecord none = {};
    l->SaveGeometry(none);

    for (int round = 0; round < 2; round++) {
        CGraLineRef back = CGraLineRef(StoredOrCopied(l, round));
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(7, back->GetEditMode());
        EXPECT_EQ(0, back->IsEditing());
        ExpectPoint(back->GetHandlePosition(0), 1.5, -2, "start");
        ExpectPoint(back->GetHandlePosition(1), 30, 40.25, "end");
        const DRect box = back->GetBoundingBox();
        EXPECT_EQ(1.0, box.x1);
        EXPECT_EQ(4.0, box.y2);
        EXPECT_EQ(0.75, Pen(back)->GetWidth());
        EXPECT_FALSE(Pen(back) == Pen(l));
        ZuObjectRef d;
        back->GetDefinition(11, d);
        EXPECT_TRUE(d.IsInvalid()); // stored empty, back empty
        back->GetDefinition(12, d);
        EXPECT_TRUE(d.IsValid());
        back->SetEditing(1);
        if (round == 0) {
            // Chosen handle and marks come back fresh.
            EXPECT_EQ(2, back->GetHandleType(1));
            EXPECT_FALSE(back->IsHandleSelected(0));
        } else {
            EXPECT_EQ(9, back->GetHandleType(1));
            EXPECT_TRUE(back->IsHandleSelected(0));
        }
    }
}

TEST_F(CGraLineTest, BadRecordsAreRefusedWithTheStreamError)
{
    CGraLineRef l = Line(P(1, 2), P(3, 4));
    const std::vector<unsigned char> whole = Stored(l);
    // Cut anywhere: the stream error, never an abort, no object.
    for (size_t n = 0; n < whole.size(); n++) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(n));
        CGraObjectRef back;
        EXPECT_THROW(back = Restored(cut), ZuExcStream) << n;
        EXPECT_TRUE(back.IsInvalid());
    }
    // A colour where the pen belongs.
    CGraLinXRef wrong = Make<CGraLinXRef>();
    std::vector<unsigned char> bytes = Stored(wrong);
    const std::string text(bytes.begin(), bytes.end());
    const size_t at = text.find("CGraLinX");
    ASSERT_NE(std::string::npos, at);
    bytes[at + 7] = 'e';
    EXPECT_THROW(Restored(bytes), ZuExcStream);
}

TEST_F(CGraLineTest, DebugTextInTheDocumentUnit)
{
    CGraLineRef l = Line(P(0, 0), P(3, 4));
    ZuStringRef text;
    EXPECT_TRUE(l->GetDebugText(text));
    std::string expected;
    const struct {
        const char* label;
        double value;
    } parts[] = {{"  X=", 0}, {" Y=", 0}, {" dX=", 3}, {" dY=", 4}, {" lg=", 5}};
    for (const auto& part : parts) {
        char number[64];
        FormatInUnit(number, sizeof number, part.value, 0);
        expected += std::string(part.label) + number;
    }
    EXPECT_EQ(expected, Text(text));
}

} // namespace
