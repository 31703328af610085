#include "app/defdlg.h"

#include "app/closedef.h"
#include "app/commands.h"
#include "si/app.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/icon.h"
#include "si/lookuparchitect.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/textarchitect.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CDefDlg, "app/defdlg", ZU_CLASS_NOT_STORED)
ZU_IMPLEMENT_INTERFACE(CDefDlg, IDefDlg)
ZU_IMPLEMENT_INTERFACE(CDefDlg, IIndexButtons)
ZU_IMPLEMENT_INTERFACE(CDefDlg, IDefDlgUse)
ZU_EXPORT_NOTIFY(CDefDlg, modify, "notify_Modify", &CDefDlg::notify_Modify)
ZU_EXPORT_NOTIFY(CDefDlg, update_full, "notify_UpdateFullProperty",
                 &CDefDlg::notify_UpdateFullProperty)
ZU_EXPORT_NOTIFY(CDefDlg, update_quick, "notify_UpdateQuickProperty",
                 &CDefDlg::notify_UpdateQuickProperty)
ZU_EXPORT_NOTIFY(CDefDlg, def, "def", nullptr)
ZU_EXPORT_OBSERVER(CDefDlg, OnClickDef)
ZU_EXPORT_OBSERVER(CDefDlg, OnClickCloseSwitch)
ZU_EXPORT_OBSERVER(CDefDlg, OnClickTab)
ZU_EXPORT_NOTIFY(CDefDlg, OnClickDef, "OnClickDef", nullptr)
ZU_EXPORT_NOTIFY(CDefDlg, OnClickCloseSwitch, "OnClickCloseSwitch", nullptr)
ZU_EXPORT_NOTIFY(CDefDlg, OnClickTab, "OnClickTab", nullptr)

ZuAtomRef CDefDlg::notify_Modify;
ZuAtomRef CDefDlg::notify_UpdateFullProperty;
ZuAtomRef CDefDlg::notify_UpdateQuickProperty;

namespace {

const char* const kFile = "defdlg";

// The attribute kinds by page: the tab's icon (its picture and label),
// the extra width after the tab, and the cards {label, kind, definition
// type}, a kind of 0 ending the page; a tab icon of -1 ends the table.
struct KindEntry {
    char label[20];
    unsigned kind;
    unsigned type;
};
struct PageRecord {
    int icon;
    int extra_width;
    KindEntry entries[CDefDlg::ENTRIES];
};

const PageRecord kPages[] = {
    {32,
     0,
     {{"Trait", 10, 10},
      {"Couleur", 15, 20},
      {"Pinceau", 11, 11},
      {"Evolution", 12, 12},
      {"", 0, 0}}},
    {33,
     0,
     {{"Motif", 20, 30},
      {"Couleur", 25, 20},
      {"Pinceau", 21, 11},
      {"Evolution", 22, 12},
      {"", 0, 0}}},
    {35,
     0,
     {{"Polygone", 50, 40},
      {"Arc", 51, 41},
      {"D\xe9part", 40, 60},
      {"Arriv\xe9"
       "e",
       41, 60},
      {"Coins", 30, 50},
      {"Int\xe9rieur", 31, 50},
      {"", 0, 0}}},
    {34,
     0,
     {{"Position", 100, 70},
      {"Couleur", 105, 20},
      {"Motif", 101, 30},
      {"Pinceau", 102, 11},
      {"", 0, 0}}},
    {36, 0, {{"Police", 120, 80}, {"Couleur", 125, 20}, {"", 0, 0}}},
    {-1, 0, {{"", 0, 0}}},
};

// The order in which another page is chosen when the current one loses
// its kinds.
const int kFallback[CDefDlg::PAGES] = {0, 1, 2, 4, 3, 5, 6, 7, 8, 9};

int PageCount()
{
    int n = 0;
    while (n < CDefDlg::PAGES && kPages[n].icon != -1)
        ++n;
    return n;
}

} // namespace

CDefDlg::CDefDlg()
{
    for (int i = 0; i < SLOTS; ++i) {
        used[i] = false;
        several[i] = false;
        kinds[i] = 0;
    }
    for (int& e : current_entry)
        e = 0;
    for (int& k : modified)
        k = 0;
}

