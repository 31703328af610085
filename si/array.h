// ZuArray: the library's general array of object handles. Each slot holds an
// object or is empty (a gap). Accessing a slot past the end grows the array
// when an auto-grow increment is set; changes are reported through the
// container notifications and passed on to the registered iterators; the
// stored form is a sequence of runs of gaps and data.
#ifndef SI_ARRAY_H
#define SI_ARRAY_H

#include <type_traits>
#include <utility>

#include "si/container.h"

class ZuArrayIterator;
class ZuMemZone;

ZU_HANDLE_BEGIN(ZuArray, ZuContainer)
ZU_HANDLE_CONVERSIONS(ZuArray)
// Slot i of the array (Access); on an empty handle a shared scratch
// handle, emptied at each such call.
ZuObjectRef& operator[](unsigned int index) const;
ZU_HANDLE_END(ZuArray)

class ZuArray : public ZuContainer {
    ZU_CLASS(ZuArray, ZuContainer)

public:
    ZuArray();
    ~ZuArray() override;

    virtual bool Insert(unsigned int pos, unsigned int count);
    virtual bool Remove(unsigned int pos, unsigned int count);
    virtual bool SetSize(unsigned int size);
    virtual bool SetMemZone(ZuMemZone* zone);
    virtual bool SetAutoGrowIncrement(unsigned int increment);
    virtual unsigned int RetAutoGrowIncrement() const;
    virtual ZuObjectRef& Access(unsigned int index) const;

    // ZuContainer
    bool Insert(const ZuObjectRef& object) override;
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& object, unsigned int occurrence) override;
    void RemoveAll() override;
    bool GetSimilar(const ZuObjectRef& model, ZuObjectRef& found, unsigned int occurrence) override;
    bool LookFor(const ZuObjectRef& object) override;
    bool Find(const ZuObjectRef& object, unsigned int& index) override;
    bool SpecifyExtraction(const ZuArrayRef& extraction) override;
    ZuIteratorRef NewIterator() override;

    // ZuiContainer
    bool Get(unsigned int index, ZuObjectRef& object) override;

    int CompareWith(const ZuObjectRef& other) const override;
    void Delete() override;

protected:
    virtual void InternalGetGapSize(unsigned int pos, unsigned int& gap_size,
                                    unsigned int& data_size);
    virtual void InternalSetGapSize(unsigned int pos, unsigned int gap_size,
                                    unsigned int data_size);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    static void CleanupAndFreeReferences(ZuObjectRef* block, unsigned int count);
    // Subclasses that lay the slots out differently (2-D and cyclic
    // arrays) reach the block directly.
    // A block of `count` empty handles (to be given back by
    // CleanupAndFreeReferences with the number of handles it then holds);
    // with `room`, space for that many handles, of which `count` are made.
    static ZuObjectRef* AllocReferences(unsigned int count);
    static ZuObjectRef* AllocReferences(unsigned int count, unsigned int room);
    static unsigned int Capacity(const ZuObjectRef* block);

    ZuObjectRef* data;

private:
    enum { RESTORE_CHUNK = 4096 };
    template <class F>
    void ForEachIterator(F notify);

    unsigned int auto_grow_increment;

protected:
    // The slot answered for a place outside the array; a caller may write
    // into it, so it is emptied before each answer and at shut-down.
    static ZuObjectRef scratch;

public:
    // Drops what a caller left in the scratch slot, before the zones go.
    static void ReleaseScratch() { scratch = ZuObjectNull; }
};
ZU_CLASS_END(ZuArray)

// The element of a typed array as an X handle. The slots of a ZuArray are
// ZuObjectRef objects, so a slot cannot be handed out as an XRef& without
// undefined behaviour; this stands for the slot instead: it reads as an
// XRef, resolves as an X, and assignments go to the slot itself.
template <class R>
class ZuTypedArrayElement {
public:
    typedef typename std::remove_pointer<decltype(std::declval<const R&>().Resolve())>::type X;

    explicit ZuTypedArrayElement(ZuObjectRef& slot) : slot(slot) {}

    ZuTypedArrayElement& operator=(const ZuTypedArrayElement& other)
    {
        slot = other.slot;
        return *this;
    }
    ZuTypedArrayElement& operator=(const ZuObjectRef& handle)
    {
        slot = handle;
        return *this;
    }
    ZuTypedArrayElement& operator=(ZuObject* object)
    {
        slot = object;
        return *this;
    }

    // A handle of the element's class on the slot's object (no class check).
    operator R() const
    {
        R handle;
        handle = static_cast<X*>(slot.RetRawObject());
        return handle;
    }
    operator ZuObjectRef&() const { return slot; }

    X* Resolve() const { return static_cast<X*>(slot.Resolve()); }
    X* CheckAndResolve() const
    {
        if (slot.RetRawObject() == nullptr)
            Zuvi_ResolveNull(R::RetRuntime());
        return static_cast<X*>(slot.CheckAndResolve());
    }
    X* operator->() const { return CheckAndResolve(); }
    X* RetRawObject() const { return static_cast<X*>(slot.RetRawObject()); }
    bool IsValid() const { return slot.IsValid(); }
    bool IsInvalid() const { return slot.IsInvalid(); }
    bool operator==(const ZuObjectRef& other) const { return slot == other; }
    bool operator!=(const ZuObjectRef& other) const { return slot != other; }
    bool operator==(const ZuObject* object) const { return slot == object; }
    bool operator!=(const ZuObject* object) const { return slot != object; }

private:
    ZuObjectRef& slot;
};

// The typed array XArray of every class X: a handle on a ZuArray whose
// elements are read as X handles. The array itself is an ordinary ZuArray of
// ZuObjectRef elements; nothing checks classes, neither of the array nor of
// the elements: keeping only X objects in it is the filler's duty.
template <class R>
class ZuTypedArray : public ZuArrayRef {
public:
    ZuTypedArray() {}
    ZuTypedArray(ZuArray* array) { _Set(static_cast<ZuObject*>(array), nullptr); }
    ZuTypedArray(const ZuArrayRef& other) { _Set(other, nullptr); }
    ZuTypedArray(const ZuTypedArray& other) : ZuArrayRef(other) {}
    ~ZuTypedArray() override {}

    ZuTypedArray& operator=(ZuArray* array)
    {
        _Set(static_cast<ZuObject*>(array), nullptr);
        return *this;
    }
    ZuTypedArray& operator=(const ZuArrayRef& other)
    {
        _Set(other, nullptr);
        return *this;
    }
    ZuTypedArray& operator=(const ZuTypedArray& other)
    {
        ZuArrayRef::operator=(other);
        return *this;
    }

    // The element at index (Access of the array; on an empty handle a shared
    // empty scratch slot).
    ZuTypedArrayElement<R> operator[](unsigned int index) const
    {
        return ZuTypedArrayElement<R>(ZuArrayRef::operator[](index));
    }
};

#endif
