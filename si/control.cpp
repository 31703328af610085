#include "si/control.h"

#include "si/adorner.h"
#include "si/app.h"
#include "si/bitsetinfo.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuControl, "si/control", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuCtrlActionType)
ZU_ENUM_REGISTER(ZuCtrlStyleBit)
ZU_BITSET_REGISTER(ZuCtrlStyle)

ZuCtrlStyle Zuvi_ValueToZuCtrlStyle(const ZuValueRef& value)
{
    ZuCtrlStyle set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

Zuvi_ToolTipCalls ZuControl::tool_tip_calls;
const char* ZuControl::tool_tip_class = "ZuToolTip";
const char* ZuControl::text_tag_class = "ZuTextTag";

ZuAtomRef ZuControl::notify_clicked;
ZuAtomRef ZuControl::notify_still_clicked;
ZuAtomRef ZuControl::notify_entered;
ZuAtomRef ZuControl::notify_left;

ZU_EXPORT_NOTIFY(ZuControl, clicked, "notify_clicked", &ZuControl::notify_clicked)
ZU_EXPORT_NOTIFY(ZuControl, still_clicked, "notify_still_clicked", &ZuControl::notify_still_clicked)
ZU_EXPORT_NOTIFY(ZuControl, left_pressed, "notify_left_button_pressed", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, right_pressed, "notify_right_button_pressed", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, middle_pressed, "notify_middle_button_pressed", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, extra_pressed, "notify_extra_button_pressed", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, left_released, "notify_left_button_released", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, right_released, "notify_right_button_released", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, middle_released, "notify_middle_button_released", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, extra_released, "notify_extra_button_released", nullptr)
ZU_EXPORT_NOTIFY(ZuControl, entered, "notify_entered", &ZuControl::notify_entered)
ZU_EXPORT_NOTIFY(ZuControl, left, "notify_left", &ZuControl::notify_left)
ZU_EXPORT_OBSERVER(ZuControl, HandleKeyAlt)

namespace {

// Tick ids of a control.
const unsigned kTickContReport = 1;
const unsigned kTickAutoScroll = 5;

ZuControl* AsControl(ZuObject* o)
{
    return static_cast<ZuControl*>(o);
}

void GetStyle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<const ZuBitset&>(AsControl(o)->RetStyle()));
}
bool SetStyle(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsControl(o)->SetStyle(Zuvi_ValueToZuCtrlStyle(value));
}
void GetSensitiveButtons(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<const ZuBitset&>(AsControl(o)->RetSensitiveButtons()));
}
bool SetSensitiveButtons(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsControl(o)->SetSensitiveButtons(Zuvi_ValueToZuEventButtons(value));
}
void GetReliefColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsControl(o)->RetReliefColor());
}
bool SetReliefColor(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsControl(o)->SetReliefColor(ZuColorPixel(value));
}
void GetToolTip(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsControl(o)->RetToolTip()));
}
bool SetToolTip(const ZuValueRef& value, ZuObject* o)
{
    return AsControl(o)->SetToolTip(value.IsValid() ? ZuStringRef(value) : ZuStringRef());
}
void GetBackAdornerName(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsControl(o)->RetBackAdornerName()));
}
bool SetBackAdornerName(const ZuValueRef& value, ZuObject* o)
{
    return AsControl(o)->SetBackAdornerName(Zuvi_ValueToZuAtom(value));
}
void GetForeAdornerName(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsControl(o)->RetForeAdornerName()));
}
bool SetForeAdornerName(const ZuValueRef& value, ZuObject* o)
{
    return AsControl(o)->SetForeAdornerName(Zuvi_ValueToZuAtom(value));
}

const Zuvi_BitsetDataDef kMouseButtons[] = {
    {0, "left button", ZU_BITSET_DATA_BIT},     {1, "right button", ZU_BITSET_DATA_BIT},
    {2, "middle button", ZU_BITSET_DATA_BIT},   {3, "extra button #1", ZU_BITSET_DATA_BIT},
    {4, "extra button #2", ZU_BITSET_DATA_BIT}, {5, "extra button #3", ZU_BITSET_DATA_BIT},
    {6, "extra button #4", ZU_BITSET_DATA_BIT},
};

