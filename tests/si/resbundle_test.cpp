#include "si/resbundle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <string>

#include "si/resman.h"
#include "tests/support/objmodel.h"
#include "tests/support/resbundlewriter.h"
#include "tests/support/scratchdir.h"

namespace {

// The resources folder of the test's own scratch directory, and a manager.
class ResBundleTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        setenv("ZUVI_DIR", scratch.Path().c_str(), 1);
        ZuResMan::Initialise();
    }
    void TearDown() override
    {
        ZuResMan::Kill();
        unsetenv("ZUVI_DIR");
        ZuviRuntimeTest::TearDown();
    }
    ZuResBundleRef Load(const TestBundle& bundle, const char* name = "test.res")
    {
        bundle.Write(scratch.Path(), name);
        return ZuResMan::Current()->LoadBundle(ZuStringRef(name));
    }
    ScratchDir scratch;
};

TEST_F(ResBundleTest, TheWalkStopsAtTheFirstEntryOfTypeZero)
{
    TestBundle b;
    b.entries = {{0x81, "abc"}, {0, "zz"}, {0x81, "def"}};
    ZuResBundleRef bundle = Load(b);
    ASSERT_TRUE(bundle.IsValid());
    EXPECT_EQ(bundle->TotalCount(), 3u);
    EXPECT_EQ(bundle->RetBundleID(), 0u);
    ASSERT_NE(bundle->RetResID(0), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bundle->RetResID(0)->data), 3), "abc");
    EXPECT_EQ(bundle->RetResID(1)->data, nullptr);
    EXPECT_EQ(bundle->RetResID(2)->data, nullptr);
    EXPECT_EQ(bundle->RetResID(2)->index, 2u);
    EXPECT_EQ(bundle->RetResID(3), nullptr);
    const void* data = nullptr;
    unsigned size = 0;
    ZuResType type = ZU_RES_TYPE_NONE;
    EXPECT_TRUE(bundle->LockResource(0, data, size, type));
    EXPECT_EQ(type, ZU_RES_TYPE_LATIN_TEXT);
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(bundle->LockResource(1, data, size, type));
    EXPECT_FALSE(bundle->LockResource(2, data, size, type));
    EXPECT_FALSE(bundle->LockResource(3, data, size, type));
    ZuObjectRef none;
    EXPECT_FALSE(bundle->Get(0, none));
}

TEST_F(ResBundleTest, HeadersPaddingAndLongSizes)
{
    TestBundle b;
    std::string big(65538, 'x');
    b.entries = {{0x81, "12345"}, {0x82, "ab"}, {0x1234, big, true}, {0x81, "end"}};
    ZuResBundleRef bundle = Load(b);
    ASSERT_TRUE(bundle.IsValid());
    // The second header starts 16 bytes after the first entry's data.
    EXPECT_EQ(bundle->RetResID(1)->data - bundle->RetResID(0)->data, 16 + 4);
    EXPECT_EQ(bundle->RetResID(0)->size, 5u);
    // The long header 0x8001 0x0002 gives 65538 bytes; the type is its last word.
    EXPECT_EQ(bundle->RetResID(2)->size, 65538u);
    EXPECT_EQ(bundle->RetResID(2)->RetType(), 0x1234);
    EXPECT_EQ(bundle->RetResID(2)->data[-8], 0x80);
    EXPECT_EQ(bundle->RetResID(2)->data[-7], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bundle->RetResID(3)->data), 3), "end");
}

// Counts, offsets and sizes come from the file: whatever runs past the
// image refuses the whole bundle.
TEST_F(ResBundleTest, BundlesThatDoNotHoldTogetherAreRefused)
{
    struct Case {
        const char* what;
        std::string image;
    };
    TestBundle good;
    good.entries = {{0x81, "abc"}, {0x81, "defgh"}};
    std::string image = good.Image();
    auto with = [&](size_t at, std::string bytes) {
        std::string out = image;
        out.replace(at, bytes.size(), bytes);
        return out;
    };
    TestBundle long_cut;
    long_cut.entries = {{0x81, "abc"}};
    std::string cut = long_cut.Image().substr(0, 64 + 6);
    cut[64] = '\x80';
    const Case cases[] = {
        {"other header line", with(5, "X")},
        {"shorter than the header", image.substr(0, 60)},
        {"empty file", ""},
        {"count past the image", with(56, std::string("\x00\x10\x00\x00", 4))},
        {"first offset past the image", with(60, std::string("\x00\x01\x00\x00", 4))},
        {"entry size past the image", with(64 + 16 + 4, std::string("\x7F\xFF", 2))},
        {"long header cut", cut},
        {"last entry's data cut", image.substr(0, image.size() - 12)},
    };
    for (const Case& c : cases) {
        std::string name = std::string("bad-") + std::to_string(&c - cases) + ".res";
        std::string folder = scratch.Path() + "/Resources";
        ::mkdir(folder.c_str(), 0700);
        FILE* f = fopen((folder + "/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(c.image.data(), 1, c.image.size(), f);
        fclose(f);
        EXPECT_TRUE(ZuResMan::Current()->LoadBundle(ZuStringRef(name.c_str())).IsInvalid())
            << c.what;
    }
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 0u);
    EXPECT_TRUE(ZuResMan::Current()->LoadBundle(ZuStringRef("missing.res")).IsInvalid());
    // The sound image loads.
    EXPECT_TRUE(Load(good).IsValid());
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 1u);
}

} // namespace
