// The arc pane as a user meets it: the button of the shape on after a
// refresh, a click choosing the shape with "Modify" then "Quick", clicks
// from strangers ignored, and a sample sized by the value and redrawn only
// when the definition changed.
#include <gtest/gtest.h>

#include <string>

#include "app/arcpane.h"
#include "app/pendef.h"
#include "tests/app/panetest.h"

namespace {

class ArcPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CArcPane>(51);
        def = ZuNew<CArcDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CArcPaneRef();
        def = CArcDefRef();
        PaneTest::TearDown();
    }
    void Show(int value)
    {
        pane->SetValue(value);
        pane->Refresh();
        Pump();
    }
    // "1" for each button on, "0" for each off.
    std::string Buttons()
    {
        std::string out;
        for (int i = 0; i < CArcPane::kShapes; ++i)
            out += pane->RetShapeButton(i)->RetState().TestBit(ZU_VIEW_IS_ON) ? "1" : "0";
        return out;
    }
    // The columns of the sample box holding dark pixels: their span.
    int DarkWidth()
    {
        int left = 1000, right = -1;
        for (int y = 92; y < 192; ++y)
            for (int x = 24; x < 174; ++x)
                if (Near(PanePixel(x, y), 0)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right < left ? 0 : right - left;
    }
    CArcPaneRef pane;
    CArcDefRef def;
};

} // namespace

TEST_F(ArcPaneTest, RefreshTurnsOnTheButtonOfTheShapeOnly)
{
    const struct {
        int mode;
        const char* on;
    } cases[] = {{222, "1000"}, {224, "0010"}, {225, "0001"}, {7, "0000"}, {223, "0100"}};
    for (const auto& c : cases) {
        def->SetMode(c.mode);
        Show(220);
        EXPECT_EQ(Buttons(), c.on) << c.mode;
    }
    EXPECT_EQ(Reports(), "");
    EXPECT_EQ(pane->GetValue(), 220);
}

TEST_F(ArcPaneTest, AClickChoosesTheShapeAndReportsIt)
{
    Show(220);
    const int drawn = pane->RetDrawCount();
    Click(24 + 3 * 23 + 11, 35); // "Camembert"
    EXPECT_EQ(def->GetMode(), 225);
    EXPECT_EQ(Buttons(), "0001");
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
    EXPECT_EQ(Reports(), "Modify Quick ");
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 51);
    // A sender that is no shape button changes nothing.
    CPenDefRef stranger = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_TRUE(pane->OnClickMode(stranger, 0));
    pane->RetShapeButton(0)->SetUserTag(7);
    EXPECT_TRUE(pane->OnClickMode(pane->RetShapeButton(0), 0));
    EXPECT_EQ(def->GetMode(), 225);
    EXPECT_EQ(Reports(), "");
}

TEST_F(ArcPaneTest, TheSampleFollowsTheValueAndIsRedrawnOnlyOnChange)
{
    Show(220);
    const int circle = DarkWidth();
    const int drawn = pane->RetDrawCount();
    EXPECT_GT(circle, 30);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    Show(221);
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
    EXPECT_GT(DarkWidth(), circle + 20);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
}
