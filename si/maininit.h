#ifndef SI_MAININIT_H
#define SI_MAININIT_H

// Zuvi_MainInit: the whole life of the library in one call. It brings the
// services up in a fixed order (zones, graphics engine hooks, atoms, class
// factory, then the application created by the class name "App"), runs the
// application, and tears everything down in the reverse order, ending with
// the memory zones. WinMain calls it once.

void Zuvi_MainInit();

class ZuObjectRef;
// The application object made by the start-up (empty outside it).
ZuObjectRef const& Zuvi_RetApplication();

#endif
