#include "app/grapolyr.h"

#include <cmath>
#include <cstdio>

#include "app/graport.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraPolyReg, "app/grapolyr", ZU_CLASS_PLAIN)

namespace {

// Texts in Latin-1. A polygon that is not a star hides the indentation and
// the inner corners.
const GraProperty kProperties[CGraPolyReg::PROPERTIES] = {
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

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITH_OPTIONS};

// The flags of a star's rows.
const int kStarFlags[CGraPolyReg::PROPERTIES] = {2081, 2114, 2049, 2176, 128, 2050, 2049, 2176};

// A value as an int for the debugging text; one beyond an int's reach, or
// no number, gives 0.
int Truncated(double v)
{
    return std::isfinite(v) && Abs(v) < 2e9 ? int(v) : 0;
}

} // namespace

CGraPolyReg::CGraPolyReg()
    : pen(ZuNew<CPenDef>()), stroke_colour(ZuNew<CColorDef>()), fill(ZuNew<CMotifDef>()),
      fill_colour(ZuNew<CColorDef>()), shape(ZuNew<CPolyRegDef>()), outer(ZuNew<CCornerDef>()),
      inner(ZuNew<CCornerDef>())
{
    properties = &kTable;
}

CGraPolyReg::~CGraPolyReg() {}

void CGraPolyReg::Delete()
{
    Paint().Delete();
    DeleteDefinitions(shape, inner, outer);
    CGraObject::Delete();
}

GraPaint CGraPolyReg::Paint() const
{
    // The const operations only read through the view.
    CGraPolyReg* self = const_cast<CGraPolyReg*>(this);
    return GraPaint{&self->pen,  &self->stroke_brush, &self->stroke_pulsar, &self->stroke_colour,
                    &self->fill, &self->fill_brush,   &self->fill_pulsar,   &self->fill_colour};
}

void CGraPolyReg::CopyFrom(const CGraObjectRef& other)
{
    const CGraPolyReg* o = CGraPolyRegRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    Paint().CopyFrom(o->Paint());
    CloneInto(shape, o->shape);
    CloneInto(outer, o->outer);
    CloneInto(inner, o->inner);
    centre = o->centre;
    vertex = o->vertex;
    spare = o->spare;
    box = o->box;
    saved_centre = o->saved_centre;
    saved_vertex = o->saved_vertex;
    saved_outer = o->saved_outer;
    saved_inner = o->saved_inner;
    saved_width = o->saved_width;
    selected[0] = o->selected[0];
    selected[1] = o->selected[1];
}

bool CGraPolyReg::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Polygone r\xe9gulier");
    return true;
}

int CGraPolyReg::GetIconId(int variant) const
{
    return IconOfVariant(variant, 24, 34);
}

// ---------------------------------------------------------------- geometry

int CGraPolyReg::GetSides() const
{
    // A definition read from a file may hold any count: the outline keeps
    // to what a polygon can be drawn with.
    const int n = shape.IsValid() ? shape->GetSides() : CPolyRegDef::MIN_SIDES;
    if (n < CPolyRegDef::MIN_SIDES)
        return CPolyRegDef::MIN_SIDES;
    if (n > CPolyRegDef::MAX_SIDES)
        return CPolyRegDef::MAX_SIDES;
    return n;
}

bool CGraPolyReg::IsStar() const
{
    return shape.IsValid() && shape->IsStar();
}

double CGraPolyReg::GetIndentation() const
{
    return shape.IsValid() ? Clamp01(shape->GetIndentation()) : 0.0;
}

DPoint CGraPolyReg::GetOuterPoint(int k) const
{
    return RotatePoint(vertex, centre, k * (kTwoPi / (2 * GetSides())));
}

DPoint CGraPolyReg::GetInnerPoint(int k) const
{
    return InterpolatePoint(GetOuterPoint(k), centre, GetIndentation());
}

int CGraPolyReg::NextIndex(int k) const
{
    return k + 1 >= 2 * GetSides() ? 0 : k + 1;
}

int CGraPolyReg::PrevIndex(int k) const
{
    return k - 1 < 0 ? 2 * GetSides() - 1 : k - 1;
}

double CGraPolyReg::InsetOf(const CCornerDefRef& corner)
{
    return corner.IsValid() ? corner->GetLength() : 0.0;
}

int CGraPolyReg::KindOf(const CCornerDefRef& corner)
{
    return corner.IsValid() ? corner->GetValue() : int(CCornerDef::SHARP);
}

DPoint CGraPolyReg::GetOuterCornerStart(int k) const
{
    const DPoint c = GetOuterPoint(k);
    const double inset = InsetOf(outer);
    if (inset == 0.0 || KindOf(outer) == CCornerDef::SHARP)
        return c;
    const DPoint m =
        IsStar() ? GetInnerPoint(PrevIndex(k)) : GetOuterPoint(PrevIndex(PrevIndex(k)));
    return PointTowards(c, m, inset);
}

