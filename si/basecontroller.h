// ZuBaseController: abstract root of the objects that drive others (data
// slots, and through them the application and the controllers). It has no
// fields and no operations of its own; it only takes its place in the stored
// form of its subclasses.
#ifndef SI_BASECONTROLLER_H
#define SI_BASECONTROLLER_H

#include "si/object.h"

ZU_HANDLE(ZuBaseController, ZuObject)
class ZuBaseController : public ZuObject {
    ZU_CLASS(ZuBaseController, ZuObject)
public:
    ZuBaseController() {}
};
ZU_CLASS_END(ZuBaseController)

#endif
