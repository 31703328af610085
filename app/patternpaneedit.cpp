// The brush editor's work on its sample: snapping, hits, the seven tools'
// press, drag and release, and the overlay of guides, handles and grid.
#include <cmath>

#include "app/patternpane.h"
#include "app/pendef.h"
#include "si/adorner.h"
#include "si/event.h"
#include "si/classfactory.h"
#include "si/memzone.h"

namespace {

const char* const kFile = "patternpaneedit";

// The circle's control points lie this fraction of the radius off the
// axes, so that four curves make a near circle.
const double kCircleFactor = (1.4142135623730951 * 4.0 - 1.0) * 0.1111111111111111;

// The cursor sprite of each tool.
const int kSprites[CPatternPane::kTools] = {0, 0, 0, 1, 13, 14, 15};

DPoint Lerp(const DPoint& u, const DPoint& v, double t)
{
    return DPoint{u.x + (v.x - u.x) * t, u.y + (v.y - u.y) * t};
}

// Rounds v to the nearest multiple of step, halves away from zero.
double SnapValue(double v, double step)
{
    if (v >= 0.0)
        return std::trunc((v + step / 2) / step) * step;
    return -(std::trunc((-v + step / 2) / step) * step);
}

} // namespace

DPoint CPatternPane::Snap(const DPoint& p) const
{
    if (!grid || !(grid_step > 0.0))
        return p;
    return DPoint{SnapValue(p.x, grid_step), SnapValue(p.y, grid_step)};
}

DPoint CPatternPane::HandleAt(int element, int handle) const
{
    double p[2] = {0.0, 0.0};
    int k;
    def->GetHandle(element, handle, p, k, -1);
    return DPoint{p[0], p[1]};
}

bool CPatternPane::IsShapeHeader(int index) const
{
    if (index < 0 || !def.IsValid())
        return false;
    const int used = Used();
    for (int i = 0; i < used; i += CPatternDef::RecordLength(double(def->GetOpcode(i))))
        if (i == index)
            return def->GetOpcode(i) == CPatternDef::OP_SHAPE;
        else if (i > index)
            break;
    return false;
}

void CPatternPane::CheckSelection()
{
    // The brush may have been changed elsewhere: a selection that no longer
    // names a shape header and one of its records is dropped.
    if (current_shape < 0)
        return;
    if (!IsShapeHeader(current_shape)) {
        ClearSelection();
        return;
    }
    if (current_element < 0)
        return;
    const int end = ShapeEnd(current_shape);
    bool found = false;
    for (int i = current_shape; i < end && !found;
         i += CPatternDef::RecordLength(double(def->GetOpcode(i))))
        found = i == current_element;
    double p[2];
    int k;
    if (!found || !def->GetHandle(current_element, current_handle, p, k, -1))
        current_element = current_handle = -1;
}

// ---------------------------------------------------------------- hits

bool CPatternPane::HitHandle(const DPoint& p, int& shape, int& element, int& handle) const
{
    shape = element = handle = -1;
    if (!def.IsValid())
        return false;
    const double r = sample.IsValid() ? sample->LengthToSample(kHandleHalf) : kHandleHalf / kZoom;
    const int used = Used();
    int header = -1;
    for (int i = 0; i < used; i += CPatternDef::RecordLength(double(def->GetOpcode(i)))) {
        if (def->GetOpcode(i) == CPatternDef::OP_SHAPE)
            header = i;
        // Records before the first header belong to no shape.
        if (header < 0)
            continue;
        double h[2];
        int kind;
        for (int n = 0; n < 3 && def->GetHandle(i, n, h, kind, -1); ++n)
            if (std::fabs(p.x - h[0]) <= r && std::fabs(p.y - h[1]) <= r) {
                shape = header;
                element = i;
                handle = n;
                return true;
            }
    }
    return false;
}

CGraPortRef CPatternPane::HitPort() const
{
    if (!sample.IsValid())
        return CGraPortRef();
    // The hits are asked in brush coordinates at the sample's scale.
    sample->SetZoom(kZoom);
    return sample->RetPort();
}