DPoint CGraPolyReg::GetOuterCornerEnd(int k) const
{
    const DPoint c = GetOuterPoint(k);
    const double inset = InsetOf(outer);
    if (inset == 0.0 || KindOf(outer) == CCornerDef::SHARP)
        return c;
    const DPoint m =
        IsStar() ? GetInnerPoint(NextIndex(k)) : GetOuterPoint(NextIndex(NextIndex(k)));
    return PointTowards(c, m, inset);
}

DPoint CGraPolyReg::GetInnerCornerStart(int i) const
{
    const DPoint c = GetInnerPoint(i);
    const double inset = InsetOf(inner);
    if (inset == 0.0 || KindOf(inner) == CCornerDef::SHARP)
        return c;
    return PointTowards(c, GetOuterPoint(PrevIndex(i)), inset);
}

DPoint CGraPolyReg::GetInnerCornerEnd(int i) const
{
    const DPoint c = GetInnerPoint(i);
    const double inset = InsetOf(inner);
    if (inset == 0.0 || KindOf(inner) == CCornerDef::SHARP)
        return c;
    return PointTowards(c, GetOuterPoint(NextIndex(i)), inset);
}

// ---------------------------------------------------------------- handles and geometry

int CGraPolyReg::GetHandleCount() const
{
    return HANDLES;
}

int CGraPolyReg::GetHandleType(int n) const
{
    switch (n) {
    case 0:
    case 1:
        return HANDLE_CORNER;
    case 2:
        return IsStar() ? HANDLE_SIDE : 1;
    case 3:
        return KindOf(outer) == CCornerDef::SHARP ? 1 : HANDLE_SIDE;
    case 4:
        return KindOf(inner) != CCornerDef::SHARP && IsStar() ? HANDLE_SIDE : 1;
    default:
        return 0;
    }
}

DPoint CGraPolyReg::FirstNeighbour() const
{
    return IsStar() ? GetInnerPoint(1) : GetOuterPoint(2);
}

DPoint CGraPolyReg::GetHandlePosition(int n) const
{
    switch (n) {
    case 0:
        return centre;
    case 1:
        return vertex;
    case 2:
        return GetInnerPoint(1);
    case 3:
        return PointTowards(vertex, FirstNeighbour(), InsetOf(outer));
    case 4:
        return PointTowards(FirstNeighbour(), vertex, InsetOf(inner));
    default:
        return DPoint{0.0, 0.0};
    }
}

void CGraPolyReg::LimitInsets()
{
    const double depth = Distance(GetOuterPoint(0), GetInnerPoint(0));
    const double outerLimit = IsStar() ? depth : Distance(GetOuterPoint(0), GetOuterPoint(2)) * 0.5;
    if (outer.IsValid() && outer->GetLength() > outerLimit)
        outer->SetLength(outerLimit);
    if (inner.IsValid() && inner->GetLength() > depth)
        inner->SetLength(depth);
}

void CGraPolyReg::SetHandlePosition(int n, const DPoint& p)
{
    switch (n) {
    case 0:
        centre = p;
        break;
    case 1:
        vertex = p;
        break;
    case 2:
        if (shape.IsValid())
            shape->SetIndentation(Clamp01(LineParam(GetOuterPoint(1), centre, p)));
        break;
    case 3:
        if (outer.IsValid())
            outer->SetLength(Distance(vertex, p));
        break;
    case 4:
        if (inner.IsValid())
            inner->SetLength(Distance(FirstNeighbour(), p));
        break;
    default:
        return;
    }
    LimitInsets();
}

void CGraPolyReg::SelectHandle(int n)
{
    if (editing != 0 && (n == 0 || n == 1))
        selected[n] = true;
}

bool CGraPolyReg::IsHandleSelected(int n) const
{
    return editing != 0 && (n == 0 || n == 1) && selected[n];
}

bool CGraPolyReg::SaveGeometry(const ChangeRecord&)
{
    saved_centre = centre;
    saved_vertex = vertex;
    saved_outer = InsetOf(outer);
    saved_inner = InsetOf(inner);
    saved_width = Paint().PenWidth();
    return true;
}

bool CGraPolyReg::Transform(const ChangeRecord& change, int flags)
{
    if (!selected[0]) {
        centre = saved_centre;
        TransformPoints(centre, centre, change);
    }
    if (!selected[1]) {
        vertex = saved_vertex;
        TransformPoints(vertex, vertex, change);
    }
    if (!selected[0] && !selected[1] && (flags & 2) != 0 && change.kind == 2) {
        const double f = (Abs(change.c.x) + Abs(change.c.y)) * 0.5;
        if (outer.IsValid())
            outer->SetLength(f * saved_outer);
        if (inner.IsValid())
            inner->SetLength(f * saved_inner);
        if (pen.IsValid())
            pen->SetWidth(f * saved_width);
    }
    return true;
}

