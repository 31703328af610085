#include "si/list.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/container.h"
#include "si/listit.h"
#include "si/linkedlist.h"

#include <new>

ZU_IMPLEMENT_CLASS(ZuList, "si/list", ZU_CLASS_PLAIN)

ZuList::ZuList()
    : is_sorted(true), sort_on_insert(true), head(nullptr), tail(nullptr), cache_element(nullptr),
      cache_index(0)
{}

ZuList::~ZuList()
{
    // The container's destructor insists on an empty container.
    if (head != nullptr || num_element != 0)
        RemoveAll();
}

// ---------------------------------------------------------------- elements

ZuList::Element* ZuList::NewElement(const ZuObjectRef& object, unsigned int line)
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("ZuList::Element", line, ZU_SRC_FILE);
    void* p = zone->Alloc(sizeof(Element), "ZuList::Element", line, ZU_SRC_FILE);
    Element* elem = ::new (p) Element;
    elem->object = object;
    return elem;
}

void ZuList::FreeElement(Element* elem)
{
    elem->object = ZuObjectNull;
    elem->~Element();
    ZuMemZone::FreeAnyZone(elem, __LINE__, ZU_SRC_FILE);
}

void ZuList::LinkBefore(Element* elem, Element* before)
{
    ZuLinkBefore(head, tail, elem, before);
}

void ZuList::Unlink(Element* elem)
{
    ZuUnlink(head, tail, elem);
    elem->next = elem->prev = nullptr;
}

ZuList::Element* ZuList::Reach(unsigned int index)
{
    if (index >= num_element)
        return nullptr;
    Element* e;
    unsigned int i;
    if (cache_element != nullptr && cache_index <= index) {
        e = cache_element;
        i = cache_index;
    } else {
        e = head;
        i = 0;
    }
    while (e != nullptr && i < index) {
        e = e->next;
        ++i;
    }
    if (e != nullptr) {
        cache_element = e;
        cache_index = i;
    }
    return e;
}

void ZuList::NotifyIteratorsInsert(Element* elem)
{
    if (iterators.IsInvalid())
        return;
    ZuObjectRef it;
    for (unsigned int i = 0; iterators->Get(i, it); ++i) {
        if (auto* li = dynamic_cast<ZuListIterator*>(it.Resolve()))
            li->NotifyInsert(elem);
    }
}

void ZuList::NotifyIteratorsRemove(Element* elem)
{
    if (iterators.IsInvalid())
        return;
    ZuObjectRef it;
    for (unsigned int i = 0; iterators->Get(i, it); ++i) {
        if (auto* li = dynamic_cast<ZuListIterator*>(it.Resolve()))
            li->NotifyRemove(elem);
    }
}

void ZuList::RemoveElement(Element* elem, unsigned int index, bool moved, ZuObjectRef* out)
{
    NotifyIteratorsRemove(elem);
    if (cache_element != nullptr) {
        if (cache_element == elem)
            cache_element = nullptr;
        else if (index < cache_index)
            --cache_index;
    }
    Unlink(elem);
    --num_element;
    if (out != nullptr)
        *out = elem->object;
    NotifyDataChange(false, true, moved);
    FreeElement(elem);
}

// ---------------------------------------------------------------- insertion

bool ZuList::Insert(const ZuObjectRef& object)
{
    if (object.IsInvalid())
        return false;
    Element* elem = NewElement(object, __LINE__);
    if (!sort_on_insert) {
        LinkBefore(elem, nullptr);
        is_sorted = false;
    } else {
        Element* e = head;
        unsigned int pos = 0;
        for (; e != nullptr; e = e->next, ++pos) {
            // An empty handle (pushed in plain mode) is passed over.
            if (e->object.IsValid() && e->object->CompareWith(object) == 1)
                break;
        }
        if (cache_element != nullptr && pos <= cache_index)
            ++cache_index;
        LinkBefore(elem, e);
    }
    ++num_element;
    NotifyIteratorsInsert(elem);
    NotifyDataChange(true, false, elem->next != nullptr);
    return true;
}

bool ZuList::PushHead(const ZuObjectRef& object)
{
    SetInsertMode(false);
    is_sorted = false;
    Element* elem = NewElement(object, __LINE__);
    LinkBefore(elem, head);
    if (cache_element != nullptr)
        ++cache_index;
    ++num_element;
    NotifyIteratorsInsert(elem);
    NotifyDataChange(true, false, true);
    return true;
}

bool ZuList::PushTail(const ZuObjectRef& object)
{
    SetInsertMode(false);
    is_sorted = false;
    Element* elem = NewElement(object, __LINE__);
    LinkBefore(elem, nullptr);
    ++num_element;
    NotifyIteratorsInsert(elem);
    NotifyDataChange(true, false, false);
    return true;
}

// ---------------------------------------------------------------- removal

bool ZuList::PopHead(ZuObjectRef& out)
{
    if (head == nullptr)
        return false;
    RemoveElement(head, 0, true, &out);
    return true;
}

bool ZuList::PopTail(ZuObjectRef& out)
{
    if (tail == nullptr)
        return false;
    RemoveElement(tail, num_element - 1, false, &out);
    return true;
}

