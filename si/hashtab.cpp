#include "si/hashtab.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

#include <cstring>
#include <new>

namespace {

// Upper bound of the bucket count that restoring accepts from a stream.
const unsigned long long kMaxRestoredBuckets = 1ULL << 22;

} // namespace

ZU_IMPLEMENT_CLASS(ZuHashTable, "si/hashtab", ZU_CLASS_PLAIN)

ZuHashTable::ZuHashTable()
    : max_hash(0), array(nullptr), cache_index(0), cache_bucket(0), cache_link(nullptr),
      cache_element(nullptr)
{}

ZuHashTable::~ZuHashTable()
{
    FreeTable();
}

// ---------------------------------------------------------------- table

bool ZuHashTable::Initialise(unsigned int n)
{
    ZU_ASSERT(this->array == 0);
    if (n == 0)
        n = 29;
    if (n < 17)
        n = 17;
    while (n % 2 == 0 || n % 3 == 0 || n % 5 == 0 || n % 7 == 0 || n % 11 == 0 || n % 13 == 0)
        ++n;
    return AllocTable(n);
}

bool ZuHashTable::AllocTable(unsigned int n)
{
    ZuMemZone* zone = RetMemZone();
    ZU_ASSERT_TEXT(this->RetMemZone(), "this->RetMemZone ()");
    void* p = zone->Alloc(n * sizeof(Element*), "Element*[]", __LINE__, ZU_SRC_FILE, ZU_MEM_ARR);
    array = static_cast<Element**>(p);
    std::memset(array, 0, n * sizeof(Element*));
    max_hash = n;
    cache_element = nullptr;
    return true;
}

void ZuHashTable::FreeTable()
{
    if (array == nullptr)
        return;
    RemoveAll();
    ZuMemZone::FreeAnyZone(array, __LINE__, ZU_SRC_FILE);
    array = nullptr;
    max_hash = 0;
    cache_element = nullptr;
    num_element = 0;
}

unsigned int ZuHashTable::Bucket(const ZuObjectRef& object) const
{
    return object->ComputeHashValue(max_hash);
}

void ZuHashTable::FreeElement(Element* elem)
{
    elem->object = ZuObjectNull;
    elem->~Element();
    ZuMemZone::FreeAnyZone(elem, __LINE__, ZU_SRC_FILE);
}

// ---------------------------------------------------------------- cache

bool ZuHashTable::CacheFirstFrom(unsigned int bucket)
{
    for (; bucket < max_hash; ++bucket) {
        if (array[bucket] != nullptr) {
            cache_bucket = bucket;
            cache_link = &array[bucket];
            cache_element = array[bucket];
            return true;
        }
    }
    cache_element = nullptr;
    return false;
}

bool ZuHashTable::UpdateCache(unsigned int index)
{
    if (array == nullptr || index >= num_element)
        return false;
    if (cache_element == nullptr || cache_index > index) {
        cache_index = 0;
        if (!CacheFirstFrom(0))
            return false;
    }
    while (cache_index < index) {
        if (cache_element->next != nullptr) {
            cache_link = &cache_element->next;
            cache_element = cache_element->next;
        } else if (!CacheFirstFrom(cache_bucket + 1)) {
            return false;
        }
        ++cache_index;
    }
    return cache_element != nullptr;
}

// ---------------------------------------------------------------- insertion

bool ZuHashTable::Insert(const ZuObjectRef& object)
{
    if (object.IsInvalid())
        return false;
    return JustInsert(object);
}

bool ZuHashTable::JustInsert(const ZuObjectRef& object)
{
    if (array == nullptr)
        Initialise(0);
    unsigned int b = Bucket(object);
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("ZuHashTable::Element", __LINE__, ZU_SRC_FILE);
    void* p = zone->Alloc(sizeof(Element), "ZuHashTable::Element", __LINE__, ZU_SRC_FILE);
    Element* elem = ::new (p) Element;
    elem->object = object;
    elem->next = array[b];
    array[b] = elem;
    ++num_element;
    if (cache_element != nullptr && b <= cache_bucket) {
        ++cache_index;
        if (b == cache_bucket && cache_link == &array[b])
            cache_link = &elem->next;
    }
    NotifyDataChange(true, false, true);
    return true;
}

// ---------------------------------------------------------------- removal

