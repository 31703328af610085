#include "app/grarect.h"

#include <cmath>
#include <cstdio>

#include "app/graport.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/newtofill.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraRect, "app/grarect", ZU_CLASS_PLAIN)

namespace {

// One row of the property table.
// Texts in Latin-1.
const GraProperty kProperties[CGraRect::PROPERTIES] = {
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

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITH_OPTIONS};

DPoint Add(const DPoint& a, double dx, double dy)
{
    return DPoint{a.x + dx, a.y + dy};
}

} // namespace

CGraRect::CGraRect()
    : pen(ZuNewUnlessFilled<CPenDef>()), stroke_colour(ZuNewUnlessFilled<CColorDef>()),
      fill(ZuNewUnlessFilled<CMotifDef>()), fill_colour(ZuNewUnlessFilled<CColorDef>())
{
    properties = &kTable;
}

CGraRect::~CGraRect() {}

void CGraRect::Delete()
{
    Paint().Delete();
    DeleteDefinitions(corner);
    CGraObject::Delete();
}

GraPaint CGraRect::Paint() const
{
    // The const operations only read through the view.
    CGraRect* self = const_cast<CGraRect*>(this);
    return GraPaint{&self->pen,  &self->stroke_brush, &self->stroke_pulsar, &self->stroke_colour,
                    &self->fill, &self->fill_brush,   &self->fill_pulsar,   &self->fill_colour};
}

void CGraRect::CopyFrom(const CGraObjectRef& other)
{
    const CGraRect* o = CGraRectRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    Paint().CopyFrom(o->Paint());
    CloneInto(corner, o->corner);
    p = o->p;
    q = o->q;
    angle = o->angle;
    saved_p = o->saved_p;
    saved_q = o->saved_q;
    saved_angle = o->saved_angle;
    saved_inset = o->saved_inset;
    saved_width = o->saved_width;
    for (int i = 0; i < 4; i++)
        selected[i] = o->selected[i];
    box = o->box;
}

bool CGraRect::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Rectangle");
    return true;
}

int CGraRect::GetIconId(int variant) const
{
    return IconOfVariant(variant, 21, 31);
}

// ---------------------------------------------------------------- corners

DPoint CGraRect::GetCorner(int i) const
{
    switch (i & 3) {
    case 0:
        return p;
    case 1:
        return RotatePoint(DPoint{p.x, q.y}, p, angle);
    case 2:
        return RotatePoint(q, p, angle);
    default:
        return RotatePoint(DPoint{q.x, p.y}, p, angle);
    }
}

double CGraRect::Inset() const
{
    return corner.IsValid() ? corner->GetLength() : 0.0;
}

bool CGraRect::HasCutCorners() const
{
    return corner.IsValid() && corner->GetLength() != 0.0 &&
           corner->GetValue() != CCornerDef::SHARP;
}

DPoint CGraRect::GetCornerStart(int i) const
{
    const DPoint c = GetCorner(i);
    if (Inset() == 0.0)
        return c;
    return PointTowards(c, GetCorner(i + 3), Inset());
}

DPoint CGraRect::GetCornerEnd(int i) const
{
    const DPoint c = GetCorner(i);
    if (Inset() == 0.0)
        return c;
    return PointTowards(c, GetCorner(i + 1), Inset());
}

// ---------------------------------------------------------------- handles and geometry

int CGraRect::GetHandleCount() const
{
    return HANDLES;
}

int CGraRect::GetHandleType(int n) const
{
    if (n >= 0 && n < 4)
        return HANDLE_CORNER;
    if (n >= 4 && n < 8)
        return HANDLE_SIDE;
    if (n == 8)
        return corner.IsValid() && corner->GetValue() != CCornerDef::SHARP ? HANDLE_SIDE : 1;
    return 0;
}

DPoint CGraRect::GetHandlePosition(int n) const
{
    if (n >= 0 && n < 4)
        return GetCorner(n);
    if (n >= 4 && n < 8)
        return MidPoint(GetCorner(n - 4), GetCorner(n - 3));
    if (n == 8)
        return PointTowards(GetCorner(0), GetCorner(3), Inset());
    return DPoint{0.0, 0.0};
}

