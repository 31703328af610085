#include "app/defview.h"

#include <cstring>

#include "app/button.h"
#include "app/colordef.h"
#include "app/commands.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CDefView, "app/defview", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CDefView, OnClickStyle)
ZU_EXPORT_OBSERVER(CDefView, OnClickIndex)
ZU_EXPORT_NOTIFY(CDefView, OnClickStyle, "OnClickStyle", nullptr)
ZU_EXPORT_NOTIFY(CDefView, OnClickIndex, "OnClickIndex", nullptr)
ZU_EXPORT_NOTIFY(CDefView, def, "def", nullptr)

namespace {

const char* const kFile = "defview";

// One style button: its icon (also the definition's value for the
// variant), the pane slot that edits the variant, and how a change to it
// is reported. kGap leaves a gap in the column; kEnd ends a table.
struct StyleRecord {
    int icon;
    int pane;
    bool property;
    bool full;
};
const int kGap = -3;
const int kEnd = -1;

const StyleRecord kColourStyles[] = {{50, 0, false, false},
                                     {51, 0, false, false},
                                     {52, 0, false, false},
                                     {53, 0, false, false},
                                     {kEnd, 0, false, false}};
const StyleRecord kPenStyles[] = {
    {40, 0, false, false}, {41, 1, false, false}, {kEnd, 0, false, false}};
const StyleRecord kMotifStyles[] = {{60, 0, false, false},
                                    {61, 1, false, false},
                                    {62, 2, false, false},
                                    {64, 3, false, false},
                                    {kEnd, 0, false, false}};
const StyleRecord kPatternStyles[] = {
    {201, 0, false, false}, {200, 1, false, false}, {kEnd, 0, false, false}};
const StyleRecord kPulsarStyles[] = {
    {190, 1, false, false}, {191, 0, false, false}, {kEnd, 0, false, false}};
const StyleRecord kPositionStyles[] = {
    {120, 1, false, false}, {kGap, 0, false, false}, {116, 0, false, false}, {117, 0, false, false},
    {118, 0, false, false}, {119, 0, false, false},  {kEnd, 0, false, false}};
const StyleRecord kCornerStyles[] = {
    {110, 1, false, false}, {kGap, 0, false, false}, {111, 0, false, false}, {112, 0, false, false},
    {113, 0, false, false}, {114, 0, false, false},  {kEnd, 0, false, false}};
const StyleRecord kArrowStyles[] = {{66, 1, false, false}, {kGap, 0, false, false},
                                    {67, 0, false, false}, {68, 0, false, false},
                                    {69, 0, false, false}, {kEnd, 0, false, false}};
const StyleRecord kPolygonStyles[] = {
    {58, 0, true, true}, {59, 0, true, true}, {kEnd, 0, false, false}};
const StyleRecord kArcStyles[] = {
    {220, 0, true, true}, {221, 0, true, true}, {kEnd, 0, false, false}};
const StyleRecord kFontStyles[] = {{45, 0, false, false}, {kEnd, 0, false, false}};
const StyleRecord kNoStyles[] = {{kEnd, 0, false, false}};

const StyleRecord* StyleTable(int type)
{
    switch (type) {
    case 20:
        return kColourStyles;
    case 10:
        return kPenStyles;
    case 30:
        return kMotifStyles;
    case 11:
        return kPatternStyles;
    case 12:
        return kPulsarStyles;
    case 70:
        return kPositionStyles;
    case 50:
        return kCornerStyles;
    case 60:
        return kArrowStyles;
    case 40:
        return kPolygonStyles;
    case 41:
        return kArcStyles;
    case 80:
        return kFontStyles;
    case 90:
    case 100:
        return kNoStyles;
    default:
        return nullptr;
    }
}

// The pane classes of each definition type, by slot. Classes are named,
// not linked: a class the program does not have leaves its slot to the
// plain pane.
struct PaneRow {
    int type;
    const char* classes[4];
};
const PaneRow kPaneRows[] = {
    {20, {"CColorCompoPane", nullptr, nullptr, nullptr}},
    {10, {"CPenBasePane", "CPenMotifPane", nullptr, nullptr}},
    {30, {"CMotifUniPane", "CMotifDegPane", "CMotifHachPane", "CMotifSpecPane"}},
    {11, {"CPatternListPane", "CPatternPane", nullptr, nullptr}},
    {12, {"CPulsarPane", nullptr, nullptr, nullptr}},
    {70, {"CPositionPane", nullptr, nullptr, nullptr}},
    {50, {"CCornerPane", nullptr, nullptr, nullptr}},
    {60, {"CArrowPane", nullptr, nullptr, nullptr}},
    {40, {"CPolyRegPane", nullptr, nullptr, nullptr}},
    {41, {"CArcPane", nullptr, nullptr, nullptr}},
    {80, {"CFontPane", nullptr, nullptr, nullptr}},
};

// The tool tip of index button i for a labelling style.
const char* IndexTip(int style, int i)
{
    static const char* const kColours[] = {"Couleur A", "Couleur B", "Couleur C", "Couleur D",
                                           "Couleur E", "Couleur F", "Couleur G", "Couleur H",
                                           "Couleur I", "Couleur J"};
    switch (style) {
    case 1:
        return i == 0 ? "Fond" : (i == 1 ? "Traits" : "");
    case 2:
        return i < 10 ? kColours[i] : "";
    case 3:
        return i == 0 ? "Fond" : (i <= 6 ? kColours[i - 1] : "");
    case 4:
        return i < 6 ? kColours[i] : "";
    default:
        return "";
    }
}

bool IsPlainPane(const CDefPaneRef& pane)
{
    return pane.IsValid() && std::strcmp(pane->RetRuntime()->RetClassName(), "CDefPane") == 0;
}

} // namespace

