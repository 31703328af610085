// Corner definitions: the coupling of corner kind and inset.
#include <gtest/gtest.h>

#include "app/cornerdef.h"
#include "tests/app/deftest.h"

namespace {

class CCornerDefTest : public DefTest {};

TEST_F(CCornerDefTest, NewCornerIsSharpWithoutInset)
{
    CCornerDefRef c = Make<CCornerDefRef>();
    EXPECT_EQ(50, c->GetType());
    EXPECT_EQ(112, c->GetSavedKind());
    EXPECT_EQ(0.0, c->GetLength());
    c->SetCount(10);
    for (int i = 0; i < 10; i++) {
        c->SetIndex(i);
        EXPECT_EQ(110, c->GetValue());
    }
}

TEST_F(CCornerDefTest, KindAndInsetGoTogether)
{
    // Each step: a kind to set (0: none) or an inset to set, then what the
    // corner holds.
    struct Step {
        int kind;
        double length;
        int want_kind;
        double want_length;
        int want_saved;
    } const steps[] = {
        {113, -1, 113, 10.0, 113}, // a kind with no inset gets 10
        {0, 0.0, 110, 0.0, 113},   // no inset: sharp
        {0, 5.0, 113, 5.0, 113},   // an inset brings the kind back
        {111, -1, 111, 5.0, 111},  // an inset already there is kept
        {110, -1, 110, 0.0, 111},  // sharp clears the inset, keeps savedKind
        {0, 2.5, 111, 2.5, 111},
    };
    CCornerDefRef c = Make<CCornerDefRef>();
    for (const Step& s : steps) {
        if (s.kind)
            EXPECT_TRUE(c->SetValue(s.kind));
        else
            EXPECT_TRUE(c->SetLength(s.length));
        EXPECT_EQ(s.want_kind, c->GetValue()) << s.kind << " " << s.length;
        EXPECT_EQ(s.want_length, c->GetLength()) << s.kind << " " << s.length;
        EXPECT_EQ(s.want_saved, c->GetSavedKind()) << s.kind << " " << s.length;
    }
}

TEST_F(CCornerDefTest, StoredRecordAfterTheBase)
{
    CCornerDefRef c = Make<CCornerDefRef>();
    c->SetValue(113);
    const Bytes bytes = Stored(c);
    // begin mark Int 113, Real 10 (as the integer 10), end
    const Bytes tail = {0xFC, 0xFE, 0x15, 0x71, 0x31, 0x15, 0x0A, 0xFD};
    const Bytes got(bytes.end() - 8, bytes.end());
    EXPECT_EQ(tail, got);
    CCornerDefRef back = Make<CCornerDefRef>();
    EXPECT_TRUE(Restore(back, bytes));
    EXPECT_EQ(113, back->GetSavedKind());
    EXPECT_EQ(10.0, back->GetLength());
    EXPECT_EQ(113, back->GetValue());
}

} // namespace
