#include "si/textarchitect.h"

#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/text.h"
#include "si/texttag.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuTextArchitect, "si/textarchitect", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& TextArchitectRecord()
{
    static ZuStorageSync record("<ZuTextArchitect model>");
    return record;
}

} // namespace

bool ZuTextArchitect::MakeText(const ZuObjectRef& item, ZuStringRef& out) const
{
    out = ZuStringRef("");
    if (item.IsInvalid())
        return false;
    if (item->IsKindOf(ZuStringRef::RetRuntime())) {
        out = ZuStringRef(item);
        return true;
    }
    if (item->IsKindOf(ZuTextRef::RetRuntime())) {
        out = static_cast<ZuText*>(item.Resolve())->RetString();
        return true;
    }
    if (item->IsKindOf(ZuValueRef::RetRuntime()))
        return MakeText(ZuObjectRef(static_cast<ZuValue*>(item.Resolve())->RetText()), out);
    return false;
}

void ZuTextArchitect::InvalidateCache()
{
    cache_valid = false;
}

void ZuTextArchitect::UpdateCache()
{
    if (model.IsInvalid())
        return;
    model->GetFont(cached_font);
    extra_width = 0;
    extra_height = 0;
    line_height =
        cached_font.IsValid() ? cached_font->RetAscent() - cached_font->RetDescent() + 2 : 2;
    if (model->IsKindOf(ZuTextTagRef::RetRuntime())) {
        const ZuTextTag* tag = static_cast<const ZuTextTag*>(model.Resolve());
        if (tag->RetSpaceEnabled())
            extra_width += tag->RetLeftSpace() + tag->RetRightSpace();
    }
    cache_valid = true;
}

bool ZuTextArchitect::GetViewSize(const ZuObjectRef& item, double& dx, double& dy)
{
    dx = 0;
    dy = 0;
    if (model.IsInvalid())
        return false;
    ZuStringRef t;
    MakeText(item, t);
    if (!cache_valid)
        UpdateCache();
    dx = (cached_font.IsValid() ? cached_font->ComputeTextWidth(t) : 0) + extra_width;
    dy = extra_height + line_height;
    return true;
}

bool ZuTextArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& provider)
{
    if (model.IsInvalid() || provider.IsInvalid())
        return false;
    ZuStringRef t;
    MakeText(item, t);
    ZuObjectRef clone = model->Clone();
    if (clone.IsInvalid() || !clone->IsKindOf(ZuTextTagBaseRef::RetRuntime()))
        return false;
    ZuTextTagBaseRef view(clone);
    view->SetBox(provider->RetBox());
    view->SetText(t);
    view->SetParent(ZuViewRef(provider));
    return true;
}

bool ZuTextArchitect::Initialise(const ZuTextTagBaseRef& m)
{
    if (!ZuViewArchitect::Initialise(1u))
        return false;
    return SetModel(m);
}

bool ZuTextArchitect::SetModel(const ZuTextTagBaseRef& m)
{
    model = m;
    UpdateCache();
    return true;
}

const ZuTextTagBaseRef& ZuTextArchitect::RetModel() const
{
    return model;
}

ZuObjectRef ZuTextArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuTextArchitectRef::RetRuntime())) {
        SetModel(ZuTextArchitectRef(source)->RetModel());
        InvalidateCache();
    }
    return ZuViewArchitect::Copy(source);
}

void ZuTextArchitect::StoreInstance(const ZuStorageRef& s)
{
    ZuViewArchitect::StoreInstance(s);
    s << TextArchitectRecord() << ZuStorageSync::begin;
    s->StoreObject(model);
    s << ZuStorageSync::end;
}

void ZuTextArchitect::RestoreInstance(const ZuStorageRef& s)
{
    ZuViewArchitect::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef m;
    s->RestoreObject(m, ZuTextTagBaseRef::RetRuntime());
    s >> ZuStorageSync::end;
    // A stored file may name any object where the model stands.
    model = m.IsValid() && m->IsKindOf(ZuTextTagBaseRef::RetRuntime()) ? ZuTextTagBaseRef(m)
                                                                       : ZuTextTagBaseRef();
    cache_valid = false;
}
