#include "si/springboard.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuSpringBoard, "si/springboard", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& BoardRecord()
{
    static ZuStorageSync record("<ZuSpringBoard band>");
    return record;
}

ZuArrayRef NewArray()
{
    return ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

} // namespace

ZuSpringBoard::ZuSpringBoard()
{
    band = NewArray();
}

void ZuSpringBoard::Delete()
{
    ZuObject::Delete();
    RemoveAll();
}

ZuSpringBandRef ZuSpringBoard::BandAt(unsigned i) const
{
    if (i >= CountBands())
        return ZuSpringBandRef();
    ZuObjectRef o = ZuArrayRef(band)[i];
    return o.IsValid() && o->IsKindOf(ZuSpringBandRef::RetRuntime()) ? ZuSpringBandRef(o)
                                                                     : ZuSpringBandRef();
}

void ZuSpringBoard::RemoveAll()
{
    if (band.IsValid())
        band->SetSize(0);
}

void ZuSpringBoard::Resize(const ZuRect& rect)
{
    for (unsigned i = 0; i < CountBands(); ++i) {
        ZuSpringBandRef b = BandAt(i);
        if (b.IsValid())
            b->Resize(rect);
    }
}

bool ZuSpringBoard::RemoveView(const ZuViewRef& view)
{
    bool any = false;
    for (unsigned i = 0; i < CountBands(); ++i) {
        ZuSpringBandRef b = BandAt(i);
        if (b.IsValid() && b->RemoveView(view))
            any = true;
    }
    return any;
}

bool ZuSpringBoard::FindView(const ZuViewRef& view, unsigned& index) const
{
    unsigned n = CountBands();
    for (unsigned i = index; i < n; ++i) {
        ZuSpringBandRef b = BandAt(i);
        if (b.IsValid() && b->FindView(view)) {
            index = i;
            return true;
        }
    }
    index = n;
    return false;
}

bool ZuSpringBoard::FindView(const ZuViewRef& view) const
{
    unsigned index = 0;
    return FindView(view, index);
}

bool ZuSpringBoard::ReplaceView(const ZuViewRef& old_view, const ZuViewRef& new_view)
{
    for (unsigned i = 0; i < CountBands(); ++i) {
        ZuSpringBandRef b = BandAt(i);
        if (b.IsValid() && b->FindView(old_view))
            b->ReplaceView(old_view, new_view);
    }
    return true;
}

unsigned ZuSpringBoard::CountBands() const
{
    return band.IsValid() ? band->TotalCount() : 0;
}

bool ZuSpringBoard::InsertBand(unsigned index, const ZuSpringBandRef& b)
{
    if (band.IsInvalid())
        band = NewArray();
    unsigned n = CountBands();
    if (index > n)
        index = n;
    band->Insert(index, 1);
    band[index] = b;
    return true;
}

bool ZuSpringBoard::RemoveBand(unsigned index)
{
    if (index >= CountBands())
        return false;
    band->Remove(index, 1);
    return true;
}

bool ZuSpringBoard::GetNthBand(unsigned index, ZuSpringBandRef& out) const
{
    if (index >= CountBands()) {
        out = ZuSpringBandRef();
        return false;
    }
    out = BandAt(index);
    return true;
}

bool ZuSpringBoard::FindBand(const ZuSpringBandRef& b, unsigned& index) const
{
    for (unsigned i = 0, n = CountBands(); i < n; ++i) {
        if (ZuArrayRef(band)[i] == b) {
            index = i;
            return true;
        }
    }
    index = 0;
    return false;
}

void ZuSpringBoard::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << BoardRecord() << ZuStorageSync::begin;
    s->StoreObject(band);
    s << ZuStorageSync::end;
}

void ZuSpringBoard::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef b;
    s->RestoreObject(b, ZuArrayRef::RetRuntime());
    s >> ZuStorageSync::end;
    band = b.IsValid() && b->IsKindOf(ZuArrayRef::RetRuntime()) ? ZuArrayRef(b) : NewArray();
}
