#include <vector>

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/array.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// A source of reports.
ZU_HANDLE(TObjSource, ZuObject)
class TObjSource : public ZuObject {
    ZU_CLASS(TObjSource, ZuObject)
public:
    TObjSource() {}
    using ZuObject::GetUnknownData;
    using ZuObject::QuickReport;
    using ZuObject::SetStatus;
    using ZuObject::SetUnknownData;
};
ZU_CLASS_END(TObjSource)
ZU_IMPLEMENT_CLASS(TObjSource, "tests/object", ZU_CLASS_PLAIN)

// An observer with an observer-form target "OnEvent", an actor "Ping" and
// both forms under the name "Close"; what it does when called is set by
// the test.
ZU_HANDLE(TObjObserver, ZuObject)
class TObjObserver : public ZuObject {
    ZU_CLASS(TObjObserver, ZuObject)
public:
    TObjObserver() {}
    bool OnEvent(const ZuObjectRef& source, unsigned id)
    {
        ++calls;
        last_source = source.RetRawObject();
        last_id = id;
        log->push_back(this);
        if (on_call)
            on_call(this, source);
        return true;
    }
    bool Ping()
    {
        ++pings;
        return true;
    }
    bool Close()
    {
        ++closes_actor;
        return true;
    }
    bool CloseObs(const ZuObjectRef&, unsigned)
    {
        ++closes_observer;
        return true;
    }
    void NotifyAttach(const ZuObjectRef&) override { ++attached; }
    void NotifyDetach(const ZuObjectRef&) override { ++detached; }

    int calls = 0, pings = 0, closes_actor = 0, closes_observer = 0, attached = 0, detached = 0;
    ZuObject* last_source = nullptr;
    unsigned last_id = 0;
    void (*on_call)(TObjObserver*, const ZuObjectRef&) = nullptr;
    static std::vector<TObjObserver*>* log;
    static ZuObjectRef extra; // an observer a callback attaches
};
ZU_CLASS_END(TObjObserver)
std::vector<TObjObserver*>* TObjObserver::log = nullptr;
ZuObjectRef TObjObserver::extra;
ZU_IMPLEMENT_CLASS(TObjObserver, "tests/object", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TObjObserver, OnEvent)
ZU_EXPORT_ACTOR(TObjObserver, Ping)
ZU_EXPORT_ACTOR(TObjObserver, Close)
static Zuvi_TargetExport
close_observer([](ZuObject* o, const ZuObjectRef& s,
                  unsigned id) -> bool { return static_cast<TObjObserver*>(o)->CloseObs(s, id); },
               "Close (ZuObjectRef source, unsigned id)", TObjObserverRef::RetRuntime());

// Deeper than TObjObserver.
ZU_HANDLE(TObjDeep, TObjObserver)
class TObjDeep : public TObjObserver {
    ZU_CLASS(TObjDeep, TObjObserver)
public:
    TObjDeep() {}
};
ZU_CLASS_END(TObjDeep)
ZU_IMPLEMENT_CLASS(TObjDeep, "tests/object", ZU_CLASS_PLAIN)

namespace {

class ObjectTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        TObjObserver::log = &log;
        event = "test_event";
        other = "other_event";
        on_event = "OnEvent";
    }
    void TearDown() override
    {
        TObjObserver::extra = ZuObjectNull;
        ZuviRuntimeTest::TearDown();
    }
    static TObjSourceRef NewSource()
    {
        return TObjSourceRef(ZuClassFactory::New("TObjSource", nullptr, __LINE__, __FILE__));
    }
    static TObjObserverRef NewObserver()
    {
        return TObjObserverRef(ZuClassFactory::New("TObjObserver", nullptr, __LINE__, __FILE__));
    }
    std::vector<TObjObserver*> log;
    ZuAtomRef event, other;
    ZuAtomRef on_event;
};

