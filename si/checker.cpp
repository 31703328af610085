#include "si/checker.h"

#include "si/classfactory.h"
#include "si/icheckfilter.h"
#include "si/ipictogram.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/values.h"

namespace {

const char kFile[] = "si/checker";

ZuStorageSync& CheckerRecord()
{
    static ZuStorageSync record("<ZuChecker source validator filters>");
    return record;
}

ZuArrayRef NewArray()
{
    return ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, kFile));
}

// Atoms live as long as the atom table: make them where they are used.
ZuAtomRef TextAtom()
{
    return ZuAtomRef("text");
}

ZuAtomRef SourceChangeAtom()
{
    return ZuAtomRef("OnSourceChange");
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuChecker, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuChecker, ZuiContainer)

ZuAtomRef ZuChecker::notify_validity_changed;
ZU_EXPORT_NOTIFY(ZuChecker, validity_changed, "notify_validity_changed",
                 &ZuChecker::notify_validity_changed)

static Zuvi_TargetExport on_source_change_export(
    [](ZuObject* o) -> bool {
        static_cast<ZuChecker*>(o)->OnSourceChange();
        return true;
    },
    "OnSourceChange", ZuCheckerRef::RetRuntime());

ZuChecker::ZuChecker()
{
    filters = NewArray();
}

ZuArrayRef& ZuChecker::Filters()
{
    // A restored stream may hold no filter array.
    if (filters.IsInvalid())
        filters = NewArray();
    return filters;
}

bool ZuChecker::Initialise(const ZuObjectRef& new_source, const ZuValidatorRef& new_validator)
{
    if (new_source.IsInvalid())
        return false;
    source = new_source;
    validator = new_validator;
    Filters()->RemoveAll();
    ZuObject::AttachObserver(source, ZuObjectRef(this), ZuObject::notify_changed,
                             SourceChangeAtom(), 0);
    return true;
}

bool ZuChecker::InsertFilter(const ZuObjectRef& filter)
{
    if (filter.IsInvalid() || !filter->SupportsInterface(&ZuiCheckFilter::interface))
        return false;
    return Filters()->Insert(filter);
}

bool ZuChecker::RemoveFilter(const ZuObjectRef& filter)
{
    return Filters()->Remove(filter, 0);
}

ZuAtomRef ZuChecker::RetSourceName()
{
    return source.IsValid() ? source->RetUserName() : ZuAtomRef();
}

ZuStringRef ZuChecker::RetErrorMessage()
{
    return ZuStringRef("");
}

ZuValidity ZuChecker::RetValidity()
{
    return record.validity;
}

bool ZuChecker::FindSourceText(ZuStringRef& text) const
{
    if (source.IsInvalid())
        return false;
    ZuValueRef datum;
    if (!source->QueryData(TextAtom(), datum) || datum.IsInvalid()) {
        text = ZuStringRef("");
        return true;
    }
    if (!datum->IsObject())
        return datum->ConvertToString(text, ZuStringRef());
    ZuObjectRef held = datum->RetObject();
    ZuObject* object = held.Resolve();
    if (!object) {
        text = ZuStringRef("");
        return true;
    }
    if (object->IsKindOf(ZuTextRef::RetRuntime())) {
        text = static_cast<ZuText*>(object)->RetString();
        return true;
    }
    if (object->IsKindOf(ZuValueRef::RetRuntime()))
        return static_cast<ZuValue*>(object)->ConvertToString(text, ZuStringRef());
    if (object->SupportsInterface(&ZuiPictogram::interface)) {
        ZuiPictogram* pictogram =
            static_cast<ZuiPictogram*>(object->CastToInterface(&ZuiPictogram::interface));
        text = pictogram->RetText(ZU_TEXTVER_NORMAL);
        return true;
    }
    return false;
}

bool (*ZuChecker::hilite_source)(const ZuObjectRef&, const ZuValidityRecord&) = nullptr;

bool ZuChecker::HiliteSourceError(const ZuValidityRecord& verdict) const
{
    // Only a single-line text editor shows the offending characters.
    return hilite_source != nullptr && hilite_source(source, verdict);
}

void ZuChecker::OnSourceChange()
{
    ZuStringRef text;
    if (!FindSourceText(text))
        return;
    // A filter or an observer may let the checker go while it is checking.
    ZuObjectRef hold(this);
    ZuValidityRecord verdict = ZuValidityRecord::none;
    ZuArrayRef list = Filters();
    for (unsigned int i = 0; i < list->TotalCount(); ++i) {
        ZuObjectRef entry;
        if (!list->Get(i, entry) || entry.IsInvalid())
            continue;
        const ZuiCheckFilter* filter =
            static_cast<const ZuiCheckFilter*>(static_cast<const ZuObject*>(entry.Resolve())
                                                   ->CastToInterface(&ZuiCheckFilter::interface));
        if (!filter)
            continue;
        if (filter->Check(text, verdict) && verdict.validity != ZU_VALIDITY_FALSE)
            break;
    }
    const bool validity_changed = verdict.validity != record.validity;
    HiliteSourceError(verdict);
    if (verdict == record)
        return;
    record = verdict;
    QuickReport(notify_validity_changed, 0);
    if (validity_changed && validator.IsValid())
        validator->NotifyValidityChange(ZuCheckerRef(this), record.validity != ZU_VALIDITY_FALSE);
}

unsigned int ZuChecker::TotalCount() const
{
    return filters.IsValid() ? filters->TotalCount() : 0;
}

bool ZuChecker::Get(unsigned int index, ZuObjectRef& out)
{
    return filters.IsValid() && filters->Get(index, out);
}

void ZuChecker::Delete()
{
    if (filters.IsValid())
        filters->RemoveAll();
    source = ZuObjectNull;
    validator = ZuValidatorRef();
    record = ZuValidityRecord::none;
    ZuBaseController::Delete();
}

void ZuChecker::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::StoreInstance(storage);
    storage << CheckerRecord() << ZuStorageSync::begin;
    storage << source << static_cast<const ZuObjectRef&>(validator)
            << static_cast<const ZuObjectRef&>(filters);
    storage << ZuStorageSync::end;
}

void ZuChecker::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage >> source >> validator >> filters;
    storage >> ZuStorageSync::end;
    record = ZuValidityRecord::none;
}
