#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "si/atom.h"
#include "si/object.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class AttributeTest : public ZuviRuntimeTest {};

TEST_F(AttributeTest, AskingDoesNotCreateTheDictionary)
{
    TestNumberRef obj = TestNumber::Make(1);
    ZuObjectRef key, value;
    EXPECT_FALSE(obj->GetAttribute("x", 0));
    EXPECT_FALSE(obj->GetAttribute(0u, key, value));
    EXPECT_FALSE(obj->RemoveAttribute("x", 0));
    EXPECT_FALSE(obj->RemoveAttribute(0u));
    EXPECT_EQ(obj->CountAttributes(), 0u);

    EXPECT_TRUE(obj->SetAttribute("x"));
    EXPECT_TRUE(obj->GetAttribute("x", 0));
    EXPECT_FALSE(obj->GetAttribute("x", 1));
    EXPECT_FALSE(obj->GetAttribute("y", 0));
    ASSERT_TRUE(obj->GetAttribute("x", value, 0));
    EXPECT_TRUE(value.IsInvalid()); // a name-only attribute
    EXPECT_EQ(obj->CountAttributes(), 1u);
}

TEST_F(AttributeTest, ValuesKeysAndRemoval)
{
    TestNumberRef obj = TestNumber::Make(1);
    TestNumberRef colour = TestNumber::Make(7);
    TestNumberRef key = TestNumber::Make(42);
    EXPECT_TRUE(obj->SetAttribute("colour", colour));
    EXPECT_TRUE(obj->SetAttribute("colour", TestNumber::Make(8))); // a second value of the name
    EXPECT_TRUE(obj->SetAttribute(key));
    EXPECT_EQ(obj->CountAttributes(), 3u);

    ZuObjectRef value;
    ASSERT_TRUE(obj->GetAttribute("colour", value, 0));
    EXPECT_TRUE(value == colour);
    ASSERT_TRUE(obj->GetAttribute("colour", value, 1));
    EXPECT_EQ(NumberText(value), "8");
    EXPECT_TRUE(obj->GetAttribute(TestNumber::Make(42), 0)); // keys compare with IsEqual

    ZuObjectRef k, v;
    bool found_key = false;
    for (unsigned i = 0; obj->GetAttribute(i, k, v); ++i)
        found_key |= k == key;
    EXPECT_TRUE(found_key);

    EXPECT_TRUE(obj->RemoveAttribute("colour", 0));
    ASSERT_TRUE(obj->GetAttribute("colour", value, 0));
    EXPECT_EQ(NumberText(value), "8");
    EXPECT_TRUE(obj->RemoveAttribute(key, 0));
    EXPECT_TRUE(obj->RemoveAttribute(0u));
    EXPECT_EQ(obj->CountAttributes(), 0u);
    EXPECT_FALSE(obj->RemoveAttribute(0u));
}

// An observer carrying "Zuvi.volatile.observer" is not written with its source.
TEST_F(AttributeTest, VolatileObserversAreNotStored)
{
    TestNumberRef source = TestNumber::Make(1);
    TestObserverRef kept = TestObserver::Make();
    TestObserverRef passing = TestObserver::Make();
    passing->SetAttribute("Zuvi.volatile.observer");
    kept->Watch(source, "notify_changed");
    passing->Watch(source, "notify_changed");
    EXPECT_EQ(source->CountAttached(), 2u);

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(source);
    store->StartRestoring(store->Bytes());
    TestNumberRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->CountAttached(), 1u);
    back->DetachSelfFromAll();
    source->DetachSelfFromAll();
}

// Found by fuzzing: a stream whose attributes are not a dictionary (here a
// number where the attribute dictionary's reference stands) was taken as
// one, and the next use of the attributes read a value as a dictionary.
TEST_F(AttributeTest, StoredAttributesOfAnotherClassAreIgnored)
{
    ZuTestNodeRef node = ZuTestNode::Make(3);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(node);
    std::vector<unsigned char> bytes = store->Bytes();
    // The object's part ends with three empty references: attributes,
    // registry, pending calls.
    const unsigned char three_nulls[] = {0x00, 0x00, 0x00};
    auto at =
        std::search(bytes.begin(), bytes.end(), std::begin(three_nulls), std::end(three_nulls));
    ASSERT_NE(at, bytes.end());
    *at = 0x1C; // the number 0
    store->StartRestoring(bytes);
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->value, 3);
    EXPECT_EQ(back->CountAttributes(), 0u);
    EXPECT_TRUE(back->SetAttribute("nom"));
    EXPECT_TRUE(back->GetAttribute("nom", 0));
    store = static_cast<ZuTestStorage*>(nullptr);
}

} // namespace
