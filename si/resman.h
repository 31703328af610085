// ZuResMan: the resource manager. Loads each resource bundle file of the
// folder "%Zuvi%/Resources/" once, keeps the bundles (a bundle's ID is its
// slot), and resolves resource descriptors to the bytes of a resource, used
// in place under a lock count. One manager exists from Initialise to Kill
// (the library's start-up and shut-down); the static operations work on
// descriptors and answer false when the resource cannot be reached.
#ifndef SI_RESMAN_H
#define SI_RESMAN_H

#include "si/array.h"
#include "si/icontainer.h"
#include "si/object.h"
#include "si/resbundle.h"
#include "si/resid.h"
#include "si/string.h"

ZU_HANDLE(ZuResMan, ZuObject)

class ZuResMan : public ZuObject, public ZuiContainer {
    ZU_CLASS(ZuResMan, ZuObject)
    friend class ZuResBundle;

public:
    ZuResMan();
    ~ZuResMan() override;

    // The bundle of that name (letter case counts) when it is loaded,
    // otherwise the file loaded as a new bundle; the null handle when the
    // file cannot be read or is not a sound bundle.
    virtual ZuResBundleRef LoadBundle(const ZuStringRef& name);

protected:
    // Reads "%Zuvi%/Resources/" + name into the given bundle and appends it;
    // false (nothing appended) on any failure.
    virtual bool LoadBundle(const ZuStringRef& name, const ZuResBundleRef& bundle);

public:
    // The bundle of that ID, or the null handle.
    virtual ZuResBundleRef RetBundle(unsigned int id) const;

    // ZuiContainer: the bundles.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    // Deletes every bundle, then the manager.
    void Delete() override;

    // Creates the manager, makes it current and enters it in the
    // application's data slot as "Resource Manager".
    static void Initialise();
    // Deletes the current manager and empties the handle.
    static void Kill();
    static const ZuResManRef& Current();

    // The resource's bytes, size and type, counting a lock; false (data
    // null, size 0) for a null descriptor or a resource out of reach.
    static bool LockResource(ZuResIDDef* id, const void*& data, unsigned int& size,
                             ZuResType& type);
    static bool LockResource(ZuResIDDef* id, const void*& data, unsigned int& size);
    // Takes one lock back; true when a lock was counted.
    static bool UnlockResource(ZuResIDDef* id);
    // Size and type without keeping a lock.
    static bool QueryResource(ZuResIDDef* id, unsigned int& size, ZuResType& type);
    // Copies the resource into the buffer when it fits (size and type are
    // given either way); no lock is kept.
    static bool CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity,
                             unsigned int& size, ZuResType& type);
    static bool CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity,
                             unsigned int& size);
    static bool CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity);

protected:
    // The manager is never stored: both stop the program.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuResBundleArray bundles;

    static ZuResManRef current;
};
ZU_CLASS_END(ZuResMan)

// A descriptor in a storage: the number 0 for none; otherwise 1, the bundle
// (stored as an object; restoring it loads its file again) and the index.
// Restoring gives the restored bundle's descriptor, or null when the bundle
// is empty or the index past its table; a leading number other than 0 and 1
// is refused as corrupt input ("Incompatible resource ID").
void Zuvi_StoreResID(const ZuStorageRef& storage, ZuResIDDef* definition);
ZuResIDDef* Zuvi_RestoreResID(const ZuStorageRef& storage);

#endif
