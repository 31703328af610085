#ifndef SI_ICONRECT_H
#define SI_ICONRECT_H

// ZuIconRect: a frame of nine icon records of one name, found by their
// mosaic numbers in the current look manager: 0 top-left corner, 1 top
// edge, 2 top-right corner, 3 left edge, 4 surface, 5 right edge, 6
// bottom-left corner, 7 bottom edge, 8 bottom-right corner. It paints them
// around any rectangle: the corners at the sizes of pieces 0 and 8, the
// edges and the surface between them. A frame keeps its name when stored
// and finds its pieces again when restored.
//
// A frame whose pieces were not all found paints the pieces it has, and
// GetEdgeBox answers false when it needs a missing corner.

#include "si/adorner.h"
#include "si/atom.h"
#include "si/bitset.h"
#include "si/ctrlstate.h"
#include "si/enumfamily.h"
#include "si/grail.h"
#include "si/iconrecord.h"
#include "si/object.h"
#include "si/rect.h"

ZU_HANDLE(ZuIconRect, ZuObject)
class ZuIconRect : public ZuObject {
    ZU_CLASS(ZuIconRect, ZuObject)

public:
    static const unsigned kPieces = 9;

    ZuIconRect();
    ~ZuIconRect() override;

    // Takes the name and looks for the nine pieces; false for the null
    // atom, or when a piece was not found (it keeps its previous handle).
    virtual bool Initialise(const ZuAtomRef& base_name);
    virtual const ZuAtomRef& RetName() const;
    // The parts named in edges, the frame's place and size used as given.
    virtual void Paint(const ZuGrailPortRef& port, const Bitset<ZuFrameEdgeBit>& edges,
                       ZuCtrlState state, const ZuRect& frame, double alpha);
    // The whole frame, its corner truncated and its size rounded to whole
    // pixels.
    virtual void Paint(const ZuGrailPortRef& port, ZuCtrlState state, const ZuRect& frame,
                       double alpha);
    // The box of one edge (top, bottom, left or right); false for the
    // surface, the corners, a negative size or a missing corner piece.
    virtual bool GetEdgeBox(ZuFrameEdgeBit edge, ZuCtrlState state, const ZuRect& frame,
                            ZuRect& box) const;

    const ZuIconRecordRef& RetPiece(unsigned i) const { return pieces[i]; }

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The frame laid out at (x, y) with size (w, h); `which` says which of
    // the nine pieces to paint.
    void PaintPieces(const ZuGrailPortRef& port, const bool which[kPieces], ZuCtrlState state,
                     double x, double y, double w, double h, double alpha);

    ZuIconRecordRef pieces[kPieces];
    ZuAtomRef base_name;
};
ZU_CLASS_END(ZuIconRect)

#endif