void DeclareControlData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuControlRef::RetRuntime(), "style", "Style", &ZuCtrlStyle_type, true, true, &GetStyle,
         &SetStyle},
        {&ZuControlRef::RetRuntime(), "relief_color", "Color for 3D border", &ZuColorPixel_type,
         true, true, &GetReliefColor, &SetReliefColor},
        {&ZuControlRef::RetRuntime(), "tool_tip", "Tool tip caption", &ZuString_type, true, true,
         &GetToolTip, &SetToolTip},
        {&ZuControlRef::RetRuntime(), "back_adorner_name", "Background adorner name", &ZuAtom_type,
         true, true, &GetBackAdornerName, &SetBackAdornerName},
        {&ZuControlRef::RetRuntime(), "fore_adorner_name", "Foreground adorner name", &ZuAtom_type,
         true, true, &GetForeAdornerName, &SetForeAdornerName},
    };
    static Zuvi_PubDataDef buttons = {&ZuControlRef::RetRuntime(),
                                      "sensitive_buttons",
                                      "Sensitive buttons",
                                      &ZuEventButtons_type,
                                      true,
                                      true,
                                      &GetSensitiveButtons,
                                      &SetSensitiveButtons};
    runtime->PublishData(items[0]);
    runtime->PublishData(buttons);
    runtime->PublishDataEx(buttons, kMouseButtons, sizeof kMouseButtons);
    for (unsigned i = 1; i < sizeof items / sizeof items[0]; ++i)
        runtime->PublishData(items[i]);
}

Zuvi_PubDataExport control_data(&DeclareControlData, ZuControlRef::RetRuntime());

ZuStorageSync& ControlRecord()
{
    static ZuStorageSync record("<ZuControl <key_alt type value code modifiers> tool_tip_caption "
                                "min_dx min_dy inbox style relief_color i_state back_adorner_name "
                                "back_adorner_frame fore_adorner_name fore_adorner_frame>");
    return record;
}

ZuFrameEdges AllEdges()
{
    ZuFrameEdges edges;
    for (ZuFrameEdgeBit bit = ZU_FRAME_TOP; IsValid(bit); bit++)
        edges.SetBit(bit);
    return edges;
}

ZuKeyModifiers NoModifier()
{
    ZuKeyModifiers m;
    m.SetBit(ZU_MOD_NONE);
    return m;
}

// Whether a held button (of the event's set) is among the sensitive ones.
bool HoldsSensitive(const ZuEventButtons& held, const ZuEventButtons& sensitive)
{
    ZuEventButtons both = held;
    both *= sensitive;
    both.ClearBit(ZU_EV_BUTTON_NONE);
    return !both.TestNone();
}

bool NoButtonHeld(const ZuEventButtons& held)
{
    ZuEventButtons rest = held;
    rest.ClearBit(ZU_EV_BUTTON_NONE);
    return rest.TestNone();
}

bool IsActivationKey(const ZuKey& key)
{
    return key.type == ZU_KEY_RETURN || key.type == ZU_KEY_ENTER ||
           (key.type == ZU_KEY_ALPHANUM && key.value == 32);
}

const ZuLookManRef& Look()
{
    return ZuLookMan::Current();
}

} // namespace

ZuControl::ZuControl()
{
    sensitive_buttons.SetBit(ZU_EV_BUTTON_LEFT);
    relief_color = ZuColorPixel(ZU_COLOR_LGRAY);
    back_adorner_frame = AllEdges();
    fore_adorner_frame = AllEdges();
    key_alt.modifiers = NoModifier();
    state.SetBit(ZU_VIEW_OK_ACTIVE);
}

ZuControl::~ZuControl()
{
    DisableTick();
    tool_tip_window = ZuObjectNull;
    tool_tip_caption = ZuStringRef();
    back_adorner_name = ZuAtomRef();
    fore_adorner_name = ZuAtomRef();
}

void ZuControl::Delete()
{
    CloseToolTip(true);
    DisableTick();
    StopAutoScroll();
    if (key_alt_registered)
        ClearKeyAlt();
    ZuView::Delete();
}

ZuObjectRef ZuControl::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuControlRef::RetRuntime())) {
        ZuControl* other = static_cast<ZuControl*>(source.Resolve());
        style = other->style;
        sensitive_buttons = other->sensitive_buttons;
        relief_color = other->relief_color;
        SetKeyAlt(other->key_alt);
        SetToolTip(other->tool_tip_caption);
        min_dx = other->min_dx;
        min_dy = other->min_dy;
        SetBox(other->RetBox());
        ZuRect r;
        other->GetInbox(r);
        SetInbox(r);
    }
    return ZuView::Copy(source);
}

// ---- Storage ----

