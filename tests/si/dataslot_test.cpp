#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/atom.h"
#include "si/dataslot.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/probes.h"

namespace {

class DataSlotTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        slot = ZuDataSlotRef(ZuNew<ZuDataSlot>(Zuvi_app_zone, __LINE__, "test"));
    }
    std::string Names()
    {
        std::string text;
        ZuObjectRef name;
        for (unsigned i = 0; slot->Get(i, name); ++i)
            text += (i ? " " : "") + std::string(ZuAtomRef(name));
        return text;
    }
    ZuDataSlotRef slot;
};

TEST_F(DataSlotTest, NewSlot)
{
    EXPECT_TRUE(slot->RetUserName() == "?");
    EXPECT_EQ(slot->TotalCount(), 0u);
}

TEST_F(DataSlotTest, FieldInsertedTwiceIsReplacedAndReportedTwice)
{
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(slot, "field_colour_changed");
    TestNumberRef first = TestNumber::Make(1), second = TestNumber::Make(2);
    EXPECT_TRUE(slot->InsertField("colour", first));
    EXPECT_TRUE(slot->InsertField("width", TestNumber::Make(5)));
    EXPECT_TRUE(slot->InsertField("colour", second));

    EXPECT_EQ(obs->Count("field_colour_changed"), 2u);
    EXPECT_EQ(slot->TotalCount(), 2u);
    ZuObjectRef got;
    ASSERT_TRUE(slot->GetField("colour", got));
    EXPECT_TRUE(got == second);
    ZuAtomRef event;
    ASSERT_TRUE(slot->GetFieldEventName("colour", event));
    EXPECT_TRUE(event == "field_colour_changed");
    // Fields are listed by name, in the order of the field dictionary.
    EXPECT_EQ(Names(), "colour width");
}

TEST_F(DataSlotTest, ReportForAFieldNeverInserted)
{
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(slot, "field_x_changed");
    EXPECT_FALSE(slot->ReportFieldChange("x", 0));
    EXPECT_TRUE(obs->Events().empty());
    ZuAtomRef event;
    EXPECT_FALSE(slot->GetFieldEventName("x", event));
}

TEST_F(DataSlotTest, RemovingAFieldRemovesItsNotification)
{
    slot->InsertField("x", TestNumber::Make(1));
    EXPECT_TRUE(slot->RemoveField("x"));
    ZuAtomRef event;
    EXPECT_FALSE(slot->GetFieldEventName("x", event));
    EXPECT_FALSE(slot->RemoveField("x"));
    slot->InsertField("x", TestNumber::Make(2));
    EXPECT_TRUE(slot->GetFieldEventName("x", event));

    TestObserverRef obs = TestObserver::Make();
    obs->Watch(slot, "field_x_changed");
    EXPECT_TRUE(slot->ReportFieldChange("x", 0));
    EXPECT_EQ(obs->Count("field_x_changed"), 1u);
}

TEST_F(DataSlotTest, UserName)
{
    EXPECT_TRUE(slot->SetUserName(ZuTextRef("Application")));
    EXPECT_TRUE(slot->RetUserName() == "Application");
}

TEST_F(DataSlotTest, AfterDeleteEverythingAnswersFalse)
{
    slot->InsertField("x", TestNumber::Make(1));
    slot->Delete();
    ZuObjectRef got;
    ZuAtomRef event;
    EXPECT_EQ(slot->TotalCount(), 0u);
    EXPECT_FALSE(slot->InsertField("x", TestNumber::Make(1)));
    EXPECT_FALSE(slot->GetField("x", got));
    EXPECT_FALSE(slot->GetFieldEventName("x", event));
    EXPECT_FALSE(slot->RemoveField("x"));
    EXPECT_FALSE(slot->ReportFieldChange("x", 0));
    EXPECT_FALSE(slot->Get(0, got));
}

TEST_F(DataSlotTest, StoredAndRestored)
{
    slot->SetUserName(ZuTextRef("Settings"));
    slot->InsertField("width", TestNumber::Make(5));
    slot->InsertField("colour", TestNumber::Make(7));
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(slot);
    store->StartRestoring(store->Bytes());
    ZuDataSlotRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetUserName() == "Settings");
    EXPECT_EQ(back->TotalCount(), 2u);
    ZuObjectRef got;
    ASSERT_TRUE(back->GetField("colour", got));
    EXPECT_EQ(NumberText(got), "7");
    ZuAtomRef event;
    ASSERT_TRUE(back->GetFieldEventName("width", event));
    EXPECT_TRUE(event == "field_width_changed");
    back->Delete();
}

} // namespace

namespace {

// The data slot's stored form opens with its base's empty record: a sync
// record (0x80 0x50, its length, its text), the begin mark 0xfc and the end
// mark 0xfd, and right after them the data slot's own record.
TEST_F(DataSlotTest, StoredFormOpensWithTheEmptyBaseControllerRecord)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(slot);
    const std::vector<unsigned char>& bytes = store->Bytes();
    const std::string text(bytes.begin(), bytes.end());
    const std::string base = std::string("\x80\x50\x13<ZuBaseController >\xfc\xfd") +
                             "\x80\x50\x25<ZuDataSlot fields field_events name>\xfc";
    EXPECT_NE(text.find(base), std::string::npos);

    // Read back, the record is checked and passed over.
    store->StartRestoring(bytes);
    ZuDataSlotRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    back->Delete();
}

} // namespace
