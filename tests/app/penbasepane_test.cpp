// The pen pane as a user meets it: its labels, the dash rows that follow
// the pen's pairs, choosing a number of pairs, the limit angle shown only
// for mitred joins, typed widths (clamped, letters refused), exactly one
// "def.notify_Modify" an edit and nothing while refreshing, and the sample
// band drawn by the interpreter, fitted as the measured stroke would be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/graline.h"
#include "app/penbasepane.h"
#include "ghost/gscontext.h"
#include "si/string.h"
#include "tests/app/panetest.h"

namespace {

// Whether some view of the tree is a text tag or a switch with that text.
bool HasText(const ZuViewRef& view, const std::string& text)
{
    if (view->IsKindOf(ZuTextTagRef::RetRuntime()) && Latin(ZuTextTagRef(view)->RetText()) == text)
        return true;
    if (view->IsKindOf(ZuSwitchRef::RetRuntime()) && Latin(ZuSwitchRef(view)->RetTitle()) == text)
        return true;
    ZuViewRef child;
    bool more = view->GetFirstChild(child);
    while (more && child.IsValid()) {
        if (HasText(child, text))
            return true;
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
    return false;
}

class PenPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CPenBasePane>(10);
        pen = ZuNew<CPenDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CPenBasePaneRef();
        pen = CPenDefRef();
        PaneTest::TearDown();
    }
    void Pairs(std::initializer_list<std::pair<double, double>> pairs)
    {
        int k = 0;
        for (const auto& p : pairs) {
            pen->SetDash(k, p.first);
            pen->SetGap(k++, p.second);
        }
        pane->Refresh();
        Pump();
    }
    int DashRadioOn()
    {
        int on = -1;
        for (int n = 0; n < 5; ++n)
            if (pane->RetDashRadio(n)->RetSwitchState()) {
                EXPECT_EQ(on, -1) << "two radios on";
                on = n;
            }
        return on;
    }
    // Whether the pair's entries are in use: filled, enabled, framed and
    // in the keyboard order; or empty, disabled, transparent and out.
    void ExpectRow(int k, bool used)
    {
        for (int j = 0; j < 2; ++j) {
            CTextLineArrowRef e = j == 0 ? pane->RetDashEntry(k) : pane->RetGapEntry(k);
            EXPECT_EQ(e->RetState().TestBit(ZU_VIEW_IS_ENABLED), used) << k << j;
            EXPECT_EQ(e->RetTransparentMode(), !used) << k << j;
            EXPECT_EQ(e->RetActiveRank(), used ? 2 * k + j : -1) << k << j;
            if (!used)
                EXPECT_EQ(Latin(e->RetText()), "") << k << j;
            else
                EXPECT_NE(Latin(e->RetText()), "") << k << j;
        }
    }
    std::vector<int> Codes()
    {
        int* list = nullptr;
        int count = 0;
        pane->GetCodes(&list, &count);
        return std::vector<int>(list, list + count);
    }
    CPenBasePaneRef pane;
    CPenDefRef pen;
};

} // namespace

TEST_F(PenPaneTest, TheLabelsBoxesAndTipsAreTheFrenchTexts)
{
    for (const char* text :
         {"Epaisseur", "Extr\xe9mit\xe9s", "Coup\xe9", "Rond", "Carr\xe9", "Jointures",
          "Fl\xe8"
          "che",
          "Arrondi", "Entaille", "Angle limite", "Traitill\xe9", "Trait", "Trou", "Fermer"})
        EXPECT_TRUE(HasText(pane, text) || text == std::string("Fermer")) << text;
    const char* const tips[5] = {"Trait continu", "1 couple trait/trou", "2 couples trait/trou",
                                 "3 couples trait/trou", "4 couples trait/trou"};
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(Latin(pane->RetDashRadio(n)->RetToolTip()), tips[n]);
    EXPECT_EQ(pane->RetSample()->RetBox(), ZuRect(4, 168, 203, 191));
}

