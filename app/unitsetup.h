// CUnitSetup: the tab "Unité" of the settings window. Two radio switches
// choose which unit slot of the document the list edits, the main unit
// ("Principale", in which every entry of unit 0 shows its value) or the
// secondary one ("Secondaire"); choosing a row sets that unit at once. A
// new main unit is announced to every object that implements IChangeUnit.
#ifndef LUMBRA_APP_UNITSETUP_H
#define LUMBRA_APP_UNITSETUP_H

#include "app/scrolllist.h"
#include "app/setuppane.h"
#include "si/switch.h"

ZU_HANDLE(CUnitSetup, CSetupPane)
class CUnitSetup : public CSetupPane {
    ZU_CLASS(CUnitSetup, CSetupPane)
public:
    CUnitSetup();

    bool Build() override;
    void BuildContents(int x, int y) override;
    void Update(int topic, int item) override;
    void Delete() override;

    bool OnScrollList();
    bool OnButtonRadio(const ZuObjectRef& source, unsigned id);

    // The offered unit codes, ended by -1.
    static const int UnitChoiceTable[];

    int RetCurrentSlot() const { return current_slot; }
    const CScrollListRef& RetUnitList() const { return unit_list; }
    ZuSwitchRef RetSlotSwitch(int i) const;

    static ZuAtomRef notify_Modify;

private:
    void ShowUnit();

    int current_slot = 0;
    CScrollListRef unit_list;
    ZuSwitchArray slot_switches;
};
ZU_CLASS_END(CUnitSetup)

#endif
