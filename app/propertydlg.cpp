#include "app/propertydlg.h"

#include <cmath>
#include <cstdio>

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/memzone.h"
#include "si/respond.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CPropertyDlg, "app/propertydlg", ZU_CLASS_NOT_STORED)

ZuAtomRef CPropertyDlg::notify_Modify;
ZuAtomRef CPropertyDlg::notify_Redraw;

ZU_EXPORT_NOTIFY(CPropertyDlg, Modify, "notify_Modify", &CPropertyDlg::notify_Modify)
ZU_EXPORT_NOTIFY(CPropertyDlg, Redraw, "notify_Redraw", &CPropertyDlg::notify_Redraw)
ZU_EXPORT_ACTOR(CPropertyDlg, OnClose)
ZU_EXPORT_ACTOR(CPropertyDlg, OnClickOnlyOne)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnTextChanged)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnTextEnter)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnTextLeave)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnFocusEnter)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnFocusLeave)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnClickSwitch)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnRadioOper)
ZU_EXPORT_OBSERVER(CPropertyDlg, OnSwitchOper)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonUp)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonDown)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonLeft)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonRight)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonCenterH)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonCenterV)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonSpaceH)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonSpaceV)
ZU_EXPORT_ACTOR(CPropertyDlg, OnButtonGrid)

namespace {

const char kSource[] = "propertydlg";

// The panel's buttons: handler, icons in "Aligner" and in "Répartir" (-1:
// not shown there), and the window point of each.
struct PanelButton {
    const char* handler;
    int align_icon;
    int distribute_icon;
    double x, y;
};
const PanelButton kPanelButtons[CPropertyDlg::BUTTONS] = {
    {"OnButtonUp", 250, 260, 48, 188},       {"OnButtonDown", 251, 261, 48, 211},
    {"OnButtonLeft", 252, 262, 24.5, 199.5}, {"OnButtonRight", 253, 263, 70.5, 199.5},
    {"OnButtonCenterH", 254, 264, 105, 188}, {"OnButtonCenterV", 255, 265, 105, 211},
    {"OnButtonSpaceH", -1, 266, 128, 188},   {"OnButtonSpaceV", -1, 267, 128, 211},
    {"OnButtonGrid", 256, -1, 139.5, 200},
};

int TagOf(const ZuObjectRef& control)
{
    if (control.IsInvalid() || !control->IsKindOf(ZuViewRef::RetRuntime()))
        return -1;
    return ZuViewRef(control)->RetUserTag();
}

} // namespace

CPropertyDlg::CPropertyDlg() {}

bool CPropertyDlg::Create(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    if (window.IsInvalid())
        window = ZuNew<ZuWindow>(zone, __LINE__, kSource);
    ZuWinStyle style{ZuWinStyleBit(0), ZU_WINSTYLE_CLOSE_BUTTON, ZU_WINSTYLE_TOOL};
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Propri\xe9t\xe9s"));
    const int w = switch_width + label_width + entry_width + 12;
    const int h = 14 * row_height;
    window->SetWindowBox(ZuRect(x, y, x + w - 1, y + h - 1));
    window->AttachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed, ZuAtomRef("OnClose"),
                           0);
    if (panel_box.IsInvalid())
        BuildPanel();
    return true;
}

