#include <cstring>

#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

namespace {

class AtomTest : public ZuviRuntimeTest {};

TEST(AtomHashTest, FollowsTheSumOfSignedBytes)
{
    struct Case {
        const char* text;
        unsigned num;
        unsigned expected;
    } cases[] = {
        {"a", 211, 108},                          // 97 ^ 13
        {"ab", 211, 17},                          // (108 + (98 ^ 26)) mod 211
        {"\xE9", 211, (0xFFFFFFE9u ^ 13u) % 211}, // 0xE9 counts as -23
        {"", 211, 0},
        {nullptr, 211, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ZuAtom::Hash(c.text, c.num)) << (c.text ? c.text : "null");
    EXPECT_NE(ZuAtom::Hash("\xE9", 211), (0xE9u ^ 13u) % 211);
}

TEST_F(AtomTest, OneTextOneAtom)
{
    ZuAtomRef a("notify_changed_test");
    ZuAtomRef b(std::string("notify_changed_test").c_str());
    EXPECT_TRUE(a.IsValid());
    EXPECT_EQ(a.RetRawObject(), b.RetRawObject());
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a == "notify_changed_test");
    EXPECT_STREQ("notify_changed_test", static_cast<const char*>(a));
    EXPECT_EQ(19u, a->CharacterCount());
    EXPECT_EQ(a.RetRawObject(), ZuAtom::FindAtom("notify_changed_test"));
    EXPECT_EQ(ZuAtom::zone, a->RetMemZone());
    EXPECT_EQ(ZuAtom::Hash("notify_changed_test", 211), a->ComputeHashValue(211));
}

TEST_F(AtomTest, EmptyTextGivesAnEmptyHandleAndCreatesNothing)
{
    ZuAtomRef empty("");
    ZuAtomRef null(static_cast<const char*>(nullptr));
    EXPECT_TRUE(empty.IsInvalid());
    EXPECT_TRUE(null.IsInvalid());
    EXPECT_STREQ("", static_cast<const char*>(empty));
    EXPECT_EQ(nullptr, ZuAtom::FindAtom(""));
    static const unsigned short none[] = {0};
    EXPECT_TRUE(ZuAtomRef(none).IsInvalid());
}

TEST_F(AtomTest, WideTextOfLatinCharactersMakesTheSameAtom)
{
    static const unsigned short latin[] = {'c', 0xE9, 0};
    static const unsigned short wide[] = {'c', 0x263A, 0};
    ZuAtomRef a(latin);
    EXPECT_TRUE(a == "c\xE9");
    EXPECT_EQ(a.RetRawObject(), ZuAtom::FindAtom(latin));
    // Text from outside that no atom can hold: no atom, no stop.
    EXPECT_TRUE(ZuAtomRef(wide).IsInvalid());
    EXPECT_EQ(nullptr, ZuAtom::FindAtom(wide));
}

TEST_F(AtomTest, ComparesTextsAsSignedBytes)
{
    ZuAtomRef abc("abc"), abd("abd"), hi("\xE9t\xE9");
    EXPECT_EQ(-1, abc->CompareWith(abd));
    EXPECT_EQ(1, abd->CompareWith(abc));
    EXPECT_EQ(0, abc->CompareWith(ZuAtomRef("abc")));
    EXPECT_EQ(0, abc->CompareWith(ZuAtomNull));
    EXPECT_EQ(1, abc->CompareWith(hi)); // 0xE9 is negative
    EXPECT_TRUE(abc->IsEqual(ZuAtomRef("abc")));
    EXPECT_FALSE(abc->IsEqual(abd));
    EXPECT_FALSE(abc->IsEqual(ZuAtomNull));
}

TEST_F(AtomTest, AHandleOfAnyKindGivesItsAtomOrNothing)
{
    ZuAtomRef a("x");
    ZuObjectRef generic(a);
    ZuAtomRef back(generic);
    EXPECT_EQ(a.RetRawObject(), back.RetRawObject());
    ZuRuntimeRef rt = ZuAtomRef::RetRuntime();
    ZuAtomRef none(static_cast<const ZuObjectRef&>(rt));
    EXPECT_TRUE(none.IsInvalid());
}

TEST_F(AtomTest, AtomsOfStringsAndValues)
{
    ZuStringRef text("Couleur");
    ZuAtomRef a(text);
    EXPECT_EQ(ZuAtomRef("Couleur").RetRawObject(), a.RetRawObject());
    EXPECT_EQ(a.RetRawObject(), ZuAtom::FindAtom(text));
    EXPECT_TRUE(a == text);
    EXPECT_FALSE(a == ZuStringRef("couleur"));
    EXPECT_TRUE(a->IsKindOf(ZuTextRef::RetRuntime()));
    ZuStringRef back = a->RetString();
    EXPECT_EQ(0, back->CompareWith("Couleur", true));

    // Any kind of handle: a string gives the atom of its text, a value what
    // it converts to.
    ZuObjectRef generic(text);
    EXPECT_EQ(a.RetRawObject(), ZuAtomRef(generic).RetRawObject());
    ZuValueRef value(generic);
    EXPECT_EQ(a.RetRawObject(), ZuAtomRef(value).RetRawObject());
    EXPECT_EQ(a.RetRawObject(), Zuvi_ValueToZuAtom(value).RetRawObject());
    EXPECT_TRUE(ZuAtomRef(ZuStringRef("")).IsInvalid());
    EXPECT_TRUE(ZuAtomRef(ZuStringNull).IsInvalid());
}

TEST_F(AtomTest, TextsTooLongForAnAtomGiveNoAtom)
{
    std::string longest(254, 'x');
    std::string too_long(255, 'x');
    ZuAtomRef ok{ZuStringRef(longest.c_str())};
    EXPECT_TRUE(ok.IsValid());
    EXPECT_EQ(254u, ok->CharacterCount());
    // A string of 255 characters cannot be made into an atom: no atom, no stop.
    ZuStringRef text(too_long.c_str());
    EXPECT_TRUE(ZuAtomRef(text).IsInvalid());
    EXPECT_EQ(nullptr, ZuAtom::FindAtom(text));
    ZuAtomRef assigned("y");
    assigned = text;
    EXPECT_TRUE(assigned.IsInvalid());
}

TEST(AtomDeathTest, AtomsNeverChange)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuAtomRef a("fixed");
            a->SetString(ZuStringRef("other"));
        },
        "ZuAtom::SetString cannot be used");
}

