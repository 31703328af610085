// ZuList: doubly linked list of object handles.
//
// In sorted insert mode (the default) Insert places each object after every
// element that does not compare greater (CompareWith), so equal objects keep
// their insertion order. In plain mode the list is a deque with head and tail
// operations and explicit moves. A one-element position cache makes reading
// by increasing index cost one step per call.
#ifndef SI_LIST_H
#define SI_LIST_H

#include "si/container.h"

class ZuListIterator;

ZU_HANDLE(ZuList, ZuContainer)
class ZuList : public ZuContainer {
    ZU_CLASS(ZuList, ZuContainer)

public:
    // One link of the list; allocated in the list's own zone.
    struct Element {
        Element* next = nullptr;
        Element* prev = nullptr;
        ZuObjectRef object;
    };

    ZuList();
    ~ZuList() override;

    // ZuBaseContainer
    ZuIteratorRef NewIterator() override;

    // ZuContainer
    bool Insert(const ZuObjectRef& object) override;
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& object, unsigned int occurrence) override;
    void RemoveAll() override;
    bool GetSimilar(const ZuObjectRef& probe, ZuObjectRef& out, unsigned int occurrence) override;
    bool LookFor(const ZuObjectRef& object) override;
    bool Find(const ZuObjectRef& object, unsigned int& index) override;

    virtual bool IsSorted() const;
    virtual bool SetInsertMode(bool sort_on_insert);
    virtual bool RetInsertMode() const;
    virtual bool MoveToHead(const ZuObjectRef& object);
    virtual bool MoveToTail(const ZuObjectRef& object);
    virtual bool MoveAtPosition(const ZuObjectRef& object, unsigned int position);
    virtual bool PushHead(const ZuObjectRef& object);
    virtual bool PushTail(const ZuObjectRef& object);
    virtual bool PopHead(ZuObjectRef& out);
    virtual bool PopTail(ZuObjectRef& out);

    // ZuiContainer
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    virtual bool Find(const ZuObjectRef& object, unsigned int& index, Element*& elem);

private:
    Element* NewElement(const ZuObjectRef& object, unsigned int line);
    void FreeElement(Element* elem);
    // Links elem before `before` (at the tail when null).
    void LinkBefore(Element* elem, Element* before);
    void Unlink(Element* elem);
    // Element at index, starting from the cache when it helps; sets the cache.
    Element* Reach(unsigned int index);
    // Common tail of the removals: iterators, cache, unlink, count, report.
    void RemoveElement(Element* elem, unsigned int index, bool moved, ZuObjectRef* out);
    void NotifyIteratorsInsert(Element* elem);
    void NotifyIteratorsRemove(Element* elem);

    bool is_sorted;
    bool sort_on_insert;
    Element* head;
    Element* tail;
    Element* cache_element;
    unsigned int cache_index;

    friend class ZuListIterator;
};
ZU_CLASS_END(ZuList)

#endif
