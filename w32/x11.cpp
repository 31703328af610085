// The X11 window backend.
#include "w32/backend.h"

W32_Backend* W32_MakeX11()
{
    return nullptr;
}