int CPatternPane::HitShape(const DPoint& p) const
{
    CGraPortRef port = HitPort();
    if (!port.IsValid() || !def.IsValid() || !Drawable(p))
        return -1;
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    pen->SetWidth(0.0);
    port->SetPen(pen);
    const int used = Used();
    int hit = -1, header = -1;
    bool open = false, fill = false, stroke = false, close = false;
    DPoint cur{0.0, 0.0};
    for (int i = 0; i < used; i += CPatternDef::RecordLength(double(def->GetOpcode(i)))) {
        const int op = def->GetOpcode(i);
        if (op == CPatternDef::OP_SHAPE) {
            if (open && port->EndHitTest(p, kZoom, fill, stroke, close))
                hit = header;
            open = false;
            double record[CPatternDef::MAX_RECORD];
            def->GetElement(i, record);
            const int flags = Flags(record[1]);
            fill = (flags & 2) != 0;
            stroke = (flags & 1) != 0;
            close = fill;
            if (outline) {
                fill = false;
                stroke = true;
            }
            if (fill || stroke)
                open = port->BeginHitTest();
            if (stroke && !outline) {
                double w = 0.0;
                def->GetShapeWidth(i, w, -1);
                pen->SetWidth(std::isfinite(w) && w > 0.0 && w < 1e6 ? w : 0.0);
            }
            header = i;
            cur = HandleAt(i, 0);
        } else if (op == CPatternDef::OP_POINT && header >= 0) {
            const DPoint e = HandleAt(i, 0);
            if (open && Drawable(cur) && Drawable(e))
                port->DrawLine(cur, e);
            cur = e;
        } else if (op == CPatternDef::OP_CURVE && header >= 0) {
            const DPoint c1 = HandleAt(i, 1), c2 = HandleAt(i, 2), e = HandleAt(i, 0);
            if (open && Drawable(cur) && Drawable(c1) && Drawable(c2) && Drawable(e))
                port->DrawCurve(cur, c1, c2, e);
            cur = e;
        }
    }
    if (open && port->EndHitTest(p, kZoom, fill, stroke, close))
        hit = header;
    return hit;
}

bool CPatternPane::HitSegment(const DPoint& p, int& shape, int& element) const
{
    DPoint start;
    return HitSegmentFrom(p, shape, element, start);
}

bool CPatternPane::HitSegmentFrom(const DPoint& p, int& shape, int& element, DPoint& start) const
{
    shape = element = -1;
    CGraPortRef port = HitPort();
    if (!port.IsValid() || !def.IsValid() || !Drawable(p))
        return false;
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    pen->SetWidth(kSegmentPen);
    port->SetPen(pen);
    const int used = Used();
    int header = -1;
    DPoint cur{0.0, 0.0};
    for (int i = 0; i < used; i += CPatternDef::RecordLength(double(def->GetOpcode(i)))) {
        const int op = def->GetOpcode(i);
        if (op == CPatternDef::OP_SHAPE) {
            header = i;
            cur = HandleAt(i, 0);
            continue;
        }
        if (header < 0 || (op != CPatternDef::OP_POINT && op != CPatternDef::OP_CURVE))
            continue;
        const DPoint e = HandleAt(i, 0);
        const DPoint c1 = op == CPatternDef::OP_CURVE ? HandleAt(i, 1) : e;
        const DPoint c2 = op == CPatternDef::OP_CURVE ? HandleAt(i, 2) : e;
        if (Drawable(cur) && Drawable(e) && Drawable(c1) && Drawable(c2) && port->BeginHitTest()) {
            if (op == CPatternDef::OP_POINT)
                port->DrawLine(cur, e);
            else
                port->DrawCurve(cur, c1, c2, e);
            if (port->EndHitTest(p, kZoom, false, true, false)) {
                shape = header;
                element = i;
                start = cur;
            }
        }
        cur = e;
    }
    return element >= 0;
}

// ---------------------------------------------------------------- events

void CPatternPane::DrawSampleBack(const ZuGrailPortRef&, int) {}

void CPatternPane::SampleKeyDown(const ZuEventRef&, int) {}

void CPatternPane::SampleMotionNotify(const ZuEventRef&, int)
{
    if (sample.IsValid())
        sample->SetCursorSprite(kSprites[tool]);
}

void CPatternPane::SampleEnterNotify(const ZuEventRef&, int)
{
    if (sample.IsValid())
        sample->ClearCursorSprite();
}

void CPatternPane::SampleLeaveNotify(const ZuEventRef&, int)
{
    if (sample.IsValid())
        sample->ClearCursorSprite();
}

