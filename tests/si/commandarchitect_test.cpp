// The command architect: one plain view per command item, nothing for the
// other items, no size of its own, and its empty stored record.
#include <gtest/gtest.h>

#include "si/array.h"
#include "si/commandarchitect.h"
#include "si/commandfactory.h"
#include "si/control.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/viewprovider.h"
#include "si/string.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

class CommandArchitectTest : public LookTest {};

int ChildCount(const ZuViewRef& view, ZuViewRef& first)
{
    int n = 0;
    ZuViewRef v;
    for (bool ok = view->GetFirstChild(v); ok; ok = v->GetNextSibling(v)) {
        if (n == 0)
            first = v;
        ++n;
    }
    return n;
}

} // namespace

TEST_F(CommandArchitectTest, OnlyCommandItemsGetOneViewOfTheirBox)
{
    ZuCommandArchitectRef architect = ZuNew<ZuCommandArchitect>();
    ASSERT_TRUE(architect->Initialise());
    ZuCommandFactoryRef command = ZuNew<ZuCommandFactory>();
    command->Initialise(ZuAtomPathRef(), ZuAtomRef("Nothing"), true, false);
    struct Case {
        const char* name;
        ZuObjectRef item;
        bool made;
    } cases[] = {{"command", command, true},
                 {"string", ZuStringRef("Ouvrir"), false},
                 {"empty", ZuObjectNull, false}};
    for (const Case& c : cases) {
        ZuProviderViewRef cell = ZuNew<ZuProviderView>(Zuvi_app_zone);
        cell->Initialise(ZuViewProviderRef(), 0, 1, ZuRect(100, 50, 219, 65));
        double w = 7, h = 9;
        EXPECT_FALSE(architect->GetViewSize(c.item, w, h)) << c.name;
        EXPECT_EQ(w, 7) << c.name;
        EXPECT_EQ(h, 9) << c.name;
        EXPECT_EQ(architect->CreateView(c.item, cell), c.made) << c.name;
        ZuViewRef child;
        ASSERT_EQ(ChildCount(cell, child), c.made ? 1 : 0) << c.name;
        if (c.made) {
            EXPECT_TRUE(child->RetBox() == cell->RetBox());
            EXPECT_FALSE(child->IsKindOf(ZuControlRef::RetRuntime()));
        }
        cell->Delete();
    }
    command->Delete();

    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(architect);
    ZuTestStorageRef r = ZuTestStorage::Make();
    r->StartRestoring(s->Bytes());
    ZuObjectRef out;
    r->RestoreObject(out, ZuObjectRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuCommandArchitectRef::RetRuntime()));
    EXPECT_EQ(r->Remaining(), 0u);
    out->Delete();
    architect->Delete();
}
