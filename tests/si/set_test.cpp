#include <gtest/gtest.h>

#include "si/array.h"
#include "si/atom.h"
#include "si/dict.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"

namespace {

// The set base is abstract: its behaviour is seen through a dictionary.
class SetTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        dict = ZuDictRef(ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, "test"));
        a = TestNumber::Make(100);
        b = TestNumber::Make(200);
        dict->Insert(a, TestNumber::Make(1));
        dict->Insert(b, TestNumber::Make(2));
        dict->Insert(a, TestNumber::Make(3));
    }
    std::string View()
    {
        std::string text;
        for (unsigned i = 0; i < 3; ++i) {
            ZuObjectRef out;
            text += (i ? " " : "") + (dict->Get(i, out) ? NumberText(out) : std::string("no"));
        }
        return text;
    }
    static ZuArrayRef Spec(const std::vector<ZuObjectRef>& items)
    {
        ZuArrayRef array(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "test"));
        for (auto& i : items)
            array->Insert(i);
        return array;
    }

    ZuDictRef dict;
    TestNumberRef a, b;
};

TEST_F(SetTest, ExtractionModes)
{
    EXPECT_EQ(View(), "100 100 200"); // mode 0: the keys, in key order
    dict->SpecifyExtractKey(ZuObjectNull);
    EXPECT_EQ(View(), "1 3 2"); // mode 1: the values, in key order
    dict->SpecifyExtractKey(a);
    EXPECT_EQ(View(), "1 3 no"); // mode 2: the values of key a
    EXPECT_EQ(dict->TotalCount(), 3u);
    dict->SpecifyExtractValue(TestNumber::Make(2));
    EXPECT_EQ(View(), "200 no no"); // mode 3: the keys of value 2
    dict->SpecifyExtractValue(ZuObjectNull);
    EXPECT_EQ(View(), "100 100 200");
}

TEST_F(SetTest, MissingIndexGivesAnEmptyHandle)
{
    ZuObjectRef out = a;
    EXPECT_FALSE(dict->Get(3, out));
    EXPECT_TRUE(out.IsInvalid());
}

TEST_F(SetTest, SpecifyExtractionByAtoms)
{
    struct Case {
        std::vector<ZuObjectRef> spec;
        bool accepted;
        const char* view;
    };
    const Case cases[] = {
        {{ZuAtomRef("ExtractKey")}, true, "1 3 2"},
        {{ZuAtomRef("ExtractValue")}, true, "100 100 200"},
        {{ZuAtomRef("ExtractValueUsingKey"), b}, true, "2 no no"},
        {{ZuAtomRef("ExtractKeyUsingValue"), TestNumber::Make(3)}, true, "100 no no"},
        {{ZuAtomRef("ExtractKey"), a}, false, "100 100 200"},
        {{ZuAtomRef("ExtractValueUsingKey")}, false, "100 100 200"},
        {{ZuAtomRef("SomethingElse")}, false, "100 100 200"},
        {{a}, false, "100 100 200"},
        {{}, false, "100 100 200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        dict->SpecifyExtractValue(ZuObjectNull);
        EXPECT_EQ(dict->SpecifyExtraction(Spec(c.spec)), c.accepted);
        EXPECT_EQ(View(), c.view);
    }
}

TEST_F(SetTest, FlagsStartTrue)
{
    EXPECT_TRUE(dict->RetAllowDuplicates());
    EXPECT_TRUE(dict->RetCompKeyUsingIsEqual());
    EXPECT_TRUE(dict->RetCompValueUsingIsEqual());
}

TEST_F(SetTest, SetItselfCannotBeMade)
{
    EXPECT_DEATH(ZuNew<ZuSet>(Zuvi_app_zone, __LINE__, "test"), "Cannot instanciate ZuSet");
}

} // namespace
