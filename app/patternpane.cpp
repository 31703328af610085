#include "app/patternpane.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/commands.h"
#include "app/idefdlg.h"
#include "app/pendef.h"
#include "app/slider.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CPatternPane, "app/patternpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickRadioTool)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickRadioColor)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickRadioMode)
ZU_EXPORT_OBSERVER(CPatternPane, OnWidthChange)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickDelete)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickFront)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickBack)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickGrid)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickOutline)
ZU_EXPORT_OBSERVER(CPatternPane, OnClickFlush)

namespace {

const char* const kFile = "patternpane";

const int kToolIcons[CPatternPane::kTools] = {202, 203, 204, 205, 206, 207, 208};

// The palette colour of a shape's colour number: the palette's index
// base + number, kept within the palette.
void SetInk(const CColorDefRef& ink, const CColorDefRef& palette, int base, int number)
{
    long long index = (long long)base + number;
    if (index < 0)
        index = 0;
    if (index >= CDef::MAX_VALUES)
        index = CDef::MAX_VALUES - 1;
    double r = 0.0, g = 0.0, b = 0.0;
    if (palette.IsValid()) {
        palette->SetIndex(int(index));
        palette->GetRGB(r, g, b);
    }
    ink->SetIndex(0);
    ink->SetRGB(r, g, b);
}

} // namespace

bool CPatternPane::Drawable(const DPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e6 && std::fabs(p.y) < 1e6;
}

int CPatternPane::Flags(double v)
{
    // As the port takes them when it draws brushes along a path.
    if (!(v >= 0.0))
        return 0;
    return (v < 1000.0 ? int(v) : 1000) & 3;
}

CPatternPane::CPatternPane()
{
    palette = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
}

void CPatternPane::Delete()
{
    // Buttons taken out in the evolution modes go with the pane too.
    for (CButtonRef& b : tool_buttons) {
        if (b.IsValid())
            b->Delete();
        b = CButtonRef();
    }
    for (CButtonColorRef& b : color_buttons) {
        if (b.IsValid())
            b->Delete();
        b = CButtonColorRef();
    }
    for (ZuSwitchRef& s : mode_switches) {
        if (s.IsValid())
            s->Delete();
        s = ZuSwitchRef();
    }
    for (CButtonRef* b : {&front_button, &back_button}) {
        if (b->IsValid())
            (*b)->Delete();
        *b = CButtonRef();
    }
    palette = CColorDefRef();
    drawn_palette = CColorDefRef();
    drawn = CPatternDefRef();
    sample = CPatternDrawRef();
    ZuView::Delete();
}

