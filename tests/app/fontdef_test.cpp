// Font definitions: defaults, comparison by size, equality with the name.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/fontdef.h"
#include "si/string.h"
#include "tests/app/deftest.h"

namespace {

class CFontDefTest : public DefTest {};

TEST_F(CFontDefTest, NewFontIsHelveticaOfSize20)
{
    CFontDefRef f = Make<CFontDefRef>();
    EXPECT_EQ(80, f->GetType());
    EXPECT_STREQ("Helvetica", f->RetNameText());
    EXPECT_STREQ("Helvetica", f->GetName()->AccessLatin());
    EXPECT_EQ(45, f->GetValue());
    EXPECT_EQ(20.0, f->GetScale());
    EXPECT_EQ(0.0, f->GetStretch() + f->GetItalic() + f->GetReserved() + f->GetWidth() +
                       f->GetWordSpacing());
    EXPECT_EQ(0, f->GetReservedInt());
}

TEST_F(CFontDefTest, FontsCompareBySize)
{
    struct Case {
        double a, b;
        int result;
    } const cases[] = {{12, 20, -1}, {20, 12, 0}, {20, 20, 0}};
    for (const Case& c : cases) {
        CFontDefRef a = Make<CFontDefRef>(), b = Make<CFontDefRef>();
        a->SetScale(c.a);
        b->SetScale(c.b);
        EXPECT_EQ(c.result, a->CompareWith(b)) << c.a << " " << c.b;
    }
    // Any other object compares as objects do: by address.
    CFontDefRef f = Make<CFontDefRef>();
    ZuStringRef s("Helvetica");
    const int by_address = f.RetRawAddress() < s.RetRawAddress() ? -1 : 1;
    EXPECT_EQ(by_address, f->CompareWith(s));
}

TEST_F(CFontDefTest, NameTakesPartInEquality)
{
    CFontDefRef a = Make<CFontDefRef>(), b = Make<CFontDefRef>();
    EXPECT_TRUE(a->IsEqualCurrent(b));
    b->SetName(ZuStringRef("Times-Roman"));
    EXPECT_FALSE(a->IsEqualCurrent(b));
    b->SetName(ZuStringRef("Helvetica"));
    b->SetReservedInt(1);
    EXPECT_FALSE(a->IsEqualCurrent(b));
}

TEST_F(CFontDefTest, StoredRecordAfterTheBase)
{
    const Bytes bytes = Stored(Make<CFontDefRef>());
    // begin mark, Real 20, five Reals 0, Int 0, end
    const Bytes tail = {0xFC, 0xFE, 0x31, 0x15, 0x14, 0x32, 0x32, 0x32, 0x32, 0x32, 0x1C, 0xFD};
    EXPECT_EQ(tail, Bytes(bytes.end() - tail.size(), bytes.end()));
    // The name is in the base record: length 9, then "Helvetica" and its NUL.
    const Bytes name = {0x15, 0x09, 0x70, 0x0A, 'H', 'e', 'l', 'v', 'e', 't', 'i', 'c', 'a', 0x00};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), name.begin(), name.end()), bytes.end());
}

} // namespace
