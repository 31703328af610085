#include "app/graobject.h"

#include "app/grapaint.h"
#include "app/graport.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/event.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CGraObject, "app/graobject", ZU_CLASS_PLAIN)

CGraObject::CGraObject() {}

CGraObject::~CGraObject() {}

void CGraObject::Delete()
{
    DeleteDefinitions(position, motif, pattern, colour);
    tree_node = CTreeNodeRef();
    ZuObject::Delete();
}

// ---------------------------------------------------------------- copying and the tree

void CGraObject::CopyFrom(const CGraObjectRef& other)
{
    const CGraObject* o = other.CheckAndResolve();
    if (o == this)
        return;
    CloneInto(position, o->position);
    CloneInto(motif, o->motif);
    CloneInto(pattern, o->pattern);
    CloneInto(colour, o->colour);
    shown = o->shown;
}

void CGraObject::SetTreeNode(const CTreeNodeRef& node)
{
    tree_node = node;
}

CTreeNodeRef CGraObject::GetTreeNode() const
{
    return tree_node;
}

bool CGraObject::GetTypeName(ZuStringRef&) const
{
    return false;
}

int CGraObject::GetIconId(int variant) const
{
    return IconOfVariant(variant, 0, 10);
}

int CGraObject::IconOfVariant(int variant, int first, int second)
{
    if (variant == 0)
        return first;
    if (variant == 1)
        return second;
    return -1;
}

void CGraObject::SetFlag(bool s)
{
    shown = s;
}

bool CGraObject::GetFlag() const
{
    return shown;
}

// ---------------------------------------------------------------- handles and geometry

int CGraObject::GetHandleCount() const
{
    return 0;
}

int CGraObject::GetHandleType(int) const
{
    return 0;
}

DPoint CGraObject::GetHandlePosition(int) const
{
    return DPoint{0.0, 0.0};
}

bool CGraObject::GetHandle(int n, DPoint& out) const
{
    const int type = GetHandleType(n);
    if (type == 0 || type == 1)
        return false;
    out = GetHandlePosition(n);
    return true;
}

void CGraObject::SetHandlePosition(int, const DPoint&) {}

void CGraObject::MoveHandle(int n, const DPoint& p)
{
    SetHandlePosition(n, p);
}

void CGraObject::SelectHandle(int) {}

bool CGraObject::IsHandleSelected(int) const
{
    return false;
}

bool CGraObject::SaveGeometry(const ChangeRecord&)
{
    return false;
}

bool CGraObject::Transform(const ChangeRecord&, int)
{
    return false;
}

bool CGraObject::AcceptsChange(const ChangeRecord&)
{
    return false;
}

void CGraObject::EmptyHook(int, int, int) {}

bool CGraObject::SetPoints(const DPoint*, int)
{
    return false;
}

void CGraObject::PlacePoint(const DPoint&, int) {}

bool CGraObject::DragPoint(const DPoint& p, int n)
{
    PlacePoint(p, n);
    return false;
}

bool CGraObject::CanRemovePoint() const
{
    return true;
}

void CGraObject::RemoveLastPoint() {}

// ---------------------------------------------------------------- properties

bool CGraObject::HasProperties() const
{
    return properties != nullptr;
}

void CGraObject::GetPropertyLayout(int, int, int, int, int* out) const
{
    if (out != nullptr)
        *out = -1;
}

void CGraObject::EditPoints(int, int, const DPoint&, int) {}

int CGraObject::GetPropertyCount() const
{
    return properties != nullptr ? properties->Count() : 0;
}

bool CGraObject::GetPropertyFlags(int n, int& out) const
{
    if (properties != nullptr)
        return properties->Flags(n, out);
    out = 0;
    return false;
}

bool CGraObject::GetPropertyUnit(int n, int& out) const
{
    if (properties != nullptr)
        return properties->Unit(n, out);
    out = 0;
    return true;
}

bool CGraObject::GetPropertyName(int n, ZuStringRef& out) const
{
    return properties != nullptr && properties->Name(n, out);
}

bool CGraObject::GetPropertyDescription(int n, ZuStringRef& out) const
{
    return properties != nullptr && properties->Description(n, out);
}

bool CGraObject::GetPropertyRange(int n, double& min, double& max) const
{
    if (properties != nullptr)
        return properties->Range(n, min, max);
    min = -2000.0;
    max = 2000.0;
    return true;
}

bool CGraObject::GetPropertyStep(int n, double& out) const
{
    if (properties != nullptr)
        return properties->Step(n, out);
    out = 0.0;
    return false;
}

bool CGraObject::GetPropertyOption(int n, int& out) const
{
    if (properties != nullptr)
        return properties->Option(n, out);
    out = -1;
    return false;
}

bool CGraObject::GetPropertyValue(int, double& out) const
{
    out = 0.0;
    return false;
}

bool CGraObject::SetPropertyValue(int, double)
{
    return false;
}

