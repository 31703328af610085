// ZuPicAdapter: makes the pictogram under which an item is shown, for items
// that are no pictograms themselves. A pictogram architect with an adapter
// asks it for every item instead of the item.
#ifndef SI_PICADAPTER_H
#define SI_PICADAPTER_H

#include "si/ipictogram.h"
#include "si/object.h"

ZU_HANDLE(ZuPicAdapter, ZuObject)
class ZuPicAdapter : public ZuObject {
    ZU_CLASS(ZuPicAdapter, ZuObject)
public:
    ZuPicAdapter() {}

    // The pictogram through which object is shown, or null; holder
    // receives the object that carries the returned interface.
    virtual ZuiPictogram* MakePictogram(const ZuObjectRef& object, ZuObjectRef& holder) = 0;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuPicAdapter)

#endif
