// ZuColumnArchitect: the pictogram architect that shows nothing: it knows
// no size and makes no view.
#ifndef SI_COLUMNARCHITECT_H
#define SI_COLUMNARCHITECT_H

#include "si/picarchitect.h"

ZU_HANDLE(ZuColumnArchitect, ZuPicArchitect)
class ZuColumnArchitect : public ZuPicArchitect {
    ZU_CLASS(ZuColumnArchitect, ZuPicArchitect)
public:
    ZuColumnArchitect() {}

    // Both false, touching nothing.
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuColumnArchitect)

#endif
