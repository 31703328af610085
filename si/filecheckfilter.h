// ZuFileCheckFilter: the library's check filter for file names. It reaches no
// verdict: Check answers false for every text and leaves the record as it
// was, so a checker that has only this filter finds every text valid.
#ifndef SI_FILECHECKFILTER_H
#define SI_FILECHECKFILTER_H

#include "si/basecheckfilter.h"

ZU_HANDLE(ZuFileCheckFilter, ZuBaseCheckFilter)

class ZuFileCheckFilter : public ZuBaseCheckFilter {
    ZU_CLASS(ZuFileCheckFilter, ZuBaseCheckFilter)
public:
    ZuFileCheckFilter() {}

    bool Check(const ZuStringRef& text, ZuValidityRecord& record) const override;

protected:
    // The base filter's part, then "<ZuFileCheckFilter >", begin, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuFileCheckFilter)

#endif
