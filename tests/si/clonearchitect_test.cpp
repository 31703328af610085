// The clone and look-up architects: copies of model views, and views or
// inner architects found per item in a table.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/clonearchitect.h"
#include "si/dict.h"
#include "si/lookuparchitect.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/viewprovider.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

namespace {

class ArchitectTest : public LookTest {
protected:
    void TearDown() override
    {
        for (ZuObjectRef& o : made)
            if (o.IsValid())
                o->Delete();
        made.clear();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    template <class R>
    R Keep(const R& object)
    {
        made.push_back(object);
        return object;
    }
    ZuProviderViewRef Holder(unsigned slots = 1)
    {
        ZuProviderViewRef h = Keep(ZuProviderViewRef(ZuNew<ZuProviderView>(Zuvi_app_zone)));
        h->Initialise(ZuViewProviderRef(), 0, slots, ZuRect(100, 100, 149, 119));
        return h;
    }
    static ZuViewRef Content(const ZuProviderViewRef& holder)
    {
        ZuViewRef v;
        holder->GetContents(0, v);
        return v;
    }
    std::vector<ZuObjectRef> made;
};

} // namespace

TEST_F(ArchitectTest, ClonesAreDistinctCopiesOfTheModel)
{
    ZuCloneArchitectRef architect = Keep(ZuCloneArchitectRef(ZuNew<ZuCloneArchitect>()));
    EXPECT_TRUE(architect->Initialise());
    ZuViewRef model = Keep(ZuViewRef(TProbeView::Make("m", 0, 0, 29, 9)));
    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(model, dx, dy));
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, 10);

    ZuProviderViewRef h1 = Holder(), h2 = Holder();
    ASSERT_TRUE(architect->CreateView(model, h1));
    ASSERT_TRUE(architect->CreateView(model, h2));
    ZuViewRef a = Content(h1), b = Content(h2);
    ASSERT_TRUE(a.IsValid() && b.IsValid());
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(a == model);
    EXPECT_TRUE(a->IsKindOf(TProbeViewRef::RetRuntime()));
    a->SetSize(5, 5);
    a->GetSize(dx, dy);
    EXPECT_EQ(dx, 5);
    model->GetSize(dx, dy);
    EXPECT_EQ(dx, 30);
    b->GetSize(dx, dy);
    EXPECT_EQ(dx, 30);

    // A holder without a slot drops the clone, and the answer is true.
    EXPECT_TRUE(architect->CreateView(model, Holder(0)));
}

TEST_F(ArchitectTest, ItemsThatAreNoViewsGetNothing)
{
    ZuCloneArchitectRef clone = Keep(ZuCloneArchitectRef(ZuNew<ZuCloneArchitect>()));
    ZuLookUpArchitectRef lookup = Keep(ZuLookUpArchitectRef(ZuNew<ZuLookUpArchitect>()));
    ZuDictRef table = Keep(ZuDictRef(ZuNew<ZuDict>()));
    ZuAtomRef card("card");
    table->Insert(card, ZuStringRef("no view"));
    lookup->Initialise(ZuViewArchitectRef(), table);
    struct Case {
        const char* what;
        ZuViewArchitectRef architect;
        ZuObjectRef item;
    } cases[] = {
        {"clone: empty item", clone, ZuObjectNull},
        {"clone: a string", clone, ZuStringRef("text")},
        {"look-up: missing item", lookup, ZuAtomRef("other")},
        {"look-up: found value is no view", lookup, card},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double dx = -1, dy = -1;
        EXPECT_FALSE(c.architect->GetViewSize(c.item, dx, dy));
        EXPECT_EQ(dx, -1);
        ZuProviderViewRef h = Holder();
        EXPECT_FALSE(c.architect->CreateView(c.item, h));
        EXPECT_TRUE(Content(h).IsInvalid());
    }
}