void ZuControl::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << ControlRecord() << ZuStorageSync::begin;
    s << ZuStorageSync::begin;
    s->StoreCard(static_cast<unsigned>(key_alt.type));
    s->StoreCard(key_alt.value);
    s->StoreCard(key_alt.code);
    s << static_cast<const ZuBitset&>(key_alt.modifiers);
    s << ZuStorageSync::end;
    s->StoreObject(tool_tip_caption);
    s->StoreReal(min_dx);
    s->StoreReal(min_dy);
    s << inbox << static_cast<const ZuBitset&>(style) << relief_color;
    s->StoreCard(static_cast<unsigned>(i_state));
    s->StoreAtom(back_adorner_name);
    s << static_cast<const ZuBitset&>(back_adorner_frame);
    s->StoreAtom(fore_adorner_name);
    s << static_cast<const ZuBitset&>(fore_adorner_frame);
    s << ZuStorageSync::end;
}

void ZuControl::RestoreInstance(const ZuStorageRef& s)
{
    if (key_alt_registered && window.IsValid())
        ClearKeyAlt();
    key_alt_registered = false;
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> ZuStorageSync::begin;
    ZuKey key;
    key.type = static_cast<ZuKeyType>(s->RestoreCard(ZU_KEY_NONE));
    key.value = static_cast<uint16_t>(s->RestoreCard(0));
    key.code = static_cast<uint8_t>(s->RestoreCard(0));
    s >> static_cast<ZuBitset&>(key.modifiers);
    s >> ZuStorageSync::end;
    // Outside data: a key type the library does not know is no shortcut.
    if (!IsValid(key.type)) {
        key = ZuKey();
        key.modifiers = NoModifier();
    }
    key_alt = key;
    ZuObjectRef caption;
    s->RestoreObject(caption, ZuStringRef::RetRuntime());
    tool_tip_caption = caption.IsValid() && caption->IsKindOf(ZuStringRef::RetRuntime())
                           ? ZuStringRef(caption)
                           : ZuStringRef();
    min_dx = s->RestoreReal(min_dx);
    min_dy = s->RestoreReal(min_dy);
    s >> inbox >> static_cast<ZuBitset&>(style) >> relief_color;
    unsigned st = static_cast<unsigned>(s->RestoreCard(ZU_CTRL_STATE_NORMAL));
    i_state =
        IsValid(static_cast<ZuCtrlState>(st)) ? static_cast<ZuCtrlState>(st) : ZU_CTRL_STATE_NORMAL;
    s->RestoreAtom(back_adorner_name);
    s >> static_cast<ZuBitset&>(back_adorner_frame);
    s->RestoreAtom(fore_adorner_name);
    s >> static_cast<ZuBitset&>(fore_adorner_frame);
    s >> ZuStorageSync::end;
}

// ---- Style and accessors ----

void ZuControl::NotifyStyleChange(const ZuCtrlStyle&) {}

bool ZuControl::SetStyle(const ZuCtrlStyle& new_style)
{
    ZuCtrlStyle changed = style;
    changed ^= new_style;
    style = new_style;
    if (!changed.TestNone())
        NotifyStyleChange(changed);
    return true;
}

bool ZuControl::ChangeStyle(ZuCtrlStyleBit bit, bool value)
{
    if (style.TestBit(bit) == value)
        return true;
    ZuCtrlStyle changed;
    changed.SetBit(bit);
    if (value)
        style.SetBit(bit);
    else
        style.ClearBit(bit);
    NotifyStyleChange(changed);
    return true;
}

bool ZuControl::ChangeStyle(const ZuCtrlStyle& bits, bool value)
{
    ZuCtrlStyle old = style;
    if (value)
        style += bits;
    else
        style -= bits;
    ZuCtrlStyle changed = old;
    changed ^= style;
    if (!changed.TestNone())
        NotifyStyleChange(changed);
    return true;
}

bool ZuControl::SetSensitiveButtons(const ZuEventButtons& buttons)
{
    sensitive_buttons = buttons;
    return true;
}
bool ZuControl::SetReliefColor(const ZuColorPixel& color)
{
    relief_color = color;
    return true;
}
bool ZuControl::SetToolTip(const ZuStringRef& caption)
{
    tool_tip_caption = caption.IsValid() ? ZuStringRef(caption->Clone()) : ZuStringRef();
    return true;
}
bool ZuControl::SetBackAdornerName(const ZuAtomRef& name)
{
    back_adorner_name = name;
    return true;
}
bool ZuControl::SetForeAdornerName(const ZuAtomRef& name)
{
    fore_adorner_name = name;
    return true;
}
const ZuCtrlStyle& ZuControl::RetStyle() const
{
    return style;
}
ZuEventButtons ZuControl::RetSensitiveButtons() const
{
    return sensitive_buttons;
}
ZuColorPixel ZuControl::RetReliefColor() const
{
    return relief_color;
}
const ZuStringRef& ZuControl::RetToolTip() const
{
    return tool_tip_caption;
}
const ZuAtomRef& ZuControl::RetBackAdornerName() const
{
    return back_adorner_name;
}
const ZuAtomRef& ZuControl::RetForeAdornerName() const
{
    return fore_adorner_name;
}
ZuCtrlState ZuControl::RetInteractiveState() const
{
    return i_state;
}
double ZuControl::RetEffectSize() const
{
    if (!style.TestBit(ZU_CTRL_DRAW_RELIEF) || Look().IsInvalid())
        return 0;
    return Look()->Ret3DEffectWidth();
}
bool ZuControl::SetDesiredMinSize(double dx, double dy)
{
    min_dx = dx;
    min_dy = dy;
    return true;
}
bool ZuControl::GetDesiredMinSize(double& dx, double& dy) const
{
    dx = min_dx;
    dy = min_dy;
    return true;
}

