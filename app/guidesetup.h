// CGuideSetup: the tab "Guides" of the settings window. It lists the
// positions of the document's horizontal or vertical guides (in ascending
// order, written in the main unit), moves the selected guide to a typed
// position, creates a guide at the typed position ("Copier", while the
// list holds fewer than 50), deletes the selected one ("Supprimer"), and
// makes all guides visible and magnetic. The document is the only store of
// the guides; the selected row is the document's current guide. A ruler on
// which a guide moves has the window refreshed with the topic 4 and the
// guide's number (plus 50 for a horizontal guide), which turns the pane to
// that guide's list and selects it. The list follows the main unit.
#ifndef LUMBRA_APP_GUIDESETUP_H
#define LUMBRA_APP_GUIDESETUP_H

#include "app/button.h"
#include "app/ichangeunit.h"
#include "app/scrolllist.h"
#include "app/setuppane.h"
#include "app/textlinearrow.h"
#include "si/list.h"
#include "si/switch.h"

ZU_HANDLE(CGuideSetup, CSetupPane)
class CGuideSetup : public CSetupPane, public IChangeUnit {
    ZU_CLASS(CGuideSetup, CSetupPane)
public:
    // Items from a ruler at or above this name horizontal guides.
    enum { OTHER_LIST = 50 };

    CGuideSetup();

    bool Build() override;
    void BuildContents(int x, int y) override;
    // Topic 4 names a guide (a negative item none); the shown list is
    // rebuilt and the controls refreshed. The current guide stays.
    void Update(int topic, int item) override;
    void Delete() override;

    // IChangeUnit: the positions written again in the new unit.
    void ChangeUnit(int unit) override;

    bool OnRadioH();
    bool OnRadioV();
    bool OnScrollList();
    bool OnEditPosition();
    bool OnButtonCreate();
    bool OnButtonDelete();
    bool OnSwitchShow();
    bool OnSwitchActive();

    bool IsHorizontal() const { return horizontal; }
    ZuSwitchRef RetRadio(int i) const;
    const CScrollListRef& RetGuideList() const { return guide_list; }
    const CTextLineArrowRef& RetPosition() const { return position; }
    const CButtonRef& RetCreateButton() const { return create_button; }
    const CButtonRef& RetDeleteButton() const { return delete_button; }
    const ZuSwitchRef& RetShowSwitch() const { return show_switch; }
    const ZuSwitchRef& RetActiveSwitch() const { return active_switch; }
    // The texts of the rows, as last handed to the list.
    const ZuListRef& RetRows() const { return rows; }

    static ZuAtomRef notify_Modify;

private:
    int Count() const;
    // The selected row while it names a guide of the shown list, else -1.
    int Selected() const;
    void ShowList(bool on_horizontal);
    void RebuildList();
    void SelectRow(int index);
    void FillEntry();
    void EnableButtons();
    void SelectCurrentGuide();
    void RedrawPage();

    bool horizontal = true;
    ZuSwitchArray radio;
    CScrollListRef guide_list;
    CTextLineArrowRef position;
    CButtonRef create_button;
    CButtonRef delete_button;
    ZuSwitchRef show_switch;
    ZuSwitchRef active_switch;
    ZuListRef rows;
};
ZU_CLASS_END(CGuideSetup)

#endif
