#include "app/grapolyl.h"

#include <cmath>

#include "app/graport.h"
#include "app/polychain.h"
#include "app/graprops.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraPolyLine, "app/grapolyl", ZU_CLASS_PLAIN)

namespace {

// Texts in Latin-1. The range of "Choix point" ends at the count.
const GraProperty kProperties[CGraPolyLine::PROPERTIES] = {
    {"Position X", "Position horizontale", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position verticale", 0x8C0, 0, -2000.0, 2000.0, 0.0, -1},
    {"Choix point", "Num\xe9ro du point \xe0 modifier", 0xD00, 14, 1.0, 0.0, 1.0, 30},
    {"Position X", "Position point", 0x821, 0, -2000.0, 2000.0, 0.0, -1},
    {"Position Y", "Position point", 0x842, 0, -2000.0, 2000.0, 0.0, -1},
    {"Distance P", "Distance jusqu'au point pr\xe9\x63\xe9\x64\x65nt", 0x821, 0, 0.0, 2000.0, 0.0,
     -1},
    {"Inclinaison P", "Inclinaison du point pr\xe9\x63\xe9\x64\x65nt", 0x842, 13, 0.0, 6.283185307,
     0.3926990816875, -1},
    {"Distance S", "Distance jusqu'au point suivant", 0x821, 0, 0.0, 2000.0, 0.0, -1},
    {"Inclinaison S", "Inclinaison du point suivant", 0x842, 13, 0.0, 6.283185307, 0.3926990816875,
     -1},
    {"Retrait coins", "Retrait pour les coins", 0x880, 0, 0.0, 2000.0, 0.0, 30},
};

const GraPropertyTable kTable{kProperties, GraPropertyTable::WITH_OPTIONS};

// A clone of the definition (the same object when shared); none for none.
CCornerDefRef CloneCorner(const ZuObjectRef& def)
{
    CCornerDefRef out;
    CloneInto(out, def);
    return out;
}

} // namespace

CGraPolyLine::CGraPolyLine()
{
    properties = &kTable;
    paint.Create();
    corner = ZuNew<CCornerDef>();
}

CGraPolyLine::~CGraPolyLine() {}

void CGraPolyLine::Delete()
{
    paint.Delete();
    DeleteDefinitions(corner);
    if (corners.IsValid()) {
        const ZuArrayRef array = corners;
        const unsigned n = array->TotalCount();
        for (unsigned i = 0; i < n; i++) {
            if (array[i].IsValid())
                array[i]->Delete();
            array[i] = CCornerDefRef();
        }
    }
    corners = CCornerDefArray();
    CGraObject::Delete();
}

VertexChain<PolyVertex> CGraPolyLine::Chain() const
{
    // The const operations only read through the view.
    CGraPolyLine* self = const_cast<CGraPolyLine*>(this);
    return VertexChain<PolyVertex>{self->vertices, self->saved,    &self->count,
                                   &self->chosen,  self->selected, MAX_HANDLES};
}

void CGraPolyLine::CopyFrom(const CGraObjectRef& other)
{
    const CGraPolyLine* o = CGraPolyLineRef(other).CheckAndResolve();
    if (o == this)
        return;
    CGraObject::CopyFrom(other);
    edit_mode = o->edit_mode;
    editing = o->editing;
    paint.CopyFrom(o->paint);
    CloneInto(corner, o->corner);
    Chain().CopyFrom(o->Chain());
    if (o->corners.IsInvalid()) {
        corners = CCornerDefArray();
    } else {
        EnsureCorners();
        for (unsigned i = 0; i < MAX_VERTICES; i++) {
            const CCornerDefRef theirs = o->CornerAt(int(i));
            corners[i] = CloneCorner(theirs);
        }
    }
    box = o->box;
    saved_width = o->saved_width;
}

bool CGraPolyLine::GetTypeName(ZuStringRef& out) const
{
    SetLabel(out, "Polygone quelconque");
    return true;
}

int CGraPolyLine::GetIconId(int variant) const
{
    return IconOfVariant(variant, 23, 33);
}

// ---------------------------------------------------------------- geometry and corners

DPoint CGraPolyLine::GetCentroid() const
{
    return Chain().Centroid();
}

void CGraPolyLine::Offset(const DPoint& d)
{
    for (int i = 0; i < count; i++) {
        vertices[i].p.x += d.x;
        vertices[i].p.y += d.y;
    }
}

int CGraPolyLine::NextIndex(int i) const
{
    return Chain().Next(i);
}

int CGraPolyLine::PrevIndex(int i) const
{
    return Chain().Prev(i);
}

bool CGraPolyLine::IsSegment(int s) const
{
    return Chain().IsSegment(s, paint.IsClosed());
}

CCornerDefRef CGraPolyLine::CornerAt(int i) const
{
    // Until the restored graph is awake the array is what the input made
    // it: a place past its end or a foreign object is no corner.
    if (corners.IsInvalid() || i < 0 || unsigned(i) >= corners->TotalCount())
        return CCornerDefRef();
    const ZuObjectRef& entry = ZuArrayRef(corners)[unsigned(i)];
    if (entry.IsInvalid() || !entry->IsKindOf(CCornerDefRef::RetRuntime()))
        return CCornerDefRef();
    return CCornerDefRef(entry);
}

bool CGraPolyLine::CornersWellFormed() const
{
    if (corners.IsInvalid())
        return true;
    if (corners->TotalCount() != MAX_VERTICES)
        return false;
    for (unsigned i = 0; i < MAX_VERTICES; i++) {
        const ZuObjectRef& entry = ZuArrayRef(corners)[i];
        if (entry.IsValid() && !entry->IsKindOf(CCornerDefRef::RetRuntime()))
            return false;
    }
    return true;
}

void CGraPolyLine::EnsureCorners()
{
    if (corners.IsValid() && CornersWellFormed())
        return;
    // A new array of 100 places, keeping the corners a restored one held.
    ZuArrayRef array = ZuNew<ZuArray>();
    array->SetSize(MAX_VERTICES);
    CCornerDefArray fresh = array;
    for (int i = 0; i < MAX_VERTICES; i++)
        fresh[unsigned(i)] = CornerAt(i);
    corners = fresh;
}

CCornerDefRef CGraPolyLine::GetVertexCorner(int i) const
{
    const CCornerDefRef c = CornerAt(i);
    if (c.IsInvalid() || c->GetValue() == CCornerDef::SHARP)
        return CCornerDefRef();
    return c;
}

DPoint CGraPolyLine::GetCornerEntry(int i) const
{
    const CCornerDefRef c = GetVertexCorner(i);
    if (c.IsInvalid())
        return vertices[i].p;
    return PointTowards(vertices[i].p, vertices[PrevIndex(i)].p, c->GetLength());
}

DPoint CGraPolyLine::GetCornerExit(int i) const
{
    const CCornerDefRef c = GetVertexCorner(i);
    if (c.IsInvalid())
        return vertices[i].p;
    return PointTowards(vertices[i].p, vertices[NextIndex(i)].p, c->GetLength());
}

void CGraPolyLine::RebuildCorners(const CCornerDefRef& model)
{
    if (model.IsInvalid() || model->GetValue() == CCornerDef::SHARP) {
        corners = CCornerDefArray();
        return;
    }
    ZuArrayRef array = ZuNew<ZuArray>();
    array->SetSize(MAX_VERTICES);
    CCornerDefArray fresh = array;
    for (unsigned i = 0; i < MAX_VERTICES; i++) {
        CCornerDefRef c = ZuNew<CCornerDef>();
        c->CopyFrom(model);
        fresh[i] = c;
    }
    corners = fresh;
}

void CGraPolyLine::MoveHandleLinked(int n, const DPoint& point)
{
    if (!IsHandle(n))
        return;
    const int v = n / 3;
    if (n % 3 == 1) {
        vertices[v].p = point;
        return;
    }
    EnsureCorners();
    CCornerDefRef c = CornerAt(v);
    if (c.IsInvalid()) {
        c = ZuNew<CCornerDef>();
        c->SetValue(112);
        corners[unsigned(v)] = c;
    }
    // Only the distance counts: the same length cuts both edges.
    c->SetLength(Distance(vertices[v].p, point));
}

// ---------------------------------------------------------------- handles

int CGraPolyLine::GetHandleCount() const
{
    return 3 * count;
}

int CGraPolyLine::GetHandleType(int n) const
{
    if (!IsHandle(n))
        return 0;
    if (n % 3 == 1)
        return n / 3 == chosen ? 9 : 2;
    return GetVertexCorner(n / 3).IsValid() ? 3 : 1;
}

DPoint CGraPolyLine::GetHandlePosition(int n) const
{
    if (!IsHandle(n))
        return DPoint{0.0, 0.0};
    switch (n % 3) {
    case 0:
        return GetCornerEntry(n / 3);
    case 1:
        return vertices[n / 3].p;
    default:
        return GetCornerExit(n / 3);
    }
}

void CGraPolyLine::SetHandlePosition(int n, const DPoint& p)
{
    if (IsHandle(n) && n % 3 == 1)
        vertices[n / 3].p = p;
}

void CGraPolyLine::MoveHandle(int n, const DPoint& p)
{
    if (!IsHandle(n))
        return;
    MoveHandleLinked(n, p);
    chosen = n / 3;
}

void CGraPolyLine::SelectHandle(int n)
{
    Chain().Select(editing, n);
}

bool CGraPolyLine::IsHandleSelected(int n) const
{
    return Chain().IsSelected(editing, n);
}

bool CGraPolyLine::SaveGeometry(const ChangeRecord&)
{
    Chain().Save();
    saved_width = paint.PenWidth();
    return true;
}

bool CGraPolyLine::Transform(const ChangeRecord& change, int flags)
{
    const bool any = Chain().AnySelected();
    for (int i = 0; i < count; i++) {
        if (selected[3 * i + 1] != 0)
            continue;
        DPoint p = saved[i].p;
        TransformPoints(p, p, change);
        vertices[i].p = p;
    }
    if (!any)
        paint.View().ScalePen(saved_width, change, flags);
    return true;
}

bool CGraPolyLine::AcceptsChange(const ChangeRecord&)
{
    return true;
}

bool CGraPolyLine::SetPoints(const DPoint* points, int)
{
    if (points == nullptr || count >= MAX_VERTICES)
        return false;
    if (count == 0) {
        vertices[0] = PolyVertex{points[0], 0};
        vertices[1] = PolyVertex{points[0], 1};
        count = 2;
        return true;
    }
    vertices[count - 1].end = 0;
    vertices[count] = PolyVertex{points[0], 1};
    count++;
    return true;
}

void CGraPolyLine::ConstrainPoint(int flags, int n, DPoint& p) const
{
    if ((flags & 2) == 0 || !IsVertex(n))
        return;
    SnapToAxis(vertices[PrevIndex(n)].p, p);
}

void CGraPolyLine::PlacePoint(const DPoint& p, int flags)
{
    if (count == 0)
        return;
    DPoint q = p;
    ConstrainPoint(flags, count - 1, q);
    vertices[count - 1].p = q;
}

bool CGraPolyLine::DragPoint(const DPoint& p, int flags)
{
    PlacePoint(p, flags);
    if (count == 2 && vertices[0].p.x == vertices[1].p.x && vertices[0].p.y == vertices[1].p.y)
        count = 1;
    return count < MAX_VERTICES;
}

bool CGraPolyLine::CanRemovePoint() const
{
    return count > 1;
}

void CGraPolyLine::RemoveLastPoint()
{
    Chain().RemoveLast();
}

// ---------------------------------------------------------------- palette and editing

void CGraPolyLine::GetPropertyLayout(int handle, int segment, int, int, int* out) const
{
    if (out == nullptr)
        return;
    out = BeginPalette(out);
    bool wrote = false;
    if (segment != -1 && IsSegment(segment)) {
        out = PaletteEntry(out, CMD_ADD);
        wrote = true;
    }
    if (handle != -1 && IsHandle(handle) && count >= 3 && handle % 3 == 1) {
        out = PaletteEntry(out, CMD_REMOVE);
        wrote = true;
    }
    EndPalette(out, wrote);
}

void CGraPolyLine::EditPoints(int handle, int segment, const DPoint& point, int command)
{
    if (command == CMD_ADD && segment != -1 && IsSegment(segment) && count < MAX_VERTICES) {
        const int s = segment;
        // The corners move with their vertices; the new vertex has none.
        if (corners.IsValid()) {
            EnsureCorners();
            for (int i = count; i > s + 1; i--)
                corners[unsigned(i)] = CornerAt(i - 1);
            corners[unsigned(s + 1)] = CCornerDefRef();
        }
        Chain().Insert(s);
        vertices[s + 1] = PolyVertex{point, 0};
    }
    if (command == CMD_REMOVE && handle != -1 && IsHandle(handle) && count >= 3) {
        const int v = handle / 3;
        if (corners.IsValid()) {
            EnsureCorners();
            for (int i = v; i < count - 1; i++)
                corners[unsigned(i)] = CornerAt(i + 1);
            corners[unsigned(count - 1)] = CCornerDefRef();
        }
        Chain().Remove(v);
    }
}

// ---------------------------------------------------------------- properties

bool CGraPolyLine::GetPropertyRange(int n, double& min, double& max) const
{
    if (!CGraObject::GetPropertyRange(n, min, max))
        return false;
    if (n == 2)
        max = double(count);
    return true;
}

bool CGraPolyLine::GetPropertyOption(int n, int& out) const
{
    // A row outside the table answers -1 too.
    out = -1;
    return CGraObject::GetPropertyOption(n, out);
}

bool CGraPolyLine::GetPropertyValue(int n, double& out) const
{
    if (!kTable.Has(n))
        return false;
    if (n < 2) {
        const DPoint c = PageToUserPoint(GetCentroid());
        out = n == 0 ? c.x : c.y;
        return true;
    }
    if (!IsVertex(chosen))
        return false;
    const DPoint& v = vertices[chosen].p;
    const DPoint& prev = vertices[PrevIndex(chosen)].p;
    const DPoint& next = vertices[NextIndex(chosen)].p;
    switch (n) {
    case 2:
        out = chosen + 1;
        break;
    case 3:
        out = PageToUserPoint(v).x;
        break;
    case 4:
        out = PageToUserPoint(v).y;
        break;
    case 5:
        out = Distance(v, prev);
        break;
    case 6:
        out = Inclination(v, prev);
        break;
    case 7:
        out = Distance(v, next);
        break;
    case 8:
        out = Inclination(v, next);
        break;
    default:
        out = CornerAt(chosen).IsValid() ? Distance(v, GetCornerEntry(chosen)) : 0.0;
        break;
    }
    return true;
}

bool CGraPolyLine::SetPropertyValue(int n, double value)
{
    // A value that is no number moves nothing.
    if (!kTable.Has(n) || !std::isfinite(value))
        return false;
    if (n < 2) {
        const DPoint c = PageToUserPoint(GetCentroid());
        Offset(n == 0 ? DPoint{value - c.x, 0.0} : DPoint{0.0, value - c.y});
        return IsVertex(chosen);
    }
    if (n == 2) {
        chosen = PointOfNumber(value, count);
        return chosen >= 0;
    }
    if (!IsVertex(chosen))
        return false;
    const DPoint v = vertices[chosen].p;
    const int prev = PrevIndex(chosen);
    const int next = NextIndex(chosen);
    const DPoint pp = vertices[prev].p;
    const DPoint np = vertices[next].p;
    switch (n) {
    case 3:
        MoveHandleLinked(3 * chosen + 1, UserToPagePoint(DPoint{value, PageToUserPoint(v).y}));
        break;
    case 4:
        MoveHandleLinked(3 * chosen + 1, UserToPagePoint(DPoint{PageToUserPoint(v).x, value}));
        break;
    case 5:
        MoveHandleLinked(3 * prev + 1, PolarPoint(v, value, Inclination(v, pp)));
        break;
    case 6:
        MoveHandleLinked(3 * prev + 1, PolarPoint(v, Distance(v, pp), value));
        break;
    case 7:
        MoveHandleLinked(3 * next + 1, PolarPoint(v, value, Inclination(v, np)));
        break;
    case 8:
        MoveHandleLinked(3 * next + 1, PolarPoint(v, Distance(v, np), value));
        break;
    default: {
        const double length = value < 0.0 ? 0.0 : value;
        const DPoint entry = GetCornerEntry(chosen);
        MoveHandleLinked(3 * chosen, PolarPoint(v, length, Inclination(v, entry)));
        break;
    }
    }
    return true;
}

bool CGraPolyLine::GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const
{
    if (!kTable.Has(n))
        return false;
    if (n < 2) {
        a = b = GetCentroid();
        kind = n == 0 ? 2 : 3;
        return true;
    }
    if (!IsVertex(chosen))
        return false;
    static const int kinds[PROPERTIES] = {2, 3, 1, 2, 3, 4, 7, 4, 7, 4};
    kind = kinds[n];
    a = vertices[chosen].p;
    switch (n) {
    case 5:
    case 6:
        b = vertices[PrevIndex(chosen)].p;
        break;
    case 7:
    case 8:
        b = vertices[NextIndex(chosen)].p;
        break;
    case 9:
        b = GetCornerEntry(chosen);
        break;
    default:
        b = a;
        break;
    }
    return true;
}

// ---------------------------------------------------------------- definitions and editing

bool CGraPolyLine::GetDebugText(ZuStringRef& out) const
{
    SetVertexDebugText(out, count);
    return true;
}

void CGraPolyLine::GetDefinitionKinds(int* out) const
{
    SetKinds(out, {10, 11, 12, 15, 18, 20, 21, 22, 25, 30, 100, 102, 101, 105, 0});
}

int CGraPolyLine::GetEditMode() const
{
    return edit_mode;
}

bool CGraPolyLine::SetEditMode(int mode)
{
    edit_mode = mode;
    Chain().ClearMarks();
    return true;
}

int CGraPolyLine::IsEditing() const
{
    return editing;
}

bool CGraPolyLine::SetEditing(int e)
{
    editing = e;
    return true;
}

bool CGraPolyLine::GetDefinition(int kind, ZuObjectRef& out) const
{
    if (PolyPaint::IsKind(kind))
        return paint.Get(kind, out);
    if (kind == CORNER_KIND) {
        if (IsVertex(chosen))
            out = CornerAt(chosen);
        else
            out = corner;
        return true;
    }
    return CGraObject::GetDefinition(kind, out);
}

bool CGraPolyLine::SetDefinition(int kind, const ZuObjectRef& def)
{
    if (PolyPaint::IsKind(kind))
        return paint.Set(kind, def);
    if (kind != CORNER_KIND)
        return CGraObject::SetDefinition(kind, def);
    // Only corners fit; an empty one has nothing to give.
    if (def.IsInvalid() || !def->IsKindOf(CCornerDefRef::RetRuntime()))
        return false;
    if (chosen == -1) {
        corner = CloneCorner(def);
        RebuildCorners(corner);
    } else if (IsVertex(chosen)) {
        EnsureCorners();
        corners[unsigned(chosen)] = CloneCorner(def);
    }
    return true;
}

bool CGraPolyLine::PruneDefinitions()
{
    paint.Prune();
    if (corners.IsValid()) {
        EnsureCorners();
        for (int i = 0; i < MAX_VERTICES; i++) {
            const CCornerDefRef c = CornerAt(i);
            if (c.IsInvalid() || c->GetValue() == CCornerDef::SHARP)
                corners[unsigned(i)] = CCornerDefRef();
        }
    }
    return CGraObject::PruneDefinitions();
}

bool CGraPolyLine::GetMissingDefinitions(int* kinds, int* n) const
{
    paint.AddMissing(kinds, n);
    return CGraObject::GetMissingDefinitions(kinds, n);
}

// ---------------------------------------------------------------- drawing and hit tests

void CGraPolyLine::AppendPath(CGraPortRef& port) const
{
    // Without a vertex there is no outline (and nothing to close).
    if (count == 0)
        return;
    DPoint c = GetCornerEntry(0);
    for (int i = 0; i + 1 < count; i++) {
        const CCornerDefRef k = GetVertexCorner(i);
        if (k.IsValid()) {
            const DPoint e = GetCornerExit(i);
            const_cast<CGraPolyLine*>(this)->DrawCorner(port, c, e, vertices[i].p, k->GetLength(),
                                                        k->GetValue());
            c = e;
        }
        const DPoint n = GetCornerEntry(i + 1);
        port->DrawLine(c, n);
        c = n;
    }
    const int last = count - 1;
    const CCornerDefRef k = GetVertexCorner(last);
    if (k.IsValid()) {
        const DPoint e = GetCornerExit(last);
        const_cast<CGraPolyLine*>(this)->DrawCorner(port, c, e, vertices[last].p, k->GetLength(),
                                                    k->GetValue());
        c = e;
    }
    if (paint.IsClosed())
        port->DrawLine(c, GetCornerEntry(0));
}

bool CGraPolyLine::Draw(CGraPortRef& port, int flags)
{
    const bool outline = (flags & (8 | 16)) != 0;
    const bool fill = flags != 0 && !outline;
    paint.SetForDraw(port, flags);
    if (outline) {
        for (int i = 0; i < count; i++) {
            if (GetVertexCorner(i).IsInvalid())
                continue;
            port->DrawLine(vertices[i].p, GetCornerEntry(i));
            port->DrawLine(vertices[i].p, GetCornerExit(i));
        }
        if (count == 1)
            DrawVertexCross(port, vertices[0].p);
    }
    PaintOutline(port, fill, paint.IsClosed(), [&] { AppendPath(port); });
    return true;
}

bool CGraPolyLine::DrawShadow(CGraPortRef& port, int flags)
{
    return DrawOutlineShadow(port, flags, paint.pen, [&] { AppendPath(port); });
}

bool CGraPolyLine::UpdateBoundingBox(CGraPortRef& port)
{
    return MeasureOutline(port, paint.View(), paint.IsClosed(), [&] { AppendPath(port); });
}

bool CGraPolyLine::HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fill)
{
    const bool testFill = paint.FillVisible() && fill != 0;
    return HitOutline(port, paint.View(), p, zoom, testFill, paint.StrokeVisible(),
                      paint.IsClosed(), [&] { AppendPath(port); });
}

