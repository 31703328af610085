#include "app/polypaint.h"

#include "app/graport.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

// A clone of the definition into the handle (the same object when shared);
// an empty definition empties the handle.
template <class R>
void CloneInto(R& field, const ZuObjectRef& def)
{
    if (def.IsInvalid()) {
        field = R();
        return;
    }
    CDefRef out;
    CDefRef(def)->CloneTo(out);
    field = out;
}

// The clone when def fits the field's class; false, nothing changed, else.
template <class R>
bool SetField(R& field, const ZuObjectRef& def)
{
    if (def.IsValid() && !def->IsKindOf(R::RetRuntime()))
        return false;
    CloneInto(field, def);
    return true;
}

template <class R>
void DeleteField(R& field)
{
    if (field.IsValid())
        field->Delete();
    field = R();
}

bool Visible(const CColorDefRef& colour)
{
    return colour.IsInvalid() || colour->GetTransparency() != 1.0;
}

} // namespace

void PolyPaint::Create()
{
    pen = ZuNew<CPenDef>();
    stroke_colour = ZuNew<CColorDef>();
    fill = ZuNew<CMotifDef>();
    fill_colour = ZuNew<CColorDef>();
    close = ZuNew<CCloseDef>();
}

void PolyPaint::Delete()
{
    DeleteField(pen);
    DeleteField(stroke_brush);
    DeleteField(stroke_pulsar);
    DeleteField(stroke_colour);
    DeleteField(fill);
    DeleteField(fill_brush);
    DeleteField(fill_pulsar);
    DeleteField(fill_colour);
    DeleteField(close);
}

void PolyPaint::CopyFrom(const PolyPaint& o)
{
    CloneInto(pen, o.pen);
    CloneInto(stroke_brush, o.stroke_brush);
    CloneInto(stroke_pulsar, o.stroke_pulsar);
    CloneInto(stroke_colour, o.stroke_colour);
    CloneInto(fill, o.fill);
    CloneInto(fill_brush, o.fill_brush);
    CloneInto(fill_pulsar, o.fill_pulsar);
    CloneInto(fill_colour, o.fill_colour);
    CloneInto(close, o.close);
}

bool PolyPaint::IsKind(int kind)
{
    switch (kind) {
    case 10:
    case 11:
    case 12:
    case 15:
    case 18:
    case 20:
    case 21:
    case 22:
    case 25:
        return true;
    default:
        return false;
    }
}

bool PolyPaint::Get(int kind, ZuObjectRef& out) const
{
    switch (kind) {
    case 10:
        out = pen;
        return true;
    case 11:
        out = stroke_brush;
        return true;
    case 12:
        out = stroke_pulsar;
        return true;
    case 15:
        out = stroke_colour;
        return true;
    case 18:
        out = close;
        return true;
    case 20:
        out = fill;
        return true;
    case 21:
        out = fill_brush;
        return true;
    case 22:
        out = fill_pulsar;
        return true;
    case 25:
        out = fill_colour;
        return true;
    default:
        return false;
    }
}

bool PolyPaint::Set(int kind, const ZuObjectRef& def)
{
    switch (kind) {
    case 10:
        return SetField(pen, def);
    case 11:
        return SetField(stroke_brush, def);
    case 12:
        return SetField(stroke_pulsar, def);
    case 15:
        return SetField(stroke_colour, def);
    case 18:
        return SetField(close, def);
    case 20:
        return SetField(fill, def);
    case 21:
        return SetField(fill_brush, def);
    case 22:
        return SetField(fill_pulsar, def);
    case 25:
        return SetField(fill_colour, def);
    default:
        return false;
    }
}

void PolyPaint::Prune()
{
    if (pen.IsValid() && pen->GetValue() == CPenDef::KIND_PLAIN) {
        stroke_brush = CPatternDefRef();
        stroke_pulsar = CPulsarDefRef();
    }
    if (fill.IsValid() && fill->GetValue() != CMotifDef::KIND_SPECIAL) {
        fill_brush = CPatternDefRef();
        fill_pulsar = CPulsarDefRef();
    }
}

void PolyPaint::AddMissing(int* kinds, int* count) const
{
    if (pen.IsValid() && pen->GetValue() != CPenDef::KIND_PLAIN) {
        if (stroke_brush.IsInvalid())
            AddUniqueKind(kinds, count, 11);
        if (stroke_pulsar.IsInvalid())
            AddUniqueKind(kinds, count, 12);
    }
    if (fill.IsValid() && fill->GetValue() == CMotifDef::KIND_SPECIAL) {
        if (fill_brush.IsInvalid())
            AddUniqueKind(kinds, count, 21);
        if (fill_pulsar.IsInvalid())
            AddUniqueKind(kinds, count, 22);
    }
}

void PolyPaint::SetStroke(CGraPortRef& port) const
{
    port->SetPen(pen);
    if (stroke_brush.IsValid())
        port->SetStrokeBrush(stroke_brush);
    if (stroke_pulsar.IsValid())
        port->SetStrokePulsar(stroke_pulsar);
}

void PolyPaint::SetForDraw(CGraPortRef& port, int flags) const
{
    if ((flags & 1) != 0)
        SetStroke(port);
    if ((flags & 2) != 0)
        port->SetPenColor(stroke_colour);
    if ((flags & 4) != 0) {
        port->SetFillColor(fill_colour);
        port->SetMotif(fill);
        if (fill_brush.IsValid())
            port->SetFillBrush(fill_brush);
        if (fill_pulsar.IsValid())
            port->SetFillPulsar(fill_pulsar);
    }
}

bool PolyPaint::FillVisible() const
{
    return Visible(fill_colour);
}

bool PolyPaint::StrokeVisible() const
{
    return Visible(stroke_colour);
}

void PolyPaint::Store(const ZuStorageRef& s) const
{
    s << pen << stroke_brush << stroke_pulsar << stroke_colour << close << ZuStorageSync::mark;
    s << fill << fill_brush << fill_pulsar << fill_colour;
}

void PolyPaint::Restore(const ZuStorageRef& s)
{
    s >> pen >> stroke_brush >> stroke_pulsar >> stroke_colour >> close >> ZuStorageSync::mark;
    s >> fill >> fill_brush >> fill_pulsar >> fill_colour;
}
