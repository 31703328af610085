// Shared helpers: units and number texts, points, rectangles, matrices, the
// change record, arrow heads and the definitions by kind.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "app/arrowdef.h"
#include "app/misc.h"
#include "tests/app/deftest.h"

namespace {

void ExpectPoint(const DPoint& want, const DPoint& got, double tolerance = 1e-9)
{
    EXPECT_NEAR(want.x, got.x, tolerance);
    EXPECT_NEAR(want.y, got.y, tolerance);
}

std::string InUnit(double mm, int code)
{
    char text[64];
    FormatInUnit(text, sizeof text, mm, code);
    return text;
}

std::string Number(double value, int decimals)
{
    char text[64];
    FormatNumber(text, sizeof text, value, decimals);
    return text;
}

TEST(MiscUnits, TableNamesFactorsAndDecimals)
{
    EXPECT_EQ(nullptr, GetUnitName(61));
    EXPECT_EQ(nullptr, GetUnitName(-1));
    EXPECT_STREQ("", GetUnitName(15));
    EXPECT_STREQ("", GetUnitName(0));
    EXPECT_STREQ("Millim\xe8tres", GetUnitName(23));
    EXPECT_STREQ("D\xe9"
                 "cim\xe9tres",
                 GetUnitName(25));
    EXPECT_STREQ("Pixels (300 dpi)", GetUnitName(51));
    EXPECT_EQ(25.4, GetUnitFactor(30));
    EXPECT_EQ(0.017453292519444445, GetUnitFactor(13));
    EXPECT_EQ(8, GetUnitDecimals(33));
    EXPECT_EQ(1.0, GetUnitFactor(60));
    EXPECT_EQ(2, GetUnitDecimals(60));
    // Without a current document, 0 stays 0: factor 1, two decimals.
    EXPECT_EQ(0, ResolveUnit(0));
    EXPECT_EQ(1.0, GetUnitFactor(ResolveUnit(0)));
    EXPECT_EQ(2, GetUnitDecimals(0));
    EXPECT_EQ(254.0, UnitToMm(10.0, 30));
    EXPECT_DOUBLE_EQ(10.0, MmToUnit(254.0, 30));
}

TEST(MiscUnits, FormatInUnitRoundsHalfAwayFromZero)
{
    struct Case {
        double mm;
        int code;
        const char* text;
    } const cases[] = {
        {12.345, 24, "1.235"}, {1.0, 23, "1.00"},   {-1.0, 23, "-1.00"},  {-1.234, 23, "-1.23"},
        {-1.235, 23, "-1.24"}, {1.235, 23, "1.24"}, {-0.001, 23, "0.00"}, {0.0, 23, "0.00"},
        {2.5, 10, "3"},        {-2.5, 10, "-3"},    {-0.4, 10, "0"},      {25.4, 30, "1.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, InUnit(c.mm, c.code)) << c.mm << " in " << c.code;
}

TEST(MiscUnits, FormatNumberCutsAfterTheDecimals)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    } const cases[] = {
        {12.987, 0, "12"}, {12.987, 2, "12.98"},    {-12.987, 1, "-12.9"},    {-0.004, 2, "0.00"},
        {-0.5, 0, "0"},    {1.5, 9, "1.500000000"}, {1.5, 12, "1.500000000"}, {3.0, -2, "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Number(c.value, c.decimals)) << c.value << " / " << c.decimals;
}

TEST(MiscUnits, FormatNumberNeverWritesBeyondItsRoom)
{
    // A huge value from a file has 300 digits before the point.
    char text[16];
    std::memset(text, 'x', sizeof text);
    FormatNumber(text, 8, 1e300, 2);
    EXPECT_STREQ("1000000", text);
    EXPECT_EQ('x', text[8]);
    char big[400];
    FormatNumber(big, sizeof big, -1e300, 2);
    EXPECT_EQ(std::size_t(1 + 301 + 3), std::strlen(big));
    char none = 'x';
    FormatNumber(&none, 0, 1.0, 2);
    EXPECT_EQ('x', none);
    FormatInUnit(text, 1, 5.0, 23);
    EXPECT_STREQ("", text);
}

TEST(MiscUnits, NumbersUseAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string const saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR"))
        GTEST_SKIP() << "no French locale installed";
    std::string const text = InUnit(12.345, 24);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ("1.235", text);
}

TEST(MiscGeometry, RectanglesNullAbsentAndEdgesIncluded)
{
    const DRect r{0, 0, 10, 5};
    const DRect null{3, 3, 3, 3};
    DRect u = UnionRect(null, r);
    EXPECT_TRUE(std::memcmp(&r, &u, sizeof r) == 0);
    u = UnionRect(null, null);
    EXPECT_EQ(0.0, u.x1 + u.y1 + u.x2 + u.y2);
    u = UnionRect(DRect{10, 5, 0, 0}, DRect{-1, 2, 1, 8});
    EXPECT_EQ(-1.0, u.x1);
    EXPECT_EQ(0.0, u.y1);
    EXPECT_EQ(10.0, u.x2);
    EXPECT_EQ(8.0, u.y2);
    DRect i = IntersectRect(r, DRect{10, 5, 20, 20});
    EXPECT_EQ(10.0, i.x1);
    EXPECT_EQ(5.0, i.y2);
    i = IntersectRect(r, DRect{11, 0, 20, 20});
    EXPECT_TRUE(IsRectNull(i));
    EXPECT_EQ(0.0, i.x1 + i.x2);
    EXPECT_TRUE(DoRectsIntersect(r, DRect{10, 5, 20, 20}));
    EXPECT_TRUE(IsPointInRect(DPoint{10, 0}, DRect{10, 5, 0, 0}));
    EXPECT_FALSE(IsPointInRect(DPoint{10.5, 0}, r));
    EXPECT_TRUE(IsRectInRect(DRect{1, 1, 2, 2}, r));
    EXPECT_FALSE(IsRectInRect(r, DRect{1, 1, 2, 2}));
    DRect f{10, 5, 0, 0};
    InflateRect(f, 1.0);
    EXPECT_EQ(11.0, f.x1);
    EXPECT_EQ(-1.0, f.x2);
    EXPECT_EQ(6.0, f.y1);
}

TEST(MiscGeometry, PointsAnglesAndCurves)
{
    const DPoint o{0, 0};
    ExpectPoint({0, 1}, RotatePoint({1, 0}, o, 1.5707963267948966));
    ExpectPoint({5, 3}, RotatePoint({5, 3}, {5, 3}, 2.0));
    EXPECT_NEAR(1.5707963267, AngleBetween(o, {1, 0}, {0, 2}), 1e-9);
    EXPECT_NEAR(3 * 1.5707963267, AngleBetween(o, {1, 0}, {0, -2}), 1e-9);
    EXPECT_NEAR(3.1415926535, AngleBetween(o, {1, 0}, {-3, 0}), 1e-12);
    EXPECT_NEAR(3 * 1.5707963267, AngleBetween(o, {0, 1}, {1, 0}), 1e-9);
    EXPECT_EQ(0.0, AngleBetween(o, o, {1, 0}));
    EXPECT_EQ(0.0, AngleBetween(o, {1, 0}, o));
    ExpectPoint({3, 0}, PointTowards(o, {10, 0}, 3));
    ExpectPoint({2, 2}, PointTowards({2, 2}, {2, 2}, 3));
    ExpectPoint({4, 6}, MirrorPoint({0, 0}, {2, 3}));
    ExpectPoint({0.5, 0}, PointRatio({0, 0}, {2, 0}, {1, 5}));
    ExpectPoint({0, 0}, BezierPoint({0, 0}, {1, 1}, {2, 1}, {3, 0}, 0.0));
    ExpectPoint({1.5, 0.75}, BezierPoint({0, 0}, {1, 1}, {2, 1}, {3, 0}, 0.5));
    EXPECT_DOUBLE_EQ(0.5, BezierNearest({0, 0}, {1, 1}, {2, 1}, {3, 0}, {1.5, 5}, 10));
    EXPECT_EQ(-1.0, BezierNearest({0, 0}, {1, 1}, {2, 1}, {3, 0}, {1.5, 5}, 0));
    DPoint x{-1, -1};
    EXPECT_TRUE(LineIntersection({0, 0}, {2, 2}, {0, 2}, {2, 0}, x));
    ExpectPoint({1, 1}, x);
    EXPECT_FALSE(LineIntersection({0, 0}, {1, 0}, {0, 1}, {1, 1}, x));
    EXPECT_DOUBLE_EQ(0.5, LineParam({0, 0}, {10, 2}, {5, 1}));
    EXPECT_EQ(0.0, LineParam({1, 1}, {1, 1}, {5, 1}));
    // The square corner at the origin rounded from (4, 0) and (0, 4).
    ExpectPoint({4, 4}, CornerCentre({4, 0}, {0, 0}, {0, 4}));
    // Straight on: the perpendiculars are parallel.
    ExpectPoint({0, 0}, CornerCentre({-4, 0}, {0, 0}, {4, 0}));
    // Nearly straight: the crossing lies too far away on both axes.
    ExpectPoint({0, 0}, CornerCentre({-4, -4}, {0, 0}, {4, 4 + 1e-6}));
    // Far on one axis only: the crossing stands.
    EXPECT_NE(0.0, CornerCentre({-4, 0}, {0, 0}, {4, 1e-6}).y);
}

TEST(MiscGeometry, NoTurnGivesWhatTheTurningFormulaGives)
{
    // Unturned, the point comes back bit for bit as the sine and cosine
    // of a zero angle would make it: signed zeros, a centre that does not
    // round-trip, a point that is no number.
    const double nan = std::nan("");
    const DPoint cases[][2] = {
        {{0.3, 0.7}, {0.1, 0.2}},       {{-0.0, -0.0}, {-0.0, 0.0}}, {{0.0, -0.0}, {-0.0, -0.0}},
        {{1e300, -3.0}, {-1e300, 2.5}}, {{nan, 1.0}, {0.0, 0.0}},
    };
    for (double angle : {0.0, -0.0})
        for (const auto& c : cases) {
            const DPoint p = c[0], centre = c[1];
            const double co = std::cos(angle), si = std::sin(angle);
            const double dx = p.x - centre.x, dy = p.y - centre.y;
            const DPoint want{centre.x + dx * co - dy * si, centre.y + dx * si + dy * co};
            const DPoint got = RotatePoint(p, centre, angle);
            for (const auto& pair :
                 {std::make_pair(want.x, got.x), std::make_pair(want.y, got.y)}) {
                EXPECT_EQ(std::isnan(pair.first), std::isnan(pair.second));
                if (!std::isnan(pair.first)) {
                    EXPECT_EQ(pair.first, pair.second) << p.x << " " << p.y;
                    EXPECT_EQ(std::signbit(pair.first), std::signbit(pair.second));
                }
            }
        }
}

TEST(MiscGeometry, MatricesConcatenateInOrder)
{
    const DMatrix m = MatrixMultiply(MatrixScale(2, 3), MatrixTranslate(1, 1));
    ExpectPoint({3, 4}, MatrixApply(m, {1, 1}));
    ExpectPoint({0, 1}, MatrixApply(MatrixRotate(1.5707963267948966), {1, 0}));
    const DMatrix id = MatrixMultiply(MatrixIdentity(), MatrixTranslate(5, 6));
    ExpectPoint({5, 6}, MatrixApply(id, {0, 0}));
}

ChangeRecord Record(int kind)
{
    ChangeRecord r;
    std::memset(&r, 0, sizeof r);
    r.kind = kind;
    return r;
}

TEST(MiscChange, SimpleKinds)
{
    struct Case {
        int kind;
        DPoint a, b, c;
        DPoint in, out;
    } const cases[] = {
        {1, {1, 1}, {4, 5}, {0, 0}, {1, 1}, {4, 5}},
        {2, {1, 1}, {0, 0}, {2, 3}, {2, 2}, {3, 4}},
        {6, {1, 1}, {2, 3}, {0, 0}, {2, 2}, {3, 4}},
        {3, {1, 1}, {0, 0}, {3.141592653589793, 0}, {2, 1}, {0, 1}},
        {7, {2, 0}, {0, 2}, {1, 1}, {1, 1}, {3, 3}},
        {0, {2, 0}, {0, 2}, {1, 1}, {1, 1}, {1, 1}},
        {10, {2, 0}, {0, 2}, {1, 1}, {1, 1}, {1, 1}},
    };
    for (const Case& c : cases) {
        ChangeRecord r = Record(c.kind);
        r.a = c.a;
        r.b = c.b;
        r.c = c.c;
        DPoint p = c.in;
        DPoint q = c.in;
        TransformPoints(p, q, r);
        ExpectPoint(c.out, p);
        ExpectPoint(c.out, q);
        // Given once, the point moves once.
        DPoint once = c.in;
        TransformPoints(once, once, r);
        ExpectPoint(c.out, once);
    }
}

TEST(MiscChange, RectangleOntoQuadrilateral)
{
    ChangeRecord r = Record(4);
    r.a = {0, 0};
    r.b = {10, 10};
    r.c = {0, 0};
    r.d = {20, 0};
    r.e = {20, 20};
    r.f = {0, 20};
    DPoint p{5, 5};
    DPoint q{0, 10};
    TransformPoints(p, q, r);
    ExpectPoint({10, 10}, p);
    ExpectPoint({0, 20}, q);
    // A trapezoid: the top corners come together.
    r.e = {12, 20};
    r.f = {8, 20};
    DPoint corner{10, 10};
    TransformPoints(corner, corner, r);
    ExpectPoint({12, 20}, corner);
}

TEST(MiscChange, EnvelopeMovesPointAndHandle)
{
    // The straight envelope of a doubling: the patch is a plain scale, and
    // a handle keeps its offset doubled.
    ChangeRecord r = Record(5);
    r.a = {0, 0};
    r.b = {9, 9};
    r.c = {0, 0};
    r.d = {18, 0};
    r.e = {18, 18};
    r.f = {0, 18};
    const DPoint c[4] = {r.c, r.d, r.e, r.f};
    for (int i = 0; i < 4; ++i) {
        r.g[2 * i] = InterpolatePoint(c[i], c[(i + 1) % 4], 1.0 / 3);
        r.g[2 * i + 1] = InterpolatePoint(c[(i + 1) % 4], c[i], 1.0 / 3);
    }
    DPoint p{3, 6};
    DPoint q{4, 6};
    TransformPoints(p, q, r);
    ExpectPoint({6, 12}, p);
    ExpectPoint({8, 12}, q);
    // A rectangle without width: no division by zero.
    r.b = {0, 9};
    DPoint s{0, 3};
    DPoint t{1, 3};
    TransformPoints(s, t, r);
    EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(t.x) &&
                std::isfinite(t.y));
}

TEST(MiscChange, ShiftCentreAndScaleFromCentre)
{
    const DRect frame{-10, -10, 10, 10};
    const DPoint c{0, 0};
    ExpectPoint({10, 0}, ShiftCentre(frame, c, {5, 0}, {10, 0}));
    ExpectPoint({-10, 0}, ShiftCentre(frame, c, {5, 0}, {-10, 0}));
    ExpectPoint({7.5, 0}, ShiftCentre(frame, c, {5, 0}, {5, 0}));
    ExpectPoint({-2.5, 0}, ShiftCentre(frame, c, {5, 0}, {-5, 0}));
    ExpectPoint({0, 7.5}, ShiftCentre(frame, c, {0, 5}, {0, 5}));
    // The corners stay; the centre itself goes to the new centre.
    ExpectPoint({10, 10}, ShiftCentre(frame, c, {5, 2}, {10, 10}));
    ExpectPoint({5, 2}, ShiftCentre(frame, c, {5, 2}, c));
    for (const DPoint& p : {DPoint{5, 0}, DPoint{-3, 7}, DPoint{2, -9}, DPoint{-4, -4}}) {
        ExpectPoint(p, ScaleFromCentre(frame, c, 1.0, p));
        ExpectPoint(c, ScaleFromCentre(frame, c, 0.0, p));
        ExpectPoint(MidPoint(c, p), ScaleFromCentre(frame, c, 0.5, p));
    }
    ExpectPoint(c, ScaleFromCentre(frame, c, 2.0, c));
    // Through the record.
    ChangeRecord r = Record(9);
    r.a = {-10, -10};
    r.b = {10, 10};
    r.d = {0.0, 0};
    DPoint p{3, 4};
    TransformPoints(p, p, r);
    ExpectPoint(c, p);
}

class MiscDefTest : public DefTest {};

TEST_F(MiscDefTest, ArrowHeadPoints)
{
    CArrowDefRef a = Make<CArrowDefRef>();
    a->SetParam1(4.0);
    a->SetParam2(2.0);
    a->SetParam3(0.0);
    DPoint o1, o2, o3, o4;
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({6, 0}, o1);
    ExpectPoint({6, 0}, o2);
    ExpectPoint({6, 2}, o3);
    ExpectPoint({6, -2}, o4);
    // An inset: the back point moves towards the tip.
    a->SetParam3(1.0);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({7, 0}, o1);
    ExpectPoint({7, 0}, o2);
    a->SetParam3(-1.0);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({6, 0}, o1);
    ExpectPoint({5, 0}, o2);
    // Outwards: the head lies beyond the tip.
    a->SetParam3(0.0);
    a->SetParam4(3.0);
    a->SetFlags(1);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({13, 0}, o1);
    ExpectPoint({14, 0}, o2);
    ExpectPoint({14, -2}, o3);
    a->SetFlags(0);

    // L1 longer than the line: only the triangle stops at from.
    a->SetParam1(40.0);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({0, 0}, o1);
    a->SetValue(68);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({-30, 0}, o3);
    ExpectPoint({10, 0}, o1);
    a->SetValue(69);
    a->SetParam5(0.0);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({-30, 0}, o3);
    ExpectPoint({50, 0}, o4, 1e-8);
    a->SetParam1(4.0);
    a->SetParam5(1.5707963267948966);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({10, -4}, o3, 1e-8);
    ExpectPoint({10, 4}, o4, 1e-8);

    a->SetValue(66);
    GetArrowHeadPoints(a, {0, 0}, {10, 0}, o1, o2, o3, o4);
    ExpectPoint({10, 0}, o3);
    a->SetValue(67);
    GetArrowHeadPoints(a, {3, 3}, {3, 3}, o1, o2, o3, o4);
    ExpectPoint({3, 3}, o1);
    ExpectPoint({3, 3}, o4);
}

TEST_F(MiscDefTest, DefinitionsByKind)
{
    struct Case {
        int kind;
        int type;
    } const cases[] = {{10, 10},  {11, 11},  {21, 11},  {12, 12},  {22, 12},  {15, 20},
                       {25, 20},  {18, 15},  {20, 30},  {30, 50},  {31, 50},  {40, 60},
                       {41, 60},  {50, 40},  {51, 41},  {100, 70}, {101, 30}, {102, 11},
                       {103, 12}, {105, 20}, {125, 20}, {120, 80}, {99, 0},   {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.type, GetDefTypeOfKind(c.kind)) << c.kind;
    for (int type : {10, 11, 12, 15, 20, 30, 40, 41, 50, 60, 70, 80}) {
        CDefRef d = NewDefinition(type);
        ASSERT_TRUE(d.IsValid()) << type;
        EXPECT_EQ(type, d->GetType());
    }
    EXPECT_FALSE(NewDefinition(0).IsValid());
    EXPECT_FALSE(NewDefinition(99).IsValid());
}

TEST(MiscKinds, AddUniqueKind)
{
    int list[4] = {10, 20, 0, 0};
    int count = 2;
    AddUniqueKind(list, &count, 20);
    EXPECT_EQ(2, count);
    AddUniqueKind(list, &count, 30);
    EXPECT_EQ(3, count);
    EXPECT_EQ(30, list[2]);
    EXPECT_EQ(0, list[3]);
}

} // namespace

// ---------------------------------------------------------------- the current document

#include "app/document.h"
#include "app/graobject.h"
#include "app/view.h"

namespace {

class CurrentDocumentTest : public DefTest {
protected:
    void TearDown() override
    {
        SetCurrentDocument(CDocumentRef(), CViewRef());
        DefTest::TearDown();
    }
};

TEST_F(CurrentDocumentTest, UnitsAndPagePointsFollowTheCurrentDocument)
{
    // Without a document: unit 0 stays 0, points stay, every point is on
    // the page.
    EXPECT_EQ(0, GetDocumentUnit(0));
    EXPECT_EQ(0, ResolveUnit(0));
    const DPoint p{12.0, -7.0};
    EXPECT_EQ(12.0, PageToUserPoint(p).x);
    EXPECT_TRUE(IsPointOnPage(DPoint{5000.0, 0.0}));
    CDocumentRef doc = Make<CDocumentRef>();
    CViewRef view = Make<CViewRef>();
    doc->SetPageSize(200.0, 100.0);
    doc->SetUnit(0, 24);
    doc->SetUnit(1, 30);
    view->origin_x = 10.0;
    view->origin_y = 20.0;
    SetCurrentDocument(doc, view);
    EXPECT_TRUE(GetCurrentDocument() == doc);
    EXPECT_EQ(24, ResolveUnit(0));
    EXPECT_EQ(13, ResolveUnit(13));
    EXPECT_EQ(30, GetDocumentUnit(1));
    EXPECT_EQ(10.0, UnitToMm(1.0, 0));
    // user = page - (origin - half the page).
    const DPoint user = PageToUserPoint(p);
    EXPECT_EQ(12.0 - (10.0 - 100.0), user.x);
    EXPECT_EQ(-7.0 - (20.0 - 50.0), user.y);
    const DPoint back = UserToPagePoint(user);
    EXPECT_EQ(p.x, back.x);
    EXPECT_EQ(p.y, back.y);
    struct Case {
        double x, y;
        bool on;
    } const cases[] = {{100, 50, true},
                       {-100, 0, false},
                       {0, -50, false},
                       {-99.9, -49.9, true},
                       {100.1, 0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(c.on, IsPointOnPage(DPoint{c.x, c.y})) << c.x << "," << c.y;
    // A document without view settings converts nothing.
    SetCurrentDocument(doc, CViewRef());
    EXPECT_EQ(12.0, PageToUserPoint(p).x);
    EXPECT_TRUE(IsPointOnPage(DPoint{5000.0, 0.0}));
    EXPECT_EQ(24, ResolveUnit(0));
}

TEST_F(CurrentDocumentTest, DrawingObjectsByKind)
{
    // The base answers for kinds without a class of their own; a kind whose
    // class is not in the program answers empty.
    const ZuRuntimeRef base = GetGraObjectRuntime(99);
    ASSERT_TRUE(base.IsValid());
    EXPECT_TRUE(base == CGraObjectRef::RetRuntime());
    CGraObjectRef o = NewGraObject(base);
    ASSERT_TRUE(o.IsValid());
    EXPECT_TRUE(o->GetFlag());
    for (int kind : {10, 11, 12, 13, 14, 15, 16, 18}) {
        const ZuRuntimeRef rt = GetGraObjectRuntime(kind);
        if (rt.IsValid()) {
            EXPECT_TRUE(NewGraObject(rt).IsValid()) << kind;
        }
    }
    EXPECT_TRUE(NewGraObject(ZuRuntimeRef()).IsInvalid());
    EXPECT_TRUE(NewGraObject(CDocumentRef::RetRuntime()).IsInvalid());
}

} // namespace