bool CPatternPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    colour_base = (kind == 21 || kind == 102) ? 1 : 0;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPatternPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    sample = ZuNew<CPatternDraw>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 4, y + 4, 188, 188, true, 0);
    sample->SetPane(CDefPaneRef(ZuObjectRef(this)));
    sample->SetParent(self);

    NewLabel(self, x + 196, y + 4, 54, 16, "Variation");
    const struct {
        double x, dx;
        const char* label;
        const char* tip;
    } modes[kModes] = {
        {250, 43, "1+2", "Etat global du pinceau"},
        {297, 28, "1", "Etat initial du pinceau (0%)"},
        {329, 30, "2", "Etat final du pinceau (100%)"},
    };
    for (int i = 0; i < kModes; ++i) {
        ZuSwitchRef radio = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
        radio->InitAsRadioButton();
        radio->SetTitle(ZuStringRef(modes[i].label));
        radio->SetOrigin(x + modes[i].x, y + 4);
        radio->SetSize(modes[i].dx, 16);
        radio->SetToolTip(ZuStringRef(modes[i].tip));
        radio->SetUserTag(300 + i);
        radio->SetParent(self);
        radio->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickRadioMode"), 0);
        mode_switches[i] = radio;
    }
    mode_switches[0]->SetSwitchState(true);

    for (int i = 0; i < kTools; ++i) {
        const double bx = i < 3 ? 196 + 23 * i : 196 + 23 * (i - 3);
        const double by = i < 3 ? 24 : 47;
        NewIconButton(tool_buttons[i], self, x + bx, y + by, 23, 23, 100 + i, kToolIcons[i]);
        tool_buttons[i]->AttachObserver(self, ZuControl::notify_clicked,
                                        ZuAtomRef("OnClickRadioTool"), 0);
    }
    for (int i = 0; i < kColors; ++i) {
        CButtonColorRef b = ZuNew<CButtonColor>(Zuvi_app_zone, __LINE__, kFile);
        b->SetPlace(x + 196 + 28 * i, y + 78, 28, 17);
        b->SetUserTag(200 + i);
        char tip[16];
        std::snprintf(tip, sizeof tip, "Couleur %c", 'A' + i);
        b->SetToolTip(ZuStringRef(tip));
        b->SetParent(self);
        b->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickRadioColor"), 0);
        color_buttons[i] = b;
    }
    ZuTextTagRef width_label(NewLabel(self, x + 196, y + 92, 172, 20, "Epaisseur du trait"));
    width_label->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BOTTOM));
    width_entry = NewEntry(self, x + 196, y + 112, 57, 20, 11, true, 0x62, "OnWidthChange");
    width_entry->SetMin(0.0);
    width_entry->SetMax(100.0);
    width_entry->SetStep(5.0);
    width_entry->SetSliderLog(2.0);
    width_entry->SetSliderGrad(10);
    width_entry->SetSliderSubdiv(2);

    const struct {
        CButtonRef* button;
        double x, y;
        int icon;
        const char* handler;
    } buttons[] = {
        {&front_button, 341, 24, 98, "OnClickFront"},
        {&delete_button, 314, 47, 71, "OnClickDelete"},
        {&back_button, 341, 47, 99, "OnClickBack"},
        {&grid_button, 196, 169, 88, "OnClickGrid"},
        {&outline_button, 219, 169, 86, "OnClickOutline"},
        {&clear_button, 246, 169, 209, "OnClickFlush"},
    };
    for (const auto& b : buttons) {
        NewIconButton(*b.button, self, x + b.x, y + b.y, 23, 23, -1, b.icon);
        (*b.button)->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef(b.handler), 0);
    }
    SetViewOn(grid_button, grid ? 1 : 0);
    SetViewOn(outline_button, outline ? 1 : 0);
    UpdateToolButtons();
    UpdateColorButtons();
    UpdateWidthEntry();
    CDefPane::BuildControls(x, y);
}

bool CPatternPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPatternPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPatternPane::SetDef(const CDefRef& other)
{
    if (!TakeDef(other, def))
        return false;
    // Another brush: the selection and a gesture under way meant the old one.
    ClearSelection();
    drawing_line = drawing_rect = drawing_circle = false;
    selecting = moving_handle = moving_shape = false;
    def->SetEditState(mode);
    return true;
}

void CPatternPane::TakePalette()
{
    const int code = kind == 11 ? 15 : kind == 21 ? 25 : kind == 102 ? 105 : 0;
    if (code == 0)
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef colours = dialog->RetDefinition(code);
    if (!colours.IsValid() || !colours->IsKindOf(CColorDefRef::RetRuntime()))
        return;
    CColorDefRef copy = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    copy->CopyFrom(colours);
    palette = copy;
    UpdateColorButtons();
    DrawSample();
}

void CPatternPane::Update()
{
    TakePalette();
    if (current_shape != -1) {
        ClearSelection();
        DrawSample();
    }
    if (sample.IsValid())
        sample->ClearCursorSprite();
}

void CPatternPane::Refresh()
{
    notify = false;
    if (def.IsValid())
        def->SetEditState(mode);
    CheckSelection();
    UpdateToolButtons();
    UpdateColorButtons();
    UpdateWidthEntry();
    DrawSample();
    notify = true;
}

void CPatternPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

// ---------------------------------------------------------------- controls

void CPatternPane::UpdateToolButtons()
{
    for (int i = 0; i < kTools; ++i)
        SetViewOn(tool_buttons[i], i == tool ? 1 : 0);
}

void CPatternPane::UpdateColorButtons()
{
    for (int i = 0; i < kColors; ++i) {
        if (!color_buttons[i].IsValid())
            continue;
        double r = 0.0, g = 0.0, b = 0.0;
        if (palette.IsValid()) {
            palette->SetIndex(colour_base + i);
            palette->GetRGB(r, g, b);
        }
        color_buttons[i]->SetBackColor(ZuColorPixel(r, g, b, 0.0));
        color_buttons[i]->Display(true);
        SetViewOn(color_buttons[i], i == colour ? 1 : 0);
    }
}

