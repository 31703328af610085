// ZuCommandFactory: the named source of one user command, what a menu
// entry, a tool button or an asynchronous event of the application
// triggers. It carries the command out either by calling a method path on
// a fixed object or by making a command object of a class named by an
// atom; it may be disabled, may defer the work to the next timer tick, and
// is "active" while commands it made are running. It reports each step of
// a command's life, feeds its enabled state to the controls attached to it,
// keeps child factories (a submenu) and registers with a controller under
// its user name. It is a pictogram label (its icon and texts are what is
// stored of it), a tick handler and a container of its children.
#ifndef SI_COMMANDFACTORY_H
#define SI_COMMANDFACTORY_H

#include "si/array.h"
#include "si/atom.h"
#include "si/atompath.h"
#include "si/basecontainer.h"
#include "si/controller.h"
#include "si/icontainer.h"
#include "si/ipictogramlabel.h"
#include "si/itickhandler.h"
#include "si/list.h"
#include "si/object.h"
#include "si/text.h"

ZU_FORWARD(ZuCommand)

ZU_HANDLE(ZuCommandFactory, ZuObject)
class ZuCommandFactory : public ZuObject,
                         public ZuiPictogramLabel,
                         public ZuiTickHandler,
                         public ZuiContainer {
    ZU_CLASS(ZuCommandFactory, ZuObject)
public:
    ZuCommandFactory();

    // Method-path form: NewCommand calls method on object.
    virtual bool Initialise(const ZuAtomPathRef& event, const ZuObjectRef& object,
                            const ZuAtomPathRef& method, bool enabled, bool delayed);
    // Command-class form: NewCommand makes a command of the class named
    // action.
    virtual bool Initialise(const ZuAtomPathRef& event, const ZuAtomRef& action, bool enabled,
                            bool delayed);
    // When the application reports that event path, it calls this
    // factory's "NewCommand". False for an empty path.
    virtual bool AddAsyncEvent(const ZuAtomPathRef& event);
    // Nothing when disabled; when delayed, one more creation at the next
    // tick (empty handle); otherwise the command made now, if any.
    virtual ZuCommandRef NewCommand();
    // Reports the enabled state and "notify_active_changed", changed or not.
    virtual bool Update();
    virtual bool SetEnable(bool enabled);
    virtual bool SetDisable();
    virtual bool SetDelayedMode(bool delayed);
    virtual bool RetEnable() const;
    virtual bool RetActive() const;
    virtual bool RetDelayedMode() const;
    // The controller, if any, moves the factory to the new name.
    virtual bool SetUserName(const ZuTextRef& name);
    // Leaves the old controller and enters the new one (when valid).
    virtual bool SetController(const ZuControllerRef& controller);
    virtual const ZuControllerRef& RetController() const;
    // Keeps the factories and empty entries (separators) of the container,
    // in order; an empty container leaves no children.
    virtual bool SetChildFactories(const ZuBaseContainerRef& container);
    virtual bool GetChildFactories(ZuBaseContainerRef& out) const;
    virtual bool HasChildFactories() const;
    // The controls that observe the factory.
    virtual bool GetControls(ZuBaseContainerRef& out) const;
    virtual bool HasControls() const;
    // The control follows the enabled state: "notify_enabled" calls its
    // "SetEnable", "notify_disabled" its "SetDisable".
    virtual bool AttachControl(const ZuObjectRef& control);
    virtual bool DetachControl(const ZuObjectRef& control);

    ZuAtomRef RetUserName() override;
    // Deletes the running commands, unbinds the asynchronous events and
    // leaves the controller.
    void Delete() override;

    // ZuiTickHandler: runs the deferred creations.
    void Tick(unsigned int id) override;
    // ZuiContainer: the child factories.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;
    // ZuiPictogram: "factories" (the children) beside the label's items.
    bool GetMore(const ZuAtomRef& key, ZuObjectRef& out) const override;
    bool SetMore(const ZuAtomRef& key, const ZuObjectRef& object) override;

    static ZuAtomRef do_command_begin;
    static ZuAtomRef do_command_start;
    static ZuAtomRef do_command_end;
    static ZuAtomRef notify_enabled;
    static ZuAtomRef notify_disabled;
    static ZuAtomRef notify_active_changed;

protected:
    friend class ZuCommand;
    virtual void RegisterCommand(const ZuCommandRef& command);
    virtual void UnregisterCommand(const ZuCommandRef& command);
    virtual void UpdateActive(bool active);
    // The context of new commands: the current application.
    virtual bool FindContext(ZuObjectRef& context);
    virtual ZuCommandRef DoNewCommand();
    virtual bool InsertControl(const ZuObjectRef& control);
    virtual bool RemoveControl(const ZuObjectRef& control);

    void NotifyAttach(const ZuObjectRef& source) override;
    void NotifyDetach(const ZuObjectRef& source) override;

    // The object's part, then the label's icon and texts.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool enabled = false;
    bool active = false;
    bool delayed = false;
    unsigned pending = 0;
    ZuAtomPathArray async_events;
    ZuAtomRef action;
    ZuObjectRef object;
    ZuAtomPathRef method_path;
    ZuListRef commands;
    ZuControllerRef controller;
    ZuArrayRef controls;
    ZuAtomRef user_name;
    ZuArrayRef children;
};
ZU_CLASS_END(ZuCommandFactory)

#endif
