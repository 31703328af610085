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
    int visual_class = 0, depth = 0;
    const W32_NoDisplayCause cause = W32_WhyNoDisplay(&visual_class, &depth);
    static const char* const kClasses[] = {"StaticGray",  "GrayScale", "StaticColor",
                                           "PseudoColor", "TrueColor", "DirectColor"};
    const char* visual = visual_class >= 0 && visual_class < 6 ? kClasses[visual_class] : "inconnu";
    // The terminal reads UTF-8, as this text is written.
    std::fprintf(stderr, "lumbra : aucun écran X n'est disponible (");
    switch (cause) {
    case W32_DISPLAY_UNSET:
        std::fprintf(stderr, "la variable $DISPLAY est vide");
        break;
    case W32_DISPLAY_NO_SERVER:
        std::fprintf(stderr, "la variable $DISPLAY est %s, sans serveur X à l'écoute", display);
        break;
    case W32_DISPLAY_REFUSED:
        std::fprintf(stderr, "le serveur X de %s a refusé la connexion", display);
        break;
    case W32_DISPLAY_FAILED:
        std::fprintf(stderr, "la connexion au serveur X de %s a échoué", display);
        break;
    case W32_DISPLAY_NOT_TRUE_COLOUR:
        std::fprintf(stderr,
                     "le serveur X de %s a répondu, mais son visuel par défaut, %s sur %d bits, "
                     "n'est pas en couleurs vraies (TrueColor)",
                     display, visual, depth);
        break;
    }
    std::fprintf(stderr,
                 ").\n"
                 "Lancez le programme depuis une session graphique, ou sur un écran virtuel :\n"
                 "    xvfb-run -a %s\n",
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
