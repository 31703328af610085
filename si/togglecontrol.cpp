#include "si/togglecontrol.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuToggleControl, "si/togglecontrol", ZU_CLASS_PLAIN)

ZuAtomRef ZuToggleControl::clear_radio_button;

ZU_EXPORT_NOTIFY(ZuToggleControl, clear_radio, "ClearRadioButton",
                 &ZuToggleControl::clear_radio_button)
ZU_EXPORT_NOTIFY(ZuToggleControl, turn_on, "TurnOn", nullptr)
ZU_EXPORT_NOTIFY(ZuToggleControl, turn_off, "TurnOff", nullptr)
ZU_EXPORT_NOTIFY(ZuToggleControl, toggle, "Toggle", nullptr)

namespace {

// Calls by name, without argument; each answers true.
#define ZU_TOGGLE_ACTOR(TAG, NAME, CALL)            \
    Zuvi_TargetExport toggle_actor_##TAG(           \
        [](ZuObject* o) -> bool {                   \
            static_cast<ZuToggleControl*>(o)->CALL; \
            return true;                            \
        },                                          \
        NAME, ZuToggleControlRef::RetRuntime());
ZU_TOGGLE_ACTOR(turn_on, "TurnOn", TurnOn())
ZU_TOGGLE_ACTOR(turn_off, "TurnOff", TurnOff())
ZU_TOGGLE_ACTOR(toggle, "Toggle", Toggle())
#undef ZU_TOGGLE_ACTOR

// The user name of a view's parent; the null atom without a parent.
ZuAtomRef ParentName(ZuView* view)
{
    const ZuViewRef& parent = view->RetParent();
    return parent.IsValid() ? parent->RetUserName() : ZuAtomRef();
}

} // namespace

void ZuToggleControl::StoreInstance(const ZuStorageRef& storage)
{
    ZuControl::StoreInstance(storage);
}

void ZuToggleControl::RestoreInstance(const ZuStorageRef& storage)
{
    ZuControl::RestoreInstance(storage);
}

void ZuToggleControl::Delete()
{
    ZuControl::Delete();
}

void ZuToggleControl::Action(bool flag)
{
    if (style.TestBit(ZU_CTRL_TOGGLE_RADIO) || style.TestBit(ZU_CTRL_TOGGLE_SWITCH) ||
        style.TestBit(ZU_CTRL_TOGGLE_TWICE))
        Toggle();
    ZuControl::Action(flag);
}

void ZuToggleControl::TurnOn()
{
    bool radio = style.TestBit(ZU_CTRL_TOGGLE_RADIO);
    bool twice = style.TestBit(ZU_CTRL_TOGGLE_TWICE);
    bool on = state.TestBit(ZU_VIEW_IS_ON);
    if (((radio && !twice) || (twice && on)) && window.IsValid())
        window->Broadcast(clear_radio_button, ZuObjectRef(this));
    if (!state.TestBit(ZU_VIEW_IS_ON))
        ChangeState(ZU_VIEW_IS_ON, true, style.TestBit(ZU_CTRL_TOGGLE_BROADCAST));
}

void ZuToggleControl::TurnOff()
{
    if (state.TestBit(ZU_VIEW_IS_ON))
        ChangeState(ZU_VIEW_IS_ON, false, style.TestBit(ZU_CTRL_TOGGLE_BROADCAST));
}

void ZuToggleControl::Toggle()
{
    if (style.TestBit(ZU_CTRL_TOGGLE_RADIO) && !style.TestBit(ZU_CTRL_TOGGLE_SWITCH))
        TurnOn();
    else if (state.TestBit(ZU_VIEW_IS_ON))
        TurnOff();
    else
        TurnOn();
}

void ZuToggleControl::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    if (style.TestBit(ZU_CTRL_TOGGLE_RADIO) && state.TestBit(ZU_VIEW_IS_ON) &&
        name == clear_radio_button && argument.IsValid() && argument != this &&
        argument->IsKindOf(ZuViewRef::RetRuntime())) {
        ZuView* sender = static_cast<ZuView*>(argument.Resolve());
        if (ParentName(sender) == ParentName(this)) {
            TurnOff();
            Display(true);
        }
    }
    ZuControl::Broadcast(name, argument);
}