TEST(ObjectStatusTest, EnumerationFamily)
{
    ZuObjectStatusBit bit = ZU_OBJECT_IS_ASYNC_SOURCE;
    EXPECT_EQ(ZU_OBJECT_IS_ASYNC_SOURCE, bit++);
    EXPECT_EQ(ZU_OBJECT_MARK_0, bit);
    bit = ZU_OBJECT_MARK_7;
    bit++;
    EXPECT_EQ(24u, unsigned(bit));
    bit = ZuObjectStatusBit(5);
    bit++;
    EXPECT_EQ(5u, unsigned(bit));
    EXPECT_STREQ("?", ZuObjectStatusBitRetName(ZuObjectStatusBit(5)));
    EXPECT_STREQ("ZU_OBJECT_MARK_3", ZuObjectStatusBitRetName(ZU_OBJECT_MARK_3));
    EXPECT_FALSE(IsValid(ZuObjectStatusBit(3)));
    EXPECT_TRUE(IsValid(ZU_OBJECT_IS_CONNECTED));
}

TEST_F(ObjectTest, EightMarkAndSweepPassesAtOnce)
{
    ZuObjectStatusBit bits[8];
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(ZuObject::MarkAndSweepBegin(bits[i]));
        EXPECT_EQ(unsigned(ZU_OBJECT_MARK_0) + i, unsigned(bits[i]));
    }
    ZuObjectStatusBit ninth = ZU_OBJECT_IS_CONNECTED;
    EXPECT_FALSE(ZuObject::MarkAndSweepBegin(ninth));
    EXPECT_EQ(ZU_OBJECT_IS_CONNECTED, ninth);

    TObjSourceRef s = NewSource();
    EXPECT_FALSE(s->MarkAndSweepSet(bits[2]));
    EXPECT_TRUE(s->MarkAndSweepTest(bits[2]));
    ZuObject::MarkAndSweepReset(bits[2]);
    EXPECT_FALSE(s->MarkAndSweepTest(bits[2]));

    EXPECT_TRUE(ZuObject::MarkAndSweepEnd(bits[3]));
    EXPECT_FALSE(ZuObject::MarkAndSweepEnd(bits[3]));
    ASSERT_TRUE(ZuObject::MarkAndSweepBegin(ninth));
    EXPECT_EQ(bits[3], ninth);
    for (int i = 0; i < 8; ++i)
        ZuObject::MarkAndSweepEnd(bits[i]);
}

TEST_F(ObjectTest, TypeTests)
{
    TObjObserverRef obs = NewObserver();
    TObjDeepRef deep(ZuClassFactory::New("TObjDeep", nullptr, __LINE__, __FILE__));
    EXPECT_TRUE(deep->IsKindOf(TObjObserverRef::RetRuntime()));
    EXPECT_TRUE(deep->IsKindOf(ZuObjectRef::RetRuntime()));
    EXPECT_FALSE(deep->IsA(TObjObserverRef::RetRuntime()));
    EXPECT_TRUE(deep->IsA(TObjDeepRef::RetRuntime()));
    EXPECT_FALSE(obs->IsKindOf(TObjDeepRef::RetRuntime()));
    EXPECT_FALSE(obs->IsKindOf(TObjSourceRef::RetRuntime()));
    EXPECT_EQ(obs->ComputeHashValue(97), obs->ComputeHashValue(97));
    EXPECT_EQ(0, obs->CompareWith(obs));
    EXPECT_NE(0u, obs->RetClassID());
    EXPECT_NE(obs->RetClassID(), deep->RetClassID());
    // A typed handle of the base class holds the derived object.
    TObjObserverRef base(deep);
    EXPECT_TRUE(base == deep);
}

