#include "si/turbosrc.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TurboSearch : public ZuviRuntimeTest {};

ZuTurboSearchRef NewSearch()
{
    return ZuTurboSearchRef(ZuNew<ZuTurboSearch>());
}

unsigned Expected(const std::string& text, const std::string& pattern)
{
    size_t at = text.find(pattern);
    return at == std::string::npos ? ZuTurboSearch::not_found : unsigned(at);
}

} // namespace

TEST_F(TurboSearch, FindsTheFirstOccurrence)
{
    struct Case {
        const char* pattern;
        const char* text;
    } cases[] = {
        {"abc", "xabc"}, // a byte of the pattern that is not its first
        {"abc", "abc"},
        {"abc", "ab"}, // text shorter than the pattern
        {"abc", ""},
        {"a", "bbba"},
        {"a", "bbb"},
        {"aa", "abaaa"},
        {"abab", "abaabababab"},
        {"xyzzy", "xyzzxyzzyxyzzy"},
        {"needle", "haystack with a needle in it and another needle"},
        {"bca", "abcabca"}, // the last byte repeats inside the pattern
        {"aab", "aaaaaab"},
        {"cab", "abcab"},
        {"zz", "zaz"},
        {"\xe9t\xe9", "l'\xe9t\xe9"}, // bytes above 127
    };
    ZuTurboSearchRef s = NewSearch();
    for (const Case& c : cases) {
        ASSERT_TRUE(s->Setup(c.pattern, unsigned(std::string(c.pattern).size())));
        EXPECT_EQ(s->Search(c.text), Expected(c.text, c.pattern)) << c.pattern << " in " << c.text;
    }
}

TEST_F(TurboSearch, AgreesWithAPlainSearchOnSmallAlphabets)
{
    // A bounded set of texts and patterns over two and three letters, where
    // repeated bytes test every shift.
    ZuTurboSearchRef s = NewSearch();
    unsigned seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    for (unsigned round = 0; round < 3000; ++round) {
        unsigned letters = 2 + round % 2;
        std::string text, pattern;
        unsigned tl = next() % 40, pl = 1 + next() % 6;
        for (unsigned i = 0; i < tl; ++i)
            text += char('a' + next() % letters);
        for (unsigned i = 0; i < pl; ++i)
            pattern += char('a' + next() % letters);
        ASSERT_TRUE(s->Setup(pattern.c_str(), pl));
        ASSERT_EQ(s->Search(text.c_str()), Expected(text, pattern)) << pattern << " in " << text;
    }
}

TEST_F(TurboSearch, RefusesWhatCannotBeSearched)
{
    ZuTurboSearchRef s = NewSearch();
    // Nothing set up yet.
    EXPECT_EQ(s->Search("abc"), ZuTurboSearch::not_found);
    EXPECT_FALSE(s->Setup("abc", 0));
    EXPECT_FALSE(s->Setup(nullptr, 3));
    EXPECT_EQ(s->Search("abc"), ZuTurboSearch::not_found);

    ASSERT_TRUE(s->Setup("bc", 2));
    EXPECT_EQ(s->Search(nullptr), ZuTurboSearch::not_found);
    // A refused set-up keeps the previous pattern.
    EXPECT_FALSE(s->Setup("", 0));
    EXPECT_EQ(s->Search("abc"), 1u);

    // The pattern is the object's own copy.
    char buffer[] = "cd";
    ASSERT_TRUE(s->Setup(buffer, 2));
    buffer[0] = 'x';
    EXPECT_EQ(s->Search("abcd"), 2u);

    // The text ends at its zero byte: a pattern holding a zero byte, or one
    // found only behind it, is not found.
    ASSERT_TRUE(s->Setup("d\0e", 3));
    EXPECT_EQ(s->Search("abd"), ZuTurboSearch::not_found);
    const char hidden[] = "ab\0cd";
    ASSERT_TRUE(s->Setup("cd", 2));
    EXPECT_EQ(s->Search(hidden), ZuTurboSearch::not_found);
}
