#include "si/providerview.h"

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/values.h"
#include "si/viewprovider.h"

#include <cstdint>

ZU_IMPLEMENT_CLASS(ZuProviderView, ZU_SRC_FILE, ZU_CLASS_PLAIN)

static Zuvi_TargetExport zuvi_provider_view_discard(
    [](ZuObject* o) -> bool {
        static_cast<ZuProviderView*>(o)->DiscardContents();
        return true;
    },
    "DiscardContents", ZuProviderViewRef::RetRuntime());

namespace {

ZuStorageSync& ProviderViewRecord()
{
    static ZuStorageSync record(
        "<ZuProviderView contents dont_delete_child index num_attributes back_color>");
    return record;
}

template <class R>
R AsKind(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(R::RetRuntime()) ? R(o) : R();
}

ZuProviderView* AsProviderView(ZuObject* o)
{
    return static_cast<ZuProviderView*>(o);
}
void GetIndexDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsProviderView(o)->RetIndex());
}
void GetAttributesDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsProviderView(o)->RetAttributeCount());
}

void DeclareProviderViewData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuProviderViewRef::RetRuntime(), "index", "Index", &Card32_type, true, false,
         &GetIndexDatum, nullptr},
        {&ZuProviderViewRef::RetRuntime(), "num_attributes", "Attribute", &Card32_type, true, false,
         &GetAttributesDatum, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport provider_view_data(&DeclareProviderViewData, ZuProviderViewRef::RetRuntime());

} // namespace

ZuProviderView::ZuProviderView()
{
    style.SetBit(ZU_CTRL_IGNORE_HOT);
}

bool ZuProviderView::Initialise(const ZuViewProviderRef& p, unsigned i, unsigned n, const ZuRect& r)
{
    provider = p;
    index = i;
    num_attributes = n;
    if (contents.IsInvalid())
        contents = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    contents->SetSize(n);
    SetBox(r);
    return true;
}

bool ZuProviderView::SetBackColor(const ZuColorPixel& color)
{
    back_color = color;
    return true;
}

ZuColorPixel ZuProviderView::RetBackColor() const
{
    return back_color;
}

// The content of an attribute; an attribute beyond the stored array (or a
// slot that holds no view) has none.
ZuViewRef ZuProviderView::ContentAt(unsigned attribute) const
{
    if (contents.IsInvalid() || attribute >= contents->TotalCount())
        return ZuViewRef();
    ZuObjectRef item;
    contents->Get(attribute, item);
    return AsKind<ZuViewRef>(item);
}

bool ZuProviderView::SetContents(unsigned attribute, const ZuViewRef& view)
{
    if (attribute >= num_attributes)
        return false;
    ZuViewRef present = ContentAt(attribute);
    if (view == present)
        return true;
    // The slot takes the new view before the old one goes, so that the
    // old one's deletion finds its place already free.
    if (contents.IsInvalid())
        contents = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (attribute >= contents->TotalCount())
        contents->SetSize(attribute + 1);
    contents->Access(attribute) = view;
    if (present.IsValid()) {
        present->SetParent(ZuViewNull);
        if (present != dont_delete_child)
            present->Delete();
    }
    if (view.IsValid()) {
        view->SetParent(ZuViewRef(this));
        view->SetOrigin(box.X1(), box.Y1());
    }
    return true;
}

bool ZuProviderView::SetNoDeleteChild(const ZuViewRef& view)
{
    dont_delete_child = view;
    return true;
}

bool ZuProviderView::GetContents(unsigned attribute, ZuViewRef& out) const
{
    if (attribute >= num_attributes)
        return false;
    out = ContentAt(attribute);
    return true;
}

bool ZuProviderView::GetNoDeleteChild(ZuViewRef& out) const
{
    out = dont_delete_child;
    return true;
}

void ZuProviderView::DiscardContents()
{
    // Beyond the array every slot is empty already.
    const unsigned n = contents.IsValid() ? contents->TotalCount() : 0;
    for (unsigned a = 0; a < num_attributes && a < n; ++a)
        SetContents(a, ZuViewNull);
}

unsigned ZuProviderView::RetIndex() const
{
    return index;
}

unsigned ZuProviderView::RetAttributeCount() const
{
    return num_attributes;
}

