// The corner pane as a user meets it: the typed inset written (clamped by
// the entry, letters refused), no inset making the corner sharp, "Modify"
// then "Quick" for each edit, a refresh that reports nothing, and a sample
// zoomed to fit the inset, redrawn only when the definition changed.
#include <gtest/gtest.h>

#include <string>

#include "app/cornerpane.h"
#include "app/pendef.h"
#include "tests/app/panetest.h"

namespace {

class CornerPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CCornerPane>(30);
        def = ZuNew<CCornerDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CCornerPaneRef();
        def = CCornerDefRef();
        PaneTest::TearDown();
    }
    void Show(int value)
    {
        pane->SetValue(value);
        pane->Refresh();
        Pump();
    }
    CCornerPaneRef pane;
    CCornerDefRef def;
};

} // namespace

TEST_F(CornerPaneTest, TypedInsetsAreWrittenAndReported)
{
    def->SetValue(112);
    def->SetLength(20);
    Show(112);
    EXPECT_NEAR(pane->RetLengthEntry()->GetValue(), 20.0, 1e-9);
    EXPECT_EQ(Reports(), "");
    const struct {
        const char* typed;
        double inset;
        int value;
    } cases[] = {{"0", 0.0, 110}, {"30", 30.0, 112}, {"250", 100.0, 112}};
    for (const auto& c : cases) {
        TypeInto(95, 34, c.typed);
        EXPECT_EQ(def->GetLength(), c.inset) << c.typed;
        EXPECT_EQ(def->GetValue(), c.value) << c.typed;
        EXPECT_EQ(pane->GetValue(), c.value) << c.typed;
        EXPECT_EQ(Reports(), "Modify Quick ") << c.typed;
    }
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 30);
    TypeInto(95, 34, "abc");
    EXPECT_EQ(def->GetLength(), 100.0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(CornerPaneTest, TheSampleFitsTheInsetAndIsRedrawnOnlyOnChange)
{
    const struct {
        double inset;
        double zoom;
    } cases[] = {{10, 1.0}, {50, 1.0}, {80, 50.0 / 80.0}, {100, 0.5}, {8, 1.0}};
    for (const auto& c : cases) {
        def->SetLength(c.inset);
        Show(112);
        EXPECT_DOUBLE_EQ(pane->RetSample()->RetZoom(), c.zoom) << c.inset;
    }
    const int drawn = pane->RetDrawCount();
    int black = 0;
    for (int y = 92; y < 192; y += 2)
        for (int x = 24; x < 124; x += 2)
            black += Near(PanePixel(x, y), 0) ? 1 : 0;
    EXPECT_GT(black, 0);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    TypeInto(95, 34, "8"); // the inset it has: reported, not redrawn
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    EXPECT_EQ(Reports(), "Modify Quick ");
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
}
