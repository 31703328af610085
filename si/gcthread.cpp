#include "si/gcthread.h"

#include "si/error.h"
#include "si/event.h"
#include "si/globallock.h"
#include "si/rtclass.h"
#include "si/thread.h"
#include "si/time.h"

#include <vector>

ZU_IMPLEMENT_CLASS(GCThread, ZU_SRC_FILE, ZU_CLASS_NOT_STORED)

namespace {

// Rounds of one second before the first pass and after each completed one.
constexpr unsigned kWaitRounds = 21;
constexpr unsigned kRoundMs = 1000;
constexpr unsigned kPollMs = 50;

// The status bit a thread sets on itself: its member handles are roots.
constexpr ZuObjectStatusBit kThreadBit = ZuObjectStatusBit(3);

unsigned g_marked = 0;
unsigned g_freed = 0;

bool LoopIsWaiting(const ZuEventRef& event)
{
    return event.IsValid() && event->IsWaitingForEvent();
}

// Marks everything reachable from object (already marked) through member
// handles. A worklist, not recursion: a long chain of objects must not
// exhaust the collector thread's stack.
void MarkFrom(ZuObject* object, ZuObjectStatusBit bit)
{
    std::vector<ZuObject*> work{object};
    while (!work.empty()) {
        ZuObject* o = work.back();
        work.pop_back();
        ++g_marked;
        const ZuRuntimeRef& rt = o->RetRuntime();
        for (unsigned n = 0;; ++n) {
            ZuObjectRef* member = rt->RetEmbeddedReference(o, n);
            if (member == nullptr)
                break;
            ZuObject* next = member->RetRawObject();
            if (next != nullptr && !next->MarkAndSweepSet(bit))
                work.push_back(next);
        }
    }
}

} // namespace

bool GCThread::Run(const ZuObjectRef& subject)
{
    ZuThreadRef thread;
    if (subject.IsValid() && subject->IsKindOf(ZuThreadRef::RetRuntime()))
        thread = subject;
    else
        thread = ZuThread::Current();
    if (thread.IsInvalid())
        return true;
    for (;;) {
        for (unsigned round = 0; round < kWaitRounds; ++round) {
            if (thread->IsStopRequested())
                return true;
            Pause(thread, kRoundMs);
        }
        for (;;) {
            if (LoopIsWaiting(ZuEvent::Current()) && Zuvi_CollectGarbage())
                break;
            Pause(thread, kPollMs);
            if (thread->IsStopRequested())
                return true;
        }
    }
}

// The sleep is cut into slices of the polling period, so that the loop
// that stops the collector (and spins until it is dead) waits at most one
// slice, not a whole second.
void GCThread::Pause(const ZuObjectRef& thread, unsigned milliseconds)
{
    ZuThreadRef t(thread);
    while (milliseconds > 0 && !t->IsStopRequested()) {
        unsigned slice = milliseconds < kPollMs ? milliseconds : kPollMs;
        t->Sleep(slice);
        milliseconds -= slice;
    }
}

bool Zuvi_CollectGarbage()
{
    std::int64_t start = ZuTime::NowGMTAbsTime();
    ZuEventRef event = ZuEvent::Current();
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_COLLECTOR);
    g_marked = 0;
    g_freed = 0;
    bool completed = true;
    ZuObjectStatusBit bit;
    if (ZuObject::MarkAndSweepBegin(bit)) {
        // Mark from the roots.
        for (ZuObjectRef* h = ZuObjectRef::g_head; h && completed; h = h->RetGlobalNext()) {
            ZuObject* object = h->RetRawObject();
            if (object == nullptr)
                continue;
            if (h->RetEmbeddingObject() != nullptr && !object->MarkAndSweepTest(kThreadBit))
                continue;
            if (object->MarkAndSweepSet(bit))
                continue;
            MarkFrom(object, bit);
            if (!LoopIsWaiting(event))
                completed = false;
        }
        // Sweep what no root reaches. MarkAsDead empties handles, so the
        // successor is read first.
        for (ZuObjectRef* h = ZuObjectRef::g_head; h && completed;) {
            ZuObjectRef* next = h->RetGlobalNext();
            ZuObject* object = h->RetRawObject();
            if (object != nullptr && !object->MarkAndSweepSet(bit) &&
                !object->RetRuntime()->IsSpecial()) {
                object->MarkAsDead();
                ++g_freed;
                if (!LoopIsWaiting(event))
                    completed = false;
            }
            h = next;
        }
        ZuObject::MarkAndSweepReset(bit);
        ZuObject::MarkAndSweepEnd(bit);
    }
    Zuvi_Trace("GC %s: %d objects, freed: %d in %d ms\n", completed ? "completed" : "aborted",
               int(g_marked), int(g_freed), int(ZuTime::NowGMTAbsTime() - start));
    return completed;
}

Zuvi_CollectCounts Zuvi_RetCollectCounts()
{
    return Zuvi_CollectCounts{g_marked, g_freed};
}
