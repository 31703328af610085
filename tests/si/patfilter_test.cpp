#include "si/patfilter.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PatternFilterTest : public ZuviRuntimeTest {
protected:
    static ZuPatternFilterRef Make(const char* pattern)
    {
        ZuPatternFilterRef f(ZuNew<ZuPatternFilter>());
        f->SetPattern(pattern ? ZuStringRef(pattern) : ZuStringRef());
        return f;
    }
};

std::string const kLong30 = "abcdefghijklmnopqrstuvwxyz0123";

struct Case {
    std::string pattern;
    std::string text;
    bool match;
};

const Case kCases[] = {
    {"*.PNG", "icon.png", true},
    {"*.PNG", ".png", true},
    {"*.PNG", "icon.png.bak", false},
    {"*.png", "ICON.PNG", true},
    {"a*b", "ab", true},
    {"a*b", "axxb", true},
    {"a*b", "AXB", true},
    {"a*b", "axxbc", false},
    {"a**b", "axxb", true},
    {"a**b", "a", false},
    {"a?", "ab", true},
    {"a?", "a", false},
    {"a?", "abc", false},
    {"?", "", false},
    {"*", "", true},
    {"*", "anything", true},
    {"", "", true},
    {"", "a", false},
    {"*?", "", false},
    {"?*", "x", true},
    {"*a*", "bab", true},
    {"*a*", "bbb", false},
    {"*ab", "aab", true},
    {"*ab", "abab", true},
    {"x*ab", "xaba", false},
    {"a*a", "aa", true},
    {"a*a*a", "aaaa", true},
    {"a*a*a", "aa", false},
    {"*.*", "readme", false},
    {"*.*", "read.me", true},
    {kLong30, kLong30, true},
    {kLong30, kLong30 + "4", false},
    {kLong30, kLong30.substr(0, 29), false},
    {kLong30 + "*", kLong30 + "tail", true},
};

TEST_F(PatternFilterTest, WildcardTable)
{
    for (const Case& c : kCases) {
        ZuPatternFilterRef f = Make(c.pattern.c_str());
        EXPECT_EQ(f->Check(ZuStringRef(c.text.c_str())), c.match) << c.pattern << " / " << c.text;
    }
}

TEST_F(PatternFilterTest, RestoredFromStorageAnswersAsBefore)
{
    for (const Case& c : kCases) {
        ZuPatternFilterRef f = Make(c.pattern.c_str());
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(f);
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        store->RestoreObject(back, ZuPatternFilterRef::RetRuntime());
        ZuPatternFilterRef copy(back);
        ASSERT_TRUE(copy.IsValid());
        EXPECT_EQ(copy->Check(ZuStringRef(c.text.c_str())), c.match)
            << c.pattern << " / " << c.text;
        EXPECT_EQ(copy->RetNodeCount(), f->RetNodeCount()) << c.pattern;
    }
}

TEST_F(PatternFilterTest, LongLiteralsAreSplitIntoRunsOf25)
{
    ZuPatternFilterRef f = Make(kLong30.c_str());
    const ZuPatternFilter::Node* first = f->RetFirstNode();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, unsigned(ZuPatternFilter::Node::LITERAL));
    EXPECT_EQ(first->count, 25u);
    EXPECT_EQ(first->characters[0], 'A');
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->count, 5u);
    EXPECT_EQ(first->next->next, nullptr);
    EXPECT_EQ(f->RetNodeCount(), 2u);

    // Stars in a row make one star node.
    EXPECT_EQ(Make("a**b")->RetNodeCount(), Make("a*b")->RetNodeCount());
    EXPECT_EQ(Make("**")->RetNodeCount(), 1u);
}

TEST_F(PatternFilterTest, NoPatternMatchesNothing)
{
    ZuPatternFilterRef f = Make(nullptr);
    EXPECT_FALSE(f->RetPattern().IsValid());
    EXPECT_FALSE(f->Check(ZuStringRef("")));
    EXPECT_FALSE(Make("*")->Check(ZuStringNull));
}

TEST_F(PatternFilterTest, ManyStarsStayFast)
{
    // Plain backtracking would try every way of sharing the text among the
    // stars; each (position, star) is tried once instead.
    ZuPatternFilterRef f = Make("*a*a*a*a*a*a*a*a*a*a*a*a*b");
    std::string text(2000, 'a');
    EXPECT_FALSE(f->Check(ZuStringRef(text.c_str())));
    text += 'b';
    EXPECT_TRUE(f->Check(ZuStringRef(text.c_str())));
}

TEST_F(PatternFilterTest, CopyTakesThePattern)
{
    ZuPatternFilterRef source = Make("*.txt");
    ZuPatternFilterRef target = Make("x");
    target->Copy(source);
    EXPECT_TRUE(target->Check(ZuStringRef("a.TXT")));
    EXPECT_FALSE(target->Check(ZuStringRef("x")));
    // The copy is the filter's own.
    source->SetPattern(ZuStringRef("y"));
    EXPECT_TRUE(target->Check(ZuStringRef("a.txt")));
}

} // namespace
