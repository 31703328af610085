#include "si/basecheckfilter.h"

#include "si/classfactory.h"
#include "si/filecheckfilter.h"
#include "si/memzone.h"
#include "si/numcheckfilter.h"
#include "si/string.h"
#include "si/validity.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

namespace {

class CheckFilterTest : public ZuviRuntimeTest {};

TEST_F(CheckFilterTest, LibraryFiltersReachNoVerdict)
{
    const ZuRuntimeRef* classes[] = {&ZuFileCheckFilterRef::RetRuntime(),
                                     &ZuNumCheckFilterRef::RetRuntime()};
    for (const ZuRuntimeRef* rt : classes) {
        ZuObjectRef filter(ZuClassFactory::New(*rt, Zuvi_app_zone, __LINE__, __FILE__));
        ASSERT_TRUE(filter.IsValid());
        const ZuiCheckFilter* check =
            static_cast<const ZuiCheckFilter*>(filter->CastToInterface(&ZuiCheckFilter::interface));
        ASSERT_NE(check, nullptr);
        for (const char* text : {"", "12", "file.txt"}) {
            ZuValidityRecord record(ZU_VALIDITY_TRUE, 3, 4, ZuAtomRef("kept"));
            EXPECT_FALSE(check->Check(ZuStringRef(text), record)) << text;
            EXPECT_EQ(record, ZuValidityRecord(ZU_VALIDITY_TRUE, 3, 4, ZuAtomRef("kept"))) << text;
        }

        // Stored with the base's group and its own, both empty.
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(filter);
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        store->RestoreObject(back, *rt);
        ASSERT_TRUE(back.IsValid());
        EXPECT_TRUE(back->IsA(*rt));
        EXPECT_EQ(store->Remaining(), 0u);
    }
}

TEST(CheckFilterDeathTest, TheBaseIsAbstract)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuNew<ZuBaseCheckFilter>();
        },
        "Cannot instanciate ZuBaseCheckFilter");
}

} // namespace
