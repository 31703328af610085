// CSetupDlg: the settings window "Réglages": a card stack with six tabs,
// one setup pane each (format, grid, guides, duplication, units, colours).
// The panes write their changes straight into the document or its view
// settings; there is nothing to confirm. The program makes one, hidden;
// the page view hands it itself (SetPageView) and has it refreshed for a
// topic of change (Update), which also brings that topic's tab to the
// front.
#ifndef LUMBRA_APP_SETUPDLG_H
#define LUMBRA_APP_SETUPDLG_H

#include "app/setuppane.h"
#include "si/array.h"
#include "si/cardstack.h"
#include "si/list.h"
#include "si/window.h"

ZU_HANDLE(CSetupDlg, ZuObject)
class CSetupDlg : public ZuObject {
    ZU_CLASS(CSetupDlg, ZuObject)
public:
    enum { TABS = 6, SLOTS = 10 };

    CSetupDlg();

    // Builds the window at (x, y), hidden: at least 268 x 200, larger when
    // a pane or the row of tab labels needs it. Once: a second call
    // changes nothing. True.
    bool Create(int x, int y);
    // False shows the window in front, true hides it.
    void Hide(bool hide);
    // Hands the page view to every pane.
    void SetPageView(const CPageViewRef& view);
    // Brings the tab of the topic (1 grid, 2 duplication, 3 units, 4
    // guides; others none) to the front and refreshes every pane.
    void Update(int topic, int item);

    void Delete() override;

    // Bound to the card stack's change of tab: the stack shows the pane.
    bool OnClickTab();

    const ZuWindowRef& RetWindow() const { return window; }
    const ZuCardStackRef& RetCardStack() const { return card_stack; }
    CSetupPaneRef RetPane(int i) const;
    // The label of tab i, or null.
    static const char* TabLabel(int i);

private:
    ZuWindowRef window;
    ZuCardStackRef card_stack;
    ZuListRef tab_names;
    CSetupPaneArray panes;
};
ZU_CLASS_END(CSetupDlg)

#endif
