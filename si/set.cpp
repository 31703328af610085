#include "si/set.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/array.h"
#include "si/atom.h"

ZU_IMPLEMENT_CLASS(ZuSet, "si/set", ZU_CLASS_ABSTRACT)

ZuSet::ZuSet()
    : num_element(0), extr_mode(0), allow_duplicates(true), comp_key_using_is_equal(true),
      comp_value_using_is_equal(true)
{}

ZuSet::~ZuSet()
{
    ZU_ASSERT(this->num_element == 0);
}

// ---------------------------------------------------------------- extraction

bool ZuSet::SpecifyExtractKey(const ZuObjectRef& key)
{
    extr_mode = key.IsValid() ? 2 : 1;
    extr_key = key;
    extr_data = ZuObjectNull;
    return true;
}

bool ZuSet::SpecifyExtractValue(const ZuObjectRef& value)
{
    extr_mode = value.IsValid() ? 3 : 0;
    extr_key = ZuObjectNull;
    extr_data = value;
    return true;
}

bool ZuSet::SpecifyExtraction(const ZuArrayRef& spec)
{
    static const ZuAtomRef extract_value("ExtractValue");
    static const ZuAtomRef extract_key("ExtractKey");
    static const ZuAtomRef extract_value_using_key("ExtractValueUsingKey");
    static const ZuAtomRef extract_key_using_value("ExtractKeyUsingValue");

    if (spec.IsInvalid())
        return false;
    unsigned int count = spec->TotalCount();
    if (count == 0)
        return false;
    ZuObjectRef first;
    spec->Get(0, first);
    ZuAtom* atom = dynamic_cast<ZuAtom*>(first.Resolve());
    if (atom == nullptr)
        return false;
    if (count == 1 && first == extract_value)
        return SpecifyExtractValue(ZuObjectNull);
    if (count == 1 && first == extract_key)
        return SpecifyExtractKey(ZuObjectNull);
    if (count == 2 && (first == extract_value_using_key || first == extract_key_using_value)) {
        ZuObjectRef second;
        spec->Get(1, second);
        if (first == extract_value_using_key)
            return SpecifyExtractKey(second);
        return SpecifyExtractValue(second);
    }
    return false;
}

unsigned int ZuSet::TotalCount() const
{
    return num_element;
}

bool ZuSet::Get(unsigned int index, ZuObjectRef& out)
{
    ZuObjectRef key, value;
    bool found;
    switch (extr_mode) {
    case 0:
        found = Get(index, key, value);
        out = found ? key : ZuObjectNull;
        return found;
    case 1:
        found = Get(index, key, value);
        out = found ? value : ZuObjectNull;
        return found;
    case 2:
        found = GetFromKey(extr_key, value, index);
        out = found ? value : ZuObjectNull;
        return found;
    case 3:
        found = GetFromValue(extr_data, key, index);
        out = found ? key : ZuObjectNull;
        return found;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- policies

bool ZuSet::SetAllowDuplicates(bool allow)
{
    if (allow_duplicates && !allow)
        RemoveDuplicates();
    allow_duplicates = allow;
    return true;
}

bool ZuSet::RetAllowDuplicates() const
{
    return allow_duplicates;
}

bool ZuSet::SetCompKeyUsingIsEqual(bool flag)
{
    comp_key_using_is_equal = flag;
    return true;
}

bool ZuSet::RetCompKeyUsingIsEqual() const
{
    return comp_key_using_is_equal;
}

bool ZuSet::SetCompValueUsingIsEqual(bool flag)
{
    comp_value_using_is_equal = flag;
    return true;
}

bool ZuSet::RetCompValueUsingIsEqual() const
{
    return comp_value_using_is_equal;
}

ZuObjectRef ZuSet::RetFromKey(const ZuObjectRef& key, unsigned int n)
{
    ZuObjectRef value;
    if (!GetFromKey(key, value, n))
        return ZuObjectNull;
    return value;
}

ZuObjectRef ZuSet::RetFromValue(const ZuObjectRef& value, unsigned int n)
{
    ZuObjectRef key;
    if (!GetFromValue(value, key, n))
        return ZuObjectNull;
    return key;
}

// ---------------------------------------------------------------- life

void ZuSet::Delete()
{
    extr_mode = 0;
    extr_key = ZuObjectNull;
    extr_data = ZuObjectNull;
    RemoveAll();
    ZuBaseContainer::Delete();
}

// ---------------------------------------------------------------- storage

void ZuSet::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuSet num_element extr_mode extr_key extr_data>");
    storage << record << ZuStorageSync::begin << num_element << extr_mode << extr_key << extr_data
            << allow_duplicates << ZuStorageSync::end;
}

void ZuSet::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> num_element >> extr_mode >>
        extr_key >> extr_data >> allow_duplicates >> ZuStorageSync::end;
}
