#include "si/random.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// Exposes the generator's arithmetic and seed to the tests.
ZU_HANDLE(TRndSeeded, ZuRandom)
class TRndSeeded : public ZuRandom {
    ZU_CLASS(TRndSeeded, ZuRandom)
public:
    TRndSeeded() {}
    using ZuRandom::Multiply;
    unsigned int seed = 12345;

protected:
    unsigned int RetInitialSeed() override { return seed; }
};
ZU_CLASS_END(TRndSeeded)
ZU_IMPLEMENT_CLASS(TRndSeeded, "tests/random", ZU_CLASS_PLAIN)

// Counts the changes of a value it observes.
ZU_HANDLE(TRndWatcher, ZuObject)
class TRndWatcher : public ZuObject {
    ZU_CLASS(TRndWatcher, ZuObject)
public:
    TRndWatcher() {}
    bool Changed()
    {
        ++changes;
        return true;
    }
    int changes = 0;
};
ZU_CLASS_END(TRndWatcher)
ZU_IMPLEMENT_CLASS(TRndWatcher, "tests/random", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TRndWatcher, Changed)

namespace {

class RandomTest : public ZuviRuntimeTest {
protected:
    template <class R = ZuRandomRef>
    static R Make()
    {
        return R(
            ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
    }
    static std::vector<int> Draw(const ZuRandomRef& r, int n)
    {
        std::vector<int> out;
        for (int i = 0; i < n; ++i)
            out.push_back(r->RetInt32());
        return out;
    }
};

TEST_F(RandomTest, MultiplyModulo)
{
    struct Case {
        unsigned p, q, product;
    } cases[] = {
        {99999999, 99999999, 1},
        {0, 99999999, 0},
        {12345678, 1, 12345678},
        {21987, 31415821, static_cast<unsigned>((21987ull * 31415821ull) % 100000000ull)},
        {50000000, 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TRndSeeded::Multiply(c.p, c.q), c.product) << c.p << " " << c.q;
}

TEST_F(RandomTest, NewObjectsGiveTheSameBits)
{
    ZuRandomRef a = Make();
    ZuRandomRef b = Make();
    const std::vector<int> first = Draw(a, 200);
    EXPECT_EQ(first, Draw(b, 200));
    int ones = 0;
    for (int v : first) {
        ASSERT_TRUE(v == 0 || v == 1) << v;
        ones += v;
    }
    EXPECT_GT(ones, 50);
    EXPECT_LT(ones, 150);

    // Initialise starts again from the first draw.
    a->Initialise();
    EXPECT_EQ(Draw(a, 200), first);
}

TEST_F(RandomTest, MaximumScaleAndOffset)
{
    ZuRandomRef r = Make();
    EXPECT_EQ(r->RetMaximum(), 1u);
    for (unsigned too_big : {100000000u, 4294967295u}) {
        r->SetMaximum(too_big);
        EXPECT_EQ(r->RetMaximum(), 99999999u);
    }
    r->SetMaximum(9);
    r->SetScaleOffset(0.5, -1.0);
    std::vector<bool> seen(10, false);
    for (int i = 0; i < 500; ++i) {
        const double v = r->RetReal();
        const double step = (v + 1.0) / 0.5;
        ASSERT_EQ(step, std::floor(step)) << v;
        ASSERT_GE(step, 0.0) << v;
        ASSERT_LE(step, 9.0) << v;
        seen[static_cast<int>(step)] = true;
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(seen[i]) << i;
}

TEST_F(RandomTest, PublishedData)
{
    ZuRandomRef r = Make();
    EXPECT_TRUE(r->DefineData(ZuAtomRef("maximum"), ZuValueRef(6u)));
    EXPECT_TRUE(r->DefineData(ZuAtomRef("scale"), ZuValueRef(2.0)));
    EXPECT_TRUE(r->DefineData(ZuAtomRef("offset"), ZuValueRef(1.0)));
    ZuValueRef v;
    ASSERT_TRUE(r->QueryData(ZuAtomRef("maximum"), v));
    EXPECT_EQ(unsigned(v), 6u);
    ASSERT_TRUE(r->QueryData(ZuAtomRef("scale"), v));
    EXPECT_EQ(double(v), 2.0);
    ASSERT_TRUE(r->QueryData(ZuAtomRef("offset"), v));
    EXPECT_EQ(double(v), 1.0);
}

TEST_F(RandomTest, StoredWithItsSettingsNotItsState)
{
    ZuRandomRef r = Make();
    r->SetMaximum(1000);
    r->SetScaleOffset(0.25, 3.0);
    // Only a value with observers is stored as an object: a plain one
    // travels as the number it holds.
    TRndWatcherRef watcher = Make<TRndWatcherRef>();
    r->AttachObserver(watcher, ZuObject::notify_changed, ZuAtomRef("Changed"), 0);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(r);
    // Storing read the value: one draw, one change.
    EXPECT_EQ(watcher->changes, 1);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuRandomRef::RetRuntime());
    ZuRandomRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_EQ(copy->RetMaximum(), 1000u);
    EXPECT_EQ(copy->RetScale(), 0.25);
    EXPECT_EQ(copy->RetOffset(), 3.0);
    const double v = copy->RetReal();
    EXPECT_GE(v, 3.0);
    EXPECT_LE(v, 3.0 + 250.0);
}

TEST_F(RandomTest, ASubclassSeedTakesEffectOnInitialise)
{
    TRndSeededRef seeded = Make<TRndSeededRef>();
    ZuRandomRef plain = Make();
    seeded->SetMaximum(1000000);
    plain->SetMaximum(1000000);
    // The constructor always uses the library's seed.
    EXPECT_EQ(Draw(seeded, 20), Draw(plain, 20));
    seeded->Initialise();
    plain->Initialise();
    EXPECT_NE(Draw(seeded, 20), Draw(plain, 20));
}

} // namespace
