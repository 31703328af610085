#include "si/dict.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/container.h"
#include "si/dictit.h"
#include "si/linkedlist.h"
#include "si/except.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

ZU_IMPLEMENT_CLASS(ZuDict, "si/dict", ZU_CLASS_PLAIN)

ZuDict::ZuDict() : head(nullptr), tail(nullptr) {}

ZuDict::~ZuDict()
{
    RemoveAll();
}

// ---------------------------------------------------------------- elements

ZuDict::Element* ZuDict::NewElement(unsigned int line)
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("?", line, ZU_SRC_FILE);
    void* p = zone->Alloc(sizeof(Element), "?", line, ZU_SRC_FILE);
    return ::new (p) Element;
}

void ZuDict::FreeElement(Element* elem)
{
    elem->key = ZuObjectNull;
    elem->value = ZuObjectNull;
    elem->~Element();
    ZuMemZone::FreeAnyZone(elem, __LINE__, ZU_SRC_FILE);
}

namespace {

// Objects that cannot be compared (a string asked about an object of another
// class answers with an exception) are not equal: a dictionary may hold keys
// of any class, and one read from a file holds what the file says.
bool SameContents(const ZuObjectRef& held, const ZuObjectRef& probe)
{
    try {
        return held->IsEqual(probe);
    } catch (const ZuExcObject&) {
        return false;
    }
}

} // namespace

bool ZuDict::Matches(Element* elem, const ZuObjectRef& key, const ZuObjectRef& value, bool use_key,
                     bool use_value) const
{
    if (use_key && !(elem->key == key) &&
        !(comp_key_using_is_equal && elem->key.IsValid() && SameContents(elem->key, key)))
        return false;
    if (use_value && !(elem->value == value) &&
        !(comp_value_using_is_equal && elem->value.IsValid() && SameContents(elem->value, value)))
        return false;
    return true;
}

bool ZuDict::FindElem(unsigned int& index, Element*& elem)
{
    if (index >= num_element)
        return false;
    for (Element* e = head; e != nullptr; e = e->next) {
        if (index < e->count) {
            elem = e;
            return true;
        }
        index -= e->count;
    }
    return false;
}

bool ZuDict::FindElem(const ZuObjectRef& key, const ZuObjectRef& value, bool use_key,
                      bool use_value, unsigned int& index, Element*& elem)
{
    unsigned int offset = index;
    Element* e = nullptr;
    if (!FindElem(offset, e))
        return false;
    // First position of the element holding the start position.
    unsigned int pos = index - offset;
    for (bool first = true; e != nullptr; pos += e->count, e = e->next, first = false) {
        if (Matches(e, key, value, use_key, use_value)) {
            if (!first)
                index = pos;
            elem = e;
            return true;
        }
    }
    return false;
}

bool ZuDict::FindNth(const ZuObjectRef& key, const ZuObjectRef& value, bool use_key, bool use_value,
                     unsigned int occurrence, Element*& elem)
{
    unsigned int index = 0;
    while (FindElem(key, value, use_key, use_value, index, elem)) {
        if (occurrence == 0)
            return true;
        --occurrence;
        ++index;
    }
    return false;
}

// ---------------------------------------------------------------- insertion

bool ZuDict::Insert(const ZuObjectRef& key, const ZuObjectRef& value)
{
    unsigned int index = 0;
    Element* found = nullptr;
    if (FindElem(key, value, true, true, index, found)) {
        if (!allow_duplicates)
            return false;
        ++found->count;
        ++num_element;
        NotifyDataChange(true, false, false);
        return true;
    }

    // Before the first element whose key is empty or greater; an empty key
    // goes to the front.
    Element* before = head;
    if (key.IsValid()) {
        while (before != nullptr && before->key.IsValid() && before->key->CompareWith(key) != 1)
            before = before->next;
    }
    Element* elem = NewElement(__LINE__);
    elem->key = key;
    elem->value = value;
    elem->count = 1;
    ZuLinkBefore(head, tail, elem, before);
    ++num_element;
    NotifyDataChange(true, false, elem->next != nullptr);

    if (iterators.IsValid()) {
        ZuObjectRef it;
        for (unsigned int i = 0; iterators->Get(i, it); ++i)
            if (auto* di = dynamic_cast<ZuDictIterator*>(it.Resolve()))
                di->NotifyInsert(elem);
    }
    return true;
}