const char* CDefDlg::CardLabel(int page, int entry)
{
    if (page < 0 || page >= PageCount() || entry < 0 || entry >= ENTRIES)
        return nullptr;
    for (int e = 0; e <= entry; ++e)
        if (kPages[page].entries[e].kind == 0)
            return nullptr;
    return kPages[page].entries[entry].label;
}

int CDefDlg::TabIcon(int page)
{
    return page >= 0 && page < PageCount() ? kPages[page].icon : -1;
}

bool CDefDlg::Build(int x, int y)
{
    if (window.IsValid())
        return true;
    ready = false;
    ZuMemZone* zone = Zuvi_app_zone;
    const ZuObjectRef self(this);
    window = ZuNew<ZuWindow>(zone, __LINE__, kFile);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetWindowBox(ZuRect(x, y, x + 412, y + 256));
    window->SetTitle(ZuStringRef("Attributs"));

    const int pages = PageCount();
    double px = 4;
    for (int p = 0; p < pages; ++p) {
        NewIconButton(tab_buttons[p], window, px, 4, 23, 23, 100 + p, kPages[p].icon);
        tab_buttons[p]->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickDef"), 0);
        px += 23 + kPages[p].extra_width;
    }

    separator = ZuNew<CSeparator>(zone, __LINE__, kFile);
    separator->SetOrigin(px, 8);
    separator->SetSize(7, 14);
    separator->SetStyle(49u);
    px += 13;

    info_tag = ZuNew<ZuTextTag>(zone, __LINE__, kFile);
    // The text runs up to the closed-path switch, so that the whole of
    // "Aucun objet sélectionné" shows.
    info_tag->SetOrigin(px, 4);
    info_tag->SetSize(284 - px, 23);
    info_tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    info_tag->SetText(ZuStringRef("Aucun objet s\xe9lectionn\xe9"));
    info_tag->SetParent(window);

    close_switch = ZuNew<ZuSwitch>(zone, __LINE__, kFile);
    close_switch->SetOrigin(286, 4);
    close_switch->SetSize(100, 23);
    close_switch->SetTitle(ZuStringRef("Trac\xe9 ferm\xe9"));
    close_switch->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickCloseSwitch"),
                                 0);

    several_button = ZuNew<ZuButton>(zone, __LINE__, kFile);
    several_button->SetOrigin(386, 4);
    several_button->SetSize(23, 23);
    several_button->SetToolTip(ZuStringRef("Plusieurs d\xe9"
                                           "finitions diff\xe9rentes"));
    several_button->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    ZuIconRef icon = ZuNew<ZuIcon>(zone, __LINE__, kFile);
    icon->Initialise(ZuAtomRef(IconImageName(72)), true);
    several_button->SetContents(icon);

    CSeparatorRef line = ZuNew<CSeparator>(zone, __LINE__, kFile);
    line->SetOrigin(0, 28);
    line->SetSize(413, 4);
    line->SetParent(window);
    for (int i = 0; i < SLOTS; ++i)
        kinds[i] = 0;
    for (int& e : current_entry)
        e = 0;

    for (int p = 0; p < pages; ++p)
        for (int e = 0; e < ENTRIES && kPages[p].entries[e].kind != 0; ++e) {
            const KindEntry& entry = kPages[p].entries[e];
            CDefViewRef view = ZuNew<CDefView>(zone, __LINE__, kFile);
            view->SetSize(405, 196);
            view->Create(int(entry.type), int(entry.kind), 39, 57);
            views[p * ENTRIES + e] = view;
            kinds[p * ENTRIES + e] = int(entry.kind);
        }

    ZuTextTagRef label_tag = ZuNew<ZuTextTag>(zone, __LINE__, kFile);
    label_tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    label_tag->SetLeftSpace(5.0);
    label_tag->SetRightSpace(5.0);
    for (int p = 0; p < pages; ++p) {
        card_labels[p] = ZuNew<ZuList>(zone, __LINE__, kFile);
        ZuDictRef dict = ZuNew<ZuDict>(zone, __LINE__, kFile);
        for (int e = 0; e < ENTRIES && kPages[p].entries[e].kind != 0; ++e) {
            const ZuStringRef label(kPages[p].entries[e].label);
            card_labels[p]->PushTail(label);
            dict->Insert(label, ZuObjectRef(views[p * ENTRIES + e]));
        }
        ZuTextArchitectRef text_architect = ZuNew<ZuTextArchitect>(zone, __LINE__, kFile);
        text_architect->Initialise(ZuTextTagBaseRef(label_tag));
        ZuLookUpArchitectRef lookup = ZuNew<ZuLookUpArchitect>(zone, __LINE__, kFile);
        lookup->Initialise(ZuViewArchitectRef(), dict);
        ZuCardStackRef stack = ZuNew<ZuCardStack>(zone, __LINE__, kFile);
        stack->SetAutoRefreshMode(false);
        stack->SetOrigin(2, 33);
        stack->SetSize(409, 222);
        stack->Initialise(card_labels[p], text_architect, lookup, ZU_TAB_LAYOUT_TOP, 24.0);
        stack->AttachObserver(self, ZuMultiView::notify_active_changed, ZuAtomRef("OnClickTab"), 0);
        card_stacks[p] = stack;
        // Each card is shown once so that its panes take their places.
        stack->SetParent(window);
        for (int e = 0; e < ENTRIES && kPages[p].entries[e].kind != 0; ++e) {
            stack->ActivateView(unsigned(e));
            stack->RefreshActiveView();
            views[p * ENTRIES + e]->PlacePanes();
        }
        stack->SetParent(ZuViewRef());
    }

    ShowPage(0);
    ready = true;
    return true;
}

