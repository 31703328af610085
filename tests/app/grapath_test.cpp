// The path accumulator: collecting segments within its thousand numbers,
// arcs as Bezier segments, the walk along the path and the quadrilaterals
// of brush copies.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/grapath.h"
#include "si/classfactory.h"
#include "tests/support/objmodel.h"

namespace {

const double pi = 3.1415926535;

void ExpectPoint(const DPoint& want, const DPoint& got, double tolerance = 1e-9)
{
    EXPECT_NEAR(want.x, got.x, tolerance);
    EXPECT_NEAR(want.y, got.y, tolerance);
}

class CGraPathTest : public ZuviRuntimeTest {
protected:
    static CGraPathRef Make() { return CGraPathRef(ZuNew<CGraPath>()); }
    // A path along the given corners.
    static CGraPathRef Polyline(std::initializer_list<DPoint> points)
    {
        CGraPathRef p = Make();
        const DPoint* previous = nullptr;
        for (const DPoint& q : points) {
            if (previous) {
                EXPECT_TRUE(p->AddLine(*previous, q));
            }
            previous = &q;
        }
        return p;
    }
    static DPoint At(const CGraPathRef& p, int element, int number)
    {
        return DPoint{p->RetNumber(element + number), p->RetNumber(element + number + 1)};
    }
    static DPoint WalkPoint(const CGraPathRef& p, double* angle = nullptr)
    {
        DPoint at{-1, -1};
        double a = -1;
        EXPECT_TRUE(p->GetWalkPoint(at, a));
        if (angle)
            *angle = a;
        return at;
    }
};

TEST_F(CGraPathTest, CollectingStaysWithinTheThousandNumbers)
{
    CGraPathRef p = Make();
    const DPoint o{0, 0}, x{1, 0};
    EXPECT_FALSE(p->Close());
    // No length: nothing appended, true all the same.
    EXPECT_TRUE(p->AddLine(x, x));
    EXPECT_EQ(0, p->RetCount());

    // 107 curves and 6 lines: 993 numbers; one more line fits.
    for (int k = 0; k < 107; k++)
        ASSERT_TRUE(p->AddCurve(o, x, o, x));
    for (int k = 0; k < 6; k++)
        ASSERT_TRUE(p->AddLine(o, x));
    EXPECT_EQ(993, p->RetCount());
    EXPECT_TRUE(p->AddLine(x, DPoint{2, 3}));
    EXPECT_EQ(998, p->RetCount());
    EXPECT_EQ(0.0, p->RetNumber(998));
    EXPECT_FALSE(p->AddLine(o, x));
    EXPECT_FALSE(p->AddCurve(o, x, o, x));
    EXPECT_FALSE(p->Close());
    EXPECT_EQ(998, p->RetCount());

    // 106 curves and 8 lines: 994, no room for a line.
    p->Clear();
    EXPECT_EQ(0, p->RetCount());
    for (int k = 0; k < 106; k++)
        ASSERT_TRUE(p->AddCurve(o, x, o, x));
    for (int k = 0; k < 8; k++)
        ASSERT_TRUE(p->AddLine(o, x));
    EXPECT_EQ(994, p->RetCount());
    EXPECT_FALSE(p->AddLine(o, x));
    EXPECT_FALSE(p->Close());
    EXPECT_EQ(994, p->RetCount());

    // A curve needs ten places: 989 takes one, 990 does not.
    ASSERT_TRUE(p->Clear());
    for (int k = 0; k < 106; k++)
        ASSERT_TRUE(p->AddCurve(o, x, o, x)); // 954
    for (int k = 0; k < 7; k++)
        ASSERT_TRUE(p->AddLine(o, x)); // 989
    EXPECT_TRUE(p->AddCurve(o, x, o, x));
    EXPECT_EQ(998, p->RetCount());
    p->Clear();
    for (int k = 0; k < 110; k++)
        ASSERT_TRUE(p->AddCurve(o, x, o, x)); // 990
    EXPECT_FALSE(p->AddCurve(o, x, o, x));
}

TEST_F(CGraPathTest, CloseReturnsToTheFirstPoint)
{
    CGraPathRef p = Polyline({{1, 2}, {5, 2}, {5, 7}});
    EXPECT_TRUE(p->Close());
    EXPECT_EQ(15, p->RetCount());
    EXPECT_EQ(1.0, p->RetNumber(10));
    ExpectPoint(DPoint{5, 7}, At(p, 10, 1));
    ExpectPoint(DPoint{1, 2}, At(p, 10, 3));
    EXPECT_EQ(0.0, p->RetNumber(15));
}

// The segments of an arc: codes, their number, and their end points on the
// ellipse.
TEST_F(CGraPathTest, ArcsAreBezierSegmentsOfAtMostAnEighthOfAHalfTurn)
{
    struct Case {
        double start, end;
        std::vector<double> ends; // degrees of the segments' end points
    } const cases[] = {
        {0, 90, {22.5, 45, 67.5, 90}},
        {0, 100, {22.5, 45, 67.5, 90, 100}},
        {350, 10, {370}},
        {30, 30, {}},
        {10,
         0,
         {32.5, 55, 77.5, 100, 122.5, 145, 167.5, 190, 212.5, 235, 257.5, 280, 302.5, 325, 347.5,
          360}},
    };
    const DPoint c{10, 20};
    const double r = 4;
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.start << " to " << k.end);
        CGraPathRef p = Make();
        EXPECT_TRUE(p->AddArc(c, DPoint{r, r}, k.start, k.end, 0, 222));
        ASSERT_EQ(int(9 * k.ends.size()), p->RetCount());
        double from = k.start;
        for (std::size_t n = 0; n < k.ends.size(); n++) {
            const int e = int(9 * n);
            EXPECT_EQ(2.0, p->RetNumber(e));
            const double a0 = from * pi / 180, a1 = k.ends[n] * pi / 180;
            ExpectPoint(DPoint{c.x + r * std::cos(a0), c.y + r * std::sin(a0)}, At(p, e, 1), 1e-8);
            ExpectPoint(DPoint{c.x + r * std::cos(a1), c.y + r * std::sin(a1)}, At(p, e, 7), 1e-8);
            // The control points lie on the tangents at the ends.
            const DPoint p0 = At(p, e, 1), p1 = At(p, e, 3), p2 = At(p, e, 5), p3 = At(p, e, 7);
            EXPECT_NEAR(0.0, (p1.x - p0.x) * (p0.x - c.x) + (p1.y - p0.y) * (p0.y - c.y), 1e-9);
            EXPECT_NEAR(0.0, (p2.x - p3.x) * (p3.x - c.x) + (p2.y - p3.y) * (p3.y - c.y), 1e-9);
            from = k.ends[n];
        }
    }
}

