#include "si/controller.h"

#include "si/classfactory.h"
#include "si/commandfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuController, "si/controller", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuController, ZuiContainer)

ZuAtomRef ZuController::RetCommandName(const ZuObjectRef& factory)
{
    ZuObjectRef key;
    if (cmd_factories.IsInvalid() || factory.IsInvalid() ||
        !cmd_factories->GetFromValue(factory, key, 0))
        return ZuAtomRef();
    // A stored dictionary may hold other keys than names.
    if (!key.IsValid() || !key->IsKindOf(ZuAtomRef::RetRuntime()))
        return ZuAtomRef();
    return ZuAtomRef(key);
}

ZuCommandFactoryRef ZuController::RetCommandFactory(const ZuAtomRef& name)
{
    ZuObjectRef value;
    if (cmd_factories.IsInvalid() || !cmd_factories->GetFromKey(name, value, 0))
        return ZuCommandFactoryRef();
    // Only a factory answers; anything else a file put there does not.
    if (!value.IsValid() || !value->IsKindOf(ZuCommandFactoryRef::RetRuntime()))
        return ZuCommandFactoryRef();
    return ZuCommandFactoryRef(value);
}

bool ZuController::InsertCommandFactory(const ZuObjectRef& factory)
{
    if (factory.IsInvalid())
        return false;
    if (cmd_factories.IsInvalid())
        cmd_factories = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    return cmd_factories->Insert(factory->RetUserName(), factory);
}

bool ZuController::RemoveCommandFactory(const ZuObjectRef& factory)
{
    if (factory.IsInvalid() || cmd_factories.IsInvalid())
        return false;
    ZuObjectRef key;
    if (!cmd_factories->GetFromValue(factory, key, 0))
        return false;
    return cmd_factories->Remove(key, factory, 0);
}

bool ZuController::NotifyCommandFactoryRenamed(const ZuObjectRef& factory)
{
    return RemoveCommandFactory(factory) && InsertCommandFactory(factory);
}

void ZuController::FlushCommandFactories()
{
    if (cmd_factories.IsInvalid())
        return;
    ZuDictRef dict = cmd_factories;
    ZuObjectRef key, value;
    while (dict->Get(0, key, value)) {
        const unsigned before = dict->TotalCount();
        if (value.IsValid() && value->IsKindOf(ZuCommandFactoryRef::RetRuntime())) {
            ZuCommandFactoryRef factory(value);
            if (factory->RetController() == this)
                factory->SetController(ZuControllerNull);
        }
        // An entry whose factory names another controller (or is none, as
        // a stored dictionary may have it) is not removed by the factory:
        // take it out here, or the loop would never end.
        if (dict->TotalCount() >= before && !dict->Remove(0u))
            break;
    }
    cmd_factories = ZuDictNull;
}

void ZuController::Delete()
{
    FlushCommandFactories();
    ZuDataSlot::Delete();
}

// ---------------------------------------------------------------- storage

void ZuController::StoreInstance(const ZuStorageRef& storage)
{
    ZuDataSlot::StoreInstance(storage);
    static ZuStorageSync record("<ZuController cmd_factories>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(cmd_factories);
    storage << ZuStorageSync::end;
}

void ZuController::RestoreInstance(const ZuStorageRef& storage)
{
    ZuDataSlot::RestoreInstance(storage);
    FlushCommandFactories();
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> cmd_factories >> ZuStorageSync::end;
}
