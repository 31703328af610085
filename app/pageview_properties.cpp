// The page view's share of the properties dialog: while the dialog is
// shown, each parameter it highlights (the rows under the pointer or the
// focus, else the rows whose switch is on) is measured over the page in the
// document's colour "Propriété": cross-hairs, positions from the user
// origin, lengths, extents and angles with dimension arrows, each with its
// value in a white box.
#include "app/app.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "app/propertydlg.h"
#include "app/treenode.h"
#include "si/fontman.h"
#include "si/grail.h"
#include "si/textstyle.h"

#include <algorithm>
#include <cmath>

namespace {

// The interface element whose colour the marks take.
const int COLOR_PROPERTY = 4;
// An arrow head: its length along the shaft and its reach to each side.
const double kHeadLength = 10.0;
const double kHeadSide = 5.0;
// Extension lines reach this far beyond the points they start from; the
// arrow of an extent lies kArrowBack before their ends.
const double kExtension = 20.0;
const double kArrowBack = 15.0;
// The chords of an angle's arc, each this many radians (10 degrees).
const double kArcStep = 0.17453292519444444;

struct Px {
    double x, y;
};

// Whole pixels: straight marks then fall on one row or column of pixels
// rather than smearing over two.
Px Whole(double x, double y)
{
    return Px{std::floor(x), std::floor(y)};
}

bool Finite(const DPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A line with a head at each end, both pointing outwards.
void DrawDimensionArrow(const ZuGrailPortRef& port, const Px& a, const Px& b)
{
    port->DrawAALineTo(a.x, a.y, b.x, b.y);
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0))
        return;
    const double ux = dx / length, uy = dy / length;
    // The side of the shaft: the direction turned a quarter.
    const double nx = -uy * kHeadSide, ny = ux * kHeadSide;
    const struct {
        Px tip;
        double back;
    } ends[2] = {{b, -kHeadLength}, {a, kHeadLength}};
    for (const auto& e : ends) {
        const double bx = e.tip.x + ux * e.back, by = e.tip.y + uy * e.back;
        port->DrawAALineTo(e.tip.x, e.tip.y, std::floor(bx + nx + 0.5), std::floor(by + ny + 0.5));
        port->DrawAALineTo(e.tip.x, e.tip.y, std::floor(bx - nx + 0.5), std::floor(by - ny + 0.5));
    }
}

// How a label lies against its point: starting there, centred on it, or
// ending there.
enum { ALIGN_START = 1, ALIGN_CENTRE = 2, ALIGN_END = 3 };

// The value written in its unit on a white box, the text's base line on
// the point.
void DrawValueLabel(const ZuGrailPortRef& port, const ZuGrailFontRef& font,
                    const ZuColorPixel& colour, double x, double y, int align, double value,
                    int unit)
{
    if (font.IsInvalid() || !std::isfinite(value))
        return;
    char text[64];
    FormatInUnit(text, sizeof text, value, unit);
    const double w = std::ceil(font->ComputeTextWidth(text));
    const double start = std::floor(align == ALIGN_START    ? x
                                    : align == ALIGN_CENTRE ? x - w / 2.0
                                                            : x - w);
    y = std::floor(y);
    port->SetForeColor(ZuColorPixel(1.0, 1.0, 1.0, 0.0));
    port->FillRect(start - 1.0, y - 8.0, start + w, y + 1.0);
    port->SetForeColor(colour);
    port->ShowText(start, y, ZuStringRef(text), 0, 0, ZuTextStyle(ZU_TEXT_VPOS_BASE), 0);
}

} // namespace

