#include "si/locale.h"

#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "tests/support/objmodel.h"

namespace {

class LocaleTest : public ZuviRuntimeTest {
protected:
    ZuLocaleRef Make() { return ZuLocaleRef(ZuNew<ZuLocale>()); }
};

std::string Text(const ZuAtomRef& atom)
{
    return atom.IsValid() ? static_cast<const char*>(atom) : "<none>";
}

TEST_F(LocaleTest, NamesAreCutIntoLanguageCountryAndVariant)
{
    const std::string long_variant(300, 'v');
    struct Case {
        std::string name;
        bool ok;
        const char* language;
        const char* country;
        std::string variant;
    };
    const Case cases[] = {
        {"de_DE_Bayern_Nord", true, "de", "DE", "Bayern_Nord"},
        {"fr_CA", true, "fr", "CA", "<none>"},
        {"en", true, "en", "<none>", "<none>"},
        {"_US", true, "<none>", "US", "<none>"},
        // Longer than any fixed buffer: the whole text is parsed.
        {"it_IT_" + long_variant, true, "it", "IT", long_variant},
        {"deu_DE", false, "", "", ""},
        {"de_DEU", false, "", "", ""},
        {"US-EN", false, "", "", ""},
        {std::string(150, 'x'), false, "", "", ""},
    };
    for (const Case& c : cases) {
        ZuLocaleRef locale = Make();
        EXPECT_EQ(locale->Initialise(ZuAtomRef(c.name.c_str())), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_TRUE(locale->RetName().IsInvalid()) << c.name;
            EXPECT_TRUE(locale->RetLanguageCode().IsInvalid()) << c.name;
            continue;
        }
        EXPECT_EQ(Text(locale->RetName()), c.name);
        EXPECT_EQ(Text(locale->RetLanguageCode()), c.language) << c.name;
        EXPECT_EQ(Text(locale->RetCountryCode()), c.country) << c.name;
        EXPECT_EQ(Text(locale->RetVariantCode()), c.variant) << c.name;
    }
}

TEST_F(LocaleTest, ParentsNeverFormACycle)
{
    ZuLocaleRef a = Make(), b = Make(), c = Make();
    EXPECT_TRUE(a->SetParent(b));
    EXPECT_FALSE(b->SetParent(a));
    EXPECT_TRUE(b->SetParent(c));
    EXPECT_FALSE(c->SetParent(a));
    EXPECT_FALSE(a->SetParent(a));
    EXPECT_TRUE(b->RetParent() == c);
    EXPECT_TRUE(c->SetParent(ZuLocaleNull));
    EXPECT_TRUE(c->RetParent().IsInvalid());
}

} // namespace
