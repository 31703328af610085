#include "si/maininit.h"

#include <cstdio>

#include "sd/common/sd_file.h"
#include "si/atom.h"
#include "si/callframe.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"

// The managers (font, look, locale, resources) and the application's own
// initialisation and main loop join these steps as their classes arrive;
// until then the application object is made by name and released again.
void Zuvi_MainInit()
{
    ZU_FRAME_FUNCTION("Zuvi_MainInit");
    ZuObjectRef app;
    try {
        ZuMemZone::Initialise();
        Zuvi_SetGfxMemoryHooks();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        app = ZuClassFactory::New("App", Zuvi_app_zone, __LINE__, ZU_SRC_FILE);

        ZuObjectRef::RealiseDeletions();
        app = ZuObjectNull;
    } catch (const ZuExcMemory& e) {
        app = ZuObjectNull;
        char text[501];
        snprintf(text, sizeof text, "\nFatal memory exception raised by caller %s:%d.",
                 e.RetFaultySrcFile() ? e.RetFaultySrcFile() : "?", int(e.RetFaultySrcLine()));
        Zuvi_ErrorPrint(text, int(e.RetThrowSrcLine()), e.RetThrowSrcFile());
    } catch (const ZuException& e) {
        app = ZuObjectNull;
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
