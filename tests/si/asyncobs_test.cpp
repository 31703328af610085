// Asynchronous observer records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/asyncobs.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

ZU_HANDLE(TAsyncWatcher, ZuObject)
class TAsyncWatcher : public ZuObject {
    ZU_CLASS(TAsyncWatcher, ZuObject)
public:
    TAsyncWatcher() {}
    bool first(const ZuObjectRef& s, unsigned id)
    {
        log += "first(" + std::string(s.IsValid() ? "src" : "-") + "," + std::to_string(id) + ") ";
        return true;
    }
    bool second(const ZuObjectRef&, unsigned id)
    {
        log += "second(" + std::to_string(id) + ") ";
        return true;
    }
    std::string log;
};
ZU_CLASS_END(TAsyncWatcher)
ZU_IMPLEMENT_CLASS(TAsyncWatcher, "tests/asyncobs", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TAsyncWatcher, first)
ZU_EXPORT_OBSERVER(TAsyncWatcher, second)

namespace {

class AsyncObsTest : public ZuviRuntimeTest {
protected:
    TAsyncWatcherRef NewWatcher() { return ZuNew<TAsyncWatcher>(); }
    ZuAsyncObsRef NewRecord(const char* event, const ZuObjectRef& observer, const ZuTextRef& actor,
                            unsigned id)
    {
        ZuAsyncObsRef rec(ZuNew<ZuAsyncObs>());
        rec->Initialise(ZuAtomPathRef(event), observer, actor, id);
        made.push_back(rec);
        return rec;
    }
    void TearDown() override
    {
        for (ZuAsyncObsRef& rec : made)
            if (rec.IsValid())
                rec->Delete();
        made.clear();
        ZuviRuntimeTest::TearDown();
    }
    std::vector<ZuAsyncObsRef> made;
};

} // namespace

TEST_F(AsyncObsTest, ADottedActorTextIsAChainAndOneNameAnActor)
{
    TAsyncWatcherRef w = NewWatcher();
    ZuObjectRef source = ZuTestNode::Make(1);

    ZuAsyncObsRef chain = NewRecord("DrawEvent", w, ZuStringRef("first.second"), 8);
    EXPECT_EQ(2u, chain->RetActorNum());
    EXPECT_TRUE(chain->RetActor(0) == "first");
    EXPECT_TRUE(chain->RetActor(1) == "second");
    EXPECT_TRUE(chain->RetActors().IsValid());
    chain->Report(source);
    EXPECT_EQ("first(src,8) second(8) ", w->log);

    w->log.clear();
    ZuAsyncObsRef one = NewRecord("def.notify_Modify", w, ZuStringRef("second"), 3);
    EXPECT_EQ(1u, one->RetActorNum());
    EXPECT_TRUE(one->RetActor(0) == "second");
    EXPECT_TRUE(one->RetActor(1).IsInvalid());
    EXPECT_TRUE(one->RetActors().IsInvalid());
    one->Report(source);
    EXPECT_EQ("second(3) ", w->log);

    ZuAsyncObsRef atom = NewRecord("x", w, ZuAtomRef("first.second"), 0); // an atom is one name
    EXPECT_EQ(1u, atom->RetActorNum());
    EXPECT_TRUE(atom->RetActor(0) == "first.second");

    // The accessors, and the event path is a copy of the one given.
    ZuAtomPathRef path("a.b");
    ZuAsyncObsRef copy(ZuNew<ZuAsyncObs>());
    copy->Initialise(path, w, ZuStringRef("first"), 5);
    made.push_back(copy);
    EXPECT_FALSE(copy->RetEvent() == path);
    EXPECT_TRUE(copy->RetEvent()->IsEqual(path));
    EXPECT_TRUE(copy->RetObserver() == w);
    EXPECT_EQ(5u, copy->RetId());
}

TEST_F(AsyncObsTest, ARecordRegistersWithItsObserverUntilDeleted)
{
    TAsyncWatcherRef w = NewWatcher();
    ZuAsyncObsRef rec = NewRecord("e", w, ZuStringRef("first"), 1);
    // Registered once: it can be taken off once.
    EXPECT_TRUE(w->UnregisterAsAsyncObserver(rec));
    EXPECT_FALSE(w->UnregisterAsAsyncObserver(rec));
    EXPECT_TRUE(w->RegisterAsAsyncObserver(rec));
    rec->Delete();
    EXPECT_FALSE(w->UnregisterAsAsyncObserver(rec));
    EXPECT_TRUE(rec->RetObserver().IsInvalid());
    rec->Report(w); // no observer: nothing
    EXPECT_EQ("", w->log);
}

