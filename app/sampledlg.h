// CSampleDlg: the palette "Echantillons". A sample is a named set of copies
// of attribute definitions kept in one of the document's six sample lists;
// the dialog shows the samples of one sample kind ("Trait", "Intérieur",
// "Forme", "Ombre", "Mise en page", "Tout"), previews the selected one,
// applies it to the selection through the attributes dialog ("Utiliser"),
// makes a new sample or refreshes one from what the attributes dialog shows
// ("Créer", "Actualiser"), renames, moves and deletes samples, and reads or
// writes the document's sample file ("Ouvrir", "Enregistrer").
//
// Every change of a list acts at once and marks the document modified;
// opening a sample file replaces the six lists without marking it, and a
// file that cannot be read whole changes no list. A save that fails is
// told in the same message box as a failed document save.
//
// The dialog reads the attributes dialog through IDefDlg and applies a
// sample through IDefDlgUse; without a dialog answering them those steps
// are skipped.
#ifndef LUMBRA_APP_SAMPLEDLG_H
#define LUMBRA_APP_SAMPLEDLG_H

#include "app/button.h"
#include "app/document.h"
#include "app/pageview.h"
#include "app/sampleview.h"
#include "app/scrolllist.h"
#include "si/icon.h"
#include "si/textline.h"
#include "si/window.h"

class IDefDlg;
class IDefDlgUse;

// One sample kind: its button's icon, the pattern of a new sample's name
// and the document list that holds its samples.
struct SampleKind {
    int icon;
    const char* name_pattern;
    int list;
};
// The six sample kinds in button order.
extern const SampleKind SampleKindTable[6];
// The attribute kinds of each sample kind, in the order a sample takes
// them: {attribute kind, sample kind} pairs ended by {-1, -1}.
struct SampleAttribute {
    int kind;
    int sample_kind;
};
extern const SampleAttribute SampleAttributeTable[];

ZU_HANDLE(CSampleDlg, ZuObject)
class CSampleDlg : public ZuObject {
    ZU_CLASS(CSampleDlg, ZuObject)
public:
    enum {
        KINDS = 6,
        KIND_ALL = 5,
        KIND_SLOTS = 10,
        USED_KINDS = 130,
        REDUCED_HEIGHT = 175,
        EXPANDED_HEIGHT = 255,
        WIDTH = 266
    };

    CSampleDlg();

    // Builds the window (266 x 175) at the screen point (x, y), not shown;
    // false, building nothing, when it exists already.
    bool Build(int x, int y);
    // False refreshes the dialog and shows it in front; true hides it.
    void Hide(bool hide);
    // Takes the page view and its document, then the document's list of
    // the current sample kind.
    void SetPageView(const CPageViewRef& view);
    // The attribute kinds of the selection, ended by 0 (the second list is
    // not read): the kind buttons offered follow them.
    void SetUsedKinds(const int* kinds, const int* differing);
    // Fills the list again; with reload, selects the list's current
    // sample. Then the name, the buttons and the preview follow.
    void Update(bool reload);
    // The attributes dialog this dialog works with; an empty handle (the
    // default) means the application's.
    void SetDefDlg(const ZuObjectRef& dialog) { def_dlg = dialog; }

    // Handlers, called by name from the controls; each answers true.
    bool OnButtonDef(const ZuObjectRef& source, unsigned id);
    bool OnScrollList();
    bool OnEditNameChanged();
    bool OnEditFilenameChanged();
    bool OnButtonExpand();
    bool OnButtonPrev();
    bool OnButtonNext();
    bool OnButtonUse();
    bool OnButtonDelete();
    bool OnButtonCreate();
    bool OnButtonUpdate();
    bool OnButtonOpen();
    bool OnButtonSave();
    bool OnClose();

    // The same steps, answering whether they did anything.
    bool SelectKind();
    bool Rename();
    bool Expand();
    bool Move(int step);
    bool Use();
    bool DeleteSelected();
    bool Create();
    bool Refresh(bool update);
    bool OpenFile();
    bool SaveFile();

    // The sample kind of an attribute kind, -1 for none.
    static int SampleKindOf(int kind);

    void Delete() override;

    // The views and state, for tests and the page view.
    const ZuWindowRef& RetWindow() const { return window; }
    const CScrollListRef& RetList() const { return list; }
    const ZuTextLineRef& RetNameField() const { return name_field; }
    const ZuTextLineRef& RetFileField() const { return file_field; }
    const CSampleViewRef& RetPreview() const { return preview; }
    CButtonRef RetKindButton(int i) const;
    enum Button { USE, DELETE, CREATE, UPDATE, OPEN, SAVE, BUTTONS };
    const CButtonRef& RetButton(Button b) const { return buttons[b]; }
    const ZuIconRef& RetExpandIcon() const { return expand_icon; }
    const ZuIconRef& RetUpIcon() const { return up_icon; }
    const ZuIconRef& RetDownIcon() const { return down_icon; }
    const CSampleListRef& RetCurrentList() const { return current_list; }
    int RetCurrentKind() const { return current_kind; }
    bool IsKindEnabled(int i) const { return i >= 0 && i < KIND_SLOTS && enabled[i] != 0; }
    bool IsExpanded() const { return expanded != 0; }

    static ZuAtomRef notify_Modify;

private:
    void RefreshAll();
    void UpdateKindButtons();
    void FillList();
    void UpdateControls();
    void ShowSelectedName();
    void ShowFileName();
    void ShowName(const ZuStringRef& name);
    void DrawPreview();
    ZuRuntimeRef RetPreviewClass() const;
    void SetDocumentModified();
    // Copies into sample `index` of the current list the definitions the
    // attributes dialog shows for the current kind's attribute kinds.
    void TakeDefinitions(int index);
    IDefDlg* RetDefDlg() const;
    IDefDlgUse* RetDefDlgUse() const;
    int Selected() const;
    int Count() const;

    ZuWindowRef window;
    CPageViewRef page_view;
    CDocumentRef document;
    CSampleListRef current_list;
    unsigned char expandable = 1;
    unsigned char expanded = 0;
    unsigned char enabled[KIND_SLOTS];
    unsigned char used[USED_KINDS];
    int current_kind = 0;
    CButtonArray kind_buttons;
    CScrollListRef list;
    ZuTextLineRef name_field;
    ZuTextLineRef file_field;
    ZuIconRef expand_icon;
    ZuIconRef up_icon;
    ZuIconRef down_icon;
    CButtonRef buttons[BUTTONS];
    CSampleViewRef preview;
    ZuObjectRef def_dlg;
};
ZU_CLASS_END(CSampleDlg)

#endif
