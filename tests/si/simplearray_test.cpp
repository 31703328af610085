#include "si/simplearray.h"

#include <gtest/gtest.h>

#include "si/except.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

// Simple arrays take their blocks from the application zone.
class SimpleArrayTest : public ::testing::Test {
protected:
    void SetUp() override { ZuMemZone::Initialise(); }
    void TearDown() override { ZuMemZone::Kill(); }
};

// A record with the in-place initialiser that Zuvi_SimpleArrayPtrInit calls.
struct Cell {
    unsigned a;
    unsigned b;
    static void Zero(void* p)
    {
        Cell* c = static_cast<Cell*>(p);
        c->a = 7;
        c->b = 0;
    }
};

// A record whose default value is not all zeros, for Zuvi_SimpleArrayNone.
struct Named {
    int level = -1;
    unsigned copies = 0;
};

// The arrays store records through the records' own storage operators; these
// test records are never stored.
void operator<<(const ZuStorageRef&, const Cell&) {}
void operator>>(const ZuStorageRef&, Cell&) {}
void operator<<(const ZuStorageRef&, const Named&) {}
void operator>>(const ZuStorageRef&, Named&) {}

template <class A>
unsigned AccessCode(A& array, unsigned i, bool use_at)
{
    try {
        if (use_at)
            array.At(i);
        else
            array[i];
    } catch (const ZuExcAccess& e) {
        return e.RetError();
    }
    return 999;
}

} // namespace

TEST_F(SimpleArrayTest, IndexPastTheEndGrowsByTheStep)
{
    Zuvi_SimpleArrayZero<bool> flags(3, 4);
    flags[0] = true;
    flags[2] = true;
    flags[5] = true;
    EXPECT_EQ(9u, flags.RetCount());
    EXPECT_TRUE(flags.At(0));
    EXPECT_FALSE(flags.At(1));
    EXPECT_TRUE(flags.At(2));
    for (unsigned i = 3; i < 9; ++i)
        EXPECT_EQ(i == 5, flags.At(i)) << i;
}

TEST_F(SimpleArrayTest, AccessBeyondTheEndThrowsCodeOne)
{
    Zuvi_SimpleArrayZero<bool> growing(3, 4);
    EXPECT_EQ(1u, AccessCode(growing, 3, true)); // At never grows
    EXPECT_EQ(3u, growing.RetCount());

    Zuvi_SimpleArrayZero<unsigned int> fixed(2, 0);
    EXPECT_EQ(1u, AccessCode(fixed, 2, false)); // no grow step: indexing throws
    EXPECT_EQ(1u, AccessCode(fixed, 0xFFFFFFFFu, false));
    EXPECT_EQ(2u, fixed.RetCount());

    // An index so large that index + step wraps is refused, not wrapped.
    Zuvi_SimpleArrayZero<unsigned int> near_top(0, 8);
    EXPECT_EQ(1u, AccessCode(near_top, 0xFFFFFFFCu, false));
    EXPECT_EQ(0u, near_top.RetCount());
}

TEST_F(SimpleArrayTest, NewElementsFollowTheFlavour)
{
    Zuvi_SimpleArrayZero<unsigned int> zero(2, 0);
    Zuvi_SimpleArrayNone<Named> none(2, 0);
    Zuvi_SimpleArrayPtrInit<Cell> init(2, 0);
    for (unsigned i = 0; i < 2; ++i) {
        EXPECT_EQ(0u, zero.At(i));
        EXPECT_EQ(-1, none.At(i).level);
        EXPECT_EQ(7u, init.At(i).a);
    }
    zero.At(1) = 5;
    none.At(1).level = 3;
    init.At(1).a = 9;
    zero.Resize(3);
    none.Resize(3);
    init.Resize(3);
    EXPECT_EQ(5u, zero.At(1));
    EXPECT_EQ(3, none.At(1).level);
    EXPECT_EQ(9u, init.At(1).a);
    EXPECT_EQ(0u, zero.At(2));
    EXPECT_EQ(-1, none.At(2).level);
    EXPECT_EQ(7u, init.At(2).a);
}

