// The program's entry: the library's WinMain starts the class "App".
#include "ghost/gslibmain.h"
#include "sd/win32/sd_grailwdo.h"
#include "w32/module.h"

// Listing the interpreter's fonts (the font pane of the attributes dialog
// does it at start-up) makes the font configuration library keep a block
// to the end of the process: not the program's to free. Only the leak
// checker of sanitised builds reads this.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

int main()
{
    // The interpreter's libraries load while the library's services and
    // the program's windows start; the interpreter's own start follows.
    GSLoadEarly();
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 1);
}