TEST_F(CGraPathTest, EllipsesTurnedAndPies)
{
    const DPoint c{0, 0};
    // An ellipse 6 wide, 2 high, turned a quarter: its start lies up.
    CGraPathRef p = Make();
    EXPECT_TRUE(p->AddArc(c, DPoint{6, 2}, 0, 90, 90, 223));
    ASSERT_EQ(36, p->RetCount());
    ExpectPoint(DPoint{0, 6}, At(p, 0, 1), 1e-8);
    ExpectPoint(DPoint{-2, 0}, At(p, 27, 7), 1e-8);

    // A pie starts with a line from the centre to the start.
    p = Make();
    EXPECT_TRUE(p->AddArc(DPoint{1, 1}, DPoint{2, 2}, 90, 180, 0, CGraPath::PIE));
    ASSERT_EQ(5 + 36, p->RetCount());
    EXPECT_EQ(1.0, p->RetNumber(0));
    ExpectPoint(DPoint{1, 1}, At(p, 0, 1));
    ExpectPoint(DPoint{1, 3}, At(p, 0, 3), 1e-8);
    EXPECT_EQ(2.0, p->RetNumber(5));

    // An ellipse without height lies flat on its axis.
    p = Make();
    EXPECT_TRUE(p->AddArc(c, DPoint{5, 0}, 0, 180, 0, 222));
    ASSERT_EQ(72, p->RetCount());
    for (int i = 0; i < 72; i++)
        EXPECT_TRUE(std::isfinite(p->RetNumber(i))) << i;
    ExpectPoint(DPoint{-5, 0}, At(p, 63, 7), 1e-8);

    // An arc without end fills the list and stops.
    for (double end : {1e300, std::numeric_limits<double>::infinity()}) {
        p = Make();
        EXPECT_FALSE(p->AddArc(c, DPoint{1, 1}, 0, end, 0, 222));
        EXPECT_EQ(990, p->RetCount());
    }
}

