#include "si/iconedge.h"

#include "si/grail.h"
#include "si/lookman.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuIconEdge, "si/iconedge", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& IconEdgeRecord()
{
    static ZuStorageSync record("<ZuIconEdge base_name rect_name>");
    return record;
}

// A piece's rectangle from (x, y), empty when it has no width or height.
ZuRect PieceRect(double x, double y, double width, double height)
{
    if (width <= 0 || height <= 0)
        return ZuRect();
    return ZuRect(x, y, x + width - 1, y + height - 1);
}

void PieceSize(const ZuIconRecordRef& piece, double& w, double& h)
{
    w = 0;
    h = 0;
    if (piece.IsValid())
        piece->GetSize(w, h);
}

void PaintPiece(const ZuIconRecordRef& piece, const ZuGrailPortRef& port, ZuCtrlState state,
                const ZuRect& rect, double extra)
{
    if (piece.IsValid() && !rect.IsEmpty())
        piece->Paint(port, state, rect, extra);
}

const ZuIconRecordRef no_piece;

} // namespace

bool ZuIconEdge::Initialise(const ZuAtomRef& base, const ZuAtomRef& rect)
{
    rect_name = rect;
    return Initialise(base);
}

bool ZuIconEdge::Initialise(const ZuAtomRef& base)
{
    if (base.IsInvalid())
        return false;
    base_name = base;
    bool found_all = true;
    const ZuLookManRef& look = ZuLookMan::Current();
    for (unsigned id = 0; id < kPieces; ++id) {
        if (rect_name.IsValid() && (id == 4 || id == 9))
            continue;
        bool found = false;
        if (look.IsValid()) {
            ZuIconRecordRef record;
            for (unsigned k = 0; look->GetIconRecord(base, record, k); ++k)
                if (record.IsValid() && record->RetMosaicID() == id) {
                    pieces[id] = record;
                    found = true;
                    break;
                }
        }
        if (!found)
            found_all = false;
    }
    return found_all;
}

const ZuAtomRef& ZuIconEdge::RetName() const
{
    return base_name;
}

const ZuAtomRef& ZuIconEdge::RetRectName() const
{
    return rect_name;
}

const ZuIconRecordRef& ZuIconEdge::RetPiece(unsigned id) const
{
    return id < kPieces ? pieces[id] : no_piece;
}

void ZuIconEdge::Paint(const ZuGrailPortRef& port, ZuFrameEdgeBit edge, ZuCtrlState state,
                       const ZuRect& rect, double left, double right, double extra)
{
    if (edge != ZU_FRAME_TOP && edge != ZU_FRAME_BOTTOM)
        return;
    const double x1 = rect.X1(), y1 = rect.Y1();
    const double width = rect.DX(), height = rect.DY();
    if (width < 0 || height < 0)
        return;
    const double cy = y1 + height / 2;
    double w1, h1, w2, h2;
    PieceSize(pieces[1], w1, h1);
    PieceSize(pieces[2], w2, h2);

    PaintPiece(pieces[0], port, state, PieceRect(x1, cy - h1 / 2, left - w1, h1), extra);
    PaintPiece(pieces[1], port, state, PieceRect(x1 + left - w1, cy - h1 / 2, w1, h1), extra);
    const double middle_width = width - left - right;
    if (rect_name.IsValid()) {
        ZuRect middle = PieceRect(x1 + left, y1, middle_width, height);
        if (port.IsValid() && !middle.IsEmpty())
            port->RetAdorner()->DrawFrame(rect_name, middle, state, extra);
    } else {
        double w4, h4;
        PieceSize(pieces[4], w4, h4);
        PaintPiece(pieces[4], port, state, PieceRect(x1 + left, cy - h4 / 2, middle_width, h4),
                   extra);
    }
    PaintPiece(pieces[2], port, state, PieceRect(x1 + width - right, cy - h2 / 2, w2, h2), extra);
    PaintPiece(pieces[3], port, state,
               PieceRect(x1 + width - right + w2, cy - h2 / 2, right - w2, h2), extra);
}

void ZuIconEdge::Delete()
{
    for (ZuIconRecordRef& piece : pieces)
        piece = ZuIconRecordNull;
    ZuObject::Delete();
}

void ZuIconEdge::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << IconEdgeRecord() << ZuStorageSync::begin;
    s << base_name << rect_name;
    s << ZuStorageSync::end;
}

void ZuIconEdge::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuAtomRef base, rect;
    s->RestoreAtom(base);
    s->RestoreAtom(rect);
    s >> ZuStorageSync::end;
    Initialise(base, rect);
}
