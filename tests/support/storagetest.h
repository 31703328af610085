// A storage over a byte vector and a small persistent class, for the tests
// of the persistence engine and of the classes that store themselves. The
// storage hands its bytes over in place (windows) unless told to serve
// every item through StoreData and RestoreData.
#ifndef ZUVI_TESTS_SUPPORT_STORAGETEST_H
#define ZUVI_TESTS_SUPPORT_STORAGETEST_H

#include "si/storage.h"

#include <cstddef>
#include <vector>

ZU_HANDLE(ZuTestStorage, ZuStorage)

class ZuTestStorage : public ZuStorage {
    ZU_CLASS(ZuTestStorage, ZuStorage)
public:
    ZuTestStorage();
    static ZuTestStorageRef Make();

    // A new run that writes into an empty buffer.
    void StartStoring(StorageMode m = ZU_STORAGE_REMOTE);
    // A new run that reads the given bytes.
    void StartRestoring(const std::vector<unsigned char>& bytes, StorageMode m = ZU_STORAGE_REMOTE);
    void SetMode(StorageMode m) { SetStorageMode(m); }
    // Whether the next runs hand the bytes over in place (the default).
    void SetInPlace(bool on) { in_place = on; }

    const std::vector<unsigned char>& Bytes();
    std::size_t Remaining() const;
    // How often StoreData and RestoreData were called in this run.
    unsigned RetRawCalls() const { return raw_calls; }

    void StoreData(const void* data, unsigned int size) override;
    void RestoreData(void* data, unsigned int size) override;
    std::uint64_t RetRemainingData() const override { return Remaining(); }

private:
    // Brings `used` and `pos` up to where the windows stand.
    void Sync();

    std::vector<unsigned char> out; // `used` bytes written, room after them
    std::size_t used = 0;
    std::vector<unsigned char> in;
    std::size_t pos;
    bool in_place = true;
    unsigned raw_calls = 0;
};
ZU_CLASS_END(ZuTestStorage)

ZU_HANDLE(ZuTestNode, ZuObject)

// A node with a number, two links and a name.
class ZuTestNode : public ZuObject {
    ZU_CLASS(ZuTestNode, ZuObject)
public:
    ZuTestNode();
    static ZuTestNodeRef Make(int value);

    int value;
    ZuObjectRef a;
    ZuObjectRef b;
    ZuAtomRef name;

    void Delete() override;

    // Counts of nodes made and of explicit deletions, for the tests.
    static unsigned made;
    static unsigned deleted;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuTestNode)

ZU_HANDLE(ZuTestNod2, ZuTestNode)

// A later version of the node (its name has the same length, so a test can
// rename it in a stream): it writes the node's fields, then fields of its
// own before the node's end.
class ZuTestNod2 : public ZuTestNode {
    ZU_CLASS(ZuTestNod2, ZuTestNode)
public:
    ZuTestNod2() {}

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuTestNod2)

#endif
