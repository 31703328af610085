// ZuIconEdge: a painter, not a view, that builds a stretchable horizontal
// strip from the pieces of one named icon of the look (up to ten records of
// that name, told apart by their mosaic IDs) and paints it into a
// rectangle: a left filler and a left end, a middle (piece 4, or a named
// frame of the look stretched over the whole height), a right end and a
// right filler. Pieces 5 to 9 are loaded but not painted; vertical edges
// paint nothing.
#ifndef SI_ICONEDGE_H
#define SI_ICONEDGE_H

#include "si/adorner.h"
#include "si/atom.h"
#include "si/ctrlstate.h"
#include "si/iconrecord.h"
#include "si/object.h"
#include "si/rect.h"

ZU_HANDLE(ZuIconEdge, ZuObject)
class ZuIconEdge : public ZuObject {
    ZU_CLASS(ZuIconEdge, ZuObject)
public:
    enum { kPieces = 10 };

    ZuIconEdge() {}

    // rect_name names the frame of the middle (empty: piece 4); then
    // Initialise(base_name).
    virtual bool Initialise(const ZuAtomRef& base_name, const ZuAtomRef& rect_name);
    // Looks the pieces of the name up in the current look manager: for each
    // mosaic ID the first record of the name that bears it. False for an
    // empty name, and false when some piece was not found (the others are
    // set all the same; a missing one keeps what it held).
    virtual bool Initialise(const ZuAtomRef& base_name);
    virtual const ZuAtomRef& RetName() const;
    virtual const ZuAtomRef& RetRectName() const;
    // Paints the strip for the top and bottom edges; left and right set
    // the widths of the two ends (fillers included), extra goes to the
    // records' and the frame's painting.
    virtual void Paint(const ZuGrailPortRef& port, ZuFrameEdgeBit edge, ZuCtrlState state,
                       const ZuRect& rect, double left, double right, double extra);

    // The piece of that mosaic ID (an empty handle past the last).
    const ZuIconRecordRef& RetPiece(unsigned id) const;

    void Delete() override;

protected:
    // "<ZuIconEdge base_name rect_name>"; restoring looks the pieces up
    // again in the current look manager.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuIconRecordRef pieces[kPieces];
    ZuAtomRef base_name;
    ZuAtomRef rect_name;
};
ZU_CLASS_END(ZuIconEdge)

#endif
