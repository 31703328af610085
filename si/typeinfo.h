// Type descriptors: the static type definitions and their registration
// table (si/typedef.h), the lookups of a type by its name, and ZuTypeInfo,
// the object that describes the type of one published data item.
#ifndef SI_TYPEINFO_H
#define SI_TYPEINFO_H

#include "si/bitsetinfo.h"
#include "si/object.h"
#include "si/typedef.h"

class ZuAtomRef;
class ZuStorageRef;

ZU_HANDLE(ZuTypeInfo, ZuObject)

class ZuTypeInfo : public ZuObject {
    ZU_CLASS(ZuTypeInfo, ZuObject)

public:
    ZuTypeInfo();
    ~ZuTypeInfo() override;

    // The class's own definition, found by its run-time class's name; the
    // object stays as it is when the name is not registered.
    virtual void Initialise(const ZuRuntimeRef& runtime);
    virtual void Initialise(const Zuvi_TypeDef* def, const ZuBitsetInfoRef& bitset, bool is_read_ok,
                            bool is_write_ok);
    // The run-time class of a class type (for a typed array, ZuArray's);
    // false for every other type and when there is no definition.
    virtual bool GetRuntimeInfo(ZuRuntimeRef& runtime) const;

    const Zuvi_TypeDef* RetType() const { return type_def; }
    const ZuBitsetInfoRef& RetBitsetInfo() const { return bitset; }
    bool RetReadOk() const { return is_read_ok; }
    bool RetWriteOk() const { return is_write_ok; }

    // The table of registered types, in registration order.
    static unsigned int RetTypeCount();
    static const Zuvi_TypeDef* RetNthType(unsigned int n);
    static ZuAtomRef RetNthName(unsigned int n);
    // A name ending with "Ref" names the type without it ("ZuStringRef"
    // finds "ZuString"); case counts; at most 99 characters are looked at.
    // false leaves `def` as it was.
    static bool FindType(const char* name, const Zuvi_TypeDef*& def);
    static bool FindType(const ZuAtomRef& name, const Zuvi_TypeDef*& def);

protected:
    // "<ZuTypeInfo name bitset is_read_ok is_write_ok>": the definition by
    // its name (an empty atom for none), the bitset information as an
    // object and the two flags. A restored name that is not registered
    // leaves no definition.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    const Zuvi_TypeDef* type_def;
    ZuBitsetInfoRef bitset;
    bool is_read_ok;
    bool is_write_ok;
};
ZU_CLASS_END(ZuTypeInfo)

#endif
