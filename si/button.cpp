#include "si/button.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuButton, "si/button", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuButton, ZuiTitleWidget)

double ZuButton::flat_3D_effect = 0;
double ZuButton::press_3D_offset = 0;
double ZuButton::widget_frame_size = 0;
ZuAtomRef ZuButton::look_button;
ZuAtomRef ZuButton::look_button_cap;

ZU_EXPORT_NOTIFY(ZuButton, look_button, "Zuvi_Button", &ZuButton::look_button)
ZU_EXPORT_NOTIFY(ZuButton, look_button_cap, "Zuvi_ButtonCap", &ZuButton::look_button_cap)

namespace {

// Room kept around the icon and the shortcut.
const double kSubViewGap = 4;

ZuButton* AsButton(ZuObject* o)
{
    return static_cast<ZuButton*>(o);
}
ZuViewRef ToView(const ZuValueRef& value)
{
    return Zuvi_ValueToZuView(value);
}
void GetIcon(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsButton(o)->RetIcon()));
}
bool SetIcon(const ZuValueRef& value, ZuObject* o)
{
    return AsButton(o)->SetIcon(ToView(value));
}
void GetContents(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsButton(o)->RetContents()));
}
bool SetContents(const ZuValueRef& value, ZuObject* o)
{
    return AsButton(o)->SetContents(ToView(value));
}
void GetShortcut(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsButton(o)->RetShortcut()));
}
bool SetShortcut(const ZuValueRef& value, ZuObject* o)
{
    return AsButton(o)->SetShortcut(ToView(value));
}
void GetBackColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsButton(o)->RetBackColor());
}
bool SetBackColor(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsButton(o)->SetBackColor(ZuColorPixel(value));
}

void DeclareButtonData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuButtonRef::RetRuntime(), "icon", "Button icon", &ZuView_type, true, true, &GetIcon,
         &SetIcon},
        {&ZuButtonRef::RetRuntime(), "contents", "Button contents", &ZuView_type, true, true,
         &GetContents, &SetContents},
        {&ZuButtonRef::RetRuntime(), "shortcut", "Button shortcut", &ZuView_type, true, true,
         &GetShortcut, &SetShortcut},
        {&ZuButtonRef::RetRuntime(), "back_color", "Background color", &ZuColorPixel_type, true,
         true, &GetBackColor, &SetBackColor},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport button_data(&DeclareButtonData, ZuButtonRef::RetRuntime());

ZuStorageSync& ButtonRecord()
{
    static ZuStorageSync record("<ZuButton icon contents shortcut back_color overlay_icon "
                                "overlay_shortcut m_left m_right>");
    return record;
}

ZuCtrlStyle EffectBits()
{
    ZuCtrlStyle bits;
    bits.SetBit(ZU_CTRL_EFFECT_WHEN_ON);
    bits.SetBit(ZU_CTRL_EFFECT_WHEN_HOT);
    bits.SetBit(ZU_CTRL_EFFECT_WHEN_CLICKED);
    return bits;
}

// A stored sub-view must be one of the button's own children.
ZuViewRef OwnChild(const ZuObjectRef& o, ZuView* button)
{
    if (o.IsInvalid() || !o->IsKindOf(ZuViewRef::RetRuntime()))
        return ZuViewRef();
    ZuViewRef v(o);
    return v->RetParent() == button ? v : ZuViewRef();
}

} // namespace

void ZuButton::UpdateInternal()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid())
        return;
    flat_3D_effect = look->Ret3DEffectWidth();
    press_3D_offset = look->Ret3DPressOffset();
    widget_frame_size = look->RetWidgetFrameSize();
}

ZuButton::ZuButton()
{
    UpdateInternal();
    back_color = ZuColorPixel(ZU_COLOR_BACKGROUND);
    style.SetBit(ZU_CTRL_HILITE_WHEN_ON);
    style.SetBit(ZU_CTRL_EFFECT_WHEN_CLICKED);
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
    back_adorner_name = look_button.IsValid() ? look_button : ZuAtomRef("Zuvi_Button");
    fore_adorner_name = look_button_cap.IsValid() ? look_button_cap : ZuAtomRef("Zuvi_ButtonCap");
}

