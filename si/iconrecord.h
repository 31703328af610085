#ifndef SI_ICONRECORD_H
#define SI_ICONRECORD_H

// ZuIconRecord: a named icon cut from a sheet pixmap: one rectangle of the
// sheet per control state, optional entry and exit points (to chain icons,
// as the pieces of a slider), a mosaic number placing it in a nine-piece
// frame (ZuIconRect) and two flags that let it stretch across or down.
//
// Painting falls back to a neighbouring state when the asked one has no
// image. A stretched icon is painted from a scaled copy made once per
// state and size and kept by the record (its cache). Records are not
// stored: sheets make them again.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "si/array.h"
#include "si/atom.h"
#include "si/ctrlstate.h"
#include "si/grailpxm.h"
#include "si/icache.h"
#include "si/object.h"
#include "si/rect.h"

class ZuStorageRef;

// One scaled copy of an icon: where its pixmap is among the record's cache
// pixmaps, its size and state, when it was made and last used (event
// times) and how often it was used.
struct Zuvi_IconCacheDef {
    unsigned index;
    double width;
    double height;
    ZuCtrlState state;
    int64_t last_use;
    int64_t creation;
    unsigned use_count;

    void Zero();
};

// Index (card), width and height (reals), state (card), the two times
// (ints) and the use count (card).
const ZuStorageRef& operator<<(const ZuStorageRef& storage, const Zuvi_IconCacheDef& def);
const ZuStorageRef& operator>>(const ZuStorageRef& storage, Zuvi_IconCacheDef& def);

// The definitions of one record's cache. Asking for an entry at or beyond
// the capacity grows it to that entry plus the growth step, the new
// entries cleared; with a growth step of 0 that is an access exception.
class Zuvi_IconCacheDefArray {
public:
    explicit Zuvi_IconCacheDefArray(unsigned growth_step = 10) : step(growth_step) {}
    Zuvi_IconCacheDef& operator[](unsigned i);
    unsigned RetCapacity() const { return static_cast<unsigned>(defs.size()); }

private:
    unsigned step;
    std::vector<Zuvi_IconCacheDef> defs;
};

// The event time that stamps the cache: the monotonic clock in ms.
int64_t Zuvi_RetEventTime();

ZU_HANDLE(ZuIconRecord, ZuObject)
class ZuIconRecord : public ZuObject, public ZuiCache {
    ZU_CLASS(ZuIconRecord, ZuObject)

public:
    ZuIconRecord();
    ~ZuIconRecord() override;

protected:
    // The scaled copy of the state at that size, made when there is none;
    // true. A width or height below 1 gives no copy and false.
    virtual bool Cache(ZuCtrlState state, double width, double height, unsigned& index);

public:
    virtual bool Initialise(const ZuAtomRef& name, const ZuGrailPixmapRef& sheet);
    // False for a state outside 0 to 7.
    virtual bool DefineIcon(ZuCtrlState state, const ZuRect& rect);
    virtual bool DefineEntryPoint(double x, double y);
    virtual bool DefineExitPoint(double x, double y);
    virtual bool DefineMosaicID(unsigned id);
    virtual bool SetXStretchable(bool on);
    virtual bool SetYStretchable(bool on);
    virtual const ZuAtomRef& RetName() const;
    virtual unsigned RetMosaicID() const;
    virtual bool GetName(ZuAtomRef& name) const;
    // The size of the normal state's rectangle.
    virtual bool GetSize(double& width, double& height) const;
    // (0, 0) and false when undefined.
    virtual bool GetEntryPoint(double& x, double& y) const;
    // (normal width, 0) and false when undefined.
    virtual bool GetExitPoint(double& x, double& y) const;
    // Exit minus entry (defaults included); true only when both are defined.
    virtual bool GetAdvance(double& dx, double& dy) const;
    virtual bool IsXStretchable() const;
    virtual bool IsYStretchable() const;
    // Blends the state's image at where's top left corner, at its own size
    // on an axis it does not stretch on, at where's size on the others.
    virtual void Paint(const ZuGrailPortRef& port, ZuCtrlState state, const ZuRect& where,
                       double alpha);
    // Tiles the state's image unscaled over the area, the last row and
    // column cut. The last argument is not used.
    virtual void Fill(const ZuGrailPortRef& port, ZuCtrlState state, const ZuRect& area,
                      double unused);

    // ZuiCache: the scaled copies, one line each.
    void DumpStatistics(FILE* file) override;

    // The state painted for the one asked; false for a state outside 0 to 7.
    bool ResolveState(ZuCtrlState asked, ZuCtrlState& used) const;
    const ZuRect& RetIconRect(ZuCtrlState state) const { return rects[state & 7u]; }
    const ZuGrailPixmapRef& RetSheet() const { return sheet; }
    unsigned RetCacheCount() const { return cache_count; }
    const Zuvi_IconCacheDef& RetCacheDef(unsigned i) { return cache_defs[i]; }
    const ZuGrailPixmapArray& RetCachePixmaps() const { return cache_pixmaps; }

    void Delete() override;

protected:
    // Refused: records are not stored.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuGrailPixmapRef sheet;
    ZuRect rects[8];
    ZuAtomRef name;
    unsigned mosaic_id;
    double entry_x;
    double entry_y;
    double exit_x;
    double exit_y;
    bool entry_defined;
    bool exit_defined;
    bool x_stretchable;
    bool y_stretchable;
    ZuGrailPixmapArray cache_pixmaps;
    Zuvi_IconCacheDefArray cache_defs;
    unsigned cache_count;
};
ZU_CLASS_END(ZuIconRecord)

#endif
