#include "app/misc.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <string>

#include "app/document.h"
#include "app/graobject.h"
#include "app/view.h"
#include "si/classfactory.h"
#include "si/rtclass.h"

namespace {

// Pi as the angle helpers have always used it.
const double kPi = 3.1415926535;

} // namespace

// ---------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------
double Min(double a, double b)
{
    return a < b ? a : b;
}

double Min(double a, double b, double c)
{
    return Min(Min(a, b), c);
}

double Min(double a, double b, double c, double d)
{
    return Min(Min(a, b, c), d);
}

double Min(double a, double b, double c, double d, double e)
{
    return Min(Min(a, b, c, d), e);
}

double Max(double a, double b)
{
    return a > b ? a : b;
}

double Max(double a, double b, double c)
{
    return Max(Max(a, b), c);
}

double Max(double a, double b, double c, double d)
{
    return Max(Max(a, b, c), d);
}

double Max(double a, double b, double c, double d, double e)
{
    return Max(Max(a, b, c, d), e);
}

double Clamp01(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    if (v > 1.0)
        return 1.0;
    return v;
}

double Abs(double v)
{
    return v < 0.0 ? -v : v;
}

void Swap(int& a, int& b)
{
    const int t = a;
    a = b;
    b = t;
}

void Swap(double& a, double& b)
{
    const double t = a;
    a = b;
    b = t;
}

// ---------------------------------------------------------------------------
// Rectangles
// ---------------------------------------------------------------------------
void NormaliseRect(DRect& r)
{
    if (r.x1 > r.x2)
        Swap(r.x1, r.x2);
    if (r.y1 > r.y2)
        Swap(r.y1, r.y2);
}

bool IsPointInRect(const DPoint& p, const DRect& rect)
{
    DRect r = rect;
    NormaliseRect(r);
    return p.x >= r.x1 && p.x <= r.x2 && p.y >= r.y1 && p.y <= r.y2;
}

bool IsRectInRect(const DRect& inner, const DRect& outer)
{
    DRect i = inner;
    NormaliseRect(i);
    return IsPointInRect(DPoint{i.x1, i.y1}, outer) && IsPointInRect(DPoint{i.x2, i.y2}, outer);
}

bool DoRectsIntersect(const DRect& r1, const DRect& r2)
{
    DRect a = r1;
    DRect b = r2;
    NormaliseRect(a);
    NormaliseRect(b);
    return a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
}

void ClearRect(DRect& r)
{
    r.x1 = r.y1 = r.x2 = r.y2 = 0.0;
}

bool IsRectNull(const DRect& r)
{
    return r.x1 == r.x2 && r.y1 == r.y2;
}

DRect UnionRect(const DRect& r1, const DRect& r2)
{
    DRect out;
    ClearRect(out);
    const bool null1 = IsRectNull(r1);
    const bool null2 = IsRectNull(r2);
    if (null1 && null2)
        return out;
    DRect a = r1;
    DRect b = r2;
    NormaliseRect(a);
    NormaliseRect(b);
    if (null1)
        return b;
    if (null2)
        return a;
    out.x1 = Min(a.x1, b.x1);
    out.y1 = Min(a.y1, b.y1);
    out.x2 = Max(a.x2, b.x2);
    out.y2 = Max(a.y2, b.y2);
    return out;
}

DRect IntersectRect(const DRect& r1, const DRect& r2)
{
    DRect a = r1;
    DRect b = r2;
    NormaliseRect(a);
    NormaliseRect(b);
    if (IsRectNull(a))
        return b;
    if (IsRectNull(b))
        return a;
    DRect out;
    ClearRect(out);
    if (!DoRectsIntersect(a, b))
        return out;
    out.x1 = Max(a.x1, b.x1);
    out.y1 = Max(a.y1, b.y1);
    out.x2 = Min(a.x2, b.x2);
    out.y2 = Min(a.y2, b.y2);
    return out;
}

void InflateRect(DRect& r, double d)
{
    if (r.x1 <= r.x2) {
        r.x1 -= d;
        r.x2 += d;
    } else {
        r.x2 -= d;
        r.x1 += d;
    }
    if (r.y1 <= r.y2) {
        r.y1 -= d;
        r.y2 += d;
    } else {
        r.y2 -= d;
        r.y1 += d;
    }
}

