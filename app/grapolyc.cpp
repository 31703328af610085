#include "app/grapolyc.h"

#include <cmath>

#include "app/graport.h"
#include "app/polychain.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraPolyCurve, "app/grapolyc", ZU_CLASS_PLAIN)

namespace {

// Texts in Latin-1. The range of "Choix point" ends at the count.
const GraProperty kProperties[CGraPolyCurve::PROPERTIES] = {
    {"Position X", "Position horizontale", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position verticale", 0x8C0, 0, -2000.0, 2000.0, 0.0, -1},
    {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1.0, 0.0, 1.0, -1},
    {"Position X", "Position point principal", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position point principal", 0x842, 0, -2000.0, 2000.0, 0.0, -1},
    {"Distance S1", "Distance point secondaire 1", 0x821, 0, 0.0, 2000.0, 0.0, -1},
    {"Angle S1", "Inclinaison point secondaire 1 [degr\xe9s]", 0x842, 13, 0.0, 6.283185307,
     0.3926990816875, -1},
    {"Distance S2", "Distance point secondaire 2", 0x821, 0, 0.0, 2000.0, 0.0, -1},
    {"Angle S2", "Inclinaison point secondaire 2 [degr\xe9s]", 0x8C0, 13, 0.0, 6.283185307,
     0.3926990816875, -1},
};

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITHOUT_OPTIONS};

bool Same(const DPoint& a, const DPoint& b)
{
    return a.x == b.x && a.y == b.y;
}

// Samples of the nearest-point search on a segment.
const int kNearestSteps = 1000;

} // namespace

CGraPolyCurve::CGraPolyCurve()
{
    properties = &kTable;
    paint.Create();
}

CGraPolyCurve::~CGraPolyCurve() {}

void CGraPolyCurve::Delete()
{
    paint.Delete();
    CGraObject::Delete();
}

VertexChain<CurveVertex> CGraPolyCurve::Chain() const
{
    // The const operations only read through the view.
    CGraPolyCurve* self = const_cast<CGraPolyCurve*>(this);
    return VertexChain<CurveVertex>{self->vertices, self->saved,    &self->count,
                                    &self->chosen,  self->selected, MAX_HANDLES};
}

void CGraPolyCurve::CopyFrom(const CGraObjectRef& other)
{
    const CGraPolyCurve* o = CGraPolyCurveRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    paint.CopyFrom(o->paint);
    Chain().CopyFrom(o->Chain());
    box = o->box;
    saved_width = o->saved_width;
}

bool CGraPolyCurve::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Courbes de B\xe9zier");
    return true;
}

int CGraPolyCurve::GetIconId(int variant) const
{
    return IconOfVariant(variant, 22, 32);
}

// ---------------------------------------------------------------- geometry helpers

DPoint CGraPolyCurve::GetCentroid() const
{
    return Chain().Centroid();
}

void CGraPolyCurve::Offset(double dx, double dy)
{
    for (int i = 0; i < count; i++) {
        for (DPoint* q : {&vertices[i].s1, &vertices[i].p, &vertices[i].s2}) {
            q->x += dx;
            q->y += dy;
        }
    }
}

int CGraPolyCurve::NextIndex(int i) const
{
    return Chain().Next(i);
}

int CGraPolyCurve::PrevIndex(int i) const
{
    return Chain().Prev(i);
}

bool CGraPolyCurve::IsSegment(int s) const
{
    return Chain().IsSegment(s, paint.IsClosed());
}

DPoint& CGraPolyCurve::HandlePoint(int n)
{
    CurveVertex& v = vertices[n / 3];
    return n % 3 == 0 ? v.s1 : n % 3 == 1 ? v.p : v.s2;
}

const DPoint& CGraPolyCurve::HandlePoint(int n) const
{
    const CurveVertex& v = vertices[n / 3];
    return n % 3 == 0 ? v.s1 : n % 3 == 1 ? v.p : v.s2;
}

