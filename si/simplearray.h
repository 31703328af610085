// Simple arrays: plain growable arrays of records, outside the object model.
// The runtime keeps its own small tables in them (interface class maps,
// directory sorting, the icon cache).
//
// Three flavours differ only in how new elements are made and how kept
// elements travel to a new block:
//   Zuvi_SimpleArrayNone<T>     new elements are copies of one static default T;
//                               kept elements are copied with T's assignment.
//   Zuvi_SimpleArrayZero<T>     new elements are all-zero bytes; kept elements
//                               are copied byte for byte.
//   Zuvi_SimpleArrayPtrInit<T>  new elements are initialised by T::Zero(void*);
//                               kept elements are copied member by member.
//
// Growth is by index: indexing at i past the end makes the count exactly
// i + grow step (a grow step of 0 never grows: the index throws ZuExcAccess 1).
// Copies are deep: each array owns its own block.
#ifndef ZUVI_SI_SIMPLEARRAY_H
#define ZUVI_SI_SIMPLEARRAY_H

#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

class ZuStorageRef;

class Zuvi_SimpleArrayBase {
public:
    virtual void StoreInstance(const ZuStorageRef& storage) = 0;
    virtual void RestoreInstance(const ZuStorageRef& storage) = 0;
    virtual ~Zuvi_SimpleArrayBase() {}
};

namespace zuvi_simplearray {

// Where the blocks come from and how they are named.
void* AllocBlock(unsigned long bytes, const char* name, unsigned line);
void FreeBlock(void* block, unsigned line);
[[noreturn]] void ThrowAccess();

// The framing of the stored form: begin, count, grow step, mark ... end.
void StoreHead(const ZuStorageRef& s, unsigned count, unsigned grow_step);
unsigned RestoreHead(const ZuStorageRef& s, unsigned& grow_step);
// Whether another element follows before the end of the block.
bool MoreItems(const ZuStorageRef& s);
// A stored count is not trusted with memory before the elements are there:
// the array grows by at most this many elements ahead of what was read.
enum { RESTORE_CHUNK = 4096 };
void StoreTail(const ZuStorageRef& s);
void RestoreTail(const ZuStorageRef& s);

// Storage of one element: bools as bools, unsigned numbers as cards, records
// through their own storage operators.
void StoreElement(const ZuStorageRef& s, const bool& v);
void RestoreElement(const ZuStorageRef& s, bool& v);
void StoreElement(const ZuStorageRef& s, const unsigned int& v);
void RestoreElement(const ZuStorageRef& s, unsigned int& v);
template <class T>
void StoreElement(const ZuStorageRef& s, const T& v)
{
    s << v;
}
template <class T>
void RestoreElement(const ZuStorageRef& s, T& v)
{
    s >> v;
}

// The part the three flavours share: the fields, growth, access, storage.
// Policy supplies Fill(T*, n) for new elements, Keep(T* to, const T* from, n)
// for kept ones, Drop(T*, n) before a block is freed, and the allocation name
// and source lines.
template <class T, class Policy>
class Array : public Zuvi_SimpleArrayBase {
public:
    explicit Array(unsigned count = 0, unsigned grow_step = 0) : grow_step(grow_step)
    {
        Resize(count);
    }
    Array(const Array& other) : grow_step(other.grow_step) { CopyFrom(other); }
    Array& operator=(const Array& other)
    {
        if (this != &other) {
            Array copy(other);
            Swap(copy);
        }
        return *this;
    }
    ~Array() override { Resize(0); }

    void Resize(unsigned n)
    {
        T* block = nullptr;
        if (n != 0) {
            if (n > ULONG_MAX / sizeof(T))
                ThrowAccess();
            block = static_cast<T*>(AllocBlock(static_cast<unsigned long>(n) * sizeof(T),
                                               Policy::name, Policy::alloc_line));
            unsigned kept = n < count ? n : count;
            Policy::Keep(block, data, kept);
            Policy::Fill(block + kept, n - kept);
        }
        if (data != nullptr) {
            Policy::Drop(data, count);
            FreeBlock(data, Policy::free_line);
        }
        data = block;
        count = n;
    }

    T& operator[](unsigned i)
    {
        if (i >= count) {
            if (grow_step == 0 || i > UINT_MAX - grow_step)
                ThrowAccess();
            Resize(i + grow_step);
        }
        return data[i];
    }
    T& At(unsigned i) const
    {
        if (i >= count)
            ThrowAccess();
        return data[i];
    }