void CPropertyDlg::BuildPanel()
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    panel_box = NewBoxView(window, 9, 67, 170, 179);
    // Views are placed in window coordinates, also inside the boxes.
    reference_box = NewBoxView(panel_box, 14, 92, 160, 84);
    reference_box->SetUserName(ZuAtomRef("switchBox"));
    button_box = NewBoxView(panel_box, 14, 181, 160, 60);

    const char* const titles[2] = {"Aligner", "R\xe9partir"};
    const char* const tips[2] = {"Aligne tous les objets s\xe9lectionn\xe9s",
                                 "R\xe9parti tous les objets s\xe9lectionn\xe9s"};
    for (int i = 0; i < 2; ++i) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, kSource);
        s->SetParent(panel_box);
        s->SetOrigin(19 + 75 * i, 72);
        s->SetSize(75, 20);
        s->SetTitle(ZuStringRef(titles[i]));
        s->SetToolTip(ZuStringRef(tips[i]));
        s->SetRadioButtonMode(true);
        s->SetUserTag(300 + i);
        s->SetSwitchState(i == 0);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnRadioOper"), 0);
        operation_switches[i] = s;
    }
    for (int k = 0; k < 4; ++k) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, kSource);
        s->SetParent(reference_box);
        s->SetOrigin(19, 102 + 16 * k);
        s->SetSize(150, 16);
        s->SetUserTag(400 + k);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnSwitchOper"), 0);
        reference_switches[k] = s;
    }
    for (int b = 0; b < BUTTONS; ++b) {
        NewIconButton(buttons[b], button_box, kPanelButtons[b].x, kPanelButtons[b].y, 23, 23, -1,
                      -1);
        buttons[b]->AttachObserver(self, ZuControl::notify_clicked,
                                   ZuAtomRef(kPanelButtons[b].handler), 0);
    }
}

void CPropertyDlg::Hide(bool hide)
{
    if (window.IsInvalid())
        return;
    if (hide) {
        window->Hide();
        return;
    }
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
}

bool CPropertyDlg::IsVisible() const
{
    return window.IsValid() && window->IsVisible();
}

void CPropertyDlg::SetWindowFrame(const DPoint& origin, const DPoint& size)
{
    if (window.IsInvalid())
        return;
    if (size.x == 0 || size.y == 0)
        window->SetWindowBox(ZuRect());
    else
        window->SetWindowBox(
            ZuRect(origin.x, origin.y, origin.x + size.x - 1, origin.y + size.y - 1));
}

void CPropertyDlg::RetModification(int* entry, int* property, double* value, int* option) const
{
    if (entry != nullptr)
        *entry = last_entry;
    if (property != nullptr)
        *property = last_property;
    if (value != nullptr)
        *value = last_value;
    if (option != nullptr)
        *option = last_option;
}

ZuAtomRef CPropertyDlg::RetUserName()
{
    return ZuAtomRef("property");
}

void CPropertyDlg::Delete()
{
    for (int i = 0; i < ROWS; ++i) {
        if (hilite_switches[i].IsValid())
            hilite_switches[i]->Delete();
        if (labels[i].IsValid())
            labels[i]->Delete();
        if (entries[i].IsValid())
            entries[i]->Delete();
        if (separators[i].IsValid())
            separators[i]->Delete();
        hilite_switches[i] = ZuSwitchRef();
        labels[i] = ZuTextTagRef();
        entries[i] = CTextLineArrowRef();
        separators[i] = CSeparatorRef();
    }
    if (window.IsValid()) {
        window->DetachObserver(ZuObjectRef(this), ZuWindow::notify_window_closed,
                               ZuAtomRef("OnClose"), 0);
        window->Kill();
    }
    window = ZuWindowRef();
    only_one = ZuSwitchRef();
    empty_tag = ZuTextTagRef();
    panel_box = button_box = reference_box = ZuViewRef();
    for (ZuSwitchRef& s : operation_switches)
        s = ZuSwitchRef();
    for (ZuSwitchRef& s : reference_switches)
        s = ZuSwitchRef();
    for (CButtonRef& b : buttons)
        b = CButtonRef();
    page_view = CPageViewRef();
    select_object = CSelectObjectRef();
    view_settings = CViewRef();
    ZuObject::Delete();
}

// ---------------------------------------------------------------- the rows

void CPropertyDlg::HideRow(int row)
{
    const ZuViewRef none;
    if (hilite_switches[row].IsValid())
        hilite_switches[row]->SetParent(none);
    if (labels[row].IsValid())
        labels[row]->SetParent(none);
    if (entries[row].IsValid())
        entries[row]->SetParent(none);
    if (separators[row].IsValid())
        separators[row]->SetParent(none);
}

