#include "si/localeman.h"

#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/localeman";

} // namespace

ZU_IMPLEMENT_CLASS(ZuLocaleMan, kFile, ZU_CLASS_NOT_STORED)
ZU_IMPLEMENT_INTERFACE(ZuLocaleMan, ZuiContainer)

ZuLocaleManRef ZuLocaleMan::current;
ZuLocaleMan* ZuLocaleMan::live = nullptr;

ZuLocaleMan::ZuLocaleMan()
{
    locales = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, kFile);
    for (Zuvi_LocaleMappingDef* def = Zuvi_LocaleMappingDef::head; def != nullptr; def = def->next)
        Register(def);
}

ZuLocaleMan::~ZuLocaleMan() {}

void ZuLocaleMan::Register(Zuvi_LocaleMappingDef* def)
{
    if (def == nullptr || def->locale_name == nullptr || def->locale_name[0] == '\0')
        return;
    ZuAtomRef name(def->locale_name);
    ZuLocaleRef locale = FindLocale(name);
    if (locale.IsInvalid()) {
        locale = ZuNew<ZuLocale>(Zuvi_app_zone, __LINE__, kFile);
        locale->Initialise(name);
        locales->Insert(name, locale);
    }
    locale->Register(def);
}

void ZuLocaleMan::RegisterWithCurrent(Zuvi_LocaleMappingDef* def)
{
    if (live != nullptr)
        live->Register(def);
}

bool ZuLocaleMan::SetActiveLocale(const ZuLocaleRef& locale)
{
    if (locale.RetRawObject() == active.RetRawObject())
        return true;
    if (active.IsValid())
        ZuClassFactory::RemovePatch(active);
    active = locale;
    if (active.IsValid())
        ZuClassFactory::InsertPatch(active);
    return true;
}

bool ZuLocaleMan::SetActiveLocale(const ZuAtomRef& name)
{
    ZuLocaleRef locale = FindLocale(name);
    if (locale.IsInvalid())
        return false;
    return SetActiveLocale(locale);
}

ZuLocaleRef ZuLocaleMan::RetActiveLocale() const
{
    return active;
}

ZuLocaleRef ZuLocaleMan::FindLocale(const ZuAtomRef& name) const
{
    ZuObjectRef value;
    if (name.IsInvalid() || locales.IsInvalid() || !locales->GetFromKey(name, value, 0))
        return ZuLocaleNull;
    return ZuLocaleRef(value);
}

bool ZuLocaleMan::FillLocaleArray(ZuArrayRef& array) const
{
    if (array.IsInvalid())
        array = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, kFile);
    const unsigned n = TotalCount();
    array->SetSize(n);
    ZuObjectRef key, value;
    for (unsigned i = 0; i < n; ++i) {
        locales->Get(i, key, value);
        array->Access(i) = value;
    }
    return true;
}

unsigned int ZuLocaleMan::TotalCount() const
{
    return locales.IsValid() ? locales->TotalCount() : 0;
}

bool ZuLocaleMan::Get(unsigned int index, ZuObjectRef& out)
{
    if (index >= TotalCount())
        return false;
    ZuObjectRef key;
    return locales->Get(index, key, out);
}

// The active locale leaves the class factory first: a deleted locale must
// not stay one of its patches.
void ZuLocaleMan::Delete()
{
    SetActiveLocale(ZuLocaleNull);
    if (locales.IsValid()) {
        ZuObjectRef key, value;
        while (locales->TotalCount() != 0) {
            locales->Get(0u, key, value);
            locales->Remove(0u);
            if (value.IsValid())
                value->Delete();
        }
        locales->Delete();
        locales = ZuDictNull;
    }
    if (live == this)
        live = nullptr;
    ZuObject::Delete();
}

void ZuLocaleMan::Initialise()
{
    current = ZuNew<ZuLocaleMan>(Zuvi_app_zone, __LINE__, kFile);
    live = current.RetRawObject();
    const ZuObjectRef& app = Zuvi_RetApplication();
    if (app.IsValid() && app->IsKindOf(ZuDataSlotRef::RetRuntime()))
        ZuDataSlotRef(app)->InsertField(ZuAtomRef("Locale Manager"), current);
}

void ZuLocaleMan::Kill()
{
    if (current.IsValid())
        current->Delete();
    live = nullptr;
    current = ZuLocaleManNull;
}

const ZuLocaleManRef& ZuLocaleMan::Current()
{
    return current;
}