void ZuDict::InsertSorted(std::vector<std::pair<ZuObjectRef, ZuObjectRef>> pairs)
{
    // An empty key goes to the front and stops the walk of later keys:
    // only one by one is sure to give Insert's list.
    for (const auto& pair : pairs) {
        if (pair.first.IsInvalid()) {
            for (const auto& p : pairs)
                Insert(p.first, p.second);
            return;
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
        return a.first->CompareWith(b.first) < 0;
    });
    // Each key goes before the first element whose key is empty or greater,
    // as Insert puts it: for keys in ascending order that place never moves
    // back, so the walk goes on from where the last pair went.
    //
    // Values compared by identity: the elements of a key that comes again
    // are filed by their value's address once, so that many pairs of one
    // key cost one walk of its elements instead of one walk each.
    const bool by_address = !comp_value_using_is_equal;
    std::unordered_map<const ZuObject*, std::vector<Element*>> run;
    const ZuObjectRef* run_key = nullptr;
    bool run_filed = false;
    Element* before = head;
    for (const auto& [key, value] : pairs) {
        while (before != nullptr && before->key.IsValid() && before->key->CompareWith(key) != 1)
            before = before->next;
        // Insert's identical pair: the first from the head, which stands
        // among the elements of this key just before the walk's place.
        Element* found = nullptr;
        if (by_address && run_key != nullptr && (*run_key)->CompareWith(key) == 0) {
            if (!run_filed) {
                std::vector<Element*> elements;
                for (Element* e = before != nullptr ? before->prev : tail;
                     e != nullptr && e->key.IsValid() && e->key->CompareWith(key) == 0; e = e->prev)
                    elements.push_back(e);
                for (auto e = elements.rbegin(); e != elements.rend(); ++e)
                    run[(*e)->value.Resolve()].push_back(*e);
                run_filed = true;
            }
            const auto same = run.find(value.Resolve());
            if (same != run.end())
                for (Element* e : same->second)
                    if (Matches(e, key, value, true, true)) {
                        found = e;
                        break;
                    }
        } else {
            run.clear();
            run_filed = false;
            run_key = &key;
            for (Element* e = before != nullptr ? before->prev : tail;
                 e != nullptr && e->key.IsValid() && e->key->CompareWith(key) == 0; e = e->prev)
                if (Matches(e, key, value, true, true))
                    found = e;
        }
        if (found != nullptr) {
            if (!allow_duplicates)
                continue;
            ++found->count;
            ++num_element;
            NotifyDataChange(true, false, false);
            continue;
        }
        Element* elem = NewElement(__LINE__);
        elem->key = key;
        elem->value = value;
        elem->count = 1;
        ZuLinkBefore(head, tail, elem, before);
        if (run_filed)
            run[value.Resolve()].push_back(elem);
        ++num_element;
        NotifyDataChange(true, false, elem->next != nullptr);
        if (iterators.IsValid()) {
            ZuObjectRef it;
            for (unsigned int i = 0; iterators->Get(i, it); ++i)
                if (auto* di = dynamic_cast<ZuDictIterator*>(it.Resolve()))
                    di->NotifyInsert(elem);
        }
    }
}

// ---------------------------------------------------------------- removal

void ZuDict::RemoveElem(Element* elem)
{
    if (iterators.IsValid()) {
        ZuObjectRef it;
        for (unsigned int i = 0; iterators->Get(i, it); ++i)
            if (auto* di = dynamic_cast<ZuDictIterator*>(it.Resolve()))
                di->NotifyRemove(elem);
    }
    bool moved = false;
    if (elem->count < 2) {
        moved = elem->next != nullptr;
        ZuUnlink(head, tail, elem);
        FreeElement(elem);
    } else {
        --elem->count;
    }
    --num_element;
    NotifyDataChange(false, true, moved);
}

bool ZuDict::Remove(unsigned int index)
{
    Element* elem = nullptr;
    if (!FindElem(index, elem))
        return false;
    RemoveElem(elem);
    return true;
}

bool ZuDict::Remove(const ZuObjectRef& key, unsigned int occurrence)
{
    Element* elem = nullptr;
    if (!FindNth(key, ZuObjectNull, true, false, occurrence, elem))
        return false;
    RemoveElem(elem);
    return true;
}

bool ZuDict::Remove(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int occurrence)
{
    Element* elem = nullptr;
    if (!FindNth(key, value, true, true, occurrence, elem))
        return false;
    RemoveElem(elem);
    return true;
}

bool ZuDict::RemoveValue(const ZuObjectRef& value, unsigned int occurrence)
{
    Element* elem = nullptr;
    if (!FindNth(ZuObjectNull, value, false, true, occurrence, elem))
        return false;
    RemoveElem(elem);
    return true;
}

void ZuDict::RemoveAll()
{
    // A repeated element goes in one step: its count may come from a file,
    // and removing it one unit at a time would take as long as the count
    // says. Observers still hear of every unit; iterators of the element.
    while (head != nullptr) {
        const unsigned int extra = head->count - 1;
        num_element = num_element > extra ? num_element - extra : 1;
        head->count = 1;
        ReportRemovals(extra);
        RemoveElem(head);
    }
    num_element = 0;
}

