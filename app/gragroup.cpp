#include "app/gragroup.h"

#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "app/grapaint.h"
#include "app/graport.h"
#include "app/graprops.h"
#include "app/treeit.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraGroup, "app/gragroup", ZU_CLASS_PLAIN)

namespace {

// The far corner of a handle: 0 against 1, 2 against 3.
int Opposite(int n)
{
    switch (n) {
    case 0:
        return 1;
    case 1:
        return 0;
    case 2:
        return 3;
    default:
        return 2;
    }
}

// One property row.
struct GroupProperty {
    const char* name;
    const char* description;
    int flags;
};

const GroupProperty kProperties[CGraGroup::PROPERTIES] = {
    {"Position X", "Position horizontale", 33},
    {"Position Y", "Position verticale", 192},
};

bool IsRow(int n)
{
    return n >= 0 && n < CGraGroup::PROPERTIES;
}

} // namespace

CGraGroup::CGraGroup() : frame_pen(ZuNew<CPenDef>()), frame_colour(ZuNew<CColorDef>()) {}

CGraGroup::~CGraGroup() {}

void CGraGroup::Delete()
{
    DeleteDefinitions(frame_pen, frame_colour);
    CGraObject::Delete();
}

class CGraGroup::Walking {
public:
    explicit Walking(const CGraGroup* g) : group(g), before(g->walking) { g->walking = true; }
    ~Walking() { group->walking = before; }
    Walking(const Walking&) = delete;
    Walking& operator=(const Walking&) = delete;

private:
    const CGraGroup* group;
    bool before;
};

std::vector<CGraObjectRef> CGraGroup::Members() const
{
    std::vector<CGraObjectRef> members;
    if (tree_node.IsInvalid() || walking)
        return members;
    // Links read from a file may loop: a child met twice ends the walk.
    std::unordered_set<const CTreeNode*> seen;
    CTreeItRef it = ZuNew<CTreeIt>();
    it->Init(tree_node, 1);
    for (;;) {
        CTreeNodeRef child;
        it->Next(child);
        if (child.IsInvalid() || !seen.insert(child.CheckAndResolve()).second ||
            !(child->RetParent() == tree_node))
            break;
        const ZuObjectRef& object = child->RetObject();
        if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime()))
            members.push_back(CGraObjectRef(object));
    }
    return members;
}

void CGraGroup::CopyFrom(const CGraObjectRef& other)
{
    const CGraGroup* o = CGraGroupRef(other).CheckAndResolve();
    if (o == this)
        return;
    edit_mode = o->edit_mode;
    editing = o->editing;
    CloneInto(frame_pen, o->frame_pen);
    CloneInto(frame_colour, o->frame_colour);
    rect = o->rect;
    box = o->box;
    for (int i = 0; i < HANDLES; i++)
        selected[i] = o->selected[i];
    if (tree_node.IsInvalid())
        return;
    const std::vector<CGraObjectRef> guarded = o->Members();
    Walking busy(o);
    for (const CGraObjectRef& member : guarded) {
        CGraObjectRef copy = NewGraObject(member->RetRuntime());
        if (copy.IsInvalid())
            continue;
        CTreeNodeRef node = ZuNew<CTreeNode>();
        node->SetObject(copy);
        // A group copies its members below its node: it must be linked first.
        node->InsertLastChild(tree_node);
        copy->CopyFrom(member);
    }
}

bool CGraGroup::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Groupe");
    return true;
}

// ---------------------------------------------------------------- handles and geometry

int CGraGroup::GetHandleCount() const
{
    return HANDLES;
}

int CGraGroup::GetHandleType(int n) const
{
    return n >= 0 && n < HANDLES ? 2 : 0;
}

DPoint CGraGroup::GetHandlePosition(int n) const
{
    switch (n) {
    case 0:
        return DPoint{rect.x1, rect.y1};
    case 1:
        return DPoint{rect.x2, rect.y2};
    case 2:
        return DPoint{rect.x1, rect.y2};
    case 3:
        return DPoint{rect.x2, rect.y1};
    default:
        return DPoint{0.0, 0.0};
    }
}

void CGraGroup::SetHandlePosition(int n, const DPoint& p)
{
    switch (n) {
    case 0:
        rect.x1 = p.x;
        rect.y1 = p.y;
        break;
    case 1:
        rect.x2 = p.x;
        rect.y2 = p.y;
        break;
    case 2:
        rect.x1 = p.x;
        rect.y2 = p.y;
        break;
    case 3:
        rect.x2 = p.x;
        rect.y1 = p.y;
        break;
    default:
        break;
    }
}

