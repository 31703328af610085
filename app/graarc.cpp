#include "app/graarc.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "app/graline.h"
#include "app/graport.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/newtofill.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraArc, "app/graarc", ZU_CLASS_PLAIN)

namespace {

const double kDegreesPerRadian = 57.29577951471995;

// Texts in Latin-1.
const GraProperty kProperties[CGraArc::PROPERTIES] = {
    {"Position X", "Position horizontale", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position verticale", 0x8C0, 0, -2000.0, 2000.0, 0.0, -1},
    {"Rayon X", "Rayon horizontal", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Rayon Y", "Rayon vertical", 0x842, 0, -2000.0, 2000.0, 0.0, -1},
    {"Angle d\xe9"
     "but",
     "Angle de d\xe9"
     "but",
     0x801, 13, 0.0, 6.283185307, 0.3926990816875, -1},
    {"Angle fin", "Angle de fin", 0x802, 13, 0.0, 6.283185307, 0.3926990816875, -1},
    {"Orientation", "Orientation", 0x880, 13, 0.0, 6.283185307, 0.3926990816875, -1},
};

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITHOUT_OPTIONS};

// The angle in 0 .. 2 pi.
double Normalised(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

// Truncated to an integer; values beyond an int (or no number) are held
// inside it.
int Truncated(double v)
{
    if (!(v > double(INT_MIN)))
        return std::isnan(v) ? 0 : INT_MIN;
    if (!(v < double(INT_MAX)))
        return INT_MAX;
    return int(v);
}

} // namespace

CGraArc::CGraArc()
    : pen(ZuNewUnlessFilled<CPenDef>()), stroke_colour(ZuNewUnlessFilled<CColorDef>()),
      fill(ZuNewUnlessFilled<CMotifDef>()), fill_colour(ZuNewUnlessFilled<CColorDef>()),
      arc(ZuNewUnlessFilled<CArcDef>())
{
    properties = &kTable;
}

CGraArc::~CGraArc() {}

void CGraArc::Delete()
{
    Paint().Delete();
    DeleteDefinitions(arc);
    CGraObject::Delete();
}

GraPaint CGraArc::Paint() const
{
    // The const operations only read through the view.
    CGraArc* self = const_cast<CGraArc*>(this);
    return GraPaint{&self->pen,  &self->brush,      &self->pulsar,      &self->stroke_colour,
                    &self->fill, &self->fill_brush, &self->fill_pulsar, &self->fill_colour};
}

void CGraArc::CopyFrom(const CGraObjectRef& other)
{
    const CGraArc* o = CGraArcRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    Paint().CopyFrom(o->Paint());
    CloneInto(arc, o->arc);
    centre = o->centre;
    radii = o->radii;
    saved_centre = o->saved_centre;
    saved_radii = o->saved_radii;
    saved_inclination = o->saved_inclination;
    start_angle = o->start_angle;
    end_angle = o->end_angle;
    inclination = o->inclination;
    box = o->box;
    saved_width = o->saved_width;
}

bool CGraArc::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Arc cercle/ellipse");
    return true;
}

int CGraArc::GetIconId(int variant) const
{
    return IconOfVariant(variant, 28, 38);
}

// ---------------------------------------------------------------- geometry

int CGraArc::Shape() const
{
    return arc.IsValid() ? arc->GetMode() : 222;
}

double CGraArc::UnwrappedEnd() const
{
    return end_angle < start_angle ? end_angle + kTwoPi : end_angle;
}

double CGraArc::MiddleAngle() const
{
    return (start_angle + UnwrappedEnd()) / 2.0;
}

DPoint CGraArc::PointAtAngle(double a) const
{
    const DPoint p{centre.x + radii.x * std::cos(a), centre.y + radii.y * std::sin(a)};
    return RotatePoint(p, centre, inclination);
}

double CGraArc::AngleOfPoint(const DPoint& p) const
{
    const DPoint q{(p.x - centre.x) * radii.y / radii.x + centre.x, p.y};
    return AngleBetween(centre, DPoint{centre.x + radii.x, centre.y}, q);
}

void CGraArc::ApplyCircle()
{
    if (arc.IsInvalid() || arc->GetValue() != 220)
        return;
    const double size = Max(Abs(radii.x), Abs(radii.y));
    radii.x = radii.x > 0.0 ? size : -size;
    radii.y = radii.y > 0.0 ? size : -size;
}

void CGraArc::ConstrainPoint(int, int, DPoint&) const {}

// ---------------------------------------------------------------- handles

int CGraArc::GetHandleCount() const
{
    return Shape() == 222 ? 4 : 7;
}

int CGraArc::GetHandleType(int n) const
{
    if (n >= 0 && n <= 3)
        return 2;
    if (n >= 4 && n <= 6)
        return 3;
    return 0;
}

DPoint CGraArc::GetHandlePosition(int n) const
{
    const double cx = centre.x;
    const double cy = centre.y;
    DPoint p;
    switch (n) {
    case 0:
        p = DPoint{cx + radii.x, cy + radii.y};
        break;
    case 1:
        p = DPoint{cx + radii.x, cy - radii.y};
        break;
    case 2:
        p = DPoint{cx - radii.x, cy - radii.y};
        break;
    case 3:
        p = DPoint{cx - radii.x, cy + radii.y};
        break;
    case 4:
        return PointAtAngle(start_angle);
    case 5:
        return PointAtAngle(end_angle);
    case 6:
        return PointAtAngle(MiddleAngle());
    default:
        return DPoint{0.0, 0.0};
    }
    return RotatePoint(p, centre, inclination);
}

void CGraArc::SetHandlePosition(int n, const DPoint& at)
{
    if (n < 0 || n > 6)
        return;
    const DPoint p = RotatePoint(at, centre, -inclination);
    const double dx = p.x - centre.x;
    const double dy = p.y - centre.y;
    switch (n) {
    case 0:
        radii = DPoint{dx, dy};
        break;
    case 1:
        radii = DPoint{dx, -dy};
        break;
    case 2:
        radii = DPoint{-dx, -dy};
        break;
    case 3:
        radii = DPoint{-dx, dy};
        break;
    default: {
        // The angle of a point is undefined on a flat ellipse.
        if (radii.x == 0.0 || radii.y == 0.0)
            return;
        const double a = AngleOfPoint(p);
        if (n == 4) {
            start_angle = a;
        } else if (n == 5) {
            end_angle = a;
        } else {
            const double d = a - MiddleAngle();
            start_angle = Normalised(start_angle + d);
            end_angle = Normalised(end_angle + d);
        }
        return;
    }
    }
    ApplyCircle();
}

bool CGraArc::SaveGeometry(const ChangeRecord&)
{
    saved_inclination = inclination;
    saved_centre = centre;
    saved_radii = radii;
    saved_width = Paint().PenWidth();
    return true;
}

bool CGraArc::Transform(const ChangeRecord& change, int flags)
{
    centre = saved_centre;
    TransformPoints(centre, centre, change);
    if (change.kind == 2) {
        // Each radius takes the factors in the shares of its direction, so
        // that an inclined ellipse scaled evenly keeps its shape.
        const double fx = change.c.x;
        const double fy = change.c.y;
        const double c2 = std::cos(inclination) * std::cos(inclination);
        const double s2 = std::sin(inclination) * std::sin(inclination);
        radii.x = (fx * c2 + fy * s2) * saved_radii.x;
        radii.y = (fy * c2 + fx * s2) * saved_radii.y;
        ApplyCircle();
        Paint().ScalePen(saved_width, change, flags);
    } else if (change.kind == 3) {
        inclination = saved_inclination + change.c.x;
    }
    return true;
}

bool CGraArc::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraArc::SetPoints(const DPoint* points, int)
{
    if (points == nullptr)
        return false;
    centre = points[0];
    radii = DPoint{0.0, 0.0};
    return true;
}

void CGraArc::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    radii = DPoint{q.x - centre.x, q.y - centre.y};
    ApplyCircle();
}