TEST_F(AsyncObsTest, EqualityIgnoresTheEventAndOrderEndsWithTheId)
{
    TAsyncWatcherRef w = NewWatcher(), other = NewWatcher();
    ZuAsyncObsRef a = NewRecord("one", w, ZuStringRef("first"), 2);
    ZuAsyncObsRef b = NewRecord("two.paths", w, ZuStringRef("first"), 2);
    EXPECT_TRUE(a->IsEqual(b));
    struct Case {
        const char* event;
        bool same_observer;
        const char* actor;
        unsigned id;
        bool equal;
        int order; // a compared with the case's record
    } const cases[] = {
        {"one", true, "first", 2, true, 0},   {"one", true, "first", 1, false, 1},
        {"one", true, "first", 3, false, -1}, {"one", false, "first", 2, false, 2},
        {"one", true, "second", 2, false, 2}, {"one", true, "first.second", 2, false, 2},
    };
    for (const Case& c : cases) {
        ZuAsyncObsRef r = NewRecord(c.event, c.same_observer ? ZuObjectRef(w) : ZuObjectRef(other),
                                    ZuStringRef(c.actor), c.id);
        EXPECT_EQ(c.equal, a->IsEqual(r)) << c.actor << " " << c.id;
        if (c.order != 2 && r->RetActor(0).IsValid() && r->RetActors().IsInvalid()) {
            EXPECT_EQ(c.order, a->CompareWith(r)) << c.actor << " " << c.id;
        }
        if (c.equal) {
            EXPECT_EQ(a->ComputeHashValue(97), r->ComputeHashValue(97));
        }
    }
    EXPECT_FALSE(a->IsEqual(ZuObjectNull));
    EXPECT_FALSE(a->IsEqual(w));
    EXPECT_EQ(1, a->CompareWith(ZuObjectNull));
    EXPECT_LT(a->ComputeHashValue(7), 7u);
}

TEST_F(AsyncObsTest, RecordsThatCannotBeOrderedOrMadeStopTheProgram)
{
    TAsyncWatcherRef w = NewWatcher();
    ZuAsyncObsRef chain = NewRecord("e", w, ZuStringRef("first.second"), 0);
    ZuAsyncObsRef one = NewRecord("e", w, ZuStringRef("first"), 0);
    EXPECT_DEATH(chain->CompareWith(one),
                 "si/asyncobs:[0-9]+:error: Failed assertion: this->actor.IsValid \\(\\)");
    ZuAsyncObsRef blank(ZuNew<ZuAsyncObs>());
    EXPECT_DEATH(blank->CompareWith(one), "Failed assertion: this->observer.IsValid \\(\\)");
    struct Case {
        const char* event;
        bool observer;
        const char* actor;
        const char* message;
    } const cases[] = {
        {nullptr, true, "first", "Failed assertion: event.IsValid \\(\\)"},
        {"e", false, "first", "Failed assertion: obs.IsValid \\(\\)"},
        {"e", true, nullptr, "Failed assertion: actor.IsValid \\(\\)"},
    };
    for (const Case& c : cases) {
        ZuAtomPathRef event = c.event ? ZuAtomPathRef(c.event) : ZuAtomPathRef();
        ZuTextRef actor = c.actor ? ZuTextRef(ZuStringRef(c.actor)) : ZuTextRef();
        EXPECT_DEATH(
            blank->Initialise(event, c.observer ? ZuObjectRef(w) : ZuObjectRef(), actor, 0),
            c.message);
    }
}

TEST_F(AsyncObsTest, AStoredRecordComesBackWithItsFields)
{
    TAsyncWatcherRef w = NewWatcher();
    ZuAsyncObsRef rec = NewRecord("def.notify_Modify", w, ZuStringRef("first.second"), 12);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(rec);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuAsyncObsRef::RetRuntime());
    ZuAsyncObsRef back(out);
    ASSERT_TRUE(back.IsValid());
    made.push_back(back);
    EXPECT_EQ(12u, back->RetId());
    EXPECT_TRUE(back->RetEvent()->IsEqual(ZuAtomPathRef("def.notify_Modify")));
    ASSERT_TRUE(back->RetObserver().IsValid());
    EXPECT_TRUE(back->RetObserver()->IsA(TAsyncWatcherRef::RetRuntime()));
    EXPECT_EQ(2u, back->RetActorNum());
    EXPECT_TRUE(back->RetActor(1) == "second");
}
