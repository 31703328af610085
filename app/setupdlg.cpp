#include "app/setupdlg.h"

#include <algorithm>
#include <cmath>

#include "app/colorsetup.h"
#include "app/duplsetup.h"
#include "app/formatsetup.h"
#include "app/gridsetup.h"
#include "app/guidesetup.h"
#include "app/unitsetup.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/lookuparchitect.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/textarchitect.h"
#include "si/textstyle.h"
#include "si/texttag.h"

ZU_IMPLEMENT_CLASS(CSetupDlg, "app/setupdlg", ZU_CLASS_NOT_STORED)
SETUP_EXPORT_HANDLER(CSetupDlg, OnClickTab)

namespace {

// The card stack's margin around the shown card, and its tab row.
const double kCardMargin = 5;
const double kTabSize = 24;

const char* const kTabLabels[CSetupDlg::TABS] = {
    "Format", "Grille", "Guides", "Divers", "Unit\xe9", "Couleurs",
};

// The pane of each tab.
CSetupPaneRef NewPane(int tab)
{
    ZuMemZone* zone = Zuvi_app_zone;
    switch (tab) {
    case 0:
        return ZuNew<CFormatSetup>(zone, __LINE__, ZU_SRC_FILE);
    case 1:
        return ZuNew<CGridSetup>(zone, __LINE__, ZU_SRC_FILE);
    case 2:
        return ZuNew<CGuideSetup>(zone, __LINE__, ZU_SRC_FILE);
    case 3:
        return ZuNew<CDuplSetup>(zone, __LINE__, ZU_SRC_FILE);
    case 4:
        return ZuNew<CUnitSetup>(zone, __LINE__, ZU_SRC_FILE);
    case 5:
        return ZuNew<CColorSetup>(zone, __LINE__, ZU_SRC_FILE);
    default:
        return ZuNew<CSetupPane>(zone, __LINE__, ZU_SRC_FILE);
    }
}

} // namespace

CSetupDlg::CSetupDlg()
{
    panes = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    panes->SetSize(SLOTS);
}

const char* CSetupDlg::TabLabel(int i)
{
    return i >= 0 && i < TABS ? kTabLabels[i] : nullptr;
}

CSetupPaneRef CSetupDlg::RetPane(int i) const
{
    if (i < 0 || i >= SLOTS || panes.IsInvalid())
        return CSetupPaneRef();
    return panes[unsigned(i)];
}