void CPatternPane::UpdateWidthEntry()
{
    if (!width_entry.IsValid())
        return;
    const bool was = ready;
    ready = false;
    width_entry->SetValue(width * 100.0);
    ready = was;
}

void CPatternPane::ShowSelectedShape()
{
    if (current_shape < 0 || !def.IsValid())
        return;
    int n = 0;
    double w = 0.0;
    if (def->GetShapeColor(current_shape, n, -1))
        colour = n < 0 ? 0 : n >= kColors ? kColors - 1 : n;
    // The entry's range: a document's shape may hold any width.
    if (def->GetShapeWidth(current_shape, w, -1))
        width = w > 0.0 ? (w < 1.0 ? w : 1.0) : 0.0;
    UpdateColorButtons();
    UpdateWidthEntry();
}

void CPatternPane::ClearSelection()
{
    current_shape = current_element = current_handle = -1;
}

int CPatternPane::UserTag(const ZuObjectRef& source, int first, int count) const
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return -1;
    const int n = ZuViewRef(source)->RetUserTag() - first;
    return n >= 0 && n < count ? n : -1;
}

void CPatternPane::SetModeButtons(int new_mode)
{
    const ZuViewRef parent = new_mode == 0 ? ZuViewRef(this) : ZuViewRef();
    for (int i = 0; i < kTools; ++i)
        if (i != TOOL_SELECT && tool_buttons[i].IsValid())
            PutInto(ZuViewRef(tool_buttons[i]), parent);
    if (front_button.IsValid())
        PutInto(ZuViewRef(front_button), parent);
    if (back_button.IsValid())
        PutInto(ZuViewRef(back_button), parent);
    const char* delete_tip = new_mode == 0 ? GetIconLabel(71) : "Annuler l'\xE9volution";
    const char* clear_tip = new_mode == 0 ? GetIconLabel(209) : "Supprimer l'\xE9volution";
    if (delete_button.IsValid())
        delete_button->SetToolTip(ZuStringRef(delete_tip));
    if (clear_button.IsValid())
        clear_button->SetToolTip(ZuStringRef(clear_tip));
}

// ---------------------------------------------------------------- handlers

bool CPatternPane::OnClickRadioTool(const ZuObjectRef& source, unsigned)
{
    const int t = UserTag(source, 100, kTools);
    if (t < 0)
        return false;
    tool = t;
    ClearSelection();
    DrawSample();
    UpdateToolButtons();
    return true;
}

bool CPatternPane::OnClickRadioColor(const ZuObjectRef& source, unsigned)
{
    CheckSelection();
    const int c = UserTag(source, 200, kColors);
    if (c < 0)
        return false;
    colour = c;
    const bool selected = current_shape >= 0 && def.IsValid();
    if (selected)
        def->SetShapeColor(current_shape, colour, -1);
    UpdateColorButtons();
    DrawSample();
    if (selected)
        NotifyChange(true, false);
    return true;
}

bool CPatternPane::OnClickRadioMode(const ZuObjectRef& source, unsigned)
{
    CheckSelection();
    const int m = UserTag(source, 300, kModes);
    if (m < 0)
        return false;
    mode = m;
    if (def.IsValid())
        def->SetEditState(m);
    if (m != 0) {
        tool = TOOL_SELECT;
        UpdateToolButtons();
    }
    SetModeButtons(m);
    for (int i = 0; i < kModes; ++i)
        if (mode_switches[i].IsValid() && mode_switches[i]->RetSwitchState() != (i == m)) {
            mode_switches[i]->SetSwitchState(i == m);
            mode_switches[i]->Display(true);
        }
    ShowSelectedShape();
    DrawSample();
    Display(true);
    return true;
}

