#include "si/stepview.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuStepView, "si/stepview", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& StepViewRecord()
{
    static ZuStorageSync record("<ZuStepView>");
    return record;
}

} // namespace

void ZuStepView::StoreInstance(const ZuStorageRef& s)
{
    ZuMultiView::StoreInstance(s);
    s << StepViewRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuStepView::RestoreInstance(const ZuStorageRef& s)
{
    ZuMultiView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
