// The gradient pane's handles on its two previews: where they show, how
// they look, the guide lines between them, which one a press takes, and
// what dragging each changes in the gradient; and the whole-mesh modes,
// in which a press, drag or release moves, deforms or scales the mesh.
#include <algorithm>
#include <cmath>

#include "app/motifdegpane.h"
#include "si/adorner.h"
#include "si/event.h"

namespace {

// Quarter turns as the gradient's angles count them.
const double kQuarter = 1.57079632675;
const double kHalf = 3.1415926535;
const double kThreeQuarters = 4.71238898025;
const double kEighth = 0.785398163375;
// The large sample maps the unit square to 70 units each side.
const double kScale = 70.0;

DPoint Rotate(const DPoint& p, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return DPoint{p.x * c - p.y * s, p.x * s + p.y * c};
}

bool Finite(const DPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Where p falls along a -> b, as a fraction clamped to 0 .. 1; false for
// a segment of no length.
bool Along(const DPoint& a, const DPoint& b, const DPoint& p, double& t)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double d2 = dx * dx + dy * dy;
    if (!(d2 > 0.0) || !std::isfinite(d2))
        return false;
    t = Clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / d2);
    return true;
}

const char* HandleImage(int look, bool chosen)
{
    switch (look) {
    case 1:
        return chosen ? "lumbra_HandleNormMV" : "lumbra_HandleNormMR";
    case 2:
        return chosen ? "lumbra_HandleCrosGV" : "lumbra_HandleCrosGR";
    case 3:
        return chosen ? "lumbra_HandleNormPV" : "lumbra_HandleNormPR";
    default:
        return "lumbra_HandleNormPB";
    }
}

// Far beyond any window: not drawn, so that the port never meets
// coordinates it cannot hold.
bool Drawable(const DPoint& p)
{
    return std::fabs(p.x) < 1e5 && std::fabs(p.y) < 1e5;
}

// Cuts the segment to the square of half side `half` around the origin
// (Liang-Barsky); false when nothing of it lies inside. The raster engine
// refuses hair lines longer than its limit, and a guide between two far
// handles (a damaged gradient) is only ever seen where it crosses the
// sample.
bool ClipToSquare(DPoint& a, DPoint& b, double half)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + half, half - a.x, a.y + half, half - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const DPoint from = a;
    a = {from.x + t0 * dx, from.y + t0 * dy};
    b = {from.x + t1 * dx, from.y + t1 * dy};
    return true;
}

} // namespace

DPoint CMotifDegPane::BorderPoint(double angle)
{
    // Whole turns off, so that an angle of several turns, or a negative
    // one, finds its side; a non-number counts as 0.
    double a = std::isfinite(angle) ? std::fmod(angle, kTwoPi) : 0.0;
    if (a < 0.0)
        a += kTwoPi;
    if (!(a >= 0.0 && a < kTwoPi))
        a = 0.0;
    const double r = kScale;
    if (a < kEighth || a >= kTwoPi - kEighth)
        return DPoint{r, r * std::tan(a < kEighth ? a : a - kTwoPi)};
    if (a < kHalf - kEighth)
        return DPoint{-r * std::tan(a - kQuarter), r};
    if (a < kHalf + kEighth)
        return DPoint{-r, -r * std::tan(a - kHalf)};
    return DPoint{r * std::tan(a - kThreeQuarters), -r};
}

