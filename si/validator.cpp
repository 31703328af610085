#include "si/validator.h"

#include "si/checker.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/validator";

// The actions that switch an attached object on and off.
ZuAtomRef EnableAction()
{
    return ZuAtomRef("SetEnable");
}

ZuAtomRef DisableAction()
{
    return ZuAtomRef("SetDisable");
}

ZuStorageSync& ValidatorRecord()
{
    static ZuStorageSync record("<ZuValidator invalid_checkers>");
    return record;
}

ZuListRef NewList()
{
    return ZuListRef(ZuNew<ZuList>(Zuvi_app_zone, __LINE__, kFile));
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuValidator, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuValidator, ZuiContainer)

ZuAtomRef ZuValidator::notify_validated;
ZuAtomRef ZuValidator::notify_invalidated;
ZU_EXPORT_NOTIFY(ZuValidator, validated, "notify_validated", &ZuValidator::notify_validated)
ZU_EXPORT_NOTIFY(ZuValidator, invalidated, "notify_invalidated", &ZuValidator::notify_invalidated)

ZuValidator::ZuValidator() : reported(false)
{
    invalid_checkers = NewList();
}

ZuListRef& ZuValidator::Checkers()
{
    // A restored stream may hold no list, or nothing a list can be made of.
    if (invalid_checkers.IsInvalid())
        invalid_checkers = NewList();
    return invalid_checkers;
}

bool ZuValidator::IsValid() const
{
    return invalid_checkers.IsInvalid() || invalid_checkers->TotalCount() == 0;
}

void ZuValidator::NotifyValidityChange(const ZuCheckerRef& checker, bool valid)
{
    const bool before = IsValid();
    ZuListRef& list = Checkers();
    if (valid) {
        list->Remove(checker, 0);
    } else if (checker.IsValid() && !list->LookFor(checker)) {
        // A checker is listed once: a checker restored apart from its
        // validator starts again from the default verdict and reports its
        // invalid text a second time, and a second entry would keep the
        // validator invalid after the checker turns valid.
        list->Insert(checker);
    }
    const bool after = IsValid();
    if (!reported || before != after) {
        reported = true;
        QuickReport(after ? notify_validated : notify_invalidated, 0);
    }
}

bool ZuValidator::AttachAutoEnable(const ZuObjectRef& object)
{
    AttachObserver(object, notify_validated, EnableAction(), 0);
    AttachObserver(object, notify_invalidated, DisableAction(), 0);
    return true;
}

bool ZuValidator::DetachAutoEnable(const ZuObjectRef& object)
{
    DetachObserver(object, notify_validated, EnableAction(), 0);
    DetachObserver(object, notify_invalidated, DisableAction(), 0);
    return true;
}

unsigned int ZuValidator::TotalCount() const
{
    return invalid_checkers.IsValid() ? invalid_checkers->TotalCount() : 0;
}

bool ZuValidator::Get(unsigned int index, ZuObjectRef& out)
{
    return invalid_checkers.IsValid() && invalid_checkers->Get(index, out);
}

void ZuValidator::Delete()
{
    if (invalid_checkers.IsValid())
        invalid_checkers->RemoveAll();
    ZuBaseController::Delete();
}

void ZuValidator::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::StoreInstance(storage);
    storage << ValidatorRecord() << ZuStorageSync::begin;
    storage << static_cast<const ZuObjectRef&>(invalid_checkers);
    storage << ZuStorageSync::end;
}

void ZuValidator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage >> invalid_checkers;
    storage >> ZuStorageSync::end;
    reported = false;
}
