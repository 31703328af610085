// ZuMergeFileFilter: a file filter that combines other file filters, by
// "or" (union, the default) or by "and" (intersection). With its own check
// mode false the combined answer is inverted.
#ifndef SI_MERGEFILEFILTER_H
#define SI_MERGEFILEFILTER_H

#include "si/array.h"
#include "si/icontainer.h"
#include "si/ifilefilter.h"
#include "si/object.h"

ZU_HANDLE(ZuMergeFileFilter, ZuObject)

class ZuMergeFileFilter : public ZuObject, public ZuiFileFilter, public ZuiContainer {
    ZU_CLASS(ZuMergeFileFilter, ZuObject)
public:
    ZuMergeFileFilter();

    // Only objects that support ZuiFileFilter are taken (appended).
    virtual bool Insert(const ZuObjectRef& filter);
    // Removes the filter's first occurrence.
    virtual bool Remove(const ZuObjectRef& filter);
    virtual bool SetUnionMode(bool is_union);
    virtual bool RetUnionMode() const;

    // Union: true as soon as one filter passes the entry. Intersection:
    // true when at least one filter was asked and all passed it. Entries
    // that are not file filters are skipped.
    bool Check(const ZuStringRef& name, const ZuFileAttInfo& info) const override;

    // ZuiContainer: the filters.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    // Takes the check mode, the union mode and a copy of the filter array
    // of another merged filter.
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // The root's part, then "<ZuMergeFileFilter <ZuiFileFilter>
    // is_logical_or filters>", begin, the interface's part, the union mode,
    // the array, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuArrayRef& Filters();

    ZuArrayRef filters;
    bool is_logical_or;
};
ZU_CLASS_END(ZuMergeFileFilter)

#endif
