// CToolBar: the row of command buttons under the main window's menu. Each
// button shows an icon and, when clicked, calls the page view's method of
// its command name; it is named "Toolbar" + the command, so that the
// command's check mark can find it. Buttons are grouped, a gap between
// groups; at most 30 of them.
#ifndef LUMBRA_APP_TOOLBAR_H
#define LUMBRA_APP_TOOLBAR_H

#include "app/commands.h"
#include "app/pageview.h"
#include "si/view.h"

ZU_HANDLE(CToolBar, ZuView)

class CToolBar : public ZuView {
    ZU_CLASS(CToolBar, ZuView)
public:
    static constexpr int kMaxButtons = 30;

    CToolBar() {}
    ~CToolBar() override;
    void Delete() override;

    // The object the buttons call: set it before SetButtons, which binds
    // the buttons to the page view stored when they are made.
    void SetPageView(const CPageViewRef& view) { pageView = view; }
    const CPageViewRef& RetPageView() const { return pageView; }
    // Replaces every button by those of the table, read up to its end
    // record (kToolbarEnd); records past the 30th button are skipped.
    void SetButtons(const ToolbarRecord* table);

private:
    CPageViewRef pageView;
    int gap = 4;
    int buttonWidth = 23;
    int buttonHeight = 23;
};
ZU_CLASS_END(CToolBar)

#endif
