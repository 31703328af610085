#ifndef SI_PERFORMER_H
#define SI_PERFORMER_H

// ZuPerformer: a piece of work with one argument object, run by a library
// thread (ZuThread) or for each element of a container. Subclasses supply
// Run; the class itself is abstract.

#include "si/object.h"

ZU_HANDLE(ZuPerformer, ZuObject)

class ZuPerformer : public ZuObject {
    ZU_CLASS(ZuPerformer, ZuObject)
public:
    ZuPerformer() {}

    virtual void SetArgument(const ZuObjectRef& arg);
    // The work. A thread passes itself; an iteration passes each element.
    // The result is used by iterations only (false stops them).
    virtual bool Run(const ZuObjectRef& subject) = 0;

    const ZuObjectRef& RetArgument() const { return arg; }
    void Delete() override;

protected:
    // The stored form is the argument alone.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuObjectRef arg;
};
ZU_CLASS_END(ZuPerformer)

#endif