ZuButton::~ZuButton()
{
    icon = ZuViewRef();
    contents = ZuViewRef();
    shortcut = ZuViewRef();
}

void ZuButton::Delete()
{
    ZuViewRef views[] = {icon, contents, shortcut};
    icon = contents = shortcut = ZuViewRef();
    for (ZuViewRef& v : views)
        if (v.IsValid()) {
            v->SetParent(ZuViewNull);
            v->Delete();
        }
    ZuToggleControl::Delete();
}

// ---- Storage ----

void ZuButton::StoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::StoreInstance(s);
    s << ButtonRecord() << ZuStorageSync::begin;
    s->StoreObject(icon);
    s->StoreObject(contents);
    s->StoreObject(shortcut);
    s << back_color;
    s->StoreBool(icon_overlay);
    s->StoreBool(shortcut_overlay);
    s->StoreReal(left_margin);
    s->StoreReal(right_margin);
    s << ZuStorageSync::end;
}

void ZuButton::RestoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef i, c, k;
    s->RestoreObject(i, ZuViewRef::RetRuntime());
    s->RestoreObject(c, ZuViewRef::RetRuntime());
    s->RestoreObject(k, ZuViewRef::RetRuntime());
    icon = OwnChild(i, this);
    contents = OwnChild(c, this);
    shortcut = OwnChild(k, this);
    s >> back_color;
    icon_overlay = s->RestoreBool(icon_overlay);
    shortcut_overlay = s->RestoreBool(shortcut_overlay);
    left_margin = s->RestoreReal(left_margin);
    right_margin = s->RestoreReal(right_margin);
    s >> ZuStorageSync::end;
}

ZuObjectRef ZuButton::Copy(const ZuObjectRef& source)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuButtonRef::RetRuntime()) || source == this)
        return ZuObjectRef(this);
    ZuButton* other = static_cast<ZuButton*>(source.Resolve());
    ZuViewRef views[] = {other->icon, other->contents, other->shortcut};
    for (ZuViewRef& v : views)
        if (v.IsValid())
            v->SetParent(ZuViewNull);
    ZuControl::Copy(source);
    // The sub-views go back in the order that keeps the icon and the
    // shortcut in front of the contents.
    ZuViewRef back[] = {other->contents, other->icon, other->shortcut};
    for (ZuViewRef& v : back)
        if (v.IsValid())
            other->SetSubView(v);
    if (other->contents.IsValid())
        SetContents(ZuViewRef(other->contents->Clone()));
    if (other->icon.IsValid())
        SetIcon(ZuViewRef(other->icon->Clone()));
    if (other->shortcut.IsValid())
        SetShortcut(ZuViewRef(other->shortcut->Clone()));
    back_color = other->back_color;
    icon_overlay = other->icon_overlay;
    shortcut_overlay = other->shortcut_overlay;
    left_margin = other->left_margin;
    right_margin = other->right_margin;
    return ZuObjectRef(this);
}

// ---- Sub-views ----

void ZuButton::SetSubView(const ZuViewRef& view)
{
    if (view.IsInvalid())
        return;
    view->SetParent(ZuViewRef(this));
    view->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    view->ChangeState(ZU_VIEW_NO_UI_INSPECT, false, false);
}

bool ZuButton::SetIcon(const ZuViewRef& view)
{
    if (icon.IsValid())
        icon->SetParent(ZuViewNull);
    SetSubView(view);
    icon = view;
    UpdateButton();
    return true;
}

bool ZuButton::SetShortcut(const ZuViewRef& view)
{
    if (shortcut.IsValid())
        shortcut->SetParent(ZuViewNull);
    SetSubView(view);
    shortcut = view;
    UpdateButton();
    return true;
}

