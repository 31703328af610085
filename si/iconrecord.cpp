#include "si/iconrecord.h"

#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "sd/win32/sd_system.h"

namespace {

const char* const kFile = "si/iconrecord";

// A rectangle's width: 0 for an empty one.
double Width(const ZuRect& r)
{
    return r.DX();
}

// A box of w x h at (x, y); empty when either is below 1.
ZuRect Box(double x, double y, double w, double h)
{
    if (w < 1.0 || h < 1.0)
        return ZuRect();
    return ZuRect(x, y, x + w - 1.0, y + h - 1.0);
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuIconRecord, kFile, ZU_CLASS_NOT_STORED)
ZU_IMPLEMENT_INTERFACE(ZuIconRecord, ZuiCache)

// ---------------------------------------------------------------------------
// Cache definitions
// ---------------------------------------------------------------------------

void Zuvi_IconCacheDef::Zero()
{
    index = 0;
    width = 0.0;
    height = 0.0;
    state = ZU_CTRL_STATE_NORMAL;
    last_use = 0;
    creation = 0;
    use_count = 0;
}

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const Zuvi_IconCacheDef& def)
{
    return storage << def.index << def.width << def.height << def.state
                   << static_cast<long long>(def.last_use) << static_cast<long long>(def.creation)
                   << def.use_count;
}

const ZuStorageRef& operator>>(const ZuStorageRef& storage, Zuvi_IconCacheDef& def)
{
    long long last_use = def.last_use;
    long long creation = def.creation;
    storage >> def.index >> def.width >> def.height >> def.state >> last_use >> creation >>
        def.use_count;
    def.last_use = last_use;
    def.creation = creation;
    return storage;
}

Zuvi_IconCacheDef& Zuvi_IconCacheDefArray::operator[](unsigned i)
{
    if (i >= defs.size()) {
        if (step == 0)
            throw ZuExcAccess(ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
        Zuvi_IconCacheDef zero;
        zero.Zero();
        defs.resize(static_cast<std::size_t>(i) + step, zero);
    }
    return defs[i];
}

int64_t Zuvi_RetEventTime()
{
    return static_cast<int64_t>(GetTickCount64());
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

ZuIconRecord::ZuIconRecord()
    : mosaic_id(0), entry_x(0.0), entry_y(0.0), exit_x(0.0), exit_y(0.0), entry_defined(false),
      exit_defined(false), x_stretchable(false), y_stretchable(false), cache_defs(10),
      cache_count(0)
{}

ZuIconRecord::~ZuIconRecord() {}

void ZuIconRecord::Delete()
{
    sheet = ZuGrailPixmapNull;
    ZuObject::Delete();
}

void ZuIconRecord::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("StoreInstance not implemented", __LINE__, kFile);
}

void ZuIconRecord::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("RestoreInstance not implemented", __LINE__, kFile);
}

// ---------------------------------------------------------------------------
// Definition
// ---------------------------------------------------------------------------

bool ZuIconRecord::Initialise(const ZuAtomRef& name_, const ZuGrailPixmapRef& sheet_)
{
    sheet = sheet_;
    name = name_;
    return true;
}

bool ZuIconRecord::DefineIcon(ZuCtrlState state, const ZuRect& rect)
{
    if (static_cast<unsigned>(state) > 7u)
        return false;
    rects[state] = rect;
    return true;
}

bool ZuIconRecord::DefineEntryPoint(double x, double y)
{
    entry_x = x;
    entry_y = y;
    entry_defined = true;
    return true;
}

bool ZuIconRecord::DefineExitPoint(double x, double y)
{
    exit_x = x;
    exit_y = y;
    exit_defined = true;
    return true;
}

bool ZuIconRecord::DefineMosaicID(unsigned id)
{
    mosaic_id = id;
    return true;
}

bool ZuIconRecord::SetXStretchable(bool on)
{
    x_stretchable = on;
    return true;
}

bool ZuIconRecord::SetYStretchable(bool on)
{
    y_stretchable = on;
    return true;
}

const ZuAtomRef& ZuIconRecord::RetName() const
{
    return name;
}

unsigned ZuIconRecord::RetMosaicID() const
{
    return mosaic_id;
}

bool ZuIconRecord::GetName(ZuAtomRef& out) const
{
    out = name;
    return true;
}

bool ZuIconRecord::GetSize(double& width, double& height) const
{
    width = Width(rects[ZU_CTRL_STATE_NORMAL]);
    height = rects[ZU_CTRL_STATE_NORMAL].DY();
    return true;
}

bool ZuIconRecord::GetEntryPoint(double& x, double& y) const
{
    if (!entry_defined) {
        x = 0.0;
        y = 0.0;
        return false;
    }
    x = entry_x;
    y = entry_y;
    return true;
}

bool ZuIconRecord::GetExitPoint(double& x, double& y) const
{
    if (!exit_defined) {
        x = Width(rects[ZU_CTRL_STATE_NORMAL]);
        y = 0.0;
        return false;
    }
    x = exit_x;
    y = exit_y;
    return true;
}

bool ZuIconRecord::GetAdvance(double& dx, double& dy) const
{
    double ex, ey, xx, xy;
    const bool entry = GetEntryPoint(ex, ey);
    const bool exit = GetExitPoint(xx, xy);
    dx = xx - ex;
    dy = xy - ey;
    return entry && exit;
}

bool ZuIconRecord::IsXStretchable() const
{
    return x_stretchable;
}

