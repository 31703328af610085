// ZuSpringBoard: the bands (si/springband) that lay out the children of
// one view. When the view's size changes it gives its new box to every
// band; a view may belong to one horizontal and one vertical band of the
// same board.
#ifndef SI_SPRINGBOARD_H
#define SI_SPRINGBOARD_H

#include "si/springband.h"

ZU_HANDLE(ZuSpringBoard, ZuObject)

class ZuSpringBoard : public ZuObject {
    ZU_CLASS(ZuSpringBoard, ZuObject)
public:
    ZuSpringBoard();

    void Delete() override;

    virtual void RemoveAll();
    virtual void Resize(const ZuRect& rect);
    // Takes the view out of every band; whether any held it.
    virtual bool RemoveView(const ZuViewRef& view);
    // The first band from index on that holds the view; index is then its
    // place, else the number of bands.
    virtual bool FindView(const ZuViewRef& view, unsigned& index) const;
    virtual bool FindView(const ZuViewRef& view) const;
    virtual bool ReplaceView(const ZuViewRef& old_view, const ZuViewRef& new_view);
    virtual unsigned CountBands() const;
    // An index past the bands appends.
    virtual bool InsertBand(unsigned index, const ZuSpringBandRef& band);
    virtual bool RemoveBand(unsigned index);
    virtual bool GetNthBand(unsigned index, ZuSpringBandRef& out) const;
    virtual bool FindBand(const ZuSpringBandRef& band, unsigned& index) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // Band i when it is a band, else an empty handle.
    ZuSpringBandRef BandAt(unsigned index) const;

    ZuSpringBandArray band;
};
ZU_CLASS_END(ZuSpringBoard)

#endif
