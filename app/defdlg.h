// CDefDlg: the palette "Attributs" in which the user edits the attribute
// definitions of the selected objects. Its kinds are grouped in five pages
// chosen by a row of tab buttons ("Trait", "Intérieur", "Forme", "Ombre",
// "Mise en page"); each page is a card stack with one card per kind, each
// card a definition view (CDefView). Kind 18, the closed path, is a switch
// of its own ("Tracé fermé").
//
// The application makes one at start-up and hands it the default
// definitions by kind; the selection tells it which kinds are in use and
// which are held with several different definitions; the panes ask it for
// the definition of a kind (IDefDlg) and have a view rebuild its index
// buttons (IIndexButtons); the samples dialog hands it a sample's
// definitions (IDefDlgUse). Changes it makes itself (the closed-path switch,
// the samples dialog) are listed as modified kinds and reported under
// "def" ("notify_Modify" and the property updates); the page view reads
// the list, applies it, draws the page again and clears it.
#ifndef LUMBRA_APP_DEFDLG_H
#define LUMBRA_APP_DEFDLG_H

#include "app/button.h"
#include "app/defview.h"
#include "app/idefdlg.h"
#include "app/idefdlguse.h"
#include "app/iindexbuttons.h"
#include "app/separator.h"
#include "si/button.h"
#include "si/cardstack.h"
#include "si/list.h"
#include "si/switch.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_HANDLE(CDefDlg, ZuObject)
class CDefDlg : public ZuObject, public IDefDlg, public IIndexButtons, public IDefDlgUse {
    ZU_CLASS(CDefDlg, ZuObject)
public:
    enum { PAGES = 10, ENTRIES = 10, SLOTS = 100, MAX_MODIFIED = 100, CLOSED_KIND = 18 };

    CDefDlg();

    // Builds the window (413 x 257) at (x, y), hidden; once: a second call
    // builds nothing. True.
    bool Build(int x, int y);
    // The kinds the selection uses and those it holds with several
    // different definitions, each list ended by 0 (either may be null).
    void SetUsedKinds(const int* used, const int* several);
    // The text beside the tab buttons; empty: "Aucun objet sélectionné".
    void SetSelectionInfo(const ZuStringRef& text);
    // False shows the window in front, true hides it.
    void Hide(bool hide);
    // Kind 18 sets the switch from a closed-path definition; any other kind
    // goes to its view. False for a kind the dialog has no view of.
    bool SetDefinition(int kind, const CDefRef& def) override;
    // The definition shown for the kind (kind 18: a new closed-path
    // definition of the switch's state); empty for a kind not shown.
    CDefRef RetDefinition(int kind) override;
    // Enables or disables the view of a kind; nothing for a kind not shown.
    void EnablePane(int kind, bool enable) override;
    // Whether the dialog has a view of the kind (what EnablePane acts on).
    bool HasPane(int kind) const { return FindSlot(kind) >= 0; }
    // The view of a kind, or empty.
    CDefViewRef RetPane(int kind) const;
    void UpdateIndexButtons(int kind) override;
    void Redisplay();

    // The modified kinds: each kind is listed once, at most MAX_MODIFIED.
    void AddModifiedKind(int kind) override;
    void ClearModifiedKinds();
    void RetModifiedKinds(const int** list, int* count) const;
    // Reports "notify_Modify" and, for a property change, the full or quick
    // update, asynchronously under "def".
    void NotifyChange(bool property, bool full) override;

    // The dialog's reports reach the page view under "def".
    ZuAtomRef RetUserName() override;
    void Delete() override;

    bool OnClickDef(const ZuObjectRef& button, unsigned id);
    bool OnClickCloseSwitch(const ZuObjectRef& source, unsigned id);
    bool OnClickTab(const ZuObjectRef& source, unsigned id);

    // What tests and the page view look at.
    const ZuWindowRef& RetWindow() const { return window; }
    int RetCurrentPage() const { return current_page; }
    int RetCurrentEntry(int page) const;
    CButtonRef RetTabButton(int page) const;
    ZuCardStackRef RetCardStack(int page) const;
    const ZuSwitchRef& RetCloseSwitch() const { return close_switch; }
    const ZuButtonRef& RetSeveralButton() const { return several_button; }
    const ZuTextTagRef& RetInfoTag() const { return info_tag; }
    const CSeparatorRef& RetInfoSeparator() const { return separator; }
    bool IsUsed(int kind) const;
    bool IsSeveral(int kind) const;
    // The kind of a slot (page x 10 + entry), 0 where none.
    int RetSlotKind(int slot) const;
    // The card label of a page's entry, or null; the tab label of a page.
    static const char* CardLabel(int page, int entry);
    static int TabIcon(int page);

    static ZuAtomRef notify_Modify;
    static ZuAtomRef notify_UpdateFullProperty;
    static ZuAtomRef notify_UpdateQuickProperty;

private:
    int FindSlot(int kind) const;
    void ShowPage(int page);
    void MakeEntryValid();
    void UpdateSeveralButton();
    // The entry of the n-th visible card of a page; 0 when none matches.
    int EntryOfCard(int page, unsigned card) const;

    ZuWindowRef window;
    CButtonRef tab_buttons[PAGES];
    CSeparatorRef separator;
    ZuTextTagRef info_tag;
    ZuSwitchRef close_switch;
    ZuButtonRef several_button;
    ZuCardStackRef card_stacks[PAGES];
    ZuListRef card_labels[PAGES];
    CDefViewRef views[SLOTS];
    bool used[SLOTS];
    bool several[SLOTS];
    int kinds[SLOTS];
    int current_entry[PAGES];
    int current_page = 0;
    int modified_count = 0;
    int modified[MAX_MODIFIED];
    bool ready = true;
};
ZU_CLASS_END(CDefDlg)

#endif
