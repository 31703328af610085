#include "si/dataslot.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/values.h"

#include <string>

ZU_IMPLEMENT_CLASS(ZuDataSlot, "si/dataslot", ZU_CLASS_PLAIN)

ZuDataSlot::ZuDataSlot()
{
    name = ZuAtomRef("?");
    fields = ZuNew<ZuDict>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    field_events = ZuNew<ZuDict>(RetMemZone(), __LINE__, ZU_SRC_FILE);
}

ZuDataSlot::~ZuDataSlot()
{
    field_events = ZuDictNull;
    fields = ZuDictNull;
    name = ZuAtomNull;
}

bool ZuDataSlot::SetUserName(const ZuTextRef& text)
{
    ZuAtomRef atom;
    if (text.IsValid()) {
        ZuStringRef s = text->RetString();
        if (s.IsValid()) {
            if (const char* latin = s->AccessLatin())
                atom = latin;
            else if (const unsigned short* wide = s->AccessUnicode())
                atom = wide;
        }
    }
    name = atom;
    return true;
}

ZuAtomRef ZuDataSlot::RetUserName()
{
    return name;
}

bool ZuDataSlot::InsertField(const ZuAtomRef& field, const ZuObjectRef& object)
{
    if (fields.IsInvalid())
        return false;
    if (!fields->Remove(field, 0)) {
        // A new field: give it its notification.
        std::string event = "field_";
        event += static_cast<const char*>(field);
        event += "_changed";
        field_events->Insert(field, ZuAtomRef(event.c_str()));
    }
    fields->Insert(field, object);
    ReportFieldChange(field, 0);
    return true;
}

bool ZuDataSlot::InsertFieldValue(const ZuAtomRef& field, const ZuValueRef& value)
{
    return InsertField(field, ZuObjectRef(value.RetRawObject()));
}

bool ZuDataSlot::RemoveField(const ZuAtomRef& field)
{
    if (fields.IsInvalid())
        return false;
    field_events->Remove(field, 0);
    return fields->Remove(field, 0);
}

bool ZuDataSlot::GetField(const ZuAtomRef& field, ZuObjectRef& object) const
{
    if (fields.IsInvalid())
        return false;
    return fields->GetFromKey(field, object, 0);
}

bool ZuDataSlot::QueryData(const ZuAtomRef& field, ZuObjectRef& out) const
{
    return ZuBaseController::QueryData(field, out) || GetField(field, out);
}

bool ZuDataSlot::GetFieldEventName(const ZuAtomRef& field, ZuAtomRef& event) const
{
    if (field_events.IsInvalid())
        return false;
    ZuObjectRef found;
    if (!field_events->GetFromKey(field, found, 0))
        return false;
    event = found;
    return true;
}

bool ZuDataSlot::ReportFieldChange(const ZuAtomRef& field, unsigned int flags)
{
    ZuAtomRef event;
    if (!GetFieldEventName(field, event))
        return false;
    return Report(event, flags);
}

unsigned int ZuDataSlot::TotalCount() const
{
    return fields.IsValid() ? fields->TotalCount() : 0;
}

bool ZuDataSlot::Get(unsigned int index, ZuObjectRef& out)
{
    if (fields.IsInvalid())
        return false;
    ZuObjectRef key, value;
    if (!fields->Get(index, key, value))
        return false;
    out = key;
    return true;
}

void ZuDataSlot::Delete()
{
    if (fields.IsValid()) {
        fields->RemoveAll();
        fields->Delete();
    }
    if (field_events.IsValid()) {
        field_events->RemoveAll();
        field_events->Delete();
    }
    fields = ZuDictNull;
    field_events = ZuDictNull;
    ZuBaseController::Delete();
}

// ---------------------------------------------------------------- storage

void ZuDataSlot::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::StoreInstance(storage);
    static ZuStorageSync record("<ZuDataSlot fields field_events name>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(fields);
    storage->StoreObject(field_events);
    storage->StoreAtom(name);
    storage << ZuStorageSync::end;
}

void ZuDataSlot::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> fields >> field_events;
    storage->RestoreAtom(name);
    storage >> ZuStorageSync::end;
}