void CGraGroup::SelectHandle(int n)
{
    if (editing != 0 && n >= 0 && n < HANDLES)
        selected[n] = true;
}

bool CGraGroup::IsHandleSelected(int n) const
{
    if (editing == 0 || n < 0 || n >= HANDLES)
        return false;
    return selected[n];
}

bool CGraGroup::SaveGeometry(const ChangeRecord& change)
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->SaveGeometry(change);
    return true;
}

bool CGraGroup::Transform(const ChangeRecord& change, int flags)
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->Transform(change, flags);
    return true;
}

bool CGraGroup::AcceptsChange(const ChangeRecord& change)
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->AcceptsChange(change);
    return true;
}

bool CGraGroup::SetPoints(const DPoint* points, int n)
{
    if (points == nullptr || n < 2)
        return false;
    rect = DRect{points[0].x, points[0].y, points[1].x, points[1].y};
    return true;
}

void CGraGroup::PlacePoint(const DPoint& p, int flags)
{
    DPoint q = p;
    ConstrainPoint(flags, 1, q);
    rect.x2 = q.x;
    rect.y2 = q.y;
}

void CGraGroup::ConstrainPoint(int flags, int which, DPoint& p) const
{
    if ((flags & 2) == 0)
        return;
    const DPoint o = GetHandlePosition(Opposite(which));
    const double dx = Abs(p.x - o.x);
    p.y = p.y <= o.y ? o.y - dx : o.y + dx;
}

// ---------------------------------------------------------------- properties

int CGraGroup::GetPropertyCount() const
{
    return PROPERTIES;
}

bool CGraGroup::GetPropertyFlags(int n, int& out) const
{
    out = IsRow(n) ? kProperties[n].flags : 0;
    return true;
}

bool CGraGroup::GetPropertyUnit(int, int& out) const
{
    out = 0;
    return true;
}

bool CGraGroup::GetPropertyName(int n, ZuStringRef& out) const
{
    if (IsRow(n))
        SetLabel(out, kProperties[n].name);
    return true;
}

bool CGraGroup::GetPropertyDescription(int n, ZuStringRef& out) const
{
    if (IsRow(n))
        SetLabel(out, kProperties[n].description);
    return true;
}

bool CGraGroup::GetPropertyRange(int, double& min, double& max) const
{
    min = -2000.0;
    max = 2000.0;
    return true;
}

bool CGraGroup::GetPropertyStep(int, double& out) const
{
    out = 0.0;
    return true;
}

bool CGraGroup::GetPropertyValue(int n, double& out) const
{
    const DPoint c = PageToUserPoint(MidPoint(DPoint{rect.x1, rect.y1}, DPoint{rect.x2, rect.y2}));
    if (n == 0)
        out = c.x;
    else if (n == 1)
        out = c.y;
    else
        return false;
    return true;
}

bool CGraGroup::SetPropertyValue(int n, double value)
{
    const DPoint c = PageToUserPoint(MidPoint(DPoint{rect.x1, rect.y1}, DPoint{rect.x2, rect.y2}));
    ChangeRecord move;
    std::memset(&move, 0, sizeof move);
    move.kind = 1;
    move.a = DPoint{0.0, 0.0};
    move.b = DPoint{n == 0 ? value - c.x : 0.0, n == 1 ? value - c.y : 0.0};
    SaveGeometry(move);
    Transform(move, 0);
    AcceptsChange(move);
    return true;
}

bool CGraGroup::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    if (!IsRow(n)) {
        kind = 0;
        return false;
    }
    a = b = MidPoint(DPoint{rect.x1, rect.y1}, DPoint{rect.x2, rect.y2});
    kind = n == 0 ? 2 : 3;
    return true;
}

// ---------------------------------------------------------------- debugging, definitions, editing

bool CGraGroup::GetDebugText(ZuStringRef& out) const
{
    const DPoint u = PageToUserPoint(DPoint{rect.x1, rect.y1});
    SetDebugText(out, {{"  X=", u.x, 0},
                       {" Y=", u.y, 0},
                       {" dX=", rect.x2 - rect.x1, 0},
                       {" dY=", rect.y2 - rect.y1, 0}});
    if (tree_node.IsValid()) {
        char count[32];
        std::snprintf(count, sizeof count, " obj=%d", tree_node->GetSubtreeSize());
        out->AppendString(count);
    }
    return true;
}

void CGraGroup::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 15, 20, 25, 30, 31, 40, 41, 50, 51, 100, 101, 105, 120, 125, 126, 127, 0});
}

int CGraGroup::GetEditMode() const
{
    return edit_mode;
}

bool CGraGroup::SetEditMode(int mode)
{
    edit_mode = mode;
    for (bool& s : selected)
        s = false;
    return true;
}

