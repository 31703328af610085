// ZuCommand: one execution of a user command, made by a command factory.
// It registers with its factory when initialised (the factory is then
// "active") and stays bound to it until it deletes itself, which a concrete
// command does when its work is finished.
#ifndef SI_COMMAND_H
#define SI_COMMAND_H

#include "si/commandfactory.h"
#include "si/object.h"

ZU_HANDLE(ZuCommand, ZuObject)
class ZuCommand : public ZuObject {
    ZU_CLASS(ZuCommand, ZuObject)
public:
    ZuCommand() {}

    // Binds the command to its factory (fatal when it has one already, or
    // for an empty factory) and registers it there.
    virtual void Initialise(const ZuCommandFactoryRef& factory, const ZuObjectRef& context);
    // What the command does.
    virtual void Execute() = 0;
    virtual const ZuCommandFactoryRef& RetFactory() const;
    virtual const ZuObjectRef& RetContext() const;

    // Leaves the factory (which then reports "do_command_end").
    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuCommandFactoryRef factory;
    ZuObjectRef context;
};
ZU_CLASS_END(ZuCommand)

#endif
