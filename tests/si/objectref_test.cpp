#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/globallock.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"

// A node that can hold another object, and counts destructions.
ZU_HANDLE(TRefNode, ZuObject)
class TRefNode : public ZuObject {
    ZU_CLASS(TRefNode, ZuObject)
public:
    TRefNode() {}
    ~TRefNode() override { ++destroyed; }
    ZuObjectRef other;
    TRefNodeRef typed;
    static int destroyed;
};
ZU_CLASS_END(TRefNode)
int TRefNode::destroyed = 0;
ZU_IMPLEMENT_CLASS(TRefNode, "tests/objectref", ZU_CLASS_PLAIN)

// A class of its own, unrelated to TRefNode.
ZU_HANDLE(TRefOther, ZuObject)
class TRefOther : public ZuObject {
    ZU_CLASS(TRefOther, ZuObject)
public:
    TRefOther() {}
};
ZU_CLASS_END(TRefOther)
ZU_IMPLEMENT_CLASS(TRefOther, "tests/objectref", ZU_CLASS_PLAIN)

namespace {

class ObjectRefTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        TRefNode::destroyed = 0;
    }
    static TRefNode* NewNode()
    {
        return static_cast<TRefNode*>(
            ZuClassFactory::New(TRefNodeRef::RetRuntime(), nullptr, __LINE__, __FILE__));
    }
};

TEST_F(ObjectRefTest, ReleasesAreDeferredInBlocksOfAHundred)
{
    for (int i = 0; i < 250; ++i) {
        TRefNodeRef node(NewNode());
        EXPECT_EQ(1u, node->RetRefCount());
    }
    EXPECT_EQ(0, TRefNode::destroyed);
    EXPECT_EQ(250u, ZuObjectRef::CountPendingDeletions());
    EXPECT_EQ(3u, ZuObjectRef::CountDeletionBlocks());
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(250, TRefNode::destroyed);
    EXPECT_EQ(1u, ZuObjectRef::CountDeletionBlocks());
    EXPECT_EQ(0u, ZuObjectRef::CountPendingDeletions());
}

TEST_F(ObjectRefTest, DestructorDroppingALastHandleDestroysInTheSamePass)
{
    {
        TRefNodeRef a(NewNode());
        TRefNodeRef b(NewNode());
        TRefNodeRef c(NewNode());
        a->other = b;
        b->other = c;
    }
    EXPECT_EQ(1u, ZuObjectRef::CountPendingDeletions());
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(3, TRefNode::destroyed);
    EXPECT_EQ(0u, ZuObjectRef::CountPendingDeletions());
}

TEST_F(ObjectRefTest, TypedSetWithWrongClassThrowsAndKeepsTheObject)
{
    TRefNodeRef node(NewNode());
    TRefNodeRef held(NewNode());
    node->typed = held;
    ZuObjectRef foreign(ZuNew<TRefOther>());
    try {
        node->typed = foreign;
        FAIL() << "no exception";
    } catch (const ZuExcObject& e) {
        EXPECT_EQ(0, int(e.RetError()));
        EXPECT_EQ(nullptr, e.RetFaultyObject());
    }
    EXPECT_TRUE(node->typed == held);
    EXPECT_EQ(2u, held->RetRefCount());
    EXPECT_THROW(TRefNodeRef bad(foreign), ZuExcObject);

    // A handle of the right class is taken, with or without the class check.
    ZuObjectRef generic(held);
    TRefNodeRef typed(generic);
    EXPECT_TRUE(typed == held);
    EXPECT_EQ(4u, held->RetRefCount());
}

TEST_F(ObjectRefTest, SettingTheSameObjectChangesNothing)
{
    TRefNodeRef node(NewNode());
    ZuObjectRef second(node);
    EXPECT_EQ(2u, node->RetRefCount());
    second = node;
    second = node.RetRawObject();
    EXPECT_EQ(2u, node->RetRefCount());
    EXPECT_STREQ("TRefNode", second.RetClassName());
}

TEST_F(ObjectRefTest, EmptyHandlesAreCountedAndNeverPhantoms)
{
    unsigned before = ZuObjectRef::RetLiveHandleCount();
    ZuObjectRef empty;
    ZuObjectRef copy(empty);
    EXPECT_EQ(before + 2, ZuObjectRef::RetLiveHandleCount());
    EXPECT_TRUE(copy.IsInvalid());
    EXPECT_FALSE(copy.IsPhantom());
    EXPECT_EQ(nullptr, TRefNodeNull.Resolve());
    TRefNodeRef node(NewNode());
    EXPECT_FALSE(node.IsPhantom());
    EXPECT_EQ(sizeof(TRefNode), node.SizeOf());
    EXPECT_EQ(sizeof(TRefNode), TRefNodeNull.SizeOf());
}

