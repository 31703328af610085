// The fuzz targets' debug sink: the diagnostics of rejected input go nowhere
// unless the variable named by the target asks for them (writing them would
// slow a run down to the speed of the terminal and fill the disk). Message
// boxes (the report of a fatal error) still show.
#ifndef FUZZ_QUIETSINK_H
#define FUZZ_QUIETSINK_H

#include "w32/debug.h"

#include <cstdlib>

inline int Zuvi_FuzzQuietSink(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text,
                              UINT type)
{
    if (kind == W32_MESSAGE_BOX)
        return W32_DefaultDebugSink(context, kind, caption, text, type);
    return 0;
}

inline void Zuvi_FuzzQuietUnless(const char* trace_variable)
{
    if (!std::getenv(trace_variable))
        W32_SetDebugSink(&Zuvi_FuzzQuietSink, nullptr);
}

#endif
