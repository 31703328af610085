// ZuLocaleMan: the locale manager. Owns every locale (a dictionary from name
// atoms to locales), builds them from the mapping definitions the library
// registers, and makes one locale active: the active locale is one of the
// class factory's patches. One manager exists from Initialise to Kill (the
// library's start-up and shut-down).
#ifndef SI_LOCALEMAN_H
#define SI_LOCALEMAN_H

#include "si/array.h"
#include "si/dict.h"
#include "si/icontainer.h"
#include "si/locale.h"
#include "si/object.h"

ZU_HANDLE(ZuLocaleMan, ZuObject)

class ZuLocaleMan : public ZuObject, public ZuiContainer {
    ZU_CLASS(ZuLocaleMan, ZuObject)
    friend struct Zuvi_LocaleMappingDef;

public:
    // Creates the dictionary and registers every definition of the global
    // list.
    ZuLocaleMan();
    ~ZuLocaleMan() override;

protected:
    // Hands the definition to the locale it names, made (and named) first
    // when there is none.
    virtual void Register(Zuvi_LocaleMappingDef* def);

public:
    // The same locale: true, no change. Otherwise the active locale leaves
    // the class factory's patches and the new one (when set) joins them. An
    // empty handle deactivates.
    virtual bool SetActiveLocale(const ZuLocaleRef& locale);
    // False (the active locale kept) for an unknown name.
    virtual bool SetActiveLocale(const ZuAtomRef& name);
    virtual ZuLocaleRef RetActiveLocale() const;
    virtual ZuLocaleRef FindLocale(const ZuAtomRef& name) const;
    // Makes the array when the handle is empty, then fills it with the
    // locales in the dictionary's order.
    virtual bool FillLocaleArray(ZuArrayRef& array) const;

    // ZuiContainer: the locales.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    // Deactivates the active locale, deletes every locale and the
    // dictionary, then the manager.
    void Delete() override;

    // Creates the manager, makes it current and enters it in the
    // application's data slot as "Locale Manager".
    static void Initialise();
    // Deletes the current manager and empties the handle.
    static void Kill();
    static const ZuLocaleManRef& Current();

private:
    // Registers a definition made while a manager exists.
    static void RegisterWithCurrent(Zuvi_LocaleMappingDef* def);

    ZuDictRef locales;
    ZuLocaleRef active;

    static ZuLocaleManRef current;
    // The current manager as a plain pointer, for definitions made during
    // static initialisation (before any handle may be used).
    static ZuLocaleMan* live;
};
ZU_CLASS_END(ZuLocaleMan)

#endif
