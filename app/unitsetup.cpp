#include "app/unitsetup.h"

#include "app/misc.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CUnitSetup, "app/unitsetup", ZU_CLASS_PLAIN)
ZuAtomRef CUnitSetup::notify_Modify;
ZU_EXPORT_NOTIFY(CUnitSetup, Modify, "notify_Modify", &CUnitSetup::notify_Modify)
SETUP_EXPORT_HANDLER(CUnitSetup, OnScrollList)
SETUP_EXPORT_SENDER_HANDLER(CUnitSetup, OnButtonRadio)

const int CUnitSetup::UnitChoiceTable[] = {22, 23, 24, 26, 30, 31, 32, 40, 41, 42, 50, 51, -1};

namespace {

const char* const kSlotLabels[2] = {"Principale", "Secondaire"};

} // namespace

CUnitSetup::CUnitSetup()
{
    slot_switches = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    slot_switches->SetSize(2);
}

ZuSwitchRef CUnitSetup::RetSlotSwitch(int i) const
{
    return i == 0 || i == 1 ? ZuSwitchRef(slot_switches[unsigned(i)]) : ZuSwitchRef();
}

bool CUnitSetup::Build()
{
    // The slot switches form a radio group of their own.
    SetUserName(ZuAtomRef("unitsetup"));
    SetSize(260, 170);
    BuildContents(0, 0);
    return true;
}

void CUnitSetup::BuildContents(int x, int y)
{
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    ZuTextTagRef title = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
    title->SetOrigin(x + 6, y + 6);
    title->SetSize(248, 16);
    title->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP));
    title->SetText(ZuStringRef("Unit\xe9 globale implicite :"));
    title->SetParent(ZuViewRef(this));

    unit_list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    unit_list->CreateScroller(x + 6, y + 22, 140, 136);
    unit_list->SetParent(ZuViewRef(this));
    unit_list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnScrollList"), 0);
    ZuListRef names = ZuNew<ZuList>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; UnitChoiceTable[i] != -1; ++i)
        names->PushTail(ZuStringRef(GetUnitName(UnitChoiceTable[i])));
    unit_list->UpdateScroller(names);

    for (int i = 0; i < 2; ++i) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(zone, __LINE__, ZU_SRC_FILE);
        s->SetRadioButtonMode(true);
        s->SetOrigin(x + 152, y + 22 + 18 * i);
        s->SetSize(100, 18);
        s->SetTitle(ZuStringRef(kSlotLabels[i]));
        s->SetUserTag(100 + i);
        s->ChangeState(ZU_VIEW_IS_ON, i == current_slot, false);
        s->SetParent(ZuViewRef(this));
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnButtonRadio"), 0);
        slot_switches[unsigned(i)] = s;
    }
    CSetupPane::BuildContents(x, y);
}

void CUnitSetup::Update(int, int)
{
    if (document.IsValid())
        ShowUnit();
}

void CUnitSetup::ShowUnit()
{
    if (document.IsInvalid() || unit_list.IsInvalid())
        return;
    const int code = document->GetUnit(current_slot);
    int row = 0;
    for (int i = 0; UnitChoiceTable[i] != -1; ++i)
        if (UnitChoiceTable[i] == code) {
            row = i;
            break;
        }
    unit_list->Select(row);
    unit_list->Display(true);
}

bool CUnitSetup::OnScrollList()
{
    if (document.IsInvalid() || unit_list.IsInvalid())
        return false;
    const int row = unit_list->RetSelected();
    int rows = 0;
    while (UnitChoiceTable[rows] != -1)
        ++rows;
    if (row < 0 || row >= rows)
        return false;
    const int code = UnitChoiceTable[row];
    if (document->GetUnit(current_slot) == code)
        return false;
    document->SetUnit(current_slot, code);
    if (current_slot == 0)
        document->NotifyChangeUnit(code);
    RedrawPageView(true);
    return true;
}

bool CUnitSetup::OnButtonRadio(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int slot = ZuViewRef(source)->RetUserTag() - 100;
    if (slot != 0 && slot != 1)
        return false;
    current_slot = slot;
    ShowUnit();
    return true;
}

void CUnitSetup::Delete()
{
    unit_list = CScrollListRef();
    if (slot_switches.IsValid())
        slot_switches->RemoveAll();
    slot_switches = ZuSwitchArray();
    CSetupPane::Delete();
}