TEST(AtomLifeTest, KillEmptiesEveryHandleOnAtoms)
{
    ZuviStartRuntime();
    ZuAtomRef kept("kept");
    EXPECT_TRUE(ZuObject::notify_changed == "notify_changed");
    ZuviStopRuntime();
    EXPECT_TRUE(kept.IsInvalid());
    EXPECT_TRUE(ZuObject::notify_changed.IsInvalid());
    EXPECT_EQ(nullptr, ZuAtom::zone);
    // A second start-up in the same process finds every class again.
    ZuviStartRuntime();
    EXPECT_TRUE(ZuObject::notify_changed == "notify_changed");
    ZuRuntimeRef rt;
    EXPECT_TRUE(ZuClassFactory::GetClass("ZuAtom", rt));
    ZuviStopRuntime();
}

// An atom made but never named is in no table: Kill leaves it, and its zone
// goes with the handles in it cut all the same.
TEST(AtomLifeTest, AnAtomOutsideTheTableGoesWithItsZone)
{
    ZuviStartRuntime();
    ZuAtom* unnamed = ZuAtom::NewAtom();
    ASSERT_NE(nullptr, unnamed);
    ZuAtomRef kept("kept");
    ZuviStopRuntime();
    EXPECT_TRUE(kept.IsInvalid());
    ZuviStartRuntime();
    EXPECT_TRUE(ZuAtomRef("kept").IsValid());
    ZuviStopRuntime();
}

} // namespace