TEST_F(CGraPathTest, ArcCornerRoundsBetweenTheLegs)
{
    // A right angle: beta = pi/2, f = 0.82 - 0.16 beta, either way round.
    const double f = 0.82 - 0.16 * 1.57079632675;
    CGraPathRef p = Make();
    EXPECT_TRUE(p->AddArcCorner(DPoint{0, 10}, DPoint{0, 0}, DPoint{10, 0}, 0, 0));
    EXPECT_TRUE(p->AddArcCorner(DPoint{10, 0}, DPoint{0, 0}, DPoint{0, 10}, 0, 0));
    ASSERT_EQ(18, p->RetCount());
    ExpectPoint(DPoint{0, 10 - 10 * f}, At(p, 0, 3), 1e-8);
    ExpectPoint(DPoint{10 - 10 * f, 0}, At(p, 0, 5), 1e-8);
    ExpectPoint(DPoint{10 - 10 * f, 0}, At(p, 9, 3), 1e-8);
    ExpectPoint(DPoint{0, 10 - 10 * f}, At(p, 9, 5), 1e-8);
    // A sharp corner (beta past a quarter turn): f = 0.86 - 0.19 beta.
    p = Make();
    p->AddArcCorner(DPoint{10, 1}, DPoint{0, 0}, DPoint{10, -1}, 0, 0);
    const double alpha = AngleBetween(DPoint{0, 0}, DPoint{10, 1}, DPoint{10, -1});
    const double beta = alpha <= pi ? pi - alpha : pi - (2 * pi - alpha);
    ASSERT_GT(beta, 1.57079632675);
    const double g = 0.86 - 0.19 * beta;
    ExpectPoint(DPoint{10 - 10 * g, 1 - g}, At(p, 0, 3), 1e-8);
    ExpectPoint(DPoint{10 - 10 * g, -1 + g}, At(p, 0, 5), 1e-8);
}

TEST_F(CGraPathTest, StepsAlongAStraightPath)
{
    CGraPathRef p = Polyline({{0, 0}, {100, 0}});
    EXPECT_EQ(3, p->CountSteps(30));
    EXPECT_DOUBLE_EQ(10.0, p->GetRemainder());
    // Steps shorter than 1.0 count as 1.0.
    EXPECT_EQ(100, p->CountSteps(0.5));
    EXPECT_EQ(100, p->CountSteps(-7));
    EXPECT_EQ(1, p->CountSteps(100));
    EXPECT_EQ(0.0, p->GetRemainder());
    EXPECT_EQ(0, p->CountSteps(101));
    EXPECT_DOUBLE_EQ(100.0, p->GetRemainder());

    // A step exactly as long as what is left ends on the end point.
    p->ResetWalk();
    EXPECT_TRUE(p->NextStep(60, false));
    EXPECT_TRUE(p->NextStep(40, false));
    double angle = -1;
    ExpectPoint(DPoint{100, 0}, WalkPoint(p, &angle));
    EXPECT_EQ(0.0, angle);
    EXPECT_FALSE(p->NextStep(1, false));

    // With extend a step may run past the end, along the last piece.
    p->ResetWalk();
    EXPECT_TRUE(p->NextStep(90, false));
    EXPECT_TRUE(p->NextStep(30, true));
    ExpectPoint(DPoint{120, 0}, WalkPoint(p));
    EXPECT_TRUE(p->NextStep(30, true));
    ExpectPoint(DPoint{150, 0}, WalkPoint(p));
    // Without it, no further.
    EXPECT_FALSE(p->NextStep(30, false));
}

