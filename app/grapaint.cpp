#include "app/grapaint.h"

#include "app/graport.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/storage.h"

namespace {

template <class R>
void DeleteDefinition(R* field)
{
    if (field != nullptr && field->IsValid())
        (*field)->Delete();
}

template <class R>
void Empty(R* field)
{
    if (field != nullptr)
        *field = R();
}

bool Hittable(const CColorDefRef& colour)
{
    return colour.IsValid() && colour->GetTransparency() != 1.0;
}

} // namespace

void GraPaint::Delete() const
{
    DeleteDefinition(pen);
    DeleteDefinition(stroke_brush);
    DeleteDefinition(stroke_pulsar);
    DeleteDefinition(stroke_colour);
    DeleteDefinition(fill);
    DeleteDefinition(fill_brush);
    DeleteDefinition(fill_pulsar);
    DeleteDefinition(fill_colour);
    Empty(pen);
    Empty(stroke_brush);
    Empty(stroke_pulsar);
    Empty(stroke_colour);
    Empty(fill);
    Empty(fill_brush);
    Empty(fill_pulsar);
    Empty(fill_colour);
}

void GraPaint::CopyFrom(const GraPaint& o) const
{
    CloneInto(*pen, *o.pen);
    CloneInto(*stroke_brush, *o.stroke_brush);
    CloneInto(*stroke_pulsar, *o.stroke_pulsar);
    CloneInto(*stroke_colour, *o.stroke_colour);
    if (!HasFill())
        return;
    CloneInto(*fill, *o.fill);
    CloneInto(*fill_brush, *o.fill_brush);
    CloneInto(*fill_pulsar, *o.fill_pulsar);
    CloneInto(*fill_colour, *o.fill_colour);
}

bool GraPaint::HasKind(int kind) const
{
    return IsStrokeKind(kind) || (HasFill() && IsFillKind(kind));
}

bool GraPaint::Get(int kind, ZuObjectRef& out) const
{
    if (!HasKind(kind))
        return false;
    switch (kind) {
    case 10:
        out = *pen;
        break;
    case 11:
        out = *stroke_brush;
        break;
    case 12:
        out = *stroke_pulsar;
        break;
    case 15:
        out = *stroke_colour;
        break;
    case 20:
        out = *fill;
        break;
    case 21:
        out = *fill_brush;
        break;
    case 22:
        out = *fill_pulsar;
        break;
    default:
        out = *fill_colour;
        break;
    }
    return true;
}

bool GraPaint::Set(int kind, const ZuObjectRef& def) const
{
    if (!HasKind(kind))
        return false;
    switch (kind) {
    case 10:
        return SetChecked(*pen, def);
    case 11:
        return SetChecked(*stroke_brush, def);
    case 12:
        return SetChecked(*stroke_pulsar, def);
    case 15:
        return SetChecked(*stroke_colour, def);
    case 20:
        return SetChecked(*fill, def);
    case 21:
        return SetChecked(*fill_brush, def);
    case 22:
        return SetChecked(*fill_pulsar, def);
    default:
        return SetChecked(*fill_colour, def);
    }
}

void GraPaint::Prune() const
{
    if (pen->IsValid() && (*pen)->GetValue() == CPenDef::KIND_PLAIN) {
        *stroke_brush = CPatternDefRef();
        *stroke_pulsar = CPulsarDefRef();
    }
    if (HasFill() && fill->IsValid() && (*fill)->GetValue() != CMotifDef::KIND_SPECIAL) {
        *fill_brush = CPatternDefRef();
        *fill_pulsar = CPulsarDefRef();
    }
}

void GraPaint::AddMissing(int* kinds, int* count) const
{
    if (pen->IsValid() && (*pen)->GetValue() != CPenDef::KIND_PLAIN) {
        if (stroke_brush->IsInvalid())
            AddUniqueKind(kinds, count, 11);
        if (stroke_pulsar->IsInvalid())
            AddUniqueKind(kinds, count, 12);
    }
    if (HasFill() && fill->IsValid() && (*fill)->GetValue() == CMotifDef::KIND_SPECIAL) {
        if (fill_brush->IsInvalid())
            AddUniqueKind(kinds, count, 21);
        if (fill_pulsar->IsInvalid())
            AddUniqueKind(kinds, count, 22);
    }
}

void GraPaint::ScalePen(double width, const ChangeRecord& change, int flags) const
{
    if ((flags & 2) != 0 && change.kind == 2 && pen->IsValid())
        (*pen)->SetWidth(width * (Abs(change.c.x) + Abs(change.c.y)) / 2.0);
}

void GraPaint::SetStroke(CGraPortRef& port) const
{
    port->SetPen(*pen);
    if (stroke_brush->IsValid())
        port->SetStrokeBrush(*stroke_brush);
    if (stroke_pulsar->IsValid())
        port->SetStrokePulsar(*stroke_pulsar);
}

void GraPaint::SetForDraw(CGraPortRef& port, int flags) const
{
    if ((flags & 1) != 0)
        SetStroke(port);
    if ((flags & 2) != 0)
        port->SetPenColor(*stroke_colour);
    if ((flags & 4) != 0 && HasFill()) {
        port->SetFillColor(*fill_colour);
        port->SetMotif(*fill);
        if (fill_brush->IsValid())
            port->SetFillBrush(*fill_brush);
        if (fill_pulsar->IsValid())
            port->SetFillPulsar(*fill_pulsar);
    }
}

bool GraPaint::FillHittable(int fillAllowed) const
{
    return fillAllowed != 0 && HasFill() && Hittable(*fill_colour);
}

bool GraPaint::StrokeHittable() const
{
    return Hittable(*stroke_colour);
}

void GraPaint::StoreStroke(const ZuStorageRef& s) const
{
    s << *pen << *stroke_brush << *stroke_pulsar << *stroke_colour;
}

namespace {

// Whether a handle read here stays as it is: the record ends or reaches a
// mark before any item.
bool KeepsObject(const ZuStorageRef& s)
{
    return s->CheckForEnd() || s->CheckForMark();
}

template <class R>
void RestoreOrDefault(const ZuStorageRef& s, R& field)
{
    // Only an object the storage made has an empty default here; where its
    // record ends early, it gets the default it would have started with.
    if (field.IsInvalid() && KeepsObject(s))
        field = R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    else
        s >> field;
}

} // namespace

void GraPaint::RestoreStroke(const ZuStorageRef& s) const
{
    RestoreOrDefault(s, *pen);
    s >> *stroke_brush >> *stroke_pulsar;
    RestoreOrDefault(s, *stroke_colour);
}

void GraPaint::StoreFill(const ZuStorageRef& s) const
{
    s << *fill << *fill_brush << *fill_pulsar << *fill_colour;
}

void GraPaint::RestoreFill(const ZuStorageRef& s) const
{
    RestoreOrDefault(s, *fill);
    s >> *fill_brush >> *fill_pulsar;
    RestoreOrDefault(s, *fill_colour);
}

void GraPaint::Store(const ZuStorageRef& s) const
{
    StoreStroke(s);
    s << ZuStorageSync::mark;
    StoreFill(s);
}

void GraPaint::Restore(const ZuStorageRef& s) const
{
    RestoreStroke(s);
    s >> ZuStorageSync::mark;
    RestoreFill(s);
}
