#ifndef SI_MAININIT_H
#define SI_MAININIT_H

// Zuvi_MainInit: the whole life of the library in one call. It starts the
// library's services, creates the application by the class name "App" (a
// ZuApp) and the managers that belong to it, runs the application's main
// event loop, and when the application quits stops everything in the
// reverse order, ending with the memory zones. WinMain calls it once.
//
// Zuvi_StartServices / Zuvi_StopServices are the one start-up and shut-down
// of the library's services (zones, graphics memory hooks, atoms, class
// factory): the program, the tests' runtime fixture, the fuzz targets and
// the benchmarks all go through them. Services and managers are one table
// in si/maininit.cpp; a new one is one line there.

void Zuvi_MainInit();

void Zuvi_StartServices();
void Zuvi_StopServices();

// Fills the table's line of that name for a step whose class lives in a
// layer above the start-up's own (the font manager's source does it at load
// time); false when the table has no such line.
bool Zuvi_SetStartStep(const char* name, void (*start)(), void (*stop)());

class ZuObjectRef;
// The current application (ZuApp::Current()) as the layers below the
// application object reach it: the managers publish themselves in it.
// Empty while no application is installed.
const ZuObjectRef& Zuvi_RetApplication();
// Installs what Zuvi_RetApplication answers (the application's source does
// it at load time).
void Zuvi_SetApplicationAccessor(const ZuObjectRef& (*current)());

#endif
