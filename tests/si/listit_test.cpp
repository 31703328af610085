#include <gtest/gtest.h>

#include "si/list.h"
#include "si/listit.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"

namespace {

class ListIteratorTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        list = ZuListRef(ZuNew<ZuList>(Zuvi_app_zone, __LINE__, "test"));
    }
    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            list->PushTail(TestNumber::Make(i));
    }
    std::string Current(const ZuIteratorRef& it)
    {
        ZuObjectRef got;
        return it->Get(got, 0) ? NumberText(got) : "none";
    }

    ZuListRef list;
};

TEST_F(ListIteratorTest, WalksBothWays)
{
    Fill(3);
    ZuIteratorRef it = list->NewIterator();
    std::string forward = Current(it);
    while (it->Next(1))
        forward += " " + Current(it);
    EXPECT_EQ(forward, "0 1 2");
    EXPECT_EQ(Current(it), "none"); // Next failed: no longer valid
    ASSERT_TRUE(it->Last());
    std::string backward = Current(it);
    while (it->Prev(1))
        backward += " " + Current(it);
    EXPECT_EQ(backward, "2 1 0");
    ZuObjectRef got;
    ASSERT_TRUE(it->First());
    EXPECT_FALSE(it->Get(got, 1)); // only offset 0
}

TEST_F(ListIteratorTest, OneElementList)
{
    Fill(1);
    ZuIteratorRef it = list->NewIterator();
    EXPECT_TRUE(it->First());
    EXPECT_FALSE(it->Next(1));
    EXPECT_TRUE(it->First());
    EXPECT_EQ(Current(it), "0");
}

TEST_F(ListIteratorTest, EmptyList)
{
    ZuIteratorRef it = list->NewIterator();
    EXPECT_TRUE(it->First());
    EXPECT_TRUE(it->Last());
    EXPECT_EQ(Current(it), "none");
    EXPECT_FALSE(it->Next(1));
}

TEST_F(ListIteratorTest, SurvivesRemovalOfItsElement)
{
    struct Case {
        int stand_on;
        int remove;
        const char* then;
        bool changed;
    };
    static const Case cases[] = {
        {1, 1, "2", true},  // moves to the next element
        {2, 2, "1", true},  // the last one: moves to the previous
        {1, 0, "1", false}, // another element: stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remove);
        list->RemoveAll();
        Fill(3);
        ZuIteratorRef it = list->NewIterator();
        for (int i = 0; i < c.stand_on; ++i)
            it->Next(1);
        it->DidChange(); // clears what the walk set
        EXPECT_FALSE(it->DidChange());
        list->Remove(static_cast<unsigned>(c.remove));
        EXPECT_EQ(it->DidChange(), c.changed);
        EXPECT_FALSE(it->DidChange());
        EXPECT_EQ(Current(it), c.then);
        it->Delete();
    }
}

TEST_F(ListIteratorTest, LastElementRemovedLeavesNothing)
{
    Fill(1);
    ZuIteratorRef it = list->NewIterator();
    ZuObjectRef out;
    list->PopHead(out);
    EXPECT_TRUE(it->DidChange());
    EXPECT_EQ(Current(it), "none");
}

TEST_F(ListIteratorTest, DeleteUnregistersFromTheList)
{
    Fill(2);
    ZuIteratorRef it = list->NewIterator();
    ZuBaseContainerRef source;
    ASSERT_TRUE(it->GetSource(source));
    EXPECT_TRUE(source == list);
    it->Delete();
    // The list no longer tells the deleted iterator of removals.
    list->RemoveAll();
    EXPECT_EQ(list->TotalCount(), 0u);
}

} // namespace
