// The look manager's icons: a dictionary from name atoms to icon records,
// several records per name (one per size, in insertion order).

#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/lookman.h"
#include "si/memzone.h"

namespace {

const char* const kFile = "si/lookmanicon";

// A rectangle's extents: 0 for an empty one.
double Width(const ZuRect& r)
{
    return r.DX();
}

} // namespace

void ZuLookMan::InitIcons()
{
    icons = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, kFile);
    icons->SetCompKeyUsingIsEqual(false);
    // Records are equal only to themselves: compared by identity, a sheet's
    // many records of one name are filed without comparing each to all.
    icons->SetCompValueUsingIsEqual(false);
    const ZuStringRef prefix("Zuvi_");
    LoadAndParsePNG(ZuStringRef("%Zuvi%/zu_icons.png"), prefix);
    LoadAndParsePNG(ZuStringRef("%Zuvi%/zu_handles.png"), prefix);
}

unsigned ZuLookMan::RetIconCount() const
{
    return icons.IsValid() ? icons->TotalCount() : 0;
}

ZuAtomRef ZuLookMan::FindNthIcon(unsigned n)
{
    ZuObjectRef key, value;
    if (icons.IsInvalid() || !icons->Get(n, key, value))
        return ZuAtomNull;
    return ZuAtomRef(key);
}

bool ZuLookMan::GetIconRecord(const ZuAtomRef& name, ZuIconRecordRef& record, unsigned n) const
{
    ZuObjectRef value;
    if (icons.IsInvalid() || name.IsInvalid() || !icons->GetFromKey(name, value, n) ||
        value.IsInvalid())
        return false;
    record = value;
    return true;
}

bool ZuLookMan::GetIconSize(const ZuAtomRef& name, double& width, double& height, unsigned n) const
{
    ZuIconRecordRef record;
    if (!GetIconRecord(name, record, n))
        return false;
    return record->GetSize(width, height);
}

bool ZuLookMan::FindIconRecord(const ZuAtomRef& name, double width, double height,
                               ZuIconRecordRef& record) const
{
    ZuIconRecordRef candidate;
    for (unsigned n = 0; GetIconRecord(name, candidate, n); ++n) {
        double w, h;
        candidate->GetSize(w, h);
        const bool width_fits = w == width || width == 0.0 || candidate->IsXStretchable();
        const bool height_fits = h == height || height == 0.0 || candidate->IsYStretchable();
        if (width_fits && height_fits) {
            record = candidate;
            return true;
        }
    }
    return false;
}

bool ZuLookMan::GetIconRecord(const ZuAtomRef& name, double width, double height,
                              ZuIconRecordRef& record) const
{
    return FindIconRecord(name, width, height, record);
}

bool ZuLookMan::GetBestIconSize(const ZuAtomRef& name, double& width, double& height) const
{
    bool width_free = width == 0.0;
    bool height_free = height == 0.0;
    for (int pass = 0; pass < 2; ++pass) {
        double best_w = 1000.0, best_h = 1000.0, best_d = 2000000.0;
        double w, h;
        for (unsigned n = 0; GetIconSize(name, w, h, n); ++n) {
            const double dw = width == 0.0 ? 0.0 : (w - width) * (w - width);
            const double dh = height == 0.0 ? 0.0 : (h - height) * (h - height);
            const double d = dw + dh;
            if (d < best_d && (w <= width || width_free) && (h <= height || height_free)) {
                best_w = w;
                best_h = h;
                best_d = d;
            }
        }
        if (best_w != 1000.0) {
            width = best_w;
            height = best_h;
            return true;
        }
        // Nothing small enough: any size will do, the nearest first.
        width_free = height_free = true;
    }
    return false;
}

bool ZuLookMan::AddUserIcon(const ZuIconRecordRef& record)
{
    if (record.IsInvalid())
        return false;
    icons->Insert(record->RetName(), record);
    return true;
}

bool ZuLookMan::AddUserIcon(const ZuAtomRef& name, ZuCtrlState state,
                            const ZuGrailPixmapRef& pixmap, const ZuRect& rect)
{
    const double width = Width(rect);
    const double height = rect.DY();
    ZuIconRecordRef record;
    const bool found = GetIconRecord(name, width, height, record);
    if (!found) {
        record = ZuNew<ZuIconRecord>(Zuvi_sys_zone, __LINE__, kFile);
        record->Initialise(name, pixmap);
    }
    record->DefineIcon(state, rect);
    if (!found)
        icons->Insert(name, record);
    return true;
}

bool ZuLookMan::RemoveUserIcon(const ZuAtomRef& name)
{
    if (icons.IsValid())
        icons->Remove(name, 0u);
    return true;
}
