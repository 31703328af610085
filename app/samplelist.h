// CSampleList: an ordered list of samples (CSampleNode) with a current one.
// A document holds six, in this order: "Tout", "Trait", "Intérieur",
// "Ombre", "Forme", "Mise en page"; a sample file holds the six one after
// the other.
//
// An index that has no sample makes an operation answer false (or the
// value its comment gives).
//
// Stored record (after the object part): begin, the samples (an array
// object), Int current, end. A stored list that holds anything but samples
// is refused as corrupt input.
#ifndef LUMBRA_APP_SAMPLELIST_H
#define LUMBRA_APP_SAMPLELIST_H

#include "app/samplenode.h"
#include "si/array.h"

ZU_HANDLE(CSampleList, ZuObject)

class CSampleList : public ZuObject {
    ZU_CLASS(CSampleList, ZuObject)
public:
    CSampleList();
    ~CSampleList() override;
    void Delete() override;

    int Count() const;
    bool Remove(int index);
    // A new, empty sample at index (0 .. Count()).
    bool InsertNew(int index);
    bool Swap(int i, int j);
    int GetCurrent() const { return current; }
    bool SetCurrent(int index);
    bool GetName(int index, ZuStringRef& name) const;
    bool SetName(int index, const ZuStringRef& name);
    bool SetDef(int index, int code, const CDefRef& def);
    // -1 without a sample at index, 0 for an empty slot.
    int GetKind(int index) const;
    bool SetKind(int index, int kind);
    // The null run-time handle without a sample.
    ZuRuntimeRef& GetObject(int index);
    bool SetObject(int index, const ZuRuntimeRef& rt);
    // Empty without a sample.
    CSampleNodeRef GetNode(int index) const;

    // After a read (the storage's FinallyAwake): a list that holds anything
    // but samples is refused with ZuExcStream.
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    bool Has(int index) const;

    int current = 0;
    CSampleNodeArray nodes;
};
ZU_CLASS_END(CSampleList)

#endif