void ZuControl::GetMinSize(double& dx, double& dy) const
{
    ZuView::GetMinSize(dx, dy);
    if (min_dx > dx)
        dx = min_dx;
    if (min_dy > dy)
        dy = min_dy;
}

void ZuControl::GetMaxSize(double& dx, double& dy) const
{
    ZuView::GetMaxSize(dx, dy);
}

void ZuControl::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    ZuView::Broadcast(name, argument);
}

// ---- Interactive state and colours ----

void ZuControl::NotifyStateChange(const ZuViewState& changed)
{
    ZuView::NotifyStateChange(changed);
    UpdateInteractiveState();
}

void ZuControl::UpdateInteractiveState()
{
    bool on = state.TestBit(ZU_VIEW_IS_ON);
    if (!state.TestBit(ZU_VIEW_IS_ENABLED))
        i_state = on ? ZU_CTRL_STATE_ACTIVE_DIMMED : ZU_CTRL_STATE_NORMAL_DIMMED;
    else if (state.TestBit(ZU_VIEW_IS_CLICKED))
        i_state = on ? ZU_CTRL_STATE_ACTIVE_CLICKED : ZU_CTRL_STATE_NORMAL_CLICKED;
    else if (state.TestBit(ZU_VIEW_IS_HOT))
        i_state = on ? ZU_CTRL_STATE_ACTIVE_HOT : ZU_CTRL_STATE_NORMAL_HOT;
    else
        i_state = on ? ZU_CTRL_STATE_ACTIVE : ZU_CTRL_STATE_NORMAL;
}

bool ZuControl::MapStateToBackColor(ZuLookColor& color)
{
    bool on = state.TestBit(ZU_VIEW_IS_ON);
    bool hot = state.TestBit(ZU_VIEW_IS_HOT);
    bool clicked = state.TestBit(ZU_VIEW_IS_CLICKED);
    if ((on && style.TestBit(ZU_CTRL_SELECT_WHEN_ON)) ||
        (hot && style.TestBit(ZU_CTRL_SELECT_WHEN_HOT)) ||
        (clicked && style.TestBit(ZU_CTRL_SELECT_WHEN_CLICKED))) {
        color = ZU_COLOR_HILITE_SELECT;
        return true;
    }
    if (on && style.TestBit(ZU_CTRL_HILITE_WHEN_ON)) {
        color = ZU_COLOR_HILITE_ON;
        return true;
    }
    if (hot && style.TestBit(ZU_CTRL_HILITE_WHEN_HOT)) {
        color = ZU_COLOR_HILITE_HOT;
        return true;
    }
    if (clicked && style.TestBit(ZU_CTRL_HILITE_WHEN_CLICKED)) {
        color = ZU_COLOR_HILITE_CLICKED;
        return true;
    }
    return false;
}

// ---- The click ----

void ZuControl::ActionOn()
{
    if (!state.TestBit(ZU_VIEW_IS_ENABLED))
        return;
    ChangeState(ZU_VIEW_IS_CLICKED, true, style.TestBit(ZU_CTRL_CLICK_BROADCAST));
    // A control not yet placed in a window (or taken out of it) still
    // clicks; there is just no keyboard target to hold back.
    if (!state.TestBit(ZU_VIEW_IS_ACTIVE) && window.IsValid())
        window->DisableMainResponder();
    if (style.TestBit(ZU_CTRL_CLICK_CONT_REPORT))
        EnableTick();
}

void ZuControl::ActionOff()
{
    if (!state.TestBit(ZU_VIEW_IS_ENABLED))
        return;
    if (window.IsValid())
        window->EnableMainResponder();
    ChangeState(ZU_VIEW_IS_CLICKED, false, style.TestBit(ZU_CTRL_CLICK_BROADCAST));
    if (style.TestBit(ZU_CTRL_CLICK_CONT_REPORT))
        DisableTick();
}