bool CGraPolyReg::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraPolyReg::SetPoints(const DPoint* points, int n)
{
    if (points == nullptr)
        return false;
    centre = points[0];
    vertex = n >= 2 ? points[1] : points[0];
    return true;
}

void CGraPolyReg::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    vertex = q;
}

void CGraPolyReg::ConstrainPoint(int flags, int which, DPoint& point) const
{
    if ((flags & 2) == 0)
        return;
    SnapToAxis(which == 0 ? vertex : centre, point);
}

// ---------------------------------------------------------------- properties

void CGraPolyReg::GetPropertyLayout(int, int, int, int, int* out) const
{
    SetPlainLayout(out);
}

bool CGraPolyReg::GetPropertyFlags(int n, int& out) const
{
    if (!CGraObject::GetPropertyFlags(n, out))
        return false;
    if (IsStar())
        out = kStarFlags[n];
    return true;
}

bool CGraPolyReg::GetPropertyValue(int n, double& out) const
{
    switch (n) {
    case 0:
        out = PageToUserPoint(centre).x;
        return true;
    case 1:
        out = PageToUserPoint(centre).y;
        return true;
    case 2:
        out = Distance(centre, vertex);
        return true;
    case 3:
        out = AngleBetween(centre, DPoint{centre.x + 100.0, centre.y}, vertex);
        return true;
    case 4:
        out = GetSides();
        return true;
    case 5:
        out = GetIndentation();
        return true;
    case 6:
        out = InsetOf(outer);
        return true;
    case 7:
        out = InsetOf(inner);
        return true;
    default:
        return false;
    }
}

bool CGraPolyReg::SetPropertyValue(int n, double v)
{
    // A value that is no number changes nothing (nor can it be truncated).
    if (!kTable.Has(n) || !std::isfinite(v))
        return false;
    DPoint c = centre;
    DPoint w = vertex;
    switch (n) {
    case 0:
    case 1: {
        const DPoint u = PageToUserPoint(centre);
        const double dx = n == 0 ? v - u.x : 0.0;
        const double dy = n == 1 ? v - u.y : 0.0;
        c = DPoint{c.x + dx, c.y + dy};
        w = DPoint{w.x + dx, w.y + dy};
        break;
    }
    case 2: {
        double a = 0.0;
        GetPropertyValue(3, a);
        w = PolarPoint(centre, v, a);
        break;
    }
    case 3:
        w = PolarPoint(centre, Distance(centre, vertex), v);
        break;
    case 4:
        // The definition keeps the count within 3 .. 50.
        if (shape.IsValid())
            shape->SetSides(v < -1e9 ? -1000000000 : v > 1e9 ? 1000000000 : int(v));
        break;
    case 5:
        if (shape.IsValid())
            shape->SetIndentation(v);
        break;
    case 6:
        if (outer.IsValid())
            outer->SetLength(v < 0.0 ? 0.0 : v);
        break;
    default:
        if (inner.IsValid())
            inner->SetLength(v < 0.0 ? 0.0 : v);
        break;
    }
    if ((c.x == w.x && c.y == w.y) || !IsPointOnPage(c) || !IsPointOnPage(w))
        return false;
    centre = c;
    vertex = w;
    LimitInsets();
    return true;
}

bool CGraPolyReg::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    kind = 0;
    switch (n) {
    case 0:
    case 1:
        a = b = centre;
        kind = n == 0 ? 2 : 3;
        return true;
    case 2:
    case 3:
        a = centre;
        b = vertex;
        kind = n == 2 ? 4 : 7;
        return true;
    case 5:
        a = GetHandlePosition(0);
        b = GetHandlePosition(2);
        kind = 4;
        return true;
    case 6:
        a = GetHandlePosition(1);
        b = GetHandlePosition(3);
        kind = 4;
        return true;
    case 7:
        a = GetHandlePosition(2);
        b = GetHandlePosition(4);
        kind = 4;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- definitions and editing

bool CGraPolyReg::GetDebugText(ZuStringRef& out) const
{
    const DPoint u = PageToUserPoint(centre);
    SetDebugText(out, {{"  X=", u.x, 0}, {" Y=", u.y, 0}});
    char tail[64];
    std::snprintf(tail, sizeof tail, " nb=%d re=%d ri=%d", GetSides(), Truncated(InsetOf(outer)),
                  Truncated(InsetOf(inner)));
    out->AppendString(tail);
    return true;
}

void CGraPolyReg::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 20, 21, 22, 25, 30, 31, 50, 100, 102, 101, 105, 0});
}

