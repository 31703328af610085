#include "si/iconset.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuIconSet, "si/iconset", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& IconSetRecord()
{
    static ZuStorageSync record("<ZuIconSet icons>");
    return record;
}

ZuIconArray NewIconArray()
{
    ZuIconArray array = ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone));
    array->SetAutoGrowIncrement(5);
    return array;
}

// The icon of element index, without growing the array.
ZuIconRef IconAt(const ZuIconArray& icons, unsigned int index)
{
    ZuObjectRef element;
    if (icons.IsInvalid() || !icons->Get(index, element))
        return ZuIconRef();
    return element.IsValid() && element->IsKindOf(ZuIconRef::RetRuntime()) ? ZuIconRef(element)
                                                                           : ZuIconRef();
}

} // namespace

ZuIconSet::ZuIconSet() : icons(NewIconArray()) {}

void ZuIconSet::Delete()
{
    if (icons.IsValid()) {
        for (unsigned int i = icons->TotalCount(); i-- > 0;) {
            ZuIconRef icon = IconAt(icons, i);
            if (icon.IsValid())
                icon->SetParent(ZuViewNull);
            icons[i] = ZuIconNull;
        }
        icons->SetSize(0);
    }
    ZuControl::Delete();
}

// The icons side by side: their widths added, the tallest height, each
// icon measured by `measure` (its minimum or its maximum size).
void ZuIconSet::SumIconSizes(void (ZuView::*measure)(double&, double&) const, double& dx,
                             double& dy) const
{
    dx = 0;
    dy = 0;
    const unsigned int n = icons.IsValid() ? icons->TotalCount() : 0;
    for (unsigned int i = 0; i < n; ++i) {
        ZuIconRef icon = IconAt(icons, i);
        if (icon.IsInvalid())
            continue;
        double w = 0, h = 0;
        (icon.operator->()->*measure)(w, h);
        dx += w;
        if (h > dy)
            dy = h;
    }
}

void ZuIconSet::GetMinSize(double& dx, double& dy) const
{
    SumIconSizes(&ZuView::GetMinSize, dx, dy);
}

void ZuIconSet::GetMaxSize(double& dx, double& dy) const
{
    SumIconSizes(&ZuView::GetMaxSize, dx, dy);
}

bool ZuIconSet::InsertIcon(unsigned int index, const ZuAtomRef& name)
{
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone);
    icon->Initialise(name, true);
    icon->ResetDefaultSize();
    return InsertIcon(index, icon);
}

bool ZuIconSet::InsertIcon(unsigned int index, const ZuIconRef& icon)
{
    ZuIconRef old = IconAt(icons, index);
    if (old.IsValid() && old != icon)
        old->SetParent(ZuViewNull);
    icons[index] = icon;
    if (icon.IsValid())
        icon->SetParent(ZuIconSetRef(this));
    UpdateGeometry();
    return true;
}

bool ZuIconSet::RemoveIcon(unsigned int index)
{
    ZuIconRef icon = IconAt(icons, index);
    if (icon.IsValid()) {
        icon->SetParent(ZuViewNull);
        icons[index] = ZuIconNull;
        UpdateGeometry();
    }
    return icons.IsValid() && icons->Remove(index);
}

void ZuIconSet::UpdateGeometry()
{
    double w = 0, h = 0;
    GetMinSize(w, h);
    SetSize(w, h);
    double x = box.X1();
    const double y = box.Y1();
    const unsigned int n = icons.IsValid() ? icons->TotalCount() : 0;
    for (unsigned int i = 0; i < n; ++i) {
        ZuIconRef icon = IconAt(icons, i);
        if (icon.IsInvalid())
            continue;
        icon->SetOrigin(x, y);
        double iw = 0, ih = 0;
        icon->GetSize(iw, ih);
        x += iw;
    }
}

void ZuIconSet::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << IconSetRecord() << ZuStorageSync::begin;
    s->StoreObject(icons);
    s << ZuStorageSync::end;
}

void ZuIconSet::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef restored;
    s->RestoreObject(restored, ZuArrayRef::RetRuntime());
    s >> ZuStorageSync::end;
    if (restored.IsInvalid() || !restored->IsKindOf(ZuArrayRef::RetRuntime()))
        return;
    if (icons.IsValid() && icons != restored)
        icons->Delete();
    // Stored data may put anything in the row: every use of an element
    // takes only icons.
    icons = ZuArrayRef(restored);
}
