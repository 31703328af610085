#include "si/icon.h"

#include "si/adorner.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuIcon, "si/icon", ZU_CLASS_PLAIN)

// Declared for the interface builder; the icon never reports it.
ZU_EXPORT_NOTIFY(ZuIcon, ResetDefaultSize, "ResetDefaultSize", nullptr)

namespace {

ZuStorageSync& IconRecord()
{
    static ZuStorageSync record("<ZuIcon icon dx dy is_centered is_size_match>");
    return record;
}

ZuIcon* AsIcon(ZuObject* o)
{
    return static_cast<ZuIcon*>(o);
}

Zuvi_TargetExport reset_export(
    [](ZuObject* o) -> bool {
        AsIcon(o)->ResetDefaultSize();
        return true;
    },
    "ResetDefaultSize", ZuIconRef::RetRuntime());

// "Initialise (name)": a centred icon of that name.
bool InitialiseThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Initialise (ZuAtomRef name)");
        exp->SetArg("ZuAtomRef", "name", "Icon name");
        return false;
    }
    ZuAtomRef name;
    msg >> name;
    AsIcon(obj)->Initialise(name, true);
    return true;
}
Zuvi_TargetExport initialise_export(&InitialiseThunk, ZuIconRef::RetRuntime());

void GetNameDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsIcon(o)->RetIcon()));
}
bool SetNameDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsIcon(o)->SetIcon(Zuvi_ValueToZuAtom(value));
}
void GetCenteredDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsIcon(o)->RetCenterMode());
}
bool SetCenteredDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsIcon(o)->SetCenterMode(Zuvi_ValueToBool(value));
}
void GetMatchDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsIcon(o)->RetMatchMode());
}
bool SetMatchDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsIcon(o)->SetMatchMode(Zuvi_ValueToBool(value));
}

void DeclareIconData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuIconRef::RetRuntime(), "name", "Icon name", &ZuAtom_type, true, true, &GetNameDatum,
         &SetNameDatum},
        {&ZuIconRef::RetRuntime(), "is_centered", "Center or stretch", &Bool_type, true, true,
         &GetCenteredDatum, &SetCenteredDatum},
        {&ZuIconRef::RetRuntime(), "is_size_match", "Automatic size matching", &Bool_type, true,
         true, &GetMatchDatum, &SetMatchDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport icon_data(&DeclareIconData, ZuIconRef::RetRuntime());

} // namespace

bool ZuIcon::Initialise(const ZuAtomRef& name, double wanted_dx, double wanted_dy, bool match,
                        bool centered)
{
    dx = wanted_dx;
    dy = wanted_dy;
    SetMatchMode(match);
    SetCenterMode(centered);
    return SetIcon(name);
}

bool ZuIcon::Initialise(const ZuAtomRef& name, bool centered)
{
    dx = 0;
    dy = 0;
    SetMatchMode(false);
    SetCenterMode(centered);
    return SetIcon(name);
}

bool ZuIcon::ResetDefaultSize()
{
    if (icon.IsInvalid())
        return false;
    SetSize(dx, dy);
    return true;
}

bool ZuIcon::SetCenterMode(bool centered)
{
    is_centered = centered;
    return true;
}

bool ZuIcon::SetMatchMode(bool match)
{
    is_size_match = match;
    return true;
}

bool ZuIcon::SetIcon(const ZuAtomRef& name)
{
    icon = name;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid())
        return false;
    if (is_size_match)
        return look->GetBestIconSize(name, dx, dy);
    return look->GetIconSize(name, dx, dy, 0);
}

const ZuAtomRef& ZuIcon::RetIcon() const
{
    return icon;
}

bool ZuIcon::RetCenterMode() const
{
    return is_centered;
}

bool ZuIcon::RetMatchMode() const
{
    return is_size_match;
}

bool ZuIcon::GetIconSize(double& w, double& h) const
{
    w = dx;
    h = dy;
    return true;
}

void ZuIcon::GetMinSize(double& w, double& h) const
{
    ZuToggleControl::GetMinSize(w, h);
    if (w < dx)
        w = dx;
    if (h < dy)
        h = dy;
}

void ZuIcon::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    // By its text: a handle kept from one start of the services to the next
    // would be empty.
    if (name == "LookManChanged")
        SetIcon(icon);
    ZuToggleControl::Broadcast(name, argument);
}

void ZuIcon::DrawFront(const ZuGrailPortRef& port, const ZuRect&)
{
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const ZuCtrlState st = RetInteractiveState();
    const double w = box.DX(), h = box.DY();
    if (is_centered)
        adorner->DrawIcon(box.X1() + (w - dx) / 2, box.Y1() + (h - dy) / 2, icon, st, dx, dy);
    else
        adorner->DrawIcon(box.X1(), box.Y1(), icon, st, w, h);
}

void ZuIcon::StoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::StoreInstance(s);
    s << IconRecord() << ZuStorageSync::begin;
    s << icon;
    s->StoreReal(dx);
    s->StoreReal(dy);
    s->StoreBool(is_centered);
    s->StoreBool(is_size_match);
    s << ZuStorageSync::end;
}

void ZuIcon::RestoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreAtom(icon);
    dx = s->RestoreReal(dx);
    dy = s->RestoreReal(dy);
    is_centered = s->RestoreBool(is_centered);
    is_size_match = s->RestoreBool(is_size_match);
    s >> ZuStorageSync::end;
}