bool CSetupDlg::Create(int x, int y)
{
    if (window.IsValid())
        return true;
    ZuMemZone* zone = Zuvi_app_zone;
    window = ZuNew<ZuWindow>(zone, __LINE__, ZU_SRC_FILE);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("R\xe9glages"));

    ZuTextTagRef label_tag = ZuNew<ZuTextTag>(zone, __LINE__, ZU_SRC_FILE);
    label_tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    label_tag->SetLeftSpace(5.0);
    label_tag->SetRightSpace(5.0);

    for (int i = 0; i < TABS; ++i) {
        CSetupPaneRef pane = NewPane(i);
        panes[unsigned(i)] = pane;
        pane->Build();
    }

    ZuTextArchitectRef text_architect = ZuNew<ZuTextArchitect>(zone, __LINE__, ZU_SRC_FILE);
    text_architect->Initialise(ZuTextTagBaseRef(label_tag));

    ZuDictRef dict = ZuNew<ZuDict>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; i < TABS; ++i)
        dict->Insert(ZuStringRef(kTabLabels[i]), ZuObjectRef(RetPane(i)));
    ZuLookUpArchitectRef lookup = ZuNew<ZuLookUpArchitect>(zone, __LINE__, ZU_SRC_FILE);
    lookup->Initialise(ZuViewArchitectRef(), dict);

    tab_names = ZuNew<ZuList>(zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; i < TABS; ++i)
        tab_names->PushTail(ZuStringRef(kTabLabels[i]));

    // The card stack takes the size its contents need, and the window the
    // stack's with a border of 2: at least 264 x 196, a whole pane under
    // the tab row inside the stack's margin of 5, and a row in which every
    // tab shows its whole label (a tab is its label and 12 wide, and
    // neighbours overlap by 5). Smaller, the pane's right and bottom edges
    // are cut off and squeezed tabs cover each other's labels.
    double stack_dx = 264, stack_dy = 196, row = -5.0 * (TABS - 1);
    for (int i = 0; i < TABS; ++i) {
        double pane_dx = 0, pane_dy = 0, label_dx = 0, label_dy = 0;
        RetPane(i)->GetSize(pane_dx, pane_dy);
        stack_dx = std::max(stack_dx, pane_dx + 2 * kCardMargin);
        stack_dy = std::max(stack_dy, pane_dy + 2 * kCardMargin + kTabSize);
        text_architect->GetViewSize(ZuStringRef(kTabLabels[i]), label_dx, label_dy);
        row += label_dx + 12;
    }
    stack_dx = std::ceil(std::max(stack_dx, row));
    stack_dy = std::ceil(stack_dy);
    window->SetWindowBox(ZuRect(x, y, x + stack_dx + 3, y + stack_dy + 3));

    card_stack = ZuNew<ZuCardStack>(zone, __LINE__, ZU_SRC_FILE);
    card_stack->SetAutoRefreshMode(false);
    card_stack->SetOrigin(2, 2);
    card_stack->SetSize(stack_dx, stack_dy);
    card_stack->Initialise(tab_names, text_architect, lookup, ZU_TAB_LAYOUT_TOP, kTabSize);
    card_stack->SetParent(window);
    card_stack->AttachObserver(ZuObjectRef(this), ZuMultiView::notify_active_changed,
                               ZuAtomRef("OnClickTab"), 0);
    return true;
}

void CSetupDlg::Hide(bool hide)
{
    if (window.IsInvalid())
        return;
    if (hide) {
        window->Hide();
        return;
    }
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
}

void CSetupDlg::SetPageView(const CPageViewRef& view)
{
    for (int i = 0; i < SLOTS; ++i) {
        const CSetupPaneRef pane = RetPane(i);
        if (pane.IsValid())
            pane->SetPageView(view);
    }
}

void CSetupDlg::Update(int topic, int item)
{
    int tab = -1;
    switch (topic) {
    case 1:
        tab = 1;
        break;
    case 2:
        tab = 3;
        break;
    case 3:
        tab = 4;
        break;
    case 4:
        tab = 2;
        break;
    default:
        break;
    }
    if (tab >= 0 && card_stack.IsValid()) {
        card_stack->RefreshActiveView();
        card_stack->ActivateView(unsigned(tab));
        if (window.IsValid())
            window->Display(true);
    }
    for (int i = 0; i < SLOTS; ++i) {
        const CSetupPaneRef pane = RetPane(i);
        if (pane.IsValid())
            pane->Update(topic, item);
    }
}

bool CSetupDlg::OnClickTab()
{
    return true;
}

void CSetupDlg::Delete()
{
    // The panes let the document go first: a pane the card stack no longer
    // holds would otherwise keep it alive past the program's end.
    SetPageView(CPageViewRef());
    // The panes not shown on the card are in no window: each goes itself.
    for (int i = 0; i < SLOTS; ++i) {
        const CSetupPaneRef pane = RetPane(i);
        if (pane.IsValid() && pane->RetParent().IsInvalid())
            pane->Delete();
    }
    if (window.IsValid()) {
        window->Close();
        window->Kill();
    }
    window = ZuWindowRef();
    card_stack = ZuCardStackRef();
    tab_names = ZuListRef();
    if (panes.IsValid())
        panes->RemoveAll();
    panes = CSetupPaneArray();
    ZuObject::Delete();
}
