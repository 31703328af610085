// Zuvi_PubData: the run-time record of one data item that a class publishes
// (readable and writable by name through dynamic values), built by the
// class's run-time record from the class's static declaration.
#ifndef SI_PUBDATA_H
#define SI_PUBDATA_H

#include "si/atom.h"
#include "si/bitsetinfo.h"
#include "si/typedef.h"

class ZuObject;
class ZuValueRef;

// The getter fills `value` from the object; the setter writes `value` into
// the object and answers whether it could.
typedef void (*Zuvi_PubDataGetter)(ZuValueRef& value, ZuObject* object);
typedef bool (*Zuvi_PubDataSetter)(const ZuValueRef& value, ZuObject* object);

// The static declaration of a published item.
struct Zuvi_PubDataDef {
    const ZuRuntimeRef* class_rt; // the owner class's run-time class handle
    const char* name;
    const char* description;
    const Zuvi_TypeDef* type_def;
    bool is_read_ok;
    bool is_write_ok;
    Zuvi_PubDataGetter getter;
    Zuvi_PubDataSetter setter;
};

// One member table attached to an item (ZuRuntime::PublishDataEx).
struct Zuvi_PubDataGroup {
    Zuvi_PubDataGroup* next;
    const Zuvi_BitsetDataDef* table;
    unsigned int count;
};

class Zuvi_PubData {
public:
    explicit Zuvi_PubData(Zuvi_PubDataDef& def);
    Zuvi_PubData(const Zuvi_PubData& other);
    Zuvi_PubData& operator=(const Zuvi_PubData& other);
    ~Zuvi_PubData() = default;

    const Zuvi_PubDataDef& RetPubDataDef() const { return def; }
    const ZuAtomRef& RetName() const { return name; }
    const ZuBitsetInfoRef& RetBitsetInfo() const { return bitset_info; }

    // Attaches a member table given with its size in bytes, at the head of
    // the list, unless that very table is attached already. The number of
    // members is the size divided by the size of one declaration record.
    void AttachTable(const Zuvi_BitsetDataDef* table, size_t size_in_bytes);
    // Frees the attached group records (the run-time record owns them: a
    // copy of the item shares them).
    void ReleaseGroups();

    Zuvi_PubData* next;
    Zuvi_PubDataGroup* groups;
    unsigned int group_count;
    ZuBitsetInfoRef bitset_info;
    Zuvi_PubDataDef def;
    Zuvi_PubData* same_name;
    ZuAtomRef name;

    // The name atom from the declaration's name text.
    void Initialise();
};

#endif