TEST_F(ArchitectTest, TheFoundValueReachesTheInnerArchitect)
{
    TItemArchitectRef inner = Keep(TItemArchitect::Make());
    ZuDictRef table = Keep(ZuDictRef(ZuNew<ZuDict>()));
    ZuViewRef pane = Keep(ZuViewRef(TProbeView::Make("pane", 0, 0, 39, 19)));
    table->Insert(ZuAtomRef("Général"), pane);
    ZuLookUpArchitectRef architect = Keep(ZuLookUpArchitectRef(ZuNew<ZuLookUpArchitect>()));
    architect->Initialise(inner, table);

    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(ZuAtomRef("Général"), dx, dy));
    EXPECT_EQ(dx, 40);
    EXPECT_EQ(dy, 20);
    ZuProviderViewRef h = Holder();
    ASSERT_TRUE(architect->CreateView(ZuAtomRef("Général"), h));
    EXPECT_EQ(inner->create_calls, 1u);
    // The inner architect made its own view of the pane.
    EXPECT_TRUE(Content(h).IsValid());
    EXPECT_FALSE(Content(h) == pane);
    EXPECT_FALSE(architect->GetViewSize(ZuAtomRef("Autre"), dx, dy));
    EXPECT_EQ(inner->size_calls, 1u);

    // A copy shares the inner architect and the table.
    ZuLookUpArchitectRef copy = Keep(ZuLookUpArchitectRef(architect->Clone()));
    ASSERT_TRUE(copy->GetViewSize(ZuAtomRef("Général"), dx, dy));
    EXPECT_EQ(inner->size_calls, 2u);
}

// The cards of a dialog: the pane found for a card is shown itself, every
// time, and survives its holder being emptied and refilled.
TEST_F(ArchitectTest, WithoutAnInnerArchitectTheFoundViewItselfIsShown)
{
    ZuDictRef table = Keep(ZuDictRef(ZuNew<ZuDict>()));
    ZuViewRef first = TProbeView::Make("first", 0, 0, 39, 19);
    ZuViewRef second = TProbeView::Make("second", 0, 0, 39, 19);
    table->Insert(ZuAtomRef("A"), first);
    table->Insert(ZuAtomRef("B"), second);
    ZuLookUpArchitectRef architect = Keep(ZuLookUpArchitectRef(ZuNew<ZuLookUpArchitect>()));
    architect->Initialise(ZuViewArchitectRef(), table);

    ZuProviderViewRef h = Holder();
    ASSERT_TRUE(architect->CreateView(ZuAtomRef("A"), h));
    EXPECT_TRUE(Content(h) == first);
    h->RemoveAllChildren(true);
    ASSERT_TRUE(architect->CreateView(ZuAtomRef("B"), h));
    EXPECT_TRUE(Content(h) == second);
    ASSERT_TRUE(architect->CreateView(ZuAtomRef("A"), h));
    EXPECT_TRUE(Content(h) == first);
    ZuObjectRef::RealiseDeletions();
    EXPECT_TRUE(first->IsKindOf(ZuViewRef::RetRuntime()));
    EXPECT_EQ(first->RetRefCount() > 0, true);
    EXPECT_TRUE(second->RetParent().IsInvalid());
    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(ZuAtomRef("B"), dx, dy));
    EXPECT_EQ(dx, 40);
    Keep(first);
    Keep(second);
}

// Read from a file without a table (or asked before it has one), the
// architect answers false instead of stopping the program.
TEST_F(ArchitectTest, ALookUpArchitectWithoutTableAnswersFalse)
{
    ZuLookUpArchitectRef bare = Keep(ZuLookUpArchitectRef(ZuNew<ZuLookUpArchitect>()));
    ZuLookUpArchitectRef back = Keep(ZuLookUpArchitectRef(StoredAndRead(bare)));
    for (const ZuLookUpArchitectRef& a : {bare, back}) {
        double dx = 0, dy = 0;
        EXPECT_FALSE(a->GetViewSize(ZuAtomRef("A"), dx, dy));
        EXPECT_FALSE(a->CreateView(ZuAtomRef("A"), Holder()));
    }
}

TEST_F(ArchitectTest, StoredArchitectsComeBackWithTheirParts)
{
    ZuDictRef table = Keep(ZuDictRef(ZuNew<ZuDict>()));
    table->Insert(ZuAtomRef("A"), TProbeView::Make("a", 0, 0, 9, 4));
    ZuLookUpArchitectRef lookup = Keep(ZuLookUpArchitectRef(ZuNew<ZuLookUpArchitect>()));
    ZuCloneArchitectRef inner = Keep(ZuCloneArchitectRef(ZuNew<ZuCloneArchitect>()));
    inner->SetTotalAttributes(2);
    lookup->Initialise(inner, table);
    ZuLookUpArchitectRef back = Keep(ZuLookUpArchitectRef(StoredAndRead(lookup)));
    ASSERT_TRUE(back.IsValid());
    double dx = 0, dy = 0;
    ASSERT_TRUE(back->GetViewSize(ZuAtomRef("A"), dx, dy));
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, 5);
}