int CDefDlg::FindSlot(int kind) const
{
    if (kind == 0)
        return -1;
    for (int i = 0; i < SLOTS; ++i)
        if (kinds[i] == kind && views[i].IsValid())
            return i;
    return -1;
}

int CDefDlg::RetCurrentEntry(int page) const
{
    return page >= 0 && page < PAGES ? current_entry[page] : 0;
}

CButtonRef CDefDlg::RetTabButton(int page) const
{
    return page >= 0 && page < PAGES ? tab_buttons[page] : CButtonRef();
}

ZuCardStackRef CDefDlg::RetCardStack(int page) const
{
    return page >= 0 && page < PAGES ? card_stacks[page] : ZuCardStackRef();
}

bool CDefDlg::IsUsed(int kind) const
{
    const int slot = FindSlot(kind);
    return slot >= 0 && used[slot];
}

bool CDefDlg::IsSeveral(int kind) const
{
    const int slot = FindSlot(kind);
    return slot >= 0 && several[slot];
}

int CDefDlg::RetSlotKind(int slot) const
{
    return slot >= 0 && slot < SLOTS ? kinds[slot] : 0;
}

void CDefDlg::ShowPage(int page)
{
    current_page = page;
    for (int p = 0; p < PAGES; ++p)
        if (tab_buttons[p].IsValid())
            SetViewOn(tab_buttons[p], p == page ? 1 : 0);
    for (const ZuCardStackRef& stack : card_stacks)
        if (stack.IsValid() && stack->RetParent().IsValid())
            stack->SetParent(ZuViewRef());
    if (page >= 0 && page < PAGES && card_stacks[page].IsValid()) {
        const ZuCardStackRef stack = card_stacks[page];
        stack->SetParent(window);
        const ZuListRef& labels = card_labels[page];
        labels->RemoveAll();
        unsigned before = 0;
        for (int e = 0; e < ENTRIES; ++e) {
            const int slot = page * ENTRIES + e;
            if (kinds[slot] == 0 || !used[slot])
                continue;
            labels->PushTail(ZuStringRef(kPages[page].entries[e].label));
            if (e < current_entry[page])
                ++before;
        }
        stack->DiscardTabGeometry();
        stack->RefreshActiveView();
        stack->ActivateView(before);
    }
    if (window.IsValid())
        window->Display(true);
}

int CDefDlg::EntryOfCard(int page, unsigned card) const
{
    unsigned n = 0;
    for (int e = 0; e < ENTRIES; ++e) {
        const int slot = page * ENTRIES + e;
        if (kinds[slot] == 0 || !used[slot])
            continue;
        if (n == card)
            return e;
        ++n;
    }
    return 0;
}