TEST_F(PenPaneTest, TheDashRowsFollowThePairsInUseAndRefreshReportsNothing)
{
    Pairs({{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    EXPECT_EQ(DashRadioOn(), 0);
    for (int k = 0; k < 4; ++k)
        ExpectRow(k, false);
    Pairs({{2, 1}, {0, 0}, {0, 3}, {0, 0}});
    EXPECT_EQ(DashRadioOn(), 3);
    for (int k = 0; k < 4; ++k)
        ExpectRow(k, k < 3);
    EXPECT_EQ(Reports(), "");
    EXPECT_TRUE(Codes().empty());
}

TEST_F(PenPaneTest, ChoosingAPairCountClearsThePairsFromItOn)
{
    Pairs({{2, 1}, {1, 1}, {0, 3}, {0, 0}});
    Click(192, 82); // "1 couple trait/trou"
    EXPECT_EQ(DashRadioOn(), 1);
    EXPECT_EQ(pen->GetDash(0), 2);
    EXPECT_EQ(pen->GetGap(0), 1);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(pen->GetDash(k) + pen->GetGap(k), 0) << k;
    ExpectRow(0, true);
    ExpectRow(1, false);
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_EQ(Codes(), std::vector<int>{10});
    // Three pairs from a continuous pen: three rows showing 0; a refresh
    // with those rows still zero shows the continuous pen again.
    Pairs({{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    Click(192, 122);
    EXPECT_EQ(DashRadioOn(), 3);
    ExpectRow(2, true);
    ExpectRow(3, false);
    EXPECT_EQ(Latin(pane->RetDashEntry(2)->RetText()).substr(0, 1), "0");
    pane->Refresh();
    EXPECT_EQ(DashRadioOn(), 0);
    // Typing in a dash entry writes that pair only.
    Click(192, 102);
    Reports();
    TypeInto(220, 82, "3");
    EXPECT_DOUBLE_EQ(pen->GetDash(0), 3.0);
    EXPECT_EQ(pen->GetGap(0), 0.0);
    EXPECT_EQ(Reports(), "Modify ");
}

TEST_F(PenPaneTest, TheLimitAngleShowsOnlyForTheMitredJoin)
{
    pen->SetJoin(0);
    pen->SetLimitAngle(0.5);
    pane->Refresh();
    EXPECT_FALSE(pane->RetLimitLabel()->RetState().TestBit(ZU_VIEW_NO_DISPLAY));
    EXPECT_NEAR(pane->RetLimitEntry()->GetValue(), 0.5, 0.01);
    for (int join : {1, 2}) {
        Click(100, 62 + 20 * join);
        EXPECT_EQ(pen->GetJoin(), join);
        EXPECT_TRUE(pane->RetLimitLabel()->RetState().TestBit(ZU_VIEW_NO_DISPLAY)) << join;
        EXPECT_TRUE(pane->RetLimitEntry()->RetState().TestBit(ZU_VIEW_NO_DISPLAY)) << join;
    }
    Click(100, 62);
    EXPECT_EQ(pen->GetJoin(), 0);
    EXPECT_FALSE(pane->RetLimitLabel()->RetState().TestBit(ZU_VIEW_NO_DISPLAY));
    EXPECT_FALSE(pane->RetLimitEntry()->RetState().TestBit(ZU_VIEW_NO_DISPLAY));
    // A limit of 180 degrees stores the miter limit 1.
    TypeInto(110, 142, "180");
    EXPECT_DOUBLE_EQ(pen->GetMiterLimit(), 1.0);
    Reports();
    Click(20, 82); // "Rond"
    EXPECT_EQ(pen->GetCap(), 1);
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_EQ(Codes(), std::vector<int>{10});
}

TEST_F(PenPaneTest, TypedWidthsAreClampedAndLettersRefused)
{
    pen->SetWidth(1.0);
    pane->Refresh();
    TypeInto(100, 18, "150");
    EXPECT_EQ(pen->GetWidth(), 100.0);
    EXPECT_EQ(Reports(), "Modify ");
    TypeInto(100, 18, "x");
    EXPECT_EQ(pen->GetWidth(), 100.0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PenPaneTest, AnotherClassOfDefinitionIsRefusedAndThePenKept)
{
    CColorDefRef colour = ZuNew<CColorDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(colour))));
    EXPECT_FALSE(pane->SetDef(CDefRef()));
    EXPECT_TRUE(pane->RetDef() == pen);
    pane->Refresh();
    TypeInto(100, 18, "2");
    EXPECT_EQ(pen->GetWidth(), 2.0);
}

TEST_F(PenPaneTest, TheSampleIsABlackBandOfThePensWidthAcrossTheBox)
{
    pen->SetCap(0);
    pen->SetWidth(6.0); // sample units are pixels at zoom 1
    pane->Refresh();
    Pump();
    const unsigned behind = PanePixel(104, 196);
    EXPECT_TRUE(Near(PanePixel(104, 180), 0)) << std::hex << PanePixel(104, 180);
    // 176 long from x = 104 - 88, six rows around y = 180.
    int first = -1, last = -1, top = -1, bottom = -1;
    for (int x = 0; x < 210; ++x)
        if (Near(PanePixel(x, 180), 0))
            (first < 0 ? first : last) = x, last = x;
    for (int y = 168; y < 192; ++y)
        if (Near(PanePixel(104, y), 0))
            (top < 0 ? top : bottom) = y, bottom = y;
    EXPECT_EQ(first, 16);
    EXPECT_EQ(last, 191);
    // The interpreter paints every pixel the band touches.
    EXPECT_NEAR(bottom - top + 1, 6, 1);
    EXPECT_EQ(PanePixel(104, top - 1), behind);
    // A wider pen after a typed width: the band grows, still centred.
    TypeInto(100, 18, "12");
    EXPECT_EQ(pen->GetWidth(), 12.0);
    EXPECT_TRUE(Near(PanePixel(104, 175), 0));
    EXPECT_TRUE(Near(PanePixel(104, 185), 0));
}

TEST_F(PenPaneTest, DeletingThePaneDeletesItsSampleAndAllItsControls)
{
    // The width entry takes its arrows, placed beside it, along when it
    // goes; what follows them in the pane goes too, the sample (with the
    // interpreter context it holds) and the close button last of all.
    const CSampleViewRef sample = pane->RetSample();
    ASSERT_TRUE(sample->RetView().IsValid());
    pane->Delete();
    EXPECT_TRUE(sample->RetView().IsInvalid());
    EXPECT_TRUE(sample->RetPort().IsInvalid());
    EXPECT_TRUE(sample->RetParent().IsInvalid());
    ZuViewRef child;
    EXPECT_FALSE(pane->GetFirstChild(child) && child.IsValid());
}

// The sample's image and zoom after each edit are those of the same line
// measured through the interpreter, fitted and drawn in a box of its own:
// narrow and wide pens, square ends, and narrow again after a shrunk zoom.
TEST_F(PenPaneTest, TheSampleFitsAsTheMeasuredStrokeWouldAtEveryWidth)
{
    CSampleViewRef reference = ZuNew<CSampleView>(Zuvi_app_zone);
    reference->Build(0, 0, 200, 24, false);
    // The box's rows as the interpreter rendered them, one bit a pixel.
    const auto image = [](const CSampleViewRef& box) {
        const GSContextRef context = box->RetView()->RetContext();
        context->ReadBack();
        const unsigned char* rows = context->RetBuffer();
        return std::vector<unsigned char>(rows, rows + context->RetBufferSize());
    };
    const std::vector<unsigned char> blank(image(reference));
    const struct {
        double width;
        int cap;
    } cases[] = {{2, 0}, {14, 2}, {15, 2}, {16, 0},  {20, 1}, {3, 2},
                 {0, 0}, {24, 0}, {30, 2}, {100, 1}, {6, 2},  {13.5, 0}};
    for (const auto& c : cases) {
        pen->SetCap(c.cap);
        pen->SetWidth(c.width);
        pane->Refresh();
        ASSERT_TRUE(reference->Render());
        CGraPortRef port = reference->RetPort();
        CGraLineRef line = ZuNew<CGraLine>(Zuvi_app_zone);
        line->SetDefinition(10, ZuObjectRef(pen));
        const DPoint points[2] = {{-88.0, 0.0}, {88.0, 0.0}};
        line->SetPoints(points, 2);
        line->DragPoint(points[1], 1);
        line->UpdateBoundingBox(port);
        reference->FitZoom(line->GetBoundingBox());
        line->Draw(port, 7);
        EXPECT_EQ(pane->RetSample()->RetZoom(), reference->RetZoom()) << c.width << " " << c.cap;
        const std::vector<unsigned char> shown = image(pane->RetSample());
        EXPECT_TRUE(shown == image(reference)) << c.width << " " << c.cap;
        EXPECT_TRUE(shown != blank) << c.width << " " << c.cap;
    }
    // The wide pens shrank the sample.
    pen->SetWidth(40.0);
    pane->Refresh();
    EXPECT_LT(pane->RetSample()->RetZoom(), 1.0);
    reference->Delete();
}
