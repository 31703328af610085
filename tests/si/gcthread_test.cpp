// The collector: which objects a pass frees, giving up on input, and the
// collector thread's rhythm.
#include "si/gcthread.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/thread.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"

namespace {

// Names of the objects the collector declared dead.
std::set<std::string> g_dead;
// Whether a death ends the event loop's idleness (input arrives).
bool g_input_on_death = false;

} // namespace

// An object with one member handle, which records its death.
ZU_HANDLE(GcHolder, ZuObject)
class GcHolder : public ZuObject {
    ZU_CLASS(GcHolder, ZuObject)
public:
    GcHolder() {}
    void MarkAsDead() override
    {
        g_dead.insert(label);
        if (g_input_on_death)
            ZuEvent::Current()->SetWaitingForEvent(false);
        ZuObject::MarkAsDead();
    }
    ZuObjectRef other;
    ZuObjectRef more;
    std::string label;
};
ZU_CLASS_END(GcHolder)
ZU_IMPLEMENT_CLASS(GcHolder, "tests/si/gcthread_test", ZU_CLASS_PLAIN)

// The collector with its sleeps recorded instead of slept; the script
// decides what happens during each.
ZU_HANDLE(GcScripted, GCThread)
class GcScripted : public GCThread {
    ZU_CLASS(GcScripted, GCThread)
public:
    GcScripted() {}
    std::vector<unsigned> pauses;
    void (*script)(GcScripted& self, const ZuThreadRef& thread) = nullptr;

protected:
    void Pause(const ZuObjectRef& thread, unsigned milliseconds) override
    {
        pauses.push_back(milliseconds);
        if (script)
            script(*this, ZuThreadRef(thread));
    }
};
ZU_CLASS_END(GcScripted)
ZU_IMPLEMENT_CLASS(GcScripted, "tests/si/gcthread_test", ZU_CLASS_PLAIN)

namespace {

class Collector : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        g_dead.clear();
        g_input_on_death = false;
        ZuEvent::current = ZuNew<ZuEvent>(Zuvi_app_zone);
        ZuEvent::current->SetWaitingForEvent(true);
    }
    void TearDown() override
    {
        ZuEvent::current = ZuEventNull;
        ZuObjectRef::RealiseDeletions();
        ZuviRuntimeTest::TearDown();
    }
    static GcHolderRef Holder(const char* label)
    {
        GcHolderRef h = ZuNew<GcHolder>(Zuvi_app_zone);
        h->label = label;
        return h;
    }
    // A pair that holds each other and nothing else.
    static void Cycle(const char* a, const char* b)
    {
        GcHolderRef x = Holder(a), y = Holder(b);
        x->other = y;
        y->other = x;
    }
};

TEST_F(Collector, FreesCyclesAndKeepsWhatRootsReach)
{
    Cycle("a", "b");
    GcHolderRef kept = Holder("kept");
    kept->other = Holder("reached");
    ZuAtomRef atom("gc-only-held-by-garbage");
    ZuAtom* raw_atom = static_cast<ZuAtom*>(atom.Resolve());
    {
        GcHolderRef x = Holder("c"), y = Holder("d");
        x->other = y;
        y->other = x;
        y->more = atom;
    }
    atom = ZuAtomNull;

    DebugCapture capture;
    EXPECT_TRUE(Zuvi_CollectGarbage());
    EXPECT_EQ(g_dead, (std::set<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(kept->other.IsValid());
    EXPECT_NE(ZuObjectRef::FirstHandleOf(raw_atom), nullptr); // atoms are never freed
    EXPECT_NE(capture.DebugText().find("GC completed: "), std::string::npos);
    EXPECT_GE(Zuvi_RetCollectCounts().freed, 4u);
}

TEST_F(Collector, ARunningThreadHeldOnlyByItselfSurvives)
{
    ZuThread* raw;
    {
        ZuThreadRef thread = ZuNew<ZuThread>(Zuvi_app_zone);
        GcHolderRef member = Holder("the thread's performer argument");
        GcScriptedRef performer = ZuNew<GcScripted>(Zuvi_app_zone);
        performer->SetArgument(member);
        thread->SetPerformer(performer);
        raw = static_cast<ZuThread*>(thread.Resolve());
    }
    EXPECT_TRUE(Zuvi_CollectGarbage());
    EXPECT_TRUE(g_dead.empty());
    EXPECT_NE(ZuObjectRef::FirstHandleOf(raw), nullptr);
    ZuThreadRef(raw)->Delete();
}

TEST_F(Collector, InputDuringAPassAbortsItAndAllMarksInUseFreeNothing)
{
    Cycle("a", "b");
    g_input_on_death = true;
    DebugCapture capture;
    EXPECT_FALSE(Zuvi_CollectGarbage());
    EXPECT_EQ(g_dead.size(), 1u); // nothing more after the input
    EXPECT_EQ(Zuvi_RetCollectCounts().freed, 1u);
    EXPECT_NE(capture.DebugText().find("GC aborted: "), std::string::npos);
    EXPECT_EQ(ZuObject::global_mark_sweep_status, 0u); // no mark left behind

    // The loop busy: a pass gives up after its first root.
    EXPECT_FALSE(Zuvi_CollectGarbage());

    ZuEvent::current->SetWaitingForEvent(true);
    g_input_on_death = false;
    g_dead.clear();
    Cycle("e", "f");
    ZuObject::global_mark_sweep_status = 0xFFu << ZU_OBJECT_MARK_0;
    EXPECT_TRUE(Zuvi_CollectGarbage());
    EXPECT_EQ(Zuvi_RetCollectCounts().marked, 0u);
    EXPECT_TRUE(g_dead.empty());
    ZuObject::global_mark_sweep_status = 0;
}

TEST_F(Collector, AfterAnAbortedPassTheNextFollowsIdlePollingNotTheLongWait)
{
    ZuThreadRef thread = ZuNew<ZuThread>(Zuvi_app_zone);
    GcScriptedRef gc = ZuNew<GcScripted>(Zuvi_app_zone);
    ZuEvent::current->SetWaitingForEvent(false);
    Cycle("a", "b");
    gc->script = [](GcScripted& self, const ZuThreadRef& t) {
        std::size_t n = self.pauses.size();
        if (n == 21) {
            // Idle after the long wait; the first death brings input.
            g_input_on_death = true;
            ZuEvent::current->SetWaitingForEvent(true);
        } else if (n == 22) {
            // Idle again 50 ms later: the next pass completes.
            g_input_on_death = false;
            ZuEvent::current->SetWaitingForEvent(true);
        } else if (n == 23) {
            t->RequestStop();
        }
    };
    EXPECT_TRUE(gc->Run(thread));
    // 21 rounds, the aborted pass, 50 ms of polling, the completed pass,
    // then the next long wait.
    std::vector<unsigned> want(21, 1000);
    want.push_back(50);
    want.push_back(1000);
    EXPECT_EQ(gc->pauses, want);
    EXPECT_EQ(g_dead, (std::set<std::string>{"a", "b"}));
    gc->script = nullptr;
    thread->Delete();
}

} // namespace
