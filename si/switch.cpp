#include "si/switch.h"

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/textstyle.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuSwitch, "si/switch", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuSwitch, ZuiTitleWidget)
ZU_IMPLEMENT_INTERFACE(ZuSwitch, ZuiValue)

ZuAtomRef ZuSwitch::notify_user_changed;
ZuAtomRef ZuSwitch::notify_auto_changed;
ZuAtomRef ZuSwitch::icon_check_box;
ZuAtomRef ZuSwitch::icon_radio_button;

ZU_EXPORT_NOTIFY(ZuSwitch, user_changed, "notify_user_changed", &ZuSwitch::notify_user_changed)
ZU_EXPORT_NOTIFY(ZuSwitch, auto_changed, "notify_auto_changed", &ZuSwitch::notify_auto_changed)
ZU_EXPORT_NOTIFY(ZuSwitch, check_box, "Zuvi_SwitchCheckBox", &ZuSwitch::icon_check_box)
ZU_EXPORT_NOTIFY(ZuSwitch, radio_button, "Zuvi_SwitchRadioButton", &ZuSwitch::icon_radio_button)
static Zuvi_NotifyExport zuvi_notify_ZuSwitch_user_state(&ZuSwitchRef::RetRuntime(),
                                                         "notify_user_changed", "switch_state",
                                                         nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuSwitch_auto_state(&ZuSwitchRef::RetRuntime(),
                                                         "notify_auto_changed", "switch_state",
                                                         nullptr);

namespace {

// Space between the icon and the title.
const double kTitleGap = 6;

ZuSwitch* AsSwitch(ZuObject* o)
{
    return static_cast<ZuSwitch*>(o);
}
void GetSwitchState(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsSwitch(o)->RetSwitchState());
}
bool SetSwitchState(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsSwitch(o)->SetSwitchState(Zuvi_ValueToBool(value));
}
void GetTitle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsSwitch(o)->RetTitle()));
}
bool SetTitle(const ZuValueRef& value, ZuObject* o)
{
    return AsSwitch(o)->SetTitle(value.IsValid() ? ZuStringRef(value) : ZuStringRef(""));
}
void GetRadioMode(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsSwitch(o)->RetRadioButtonMode());
}
bool SetRadioMode(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsSwitch(o)->SetRadioButtonMode(Zuvi_ValueToBool(value));
}

void DeclareSwitchData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuSwitchRef::RetRuntime(), "switch_state", "Switch state", &Bool_type, true, true,
         &GetSwitchState, &SetSwitchState},
        {&ZuSwitchRef::RetRuntime(), "title", "Switch title", &ZuString_type, true, true, &GetTitle,
         &SetTitle},
        {&ZuSwitchRef::RetRuntime(), "radio_button_mode", "radio button mode", &Bool_type, true,
         true, &GetRadioMode, &SetRadioMode},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport switch_data(&DeclareSwitchData, ZuSwitchRef::RetRuntime());

ZuStorageSync& SwitchRecord()
{
    static ZuStorageSync record("<ZuSwitch title icon>");
    return record;
}

} // namespace

ZuSwitch::ZuSwitch()
{
    style.SetBit(ZU_CTRL_TOGGLE_SWITCH);
    icon = icon_check_box.IsValid() ? icon_check_box : ZuAtomRef("Zuvi_SwitchCheckBox");
}

ZuSwitch::~ZuSwitch()
{
    ZU_ASSERT_TEXT(title.IsValid() == false, "this->title.IsValid () == FALSE");
}

void ZuSwitch::Delete()
{
    AllocTitle(false);
    ZuToggleControl::Delete();
}

ZuObjectRef ZuSwitch::Copy(const ZuObjectRef& source)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuSwitchRef::RetRuntime()) || source == this)
        return ZuControl::Copy(source);
    ZuSwitch* other = static_cast<ZuSwitch*>(source.Resolve());
    if (other->title.IsValid())
        SetTitle(other->RetTitle());
    SetRadioButtonMode(other->RetRadioButtonMode());
    // The other's title stays out of the children the view part clones:
    // this switch has its own title already.
    ZuViewRef other_title = other->title;
    if (other_title.IsValid())
        other_title->SetParent(ZuViewNull);
    ZuObjectRef result = ZuControl::Copy(source);
    if (other_title.IsValid())
        other_title->SetParent(ZuViewRef(other));
    return result;
}

void ZuSwitch::StoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::StoreInstance(s);
    s << SwitchRecord() << ZuStorageSync::begin;
    s->StoreObject(title);
    s->StoreAtom(icon);
    s << ZuStorageSync::end;
}

void ZuSwitch::RestoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef tag;
    s->RestoreObject(tag, ZuViewRef::RetRuntime());
    // The title is one of the children restored with the view; anything
    // else stored in its place is no title.
    if (tag.IsValid() && tag->IsKindOf(ZuViewRef::RetRuntime()) &&
        ZuViewRef(tag)->RetParent() == this)
        title = ZuViewRef(tag);
    else
        title = ZuViewRef();
    s->RestoreAtom(icon);
    s >> ZuStorageSync::end;
}

