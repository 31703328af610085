#include "si/filesort.h"

#include "sd/common/sd_file.h"
#include "si/fileatt.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

namespace {

const char kFile[] = "si/filesort";

} // namespace

ZU_IMPLEMENT_CLASS(ZuFileSort, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuFileSort, ZuiFileSort)

namespace {

int Sign(int v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

// Characters from `start` over `count`, case counting; a part that ends
// first sorts first.
int ComparePart(const ZuStringRef& a, unsigned a_start, const ZuStringRef& b, unsigned b_start,
                unsigned count)
{
    unsigned a_len = a.IsValid() ? a->CharacterCount() : 0;
    unsigned b_len = b.IsValid() ? b->CharacterCount() : 0;
    for (unsigned i = 0; i < count; ++i) {
        bool a_end = a_start + i >= a_len, b_end = b_start + i >= b_len;
        if (a_end || b_end)
            return a_end == b_end ? 0 : a_end ? -1 : 1;
        unsigned short ca = a->RetCharacter(a_start + i), cb = b->RetCharacter(b_start + i);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

int CompareValues(int64_t a, int64_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareTypes(const ZuStringRef& name1, const ZuStringRef& name2, unsigned which)
{
    unsigned p1 = 0, l1 = 0, p2 = 0, l2 = 0;
    bool has1 = Zuvi_File::ExtractTypePosLength(name1, p1, l1, which);
    bool has2 = Zuvi_File::ExtractTypePosLength(name2, p2, l2, which);
    // A name without that type compares as an empty type.
    if (!has1 || !has2)
        return has1 == has2 ? 0 : has1 ? 1 : -1;
    return ComparePart(name1, p1, name2, p2, l1 > l2 ? l1 : l2);
}

int CompareBy(ZuFileSortType criterion, const ZuStringRef& name1, const ZuFileAttInfo& info1,
              const ZuStringRef& name2, const ZuFileAttInfo& info2)
{
    switch (static_cast<unsigned>(criterion)) {
    case ZU_FILE_SORT_NAME: {
        unsigned l1 = Zuvi_File::RetBaseNameLength(name1);
        unsigned l2 = Zuvi_File::RetBaseNameLength(name2);
        return ComparePart(name1, 0, name2, 0, l1 > l2 ? l1 : l2);
    }
    case ZU_FILE_SORT_TYPE:
        return CompareTypes(name1, name2, 0);
    case ZU_FILE_SORT_SUBTYPE:
        return CompareTypes(name1, name2, 1);
    case ZU_FILE_SORT_SIZE:
        return info1.size < info2.size ? -1 : info1.size > info2.size ? 1 : 0;
    case ZU_FILE_SORT_TIME_CREATED:
        return CompareValues(info1.time_created, info2.time_created);
    case ZU_FILE_SORT_TIME_MODIFIED:
        return CompareValues(info1.time_modified, info2.time_modified);
    case ZU_FILE_SORT_TIME_ACCESSED:
        return CompareValues(info1.time_accessed, info2.time_accessed);
    case ZU_FILE_SORT_DIRECTORY: {
        bool d1 = info1.attributes.TestBit(ZU_FATT_DIRECTORY);
        bool d2 = info2.attributes.TestBit(ZU_FATT_DIRECTORY);
        return d1 == d2 ? 0 : d1 ? -1 : 1;
    }
    default:
        return 0;
    }
}

// Reading within the count never grows an array, so a const file sort may
// read its criteria through the growing accessor.
template <class T>
T At(const Zuvi_SimpleArrayZero<T>& array, unsigned i)
{
    return const_cast<Zuvi_SimpleArrayZero<T>&>(array)[i];
}

} // namespace

ZuFileSort::ZuFileSort() : num_crit(0), type(0, 0), dir_up(0, 0) {}

bool ZuFileSort::InsertCriterion(ZuFileSortType criterion, bool up)
{
    type.Resize(num_crit + 1);
    dir_up.Resize(num_crit + 1);
    type[num_crit] = criterion;
    dir_up[num_crit] = up;
    ++num_crit;
    return true;
}

bool ZuFileSort::GetCriterion(unsigned int index, ZuFileSortType& criterion, bool& up) const
{
    if (index >= num_crit)
        return false;
    criterion = At(type, index);
    up = At(dir_up, index);
    return true;
}

unsigned int ZuFileSort::TotalCount() const
{
    return num_crit;
}

int ZuFileSort::Compare(const ZuStringRef& name1, const ZuFileAttInfo& info1,
                        const ZuStringRef& name2, const ZuFileAttInfo& info2) const
{
    for (unsigned i = 0; i < num_crit; ++i) {
        int result = Sign(CompareBy(At(type, i), name1, info1, name2, info2));
        if (result != 0)
            return At(dir_up, i) ? result : -result;
    }
    return 0;
}

ZuObjectRef ZuFileSort::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuFileSortRef::RetRuntime())) {
        ZuFileSortRef other(source);
        unsigned n = other->TotalCount();
        for (unsigned i = 0; i < n; ++i) {
            ZuFileSortType criterion;
            bool up;
            other->GetCriterion(i, criterion, up);
            InsertCriterion(criterion, up);
        }
    }
    return ZuObject::Copy(source);
}

void ZuFileSort::Delete()
{
    ZuObject::Delete();
}

namespace {

ZuStorageSync& SortRecord()
{
    static ZuStorageSync record("<ZuFileSort num_crit <type> <dir_up> >");
    return record;
}

} // namespace

void ZuFileSort::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << SortRecord() << ZuStorageSync::begin;
    storage->StoreCard(num_crit);
    type.StoreInstance(storage);
    dir_up.StoreInstance(storage);
    storage << ZuStorageSync::end;
}

void ZuFileSort::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    uint64_t stored = storage->RestoreCard(num_crit);
    type.RestoreInstance(storage);
    dir_up.RestoreInstance(storage);
    storage >> ZuStorageSync::end;
    // The count never exceeds what both arrays hold (a damaged file may say
    // otherwise).
    unsigned held = type.RetCount() < dir_up.RetCount() ? type.RetCount() : dir_up.RetCount();
    num_crit = stored < held ? static_cast<unsigned>(stored) : held;
}