void CGraRect::SetHandlePosition(int n, const DPoint& to)
{
    if (n < 0 || n >= HANDLES)
        return;
    // The move measured along the rectangle's own axes.
    const DPoint h = GetHandlePosition(n);
    const DPoint l = RotatePoint(to, h, -angle);
    const double dx = l.x - h.x;
    const double dy = l.y - h.y;
    double w = q.x - p.x;
    double ht = q.y - p.y;
    switch (n) {
    case 0: {
        const DPoint c2 = GetCorner(2);
        p = to;
        q = RotatePoint(c2, to, -angle);
        break;
    }
    case 1:
        w -= dx;
        ht += dy;
        p = RotatePoint(Add(p, dx, 0.0), p, angle);
        q = Add(p, w, ht);
        break;
    case 2:
        q = RotatePoint(to, p, -angle);
        break;
    case 3:
        w += dx;
        ht -= dy;
        p = RotatePoint(Add(p, 0.0, dy), p, angle);
        q = Add(p, w, ht);
        break;
    case 4:
        w -= dx;
        p = RotatePoint(Add(p, dx, 0.0), p, angle);
        q = Add(p, w, ht);
        break;
    case 5:
        q.y = p.y + ht + dy;
        break;
    case 6:
        q.x = p.x + w + dx;
        break;
    case 7:
        p = RotatePoint(Add(p, 0.0, dy), p, angle);
        q = Add(p, w, ht - dy);
        break;
    default:
        if (corner.IsValid())
            corner->SetLength(Distance(p, RotatePoint(to, p, -angle)));
        break;
    }
}

void CGraRect::SelectHandle(int n)
{
    if (editing != 0 && n >= 0 && n < 4)
        selected[n] = true;
}

bool CGraRect::IsHandleSelected(int n) const
{
    return editing != 0 && n >= 0 && n < 4 && selected[n];
}

bool CGraRect::SaveGeometry(const ChangeRecord&)
{
    saved_angle = angle;
    saved_p = p;
    saved_q = q;
    if (corner.IsValid())
        saved_inset = corner->GetLength();
    saved_width = Paint().PenWidth();
    return true;
}

bool CGraRect::Transform(const ChangeRecord& change, int flags)
{
    if (change.kind == 3) {
        angle = saved_angle + change.c.x;
        const double w = q.x - p.x;
        const double h = q.y - p.y;
        p = saved_p;
        TransformPoints(p, p, change);
        q = Add(p, w, h);
    } else {
        p = saved_p;
        TransformPoints(p, p, change);
        DPoint d = RotatePoint(saved_q, saved_p, saved_angle);
        TransformPoints(d, d, change);
        q = RotatePoint(d, p, -saved_angle);
    }
    if ((flags & 2) != 0 && change.kind == 2) {
        const double f = (Abs(change.c.x) + Abs(change.c.y)) * 0.5;
        if (corner.IsValid())
            corner->SetLength(f * saved_inset);
        if (pen.IsValid())
            pen->SetWidth(f * saved_width);
    }
    return true;
}

bool CGraRect::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraRect::SetPoints(const DPoint* points, int n)
{
    if (points == nullptr)
        return false;
    p = points[0];
    q = n >= 2 ? points[1] : points[0];
    return true;
}

void CGraRect::PlacePoint(const DPoint& to, int flags)
{
    DPoint c = to;
    ConstrainPoint(flags, 1, c);
    q = c;
}

void CGraRect::ConstrainPoint(int flags, int i, DPoint& point) const
{
    if ((flags & 2) == 0 || i < 0 || i > 3)
        return;
    static const int opposite[4] = {1, 0, 3, 2};
    const DPoint r = GetHandlePosition(opposite[i]);
    const double d = Abs(point.x - r.x);
    point.y = point.y > r.y ? r.y + d : r.y - d;
}

