// What each run-time class collects at start-up from the process-wide
// export lists: its targets, notifications, interfaces and published data,
// in the order the lists give them, whatever other classes' entries lie
// between.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/icontainer.h"
#include "si/interface.h"
#include "si/itickhandler.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/typeinfo.h"
#include "tests/support/objmodel.h"

ZU_HANDLE(TCollectA, ZuObject)
class TCollectA : public ZuObject {
    ZU_CLASS(TCollectA, ZuObject)
public:
    TCollectA() {}
    bool Alpha() { return true; }
    bool Gamma(const ZuObjectRef&, unsigned) { return true; }
    bool Epsilon() { return true; }
};
ZU_CLASS_END(TCollectA)
ZU_IMPLEMENT_CLASS(TCollectA, "tests/rtclass", ZU_CLASS_PLAIN)

ZU_HANDLE(TCollectB, TCollectA)
class TCollectB : public TCollectA {
    ZU_CLASS(TCollectB, TCollectA)
public:
    TCollectB() {}
    bool Beta() { return true; }
    bool Delta(const ZuObjectRef&, unsigned) { return true; }
};
ZU_CLASS_END(TCollectB)
ZU_IMPLEMENT_CLASS(TCollectB, "tests/rtclass", ZU_CLASS_PLAIN)

// The two classes' entries alternate in every list.
ZU_EXPORT_ACTOR(TCollectA, Alpha)
ZU_EXPORT_ACTOR(TCollectB, Beta)
ZU_EXPORT_OBSERVER(TCollectA, Gamma)
ZU_EXPORT_OBSERVER(TCollectB, Delta)
ZU_EXPORT_ACTOR(TCollectA, Epsilon)

static Zuvi_InterfaceExport collect_a_container(&TCollectARef::RetRuntime(),
                                                &ZuiContainer::interface, nullptr);
static Zuvi_InterfaceExport collect_b_ticks(&TCollectBRef::RetRuntime(), &ZuiTickHandler::interface,
                                            nullptr);
static Zuvi_InterfaceExport collect_a_ticks(&TCollectARef::RetRuntime(), &ZuiTickHandler::interface,
                                            nullptr);

namespace {

ZuAtomRef loose_atom;
ZuAtomRef loose_both_atom;
ZuAtomRef a_second_atom;
int loose_shots = 0;
int loose_both_shots = 0;

Zuvi_NotifyExport notify_a_first(&TCollectARef::RetRuntime(), "CollectAFirst", nullptr, nullptr);
Zuvi_NotifyExport notify_loose(nullptr, "CollectLoose", nullptr, &loose_atom);
Zuvi_NotifyExport notify_b_first(&TCollectBRef::RetRuntime(), "CollectBFirst", "b_data", nullptr);
Zuvi_NotifyExport notify_shot(nullptr, nullptr, nullptr, nullptr, [] { ++loose_shots; });
Zuvi_NotifyExport notify_a_second(&TCollectARef::RetRuntime(), "CollectASecond", "a_data",
                                  &a_second_atom);
Zuvi_NotifyExport notify_both(nullptr, "CollectLooseBoth", nullptr, &loose_both_atom,
                              [] { ++loose_both_shots; });
Zuvi_NotifyExport notify_b_second(&TCollectBRef::RetRuntime(), "CollectBSecond", "b_data", nullptr);

void NoGet(ZuValueRef&, ZuObject*) {}

Zuvi_PubDataDef MakeItem(const ZuRuntimeRef& rt, const char* name)
{
    return {&rt, name, name, &Card32_type, true, false, &NoGet, nullptr};
}

// Items of both classes from one declaration, routed by the items' class.
void DeclareMixed(ZuRuntime* rt)
{
    static Zuvi_PubDataDef items[] = {
        MakeItem(TCollectARef::RetRuntime(), "a_first"),
        MakeItem(TCollectBRef::RetRuntime(), "b_first"),
        MakeItem(TCollectARef::RetRuntime(), "a_second"),
    };
    for (Zuvi_PubDataDef& item : items)
        rt->PublishData(item);
}
Zuvi_PubDataExport mixed_data(&DeclareMixed);

// A declaration that looks at the class it is called for.
std::vector<const ZuRuntime*> routed_calls;
void DeclareRouted(ZuRuntime* rt)
{
    static Zuvi_PubDataDef item = MakeItem(TCollectBRef::RetRuntime(), "b_second");
    routed_calls.push_back(rt);
    if (rt == TCollectBRef::RetRuntime().RetRawObject())
        rt->PublishData(item);
}
Zuvi_PubDataExport routed_data(&DeclareRouted);

// A declaration that names its class: called for that class only.
std::vector<const ZuRuntime*> named_calls;
void DeclareNamed(ZuRuntime* rt)
{
    static Zuvi_PubDataDef item = MakeItem(TCollectARef::RetRuntime(), "a_third");
    named_calls.push_back(rt);
    rt->PublishData(item);
}
Zuvi_PubDataExport named_data(&DeclareNamed, TCollectARef::RetRuntime());

class RuntimeCollect : public ZuviRuntimeTest {};

std::vector<std::string> Targets(const ZuRuntimeRef& rt)
{
    std::vector<std::string> out;
    ZuAtomRef name;
    unsigned kind = 0;
    const Zuvi_Target* target = nullptr;
    for (unsigned i = 0; rt->GetTarget(i, name, kind, target); ++i)
        out.push_back(std::string(static_cast<const char*>(name)) + "/" + std::to_string(kind));
    return out;
}

std::vector<std::string> Notifies(const ZuRuntimeRef& rt)
{
    std::vector<std::string> out;
    ZuAtomRef event;
    for (unsigned i = 0; rt->GetNotify(i, event); ++i)
        out.push_back(static_cast<const char*>(event));
    return out;
}

std::vector<const Zuvi_Interface*> Interfaces(const ZuRuntimeRef& rt)
{
    std::vector<const Zuvi_Interface*> out;
    const Zuvi_Interface* iface = nullptr;
    for (unsigned i = 0; rt->GetInterface(i, iface); ++i)
        out.push_back(iface);
    return out;
}

std::vector<std::string> PubData(const ZuRuntimeRef& rt)
{
    std::vector<std::string> out;
    const Zuvi_PubData* item = nullptr;
    for (unsigned i = 0; rt->GetPubData(i, item); ++i)
        out.push_back(static_cast<const char*>(item->RetName()));
    return out;
}

} // namespace

