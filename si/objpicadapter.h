// ZuObjectPicAdapter: the adapter of ordinary objects, which have no
// pictogram: an architect with it shows no text and no icon for any item.
#ifndef SI_OBJPICADAPTER_H
#define SI_OBJPICADAPTER_H

#include "si/picadapter.h"

ZU_HANDLE(ZuObjectPicAdapter, ZuPicAdapter)
class ZuObjectPicAdapter : public ZuPicAdapter {
    ZU_CLASS(ZuObjectPicAdapter, ZuPicAdapter)
public:
    ZuObjectPicAdapter() {}

    // Null for every object; the holder is left as it is.
    ZuiPictogram* MakePictogram(const ZuObjectRef& object, ZuObjectRef& holder) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuObjectPicAdapter)

#endif
