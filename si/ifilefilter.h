// ZuiFileFilter: decides whether a file entry (its name and description)
// passes. The check mode, true on construction, lets a filter invert its
// answer; the interface stores it.
#ifndef SI_IFILEFILTER_H
#define SI_IFILEFILTER_H

#include "si/interface.h"

class ZuStringRef;
class ZuStorageRef;
class ZuFileAttInfo;

class ZuiFileFilter {
public:
    static const Zuvi_Interface interface;

    virtual ~ZuiFileFilter() = default;
    // begin, the check mode as a bool, end; restored with the current mode
    // as the default.
    virtual void StoreInstance(const ZuStorageRef& storage);
    virtual void RestoreInstance(const ZuStorageRef& storage);
    virtual bool SetCheckMode(bool mode);
    virtual bool RetCheckMode() const;
    virtual bool Check(const ZuStringRef& name, const ZuFileAttInfo& info) const = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiFileFilter() : check_mode(true) {}
    ZuiFileFilter(const ZuiFileFilter&) = default;
    ZuiFileFilter& operator=(const ZuiFileFilter&) = default;

private:
    bool check_mode;
};

#endif
