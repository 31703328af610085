#include "si/mergefilefilter.h"

#include "si/attfilefilter.h"
#include "si/classfactory.h"
#include "si/fileatt.h"
#include "si/memzone.h"
#include "si/patfilefilter.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

namespace {

class MergeFileFilterTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(
            ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
    }
    static ZuPatternFileFilterRef Pattern(const char* pattern)
    {
        ZuPatternFileFilterRef f = Make<ZuPatternFileFilterRef>();
        f->SetPattern(ZuStringRef(pattern));
        return f;
    }
    static bool Passes(const ZuObjectRef& filter, const char* name)
    {
        const ZuiFileFilter* f =
            static_cast<const ZuiFileFilter*>(filter->CastToInterface(&ZuiFileFilter::interface));
        return f->Check(ZuStringRef(name), ZuFileAttInfo::empty);
    }
    template <class R>
    static R StoreAndRestore(R const& object)
    {
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(object);
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        store->RestoreObject(back, R::RetRuntime());
        return R(back);
    }
};

TEST_F(MergeFileFilterTest, PatternFileFilterFollowsItsCheckMode)
{
    ZuPatternFileFilterRef f = Pattern("*.png");
    EXPECT_TRUE(Passes(f, "a.PNG"));
    EXPECT_FALSE(Passes(f, "a.gif"));
    f->SetCheckMode(false);
    EXPECT_FALSE(Passes(f, "a.PNG"));
    EXPECT_TRUE(Passes(f, "a.gif"));

    ZuPatternFileFilterRef copy = StoreAndRestore(f);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_FALSE(copy->RetCheckMode());
    EXPECT_TRUE(Passes(copy, "a.gif"));

    ZuPatternFileFilterRef other = Make<ZuPatternFileFilterRef>();
    other->Copy(f);
    EXPECT_FALSE(other->RetCheckMode());
    EXPECT_TRUE(Passes(other, "b.gif"));
}

TEST_F(MergeFileFilterTest, EmptyMergedFilter)
{
    ZuMergeFileFilterRef m = Make<ZuMergeFileFilterRef>();
    EXPECT_TRUE(m->RetUnionMode());
    for (bool union_mode : {true, false}) {
        m->SetUnionMode(union_mode);
        m->SetCheckMode(true);
        EXPECT_FALSE(Passes(m, "x")) << union_mode;
        m->SetCheckMode(false);
        EXPECT_TRUE(Passes(m, "x")) << union_mode;
    }
}

TEST_F(MergeFileFilterTest, UnionAndIntersection)
{
    ZuMergeFileFilterRef m = Make<ZuMergeFileFilterRef>();
    EXPECT_TRUE(m->Insert(Pattern("a*")));
    EXPECT_TRUE(m->Insert(Pattern("*.png")));
    EXPECT_FALSE(m->Insert(ZuStringRef("not a filter")));
    EXPECT_FALSE(m->Insert(ZuObjectNull));
    EXPECT_EQ(m->TotalCount(), 2u);
    struct Case {
        const char* name;
        bool in_union;
        bool in_intersection;
    } cases[] = {
        {"a.png", true, true},
        {"a.gif", true, false},
        {"b.png", true, false},
        {"b.gif", false, false},
    };
    for (const Case& c : cases) {
        m->SetUnionMode(true);
        EXPECT_EQ(Passes(m, c.name), c.in_union) << c.name;
        m->SetUnionMode(false);
        EXPECT_EQ(Passes(m, c.name), c.in_intersection) << c.name;
        m->SetCheckMode(false);
        EXPECT_EQ(Passes(m, c.name), !c.in_intersection) << c.name;
        m->SetCheckMode(true);
    }
}

TEST_F(MergeFileFilterTest, AFilterThatHoldsItselfAnswers)
{
    ZuMergeFileFilterRef m = Make<ZuMergeFileFilterRef>();
    m->Insert(m);
    EXPECT_FALSE(Passes(m, "x"));
    m->Remove(m);
    EXPECT_EQ(m->TotalCount(), 0u);
}

TEST_F(MergeFileFilterTest, StoredAndCopiedWithModesAndFilters)
{
    ZuMergeFileFilterRef m = Make<ZuMergeFileFilterRef>();
    m->Insert(Pattern("a*"));
    ZuAttributeFileFilterRef dirs = Make<ZuAttributeFileFilterRef>();
    dirs->SetMatch({ZU_FATT_DIRECTORY}, {ZU_FATT_DIRECTORY});
    m->Insert(dirs);
    m->SetUnionMode(false);
    m->SetCheckMode(false);

    ZuMergeFileFilterRef copy = StoreAndRestore(m);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_FALSE(copy->RetUnionMode());
    EXPECT_FALSE(copy->RetCheckMode());
    EXPECT_EQ(copy->TotalCount(), 2u);
    EXPECT_TRUE(Passes(copy, "abc")); // not a directory: the intersection fails, inverted

    ZuMergeFileFilterRef clone = Make<ZuMergeFileFilterRef>();
    clone->Copy(m);
    EXPECT_FALSE(clone->RetUnionMode());
    EXPECT_FALSE(clone->RetCheckMode());
    EXPECT_EQ(clone->TotalCount(), 2u);
    // Its array is its own.
    m->Remove(dirs);
    EXPECT_EQ(clone->TotalCount(), 2u);
}

} // namespace