// ---------------------------------------------------------------- properties

void CGraRect::GetPropertyLayout(int, int, int, int, int* out) const
{
    SetPlainLayout(out);
}

bool CGraRect::GetPropertyValue(int n, double& out) const
{
    const DPoint u0 = PageToUserPoint(GetCorner(0));
    const DPoint u2 = PageToUserPoint(GetCorner(2));
    switch (n) {
    case 0:
        out = (u0.x + u2.x) * 0.5;
        return true;
    case 1:
        out = (u0.y + u2.y) * 0.5;
        return true;
    case 2:
        out = u0.x;
        return true;
    case 3:
        out = u0.y;
        return true;
    case 4:
        out = u2.x;
        return true;
    case 5:
        out = u2.y;
        return true;
    case 6:
        out = q.x - p.x;
        return true;
    case 7:
        out = q.y - p.y;
        return true;
    case 8:
        out = angle;
        return true;
    case 9:
        out = Inset();
        return true;
    default:
        return false;
    }
}

bool CGraRect::SetPropertyValue(int n, double v)
{
    // A value that is no number changes nothing.
    if (!kTable.Has(n) || !std::isfinite(v))
        return false;
    const DPoint c2 = GetCorner(2);
    const DPoint u0 = PageToUserPoint(GetCorner(0));
    const DPoint u2 = PageToUserPoint(c2);
    DPoint np = p;
    DPoint nq = q;
    switch (n) {
    case 0:
    case 1: {
        double current = 0.0;
        GetPropertyValue(n, current);
        const double dx = n == 0 ? v - current : 0.0;
        const double dy = n == 1 ? v - current : 0.0;
        np = Add(p, dx, dy);
        nq = Add(q, dx, dy);
        break;
    }
    case 2:
        np.x = p.x + (v - u0.x);
        nq = RotatePoint(c2, np, -angle);
        break;
    case 3:
        np.y = p.y + (v - u0.y);
        nq = RotatePoint(c2, np, -angle);
        break;
    case 4:
        nq = RotatePoint(Add(c2, v - u2.x, 0.0), np, -angle);
        break;
    case 5:
        nq = RotatePoint(Add(c2, 0.0, v - u2.y), np, -angle);
        break;
    case 6:
        q.x = p.x + v;
        return true;
    case 7:
        q.y = p.y + v;
        return true;
    case 8:
        angle = v;
        return true;
    default:
        if (corner.IsValid())
            corner->SetLength(v < 0.0 ? 0.0 : v);
        return true;
    }
    // The corners that the rectangle's position is read from stay on the
    // page.
    if (!IsPointOnPage(np) || !IsPointOnPage(nq))
        return false;
    p = np;
    q = nq;
    return true;
}

bool CGraRect::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    kind = 0;
    if (!kTable.Has(n))
        return false;
    const DPoint c0 = GetCorner(0);
    const DPoint c2 = GetCorner(2);
    switch (n) {
    case 0:
    case 1:
        a = b = MidPoint(c0, c2);
        kind = n == 0 ? 2 : 3;
        break;
    case 2:
    case 3:
        a = b = c0;
        kind = n == 2 ? 2 : 3;
        break;
    case 4:
    case 5:
        a = b = c2;
        kind = n == 4 ? 2 : 3;
        break;
    case 6:
        a = GetCorner(1);
        b = c2;
        kind = 4;
        break;
    case 7:
        a = GetCorner(3);
        b = c2;
        kind = 4;
        break;
    case 8:
        a = c0;
        b = GetCorner(3);
        kind = 7;
        break;
    default:
        a = c0;
        b = GetCornerEnd(0);
        kind = 4;
        break;
    }
    return true;
}

// ---------------------------------------------------------------- definitions and editing