void ZuSwitch::AllocTitle(bool make)
{
    if (!make) {
        if (title.IsInvalid())
            return;
        ZuViewRef tag = title;
        title = ZuViewRef();
        tag->SetParent(ZuViewNull);
        tag->Delete();
        return;
    }
    if (title.IsValid())
        return;
    ZuRuntimeRef rt;
    if (!ZuClassFactory::GetClass(text_tag_class, rt))
        return;
    ZuObjectRef made(ZuClassFactory::New(rt, RetMemZone(), __LINE__, ZU_SRC_FILE));
    if (made.IsInvalid() || !made->IsKindOf(ZuViewRef::RetRuntime())) {
        if (made.IsValid())
            made->Delete();
        return;
    }
    title = ZuViewRef(made);
    title->SetParent(ZuViewRef(this));
    title->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    title->ChangeState(ZU_VIEW_NO_UI_MODIF, true, false);
    title->ChangeState(ZU_VIEW_NO_UI_INSPECT, true, false);
    ZuTextStyle text_style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER);
    title->DefineData(ZuAtomRef("text_style"), ZuValueRef(text_style));
    // The box is unchanged, so the geometry hook is called directly to
    // place the new title.
    NotifyGeometryChange(box);
}

void ZuSwitch::InitAsCheckBox()
{
    ChangeStyle(ZU_CTRL_TOGGLE_RADIO, false);
    ChangeStyle(ZU_CTRL_TOGGLE_SWITCH, true);
    icon = icon_check_box;
}

void ZuSwitch::InitAsRadioButton()
{
    ChangeStyle(ZU_CTRL_TOGGLE_RADIO, true);
    ChangeStyle(ZU_CTRL_TOGGLE_SWITCH, false);
    icon = icon_radio_button;
}

bool ZuSwitch::SetRadioButtonMode(bool radio)
{
    if (radio)
        InitAsRadioButton();
    else
        InitAsCheckBox();
    return true;
}

bool ZuSwitch::RetRadioButtonMode() const
{
    return style.TestBit(ZU_CTRL_TOGGLE_RADIO);
}

bool ZuSwitch::SetSwitchState(bool on)
{
    if (state.TestBit(ZU_VIEW_IS_ON) == on)
        return true;
    if (on)
        TurnOn();
    else
        TurnOff();
    QuickReport(notify_auto_changed, 0);
    return true;
}

bool ZuSwitch::RetSwitchState() const
{
    return state.TestBit(ZU_VIEW_IS_ON);
}

bool ZuSwitch::SetTitle(const ZuStringRef& text)
{
    AllocTitle(true);
    if (title.IsInvalid())
        return false;
    title->DefineData(ZuAtomRef("text"),
                      ZuValueRef(ZuObjectRef(text.IsValid() ? text : ZuStringRef(""))));
    return true;
}

ZuStringRef ZuSwitch::RetTitle() const
{
    ZuValueRef value;
    if (title.IsValid() && title->QueryData(ZuAtomRef("text"), value) && value.IsValid())
        return ZuStringRef(value);
    return ZuStringRef("");
}

bool ZuSwitch::SetValue(const ZuValueRef& value)
{
    if (value.IsInvalid())
        return false;
    return SetSwitchState(Zuvi_ValueToBool(value));
}

ZuValueRef ZuSwitch::RetValue()
{
    return ZuValueRef(RetSwitchState());
}

void ZuSwitch::Action(bool flag)
{
    ZuToggleControl::Action(flag);
    if (flag)
        QuickReport(notify_user_changed, 1);
}

void ZuSwitch::GetIconSize(double& dx, double& dy) const
{
    dx = dy = 0;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid() && icon.IsValid() && !look->GetIconSize(icon, dx, dy, 0))
        dx = dy = 0;
}

void ZuSwitch::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuToggleControl::NotifyGeometryChange(old_box);
    if (title.IsInvalid())
        return;
    double iw = 0, ih = 0;
    GetIconSize(iw, ih);
    double w = box.DX() - kTitleGap - iw;
    title->SetBox(ZuRect(box.X1() + iw + kTitleGap, box.Y1(), box.X1() + iw + kTitleGap + w - 1,
                         box.Y1() + box.DY() - 1));
}

void ZuSwitch::GetMinSize(double& dx, double& dy) const
{
    double iw = 0, ih = 0;
    GetIconSize(iw, ih);
    double tw = 0, th = 0;
    if (title.IsValid())
        title->GetMinSize(tw, th);
    dx = iw + tw + kTitleGap;
    dy = ih > th ? ih : th;
}

void ZuSwitch::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuToggleControl::DrawFront(port, rect);
    if (port.IsInvalid() || icon.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    double iw = 0, ih = 0;
    GetIconSize(iw, ih);
    const ZuLookManRef& look = ZuLookMan::Current();
    double frame = look.IsValid() ? look->RetWidgetFrameSize() : 0;
    adorner->DrawIcon(box.X1() + frame, box.Y1() + (box.DY() - ih) * 0.5, icon, i_state, 0, 0);
}

void ZuSwitch::DrawActiveFrame(const ZuGrailPortRef&, const ZuAdornerRef& adorner, double)
{
    if (title.IsValid() && adorner.IsValid())
        adorner->DrawRect(title->RetBox(), ZU_COLOR_BLACK, 0);
}