bool CPropertyDlg::UpdateSelection(CGraObjectRef object, int count)
{
    if (window.IsInvalid())
        return false;
    double w = 0, h = 0;
    window->GetSize(w, h);
    only_one_row = -1;
    switched_mask = 0;
    focus_mask = 0;
    if (empty_tag.IsValid())
        empty_tag->SetParent(ZuViewRef());
    for (int i = 0; i < ROWS; ++i)
        HideRow(i);
    if (only_one.IsValid())
        only_one->SetParent(ZuViewRef());

    std::string title = "Propri\xe9t\xe9s ";
    if (object.IsInvalid() && count <= 1) {
        if (empty_tag.IsInvalid())
            empty_tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kSource);
        empty_tag->SetOrigin(0, 0);
        empty_tag->SetSize(w, h);
        empty_tag->SetText(ZuStringRef("Aucun objet s\xe9lectionn\xe9"));
        empty_tag->SetParent(window);
    } else {
        if (object.IsValid()) {
            ZuStringRef type;
            if (object->GetTypeName(type) && type.IsValid() && type->AccessLatin() != nullptr)
                title += type->AccessLatin();
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "S\xe9lection %d objets", count);
            title += text;
        }
        double x = 0.0, y = 5.0;
        int n = count > 1 ? 2 : object->GetPropertyCount();
        // An object may claim more rows than the dialog has: the rest are
        // not shown.
        if (n > ROWS)
            n = ROWS;
        for (int i = 0; i < n; ++i) {
            ZuStringRef name, description;
            double minimum = -2000.0, maximum = 2000.0, step = 0.0;
            if (count > 1) {
                flags[i] = i == 0 ? 0x821 : 0x8C0;
                units[i] = 0;
                name = ZuStringRef(i == 0 ? "Position X" : "Position Y");
                description = ZuStringRef(i == 0 ? "Position horizontale" : "Position verticale");
            } else {
                flags[i] = 0;
                units[i] = 0;
                options[i] = 0;
                object->GetPropertyFlags(i, flags[i]);
                object->GetPropertyUnit(i, units[i]);
                object->GetPropertyRange(i, minimum, maximum);
                object->GetPropertyStep(i, step);
                object->GetPropertyOption(i, options[i]);
                object->GetPropertyName(i, name);
                object->GetPropertyDescription(i, description);
            }
            minimums[i] = minimum;
            maximums[i] = maximum;
            if (flags[i] & 0x4)
                continue;
            if (flags[i] & 0x400) {
                only_one_row = i;
                PlaceOnlyOne(DPoint{x, y});
                y += row_height;
            }
            if (step == 0.0 && view_settings.IsValid())
                step = (flags[i] & 0x40) ? view_settings->values[5] : view_settings->values[4];
            steps[i] = step;
            BuildRow(i, DPoint{x, y}, flags[i], units[i], minimum, maximum, step, name,
                     description);
            y += row_height;
            if (flags[i] & 0x2)
                y += gap;
            if (flags[i] & 0x80) {
                PlaceSeparator(i, DPoint{0, y + 3}, DPoint{w, 4}, flags[i]);
                y += 2 * gap;
            }
            if (flags[i] & 0x100) {
                PlaceSeparator(i, DPoint{double(switch_width + label_width + 1), y + 2},
                               DPoint{double(entry_width - 24), 9}, flags[i]);
                y += 3 * gap;
            }
        }
        UpdateValues(object, -1);
    }
    if (panel_box.IsValid()) {
        if (object.IsInvalid() && count > 1) {
            panel_box->SetParent(window);
            UpdateOperation();
        } else {
            panel_box->SetParent(ZuViewRef());
        }
    }
    window->SetTitle(ZuStringRef(title.c_str()));
    window->Display(true);
    return true;
}

void CPropertyDlg::PlaceSeparator(int row, const DPoint& origin, const DPoint& size, int row_flags)
{
    CSeparatorRef& s = separators[row];
    if (s.IsInvalid())
        s = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kSource);
    s->SetOrigin(origin.x, origin.y);
    s->SetSize(size.x, size.y);
    s->SetStyle((row_flags & 0x100) ? 16u : 0u);
    s->SetParent(window);
}

