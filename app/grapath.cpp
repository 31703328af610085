#include "app/grapath.h"

#include <climits>
#include <cmath>

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CGraPath, "app/grapath", ZU_CLASS_PLAIN)

namespace {

const double PI = 3.1415926535;
const double HALF_PI = 1.57079632675;
const double DEGREES = 0.017453292519444445;
// At most an eighth of a half turn per Bezier segment of an arc.
const double ARC_STEP = 0.3926990816875;
// The share of a Bezier segment walked as one straight piece.
const double PIECE = 0.01;

bool IsValueCode(double code)
{
    return code == 11.0 || code == 12.0 || code == 13.0 || code == 50.0;
}

} // namespace

CGraPath::CGraPath()
    : count(0), current{0.0, 0.0}, walk_index(0), piece_offset(0.0), piece_parameter(0.0),
      remainder(0.0), past_end(false)
{
    for (double& n : numbers)
        n = 0.0;
}

bool CGraPath::Clear()
{
    count = 0;
    numbers[0] = 0.0;
    current = DPoint{0.0, 0.0};
    return true;
}

// ---------------------------------------------------------------- collecting

bool CGraPath::AddLine(const DPoint& from, const DPoint& to)
{
    if (from.x == to.x && from.y == to.y)
        return true;
    if (count + 6 >= MAX_NUMBERS)
        return false;
    double* n = numbers + count;
    n[0] = LINE;
    n[1] = from.x;
    n[2] = from.y;
    n[3] = to.x;
    n[4] = to.y;
    n[5] = 0.0;
    count += 5;
    current = to;
    return true;
}

bool CGraPath::AddCurve(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3)
{
    if (count + 10 >= MAX_NUMBERS)
        return false;
    double* n = numbers + count;
    n[0] = CURVE;
    n[1] = p0.x;
    n[2] = p0.y;
    n[3] = p1.x;
    n[4] = p1.y;
    n[5] = p2.x;
    n[6] = p2.y;
    n[7] = p3.x;
    n[8] = p3.y;
    n[9] = 0.0;
    count += 9;
    current = p3;
    return true;
}

bool CGraPath::AddArc(const DPoint& c, const DPoint& radii, double start, double end,
                      double rotation, int kind)
{
    const double rx = radii.x, ry = radii.y;
    start *= DEGREES;
    end *= DEGREES;
    rotation *= DEGREES;
    // A point on the circle of radius ry about c at angle a, off the radius
    // by k along the tangent, then on the ellipse and turned. An ellipse
    // without height (ry = 0) lies flat on its axis.
    auto place = [&](double a, double k) {
        DPoint p;
        if (ry != 0.0) {
            p = RotatePoint(DPoint{c.x + ry, c.y + k}, c, a);
            p.x = (p.x - c.x) * rx / ry + c.x;
        } else {
            p = DPoint{c.x + rx * std::cos(a), c.y};
        }
        return RotatePoint(p, c, rotation);
    };
    if (kind == PIE && !AddLine(c, place(start, 0.0)))
        return false;
    if (end < start)
        end += kTwoPi;
    double a = start;
    while (a < end) {
        const double s = end - a < ARC_STEP ? end - a : ARC_STEP;
        const double k = ry * (8.0 * std::sin(s / 2.0) - std::sin(s)) / (9.0 + 3.0 * std::cos(s));
        const DPoint p0 = place(a, 0.0);
        const DPoint p1 = place(a, k);
        const double next = a + s;
        // An angle so large that a segment no longer moves it ends the arc.
        if (!(next > a))
            break;
        a = next;
        const DPoint p3 = place(a, 0.0);
        const DPoint p2 = place(a, -k);
        // A full list ends the arc: nothing more could be kept.
        if (!AddCurve(p0, p1, p2, p3))
            return false;
    }
    return true;
}

bool CGraPath::AddArcCorner(const DPoint& a, const DPoint& corner, const DPoint& b, int, int)
{
    const double alpha = AngleBetween(corner, a, b);
    const double beta = alpha <= PI ? PI - alpha : PI - (2.0 * PI - alpha);
    const double f = beta <= HALF_PI ? 0.82 - 0.16 * beta : 0.86 - 0.19 * beta;
    AddCurve(a, InterpolatePoint(a, corner, f), InterpolatePoint(b, corner, f), b);
    return true;
}

bool CGraPath::Close()
{
    if (count + 6 >= MAX_NUMBERS || count < 6)
        return false;
    double* n = numbers + count;
    n[0] = LINE;
    n[1] = current.x;
    n[2] = current.y;
    n[3] = numbers[1];
    n[4] = numbers[2];
    n[5] = 0.0;
    count += 5;
    return true;
}

// ---------------------------------------------------------------- walking

bool CGraPath::ResetWalk()
{
    walk_index = 0;
    piece_offset = 0.0;
    piece_parameter = 0.0;
    remainder = 0.0;
    past_end = false;
    return true;
}