bool CGraObject::GetPropertyHandles(int, DPoint&, DPoint&, int& kind) const
{
    kind = 0;
    return false;
}

// ---------------------------------------------------------------- text

bool CGraObject::HasText() const
{
    return false;
}

bool CGraObject::ShowCaret(CGraPortRef&)
{
    return false;
}

bool CGraObject::TextClick(CGraPortRef&, const DPoint&, DPoint&, DPoint&)
{
    return false;
}

bool CGraObject::TextSetCursor(CGraPortRef&, const DPoint&)
{
    return false;
}

bool CGraObject::TextExtendSelection(CGraPortRef&, const DPoint&)
{
    return false;
}

bool CGraObject::TextEndSelection(CGraPortRef&, const DPoint&)
{
    return false;
}

bool CGraObject::TextHandleEvent(CGraPortRef&, const ZuEventRef&)
{
    return false;
}

bool CGraObject::TextCommand(CGraPortRef&, ZuStringRef&)
{
    return false;
}

bool CGraObject::TextSetSelection(CGraPortRef&, ZuStringRef&)
{
    return false;
}

bool CGraObject::TextReplace(CGraPortRef&, const ZuStringRef&)
{
    return false;
}

bool CGraObject::GetCaret(CGraPortRef&, DPoint&, DPoint&, bool)
{
    return false;
}

bool CGraObject::IsTextEmpty() const
{
    return true;
}

// ---------------------------------------------------------------- definitions and editing

bool CGraObject::GetDebugText(ZuStringRef&) const
{
    return false;
}

void CGraObject::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {0});
}

int CGraObject::GetEditMode() const
{
    return 0;
}

bool CGraObject::SetEditMode(int)
{
    return false;
}

int CGraObject::IsEditing() const
{
    return 0;
}

bool CGraObject::SetEditing(int)
{
    return false;
}

bool CGraObject::GetDefinition(int kind, ZuObjectRef& out) const
{
    switch (kind) {
    case SHADOW_POSITION:
        out = position;
        return true;
    case SHADOW_MOTIF:
        out = motif;
        return true;
    case SHADOW_PATTERN:
        out = pattern;
        return true;
    case SHADOW_COLOR:
        out = colour;
        return true;
    default:
        return false;
    }
}

bool CGraObject::SetDefinition(int kind, const ZuObjectRef& def)
{
    switch (kind) {
    case SHADOW_POSITION:
        return SetChecked(position, def);
    case SHADOW_MOTIF:
        return SetChecked(motif, def);
    case SHADOW_PATTERN:
        return SetChecked(pattern, def);
    case SHADOW_COLOR:
        return SetChecked(colour, def);
    default:
        return false;
    }
}

bool CGraObject::HasShadow() const
{
    return position.IsValid() && position->GetValue() != CPositionDef::NO_SHADOW;
}

bool CGraObject::PruneDefinitions()
{
    if (!HasShadow()) {
        position = CPositionDefRef();
        motif = CMotifDefRef();
        pattern = CPatternDefRef();
        colour = CColorDefRef();
    }
    return true;
}

bool CGraObject::GetMissingDefinitions(int* kinds, int* count) const
{
    if (HasShadow()) {
        if (motif.IsInvalid())
            AddUniqueKind(kinds, count, SHADOW_MOTIF);
        if (pattern.IsInvalid())
            AddUniqueKind(kinds, count, SHADOW_PATTERN);
        if (colour.IsInvalid())
            AddUniqueKind(kinds, count, SHADOW_COLOR);
    }
    return true;
}

// ---------------------------------------------------------------- hit tests and drawing

bool CGraObject::HitTest(CGraPortRef&, const DPoint&, double, int)
{
    return false;
}

int CGraObject::HitTestSegment(CGraPortRef&, const DPoint&, double, int)
{
    return -1;
}

bool CGraObject::TextHitTest(CGraPortRef&, const DPoint&)
{
    return false;
}

bool CGraObject::Draw(CGraPortRef&, int)
{
    return false;
}

bool CGraObject::DrawShadow(CGraPortRef&, int)
{
    return false;
}

bool CGraObject::UpdateBoundingBox(CGraPortRef&)
{
    return false;
}

DRect CGraObject::GetBoundingBox() const
{
    return box;
}

DRect CGraObject::GetHandlesBox() const
{
    DRect box{0.0, 0.0, 0.0, 0.0};
    bool first = true;
    const int n = GetHandleCount();
    for (int i = 0; i < n; ++i) {
        const int type = GetHandleType(i);
        if (type != HANDLE_CORNER && type != HANDLE_SIDE)
            continue;
        const DPoint p = GetHandlePosition(i);
        if (first) {
            box = DRect{p.x, p.y, p.x, p.y};
            first = false;
            continue;
        }
        box.x1 = Min(box.x1, p.x);
        box.y1 = Min(box.y1, p.y);
        box.x2 = Max(box.x2, p.x);
        box.y2 = Max(box.y2, p.y);
    }
    return box;
}

