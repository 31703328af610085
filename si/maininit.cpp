#include "si/maininit.h"

#include <cstdio>

#include "sd/common/sd_file.h"
#include "si/atom.h"
#include "si/callframe.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/localeman.h"
#include "si/memzone.h"
#include "si/resman.h"

namespace {

// The application object while the library runs: the managers enter
// themselves in its data slot.
ZuObjectRef& Application()
{
    static ZuObjectRef app;
    return app;
}

// On the way out of a failed start-up the managers go too, while their
// zones still exist: their handles must not outlive the zones.
void KillManagers()
{
    ZuResMan::Kill();
    ZuLocaleMan::Kill();
}

} // namespace

ZuObjectRef const& Zuvi_RetApplication()
{
    return Application();
}

// The managers (font, look) and the application's own
// initialisation and main loop join these steps as their classes arrive;
// until then the application object is made by name and released again.
void Zuvi_MainInit()
{
    ZU_FRAME_FUNCTION("Zuvi_MainInit");
    ZuObjectRef& app = Application();
    try {
        ZuMemZone::Initialise();
        Zuvi_SetGfxMemoryHooks();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        app = ZuClassFactory::New("App", Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        ZuLocaleMan::Initialise();
        ZuResMan::Initialise();

        KillManagers();
        ZuObjectRef::RealiseDeletions();
        app = ZuObjectNull;
    } catch (const ZuExcMemory& e) {
        app = ZuObjectNull;
        KillManagers();
        char text[501];
        snprintf(text, sizeof text, "\nFatal memory exception raised by caller %s:%d.",
                 e.RetFaultySrcFile() ? e.RetFaultySrcFile() : "?", int(e.RetFaultySrcLine()));
        Zuvi_ErrorPrint(text, int(e.RetThrowSrcLine()), e.RetThrowSrcFile());
    } catch (const ZuException& e) {
        app = ZuObjectNull;
        KillManagers();
        Zuvi_ErrorPrint("\nFatal Zuvi exception raised...", int(e.RetThrowSrcLine()),
                        e.RetThrowSrcFile());
    }
    ZuObjectRef::RealiseDeletions();
    ZuClassFactory::Kill();
    ZuObjectRef::RealiseDeletions();
    ZuAtom::Kill();
    ZuObjectRef::ReleaseDeletionQueue();
    ZuMemZone::Kill();
}
