// ZuAttributeFileFilter: keeps the directory entries whose attribute bits,
// taken through a mask, equal the expected values (or, with the check mode
// false, differ from them). The name is not looked at.
#ifndef SI_ATTFILEFILTER_H
#define SI_ATTFILEFILTER_H

#include "si/fileatt.h"
#include "si/ifilefilter.h"
#include "si/object.h"

ZU_HANDLE(ZuAttributeFileFilter, ZuObject)

class ZuAttributeFileFilter : public ZuObject, public ZuiFileFilter
{
    ZU_CLASS(ZuAttributeFileFilter, ZuObject)
public:
    ZuAttributeFileFilter();

    // SetMatchData(data), then SetMatchMask(mask).
    virtual bool SetMatch(Bitset<ZuFileAttributesBit> const& data,
                          Bitset<ZuFileAttributesBit> const& mask);
    virtual bool SetMatchData(Bitset<ZuFileAttributesBit> const& data);
    virtual bool SetMatchMask(Bitset<ZuFileAttributesBit> const& mask);
    virtual Bitset<ZuFileAttributesBit> RetMatchData();
    virtual Bitset<ZuFileAttributesBit> RetMatchMask();

    bool Check(ZuStringRef const& name, ZuFileAttInfo const& info) const override;

    // Takes the data and mask of another attribute filter (not its check
    // mode).
    ZuObjectRef Copy(ZuObjectRef const& other) override;

    // The root part, the record "<ZuAttributeFileFilter <ZuiFileFilter>
    // match_data match_mask>", begin, the interface's part (its check mode),
    // the data, the mask, end. Reached through the interface too.
    void StoreInstance(ZuStorageRef const& storage) override;
    void RestoreInstance(ZuStorageRef const& storage) override;

private:
    Bitset<ZuFileAttributesBit> match_data;
    Bitset<ZuFileAttributesBit> match_mask;
};

ZU_CLASS_END(ZuAttributeFileFilter)

#endif
