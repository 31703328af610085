#include "app/graarrow.h"

#include "app/graline.h"
#include "app/graport.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraArrow, "app/graarrow", ZU_CLASS_PLAIN)

namespace {

enum { NO_HEAD = 66, TRIANGLE = 67, ROUND = 68, TICK = 69 };

bool Same(const DPoint& p, const DPoint& q)
{
    return p.x == q.x && p.y == q.y;
}

// The foot of p on the line through a and b; a when they coincide.
DPoint Foot(const DPoint& a, const DPoint& b, const DPoint& p)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 == 0.0)
        return a;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / d2;
    return DPoint{a.x + dx * t, a.y + dy * t};
}

// The offset of p's foot from `from` along the unit direction of `towards`
// (a vector); 0.0 without a direction.
double OffsetAlong(const DPoint& from, const DPoint& towards, const DPoint& p)
{
    const double len = Distance(DPoint{0.0, 0.0}, towards);
    if (len == 0.0)
        return 0.0;
    return ((p.x - from.x) * towards.x + (p.y - from.y) * towards.y) / len;
}

} // namespace

CGraArrow::CGraArrow()
    : pen(ZuNew<CPenDef>()), stroke_colour(ZuNew<CColorDef>()), start_head(ZuNew<CArrowDef>()),
      end_head(ZuNew<CArrowDef>())
{
    properties = &CGraLine::LineProperties();
}

CGraArrow::~CGraArrow() {}

void CGraArrow::Delete()
{
    Paint().Delete();
    DeleteDefinitions(start_head, end_head);
    CGraObject::Delete();
}

GraPaint CGraArrow::Paint() const
{
    // The const operations only read through the view.
    CGraArrow* self = const_cast<CGraArrow*>(this);
    return GraPaint{&self->pen, &self->brush, &self->pulsar, &self->stroke_colour};
}

LineEnds CGraArrow::Ends() const
{
    // The const operations only read through the view.
    CGraArrow* self = const_cast<CGraArrow*>(this);
    return LineEnds{
        &self->start,          &self->end,          &self->saved_start, &self->saved_end,
        &self->start_selected, &self->end_selected, &self->chosen};
}

void CGraArrow::CopyFrom(const CGraObjectRef& other)
{
    const CGraArrow* o = CGraArrowRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    Paint().CopyFrom(o->Paint());
    Ends().CopyFrom(o->Ends());
    box = o->box;
    saved_width = o->saved_width;
    CloneInto(start_head, o->start_head);
    CloneInto(end_head, o->end_head);
}

bool CGraArrow::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Fl\xe8"
                  "che");
    return true;
}

int CGraArrow::GetIconId(int variant) const
{
    return IconOfVariant(variant, 25, 35);
}

// ---------------------------------------------------------------- heads

int CGraArrow::HeadKind(bool atEnd) const
{
    const CArrowDefRef& head = atEnd ? end_head : start_head;
    return head.IsValid() ? head->GetValue() : NO_HEAD;
}

CGraArrow::Head CGraArrow::ComputeHead(bool atEnd) const
{
    Head h;
    const DPoint& tip = atEnd ? end : start;
    const DPoint& far = atEnd ? start : end;
    GetArrowHeadPoints(atEnd ? end_head : start_head, far, tip, h.a, h.b, h.c, h.d);
    return h;
}

void CGraArrow::AppendHead(CGraPortRef& port, bool atEnd, const Head& h) const
{
    const DPoint& tip = atEnd ? end : start;
    switch (HeadKind(atEnd)) {
    case TRIANGLE:
        port->DrawLine(h.b, h.c);
        port->DrawLine(h.c, tip);
        port->DrawLine(tip, h.d);
        port->DrawLine(h.d, h.b);
        break;
    case ROUND:
        port->DrawCircle(tip, (atEnd ? end_head : start_head)->GetParam1());
        break;
    case TICK:
        port->DrawLine(h.c, h.d);
        break;
    default:
        break;
    }
}

void CGraArrow::DrawParts(CGraPortRef& port, bool fill)
{
    const Head first = ComputeHead(false);
    const Head second = ComputeHead(true);
    if (!Same(first.a, second.a))
        port->DrawLine(first.a, second.a);
    for (bool atEnd : {false, true}) {
        const int kind = HeadKind(atEnd);
        const bool area = kind == TRIANGLE || kind == ROUND;
        if (fill && area)
            port->BeginPath();
        AppendHead(port, atEnd, atEnd ? second : first);
        if (fill && area)
            port->EndPath(true, false, true);
    }
}

