#include "si/plotview.h"

#include <cstdint>
#include <cstring>

#include "si/except.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuPlotView, "si/plotview", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuPlotViewType)

namespace {

ZuStorageSync& PlotRecord()
{
    static ZuStorageSync record("<ZuPlotView h_zero h_size : v_zero v_size : default_color "
                                "data_num data_type data_org : { data } >");
    return record;
}

ZuPlotView* AsPlot(ZuObject* o)
{
    return static_cast<ZuPlotView*>(o);
}

#define ZU_PLOT_REAL_ITEM(GET, SET, RET, SETTER)                       \
    void GET(ZuValueRef& value, ZuObject* o)                           \
    {                                                                  \
        value = ZuValueRef(AsPlot(o)->RET());                          \
    }                                                                  \
    bool SET(const ZuValueRef& value, ZuObject* o)                     \
    {                                                                  \
        return value.IsValid() && AsPlot(o)->SETTER(value->RetReal()); \
    }
ZU_PLOT_REAL_ITEM(GetHZero, SetHZero, RetHorizontalZero, SetHorizontalZero)
ZU_PLOT_REAL_ITEM(GetHSize, SetHSize, RetHorizontalSize, SetHorizontalSize)
ZU_PLOT_REAL_ITEM(GetVZero, SetVZero, RetVerticalZero, SetVerticalZero)
ZU_PLOT_REAL_ITEM(GetVSize, SetVSize, RetVerticalSize, SetVerticalSize)
#undef ZU_PLOT_REAL_ITEM

void DeclarePlotData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuPlotViewRef::RetRuntime(), "h_zero", "horizontal zero", &Real_type, true, true,
         &GetHZero, &SetHZero},
        {&ZuPlotViewRef::RetRuntime(), "h_size", "horizontal size", &Real_type, true, true,
         &GetHSize, &SetHSize},
        {&ZuPlotViewRef::RetRuntime(), "v_zero", "vertical zero", &Real_type, true, true, &GetVZero,
         &SetVZero},
        {&ZuPlotViewRef::RetRuntime(), "v_size", "vertical size", &Real_type, true, true, &GetVSize,
         &SetVSize},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport plot_data(&DeclarePlotData, ZuPlotViewRef::RetRuntime());

// A block for `count` reals in the data zone; stops the program when that
// zone does not exist.
double* AllocReals(unsigned count)
{
    if (Zuvi_data_zone == nullptr)
        ZuMemZone::NullAllocZone("this->data_zone", __LINE__, __FILE__);
    std::uint64_t bytes = std::uint64_t(count) * sizeof(double);
    if (bytes > 0xFFFFFFFFull)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    return static_cast<double*>(
        Zuvi_data_zone->Alloc(unsigned(bytes), "Real[]", __LINE__, __FILE__));
}

} // namespace

ZuPlotView::ZuPlotView() : default_color(ZU_COLOR_BLACK) {}

ZuPlotView::~ZuPlotView()
{
    FlushDataSet();
}

void ZuPlotView::Delete()
{
    ZuView::Delete();
}

void ZuPlotView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
}

bool ZuPlotView::RingIndex(unsigned int i, ZuPlotViewType type, unsigned& at) const
{
    if (data == nullptr || data_num == 0 || data_type != type)
        return false;
    if (type == ZU_PLOT_VIEW_Y_T) {
        at = unsigned((std::uint64_t(data_org) + i) % data_num);
        return true;
    }
    if (type == ZU_PLOT_VIEW_X_Y) {
        // Fewer than two values make no pair.
        unsigned pairs = data_num / 2;
        if (pairs == 0)
            return false;
        at = unsigned(2 * ((std::uint64_t(i) + 2 * std::uint64_t(data_org)) % pairs));
        return true;
    }
    return false;
}

void ZuPlotView::FlushDataSet()
{
    if (data_zone != nullptr && data != nullptr)
        data_zone->Free(data, __LINE__, __FILE__);
    data_zone = nullptr;
    data = nullptr;
    data_num = 0;
    data_org = 0;
}

void ZuPlotView::DefineDataSet(const double* d, unsigned int count, ZuPlotViewType type,
                               ZuMemZone* zone)
{
    FlushDataSet();
    data_org = 0;
    data = const_cast<double*>(d);
    data_num = count;
    data_type = type;
    data_zone = zone;
}

void ZuPlotView::CloneDataSet()
{
    if (data_zone != nullptr || data == nullptr)
        return;
    double* copy = AllocReals(data_num);
    if (data_num != 0)
        std::memcpy(copy, data, std::size_t(data_num) * sizeof(double));
    data = copy;
    data_zone = Zuvi_data_zone;
}

unsigned ZuPlotView::TotalCount() const
{
    switch (data_type) {
    case ZU_PLOT_VIEW_Y_T:
        return data_num;
    case ZU_PLOT_VIEW_X_Y:
        return data_num / 2;
    default:
        return 0;
    }
}

