// CDefPane: the base of every attribute pane, a 370 x 196 view that edits
// one attribute definition. Each edit is written into the definition, the
// kind is appended to the pane's code list, and the change is reported to
// the application as "def.notify_Modify" (and, for property updates,
// "def.notify_UpdateFullProperty" or "def.notify_UpdateQuickProperty").
// The page view reads the code list through GetCodes, applies those kinds
// to the selection (or to the object being drawn), draws the page again and
// clears the list.
//
// The plain pane (this class alone) says "(aucune définition)" and offers
// the "Fermer" button, which closes the pane's window.
//
// A pane reaches the attributes dialog through the application; while the
// application has none (or a dialog that does not answer IDefDlg), the
// steps that need it are skipped.
#ifndef LUMBRA_APP_DEFPANE_H
#define LUMBRA_APP_DEFPANE_H

#include "app/def.h"
#include "app/textlinearrow.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/texttag.h"
#include "si/view.h"

class IDefDlg;

ZU_HANDLE(CDefPane, ZuView)

class CDefPane : public ZuView {
    ZU_CLASS(CDefPane, ZuView)
public:
    enum { kMaxCodes = 10 };

    CDefPane();

    // The user name of every pane: "def".
    const ZuAtomRef& RetUserName() const override;

    virtual bool Create(int kind);
    virtual void BuildControls(int x, int y);
    virtual bool SetValue(int value);
    virtual int GetValue();
    virtual bool SetDef(const CDefRef& def);
    virtual bool IsColorPane();
    virtual void UpdateDlgEnable();
    virtual void RegisterCodes();
    virtual void Update();
    virtual void Refresh();
    virtual void ClearCodes();
    // Appends a kind not yet listed; answers the count before the call. A
    // full list takes no more kinds.
    virtual int AddCode(int kind);
    virtual void GetCodes(int** list, int* count);
    virtual void NotifyChange(bool property_update, bool full);
    virtual void DrawSampleBack(const ZuGrailPortRef& port, int sample_value);
    virtual void DrawSampleFront(const ZuGrailPortRef& port, int sample_value);
    virtual void SampleKeyDown(const ZuEventRef& event, int sample_value);
    virtual void SampleMotionNotify(const ZuEventRef& event, int sample_value);
    virtual void SampleButtonPress(const ZuEventRef& event, int sample_value);
    virtual void SampleButtonRelease(const ZuEventRef& event, int sample_value);
    virtual void SampleDragNotify(const ZuEventRef& event, int sample_value);
    virtual void SampleEnterNotify(const ZuEventRef& event, int sample_value);
    virtual void SampleLeaveNotify(const ZuEventRef& event, int sample_value);

    int RetKind() const { return kind; }

    // Handler bound to the "Fermer" button: closes the pane's window.
    bool OnClose(const ZuObjectRef& source, unsigned id);

    // The attributes dialog the panes reach: the application's when it
    // answers IDefDlg, else the one set here (null: none).
    static IDefDlg* RetDefDlg();
    static void SetFallbackDefDlg(const ZuObjectRef& dialog);

    static ZuAtomRef notify_Modify;
    static ZuAtomRef notify_UpdateFullProperty;
    static ZuAtomRef notify_UpdateQuickProperty;

protected:
    // Takes `other` into `held` when it is a definition of the pane's own
    // class; anything else (or nothing) is refused and `held` kept.
    template <class Ref>
    static bool TakeDef(const CDefRef& other, Ref& held)
    {
        if (!other.IsValid() || !other->IsKindOf(Ref::RetRuntime()))
            return false;
        held = Ref(ZuObjectRef(other));
        return true;
    }

    // A label of the panes: a text tag at (x, y) of the size, the text
    // placed left and vertically centred, set into parent.
    ZuViewRef NewLabel(const ZuViewRef& parent, double x, double y, double dx, double dy,
                       const char* text);
    // A numeric entry set into parent, laid out with its parts, whose
    // typed changes call the pane's handler.
    CTextLineArrowRef NewEntry(const ZuViewRef& parent, double x, double y, double dx, double dy,
                               int unit, bool slider, unsigned slider_style, const char* handler);
    // The two labelled value entries of the panes that edit a row of one
    // or two values, in box at the pane's (x, y): each label sits above its
    // entry, and typed changes call "OnEdit1Change" and "OnEdit2Change".
    void NewValueEntries(const ZuViewRef& box, double x, double y, ZuTextTagRef& label1,
                         CTextLineArrowRef& entry1, ZuTextTagRef& label2,
                         CTextLineArrowRef& entry2);
    // Shows view in parent (a valid parent) or hides it (an invalid one).
    // Places are window places, carried along only by a parent: a hidden
    // view keeps its place relative to this pane, so that it comes back
    // beside its neighbours wherever the pane has been moved meanwhile.
    void PutInto(const ZuViewRef& view, const ZuViewRef& parent);
    // A titled group of controls named name (radio buttons group by their
    // parent's name): a box view showing the title in its frame (a plain
    // view with the title as a label, should no box be made).
    ZuViewRef NewGroup(double x, double y, double dx, double dy, const char* name,
                       const char* title);

    int kind = 0;
    int code_count = 0;
    int codes[kMaxCodes] = {};
};
ZU_CLASS_END(CDefPane)

#endif