void CGraArrow::MoveHeadHandle(bool atEnd, int which, const DPoint& p)
{
    CArrowDefRef& head = atEnd ? end_head : start_head;
    if (head.IsInvalid())
        return;
    const DPoint& tip = atEnd ? end : start;
    const DPoint& far = atEnd ? start : end;
    const int kind = head->GetValue();
    if (which == 0) {
        if (kind == TRIANGLE) {
            const DPoint g = Foot(tip, far, p);
            head->SetParam1(Distance(tip, g));
            head->SetParam2(Distance(g, p));
        } else if (kind == ROUND) {
            head->SetParam1(Distance(tip, p));
        } else if (kind == TICK) {
            head->SetParam1(Distance(tip, p));
            head->SetParam5(AngleBetween(tip, far, p));
        }
    } else if (which == 1) {
        // The notch's depth from the base, positive towards the tip; the
        // base is the foot of a wing on the line.
        const Head h = ComputeHead(atEnd);
        const DPoint base = Foot(tip, far, h.c);
        const bool outside = (head->GetFlags() & 1) != 0;
        const DPoint back = outside ? MirrorPoint(far, tip) : far;
        double depth = OffsetAlong(base, DPoint{tip.x - back.x, tip.y - back.y}, p);
        if (depth > head->GetParam1())
            depth = head->GetParam1();
        head->SetParam3(depth);
    } else {
        head->SetParam4(Distance(tip, p));
    }
}

// ---------------------------------------------------------------- handles and geometry

int CGraArrow::GetHandleCount() const
{
    return HANDLES;
}

int CGraArrow::GetHandleType(int n) const
{
    if (n < 0 || n >= HANDLES)
        return 0;
    if (n < 2)
        return n == chosen ? 9 : 2;
    const bool atEnd = n >= 5;
    const int which = (n - 2) % 3;
    const int kind = HeadKind(atEnd);
    bool shown = false;
    if (which == 0)
        shown = kind == TRIANGLE || kind == ROUND || kind == TICK;
    else if (which == 1)
        shown = kind == TRIANGLE;
    else
        shown = kind == TRIANGLE && ((atEnd ? end_head : start_head)->GetFlags() & 1) != 0;
    return shown ? 3 : 1;
}

DPoint CGraArrow::GetHandlePosition(int n) const
{
    if (n < 2)
        return Ends().Get(n);
    if (n >= HANDLES)
        return DPoint{0.0, 0.0};
    const Head h = ComputeHead(n >= 5);
    switch ((n - 2) % 3) {
    case 0:
        return h.c;
    case 1:
        return h.b;
    default:
        return h.a;
    }
}

void CGraArrow::SetHandlePosition(int n, const DPoint& p)
{
    if (n < 2)
        Ends().Set(n, p);
    else if (n < HANDLES && GetHandleType(n) == 3)
        MoveHeadHandle(n >= 5, (n - 2) % 3, p);
}

void CGraArrow::MoveHandle(int n, const DPoint& p)
{
    SetHandlePosition(n, p);
    if (n >= 0 && n < 2)
        chosen = n;
}

void CGraArrow::SelectHandle(int n)
{
    Ends().Select(editing, n);
}

bool CGraArrow::IsHandleSelected(int n) const
{
    return Ends().IsSelected(editing, n);
}

bool CGraArrow::SaveGeometry(const ChangeRecord&)
{
    Ends().Save();
    saved_width = Paint().PenWidth();
    return true;
}

bool CGraArrow::Transform(const ChangeRecord& change, int flags)
{
    // A scale of the whole object scales the pen too.
    if (Ends().Transform(change))
        Paint().ScalePen(saved_width, change, flags);
    return true;
}

bool CGraArrow::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraArrow::SetPoints(const DPoint* points, int)
{
    if (points == nullptr)
        return false;
    start = end = points[0];
    return true;
}

void CGraArrow::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    end = q;
}

void CGraArrow::ConstrainPoint(int flags, int which, DPoint& p) const
{
    CGraLine::ConstrainLinePoint(start, end, flags, which, p);
}

// ---------------------------------------------------------------- properties

void CGraArrow::GetPropertyLayout(int, int, int, int, int* out) const
{
    SetPlainLayout(out);
}

bool CGraArrow::GetPropertyValue(int n, double& out) const
{
    return CGraLine::LinePropertyValue(start, end, chosen, n, out);
}

bool CGraArrow::SetPropertyValue(int n, double value)
{
    return CGraLine::SetLineProperty(start, end, chosen, n, value);
}

