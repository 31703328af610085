#include "si/pubdata.h"

#include "si/error.h"
#include "si/memzone.h"

Zuvi_PubData::Zuvi_PubData(Zuvi_PubDataDef& def_)
    : next(nullptr), groups(nullptr), group_count(0), bitset_info(), def(def_), same_name(nullptr),
      name()
{}

Zuvi_PubData::Zuvi_PubData(const Zuvi_PubData& other)
    : next(other.next), groups(other.groups), group_count(other.group_count),
      bitset_info(other.bitset_info), def(other.def), same_name(other.same_name), name(other.name)
{}

Zuvi_PubData& Zuvi_PubData::operator=(const Zuvi_PubData& other)
{
    next = other.next;
    groups = other.groups;
    group_count = other.group_count;
    bitset_info = other.bitset_info;
    def = other.def;
    same_name = other.same_name;
    name = other.name;
    return *this;
}

void Zuvi_PubData::Initialise()
{
    name = def.name;
}

void Zuvi_PubData::AttachTable(const Zuvi_BitsetDataDef* table, size_t size_in_bytes)
{
    for (Zuvi_PubDataGroup* iter = groups; iter; iter = iter->next)
        if (iter->table == table)
            return;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", __LINE__, ZU_SRC_FILE);
    Zuvi_PubDataGroup* group = static_cast<Zuvi_PubDataGroup*>(Zuvi_sys_zone->Alloc(
        sizeof(Zuvi_PubDataGroup), "Zuvi_PubDataGroup", __LINE__, ZU_SRC_FILE));
    group->next = groups;
    group->table = table;
    group->count = static_cast<unsigned int>(ZU_BITSET_TABLE_COUNT(size_in_bytes));
    groups = group;
    ++group_count;
}

void Zuvi_PubData::ReleaseGroups()
{
    while (groups) {
        Zuvi_PubDataGroup* group = groups;
        groups = group->next;
        ZuMemZone::FreeAnyZone(group, __LINE__, ZU_SRC_FILE);
    }
    group_count = 0;
}
