#include "si/fontman.h"

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/error.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(ZuFontMan, "si/fontman", ZU_CLASS_PLAIN)

ZuFontManRef ZuFontMan::current;

namespace {

ZuObjectRef Make(const ZuRuntimeRef& runtime, ZuMemZone* zone, unsigned line)
{
    return ZuObjectRef(ZuClassFactory::New(runtime, zone, line, ZU_SRC_FILE));
}

// The library's start-up makes the font manager before the application and
// installs it once the application can publish it; shut-down uninstalls it,
// then lets it go after the application.
ZuFontManRef& StartedManager()
{
    static ZuFontManRef manager;
    return manager;
}

void MakeManager()
{
    StartedManager() = Make(ZuFontManRef::RetRuntime(), Zuvi_app_zone, __LINE__);
}

void DropManager()
{
    StartedManager() = ZuFontManNull;
}

void InstallManager()
{
    ZuFontMan::InitSystemFontMan(StartedManager());
}

struct StartSteps {
    StartSteps()
    {
        Zuvi_SetStartStep("font manager", &MakeManager, &DropManager);
        Zuvi_SetStartStep("system font manager", &InstallManager, &ZuFontMan::KillSystemFontMan);
    }
} start_steps;

} // namespace

ZuFontMan::ZuFontMan()
{
    families = Make(ZuDataBaseRef::RetRuntime(), Zuvi_sys_zone, __LINE__);
    family_model = Make(ZuEntityModelRef::RetRuntime(), Zuvi_sys_zone, __LINE__);
    definition_model = Make(ZuEntityModelRef::RetRuntime(), Zuvi_sys_zone, __LINE__);

    family_model->Initialise(families, ZuStringRef("FontFamilyModel"), 2);
    family_model->AddAttribute(ZuAtomRef("Name"));
    family_model->AddAttribute(ZuAtomRef("StyleList"));

    definition_model->Initialise(families, ZuStringRef("FontDefinitionModel"), 3);
    definition_model->AddAttribute(ZuAtomRef("FamilyName"));
    definition_model->AddAttribute(ZuAtomRef("StyleName"));
    definition_model->AddAttribute(ZuAtomRef("Weight"));

    fonts = Make(ZuListRef::RetRuntime(), Zuvi_app_zone, __LINE__);
}

ZuFontMan::~ZuFontMan()
{
    // A list must be empty when it goes.
    if (fonts.IsValid())
        fonts->RemoveAll();
}

void ZuFontMan::Delete()
{
    if (fonts.IsValid())
        fonts->RemoveAll();
    ZuObject::Delete();
}

void ZuFontMan::GetFontFamiliesDB(ZuDataBaseRef& out)
{
    out = families;
}

bool ZuFontMan::CreateFont(const ZuStringRef& family, const ZuStringRef& style, double size,
                           bool smooth, ZuGrailFontRef& font)
{
    const bool system = size < 0.0;
    if (system)
        size = -size;
    const ZuStringRef wanted_family = family.IsValid() ? family : ZuStringRef("");
    const ZuStringRef wanted_style = style.IsValid() ? style : ZuStringRef("");

    ZuGrailFontRef found;
    ZuObjectRef element;
    for (unsigned i = 0; found.IsInvalid() && fonts->Get(i, element); ++i) {
        if (element.IsInvalid() || !element->IsKindOf(ZuGrailFontRef::RetRuntime()))
            continue;
        ZuGrailFontRef candidate(element);
        // RetSize is whole: a fractional size never matches.
        if (candidate->RetName()->CompareWith(wanted_family, false) == 0 &&
            candidate->RetStyle()->CompareWith(wanted_style, false) == 0 &&
            candidate->RetSize() == size && candidate->IsSmooth() == smooth &&
            candidate->IsSystemFont() == system)
            found = candidate;
    }
    if (found.IsInvalid()) {
        found = Make(ZuGrailFontRef::RetRuntime(), Zuvi_app_zone, __LINE__);
        // A face that does not open still gives a font: it draws nothing.
        found->Initialise(wanted_family, wanted_style, size, smooth, system);
    }
    fonts->PushTail(found);
    font = found;
    return true;
}

bool ZuFontMan::ReleaseFont(const ZuGrailFontRef& font)
{
    return fonts->Remove(font, 0);
}

void ZuFontMan::InitSystemFontMan(const ZuFontManRef& manager)
{
    if (!current.IsInvalid())
        Zuvi_ErrorAbort("Failed assertion: ZuFontMan::current.IsInvalid ()", __LINE__, ZU_SRC_FILE);
    current = manager;
    const ZuObjectRef& app = Zuvi_RetApplication();
    if (app.IsValid() && app->IsKindOf(ZuDataSlotRef::RetRuntime()))
        ZuDataSlotRef(app)->InsertField(ZuAtomRef("Font Manager"), manager);
}

void ZuFontMan::KillSystemFontMan()
{
    current = ZuFontManNull;
}

const ZuFontManRef& ZuFontMan::Current()
{
    return current;
}

void ZuFontMan::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuFontMan>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuFontMan::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