bool CPatternPane::OnWidthChange(const ZuObjectRef&, unsigned)
{
    CheckSelection();
    if (!ready || !width_entry.IsValid())
        return false;
    // Text that is no number never reaches here (the entry refuses it);
    // a number out of range is clamped by the entry.
    width = width_entry->GetValue() * 0.01;
    const bool selected = current_shape >= 0 && def.IsValid();
    if (!selected)
        return true;
    def->SetShapeWidth(current_shape, width, -1);
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPatternPane::OnClickDelete(const ZuObjectRef&, unsigned)
{
    CheckSelection();
    if (current_shape < 0 || !def.IsValid())
        return false;
    if (mode == 0) {
        // The header, then its records up to the next header or the end.
        if (def->DeleteElement(current_shape)) {
            for (;;) {
                int length = 0;
                def->GetLength(length);
                if (current_shape >= length ||
                    def->GetOpcode(current_shape) == CPatternDef::OP_SHAPE ||
                    !def->DeleteElement(current_shape))
                    break;
            }
        }
        ClearSelection();
    } else if (current_element < 0 || current_handle < 0) {
        double record[CPatternDef::MAX_RECORD];
        const int end = ShapeEnd(current_shape);
        for (int i = current_shape; i < end; i += CPatternDef::RecordLength(record[0])) {
            def->GetElement(i, record);
            CPatternDef::CopyInitialToFinal(record);
            def->SetElement(i, record);
        }
    } else {
        double p[2];
        int k;
        if (def->GetHandle(current_element, current_handle, p, k, 0))
            def->SetHandle(current_element, current_handle, p, 2);
    }
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPatternPane::OnClickFront(const ZuObjectRef&, unsigned)
{
    CheckSelection();
    // The shape drawn last lies on top: front moves the selected shape's
    // records to the end of the brush.
    if (current_shape < 0 || !def.IsValid())
        return false;
    current_shape = MoveShape(current_shape, true);
    current_element = current_handle = -1;
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPatternPane::OnClickBack(const ZuObjectRef&, unsigned)
{
    CheckSelection();
    if (current_shape < 0 || !def.IsValid())
        return false;
    current_shape = MoveShape(current_shape, false);
    current_element = current_handle = -1;
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPatternPane::OnClickGrid(const ZuObjectRef&, unsigned)
{
    grid = !grid;
    SetViewOn(grid_button, grid ? 1 : 0);
    DrawSample();
    return true;
}

bool CPatternPane::OnClickOutline(const ZuObjectRef&, unsigned)
{
    outline = !outline;
    SetViewOn(outline_button, outline ? 1 : 0);
    DrawSample();
    return true;
}

bool CPatternPane::OnClickFlush(const ZuObjectRef&, unsigned)
{
    if (!def.IsValid())
        return false;
    if (mode == 0) {
        def->Clear();
        ClearSelection();
    } else {
        double record[CPatternDef::MAX_RECORD];
        const int used = Used();
        for (int i = 0; i < used;) {
            def->GetElement(i, record);
            CPatternDef::CopyInitialToFinal(record);
            def->SetElement(i, record);
            i += CPatternDef::RecordLength(record[0]);
        }
    }
    DrawSample();
    NotifyChange(true, false);
    return true;
}

// ---------------------------------------------------------------- records

int CPatternPane::Used() const
{
    if (!def.IsValid())
        return 0;
    int length = 0;
    def->GetLength(length);
    double record[CPatternDef::MAX_RECORD];
    int i = 0;
    while (i < length) {
        def->GetElement(i, record);
        if (record[0] == 0.0)
            break;
        const int n = CPatternDef::RecordLength(record[0]);
        if (i + n > length)
            break;
        i += n;
    }
    return i;
}

int CPatternPane::ShapeEnd(int header) const
{
    const int used = Used();
    if (header < 0 || header >= used)
        return header;
    int i = header;
    do
        i += CPatternDef::RecordLength(double(def->GetOpcode(i)));
    while (i < used && def->GetOpcode(i) != CPatternDef::OP_SHAPE);
    return i;
}

int CPatternPane::MoveShape(int header, bool to_front)
{
    const int end = ShapeEnd(header);
    if (end <= header || def->GetOpcode(header) != CPatternDef::OP_SHAPE)
        return header;
    // The shape's records, taken out whole and put back at the other end.
    const int n = end - header;
    std::vector<double> records(std::size_t(n) + CPatternDef::MAX_RECORD);
    for (int i = header; i < end;) {
        double* r = records.data() + (i - header);
        def->GetElement(i, r);
        i += CPatternDef::RecordLength(r[0]);
    }
    for (int left = n; left > 0;) {
        const int len = CPatternDef::RecordLength(double(def->GetOpcode(header)));
        if (!def->DeleteElement(header))
            break;
        left -= len;
    }
    int at = to_front ? Used() : 0;
    const int first = at;
    for (int i = 0; i < n;) {
        def->InsertElement(at, records.data() + i);
        const int len = CPatternDef::RecordLength(records[i]);
        at += len;
        i += len;
    }
    return first;
}

// ---------------------------------------------------------------- drawing

void CPatternPane::DrawBrush(const CGraPortRef& port, const CPatternDefRef& brush,
                             const CColorDefRef& palette, int colour_base, int state, bool ghost,
                             bool outline)
{
    if (!port.IsValid() || !brush.IsValid())
        return;
    CColorDefRef ink = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    ink->SetIndex(0);
    const double start = ghost ? 0.5 : 0.0;
    ink->SetRGB(start, start, start);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    pen->SetWidth(0.0);
    port->SetPen(pen);
    port->SetPenColor(ink);
    port->SetFillColor(ink);

    int length = 0;
    brush->GetLength(length);
    double r[CPatternDef::MAX_RECORD];
    bool open = false, in_shape = false;
    bool fill = false, stroke = false, close = false;
    DPoint cur{0.0, 0.0};
    auto handle = [&](int i, int h) {
        double p[2] = {0.0, 0.0};
        int k;
        brush->GetHandle(i, h, p, k, state);
        return DPoint{p[0], p[1]};
    };
    for (int i = 0; i < length;) {
        brush->GetElement(i, r);
        if (r[0] == 0.0)
            break;
        const int n = CPatternDef::RecordLength(r[0]);
        if (i + n > length)
            break;
        const int op = brush->GetOpcode(i);
        if (op == CPatternDef::OP_SHAPE) {
            if (open)
                port->EndPath(fill, stroke, close);
            open = false;
            const int flags = Flags(r[1]);
            fill = (flags & 2) != 0;
            stroke = (flags & 1) != 0;
            close = fill;
            if (outline) {
                fill = false;
                stroke = true;
            }
            if (fill || stroke) {
                port->BeginPath();
                open = true;
            }
            if (!ghost) {
                int number = 0;
                brush->GetShapeColor(i, number, state);
                SetInk(ink, palette, colour_base, number);
            }
            if (stroke && !outline) {
                double w = 0.0;
                brush->GetShapeWidth(i, w, state);
                pen->SetWidth(std::isfinite(w) && w > 0.0 && w < 1e6 ? w : 0.0);
            }
            cur = handle(i, 0);
            in_shape = true;
        } else if (op == CPatternDef::OP_POINT && in_shape) {
            const DPoint e = handle(i, 0);
            if (open && Drawable(cur) && Drawable(e))
                port->DrawLine(cur, e);
            cur = e;
        } else if (op == CPatternDef::OP_CURVE && in_shape) {
            const DPoint c1 = handle(i, 1), c2 = handle(i, 2), e = handle(i, 0);
            if (open && Drawable(cur) && Drawable(c1) && Drawable(c2) && Drawable(e))
                port->DrawCurve(cur, c1, c2, e);
            cur = e;
        }
        i += n;
    }
    if (open)
        port->EndPath(fill, stroke, close);
}

void CPatternPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    const CDefRef current = CDefRef(ZuObjectRef(def));
    const bool same = drawn.IsValid() && drawn->IsEqualCurrent(current) &&
                      drawn_palette.IsValid() && palette.IsValid() &&
                      drawn_palette->IsEqualAll(CDefRef(ZuObjectRef(palette))) &&
                      drawn_mode == mode && drawn_outline == outline;
    if (!same) {
        if (!sample->Render())
            return;
        sample->SetZoom(kZoom);
        CGraPortRef port = sample->RetPort();
        if (mode == 0) {
            DrawBrush(port, def, palette, colour_base, 0, false, outline);
        } else {
            const int other = mode == 1 ? 2 : 1;
            DrawBrush(port, def, palette, colour_base, mode, false, outline);
            DrawBrush(port, def, palette, colour_base, other, true, true);
        }
        ++draw_count;
        if (!drawn.IsValid())
            drawn = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
        drawn->CopyFrom(current);
        if (!drawn_palette.IsValid())
            drawn_palette = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
        if (palette.IsValid())
            drawn_palette->CopyFrom(CDefRef(ZuObjectRef(palette)));
        drawn_mode = mode;
        drawn_outline = outline;
    }
    // The overlay (handles, grid) is drawn with the box.
    sample->Display();
}