// Each class lists its own entries newest first, with none of the other's.
TEST_F(RuntimeCollect, InterleavedExportsGoToTheirOwnClassInOrder)
{
    const ZuRuntimeRef& a = TCollectARef::RetRuntime();
    const ZuRuntimeRef& b = TCollectBRef::RetRuntime();
    const std::string actor = std::to_string(Zuvi_Target::KIND_ACTOR);
    const std::string observer = std::to_string(Zuvi_Target::KIND_OBSERVER);

    EXPECT_EQ(Targets(a), (std::vector<std::string>{"Epsilon/" + actor, "Gamma/" + observer,
                                                    "Alpha/" + actor}));
    EXPECT_EQ(Targets(b), (std::vector<std::string>{"Delta/" + observer, "Beta/" + actor}));
    EXPECT_EQ(a->CountTargets(), 3u);
    EXPECT_EQ(b->CountTargets(), 2u);
    // Look-ups climb from the class to its super class.
    EXPECT_NE(b->FindActor(ZuAtomRef("Alpha")), nullptr);
    EXPECT_EQ(a->FindActor(ZuAtomRef("Beta")), nullptr);

    EXPECT_EQ(Notifies(a), (std::vector<std::string>{"CollectASecond", "CollectAFirst"}));
    EXPECT_EQ(Notifies(b), (std::vector<std::string>{"CollectBSecond", "CollectBFirst"}));
    EXPECT_EQ(a->CountNotify(), 2u);
    EXPECT_EQ(b->CountNotify(ZuAtomRef("b_data")), 2u);
    EXPECT_EQ(a->CountNotify(ZuAtomRef("a_data")), 1u);
    // The handle of a notification with data receives the data's atom.
    EXPECT_TRUE(a_second_atom == "a_data");

    // Own interfaces newest first, then the super class's.
    EXPECT_EQ(Interfaces(a), (std::vector<const Zuvi_Interface*>{&ZuiTickHandler::interface,
                                                                 &ZuiContainer::interface}));
    EXPECT_EQ(Interfaces(b), (std::vector<const Zuvi_Interface*>{&ZuiTickHandler::interface,
                                                                 &ZuiTickHandler::interface,
                                                                 &ZuiContainer::interface}));
    EXPECT_EQ(b->CountInterfaces(), 3u);

    EXPECT_EQ(PubData(a), (std::vector<std::string>{"a_third", "a_second", "a_first"}));
    EXPECT_EQ(PubData(b), (std::vector<std::string>{"b_second", "b_first"}));
}

// Notifications of no class fill their atom and run their one-shot once
// for the whole process, however often the classes are built again.
TEST_F(RuntimeCollect, ClassLessNotificationsRunOnce)
{
    ZuClassFactory::Kill();
    ZuClassFactory::Initialise();
    EXPECT_TRUE(loose_atom == "CollectLoose");
    EXPECT_TRUE(loose_both_atom == "CollectLooseBoth");
    EXPECT_EQ(loose_shots, 1);
    EXPECT_EQ(loose_both_shots, 1);
}

