// ZuCyclicArray: an array that, once a modulo m is set, keeps only the last
// m entries of an ever-growing sequence (a ring buffer). Its size is the
// logical size, the count of entries ever placed; logical index i lives in
// slot i mod m, and indices below size - m have been overwritten: they read
// as empty handles and writes to them are lost. Appending to a full ring
// replaces the oldest entry. With m = 0 it is a plain ZuArray.
#ifndef SI_CYCARRAY_H
#define SI_CYCARRAY_H

#include "si/array.h"

ZU_HANDLE(ZuCyclicArray, ZuArray)

class ZuCyclicArray : public ZuArray {
    ZU_CLASS(ZuCyclicArray, ZuArray)

public:
    ZuCyclicArray();
    ~ZuCyclicArray() override;

    // Empties the array (reported as a removal), then keeps the modulo.
    virtual bool SetModulo(unsigned int modulo);
    virtual unsigned int RetModulo() const;

    // ZuArray
    bool SetSize(unsigned int size) override;
    ZuObjectRef& Access(unsigned int index) const override;
    bool Insert(unsigned int pos, unsigned int count) override;
    bool Remove(unsigned int pos, unsigned int count) override;
    bool Insert(const ZuObjectRef& object) override;
    using ZuArray::Remove;
    bool GetSimilar(const ZuObjectRef& model, ZuObjectRef& found, unsigned int occurrence) override;
    bool Find(const ZuObjectRef& object, unsigned int& index) override;
    bool Get(unsigned int index, ZuObjectRef& object) override;
    int CompareWith(const ZuObjectRef& other) const override;

protected:
    // The runs of a ring start with the overwritten entries as one gap.
    void InternalGetGapSize(unsigned int pos, unsigned int& gap_size,
                            unsigned int& data_size) override;
    void InternalSetGapSize(unsigned int pos, unsigned int gap_size,
                            unsigned int data_size) override;

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int BlockSize() const { return modulo == 0 ? num_element : ring_slots; }
    // Brings the slot block to `slots` handles (ZuArray::SetSize on the
    // real block); the logical size is the caller's to set afterwards.
    void ResizeBlock(unsigned int slots);

    unsigned int modulo;
    // Handles in the slot block while the ring is in use (at most modulo).
    unsigned int ring_slots;
};
ZU_CLASS_END(ZuCyclicArray)

#endif
