// What the image readers' fuzz targets share: the library's services and
// the font manager that pixmaps need, brought up once and taken down at exit.
#ifndef FUZZ_IMAGEFUZZ_H
#define FUZZ_IMAGEFUZZ_H

#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <cstdlib>

inline void ZuviFuzzStartImages()
{
    static bool started = [] {
        Zuvi_StartServices();
        ZuFontMan::InitSystemFontMan(ZuNew<ZuFontMan>(Zuvi_app_zone));
        std::atexit([] {
            ZuFontMan::KillSystemFontMan();
            Zuvi_StopServices();
        });
        return true;
    }();
    (void)started;
}

#endif
