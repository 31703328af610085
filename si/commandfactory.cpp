#include "si/commandfactory.h"

#include "si/app.h"
#include "si/classfactory.h"
#include "si/command.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuCommandFactory, "si/commandfactory", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuCommandFactory, ZuiPictogram)
ZU_IMPLEMENT_INTERFACE(ZuCommandFactory, ZuiPictogramLabel)
ZU_IMPLEMENT_INTERFACE(ZuCommandFactory, ZuiTickHandler)
ZU_IMPLEMENT_INTERFACE(ZuCommandFactory, ZuiContainer)

ZuAtomRef ZuCommandFactory::do_command_begin;
ZuAtomRef ZuCommandFactory::do_command_start;
ZuAtomRef ZuCommandFactory::do_command_end;
ZuAtomRef ZuCommandFactory::notify_enabled;
ZuAtomRef ZuCommandFactory::notify_disabled;
ZuAtomRef ZuCommandFactory::notify_active_changed;

ZU_EXPORT_NOTIFY(ZuCommandFactory, begin, "do_command_begin", &ZuCommandFactory::do_command_begin)
ZU_EXPORT_NOTIFY(ZuCommandFactory, start, "do_command_start", &ZuCommandFactory::do_command_start)
ZU_EXPORT_NOTIFY(ZuCommandFactory, end, "do_command_end", &ZuCommandFactory::do_command_end)
ZU_EXPORT_NOTIFY(ZuCommandFactory, enabled, "notify_enabled", &ZuCommandFactory::notify_enabled)
ZU_EXPORT_NOTIFY(ZuCommandFactory, disabled, "notify_disabled", &ZuCommandFactory::notify_disabled)
ZU_EXPORT_NOTIFY(ZuCommandFactory, active_changed, "notify_active_changed",
                 &ZuCommandFactory::notify_active_changed)

namespace {

// The names the factory calls and answers by, registered without a class.
ZuAtomRef a_new_command;
ZuAtomRef a_set_enable;
ZuAtomRef a_set_disable;
ZuAtomRef a_factories;
Zuvi_NotifyExport atom_new_command(nullptr, "NewCommand", nullptr, &a_new_command);
Zuvi_NotifyExport atom_set_enable(nullptr, "SetEnable", nullptr, &a_set_enable);
Zuvi_NotifyExport atom_set_disable(nullptr, "SetDisable", nullptr, &a_set_disable);
Zuvi_NotifyExport atom_factories(nullptr, "factories", nullptr, &a_factories);

// The published data and the notifications that announce their changes.
Zuvi_NotifyExport data_active(&ZuCommandFactoryRef::RetRuntime(), "notify_active_changed",
                              "is_active", nullptr);
Zuvi_NotifyExport data_enabled(&ZuCommandFactoryRef::RetRuntime(), "notify_enabled", "is_enabled",
                               nullptr);
Zuvi_NotifyExport data_disabled(&ZuCommandFactoryRef::RetRuntime(), "notify_disabled", "is_enabled",
                                nullptr);

ZuCommandFactory* FactoryOf(ZuObject* object)
{
    return static_cast<ZuCommandFactory*>(object);
}

void GetEnabled(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(FactoryOf(object)->RetEnable());
}

bool SetEnabled(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && FactoryOf(object)->SetEnable(value->RetBool());
}

void GetDelayed(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(FactoryOf(object)->RetDelayedMode());
}

bool SetDelayed(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && FactoryOf(object)->SetDelayedMode(value->RetBool());
}

void GetActive(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(FactoryOf(object)->RetActive());
}

void DeclareFactoryData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuCommandFactoryRef::RetRuntime(), "is_enabled", "enabled", &Bool_type, true, true,
         &GetEnabled, &SetEnabled},
        {&ZuCommandFactoryRef::RetRuntime(), "is_delayed", "delayed command", &Bool_type, true,
         true, &GetDelayed, &SetDelayed},
        {&ZuCommandFactoryRef::RetRuntime(), "is_active", "active", &Bool_type, true, false,
         &GetActive, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport factory_data(&DeclareFactoryData, ZuCommandFactoryRef::RetRuntime());

// Calls by name without argument; each answers true.
Zuvi_TargetExport actor_new_command(
    [](ZuObject* o) -> bool {
        FactoryOf(o)->NewCommand();
        return true;
    },
    "NewCommand", ZuCommandFactoryRef::RetRuntime());
Zuvi_TargetExport actor_set_enable(
    [](ZuObject* o) -> bool {
        FactoryOf(o)->SetEnable(true);
        return true;
    },
    "SetEnable", ZuCommandFactoryRef::RetRuntime());
Zuvi_TargetExport actor_set_disable(
    [](ZuObject* o) -> bool {
        FactoryOf(o)->SetDisable();
        return true;
    },
    "SetDisable", ZuCommandFactoryRef::RetRuntime());

// Whether the object is a control (a class of a higher layer, known here
// by name only).
bool IsControl(const ZuObjectRef& object)
{
    ZuRuntimeRef control;
    return object.IsValid() && ZuClassFactory::GetClass("ZuControl", control) &&
           object->IsKindOf(control);
}

} // namespace