bool CMotifDegPane::HandlePosition(int layer, int n, DPoint& at, int& look) const
{
    if (!def.IsValid() || n < 0 || n >= kHandles)
        return false;
    const CMotifDef* d = def.CheckAndResolve();
    auto g = [d](int i) { return d->GetGradientPoint(i); };
    const int k = d->GetGradientType();
    DPoint s{0.0, 0.0};
    const CPatternDrawRef& view = layer == 0 ? sample : strip;
    if (!view.IsValid())
        return false;
    if (layer == 0) {
        switch (k) {
        case CMotifDef::GRADIENT_AXIAL: {
            const double a = g(0);
            if (n == 0)
                s = Rotate(DPoint{-35, 20}, a), look = 4;
            else if (n == 1)
                s = Rotate(DPoint{35, 20}, a), look = 2;
            else if (n == 2) {
                const DPoint e = BorderPoint(a + kHalf);
                s = DPoint{e.x * g(1), e.y * g(1)}, look = 1;
            } else if (n == 3) {
                const DPoint e = BorderPoint(a);
                s = DPoint{e.x * g(2), e.y * g(2)}, look = 1;
            } else
                return false;
            break;
        }
        case CMotifDef::GRADIENT_RADIAL: {
            if (n > 3)
                return false;
            const int first = n < 2 ? 0 : 3;
            const DPoint c{kScale * g(first), kScale * g(first + 1)};
            if (n == 1 || n == 3) {
                s = c, look = 2;
            } else {
                const double f = g(first + 2);
                s = DPoint{c.x + f * (-kScale - c.x), c.y + f * (-kScale - c.y)}, look = 1;
            }
            break;
        }
        case CMotifDef::GRADIENT_RECT:
            if (n != 0)
                return false;
            s = DPoint{kScale * g(0), kScale * g(1)}, look = 2;
            break;
        case CMotifDef::GRADIENT_TRIANGLES: {
            int columns = 2, rows = 2;
            d->GetMeshSize(columns, rows);
            if (n >= columns * rows)
                return false;
            s = DPoint{kScale * g(4 * n), kScale * g(4 * n + 1)};
            look = IsWholeMeshMode() ? 4 : 1;
            break;
        }
        case CMotifDef::GRADIENT_CURVES: {
            int columns = 2, rows = 2;
            d->GetMeshSize(columns, rows);
            const int node = n / 5, part = n % 5;
            if (node >= columns * rows)
                return false;
            if (part != 0) {
                if (IsWholeMeshMode() || selected < 0)
                    return false;
                const int c = node % columns, r = node / columns;
                // Tangents pointing out of the mesh never show.
                if ((part == 1 && c == 0) || (part == 2 && c == columns - 1) ||
                    (part == 4 && r == 0) || (part == 3 && r == rows - 1))
                    return false;
                const int chosen = selected / 5;
                const int toward = part == 1   ? node - 1
                                   : part == 2 ? node + 1
                                   : part == 3 ? node + columns
                                               : node - columns;
                if (node != chosen && toward != chosen)
                    return false;
                look = 3;
            } else {
                look = IsWholeMeshMode() ? 4 : 1;
            }
            s = DPoint{kScale * g(19 * node + 2 * part), kScale * g(19 * node + 2 * part + 1)};
            break;
        }
        default:
            return false;
        }
    } else if (layer == 1) {
        if (k != CMotifDef::GRADIENT_AXIAL && k != CMotifDef::GRADIENT_RADIAL)
            return false;
        const int count = d->GetColorCount();
        const int positions = k == CMotifDef::GRADIENT_AXIAL ? 3 : 6;
        const int further = k == CMotifDef::GRADIENT_AXIAL ? 13 : 16;
        auto X = [&](int j) {
            if (j <= 0)
                return -kScale;
            if (j >= count - 1)
                return kScale;
            return 141.0 * g(positions + j - 1) - kScale;
        };
        if (n < count - 2) {
            s = DPoint{X(n + 1), 0.0}, look = 1;
        } else if (n >= 10 && n < 10 + count - 1 && d->GetMeshFlags() == 1u) {
            const int j = n - 10;
            const double f = (g(further + j) + 1.0) / 2.0;
            s = DPoint{X(j) + f * (X(j + 1) - X(j)), 0.0}, look = 3;
        } else {
            return false;
        }
    } else {
        return false;
    }
    at = view->SampleToView(s.x, s.y);
    return Finite(at);
}

