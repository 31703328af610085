// ZuiSmartSource: numbered values read from other objects, each given by a
// root object and the name (an atom) or path (a string with "." between the
// names) of a data item of that root, kept in a cache.
#ifndef SI_ISMARTSOURCE_H
#define SI_ISMARTSOURCE_H

#include "si/array.h"
#include "si/interface.h"
#include "si/text.h"
#include "si/values.h"

class ZuStorageRef;

class ZuiSmartSource {
public:
    static const Zuvi_Interface interface;

    virtual ~ZuiSmartSource();
    // "<ZuiSmartSource query_roots query_names is_cache_volatile max_num num>";
    // restoring leaves the cache to be read again.
    virtual void StoreInstance(const ZuStorageRef& storage);
    virtual void RestoreInstance(const ZuStorageRef& storage);
    // Reads every value again when the cache is not valid or is volatile,
    // then calls DoUpdate.
    virtual void UpdateInternal();
    // Implementers redraw or react here.
    virtual void DoUpdate();
    // Empties the three arrays (they stay).
    virtual void Cleanup();
    // Refused (false) at or past the maximum count when there is one; an
    // index past the count makes the count index + 1.
    virtual bool InitValueByName(unsigned int index, const ZuObjectRef& root,
                                 const ZuAtomRef& name);
    virtual bool InitValueByPath(unsigned int index, const ZuObjectRef& root,
                                 const ZuStringRef& path);
    // Writes the value into its root's data item when the index has both; an
    // index without a root or a name takes the value itself as its root.
    virtual bool SetNthValue(unsigned int index, const ZuValueRef& value);
    virtual bool GetNthValue(unsigned int index, ZuValueRef& value) const;
    virtual void UpdateCache();
    virtual void FlushCache();
    virtual void EnableCache(bool enable);
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiSmartSource();
    // The cached entry as it stands, without reading anything again: for
    // DoUpdate, which runs inside the update (an empty handle when missing).
    ZuValueRef RetCachedValue(unsigned int index) const;
    // The count of entries.
    unsigned int RetValueCount() const { return num; }
    ZuiSmartSource(const ZuiSmartSource&) = delete;
    ZuiSmartSource& operator=(const ZuiSmartSource&) = delete;

private:
    bool InitValue(unsigned int index, const ZuObjectRef& root, const ZuObjectRef& name);

    ZuArrayRef query_roots; // the object that holds each value
    ZuTextArray query_names;
    ZuValueArray values;
    bool is_cache_valid;
    bool is_cache_volatile;
    unsigned int max_num;
    unsigned int num;
};

#endif
