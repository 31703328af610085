#include <gtest/gtest.h>

#include "si/dict.h"
#include "si/dictit.h"
#include "si/classfactory.h"
#include "si/container.h"
#include "si/rtclass.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"

// A dictionary that tells how many iterators it has registered.
ZU_HANDLE(CountingDict, ZuDict)
class CountingDict : public ZuDict {
    ZU_CLASS(CountingDict, ZuDict)
public:
    CountingDict() {}
    unsigned Registered() const { return iterators.IsValid() ? iterators->TotalCount() : 0; }
};
ZU_CLASS_END(CountingDict)
ZU_IMPLEMENT_CLASS(CountingDict, "tests/si/dictit_test", ZU_CLASS_PLAIN)

namespace {

class DictIteratorTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        dict = ZuDictRef(ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, "test"));
    }
    std::string Value(const ZuDictIteratorRef& it)
    {
        ZuObjectRef v;
        return it->GetValue(v, 0) ? NumberText(v) : "none";
    }
    ZuDictRef dict;
};

TEST_F(DictIteratorTest, EmptyDictionary)
{
    ZuDictIteratorRef it(dict->NewIterator());
    EXPECT_TRUE(it->First());
    EXPECT_EQ(Value(it), "none");
}

TEST_F(DictIteratorTest, LastAfterAFailedNext)
{
    dict->Insert(TestNumber::Make(1), TestNumber::Make(10));
    dict->Insert(TestNumber::Make(2), TestNumber::Make(20));
    ZuDictIteratorRef it(dict->NewIterator());
    EXPECT_TRUE(it->Next(1));
    EXPECT_FALSE(it->Next(1));
    EXPECT_EQ(Value(it), "none");
    EXPECT_TRUE(it->Last());
    EXPECT_EQ(Value(it), "20");
    ZuObjectRef got;
    EXPECT_TRUE(it->Get(got, 0));
    EXPECT_EQ(NumberText(got), "20");
    EXPECT_FALSE(it->GetKey(got, 1));
    EXPECT_TRUE(it->Prev(1));
    EXPECT_EQ(Value(it), "10");
    EXPECT_FALSE(it->Prev(1));
}

TEST_F(DictIteratorTest, RemovalMovesTheIteratorOnlyWhenItsElementGoes)
{
    TestNumberRef k = TestNumber::Make(1), v = TestNumber::Make(10);
    dict->Insert(k, v);
    dict->Insert(k, v); // count 2
    dict->Insert(TestNumber::Make(2), TestNumber::Make(20));
    ZuDictIteratorRef it(dict->NewIterator());
    it->DidChange();

    EXPECT_TRUE(dict->Remove(0u)); // count 2 -> 1: stays
    EXPECT_FALSE(it->DidChange());
    EXPECT_EQ(Value(it), "10");
    EXPECT_TRUE(dict->Remove(0u)); // unlinked: to the next element
    EXPECT_TRUE(it->DidChange());
    EXPECT_EQ(Value(it), "20");

    dict->Insert(TestNumber::Make(0), TestNumber::Make(0));
    EXPECT_TRUE(dict->Remove(1u)); // the tail: to the previous element
    EXPECT_EQ(Value(it), "0");
}

TEST_F(DictIteratorTest, EachIteratorIsRegisteredOnce)
{
    CountingDictRef counting(ZuNew<CountingDict>(Zuvi_app_zone, __LINE__, "test"));
    counting->Insert(TestNumber::Make(1), TestNumber::Make(10));
    ZuDictIteratorRef kept(counting->NewIterator());
    ZuIteratorRef gone = counting->NewIterator();
    EXPECT_EQ(counting->Registered(), 2u);
    gone->Delete();
    EXPECT_EQ(counting->Registered(), 1u);
    EXPECT_TRUE(counting->Remove(0u));
    EXPECT_EQ(Value(kept), "none");
    kept->Delete();
    EXPECT_EQ(counting->Registered(), 0u);
}

} // namespace
