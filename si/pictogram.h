// ZuPictogram: a plain object carrying a pictogram label (an icon name and
// four texts), shown by pictogram architects through its own interface.
#ifndef SI_PICTOGRAM_H
#define SI_PICTOGRAM_H

#include "si/ipictogramlabel.h"
#include "si/object.h"

ZU_HANDLE(ZuPictogram, ZuObject)
class ZuPictogram : public ZuObject, public ZuiPictogramLabel {
    ZU_CLASS(ZuPictogram, ZuObject)
public:
    ZuPictogram() {}

    // The source's label, then the object's copy.
    ZuObjectRef Copy(const ZuObjectRef& source) override;

protected:
    // The object's part, then the label's; no record of its own.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuPictogram)

#endif