// ---------------------------------------------------------------- properties

void CGraArc::GetPropertyLayout(int, int, int, int, int* out) const
{
    SetPlainLayout(out);
}

bool CGraArc::GetPropertyOption(int, int& out) const
{
    out = -1;
    return true;
}

bool CGraArc::GetPropertyValue(int n, double& out) const
{
    const DPoint c = PageToUserPoint(centre);
    switch (n) {
    case 0:
        out = c.x;
        return true;
    case 1:
        out = c.y;
        return true;
    case 2:
        out = radii.x;
        return true;
    case 3:
        out = radii.y;
        return true;
    case 4:
        out = start_angle;
        return true;
    case 5:
        out = end_angle;
        return true;
    case 6:
        out = inclination;
        return true;
    default:
        return false;
    }
}

bool CGraArc::SetPropertyValue(int n, double value)
{
    DPoint c = PageToUserPoint(centre);
    switch (n) {
    case 0:
        c.x = value;
        centre = UserToPagePoint(c);
        return true;
    case 1:
        c.y = value;
        centre = UserToPagePoint(c);
        return true;
    case 2:
        radii.x = value;
        return true;
    case 3:
        radii.y = value;
        return true;
    case 4:
        start_angle = value;
        return true;
    case 5:
        end_angle = value;
        return true;
    case 6:
        inclination = value;
        return true;
    default:
        return false;
    }
}

