#include "ghost/gsview.h"

#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

#include <cstdint>

ZU_IMPLEMENT_CLASS(GSView, "ghost/gsview", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(GSView, ZuiGrailHook)

ZuAtomRef GSView::notify_HOffsetChanged;
ZuAtomRef GSView::notify_VOffsetChanged;

namespace {

// The offsets are bound to their notifications; the ratios follow any
// change of the view.
Zuvi_NotifyExport h_offset_notify(&GSViewRef::RetRuntime(), "notify_HOffsetChanged", "h_offset",
                                  &GSView::notify_HOffsetChanged);
Zuvi_NotifyExport v_offset_notify(&GSViewRef::RetRuntime(), "notify_VOffsetChanged", "v_offset",
                                  &GSView::notify_VOffsetChanged);
Zuvi_NotifyExport h_ratio_notify(&GSViewRef::RetRuntime(), "notify_changed", "h_ratio", nullptr);
Zuvi_NotifyExport v_ratio_notify(&GSViewRef::RetRuntime(), "notify_changed", "v_ratio", nullptr);

GSView* AsView(ZuObject* o)
{
    return static_cast<GSView*>(o);
}

bool InitialiseThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (exp != nullptr) {
        exp->SetCall("Initialise (dx, dy, type)");
        exp->SetArg("Card32", "dx", "GhostScript pixmap width");
        exp->SetArg("Card32", "dy", "GhostScript pixmap height");
        exp->SetArg("GSViewType", "type", "GhostScript rendering type");
        return true;
    }
    if (obj == nullptr)
        return false;
    uint32_t dx = 0, dy = 0;
    GSViewType type = GS_VIEW_NONE;
    msg >> dx >> dy >> type;
    AsView(obj)->Initialise(dx, dy, type);
    return true;
}
Zuvi_TargetExport initialise_export(&InitialiseThunk, GSViewRef::RetRuntime());

void GetHOffsetDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->GetHOffset());
}
bool SetHOffsetDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsView(o)->SetHOffset(Zuvi_ValueToReal(value));
}
void GetVOffsetDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->GetVOffset());
}
bool SetVOffsetDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsView(o)->SetVOffset(Zuvi_ValueToReal(value));
}
void GetHRatioDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->GetHRatio());
}
void GetVRatioDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->GetVRatio());
}

void DeclareViewData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&GSViewRef::RetRuntime(), "h_offset", "Horizontal offset", &Real_type, true, true,
         &GetHOffsetDatum, &SetHOffsetDatum},
        {&GSViewRef::RetRuntime(), "v_offset", "Vertical offset", &Real_type, true, true,
         &GetVOffsetDatum, &SetVOffsetDatum},
        {&GSViewRef::RetRuntime(), "h_ratio", "Horizontal ratio", &Real_type, true, false,
         &GetHRatioDatum, nullptr},
        {&GSViewRef::RetRuntime(), "v_ratio", "Vertical ratio", &Real_type, true, false,
         &GetVRatioDatum, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport view_data(&DeclareViewData, GSViewRef::RetRuntime());

// A fraction of a pixel span, truncated toward zero: 0 for a fraction of 0
// or less or not a number, at most UINT32_MAX. A fraction above 1 (from
// outside) gives more than the span.
uint32_t Scaled(uint32_t span, double fraction)
{
    double v = static_cast<double>(span) * fraction;
    if (!(v > 0.0))
        return 0;
    if (v >= static_cast<double>(UINT32_MAX))
        return UINT32_MAX;
    return static_cast<uint32_t>(v);
}

} // namespace

GSView::GSView() {}

GSView::~GSView()
{
    context = GSContextRef();
}

uint32_t GSView::RetViewWidth() const
{
    double w = box.DX();
    return w > 0.0 && w < 4294967295.0 ? static_cast<uint32_t>(w) : 0;
}

uint32_t GSView::RetViewHeight() const
{
    double h = box.DY();
    return h > 0.0 && h < 4294967295.0 ? static_cast<uint32_t>(h) : 0;
}

void GSView::GetPixmapSize(uint32_t& width, uint32_t& height)
{
    width = height = 0;
    if (context.IsValid())
        context->GetSize(width, height);
}

void GSView::Draw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op)
{
    (void)area;
    (void)op;
    if (context.IsInvalid())
        return;
    context->CopyRectToPort(port, box);
}