DPoint CGraPolyCurve::CounterpartPoint(int mode, const DPoint& p, const DPoint& other,
                                       const DPoint& moved)
{
    // A collapsed control point is never pulled out.
    if (Same(other, p))
        return other;
    if (mode == MODE_SYMMETRIC)
        return MirrorPoint(moved, p);
    if (mode == MODE_SMOOTH)
        return PointTowards(p, MirrorPoint(moved, p), Distance(p, other));
    return other;
}

void CGraPolyCurve::MoveHandleLinked(int n, const DPoint& point)
{
    if (!IsHandle(n))
        return;
    CurveVertex& v = vertices[n / 3];
    switch (n % 3) {
    case 0:
        v.s1 = point;
        v.s2 = CounterpartPoint(v.mode, v.p, v.s2, v.s1);
        break;
    case 1: {
        const double dx = point.x - v.p.x;
        const double dy = point.y - v.p.y;
        v.s1 = DPoint{v.s1.x + dx, v.s1.y + dy};
        v.s2 = DPoint{v.s2.x + dx, v.s2.y + dy};
        v.p = point;
        break;
    }
    default:
        v.s2 = point;
        v.s1 = CounterpartPoint(v.mode, v.p, v.s1, v.s2);
        break;
    }
}

void CGraPolyCurve::FitVertexToCurve(int i)
{
    if (i < 0 || i >= count)
        return;
    CurveVertex& p = vertices[PrevIndex(i)];
    CurveVertex& q = vertices[NextIndex(i)];
    CurveVertex& v = vertices[i];
    double t = BezierNearest(p.p, p.s2, q.s1, q.p, v.p, kNearestSteps);
    if (t < 0.0)
        t = 0.5;
    v.mode = MODE_SMOOTH;
    v.p = BezierPoint(p.p, p.s2, q.s1, q.p, t);
    // De Casteljau's split of the segment at t.
    const DPoint a = InterpolatePoint(p.s2, q.s1, t);
    p.s2 = InterpolatePoint(p.p, p.s2, t);
    q.s1 = InterpolatePoint(q.p, q.s1, 1.0 - t);
    v.s1 = InterpolatePoint(p.s2, a, t);
    v.s2 = InterpolatePoint(q.s1, a, 1.0 - t);
}

// ---------------------------------------------------------------- handles

int CGraPolyCurve::GetHandleCount() const
{
    return 3 * count;
}

int CGraPolyCurve::GetHandleType(int n) const
{
    if (!IsHandle(n))
        return 0;
    if (!paint.IsClosed() && (n == 0 || n == 3 * count - 1))
        return 1;
    if (n % 3 == 1)
        return n / 3 == chosen ? 9 : 2;
    return Same(HandlePoint(n), vertices[n / 3].p) ? 1 : 3;
}

DPoint CGraPolyCurve::GetHandlePosition(int n) const
{
    return IsHandle(n) ? HandlePoint(n) : DPoint{0.0, 0.0};
}

void CGraPolyCurve::SetHandlePosition(int n, const DPoint& p)
{
    if (IsHandle(n))
        HandlePoint(n) = p;
}

void CGraPolyCurve::MoveHandle(int n, const DPoint& p)
{
    if (!IsHandle(n))
        return;
    MoveHandleLinked(n, p);
    chosen = n / 3;
}

void CGraPolyCurve::SelectHandle(int n)
{
    Chain().Select(editing, n);
}

bool CGraPolyCurve::IsHandleSelected(int n) const
{
    return Chain().IsSelected(editing, n);
}

bool CGraPolyCurve::SaveGeometry(const ChangeRecord&)
{
    Chain().Save();
    saved_width = paint.PenWidth();
    return true;
}

bool CGraPolyCurve::Transform(const ChangeRecord& change, int flags)
{
    const bool any = Chain().AnySelected();
    for (int i = 0; i < count; i++) {
        if (selected[3 * i + 1] != 0)
            continue;
        DPoint p = saved[i].p;
        DPoint s1 = saved[i].s1;
        TransformPoints(p, s1, change);
        DPoint p2 = saved[i].p;
        DPoint s2 = saved[i].s2;
        TransformPoints(p2, s2, change);
        vertices[i].p = p;
        if (selected[3 * i] == 0)
            vertices[i].s1 = s1;
        if (selected[3 * i + 2] == 0)
            vertices[i].s2 = s2;
    }
    if (!any)
        paint.View().ScalePen(saved_width, change, flags);
    return true;
}

