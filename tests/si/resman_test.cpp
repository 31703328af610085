#include "si/resman.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "si/classfactory.h"
#include "tests/support/objmodel.h"
#include "tests/support/resbundlewriter.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"
#include "tests/support/text.h"

namespace {

class ResManTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        setenv("ZUVI_DIR", scratch.Path().c_str(), 1);
        ZuResMan::Initialise();
        TestBundle b;
        b.entries = {{0x81, "hello"}, {0x82, std::string("o\0k\0\0\0", 6)}, {0x40, "xy"}};
        b.Write(scratch.Path(), "texts.res");
        // The same texts 1 byte further: every entry's data at an odd place.
        b.first_offset = 65;
        b.Write(scratch.Path(), "odd.res");
    }
    void TearDown() override
    {
        ZuResMan::Kill();
        unsetenv("ZUVI_DIR");
        ZuviRuntimeTest::TearDown();
    }
    ZuResIDDef* Id(const char* bundle_name, unsigned index)
    {
        ZuResBundleRef bundle = ZuResMan::Current()->LoadBundle(ZuStringRef(bundle_name));
        return bundle.IsValid() ? bundle->RetResID(index) : nullptr;
    }
    ScratchDir scratch;
};

TEST_F(ResManTest, ANameLoadsOnceAndLetterCaseCounts)
{
    ZuResBundleRef first = ZuResMan::Current()->LoadBundle(ZuStringRef("texts.res"));
    ASSERT_TRUE(first.IsValid());
    ZuResBundleRef again = ZuResMan::Current()->LoadBundle(ZuStringRef("texts.res"));
    EXPECT_TRUE(again == first);
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 1u);

    // Another spelling of the name is another bundle (the file system here
    // tells the letter cases apart, so give it the file).
    TestBundle b;
    b.entries = {{0x81, "HELLO"}};
    b.Write(scratch.Path(), "TEXTS.res");
    ZuResBundleRef other = ZuResMan::Current()->LoadBundle(ZuStringRef("TEXTS.res"));
    ASSERT_TRUE(other.IsValid());
    EXPECT_FALSE(other == first);
    EXPECT_EQ(other->RetBundleID(), 1u);
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 2u);
    EXPECT_TRUE(ZuResMan::Current()->RetBundle(1) == other);
    EXPECT_TRUE(ZuResMan::Current()->RetBundle(2).IsInvalid());
    ZuObjectRef got;
    EXPECT_TRUE(ZuResMan::Current()->Get(0, got));
    EXPECT_TRUE(got == first);
    EXPECT_FALSE(ZuResMan::Current()->Get(2, got));
}

TEST_F(ResManTest, LocksAreCountedAndCopiesKeepNone)
{
    ZuResIDDef* id = Id("texts.res", 0);
    ASSERT_NE(id, nullptr);
    const void* data = nullptr;
    unsigned size = 0;
    ZuResType type = ZU_RES_TYPE_NONE;
    EXPECT_TRUE(ZuResMan::LockResource(id, data, size, type));
    EXPECT_TRUE(ZuResMan::LockResource(id, data, size));
    EXPECT_EQ(id->lock_count, 2u);
    EXPECT_EQ(type, ZU_RES_TYPE_LATIN_TEXT);
    EXPECT_TRUE(ZuResMan::UnlockResource(id));
    EXPECT_TRUE(ZuResMan::UnlockResource(id));
    EXPECT_FALSE(ZuResMan::UnlockResource(id));

    char buffer[5];
    EXPECT_FALSE(ZuResMan::CopyResource(id, buffer, 4, size, type));
    EXPECT_EQ(size, 5u); // given even when it does not fit
    EXPECT_EQ(id->lock_count, 0u);
    EXPECT_TRUE(ZuResMan::CopyResource(id, buffer, 5, size, type));
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(id->lock_count, 0u);
    EXPECT_TRUE(ZuResMan::QueryResource(id, size, type));
    EXPECT_EQ(id->lock_count, 0u);

    // A descriptor of one's own (bundle and index only) goes through its bundle.
    ZuResIDDef own{0, 1, nullptr, 0, 0};
    EXPECT_TRUE(ZuResMan::QueryResource(&own, size, type));
    EXPECT_EQ(type, ZU_RES_TYPE_UNICODE_TEXT);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(Id("texts.res", 1)->lock_count, 0u);
    ZuResIDDef unknown{7, 0, nullptr, 0, 0};
    EXPECT_FALSE(ZuResMan::LockResource(&unknown, data, size, type));
    EXPECT_FALSE(ZuResMan::UnlockResource(&unknown));
    EXPECT_FALSE(ZuResMan::LockResource(nullptr, data, size, type));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(ZuResMan::CopyResource(nullptr, buffer, 5, size, type));
    EXPECT_EQ(type, ZU_RES_TYPE_NONE);
}

TEST_F(ResManTest, StringsReadTheirTextsFromBundles)
{
    struct Case {
        const char* bundle;
        unsigned index;
        std::string text;
    };
    // 8-bit and 16-bit texts, in place and at odd places (read from a copy);
    // a type that is no text leaves the string empty.
    const Case cases[] = {
        {"texts.res", 0, "hello"}, {"texts.res", 1, "ok"}, {"texts.res", 2, ""},
        {"odd.res", 0, "hello"},   {"odd.res", 1, "ok"},   {"odd.res", 2, ""},
    };
    for (const Case& c : cases) {
        ZuResIDDef* id = Id(c.bundle, c.index);
        ASSERT_NE(id, nullptr);
        ZuStringRef s("");
        s->SetString(id);
        EXPECT_EQ(Text(s), c.text) << c.bundle << " " << c.index;
        EXPECT_EQ(s->RetResID(), id);
    }
}

TEST_F(ResManTest, DescriptorsAreStoredAsTheirBundleAndIndex)
{
    ZuResIDDef* id = Id("texts.res", 1);
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    Zuvi_StoreResID(storage, id);
    Zuvi_StoreResID(storage, nullptr);
    storage->StartRestoring(storage->Bytes());
    ZuResIDDef* back = Zuvi_RestoreResID(storage);
    // The bundle restores by loading its file again, under a new ID.
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, id);
    EXPECT_EQ(back->bundle, 1u);
    EXPECT_EQ(back->index, 1u);
    EXPECT_EQ(back->size, 6u);
    EXPECT_EQ(Zuvi_RestoreResID(storage), nullptr);
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 2u);

    // A string bound to a text stores its characters and its descriptor.
    ZuStringRef s("");
    s->SetString(Id("texts.res", 0));
    storage->StartStoring();
    storage->StoreObject(s);
    storage->StartRestoring(storage->Bytes());
    ZuObjectRef restored;
    storage->RestoreObject(restored, ZuStringRef::RetRuntime());
    ASSERT_TRUE(restored.IsValid());
    EXPECT_EQ(Text(ZuStringRef(restored)), "hello");
    EXPECT_EQ(ZuResMan::Current()->TotalCount(), 3u);
}

TEST_F(ResManTest, AStoredDescriptorOtherThanNoneOrOneIsRefused)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage->StoreInt(2);
    storage->StartRestoring(storage->Bytes());
    EXPECT_ANY_THROW(Zuvi_RestoreResID(storage));
}

TEST_F(ResManTest, TheManagerIsNeverStored)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage->StoreObject(ZuResMan::Current()),
                 "ZuResMan::StoreInstance not supported");
}

} // namespace