void CDefDlg::MakeEntryValid()
{
    const int page = current_page;
    if (page < 0 || page >= PAGES)
        return;
    if (used[page * ENTRIES + current_entry[page]])
        return;
    for (int e = 0; e < ENTRIES; ++e)
        if (used[page * ENTRIES + e]) {
            current_entry[page] = e;
            return;
        }
    for (int p : kFallback)
        if (used[p * ENTRIES]) {
            current_page = p;
            current_entry[p] = 0;
            return;
        }
}

void CDefDlg::UpdateSeveralButton()
{
    if (several_button.IsInvalid() || window.IsInvalid())
        return;
    const int page = current_page;
    const bool show = page >= 0 && page < PAGES && several[page * ENTRIES + current_entry[page]];
    if (show && several_button->RetParent().IsInvalid()) {
        several_button->SetParent(window);
        several_button->Display(true);
    } else if (!show && several_button->RetParent().IsValid()) {
        several_button->SetParent(ZuViewRef());
        window->Display(true);
    }
}

void CDefDlg::SetUsedKinds(const int* used_kinds, const int* several_kinds)
{
    for (int i = 0; i < SLOTS; ++i) {
        used[i] = false;
        several[i] = false;
    }
    bool closed_path = false;
    // Each list ends at its 0; a kind the table lacks is passed over.
    if (used_kinds != nullptr)
        for (const int* k = used_kinds; *k != 0; ++k) {
            if (*k == CLOSED_KIND)
                closed_path = true;
            for (int i = 0; i < SLOTS; ++i)
                if (kinds[i] == *k)
                    used[i] = true;
        }
    if (several_kinds != nullptr)
        for (const int* k = several_kinds; *k != 0; ++k)
            for (int i = 0; i < SLOTS; ++i)
                if (kinds[i] == *k)
                    several[i] = true;
    if (window.IsInvalid())
        return;
    for (int p = 0; p < PAGES; ++p) {
        if (tab_buttons[p].IsInvalid())
            continue;
        bool any = false;
        for (int e = 0; e < ENTRIES; ++e)
            any = any || used[p * ENTRIES + e];
        if (any && tab_buttons[p]->RetParent().IsInvalid())
            tab_buttons[p]->SetParent(window);
        else if (!any && tab_buttons[p]->RetParent().IsValid())
            tab_buttons[p]->SetParent(ZuViewRef());
    }
    if (closed_path && close_switch->RetParent().IsInvalid())
        close_switch->SetParent(window);
    else if (!closed_path && close_switch->RetParent().IsValid())
        close_switch->SetParent(ZuViewRef());
    window->Display(true);
    MakeEntryValid();
    ShowPage(current_page);
    UpdateSeveralButton();
}

void CDefDlg::SetSelectionInfo(const ZuStringRef& text)
{
    if (info_tag.IsInvalid())
        return;
    const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
    if (latin == nullptr || latin[0] == '\0') {
        info_tag->SetText(ZuStringRef("Aucun objet s\xe9lectionn\xe9"));
        separator->SetParent(ZuViewRef());
    } else {
        info_tag->SetText(text);
        separator->SetParent(window);
    }
    window->Display(true);
}

void CDefDlg::Hide(bool hide)
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

bool CDefDlg::SetDefinition(int kind, const CDefRef& def)
{
    if (kind == CLOSED_KIND) {
        if (close_switch.IsInvalid() || def.IsInvalid() ||
            !def->IsKindOf(CCloseDefRef::RetRuntime()))
            return false;
        close_switch->SetSwitchState(CCloseDefRef(ZuObjectRef(def))->GetClosed());
        close_switch->Display(true);
        return true;
    }
    const int slot = FindSlot(kind);
    if (slot < 0)
        return false;
    views[slot]->SetDefinition(def);
    return true;
}

CDefRef CDefDlg::RetDefinition(int kind)
{
    if (kind == CLOSED_KIND) {
        CCloseDefRef closed = ZuNew<CCloseDef>(Zuvi_app_zone, __LINE__, kFile);
        closed->SetClosed(close_switch.IsValid() && close_switch->RetSwitchState());
        return CDefRef(ZuObjectRef(closed));
    }
    const int slot = FindSlot(kind);
    if (slot < 0)
        return CDefRef();
    if (several[slot]) {
        several[slot] = false;
        UpdateSeveralButton();
    }
    return views[slot]->RetDefinition();
}

