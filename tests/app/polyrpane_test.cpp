// The regular polygon pane as a user meets it: typed sides clamped by the
// definition (the text stays as typed), the indentation shown for a star
// only, "Modify" then "Quick" for each edit, a sample redrawn only when the
// definition changed, and definitions of another class refused.
#include <gtest/gtest.h>

#include <string>

#include "app/pendef.h"
#include "app/polyrpane.h"
#include "si/string.h"
#include "tests/app/panetest.h"

namespace {

class PolyPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CPolyRegPane>(50);
        def = ZuNew<CPolyRegDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CPolyRegPaneRef();
        def = CPolyRegDefRef();
        PaneTest::TearDown();
    }
    void Show(int value)
    {
        pane->SetValue(value);
        pane->Refresh();
        Pump();
    }
    std::string SidesText()
    {
        const char* t = pane->RetSidesEntry()->RetText()->AccessLatin();
        return t != nullptr ? t : "";
    }
    CPolyRegPaneRef pane;
    CPolyRegDefRef def;
};

} // namespace

TEST_F(PolyPaneTest, TypedSidesAreClampedByTheDefinitionAndReportedAsQuickUpdates)
{
    Show(58);
    EXPECT_EQ(Reports(), "");
    const struct {
        const char* typed;
        int sides;
    } cases[] = {{"2", 3}, {"60", 50}, {"7", 7}};
    for (const auto& c : cases) {
        TypeInto(165, 34, c.typed);
        EXPECT_EQ(def->GetSides(), c.sides) << c.typed;
        EXPECT_EQ(SidesText(), c.typed);
        EXPECT_EQ(Reports(), "Modify Quick ") << c.typed;
    }
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 50);
    // Letters are refused: nothing written, nothing reported.
    TypeInto(165, 34, "x");
    EXPECT_EQ(def->GetSides(), 7);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PolyPaneTest, TheIndentationShowsForAStarOnly)
{
    Show(58);
    EXPECT_EQ(pane->GetValue(), 58);
    EXPECT_TRUE(pane->RetFactorLabel()->RetParent().IsInvalid());
    EXPECT_TRUE(pane->RetFactorEntry()->RetParent().IsInvalid());
    Show(59);
    EXPECT_EQ(pane->GetValue(), 59);
    EXPECT_TRUE(pane->RetFactorLabel()->RetParent() == pane);
    EXPECT_TRUE(pane->RetFactorEntry()->RetParent() == pane);
    TypeInto(165, 62, "150");
    EXPECT_EQ(def->GetIndentation(), 1.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
}

// The dialog moves its panes while the indentation is left out: shown
// again, it stands beside the number of sides wherever the pane now is.
TEST_F(PolyPaneTest, TheIndentationComesBackWhereThePaneWasMoved)
{
    const double moves[][2] = {{6, 8}, {-6, -8}};
    for (const auto& m : moves) {
        Show(58);
        pane->MoveOrigin(m[0], m[1]);
        Show(59);
        double px = 0, py = 0;
        pane->GetOrigin(px, py);
        const ZuRect& label = pane->RetFactorLabel()->RetBox();
        const ZuRect& entry = pane->RetFactorEntry()->RetBox();
        EXPECT_EQ(label.X1() - px, 24);
        EXPECT_EQ(label.Y1() - py, 52);
        EXPECT_EQ(entry.X1() - px, 144);
        EXPECT_EQ(entry.Y1() - py, 52);
    }
}

TEST_F(PolyPaneTest, TheSampleIsRedrawnOnlyWhenTheDefinitionChanged)
{
    Show(59);
    const int drawn = pane->RetDrawCount();
    EXPECT_GE(drawn, 1);
    int black = 0;
    for (int y = 92; y < 192; y += 2)
        for (int x = 24; x < 124; x += 2)
            black += Near(PanePixel(x, y), 0) ? 1 : 0;
    EXPECT_GT(black, 0);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    TypeInto(165, 34, "6"); // the sides it has: reported, not redrawn
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    EXPECT_EQ(Reports(), "Modify Quick ");
    TypeInto(165, 34, "9");
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
}

TEST_F(PolyPaneTest, AnotherClassOfDefinitionIsRefused)
{
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
    Show(59);
    EXPECT_EQ(def->GetValue(), 59);
}

TEST_F(PolyPaneTest, DeletingThePaneDeletesTheIndentationLeftOutOfIt)
{
    Show(58);
    const CTextLineArrowRef entry = pane->RetFactorEntry();
    const ZuTextTagRef label = pane->RetFactorLabel();
    ASSERT_TRUE(entry->RetParent().IsInvalid());
    ASSERT_TRUE(entry->RetPlusArrow().IsValid());
    pane->Delete();
    // The entry went with its arrows and slider, and the label with it.
    EXPECT_TRUE(entry->RetPlusArrow().IsInvalid());
    EXPECT_TRUE(pane->RetFactorEntry().IsInvalid());
    EXPECT_TRUE(pane->RetFactorLabel().IsInvalid());
}