bool ZuIconRecord::IsYStretchable() const
{
    return y_stretchable;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

bool ZuIconRecord::ResolveState(ZuCtrlState asked, ZuCtrlState& used) const
{
    if (static_cast<unsigned>(asked) > 7u)
        return false;
    ZuCtrlState state = asked;
    while (state != ZU_CTRL_STATE_NORMAL && Width(rects[state]) == 0.0) {
        switch (state) {
        case ZU_CTRL_STATE_NORMAL_CLICKED:
        case ZU_CTRL_STATE_ACTIVE_HOT:
            state = ZU_CTRL_STATE_NORMAL_HOT;
            break;
        case ZU_CTRL_STATE_ACTIVE_CLICKED:
            state = ZU_CTRL_STATE_NORMAL_CLICKED;
            break;
        case ZU_CTRL_STATE_ACTIVE_DIMMED:
            state = ZU_CTRL_STATE_NORMAL_DIMMED;
            break;
        default:
            state = ZU_CTRL_STATE_NORMAL;
            break;
        }
    }
    used = state;
    return true;
}

bool ZuIconRecord::Cache(ZuCtrlState state, double width, double height, unsigned& index)
{
    for (unsigned i = 0; i < cache_count; ++i) {
        Zuvi_IconCacheDef& def = cache_defs[i];
        if (def.width == width && def.height == height && def.state == state) {
            def.last_use = Zuvi_RetEventTime();
            ++def.use_count;
            index = def.index;
            return true;
        }
    }
    // A pixmap cannot be empty: an empty box gets no copy (and is painted
    // as nothing by the caller).
    if (width < 1.0 || height < 1.0 || sheet.IsInvalid())
        return false;
    if (cache_pixmaps.IsInvalid()) {
        cache_pixmaps = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, kFile);
        cache_pixmaps->SetSize(0);
        cache_pixmaps->SetAutoGrowIncrement(1);
    }
    ZuGrailPixmapRef pixmap(ZuNew<ZuGrailPixmap>(Zuvi_app_zone, __LINE__, kFile));
    pixmap->Initialise(32, width, height);
    pixmap->BeginDraw(0.0, 0.0, width - 1.0, height - 1.0);
    pixmap->SetPureColor(true);
    pixmap->CopyRect(sheet, rects[state], ZuRect(0.0, 0.0, width - 1.0, height - 1.0));
    pixmap->EndDraw();

    index = cache_pixmaps->TotalCount();
    cache_pixmaps->Insert(pixmap);

    Zuvi_IconCacheDef& def = cache_defs[cache_count];
    def.index = index;
    def.width = width;
    def.height = height;
    def.state = state;
    def.last_use = def.creation = Zuvi_RetEventTime();
    def.use_count = 1;
    ++cache_count;
    return true;
}

void ZuIconRecord::Paint(const ZuGrailPortRef& port, ZuCtrlState asked, const ZuRect& where,
                         double alpha)
{
    ZuCtrlState state;
    if (!ResolveState(asked, state) || sheet.IsInvalid())
        return;
    const ZuRect& src = rects[state];
    const double w = Width(src);
    const double h = src.DY();
    if (!x_stretchable && !y_stretchable) {
        port->BlendRect(sheet, alpha, src.X1(), src.Y1(), Box(where.X1(), where.Y1(), w, h), 0.0);
        return;
    }
    const double width = x_stretchable ? Width(where) : w;
    const double height = y_stretchable ? where.DY() : h;
    const ZuRect dest = Box(where.X1(), where.Y1(), width, height);
    if (dest.IsEmpty())
        return;
    unsigned index = 0;
    if (Cache(state, width, height, index)) {
        ZuGrailPixmapRef cached(cache_pixmaps[index]);
        port->BlendRect(cached, alpha, ZuRect(0.0, 0.0, width - 1.0, height - 1.0), dest);
    } else {
        port->BlendRect(sheet, alpha, src, dest);
    }
}

void ZuIconRecord::Fill(const ZuGrailPortRef& port, ZuCtrlState asked, const ZuRect& area, double)
{
    ZuCtrlState state;
    if (!ResolveState(asked, state) || sheet.IsInvalid() || area.IsEmpty())
        return;
    const ZuRect& src = rects[state];
    const double w = Width(src);
    const double h = src.DY();
    // An empty tile would never move on.
    if (w < 1.0 || h < 1.0)
        return;
    const double right = static_cast<double>(static_cast<long long>(area.X2() + 0.5));
    const double bottom = static_cast<double>(static_cast<long long>(area.Y2() + 0.5));
    for (double top = area.Y1(); top <= bottom; top += h) {
        for (double left = area.X1(); left <= right; left += w) {
            double x2 = left + w - 1.0;
            double y2 = top + h - 1.0;
            if (x2 > right)
                x2 = right;
            if (y2 > bottom)
                y2 = bottom;
            port->CopyRect(sheet, src.X1(), src.Y1(), ZuRect(left, top, x2, y2), 0.0);
        }
    }
}

void ZuIconRecord::DumpStatistics(FILE* file)
{
    if (cache_count == 0 || file == nullptr)
        return;
    std::fprintf(file, "Icon '%s'\n", name.IsValid() ? name->RetText() : "");
    for (unsigned i = 0; i < cache_count; ++i) {
        const Zuvi_IconCacheDef& def = cache_defs[i];
        std::fprintf(file, "  %02d\t%03d x %03d", static_cast<int>(i), static_cast<int>(def.width),
                     static_cast<int>(def.height));
        std::fprintf(file, "\t%d", static_cast<int>(def.use_count));
        std::fprintf(file, "\t%s\n", ZuCtrlStateRetName(def.state));
    }
    std::fprintf(file, "\n");
}
