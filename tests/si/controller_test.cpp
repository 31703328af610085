// Controllers: the dictionary of command factories by name, renaming,
// release of the factories on deletion and restoring, and the stored form.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/commandfactory.h"
#include "si/controller.h"
#include "si/dict.h"
#include "si/icontainer.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class ControllerTest : public ZuviRuntimeTest {
protected:
    static ZuCommandFactoryRef Factory(const char* name, const ZuControllerRef& controller)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>();
        f->SetUserName(ZuStringRef(name));
        f->SetController(controller);
        return f;
    }
};

} // namespace

TEST_F(ControllerTest, FactoriesAreFoundByNameAndNamesByFactory)
{
    ZuControllerRef c = ZuNew<ZuController>();
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Open")).IsInvalid());
    EXPECT_TRUE(c->RetCommandName(ZuNew<ZuCommandFactory>()).IsInvalid());
    EXPECT_FALSE(c->RemoveCommandFactory(ZuObjectNull));

    ZuCommandFactoryRef open = Factory("Open", c), save = Factory("Save", c);
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Open")) == open);
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Save")) == save);
    EXPECT_TRUE(c->RetCommandName(save) == "Save");
    EXPECT_TRUE(open->RetController() == c);

    // Two under one name: the first comes first.
    ZuCommandFactoryRef other = Factory("Open", c);
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Open")) == open);
    open->SetController(ZuControllerNull);
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Open")) == other);
    // As a container it counts the data slot's fields, and leads back to
    // the controller itself.
    auto* items = static_cast<ZuiContainer*>(c->CastToInterface(&ZuiContainer::interface));
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->TotalCount(), 0u);
    EXPECT_EQ(items->RetSelfAsObject(), c.RetRawObject());
    c->Delete();
}

TEST_F(ControllerTest, RenamingKeepsOneEntryUnderTheNewName)
{
    ZuControllerRef c = ZuNew<ZuController>();
    ZuCommandFactoryRef f = Factory("Open", c);
    f->SetUserName(ZuStringRef("Ouvrir"));
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Open")).IsInvalid());
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Ouvrir")) == f);
    EXPECT_TRUE(c->RetCommandName(f) == "Ouvrir");
    // Leaving removes the one entry: nothing is found under either name.
    f->SetController(ZuControllerNull);
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Ouvrir")).IsInvalid());
    EXPECT_TRUE(c->RetCommandName(f).IsInvalid());
    c->Delete();
}

TEST_F(ControllerTest, DeletingAControllerOrAFactoryUndoesTheMembership)
{
    ZuControllerRef c = ZuNew<ZuController>();
    ZuCommandFactoryRef a = Factory("A", c), b = Factory("B", c), b2 = Factory("B", c);
    c->Delete();
    for (const ZuCommandFactoryRef& f : {a, b, b2})
        EXPECT_TRUE(f->RetController().IsInvalid());

    // A deleted factory is no longer found by its name.
    ZuControllerRef d = ZuNew<ZuController>();
    ZuCommandFactoryRef gone = Factory("Gone", d);
    gone->Delete();
    EXPECT_TRUE(d->RetCommandFactory(ZuAtomRef("Gone")).IsInvalid());
    d->Delete();
}

TEST_F(ControllerTest, StoredFormFollowsTheDataSlot)
{
    ZuControllerRef c = ZuNew<ZuController>();
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(c);
    std::string bytes(store->Bytes().begin(), store->Bytes().end());
    const size_t base = bytes.find("<ZuBaseController >");
    const size_t slot = bytes.find("<ZuDataSlot fields field_events name>");
    const size_t own = bytes.find("<ZuController cmd_factories>");
    ASSERT_NE(base, std::string::npos);
    ASSERT_NE(slot, std::string::npos);
    ASSERT_NE(own, std::string::npos);
    EXPECT_LT(base, slot);
    EXPECT_LT(slot, own);

    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuControllerRef::RetRuntime());
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(ZuControllerRef(back)->RetCommandFactory(ZuAtomRef("A")).IsInvalid());
    back->Delete();
    c->Delete();
}

// The stored dictionary comes back with its names; the factories in it come
// back with their labels but know no controller. Entries that are no
// factory answer nothing and are released all the same.
TEST_F(ControllerTest, RestoredEntriesAndForeignEntriesAreReleased)
{
    ZuControllerRef stored = ZuNew<ZuController>();
    ZuCommandFactoryRef f = Factory("Save", stored);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(stored);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuControllerRef::RetRuntime());
    ZuControllerRef c(back);
    ZuCommandFactoryRef restored = c->RetCommandFactory(ZuAtomRef("Save"));
    ASSERT_TRUE(restored.IsValid());
    EXPECT_FALSE(restored == f);
    EXPECT_TRUE(restored->RetController().IsInvalid());
    c->Delete();
    EXPECT_TRUE(c->RetCommandFactory(ZuAtomRef("Save")).IsInvalid());

    ZuControllerRef foreign = ZuNew<ZuController>();
    EXPECT_TRUE(foreign->InsertCommandFactory(ZuStringRef("not a factory")));
    EXPECT_TRUE(foreign->RetCommandFactory(ZuAtomRef()).IsInvalid());
    foreign->Delete(); // ends: the entry goes although no factory takes it out
    EXPECT_TRUE(foreign->RetCommandFactory(ZuAtomRef()).IsInvalid());
    stored->Delete();
    EXPECT_TRUE(f->RetController().IsInvalid());
}
