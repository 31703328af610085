#include "si/datarep.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuDataReport, "si/datarep", ZU_CLASS_PLAIN)

static Zuvi_TargetExport changed_export(
    [](ZuObject* o, const ZuObjectRef& source, unsigned flags) -> bool {
        static_cast<ZuDataReport*>(o)->Changed(source, flags);
        return true;
    },
    "Changed", ZuDataReportRef::RetRuntime());
ZU_EXPORT_NOTIFY(ZuDataReport, changed, "Changed", nullptr)

static ZuStorageSync data_report_record("<ZuDataReport query_name query_path query_format "
                                        "def_object def_name def_path action_name action_path "
                                        "is_visible>");

static const char volatile_observer[] = "Zuvi.volatile.observer";

ZuDataReport::ZuDataReport() : is_visible(true) {}

void ZuDataReport::TakeVolatileAttribute(const ZuObjectRef& object)
{
    if (object.IsValid() && object->GetAttribute(volatile_observer, 0) &&
        !GetAttribute(volatile_observer, 0))
        SetAttribute(volatile_observer);
}

void ZuDataReport::Initialise(const ZuObjectRef& source, const ZuAtomRef& notification,
                              const ZuAtomRef& query, const ZuObjectRef& target,
                              const ZuAtomRef& datum, const ZuAtomRef& action, bool visible)
{
    TakeVolatileAttribute(source);
    DefineQuery(query, ZuStringRef());
    DefineTarget(target, datum);
    DefineAction(action);
    SetVisible(visible);
    // Without a source there is nothing to observe.
    if (source.IsValid())
        ZuObject::AttachObserver(source, ZuObjectRef(this), notification, ZuAtomRef("Changed"), 0);
}

void ZuDataReport::DefineQuery(const ZuAtomRef& name, const ZuStringRef& format)
{
    query_name = name;
    query_path = ZuStringRef();
    query_format = format;
}

void ZuDataReport::DefineQueryPath(const ZuStringRef& path, const ZuStringRef& format)
{
    query_name = ZuAtomRef();
    query_path = path;
    query_format = format;
}

void ZuDataReport::DefineTarget(const ZuObjectRef& object, const ZuAtomRef& name)
{
    if (def_object.IsValid())
        def_object->UnregisterAsTargetOf(ZuObjectRef(this));
    TakeVolatileAttribute(object);
    def_object = object;
    def_name = name;
    def_path = ZuStringRef();
    if (def_object.IsValid())
        def_object->RegisterAsTargetOf(ZuObjectRef(this));
}

void ZuDataReport::DefineTargetPath(const ZuObjectRef& object, const ZuStringRef& path)
{
    def_object = object;
    def_name = ZuAtomRef();
    def_path = path;
    TakeVolatileAttribute(object);
}

void ZuDataReport::DefineAction(const ZuAtomRef& name)
{
    action_name = name;
    action_path = ZuStringRef();
}

void ZuDataReport::DefineActionPath(const ZuStringRef& path)
{
    action_name = ZuAtomRef();
    action_path = path;
}

void ZuDataReport::SetVisible(bool visible)
{
    is_visible = visible;
}

bool ZuDataReport::IsVisible() const
{
    return is_visible;
}

void ZuDataReport::Changed(const ZuObjectRef& source, unsigned int)
{
    if (source.IsInvalid() || def_object.IsInvalid())
        return;
    if (def_object->GetCurrentReportID() == ZuObject::global_report_id)
        return;
    // The target may let the report go while it is being served.
    ZuObjectRef hold(this);
    ZuObjectRef target = def_object;
    ZuValueRef value;
    if (query_name.IsValid()) {
        if (!source->QueryData(query_name, value))
            return;
    } else if (query_path.IsValid()) {
        if (!ZuObject::QueryData(source, ZuTextRef(query_path), value))
            return;
    }
    if (def_name.IsValid() || def_path.IsValid()) {
        // With no query the target is given an empty value, which still
        // carries the format.
        if (value.IsInvalid())
            value.NewValue();
        value->SetAutoFormat(query_format);
        if (def_name.IsValid())
            target->DefineData(def_name, value);
        else
            ZuObject::DefineData(target, ZuTextRef(def_path), value);
    }
    if (action_name.IsValid())
        target->Action(action_name, ZuObjectNull, 0);
    else if (action_path.IsValid())
        ZuObject::Action(target, ZuTextRef(action_path));
}

void ZuDataReport::Delete()
{
    if (def_object.IsValid())
        def_object->UnregisterAsTargetOf(ZuObjectRef(this));
    def_object = ZuObjectNull;
    ZuObject::Delete();
}

void ZuDataReport::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << data_report_record << ZuStorageSync::begin;
    s << query_name << ZuObjectRef(query_path) << ZuObjectRef(query_format) << def_object
      << def_name << ZuObjectRef(def_path) << action_name << ZuObjectRef(action_path) << is_visible;
    s << ZuStorageSync::end;
}

void ZuDataReport::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreAtom(query_name);
    s >> query_path >> query_format >> def_object;
    s->RestoreAtom(def_name);
    s >> def_path;
    s->RestoreAtom(action_name);
    s >> action_path;
    is_visible = s->RestoreBool(is_visible);
    s >> ZuStorageSync::end;
}
