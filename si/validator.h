// ZuValidator: gathers the verdicts of the checkers that watch the input
// fields of a dialog. It is valid while no checker reports its text as
// invalid, announces each change of that overall verdict with
// "notify_validated" and "notify_invalidated", and can switch objects (the
// confirming button of a dialog) on and off through the actions "SetEnable"
// and "SetDisable".
#ifndef SI_VALIDATOR_H
#define SI_VALIDATOR_H

#include "si/basecontroller.h"
#include "si/icontainer.h"
#include "si/list.h"

ZU_FORWARD(ZuChecker)

ZU_HANDLE(ZuValidator, ZuBaseController)

class ZuValidator : public ZuBaseController, public ZuiContainer {
    ZU_CLASS(ZuValidator, ZuBaseController)
public:
    ZuValidator();

    // Called by a checker after each check that changed its verdict. The
    // first call after construction or restoring always announces the
    // overall verdict; later calls announce only changes.
    virtual void NotifyValidityChange(const ZuCheckerRef& checker, bool valid);
    // True while no checker is invalid.
    virtual bool IsValid() const;
    // Attaches object for "notify_validated" with the action "SetEnable" and
    // for "notify_invalidated" with "SetDisable"; Detach removes both.
    virtual bool AttachAutoEnable(const ZuObjectRef& object);
    virtual bool DetachAutoEnable(const ZuObjectRef& object);

    // ZuiContainer: the invalid checkers.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

    static ZuAtomRef notify_validated;
    static ZuAtomRef notify_invalidated;

protected:
    // The controller's part, then "<ZuValidator invalid_checkers>", begin,
    // the list, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuListRef& Checkers();

    ZuListRef invalid_checkers;
    bool reported;
};
ZU_CLASS_END(ZuValidator)

#endif