bool CGraPolyCurve::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraPolyCurve::SetPoints(const DPoint* points, int)
{
    if (points == nullptr || count >= MAX_VERTICES)
        return false;
    CurveVertex& v = vertices[count];
    v.s1 = v.p = v.s2 = points[0];
    v.mode = MODE_SYMMETRIC;
    v.end = 1;
    if (count >= 1)
        vertices[count - 1].end = 0;
    count++;
    return true;
}

void CGraPolyCurve::PlacePoint(const DPoint& p, int)
{
    if (count == 0)
        return;
    CurveVertex& v = vertices[count - 1];
    v.s2 = p;
    v.s1 = MirrorPoint(v.s2, v.p);
}

bool CGraPolyCurve::DragPoint(const DPoint& p, int flags)
{
    PlacePoint(p, flags);
    return count < MAX_VERTICES;
}

bool CGraPolyCurve::CanRemovePoint() const
{
    return count > 1;
}

void CGraPolyCurve::RemoveLastPoint()
{
    Chain().RemoveLast();
}

void CGraPolyCurve::ConstrainPoint(int, int, DPoint&) const {}

// ---------------------------------------------------------------- palette and editing

void CGraPolyCurve::GetPropertyLayout(int handle, int segment, int, int, int* out) const
{
    if (out == nullptr)
        return;
    out = BeginPalette(out);
    bool wrote = false;
    if (segment != -1 && IsSegment(segment)) {
        out = PaletteEntry(out, CMD_ADD);
        *out++ = -3;
        const CurveVertex& a = vertices[segment];
        const CurveVertex& b = vertices[NextIndex(segment)];
        if (!(Same(a.s2, a.p) && Same(b.s1, b.p)))
            out = PaletteEntry(out, CMD_STRAIGHT);
        out = PaletteEntry(out, CMD_CURVE);
        wrote = true;
    }
    if (handle != -1 && IsHandle(handle)) {
        const int mode = vertices[handle / 3].mode;
        out = PaletteEntry(out, CMD_SYMMETRIC, 4, mode == MODE_SYMMETRIC ? 1 : 0);
        out = PaletteEntry(out, CMD_SMOOTH, 4, mode == MODE_SMOOTH ? 1 : 0);
        out = PaletteEntry(out, CMD_ANGULAR, 4, mode == MODE_ANGULAR ? 1 : 0);
        if (count > 2 && handle % 3 == 1) {
            *out++ = -3;
            out = PaletteEntry(out, CMD_REMOVE);
        }
        wrote = true;
    }
    EndPalette(out, wrote);
}

void CGraPolyCurve::EditPoints(int handle, int segment, const DPoint& point, int command)
{
    if (segment != -1 && IsSegment(segment)) {
        const int s = segment;
        if (command == CMD_ADD && count < MAX_VERTICES) {
            Chain().Insert(s);
            vertices[s + 1].p = point;
            FitVertexToCurve(s + 1);
        } else if (command == CMD_STRAIGHT) {
            CurveVertex& a = vertices[s];
            CurveVertex& b = vertices[NextIndex(s)];
            a.s2 = a.p;
            b.s1 = b.p;
        } else if (command == CMD_CURVE) {
            CurveVertex& a = vertices[s];
            CurveVertex& b = vertices[NextIndex(s)];
            const DPoint m = MidPoint(a.p, b.p);
            a.s2 = MidPoint(a.p, m);
            b.s1 = MidPoint(b.p, m);
            a.mode = MODE_SMOOTH;
            a.s1 = CounterpartPoint(MODE_SMOOTH, a.p, a.s1, a.s2);
            b.mode = MODE_SMOOTH;
            b.s2 = CounterpartPoint(MODE_SMOOTH, b.p, b.s2, b.s1);
        }
    }
    if (handle != -1 && IsHandle(handle)) {
        const int v = handle / 3;
        if (command >= CMD_SYMMETRIC && command <= CMD_ANGULAR) {
            vertices[v].mode = short(command - CMD_SYMMETRIC + 1);
        } else if (command == CMD_REMOVE && count >= 3) {
            Chain().Remove(v);
        }
    }
}