void CPropertyDlg::PlaceOnlyOne(const DPoint& p)
{
    if (only_one.IsInvalid()) {
        only_one = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kSource);
        only_one->SetTitle(ZuStringRef("Un seul point"));
        only_one->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                                 ZuAtomRef("OnClickOnlyOne"), 0);
    }
    only_one->SetOrigin(p.x + switch_width + 40, p.y);
    only_one->SetSize(label_width + entry_width - 40, row_height - 4);
    only_one->SetParent(window);
}

void CPropertyDlg::BuildRow(int row, const DPoint& p, int row_flags, int unit, double minimum,
                            double maximum, double step, const ZuStringRef& name,
                            const ZuStringRef& description)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    if (row_flags & 0x800) {
        ZuSwitchRef& s = hilite_switches[row];
        if (s.IsInvalid()) {
            s = ZuNew<ZuSwitch>(zone, __LINE__, kSource);
            s->SetUserTag(200 + row);
            s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickSwitch"), 0);
        }
        Place place;
        place.left = p.x;
        place.top = p.y;
        place.right = p.x + switch_width;
        place.bottom = p.y + row_height;
        if (!place.Same(switch_places[row])) {
            s->SetOrigin(p.x, p.y);
            s->SetSize(switch_width, row_height);
            switch_places[row] = place;
        }
        s->SetSwitchState(false);
        s->SetParent(window);
    }

    ZuTextTagRef& label = labels[row];
    if (label.IsInvalid()) {
        label = ZuNew<ZuTextTag>(zone, __LINE__, kSource);
        label->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    }
    Place label_place;
    label_place.left = p.x + switch_width + 2;
    label_place.top = p.y;
    label_place.right = label_place.left + label_width - 2;
    label_place.bottom = p.y + row_height;
    if (!label_place.Same(label_places[row])) {
        label->SetOrigin(label_place.left, label_place.top);
        label->SetSize(label_place.right - label_place.left, row_height);
        label_places[row] = label_place;
    }
    label->SetText(name.IsValid() ? name : ZuStringRef(""));
    label->SetParent(window);

    CTextLineArrowRef& entry = entries[row];
    if (entry.IsInvalid()) {
        entry = ZuNew<CTextLineArrow>(zone, __LINE__, kSource);
        entry->SetUserTag(100 + row);
        entry->AttachObserver(self, ZuTextLine::notify_user_text_changed,
                              ZuAtomRef("OnTextChanged"), 0);
        entry->AttachObserver(self, ZuControl::notify_entered, ZuAtomRef("OnTextEnter"), 0);
        entry->AttachObserver(self, ZuControl::notify_left, ZuAtomRef("OnTextLeave"), 0);
        entry->AttachObserver(self, ZuResponder::notify_became_main, ZuAtomRef("OnFocusEnter"), 0);
        entry->AttachObserver(self, ZuResponder::notify_resigned_main, ZuAtomRef("OnFocusLeave"),
                              0);
    }
    Place entry_place;
    entry_place.left = p.x + switch_width + label_width;
    entry_place.top = p.y - 1;
    entry_place.right = entry_place.left + entry_width - 16 - 5;
    entry_place.bottom = p.y + row_height;
    entry_place.unit = unit;
    entry->SetParent(window);
    if (!entry_place.Same(entry_places[row])) {
        entry->Build(entry_place.left, entry_place.top, entry_place.right - entry_place.left,
                     entry_place.bottom - entry_place.top, 0, false, 98);
        entry->SetUnit(unit);
        entry_places[row] = entry_place;
        ++entry_builds;
    }
    entry->SetMin(minimum);
    entry->SetMax(maximum);
    entry->SetStep(step);
    entry->SetToolTip(description.IsValid() ? description : ZuStringRef(""));
    const bool was_ready = ready;
    ready = false;
    entry->SetText(ZuStringRef(""));
    ready = was_ready;
    entry->SetActiveRank(row);
}

