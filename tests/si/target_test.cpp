// Targets: a name on an object, resolved once by kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/target.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// "Hit" exists in all three forms; "Ping" only as an actor, "Look" only as
// an observer.
ZU_HANDLE(TTargetee, ZuObject)
class TTargetee : public ZuObject {
    ZU_CLASS(TTargetee, ZuObject)
public:
    TTargetee() {}
    std::string log;
};
ZU_CLASS_END(TTargetee)
ZU_IMPLEMENT_CLASS(TTargetee, "tests/target", ZU_CLASS_PLAIN)

namespace {

TTargetee* Self(ZuObject* o)
{
    return static_cast<TTargetee*>(o);
}

Zuvi_TargetExport hit_actor(
    [](ZuObject* o) -> bool {
        Self(o)->log += "actor ";
        return true;
    },
    "Hit", TTargeteeRef::RetRuntime());
Zuvi_TargetExport ping_actor(
    [](ZuObject* o) -> bool {
        Self(o)->log += "ping ";
        return true;
    },
    "Ping", TTargeteeRef::RetRuntime());
Zuvi_TargetExport hit_observer(
    [](ZuObject* o, const ZuObjectRef& arg, unsigned flags) -> bool {
        Self(o)->log += "observer(" + std::string(arg.IsValid() ? "arg" : "-") + "," +
                        std::to_string(flags) + ") ";
        return false;
    },
    "Hit", TTargeteeRef::RetRuntime());
Zuvi_TargetExport hit_method(
    [](const ZuMessageRef&, ZuObject* o, Zuvi_TargetExport* exp) -> bool {
        if (o == nullptr) {
            exp->SetCall("Hit ()");
            return true;
        }
        Self(o)->log += "method ";
        return true;
    },
    TTargeteeRef::RetRuntime());

Zuvi_TargetExport look_observer(
    [](ZuObject* o, const ZuObjectRef& arg, unsigned flags) -> bool {
        Self(o)->log +=
            "look(" + std::string(arg.IsValid() ? "arg" : "-") + "," + std::to_string(flags) + ") ";
        return true;
    },
    "Look", TTargeteeRef::RetRuntime());

class TargetTest : public ZuviRuntimeTest {
protected:
    TTargeteeRef NewTargetee() { return ZuNew<TTargetee>(); }
    ZuTargetRef NewTarget() { return ZuNew<ZuTarget>(); }
    // Every Do call; the log says which ones called.
    std::string DoAll(const ZuTargetRef& t, const TTargeteeRef& o)
    {
        o->log.clear();
        ZuMessageRef msg(
            ZuObjectRef(ZuClassFactory::New("ZuMessage", Zuvi_app_zone, __LINE__, __FILE__)));
        std::string answers;
        answers += t->DoAction() ? "A" : "-";
        answers += t->DoReport(o, 4) ? "R" : "-";
        answers += t->DoMessage(msg) ? "M" : "-";
        return answers + " " + o->log;
    }
};

} // namespace

TEST_F(TargetTest, EachKindResolvesItsOwnFormOnly)
{
    TTargeteeRef o = NewTargetee();
    struct Case {
        ZuTargetType type;
        const char* name;
        bool valid;
        const char* calls;
    } const cases[] = {
        {ZU_TARGET_NONE, "Hit", false, "--- "},
        {ZU_TARGET_MESSAGE, "Hit", true, "--M method "},
        {ZU_TARGET_OBSERVER, "Hit", true, "-R- observer(arg,4) "},
        {ZU_TARGET_ACTOR, "Hit", true, "A-- actor "},
        {4, "Hit", false, "--- "},
        {0xFFFFFFFFu, "Hit", false, "--- "},
        {ZU_TARGET_MESSAGE, "Ping", false, "--- "}, // an actor is no method
        {ZU_TARGET_ACTOR, "Missing", false, "--- "},
    };
    for (const Case& c : cases) {
        ZuTargetRef t = NewTarget();
        EXPECT_EQ(c.valid, t->SetTarget(ZuAtomRef(c.name), o, c.type)) << c.name << " " << c.type;
        EXPECT_EQ(c.valid, t->IsValid()) << c.name << " " << c.type;
        EXPECT_EQ(c.calls, DoAll(t, o)) << c.name << " " << c.type;
        ZuAtomRef name;
        ZuObjectRef object;
        ZuTargetType type = 99;
        EXPECT_TRUE(t->GetTarget(name, object, type));
        EXPECT_TRUE(name == c.name && object == o && type == c.type);
    }
}

