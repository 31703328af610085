// ZuBaseController: abstract root of the objects that drive others (data
// slots, and through them the application and the controllers). It has no
// fields and no operations of its own; it writes an empty record of its own
// in the stored form of its subclasses, ahead of theirs.
#ifndef SI_BASECONTROLLER_H
#define SI_BASECONTROLLER_H

#include "si/object.h"

ZU_HANDLE(ZuBaseController, ZuObject)
class ZuBaseController : public ZuObject {
    ZU_CLASS(ZuBaseController, ZuObject)
public:
    ZuBaseController() {}

protected:
    // The record "<ZuBaseController >", a begin and an end mark.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuBaseController)

#endif