int CGraPolyLine::HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int)
{
    return HitSegment(port, paint.View(), box, p, zoom, count, paint.IsClosed(),
                      [&](int i, int j) { port->DrawLine(vertices[i].p, vertices[j].p); });
}

// ---------------------------------------------------------------- storage

void CGraPolyLine::Awake()
{
    CGraObject::Awake();
    if (!CornersWellFormed())
        Zuvi_StorageFormat::BadData("CGraPolyLine: vertex corners not 100 corners", __LINE__);
}

void CGraPolyLine::StoreInstance(const ZuStorageRef& s)
{
    CGraObject::StoreInstance(s);
    s << ZuStorageSync::begin << edit_mode << editing << ZuStorageSync::mark;
    paint.Store(s);
    s << ZuStorageSync::mark << corner << ZuArrayRef(corners);
    s << count << ZuStorageSync::repeat;
    for (int i = 0; i < count; i++) {
        const PolyVertex& v = vertices[i];
        s << ZuStorageSync::begin << v.p.x << v.p.y << int(v.end) << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
    s << box.x1 << box.y1 << box.x2 << box.y2 << ZuStorageSync::end;
}

void CGraPolyLine::RestoreInstance(const ZuStorageRef& s)
{
    CGraObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> edit_mode >> editing >> ZuStorageSync::mark;
    paint.Restore(s);
    s >> ZuStorageSync::mark >> corner;
    // The array's places are read after this record: Awake checks them.
    ZuArrayRef array;
    s >> array;
    const int stored = RestoreVertexCount(s, MAX_VERTICES);
    PolyVertex read[MAX_VERTICES] = {};
    for (int i = 0; i < stored; i++)
        s >> ZuStorageSync::begin >> read[i].p.x >> read[i].p.y >> read[i].end >>
            ZuStorageSync::end;
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::mark;
    DRect b{0.0, 0.0, 0.0, 0.0};
    s >> b.x1 >> b.y1 >> b.x2 >> b.y2 >> ZuStorageSync::end;
    corners = array;
    count = stored;
    for (int i = 0; i < count; i++)
        vertices[i] = read[i];
    box = b;
}
