// ZuCloneArchitect: the architect of sources whose items are views: each
// item is a model, and the view shown for it is a fresh clone of the model.
#ifndef SI_CLONEARCHITECT_H
#define SI_CLONEARCHITECT_H

#include "si/viewarchitect.h"

ZU_HANDLE(ZuCloneArchitect, ZuViewArchitect)
class ZuCloneArchitect : public ZuViewArchitect {
    ZU_CLASS(ZuCloneArchitect, ZuViewArchitect)
public:
    ZuCloneArchitect() {}

    using ZuViewArchitect::Initialise;
    virtual bool Initialise();

    // The model's size; false for an item that is no view.
    bool GetViewSize(const ZuObjectRef& item, double& dx, double& dy) override;
    // A clone of the model in slot 0; false for an item that is no view or
    // an empty holder. A holder without slots drops the clone.
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuCloneArchitect)

#endif