void ZuDict::ReportRemovals(unsigned int units)
{
    // Only an observed dictionary has anyone to tell.
    if (!TestStatus(ZU_OBJECT_IS_CONNECTED))
        return;
    for (; units > 0; --units)
        NotifyDataChange(false, true, false);
}

void ZuDict::RemoveDuplicates()
{
    for (Element* e = head; e != nullptr; e = e->next)
        if (e->count > 1) {
            const unsigned int extra = e->count - 1;
            e->count = 2;
            num_element -= extra - 1;
            ReportRemovals(extra - 1);
            RemoveElem(e);
        }
}

// ---------------------------------------------------------------- look-ups

bool ZuDict::Get(unsigned int index, ZuObjectRef& key, ZuObjectRef& value)
{
    Element* elem = nullptr;
    if (!FindElem(index, elem))
        return false;
    key = elem->key;
    value = elem->value;
    return true;
}

bool ZuDict::GetFromKey(const ZuObjectRef& key, ZuObjectRef& value, unsigned int n)
{
    Element* elem = nullptr;
    if (!FindNth(key, ZuObjectNull, true, false, n, elem))
        return false;
    value = elem->value;
    return true;
}

bool ZuDict::GetFromValue(const ZuObjectRef& value, ZuObjectRef& key, unsigned int n)
{
    Element* elem = nullptr;
    if (!FindNth(ZuObjectNull, value, false, true, n, elem))
        return false;
    key = elem->key;
    return true;
}

bool ZuDict::Find(const ZuObjectRef& key, const ZuObjectRef& value, unsigned int& index)
{
    Element* elem = nullptr;
    return FindElem(key, value, true, true, index, elem);
}

bool ZuDict::LookForKey(const ZuObjectRef& key)
{
    unsigned int index = 0;
    Element* elem = nullptr;
    return FindElem(key, ZuObjectNull, true, false, index, elem);
}

bool ZuDict::LookForValue(const ZuObjectRef& value)
{
    unsigned int index = 0;
    Element* elem = nullptr;
    return FindElem(ZuObjectNull, value, false, true, index, elem);
}

// ---------------------------------------------------------------- iterators

ZuIteratorRef ZuDict::NewIterator()
{
    // Registered once: a second registration would outlive the iterator's
    // Delete, which unregisters one entry.
    ZuIteratorRef it(ZuNew<ZuDictIterator>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    InsertIterator(it);
    it->First();
    return it;
}

// ---------------------------------------------------------------- life

void ZuDict::Delete()
{
    RemoveAll();
    ZuSet::Delete();
}

// ---------------------------------------------------------------- storage

void ZuDict::StoreInstance(const ZuStorageRef& storage)
{
    ZuSet::StoreInstance(storage);
    static ZuStorageSync record("<ZuDict { <elem key value> } >");
    storage << record << ZuStorageSync::begin << ZuStorageSync::repeat;
    for (Element* e = head; e != nullptr; e = e->next) {
        storage << ZuStorageSync::begin;
        storage->StoreObject(e->key);
        storage->StoreObject(e->value);
        storage << e->count << ZuStorageSync::end;
    }
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuDict::RestoreInstance(const ZuStorageRef& storage)
{
    ZU_ASSERT(this->head == 0);
    ZU_ASSERT(this->tail == 0);
    try {
        RestoreElements(storage);
    } catch (...) {
        // Input cut anywhere (even inside the set's part, which reads the
        // stored count) leaves the count of the elements actually linked, so
        // that they all go with the dictionary.
        num_element = 0;
        for (Element* e = head; e != nullptr; e = e->next)
            num_element += e->count;
        throw;
    }
}

void ZuDict::RestoreElements(const ZuStorageRef& storage)
{
    ZuSet::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::repeat;
    // The stored element count counts repetitions, so it cannot say how many
    // element records follow: read them until the group ends.
    // Each element is linked and counted before its fields are read, so
    // that input cut inside a record leaves a dictionary whose count matches
    // its elements (and that lets them all go).
    num_element = 0;
    while (storage->CheckForBegin()) {
        Element* elem = NewElement(__LINE__);
        elem->prev = tail;
        if (tail != nullptr)
            tail->next = elem;
        else
            head = elem;
        tail = elem;
        num_element += elem->count;
        unsigned int count = 0;
        storage >> ZuStorageSync::begin >> elem->key >> elem->value >> count;
        // A count of 0 is taken as 1 (an element is present at least once);
        // a count that would take the total past what the index can reach
        // is damaged data.
        if (count == 0)
            count = 1;
        if (count - 1 > ~0u - num_element)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        elem->count = count;
        num_element += count - 1;
        storage >> ZuStorageSync::end;
    }
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
