// What the image readers' fuzz targets share: the runtime that pixmaps
// need (zones, atoms, classes, the raster engine's memory, a font
// manager), brought up once and taken down at exit.
#pragma once

#include "sd/common/sd_file.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/memzone.h"

#include <cstdlib>

inline void ZuviFuzzStartImages()
{
    static bool started = [] {
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        Zuvi_SetGfxMemoryHooks();
        ZuFontMan::InitSystemFontMan(ZuFontManRef(ZuObjectRef(
            ZuClassFactory::New(ZuFontManRef::RetRuntime(), Zuvi_app_zone, __LINE__, "fuzz/imagefuzz"))));
        std::atexit([] {
            ZuFontMan::KillSystemFontMan();
            ZuObjectRef::RealiseDeletions();
            ZuClassFactory::Kill();
            ZuObjectRef::RealiseDeletions();
            ZuAtom::Kill();
            ZuObjectRef::ReleaseDeletionQueue();
            ZuMemZone::Kill();
        });
        return true;
    }();
    (void)started;
}
