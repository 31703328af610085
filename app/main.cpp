// The program's entry: the library's WinMain starts the class "App".
#include "ghost/gslibmain.h"
#include "sd/win32/sd_grailwdo.h"
#include "w32/module.h"
#include "w32/winuser.h"

#include <cstdio>
#include <cstdlib>

// Listing the interpreter's fonts (the font pane of the attributes dialog
// does it at start-up) makes the font configuration library keep a block
// to the end of the process: not the program's to free. Only the leak
// checker of sanitised builds reads this.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

namespace {

// Says, in the user's terminal, why the program does not start and how to
// start it: without a display its windows would live in memory, unseen,
// and the program would run for ever.
void TellNoDisplay(const char* program)
{
    const char* display = std::getenv("DISPLAY");
    const bool set = display != nullptr && display[0] != '\0';
    // The terminal reads UTF-8, as this text is written.
    std::fprintf(stderr,
                 "lumbra : aucun écran X n'est disponible (la variable $DISPLAY est %s%s).\n"
                 "Lancez le programme depuis une session graphique, ou sur un écran virtuel :\n"
                 "    xvfb-run -a %s\n",
                 set ? display : "vide", set ? ", sans serveur X à l'écoute" : "",
                 program != nullptr && program[0] != '\0' ? program : "lumbra");
}

} // namespace

int main(int argc, char** argv)
{
    if (W32_NoDisplayForWindows()) {
        TellNoDisplay(argc > 0 ? argv[0] : nullptr);
        return 1;
    }
    // The interpreter's libraries load while the library's services and
    // the program's windows start; the interpreter's own start follows.
    GSLoadEarly();
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 1);
}
