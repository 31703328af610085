// The container base: abstract classes and notifications.
#include <gtest/gtest.h>

#include "si/array.h"
#include "si/basecontainer.h"
#include "si/classfactory.h"
#include "si/container.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

namespace {

class BaseContainerTest : public ZuviRuntimeTest {};

} // namespace

TEST_F(BaseContainerTest, AbstractBasesCannotBeMade)
{
    struct Case {
        const char* name;
        const char* message;
    } const cases[] = {
        {"ZuBaseContainer", "Cannot instanciate ZuBaseContainer"},
        {"ZuContainer", "Cannot instanciate ZuContainer"},
        {"ZuIterator", "Cannot instanciate ZuIterator"},
    };
    for (const auto& c : cases)
        EXPECT_DEATH(ZuClassFactory::New(c.name, Zuvi_app_zone, __LINE__, __FILE__), c.message)
            << c.name;
}

TEST_F(BaseContainerTest, NotificationsAreExported)
{
    EXPECT_TRUE(ZuBaseContainer::notify_data_inserted == ZuAtomRef("notify_data_inserted"));
    EXPECT_TRUE(ZuBaseContainer::notify_data_removed == ZuAtomRef("notify_data_removed"));
    EXPECT_TRUE(ZuBaseContainer::notify_data_moved == ZuAtomRef("notify_data_moved"));
}

TEST_F(BaseContainerTest, ContainersAcceptOnlyAnEmptyExtraction)
{
    // A list keeps the base rule of single-object containers.
    ZuContainerRef list(
        ZuObjectRef(ZuClassFactory::New("ZuList", Zuvi_app_zone, __LINE__, __FILE__)));
    ZuArrayRef spec(ZuNew<ZuArray>());
    EXPECT_TRUE(list->SpecifyExtraction(spec));
    EXPECT_TRUE(list->SpecifyExtraction(ZuArrayRef()));
    spec->Insert(ZuObjectRef(list));
    EXPECT_FALSE(list->SpecifyExtraction(spec));
    spec->RemoveAll();
}

TEST_F(BaseContainerTest, TotalCountIsPublished)
{
    ZuArrayRef a(ZuNew<ZuArray>());
    ZuValueRef count;
    ASSERT_TRUE(a->QueryData(ZuAtomRef("total_count"), count));
    EXPECT_EQ(0u, static_cast<unsigned>(count));
    a->SetSize(4);
    ASSERT_TRUE(a->QueryData(ZuAtomRef("total_count"), count));
    EXPECT_EQ(4u, static_cast<unsigned>(count));
    EXPECT_FALSE(a->DefineData(ZuAtomRef("total_count"), ZuValueRef(2u)));
    a->RemoveAll();
}
