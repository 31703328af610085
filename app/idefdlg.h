// IDefDlg: what the attribute panes ask of the attributes dialog: the
// definition it shows for an attribute kind, and the enabling of the pane
// of a kind. The dialog implements it; the panes reach it through the
// application (App::RetDefDlg) and skip every step while there is none.
#ifndef LUMBRA_APP_IDEFDLG_H
#define LUMBRA_APP_IDEFDLG_H

#include "app/def.h"
#include "si/interface.h"

class IDefDlg {
public:
    static const Zuvi_Interface interface;

    // The definition shown for the kind; empty when the dialog has none.
    virtual CDefRef RetDefinition(int kind) = 0;
    // Enables or disables the dialog's pane of the kind; a kind without a
    // pane is skipped.
    virtual void EnablePane(int kind, bool enable) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    IDefDlg() = default;
    IDefDlg(const IDefDlg&) = default;
    IDefDlg& operator=(const IDefDlg&) = default;
    ~IDefDlg() = default;
};

#endif
