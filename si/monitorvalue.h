// ZuMonitorValue: a control that shows one value read from a data source.
// The value comes through the smart source (entry 0): whoever sets it, a
// datum of another object or SetValue, the source caches it, and each draw
// first brings the cache up to date. A "Refresh" broadcast or the
// "FlushCache" target marks the cache out of date; "FlushCacheAndRedraw"
// also schedules a redisplay. The value itself is not stored.
#ifndef SI_MONITORVALUE_H
#define SI_MONITORVALUE_H

#include "si/control.h"
#include "si/ismartsource.h"
#include "si/ivalue.h"
#include "si/values.h"

ZU_HANDLE(ZuMonitorValue, ZuControl)
class ZuMonitorValue : public ZuControl, public ZuiSmartSource, public ZuiValue {
    ZU_CLASS(ZuMonitorValue, ZuControl)
public:
    ZuMonitorValue() {}

    // Empties the source's cache, then deletes the control.
    void Delete() override;
    // The control's broadcast; "Refresh" also flushes the cache.
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;
    // Brings the cache up to date, then draws.
    using ZuControl::Draw;
    void Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op) override;

    // Flushes the cache and asks for a delayed redisplay of the control.
    virtual void FlushCacheAndRedraw();

    // ZuiValue. The first value gives the source its one entry (no root,
    // no name: the entry holds the value itself); the answer is the
    // source's.
    bool SetValue(const ZuValueRef& value) override;
    // Entry 0 of the source; the empty value when it has none.
    ZuValueRef RetValue() override;

protected:
    // The control's part, the source's part, then "<ZuMonitorValue>" with
    // no field.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuValueRef value;
};
ZU_CLASS_END(ZuMonitorValue)

#endif
