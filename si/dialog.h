// ZuDialog: one dialog of an application whose window is read from an
// interface file (the application directory, "/iface/", the dialog's name,
// ".oui") rather than built in code. The dialog is the data slot of its
// window: the views reach the application and the dialog through its named
// fields, and every field is reported once after the window is open so the
// views show their first values. All living dialogs form one chain. When no
// window can be read, a plain empty window of fixed size stands in, so that
// an interaction always ends with a window.
#ifndef SI_DIALOG_H
#define SI_DIALOG_H

#include "si/dataslot.h"
#include "si/string.h"
#include "si/window.h"

ZU_HANDLE(ZuDialog, ZuDataSlot)
class ZuDialog : public ZuDataSlot {
    ZU_CLASS(ZuDialog, ZuDataSlot)
public:
    // Links the dialog at the tail of the chain.
    ZuDialog();
    // A linked dialog stops the program.
    ~ZuDialog() override;

    virtual bool GetWindow(ZuWindowRef& out) const;
    virtual bool GetName(ZuAtomRef& out) const;
    // The interface file's path; always true.
    virtual bool GetFileName(ZuStringRef& out) const;
    // Reads the window of the name's interface file (or makes the stand-in
    // window), opens it and reports every field once; always true.
    virtual bool Interaction(const ZuAtomRef& name);
    virtual const ZuWindowRef& RetWindow() const;

    // Leaves the chain and lets the window go. The data slot keeps its
    // fields but for the two the interaction put in, so that the dialog no
    // longer holds itself.
    void Delete() override;

    bool IsFallbackWindow() const { return is_fallback; }

    static ZuDialogRef head;
    static ZuDialogRef tail;

protected:
    // A dialog is never stored; one named by stored bytes is refused as
    // corrupt input.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    void Unlink();
    // The window of the interface file, or an empty handle.
    ZuWindowRef ReadWindow();

    ZuDialogRef next;
    ZuDialogRef prev;
    ZuDataSlotRef data_slot;
    ZuWindowRef window;
    ZuAtomRef name;
    bool is_fallback = false;
};
ZU_CLASS_END(ZuDialog)

#endif