// A published-data declaration without a class is called for every
// class, each once; one that names its class, for that class once.
TEST_F(RuntimeCollect, DeclarationsAreCalledOncePerClass)
{
    routed_calls.clear();
    named_calls.clear();
    ZuClassFactory::Kill();
    ZuClassFactory::Initialise();
    std::vector<const ZuRuntime*> classes;
    ZuRuntimeRef rt;
    for (unsigned i = 0; ZuClassFactory::GetClass(i, rt); ++i)
        classes.push_back(rt.RetRawObject());
    EXPECT_EQ(routed_calls, classes);
    EXPECT_EQ(named_calls,
              std::vector<const ZuRuntime*>{TCollectARef::RetRuntime().RetRawObject()});
}

// A declaration that names its class publishes nothing for any other class,
// so calling it for its class only loses nothing: called for every other
// class after the start, it changes none of them.
TEST_F(RuntimeCollect, NamedDeclarationsPublishOnlyTheirClass)
{
    // The items' groups; read only while the item count is unchanged, since
    // the item table is built once at the start.
    auto groups = [](const ZuRuntimeRef& rt) {
        std::vector<unsigned> out;
        const Zuvi_PubData* item = nullptr;
        for (unsigned i = 0; rt->GetPubData(i, item); ++i)
            for (const Zuvi_PubData* g = item; g; g = g->same_name)
                out.push_back(g->group_count);
        return out;
    };
    ZuRuntimeRef rt;
    for (unsigned i = 0; ZuClassFactory::GetClass(i, rt); ++i) {
        const unsigned count = rt->CountPubData();
        const std::vector<unsigned> before = groups(rt);
        for (Zuvi_PubDataExport* exp = Zuvi_PubDataExport::head; exp; exp = exp->next)
            if (exp->class_rt && exp->class_rt->RetRawObject() != rt.RetRawObject())
                exp->declare(rt.RetRawObject());
        ASSERT_EQ(rt->CountPubData(), count) << rt->RetClassName();
        EXPECT_EQ(groups(rt), before) << rt->RetClassName();
    }
}

// Every class of the program holds exactly the entries of the export lists
// that name it, newest first: the lists read as they stand, class by class.
TEST_F(RuntimeCollect, EveryClassHoldsExactlyTheEntriesThatNameIt)
{
    ZuRuntimeRef rt;
    for (unsigned i = 0; ZuClassFactory::GetClass(i, rt); ++i) {
        const ZuRuntime* raw = rt.RetRawObject();
        SCOPED_TRACE(raw->RetClassName());

        std::vector<const Zuvi_Target*> want_targets;
        for (Zuvi_TargetExport* exp = Zuvi_TargetExport::head; exp; exp = exp->next)
            if (exp->info.class_rt && exp->info.class_rt->RetRawObject() == raw)
                want_targets.insert(want_targets.begin(), &exp->info);
        std::vector<const Zuvi_Target*> got_targets;
        ZuAtomRef name;
        unsigned kind = 0;
        const Zuvi_Target* target = nullptr;
        for (unsigned t = 0; rt->GetTarget(t, name, kind, target); ++t)
            got_targets.push_back(target);
        EXPECT_EQ(got_targets, want_targets);
        EXPECT_EQ(rt->CountTargets(), want_targets.size());

        std::vector<std::string> want_notifies;
        for (Zuvi_NotifyExport* exp = Zuvi_NotifyExport::head; exp; exp = exp->next)
            if (exp->class_rt && exp->class_rt->RetRawObject() == raw)
                want_notifies.insert(want_notifies.begin(), exp->event_name);
        EXPECT_EQ(Notifies(rt), want_notifies);
        EXPECT_EQ(rt->CountNotify(), want_notifies.size());

        std::vector<const Zuvi_Interface*> want_ifaces;
        for (const ZuRuntime* r = raw; r; r = r->RetSuper().RetRawObject()) {
            std::vector<const Zuvi_Interface*> own;
            for (Zuvi_InterfaceExport* exp = Zuvi_InterfaceExport::head; exp; exp = exp->next)
                if (exp->iface && exp->class_rt && exp->class_rt->RetRawObject() == r)
                    own.insert(own.begin(), exp->iface);
            want_ifaces.insert(want_ifaces.end(), own.begin(), own.end());
        }
        EXPECT_EQ(Interfaces(rt), want_ifaces);
        EXPECT_EQ(rt->CountInterfaces(), want_ifaces.size());
    }
}
