#include "app/graline.h"

#include <cmath>

#include "app/graport.h"
#include "app/graprops.h"
#include "app/polychain.h"
#include "si/classfactory.h"
#include "si/newtofill.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraLine, "app/graline", ZU_CLASS_PLAIN)

namespace {

// One row of the property table.
// Texts in Latin-1.
const GraProperty kProperties[CGraLine::PROPERTIES] = {
    {"Position X", "Position horizontale", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position verticale", 0x8C0, 0, -2000.0, 2000.0, 0.0, -1},
    {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1.0, 2.0, 1.0, -1},
    {"Point X", "Position horizontale du point", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Point Y", "Position verticale du point", 0x842, 0, -2000.0, 2000.0, 0.0, -1},
    {"Longueur dX", "Longueur horizontale", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Longueur dY", "Longueur verticale", 0x842, 0, -2000.0, 2000.0, 0.0, -1},
    {"Longueur", "Longueur effective", 0x801, 0, -2000.0, 2000.0, 0.0, -1},
    {"Inclinaison", "Inclinaison par-rapport \xe0 l'horizontale", 0x880, 13, 0.0, 6.283185307,
     0.3926990816875, -1},
};

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITHOUT_OPTIONS};

} // namespace

DPoint LineEnds::Get(int n) const
{
    if (n == 0)
        return *start;
    if (n == 1)
        return *end;
    return DPoint{0.0, 0.0};
}

void LineEnds::Set(int n, const DPoint& p) const
{
    if (n == 0)
        *start = p;
    else if (n == 1)
        *end = p;
}

void LineEnds::Move(int n, const DPoint& p) const
{
    Set(n, p);
    if (n >= 0 && n < 2)
        *chosen = n;
}

void LineEnds::Select(int editing, int n) const
{
    if (editing == 0)
        return;
    if (n == 0)
        *start_selected = true;
    else if (n == 1)
        *end_selected = true;
}

bool LineEnds::IsSelected(int editing, int n) const
{
    if (editing == 0)
        return false;
    if (n == 0)
        return *start_selected;
    if (n == 1)
        return *end_selected;
    return false;
}

void LineEnds::ClearMarks() const
{
    *start_selected = *end_selected = false;
    if (chosen != nullptr)
        *chosen = -1;
}

void LineEnds::Save() const
{
    *saved_start = *start;
    *saved_end = *end;
}

bool LineEnds::Transform(const ChangeRecord& change) const
{
    if (!*start_selected) {
        *start = *saved_start;
        TransformPoints(*start, *start, change);
    }
    if (!*end_selected) {
        *end = *saved_end;
        TransformPoints(*end, *end, change);
    }
    return !*start_selected && !*end_selected;
}

void LineEnds::CopyFrom(const LineEnds& o) const
{
    *start = *o.start;
    *end = *o.end;
    *saved_start = *o.saved_start;
    *saved_end = *o.saved_end;
    *start_selected = *o.start_selected;
    *end_selected = *o.end_selected;
    if (chosen != nullptr)
        *chosen = *o.chosen;
}

CGraLine::CGraLine()
    : pen(ZuNewUnlessFilled<CPenDef>()), stroke_colour(ZuNewUnlessFilled<CColorDef>())
{
    properties = &kTable;
}

CGraLine::~CGraLine() {}

void CGraLine::Delete()
{
    Paint().Delete();
    CGraObject::Delete();
}

GraPaint CGraLine::Paint() const
{
    // The const operations only read through the view.
    CGraLine* self = const_cast<CGraLine*>(this);
    return GraPaint{&self->pen, &self->brush, &self->pulsar, &self->stroke_colour};
}

LineEnds CGraLine::Ends() const
{
    // The const operations only read through the view.
    CGraLine* self = const_cast<CGraLine*>(this);
    return LineEnds{
        &self->start,          &self->end,          &self->saved_start, &self->saved_end,
        &self->start_selected, &self->end_selected, &self->chosen};
}

void CGraLine::CopyFrom(const CGraObjectRef& other)
{
    const CGraLine* o = CGraLineRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    Paint().CopyFrom(o->Paint());
    Ends().CopyFrom(o->Ends());
    box = o->box;
    saved_width = o->saved_width;
}

bool CGraLine::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Droite");
    return true;
}

int CGraLine::GetIconId(int variant) const
{
    return IconOfVariant(variant, 20, 30);
}

// ---------------------------------------------------------------- handles and geometry

int CGraLine::GetHandleCount() const
{
    return 2;
}

int CGraLine::GetHandleType(int n) const
{
    if (n < 0 || n >= 2)
        return 0;
    return n == chosen ? 9 : 2;
}

DPoint CGraLine::GetHandlePosition(int n) const
{
    return Ends().Get(n);
}

void CGraLine::SetHandlePosition(int n, const DPoint& p)
{
    Ends().Set(n, p);
}

void CGraLine::MoveHandle(int n, const DPoint& p)
{
    Ends().Move(n, p);
}

void CGraLine::SelectHandle(int n)
{
    Ends().Select(editing, n);
}

bool CGraLine::IsHandleSelected(int n) const
{
    return Ends().IsSelected(editing, n);
}

bool CGraLine::SaveGeometry(const ChangeRecord&)
{
    Ends().Save();
    saved_width = Paint().PenWidth();
    return true;
}

bool CGraLine::Transform(const ChangeRecord& change, int flags)
{
    // A scale of the whole object scales the pen too.
    if (Ends().Transform(change))
        Paint().ScalePen(saved_width, change, flags);
    return true;
}

bool CGraLine::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraLine::SetPoints(const DPoint* points, int)
{
    if (points == nullptr)
        return false;
    start = end = points[0];
    return true;
}

void CGraLine::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    end = q;
}

