#ifndef ZOVEDA_GFXMEMORY_H
#define ZOVEDA_GFXMEMORY_H

// The graphics engine allocates nothing through the C runtime itself: every
// surface, buffer and glyph record goes through these hooks, which the class
// library sets at start-up before any surface exists.
class GfxMemory {
public:
    typedef void* (*AllocFn)(void* arg, unsigned long size);
    typedef void (*FreeFn)(void* arg, void* ptr);

    static void* arg;
    static AllocFn fn_alloc;
    static FreeFn fn_free;
};

#endif