void CGraObject::AddShadowToBox(DRect& box) const
{
    if (!HasShadow())
        return;
    const DPoint o = position->GetShadowOffset();
    if (o.x > 0.0)
        box.x2 += o.x;
    if (o.y > 0.0)
        box.y2 += o.y;
    if (o.x < 0.0)
        box.x1 += o.x;
    if (o.y < 0.0)
        box.y1 += o.y;
}

void CGraObject::DrawCorner(CGraPortRef& port, const DPoint& a, const DPoint& b,
                            const DPoint& corner, double size, int kind)
{
    if (size == 0.0)
        return;
    switch (kind) {
    case 111:
        port->DrawLine(a, b);
        break;
    case 112: {
        const DPoint m = CornerCentre(a, corner, b);
        port->DrawRoundCorner(a, corner, b, 0.95 * Distance(a, m));
        break;
    }
    case 113: {
        const DPoint m = CornerCentre(a, corner, b);
        port->DrawRoundCorner(a, m, b, 0.95 * Distance(a, corner));
        break;
    }
    case 114: {
        const DPoint m = CornerCentre(a, corner, b);
        port->DrawLine(a, m);
        port->DrawLine(m, b);
        break;
    }
    default:
        break;
    }
}

void CGraObject::PaintOutline(CGraPortRef& port, bool fill, bool close,
                              const std::function<void()>& outline)
{
    port->BeginPath();
    outline();
    port->EndPath(fill, true, close);
}

bool CGraObject::MeasureOutline(CGraPortRef& port, const GraPaint& stroke, bool close,
                                const std::function<void()>& outline)
{
    stroke.SetStroke(port);
    port->BeginBounds();
    outline();
    DRect measured{0.0, 0.0, 0.0, 0.0};
    if (!port->EndBounds(measured, true, close))
        return false;
    AddShadowToBox(measured);
    box = measured;
    return true;
}

bool CGraObject::HitOutline(CGraPortRef& port, const GraPaint& stroke, const DPoint& p, double zoom,
                            bool testFill, bool testStroke, bool close,
                            const std::function<void()>& outline)
{
    if (!IsPointInRect(p, box))
        return false;
    stroke.SetStroke(port);
    port->BeginHitTest();
    outline();
    return port->EndHitTest(p, zoom, testFill, testStroke, close);
}

void CGraObject::PaintShadowPath(CGraPortRef& port, const CPenDefRef& pen,
                                 const std::function<void()>& outline)
{
    const bool stroked = BeginShadow(port, pen);
    port->BeginPath();
    outline();
    port->EndPath(true, stroked, true);
    EndShadow(port);
}

bool CGraObject::DrawOutlineShadow(CGraPortRef& port, int flags, const CPenDefRef& pen,
                                   const std::function<void()>& outline)
{
    if (IsShadowPass(flags) && HasShadow())
        PaintShadowPath(port, pen, outline);
    return true;
}

bool CGraObject::DrawStrokeShadow(CGraPortRef& port, int flags, const CPenDefRef& pen,
                                  const std::function<void()>& draw)
{
    if (!IsShadowPass(flags) || !HasShadow() || position->GetInclude() == 0.0)
        return true;
    BeginShadow(port, pen);
    draw();
    EndShadow(port);
    return true;
}

bool CGraObject::BeginShadow(CGraPortRef& port, const CPenDefRef& pen)
{
    if (position.IsInvalid())
        return false;
    bool stroked = true;
    const DPoint offset = position->GetShadowOffset();
    CGraTransform t;
    port->GetTransform(t);
    t.dx += offset.x;
    t.dy += offset.y;
    port->SetTransform(t);
    const double share = position->GetInclude();
    if (share == 0.0 || pen.IsInvalid()) {
        stroked = false;
    } else if (share == 1.0) {
        port->SetPen(pen);
    } else {
        const CPenDefRef copy = ZuNew<CPenDef>();
        copy->CopyFrom(pen);
        copy->SetWidth(pen->GetWidth() * share);
        port->SetPen(copy);
    }
    port->SetPenColor(colour);
    port->SetFillColor(colour);
    port->SetMotif(motif);
    return stroked;
}

void CGraObject::EndShadow(CGraPortRef& port)
{
    if (position.IsInvalid())
        return;
    const DPoint offset = position->GetShadowOffset();
    CGraTransform t;
    port->GetTransform(t);
    t.dx -= offset.x;
    t.dy -= offset.y;
    port->SetTransform(t);
}

// ---------------------------------------------------------------- storage

void CGraObject::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << position << motif << pattern << colour << shown
      << ZuStorageSync::end;
}

void CGraObject::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> position >> motif >> pattern >> colour;
    shown = s->RestoreBool(shown);
    s >> ZuStorageSync::end;
}
