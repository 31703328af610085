// IIndexButtons: what a colour pane asks of the attributes dialog after
// each change: that the definition view of its attribute kind rebuild its
// row of index buttons, which show the definition's colours. The dialog
// answers it beside IDefDlg; a pane skips the step while the dialog does
// not.
#ifndef LUMBRA_APP_IINDEXBUTTONS_H
#define LUMBRA_APP_IINDEXBUTTONS_H

#include "si/interface.h"

class ZuObject;

class IIndexButtons {
public:
    static const Zuvi_Interface interface;

    // Rebuilds the index buttons of the definition view of the kind and
    // marks the current index; nothing when the dialog has no such view.
    virtual void UpdateIndexButtons(int kind) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    IIndexButtons() = default;
    IIndexButtons(const IIndexButtons&) = default;
    IIndexButtons& operator=(const IIndexButtons&) = default;
    ~IIndexButtons() = default;
};

#endif