void ZuControl::Action(bool flag)
{
    if (state.TestBit(ZU_VIEW_IS_ENABLED) && state.TestBit(ZU_VIEW_OK_ACTIVE) && flag &&
        window.IsValid())
        window->SetMainResponder(ZuResponderRef(this), flag);
    QuickReport(notify_clicked, flag ? 1 : 0);
}

void ZuControl::EnableTick()
{
    if (!style.TestBit(ZU_CTRL_CLICK_CONT_REPORT))
        return;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsInvalid() || Look().IsInvalid())
        return;
    app->InsertTickResponder(ZuObjectRef(this), static_cast<int>(Look()->RetAutoRepeatTime()),
                             kTickContReport, true);
}

void ZuControl::DisableTick()
{
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsInvalid())
        return;
    app->RemoveTickResponder(ZuObjectRef(this), kTickContReport, false);
}

void ZuControl::Tick(unsigned id)
{
    if (id == kTickContReport) {
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid() && Look().IsValid())
            app->InsertTickResponder(ZuObjectRef(this),
                                     static_cast<int>(Look()->RetAutoRepeatTime()), kTickContReport,
                                     false);
        QuickReport(notify_still_clicked, 1);
    } else if (id == kTickAutoScroll) {
        double direction = auto_scroll_direction;
        double amount = auto_scroll_amount;
        auto_scroll_direction = 0;
        auto_scroll_amount = 0;
        StartAutoScroll(direction, amount, false);
        HandleAutoScroll(direction, amount);
    } else {
        ZuView::Tick(id);
    }
}

// ---- Pointer ----

void ZuControl::ButtonPress(const ZuEventRef& event)
{
    ZU_ASSERT_TEXT(event.IsValid(), "event.IsValid ()");
    if (!state.TestBit(ZU_VIEW_IS_ENABLED) || state.TestBit(ZU_VIEW_IS_CLICKED))
        return;
    ZuEventButton change = event->RetChange();
    if (sensitive_buttons.TestBit(change)) {
        ActionOn();
        Display(true);
    }
    if (event->RetType() == ZU_EVENT_PRESS) {
        static const char* const names[] = {
            "notify_left_button_pressed",   "notify_right_button_pressed",
            "notify_middle_button_pressed", "notify_extra_button_pressed",
            "notify_extra_button_pressed",  "notify_extra_button_pressed",
            "notify_extra_button_pressed"};
        if (static_cast<unsigned>(change) < 7)
            QuickReport(names[change], 0);
    }
}

void ZuControl::ButtonRelease(const ZuEventRef& event)
{
    ZU_ASSERT_TEXT(event.IsValid(), "event.IsValid ()");
    bool enabled = state.TestBit(ZU_VIEW_IS_ENABLED);
    ZuEventButton change = event->RetChange();
    if (enabled && event->RetType() == ZU_EVENT_RELEASE && !event->IsCancelled()) {
        static const char* const names[] = {
            "notify_left_button_released",   "notify_right_button_released",
            "notify_middle_button_released", "notify_extra_button_released",
            "notify_extra_button_released",  "notify_extra_button_released",
            "notify_extra_button_released"};
        if (static_cast<unsigned>(change) < 7)
            QuickReport(names[change], 0);
    }
    if (!enabled || !state.TestBit(ZU_VIEW_IS_CLICKED))
        return;
    if (event->IsCancelled() || sensitive_buttons.TestBit(change)) {
        StopAutoScroll();
        ActionOff();
        if (!event->IsCancelled()) {
            Action(true);
            event->Cancel();
        }
        Display(true);
    }
    ZuResponder::ButtonRelease(event);
}

void ZuControl::DragNotify(const ZuEventRef&)
{
    if (state.TestBit(ZU_VIEW_IS_CLICKED))
        HandleSelectMotion();
}

void ZuControl::EnterNotify(const ZuEventRef& event)
{
    ZuView::EnterNotify(event);
    QuickReport(notify_entered, 0);
    bool enabled = state.TestBit(ZU_VIEW_IS_ENABLED);
    ZuEventButtons held = event.IsValid() ? event->RetButtons() : ZuEventButtons();
    bool acted = false;
    if (enabled && !style.TestBit(ZU_CTRL_IGNORE_HOT) && NoButtonHeld(held)) {
        HotOn();
        acted = true;
    }
    if (enabled && !style.TestBit(ZU_CTRL_CLICK_EXCLUSIVE) && !state.TestBit(ZU_VIEW_IS_CLICKED) &&
        HoldsSensitive(held, sensitive_buttons)) {
        ActionOn();
        acted = true;
    }
    if (acted)
        Display(true);
}

