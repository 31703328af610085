#include "si/typeinfo.h"

#include <cstdio>
#include <cstring>

#include "si/array.h"
#include "si/atom.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/memzone.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kTypeTableLine = 155;   // the table of type descriptors
const unsigned kBrokenChainLine = 164; // the warning for a broken chain
} // namespace

// Every typed array type names the run-time class of ZuArray.
const ZuRuntimeRef& Zuvi_TypedArrayRuntime()
{
    return ZuArrayRef::RetRuntime();
}

Zuvi_TypeInfo* Zuvi_TypeInfo::head = nullptr;
Zuvi_TypeInfo* Zuvi_TypeInfo::tail = nullptr;
unsigned int Zuvi_TypeInfo::num = 0;
Zuvi_TypeInfo** Zuvi_TypeInfo::array = nullptr;

Zuvi_TypeInfo::Zuvi_TypeInfo(const Zuvi_TypeDef* def) : previous(tail), next(nullptr), type_def(def)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
    ++num;
}

// Registrations go away when their library is unloaded; the table must not
// keep pointing at them.
Zuvi_TypeInfo::~Zuvi_TypeInfo()
{
    if (previous)
        previous->next = next;
    else if (head == this)
        head = next;
    if (next)
        next->previous = previous;
    else if (tail == this)
        tail = previous;
    --num;
    array = nullptr;
}

void Zuvi_TypeInfo::InitialiseAll()
{
    if (array)
        return;
    for (Zuvi_TypeInfo* iter = head; iter; iter = iter->next)
        iter->Initialise();
}

void Zuvi_TypeInfo::ReleaseTable()
{
    if (array)
        ZuMemZone::FreeAnyZone(array, __LINE__, ZU_SRC_FILE);
    array = nullptr;
}

void Zuvi_TypeInfo::Initialise()
{
    if (!array && num > 0) {
        if (!Zuvi_app_zone)
            ZuMemZone::NullAllocZone("Zuvi_app_zone", __LINE__, ZU_SRC_FILE);
        array = static_cast<Zuvi_TypeInfo**>(Zuvi_app_zone->Alloc(
            num * sizeof(Zuvi_TypeInfo*), "Zuvi_TypeInfoPtr", kTypeTableLine, ZU_SRC_FILE));
        Zuvi_TypeInfo* iter = head;
        for (unsigned int i = 0; i < num; ++i) {
            if (!iter) {
                Zuvi_ErrorPrint("Warning: iter->next == 0", kBrokenChainLine, ZU_SRC_FILE);
                for (; i < num; ++i)
                    array[i] = nullptr;
                break;
            }
            array[i] = iter;
            iter = iter->next;
        }
    }
}

// The list, not the table, answers: registrations can come and go with
// their libraries after the table was built.
const Zuvi_TypeDef* Zuvi_TypeInfo::RetNth(unsigned int n)
{
    if (n >= num)
        return nullptr;
    Zuvi_TypeInfo* iter = head;
    for (unsigned int i = 0; iter && i < n; ++i)
        iter = iter->next;
    return iter ? iter->type_def : nullptr;
}

const Zuvi_TypeDef* Zuvi_TypeInfo::Find(const char* name)
{
    if (!name)
        return nullptr;
    char buffer[100];
    size_t length = strnlen(name, sizeof(buffer) - 1);
    memcpy(buffer, name, length);
    buffer[length] = '\0';
    if (length >= 3 && strcmp(buffer + length - 3, "Ref") == 0)
        buffer[length - 3] = '\0';
    for (Zuvi_TypeInfo* iter = head; iter; iter = iter->next)
        if (iter->type_def && iter->type_def->name && strcmp(iter->type_def->name, buffer) == 0)
            return iter->type_def;
    return nullptr;
}

ZU_IMPLEMENT_CLASS(ZuTypeInfo, "si/typeinfo", ZU_CLASS_PLAIN)

ZuTypeInfo::ZuTypeInfo() : type_def(nullptr), bitset(), is_read_ok(false), is_write_ok(false) {}

ZuTypeInfo::~ZuTypeInfo() {}

void ZuTypeInfo::Initialise(const ZuRuntimeRef& runtime)
{
    if (runtime.IsInvalid())
        return;
    const Zuvi_TypeDef* def = nullptr;
    if (FindType(runtime->RetClassName(), def))
        Initialise(def, ZuBitsetInfoNull, true, true);
}

void ZuTypeInfo::Initialise(const Zuvi_TypeDef* def, const ZuBitsetInfoRef& bitset_,
                            bool is_read_ok_, bool is_write_ok_)
{
    type_def = def;
    bitset = bitset_;
    is_read_ok = is_read_ok_;
    is_write_ok = is_write_ok_;
}

bool ZuTypeInfo::GetRuntimeInfo(ZuRuntimeRef& runtime) const
{
    if (!type_def || !type_def->extra)
        return false;
    if (type_def->kind != ZU_TYPE_OBJECT && type_def->kind != ZU_TYPE_TEXT &&
        type_def->kind != ZU_TYPE_ARRAY)
        return false;
    runtime = *static_cast<const ZuRuntimeRef*>(type_def->extra);
    return true;
}

unsigned int ZuTypeInfo::RetTypeCount()
{
    return Zuvi_TypeInfo::RetCount();
}

const Zuvi_TypeDef* ZuTypeInfo::RetNthType(unsigned int n)
{
    return Zuvi_TypeInfo::RetNth(n);
}

// Names exist once the table is built at start-up.
ZuAtomRef ZuTypeInfo::RetNthName(unsigned int n)
{
    const Zuvi_TypeDef* def = Zuvi_TypeInfo::RetNth(n);
    if (!def || !Zuvi_TypeInfo::IsTableBuilt())
        return ZuAtomNull;
    return ZuAtomRef(def->name);
}

bool ZuTypeInfo::FindType(const char* name, const Zuvi_TypeDef*& def)
{
    const Zuvi_TypeDef* found = Zuvi_TypeInfo::Find(name);
    if (!found)
        return false;
    def = found;
    return true;
}

bool ZuTypeInfo::FindType(const ZuAtomRef& name, const Zuvi_TypeDef*& def)
{
    if (name.IsInvalid())
        return false;
    char buffer[100];
    snprintf(buffer, sizeof buffer, "%s", static_cast<const char*>(name));
    return FindType(buffer, def);
}

namespace {
ZuStorageSync type_info_record("<ZuTypeInfo name bitset is_read_ok is_write_ok>");
}

void ZuTypeInfo::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << type_info_record << ZuStorageSync::begin;
    storage << (type_def ? ZuAtomRef(type_def->name) : ZuAtomRef());
    storage << ZuObjectRef(bitset);
    storage->StoreBool(is_read_ok);
    storage->StoreBool(is_write_ok);
    storage << ZuStorageSync::end;
}

void ZuTypeInfo::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    ZuAtomRef name;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> name >> bitset;
    is_read_ok = storage->RestoreBool(is_read_ok);
    is_write_ok = storage->RestoreBool(is_write_ok);
    storage >> ZuStorageSync::end;
    type_def = nullptr;
    if (name.IsValid())
        FindType(name, type_def);
}