bool ZuButton::SetContents(const ZuViewRef& view)
{
    if (contents.IsValid())
        contents->SetParent(ZuViewNull);
    SetSubView(view);
    contents = view;
    // Again after the contents among the children, so that they are
    // drawn over it.
    if (icon.IsValid())
        SetIcon(icon);
    if (shortcut.IsValid())
        SetShortcut(shortcut);
    UpdateButton();
    return true;
}

bool ZuButton::SetText(const ZuStringRef& text, const ZuTextStyle& text_style, bool relief)
{
    ZuTextStyle used = text_style;
    if (&text_style == &ZuTextStyle::none)
        used = ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER);
    ZuRuntimeRef rt;
    if (!ZuClassFactory::GetClass(text_tag_class, rt))
        return false;
    ZuObjectRef made(ZuClassFactory::New(rt, Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    if (made.IsInvalid() || !made->IsKindOf(ZuViewRef::RetRuntime())) {
        if (made.IsValid())
            made->Delete();
        return false;
    }
    made->DefineData(ZuAtomRef("text"),
                     ZuValueRef(ZuObjectRef(text.IsValid() ? text : ZuStringRef(""))));
    made->DefineData(ZuAtomRef("text_style"), ZuValueRef(used));
    if (!style.TestBit(ZU_CTRL_DRAW_ADORNER)) {
        ChangeStyle(ZU_CTRL_DRAW_RELIEF, relief);
        ChangeStyle(ZU_CTRL_EFFECT_WHEN_CLICKED, relief);
        ChangeStyle(ZU_CTRL_HILITE_WHEN_CLICKED, !relief);
    }
    return SetContents(ZuViewRef(made));
}

bool ZuButton::SetTitle(const ZuStringRef& title)
{
    return SetText(title, ZuTextStyle::none, true);
}

bool ZuButton::SetIconOverlayMode(bool overlay)
{
    icon_overlay = overlay;
    return true;
}
bool ZuButton::SetShortcutOverlayMode(bool overlay)
{
    shortcut_overlay = overlay;
    return true;
}
bool ZuButton::SetLeftMargin(double margin)
{
    if (margin != left_margin)
        left_margin = margin;
    return true;
}
bool ZuButton::SetRightMargin(double margin)
{
    if (margin != right_margin)
        right_margin = margin;
    return true;
}
bool ZuButton::SetBackColor(const ZuColorPixel& color)
{
    back_color = color;
    return true;
}
bool ZuButton::GetIcon(ZuViewRef& view) const
{
    view = icon;
    return icon.IsValid();
}
bool ZuButton::GetContents(ZuViewRef& view) const
{
    view = contents;
    return contents.IsValid();
}
bool ZuButton::GetShortcut(ZuViewRef& view) const
{
    view = shortcut;
    return shortcut.IsValid();
}
bool ZuButton::GetBackColor(ZuColorPixel& color) const
{
    color = back_color;
    return true;
}
const ZuViewRef& ZuButton::RetIcon() const
{
    return icon;
}
const ZuViewRef& ZuButton::RetContents() const
{
    return contents;
}
const ZuViewRef& ZuButton::RetShortcut() const
{
    return shortcut;
}
const ZuColorPixel& ZuButton::RetBackColor() const
{
    return back_color;
}
bool ZuButton::RetIconOverlayMode() const
{
    return icon_overlay;
}
bool ZuButton::RetShortcutOverlayMode() const
{
    return shortcut_overlay;
}
double ZuButton::RetLeftMargin() const
{
    return left_margin;
}
double ZuButton::RetRightMargin() const
{
    return right_margin;
}

// ---- Layout ----

void ZuButton::UpdateButton()
{
    bool pressed =
        (state.TestBit(ZU_VIEW_IS_ON) && style.TestBit(ZU_CTRL_EFFECT_WHEN_ON)) ||
        (state.TestBit(ZU_VIEW_IS_HOT) && style.TestBit(ZU_CTRL_EFFECT_WHEN_HOT)) ||
        (state.TestBit(ZU_VIEW_IS_CLICKED) && style.TestBit(ZU_CTRL_EFFECT_WHEN_CLICKED));
    if (style.TestOverlap(EffectBits()))
        ChangeStyle(ZU_CTRL_DRAW_INVERT, pressed);
    double f = style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE) ? widget_frame_size : 0;
    double e = f + flat_3D_effect;
    double p = pressed ? press_3D_offset : 0;
    double w = inbox.DX(), h = inbox.DY();
    double aw = w - 2 * e - press_3D_offset;
    double ah = h - 2 * e - press_3D_offset;
    double cx = e + p + inbox.X1() + left_margin;
    double sw = 0, sh = 0, iw = 0, ih = 0;
    if (shortcut.IsValid()) {
        shortcut->GetSize(sw, sh);
        sw += kSubViewGap;
        if (!shortcut_overlay)
            aw -= sw;
    }
    if (icon.IsValid()) {
        icon->GetSize(iw, ih);
        iw += kSubViewGap;
        if (!icon_overlay) {
            aw -= iw;
            cx += iw;
        }
    }
    if (shortcut.IsValid())
        shortcut->SetOrigin(inbox.X2() - sw - e + p, (ah - sh) / 2 + e + p + inbox.Y1());
    if (icon.IsValid())
        icon->SetOrigin(e + p + inbox.X1(), (ah - ih) / 2 + e + p + inbox.Y1());
    if (contents.IsValid()) {
        contents->SetOrigin(cx, e + p + inbox.Y1());
        double cw = aw - left_margin - right_margin;
        contents->SetSize(cw < 0 ? 0 : cw, ah < 0 ? 0 : ah);
    }
}

