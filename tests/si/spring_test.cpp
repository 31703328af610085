// Springs: the piecewise-linear size of one piece of a band as a function
// of the stretch, its samples, sums and stored form.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/spring.h"
#include "si/springband.h"
#include "si/storageformat.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class SpringTest : public ZuviRuntimeTest {};

std::vector<std::pair<double, double>> Samples(const ZuSpringRef& s)
{
    std::vector<std::pair<double, double>> out;
    double stretch = 0, size = 0;
    for (unsigned i = 0; s->GetNthSample(i, stretch, size); ++i)
        out.emplace_back(stretch, size);
    return out;
}

std::vector<unsigned char> Stored(const ZuSpringRef& s)
{
    ZuTestStorageRef out = ZuTestStorage::Make();
    out->StartStoring();
    out->StoreObject(s);
    return out->Bytes();
}

ZuSpringRef Restored(const std::vector<unsigned char>& bytes)
{
    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(bytes);
    ZuObjectRef back;
    in->RestoreObject(back, ZuSpringRef::RetRuntime());
    return ZuSpringRef(back);
}

// Replaces the first run of `from` found at or after `start` by `to`.
bool Patch(std::vector<unsigned char>& bytes, std::size_t start,
           const std::vector<unsigned char>& from, const std::vector<unsigned char>& to)
{
    for (std::size_t i = start; i + from.size() <= bytes.size(); ++i) {
        if (std::equal(from.begin(), from.end(), bytes.begin() + i)) {
            bytes.erase(bytes.begin() + i, bytes.begin() + i + from.size());
            bytes.insert(bytes.begin() + i, to.begin(), to.end());
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(SpringTest, SizesStretchesAndSlopesFollowTheSegments)
{
    ZuSpringRef s = ZuNew<ZuSpring>();
    // A new spring is flat at 0 through two samples.
    EXPECT_EQ(s->CountSamples(), 2u);
    for (double stretch : {-5.0, 0.0, 0.5, 7.0})
        EXPECT_EQ(s->FindSize(stretch), 0) << stretch;
    EXPECT_EQ(s->FindSlope(3), 0);
    EXPECT_EQ(s->FindStretch(0), 1);

    struct Case {
        double stretch, size, slope;
    };
    s->Reset(10, 5);
    EXPECT_EQ(s->RetDefaultSize(), 10);
    for (Case c : {Case{0, 10, 5}, Case{1, 15, 5}, Case{2, 20, 5}, Case{-1, 5, 5}}) {
        EXPECT_EQ(s->FindSize(c.stretch), c.size) << c.stretch;
        EXPECT_EQ(s->FindSlope(c.stretch), c.slope) << c.stretch;
    }
    EXPECT_EQ(s->FindStretch(25), 3);

    s->Reset(7);
    EXPECT_EQ(s->FindStretch(100), 1);
    EXPECT_EQ(s->FindSize(-3), 7);
    EXPECT_EQ(s->FindSize(900), 7);

    // Three samples: the middle one bends the function.
    s->Reset(0, 10);
    s->Insert(3, 10);
    EXPECT_EQ(s->FindSize(2), 10);
    EXPECT_EQ(s->FindSize(5), 10);
    EXPECT_EQ(s->FindSlope(0.5), 10);
    EXPECT_EQ(s->FindSlope(2), 0);
    EXPECT_EQ(s->FindStretch(5), 0.5);
    EXPECT_EQ(s->ComputeDefaultSize(0.25), 2.5);
    EXPECT_EQ(s->RetDefaultSize(), 2.5);

    s->Initialise(ZuSpringBandRef(), 0, 1);
    EXPECT_EQ(s->CountSamples(), 0u);
    EXPECT_EQ(s->FindSize(4), 0);
    EXPECT_EQ(s->FindStretch(4), 0);
    double stretch = 9, size = 9;
    EXPECT_FALSE(s->GetNthSample(0, stretch, size));
    EXPECT_EQ(stretch, 0);
    EXPECT_EQ(size, 0);
}

TEST_F(SpringTest, InsertKeepsSamplesOrderedWithinRangeAndMergeAdds)
{
    ZuSpringRef s = ZuNew<ZuSpring>();
    s->Insert(1000.5, 3);
    s->Insert(-0.1, 3);
    EXPECT_EQ(s->CountSamples(), 2u);
    s->Insert(1000, 3);
    s->Insert(0.5, 8);
    s->Insert(0.5, 9); // replaces
    EXPECT_EQ(s->CountSamples(), 4u);
    typedef std::vector<std::pair<double, double>> Pairs;
    EXPECT_EQ(Samples(s), (Pairs{{0, 0}, {0.5, 9}, {1, 0}, {1000, 3}}));
    double stretch = 0, size = 0;
    EXPECT_FALSE(s->GetNthSample(4, stretch, size));

    ZuSpringRef a = ZuNew<ZuSpring>(), rigid = ZuNew<ZuSpring>();
    a->Reset(10, 5);
    rigid->Reset(4);
    a->Merge(rigid);
    EXPECT_EQ(a->FindSize(0), 14);
    EXPECT_EQ(a->FindSize(1), 19);
    EXPECT_EQ(a->CountSamples(), 2u);
    // Stretches of both springs are kept; a spring merges with itself.
    rigid->Insert(2, 6);
    a->Merge(rigid);
    EXPECT_EQ(Samples(a), (Pairs{{0, 18}, {1, 23}, {2, 30}}));
    a->Merge(a);
    EXPECT_EQ(Samples(a), (Pairs{{0, 36}, {1, 46}, {2, 60}}));
}

// Removing the first or the last sample unlinks it like any other: no
// stop, the rest stays ascending, and one sample or none answers as the
// segment search says.
TEST_F(SpringTest, RemoveTakesAnySampleAndNeverStops)
{
    typedef std::vector<std::pair<double, double>> Pairs;
    ZuSpringRef s = ZuNew<ZuSpring>();
    s->Reset(2, 3);
    s->Insert(1000, 50);
    s->Remove(1000);
    EXPECT_EQ(Samples(s), (Pairs{{0, 2}, {1, 5}}));
    s->Remove(0);
    EXPECT_EQ(Samples(s), (Pairs{{1, 5}}));
    EXPECT_EQ(s->FindSize(0), 5);
    EXPECT_EQ(s->FindStretch(40), 1);
    EXPECT_EQ(s->FindSlope(0), 0);
    s->Remove(0.5);    // no such sample
    s->Remove(1000.1); // out of range
    EXPECT_EQ(s->CountSamples(), 1u);
    s->Remove(1);
    EXPECT_EQ(s->CountSamples(), 0u);
    EXPECT_EQ(s->FindSize(1), 0);
    s->Remove(0); // empty: nothing
    s->Insert(1000, 4);
    s->Remove(1000);
    EXPECT_EQ(s->CountSamples(), 0u);
    s->Insert(0, 1);
    s->Insert(5, 6);
    s->Insert(9, 6);
    s->Remove(5);
    EXPECT_EQ(Samples(s), (Pairs{{0, 1}, {9, 6}}));
}

TEST_F(SpringTest, ChangesTellTheBandItNames)
{
    ZuSpringBandRef band = ZuNew<ZuSpringBand>();
    ZuViewRef v = ZuNew<ZuView>();
    v->SetBox(ZuRect(0, 0, 29, 9));
    ASSERT_TRUE(band->InsertView(0, v));
    EXPECT_EQ(band->RetMetaSpring()->FindSize(1), 33);
    ZuSpringRef own;
    ASSERT_TRUE(band->FindSpringOfView(0u, own));
    own->Initialise(band, 40, 0);
    EXPECT_EQ(band->RetMetaSpring()->FindSize(1), 43);
    own->Insert(0.5, 10);
    EXPECT_EQ(band->RetMetaSpring()->FindSize(0.5), 13);
    own->Remove(0.5);
    EXPECT_EQ(band->RetMetaSpring()->FindSize(0.5), 43);
    band->Delete();
    v->Delete();
}

TEST_F(SpringTest, StoredSpringComesBackAndBadCountsAndStretchesAreContained)
{
    typedef std::vector<std::pair<double, double>> Pairs;
    ZuSpringRef s = ZuNew<ZuSpring>();
    s->Reset(3, 0.5);
    s->Insert(700, 9.25);
    std::vector<unsigned char> bytes = Stored(s);
    ZuSpringRef back = Restored(bytes);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(Samples(back), (Pairs{{0, 3}, {1, 3.5}, {700, 9.25}}));

    // A stored stretch beyond 1000 is dropped on the way in.
    typedef Zuvi_StorageFormat F;
    std::vector<unsigned char> far = bytes;
    ASSERT_TRUE(Patch(far, 0, {F::TYP_REAL_INT, F::TYP_INT16_POS, 0x02, 0xBC},
                      {F::TYP_REAL_INT, F::TYP_INT16_POS, 0x07, 0xD0}));
    EXPECT_EQ(Samples(Restored(far)), (Pairs{{0, 3}, {1, 3.5}}));

    // A count far beyond the records there: only the records are read.
    s->Initialise(ZuSpringBandRef(), 0, 1);
    std::vector<unsigned char> none = Stored(s);
    ASSERT_TRUE(Patch(none, 0, {F::TYP_SYNC_BEGIN, F::TYP_CARD_ZERO, F::TYP_NULL},
                      {F::TYP_SYNC_BEGIN, F::TYP_CARD32, 0xFF, 0xFF, 0xFF, 0xFF, F::TYP_NULL}));
    ZuSpringRef empty = Restored(none);
    ASSERT_TRUE(empty.IsValid());
    EXPECT_EQ(empty->CountSamples(), 0u);
    std::vector<unsigned char> more = bytes;
    ASSERT_TRUE(Patch(more, 0, {F::TYP_SYNC_BEGIN, F::TYP_INT8_POS, 3, F::TYP_NULL},
                      {F::TYP_SYNC_BEGIN, F::TYP_CARD32, 0xFF, 0xFF, 0xFF, 0xFF, F::TYP_NULL}));
    EXPECT_EQ(Restored(more)->CountSamples(), 3u);

    // Cut anywhere: a refusal or a spring, never a crash.
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
        try {
            Restored(part);
        } catch (const ZuException&) {}
    }
}
