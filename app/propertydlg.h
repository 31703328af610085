// CPropertyDlg: the floating properties window of the selection. For one
// selected object it shows one row per numeric parameter the object
// publishes (a label, a numeric entry with unit and arrows, optionally a
// highlight switch); for several objects the two rows "Position X" and
// "Position Y" of the selection's centre, and below them the alignment
// and distribution panel; for none the text "Aucun objet sélectionné".
//
// Every value the user types is reported ("property.notify_Modify") and
// read back through RetModification; entering and leaving rows and
// switching highlights report "property.notify_Redraw", and the page view
// then highlights the handles of the rows in RetHiliteMask. Nothing is
// reported while the dialog writes its own values.
//
// At most 30 rows are shown, whatever count an object claims, and a value
// that is infinite or not a number shows as an empty, disabled row.
#ifndef LUMBRA_APP_PROPERTYDLG_H
#define LUMBRA_APP_PROPERTYDLG_H

#include "app/button.h"
#include "app/graobject.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "app/separator.h"
#include "app/textlinearrow.h"
#include "si/switch.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_HANDLE(CPropertyDlg, ZuObject)

class CPropertyDlg : public ZuObject {
    ZU_CLASS(CPropertyDlg, ZuObject)
public:
    enum { ROWS = 30 };
    // The panel's buttons, in the order of their codes 1, 2, 4 ... 128,
    // then the grid.
    enum { UP, DOWN, LEFT, RIGHT, CENTER_H, CENTER_V, SPACE_H, SPACE_V, GRID, BUTTONS };

    CPropertyDlg();

    // Builds the window at (x, y) with its alignment panel; hidden.
    bool Create(int x, int y);
    void Hide(bool hide);
    bool IsVisible() const;
    void SetPageView(CPageViewRef view) { page_view = view; }
    void SetSelectObject(CSelectObjectRef selection) { select_object = selection; }
    void SetView(CViewRef view) { view_settings = view; }
    // The rows for a selection of count objects; object is the selected
    // one when exactly one is selected, empty otherwise.
    bool UpdateSelection(CGraObjectRef object, int count);
    // The current values into the rows, all but the row skip (-1: all).
    bool UpdateValues(CGraObjectRef object, int skip);
    void RetModification(int* entry, int* property, double* value, int* option) const;
    // The focus mask when not 0, else the switched mask.
    int RetHiliteMask() const { return focus_mask != 0 ? focus_mask : switched_mask; }
    void SetWindowFrame(const DPoint& origin, const DPoint& size);

    // The panel: lays it out for the chosen operation; completes a code
    // with the switches and hands it to the page view.
    void UpdateOperation();
    bool ApplyOperation(int code);

    void Delete() override;
    ZuAtomRef RetUserName() override;

    bool OnClose();
    bool OnClickOnlyOne();
    bool OnTextChanged(const ZuObjectRef& source, unsigned id);
    bool OnTextEnter(const ZuObjectRef& source, unsigned id);
    bool OnTextLeave(const ZuObjectRef& source, unsigned id);
    bool OnFocusEnter(const ZuObjectRef& source, unsigned id);
    bool OnFocusLeave(const ZuObjectRef& source, unsigned id);
    bool OnClickSwitch(const ZuObjectRef& source, unsigned id);
    bool OnRadioOper(const ZuObjectRef& source, unsigned id);
    bool OnSwitchOper(const ZuObjectRef& source, unsigned id);
    bool OnButtonUp();
    bool OnButtonDown();
    bool OnButtonLeft();
    bool OnButtonRight();
    bool OnButtonCenterH();
    bool OnButtonCenterV();
    bool OnButtonSpaceH();
    bool OnButtonSpaceV();
    bool OnButtonGrid();

    static ZuAtomRef notify_Modify;
    static ZuAtomRef notify_Redraw;

    // The views, for tests and the page view.
    const ZuWindowRef& RetWindow() const { return window; }
    const CTextLineArrowRef& RetEntry(int row) const { return entries[row]; }
    const ZuTextTagRef& RetLabel(int row) const { return labels[row]; }
    const ZuSwitchRef& RetHiliteSwitch(int row) const { return hilite_switches[row]; }
    const CSeparatorRef& RetSeparator(int row) const { return separators[row]; }
    const ZuSwitchRef& RetOnlyOneSwitch() const { return only_one; }
    const ZuTextTagRef& RetEmptyTag() const { return empty_tag; }
    const ZuViewRef& RetPanelBox() const { return panel_box; }
    const ZuSwitchRef& RetOperationSwitch(int i) const { return operation_switches[i]; }
    const ZuSwitchRef& RetReferenceSwitch(int i) const { return reference_switches[i]; }
    const CButtonRef& RetButton(int i) const { return buttons[i]; }
    int RetFocusMask() const { return focus_mask; }
    int RetSwitchedMask() const { return switched_mask; }
    int RetOnlyOneRow() const { return only_one_row; }
    // How many times a row's entry was built (it is built again only when
    // its place or unit changes).
    int RetEntryBuilds() const { return entry_builds; }
    // The last code handed to the page view by the panel; 0 before any.
    int RetLastOperation() const { return last_operation; }

private:
    struct Place {
        double left = 0, top = 0, right = 0, bottom = 0;
        int unit = -1;
        bool Same(const Place& o) const
        {
            return left == o.left && top == o.top && right == o.right && bottom == o.bottom &&
                   unit == o.unit;
        }
    };
    void BuildPanel();
    void HideRow(int row);
    void BuildRow(int row, const DPoint& p, int flags, int unit, double minimum, double maximum,
                  double step, const ZuStringRef& name, const ZuStringRef& description);
    void PlaceSeparator(int row, const DPoint& origin, const DPoint& size, int flags);
    void PlaceOnlyOne(const DPoint& p);
    void EnableRow(int row, bool enabled);
    int RowOfControl(const ZuObjectRef& control) const;
    void Report(const ZuAtomRef& what);

    ZuWindowRef window;
    CPageViewRef page_view;
    CSelectObjectRef select_object;
    CViewRef view_settings;
    bool ready = true;
    int switch_width = 20;
    int label_width = 80;
    int entry_width = 76;
    int row_height = 19;
    int gap = 5;
    Place switch_places[ROWS];
    Place label_places[ROWS];
    Place entry_places[ROWS];
    ZuTextTagRef empty_tag;
    ZuSwitchRef hilite_switches[ROWS];
    ZuSwitchRef only_one;
    ZuTextTagRef labels[ROWS];
    CTextLineArrowRef entries[ROWS];
    CSeparatorRef separators[ROWS];
    ZuViewRef panel_box;
    ZuViewRef button_box;
    ZuViewRef reference_box;
    ZuSwitchRef operation_switches[2];
    ZuSwitchRef reference_switches[5];
    CButtonRef buttons[BUTTONS];
    int last_property = -1;
    double last_value = 0.0;
    int last_entry = -1;
    int switched_mask = 0;
    int focus_mask = 0;
    int last_option = 0;
    int only_one_row = -1;
    int flags[ROWS] = {};
    int units[ROWS] = {};
    double minimums[ROWS] = {};
    double maximums[ROWS] = {};
    double steps[ROWS] = {};
    int options[ROWS] = {};
    int entry_builds = 0;
    int last_operation = 0;
};
ZU_CLASS_END(CPropertyDlg)

#endif
