// ZuHashTable: unordered container of object handles in a fixed array of
// buckets, each a singly linked chain; each object chooses its own bucket
// (ComputeHashValue). Index order is bucket order, then chain order, and a
// cursor cache makes walks by increasing index cost one step each. The
// default hash is the object's address, so index order is not stable from
// run to run.
#ifndef SI_HASHTAB_H
#define SI_HASHTAB_H

#include "si/container.h"

ZU_HANDLE(ZuHashTable, ZuContainer)
class ZuHashTable : public ZuContainer {
    ZU_CLASS(ZuHashTable, ZuContainer)

public:
    struct Element {
        Element* next = nullptr;
        ZuObjectRef object;
    };

    ZuHashTable();
    ~ZuHashTable() override;

    // ZuContainer
    bool Insert(const ZuObjectRef& object) override;
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& object, unsigned int occurrence) override;
    void RemoveAll() override;
    bool GetSimilar(const ZuObjectRef& probe, ZuObjectRef& out, unsigned int occurrence) override;
    bool LookFor(const ZuObjectRef& object) override;
    bool Find(const ZuObjectRef& object, unsigned int& index) override;

    virtual bool AllocTable(unsigned int buckets);
    virtual void FreeTable();
    virtual bool UpdateCache(unsigned int index);
    virtual bool JustInsert(const ZuObjectRef& object);
    // Makes the bucket array: 0 gives 29 buckets, anything below 17 gives 17,
    // then the count is raised until it is odd and not divisible by 3, 5, 7,
    // 11 or 13.
    virtual bool Initialise(unsigned int buckets);

    unsigned int RetMaxHash() const { return max_hash; }

    // ZuiContainer
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int Bucket(const ZuObjectRef& object) const;
    void FreeElement(Element* elem);
    // Moves the cache onto the first element of the first non-empty bucket
    // at or after `bucket`; false when there is none.
    bool CacheFirstFrom(unsigned int bucket);

    unsigned int max_hash;
    Element** array;
    unsigned int cache_index;
    unsigned int cache_bucket;
    Element** cache_link;
    Element* cache_element;
};
ZU_CLASS_END(ZuHashTable)

#endif
