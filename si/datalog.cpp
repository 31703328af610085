#include "si/datalog.h"

#include <cstdint>
#include <cstring>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuDataLog, "si/datalog", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuDataLog, ZuiSmartSource)

static Zuvi_TargetExport flush_cache_export(
    [](ZuObject* o) -> bool {
        static_cast<ZuDataLog*>(o)->ZuiSmartSource::FlushCache();
        return true;
    },
    "FlushCache", ZuDataLogRef::RetRuntime());
static Zuvi_TargetExport flush_and_insert_export(
    [](ZuObject* o) -> bool {
        static_cast<ZuDataLog*>(o)->FlushCacheAndAutoInsertFromSource();
        return true;
    },
    "FlushCacheAndAutoInsertFromSource", ZuDataLogRef::RetRuntime());
static Zuvi_TargetExport auto_insert_export(
    [](ZuObject* o) -> bool {
        static_cast<ZuDataLog*>(o)->AutoInsertFromSource();
        return true;
    },
    "AutoInsertFromSource", ZuDataLogRef::RetRuntime());
ZU_EXPORT_NOTIFY(ZuDataLog, flush, "FlushCache", nullptr)
ZU_EXPORT_NOTIFY(ZuDataLog, flush_insert, "FlushCacheAndAutoInsertFromSource", nullptr)
ZU_EXPORT_NOTIFY(ZuDataLog, auto_insert, "AutoInsertFromSource", nullptr)

static ZuStorageSync data_log_record("<ZuDataLog type cyclic_size>");

ZuDataLog::ZuDataLog()
    : type(ZU_TYPE_NONE), simple_data(nullptr), simple_size(0), count(0), capacity(0),
      cyclic_size(0), is_cyclic(false), is_simple(true)
{}

ZuDataLog::~ZuDataLog()
{
    if (type != ZU_TYPE_NONE)
        ZuDataLog::InitLog(ZU_TYPE_NONE, 0);
}