TEST_F(ObjectTest, SameAttachmentTwiceIsOneOtherIdIsTwo)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef o = NewObserver();
    s->AttachObserver(o, event, on_event, 7);
    s->AttachObserver(o, event, on_event, 7);
    EXPECT_EQ(1u, s->CountAttached());
    EXPECT_EQ(1u, o->CountObserved());
    EXPECT_EQ(1, o->attached);
    EXPECT_TRUE(s->TestStatus(ZU_OBJECT_IS_CONNECTED));
    s->AttachObserver(o, event, on_event, 8);
    EXPECT_EQ(2u, s->CountAttached());
    EXPECT_TRUE(s->Report(event, 0));
    EXPECT_EQ(2, o->calls);
    EXPECT_EQ(s.RetRawObject(), o->last_source);

    ZuAtomRef ev, action;
    ZuObjectRef who;
    unsigned id = 0;
    ASSERT_TRUE(s->GetAttached(1, ev, action, who, id));
    EXPECT_TRUE(ev == event);
    EXPECT_TRUE(action == on_event);
    EXPECT_TRUE(who == o);
    EXPECT_EQ(8u, id);
    EXPECT_FALSE(s->GetAttached(2, ev, action, who, id));
    ASSERT_TRUE(o->GetObserved(0, ev, who, id));
    EXPECT_TRUE(who == s);

    s->DetachObserver(o, event, on_event, 7);
    EXPECT_EQ(1u, s->CountAttached());
    EXPECT_EQ(1, o->detached);
    s->DetachObserver(o);
    EXPECT_EQ(0u, s->CountAttached());
    EXPECT_FALSE(s->TestStatus(ZU_OBJECT_IS_CONNECTED));
}

TEST_F(ObjectTest, ReportsReachOnlyTheirEventAndCacheASingleObserver)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef a1 = NewObserver(), a2 = NewObserver(), b = NewObserver();
    s->AttachObserver(a1, event, on_event, 1);
    s->AttachObserver(a2, event, on_event, 2);
    s->AttachObserver(b, other, on_event, 3);
    EXPECT_TRUE(s->Report(event, 0));
    EXPECT_EQ(1, a1->calls);
    EXPECT_EQ(1, a2->calls);
    EXPECT_EQ(0, b->calls);
    EXPECT_TRUE(s->Report(other, 0));
    EXPECT_TRUE(s->Report(other, 0));
    EXPECT_EQ(2, b->calls);
    EXPECT_EQ(3u, b->last_id);
    EXPECT_FALSE(s->Report("nobody_listens", 0));
}

TEST_F(ObjectTest, ObserverAttachedDuringAReportWaitsForTheNext)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef first = NewObserver(), second = NewObserver();
    TObjObserver::extra = NewObserver();
    s->AttachObserver(first, event, on_event, 1);
    s->AttachObserver(second, event, on_event, 1);
    first->on_call = [](TObjObserver*, const ZuObjectRef& src) {
        src->AttachObserver(TObjObserver::extra, ZuAtomRef("test_event"), ZuAtomRef("OnEvent"), 9);
    };
    s->Report(event, 1);
    TObjObserverRef extra(TObjObserver::extra);
    EXPECT_EQ(1, first->calls);
    EXPECT_EQ(1, second->calls);
    EXPECT_EQ(0, extra->calls);
    first->on_call = nullptr;
    s->Report(event, 1);
    EXPECT_EQ(1, extra->calls);
}

TEST_F(ObjectTest, ObserversDetachingThemselvesDuringAReport)
{
    TObjSourceRef s = NewSource();
    std::vector<TObjObserverRef> obs;
    for (int i = 0; i < 6; ++i) {
        obs.push_back(NewObserver());
        s->AttachObserver(obs.back(), event, on_event, 0);
        if (i % 2 == 0)
            obs.back()->on_call = [](TObjObserver* self, const ZuObjectRef& src) {
                src->DetachObserver(ZuObjectRef(self));
            };
    }
    s->Report(event, 1);
    for (auto& o : obs)
        EXPECT_EQ(1, o->calls);
    EXPECT_EQ(3u, s->CountAttached());
    s->Report(event, 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(i % 2 == 0 ? 1 : 2, obs[i]->calls);
}

TEST_F(ObjectTest, ReportsServeMoreThanAHundredObservers)
{
    TObjSourceRef s = NewSource();
    std::vector<TObjObserverRef> obs;
    for (int i = 0; i < 150; ++i) {
        obs.push_back(NewObserver());
        s->AttachObserver(obs.back(), event, on_event, i);
    }
    EXPECT_TRUE(s->Report(event, 1));
    for (auto& o : obs)
        EXPECT_EQ(1, o->calls);
    EXPECT_EQ(150u, log.size());
    EXPECT_EQ(obs.front().RetRawObject(), log.front());
}

TEST_F(ObjectTest, ReportIds)
{
    TObjSourceRef s = NewSource();
    s->SetCurrentReportID(1);
    unsigned a = s->GetCurrentReportID();
    s->SetCurrentReportID(1);
    unsigned b = s->GetCurrentReportID();
    EXPECT_NE(a, b);
    EXPECT_GT(a, 1u);
    ZuObject::global_report_id = 0xFFFFFFFFu;
    EXPECT_EQ(2u, ZuObject::NewReportID());
    s->SetCurrentReportID(0);
    EXPECT_EQ(2u, s->GetCurrentReportID());
    s->SetCurrentReportID(77);
    EXPECT_EQ(77u, s->GetCurrentReportID());
}

TEST_F(ObjectTest, QuickReportsNeedAConnection)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef o = NewObserver();
    EXPECT_FALSE(s->QuickReport(event, 0));
    s->AttachObserver(o, event, on_event, 0);
    EXPECT_TRUE(s->QuickReport(event, 0));
    EXPECT_EQ(1, o->calls);
}

