#ifndef SI_GCTHREAD_H
#define SI_GCTHREAD_H

// The collector. Handles count references, so objects that hold each
// other are never freed by counting alone. While the user-interface thread
// waits for input, a library thread running a GCThread marks every object
// reachable from a root handle and frees the rest; input arriving during a
// pass makes it give up at once, so a pass only ever finishes while the
// user is idle.
//
// Roots: every handle that is not a member of an object (locals, statics),
// and the member handles that point at an object carrying status bit 3 (a
// running thread's handle to itself). Objects of special classes (atoms)
// are never freed.

#include "si/performer.h"

ZU_HANDLE(GCThread, ZuPerformer)

class GCThread : public ZuPerformer {
    ZU_CLASS(GCThread, ZuPerformer)
public:
    GCThread() {}

    // The collector's loop on its thread (the subject, else the calling
    // library thread): 21 rounds of one second, then a pass whenever the
    // event loop is waiting, polled every 50 ms; after a completed pass the
    // rounds start again, after a pass given up polling goes on. True when
    // the thread was asked to stop.
    bool Run(const ZuObjectRef& subject) override;

protected:
    // The collector's sleeps, cut short by a stop request (tests count
    // them instead of sleeping).
    virtual void Pause(const ZuObjectRef& thread, unsigned milliseconds);
};
ZU_CLASS_END(GCThread)

// One collection pass under the global lock: true when it completed, false
// when input arrived (the current event stopped waiting) and it gave up.
// Writes "GC completed|aborted: N objects, freed: M in T ms".
bool Zuvi_CollectGarbage();

// The counts of the last pass.
struct Zuvi_CollectCounts {
    unsigned marked;
    unsigned freed;
};
Zuvi_CollectCounts Zuvi_RetCollectCounts();

#endif