bool CGraArrow::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    return CGraLine::LinePropertyHandles(start, end, chosen, n, a, b, kind);
}

// ---------------------------------------------------------------- definitions and editing

bool CGraArrow::GetDebugText(ZuStringRef& out) const
{
    CGraLine::LineDebugText(start, end, out);
    return true;
}

void CGraArrow::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 40, 41, 100, 101, 105, 0});
}

int CGraArrow::GetEditMode() const
{
    return edit_mode;
}

bool CGraArrow::SetEditMode(int mode)
{
    edit_mode = mode;
    Ends().ClearMarks();
    return true;
}

int CGraArrow::IsEditing() const
{
    return editing;
}

bool CGraArrow::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraArrow::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (Paint().HasKind(kind))
        return Paint().Get(kind, out);
    switch (kind) {
    case 40:
        out = start_head;
        return true;
    case 41:
        out = end_head;
        return true;
    default:
        return CGraObject::GetDefinition(kind, out);
    }
}

bool CGraArrow::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (Paint().HasKind(kind))
        return Paint().Set(kind, def);
    if (kind == 40 || kind == 41)
        return SetChecked(kind == 40 ? start_head : end_head, def);
    return CGraObject::SetDefinition(kind, def);
}

bool CGraArrow::PruneDefinitions()
{
    Paint().Prune();
    return CGraObject::PruneDefinitions();
}

bool CGraArrow::GetMissingDefinitions(int* kinds, int* count) const
{
    Paint().AddMissing(kinds, count);
    return CGraObject::GetMissingDefinitions(kinds, count);
}

// ---------------------------------------------------------------- hit tests and drawing

bool CGraArrow::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int)
{
    if (!IsPointInRect(p, box))
        return false;
    Paint().SetStroke(port);
    const Head first = ComputeHead(false);
    const Head second = ComputeHead(true);
    if (!Same(first.a, second.a)) {
        port->BeginHitTest();
        port->DrawLine(first.a, second.a);
        if (port->EndHitTest(p, zoom, false, true, false))
            return true;
    }
    for (bool atEnd : {false, true}) {
        const int kind = HeadKind(atEnd);
        if (kind != TRIANGLE && kind != ROUND && kind != TICK)
            continue;
        const bool area = kind != TICK;
        port->BeginHitTest();
        AppendHead(port, atEnd, atEnd ? second : first);
        if (port->EndHitTest(p, zoom, area, !area, area))
            return true;
    }
    return false;
}

bool CGraArrow::Draw(CGraPortRef& port, int flags)
{
    const bool fill = flags != 0 && (flags & (8 | 16)) == 0;
    Paint().SetForDraw(port, flags);
    if ((flags & 4) != 0) {
        // Heads are filled in the stroke colour, uniformly.
        port->SetFillColor(stroke_colour);
        port->SetMotif(ZuNew<CMotifDef>());
    }
    DrawParts(port, fill);
    return true;
}

bool CGraArrow::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawStrokeShadow(port, flags, pen, [&] { DrawParts(port, true); });
}

bool CGraArrow::UpdateBoundingBox(CGraPortRef& port)
{
    Paint().SetStroke(port);
    const Head first = ComputeHead(false);
    const Head second = ComputeHead(true);
    DRect measured{0.0, 0.0, 0.0, 0.0};
    if (!Same(first.a, second.a)) {
        port->BeginBounds();
        port->DrawLine(first.a, second.a);
        if (!port->EndBounds(measured, true, false))
            return false;
    }
    for (bool atEnd : {false, true}) {
        const int kind = HeadKind(atEnd);
        if (kind != TRIANGLE && kind != ROUND && kind != TICK)
            continue;
        port->BeginBounds();
        AppendHead(port, atEnd, atEnd ? second : first);
        DRect part{0.0, 0.0, 0.0, 0.0};
        if (!port->EndBounds(part, false, true))
            return false;
        measured = UnionRect(measured, part);
    }
    AddShadowToBox(measured);
    box = measured;
    return true;
}

// ---------------------------------------------------------------- storage

void CGraArrow::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    Paint().StoreStroke(s);
    s << ZuStorageSync::mark;
    s << start_head << end_head << ZuStorageSync::mark;
    s << start.x << start.y << end.x << end.y << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraArrow::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    Paint().RestoreStroke(s);
    s >> ZuStorageSync::mark;
    s >> start_head >> end_head >> ZuStorageSync::mark;
    s >> start.x >> start.y >> end.x >> end.y >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::end;
}