bool CGraPath::SkipValues()
{
    while (walk_index < count && IsValueCode(numbers[walk_index]))
        walk_index += 2;
    if (walk_index >= count)
        return false;
    const double code = numbers[walk_index];
    return code == LINE || code == CURVE;
}

void CGraPath::GetPiece(DPoint& s, DPoint& e) const
{
    const double* n = numbers + walk_index;
    if (n[0] == LINE) {
        s = DPoint{n[1], n[2]};
        e = DPoint{n[3], n[4]};
        return;
    }
    const DPoint p0{n[1], n[2]}, p1{n[3], n[4]}, p2{n[5], n[6]}, p3{n[7], n[8]};
    s = BezierPoint(p0, p1, p2, p3, piece_parameter);
    e = BezierPoint(p0, p1, p2, p3, piece_parameter + PIECE);
}

namespace {

// A piece's length; one that is no finite number (coordinates from outside
// can be anything) cannot be walked along and counts as none.
double PieceLength(const DPoint& s, const DPoint& e)
{
    const double l = Distance(s, e);
    return std::isfinite(l) ? l : 0.0;
}

} // namespace

bool CGraPath::NextStep(double step, bool extend)
{
    double rest = step < 1.0 ? 1.0 : step;
    for (;;) {
        if (!SkipValues())
            return false;
        DPoint s, e;
        GetPiece(s, e);
        const double length = PieceLength(s, e);
        const double left = length - piece_offset;
        remainder += left;
        if (rest <= left) {
            remainder = 0.0;
            piece_offset += rest;
            return true;
        }
        const double reach = piece_offset + rest;
        rest -= left;
        piece_offset = 0.0;
        const int element = walk_index;
        const double last_parameter = piece_parameter;
        if (numbers[walk_index] == LINE) {
            walk_index += 5;
        } else {
            piece_parameter += PIECE;
            if (piece_parameter < 1.0)
                continue;
            piece_parameter = 0.0;
            walk_index += 9;
        }
        if (extend && !SkipValues()) {
            past_end = true;
            walk_index = element;
            piece_parameter = last_parameter;
            piece_offset = reach;
            return true;
        }
    }
}

int CGraPath::CountSteps(double step)
{
    ResetWalk();
    int steps = 0;
    while (steps < INT_MAX && NextStep(step, false))
        steps++;
    return steps;
}

bool CGraPath::GetWalkPoint(DPoint& at, double& angle)
{
    if (!past_end && !SkipValues())
        return false;
    if (walk_index >= count)
        return false;
    DPoint s, e;
    GetPiece(s, e);
    const double length = PieceLength(s, e);
    if (length == 0.0) {
        at = s;
        angle = 0.0;
        return true;
    }
    at = InterpolatePoint(s, e, piece_offset / length);
    angle = AngleBetween(s, DPoint{s.x + length, s.y}, e);
    return true;
}

double CGraPath::GetRemainder() const
{
    return remainder;
}

bool CGraPath::NextQuad(double step, double width, double angle, bool bend, bool absolute,
                        bool extend, DPoint& c1, DPoint& c2, DPoint& c3, DPoint& c4,
                        double& direction)
{
    DPoint p;
    double theta0;
    if (!GetWalkPoint(p, theta0))
        return false;
    const double half = width / 2.0;
    if (!bend) {
        const double phi = absolute ? angle : theta0 + angle;
        const DPoint back = PolarPoint(p, step / 2.0, phi + PI);
        const DPoint front = PolarPoint(back, step, phi);
        c1 = PolarPoint(back, half, phi + HALF_PI);
        c4 = PolarPoint(back, half, phi - HALF_PI);
        c2 = PolarPoint(front, half, phi + HALF_PI);
        c3 = PolarPoint(front, half, phi - HALF_PI);
        direction = theta0;
        NextStep(step, extend);
        return true;
    }
    if (walk_index == 0 && piece_offset == 0.0 && piece_parameter == 0.0) {
        p = PolarPoint(p, step / 2.0, theta0 + PI);
        step /= 2.0;
    }
    c1 = PolarPoint(p, half, theta0 + HALF_PI);
    c4 = PolarPoint(p, half, theta0 - HALF_PI);
    NextStep(step, extend);
    DPoint q;
    double theta1;
    if (!GetWalkPoint(q, theta1)) {
        theta1 = theta0;
        q = PolarPoint(p, step, theta0);
    }
    direction = theta1;
    c2 = PolarPoint(q, half, theta1 + HALF_PI);
    c3 = PolarPoint(q, half, theta1 - HALF_PI);
    if (absolute)
        angle -= Abs((theta0 + theta1) * 0.5);
    if (angle != 0.0) {
        const DPoint centre = MidPoint(MidPoint(c1, c2), MidPoint(c3, c4));
        c1 = RotatePoint(c1, centre, angle);
        c2 = RotatePoint(c2, centre, angle);
        c3 = RotatePoint(c3, centre, angle);
        c4 = RotatePoint(c4, centre, angle);
    }
    return true;
}
