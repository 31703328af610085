#include "si/resman.h"

#include <cstring>

#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/error.h"
#include "si/fileread.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

namespace {

const char kFile[] = "si/resman";

} // namespace

ZU_IMPLEMENT_CLASS(ZuResMan, kFile, ZU_CLASS_NOT_STORED)
ZU_IMPLEMENT_INTERFACE(ZuResMan, ZuiContainer)

ZuResManRef ZuResMan::current;

ZuResMan::ZuResMan()
{
    ZuArrayRef array(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, kFile));
    bundles = array;
}

ZuResMan::~ZuResMan() {}

ZuResBundleRef ZuResMan::LoadBundle(const ZuStringRef& name)
{
    if (name.IsInvalid())
        return ZuResBundleNull;
    for (unsigned i = 0; i < bundles->TotalCount(); ++i) {
        ZuResBundleRef bundle = bundles[i];
        if (bundle.IsValid() && bundle->RetBundleName().IsValid() &&
            bundle->RetBundleName()->CompareWith(name, true) == 0)
            return bundle;
    }
    ZuResBundleRef bundle(ZuNew<ZuResBundle>(Zuvi_app_zone, __LINE__, kFile));
    if (LoadBundle(name, bundle))
        return bundle;
    bundle->Delete();
    return ZuResBundleNull;
}

bool ZuResMan::LoadBundle(const ZuStringRef& name, const ZuResBundleRef& bundle)
{
    if (bundle.IsInvalid() || name.IsInvalid())
        return false;
    ZuStringRef path("%Zuvi%/Resources/");
    path->AppendString(name);
    void* buffer = nullptr;
    ZuFileReadRef stream;
    try {
        stream = ZuNew<ZuFileRead>(Zuvi_app_zone, __LINE__, kFile);
        stream->Open(path);
        std::int64_t const size = stream->RetSize();
        if (size < 0 || size > std::int64_t(0xFFFFFFF0u))
            throw "BadBundle";
        const unsigned total = unsigned(size);
        buffer = Zuvi_app_zone->Alloc(total == 0 ? 1 : total, "Byte", __LINE__, kFile);
        unsigned done = 0;
        while (done < total) {
            unsigned n = stream->Read(static_cast<char*>(buffer) + done, total - done);
            if (n == 0)
                throw "BadBundle"; // the file shrank while it was read
            done += n;
        }
        stream->Close();
        bundle->SetBundleName(name);
        bundle->SetBundleID(bundles->TotalCount());
        bundle->InitFromImage(buffer, total);
        bundle->AdoptImage(buffer);
        buffer = nullptr;
    } catch (...) {
        if (buffer != nullptr)
            Zuvi_app_zone->Free(buffer, __LINE__, kFile);
        if (stream.IsValid())
            stream->Delete();
        return false;
    }
    stream->Delete();
    const unsigned slot = bundles->TotalCount();
    bundles->SetSize(slot + 1);
    bundles[slot] = bundle;
    return true;
}

ZuResBundleRef ZuResMan::RetBundle(unsigned int id) const
{
    if (id >= bundles->TotalCount())
        return ZuResBundleNull;
    return bundles[id];
}

unsigned int ZuResMan::TotalCount() const
{
    return bundles.IsValid() ? bundles->TotalCount() : 0;
}

bool ZuResMan::Get(unsigned int index, ZuObjectRef& out)
{
    if (index >= TotalCount())
        return false;
    out = bundles->Access(index);
    return true;
}

void ZuResMan::Delete()
{
    if (bundles.IsValid()) {
        for (unsigned i = 0; i < bundles->TotalCount(); ++i) {
            ZuResBundleRef bundle = bundles[i];
            if (bundle.IsValid())
                bundle->Delete();
        }
        bundles->SetSize(0);
        bundles->Delete();
        bundles = ZuResBundleArray();
    }
    ZuObject::Delete();
}

void ZuResMan::Initialise()
{
    current = ZuNew<ZuResMan>(Zuvi_app_zone, __LINE__, kFile);
    const ZuObjectRef& app = Zuvi_RetApplication();
    if (app.IsValid() && app->IsKindOf(ZuDataSlotRef::RetRuntime()))
        ZuDataSlotRef(app)->InsertField(ZuAtomRef("Resource Manager"), current);
}