void CDefDlg::EnablePane(int kind, bool enable)
{
    const int slot = FindSlot(kind);
    if (slot >= 0)
        views[slot]->SetEnable(enable);
}

CDefViewRef CDefDlg::RetPane(int kind) const
{
    const int slot = FindSlot(kind);
    return slot >= 0 ? views[slot] : CDefViewRef();
}

void CDefDlg::UpdateIndexButtons(int kind)
{
    const int slot = FindSlot(kind);
    if (slot >= 0)
        views[slot]->UpdateIndexButtons();
}

void CDefDlg::Redisplay()
{
    if (window.IsValid())
        window->Display(true);
}

void CDefDlg::AddModifiedKind(int kind)
{
    // Each kind once; a full list takes no more (the page view applies
    // the list and clears it after every report).
    for (int i = 0; i < modified_count; ++i)
        if (modified[i] == kind)
            return;
    if (modified_count < MAX_MODIFIED)
        modified[modified_count++] = kind;
}

void CDefDlg::ClearModifiedKinds()
{
    modified_count = 0;
}

void CDefDlg::RetModifiedKinds(const int** list, int* count) const
{
    if (list != nullptr)
        *list = modified;
    if (count != nullptr)
        *count = modified_count;
}

void CDefDlg::NotifyChange(bool property, bool full)
{
    const ZuAppRef& app = ZuApp::Current();
    if (!app.IsValid())
        return;
    const ZuObjectRef self(this);
    const ZuAtomPathRef path("def");
    app->ReportAsync(self, notify_Modify, path);
    if (property)
        app->ReportAsync(self, full ? notify_UpdateFullProperty : notify_UpdateQuickProperty, path);
}

ZuAtomRef CDefDlg::RetUserName()
{
    return ZuAtomRef("def");
}

bool CDefDlg::OnClickDef(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int page = ZuViewRef(source)->RetUserTag() - 100;
    if (page < 0 || page >= PAGES)
        return false;
    current_page = page;
    MakeEntryValid();
    ShowPage(current_page);
    UpdateSeveralButton();
    OnClickTab(ZuObjectRef(), 0);
    return true;
}

bool CDefDlg::OnClickTab(const ZuObjectRef&, unsigned)
{
    if (!ready)
        return true;
    const int page = current_page;
    if (page >= 0 && page < PAGES && card_stacks[page].IsValid()) {
        const int entry = EntryOfCard(page, card_stacks[page]->RetActiveView());
        current_entry[page] = entry;
        const CDefViewRef view = views[page * ENTRIES + entry];
        if (view.IsValid()) {
            view->UpdatePane();
            view->UpdateIndexButtons();
        }
    }
    UpdateSeveralButton();
    return true;
}

bool CDefDlg::OnClickCloseSwitch(const ZuObjectRef&, unsigned)
{
    AddModifiedKind(CLOSED_KIND);
    NotifyChange(false, false);
    return true;
}

void CDefDlg::Delete()
{
    // What no window holds goes by itself: the stacks and controls left out
    // of the window, then the window with the rest, then the cards, which
    // the card stacks never delete.
    for (ZuCardStackRef& stack : card_stacks) {
        if (stack.IsValid() && stack->RetParent().IsInvalid())
            stack->Delete();
        stack = ZuCardStackRef();
    }
    for (CButtonRef& tab : tab_buttons) {
        if (tab.IsValid() && tab->RetParent().IsInvalid())
            tab->Delete();
        tab = CButtonRef();
    }
    if (close_switch.IsValid() && close_switch->RetParent().IsInvalid())
        close_switch->Delete();
    if (several_button.IsValid() && several_button->RetParent().IsInvalid())
        several_button->Delete();
    if (separator.IsValid() && separator->RetParent().IsInvalid())
        separator->Delete();
    if (window.IsValid()) {
        window->Close();
        window->Kill();
    }
    window = ZuWindowRef();
    for (CDefViewRef& view : views) {
        if (view.IsValid())
            view->Delete();
        view = CDefViewRef();
    }
    for (ZuListRef& labels : card_labels)
        labels = ZuListRef();
    close_switch = ZuSwitchRef();
    several_button = ZuButtonRef();
    separator = CSeparatorRef();
    info_tag = ZuTextTagRef();
    ZuObject::Delete();
}