TEST_F(TargetTest, RepointingKeepsOrLosesTheResolvedEntryByClass)
{
    TTargeteeRef a = NewTargetee(), b = NewTargetee();
    ZuObjectRef stranger = ZuTestNode::Make(3);
    ZuTargetRef t = NewTarget();
    ASSERT_TRUE(t->SetTarget(ZuAtomRef("Ping"), a, ZU_TARGET_ACTOR));
    EXPECT_TRUE(t->AttachToObject(a));
    EXPECT_TRUE(t->AttachToObject(b)); // same class: still resolved
    EXPECT_TRUE(t->RetObject() == b);
    EXPECT_EQ("A-- ping ", DoAll(t, b));
    EXPECT_EQ("", a->log);
    EXPECT_FALSE(t->AttachToObject(stranger)); // no "Ping" there
    EXPECT_FALSE(t->IsValid());
    EXPECT_EQ("--- ", DoAll(t, a));
    EXPECT_TRUE(t->AttachToObject(a)); // resolved again
    EXPECT_FALSE(t->AttachToObject(ZuObjectNull));
    EXPECT_FALSE(t->IsValid());
    EXPECT_TRUE(t->RetObject().IsInvalid());
}

TEST_F(TargetTest, AttachesAndDetachesItsObjectAsAnObserver)
{
    TTargeteeRef observer = NewTargetee(), source = NewTargetee();
    for (bool own_name : {false, true}) {
        ZuTargetRef t = NewTarget();
        observer->log.clear();
        if (own_name) {
            EXPECT_TRUE(
                t->DefineObserver(observer, ZuAtomRef("notify_changed"), ZuAtomRef("Look")));
            EXPECT_TRUE(t->RetName() == "Look");
        } else {
            // The observer entry of the event's own name: none here.
            EXPECT_FALSE(t->DefineObserver(observer, ZuAtomRef("notify_changed")));
            EXPECT_TRUE(t->RetName() == "notify_changed");
        }
        EXPECT_TRUE(t->RetEvent() == "notify_changed");
        EXPECT_EQ(unsigned(ZU_TARGET_OBSERVER), t->RetType());
        if (!own_name)
            continue;
        EXPECT_TRUE(t->DoAttachObserver(source, 6));
        source->ReportChange(0);
        EXPECT_EQ("look(arg,6) ", observer->log);
        // Detached under the name it was attached with.
        EXPECT_TRUE(t->DoDetachObserver(source, 6));
        observer->log.clear();
        source->ReportChange(0);
        EXPECT_EQ("", observer->log);
        EXPECT_EQ(0u, source->CountAttached());
    }
    ZuTargetRef bare = NewTarget();
    EXPECT_TRUE(bare->DoAttachObserver(source, 1)); // nothing set: nothing done
    EXPECT_EQ(0u, source->CountAttached());
}

TEST_F(TargetTest, ARestoredTargetIsResolvedAgain)
{
    TTargeteeRef o = NewTargetee();
    ZuTargetRef t = NewTarget();
    t->SetTarget(ZuAtomRef("Hit"), o, ZU_TARGET_OBSERVER);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(t);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuTargetRef::RetRuntime());
    ZuTargetRef back(out);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetName() == "Hit");
    EXPECT_EQ(unsigned(ZU_TARGET_OBSERVER), back->RetType());
    ASSERT_TRUE(back->RetObject().IsValid());
    EXPECT_FALSE(back->RetObject() == o); // a copy of the object
    EXPECT_TRUE(back->IsValid());
    EXPECT_TRUE(back->RetEvent().IsInvalid());
    back->Delete();
    EXPECT_TRUE(back->RetName().IsInvalid());
    EXPECT_TRUE(back->RetObject().IsInvalid());
}