TEST_F(CGraPathTest, StepsAcrossElements)
{
    CGraPathRef p = Polyline({{0, 0}, {100, 0}, {100, 50}});
    EXPECT_EQ(5, p->CountSteps(30));
    EXPECT_EQ(0.0, p->GetRemainder());
    p->ResetWalk();
    for (int k = 0; k < 4; k++)
        p->NextStep(30, false);
    double angle = 0;
    ExpectPoint(DPoint{100, 20}, WalkPoint(p, &angle));
    EXPECT_NEAR(pi / 2, angle, 1e-9);
    // Running past a corner with extend keeps to the path.
    p->ResetWalk();
    EXPECT_TRUE(p->NextStep(90, true));
    EXPECT_TRUE(p->NextStep(30, true));
    ExpectPoint(DPoint{100, 20}, WalkPoint(p));
    EXPECT_TRUE(p->NextStep(40, true));
    ExpectPoint(DPoint{100, 60}, WalkPoint(p));

    // A path with nothing to walk.
    CGraPathRef empty = Make();
    EXPECT_FALSE(empty->SkipValues());
    EXPECT_EQ(0, empty->CountSteps(10));
    DPoint at{7, 7};
    double a = 7;
    EXPECT_FALSE(empty->GetWalkPoint(at, a));
    EXPECT_EQ(7.0, at.x);
    EXPECT_EQ(7.0, a);
    EXPECT_TRUE(p->SkipValues());
}

TEST_F(CGraPathTest, BezierSegmentsAreWalkedAsChords)
{
    // A straight curve 100 long.
    CGraPathRef p = Make();
    p->AddCurve(DPoint{0, 0}, DPoint{100.0 / 3, 0}, DPoint{200.0 / 3, 0}, DPoint{100, 0});
    EXPECT_EQ(3, p->CountSteps(30));
    EXPECT_NEAR(10.0, p->GetRemainder(), 1e-9);
    p->ResetWalk();
    p->NextStep(45, false);
    ExpectPoint(DPoint{45, 0}, WalkPoint(p));

    // A quarter circle of radius 100 is about 157 long.
    p = Make();
    p->AddArc(DPoint{0, 0}, DPoint{100, 100}, 0, 90, 0, 222);
    const int steps = p->CountSteps(10);
    EXPECT_EQ(15, steps);
    EXPECT_NEAR(7.0, p->GetRemainder(), 1.0);
    // Half way the direction has turned by about an eighth of a turn,
    // counted anticlockwise from the x axis.
    p->ResetWalk();
    double angle = 0;
    for (int k = 0; k < 8; k++)
        p->NextStep(10, false);
    const DPoint at = WalkPoint(p, &angle);
    EXPECT_NEAR(100.0, std::hypot(at.x, at.y), 0.6);
    EXPECT_NEAR(std::atan2(at.y, at.x) + pi / 2, angle, 0.05);
}

// Coordinates that are no finite numbers cannot be walked along, and the
// walk still ends.
TEST_F(CGraPathTest, UnmeasurablePiecesEndTheWalk)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (DPoint far : {DPoint{inf, 0}, DPoint{nan, 0}, DPoint{0, -inf}}) {
        CGraPathRef p = Polyline({{0, 0}, far, {5, 5}});
        EXPECT_GE(p->CountSteps(1), 0);
        p->ResetWalk();
        for (int k = 0; k < 50 && p->NextStep(1, true); k++) {}
    }
}