int CGraPolyReg::GetEditMode() const
{
    return edit_mode;
}

bool CGraPolyReg::SetEditMode(int mode)
{
    edit_mode = mode;
    selected[0] = selected[1] = false;
    return true;
}

int CGraPolyReg::IsEditing() const
{
    return editing;
}

bool CGraPolyReg::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraPolyReg::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (Paint().HasKind(kind))
        return Paint().Get(kind, out);
    switch (kind) {
    case 50:
        out = shape;
        return true;
    case 30:
        out = outer;
        return true;
    case 31:
        out = inner;
        return true;
    default:
        return CGraObject::GetDefinition(kind, out);
    }
}

bool CGraPolyReg::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (Paint().HasKind(kind))
        return Paint().Set(kind, def);
    switch (kind) {
    case 50:
        return SetChecked(shape, def);
    case 30:
        return SetChecked(outer, def);
    case 31:
        return SetChecked(inner, def);
    default:
        return CGraObject::SetDefinition(kind, def);
    }
}

bool CGraPolyReg::PruneDefinitions()
{
    Paint().Prune();
    return CGraObject::PruneDefinitions();
}

bool CGraPolyReg::GetMissingDefinitions(int* kinds, int* count) const
{
    Paint().AddMissing(kinds, count);
    return CGraObject::GetMissingDefinitions(kinds, count);
}

// ---------------------------------------------------------------- hit tests and drawing

void CGraPolyReg::BuildOutline(CGraPortRef& port)
{
    const int last = 2 * GetSides();
    const double outerInset = InsetOf(outer);
    const int outerKind = KindOf(outer);
    // The last side ends on the first corner itself, so that the outline
    // closes exactly.
    if (!IsStar()) {
        for (int k = 0; k < last; k += 2) {
            const DPoint end = GetOuterCornerEnd(k);
            DrawCorner(port, GetOuterCornerStart(k), end, GetOuterPoint(k), outerInset, outerKind);
            port->DrawLine(end, GetOuterCornerStart(k + 2 == last ? 0 : k + 2));
        }
        return;
    }
    const double innerInset = InsetOf(inner);
    const int innerKind = KindOf(inner);
    for (int i = 1; i < last; i += 2) {
        const int k = i - 1;
        const DPoint outerEnd = GetOuterCornerEnd(k);
        const DPoint innerStart = GetInnerCornerStart(i);
        const DPoint innerEnd = GetInnerCornerEnd(i);
        DrawCorner(port, GetOuterCornerStart(k), outerEnd, GetOuterPoint(k), outerInset, outerKind);
        port->DrawLine(outerEnd, innerStart);
        DrawCorner(port, innerStart, innerEnd, GetInnerPoint(i), innerInset, innerKind);
        port->DrawLine(innerEnd, GetOuterCornerStart(i + 1 == last ? 0 : i + 1));
    }
}

bool CGraPolyReg::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fillAllowed)
{
    return HitOutline(port, Paint(), p, zoom, Paint().FillHittable(fillAllowed),
                      Paint().StrokeHittable(), true, [&] { BuildOutline(port); });
}

int CGraPolyReg::HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int fillAllowed)
{
    return HitTest(port, p, zoom, fillAllowed) ? 0 : -1;
}

bool CGraPolyReg::Draw(CGraPortRef& port, int flags)
{
    const bool fillWanted = flags != 0 && (flags & (8 | 16)) == 0;
    Paint().SetForDraw(port, flags);
    // The outline modes show the radius.
    if ((flags & (8 | 16)) != 0)
        port->DrawLine(centre, vertex);
    PaintOutline(port, fillWanted, true, [&] { BuildOutline(port); });
    return true;
}

bool CGraPolyReg::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawOutlineShadow(port, flags, pen, [&] { BuildOutline(port); });
}

bool CGraPolyReg::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, Paint(), true, [&] { BuildOutline(port); });
}

// ---------------------------------------------------------------- storage

void CGraPolyReg::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    Paint().Store(s);
    s << ZuStorageSync::mark;
    s << shape << outer << inner << ZuStorageSync::mark;
    s << centre.x << centre.y << vertex.x << vertex.y << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::mark;
    s << spare << ZuStorageSync::end;
}

void CGraPolyReg::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    Paint().Restore(s);
    s >> ZuStorageSync::mark;
    s >> shape >> outer >> inner >> ZuStorageSync::mark;
    s >> centre.x >> centre.y >> vertex.x >> vertex.y >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::mark;
    s >> spare >> ZuStorageSync::end;
}