bool ZuProviderView::SetBoxAndCheckSize(const ZuRect& r)
{
    if (r == box)
        return true;
    const double old_dx = box.DX(), old_dy = box.DY();
    SetBox(r);
    return r.DX() == old_dx && r.DY() == old_dy;
}

void ZuProviderView::TakeModelLook(const ZuProviderView& model)
{
    SetStyle(model.RetStyle());
    const std::uint64_t low = 0xFFFFu;
    state.SetBits((state.RetBits() & low) | (model.state.RetBits() & ~low));
}

bool ZuProviderView::RemoveAllChildren(bool delete_them)
{
    DiscardContents();
    if (dont_delete_child.IsValid()) {
        dont_delete_child->SetParent(ZuViewNull);
        dont_delete_child = ZuViewRef();
    }
    return ZuToggleControl::RemoveAllChildren(delete_them);
}

void ZuProviderView::Delete()
{
    DiscardContents();
    provider = ZuObjectRef();
    if (dont_delete_child.IsValid()) {
        dont_delete_child->SetParent(ZuViewNull);
        dont_delete_child = ZuViewRef();
    }
    ZuToggleControl::Delete();
}

ZuObjectRef ZuProviderView::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuProviderViewRef::RetRuntime()))
        back_color = static_cast<ZuProviderView*>(source.Resolve())->back_color;
    return ZuToggleControl::Copy(source);
}

void ZuProviderView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    if (static_cast<ZuLookColor>(back_color) != ZU_COLOR_NONE && port.IsValid()) {
        const ZuAdornerRef& adorner = port->RetAdorner();
        if (adorner.IsValid())
            adorner->FillRect(box, back_color, 0);
    }
    ZuToggleControl::DrawBack(port, rect);
}

void ZuProviderView::ReportAction(ZuCtrlActionType action)
{
    ZuViewProviderRef p = AsKind<ZuViewProviderRef>(provider);
    if (p.IsValid())
        p->NotifyViewAction(ZuProviderViewRef(this), action);
}

void ZuProviderView::Action(bool on)
{
    ZuToggleControl::Action(on);
    if (on)
        ReportAction(ZU_CTRL_ACTION_CLICKED);
}

void ZuProviderView::ActionOn()
{
    ZuToggleControl::ActionOn();
    ReportAction(ZU_CTRL_ACTION_ON);
}

void ZuProviderView::ActionOff()
{
    ZuToggleControl::ActionOff();
    ReportAction(ZU_CTRL_ACTION_OFF);
}

void ZuProviderView::HotOn()
{
    ZuToggleControl::HotOn();
    ReportAction(ZU_CTRL_ACTION_HOT_ON);
}

void ZuProviderView::HotOff()
{
    ZuToggleControl::HotOff();
    ReportAction(ZU_CTRL_ACTION_HOT_OFF);
}

void ZuProviderView::StoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::StoreInstance(s);
    s << ProviderViewRecord() << ZuStorageSync::begin;
    s->StoreObject(contents);
    s->StoreObject(dont_delete_child);
    s->StoreCard(index);
    s->StoreCard(num_attributes);
    s << back_color;
    s << ZuStorageSync::end;
}

void ZuProviderView::RestoreInstance(const ZuStorageRef& s)
{
    ZuToggleControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef read;
    s->RestoreObject(read, ZuArrayRef::RetRuntime());
    contents = AsKind<ZuArrayRef>(read);
    s->RestoreObject(read, ZuViewRef::RetRuntime());
    dont_delete_child = AsKind<ZuViewRef>(read);
    index = static_cast<unsigned>(s->RestoreCard(index));
    num_attributes = static_cast<unsigned>(s->RestoreCard(num_attributes));
    s >> back_color;
    s >> ZuStorageSync::end;
    // Stored data is outside data: a content is one of the view's own
    // children, anything else is left out.
    if (contents.IsValid())
        for (unsigned a = 0; a < contents->TotalCount(); ++a) {
            ZuObjectRef item;
            contents->Get(a, item);
            ZuViewRef v = AsKind<ZuViewRef>(item);
            if (item.IsValid() && (v.IsInvalid() || v->RetParent().Resolve() != this))
                contents->Access(a) = ZuObjectRef();
        }
}
