// ZuStepView: a multi-view that shows one step at a time, made by its view
// provider for the item its selection controller makes active. A class of
// its own so that such a view is created and stored under its own name; it
// adds nothing to the multi-view but its record.
#ifndef SI_STEPVIEW_H
#define SI_STEPVIEW_H

#include "si/multiview.h"

ZU_HANDLE(ZuStepView, ZuMultiView)
class ZuStepView : public ZuMultiView {
    ZU_CLASS(ZuStepView, ZuMultiView)
public:
    ZuStepView() {}

protected:
    // "<ZuStepView>" with nothing inside, after the multi-view's record.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuStepView)

#endif
