#include "app/polypaint.h"

#include "app/graport.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

bool Visible(const CColorDefRef& colour)
{
    return colour.IsInvalid() || colour->GetTransparency() != 1.0;
}

} // namespace

GraPaint PolyPaint::View() const
{
    // The const operations only read through the view.
    PolyPaint* self = const_cast<PolyPaint*>(this);
    return GraPaint{&self->pen,  &self->stroke_brush, &self->stroke_pulsar, &self->stroke_colour,
                    &self->fill, &self->fill_brush,   &self->fill_pulsar,   &self->fill_colour};
}

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
    View().Delete();
    DeleteDefinitions(close);
}

void PolyPaint::CopyFrom(const PolyPaint& o)
{
    View().CopyFrom(o.View());
    CloneInto(close, o.close);
}

bool PolyPaint::IsKind(int kind)
{
    return kind == 18 || GraPaint::IsStrokeKind(kind) || GraPaint::IsFillKind(kind);
}

bool PolyPaint::Get(int kind, ZuObjectRef& out) const
{
    if (kind != 18)
        return View().Get(kind, out);
    out = close;
    return true;
}

bool PolyPaint::Set(int kind, const ZuObjectRef& def)
{
    if (kind != 18)
        return View().Set(kind, def);
    return SetChecked(close, def);
}

void PolyPaint::Prune()
{
    View().Prune();
}

void PolyPaint::AddMissing(int* kinds, int* count) const
{
    View().AddMissing(kinds, count);
}

void PolyPaint::SetStroke(CGraPortRef& port) const
{
    View().SetStroke(port);
}

void PolyPaint::SetForDraw(CGraPortRef& port, int flags) const
{
    View().SetForDraw(port, flags);
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
    View().StoreStroke(s);
    s << close << ZuStorageSync::mark;
    View().StoreFill(s);
}

void PolyPaint::Restore(const ZuStorageRef& s)
{
    View().RestoreStroke(s);
    s >> close >> ZuStorageSync::mark;
    View().RestoreFill(s);
}