void ZuControl::LeaveNotify(const ZuEventRef& event)
{
    QuickReport(notify_left, 0);
    bool redisplay = false;
    if (state.TestBit(ZU_VIEW_IS_HOT)) {
        HotOff();
        ChangeState(ZU_VIEW_IS_HOT, false, false);
        UpdateInteractiveState();
        redisplay = true;
    }
    ZuViewRef dragging;
    if (window.IsInvalid() || !window->GetDraggingView(dragging) || dragging != this)
        StopAutoScroll();
    ZuEventButtons held = event.IsValid() ? event->RetButtons() : ZuEventButtons();
    if (state.TestBit(ZU_VIEW_IS_ENABLED) && state.TestBit(ZU_VIEW_IS_CLICKED) &&
        !state.TestBit(ZU_VIEW_IS_AUTO_CLICKED) && HoldsSensitive(held, sensitive_buttons)) {
        ActionOff();
        redisplay = true;
    }
    ZuView::LeaveNotify(event);
    if (redisplay)
        Display(true);
}

// ---- Keyboard ----

ZuKeyModifiers ZuControl::StripModifiers(const ZuKeyModifiers& modifiers, bool keep_none)
{
    ZuKeyModifiers m = modifiers;
    static const ZuKeyModifier strip[] = {
        ZU_MOD_CAPS_LOCK,    ZU_MOD_EXTRA_LOCK_1, ZU_MOD_EXTRA_LOCK_2,
        ZU_MOD_EXTRA_LOCK_3, ZU_MOD_EXTRA_LOCK_4, ZU_MOD_LEFT_SHIFT,
        ZU_MOD_RIGHT_SHIFT,  ZU_MOD_LEFT_CONTROL, ZU_MOD_RIGHT_CONTROL};
    for (ZuKeyModifier bit : strip)
        m.ClearBit(bit);
    if (!keep_none)
        m.ClearBit(ZU_MOD_NONE);
    return m;
}

void ZuControl::KeyDown(const ZuEventRef& event)
{
    if (event.IsInvalid() || event->RetType() != ZU_EVENT_KEY_DOWN ||
        state.TestBit(ZU_VIEW_IS_CLICKED))
        return;
    const ZuKey& key = event->RetKey();
    ZuKeyModifiers m = StripModifiers(key.modifiers, false);
    if (key.type == ZU_KEY_TAB) {
        ZuViewRef found;
        if (m.TestNone()) {
            if (FindNextActive(found) && window.IsValid())
                window->SetMainResponder(found, false);
        } else if (m.TestBit(ZU_MOD_SHIFT)) {
            if (FindPrevActive(found) && window.IsValid())
                window->SetMainResponder(found, false);
        }
        return;
    }
    if (IsActivationKey(key) && state.TestBit(ZU_VIEW_IS_ENABLED)) {
        ActionOn();
        Display(true);
    }
}

void ZuControl::KeyUp(const ZuEventRef& event)
{
    if (event.IsInvalid() || !IsActivationKey(event->RetKey()) ||
        !state.TestBit(ZU_VIEW_IS_CLICKED))
        return;
    ActionOff();
    Action(false);
    Display(true);
}

bool ZuControl::SetKeyAlt(const ZuKey& key)
{
    if (key_alt_registered)
        ClearKeyAlt();
    key_alt = key;
    key_alt.modifiers = StripModifiers(key.modifiers, true);
    if (window.IsValid() && !IsWindow()) {
        window->NotifyInsertKeyAlt(ZuViewRef(this));
        key_alt_registered = true;
    }
    return true;
}

bool ZuControl::ClearKeyAlt()
{
    if (key_alt_registered) {
        ZU_ASSERT_TEXT(window.IsValid(), "this->window.IsValid ()");
        window->NotifyRemoveKeyAlt(ZuViewRef(this));
    }
    key_alt = ZuKey();
    key_alt.modifiers = NoModifier();
    key_alt_registered = false;
    return true;
}

bool ZuControl::GetKeyAlt(ZuKey& key) const
{
    key = key_alt;
    return key_alt.type != ZU_KEY_NONE;
}

bool ZuControl::HasKeyAlt() const
{
    return key_alt.type != ZU_KEY_NONE;
}

ZuKey ZuControl::RetKeyAlt() const
{
    return key_alt;
}

