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

// The current application, reached through the accessor that the
// application's source installs (ZuApp::Current); the managers publish
// themselves in it.
const ZuObjectRef& (*application_accessor)() = nullptr;

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
    {"application", nullptr, nullptr, true},
    {"application install", nullptr, nullptr, true},
    {"locale manager", &ZuLocaleMan::Initialise, &ZuLocaleMan::Kill, true},
    {"resource manager", &ZuResMan::Initialise, &ZuResMan::Kill, true},
    {"system font manager", nullptr, nullptr, true},
    {"look manager", nullptr, nullptr, true},
    {"application start", nullptr, nullptr, true},
    {"main event loop", nullptr, nullptr, true},
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

void Zuvi_SetApplicationAccessor(const ZuObjectRef& (*current)())
{
    application_accessor = current;
}

const ZuObjectRef& Zuvi_RetApplication()
{
    return application_accessor != nullptr ? application_accessor() : ZuObjectNull;
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

// Start-up runs every step down to the application's main loop, which
// returns when the application quits; shut-down follows.
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
