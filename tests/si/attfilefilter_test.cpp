#include "si/attfilefilter.h"

#include "si/classfactory.h"
#include "si/string.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

namespace {

class AttributeFileFilter : public ZuviRuntimeTest {};

ZuAttributeFileFilterRef NewFilter()
{
    return ZuNew<ZuAttributeFileFilter>();
}

ZuFileAttInfo With(ZuFileAttributes attributes)
{
    ZuFileAttInfo info;
    info.attributes = attributes;
    return info;
}

} // namespace

TEST_F(AttributeFileFilter, TheInitialFilterPassesEverything)
{
    ZuAttributeFileFilterRef f = NewFilter();
    EXPECT_TRUE(f->RetCheckMode());
    EXPECT_TRUE(f->Check(ZuStringRef("x"), With({ZU_FATT_DIRECTORY, ZU_FATT_HIDDEN})));
    f->SetCheckMode(false);
    EXPECT_FALSE(f->Check(ZuStringRef("x"), With({})));
}

TEST_F(AttributeFileFilter, MaskAndData)
{
    ZuAttributeFileFilterRef f = NewFilter();
    ASSERT_TRUE(f->SetMatch({ZU_FATT_DIRECTORY}, {ZU_FATT_DIRECTORY, ZU_FATT_HIDDEN}));
    struct Case {
        ZuFileAttributes attributes;
        bool passes;
    } cases[] = {
        {{ZU_FATT_DIRECTORY}, true},
        {{ZU_FATT_DIRECTORY, ZU_FATT_READ_OK, ZU_FATT_VOLUME_CD}, true}, // outside the mask
        {{ZU_FATT_DIRECTORY, ZU_FATT_HIDDEN}, false},
        {{}, false},
        {{ZU_FATT_HIDDEN}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f->Check(ZuStringNull, With(c.attributes)), c.passes) << c.attributes.RetBits();
        f->SetCheckMode(false);
        EXPECT_EQ(f->Check(ZuStringNull, With(c.attributes)), !c.passes) << c.attributes.RetBits();
        f->SetCheckMode(true);
    }
    EXPECT_EQ(f->RetMatchData(), ZuFileAttributes{ZU_FATT_DIRECTORY});
    EXPECT_EQ(f->RetMatchMask(), (ZuFileAttributes{ZU_FATT_DIRECTORY, ZU_FATT_HIDDEN}));
}

TEST_F(AttributeFileFilter, CopyTakesDataAndMaskButNotTheCheckMode)
{
    ZuAttributeFileFilterRef source = NewFilter();
    source->SetMatch({ZU_FATT_HIDDEN}, {ZU_FATT_HIDDEN});
    source->SetCheckMode(false);
    ZuAttributeFileFilterRef target = NewFilter();
    target->Copy(source);
    EXPECT_EQ(target->RetMatchData(), ZuFileAttributes{ZU_FATT_HIDDEN});
    EXPECT_EQ(target->RetMatchMask(), ZuFileAttributes{ZU_FATT_HIDDEN});
    EXPECT_TRUE(target->RetCheckMode());

    ZuAttributeFileFilterRef other = NewFilter();
    other->Copy(ZuStringRef("not a filter"));
    EXPECT_TRUE(other->RetMatchMask().TestNone());
}

TEST_F(AttributeFileFilter, StoredWithItsCheckMode)
{
    ZuAttributeFileFilterRef f = NewFilter();
    f->SetMatch({ZU_FATT_DIRECTORY}, {ZU_FATT_DIRECTORY, ZU_FATT_VOLUME_CD});
    f->SetCheckMode(false);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(f);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuAttributeFileFilterRef::RetRuntime());
    ZuAttributeFileFilterRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_FALSE(copy->RetCheckMode());
    EXPECT_EQ(copy->RetMatchData(), ZuFileAttributes{ZU_FATT_DIRECTORY});
    EXPECT_EQ(copy->RetMatchMask(), (ZuFileAttributes{ZU_FATT_DIRECTORY, ZU_FATT_VOLUME_CD}));
    // The interface reaches the whole object.
    ZuiFileFilter* iface =
        static_cast<ZuiFileFilter*>(copy->CastToInterface(&ZuiFileFilter::interface));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->RetSelfAsObject(), copy.Resolve());
    EXPECT_TRUE(iface->Check(ZuStringNull, With({ZU_FATT_READ_OK})));
}