void ZuButton::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuToggleControl::NotifyGeometryChange(old_box);
    UpdateButton();
}

bool ZuButton::NotifyChildResize(const ZuViewRef& child, double old_dx, double old_dy)
{
    if (!ZuToggleControl::NotifyChildResize(child, old_dx, old_dy))
        return false;
    UpdateButton();
    return true;
}

void ZuButton::NotifyStateChange(const ZuViewState& changed)
{
    ZuToggleControl::NotifyStateChange(changed);
    if (changed.TestBit(ZU_VIEW_IS_ON) || changed.TestBit(ZU_VIEW_IS_HOT) ||
        changed.TestBit(ZU_VIEW_IS_CLICKED))
        UpdateButton();
}

void ZuButton::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    const ZuAtomRef look_changed("LookManChanged");
    if (name == look_changed) {
        UpdateInternal();
        UpdateButton();
    }
    ZuToggleControl::Broadcast(name, argument);
}

void ZuButton::GetMinSize(double& dx, double& dy) const
{
    double f = style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE) ? widget_frame_size : 0;
    double e = f + flat_3D_effect;
    double cw = 0, ch = 0, iw = 0, ih = 0, sw = 0, sh = 0;
    if (contents.IsValid())
        contents->GetMinSize(cw, ch);
    if (icon.IsValid()) {
        icon->GetMinSize(iw, ih);
        iw += kSubViewGap;
    }
    if (shortcut.IsValid()) {
        shortcut->GetMinSize(sw, sh);
        sw += kSubViewGap;
    }
    double tallest = ch;
    if (ih > tallest)
        tallest = ih;
    if (sh > tallest)
        tallest = sh;
    dx = 2 * e + cw + iw + sw + press_3D_offset;
    dy = 2 * e + tallest + press_3D_offset;
}

void ZuButton::GetMaxSize(double& dx, double& dy) const
{
    ZuControl::GetMaxSize(dx, dy);
}

bool ZuButton::MapStateToBackColor(ZuLookColor& color)
{
    ZuLookColor mine = back_color;
    if (mine != ZU_COLOR_NONE) {
        color = mine;
        return true;
    }
    return ZuControl::MapStateToBackColor(color);
}