bool CPatternPane::EventPoint(const ZuEventRef& event, DPoint& p) const
{
    if (event.IsInvalid() || !sample.IsValid())
        return false;
    p = sample->ViewToSample(event->RetX(), event->RetY());
    return true;
}

void CPatternPane::SampleButtonPress(const ZuEventRef& event, int)
{
    DPoint p;
    if (EventPoint(event, p))
        PressAt(p);
}

void CPatternPane::SampleDragNotify(const ZuEventRef& event, int)
{
    DPoint p;
    if (EventPoint(event, p))
        DragTo(p);
}

void CPatternPane::SampleButtonRelease(const ZuEventRef& event, int)
{
    DPoint p;
    if (EventPoint(event, p))
        ReleaseAt(p);
}

// ---------------------------------------------------------------- gestures

void CPatternPane::PressAt(const DPoint& p)
{
    if (!def.IsValid())
        return;
    CheckSelection();
    // A press without the release of the last one starts afresh.
    drawing_line = drawing_rect = drawing_circle = false;
    selecting = moving_handle = moving_shape = false;
    edited = false;
    switch (tool) {
    case TOOL_LINE:
    case TOOL_RECT:
    case TOOL_CIRCLE:
        if (mode == 0)
            StartShape(Snap(p));
        break;
    case TOOL_SELECT:
        if (!before.IsValid())
            before = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
        before->CopyFrom(CDefRef(ZuObjectRef(def)));
        SelectPress(p);
        break;
    case TOOL_TOGGLE:
        edited = ToggleSegment(p);
        break;
    case TOOL_ADD:
        edited = AddPoint(p);
        break;
    case TOOL_REMOVE:
        edited = RemovePoint(p);
        break;
    default:
        break;
    }
    press = Snap(p);
}

void CPatternPane::DragTo(const DPoint& p)
{
    if (!def.IsValid())
        return;
    if (drawing_line || drawing_rect || drawing_circle) {
        DragShape(p);
        DrawSample();
    } else if (selecting) {
        SelectDrag(p);
    }
}

void CPatternPane::ReleaseAt(const DPoint& p)
{
    if (!def.IsValid())
        return;
    if (drawing_line || drawing_rect || drawing_circle) {
        const DPoint r = Snap(p);
        if (std::fabs(r.x - press.x) > kMinSize || std::fabs(r.y - press.y) > kMinSize) {
            DragShape(p);
            edited = true;
        } else {
            DeleteNewShape();
        }
        drawing_line = drawing_rect = drawing_circle = false;
        new_shape = -1;
        DrawSample();
    } else if (selecting) {
        SelectDrag(p);
        // A grab that put everything back where it was changed nothing.
        if ((moving_handle || moving_shape) && before.IsValid() && !SameRecords(def, before))
            edited = true;
        selecting = moving_handle = moving_shape = false;
        current_element = current_handle = -1;
        DrawSample();
        ShowSelectedShape();
    }
    if (edited) {
        edited = false;
        NotifyChange(true, false);
    }
}

bool CPatternPane::SameRecords(const CPatternDefRef& a, const CPatternDefRef& b)
{
    int la = 0, lb = 0;
    a->GetLength(la);
    b->GetLength(lb);
    if (la != lb)
        return false;
    double ra[CPatternDef::MAX_RECORD], rb[CPatternDef::MAX_RECORD];
    for (int i = 0; i < la;) {
        a->GetElement(i, ra);
        b->GetElement(i, rb);
        const int n = CPatternDef::RecordLength(ra[0]);
        if (CPatternDef::RecordLength(rb[0]) != n || i + n > la)
            return false;
        for (int k = 0; k < n; ++k)
            if (!(ra[k] == rb[k]) && !(std::isnan(ra[k]) && std::isnan(rb[k])))
                return false;
        i += n;
    }
    return true;
}

// ---------------------------------------------------------------- drawing tools