void CGraLine::ConstrainPoint(int flags, int which, DPoint& p) const
{
    ConstrainLinePoint(start, end, flags, which, p);
}

void CGraLine::ConstrainLinePoint(const DPoint& start, const DPoint& end, int flags, int which,
                                  DPoint& p)
{
    if ((flags & 2) == 0)
        return;
    SnapToAxis(which != 0 ? start : end, p);
}

// ---------------------------------------------------------------- properties

void CGraLine::GetPropertyLayout(int, int, int, int, int* out) const
{
    SetPlainLayout(out);
}

bool CGraLine::GetPropertyValue(int n, double& out) const
{
    return LinePropertyValue(start, end, chosen, n, out);
}

bool CGraLine::SetPropertyValue(int n, double value)
{
    return SetLineProperty(start, end, chosen, n, value);
}

bool CGraLine::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    return LinePropertyHandles(start, end, chosen, n, a, b, kind);
}

const GraPropertyTable& CGraLine::LineProperties()
{
    return kTable;
}

bool CGraLine::LinePropertyValue(const DPoint& start, const DPoint& end, int chosen, int n,
                                 double& out)
{
    if (!kTable.Has(n) || (n >= 2 && chosen == -1))
        return false;
    const DPoint s = PageToUserPoint(start);
    const DPoint e = PageToUserPoint(end);
    const DPoint& c = chosen == 0 ? s : e;
    const DPoint& r = chosen == 0 ? e : s;
    switch (n) {
    case 0:
        out = MidPoint(s, e).x;
        break;
    case 1:
        out = MidPoint(s, e).y;
        break;
    case 2:
        out = chosen + 1;
        break;
    case 3:
        out = c.x;
        break;
    case 4:
        out = c.y;
        break;
    case 5:
        out = c.x - r.x;
        break;
    case 6:
        out = c.y - r.y;
        break;
    case 7:
        out = Distance(r, c);
        break;
    default:
        out = Inclination(r, c);
        break;
    }
    return true;
}