bool ZuPlotView::GetDataPoint(unsigned int i, double& x, double& y, ZuColorPixel& colour)
{
    unsigned at = 0;
    if (data_type == ZU_PLOT_VIEW_Y_T) {
        if (i >= data_num || !RingIndex(i, ZU_PLOT_VIEW_Y_T, at))
            return false;
        x = double(i) / double(data_num);
        y = data[at];
    } else if (data_type == ZU_PLOT_VIEW_X_Y) {
        if (i >= data_num / 2 || !RingIndex(i, ZU_PLOT_VIEW_X_Y, at))
            return false;
        x = data[at];
        y = data[at + 1];
    } else {
        return false;
    }
    colour = default_color;
    return true;
}

bool ZuPlotView::SetData(unsigned int i, double x, double y)
{
    unsigned at = 0;
    if (data_zone == nullptr || !RingIndex(i, ZU_PLOT_VIEW_X_Y, at))
        return false;
    data[at] = x;
    data[at + 1] = y;
    return true;
}

bool ZuPlotView::SetData(unsigned int i, double y)
{
    unsigned at = 0;
    if (data_zone == nullptr || !RingIndex(i, ZU_PLOT_VIEW_Y_T, at))
        return false;
    data[at] = y;
    return true;
}

bool ZuPlotView::GetData(unsigned int i, double& x, double& y) const
{
    unsigned at = 0;
    if (!RingIndex(i, ZU_PLOT_VIEW_X_Y, at))
        return false;
    x = data[at];
    y = data[at + 1];
    return true;
}

bool ZuPlotView::GetData(unsigned int i, double& y) const
{
    unsigned at = 0;
    if (!RingIndex(i, ZU_PLOT_VIEW_Y_T, at))
        return false;
    y = data[at];
    return true;
}

bool ZuPlotView::SetHorizontalZero(double value)
{
    h_zero = value;
    return true;
}

bool ZuPlotView::SetHorizontalSize(double value)
{
    h_size = value;
    return true;
}

bool ZuPlotView::SetVerticalZero(double value)
{
    v_zero = value;
    return true;
}

bool ZuPlotView::SetVerticalSize(double value)
{
    v_size = value;
    return true;
}

bool ZuPlotView::SetDataOrigin(unsigned int origin)
{
    if (data_num == 0)
        return false;
    data_org = origin % data_num;
    return true;
}

void ZuPlotView::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawFront(port, rect);
    unsigned n = TotalCount();
    double ox = 0, oy = 0, w = 0, h = 0;
    GetOrigin(ox, oy);
    GetSize(w, h);
    for (unsigned i = 0; i < n; ++i) {
        double x = 0, y = 0;
        ZuColorPixel colour;
        if (!GetDataPoint(i, x, y, colour))
            continue;
        double px = x / h_size + h_zero;
        double py = y / v_size + v_zero;
        // NaN fails every comparison and is skipped with the rest.
        if (px >= 0 && px < 1 && py >= 0 && py < 1)
            port->DrawDot(ox + px * w, oy + h - py * h, colour);
    }
}

void ZuPlotView::StoreDataSet(const ZuStorageRef& s)
{
    s << ZuStorageSync::repeat;
    for (unsigned i = 0; i < data_num; ++i)
        s->StoreReal(data[i]);
    s << ZuStorageSync::end_repeat;
}

void ZuPlotView::RestoreDataSet(const ZuStorageRef& s)
{
    // The count comes from outside: it sizes memory only when the input
    // can still hold that many values (each takes at least one byte).
    if (!s->CanHoldItems(data_num)) {
        data_num = 0;
        data_org = 0;
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    }
    unsigned count = data_num;
    data_num = 0;
    data_org = data_org < count ? data_org : 0;
    double* values = AllocReals(count);
    data = values;
    data_zone = Zuvi_data_zone;
    s >> ZuStorageSync::repeat;
    for (unsigned i = 0; i < count; ++i) {
        values[i] = s->RestoreReal(0.0);
        data_num = i + 1;
    }
    s >> ZuStorageSync::end_repeat;
}

void ZuPlotView::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << PlotRecord() << ZuStorageSync::begin;
    s->StoreReal(h_zero);
    s->StoreReal(h_size);
    s << ZuStorageSync::mark;
    s->StoreReal(v_zero);
    s->StoreReal(v_size);
    s << ZuStorageSync::mark << default_color;
    s->StoreCard(data_num);
    s << data_type;
    s->StoreCard(data_org);
    s << ZuStorageSync::mark;
    StoreDataSet(s);
    s << ZuStorageSync::end;
}

void ZuPlotView::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    FlushDataSet();
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    h_zero = s->RestoreReal(h_zero);
    h_size = s->RestoreReal(h_size);
    s >> ZuStorageSync::mark;
    v_zero = s->RestoreReal(v_zero);
    v_size = s->RestoreReal(v_size);
    s >> ZuStorageSync::mark >> default_color;
    std::uint64_t num = s->RestoreCard(0);
    s >> data_type;
    std::uint64_t org = s->RestoreCard(0);
    s >> ZuStorageSync::mark;
    if (num > 0xFFFFFFFFull)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    data_num = unsigned(num);
    data_org = unsigned(org <= 0xFFFFFFFFull ? org : 0);
    RestoreDataSet(s);
    s >> ZuStorageSync::end;
}