void CPatternPane::StartShape(const DPoint& q)
{
    int index = 0;
    def->GetLength(index);
    double header[CPatternDef::SHAPE_LENGTH] = {CPatternDef::OP_SHAPE,
                                                tool == TOOL_LINE ? 1.0 : 2.0,
                                                double(colour),
                                                double(colour),
                                                width,
                                                width,
                                                0.0,
                                                0.0,
                                                q.x,
                                                q.y,
                                                q.x,
                                                q.y};
    CPatternDef::CopyInitialToFinal(header);
    if (!def->InsertElement(index, header))
        return;
    int at = index + CPatternDef::SHAPE_LENGTH;
    const int count = tool == TOOL_LINE ? 1 : 4;
    for (int k = 0; k < count; ++k) {
        if (tool == TOOL_CIRCLE) {
            double curve[CPatternDef::CURVE_LENGTH] = {CPatternDef::OP_CURVE};
            for (int j = 1; j < CPatternDef::CURVE_LENGTH; j += 2) {
                curve[j] = q.x;
                curve[j + 1] = q.y;
            }
            def->InsertElement(at, curve);
            at += CPatternDef::CURVE_LENGTH;
        } else {
            double point[CPatternDef::POINT_LENGTH] = {CPatternDef::OP_POINT, q.x, q.y, q.x, q.y};
            CPatternDef::CopyInitialToFinal(point);
            def->InsertElement(at, point);
            at += CPatternDef::POINT_LENGTH;
        }
    }
    new_shape = index;
    drawing_line = tool == TOOL_LINE;
    drawing_rect = tool == TOOL_RECT;
    drawing_circle = tool == TOOL_CIRCLE;
}

void CPatternPane::DragShape(const DPoint& p)
{
    if (new_shape < 0 || !IsShapeHeader(new_shape))
        return;
    const DPoint r = Snap(p);
    const DPoint q = press;
    const int first = new_shape + CPatternDef::SHAPE_LENGTH;
    auto point = [&](int at, const DPoint& v) {
        const double record[CPatternDef::POINT_LENGTH] = {CPatternDef::OP_POINT, v.x, v.y, v.x,
                                                          v.y};
        def->SetElement(at, record);
    };
    if (drawing_line) {
        point(first, r);
    } else if (drawing_rect) {
        const DPoint corners[4] = {{r.x, q.y}, {r.x, r.y}, {q.x, r.y}, {q.x, q.y}};
        for (int k = 0; k < 4; ++k)
            point(first + k * CPatternDef::POINT_LENGTH, corners[k]);
    } else if (drawing_circle) {
        const double cx = q.x, cy = q.y;
        const double d = Distance(q, r);
        const double e = kCircleFactor * d;
        const double start[2] = {cx, cy + d};
        def->SetHandle(new_shape, 0, start, 0);
        const DPoint curves[4][3] = {
            {{cx + e, cy + d}, {cx + d, cy + e}, {cx + d, cy}},
            {{cx + d, cy - e}, {cx + e, cy - d}, {cx, cy - d}},
            {{cx - e, cy - d}, {cx - d, cy - e}, {cx - d, cy}},
            {{cx - d, cy + e}, {cx - e, cy + d}, {cx, cy + d}},
        };
        for (int k = 0; k < 4; ++k) {
            double record[CPatternDef::CURVE_LENGTH] = {CPatternDef::OP_CURVE};
            for (int j = 0; j < 3; ++j) {
                record[1 + 4 * j] = record[3 + 4 * j] = curves[k][j].x;
                record[2 + 4 * j] = record[4 + 4 * j] = curves[k][j].y;
            }
            def->SetElement(first + k * CPatternDef::CURVE_LENGTH, record);
        }
    }
}

void CPatternPane::DeleteNewShape()
{
    if (new_shape < 0 || !IsShapeHeader(new_shape))
        return;
    if (!def->DeleteElement(new_shape))
        return;
    for (;;) {
        int length = 0;
        def->GetLength(length);
        if (new_shape >= length || def->GetOpcode(new_shape) == CPatternDef::OP_SHAPE ||
            !def->DeleteElement(new_shape))
            break;
    }
}

// ---------------------------------------------------------------- selection

void CPatternPane::SelectPress(const DPoint& p)
{
    int s, e, h;
    const bool on_handle = HitHandle(p, s, e, h);
    const int shape = on_handle ? -1 : HitShape(p);
    if (on_handle && s == current_shape && (current_handle == -1 || current_handle == h)) {
        current_element = e;
        current_handle = h;
        moving_handle = selecting = true;
        return;
    }
    if (current_shape == -1 || current_handle != -1 || current_shape != shape) {
        if (!on_handle) {
            current_shape = shape;
            current_element = current_handle = -1;
        } else {
            current_shape = s;
            current_element = e;
            current_handle = h;
        }
        selecting = true;
        DrawSample();
        return;
    }
    moving_shape = selecting = true;
}

