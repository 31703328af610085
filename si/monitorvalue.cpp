#include "si/monitorvalue.h"

#include "si/atom.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"

ZU_IMPLEMENT_CLASS(ZuMonitorValue, "si/monitorvalue", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuMonitorValue, ZuiSmartSource)
ZU_IMPLEMENT_INTERFACE(ZuMonitorValue, ZuiValue)

ZU_EXPORT_NOTIFY(ZuMonitorValue, flush, "FlushCache", nullptr)
ZU_EXPORT_NOTIFY(ZuMonitorValue, flush_redraw, "FlushCacheAndRedraw", nullptr)

namespace {

ZuMonitorValue* AsMonitor(ZuObject* object)
{
    return static_cast<ZuMonitorValue*>(object);
}

Zuvi_TargetExport flush_cache_export(
    [](ZuObject* object) -> bool {
        AsMonitor(object)->FlushCache();
        return true;
    },
    "FlushCache", ZuMonitorValueRef::RetRuntime());
Zuvi_TargetExport flush_redraw_export(
    [](ZuObject* object) -> bool {
        AsMonitor(object)->FlushCacheAndRedraw();
        return true;
    },
    "FlushCacheAndRedraw", ZuMonitorValueRef::RetRuntime());

void GetValueDatum(ZuValueRef& value, ZuObject* object)
{
    value = AsMonitor(object)->RetValue();
}
bool SetValueDatum(const ZuValueRef& value, ZuObject* object)
{
    return AsMonitor(object)->SetValue(Zuvi_ValueToZuValue(value));
}

void DeclareMonitorData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef item = {&ZuMonitorValueRef::RetRuntime(),
                                   "value",
                                   "Value",
                                   &ZuValue_type,
                                   true,
                                   true,
                                   &GetValueDatum,
                                   &SetValueDatum};
    runtime->PublishData(item);
}
Zuvi_PubDataExport monitor_data(&DeclareMonitorData, ZuMonitorValueRef::RetRuntime());

} // namespace

void ZuMonitorValue::Delete()
{
    Cleanup();
    ZuControl::Delete();
}

void ZuMonitorValue::Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument)
{
    ZuControl::Broadcast(name, argument);
    if (name == "Refresh")
        FlushCache();
}

void ZuMonitorValue::Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op)
{
    UpdateInternal();
    ZuControl::Draw(port, rect, op);
}

void ZuMonitorValue::FlushCacheAndRedraw()
{
    FlushCache();
    Display(true);
}

bool ZuMonitorValue::SetValue(const ZuValueRef& new_value)
{
    // No entry yet: one without root or name, which holds the value.
    if (RetValueCount() == 0)
        InitValueByName(0, ZuObjectRef(), ZuAtomRef());
    value = new_value;
    return SetNthValue(0, new_value);
}

ZuValueRef ZuMonitorValue::RetValue()
{
    if (!GetNthValue(0, value))
        value = ZuValueRef();
    return value;
}

void ZuMonitorValue::StoreInstance(const ZuStorageRef& storage)
{
    ZuControl::StoreInstance(storage);
    ZuiSmartSource::StoreInstance(storage);
    static ZuStorageSync record("<ZuMonitorValue>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuMonitorValue::RestoreInstance(const ZuStorageRef& storage)
{
    ZuControl::RestoreInstance(storage);
    ZuiSmartSource::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