// ---------------------------------------------------------------------------
// Points
// ---------------------------------------------------------------------------
DPoint InterpolatePoint(const DPoint& p1, const DPoint& p2, double t)
{
    return DPoint{p1.x + (p2.x - p1.x) * t, p1.y + (p2.y - p1.y) * t};
}

DPoint MidPoint(const DPoint& p1, const DPoint& p2)
{
    return DPoint{(p1.x + p2.x) * 0.5, (p1.y + p2.y) * 0.5};
}

DPoint MirrorPoint(const DPoint& p, const DPoint& centre)
{
    return DPoint{2.0 * centre.x - p.x, 2.0 * centre.y - p.y};
}

void SnapToAxis(const DPoint& ref, DPoint& p)
{
    if (Abs(p.y - ref.y) <= Abs(p.x - ref.x))
        p.y = ref.y;
    else
        p.x = ref.x;
}

DPoint PointTowards(const DPoint& p1, const DPoint& p2, double distance)
{
    const double length = Distance(p1, p2);
    if (length == 0.0)
        return p2;
    return InterpolatePoint(p1, p2, distance / length);
}

double Distance(const DPoint& p1, const DPoint& p2)
{
    return std::hypot(p2.x - p1.x, p2.y - p1.y);
}

DPoint PointRatio(const DPoint& p1, const DPoint& p2, const DPoint& p3)
{
    DPoint r{0.0, 0.0};
    if (p2.x != p1.x)
        r.x = (p3.x - p1.x) / (p2.x - p1.x);
    if (p2.y != p1.y)
        r.y = (p3.y - p1.y) / (p2.y - p1.y);
    return r;
}

DPoint PointFromRatio(const DPoint& p1, const DPoint& ratio, const DPoint& p3)
{
    return DPoint{p1.x + (p3.x - p1.x) * ratio.x, p1.y + (p3.y - p1.y) * ratio.y};
}