bool CMotifDegPane::HitTest(const DPoint& p, int& n, int& layer) const
{
    for (int l = 0; l < 2; ++l) {
        const CPatternDrawRef& view = l == 0 ? sample : strip;
        if (!view.IsValid())
            continue;
        const double half = view->LengthToSample(4.0);
        for (int i = kHandles - 1; i >= 0; --i) {
            DPoint at;
            int look = 0;
            if (HandlePosition(l, i, at, look) && std::fabs(at.x - p.x) <= half &&
                std::fabs(at.y - p.y) <= half) {
                n = i;
                layer = l;
                return true;
            }
        }
    }
    n = -1;
    layer = 0;
    return false;
}

void CMotifDegPane::DrawGuide(const ZuGrailPortRef& port, int layer, int from, int to, int core,
                              int border) const
{
    DPoint a, b;
    int look = 0;
    if (!HandlePosition(layer, from, a, look) || !HandlePosition(layer, to, b, look) ||
        !Drawable(a) || !Drawable(b) || !ClipToSquare(a, b, 2000.0))
        return;
    // Side by side one-pixel lines, across the line's own direction.
    const bool steep = std::fabs(b.y - a.y) > std::fabs(b.x - a.x);
    const int total = core + 2 * border;
    for (int i = 0; i < total; ++i) {
        const double o = i - total / 2;
        const bool white = i < border || i >= border + core;
        port->SetForeColor(white ? ZuColorPixel(1.0, 1.0, 1.0, 0.0) : ZuColorPixel(ZU_COLOR_BLACK));
        if (steep)
            port->DrawHairLineTo(a.x + o, a.y, b.x + o, b.y);
        else
            port->DrawHairLineTo(a.x, a.y + o, b.x, b.y + o);
    }
}

void CMotifDegPane::DrawSampleBack(const ZuGrailPortRef&, int) {}

void CMotifDegPane::DrawSampleFront(const ZuGrailPortRef& port, int layer)
{
    if (port.IsInvalid() || !def.IsValid())
        return;
    if (layer == 0) {
        int columns = 2, rows = 2;
        def->GetMeshSize(columns, rows);
        switch (GradientKind()) {
        case CMotifDef::GRADIENT_AXIAL:
            DrawGuide(port, 0, 2, 3, 1, 1);
            DrawGuide(port, 0, 0, 1, 2, 2);
            break;
        case CMotifDef::GRADIENT_RADIAL:
            DrawGuide(port, 0, 2, 3, 1, 1);
            DrawGuide(port, 0, 0, 1, 1, 1);
            DrawGuide(port, 0, 1, 3, 2, 2);
            break;
        case CMotifDef::GRADIENT_TRIANGLES:
            for (int r = 0; r + 1 < rows; ++r)
                for (int c = 0; c + 1 < columns; ++c) {
                    const int p = r * columns + c;
                    DrawGuide(port, 0, p, p + 1, 1, 0);
                    DrawGuide(port, 0, p, p + columns, 1, 0);
                    if (def->GetGradientPoint(4 * p + 2) == 0.0)
                        DrawGuide(port, 0, p, p + columns + 1, 1, 0);
                    else
                        DrawGuide(port, 0, p + columns, p + 1, 1, 0);
                }
            break;
        case CMotifDef::GRADIENT_CURVES: {
            const int chosen = selected < 0 ? -1 : selected / 5;
            if (chosen < 0 || chosen >= columns * rows)
                break;
            const int neighbours[5] = {-1, chosen - 1, chosen + 1, chosen + columns,
                                       chosen - columns};
            // The tangent of a neighbour that points back at the chosen
            // node: 2, 1, 4, 3 for the neighbour toward 1, 2, 3, 4.
            const int back[5] = {0, 2, 1, 4, 3};
            for (int part = 1; part <= 4; ++part) {
                DrawGuide(port, 0, 5 * chosen, 5 * chosen + part, 1, 1);
                const int other = neighbours[part];
                if (other >= 0 && other < columns * rows)
                    DrawGuide(port, 0, 5 * other, 5 * other + back[part], 1, 1);
            }
            break;
        }
        default:
            break;
        }
    }
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    for (int n = 0; n < kHandles; ++n) {
        DPoint at;
        int look = 0;
        if (!HandlePosition(layer, n, at, look) || !Drawable(at))
            continue;
        adorner->DrawIcon(at.x - 8, at.y - 8, ZuAtomRef(HandleImage(look, n == selected)),
                          ZU_CTRL_STATE_NORMAL, 0, 0);
    }
}

