// ZuBaseCheckFilter: the abstract base of the library's check filters. A
// filter judges one text for a checker (ZuiCheckFilter::Check); a program
// gives a check meaning by deriving its own filter and implementing Check.
#ifndef SI_BASECHECKFILTER_H
#define SI_BASECHECKFILTER_H

#include "si/basecontroller.h"
#include "si/icheckfilter.h"

ZU_HANDLE(ZuBaseCheckFilter, ZuBaseController)

class ZuBaseCheckFilter : public ZuBaseController, public ZuiCheckFilter {
    ZU_CLASS(ZuBaseCheckFilter, ZuBaseController)
public:
    ZuBaseCheckFilter() {}

protected:
    // The controller's part, then "<ZuBaseCheckFilter >", begin, end. A
    // subclass stores its own group after this part.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuBaseCheckFilter)

#endif