// ---------------------------------------------------------------- properties

bool CGraPolyCurve::GetPropertyRange(int n, double& min, double& max) const
{
    if (!CGraObject::GetPropertyRange(n, min, max))
        return false;
    if (n == 2)
        max = double(count);
    return true;
}

bool CGraPolyCurve::GetPropertyValue(int n, double& out) const
{
    if (!kTable.Has(n))
        return false;
    if (n < 2) {
        const DPoint c = PageToUserPoint(GetCentroid());
        out = n == 0 ? c.x : c.y;
        return true;
    }
    if (chosen < 0 || chosen >= count)
        return false;
    const CurveVertex& v = vertices[chosen];
    switch (n) {
    case 2:
        out = chosen + 1;
        break;
    case 3:
        out = PageToUserPoint(v.p).x;
        break;
    case 4:
        out = PageToUserPoint(v.p).y;
        break;
    case 5:
        out = Distance(v.p, v.s1);
        break;
    case 6:
        out = Inclination(v.p, v.s1);
        break;
    case 7:
        out = Distance(v.p, v.s2);
        break;
    default:
        out = Inclination(v.p, v.s2);
        break;
    }
    return true;
}

bool CGraPolyCurve::SetPropertyValue(int n, double value)
{
    // A value that is no number moves nothing.
    if (!kTable.Has(n) || !std::isfinite(value))
        return false;
    if (n < 2) {
        const DPoint c = PageToUserPoint(GetCentroid());
        if (n == 0)
            Offset(value - c.x, 0.0);
        else
            Offset(0.0, value - c.y);
        return chosen >= 0 && chosen < count;
    }
    if (n == 2) {
        chosen = PointOfNumber(value, count);
        return chosen >= 0;
    }
    if (chosen < 0 || chosen >= count)
        return false;
    const CurveVertex& v = vertices[chosen];
    const int base = 3 * chosen;
    switch (n) {
    case 3: {
        const DPoint u = PageToUserPoint(v.p);
        MoveHandleLinked(base + 1, UserToPagePoint(DPoint{value, u.y}));
        break;
    }
    case 4: {
        const DPoint u = PageToUserPoint(v.p);
        MoveHandleLinked(base + 1, UserToPagePoint(DPoint{u.x, value}));
        break;
    }
    case 5:
        MoveHandleLinked(base, PolarPoint(v.p, value, Inclination(v.p, v.s1)));
        break;
    case 6:
        MoveHandleLinked(base, PolarPoint(v.p, Distance(v.p, v.s1), value));
        break;
    case 7:
        MoveHandleLinked(base + 2, PolarPoint(v.p, value, Inclination(v.p, v.s2)));
        break;
    default:
        MoveHandleLinked(base + 2, PolarPoint(v.p, Distance(v.p, v.s2), value));
        break;
    }
    return true;
}

bool CGraPolyCurve::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    if (!kTable.Has(n))
        return false;
    if (n < 2) {
        a = b = GetCentroid();
        kind = n == 0 ? 2 : 3;
        return true;
    }
    if (chosen < 0 || chosen >= count)
        return false;
    const CurveVertex& v = vertices[chosen];
    static const int kinds[PROPERTIES] = {2, 3, 1, 2, 3, 4, 7, 4, 7};
    kind = kinds[n];
    a = v.p;
    b = n < 5 ? v.p : n < 7 ? v.s1 : v.s2;
    return true;
}

// ---------------------------------------------------------------- definitions and editing

bool CGraPolyCurve::GetDebugText(ZuStringRef& out) const
{
    SetVertexDebugText(out, count);
    return true;
}

void CGraPolyCurve::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 18, 20, 21, 22, 25, 100, 102, 101, 105, 0});
}

int CGraPolyCurve::GetEditMode() const
{
    return edit_mode;
}

bool CGraPolyCurve::SetEditMode(int mode)
{
    edit_mode = mode;
    Chain().ClearMarks();
    return true;
}

int CGraPolyCurve::IsEditing() const
{
    return editing;
}