void ZuDataLog::InitLog(ZuSimpleType new_type, unsigned int new_cyclic_size)
{
    const int code = static_cast<int>(new_type);
    if (code < 0 || (code > 3 && code != 5)) {
        type = ZU_TYPE_OBJECT;
        is_simple = false;
    } else {
        type = new_type;
        is_simple = true;
    }
    if (values.IsValid()) {
        values->Delete();
        values = ZuValueArray();
    }
    if (simple_data != nullptr) {
        Zuvi_app_zone->Free(simple_data, __LINE__, ZU_SRC_FILE);
        simple_data = nullptr;
    }
    cyclic_size = new_cyclic_size;
    count = 0;
    capacity = 0;
    is_cyclic = cyclic_size != 0;
    if (!is_simple) {
        simple_size = 0;
        values = static_cast<ZuArray*>(
            ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
        return;
    }
    switch (type) {
    case ZU_TYPE_BOOL:
        simple_size = 1;
        break;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        simple_size = 4;
        break;
    case ZU_TYPE_REAL:
        simple_size = 8;
        break;
    default:
        simple_size = 0;
        break;
    }
}

ZuSimpleType ZuDataLog::RetType()
{
    return type;
}

bool ZuDataLog::NewPlace(unsigned int& place)
{
    if (count == 0xFFFFFFFFu)
        return false;
    unsigned int p = count;
    if (is_cyclic && p >= cyclic_size)
        p %= cyclic_size;
    if (p >= capacity) {
        std::uint64_t const wanted = is_cyclic ? cyclic_size : std::uint64_t(p) + 50;
        if (wanted > 0xFFFFFFFFu)
            return false;
        const unsigned int new_capacity = static_cast<unsigned int>(wanted);
        if (is_simple) {
            // A ring's size may come from a stored file: its bytes must fit
            // the zone's sizes rather than wrap around to a small buffer.
            std::uint64_t const bytes = wanted * simple_size;
            if (bytes > 0xFFFFFFFFu || bytes == 0)
                return false;
            unsigned char* grown = static_cast<unsigned char*>(Zuvi_app_zone->Alloc(
                static_cast<unsigned int>(bytes), "Byte", __LINE__, ZU_SRC_FILE));
            if (simple_data != nullptr) {
                std::memcpy(grown, simple_data, std::size_t(capacity) * simple_size);
                Zuvi_app_zone->Free(simple_data, __LINE__, ZU_SRC_FILE);
            }
            simple_data = grown;
        } else {
            if (values.IsInvalid() || !values->SetSize(new_capacity))
                return false;
        }
        capacity = new_capacity;
    }
    ++count;
    place = p;
    return true;
}

bool ZuDataLog::InsertSimple(ZuSimpleType kind, const void* entry)
{
    if (!is_simple || type != kind || simple_size == 0)
        return false;
    unsigned int place = 0;
    if (!NewPlace(place))
        return false;
    std::memcpy(simple_data + std::size_t(place) * simple_size, entry, simple_size);
    return true;
}

bool ZuDataLog::InsertCard32(unsigned int number)
{
    if (!is_simple)
        return InsertValue(ZuValueRef(number));
    return InsertSimple(ZU_TYPE_CARD, &number);
}

bool ZuDataLog::InsertInt32(int number)
{
    if (!is_simple)
        return InsertValue(ZuValueRef(number));
    return InsertSimple(ZU_TYPE_INT, &number);
}

bool ZuDataLog::InsertBool(bool flag)
{
    if (!is_simple)
        return InsertValue(ZuValueRef(flag));
    const unsigned char byte = flag ? 1 : 0;
    return InsertSimple(ZU_TYPE_BOOL, &byte);
}

bool ZuDataLog::InsertReal(double real)
{
    if (!is_simple)
        return InsertValue(ZuValueRef(real));
    return InsertSimple(ZU_TYPE_REAL, &real);
}

bool ZuDataLog::InsertValue(const ZuValueRef& value)
{
    if (!is_simple) {
        unsigned int place = 0;
        if (!NewPlace(place))
            return false;
        values[place] = value;
        return true;
    }
    if (value.IsInvalid())
        return false;
    const ZuSimpleType kind = value->RetType();
    if (static_cast<int>(kind) < 0 || static_cast<int>(kind) >= 6)
        return false;
    switch (type) {
    case ZU_TYPE_BOOL:
        return InsertBool(value->RetBool());
    case ZU_TYPE_INT:
        return InsertInt32(value->RetInt32());
    case ZU_TYPE_CARD:
        return InsertCard32(value->RetCard32());
    case ZU_TYPE_REAL:
        return InsertReal(value->RetReal());
    default:
        return false;
    }
}

bool ZuDataLog::PlaceOf(unsigned int n, unsigned int& place) const
{
    if (n >= count)
        return false;
    if (is_cyclic)
        n %= cyclic_size;
    if (n >= capacity)
        return false;
    place = n;
    return true;
}

bool ZuDataLog::GetNthSimple(ZuSimpleType kind, unsigned int n, void* out) const
{
    if (!is_simple || type != kind || simple_data == nullptr)
        return false;
    unsigned int place = 0;
    if (!PlaceOf(n, place))
        return false;
    std::memcpy(out, simple_data + std::size_t(place) * simple_size, simple_size);
    return true;
}

bool ZuDataLog::GetNthCard32(unsigned int n, unsigned int& out) const
{
    return GetNthSimple(ZU_TYPE_CARD, n, &out);
}

bool ZuDataLog::GetNthInt32(unsigned int n, int& out) const
{
    return GetNthSimple(ZU_TYPE_INT, n, &out);
}

bool ZuDataLog::GetNthBool(unsigned int n, bool& out) const
{
    unsigned char byte = 0;
    if (!GetNthSimple(ZU_TYPE_BOOL, n, &byte))
        return false;
    out = byte != 0;
    return true;
}

bool ZuDataLog::GetNthReal(unsigned int n, double& out) const
{
    return GetNthSimple(ZU_TYPE_REAL, n, &out);
}

bool ZuDataLog::GetMultipleSimple(ZuSimpleType kind, unsigned int start, void* out,
                                  unsigned int how_many) const
{
    if (start >= count || !is_simple || type != kind || simple_data == nullptr)
        return false;
    unsigned int place = is_cyclic ? start % cyclic_size : start;
    // Places past the entries inserted so far were never written: reading
    // stops there as it does at the end of the storage.
    const unsigned int written = count < capacity ? count : capacity;
    unsigned char* to = static_cast<unsigned char*>(out);
    for (unsigned int i = 0; i < how_many; ++i) {
        if (place >= written)
            return false;
        if (kind == ZU_TYPE_BOOL)
            reinterpret_cast<bool*>(to)[i] = simple_data[place] != 0;
        else
            std::memcpy(to + std::size_t(i) * simple_size,
                        simple_data + std::size_t(place) * simple_size, simple_size);
        ++place;
        if (is_cyclic && place == cyclic_size)
            place = 0;
    }
    return true;
}

bool ZuDataLog::GetMultipleCard32(unsigned int start, unsigned int* out,
                                  unsigned int how_many) const
{
    return GetMultipleSimple(ZU_TYPE_CARD, start, out, how_many);
}

bool ZuDataLog::GetMultipleInt32(unsigned int start, int* out, unsigned int how_many) const
{
    return GetMultipleSimple(ZU_TYPE_INT, start, out, how_many);
}

bool ZuDataLog::GetMultipleBool(unsigned int start, bool* out, unsigned int how_many) const
{
    return GetMultipleSimple(ZU_TYPE_BOOL, start, out, how_many);
}

bool ZuDataLog::GetMultipleReal(unsigned int start, double* out, unsigned int how_many) const
{
    return GetMultipleSimple(ZU_TYPE_REAL, start, out, how_many);
}

bool ZuDataLog::GetNthValue(unsigned int n, ZuValueRef& out) const
{
    unsigned int place = 0;
    if (!PlaceOf(n, place))
        return false;
    if (!is_simple) {
        if (values.IsInvalid())
            return false;
        out = static_cast<ZuValueRef>(values[place]);
        return true;
    }
    if (simple_data == nullptr)
        return false;
    const unsigned char* entry = simple_data + std::size_t(place) * simple_size;
    ZuValueRef value;
    ZuValue* made = value.NewValue();
    switch (type) {
    case ZU_TYPE_BOOL:
        made->SetBool(*entry != 0);
        break;
    case ZU_TYPE_INT: {
        int number;
        std::memcpy(&number, entry, sizeof number);
        made->SetInt32(number);
        break;
    }
    case ZU_TYPE_CARD: {
        unsigned int number;
        std::memcpy(&number, entry, sizeof number);
        made->SetCard32(number);
        break;
    }
    case ZU_TYPE_REAL: {
        double real;
        std::memcpy(&real, entry, sizeof real);
        made->SetReal(real);
        break;
    }
    default:
        return false;
    }
    out = value;
    return true;
}

unsigned int ZuDataLog::TotalCount() const
{
    return count;
}

bool ZuDataLog::Get(unsigned int n, ZuObjectRef& out)
{
    ZuValueRef value;
    const bool ok = GetNthValue(n, value);
    if (ok)
        out = value;
    else
        out = ZuObjectNull;
    return ok;
}

bool ZuDataLog::InitValueByName(const ZuObjectRef& object, const ZuAtomRef& name)
{
    return ZuiSmartSource::InitValueByName(0, object, name);
}

bool ZuDataLog::InitValueByPath(const ZuObjectRef& object, const ZuStringRef& path)
{
    return ZuiSmartSource::InitValueByPath(0, object, path);
}

void ZuDataLog::AutoInsertFromSource()
{
    ZuValueRef value;
    // Nothing is inserted while no value is bound.
    if (!ZuiSmartSource::GetNthValue(0, value))
        return;
    InsertValue(value);
}

void ZuDataLog::FlushCacheAndAutoInsertFromSource()
{
    ZuiSmartSource::FlushCache();
    AutoInsertFromSource();
}

void ZuDataLog::Delete()
{
    ZuiSmartSource::Cleanup();
    if (type != ZU_TYPE_NONE)
        InitLog(ZU_TYPE_NONE, 0);
    ZuBaseContainer::Delete();
}

bool ZuDataLog::SpecifyExtraction(const ZuArrayRef&)
{
    return false;
}

void ZuDataLog::StoreInstance(const ZuStorageRef& s)
{
    ZuBaseContainer::StoreInstance(s);
    ZuiSmartSource::StoreInstance(s);
    s << data_log_record << ZuStorageSync::begin;
    s << type;
    s->StoreCard(cyclic_size);
    s << ZuStorageSync::end;
}

void ZuDataLog::RestoreInstance(const ZuStorageRef& s)
{
    ZuBaseContainer::RestoreInstance(s);
    ZuiSmartSource::RestoreInstance(s);
    ZuSimpleType stored_type = ZU_TYPE_NONE;
    unsigned int stored_cyclic_size = 0;
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> stored_type >> stored_cyclic_size >>
        ZuStorageSync::end;
    InitLog(stored_type, stored_cyclic_size);
}