bool ZuControl::HandleKeyAlt(const ZuEventRef& event)
{
    if (event.IsInvalid() || !state.TestBit(ZU_VIEW_IS_ENABLED))
        return false;
    const ZuKey& key = event->RetKey();
    if (key.type != key_alt.type)
        return false;
    bool match = false;
    if (key_alt.code != 0)
        match = key_alt.code == key.code;
    else if (key_alt.value != 0)
        match = key_alt.value == key.value;
    else
        match = true;
    if (!match)
        return false;
    if (StripModifiers(key.modifiers, false) != StripModifiers(key_alt.modifiers, false))
        return false;
    return ActionOnKeyAlt();
}

bool ZuControl::HandleKeyAlt(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuEventRef::RetRuntime()))
        return false;
    return HandleKeyAlt(ZuEventRef(source));
}

bool ZuControl::ActionOnKeyAlt()
{
    ActionOn();
    Display(true);
    ActionOff();
    Action(false);
    Display(true);
    return true;
}

// ---- Tree ----

bool ZuControl::SetWindow(const ZuWindowRef& new_window)
{
    if (new_window == window)
        return ZuView::SetWindow(new_window);
    ZuKey saved = key_alt;
    if (key_alt_registered) {
        if (window.IsValid())
            window->NotifyRemoveKeyAlt(ZuViewRef(this));
        key_alt_registered = false;
    }
    bool moved = ZuView::SetWindow(new_window);
    if (saved.type != ZU_KEY_NONE && moved && window.IsValid())
        SetKeyAlt(saved);
    return moved;
}

bool ZuControl::SetParent(const ZuViewRef& new_parent)
{
    if (new_parent != parent && state.TestBit(ZU_VIEW_IS_HOT)) {
        HotOff();
        ChangeState(ZU_VIEW_IS_HOT, false, false);
        UpdateInteractiveState();
    }
    return ZuView::SetParent(new_parent);
}

// ---- Hot state and tool tip ----

void ZuControl::CloseToolTip(bool dismiss)
{
    if (tool_tip_window.IsInvalid())
        return;
    ZuObjectRef tip = tool_tip_window;
    tool_tip_window = ZuObjectNull;
    if (dismiss && tool_tip_calls.dismiss != nullptr)
        tool_tip_calls.dismiss(tip);
    else
        tip->Delete();
}

void ZuControl::HotOn()
{
    ChangeState(ZU_VIEW_IS_HOT, true, false);
    CloseToolTip(false);
    if (tool_tip_caption.IsInvalid() || tool_tip_caption->CharacterCount() == 0 ||
        tool_tip_calls.set_title == nullptr)
        return;
    ZuRuntimeRef rt;
    if (!ZuClassFactory::GetClass(tool_tip_class, rt))
        return;
    double x = 0, y = 0;
    if (window.IsValid())
        window->GetWindowOrigin(x, y);
    const ZuEventRef& current = ZuEvent::Current();
    if (current.IsValid()) {
        x += current->RetX();
        y += current->RetY();
    }
    y += 20;
    tool_tip_window = ZuObjectRef(ZuClassFactory::New(rt, Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    if (tool_tip_calls.set_owner != nullptr)
        tool_tip_calls.set_owner(tool_tip_window, window);
    tool_tip_calls.set_title(tool_tip_window, tool_tip_caption, x, y, true, true);
}

void ZuControl::HotOff()
{
    CloseToolTip(true);
}

// ---- Automatic scrolling ----

bool ZuControl::DetectAutoScroll(double, double, double& direction, double& amount)
{
    direction = 0;
    amount = 0;
    return false;
}

void ZuControl::HandleSelectMotion()
{
    double direction = 0, amount = 0;
    const ZuEventRef& current = ZuEvent::Current();
    double x = current.IsValid() ? current->RetX() : 0;
    double y = current.IsValid() ? current->RetY() : 0;
    DetectAutoScroll(x, y, direction, amount);
    StartAutoScroll(direction, amount, true);
    Display(true);
}

void ZuControl::HandleDropMotion()
{
    double direction = 0, amount = 0;
    DetectAutoScroll(drop_x, drop_y, direction, amount);
    StartAutoScroll(direction, amount, true);
    Display(true);
}

void ZuControl::StartAutoScroll(double direction, double amount, bool starting)
{
    if (amount == auto_scroll_amount)
        return;
    if (amount == 0) {
        StopAutoScroll();
    } else {
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid() && Look().IsValid()) {
            unsigned delay = starting ? Look()->RetAutoStartTime() : Look()->RetAutoRepeatTime();
            app->InsertTickResponder(ZuObjectRef(this), static_cast<int>(delay), kTickAutoScroll,
                                     false);
        }
    }
    auto_scroll_direction = direction;
    auto_scroll_amount = amount;
}

void ZuControl::StopAutoScroll()
{
    if (auto_scroll_amount == 0)
        return;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->RemoveTickResponder(ZuObjectRef(this), kTickAutoScroll, false);
    auto_scroll_direction = 0;
    auto_scroll_amount = 0;
}

void ZuControl::HandleAutoScroll(double, double)
{
    if (state.TestBit(ZU_VIEW_IS_CLICKED))
        HandleSelectMotion();
    if (state.TestBit(ZU_VIEW_IS_DROP_DST))
        HandleDropMotion();
    Display(true);
}

bool ZuControl::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object, ZuDragDropProtocol step)
{
    switch (step) {
    case ZU_DDP_DRAGnDROP_ENTER:
        ChangeState(ZU_VIEW_IS_DROP_DST, true, false);
        Display(true);
        return true;
    case ZU_DDP_DRAGnDROP_MOTION:
        drop_x = rect.X1();
        drop_y = (rect.Y1() + rect.Y2()) / 2;
        HandleDropMotion();
        return true;
    case ZU_DDP_DRAGnDROP_LEAVE:
    case ZU_DDP_DRAGnDROP_CANCEL:
    case ZU_DDP_DRAGnDROP_COMMIT:
        ChangeState(ZU_VIEW_IS_DROP_DST, false, false);
        Display(true);
        StopAutoScroll();
        return true;
    default:
        return ZuView::DragAndDrop(rect, object, step);
    }
}

