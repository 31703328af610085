// ZuFileSort: an ordered list of sort criteria for directory listings (by
// name, type, sub-type, size, one of three times, or directories first),
// each ascending or descending.
#ifndef SI_FILESORT_H
#define SI_FILESORT_H

#include "si/ifilesort.h"
#include "si/object.h"
#include "si/simplearray.h"

ZU_HANDLE(ZuFileSort, ZuObject)

class ZuFileSort : public ZuObject, public ZuiFileSort {
    ZU_CLASS(ZuFileSort, ZuObject)
public:
    ZuFileSort();

    // Appends a criterion after the existing ones; always true.
    virtual bool InsertCriterion(ZuFileSortType type, bool dir_up);
    // Criterion `index` (from 0); false past the last one.
    virtual bool GetCriterion(unsigned int index, ZuFileSortType& type, bool& dir_up) const;
    virtual unsigned int TotalCount() const;

    // The criteria in order; the first that tells the entries apart decides
    // (negated when descending). 0 when none does.
    int Compare(const ZuStringRef& name1, const ZuFileAttInfo& info1, const ZuStringRef& name2,
                const ZuFileAttInfo& info2) const override;

    // Appends the criteria of another file sort after this one's.
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Delete() override;

protected:
    // The root part, the record "<ZuFileSort num_crit <type> <dir_up> >",
    // begin, num_crit, the two arrays, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int num_crit;
    Zuvi_SimpleArrayZero<ZuFileSortType> type;
    Zuvi_SimpleArrayZero<bool> dir_up;
};

ZU_CLASS_END(ZuFileSort)

#endif