double CMotifDegPane::GetColorReach(int h) const
{
    if (!def.IsValid())
        return 0.0;
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    const int node = h < 0 ? 0 : h / 5;
    return (def->GetGradientPoint(19 * node + 12) - def->GetGradientPoint(19 * node)) /
           (2.0 / (columns - 1));
}

void CMotifDegPane::SetColorReach(double reach)
{
    if (!def.IsValid())
        return;
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    const double dx = reach * 2.0 / (columns - 1);
    const double dy = reach * 2.0 / (rows - 1);
    const int nodes = columns * rows;
    for (int n = 0; n < nodes; ++n) {
        if (selected >= 0 && n != selected / 5)
            continue;
        const int e = 19 * n;
        const double x = def->GetGradientPoint(e);
        const double y = def->GetGradientPoint(e + 1);
        const double corners[8] = {x - dx, y + dy, x + dx, y + dy, x - dx, y - dy, x + dx, y - dy};
        for (int i = 0; i < 8; ++i)
            def->SetGradientPoint(e + 10 + i, corners[i]);
    }
}

void CMotifDegPane::MoveMeshHandle(int n, const DPoint& q)
{
    int columns = 2, rows = 2;
    def->GetMeshSize(columns, rows);
    const bool curves = GradientKind() == CMotifDef::GRADIENT_CURVES;
    const int length = curves ? 19 : 4;
    const int node = curves ? n / 5 : n;
    const int part = curves ? n % 5 : 0;
    if (node < 0 || node >= columns * rows)
        return;
    const int e = length * node;
    auto g = [this](int i) { return def->GetGradientPoint(i); };
    auto set = [this](int i, double v) { def->SetGradientPoint(i, v); };
    // Moves a node with what hangs on it (tangents and colour-reach
    // corners of a curve mesh) by d.
    auto shift = [&](int at, double dx, double dy) {
        const int pairs = curves ? 9 : 1;
        for (int i = 0; i < pairs; ++i) {
            set(at + 2 * i, g(at + 2 * i) + dx);
            set(at + 2 * i + 1, g(at + 2 * i + 1) + dy);
        }
    };
    if (part == 0) {
        const double dx = q.x - g(e), dy = q.y - g(e + 1);
        shift(e, dx, dy);
        if (section == 1) {
            const int c = node % columns, r = node / columns;
            for (int i = 0; i < columns; ++i)
                if (i != c)
                    shift(length * (r * columns + i), dx, dy);
            for (int j = 0; j < rows; ++j)
                if (j != r)
                    shift(length * (j * columns + c), dx, dy);
        }
    } else {
        set(e + 2 * part, q.x);
        set(e + 2 * part + 1, q.y);
        if (section == 1) {
            // The opposite tangent turns to stay in line through the node,
            // at its own distance. A tangent on its node gives no
            // direction: the opposite one is left as it is.
            static const int opposite[5] = {0, 2, 1, 4, 3};
            const int o = e + 2 * opposite[part];
            const double nx = g(e), ny = g(e + 1);
            const double vx = q.x - nx, vy = q.y - ny;
            const double len = std::hypot(vx, vy);
            const double dist = std::hypot(g(o) - nx, g(o + 1) - ny);
            if (len > 0.0 && std::isfinite(len) && std::isfinite(dist)) {
                set(o, nx - vx / len * dist);
                set(o + 1, ny - vy / len * dist);
            }
        }
    }
    def->ClampMeshBorder();
}

