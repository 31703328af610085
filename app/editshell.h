// IEditShell: what the editing engine (CSelectObject) asks of the program's
// shell: the availability and check marks of named commands, the two
// clipboards, the attributes and samples dialogs, the properties dialog,
// the tool palette and the pages and layers palettes. The shell that owns these sets itself with SetEditShell
// when it starts and takes itself back before it goes; until then every
// question gets the answer of a shell that has none of them (this class's
// own): commands change nothing, the clipboards are empty, the dialog is
// hidden, the attributes dialog holds no definition and takes none, tool
// states are 0 and the palettes are missing.
#ifndef LUMBRA_APP_EDITSHELL_H
#define LUMBRA_APP_EDITSHELL_H

#include "app/misc.h"
#include "si/object.h"

ZU_FORWARD(CDef)
ZU_FORWARD(CGraObject)
ZU_FORWARD(CSelectObject)
ZU_FORWARD(CTree)

class IEditShell {
public:
    // Availability of a named command ("Undo", "ClipboardPaste"...).
    virtual void EnableCommand(const char* command, bool enabled);
    // Check mark of a named command ("SwapGrid"...).
    virtual void SetCommandCheck(const char* command, bool checked);
    // Whether the object clipboard holds a tree.
    virtual bool HasClipboardTree() const;
    // The object clipboard: a tree whose root's children hold copies of
    // cut or copied objects; empty when nothing was cut or copied. Setting
    // it replaces the tree held before.
    virtual CTreeRef RetClipboard() const;
    virtual void SetClipboard(CTreeRef tree);
    // Whether the text clipboard holds a text.
    virtual bool HasClipboardText() const;
    virtual bool IsPropertyDlgVisible() const;
    // Hands the properties dialog the selection and, with exactly one
    // selected object, that object (empty otherwise).
    virtual void ShowSelectionProperties(const CSelectObjectRef& selection,
                                         const CGraObjectRef& single);
    // The properties dialog follows an object being dragged: its values at
    // the page position.
    virtual void RefreshObjectProperties(const CGraObjectRef& object, const DPoint& position,
                                         int option);
    // The attributes dialog's current definition of an attribute kind made
    // the given one; false when the dialog has no view of the kind.
    virtual bool SetCurrentDefinition(int kind, const CDefRef& def);
    // The attributes dialog's current definition of the kind; empty when
    // it has none.
    virtual CDefRef RetCurrentDefinition(int kind) const;
    virtual void RedisplayDefinitions();
    // The attribute kinds in use and those whose definitions differ among
    // the selected objects, each list ended by 0, for the attributes
    // dialog and for the samples dialog.
    virtual void SetDefDlgUsedKinds(const int* used, const int* differing);
    virtual void SetSampleDlgUsedKinds(const int* used, const int* differing);
    // The tool palette's state word for a tool code; 0 when none has it.
    virtual int GetToolState(int code) const;
    // The pages and the layers palettes brought in line with the
    // selection's view settings.
    virtual void UpdatePageDialog(const CSelectObjectRef& selection);
    virtual void UpdateLayerDialog(const CSelectObjectRef& selection);

protected:
    IEditShell() = default;
    IEditShell(const IEditShell&) = default;
    IEditShell& operator=(const IEditShell&) = default;
    ~IEditShell() = default;
};

// The shell the editing engine asks; null: the one that has nothing.
void SetEditShell(IEditShell* shell);
IEditShell& RetEditShell();

#endif
