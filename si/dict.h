// ZuDict: ordered key/value pairs of object handles.
//
// A doubly linked list of elements in ascending key order (CompareWith); a
// key may occur several times, pairs of one key keep their insertion order,
// and an identical pair inserted again raises its element's count instead of
// being stored twice. Index i walks the elements from the head and gives each
// element `count` consecutive indices.
#ifndef SI_DICT_H
#define SI_DICT_H

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
    bool Insert(ZuObjectRef const& key, ZuObjectRef const& value) override;
    bool Remove(unsigned int index) override;
    bool Remove(ZuObjectRef const& key, ZuObjectRef const& value, unsigned int occurrence) override;
    bool Remove(ZuObjectRef const& key, unsigned int occurrence) override;
    void RemoveAll() override;
    void RemoveDuplicates() override;
    bool RemoveValue(ZuObjectRef const& value, unsigned int occurrence) override;
    bool GetFromKey(ZuObjectRef const& key, ZuObjectRef& value, unsigned int n) override;
    bool GetFromValue(ZuObjectRef const& value, ZuObjectRef& key, unsigned int n) override;
    bool Find(ZuObjectRef const& key, ZuObjectRef const& value, unsigned int& index) override;
    bool LookForKey(ZuObjectRef const& key) override;
    bool LookForValue(ZuObjectRef const& value) override;

    void Delete() override;

protected:
    void StoreInstance(ZuStorageRef const& storage) override;
    void RestoreInstance(ZuStorageRef const& storage) override;
    virtual bool FindElem(ZuObjectRef const& key, ZuObjectRef const& value, bool use_key, bool use_value,
                          unsigned int& index, Element*& elem);
    virtual bool FindElem(unsigned int& index, Element*& elem);
    virtual void RemoveElem(Element* elem);


private:
    bool Matches(Element* elem, ZuObjectRef const& key, ZuObjectRef const& value, bool use_key,
                 bool use_value) const;
    // The occurrence-th match, counted with multiplicities.
    bool FindNth(ZuObjectRef const& key, ZuObjectRef const& value, bool use_key, bool use_value,
                 unsigned int occurrence, Element*& elem);
    Element* NewElement(unsigned int line);
    void RestoreElements(ZuStorageRef const& storage);
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
