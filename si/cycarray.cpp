#include "si/cycarray.h"

#include "si/rtclass.h"

#include <vector>

#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuCyclicArray, "si/cycarray", ZU_CLASS_PLAIN)

static ZuStorageSync cyclic_record("<ZuCyclicArray modulo>");

ZuCyclicArray::ZuCyclicArray() : modulo(0), ring_slots(0) {}

ZuCyclicArray::~ZuCyclicArray()
{
    SetSize(0);
}

void ZuCyclicArray::ResizeBlock(unsigned int slots)
{
    num_element = BlockSize();
    ZuArray::SetSize(slots);
    ring_slots = slots;
}

bool ZuCyclicArray::SetModulo(unsigned int m)
{
    if (modulo != 0) {
        ResizeBlock(0);
        num_element = 0;
    } else {
        ZuArray::SetSize(0);
    }
    modulo = m;
    ring_slots = 0;
    return true;
}

unsigned int ZuCyclicArray::RetModulo() const
{
    return modulo;
}

bool ZuCyclicArray::SetSize(unsigned int n)
{
    if (n == num_element)
        return true;
    if (modulo == 0)
        return ZuArray::SetSize(n);
    const unsigned int size = num_element;
    if (n < size) {
        const unsigned int drop = size - n < modulo ? size - n : modulo;
        for (unsigned int i = size - drop; i < size; i++)
            Access(i) = ZuObjectNull;
        if (n < modulo) {
            // Entries that remain sit in the slots of their own index.
            ResizeBlock(n);
        }
    } else if (size < modulo && ring_slots < modulo) {
        ResizeBlock(modulo);
    }
    num_element = n;
    return true;
}

ZuObjectRef& ZuCyclicArray::Access(unsigned int i) const
{
    if (modulo == 0)
        return ZuArray::Access(i);
    if (i >= num_element || (num_element >= modulo && i < num_element - modulo)) {
        scratch = ZuObjectNull;
        return scratch;
    }
    return data[i % modulo];
}

bool ZuCyclicArray::Insert(const ZuObjectRef& object)
{
    if (modulo == 0)
        return ZuArray::Insert(object);
    if (num_element == 0xFFFFFFFFu)
        return false;
    SetSize(num_element + 1);
    Access(num_element - 1) = object;
    NotifyDataChange(true, false, false);
    return true;
}

bool ZuCyclicArray::Insert(unsigned int pos, unsigned int count)
{
    if (modulo == 0)
        return ZuArray::Insert(pos, count);
    if (count == 0)
        return true;
    const unsigned int old = num_element;
    const unsigned long long a = static_cast<unsigned long long>(old) + count;
    const unsigned long long b = static_cast<unsigned long long>(pos) + count;
    const unsigned long long size = a > b ? a : b;
    if (size > 0xFFFFFFFFull)
        return false;
    SetSize(static_cast<unsigned int>(size));
    for (unsigned int i = old; i-- > pos;) {
        ZuObjectRef moved = Access(i);
        Access(i + count) = moved;
        Access(i) = ZuObjectNull;
    }
    NotifyDataChange(true, false, true);
    return true;
}

bool ZuCyclicArray::Remove(unsigned int pos, unsigned int count)
{
    if (modulo == 0)
        return ZuArray::Remove(pos, count);
    if (count == 0)
        return true;
    if (pos >= num_element)
        return false;
    if (count > num_element - pos)
        count = num_element - pos;
    for (unsigned int i = pos + count; i < num_element; i++) {
        ZuObjectRef moved = Access(i);
        Access(i - count) = moved;
    }
    SetSize(num_element - count);
    NotifyDataChange(false, true, true);
    return true;
}

bool ZuCyclicArray::GetSimilar(const ZuObjectRef& model, ZuObjectRef& found,
                               unsigned int occurrence)
{
    if (modulo == 0)
        return ZuArray::GetSimilar(model, found, occurrence);
    for (unsigned int i = 0; i < num_element; i++) {
        const ZuObjectRef& entry = Access(i);
        if (entry.IsInvalid() || entry->CompareWith(model) != 0)
            continue;
        if (occurrence == 0) {
            found = entry;
            return true;
        }
        --occurrence;
    }
    return false;
}

bool ZuCyclicArray::Find(const ZuObjectRef& object, unsigned int& index)
{
    if (modulo == 0)
        return ZuArray::Find(object, index);
    for (unsigned int i = index; i < num_element; i++) {
        if (Access(i) == object) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuCyclicArray::Get(unsigned int index, ZuObjectRef& object)
{
    if (modulo == 0)
        return ZuArray::Get(index, object);
    if (index >= num_element) {
        object = ZuObjectNull;
        return false;
    }
    object = Access(index);
    return true;
}

int ZuCyclicArray::CompareWith(const ZuObjectRef& other) const
{
    if (modulo == 0 || other.IsInvalid() || !other->IsKindOf(ZuArrayRef::RetRuntime()))
        return ZuArray::CompareWith(other);
    ZuArrayRef that(other);
    const unsigned int theirs_count = that->TotalCount();
    const unsigned int n = num_element < theirs_count ? num_element : theirs_count;
    for (unsigned int i = 0; i < n; i++) {
        ZuObjectRef mine = Access(i);
        const ZuObjectRef& theirs = that->Access(i);
        if (mine == theirs)
            continue;
        if (mine.IsInvalid())
            return -1;
        const int c = mine->CompareWith(theirs);
        if (c != 0)
            return c;
    }
    return 0;
}

void ZuCyclicArray::InternalGetGapSize(unsigned int pos, unsigned int& gap_size,
                                       unsigned int& data_size)
{
    if (modulo == 0) {
        ZuArray::InternalGetGapSize(pos, gap_size, data_size);
        return;
    }
    gap_size = 0;
    data_size = 0;
    unsigned int i = pos;
    if (num_element > modulo && pos == 0) {
        i = num_element - modulo;
        gap_size = i;
    }
    while (i < num_element && Access(i).IsInvalid()) {
        i++;
        gap_size++;
    }
    while (i < num_element && Access(i).IsValid()) {
        i++;
        data_size++;
    }
}

void ZuCyclicArray::InternalSetGapSize(unsigned int pos, unsigned int gap_size,
                                       unsigned int data_size)
{
    ZuArray::InternalSetGapSize(pos, gap_size, data_size);
}

void ZuCyclicArray::StoreInstance(const ZuStorageRef& s)
{
    ZuArray::StoreInstance(s);
    s << cyclic_record << ZuStorageSync::begin;
    s->StoreCard(modulo);
    s << ZuStorageSync::end;
}

void ZuCyclicArray::RestoreInstance(const ZuStorageRef& s)
{
    // The logical entries come back as plain slots; the ring is laid out
    // once the stored modulo is known.
    SetModulo(0);
    ZuArray::RestoreInstance(s);
    unsigned int m = 0;
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> m >> ZuStorageSync::end;
    const unsigned int n = num_element;
    if (m == 0 || n <= m) {
        modulo = m;
        ring_slots = n;
        return;
    }
    std::vector<ZuObjectRef> kept(m);
    for (unsigned int i = n - m; i < n; i++)
        kept[i % m] = data[i];
    ZuArray::SetSize(0);
    ZuArray::SetSize(m);
    for (unsigned int j = 0; j < m; j++)
        data[j] = kept[j];
    modulo = m;
    ring_slots = m;
    num_element = n;
}