TEST_F(SimpleArrayTest, ResizeToZeroFreesAndRestartsClean)
{
    Zuvi_SimpleArrayZero<unsigned int> a(4, 0);
    a.At(3) = 42;
    a.Resize(0);
    EXPECT_EQ(0u, a.RetCount());
    EXPECT_EQ(1u, AccessCode(a, 0, true));
    a.Resize(4);
    EXPECT_EQ(0u, a.At(3));
}

TEST_F(SimpleArrayTest, CopiesAreDeep)
{
    // A shallow copy would share (and free twice) one block; under the
    // sanitizer this test would then fail at the end of the scope.
    Zuvi_SimpleArrayZero<unsigned int> a(3, 2);
    a.At(0) = 1;
    Zuvi_SimpleArrayZero<unsigned int> b(a);
    b.At(0) = 2;
    EXPECT_EQ(1u, a.At(0));
    EXPECT_EQ(2u, b.RetGrowStep());

    Zuvi_SimpleArrayNone<Named> c(1, 0);
    c.At(0).level = 4;
    Zuvi_SimpleArrayNone<Named> d;
    d = c;
    d.At(0).level = 5;
    d = d;
    EXPECT_EQ(4, c.At(0).level);
    EXPECT_EQ(5, d.At(0).level);
    EXPECT_EQ(1u, d.RetCount());
}

namespace {

class SimpleArrayStorageTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        ZuviRuntimeTest::TearDown();
    }
    ZuTestStorageRef store;
};

} // namespace

TEST_F(SimpleArrayStorageTest, RoundTrip)
{
    Zuvi_SimpleArrayZero<bool> flags(3, 4);
    flags.At(1) = true;
    Zuvi_SimpleArrayZero<unsigned int> numbers(2, 0);
    numbers.At(0) = 70000;
    numbers.At(1) = 5;
    store->StartStoring();
    flags.StoreInstance(store);
    numbers.StoreInstance(store);
    store->StartRestoring(store->Bytes());
    Zuvi_SimpleArrayZero<bool> flags_back;
    Zuvi_SimpleArrayZero<unsigned int> numbers_back(5, 1);
    flags_back.RestoreInstance(store);
    numbers_back.RestoreInstance(store);
    ASSERT_EQ(3u, flags_back.RetCount());
    EXPECT_EQ(4u, flags_back.RetGrowStep());
    EXPECT_FALSE(flags_back.At(0));
    EXPECT_TRUE(flags_back.At(1));
    EXPECT_FALSE(flags_back.At(2));
    ASSERT_EQ(2u, numbers_back.RetCount());
    EXPECT_EQ(0u, numbers_back.RetGrowStep());
    EXPECT_EQ(70000u, numbers_back.At(0));
    EXPECT_EQ(5u, numbers_back.At(1));
    EXPECT_EQ(0u, store->Remaining());
}

TEST_F(SimpleArrayStorageTest, CorruptCountKeepsWhatIsThere)
{
    Zuvi_SimpleArrayZero<unsigned int> numbers(2, 0);
    numbers.At(0) = 9;
    numbers.At(1) = 8;
    store->StartStoring();
    numbers.StoreInstance(store);
    std::vector<unsigned char> bytes = store->Bytes();
    // begin, card 2 (0x15 0x02) ...: the count becomes 0xFFFFFFFF.
    ASSERT_EQ(0xFC, bytes[0]);
    ASSERT_EQ(0x15, bytes[1]);
    ASSERT_EQ(0x02, bytes[2]);
    std::vector<unsigned char> corrupt = {0xFC, 0x11, 0xFF, 0xFF, 0xFF, 0xFF};
    corrupt.insert(corrupt.end(), bytes.begin() + 3, bytes.end());
    store->StartRestoring(corrupt);
    Zuvi_SimpleArrayZero<unsigned int> back;
    back.RestoreInstance(store);
    ASSERT_EQ(2u, back.RetCount());
    EXPECT_EQ(9u, back.At(0));
    EXPECT_EQ(8u, back.At(1));
    EXPECT_EQ(0u, store->Remaining());
}
