#include "si/maininit.h"

#include <cstdio>
#include <cstring>

#include "sd/common/sd_file.h"
#include "si/array.h"
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

void MakeApplication()
{
    Application() = ZuClassFactory::New("App", Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
}

void DropApplication()
{
    Application() = ZuObjectNull;
}

// The deferred deletions are released for good just before the zones that
// hold them go; the arrays' scratch slot first, since emptying it may queue
// one more.
void StopZones()
{
    ZuArray::ReleaseScratch();
    ZuObjectRef::ReleaseDeletionQueue();
    ZuMemZone::Kill();
}

struct Step {
    const char* name;
    void (*start)();
    void (*stop)(); // null: nothing to undo
    bool program;   // only for the program (Zuvi_MainInit), not for every user
};

// Steps whose classes live in a layer above this file (the font and look
// managers') have a line in the table without functions; their own source
// fills it in at load time with Zuvi_SetStartStep. A line left empty is skipped.
struct StepFunctions {
    void (*start)();
    void (*stop)();
};

// The library's start-up, top down; shut-down runs bottom up, carrying out
// the deferred deletions before each stop, so that objects still waiting go
// while what they use is there. A failed start stops only the steps that
// ran, so the managers of a failed start-up go while their zones exist.
// To add a service or a manager (fonts, looks...), add its line where its
// order wants it: services for every user of the library (the tests' runtime
// fixture, the fuzz targets and the benchmarks start them too), program
// steps after the application, which they may enter themselves into.
const Step kSteps[] = {
    {"memory zones", &ZuMemZone::Initialise, &StopZones, false},
    {"graphics memory", &Zuvi_SetGfxMemoryHooks, nullptr, false},
    {"atoms", &ZuAtom::Initialise, &ZuAtom::Kill, false},
    {"class factory", &ZuClassFactory::Initialise, &ZuClassFactory::Kill, false},
    {"font manager", nullptr, nullptr, true},
    {"application", &MakeApplication, &DropApplication, true},
    {"locale manager", &ZuLocaleMan::Initialise, &ZuLocaleMan::Kill, true},
    {"resource manager", &ZuResMan::Initialise, &ZuResMan::Kill, true},
    {"system font manager", nullptr, nullptr, true},
    {"look manager", nullptr, nullptr, true},
};

const unsigned kStepCount = sizeof kSteps / sizeof kSteps[0];

StepFunctions filled[kStepCount];

void (*StartOf(unsigned i))()
{
    return kSteps[i].start != nullptr ? kSteps[i].start : filled[i].start;
}

void (*StopOf(unsigned i))()
{
    return kSteps[i].start != nullptr ? kSteps[i].stop : filled[i].stop;
}

// How many steps run.
unsigned running = 0;

void Start(bool program)
{
    while (running < kStepCount && (program || !kSteps[running].program)) {
        if (void (*start)() = StartOf(running))
            start();
        ++running;
    }
}

} // namespace

bool Zuvi_SetStartStep(const char* name, void (*start)(), void (*stop)())
{
    for (unsigned i = 0; i < kStepCount; ++i) {
        if (kSteps[i].start == nullptr && std::strcmp(kSteps[i].name, name) == 0) {
            filled[i].start = start;
            filled[i].stop = stop;
            return true;
        }
    }
    return false;
}

const ZuObjectRef& Zuvi_RetApplication()
{
    return Application();
}

void Zuvi_StartServices()
{
    Start(false);
}

void Zuvi_StopServices()
{
    while (running > 0) {
        --running;
        void (*stop)() = StopOf(running);
        if (!stop)
            continue;
        if (running > 0)
            ZuObjectRef::RealiseDeletions();
        stop();
    }
}

// The application's own initialisation and main loop join as their classes
// arrive; until then the application is made by name and released again.
void Zuvi_MainInit()
{
    ZU_FRAME_FUNCTION("Zuvi_MainInit");
    try {
        Start(true);
    } catch (const ZuExcMemory& e) {
        char text[501];
        snprintf(text, sizeof text, "\nFatal memory exception raised by caller %s:%d.",
                 e.RetFaultySrcFile() ? e.RetFaultySrcFile() : "?", int(e.RetFaultySrcLine()));
        Zuvi_ErrorPrint(text, int(e.RetThrowSrcLine()), e.RetThrowSrcFile());
    } catch (const ZuException& e) {
        Zuvi_ErrorPrint("\nFatal Zuvi exception raised...", int(e.RetThrowSrcLine()),
                        e.RetThrowSrcFile());
    }
    Zuvi_StopServices();
}