TEST_F(ObjectRefTest, MemberHandlesKnowTheirObject)
{
    TRefNodeRef node(NewNode());
    const ZuRuntime* rt = TRefNodeRef::RetRuntime().RetRawObject();
    EXPECT_EQ(2u, rt->CountEmbeddedReferences());
    EXPECT_EQ(node.RetRawObject(), node->other.RetEmbeddingObject());
    EXPECT_EQ(node.RetRawObject(), node->typed.RetEmbeddingObject());
    EXPECT_EQ(&node->other, rt->RetEmbeddedReference(node.RetRawObject(), 0));
    EXPECT_EQ(nullptr, rt->RetEmbeddedReference(node.RetRawObject(), 2));
}

TEST(ObjectRefDeathTest, ResolvingAnEmptyHandleStopsTheProgram)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            TRefNodeRef empty;
            empty->other = ZuObjectNull;
        },
        "Tried to resolve NULL pointer");
}

TEST_F(ObjectRefTest, HandlesFromSeveralThreadsKeepExactCounts)
{
    const int kThreads = 4;
    const int kRounds = 2000;
    TRefNodeRef a(NewNode());
    TRefNodeRef b(NewNode());
    unsigned live_before = ZuObjectRef::RetLiveHandleCount();
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            std::vector<ZuObjectRef> mine(8);
            for (int i = 0; i < kRounds; ++i) {
                ZuObjectRef copy(i % 2 ? a : b);
                mine[i % 8] = copy;
                mine[(i + t) % 8] = (i % 3) ? ZuObjectRef(a) : ZuObjectNull;
                ZuObjectRef other(mine[(i + 1) % 8]);
                other = b;
            }
        });
    }
    go = true;
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(1u, a->RetRefCount());
    EXPECT_EQ(1u, b->RetRefCount());
    EXPECT_EQ(live_before, ZuObjectRef::RetLiveHandleCount());
    EXPECT_EQ(0u, ZuObjectRef::CountPendingDeletions());
}

TEST_F(ObjectRefTest, DestroyingAZoneCutsTheHandlesInAndIntoItsBuffersOnly)
{
    TRefNodeRef keep = ZuNew<TRefNode>(Zuvi_app_zone);
    std::vector<TRefNodeRef> outside(600);
    const unsigned live_before = ZuObjectRef::RetLiveHandleCount();
    {
        ZuMemZone zone;
        zone.Initialise("Doomed");
        for (auto& h : outside)
            h = ZuNew<TRefNode>(&zone);
        for (size_t i = 0; i < outside.size(); ++i) {
            outside[i]->other = keep;
            outside[i]->typed = outside[(i + 1) % outside.size()];
        }
        EXPECT_EQ(601u, keep->RetRefCount());
        unsigned buffers = 0;
        for (auto b = zone.RetFirstBuffer(); b != nullptr; b = b->next)
            ++buffers;
        ASSERT_GT(buffers, 2u);
    }
    // Handles into the zone are empty, handles inside it are gone, the rest
    // untouched; no destructor ran.
    for (auto& h : outside)
        EXPECT_TRUE(h.IsInvalid());
    EXPECT_EQ(1u, keep->RetRefCount());
    EXPECT_EQ(live_before, ZuObjectRef::RetLiveHandleCount());
    EXPECT_EQ(0, TRefNode::destroyed);
}

TEST_F(ObjectRefTest, ObjectsInADestroyedZoneLoseTheirHandles)
{
    TRefNodeRef node(NewNode());
    ZuMemZone* zone = node->RetMemZone();
    EXPECT_EQ(Zuvi_app_zone, zone);
    // Shut-down cuts every handle into the zones before they go.
    ZuObjectRef::RealiseDeletions();
    ZuviStopRuntime();
    EXPECT_TRUE(node.IsInvalid());
    ZuviStartRuntime();
}

// Shut-down with objects alive on both sides of the zones: handles into the
// zones are emptied, an object outside them keeps only the handles outside
// them, and what stays works with the handles of the next start.
TEST(ObjectRefShutdownTest, HandlesThatOutliveTheZonesAreEmptiedAndUsableAgain)
{
    alignas(TRefNode) unsigned char memory[sizeof(TRefNode)];
    ZuviStartRuntime();
    ZuObject::PresetMemZone(memory, nullptr);
    TRefNode::Construct(memory, sizeof memory);
    TRefNode* standing = static_cast<TRefNode*>(static_cast<ZuObject*>(static_cast<void*>(memory)));
    TRefNodeRef held(standing);
    std::vector<TRefNodeRef> nodes(300);
    for (auto& n : nodes)
        n = ZuNew<TRefNode>();
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i]->other = standing;
        nodes[i]->typed = nodes[(i + 1) % nodes.size()];
    }
    standing->typed = nodes[0];
    ZuAtomRef name("une étiquette");
    EXPECT_EQ(301u, standing->RetRefCount());
    ZuObjectRef::RealiseDeletions();
    ZuviStopRuntime();

    for (auto& n : nodes)
        EXPECT_TRUE(n.IsInvalid());
    EXPECT_TRUE(name.IsInvalid());
    EXPECT_TRUE(standing->typed.IsInvalid());
    EXPECT_EQ(1u, standing->RetRefCount());
    EXPECT_EQ(standing, held.RetRawObject());
    EXPECT_EQ(0u, ZuObjectRef::RetLiveHandleCount());

    ZuviStartRuntime();
    TRefNodeRef fresh = ZuNew<TRefNode>();
    fresh->other = standing;
    standing->typed = fresh;
    EXPECT_EQ(2u, standing->RetRefCount());
    EXPECT_EQ(2u, fresh->RetRefCount());
    nodes.clear();
    name = ZuAtomRef("autre");
    standing->typed = nullptr;
    fresh->other = nullptr;
    fresh = nullptr;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(1u, standing->RetRefCount());
    // The object outside the zones goes by hand: no zone can free it.
    held.CutObject();
    standing->~TRefNode();
    name = static_cast<ZuAtom*>(nullptr);
    ZuviStopRuntime();
}

