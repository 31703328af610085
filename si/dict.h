// ZuDict: ordered key/value pairs of object handles.
//
// A doubly linked list of elements in ascending key order (CompareWith); a
// key may occur several times, pairs of one key keep their insertion order,
// and an identical pair inserted again raises its element's count instead of
// being stored twice. Index i walks the elements from the head and gives each
// element `count` consecutive indices.
#ifndef SI_DICT_H
#define SI_DICT_H

#include <utility>
#include <vector>

#include "si/set.h"

class ZuDictIterator;

ZU_HANDLE(ZuDict, ZuSet)
class ZuDict : public ZuSet {
    ZU_CLASS(ZuDict, ZuSet)

public:
    struct Element {
        Element* next = nullptr;
        Element* prev = nullptr;
        ZuObjectRef key;
        ZuObjectRef value;
        unsigned int count = 1;
    };

    ZuDict();
    ~ZuDict() override;

    ZuIteratorRef NewIterator() override;

    bool Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value) override;
    using ZuSet::Get;
    bool Insert(const ZuObjectRef& key, const ZuObjectRef& value) override;
    // The pairs inserted as Insert would insert them one after the other,
    // in one walk of the list instead of one per pair: they are sorted by
    // key first, pairs of one key keeping their order. Keys that match
    // compare equal, so an identical pair is looked for only among the
    // elements of its key (by address where values compare by identity).
    // With an empty key among them, each goes through Insert.
    void InsertSorted(std::vector<std::pair<ZuObjectRef, ZuObjectRef>> pairs);
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int occurrence) override;
    bool Remove(const ZuObjectRef& key, unsigned int occurrence) override;
    void RemoveAll() override;
    void RemoveDuplicates() override;
    bool RemoveValue(const ZuObjectRef& value, unsigned int occurrence) override;
    bool GetFromKey(const ZuObjectRef& key, ZuObjectRef& value, unsigned int n) override;
    bool GetFromValue(const ZuObjectRef& value, ZuObjectRef& key, unsigned int n) override;
    bool Find(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int& index) override;
    bool LookForKey(const ZuObjectRef& key) override;
    bool LookForValue(const ZuObjectRef& value) override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    virtual bool FindElem(const ZuObjectRef& key, const ZuObjectRef& value, bool use_key,
                          bool use_value, unsigned int& index, Element*& elem);
    virtual bool FindElem(unsigned int& index, Element*& elem);
    virtual void RemoveElem(Element* elem);

private:
    bool Matches(Element* elem, const ZuObjectRef& key, const ZuObjectRef& value, bool use_key,
                 bool use_value) const;
    // The occurrence-th match, counted with multiplicities.
    bool FindNth(const ZuObjectRef& key, const ZuObjectRef& value, bool use_key, bool use_value,
                 unsigned int occurrence, Element*& elem);
    Element* NewElement(unsigned int line);
    void RestoreElements(const ZuStorageRef& storage);
    void FreeElement(Element* elem);
    // The removal reports of `units` units that go without RemoveElem.
    void ReportRemovals(unsigned int units);

    Element* head;
    Element* tail;

    friend class ZuDictIterator;
    // A tree walks its nodes' elements once each, whatever their counts.
    friend class ZuDicTree;
};
ZU_CLASS_END(ZuDict)

#endif
