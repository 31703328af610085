// IDefDlgUse: what the samples dialog asks of the attributes dialog when a
// sample is used: take a definition for an attribute kind, note the kind
// as modified, and report the change to the page view ("notify_Modify",
// which applies the modified kinds to the selection and draws the page
// again). The dialog answers it beside IDefDlg; while it does not, using a
// sample changes nothing.
#ifndef LUMBRA_APP_IDEFDLGUSE_H
#define LUMBRA_APP_IDEFDLGUSE_H

#include "app/def.h"
#include "si/interface.h"

class IDefDlgUse {
public:
    static const Zuvi_Interface interface;

    // The definition shown from now on for the kind; false when the
    // dialog has no view of the kind.
    virtual bool SetDefinition(int kind, const CDefRef& def) = 0;
    // Adds the kind to the kinds the page view applies on the next
    // "notify_Modify".
    virtual void AddModifiedKind(int kind) = 0;
    // Reports "notify_Modify" asynchronously (and, with property, the
    // property update, full or quick).
    virtual void NotifyChange(bool property, bool full) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    IDefDlgUse() = default;
    IDefDlgUse(const IDefDlgUse&) = default;
    IDefDlgUse& operator=(const IDefDlgUse&) = default;
    ~IDefDlgUse() = default;
};

#endif
