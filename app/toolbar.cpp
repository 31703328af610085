#include "app/toolbar.h"

#include <cstdio>

#include "app/button.h"
#include "si/control.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CToolBar, "app/toolbar", ZU_CLASS_PLAIN)

CToolBar::~CToolBar() {}

void CToolBar::Delete()
{
    pageView = CPageViewRef();
    ZuView::Delete();
}

void CToolBar::SetButtons(const ToolbarRecord* table)
{
    for (int tag = 1; tag <= kMaxButtons; tag++) {
        ZuViewRef old;
        if (FindUserTag(tag, old) && old.IsValid() && old != ZuViewRef(this))
            old->Delete();
    }
    if (table == nullptr)
        return;
    double x = 0.0, y = 0.0;
    GetOrigin(x, y);
    int n = 0;
    for (const ToolbarRecord* r = table; r->icon != kToolbarEnd; r++) {
        if (r->icon == kToolbarGap) {
            x += gap;
            continue;
        }
        // Only the first 30 buttons are made, so that the next table
        // removes them all.
        if (r->icon < 0 || n >= kMaxButtons || r->command == nullptr)
            continue;
        CButtonRef button;
        NewIconButton(button, ZuViewRef(this), x, y, buttonWidth, buttonHeight, n + 1, r->icon);
        char name[128];
        std::snprintf(name, sizeof name, "Toolbar%s", r->command);
        button->SetUserName(ZuAtomRef(name));
        if (pageView.IsValid())
            button->AttachObserver(ZuObjectRef(pageView), ZuControl::notify_clicked,
                                   ZuAtomRef(r->command), 0);
        n += 1;
        x += buttonWidth;
    }
}
