// ZuLocale: a language, a country and a variant, with the mapping
// definitions that replace a library class by a locale-specific subclass
// whenever the class factory builds an object of that class while the
// locale is active (the locale is then one of the factory's class patches).
// A locale without a mapping for a class asks its parent.
//
// Zuvi_LocaleMappingDef: one static record per mapping ("ZuTime" is built as
// "ZuTimeUSLocale" in "US-EN"); every record joins a global list, and the
// locale manager hands each to the locale it names.
#ifndef SI_LOCALE_H
#define SI_LOCALE_H

#include "si/atom.h"
#include "si/iclasspatch.h"
#include "si/object.h"

struct Zuvi_LocaleMappingDef {
    // Stores the names, links the record at the head of the global list and,
    // when the locale manager exists, registers it there at once.
    Zuvi_LocaleMappingDef(const char* class_name, const char* alternate_class_name,
                          const char* locale_name);
    Zuvi_LocaleMappingDef(const Zuvi_LocaleMappingDef& other) = default;
    Zuvi_LocaleMappingDef& operator=(const Zuvi_LocaleMappingDef& other) = default;

    const char* class_name;
    const char* alternate_class_name;
    const char* locale_name;
    Zuvi_LocaleMappingDef* next; // in the global list
    Zuvi_LocaleMappingDef* next_in_locale;

    // The head of the global list (the record made last).
    static Zuvi_LocaleMappingDef* head;
};

ZU_HANDLE(ZuLocale, ZuObject)

class ZuLocale : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(ZuLocale, ZuObject)
    friend class ZuLocaleMan;

public:
    ZuLocale();
    ~ZuLocale() override;

protected:
    // Links the definition at the head of the locale's list: the last
    // registered is consulted first. A definition already there is kept
    // once.
    virtual void Register(Zuvi_LocaleMappingDef* def);

public:
    // Names the locale "ll_CC_variant": the text is cut at its first "_"
    // (language) and the next (country); the variant keeps any further "_".
    // The language and the country are empty or two characters; otherwise
    // false and nothing changes.
    virtual bool Initialise(const ZuAtomRef& name);
    // False when this locale is the parent or one of its ancestors (a
    // cycle); an empty parent is accepted.
    virtual bool SetParent(const ZuLocaleRef& parent);
    virtual ZuAtomRef& RetName();
    virtual ZuAtomRef& RetLanguageCode();
    virtual ZuAtomRef& RetCountryCode();
    virtual ZuAtomRef& RetVariantCode();
    virtual ZuLocaleRef& RetParent();

    // ZuiClassPatch: the construction function of the alternate class of the
    // first definition for the runtime's class, else the parent's answer.
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override;

    void Delete() override;

private:
    ZuLocaleRef parent;
    ZuAtomRef name;
    ZuAtomRef language;
    ZuAtomRef country;
    ZuAtomRef variant;
    Zuvi_LocaleMappingDef* mappings;
};
ZU_CLASS_END(ZuLocale)

#endif