void CPageView::DrawPropertyMarks(const ZuGrailPortRef& port)
{
    if (port.IsInvalid() || selection.IsInvalid() || document.IsInvalid() ||
        viewSettings.IsInvalid())
        return;
    const AppRef app = App::Current();
    const ZuObjectRef o = app.IsValid() ? app->RetPropertyDlg() : ZuObjectRef();
    if (o.IsInvalid() || !o->IsKindOf(CPropertyDlgRef::RetRuntime()))
        return;
    const CPropertyDlgRef dlg(o);
    const int mask = dlg->IsVisible() ? dlg->RetHiliteMask() : 0;
    const int selected = selection->GetSelectedCount();
    if (mask == 0 || selected < 1)
        return;
    CGraObjectRef object;
    if (selected == 1) {
        CTreeNodeRef node;
        selection->GetFirstSelectedNode(node);
        if (node.IsInvalid() || node->RetObject().IsInvalid() ||
            !node->RetObject()->IsKindOf(CGraObjectRef::RetRuntime()))
            return;
        object = CGraObjectRef(node->RetObject());
    }

    ZuColorPixel colour;
    MakeDrawColor(NamedColor(COLOR_PROPERTY), colour, false);
    // The user origin (the rulers' zero) and the rendered image, in pixels.
    const DPoint origin{viewSettings->origin_x - document->GetPageWidth() / 2.0,
                        viewSettings->origin_y - document->GetPageHeight() / 2.0};
    double ox, oy;
    Pixel(origin, ox, oy);
    const Px O = Whole(ox, oy);
    DRect visible;
    RetVisibleRect(visible);
    double left, bottom, right, top;
    Pixel(DPoint{visible.x1, visible.y1}, left, bottom);
    Pixel(DPoint{visible.x2, visible.y2}, right, top);
    left = std::floor(left);
    right = std::floor(right);
    top = std::floor(top);
    bottom = std::floor(bottom);

    ZuGrailFontRef font;
    const ZuFontManRef& fonts = ZuFontMan::Current();
    if (fonts.IsValid() &&
        !fonts->CreateFont(ZuStringRef("Arial"), ZuStringRef(""), 10.0, false, font))
        font = ZuGrailFontRef();

    for (int n = 0; n < 32; n++) {
        if ((mask & (1 << n)) == 0)
            continue;
        DPoint a{0, 0}, b{0, 0};
        int kind = 0, unit = 0;
        double value = 0.0;
        if (object.IsValid()) {
            if (!object->GetPropertyHandles(n, a, b, kind) || kind == 0 ||
                !object->GetPropertyValue(n, value))
                continue;
            if (!object->GetPropertyUnit(n, unit))
                unit = 0;
        } else {
            // Several objects: where their centre stands from the origin.
            a = b = selection->GetCenter();
            kind = n == 0 ? 2 : 3;
            value = n == 0 ? a.x - origin.x : a.y - origin.y;
            unit = document->GetUnit(0);
        }
        if (!Finite(a) || (kind >= 4 && !Finite(b)))
            continue;
        double x, y;
        Pixel(a, x, y);
        const Px P = Whole(x, y);
        Pixel(b, x, y);
        const Px Q = Whole(x, y);
        // Two points that measure nothing give no direction to draw along:
        // the marks stop there.
        if (((kind == 4 || kind == 7) && P.x == Q.x && P.y == Q.y) || (kind == 5 && P.x == Q.x) ||
            (kind == 6 && P.y == Q.y))
            break;
        port->SetForeColor(colour);
        switch (kind) {
        case 1:
            port->DrawLineDX(left, P.y, right - left);
            port->DrawLineDY(P.x, top, bottom - top);
            break;
        case 2:
            port->DrawLineDY(O.x, top, bottom - top);
            DrawDimensionArrow(port, Px{O.x, P.y}, P);
            DrawValueLabel(port, font, colour, P.x - 5.0, P.y - 10.0, ALIGN_END, value, unit);
            break;
        case 3:
            port->DrawLineDX(left, O.y, right - left);
            DrawDimensionArrow(port, Px{P.x, O.y}, P);
            DrawValueLabel(port, font, colour, P.x + 10.0, P.y + 15.0, ALIGN_START, value, unit);
            break;
        case 4: {
            // The extension lines stand on the left of the way from P to Q
            // as the window shows it (above a length drawn rightwards).
            const double dx = Q.x - P.x, dy = Q.y - P.y, length = std::hypot(dx, dy);
            const double nx = dy / length, ny = -dx / length;
            const Px P1{std::floor(P.x + nx * kExtension + 0.5),
                        std::floor(P.y + ny * kExtension + 0.5)};
            const Px Q1{std::floor(Q.x + nx * kExtension + 0.5),
                        std::floor(Q.y + ny * kExtension + 0.5)};
            port->DrawAALineTo(P.x, P.y, P1.x, P1.y);
            port->DrawAALineTo(Q.x, Q.y, Q1.x, Q1.y);
            const double at = kExtension * 0.75;
            const Px A{std::floor(P.x + nx * at + 0.5), std::floor(P.y + ny * at + 0.5)};
            const Px B{std::floor(Q.x + nx * at + 0.5), std::floor(Q.y + ny * at + 0.5)};
            DrawDimensionArrow(port, A, B);
            // The label on the far side of the arrow from the object, its
            // nearest edge 5 pixels from the arrow's middle.
            const double mx = (A.x + B.x) / 2.0 + nx * 5.0, my = (A.y + B.y) / 2.0 + ny * 5.0;
            const int align = nx > 0.5 ? ALIGN_START : nx < -0.5 ? ALIGN_END : ALIGN_CENTRE;
            DrawValueLabel(port, font, colour, mx, ny > 0.0 ? my + 8.0 * ny + 2.0 : my, align,
                           value, unit);
            break;
        }
        case 5: {
            // Upwards from both points to 20 pixels above the higher one.
            const double end = std::min(P.y, Q.y) - kExtension, at = end + kArrowBack;
            port->DrawAALineTo(P.x, P.y, P.x, end);
            port->DrawAALineTo(Q.x, Q.y, Q.x, end);
            DrawDimensionArrow(port, Px{P.x, at}, Px{Q.x, at});
            DrawValueLabel(port, font, colour, (P.x + Q.x) / 2.0, at - 5.0, ALIGN_CENTRE, value,
                           unit);
            break;
        }
        case 6: {
            // Rightwards from both points to 20 pixels past the one further
            // right; the label beside the arrow, halfway up.
            const double end = std::max(P.x, Q.x) + kExtension, at = end - kArrowBack;
            port->DrawAALineTo(P.x, P.y, end, P.y);
            port->DrawAALineTo(Q.x, Q.y, end, Q.y);
            DrawDimensionArrow(port, Px{at, P.y}, Px{at, Q.y});
            DrawValueLabel(port, font, colour, at + 7.0, (P.y + Q.y) / 2.0 + 4.0, ALIGN_START,
                           value, unit);
            break;
        }
        case 7: {
            const double dx = Q.x - P.x, dy = Q.y - P.y, length = std::hypot(dx, dy);
            port->DrawAALineTo(P.x, P.y, P.x + std::floor(length + 0.5), P.y);
            port->DrawAALineTo(P.x, P.y, Q.x, Q.y);
            // Angles grow anticlockwise on the screen, as on the page.
            const double to = std::atan2(-dy, dx), r = length / 2.0;
            const double step = to < 0.0 ? -kArcStep : kArcStep;
            double t = 0.0;
            Px from{std::floor(P.x + r + 0.5), P.y};
            while (std::fabs(t) < std::fabs(to)) {
                t = std::fabs(t + step) < std::fabs(to) ? t + step : to;
                const Px next{std::floor(P.x + r * std::cos(t) + 0.5),
                              std::floor(P.y - r * std::sin(t) + 0.5)};
                port->DrawAALineTo(from.x, from.y, next.x, next.y);
                from = next;
            }
            // Beyond the arc's middle, below it when the arc turns down.
            const double mid = to / 2.0;
            const double lx = P.x + (r + 5.0) * std::cos(mid), ly = P.y - (r + 5.0) * std::sin(mid);
            DrawValueLabel(port, font, colour, lx, std::sin(mid) < 0.0 ? ly + 8.0 : ly, ALIGN_START,
                           value, unit);
            break;
        }
        default:
            break;
        }
    }
    if (font.IsValid() && fonts.IsValid())
        fonts->ReleaseFont(font);
}