void CMotifDegPane::MoveHandle(int n, int layer, const DPoint& p)
{
    if (!def.IsValid())
        return;
    const CPatternDrawRef& view = layer == 0 ? sample : strip;
    if (!view.IsValid())
        return;
    const DPoint m = view->ViewToSample(p.x, p.y);
    const int k = GradientKind();
    auto g = [this](int i) { return def->GetGradientPoint(i); };
    auto set = [this](int i, double v) { def->SetGradientPoint(i, v); };
    if (layer == 0) {
        double t = 0.0;
        switch (k) {
        case CMotifDef::GRADIENT_AXIAL:
            if (n == 1) {
                double a = std::atan2(m.y, m.x) - std::atan(20.0 / 35.0);
                if (a < 0.0)
                    a += kTwoPi;
                set(0, a);
            } else if (n == 2 || n == 3) {
                const DPoint e = BorderPoint(n == 2 ? g(0) + kHalf : g(0));
                if (Along(DPoint{0, 0}, e, m, t))
                    set(n == 2 ? 1 : 2, t);
            }
            break;
        case CMotifDef::GRADIENT_RADIAL:
            if (n == 0 || n == 2) {
                const int first = n == 0 ? 0 : 3;
                const DPoint c{kScale * g(first), kScale * g(first + 1)};
                if (Along(c, DPoint{-kScale, -kScale}, m, t))
                    set(first + 2, t);
            } else if (n == 1 || n == 3) {
                const int first = n == 1 ? 0 : 3;
                set(first, m.x / kScale);
                set(first + 1, m.y / kScale);
            }
            break;
        case CMotifDef::GRADIENT_RECT:
            if (n == 0) {
                set(0, m.x / kScale);
                set(1, m.y / kScale);
            }
            break;
        case CMotifDef::GRADIENT_TRIANGLES:
        case CMotifDef::GRADIENT_CURVES:
            if (section == 0 || section == 1)
                MoveMeshHandle(n, DPoint{m.x / kScale, m.y / kScale});
            break;
        default:
            break;
        }
        return;
    }
    if (layer != 1 || (k != CMotifDef::GRADIENT_AXIAL && k != CMotifDef::GRADIENT_RADIAL))
        return;
    const int count = def->GetColorCount();
    const int positions = k == CMotifDef::GRADIENT_AXIAL ? 3 : 6;
    const int further = k == CMotifDef::GRADIENT_AXIAL ? 13 : 16;
    if (n >= 0 && n < count - 2) {
        double f = (m.x + kScale) / 141.0;
        const double low = (n == 0 ? 0.0 : g(positions + n - 1)) + 0.01;
        const double high = g(positions + n + 1) - 0.01;
        if (f < low)
            f = low;
        if (f > high)
            f = high;
        set(positions + n, f);
    } else if (n >= 10 && n < 10 + count - 1 && def->GetMeshFlags() == 1u) {
        const int j = n - 10;
        auto X = [&](int i) {
            if (i <= 0)
                return -kScale;
            if (i >= count - 1)
                return kScale;
            return 141.0 * g(positions + i - 1) - kScale;
        };
        double t = 0.0;
        if (Along(DPoint{X(j), 0.0}, DPoint{X(j + 1), 0.0}, m, t))
            set(further + j, 2.0 * t - 1.0);
    }
}

// ---------------------------------------------------------------------------
// Gestures
// ---------------------------------------------------------------------------
DPoint CMotifDegPane::MeshPoint(const ZuEventRef& event) const
{
    const DPoint s = sample->ViewToSample(event->RetX(), event->RetY());
    return DPoint{s.x / kScale, s.y / kScale};
}

void CMotifDegPane::WholeMeshStep(const DPoint& p)
{
    ChangeRecord record{};
    const DPoint low{-1.0, -1.0}, high{1.0, 1.0};
    switch (section) {
    case 2:
        record.kind = 1;
        record.a = last;
        record.b = p;
        last = p;
        break;
    case 3:
        record.kind = 8;
        record.a = low;
        record.b = high;
        record.c = last;
        record.d = p;
        last = p;
        break;
    case 4:
    case 5:
        record.kind = 9;
        record.a = low;
        record.b = high;
        record.c = p;
        record.d.x = section == 4 ? 0.99 : 1.0101010101010102;
        break;
    default:
        return;
    }
    def->TransformMesh(record);
}

