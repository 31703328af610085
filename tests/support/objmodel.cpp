#include "tests/support/objmodel.h"

#include "si/maininit.h"

void ZuviStartRuntime()
{
    Zuvi_StartServices();
}

void ZuviStopRuntime()
{
    Zuvi_StopServices();
}