CDefView::CDefView()
{
    for (int i = 0; i < SLOTS; ++i) {
        style_keys[i] = -1;
        style_panes[i] = -1;
        property_flags[i] = false;
        full_flags[i] = false;
    }
}

const char* CDefView::PaneClassName(int type, int slot)
{
    if (slot < 0 || slot >= 4)
        return nullptr;
    for (const PaneRow& row : kPaneRows)
        if (row.type == type)
            return row.classes[slot];
    return nullptr;
}

CDefPaneRef CDefView::NewPane(const char* class_name)
{
    ZuRuntimeRef runtime;
    if (class_name == nullptr || !ZuClassFactory::GetClass(class_name, runtime) ||
        !runtime.IsValid())
        return CDefPaneRef();
    ZuObjectRef made(ZuClassFactory::New(runtime, Zuvi_app_zone, __LINE__, kFile));
    if (!made.IsValid() || !made->IsKindOf(CDefPaneRef::RetRuntime()))
        return CDefPaneRef();
    CDefPaneRef pane(made);
    pane->SetSize(370, 196);
    pane->Create(kind);
    return pane;
}

bool CDefView::Create(int new_type, int new_kind, double x, double y)
{
    type = new_type;
    kind = new_kind;
    pane_x = x;
    pane_y = y;
    for (int i = 0; i < SLOTS; ++i) {
        style_keys[i] = -1;
        style_panes[i] = -1;
        property_flags[i] = false;
        full_flags[i] = false;
    }
    enabled = true;

    const StyleRecord* table = StyleTable(type);
    if (table == nullptr)
        return false;
    for (int slot = 0; slot < 4; ++slot)
        if (panes[slot].IsInvalid())
            panes[slot] = NewPane(PaneClassName(type, slot));

    const ZuViewRef self(this);
    style_box = NewBoxView(self, 0, 0, 27, 187);
    double px = 2, py = 2;
    int n = 0;
    for (const StyleRecord* r = table; r->icon != kEnd && n < SLOTS; ++r) {
        if (r->icon == kGap) {
            py += 5;
            continue;
        }
        CButtonRef button;
        NewIconButton(button, style_box.IsValid() ? style_box : self, px, py, 23, 23, STYLE_TAG + n,
                      r->icon);
        button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                               ZuAtomRef("OnClickStyle"), 0);
        style_keys[n] = r->icon;
        style_panes[n] = r->pane;
        property_flags[n] = r->property;
        full_flags[n] = r->full;
        py += 23;
        if (r->pane >= 0 && r->pane < SLOTS && panes[r->pane].IsInvalid())
            panes[r->pane] = NewPane("CDefPane");
        ++n;
    }

    for (int i = 0; i < SLOTS; ++i) {
        CButtonColorRef button = ZuNew<CButtonColor>(Zuvi_app_zone, __LINE__, kFile);
        button->SetPlace(35 + 36 * i, 0, 36, 17);
        button->SetUserTag(INDEX_TAG + i);
        button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                               ZuAtomRef("OnClickIndex"), 0);
        index_buttons[i] = button;
    }

    if (panes[0].IsInvalid()) {
        style_panes[0] = 0;
        panes[0] = NewPane("CDefPane");
    }
    panes[PLAIN_SLOT] = NewPane("CDefPane");
    return true;
}