TEST_F(ObjectTest, ActionsPreferActorsAndReportMisses)
{
    TObjObserverRef o = NewObserver();
    EXPECT_TRUE(o->Action(ZuAtomRef("Close"), ZuObjectNull, 0));
    EXPECT_EQ(1, o->closes_actor);
    EXPECT_EQ(0, o->closes_observer);
    EXPECT_TRUE(o->Action(ZuAtomRef("Ping"), ZuObjectNull, 0));
    EXPECT_EQ(1, o->pings);
    EXPECT_FALSE(o->Action(ZuAtomRef("Missing"), ZuObjectNull, 0));
    EXPECT_EQ(2u, o->CountActors());
    EXPECT_EQ(2u, o->CountObservers());
    EXPECT_EQ(0u, o->CountMethods());
    ZuAtomRef name;
    EXPECT_TRUE(o->GetObserver(1, name));
    EXPECT_FALSE(o->GetObserver(2, name));
}

TEST_F(ObjectTest, CopyCarriesTheAttachments)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef o = NewObserver();
    s->AttachObserver(o, event, on_event, 4);
    ZuObjectRef copy = s->Clone();
    ASSERT_TRUE(copy.IsValid());
    EXPECT_NE(copy.RetRawObject(), s.RetRawObject());
    EXPECT_EQ(1u, copy->CountAttached());
    EXPECT_EQ(Zuvi_app_zone, copy->RetMemZone());
    TObjSourceRef lonely = NewSource();
    ZuObjectRef same = lonely->Copy(NewSource());
    EXPECT_TRUE(same == lonely);
    EXPECT_EQ(0u, lonely->CountAttached());
}

TEST_F(ObjectTest, MarkAsDeadEmptiesEveryHandle)
{
    TObjSourceRef s = NewSource();
    ZuObjectRef a(s), b(s);
    ZuObject* raw = s.RetRawObject();
    raw->MarkAsDead();
    EXPECT_TRUE(s.IsInvalid());
    EXPECT_TRUE(a.IsInvalid());
    EXPECT_EQ(1u, ZuObjectRef::CountPendingDeletions());
    raw->MarkAsDead(); // already queued: stays queued once
    EXPECT_EQ(1u, ZuObjectRef::CountPendingDeletions());
    ZuObjectRef::RealiseDeletions();

    TObjSourceRef t = NewSource();
    ZuObjectRef keep(t), drop(t);
    t->MarkAsDeadButOne(keep);
    EXPECT_TRUE(t.IsInvalid());
    EXPECT_TRUE(drop.IsInvalid());
    EXPECT_TRUE(keep.IsValid());
    EXPECT_EQ(1u, keep->RetRefCount());
}

TEST_F(ObjectTest, UnknownData)
{
    TObjSourceRef s = NewSource();
    ZuObjectRef out;
    EXPECT_FALSE(s->GetUnknownData(out));
    TObjObserverRef o = NewObserver();
    EXPECT_TRUE(s->SetUnknownData(o));
    EXPECT_TRUE(s->GetUnknownData(out));
    EXPECT_TRUE(out == o);
}