// The handles inside objects move to the end of the global list when the
// objects are built; every walk of the list still meets each live handle
// once, whichever objects went since.
TEST_F(ObjectRefTest, TheGlobalListKeepsEveryHandleAsObjectsComeAndGo)
{
    std::vector<TRefNodeRef> nodes(6);
    for (auto& n : nodes)
        n = ZuNew<TRefNode>();
    for (size_t i = 0; i < nodes.size(); ++i)
        nodes[i]->typed = nodes[(i + 1) % nodes.size()];
    // The newest object's members head the part of the list that holds
    // members; an object in the middle and the oldest go too.
    for (size_t gone : {size_t(5), size_t(2), size_t(0)}) {
        nodes[gone]->typed = nullptr;
        nodes[gone]->Delete();
        nodes[gone] = nullptr;
    }
    ZuObjectRef::RealiseDeletions();
    nodes.push_back(ZuNew<TRefNode>());
    std::vector<const ZuObjectRef*> seen;
    {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
        for (const ZuObjectRef* h = ZuObjectRef::g_head; h != nullptr; h = h->RetGlobalNext())
            seen.push_back(h);
    }
    EXPECT_EQ(ZuObjectRef::RetLiveHandleCount(), seen.size());
    auto met = [&seen](const ZuObjectRef& h) { return std::count(seen.begin(), seen.end(), &h); };
    for (auto& n : nodes) {
        if (n.IsInvalid())
            continue;
        EXPECT_EQ(1, met(n));
        EXPECT_EQ(1, met(n->other));
        EXPECT_EQ(1, met(n->typed));
    }
}

// Objects count as living outside the zones while they do: one built in a
// caller's buffer, not one the factory built in a zone.
TEST_F(ObjectRefTest, ObjectsOutsideTheZonesAreKnownWhileTheyLive)
{
    TRefNodeRef inside = ZuNew<TRefNode>();
    EXPECT_TRUE(ZuObject::AllObjectsInZones());
    {
        alignas(TRefNode) unsigned char memory[sizeof(TRefNode)];
        ZuObject::PresetMemZone(memory, nullptr);
        TRefNode::Construct(memory, sizeof memory);
        auto* standing = static_cast<TRefNode*>(static_cast<ZuObject*>(static_cast<void*>(memory)));
        EXPECT_FALSE(ZuObject::AllObjectsInZones());
        standing->~TRefNode();
    }
    EXPECT_TRUE(ZuObject::AllObjectsInZones());
}

// Shut-down with only objects of the zones alive, holding one another and
// held from outside: the handles outside are emptied and can go later.
TEST(ObjectRefShutdownTest, ObjectsAllInZonesLeaveOnlyEmptyHandlesOutside)
{
    ZuviStartRuntime();
    std::vector<TRefNodeRef> nodes(300);
    for (auto& n : nodes)
        n = ZuNew<TRefNode>();
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i]->other = nodes[0];
        nodes[i]->typed = nodes[(i + 1) % nodes.size()];
    }
    ZuAtomRef name("une étiquette");
    ASSERT_TRUE(ZuObject::AllObjectsInZones());
    ZuObjectRef::RealiseDeletions();
    ZuviStopRuntime();

    for (auto& n : nodes)
        EXPECT_TRUE(n.IsInvalid());
    EXPECT_TRUE(name.IsInvalid());
    EXPECT_EQ(0u, ZuObjectRef::RetLiveHandleCount());
    nodes.clear();

    ZuviStartRuntime();
    TRefNodeRef fresh = ZuNew<TRefNode>();
    fresh->typed = fresh;
    EXPECT_EQ(2u, fresh->RetRefCount());
    fresh->typed = nullptr;
    fresh = nullptr;
    name = static_cast<ZuAtom*>(nullptr);
    ZuObjectRef::RealiseDeletions();
    ZuviStopRuntime();
}

} // namespace