void CPatternPane::SelectDrag(const DPoint& p)
{
    if (moving_handle) {
        if (current_element < 0 || current_handle < 0)
            return;
        const DPoint r = Snap(p);
        const double point[2] = {r.x, r.y};
        def->MoveHandle(current_element, current_handle, point, -1);
        DrawSample();
        return;
    }
    if (moving_shape) {
        if (current_shape < 0)
            return;
        const DPoint r = Snap(p);
        const double dx = r.x - press.x, dy = r.y - press.y;
        if (dx != 0.0 || dy != 0.0) {
            const int end = ShapeEnd(current_shape);
            for (int i = current_shape; i < end;
                 i += CPatternDef::RecordLength(double(def->GetOpcode(i)))) {
                double h[2];
                int kind;
                for (int n = 0; n < 3 && def->GetHandle(i, n, h, kind, -1); ++n) {
                    const double moved[2] = {h[0] + dx, h[1] + dy};
                    def->SetHandle(i, n, moved, -1);
                }
            }
        }
        press = r;
        DrawSample();
        return;
    }
    // Neither: the selection follows the pointer.
    int s, e, h;
    const bool on_handle = HitHandle(p, s, e, h);
    if (on_handle && !(e == current_element && h == current_handle)) {
        current_shape = s;
        current_element = e;
        current_handle = h;
        DrawSample();
        return;
    }
    if (on_handle)
        return;
    const int shape = HitShape(p);
    if (shape == current_shape && current_element == -1 && current_handle == -1)
        return;
    current_shape = shape;
    current_element = current_handle = -1;
    DrawSample();
}

// ---------------------------------------------------------------- segment tools

bool CPatternPane::ToggleSegment(const DPoint& p)
{
    int s, e;
    DPoint a;
    if (!HitSegmentFrom(p, s, e, a))
        return false;
    double b[2];
    int kind;
    if (!def->GetHandle(e, 0, b, kind, 1))
        return false;
    bool done;
    if (def->GetOpcode(e) == CPatternDef::OP_CURVE) {
        const double point[CPatternDef::POINT_LENGTH] = {CPatternDef::OP_POINT, b[0], b[1], b[0],
                                                         b[1]};
        done = def->DeleteElement(e) && def->InsertElement(e, point);
    } else {
        const DPoint end{b[0], b[1]};
        const DPoint c1 = Lerp(a, end, 0.25), c2 = Lerp(a, end, 0.75);
        const double curve[CPatternDef::CURVE_LENGTH] = {CPatternDef::OP_CURVE,
                                                         c1.x,
                                                         c1.y,
                                                         c1.x,
                                                         c1.y,
                                                         c2.x,
                                                         c2.y,
                                                         c2.x,
                                                         c2.y,
                                                         end.x,
                                                         end.y,
                                                         end.x,
                                                         end.y};
        done = def->DeleteElement(e) && def->InsertElement(e, curve);
    }
    current_shape = s;
    current_element = current_handle = -1;
    tool = TOOL_SELECT;
    DrawSample();
    UpdateToolButtons();
    return done;
}

bool CPatternPane::AddPoint(const DPoint& p)
{
    int s, e;
    DPoint a;
    if (!HitSegmentFrom(p, s, e, a))
        return false;
    bool done;
    if (def->GetOpcode(e) == CPatternDef::OP_POINT) {
        const double point[CPatternDef::POINT_LENGTH] = {CPatternDef::OP_POINT, p.x, p.y, p.x, p.y};
        done = def->InsertElement(e, point);
    } else {
        const DPoint c1 = HandleAt(e, 1), c2 = HandleAt(e, 2), b = HandleAt(e, 0);
        double t = BezierNearest(a, c1, c2, b, p, 1000);
        if (!(t >= 0.0 && t <= 1.0))
            t = 0.5;
        const DPoint m = BezierPoint(a, c1, c2, b, t);
        const DPoint q = Lerp(c1, c2, t);
        const DPoint a1 = Lerp(a, c1, t);
        const DPoint b2 = Lerp(b, c2, 1 - t);
        const DPoint a2 = Lerp(a1, q, t);
        const DPoint b1 = Lerp(b2, q, 1 - t);
        const double h1[2] = {b1.x, b1.y}, h2[2] = {b2.x, b2.y};
        def->SetHandle(e, 1, h1, -1);
        def->SetHandle(e, 2, h2, -1);
        const double curve[CPatternDef::CURVE_LENGTH] = {CPatternDef::OP_CURVE,
                                                         a1.x,
                                                         a1.y,
                                                         a1.x,
                                                         a1.y,
                                                         a2.x,
                                                         a2.y,
                                                         a2.x,
                                                         a2.y,
                                                         m.x,
                                                         m.y,
                                                         m.x,
                                                         m.y};
        done = def->InsertElement(e, curve);
    }
    current_shape = s;
    current_element = current_handle = -1;
    tool = TOOL_SELECT;
    DrawSample();
    UpdateToolButtons();
    return done;
}