bool CGraLine::SetLineProperty(DPoint& start, DPoint& end, int& chosen, int n, double value)
{
    // A value that is no number moves nothing (and cannot be truncated).
    if (!kTable.Has(n) || !std::isfinite(value))
        return false;
    if (n == 2) {
        chosen = PointOfNumber(value, 2);
        return true;
    }
    if (n >= 3 && chosen == -1)
        return false;
    DPoint s = PageToUserPoint(start);
    DPoint e = PageToUserPoint(end);
    DPoint& c = chosen == 0 ? s : e;
    const DPoint& r = chosen == 0 ? e : s;
    switch (n) {
    case 0:
    case 1: {
        const DPoint m = MidPoint(s, e);
        const double dx = n == 0 ? value - m.x : 0.0;
        const double dy = n == 1 ? value - m.y : 0.0;
        s = DPoint{s.x + dx, s.y + dy};
        e = DPoint{e.x + dx, e.y + dy};
        break;
    }
    case 3:
        c.x = value;
        break;
    case 4:
        c.y = value;
        break;
    case 5:
        c.x = r.x + value;
        break;
    case 6:
        c.y = r.y + value;
        break;
    case 7:
        c = PolarPoint(r, value, Inclination(r, c));
        break;
    default:
        c = PolarPoint(r, Distance(r, c), value);
        break;
    }
    if (s.x == e.x && s.y == e.y)
        return false;
    const DPoint pageStart = UserToPagePoint(s);
    const DPoint pageEnd = UserToPagePoint(e);
    if (!IsPointOnPage(pageStart) || !IsPointOnPage(pageEnd))
        return false;
    start = pageStart;
    end = pageEnd;
    return true;
}

bool CGraLine::LinePropertyHandles(const DPoint& start, const DPoint& end, int chosen, int n,
                                   DPoint& a, DPoint& b, int& kind)
{
    if (!kTable.Has(n) || (n >= 2 && chosen == -1))
        return false;
    const DPoint& c = chosen == 0 ? start : end;
    const DPoint& r = chosen == 0 ? end : start;
    static const int kinds[PROPERTIES] = {2, 3, 1, 2, 3, 5, 6, 4, 7};
    kind = kinds[n];
    if (n < 2) {
        a = b = MidPoint(start, end);
    } else if (n < 5) {
        a = b = c;
    } else {
        a = r;
        b = c;
    }
    return true;
}

void CGraLine::LineDebugText(const DPoint& start, const DPoint& end, ZuStringRef& out)
{
    const DPoint s = PageToUserPoint(start);
    SetDebugText(out, {{"  X=", s.x, 0},
                       {" Y=", s.y, 0},
                       {" dX=", end.x - start.x, 0},
                       {" dY=", end.y - start.y, 0},
                       {" lg=", Distance(start, end), 0}});
}

// ---------------------------------------------------------------- definitions and editing

bool CGraLine::GetDebugText(ZuStringRef& out) const
{
    LineDebugText(start, end, out);
    return true;
}

void CGraLine::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 100, 101, 105, 0});
}

int CGraLine::GetEditMode() const
{
    return edit_mode;
}

bool CGraLine::SetEditMode(int mode)
{
    edit_mode = mode;
    Ends().ClearMarks();
    return true;
}

int CGraLine::IsEditing() const
{
    return editing;
}

bool CGraLine::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraLine::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (Paint().HasKind(kind))
        return Paint().Get(kind, out);
    return CGraObject::GetDefinition(kind, out);
}

bool CGraLine::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (Paint().HasKind(kind))
        return Paint().Set(kind, def);
    return CGraObject::SetDefinition(kind, def);
}

bool CGraLine::PruneDefinitions()
{
    Paint().Prune();
    return CGraObject::PruneDefinitions();
}

bool CGraLine::GetMissingDefinitions(int* kinds, int* count) const
{
    Paint().AddMissing(kinds, count);
    return CGraObject::GetMissingDefinitions(kinds, count);
}

// ---------------------------------------------------------------- hit tests and drawing

bool CGraLine::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int)
{
    return HitOutline(port, Paint(), p, zoom, false, true, false,
                      [&] { port->DrawLine(start, end); });
}

bool CGraLine::Draw(CGraPortRef& port, int flags)
{
    Paint().SetForDraw(port, flags);
    port->DrawLine(start, end);
    return true;
}

bool CGraLine::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawStrokeShadow(port, flags, pen, [&] { port->DrawLine(start, end); });
}

bool CGraLine::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, Paint(), false, [&] { port->DrawLine(start, end); });
}

// ---------------------------------------------------------------- storage

void CGraLine::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    Paint().StoreStroke(s);
    s << ZuStorageSync::mark;
    s << start.x << start.y << end.x << end.y << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraLine::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    Paint().RestoreStroke(s);
    s >> ZuStorageSync::mark;
    s >> start.x >> start.y >> end.x >> end.y >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::end;
}