// ---- Geometry ----

bool ZuControl::SetInbox(const ZuRect& rect)
{
    inbox = rect;
    inbox.MoveOrigin(box.X1(), box.Y1());
    return true;
}

bool ZuControl::GetInbox(ZuRect& rect) const
{
    rect = inbox;
    rect.MoveOrigin(-box.X1(), -box.Y1());
    return true;
}

void ZuControl::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuView::NotifyGeometryChange(old_box);
    // The inbox keeps its place from the top-left corner and grows or
    // shrinks with the box.
    double w = inbox.DX() + box.DX() - old_box.DX();
    double h = inbox.DY() + box.DY() - old_box.DY();
    double x1 = inbox.X1() - old_box.X1() + box.X1();
    double y1 = inbox.Y1() - old_box.Y1() + box.Y1();
    if (w <= 0 || h <= 0) {
        inbox.MakeEmpty();
        inbox.SetOrigin(x1, y1);
        return;
    }
    inbox = ZuRect(x1, y1, x1 + w - 1, y1 + h - 1);
}

// ---- Drawing ----

void ZuControl::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    double frame = 0, relief = 0;
    if (Look().IsValid()) {
        if (style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE))
            frame = Look()->RetWidgetFrameSize();
        if (style.TestBit(ZU_CTRL_DRAW_RELIEF))
            relief = Look()->Ret3DEffectWidth();
    }
    ZuLookColor color = ZU_COLOR_NONE;
    if (MapStateToBackColor(color))
        adorner->FillRect(box, color, relief + frame);
    if (style.TestBit(ZU_CTRL_DRAW_ADORNER)) {
        if (back_adorner_name.IsValid())
            adorner->DrawFrame(back_adorner_name, box, back_adorner_frame, i_state, 0);
    } else if (style.TestBit(ZU_CTRL_DRAW_RELIEF)) {
        bool sunken = style.TestBit(ZU_CTRL_DRAW_SUNKEN);
        bool invert = style.TestBit(ZU_CTRL_DRAW_INVERT);
        if (sunken == invert)
            adorner->DrawRectHigh(relief_color, box, frame);
        else if (sunken)
            adorner->DrawRectSunken(relief_color, box, frame);
        else
            adorner->DrawRectLow(relief_color, box, frame);
    }
}

void ZuControl::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    if (state.TestBit(ZU_VIEW_IS_ACTIVE) && style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE)) {
        double frame = Look().IsValid() ? Look()->RetWidgetFrameSize() : 0;
        port->SetLineStyle(ZU_LINE_DOT);
        DrawActiveFrame(port, adorner, RetEffectSize() + frame + 1);
        port->SetLineStyle(ZU_LINE_SOLID);
    }
    if (style.TestBit(ZU_CTRL_DRAW_ADORNER) && fore_adorner_name.IsValid())
        adorner->DrawFrame(fore_adorner_name, box, fore_adorner_frame, i_state, 0);
}

void ZuControl::DrawActiveFrame(const ZuGrailPortRef&, const ZuAdornerRef& adorner, double size)
{
    if (adorner.IsValid())
        adorner->DrawRect(box, ZU_COLOR_BLACK, size);
}