ZuCommandFactory::ZuCommandFactory()
{
    async_events = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuListRef list(ZuNew<ZuList>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    // Commands run in the order they were made.
    list->SetInsertMode(false);
    commands = list;
}

// ---------------------------------------------------------------- set-up

bool ZuCommandFactory::Initialise(const ZuAtomPathRef& event, const ZuObjectRef& target,
                                  const ZuAtomPathRef& method, bool enable, bool delay)
{
    action = ZuAtomNull;
    object = target;
    method_path = ZuAtomPathRef();
    enabled = enable;
    delayed = delay;
    AddAsyncEvent(event);
    if (method.IsValid())
        method_path = ZuAtomPathRef(ZuObjectRef(method->Clone()));
    return true;
}

bool ZuCommandFactory::Initialise(const ZuAtomPathRef& event, const ZuAtomRef& command_class,
                                  bool enable, bool delay)
{
    action = command_class;
    object = ZuObjectNull;
    method_path = ZuAtomPathRef();
    enabled = enable;
    delayed = delay;
    AddAsyncEvent(event);
    return true;
}

bool ZuCommandFactory::AddAsyncEvent(const ZuAtomPathRef& event)
{
    if (event.IsInvalid())
        return false;
    ZuAtomPathRef copy(ZuObjectRef(event->Clone()));
    async_events->Insert(copy);
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->AttachAsyncObserver(ZuObjectRef(this), copy, a_new_command, 0);
    return true;
}

// ---------------------------------------------------------------- commands

ZuCommandRef ZuCommandFactory::NewCommand()
{
    if (!enabled)
        return ZuCommandRef();
    if (delayed) {
        const ZuAppRef& app = ZuApp::Current();
        // Without an application no tick would ever come: nothing is queued.
        if (app.IsInvalid() || !app->InsertTickResponder(ZuObjectRef(this), 1, 0, false))
            return ZuCommandRef();
        ++pending;
        return ZuCommandRef();
    }
    return DoNewCommand();
}

void ZuCommandFactory::Tick(unsigned int)
{
    ZuCommandFactoryRef self(this); // the commands may let go of the factory
    while (pending != 0) {
        DoNewCommand();
        --pending;
    }
}

bool ZuCommandFactory::FindContext(ZuObjectRef& context)
{
    context = ZuApp::Current();
    return true;
}

ZuCommandRef ZuCommandFactory::DoNewCommand()
{
    ZuCommandFactoryRef self(this);
    if (object.IsValid() && method_path.IsValid())
        object->Action(method_path, ZuObjectNull, 0);

    ZuCommandRef command;
    if (action.IsValid()) {
        try {
            ZuObjectRef made(ZuClassFactory::New(action, RetMemZone(), __LINE__, ZU_SRC_FILE));
            if (made.IsValid() && made->IsKindOf(ZuCommandRef::RetRuntime()))
                command = made;
            else if (made.IsValid())
                made->Delete(); // a class that is no command runs nothing
        } catch (const ZuException&) {
            command = ZuCommandNull;
        }
    }
    if (command.IsValid()) {
        ZuObjectRef context;
        FindContext(context);
        command->Initialise(self, context);
        QuickReport(do_command_start, 0);
        command->Execute();
    }
    return command;
}

void ZuCommandFactory::RegisterCommand(const ZuCommandRef& command)
{
    commands->PushTail(command);
    UpdateActive(true);
    QuickReport(do_command_begin, 0);
}

void ZuCommandFactory::UnregisterCommand(const ZuCommandRef& command)
{
    commands->Remove(command, 0);
    UpdateActive(commands->TotalCount() != 0);
    QuickReport(do_command_end, 0);
}

void ZuCommandFactory::UpdateActive(bool now_active)
{
    if (active == now_active)
        return;
    active = now_active;
    QuickReport(notify_active_changed, 0);
}

// ---------------------------------------------------------------- state

bool ZuCommandFactory::Update()
{
    QuickReport(enabled ? notify_enabled : notify_disabled, 0);
    QuickReport(notify_active_changed, 0);
    return true;
}

bool ZuCommandFactory::SetEnable(bool enable)
{
    if (enabled != enable) {
        enabled = enable;
        QuickReport(enabled ? notify_enabled : notify_disabled, 0);
    }
    return true;
}

bool ZuCommandFactory::SetDisable()
{
    return SetEnable(false);
}

bool ZuCommandFactory::SetDelayedMode(bool delay)
{
    delayed = delay;
    return true;
}

bool ZuCommandFactory::RetEnable() const
{
    return enabled;
}

bool ZuCommandFactory::RetActive() const
{
    return active;
}

bool ZuCommandFactory::RetDelayedMode() const
{
    return delayed;
}

ZuAtomRef ZuCommandFactory::RetUserName()
{
    return user_name;
}

bool ZuCommandFactory::SetUserName(const ZuTextRef& name)
{
    user_name = ZuAtomRef(ZuObjectRef(name));
    if (controller.IsValid())
        controller->NotifyCommandFactoryRenamed(ZuObjectRef(this));
    return true;
}

bool ZuCommandFactory::SetController(const ZuControllerRef& next)
{
    ZuCommandFactoryRef self(this);
    if (controller.IsValid()) {
        ZuControllerRef old = controller;
        controller = ZuControllerNull;
        old->RemoveCommandFactory(self);
    }
    controller = next;
    if (controller.IsValid())
        controller->InsertCommandFactory(self);
    return true;
}

const ZuControllerRef& ZuCommandFactory::RetController() const
{
    return controller;
}

// ---------------------------------------------------------------- children

bool ZuCommandFactory::SetChildFactories(const ZuBaseContainerRef& container)
{
    // The new children are read before the old array goes: the container
    // may be that very array, handed out by GetChildFactories.
    ZuArrayRef kept;
    ZuiContainer* items = nullptr;
    if (container.IsValid())
        items = static_cast<ZuiContainer*>(
            container.CheckAndResolve()->CastToInterface(&ZuiContainer::interface));
    if (items != nullptr) {
        kept = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        const unsigned count = items->TotalCount();
        kept->SetSize(count);
        unsigned n = 0;
        for (unsigned i = 0; i < count; ++i) {
            ZuObjectRef item;
            if (!items->Get(i, item))
                continue;
            // Empty entries stay: they are the separators of a submenu.
            if (item.IsValid() && !item->IsKindOf(ZuCommandFactoryRef::RetRuntime()))
                continue;
            kept->Access(n++) = item;
        }
        kept->SetSize(n);
    }
    if (children.IsValid())
        children->Delete();
    children = kept;
    return true;
}

bool ZuCommandFactory::GetChildFactories(ZuBaseContainerRef& out) const
{
    out = children;
    return children.IsValid();
}

bool ZuCommandFactory::HasChildFactories() const
{
    return children.IsValid() && children->TotalCount() != 0;
}

unsigned int ZuCommandFactory::TotalCount() const
{
    return children.IsValid() ? children->TotalCount() : 0;
}

bool ZuCommandFactory::Get(unsigned int index, ZuObjectRef& out)
{
    return children.IsValid() && children->Get(index, out);
}

bool ZuCommandFactory::GetMore(const ZuAtomRef& key, ZuObjectRef& out) const
{
    if (key.IsInvalid()) {
        if (!ZuiPictogramLabel::GetMore(key, out))
            return false;
        ZuArrayRef(out)->Insert(a_factories);
        return true;
    }
    if (key == a_factories) {
        out = children;
        return children.IsValid();
    }
    return ZuiPictogramLabel::GetMore(key, out);
}

bool ZuCommandFactory::SetMore(const ZuAtomRef& key, const ZuObjectRef& value)
{
    if (key.IsValid() && key == a_factories) {
        ZuBaseContainerRef container;
        if (value.IsValid() && value->IsKindOf(ZuBaseContainerRef::RetRuntime()))
            container = value;
        return SetChildFactories(container);
    }
    return ZuiPictogramLabel::SetMore(key, value);
}

// ---------------------------------------------------------------- controls

bool ZuCommandFactory::InsertControl(const ZuObjectRef& control)
{
    if (controls.IsInvalid())
        controls = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    return controls->Insert(control);
}

bool ZuCommandFactory::RemoveControl(const ZuObjectRef& control)
{
    if (controls.IsInvalid())
        return false;
    return controls->Remove(control, 0);
}

bool ZuCommandFactory::GetControls(ZuBaseContainerRef& out) const
{
    out = controls;
    return controls.IsValid();
}

bool ZuCommandFactory::HasControls() const
{
    return controls.IsValid() && controls->TotalCount() != 0;
}

bool ZuCommandFactory::AttachControl(const ZuObjectRef& control)
{
    AttachObserver(control, notify_enabled, a_set_enable, 0);
    AttachObserver(control, notify_disabled, a_set_disable, 0);
    return true;
}

bool ZuCommandFactory::DetachControl(const ZuObjectRef& control)
{
    DetachObserver(control, notify_enabled, a_set_enable, 0);
    DetachObserver(control, notify_disabled, a_set_disable, 0);
    return true;
}

void ZuCommandFactory::NotifyAttach(const ZuObjectRef& source)
{
    ZuObject::NotifyAttach(source);
    if (IsControl(source))
        InsertControl(source);
}

void ZuCommandFactory::NotifyDetach(const ZuObjectRef& source)
{
    ZuObject::NotifyDetach(source);
    if (IsControl(source))
        RemoveControl(source);
}

// ---------------------------------------------------------------- deletion

void ZuCommandFactory::Delete()
{
    ZuCommandFactoryRef self(this);
    if (commands.IsValid()) {
        ZuObjectRef first;
        while (commands->Get(0, first)) {
            const unsigned before = commands->TotalCount();
            first->Delete();
            // A command that did not leave (its Delete overridden without
            // the base) would be met again: take it out here.
            if (commands->TotalCount() >= before)
                commands->Remove(0u);
        }
    }
    if (async_events.IsValid()) {
        const ZuAppRef& app = ZuApp::Current();
        for (unsigned i = 0; i < async_events->TotalCount(); ++i) {
            ZuObjectRef path;
            if (!async_events->Get(i, path) || path.IsInvalid())
                continue;
            if (app.IsValid())
                app->DetachAsyncObserver(self, ZuAtomPathRef(path), a_new_command, 0);
            path->Delete();
            async_events->Access(i) = ZuObjectNull;
        }
    }
    // A deleted factory is no longer found by its name.
    if (controller.IsValid())
        SetController(ZuControllerNull);
    if (children.IsValid()) {
        children->Delete();
        children = ZuArrayRef();
    }
    ZuObject::Delete();
}

// ---------------------------------------------------------------- storage

void ZuCommandFactory::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    ZuiPictogramLabel::StoreInstance(storage);
}

void ZuCommandFactory::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    ZuiPictogramLabel::RestoreInstance(storage);
}