void ZuResMan::Kill()
{
    if (current.IsValid())
        current->Delete();
    current = ZuResManNull;
}

const ZuResManRef& ZuResMan::Current()
{
    return current;
}

// ---- Descriptors ----------------------------------------------------------

bool ZuResMan::LockResource(ZuResIDDef* id, const void*& data, unsigned int& size, ZuResType& type)
{
    data = nullptr;
    size = 0;
    if (id == nullptr)
        return false;
    if (id->data != nullptr) {
        ++id->lock_count;
        data = id->data;
        size = id->size;
        type = id->RetType();
        return true;
    }
    if (current.IsInvalid())
        return false;
    ZuResBundleRef bundle = current->RetBundle(id->bundle);
    return bundle.IsValid() && bundle->LockResource(id->index, data, size, type);
}

bool ZuResMan::LockResource(ZuResIDDef* id, const void*& data, unsigned int& size)
{
    ZuResType type = ZU_RES_TYPE_NONE;
    return LockResource(id, data, size, type);
}

bool ZuResMan::UnlockResource(ZuResIDDef* id)
{
    if (id == nullptr)
        return false;
    if (id->lock_count != 0) {
        --id->lock_count;
        return true;
    }
    if (current.IsInvalid())
        return false;
    ZuResBundleRef bundle = current->RetBundle(id->bundle);
    return bundle.IsValid() && bundle->UnlockResource(id->index);
}

bool ZuResMan::QueryResource(ZuResIDDef* id, unsigned int& size, ZuResType& type)
{
    size = 0;
    if (id == nullptr)
        return false;
    if (id->data != nullptr) {
        size = id->size;
        type = id->RetType();
        return true;
    }
    const void* data = nullptr;
    if (!LockResource(id, data, size, type))
        return false;
    UnlockResource(id);
    return true;
}

bool ZuResMan::CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity, unsigned int& size,
                            ZuResType& type)
{
    size = 0;
    type = ZU_RES_TYPE_NONE;
    const void* data = nullptr;
    if (!LockResource(id, data, size, type))
        return false;
    const bool fits = size <= capacity;
    if (fits && size != 0)
        std::memcpy(buffer, data, size);
    UnlockResource(id);
    return fits;
}

bool ZuResMan::CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity, unsigned int& size)
{
    ZuResType type;
    return CopyResource(id, buffer, capacity, size, type);
}

bool ZuResMan::CopyResource(ZuResIDDef* id, void* buffer, unsigned int capacity)
{
    unsigned size;
    ZuResType type;
    return CopyResource(id, buffer, capacity, size, type);
}

void ZuResMan::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("ZuResMan::StoreInstance not supported", __LINE__, kFile);
}

void ZuResMan::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("ZuResMan::RestoreInstance not supported", __LINE__, kFile);
}

// ---- Stored descriptors ---------------------------------------------------

// The resource definition: the number 0 for none; otherwise 1, the bundle
// (which restores by loading its file again) and the index.
void Zuvi_StoreResID(const ZuStorageRef& storage, ZuResIDDef* definition)
{
    if (definition == nullptr) {
        storage->StoreInt(0);
        return;
    }
    storage->StoreInt(1);
    ZuResBundleRef bundle;
    if (ZuResMan::Current().IsValid())
        bundle = ZuResMan::Current()->RetBundle(definition->bundle);
    storage->StoreObject(bundle);
    storage->StoreCard(definition->index);
}

ZuResIDDef* Zuvi_RestoreResID(const ZuStorageRef& storage)
{
    unsigned kind = 0;
    storage >> kind;
    if (kind == 0)
        return nullptr;
    if (kind != 1)
        Zuvi_StorageFormat::BadData("Incompatible resource ID", __LINE__);
    ZuResBundleRef bundle;
    storage >> bundle;
    unsigned short index = 0;
    storage >> index;
    return bundle.IsValid() ? bundle->RetResID(index) : nullptr;
}