bool CGraPolyCurve::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraPolyCurve::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (PolyPaint::IsKind(kind))
        return paint.Get(kind, out);
    return CGraObject::GetDefinition(kind, out);
}

bool CGraPolyCurve::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (PolyPaint::IsKind(kind))
        return paint.Set(kind, def);
    return CGraObject::SetDefinition(kind, def);
}

bool CGraPolyCurve::PruneDefinitions()
{
    paint.Prune();
    return CGraObject::PruneDefinitions();
}

bool CGraPolyCurve::GetMissingDefinitions(int* kinds, int* n) const
{
    paint.AddMissing(kinds, n);
    return CGraObject::GetMissingDefinitions(kinds, n);
}

// ---------------------------------------------------------------- drawing and hit tests

void CGraPolyCurve::AppendPath(CGraPortRef& port) const
{
    for (int i = 0; i + 1 < count; i++)
        port->DrawCurve(vertices[i].p, vertices[i].s2, vertices[i + 1].s1, vertices[i + 1].p);
    // Without a vertex there is nothing to close.
    if (paint.IsClosed() && count > 0) {
        const CurveVertex& last = vertices[count - 1];
        port->DrawCurve(last.p, last.s2, vertices[0].s1, vertices[0].p);
    }
}

bool CGraPolyCurve::Draw(CGraPortRef& port, int flags)
{
    const bool outline = (flags & (8 | 16)) != 0;
    const bool fill = flags != 0 && !outline;
    paint.SetForDraw(port, flags);
    if (outline) {
        const bool all = (flags & 16) != 0 || paint.IsClosed();
        for (int i = 0; i < count; i++) {
            const CurveVertex& v = vertices[i];
            if (all || i != 0)
                port->DrawLine(v.p, v.s1);
            if (all || i != count - 1)
                port->DrawLine(v.p, v.s2);
        }
        if (count == 1 && Same(vertices[0].p, vertices[0].s1) &&
            Same(vertices[0].p, vertices[0].s2)) {
            DrawVertexCross(port, vertices[0].p);
        }
    }
    PaintOutline(port, fill, paint.IsClosed(), [&] { AppendPath(port); });
    return true;
}

bool CGraPolyCurve::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawOutlineShadow(port, flags, paint.pen, [&] { AppendPath(port); });
}

bool CGraPolyCurve::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, paint.View(), paint.IsClosed(), [&] { AppendPath(port); });
}

bool CGraPolyCurve::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fill)
{
    const bool testFill = paint.FillVisible() && fill != 0;
    return HitOutline(port, paint.View(), p, zoom, testFill, paint.StrokeVisible(),
                      paint.IsClosed(), [&] { AppendPath(port); });
}

int CGraPolyCurve::HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int)
{
    return HitSegment(port, paint.View(), box, p, zoom, count, paint.IsClosed(), [&](int i, int j) {
        port->DrawCurve(vertices[i].p, vertices[i].s2, vertices[j].s1, vertices[j].p);
    });
}

// ---------------------------------------------------------------- storage

void CGraPolyCurve::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    paint.Store(s);
    s << count << ZuStorageSync::repeat;
    for (int i = 0; i < count; i++) {
        const CurveVertex& v = vertices[i];
        s << ZuStorageSync::begin << v.s1.x << v.s1.y << v.p.x << v.p.y << v.s2.x << v.s2.y;
        s << int(v.mode) << int(v.end) << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraPolyCurve::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    paint.Restore(s);
    const int stored = RestoreVertexCount(s, MAX_VERTICES);
    CurveVertex read[MAX_VERTICES] = {};
    for (int i = 0; i < stored; i++) {
        CurveVertex& v = read[i];
        s >> ZuStorageSync::begin >> v.s1.x >> v.s1.y >> v.p.x >> v.p.y >> v.s2.x >> v.s2.y;
        s >> v.mode >> v.end >> ZuStorageSync::end;
    }
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::mark;
    DRect b{0.0, 0.0, 0.0, 0.0};
    s >> b.x1 >> b.y1 >> b.x2 >> b.y2 >> ZuStorageSync::end;
    count = stored;
    for (int i = 0; i < count; i++)
        vertices[i] = read[i];
    box = b;
}
