// ZuBitsetInfo: the named members of a 64-bit set that a class publishes as
// a data item, in groups; built from the class's static member tables, held
// by the item's type descriptor, and storable.
#ifndef SI_BITSETINFO_H
#define SI_BITSETINFO_H

#include "si/enumfamily.h"
#include "si/object.h"

// How a member's number is meant: a mask of bits, a bit number or a value.
// clang-format off
#define ZU_BITSET_DATA_TYPE_LIST(X)                                             \
    X(ZU_BITSET_DATA_MASK, 0) X(ZU_BITSET_DATA_BIT, 1) X(ZU_BITSET_DATA_VALUE, 2)
// clang-format on
ZU_ENUM(ZuBitsetDataType, ZU_BITSET_DATA_TYPE_LIST)

// The static declaration of one member. A class declares a group as a
// constant array of these and attaches it to a published item
// (ZuRuntime::PublishDataEx); the number of entries of such a table is
// ZU_BITSET_TABLE_COUNT(sizeof table), whatever the record's size is on the
// platform.
struct Zuvi_BitsetDataDef {
    unsigned int number;
    const char* name;
    ZuBitsetDataType kind;
};

#define ZU_BITSET_TABLE_COUNT(size_in_bytes) ((size_in_bytes) / sizeof(Zuvi_BitsetDataDef))

class Zuvi_PubData;
class ZuStringRef;
class ZuStorageRef;

ZU_HANDLE(ZuBitsetInfo, ZuObject)

class ZuBitsetInfo : public ZuObject {
    ZU_CLASS(ZuBitsetInfo, ZuObject)

public:
    ZuBitsetInfo();
    ~ZuBitsetInfo() override;

    // Takes the groups attached to the item, in the item's order (the group
    // attached last first).
    virtual void Initialise(const Zuvi_PubData* item);
    virtual unsigned int CountGroups() const;
    // 0 for a group out of range.
    virtual unsigned int CountGroupMembers(unsigned int group) const;
    // false (outputs unchanged) for a group or member out of range; the
    // name is the member's own string, shared.
    virtual bool GetDescription(unsigned int group, unsigned int member, ZuBitsetDataType& kind,
                                unsigned int& number, ZuStringRef& name);

protected:
    // "<ZuBitsetInfo group_num { <group num { <member type value name> } > } >".
    // Restoring replaces the groups held only once the whole record has
    // been read; a record cut short leaves them as they were.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    struct Member;
    struct Group {
        unsigned int count;
        Member** members;
    };

    struct PendingGroups;

    void ReleaseGroups();
    Group* NewGroups(unsigned int count, unsigned int line);
    Member** NewMembers(unsigned int count, unsigned int line);

    Group* groups;
    unsigned int group_count;
};
ZU_CLASS_END(ZuBitsetInfo)

#endif