bool GSView::DefinePartition(const ZuGrailPixmapRef& pixmap)
{
    pixmap->AddPartition(box, ZuObjectRef(this));
    return true;
}

bool GSView::SetContext(const ZuObjectRef& c)
{
    if (c.IsValid() && c->IsKindOf(GSContextRef::RetRuntime()))
        context = c;
    else
        context = GSContextRef();
    return true;
}

bool GSView::Initialise(uint32_t dx, uint32_t dy, GSViewType type)
{
    if (context.IsInvalid()) {
        context = ZuNew<GSContext>(Zuvi_app_zone);
        context->CreateContext(dx, dy, static_cast<int>(type));
        return true;
    }
    if (context->GetType() != static_cast<int>(type))
        return false;
    context->Resize(dx, dy);
    return true;
}

bool GSView::SetHOffset(double h)
{
    uint32_t pw, ph, w = RetViewWidth();
    GetPixmapSize(pw, ph);
    h_pixel_offset = w < pw ? Scaled(pw - w, h) : 0;
    Report(notify_HOffsetChanged, 0);
    return true;
}

bool GSView::SetVOffset(double v)
{
    uint32_t pw, ph, h = RetViewHeight();
    GetPixmapSize(pw, ph);
    v_pixel_offset = h < ph ? Scaled(ph - h, 1.0 - v) : 0;
    Report(notify_VOffsetChanged, 0);
    return true;
}

double GSView::GetHOffset()
{
    uint32_t pw, ph, w = RetViewWidth();
    GetPixmapSize(pw, ph);
    if (w >= pw)
        return 0.0;
    return static_cast<double>(h_pixel_offset) / static_cast<double>(pw - w);
}

double GSView::GetVOffset()
{
    uint32_t pw, ph, h = RetViewHeight();
    GetPixmapSize(pw, ph);
    if (h >= ph)
        return 1.0;
    return 1.0 - static_cast<double>(v_pixel_offset) / static_cast<double>(ph - h);
}

double GSView::GetHRatio()
{
    uint32_t pw, ph, w = RetViewWidth();
    GetPixmapSize(pw, ph);
    return w >= pw ? 1.0 : static_cast<double>(w) / static_cast<double>(pw);
}

double GSView::GetVRatio()
{
    uint32_t pw, ph, h = RetViewHeight();
    GetPixmapSize(pw, ph);
    return h >= ph ? 1.0 : static_cast<double>(h) / static_cast<double>(ph);
}

void GSView::CopyTo1Bit(int x, int y, int width, int height, void* pixels, int pitch)
{
    if (context.IsValid())
        context->CopyTo1Bit(x, y, width, height, pixels, pitch);
}

void GSView::CopyTo16Bit(int x, int y, int width, int height, void* pixels, int pitch)
{
    if (context.IsValid())
        context->CopyTo16Bit(x, y, width, height, pixels, pitch);
}

void GSView::CopyTo15Bit(int x, int y, int width, int height, void* pixels, int pitch)
{
    if (context.IsValid())
        context->CopyTo15Bit(x, y, width, height, pixels, pitch);
}

void GSView::CopyTo24Bit(int x, int y, int width, int height, void* pixels, int pitch)
{
    if (context.IsValid())
        context->CopyTo24Bit(x, y, width, height, pixels, pitch);
}

void GSView::CopyTo32Bit(int x, int y, int width, int height, void* pixels, int pitch)
{
    if (context.IsValid())
        context->CopyTo32Bit(x, y, width, height, pixels, pitch);
}

void GSView::StoreInstance(const ZuStorageRef& storage)
{
    ZuView::StoreInstance(storage);
    storage->StoreCard(h_pixel_offset);
    storage->StoreCard(v_pixel_offset);
    storage->StoreObject(context);
    storage << ZuStorageSync::mark;
}

void GSView::RestoreInstance(const ZuStorageRef& storage)
{
    ZuView::RestoreInstance(storage);
    uint64_t h = storage->RestoreCard(h_pixel_offset);
    uint64_t v = storage->RestoreCard(v_pixel_offset);
    h_pixel_offset = h > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(h);
    v_pixel_offset = v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
    ZuObjectRef c;
    storage->RestoreObject(c, GSContextRef::RetRuntime());
    context = c;
    storage >> ZuStorageSync::mark;
}
