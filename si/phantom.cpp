#include "si/phantom.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(ZuPhantom, "si/phantom", ZU_CLASS_PLAIN)

ZuPhantom::ZuPhantom() : cache_valid(false), is_const(false), active(false) {}

bool ZuPhantom::Initialise(const ZuObjectRef& r, const ZuAtomPathRef& p, bool c)
{
    cache_valid = false;
    is_const = c;
    active = true;
    root = r;
    path = p;
    return true;
}

void ZuPhantom::UpdateCache()
{
    if (cache_valid && is_const)
        return;
    // The published data at the path: every segment but the last is walked
    // from the root, the last is asked of the object reached.
    ZuObjectRef found;
    ZuObjectRef from(root.Resolve());
    if (from.IsValid() && path.IsValid()) {
        ZuStringRef last = path->RetString();
        if (ZuObject::ObjectParsePath(from, last))
            from->QueryData(ZuAtomRef(last), found);
    }
    cache = found;
    cache_valid = cache.IsValid();
}

ZuObject* ZuPhantom::Resolve()
{
    if (!active)
        return this;
    UpdateCache();
    return cache_valid ? cache.Resolve() : nullptr;
}

ZuObject* ZuPhantom::CheckAndResolve()
{
    if (!active)
        return this;
    UpdateCache();
    if (!cache_valid)
        Zuvi_ResolveNull(RetRuntime());
    return cache.Resolve();
}

// A phantom writes no part of the root object's stored form: it stands for
// its target and is written as such.
void ZuPhantom::StoreInstance(const ZuStorageRef& storage)
{
    static ZuStorageSync record("<ZuPhantom root path is_const_object>");
    storage << record << ZuStorageSync::begin << root << path << is_const << ZuStorageSync::end;
}

void ZuPhantom::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> root >> path >> is_const >>
        ZuStorageSync::end;
    cache_valid = false;
    active = root.IsValid();
}