TEST_F(CGraPathTest, QuadrilateralsWithoutBend)
{
    CGraPathRef p = Polyline({{0, 0}, {100, 0}});
    struct Case {
        double angle;
        bool absolute;
        DPoint c1, c2, c3, c4;
    } const cases[] = {
        {0, false, {45, 5}, {55, 5}, {55, -5}, {45, -5}},
        {pi / 2, false, {45, -5}, {45, 5}, {55, 5}, {55, -5}},
        {pi / 2, true, {45, -5}, {45, 5}, {55, 5}, {55, -5}},
    };
    for (const Case& c : cases) {
        p->ResetWalk();
        p->NextStep(50, false);
        DPoint c1, c2, c3, c4;
        double direction = -1;
        EXPECT_TRUE(
            p->NextQuad(10, 10, c.angle, false, c.absolute, false, c1, c2, c3, c4, direction));
        ExpectPoint(c.c1, c1);
        ExpectPoint(c.c2, c2);
        ExpectPoint(c.c3, c3);
        ExpectPoint(c.c4, c4);
        EXPECT_EQ(0.0, direction);
        // The walk moved on by the step.
        ExpectPoint(DPoint{60, 0}, WalkPoint(p));
    }
    // On a vertical path an absolute angle 0 stays level.
    CGraPathRef up = Polyline({{0, 0}, {0, 100}});
    up->NextStep(50, false);
    DPoint c1, c2, c3, c4;
    double direction = 0;
    EXPECT_TRUE(up->NextQuad(10, 10, 0, false, true, false, c1, c2, c3, c4, direction));
    ExpectPoint(DPoint{-5, 55}, c1);
    ExpectPoint(DPoint{5, 55}, c2);
    EXPECT_NEAR(pi / 2, direction, 1e-9);

    // Nowhere to be: nothing written.
    CGraPathRef empty = Make();
    DPoint untouched{3, 3};
    direction = 3;
    EXPECT_FALSE(empty->NextQuad(10, 10, 0, false, false, false, untouched, c2, c3, c4, direction));
    EXPECT_EQ(3.0, untouched.x);
    EXPECT_EQ(3.0, direction);
}

TEST_F(CGraPathTest, QuadrilateralsWithBend)
{
    // At the very start the first copy is centred on the start.
    CGraPathRef p = Polyline({{0, 0}, {100, 0}, {100, 100}});
    DPoint c1, c2, c3, c4;
    double direction = -1;
    EXPECT_TRUE(p->NextQuad(10, 4, 0, true, false, false, c1, c2, c3, c4, direction));
    ExpectPoint(DPoint{-5, 2}, c1);
    ExpectPoint(DPoint{-5, -2}, c4);
    ExpectPoint(DPoint{5, 2}, c2);
    ExpectPoint(DPoint{5, -2}, c3);
    ExpectPoint(DPoint{5, 0}, WalkPoint(p));

    // Further on, from the position to a step further.
    EXPECT_TRUE(p->NextQuad(10, 4, 0, true, false, false, c1, c2, c3, c4, direction));
    ExpectPoint(DPoint{5, 2}, c1);
    ExpectPoint(DPoint{15, 2}, c2);

    // Round the corner the front edge stands across the second leg.
    p->ResetWalk();
    p->NextStep(95, false);
    EXPECT_TRUE(p->NextQuad(10, 4, 0, true, false, false, c1, c2, c3, c4, direction));
    ExpectPoint(DPoint{95, 2}, c1);
    ExpectPoint(DPoint{95, -2}, c4);
    ExpectPoint(DPoint{98, 5}, c2);
    ExpectPoint(DPoint{102, 5}, c3);
    EXPECT_NEAR(pi / 2, direction, 1e-9);

    // Absolute: turned back by the mean direction, about the centre.
    p->ResetWalk();
    p->NextStep(95, false);
    DPoint d1, d2, d3, d4;
    EXPECT_TRUE(p->NextQuad(10, 4, 0, true, true, false, d1, d2, d3, d4, direction));
    const DPoint centre = MidPoint(MidPoint(c1, c2), MidPoint(c3, c4));
    ExpectPoint(RotatePoint(c1, centre, -pi / 4), d1);
    ExpectPoint(RotatePoint(c3, centre, -pi / 4), d3);

    // Where the path ends the front edge lies a step straight on.
    CGraPathRef line = Polyline({{0, 0}, {100, 0}});
    line->NextStep(95, false);
    EXPECT_TRUE(line->NextQuad(10, 4, 0, true, false, false, c1, c2, c3, c4, direction));
    ExpectPoint(DPoint{105, 2}, c2);
    ExpectPoint(DPoint{105, -2}, c3);
    EXPECT_EQ(0.0, direction);
}

} // namespace