bool CPatternPane::RemovePoint(const DPoint& p)
{
    int s, e, h;
    if (!HitHandle(p, s, e, h))
        return false;
    // A shape's start point is its header: taking it away would leave the
    // segments to the shape before, or to none.
    if (def->GetOpcode(e) == CPatternDef::OP_SHAPE)
        return false;
    const int length = CPatternDef::RecordLength(double(def->GetOpcode(e)));
    if (!def->DeleteElement(e))
        return false;
    // The selection stays on its shape, which may have moved up.
    if (current_shape > e)
        current_shape -= length;
    current_element = current_handle = -1;
    DrawSample();
    return true;
}

// ---------------------------------------------------------------- overlay

void CPatternPane::DrawSampleFront(const ZuGrailPortRef& port, int)
{
    if (port.IsInvalid() || !sample.IsValid() || !def.IsValid())
        return;
    CheckSelection();
    auto view = [&](double x, double y) { return sample->SampleToView(x, y); };
    port->SetForeColor(ZuColorPixel(0.75, 0.75, 0.75, 0.0));
    auto horizontal = [&](double x1, double y, double x2) {
        const DPoint a = view(x1, y), b = view(x2, y);
        port->DrawLineDX(a.x, a.y, b.x - a.x);
    };
    auto vertical = [&](double x, double y1, double y2) {
        // Drawn downwards from the upper end: the port draws no line of a
        // negative length.
        const DPoint a = view(x, y2), b = view(x, y1);
        port->DrawLineDY(a.x, a.y, b.y - a.y);
    };
    horizontal(-1.0, 0.0, 1.0);
    vertical(0.0, -1.0, 1.0);
    horizontal(-0.5, -0.5, 0.5);
    horizontal(-0.5, 0.5, 0.5);
    vertical(-0.5, -0.5, 0.5);
    vertical(0.5, -0.5, 0.5);

    if (current_shape >= 0) {
        const ZuRect box = sample->RetBox();
        ZuAdornerRef adorner = port->RetAdorner();
        const ZuAtomRef control("lumbra_HandleNormMR"), end_point("lumbra_HandleNormGR");
        const int end = ShapeEnd(current_shape);
        for (int i = current_shape; adorner.IsValid() && i < end;
             i += CPatternDef::RecordLength(double(def->GetOpcode(i)))) {
            double h[2];
            int kind;
            for (int n = 0; n < 3 && def->GetHandle(i, n, h, kind, -1); ++n) {
                if (current_element != -1 && !(i == current_element && n == current_handle))
                    continue;
                // Handles off the sample (a document's brush may reach far
                // out) would paint over the pane's other controls.
                const DPoint v = view(h[0], h[1]);
                if (!(v.x >= box.X1() && v.x <= box.X2() + 8 && v.y >= box.Y1() &&
                      v.y <= box.Y2() + 8))
                    continue;
                adorner->DrawIcon(v.x - 8, v.y - 8, kind == 2 ? control : end_point,
                                  ZU_CTRL_STATE_NORMAL, 0, 0);
            }
        }
    }

    if (grid && grid_step > 0.0) {
        port->SetForeColor(ZuColorPixel(0.0, 0.0, 0.0, 0.0));
        for (double x = -1.0; x < 1.0; x += grid_step)
            for (double y = -1.0; y < 1.0; y += grid_step) {
                const DPoint v = view(x, y);
                port->DrawDot(v.x, v.y);
            }
    }
}
