// ZuAttributeFileFilter: keeps the directory entries whose attribute bits,
// taken through a mask, equal the expected values (or, with the check mode
// false, differ from them). The name is not looked at.
#ifndef SI_ATTFILEFILTER_H
#define SI_ATTFILEFILTER_H

#include "si/fileatt.h"
#include "si/ifilefilter.h"
#include "si/object.h"

ZU_HANDLE(ZuAttributeFileFilter, ZuObject)

class ZuAttributeFileFilter : public ZuObject, public ZuiFileFilter {
    ZU_CLASS(ZuAttributeFileFilter, ZuObject)
public:
    ZuAttributeFileFilter();

    // SetMatchData(data), then SetMatchMask(mask).
    virtual bool SetMatch(const Bitset<ZuFileAttributesBit>& data,
                          const Bitset<ZuFileAttributesBit>& mask);
    virtual bool SetMatchData(const Bitset<ZuFileAttributesBit>& data);
    virtual bool SetMatchMask(const Bitset<ZuFileAttributesBit>& mask);
    virtual Bitset<ZuFileAttributesBit> RetMatchData();
    virtual Bitset<ZuFileAttributesBit> RetMatchMask();

    bool Check(const ZuStringRef& name, const ZuFileAttInfo& info) const override;

    // Takes the data and mask of another attribute filter (not its check
    // mode).
    ZuObjectRef Copy(const ZuObjectRef& other) override;

    // The root part, the record "<ZuAttributeFileFilter <ZuiFileFilter>
    // match_data match_mask>", begin, the interface's part (its check mode),
    // the data, the mask, end. Reached through the interface too.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    Bitset<ZuFileAttributesBit> match_data;
    Bitset<ZuFileAttributesBit> match_mask;
};

ZU_CLASS_END(ZuAttributeFileFilter)

#endif
