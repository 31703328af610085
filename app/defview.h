// CDefView: the card of the attributes dialog that edits one attribute
// kind. It holds the definition shown for that kind and the panes that
// edit it, a column of style buttons (one per variant of the definition,
// each showing the pane of its variant) and a row of up to ten index
// buttons that choose which indexed value of the definition is edited.
//
// The panes of a definition type are made by class name, so that a pane
// class the program lacks leaves its variant with the plain pane. Slot 9
// always holds a plain pane: the one shown while the view is disabled.
//
// A shared definition is edited itself; any other is edited as a copy that
// the dialog hands back through RetDefinition.
#ifndef LUMBRA_APP_DEFVIEW_H
#define LUMBRA_APP_DEFVIEW_H

#include "app/buttoncolor.h"
#include "app/def.h"
#include "app/defpane.h"
#include "app/separator.h"
#include "si/view.h"

ZU_HANDLE(CDefView, ZuView)

class CDefView : public ZuView {
    ZU_CLASS(CDefView, ZuView)
public:
    enum { SLOTS = 10, PLAIN_SLOT = 9, STYLE_TAG = 100, INDEX_TAG = 200 };

    CDefView();

    // Builds the panes, the style buttons and the index buttons of the
    // definition type; false, with nothing built, for a type without a
    // style table.
    bool Create(int type, int kind, double pane_x, double pane_y);
    // Installs the definition shown (see the header comment); an empty
    // handle installs a new definition of the kind's type.
    void SetDefinition(const CDefRef& def);
    CDefRef RetDefinition() const { return definition; }
    // Places every pane at the pane point, then shows style slot 0.
    void PlacePanes();
    // Makes the slot current and shows its pane (the plain one while
    // disabled); refresh has the pane refresh its controls.
    void ShowStyle(int slot, bool refresh);
    void UpdatePane();
    void UpdateIndexButtons();
    void UpdateStyleButtons();
    bool SetEnable(bool enable) override;
    void Delete() override;

    bool OnClickStyle(const ZuObjectRef& button, unsigned id);
    bool OnClickIndex(const ZuObjectRef& button, unsigned id);

    int RetType() const { return type; }
    int RetKind() const { return kind; }
    int RetCurrentStyle() const { return current_style; }
    bool IsViewEnabled() const { return enabled; }
    // The pane of a slot (empty when none), and the pane shown now.
    CDefPaneRef RetPaneAt(int slot) const;
    CDefPaneRef RetShownPane() const;
    int RetStyleKey(int slot) const;
    int RetStylePane(int slot) const;
    // The button of the tag among the view's children, or empty.
    ZuViewRef RetTagged(int tag);
    CButtonColorRef RetIndexButton(int i) const;

    // The class name of the pane of a slot for a definition type; null
    // where the type has none there.
    static const char* PaneClassName(int type, int slot);

private:
    // A pane of the class made and set up for the kind; empty when the
    // program has no class of that name.
    CDefPaneRef NewPane(const char* class_name);
    // The style slot whose key is the definition's value at its current
    // index; 0 when none is.
    int StyleOfValue();
    // The pane at its place in the view: 20 further down for a colour pane.
    void PlacePane(const CDefPaneRef& pane);

    int type = -1;
    int kind = 0;
    double pane_x = 0;
    double pane_y = 0;
    CDefRef definition;
    CDefPaneRef panes[SLOTS];
    CSeparatorRef style_marker;
    ZuViewRef style_box;
    CButtonColorRef index_buttons[SLOTS];
    int current_style = -1;
    int style_keys[SLOTS];
    int style_panes[SLOTS];
    bool enabled = true;
    bool property_flags[SLOTS];
    bool full_flags[SLOTS];
};
ZU_CLASS_END(CDefView)

#endif
