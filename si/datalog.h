// ZuDataLog: a sequence of values of one simple type, kept without limit or
// in a ring that keeps only the latest entries. Bool, 32-bit signed and
// unsigned, and real entries are packed natively in a byte buffer; any other
// type is logged as dynamic values. As a smart source it can be bound to a
// value another object publishes and append that value's reading on request.
#ifndef SI_DATALOG_H
#define SI_DATALOG_H

#include "si/basecontainer.h"
#include "si/ismartsource.h"
#include "si/types.h"
#include "si/values.h"

ZU_HANDLE(ZuDataLog, ZuBaseContainer)

class ZuDataLog : public ZuBaseContainer, public ZuiSmartSource {
    ZU_CLASS(ZuDataLog, ZuBaseContainer)

public:
    ZuDataLog();
    ~ZuDataLog() override;

    // Empties the log and sets its type and ring size (0 = unlimited). Types
    // other than none, bool, int, card and real make a log of values
    // (type ZU_TYPE_OBJECT).
    virtual void InitLog(ZuSimpleType type, unsigned int cyclic_size);
    virtual ZuSimpleType RetType();
    // A log of values stores the handle itself; a packed log converts a
    // value of a simple numeric kind to its own type.
    virtual bool InsertValue(const ZuValueRef& value);
    // Appends the current reading of the first bound value.
    virtual void AutoInsertFromSource();
    virtual void FlushCacheAndAutoInsertFromSource();
    // Only into a packed log of the same type, or a log of values.
    virtual bool InsertCard32(unsigned int number);
    virtual bool InsertInt32(int number);
    virtual bool InsertBool(bool flag);
    virtual bool InsertReal(double real);
    // Entry n of a packed log of the same type (no conversion).
    virtual bool GetNthCard32(unsigned int n, unsigned int& out) const;
    virtual bool GetNthInt32(unsigned int n, int& out) const;
    virtual bool GetNthBool(unsigned int n, bool& out) const;
    virtual bool GetNthReal(unsigned int n, double& out) const;
    // Copies count consecutive entries from entry start (a ring wraps
    // around); false, with what was copied left in out, when it runs out of
    // entries.
    virtual bool GetMultipleCard32(unsigned int start, unsigned int* out, unsigned int count) const;
    virtual bool GetMultipleInt32(unsigned int start, int* out, unsigned int count) const;
    virtual bool GetMultipleBool(unsigned int start, bool* out, unsigned int count) const;
    virtual bool GetMultipleReal(unsigned int start, double* out, unsigned int count) const;

    // Bind the source of AutoInsertFromSource (value 0).
    using ZuiSmartSource::InitValueByName;
    using ZuiSmartSource::InitValueByPath;
    bool InitValueByName(const ZuObjectRef& object, const ZuAtomRef& name);
    bool InitValueByPath(const ZuObjectRef& object, const ZuStringRef& path);

    void Delete() override;
    bool SpecifyExtraction(const ZuArrayRef& extraction) override;

    // ZuiContainer
    unsigned int TotalCount() const override;
    bool Get(unsigned int n, ZuObjectRef& out) override;

    // ZuiSmartSource: entry n as a value.
    bool GetNthValue(unsigned int n, ZuValueRef& out) const override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The place of a new entry, with room made for it; false when the
    // storage cannot grow that far.
    bool NewPlace(unsigned int& place);
    bool InsertSimple(ZuSimpleType kind, const void* entry);
    // The place of entry n, or false.
    bool PlaceOf(unsigned int n, unsigned int& place) const;
    bool GetNthSimple(ZuSimpleType kind, unsigned int n, void* out) const;
    bool GetMultipleSimple(ZuSimpleType kind, unsigned int start, void* out,
                           unsigned int count) const;

    ZuSimpleType type;
    unsigned char* simple_data;
    unsigned int simple_size;
    ZuValueArray values;
    unsigned int count;
    unsigned int capacity;
    unsigned int cyclic_size;
    bool is_cyclic;
    bool is_simple;
};
ZU_CLASS_END(ZuDataLog)

#endif