    unsigned RetCount() const { return count; }
    unsigned RetGrowStep() const { return grow_step; }
    void SetGrowStep(unsigned step) { grow_step = step; }

    void StoreInstance(const ZuStorageRef& storage) override
    {
        StoreHead(storage, count, grow_step);
        for (unsigned i = 0; i < count; ++i)
            StoreElement(storage, const_cast<const T&>(data[i]));
        StoreTail(storage);
    }
    void RestoreInstance(const ZuStorageRef& storage) override
    {
        const unsigned stored = RestoreHead(storage, grow_step);
        Resize(stored < RESTORE_CHUNK ? stored : unsigned(RESTORE_CHUNK));
        unsigned i = 0;
        for (; i < stored; ++i) {
            if (!MoreItems(storage))
                break;
            if (i == count)
                Resize(stored - count < count ? stored : count * 2);
            RestoreElement(storage, data[i]);
        }
        // Fewer elements than the count said: keep those that were there.
        if (i < count)
            Resize(i);
        RestoreTail(storage);
    }

protected:
    T* data = nullptr;
    unsigned count = 0;
    unsigned grow_step = 0;

private:
    void CopyFrom(const Array& other)
    {
        if (other.count == 0)
            return;
        T* block = static_cast<T*>(AllocBlock(static_cast<unsigned long>(other.count) * sizeof(T),
                                              Policy::name, Policy::alloc_line));
        Policy::Keep(block, other.data, other.count);
        data = block;
        count = other.count;
    }
    void Swap(Array& other)
    {
        std::swap(data, other.data);
        std::swap(count, other.count);
        std::swap(grow_step, other.grow_step);
    }
};

template <class T>
struct NonePolicy {
    static constexpr const char* name = "template<T> Zuvi_SimpleArray";
    static constexpr unsigned alloc_line = 244;
    static constexpr unsigned free_line = 257;
    static const T& Default()
    {
        static const T value{};
        return value;
    }
    static void Fill(T* p, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            new (p + i) T(Default());
    }
    static void Keep(T* to, const T* from, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            new (to + i) T();
            to[i] = from[i];
        }
    }
    static void Drop(T* p, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            p[i].~T();
    }
};

template <class T>
struct ZeroPolicy {
    static_assert(std::is_trivially_copyable<T>::value, "zero-filled arrays hold plain records");
    static constexpr const char* name = "template<T> Zuvi_SimpleArray";
    static constexpr unsigned alloc_line = 365;
    static constexpr unsigned free_line = 378;
    static void Fill(T* p, unsigned n)
    {
        if (n)
            std::memset(static_cast<void*>(p), 0, static_cast<unsigned long>(n) * sizeof(T));
    }
    static void Keep(T* to, const T* from, unsigned n)
    {
        if (n)
            std::memcpy(static_cast<void*>(to), from, static_cast<unsigned long>(n) * sizeof(T));
    }
    static void Drop(T*, unsigned) {}
};

template <class T>
struct PtrInitPolicy {
    static_assert(std::is_trivially_destructible<T>::value, "records initialised in place");
    static constexpr const char* name = "template<T> Zuvi_SimpleArrayPtrInit";
    static constexpr unsigned alloc_line = 486;
    static constexpr unsigned free_line = 499;
    static void Fill(T* p, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            T::Zero(p + i);
    }
    static void Keep(T* to, const T* from, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            T::Zero(to + i);
            to[i] = from[i];
        }
    }
    static void Drop(T*, unsigned) {}
};

} // namespace zuvi_simplearray

template <class T>
class Zuvi_SimpleArrayNone : public zuvi_simplearray::Array<T, zuvi_simplearray::NonePolicy<T>> {
    using Base = zuvi_simplearray::Array<T, zuvi_simplearray::NonePolicy<T>>;

public:
    using Base::Base;
};

template <class T>
class Zuvi_SimpleArrayZero : public zuvi_simplearray::Array<T, zuvi_simplearray::ZeroPolicy<T>> {
    using Base = zuvi_simplearray::Array<T, zuvi_simplearray::ZeroPolicy<T>>;

public:
    using Base::Base;
};

template <class T>
class Zuvi_SimpleArrayPtrInit
    : public zuvi_simplearray::Array<T, zuvi_simplearray::PtrInitPolicy<T>> {
    using Base = zuvi_simplearray::Array<T, zuvi_simplearray::PtrInitPolicy<T>>;

public:
    using Base::Base;
};

#endif