bool ZuHashTable::Remove(const ZuObjectRef& object, unsigned int occurrence)
{
    if (array == nullptr || object.IsInvalid())
        return false;
    unsigned int b = Bucket(object);
    Element** link = &array[b];
    for (; *link != nullptr; link = &(*link)->next) {
        if ((*link)->object == object) {
            if (occurrence == 0)
                break;
            --occurrence;
        }
    }
    Element* elem = *link;
    if (elem == nullptr)
        return false;

    if (cache_element != nullptr) {
        if (elem == cache_element) {
            cache_element = nullptr;
        } else {
            bool before = b < cache_bucket;
            if (b == cache_bucket) {
                for (Element* e = array[b]; e != nullptr && e != cache_element; e = e->next)
                    if (e == elem) {
                        before = true;
                        break;
                    }
            }
            if (before) {
                --cache_index;
                if (elem->next == cache_element)
                    cache_link = link;
            }
        }
    }
    *link = elem->next;
    --num_element;
    NotifyDataChange(false, true, true);
    FreeElement(elem);
    return true;
}

bool ZuHashTable::Remove(unsigned int index)
{
    if (!UpdateCache(index))
        return false;
    Element* elem = cache_element;
    *cache_link = elem->next;
    FreeElement(elem);
    --num_element;
    // The following element now holds the same index.
    if (*cache_link != nullptr)
        cache_element = *cache_link;
    else if (index < num_element)
        CacheFirstFrom(cache_bucket + 1);
    else
        cache_element = nullptr;
    NotifyDataChange(false, true, true);
    return true;
}

void ZuHashTable::RemoveAll()
{
    for (unsigned int b = 0; array != nullptr && b < max_hash; ++b) {
        while (Element* elem = array[b]) {
            array[b] = elem->next;
            FreeElement(elem);
        }
    }
    cache_element = nullptr;
    cache_index = 0;
    num_element = 0;
}

// ---------------------------------------------------------------- search

bool ZuHashTable::LookFor(const ZuObjectRef& object)
{
    if (array == nullptr || object.IsInvalid())
        return false;
    for (Element* e = array[Bucket(object)]; e != nullptr; e = e->next)
        if (e->object == object)
            return true;
    return false;
}

bool ZuHashTable::GetSimilar(const ZuObjectRef& probe, ZuObjectRef& out, unsigned int occurrence)
{
    if (array == nullptr || probe.IsInvalid())
        return false;
    for (Element* e = array[Bucket(probe)]; e != nullptr; e = e->next) {
        if (e->object.IsValid() && e->object->CompareWith(probe) == 0) {
            if (occurrence == 0) {
                out = e->object;
                return true;
            }
            --occurrence;
        }
    }
    return false;
}

bool ZuHashTable::Find(const ZuObjectRef& object, unsigned int& index)
{
    for (unsigned int i = index; UpdateCache(i); ++i) {
        if (cache_element->object == object) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuHashTable::Get(unsigned int index, ZuObjectRef& out)
{
    if (!UpdateCache(index))
        return false;
    out = cache_element->object;
    return true;
}

// ---------------------------------------------------------------- life

void ZuHashTable::Delete()
{
    RemoveAll();
    ZuContainer::Delete();
}

// ---------------------------------------------------------------- storage

void ZuHashTable::StoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuHashTable max_hash { data } >");
    storage << record << ZuStorageSync::begin << max_hash << ZuStorageSync::repeat;
    for (unsigned int b = 0; array != nullptr && b < max_hash; ++b)
        for (Element* e = array[b]; e != nullptr; e = e->next)
            if (e->object.IsValid())
                storage->StoreObject(e->object);
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuHashTable::RestoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::RestoreInstance(storage);
    unsigned int count = num_element;
    FreeTable();
    unsigned int buckets = 0;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> buckets >> ZuStorageSync::repeat;
    unsigned long long wanted = buckets;
    if (wanted < count)
        wanted = 2ULL * count;
    // Both numbers come from the stream: a corrupt one must not make the
    // table allocate gigabytes of buckets before any element is read.
    if (wanted > kMaxRestoredBuckets)
        wanted = kMaxRestoredBuckets;
    Initialise(static_cast<unsigned int>(wanted));
    num_element = 0;
    // The count comes from the stream: read no further than the group goes.
    for (unsigned int i = 0; i < count && !storage->CheckForEnd(); ++i) {
        ZuObjectRef object;
        storage >> object;
        if (object.IsValid())
            JustInsert(object);
    }
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
