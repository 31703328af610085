// Best fit checked against the walk over the buffers' free lists: every pick
// of the zone tests built into this program and of a random workload is
// made both ways and compared. Run as one test.
#include "si/memzone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

class FitCheckEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ZuMemZone::SetFitCheck(true);
        checks_before = ZuMemZone::RetFitChecks();
    }
    void TearDown() override
    {
        EXPECT_EQ(ZuMemZone::RetFitMismatches(), 0u);
        EXPECT_GT(ZuMemZone::RetFitChecks(), checks_before);
    }
    uint64_t checks_before = 0;
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new FitCheckEnvironment);

unsigned CountBuffers(const ZuMemZone& zone)
{
    unsigned count = 0;
    for (const ZuMemZone::BufferHeader* b = zone.RetFirstBuffer(); b != nullptr; b = b->next) {
        ++count;
    }
    return count;
}

} // namespace

// Many buffers, many free chunks of equal sizes in them and in one buffer
// (the order among equals decides), requests above 64 KB and above the
// buffer size, frees in random order so that chunks split and merge.
TEST(ZoneFitCheck, ARandomWorkloadOverThousandsOfBuffersPicksAsTheWalk)
{
    uint64_t checks = ZuMemZone::RetFitChecks();
    ZuMemZone zone;
    ASSERT_TRUE(zone.Initialise("FitCheck"));
    std::mt19937 random(20261211);
    // A few sizes that recur give many equal chunks; the others spread.
    const unsigned recurring[] = {1000, 2000, 3000, 5000, 9000};
    auto size_of = [&random, &recurring]() -> unsigned {
        unsigned pick = random() % 100;
        if (pick < 40) {
            return recurring[random() % 5];
        }
        if (pick < 43) {
            return 65536 + random() % 100000; // above the bins of single sizes
        }
        if (pick < 53) {
            return random() % 500; // quick blocks come from best fit too
        }
        return 500 + random() % 15000;
    };
    std::vector<void*> live;
    auto alloc = [&]() {
        void* p = zone.Alloc(size_of(), "fit", __LINE__, "tests/zonefit/zonefit_check");
        live.push_back(p);
    };
    auto release = [&]() {
        size_t k = random() % live.size();
        zone.Free(live[k], __LINE__, "tests/zonefit/zonefit_check");
        live[k] = live.back();
        live.pop_back();
    };
    // Grow to thousands of buffers, freeing one block in four on the way.
    while (CountBuffers(zone) <= 2000) {
        for (int i = 0; i < 100; ++i) {
            alloc();
            if (random() % 4 == 0) {
                release();
            }
        }
    }
    // Churn at that size, then shrink to nothing.
    for (int i = 0; i < 20000; ++i) {
        if (random() % 2 == 0 && !live.empty()) {
            release();
        } else {
            alloc();
        }
    }
    while (!live.empty()) {
        release();
        if (random() % 8 == 0) {
            alloc();
        }
    }
    EXPECT_GT(CountBuffers(zone), 2000u);
    EXPECT_GT(ZuMemZone::RetFitChecks() - checks, 10000u);
    EXPECT_EQ(ZuMemZone::RetFitMismatches(), 0u);
}
