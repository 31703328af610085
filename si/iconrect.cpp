#include "si/iconrect.h"

#include "si/lookman.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"
#include "si/typedef.h"
#include "si/typeinfo.h"

namespace {

const char* const kFile = "si/iconrect";

// A box of w x h at (x, y); empty when either is below 1.
ZuRect Box(double x, double y, double w, double h)
{
    if (w < 1.0 || h < 1.0)
        return ZuRect();
    return ZuRect(x, y, x + w - 1.0, y + h - 1.0);
}

double Trunc(double v)
{
    return static_cast<double>(static_cast<long long>(v));
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuIconRect, kFile, ZU_CLASS_PLAIN)

ZuIconRect::ZuIconRect() {}

ZuIconRect::~ZuIconRect() {}

void ZuIconRect::Delete()
{
    for (ZuIconRecordRef& piece : pieces)
        piece = ZuIconRecordNull;
    ZuObject::Delete();
}

bool ZuIconRect::Initialise(const ZuAtomRef& name)
{
    if (name.IsInvalid())
        return false;
    base_name = name;
    const ZuLookManRef& look = ZuLookMan::Current();
    bool all = true;
    for (unsigned i = 0; i < kPieces; ++i) {
        bool found = false;
        ZuIconRecordRef record;
        for (unsigned n = 0; look.IsValid() && look->GetIconRecord(name, record, n); ++n) {
            if (record.IsValid() && record->RetMosaicID() == i) {
                pieces[i] = record;
                found = true;
                break;
            }
        }
        all = all && found;
    }
    return all;
}

const ZuAtomRef& ZuIconRect::RetName() const
{
    return base_name;
}

void ZuIconRect::PaintPieces(const ZuGrailPortRef& port, const bool which[kPieces],
                             ZuCtrlState state, double x, double y, double w, double h,
                             double alpha)
{
    // The corner sizes are those of pieces 0 and 8; a missing one counts as
    // 0 x 0 and is not painted.
    double cw1 = 0.0, ch1 = 0.0, cw2 = 0.0, ch2 = 0.0;
    if (pieces[0].IsValid())
        pieces[0]->GetSize(cw1, ch1);
    if (pieces[8].IsValid())
        pieces[8]->GetSize(cw2, ch2);
    const double iw = w - cw1 - cw2;
    const double ih = h - ch1 - ch2;
    struct Place {
        double x, y, w, h;
        bool wanted;
    };
    const Place places[kPieces] = {
        {x, y, cw1, ch1, true},
        {x + cw1, y, iw, ch1, iw >= 1.0},
        {x + w - cw2, y, cw2, ch1, true},
        {x, y + ch1, cw1, ih, ih >= 1.0},
        {x + cw1, y + ch1, iw, ih, iw >= 1.0 && ih >= 1.0},
        {x + w - cw2, y + ch1, cw2, ih, ih >= 1.0},
        {x, y + h - ch2, cw1, ch2, true},
        {x + cw1, y + h - ch2, iw, ch2, iw >= 1.0},
        {x + w - cw2, y + h - ch2, cw2, ch2, true},
    };
    for (unsigned i = 0; i < kPieces; ++i) {
        const Place& p = places[i];
        if (!which[i] || !p.wanted || pieces[i].IsInvalid())
            continue;
        pieces[i]->Paint(port, state, Box(p.x, p.y, p.w, p.h), alpha);
    }
}

void ZuIconRect::Paint(const ZuGrailPortRef& port, ZuCtrlState state, const ZuRect& frame,
                       double alpha)
{
    const double w = Trunc(frame.DX() + 0.5);
    const double h = Trunc(frame.DY() + 0.5);
    if (w < 0.0 || h < 0.0)
        return;
    const bool all[kPieces] = {true, true, true, true, true, true, true, true, true};
    PaintPieces(port, all, state, Trunc(frame.X1()), Trunc(frame.Y1()), w, h, alpha);
}

void ZuIconRect::Paint(const ZuGrailPortRef& port, const Bitset<ZuFrameEdgeBit>& edges,
                       ZuCtrlState state, const ZuRect& frame, double alpha)
{
    const double w = frame.DX();
    const double h = frame.DY();
    if (w < 0.0 || h < 0.0)
        return;
    const bool corners = edges[ZU_FRAME_CORNERS];
    const bool which[kPieces] = {
        corners,
        edges[ZU_FRAME_TOP],
        corners,
        edges[ZU_FRAME_LEFT],
        edges[ZU_FRAME_SURFACE],
        edges[ZU_FRAME_RIGHT],
        corners,
        edges[ZU_FRAME_BOTTOM],
        corners,
    };
    PaintPieces(port, which, state, frame.X1(), frame.Y1(), w, h, alpha);
}

bool ZuIconRect::GetEdgeBox(ZuFrameEdgeBit edge, ZuCtrlState, const ZuRect& frame,
                            ZuRect& box) const
{
    // Every edge is measured against both corners.
    if (pieces[0].IsInvalid() || pieces[8].IsInvalid())
        return false;
    double cw1, ch1, cw2, ch2;
    pieces[0]->GetSize(cw1, ch1);
    pieces[8]->GetSize(cw2, ch2);
    const double x = frame.X1();
    const double y = frame.Y1();
    const double w = frame.DX();
    const double h = frame.DY();
    if (w < 0.0 || h < 0.0)
        return false;
    switch (edge) {
    case ZU_FRAME_TOP:
        box = Box(x + cw1, y, w - cw1 - cw2, ch1);
        return true;
    case ZU_FRAME_BOTTOM:
        box = Box(x + cw1, y + h - ch2, w - cw1 - cw2, ch2);
        return true;
    case ZU_FRAME_LEFT:
        box = Box(x, y + ch1, cw1, h - ch1 - ch2);
        return true;
    case ZU_FRAME_RIGHT:
        box = Box(x + w - cw2, y + ch1, cw2, h - ch1 - ch2);
        return true;
    default:
        return false;
    }
}

void ZuIconRect::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuIconRect base_name>");
    storage << record << ZuStorageSync::begin << base_name << ZuStorageSync::end;
}

void ZuIconRect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    ZuAtomRef name;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage->RestoreAtom(name);
    storage >> ZuStorageSync::end;
    Initialise(name);
}
