// ZuFontMan: hands out the fonts the ports draw with and shares them: asking
// twice for the same family, style, size and smoothing gives the same font.
// A negative size asks for a system font (the look's interface fonts) of
// that size; a fractional size never matches and always makes a new font.
//
// One manager is current per process: the start-up makes it and installs it
// with InitSystemFontMan, which also publishes it in the application's data
// slot as "Font Manager"; KillSystemFontMan uninstalls it at shut-down.
//
// The manager also sets up an empty entity data base with the models
// "FontFamilyModel" (Name, StyleList) and "FontDefinitionModel" (FamilyName,
// StyleName, Weight), left for its users to fill.
#ifndef SI_FONTMAN_H
#define SI_FONTMAN_H

#include "sd/common/sd_grailfnt.h"
#include "si/database.h"
#include "si/dbmodel.h"
#include "si/list.h"
#include "si/object.h"

ZU_HANDLE(ZuFontMan, ZuObject)
class ZuFontMan : public ZuObject {
    ZU_CLASS(ZuFontMan, ZuObject)

public:
    ZuFontMan();
    ~ZuFontMan() override;

    virtual void GetFontFamiliesDB(ZuDataBaseRef& out);
    // Never fails: a font whose face did not open is handed out too. Each
    // call adds one entry for the font to the list of fonts handed out.
    virtual bool CreateFont(const ZuStringRef& family, const ZuStringRef& style, double size,
                            bool smooth, ZuGrailFontRef& font);
    // Removes one entry of the font; false when the list holds none.
    virtual bool ReleaseFont(const ZuGrailFontRef& font);

    // Stops with a failed assertion when a manager is installed already.
    static void InitSystemFontMan(const ZuFontManRef& manager);
    static void KillSystemFontMan();
    static const ZuFontManRef& Current();

    // The fonts handed out and not released, once per CreateFont.
    const ZuListRef& RetFonts() const { return fonts; }

    void Delete() override;

    static ZuFontManRef current;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuDataBaseRef families;
    ZuEntityModelRef family_model;
    ZuEntityModelRef definition_model;
    ZuListRef fonts;
};
ZU_CLASS_END(ZuFontMan)

#endif