bool CGraRect::GetDebugText(ZuStringRef& out) const
{
    const DPoint u = PageToUserPoint(p);
    SetDebugText(out, {{"  X=", u.x, 0},
                       {" Y=", u.y, 0},
                       {" dX=", q.x - p.x, 0},
                       {" dY=", q.y - p.y, 0},
                       {" a=", angle, 13}});
    // The inset as an integer; one out of the int's reach is cut to it.
    const double inset = Inset();
    const int r = std::isfinite(inset) && Abs(inset) < 2e9 ? int(inset) : 0;
    char tail[32];
    std::snprintf(tail, sizeof tail, " r=%d", r);
    out->AppendString(tail);
    return true;
}

void CGraRect::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 20, 21, 22, 25, 30, 100, 102, 101, 105, 0});
}

int CGraRect::GetEditMode() const
{
    return edit_mode;
}

bool CGraRect::SetEditMode(int mode)
{
    edit_mode = mode;
    for (bool& s : selected)
        s = false;
    return true;
}

int CGraRect::IsEditing() const
{
    return editing;
}

bool CGraRect::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraRect::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (Paint().HasKind(kind))
        return Paint().Get(kind, out);
    if (kind == 30) {
        out = corner;
        return true;
    }
    return CGraObject::GetDefinition(kind, out);
}

bool CGraRect::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (Paint().HasKind(kind))
        return Paint().Set(kind, def);
    if (kind == 30)
        return SetChecked(corner, def);
    return CGraObject::SetDefinition(kind, def);
}

bool CGraRect::PruneDefinitions()
{
    Paint().Prune();
    if (corner.IsValid() && corner->GetValue() == CCornerDef::SHARP)
        corner = CCornerDefRef();
    return CGraObject::PruneDefinitions();
}

bool CGraRect::GetMissingDefinitions(int* kinds, int* count) const
{
    Paint().AddMissing(kinds, count);
    return CGraObject::GetMissingDefinitions(kinds, count);
}

// ---------------------------------------------------------------- hit tests and drawing

void CGraRect::BuildOutline(CGraPortRef& port)
{
    if (HasCutCorners()) {
        const double inset = corner->GetLength();
        const int kind = corner->GetValue();
        for (int i = 0; i < 4; i++) {
            DrawCorner(port, GetCornerStart(i), GetCornerEnd(i), GetCorner(i), inset, kind);
            port->DrawLine(GetCornerEnd(i), GetCornerStart((i + 1) & 3));
        }
        return;
    }
    for (int i = 0; i < 4; i++)
        port->DrawLine(GetCorner(i), GetCorner(i + 1));
}

bool CGraRect::HitTest(CGraPortRef& port, const DPoint& at, double zoom, int fillAllowed)
{
    return HitOutline(port, Paint(), at, zoom, Paint().FillHittable(fillAllowed),
                      Paint().StrokeHittable(), true, [&] { BuildOutline(port); });
}

bool CGraRect::Draw(CGraPortRef& port, int flags)
{
    const bool fillWanted = flags != 0 && (flags & (8 | 16)) == 0;
    Paint().SetForDraw(port, flags);
    // The outline modes show the legs of the uncut corners.
    if ((flags & (8 | 16)) != 0 && HasCutCorners()) {
        for (int i = 0; i < 4; i++) {
            port->DrawLine(GetCorner(i), GetCornerStart(i));
            port->DrawLine(GetCorner(i), GetCornerEnd(i));
        }
    }
    PaintOutline(port, fillWanted, true, [&] { BuildOutline(port); });
    return true;
}

bool CGraRect::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawOutlineShadow(port, flags, pen, [&] { BuildOutline(port); });
}

bool CGraRect::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, Paint(), true, [&] { BuildOutline(port); });
}

// ---------------------------------------------------------------- storage

void CGraRect::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    Paint().Store(s);
    s << ZuStorageSync::mark;
    s << corner << ZuStorageSync::mark;
    s << p.x << p.y << q.x << q.y << angle << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraRect::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    Paint().Restore(s);
    s >> ZuStorageSync::mark;
    s >> corner >> ZuStorageSync::mark;
    s >> p.x >> p.y >> q.x >> q.y >> angle >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::end;
}