CDefPaneRef CDefView::RetPaneAt(int slot) const
{
    return slot >= 0 && slot < SLOTS ? panes[slot] : CDefPaneRef();
}

CDefPaneRef CDefView::RetShownPane() const
{
    for (const CDefPaneRef& pane : panes)
        if (pane.IsValid() && pane->RetParent() == ZuViewRef(const_cast<CDefView*>(this)))
            return pane;
    return CDefPaneRef();
}

int CDefView::RetStyleKey(int slot) const
{
    return slot >= 0 && slot < SLOTS ? style_keys[slot] : -1;
}

int CDefView::RetStylePane(int slot) const
{
    return slot >= 0 && slot < SLOTS ? style_panes[slot] : -1;
}

ZuViewRef CDefView::RetTagged(int tag)
{
    // The style buttons are looked for in their box alone: the panes'
    // controls carry tags of their own in the same range (the arc pane's
    // 102 and 103), which must never stand in for a missing button.
    ZuViewRef found;
    const ZuViewRef where = style_box.IsValid() ? style_box : ZuViewRef(this);
    if (!where->FindUserTag(tag, found))
        return ZuViewRef();
    return found;
}

CButtonColorRef CDefView::RetIndexButton(int i) const
{
    return i >= 0 && i < SLOTS ? index_buttons[i] : CButtonColorRef();
}

void CDefView::SetDefinition(const CDefRef& def)
{
    if (def.IsValid() && def->IsShared()) {
        definition = def;
    } else if (def.IsValid()) {
        CDefRef copy = NewDefinition(def->GetType());
        if (copy.IsValid())
            copy->CopyFrom(def);
        definition = copy;
    } else {
        definition = NewDefinition(GetDefTypeOfKind(kind));
    }
    for (const CDefPaneRef& pane : panes) {
        if (pane.IsInvalid())
            continue;
        pane->SetDef(definition);
        pane->UpdateDlgEnable();
    }
    ShowStyle(StyleOfValue(), true);
}

int CDefView::StyleOfValue()
{
    if (definition.IsInvalid())
        return 0;
    // The value is read through the first pane, as it writes it; a plain
    // pane there knows no value, and the definition answers itself.
    const int value = panes[0].IsValid() && !IsPlainPane(panes[0]) ? panes[0]->GetValue()
                                                                   : definition->GetValue();
    for (int slot = 0; slot < SLOTS; ++slot)
        if (style_keys[slot] != -1 && style_keys[slot] == value)
            return slot;
    return 0;
}

void CDefView::PlacePane(const CDefPaneRef& pane)
{
    // The pane point is in the frame every view of the window is placed
    // in, the window's own: (39, 57) is beside the style column and just
    // under the card's tabs, where the index buttons row starts (a colour
    // pane, which has that row, stands 20 lower). Counted from the view's
    // corner instead, a pane of the dialog would start 57 units too low
    // and its bottom (the pen's sample) would fall out of the window.
    pane->SetOrigin(pane_x, pane_y + (pane->IsColorPane() ? 20 : 0));
}

void CDefView::PlacePanes()
{
    const ZuViewRef self(this);
    for (const CDefPaneRef& pane : panes) {
        if (pane.IsInvalid())
            continue;
        pane->SetParent(self);
        PlacePane(pane);
        pane->SetParent(ZuViewRef());
    }
    ShowStyle(0, true);
}

void CDefView::ShowStyle(int slot, bool refresh)
{
    current_style = slot;
    UpdateStyleButtons();
    UpdateIndexButtons();
    for (const CDefPaneRef& pane : panes)
        if (pane.IsValid() && pane->RetParent().IsValid())
            pane->SetParent(ZuViewRef());
    const int shown = enabled ? RetStylePane(slot) : int(PLAIN_SLOT);
    if (shown < 0 || shown >= SLOTS || panes[shown].IsInvalid())
        return;
    const CDefPaneRef pane = panes[shown];
    pane->SetParent(ZuViewRef(this));
    PlacePane(pane);
    // The pane writes the variant into the definition; a variant without
    // parameters has only the plain pane, which knows no definition, so the
    // view writes it itself (else "Pas d'ombre" or "Pointu" could never be
    // chosen). The plain pane of a disabled view writes nothing.
    if (!IsPlainPane(pane))
        pane->SetValue(style_keys[slot]);
    else if (enabled && definition.IsValid() && style_keys[slot] != -1)
        definition->SetValue(style_keys[slot]);
    if (refresh)
        pane->Refresh();
    Display(true);
}

