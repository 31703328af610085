#include "si/command.h"

#include "si/error.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuCommand, "si/command", ZU_CLASS_ABSTRACT)

void ZuCommand::Initialise(const ZuCommandFactoryRef& maker, const ZuObjectRef& given_context)
{
    if (!factory.IsInvalid())
        Zuvi_ErrorAbort("Failed assertion: this->factory.IsInvalid ()", __LINE__, ZU_SRC_FILE);
    if (!maker.IsValid())
        Zuvi_ErrorAbort("Failed assertion: factory.IsValid ()", __LINE__, ZU_SRC_FILE);
    factory = maker;
    context = given_context;
    factory->RegisterCommand(ZuCommandRef(this));
}

const ZuCommandFactoryRef& ZuCommand::RetFactory() const
{
    return factory;
}

const ZuObjectRef& ZuCommand::RetContext() const
{
    return context;
}

void ZuCommand::Delete()
{
    if (factory.IsValid()) {
        ZuCommandFactoryRef maker = factory;
        maker->UnregisterCommand(ZuCommandRef(this));
        factory = ZuCommandFactoryNull;
    }
    context = ZuObjectNull;
    ZuObject::Delete();
}

void ZuCommand::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
}

void ZuCommand::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
}