void CPropertyDlg::EnableRow(int row, bool enabled)
{
    const CTextLineArrowRef& entry = entries[row];
    if (enabled) {
        entry->SetEnable(true);
        entry->DisplayAll();
        entry->SetActiveRank(row);
    } else {
        entry->SetText(ZuStringRef(""));
        entry->SetEnable(false);
        entry->DisplayAll();
    }
}

bool CPropertyDlg::UpdateValues(CGraObjectRef object, int skip)
{
    ready = false;
    if (object.IsValid()) {
        int n = object->GetPropertyCount();
        if (n > ROWS)
            n = ROWS;
        for (int i = 0; i < n; ++i) {
            if (i == skip || entries[i].IsInvalid())
                continue;
            double value = 0.0;
            // A damaged drawing may hold values that are no numbers: they
            // show as an empty row rather than as a clamped bound.
            const bool given = object->GetPropertyValue(i, value) && std::isfinite(value);
            if (given)
                entries[i]->SetValue(value);
            EnableRow(i, given);
            if (i == only_one_row && only_one.IsValid()) {
                only_one->SetSwitchState(given);
                only_one->Display(true);
            }
        }
    } else if (select_object.IsValid()) {
        const DPoint centre = PageToUserPoint(select_object->GetCenter());
        const double xy[2] = {centre.x, centre.y};
        for (int i = 0; i < 2; ++i) {
            if (i == skip || entries[i].IsInvalid())
                continue;
            const bool given = std::isfinite(xy[i]);
            if (given)
                entries[i]->SetValue(xy[i]);
            EnableRow(i, given);
        }
    }
    ready = true;
    return true;
}

int CPropertyDlg::RowOfControl(const ZuObjectRef& control) const
{
    int t = TagOf(control);
    if (t >= 100 && t < 100 + ROWS)
        t -= 100;
    return t >= 0 && t < ROWS ? t : -1;
}

void CPropertyDlg::Report(const ZuAtomRef& what)
{
    if (!ready)
        return;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->ReportAsync(ZuObjectRef(this), what);
}

bool CPropertyDlg::OnTextChanged(const ZuObjectRef& source, unsigned)
{
    const int i = RowOfControl(source);
    if (i < 0 || entries[i].IsInvalid())
        return false;
    last_value = entries[i]->GetValue();
    last_property = i;
    last_entry = i;
    focus_mask = 1 << i;
    last_option = options[i];
    Report(notify_Modify);
    return true;
}

bool CPropertyDlg::OnTextEnter(const ZuObjectRef& source, unsigned)
{
    const int i = RowOfControl(source);
    if (i < 0 || entries[i].IsInvalid())
        return false;
    focus_mask = 1 << i;
    Report(notify_Redraw);
    return true;
}

bool CPropertyDlg::OnTextLeave(const ZuObjectRef& source, unsigned)
{
    const int i = RowOfControl(source);
    if (i < 0 || entries[i].IsInvalid())
        return false;
    focus_mask = 0;
    Report(notify_Redraw);
    return true;
}

bool CPropertyDlg::OnFocusEnter(const ZuObjectRef& source, unsigned id)
{
    return OnTextEnter(source, id);
}

bool CPropertyDlg::OnFocusLeave(const ZuObjectRef& source, unsigned id)
{
    return OnTextLeave(source, id);
}

bool CPropertyDlg::OnClickSwitch(const ZuObjectRef& source, unsigned)
{
    int i = TagOf(source);
    if (i >= 200 && i < 200 + ROWS)
        i -= 200;
    if (i < 0 || i >= ROWS || entries[i].IsInvalid())
        return false;
    focus_mask = 0;
    switched_mask ^= 1 << i;
    Report(notify_Redraw);
    return true;
}

bool CPropertyDlg::OnClickOnlyOne()
{
    if (only_one_row == -1)
        return false;
    last_entry = -1;
    last_property = only_one_row;
    last_value = only_one.IsValid() && only_one->RetSwitchState() ? 1.0 : 0.0;
    focus_mask = 1 << only_one_row;
    last_option = options[only_one_row];
    Report(notify_Modify);
    return true;
}

