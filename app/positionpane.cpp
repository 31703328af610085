#include "app/positionpane.h"

#include "app/separator.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPositionPane, "app/positionpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPositionPane, OnEditPositionXChange)
ZU_EXPORT_OBSERVER(CPositionPane, OnEditPositionYChange)
ZU_EXPORT_OBSERVER(CPositionPane, OnEditIncludeChange)
ZU_EXPORT_OBSERVER(CPositionPane, OnClickLink)

namespace {

const char* const kFile = "positionpane";

} // namespace

bool CPositionPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPositionDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPositionPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 24, y + 24, 120, 20,
             "D\xe9"
             "calage horizontal");
    // The vertical row stands 24 below the horizontal one: at 22 the ticks
    // under one slider would touch the ticks over the other.
    NewLabel(self, x + 24, y + 48, 120, 20,
             "D\xe9"
             "calage vertical");
    NewLabel(self, x + 24, y + 90, 120, 20, "Inclusion des traits");
    CTextLineArrowRef offsets[2];
    const char* const handlers[2] = {"OnEditPositionXChange", "OnEditPositionYChange"};
    const char* const tips[2] = {"D\xe9"
                                 "calage horizontal de l'ombre",
                                 "D\xe9"
                                 "calage vertical de l'ombre"};
    for (int i = 0; i < 2; ++i) {
        offsets[i] = NewEntry(self, x + 144, y + 24 + 24 * i, 57, 20, 0, true, 98, handlers[i]);
        offsets[i]->SetMin(0);
        offsets[i]->SetMax(100);
        offsets[i]->SetSliderGrad(10);
        offsets[i]->SetSliderSubdiv(2);
        offsets[i]->SetSliderLog(2);
        offsets[i]->SetToolTip(ZuStringRef(tips[i]));
    }
    x_entry = offsets[0];
    y_entry = offsets[1];
    // The bracket and its switch stand just right of the sliders' last
    // column.
    CSeparatorRef bracket = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
    bracket->SetStyle(1u);
    bracket->SetOrigin(x + 312, y + 24);
    bracket->SetSize(4, 44);
    bracket->SetParent(self);
    link_switch = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    link_switch->SetOrigin(x + 308, y + 36);
    link_switch->SetSize(20, 20);
    link_switch->SetSwitchState(linked);
    link_switch->SetToolTip(ZuStringRef("D\xe9"
                                        "calage horizontal et vertical identiques"));
    link_switch->SetParent(self);
    link_switch->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                                ZuAtomRef("OnClickLink"), 0);
    include_entry = NewEntry(self, x + 144, y + 90, 57, 20, 12, true, 98, "OnEditIncludeChange");
    include_entry->SetMin(0);
    include_entry->SetMax(2);
    include_entry->SetStep(0.1);
    include_entry->SetSliderGrad(8);
    include_entry->SetSliderSubdiv(2);
    include_entry->SetToolTip(ZuStringRef("Pourcentage des traits inclus dans l'ombre"));
    CDefPane::BuildControls(x, y);
}

bool CPositionPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPositionPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPositionPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPositionPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPositionPane::WriteEntry(const CTextLineArrowRef& entry, double value)
{
    if (!entry.IsValid())
        return;
    ready = false;
    entry->SetValue(value);
    ready = true;
}

void CPositionPane::Refresh()
{
    notify = false;
    if (def.IsValid()) {
        WriteEntry(x_entry, def->GetOffsetX());
        WriteEntry(y_entry, def->GetOffsetY());
        WriteEntry(include_entry, def->GetInclude());
    }
    notify = true;
}

bool CPositionPane::EditOffset(bool horizontal)
{
    const CTextLineArrowRef& entry = horizontal ? x_entry : y_entry;
    if (!ready || !def.IsValid() || !entry.IsValid())
        return false;
    const double value = entry->GetValue();
    if (horizontal)
        def->SetOffsetX(value);
    else
        def->SetOffsetY(value);
    if (linked) {
        if (horizontal) {
            def->SetOffsetY(def->GetOffsetX());
            WriteEntry(y_entry, def->GetOffsetY());
        } else {
            def->SetOffsetX(def->GetOffsetY());
            WriteEntry(x_entry, def->GetOffsetX());
        }
    }
    NotifyChange(false, false);
    return true;
}

bool CPositionPane::OnEditPositionXChange(const ZuObjectRef&, unsigned)
{
    return EditOffset(true);
}

bool CPositionPane::OnEditPositionYChange(const ZuObjectRef&, unsigned)
{
    return EditOffset(false);
}

bool CPositionPane::OnEditIncludeChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !include_entry.IsValid())
        return false;
    def->SetInclude(include_entry->GetValue());
    NotifyChange(false, false);
    return true;
}

bool CPositionPane::OnClickLink(const ZuObjectRef&, unsigned)
{
    if (link_switch.IsValid())
        linked = link_switch->RetSwitchState();
    return true;
}
