#include "si/bitsetinfo.h"

#include <new>
#include <vector>

#include "si/error.h"
#include "si/memzone.h"
#include "si/new.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuBitsetDataType)
ZU_IMPLEMENT_CLASS(ZuBitsetInfo, "si/bitsetinfo", ZU_CLASS_PLAIN)

struct ZuBitsetInfo::Member {
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
                if (Member* member = groups[g].members[m]) {
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

ZuBitsetInfo::Group* ZuBitsetInfo::NewGroups(unsigned int count, unsigned int line)
{
    if (count == 0)
        return nullptr;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", line, ZU_SRC_FILE);
    Group* result = static_cast<Group*>(
        Zuvi_sys_zone->Alloc(count * sizeof(Group), "BitsetGroup[]", line, ZU_SRC_FILE));
    for (unsigned int g = 0; g < count; ++g) {
        result[g].count = 0;
        result[g].members = nullptr;
    }
    return result;
}

ZuBitsetInfo::Member** ZuBitsetInfo::NewMembers(unsigned int count, unsigned int line)
{
    if (count == 0)
        return nullptr;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", line, ZU_SRC_FILE);
    Member** result = static_cast<Member**>(
        Zuvi_sys_zone->Alloc(count * sizeof(Member*), "BitsetMember*[]", line, ZU_SRC_FILE));
    for (unsigned int m = 0; m < count; ++m)
        result[m] = nullptr;
    return result;
}

void ZuBitsetInfo::Initialise(const Zuvi_PubData* item)
{
    ReleaseGroups();
    if (!item)
        return;
    unsigned int count = 0;
    for (const Zuvi_PubDataGroup* iter = item->groups; iter && count < item->group_count;
         iter = iter->next)
        ++count;
    groups = NewGroups(count, __LINE__);
    group_count = count;
    const Zuvi_PubDataGroup* iter = item->groups;
    for (unsigned int g = 0; g < count; ++g, iter = iter->next) {
        groups[g].members = NewMembers(iter->count, __LINE__);
        groups[g].count = iter->count;
        for (unsigned int m = 0; m < iter->count; ++m) {
            Member* member = new (Zuvi_sys_zone, "BitsetMember", __LINE__, ZU_SRC_FILE) Member;
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

bool ZuBitsetInfo::GetDescription(unsigned int group, unsigned int member, ZuBitsetDataType& kind,
                                  unsigned int& number, ZuStringRef& name)
{
    if (group >= group_count || member >= groups[group].count)
        return false;
    const Member* entry = groups[group].members[member];
    kind = entry->kind;
    number = entry->number;
    name = entry->name;
    return true;
}

namespace {
ZuStorageSync
    bitset_info_record("<ZuBitsetInfo group_num { <group num { <member type value name> } > } >");
}

void ZuBitsetInfo::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << bitset_info_record << ZuStorageSync::begin;
    storage->StoreCard(group_count);
    storage << ZuStorageSync::repeat;
    for (unsigned int g = 0; g < group_count; ++g) {
        storage << ZuStorageSync::begin;
        storage->StoreCard(groups[g].count);
        storage << ZuStorageSync::repeat;
        for (unsigned int m = 0; m < groups[g].count; ++m) {
            const Member* member = groups[g].members[m];
            storage << ZuStorageSync::begin;
            storage->StoreCard(member->kind);
            storage->StoreCard(member->number);
            storage << ZuObjectRef(member->name);
            storage << ZuStorageSync::end;
        }
        storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
    }
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

// What has been read so far; given back when the read stops half-way.
struct ZuBitsetInfo::PendingGroups {
    std::vector<std::vector<Member*>> groups;

    ~PendingGroups()
    {
        for (auto& group : groups)
            for (Member* member : group)
                if (member) {
                    member->~Member();
                    ZuMemZone::FreeAnyZone(member, __LINE__, ZU_SRC_FILE);
                }
    }
};

void ZuBitsetInfo::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    unsigned int stored_groups = 0;
    storage >> stored_groups;
    storage >> ZuStorageSync::repeat;

    // The counts come from outside: the lists grow with what is actually
    // read, never to the size a count claims, and a stream that ends early
    // throws before anything is replaced.
    PendingGroups pending;
    for (unsigned int g = 0; g < stored_groups; ++g) {
        pending.groups.emplace_back();
        storage >> ZuStorageSync::begin;
        unsigned int stored_members = 0;
        storage >> stored_members;
        storage >> ZuStorageSync::repeat;
        for (unsigned int m = 0; m < stored_members; ++m) {
            storage >> ZuStorageSync::begin;
            unsigned char kind = 0;
            unsigned int number = 0;
            ZuStringRef name;
            storage >> kind >> number >> name;
            storage >> ZuStorageSync::end;
            if (!Zuvi_sys_zone)
                ZuMemZone::NullAllocZone("Zuvi_sys_zone", __LINE__, ZU_SRC_FILE);
            pending.groups.back().push_back(nullptr);
            Member* member = new (Zuvi_sys_zone, "BitsetMember", __LINE__, ZU_SRC_FILE) Member;
            pending.groups.back().back() = member;
            member->kind = static_cast<ZuBitsetDataType>(kind);
            member->number = number;
            member->name = name;
        }
        storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
    }
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;

    // Everything read: the new arrays are made first, then the old groups
    // go and the new ones take their place.
    unsigned int count = static_cast<unsigned int>(pending.groups.size());
    Group* fresh = NewGroups(count, __LINE__);
    try {
        for (unsigned int g = 0; g < count; ++g) {
            unsigned int members = static_cast<unsigned int>(pending.groups[g].size());
            fresh[g].members = NewMembers(members, __LINE__);
            fresh[g].count = members;
        }
    } catch (...) {
        for (unsigned int g = 0; g < count; ++g)
            if (fresh[g].members)
                ZuMemZone::FreeAnyZone(fresh[g].members, __LINE__, ZU_SRC_FILE);
        if (fresh)
            ZuMemZone::FreeAnyZone(fresh, __LINE__, ZU_SRC_FILE);
        throw;
    }
    ReleaseGroups();
    groups = fresh;
    group_count = count;
    for (unsigned int g = 0; g < count; ++g)
        for (unsigned int m = 0; m < groups[g].count; ++m) {
            groups[g].members[m] = pending.groups[g][m];
            pending.groups[g][m] = nullptr;
        }
}
