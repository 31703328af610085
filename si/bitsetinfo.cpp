#include "si/bitsetinfo.h"

#include <new>

#include "si/error.h"
#include "si/memzone.h"
#include "si/new.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuBitsetDataType)
ZU_IMPLEMENT_CLASS(ZuBitsetInfo, ZuObject, "si/bitsetinfo", ZU_CLASS_PLAIN)

struct ZuBitsetInfo::Member
{
    Member() : kind(ZU_BITSET_DATA_MASK), number(0), name() {}
    virtual ~Member() = default;

    ZuBitsetDataType kind;
    unsigned int number;
    ZuStringRef name;
};

ZuBitsetInfo::ZuBitsetInfo() : groups(nullptr), group_count(0) {}

ZuBitsetInfo::~ZuBitsetInfo()
{
    ReleaseGroups();
}

// Every member, then every member array, then the group array.
void ZuBitsetInfo::ReleaseGroups()
{
    if (groups) {
        for (unsigned int g = 0; g < group_count; ++g)
            for (unsigned int m = 0; m < groups[g].count; ++m)
                if (Member * member = groups[g].members[m]) {
                    member->~Member();
                    ZuMemZone::FreeAnyZone(member, __LINE__, ZU_SRC_FILE);
                }
        for (unsigned int g = 0; g < group_count; ++g)
            if (groups[g].members)
                ZuMemZone::FreeAnyZone(groups[g].members, __LINE__, ZU_SRC_FILE);
        ZuMemZone::FreeAnyZone(groups, __LINE__, ZU_SRC_FILE);
    }
    groups = nullptr;
    group_count = 0;
}

ZuBitsetInfo::Group * ZuBitsetInfo::NewGroups(unsigned int count, unsigned int line)
{
    if (count == 0)
        return nullptr;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", line, ZU_SRC_FILE);
    Group * result = static_cast<Group *>(
        Zuvi_sys_zone->Alloc(count * sizeof(Group), "BitsetGroup[]", line, ZU_SRC_FILE));
    for (unsigned int g = 0; g < count; ++g) {
        result[g].count = 0;
        result[g].members = nullptr;
    }
    return result;
}

ZuBitsetInfo::Member ** ZuBitsetInfo::NewMembers(unsigned int count, unsigned int line)
{
    if (count == 0)
        return nullptr;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", line, ZU_SRC_FILE);
    Member ** result = static_cast<Member **>(
        Zuvi_sys_zone->Alloc(count * sizeof(Member *), "BitsetMember*[]", line, ZU_SRC_FILE));
    for (unsigned int m = 0; m < count; ++m)
        result[m] = nullptr;
    return result;
}

void ZuBitsetInfo::Initialise(Zuvi_PubData const * item)
{
    ReleaseGroups();
    if (!item)
        return;
    unsigned int count = 0;
    for (Zuvi_PubDataGroup const * iter = item->groups; iter && count < item->group_count;
         iter = iter->next)
        ++count;
    groups = NewGroups(count, __LINE__);
    group_count = count;
    Zuvi_PubDataGroup const * iter = item->groups;
    for (unsigned int g = 0; g < count; ++g, iter = iter->next) {
        groups[g].members = NewMembers(iter->count, __LINE__);
        groups[g].count = iter->count;
        for (unsigned int m = 0; m < iter->count; ++m) {
            Member * member = new (Zuvi_sys_zone, "BitsetMember", __LINE__, ZU_SRC_FILE) Member;
            member->kind = iter->table[m].kind;
            member->number = iter->table[m].number;
            member->name = iter->table[m].name; // a new string of the text
            groups[g].members[m] = member;
        }
    }
}

unsigned int ZuBitsetInfo::CountGroups() const
{
    return group_count;
}

unsigned int ZuBitsetInfo::CountGroupMembers(unsigned int group) const
{
    return group < group_count ? groups[group].count : 0;
}

bool ZuBitsetInfo::GetDescription(unsigned int group, unsigned int member, ZuBitsetDataType & kind,
                                  unsigned int & number, ZuStringRef & name)
{
    if (group >= group_count || member >= groups[group].count)
        return false;
    Member const * entry = groups[group].members[member];
    kind = entry->kind;
    number = entry->number;
    name = entry->name;
    return true;
}
