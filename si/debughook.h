#ifndef SI_DEBUGHOOK_H
#define SI_DEBUGHOOK_H

// ZuDebugHook: a registered class with no fields; its stored form is an
// empty record. Nothing in the library creates one.

#include "si/object.h"

ZU_HANDLE(ZuDebugHook, ZuObject)

class ZuDebugHook : public ZuObject {
    ZU_CLASS(ZuDebugHook, ZuObject)
public:
    ZuDebugHook() {}

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuDebugHook)

#endif