void CDefView::UpdatePane()
{
    const int shown = enabled ? RetStylePane(current_style) : int(PLAIN_SLOT);
    const CDefPaneRef pane = RetPaneAt(shown);
    if (pane.IsValid())
        pane->Update();
}

void CDefView::UpdateStyleButtons()
{
    for (int slot = 0; slot < SLOTS; ++slot) {
        const ZuViewRef button = RetTagged(STYLE_TAG + slot);
        if (button.IsInvalid())
            continue;
        SetViewOn(button, enabled && slot == current_style ? 1 : 0);
        SetViewEnabled(button, enabled);
        if (!enabled || slot != current_style)
            continue;
        if (style_marker.IsInvalid()) {
            style_marker = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
            style_marker->SetStyle(17u);
            style_marker->SetSize(5, 18);
        }
        // The marker stands beside the button.
        double bx = 0, by = 0;
        button->GetOrigin(bx, by);
        style_marker->SetParent(ZuViewRef(this));
        style_marker->SetOrigin(bx + 25, by + 2);
        style_marker->Display(true);
    }
    if (!enabled && style_marker.IsValid() && style_marker->RetParent().IsValid())
        style_marker->SetParent(ZuViewRef());
}

void CDefView::UpdateIndexButtons()
{
    if (definition.IsInvalid())
        return;
    const int style = definition->GetStyle();
    // A definition restored from outside may hold any numbers: at most ten
    // buttons, and the mark on an index that exists.
    int count = definition->GetCount();
    if (count < 1)
        count = 1;
    if (count > SLOTS)
        count = SLOTS;
    int current = definition->GetIndex();
    if (current < 0)
        current = 0;
    if (current >= count)
        current = count - 1;
    const bool colour = definition->IsKindOf(CColorDefRef::RetRuntime());
    bool detached = false;
    const ZuViewRef self(this);
    double vx = 0, vy = 0;
    GetOrigin(vx, vy);
    for (int i = 0; i < SLOTS; ++i) {
        const CButtonColorRef& button = index_buttons[i];
        if (button.IsInvalid())
            continue;
        if (count == 1 || i >= count) {
            if (button->RetParent().IsValid()) {
                button->SetParent(ZuViewRef());
                detached = true;
            }
            continue;
        }
        button->SetToolTip(ZuStringRef(IndexTip(style, i)));
        button->ChangeState(ZU_VIEW_IS_ON, i == current, false);
        if (colour) {
            const CColorDefRef c{ZuObjectRef(definition)};
            c->SetIndex(i);
            ZuColorPixel pixel(0u);
            c->GetColorPixel(pixel);
            button->SetBackColor(pixel);
        }
        if (button->RetParent().IsInvalid())
            button->SetParent(self);
        button->SetOrigin(vx + 35 + 36 * i, vy);
        button->Display(true);
    }
    definition->SetIndex(current);
    if (detached)
        Display(true);
}

bool CDefView::SetEnable(bool enable)
{
    if (enable != enabled) {
        enabled = enable;
        ShowStyle(current_style < 0 ? 0 : current_style, true);
    }
    return true;
}

bool CDefView::OnClickStyle(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int slot = ZuViewRef(source)->RetUserTag() - STYLE_TAG;
    if (slot < 0 || slot >= SLOTS)
        return false;
    ShowStyle(slot, true);
    const CDefPaneRef pane = RetPaneAt(RetStylePane(slot));
    if (pane.IsValid()) {
        pane->UpdateDlgEnable();
        pane->Update();
        pane->RegisterCodes();
        pane->NotifyChange(property_flags[slot], full_flags[slot]);
    }
    return true;
}

bool CDefView::OnClickIndex(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int index = ZuViewRef(source)->RetUserTag() - INDEX_TAG;
    if (index < 0 || index >= SLOTS)
        return false;
    if (definition.IsValid())
        definition->SetIndex(index);
    ShowStyle(StyleOfValue(), true);
    return true;
}

void CDefView::Delete()
{
    for (CDefPaneRef& pane : panes) {
        if (pane.IsValid())
            pane->Delete();
        pane = CDefPaneRef();
    }
    for (CButtonColorRef& button : index_buttons) {
        if (button.IsValid())
            button->Delete();
        button = CButtonColorRef();
    }
    if (style_marker.IsValid())
        style_marker->Delete();
    style_marker = CSeparatorRef();
    style_box = ZuViewRef();
    definition = CDefRef();
    ZuView::Delete();
}