bool CGraArc::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    a = centre;
    switch (n) {
    case 0:
        b = centre;
        kind = 2;
        return true;
    case 1:
        b = centre;
        kind = 3;
        return true;
    case 2:
    case 3:
        b = DPoint{centre.x + radii.x, centre.y + radii.y};
        kind = n == 2 ? 5 : 6;
        return true;
    case 4:
        b = PointAtAngle(start_angle);
        kind = 7;
        return true;
    case 5:
        b = PointAtAngle(end_angle);
        kind = 7;
        return true;
    case 6:
        b = RotatePoint(DPoint{centre.x + radii.x, centre.y}, centre, inclination);
        kind = 7;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- definitions and editing

bool CGraArc::GetDebugText(ZuStringRef& out) const
{
    const DPoint c = PageToUserPoint(centre);
    char text[160];
    if (Shape() == 222) {
        std::snprintf(text, sizeof text, "  X=%d Y=%d rX=%d rY=%d", Truncated(c.x), Truncated(c.y),
                      Truncated(radii.x), Truncated(radii.y));
    } else {
        std::snprintf(text, sizeof text, "  X=%d Y=%d rX=%d rY=%d d=%d a=%d (%d%%)", Truncated(c.x),
                      Truncated(c.y), Truncated(radii.x), Truncated(radii.y),
                      Truncated(start_angle * kDegreesPerRadian),
                      Truncated(end_angle * kDegreesPerRadian),
                      Truncated(Abs(start_angle - end_angle) * 15.915494309644432));
    }
    SetLabel(out, text);
    return true;
}

void CGraArc::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 20, 21, 22, 25, 51, 100, 102, 101, 105, 0});
}

int CGraArc::GetEditMode() const
{
    return edit_mode;
}

bool CGraArc::SetEditMode(int mode)
{
    edit_mode = mode;
    return true;
}

int CGraArc::IsEditing() const
{
    return editing;
}

bool CGraArc::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraArc::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (Paint().HasKind(kind))
        return Paint().Get(kind, out);
    if (kind == 51) {
        out = arc;
        return true;
    }
    return CGraObject::GetDefinition(kind, out);
}

bool CGraArc::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (Paint().HasKind(kind))
        return Paint().Set(kind, def);
    if (kind != 51)
        return CGraObject::SetDefinition(kind, def);
    if (!SetChecked(arc, def))
        return false;
    if (arc.IsValid() && arc->GetValue() == 220)
        radii.y = radii.y > 0.0 ? Abs(radii.x) : -Abs(radii.x);
    return true;
}

bool CGraArc::PruneDefinitions()
{
    Paint().Prune();
    return CGraObject::PruneDefinitions();
}

bool CGraArc::GetMissingDefinitions(int* kinds, int* count) const
{
    Paint().AddMissing(kinds, count);
    return CGraObject::GetMissingDefinitions(kinds, count);
}

// ---------------------------------------------------------------- hit tests and drawing

void CGraArc::AppendArc(CGraPortRef& port) const
{
    port->DrawEllipseArc(centre, radii, start_angle * kDegreesPerRadian,
                         end_angle * kDegreesPerRadian, inclination * kDegreesPerRadian, Shape());
}

bool CGraArc::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags)
{
    return HitOutline(port, Paint(), p, zoom, Paint().FillHittable(flags), Paint().StrokeHittable(),
                      Shape() != 223, [&] { AppendArc(port); });
}

bool CGraArc::Draw(CGraPortRef& port, int flags)
{
    const bool outline = (flags & (8 | 16)) != 0;
    const bool filled = flags != 0 && !outline;
    Paint().SetForDraw(port, flags);
    if (outline) {
        // The construction frame: its three horizontals and three verticals.
        const double cx = centre.x;
        const double cy = centre.y;
        const double rx = radii.x;
        const double ry = radii.y;
        const DPoint frame[6][2] = {
            {{cx - rx, cy + ry}, {cx + rx, cy + ry}}, {{cx - rx, cy}, {cx + rx, cy}},
            {{cx - rx, cy - ry}, {cx + rx, cy - ry}}, {{cx - rx, cy - ry}, {cx - rx, cy + ry}},
            {{cx, cy - ry}, {cx, cy + ry}},           {{cx + rx, cy - ry}, {cx + rx, cy + ry}},
        };
        for (const auto& line : frame)
            port->DrawLine(RotatePoint(line[0], centre, inclination),
                           RotatePoint(line[1], centre, inclination));
        if (Shape() != 222) {
            port->DrawLine(centre, PointAtAngle(start_angle));
            port->DrawLine(centre, PointAtAngle(end_angle));
        }
    }
    PaintOutline(port, filled, Shape() != 223, [&] { AppendArc(port); });
    return true;
}

bool CGraArc::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawOutlineShadow(port, flags, pen, [&] { AppendArc(port); });
}

bool CGraArc::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, Paint(), true, [&] { AppendArc(port); });
}

// ---------------------------------------------------------------- storage

void CGraArc::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    Paint().Store(s);
    s << arc << ZuStorageSync::mark;
    s << centre.x << centre.y << radii.x << radii.y << start_angle << end_angle
      << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::mark;
    s << inclination << ZuStorageSync::end;
}

void CGraArc::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    Paint().Restore(s);
    if (arc.IsInvalid() && (s->CheckForEnd() || s->CheckForMark()))
        arc = ZuNew<CArcDef>(); // made by the storage, with no arc in its record
    else
        s >> arc;
    s >> ZuStorageSync::mark;
    s >> centre.x >> centre.y >> radii.x >> radii.y >> start_angle >> end_angle >>
        ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::mark;
    // Older records end before the inclination.
    inclination = s->RestoreReal(0.0);
    s >> ZuStorageSync::end;
}
