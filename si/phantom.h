// ZuPhantom: stands in for an object that is named rather than held. It
// records a root object and an atom path and, when resolved, asks the root
// for the published data at that path. A constant phantom resolves once and
// keeps the result; an inactive one resolves to itself.
#ifndef SI_PHANTOM_H
#define SI_PHANTOM_H

#include "si/atompath.h"
#include "si/object.h"

ZU_HANDLE(ZuPhantom, ZuObject)
class ZuPhantom : public ZuObject {
    ZU_CLASS(ZuPhantom, ZuObject)

public:
    ZuPhantom();

    virtual bool Initialise(const ZuObjectRef& root, const ZuAtomPathRef& path, bool is_const);

    ZuObject* Resolve() override;
    ZuObject* CheckAndResolve() override;

    const ZuObjectRef& RetRoot() const { return root; }
    const ZuAtomPathRef& RetPath() const { return path; }
    bool IsConstObject() const { return is_const; }

protected:
    virtual void UpdateCache();

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuObjectRef root;
    ZuAtomPathRef path;
    ZuObjectRef cache;
    bool cache_valid;
    bool is_const;
    bool active;
};
ZU_CLASS_END(ZuPhantom)

#endif
