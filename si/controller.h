// ZuController: keeps the named command factories of a part of the
// interface. Each factory registers itself under its user name; the
// controller finds a factory by command name and a name by factory. It is a
// data slot, so it also holds named fields.
#ifndef SI_CONTROLLER_H
#define SI_CONTROLLER_H

#include "si/atom.h"
#include "si/dataslot.h"
#include "si/dict.h"

ZU_FORWARD(ZuCommandFactory)

ZU_HANDLE(ZuController, ZuDataSlot)
class ZuController : public ZuDataSlot {
    ZU_CLASS(ZuController, ZuDataSlot)
public:
    ZuController() {}

    // The name of the first entry that holds the factory; empty when none.
    virtual ZuAtomRef RetCommandName(const ZuObjectRef& factory);
    // The first factory entered under the name; empty when none.
    virtual ZuCommandFactoryRef RetCommandFactory(const ZuAtomRef& name);
    // Enters the factory under its current user name (the dictionary is
    // made on first use; the same pair again is counted once more).
    virtual bool InsertCommandFactory(const ZuObjectRef& factory);
    // Removes the first entry of the factory under its name; false when
    // there is none.
    virtual bool RemoveCommandFactory(const ZuObjectRef& factory);
    // The factory's user name changed: its entry moves to the new name.
    virtual bool NotifyCommandFactoryRenamed(const ZuObjectRef& factory);

    // Releases every factory, then the data slot.
    void Delete() override;

protected:
    // Every factory leaves the controller; the dictionary goes.
    virtual void FlushCommandFactories();

    // "<ZuController cmd_factories>", begin, the dictionary, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuDictRef cmd_factories;
};
ZU_CLASS_END(ZuController)

#endif
