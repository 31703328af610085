#include "si/locale.h"

#include <cstring>
#include <string>

#include "si/classfactory.h"
#include "si/localeman.h"
#include "si/rtclass.h"

namespace {

const char kFile[] = "si/locale";

ZuAtomRef AtomOrEmpty(const std::string& text)
{
    return text.empty() ? ZuAtomRef() : ZuAtomRef(text.c_str());
}

} // namespace

Zuvi_LocaleMappingDef* Zuvi_LocaleMappingDef::head = nullptr;

Zuvi_LocaleMappingDef::Zuvi_LocaleMappingDef(const char* class_name,
                                             const char* alternate_class_name,
                                             const char* locale_name)
    : class_name(class_name), alternate_class_name(alternate_class_name), locale_name(locale_name),
      next(head), next_in_locale(nullptr)
{
    head = this;
    ZuLocaleMan::RegisterWithCurrent(this);
}

ZU_IMPLEMENT_CLASS(ZuLocale, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuLocale, ZuiClassPatch)

ZuLocale::ZuLocale() : mappings(nullptr) {}

ZuLocale::~ZuLocale() {}

void ZuLocale::Register(Zuvi_LocaleMappingDef* def)
{
    if (def == nullptr)
        return;
    for (Zuvi_LocaleMappingDef* d = mappings; d != nullptr; d = d->next_in_locale)
        if (d == def)
            return;
    def->next_in_locale = mappings;
    mappings = def;
}

// The whole text is parsed, however long the name.
bool ZuLocale::Initialise(const ZuAtomRef& new_name)
{
    if (new_name.IsInvalid())
        return false;
    std::string const text = static_cast<const char*>(new_name);
    std::string lang = text, rest, ctry, var;
    size_t cut = text.find('_');
    if (cut != std::string::npos) {
        lang = text.substr(0, cut);
        rest = text.substr(cut + 1);
        size_t cut2 = rest.find('_');
        ctry = rest.substr(0, cut2);
        if (cut2 != std::string::npos)
            var = rest.substr(cut2 + 1);
    }
    if ((!lang.empty() && lang.size() != 2) || (!ctry.empty() && ctry.size() != 2))
        return false;
    name = new_name;
    language = AtomOrEmpty(lang);
    country = AtomOrEmpty(ctry);
    variant = AtomOrEmpty(var);
    return true;
}

bool ZuLocale::SetParent(const ZuLocaleRef& new_parent)
{
    for (ZuLocale* p = new_parent.RetRawObject(); p != nullptr; p = p->parent.RetRawObject())
        if (p == this)
            return false;
    parent = new_parent;
    return true;
}

ZuAtomRef& ZuLocale::RetName()
{
    return name;
}

ZuAtomRef& ZuLocale::RetLanguageCode()
{
    return language;
}

ZuAtomRef& ZuLocale::RetCountryCode()
{
    return country;
}

ZuAtomRef& ZuLocale::RetVariantCode()
{
    return variant;
}

ZuLocaleRef& ZuLocale::RetParent()
{
    return parent;
}

ZuiClassPatch::ConstructFunc ZuLocale::FindAlternateConstructor(const ZuRuntime* runtime)
{
    if (runtime == nullptr)
        return nullptr;
    const char* class_name = runtime->RetClassName();
    for (Zuvi_LocaleMappingDef* d = mappings; d != nullptr; d = d->next_in_locale) {
        if (std::strcmp(d->class_name, class_name) != 0)
            continue;
        ZuRuntimeRef alternate;
        if (ZuClassFactory::GetClass(d->alternate_class_name, alternate) && alternate.IsValid())
            return alternate->RetConstrFunc();
    }
    if (parent.IsValid()) {
        ZuiClassPatch* patch =
            static_cast<ZuiClassPatch*>(parent->CastToInterface(&ZuiClassPatch::interface));
        if (patch != nullptr)
            return patch->FindAlternateConstructor(runtime);
    }
    return nullptr;
}

void ZuLocale::Delete()
{
    parent = ZuLocaleNull;
    mappings = nullptr;
    ZuObject::Delete();
}
