// ZuPatternFileFilter: a pattern filter that is also a file filter, so that
// a file listing can keep the names that match a pattern such as "*.png".
// With the check mode false the answer is inverted.
#ifndef SI_PATFILEFILTER_H
#define SI_PATFILEFILTER_H

#include "si/ifilefilter.h"
#include "si/patfilter.h"

ZU_HANDLE(ZuPatternFileFilter, ZuPatternFilter)

class ZuPatternFileFilter : public ZuPatternFilter, public ZuiFileFilter {
    ZU_CLASS(ZuPatternFileFilter, ZuPatternFilter)
public:
    ZuPatternFileFilter() {}

    using ZuPatternFilter::Check;
    // The pattern's answer for the name (info is not used).
    bool Check(const ZuStringRef& name, const ZuFileAttInfo& info) const override;

    // Takes the pattern and the check mode of another pattern file filter.
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // The pattern filter's part, then "<ZuPatternFileFilter <ZuiFileFilter>
    // >", begin, the interface's part (its check mode), end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuPatternFileFilter)

#endif