TEST_F(ObjectTest, AttachingAMissingActionWarnsAndAttachesNothing)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef o = NewObserver();
    s->AttachObserver(o, event, ZuAtomRef("NoSuchAction"), 0);
    EXPECT_EQ(0u, s->CountAttached());
    EXPECT_FALSE(s->TestStatus(ZU_OBJECT_IS_CONNECTED));
}

TEST_F(ObjectTest, DeleteBreaksTheAttachments)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef o = NewObserver();
    s->AttachObserver(o, event, on_event, 0);
    o->Delete();
    EXPECT_EQ(0u, s->CountAttached());
    EXPECT_EQ(0u, o->CountObserved());
    s->AttachObserver(o, event, on_event, 0);
    s->DetachSelfFromAll();
    o->DetachSelfFromAll();
    EXPECT_EQ(0u, s->CountAttached());
}

} // namespace

namespace {

TEST_F(ObjectTest, AttachmentsAreStoredWithTheObjects)
{
    TObjSourceRef s = NewSource();
    TObjObserverRef kept = NewObserver();
    s->AttachObserver(kept, event, on_event, 5);
    s->AttachObserver(kept, other, ZuAtomRef("Ping"), 6);

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(s);
    const std::vector<unsigned char> bytes = store->Bytes();

    store->StartRestoring(bytes);
    ZuObjectRef restored;
    store->RestoreObject(restored, TObjSourceRef::RetRuntime());
    ASSERT_TRUE(restored.IsValid());
    EXPECT_NE(restored.RetRawObject(), s.RetRawObject());
    ASSERT_EQ(2u, restored->CountAttached());
    ZuAtomRef ev, action;
    ZuObjectRef who;
    unsigned id = 0;
    ASSERT_TRUE(restored->GetAttached(1, ev, action, who, id));
    EXPECT_TRUE(ev == other);
    EXPECT_TRUE(action == "Ping");
    EXPECT_EQ(6u, id);
    TObjObserverRef observer(who);
    EXPECT_NE(observer.RetRawObject(), kept.RetRawObject());
    EXPECT_EQ(2u, observer->CountObserved());
    restored->Report(other, 1);
    EXPECT_EQ(1, observer->pings);
    EXPECT_EQ(0, kept->pings);
}

} // namespace

namespace {

TEST_F(ObjectTest, RegistrationsAsTargetOf)
{
    TObjObserverRef target = NewObserver();
    TObjSourceRef a = NewSource(), b = NewSource();
    EXPECT_FALSE(target->UnregisterAsTargetOf(a));
    EXPECT_TRUE(target->RegisterAsTargetOf(a));
    EXPECT_TRUE(target->RegisterAsTargetOf(b));
    EXPECT_TRUE(target->UnregisterAsTargetOf(a));
    EXPECT_FALSE(target->UnregisterAsTargetOf(a));
    EXPECT_FALSE(target->RegisterAsTargetOf(ZuObjectNull));
    b->SetAttribute("Zuvi.volatile.observer");
    TObjObserverRef other = NewObserver();
    EXPECT_FALSE(other->RegisterAsTargetOf(b));
}

} // namespace

namespace {

TEST_F(ObjectTest, ContainerFormsAnswerNothingInTheRoot)
{
    TObjObserverRef o = NewObserver();
    ZuContainerRef out(ZuObjectRef(ZuClassFactory::New("ZuArray", nullptr, __LINE__, __FILE__)));
    ASSERT_TRUE(out.IsValid());
    EXPECT_FALSE(o->GetObserver(out));
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(o->GetActor(out));
    EXPECT_FALSE(o->GetMethod(out));
    EXPECT_FALSE(o->GetPublicData(out));
    EXPECT_FALSE(o->GetAttached(out));
    ZuAtomRef name;
    unsigned num = 9;
    EXPECT_FALSE(o->GetMethod(0, name, num, nullptr));
    EXPECT_EQ(9u, num);
}

} // namespace