bool ZuList::Remove(unsigned int index)
{
    Element* elem = Reach(index);
    if (elem == nullptr)
        return false;
    RemoveElement(elem, index, elem->next != nullptr, nullptr);
    return true;
}

bool ZuList::Remove(const ZuObjectRef& object, unsigned int occurrence)
{
    unsigned int index = 0;
    for (Element* e = head; e != nullptr; e = e->next, ++index) {
        if (e->object == object) {
            if (occurrence == 0) {
                RemoveElement(e, index, e->next != nullptr, nullptr);
                return true;
            }
            --occurrence;
        }
    }
    return false;
}

void ZuList::RemoveAll()
{
    while (head != nullptr) {
        Element* elem = head;
        NotifyIteratorsRemove(elem);
        Unlink(elem);
        FreeElement(elem);
    }
    head = tail = nullptr;
    num_element = 0;
    cache_element = nullptr;
    cache_index = 0;
    is_sorted = true;
    NotifyDataChange(false, true, false);
}

// ---------------------------------------------------------------- access

bool ZuList::Get(unsigned int index, ZuObjectRef& out)
{
    Element* elem = Reach(index);
    if (elem == nullptr)
        return false;
    out = elem->object;
    return true;
}

bool ZuList::LookFor(const ZuObjectRef& object)
{
    for (Element* e = head; e != nullptr; e = e->next)
        if (e->object == object)
            return true;
    return false;
}

bool ZuList::GetSimilar(const ZuObjectRef& probe, ZuObjectRef& out, unsigned int occurrence)
{
    for (Element* e = head; e != nullptr; e = e->next) {
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

bool ZuList::Find(const ZuObjectRef& object, unsigned int& index)
{
    Element* elem = nullptr;
    return Find(object, index, elem);
}

bool ZuList::Find(const ZuObjectRef& object, unsigned int& index, Element*& elem)
{
    Element* e = Reach(index);
    unsigned int i = index;
    for (; e != nullptr; e = e->next, ++i) {
        if (e->object == object) {
            cache_element = e;
            cache_index = i;
            index = i;
            elem = e;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- modes

bool ZuList::IsSorted() const
{
    return is_sorted;
}

bool ZuList::SetInsertMode(bool mode)
{
    sort_on_insert = mode;
    return true;
}

bool ZuList::RetInsertMode() const
{
    return sort_on_insert;
}

// ---------------------------------------------------------------- moves

bool ZuList::MoveToHead(const ZuObjectRef& object)
{
    return MoveAtPosition(object, 0);
}

bool ZuList::MoveToTail(const ZuObjectRef& object)
{
    return MoveAtPosition(object, num_element);
}

bool ZuList::MoveAtPosition(const ZuObjectRef& object, unsigned int position)
{
    if (sort_on_insert)
        return false;
    unsigned int count = num_element;
    if (position > count)
        position = count;
    Element* elem = head;
    unsigned int i = 0;
    while (elem != nullptr && !(elem->object == object)) {
        elem = elem->next;
        ++i;
    }
    if (elem == nullptr)
        return false;
    if (position == i || position == i + 1)
        return true;
    Unlink(elem);
    if (position < i) {
        Element* before = head;
        for (unsigned int k = 0; k < position; ++k)
            before = before->next;
        LinkBefore(elem, before);
    } else {
        // Walk position - 1 steps in the list as it was: elem, now unlinked,
        // stood before that element, so one step less in the shortened list.
        Element* after = head;
        for (unsigned int k = 0; k + 2 < position; ++k)
            after = after->next;
        LinkBefore(elem, after->next);
    }
    is_sorted = false;
    cache_element = nullptr;
    cache_index = 0;
    NotifyDataChange(false, false, true);
    return true;
}

// ---------------------------------------------------------------- iterators

ZuIteratorRef ZuList::NewIterator()
{
    ZuIteratorRef it(ZuNew<ZuListIterator>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    InsertIterator(it);
    it->First();
    return it;
}

// ---------------------------------------------------------------- life

void ZuList::Delete()
{
    RemoveAll();
    ZuContainer::Delete();
}

// ---------------------------------------------------------------- storage

void ZuList::StoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuList is_sorted sort_on_insert { data } >");
    storage << record << ZuStorageSync::begin << is_sorted << sort_on_insert
            << ZuStorageSync::repeat;
    for (Element* e = head; e != nullptr; e = e->next)
        storage->StoreObject(e->object);
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuList::RestoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::RestoreInstance(storage);
    unsigned int count = num_element;
    RemoveAll();
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> is_sorted >> sort_on_insert >>
        ZuStorageSync::repeat;
    // The count comes from the stream: read no further than the group goes.
    for (unsigned int i = 0; i < count && !storage->CheckForEnd(); ++i) {
        ZuObjectRef object;
        storage >> object;
        Element* elem = NewElement(object, __LINE__);
        LinkBefore(elem, nullptr);
        ++num_element;
    }
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
    cache_element = nullptr;
    cache_index = 0;
}