int CGraGroup::IsEditing() const
{
    return editing;
}

bool CGraGroup::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraGroup::GetDefinition(int kind, ZuObjectRef& out) const
{
    ZuObjectRef candidate;
    bool answered = false;
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded) {
        ZuObjectRef def;
        if (!member->GetDefinition(kind, def))
            continue;
        if (!answered) {
            candidate = def;
            answered = true;
            continue;
        }
        // Empty definitions agree only with empty ones.
        if (candidate.IsInvalid() || def.IsInvalid()) {
            if (candidate.IsValid() || def.IsValid())
                return false;
            continue;
        }
        if (!candidate->IsKindOf(CDefRef::RetRuntime()) || !def->IsKindOf(CDefRef::RetRuntime()) ||
            !CDefRef(candidate)->IsEqualCurrent(CDefRef(def)))
            return false;
    }
    if (!answered)
        return false;
    out = candidate;
    return true;
}

bool CGraGroup::SetDefinition(int kind, const ZuObjectRef& def)
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->SetDefinition(kind, def);
    return true;
}

bool CGraGroup::PruneDefinitions()
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->PruneDefinitions();
    return true;
}

bool CGraGroup::GetMissingDefinitions(int* kinds, int* count) const
{
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        member->GetMissingDefinitions(kinds, count);
    return true;
}

// ---------------------------------------------------------------- hit tests and drawing

bool CGraGroup::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags)
{
    const double d = 3.0 / zoom;
    DRect outer = box;
    NormaliseRect(outer);
    DRect inner = outer;
    InflateRect(outer, d);
    if (!IsPointInRect(p, outer))
        return false;
    InflateRect(inner, -d);
    // A box narrower than the band leaves no inside: all of it is band.
    if (inner.x1 > inner.x2 || inner.y1 > inner.y2 || !IsPointInRect(p, inner))
        return true;
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded)
        if (member->HitTest(port, p, zoom, flags))
            return true;
    return false;
}

bool CGraGroup::Draw(CGraPortRef& port, int flags)
{
    const bool dashed = edit_mode == 0;
    frame_pen->SetWidth(0.0);
    frame_pen->SetDash(0, dashed ? 4.0 : 0.0);
    frame_pen->SetGap(0, dashed ? 1.6 : 0.0);
    frame_pen->SetDash(1, dashed ? 0.1 : 0.0);
    frame_pen->SetGap(1, dashed ? 1.6 : 0.0);
    frame_pen->SetDashOffset(0.0);
    frame_colour->SetRGB(dashed ? 1.0 : 0.0, 0.0, 0.0);
    if ((flags & 0x01) != 0)
        port->SetPen(frame_pen);
    if ((flags & 0x02) != 0)
        port->SetPenColor(frame_colour);
    port->DrawRect(DPoint{rect.x1, rect.y1}, DPoint{rect.x2, rect.y2}, 0.0, false, true);
    if ((flags & NO_MEMBERS) == 0) {
        const std::vector<CGraObjectRef> guarded = Members();
        Walking busy(this);
        for (const CGraObjectRef& member : guarded)
            member->Draw(port, flags);
    }
    return true;
}

bool CGraGroup::DrawShadow(CGraPortRef& port, int flags)
{
    if ((flags & NO_MEMBERS) == 0) {
        const std::vector<CGraObjectRef> guarded = Members();
        Walking busy(this);
        for (const CGraObjectRef& member : guarded)
            member->DrawShadow(port, flags);
    }
    return true;
}

bool CGraGroup::UpdateBoundingBox(CGraPortRef& port)
{
    box = rect;
    NormaliseRect(box);
    DRect all{0.0, 0.0, 0.0, 0.0};
    const std::vector<CGraObjectRef> guarded = Members();
    Walking busy(this);
    for (const CGraObjectRef& member : guarded) {
        member->UpdateBoundingBox(port);
        all = UnionRect(all, member->GetBoundingBox());
    }
    if (!IsRectNull(all)) {
        box = all;
        rect = all;
    }
    return true;
}

// ---------------------------------------------------------------- storage

void CGraGroup::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << tree_node << ZuStorageSync::mark;
    s << edit_mode << editing << ZuStorageSync::mark;
    s << rect.x1 << rect.y1 << rect.x2 << rect.y2 << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraGroup::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> tree_node >> ZuStorageSync::mark;
    s >> edit_mode >> editing >> ZuStorageSync::mark;
    s >> rect.x1 >> rect.y1 >> rect.x2 >> rect.y2 >> ZuStorageSync::mark;
    s >> box.x1 >> box.y1 >> box.x2 >> box.y2 >> ZuStorageSync::end;
}