DPoint RotatePoint(const DPoint& p, const DPoint& centre, double angle)
{
    // No turn (the usual case) spares the sine and cosine; they are 1 and
    // the angle itself (a signed zero) there, as the functions answer.
    const bool level = angle == 0.0;
    const double c = level ? 1.0 : std::cos(angle);
    const double s = level ? angle : std::sin(angle);
    const double dx = p.x - centre.x;
    const double dy = p.y - centre.y;
    return DPoint{centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
}

namespace {

// The direction of v from the x axis, 0 .. 2 pi, found through asin.
double Direction(double vx, double vy)
{
    const double length = std::hypot(vx, vy);
    double ratio = vy / length;
    if (ratio > 1.0)
        ratio = 1.0;
    if (ratio < -1.0)
        ratio = -1.0;
    double angle = std::asin(ratio);
    if (vx < 0.0)
        angle = kPi - angle;
    if (angle < 0.0)
        angle += 2.0 * kPi;
    return angle;
}

} // namespace

double AngleBetween(const DPoint& centre, const DPoint& a, const DPoint& b)
{
    if ((a.x == centre.x && a.y == centre.y) || (b.x == centre.x && b.y == centre.y))
        return 0.0;
    double angle =
        Direction(b.x - centre.x, b.y - centre.y) - Direction(a.x - centre.x, a.y - centre.y);
    if (angle < 0.0)
        angle += 2.0 * kPi;
    return angle;
}

double Inclination(const DPoint& p, const DPoint& x)
{
    return AngleBetween(p, DPoint{p.x + 100.0, p.y}, x);
}

DPoint PolarPoint(const DPoint& p, double d, double angle)
{
    return RotatePoint(DPoint{p.x + d, p.y}, p, angle);
}

bool LineIntersection(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3,
                      DPoint& out)
{
    const double ax = p1.x - p0.x;
    const double ay = p1.y - p0.y;
    const double bx = p3.x - p2.x;
    const double by = p3.y - p2.y;
    const double det = ax * by - ay * bx;
    if (det == 0.0 || !std::isfinite(det))
        return false;
    const double t = ((p2.x - p0.x) * by - (p2.y - p0.y) * bx) / det;
    const DPoint r{p0.x + ax * t, p0.y + ay * t};
    if (!std::isfinite(r.x) || !std::isfinite(r.y))
        return false;
    out = r;
    return true;
}

double LineParam(const DPoint& c, const DPoint& e, const DPoint& p)
{
    const double ex = e.x - c.x;
    const double ey = e.y - c.y;
    const double length2 = ex * ex + ey * ey;
    if (length2 == 0.0)
        return 0.0;
    // The foot of the perpendicular from p.
    const double t = ((p.x - c.x) * ex + (p.y - c.y) * ey) / length2;
    const DPoint f{c.x + ex * t, c.y + ey * t};
    if (Abs(ex) > Abs(ey))
        return (f.x - c.x) / ex;
    return (f.y - c.y) / ey;
}

DPoint CornerCentre(const DPoint& a, const DPoint& corner, const DPoint& b)
{
    // The perpendicular at a to corner-a, and at b to corner-b.
    const DPoint a2{a.x - (a.y - corner.y), a.y + (a.x - corner.x)};
    const DPoint b2{b.x - (b.y - corner.y), b.y + (b.x - corner.x)};
    DPoint cross;
    if (!LineIntersection(a, a2, b, b2, cross))
        return corner;
    if (Abs(cross.x - corner.x) >= 10000.0 && Abs(cross.y - corner.y) >= 10000.0)
        return corner;
    return cross;
}

DPoint BezierPoint(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3, double t)
{
    const double s = 1.0 - t;
    const double w0 = s * s * s;
    const double w1 = 3.0 * s * s * t;
    const double w2 = 3.0 * s * t * t;
    const double w3 = t * t * t;
    return DPoint{w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                  w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y};
}

double BezierNearest(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3,
                     const DPoint& p, int steps)
{
    double best = -1.0;
    if (steps < 1)
        return best;
    double nearest = 0.0;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / double(steps);
        const double d = Distance(BezierPoint(p0, p1, p2, p3, t), p);
        if (best < 0.0 || d < nearest) {
            if (!(d == d))
                continue;
            nearest = d;
            best = t;
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// Matrices
// ---------------------------------------------------------------------------
DMatrix MatrixIdentity()
{
    return DMatrix{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
}

DMatrix MatrixTranslate(double tx, double ty)
{
    return DMatrix{1.0, 0.0, 0.0, 1.0, tx, ty};
}

DMatrix MatrixScale(double sx, double sy)
{
    return DMatrix{sx, 0.0, 0.0, sy, 0.0, 0.0};
}

DMatrix MatrixRotate(double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return DMatrix{c, s, -s, c, 0.0, 0.0};
}

DMatrix MatrixMultiply(const DMatrix& m, const DMatrix& n)
{
    // Row vectors: [x y 1] M N.
    return DMatrix{m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,       m.c * n.a + m.d * n.c,
                   m.c * n.b + m.d * n.d, m.e * n.a + m.f * n.c + n.e, m.e * n.b + m.f * n.d + n.f};
}

DPoint MatrixApply(const DMatrix& m, const DPoint& p)
{
    return DPoint{m.a * p.x + m.c * p.y + m.e, m.b * p.x + m.d * p.y + m.f};
}

// ---------------------------------------------------------------------------
// Change record
// ---------------------------------------------------------------------------
namespace {

DPoint Add(const DPoint& p, const DPoint& q)
{
    return DPoint{p.x + q.x, p.y + q.y};
}

DPoint Sub(const DPoint& p, const DPoint& q)
{
    return DPoint{p.x - q.x, p.y - q.y};
}

DPoint Times(const DPoint& p, double k)
{
    return DPoint{p.x * k, p.y * k};
}

void TransformOne(DPoint& p, const ChangeRecord& r)
{
    switch (r.kind) {
    case 1:
        p = Add(p, Sub(r.b, r.a));
        break;
    case 2:
        p = PointFromRatio(r.a, r.c, p);
        break;
    case 3:
        p = RotatePoint(p, r.a, r.c.x);
        break;
    case 4:
        p = MapToQuad(DRect{r.a.x, r.a.y, r.b.x, r.b.y}, r.c, r.d, r.e, r.f, p);
        break;
    case 6:
        p = PointFromRatio(r.a, r.b, p);
        break;
    case 7:
        p = MatrixApply(DMatrix{r.a.x, r.a.y, r.b.x, r.b.y, r.c.x, r.c.y}, p);
        break;
    case 8:
        p = ShiftCentre(DRect{r.a.x, r.a.y, r.b.x, r.b.y}, r.c, r.d, p);
        break;
    case 9:
        p = ScaleFromCentre(DRect{r.a.x, r.a.y, r.b.x, r.b.y}, r.c, r.d.x, p);
        break;
    default:
        break;
    }
}

} // namespace

void TransformPoints(DPoint& p, DPoint& q, const ChangeRecord& r)
{
    if (r.kind == 5) {
        MapToPatch(DRect{r.a.x, r.a.y, r.b.x, r.b.y}, r.c, r.d, r.e, r.f, r.g, p, q);
        return;
    }
    TransformOne(p, r);
    if (&q != &p)
        TransformOne(q, r);
}

DPoint MapToQuad(const DRect& rect, const DPoint& c1, const DPoint& c2, const DPoint& c3,
                 const DPoint& c4, const DPoint& p)
{
    const double third = 0.3333333333333333;
    const DPoint g[8] = {InterpolatePoint(c1, c2, third), InterpolatePoint(c2, c1, third),
                         InterpolatePoint(c2, c3, third), InterpolatePoint(c3, c2, third),
                         InterpolatePoint(c3, c4, third), InterpolatePoint(c4, c3, third),
                         InterpolatePoint(c4, c1, third), InterpolatePoint(c1, c4, third)};
    DPoint moved = p;
    MapToPatch(rect, c1, c2, c3, c4, g, moved, moved);
    return moved;
}

void MapToPatch(const DRect& rect, const DPoint& c1, const DPoint& c2, const DPoint& c3,
                const DPoint& c4, const DPoint g[8], DPoint& p, DPoint& q)
{
    const DPoint &g1 = g[0], &g2 = g[1], &g3 = g[2], &g4 = g[3];
    const DPoint &g5 = g[4], &g6 = g[5], &g7 = g[6], &g8 = g[7];
    const DPoint net[4][4] = {
        {c1, g1, g2, c2},
        {g8, Add(g8, Sub(g1, c1)), Add(g3, Sub(g2, c2)), g3},
        {g7, Add(g7, Sub(g6, c4)), Add(g4, Sub(g5, c3)), g4},
        {c4, g6, g5, c3},
    };
    const double w = rect.x2 - rect.x1;
    const double h = rect.y2 - rect.y1;
    // A rectangle without width (height) has all its points on one edge.
    const double u = w != 0.0 ? (p.x - rect.x1) / w : 0.0;
    const double v = h != 0.0 ? (p.y - rect.y1) / h : 0.0;
    const bool handle = &q != &p;
    const double dx = handle && w != 0.0 ? (q.x - p.x) / (w * 0.3333333333333333) : 0.0;
    const double dy = handle && h != 0.0 ? (q.y - p.y) / (h * 0.3333333333333333) : 0.0;

    DPoint rows[4];
    for (int i = 0; i < 4; ++i)
        rows[i] = BezierPoint(net[i][0], net[i][1], net[i][2], net[i][3], u);
    p = BezierPoint(rows[0], rows[1], rows[2], rows[3], v);
    if (!handle)
        return;
    const double a = (1.0 - u) * (1.0 - v);
    const double b = u * (1.0 - v);
    const double c = u * v;
    const double d = (1.0 - u) * v;
    DPoint du;
    du.x = (g1.x - c1.x) * a - (g2.x - c2.x) * b - (g5.x - c3.x) * c + (g6.x - c4.x) * d;
    du.y = (g1.y - c1.y) * a - (g2.y - c2.y) * b - (g5.y - c3.y) * c + (g6.y - c4.y) * d;
    DPoint dv;
    dv.x = ((g8.x - c1.x) * (1.0 - u) + (g3.x - c2.x) * u) * (1.0 - v) - (g4.x - c3.x) * c -
           (g7.x - c4.x) * d;
    dv.y = ((g8.y - c1.y) * (1.0 - u) + (g3.y - c2.y) * u) * (1.0 - v) - (g4.y - c3.y) * c -
           (g7.y - c4.y) * d;
    q = Add(p, Add(Times(du, dx), Times(dv, dy)));
}

namespace {

// Where the ray from c through p leaves the frame; p itself when no edge
// test applies.
DPoint FrameExit(const DRect& frame, const DPoint& c, const DPoint& p)
{
    const DPoint right{c.x + 1.0, c.y};
    const double alpha = AngleBetween(c, right, p);
    const double a1 = AngleBetween(c, right, DPoint{frame.x1, frame.y1});
    const double a2 = AngleBetween(c, right, DPoint{frame.x1, frame.y2});
    const double a3 = AngleBetween(c, right, DPoint{frame.x2, frame.y2});
    const double a4 = AngleBetween(c, right, DPoint{frame.x2, frame.y1});
    const double dx = p.x - c.x;
    const double dy = p.y - c.y;
    DPoint e = p;
    // A later test wins; a test whose ray runs along its edge is skipped.
    if (a1 <= alpha && alpha <= a4 && dy != 0.0)
        e = DPoint{c.x + (frame.y1 - c.y) * dx / dy, frame.y1};
    if (a3 <= alpha && alpha <= a2 && dy != 0.0)
        e = DPoint{c.x + (frame.y2 - c.y) * dx / dy, frame.y2};
    if (a2 <= alpha && alpha <= a1 && dx != 0.0)
        e = DPoint{frame.x1, c.y + dy * (frame.x1 - c.x) / dx};
    if ((alpha >= a4 || alpha <= a3) && dx != 0.0)
        e = DPoint{frame.x2, c.y + dy * (frame.x2 - c.x) / dx};
    return e;
}

double ShiftAxis(double p, double c, double d, double e)
{
    if (e == c)
        return e;
    return d + (e - d) * (p - c) / (e - c);
}

} // namespace

DPoint ShiftCentre(const DRect& frame, const DPoint& c, const DPoint& d, const DPoint& p)
{
    if (p.x == c.x && p.y == c.y)
        return d;
    const DPoint e = FrameExit(frame, c, p);
    return DPoint{ShiftAxis(p.x, c.x, d.x, e.x), ShiftAxis(p.y, c.y, d.y, e.y)};
}

DPoint ScaleFromCentre(const DRect& frame, const DPoint& c, double factor, const DPoint& p)
{
    if (p.x == c.x && p.y == c.y)
        return c;
    const DPoint e = FrameExit(frame, c, p);
    return InterpolatePoint(c, e, LineParam(c, e, p) * factor);
}

// ---------------------------------------------------------------------------
// Arrow heads
// ---------------------------------------------------------------------------
void GetArrowHeadPoints(const CArrowDefRef& arrow, const DPoint& from, const DPoint& tip,
                        DPoint& o1, DPoint& o2, DPoint& o3, DPoint& o4)
{
    if ((from.x == tip.x && from.y == tip.y) || !arrow.IsValid()) {
        o1 = o2 = o3 = o4 = (from.x == tip.x && from.y == tip.y) ? from : tip;
        return;
    }
    const CArrowDef* a = arrow.CheckAndResolve();
    const double l1 = a->GetParam1();
    const double l2 = a->GetParam2();
    const double l3 = a->GetParam3();
    const double l4 = a->GetParam4();
    const double l5 = a->GetParam5();
    const bool out = (a->GetFlags() & 1) != 0;
    switch (a->GetValue()) {
    case 67: {
        const DPoint r = out ? MirrorPoint(from, tip) : from;
        const double d = Distance(tip, r);
        auto at = [&](double x, bool capped) {
            double t = x / d;
            if (capped && t > 1.0)
                t = 1.0;
            return InterpolatePoint(tip, r, t);
        };
        const DPoint base = at(l1, true);
        o1 = o2 = base;
        const DPoint n{-(tip.y - r.y), tip.x - r.x};
        o3 = InterpolatePoint(base, Add(base, n), l2 / d);
        o4 = InterpolatePoint(base, Sub(base, n), l2 / d);
        if (l3 != 0.0) {
            o2 = at(l1 - Min(l3, l1), true);
            if (l3 > 0.0)
                o1 = o2;
        }
        if (out)
            o1 = at(l4, false);
        break;
    }
    case 68: {
        const double d = Distance(tip, from);
        o3 = o4 = InterpolatePoint(tip, from, l1 / d);
        o1 = o2 = tip;
        break;
    }
    case 69: {
        const double d = Distance(tip, from);
        const DPoint start = InterpolatePoint(tip, from, l1 / d);
        o3 = RotatePoint(start, tip, l5);
        o4 = RotatePoint(start, tip, l5 + kPi);
        o1 = o2 = tip;
        break;
    }
    default:
        o1 = o2 = o3 = o4 = tip;
        break;
    }
}

// ---------------------------------------------------------------------------
// Definitions by kind
// ---------------------------------------------------------------------------
int GetDefTypeOfKind(int kind)
{
    switch (kind) {
    case 10:
        return 10;
    case 11:
    case 21:
    case 102:
        return 11;
    case 12:
    case 22:
    case 103:
        return 12;
    case 15:
    case 25:
    case 105:
    case 125:
        return 20;
    case 18:
        return 15;
    case 20:
    case 101:
        return 30;
    case 30:
    case 31:
        return 50;
    case 40:
    case 41:
        return 60;
    case 50:
        return 40;
    case 51:
        return 41;
    case 100:
        return 70;
    case 120:
        return 80;
    default:
        return 0;
    }
}

CDefRef NewDefinition(int type)
{
    const char* name = nullptr;
    switch (type) {
    case 10:
        name = "CPenDef";
        break;
    case 11:
        name = "CPatternDef";
        break;
    case 12:
        name = "CPulsarDef";
        break;
    case 15:
        name = "CCloseDef";
        break;
    case 20:
        name = "CColorDef";
        break;
    case 30:
        name = "CMotifDef";
        break;
    case 40:
        name = "CPolyRegDef";
        break;
    case 41:
        name = "CArcDef";
        break;
    case 50:
        name = "CCornerDef";
        break;
    case 60:
        name = "CArrowDef";
        break;
    case 70:
        name = "CPositionDef";
        break;
    case 80:
        name = "CFontDef";
        break;
    default:
        return CDefRef(ZuObjectRef());
    }
    // Found by name, so that a type whose class is not in the program
    // answers empty instead of failing.
    ZuRuntimeRef runtime;
    if (!ZuClassFactory::GetClass(name, runtime))
        return CDefRef(ZuObjectRef());
    return CDefRef(ZuObjectRef(ZuClassFactory::New(runtime, nullptr, __LINE__, ZU_SRC_FILE)));
}

ZuRuntimeRef GetGraObjectRuntime(int kind)
{
    const char* name = "CGraObject";
    switch (kind) {
    case 10:
        name = "CGraLine";
        break;
    case 11:
        name = "CGraRect";
        break;
    case 12:
        name = "CGraPolyCurve";
        break;
    case 13:
        name = "CGraPolyLine";
        break;
    case 14:
        name = "CGraPolyReg";
        break;
    case 15:
        name = "CGraArrow";
        break;
    case 16:
        name = "CGraLineText";
        break;
    case 18:
        name = "CGraArc";
        break;
    default:
        break;
    }
    // Found by name, as the definitions are: a class missing from the
    // program answers empty.
    ZuRuntimeRef runtime;
    if (!ZuClassFactory::GetClass(name, runtime))
        return ZuRuntimeRef();
    return runtime;
}

CGraObjectRef NewGraObject(const ZuRuntimeRef& runtime)
{
    if (runtime.IsInvalid() || !runtime->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(ZuObjectRef(ZuClassFactory::New(runtime, nullptr, __LINE__, ZU_SRC_FILE)));
}

void AddUniqueKind(int* list, int* count, int kind)
{
    for (int i = 0; i < *count; ++i)
        if (list[i] == kind)
            return;
    list[*count] = kind;
    ++*count;
}

// ---------------------------------------------------------------------------
// Units and numbers
// ---------------------------------------------------------------------------
namespace {

struct Unit {
    int code;
    const char* name;
    double factor;
    int decimals;
};

const Unit kUnits[] = {
    {10, "Sans unit\xe9", 1.0, 0},
    {11, "Sans unit\xe9", 1.0, 2},
    {12, "Pour-cent", 0.01, 1},
    {13, "Angle en degr\xe9s", 0.017453292519444445, 1},
    {14,
     "Poign\xe9"
     "e",
     1.0, 0},
    {20, "Picom\xe8tres", 1e-9, 0},
    {21, "Nanom\xe8tres", 1e-6, 0},
    {22, "Microm\xe8tres", 0.001, 0},
    {23, "Millim\xe8tres", 1.0, 2},
    {24, "Centim\xe8tres", 10.0, 3},
    {25,
     "D\xe9"
     "cim\xe9tres",
     100.0, 3},
    {26, "M\xe8tres", 1000.0, 4},
    {27, "Kilom\xe8tres", 1e6, 8},
    {30, "Pouces", 25.4, 3},
    {31, "Pieds", 304.8, 4},
    {32, "Yards", 914.4, 4},
    {33, "Miles", 1609344.0, 8},
    {40, "Picas", 4.28571428571, 2},
    {41, "Cic\xe9rots", 4.5652173913, 2},
    {42, "Didots", 0.375583495788, 1},
    {50, "Points", 0.352777535127, 1},
    {51, "Pixels (300 dpi)", 0.0846666666667, 0},
};

const Unit* FindUnit(int code)
{
    for (const Unit& u : kUnits)
        if (u.code == code)
            return &u;
    return nullptr;
}

} // namespace

int ResolveUnit(int code)
{
    return code == 0 ? GetDocumentUnit(0) : code;
}

const char* GetUnitName(int code)
{
    if (code < 0 || code >= UNIT_CODES)
        return nullptr;
    const Unit* u = FindUnit(code);
    return u ? u->name : "";
}

double GetUnitFactor(int code)
{
    const Unit* u = FindUnit(code);
    return u ? u->factor : 1.0;
}

int GetUnitDecimals(int code)
{
    const Unit* u = FindUnit(ResolveUnit(code));
    return u ? u->decimals : 2;
}

double UnitToMm(double value, int code)
{
    return value * GetUnitFactor(ResolveUnit(code));
}

double MmToUnit(double value, int code)
{
    return value / GetUnitFactor(ResolveUnit(code));
}

void FormatNumber(char* out, std::size_t room, double value, int decimals)
{
    if (room == 0)
        return;
    // Room for the longest fixed text of a double with nine decimals.
    char text[400];
    std::to_chars_result const r =
        std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed, 9);
    std::size_t length = r.ec == std::errc() ? std::size_t(r.ptr - text) : 0;
    text[length] = 0;
    if (char* point = std::strchr(text, '.')) {
        if (decimals <= 0)
            *point = 0;
        else if (decimals < 9)
            point[1 + decimals] = 0;
    }
    // A value cut down to nothing carries no sign.
    const char* start = text;
    if (text[0] == '-' && std::strspn(text + 1, "0.") == std::strlen(text + 1))
        start = text + 1;
    length = std::strlen(start);
    if (length > room - 1)
        length = room - 1;
    std::memcpy(out, start, length);
    out[length] = 0;
}

void FormatInUnit(char* out, std::size_t room, double mm, int code)
{
    const double v = MmToUnit(mm, code);
    const int decimals = GetUnitDecimals(code);
    // Half away from zero: the half step goes onto the magnitude.
    const double magnitude = Abs(v) + 0.5 * std::pow(10.0, -decimals);
    FormatNumber(out, room, v < 0.0 ? -magnitude : magnitude, decimals);
}

// ---------------------------------------------------------------- the current document

namespace {

// Made once and kept for the process; the zones empty them when they go.
CDocumentRef& CurrentDocument()
{
    static CDocumentRef* handle = new CDocumentRef();
    return *handle;
}

CViewRef& CurrentView()
{
    static CViewRef* handle = new CViewRef();
    return *handle;
}

} // namespace

void SetCurrentDocument(const CDocumentRef& document, const CViewRef& view)
{
    CurrentDocument() = document;
    CurrentView() = view;
}

CDocumentRef GetCurrentDocument()
{
    return CurrentDocument();
}

int GetDocumentUnit(int slot)
{
    const CDocumentRef& doc = CurrentDocument();
    return doc.IsValid() ? doc->GetUnit(slot) : 0;
}

DPoint PageToUserPoint(const DPoint& p)
{
    const CDocumentRef& doc = CurrentDocument();
    const CViewRef& view = CurrentView();
    if (doc.IsInvalid() || view.IsInvalid())
        return p;
    return DPoint{p.x - (view->origin_x - doc->GetPageWidth() / 2.0),
                  p.y - (view->origin_y - doc->GetPageHeight() / 2.0)};
}

DPoint UserToPagePoint(const DPoint& p)
{
    const CDocumentRef& doc = CurrentDocument();
    const CViewRef& view = CurrentView();
    if (doc.IsInvalid() || view.IsInvalid())
        return p;
    return DPoint{p.x + (view->origin_x - doc->GetPageWidth() / 2.0),
                  p.y + (view->origin_y - doc->GetPageHeight() / 2.0)};
}

bool IsPointOnPage(const DPoint& p)
{
    const CDocumentRef& doc = CurrentDocument();
    if (doc.IsInvalid() || CurrentView().IsInvalid())
        return true;
    const double w = doc->GetPageWidth() / 2.0;
    const double h = doc->GetPageHeight() / 2.0;
    return -w < p.x && p.x <= w && -h < p.y && p.y <= h;
}

// ---------------------------------------------------------------------------
// Numbers in text lines
// ---------------------------------------------------------------------------
namespace {

// The readers look at no more than this many characters of a line.
const unsigned kReadChars = 99;

void SetLineTextIfChanged(const ZuTextLineRef& line, const char* text)
{
    if (line.IsInvalid())
        return;
    const ZuStringRef& current = line->RetText();
    const char* shown = current.IsValid() ? current->AccessLatin() : nullptr;
    if (std::strcmp(shown != nullptr ? shown : "", text) == 0 && current.IsValid())
        return;
    line->SetText(ZuStringRef(text));
}

// The line's first characters, without the blanks that lead them and
// without a leading plus (a minus stays for the number to read).
std::string NumberText(const ZuTextLineRef& line, bool& negative_ok)
{
    negative_ok = true;
    if (line.IsInvalid() || line->RetText().IsInvalid())
        return std::string();
    // A text emptied by the user may hold no characters at all.
    const char* latin = line->RetText()->AccessLatin();
    std::string s(latin != nullptr ? latin : "");
    if (s.size() > kReadChars)
        s.resize(kReadChars);
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\f' || s[i] == '\v'))
        ++i;
    if (i < s.size() && s[i] == '+') {
        ++i;
        negative_ok = false;
    }
    return s.substr(i);
}

} // namespace

void SetTextLineUnitValue(const ZuTextLineRef& line, double mm, int code)
{
    char buffer[64];
    FormatInUnit(buffer, sizeof buffer, mm, code);
    SetLineTextIfChanged(line, buffer);
}

void SetTextLineNumber(const ZuTextLineRef& line, double value, int decimals)
{
    char buffer[64];
    FormatNumber(buffer, sizeof buffer, value, decimals);
    SetLineTextIfChanged(line, buffer);
}

void SetTextLineInt(const ZuTextLineRef& line, int value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    SetLineTextIfChanged(line, buffer);
}

double GetTextLineReal(const ZuTextLineRef& line)
{
    bool negative_ok = true;
    const std::string s = NumberText(line, negative_ok);
    if (s.empty() || (!negative_ok && s[0] == '-'))
        return 0.0;
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec == std::errc::result_out_of_range)
        return s[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return r.ec == std::errc() ? value : 0.0;
}

double GetTextLineUnitValue(const ZuTextLineRef& line, int code)
{
    return UnitToMm(GetTextLineReal(line), code);
}

int GetTextLineInt(const ZuTextLineRef& line)
{
    bool negative_ok = true;
    const std::string s = NumberText(line, negative_ok);
    if (s.empty() || (!negative_ok && s[0] == '-'))
        return 0;
    long long value = 0;
    const std::from_chars_result r = std::from_chars(s.data(), s.data() + s.size(), value);
    // A number too large for an int stops at the nearest int.
    if (r.ec == std::errc::result_out_of_range || value > INT_MAX || value < INT_MIN)
        return s[0] == '-' ? INT_MIN : INT_MAX;
    return r.ec == std::errc() ? static_cast<int>(value) : 0;
}