void CMotifDegPane::SampleKeyDown(const ZuEventRef&, int) {}

void CMotifDegPane::SampleMotionNotify(const ZuEventRef&, int)
{
    if (!sample.IsValid())
        return;
    static const int sprites[6] = {11, 40, 12, 16, 42, 41};
    sample->SetCursorSprite(IsMesh() && section >= 0 && section <= 5 ? sprites[section] : 11);
}

void CMotifDegPane::SampleButtonPress(const ZuEventRef& event, int)
{
    if (event.IsInvalid() || !def.IsValid() || !sample.IsValid())
        return;
    press = DPoint{event->RetX(), event->RetY()};
    drag_count = 0;
    if (IsWholeMeshMode()) {
        const DPoint p = MeshPoint(event);
        if (section == 2 || section == 3) {
            last = p;
            return;
        }
        WholeMeshStep(p);
        sample->Display();
        return;
    }
    int n = -1, layer = 0;
    hit = HitTest(press, n, layer);
    hit_handle = n;
    hit_layer = layer;
    if (hit && layer == 0) {
        if (selected != n) {
            selected = n;
            UpdateColorButtons();
            // The chosen handle wears its own picture at once.
            sample->Display();
        }
        // A handle that belongs to another section's parameters brings
        // that section up, unless the section shown has it too.
        const int k = GradientKind();
        const Param* other = nullptr;
        bool here = false;
        for (const Param* row = kParams; row->kind != -1; ++row)
            if (row->kind == k && row->handle == n) {
                here = here || row->section == section;
                if (other == nullptr)
                    other = row;
            }
        if (other != nullptr && !here) {
            section = other->section;
            UpdateSections();
            UpdateParams();
        }
        return;
    }
    selected = -1;
    UpdateColorButtons();
    sample->Display();
}

void CMotifDegPane::SampleDragNotify(const ZuEventRef& event, int)
{
    if (event.IsInvalid() || !def.IsValid() || !sample.IsValid())
        return;
    ++drag_count;
    if (IsWholeMeshMode()) {
        WholeMeshStep(MeshPoint(event));
        sample->Display();
        return;
    }
    if (!hit)
        return;
    const DPoint p{event->RetX(), event->RetY()};
    if (drag_count <= 4 && std::hypot(p.x - press.x, p.y - press.y) < 2.0)
        return;
    MoveHandle(hit_handle, hit_layer, p);
    if (hit_layer == 0) {
        const int k = GradientKind();
        if (k == CMotifDef::GRADIENT_AXIAL || k == CMotifDef::GRADIENT_RECT)
            DrawSample();
        else
            sample->Display();
        UpdateParams();
    } else {
        DrawStrip();
        // The strip's handles move with the colours.
        if (strip.IsValid())
            strip->Display();
    }
}

void CMotifDegPane::SampleButtonRelease(const ZuEventRef& event, int)
{
    if (event.IsInvalid() || !def.IsValid() || !sample.IsValid())
        return;
    if (IsWholeMeshMode()) {
        WholeMeshStep(MeshPoint(event));
        DrawSample();
        sample->Display();
        NotifyChange(true, false);
        hit = false;
        return;
    }
    if (hit) {
        DrawSample();
        DrawStrip();
        UpdateParams();
        NotifyChange(true, false);
    }
    hit = false;
}

void CMotifDegPane::SampleEnterNotify(const ZuEventRef&, int)
{
    if (sample.IsValid())
        sample->ClearCursorSprite();
}

void CMotifDegPane::SampleLeaveNotify(const ZuEventRef&, int)
{
    if (sample.IsValid())
        sample->ClearCursorSprite();
}