bool CPropertyDlg::OnClose()
{
    if (window.IsValid())
        window->Close();
    if (select_object.IsValid())
        select_object->UpdateSwapPropertyCommand();
    if (page_view.IsValid())
        page_view->RefreshTool();
    return true;
}

// ---------------------------------------------------------------- the panel

void CPropertyDlg::UpdateOperation()
{
    if (panel_box.IsInvalid())
        return;
    const ZuViewRef none;
    for (CButtonRef& b : buttons)
        b->SetParent(none);
    for (int k = 0; k < 4; ++k) {
        reference_switches[k]->SetSwitchState(false);
        reference_switches[k]->SetRadioButtonMode(true);
        reference_switches[k]->SetParent(none);
    }
    const bool align = operation_switches[0]->RetSwitchState();
    const bool distribute = operation_switches[1]->RetSwitchState();
    if (!align && !distribute)
        return;
    for (int b = 0; b < BUTTONS; ++b) {
        const int icon = align ? kPanelButtons[b].align_icon : kPanelButtons[b].distribute_icon;
        if (icon == -1)
            continue;
        NewIcon(buttons[b], icon);
        buttons[b]->SetParent(button_box);
    }
    const char* const titles[4] = {"Sur zone s\xe9lectionn\xe9"
                                   "e",
                                   align ? "Sur bord de page" : "Sur la page",
                                   "Sur guide s\xe9lectionn\xe9", "Ignorer l'\xe9paisseur"};
    for (int k = 0; k < 4; ++k) {
        if (k == 2 && !align)
            continue;
        const ZuSwitchRef& s = reference_switches[k];
        s->SetTitle(ZuStringRef(titles[k]));
        s->SetToolTip(ZuStringRef(""));
        if (k == 0)
            s->SetSwitchState(true);
        if (k == 3)
            s->SetRadioButtonMode(false);
        s->SetParent(reference_box);
    }
}

bool CPropertyDlg::ApplyOperation(int code)
{
    if (operation_switches[1].IsValid() && operation_switches[1]->RetSwitchState())
        code |= 0x100;
    if (reference_switches[1].IsValid() && reference_switches[1]->RetSwitchState())
        code |= 0x400;
    if (reference_switches[2].IsValid() && reference_switches[2]->RetSwitchState())
        code |= 0x800;
    if (reference_switches[3].IsValid() && !reference_switches[3]->RetSwitchState())
        code |= 0x1000;
    last_operation = code;
    if (page_view.IsInvalid())
        return false;
    return page_view->ModifySelection(code);
}

bool CPropertyDlg::OnRadioOper(const ZuObjectRef& source, unsigned)
{
    const int t = TagOf(source);
    if (t != 300 && t != 301)
        return false;
    UpdateOperation();
    if (window.IsValid())
        window->Display(true);
    return true;
}

bool CPropertyDlg::OnSwitchOper(const ZuObjectRef& source, unsigned)
{
    const int t = TagOf(source);
    return t >= 400 && t <= 404;
}

bool CPropertyDlg::OnButtonUp()
{
    return ApplyOperation(1);
}
bool CPropertyDlg::OnButtonDown()
{
    return ApplyOperation(2);
}
bool CPropertyDlg::OnButtonLeft()
{
    return ApplyOperation(4);
}
bool CPropertyDlg::OnButtonRight()
{
    return ApplyOperation(8);
}
bool CPropertyDlg::OnButtonCenterH()
{
    return ApplyOperation(16);
}
bool CPropertyDlg::OnButtonCenterV()
{
    return ApplyOperation(32);
}
bool CPropertyDlg::OnButtonSpaceH()
{
    return ApplyOperation(64);
}
bool CPropertyDlg::OnButtonSpaceV()
{
    return ApplyOperation(128);
}
bool CPropertyDlg::OnButtonGrid()
{
    return ApplyOperation(0x200);
}
