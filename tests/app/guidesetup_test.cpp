// The guides tab as the user meets it: the two lists in the main unit,
// typed positions, "Copier" and "Supprimer", the radio switches, the
// switches "Visibles" and "Magnétiques", a guide moved on a ruler, a new
// main unit, and guide lists read from a file that the pane only shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/ruler.h"
#include "si/list.h"
#include "tests/app/odddocument.h"
#include "tests/app/setuptest.h"
#include "tests/support/debugcapture.h"

ZU_IMPLEMENT_CLASS(TOddDocument, "tests/app/guidesetup_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(TOddColour, "tests/app/guidesetup_test", ZU_CLASS_PLAIN)

namespace {

class GuideSetupTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        Open();
        ClickTab(2);
        ASSERT_EQ(dlg->RetCardStack()->RetActiveView(), 2u);
    }
    void SetGuides(bool horizontal, const std::vector<double>& positions)
    {
        while (Doc()->GetGuideCount(horizontal) > 0)
            Doc()->RemoveGuide(horizontal, 0);
        for (double p : positions)
            Doc()->AddGuide(horizontal, p);
    }
    std::vector<double> Guides(bool horizontal) const
    {
        std::vector<double> out;
        for (int i = 0; i < Doc()->GetGuideCount(horizontal); ++i)
            out.push_back(Doc()->GetGuide(horizontal, i));
        return out;
    }
    // The texts of the list's rows.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> out;
        const ZuListRef& rows = Pane()->RetRows();
        for (unsigned i = 0; rows.IsValid() && i < rows->TotalCount(); ++i) {
            ZuObjectRef o;
            rows->Get(i, o);
            out.push_back(ZuStringRef(o)->AccessLatin());
        }
        return out;
    }
    CGuideSetupRef Pane() const { return Guides(); }
    using SetupTest::Guides;
    int Selected() const { return Pane()->RetGuideList()->RetSelected(); }
    void Current(bool& horizontal, int& index) const { Doc()->GetCurrentGuide(horizontal, index); }
};

} // namespace

TEST_F(GuideSetupTest, GuideEditsKeepTheListSortedAndTheSelectionOnTheGuide)
{
    SetGuides(true, {30.0, 10.0, 20.0});
    dlg->Update(0, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"10.00", "20.00", "30.00"}));
    EXPECT_EQ(Selected(), 0);
    struct Step {
        const char* what;
        char action; // r row clicked, t typed, c "Copier", d "Supprimer"
        int row;
        const char* typed;
        std::vector<double> after;
        int selected;
        const char* entry; // text of the position entry after
    } steps[] = {
        {"row chosen", 'r', 1, "", {10, 20, 30}, 1, "20.00"},
        {"moved past another", 't', 0, "35", {10, 30, 35}, 2, "35"},
        {"moved to the front", 't', 0, "5", {5, 10, 30}, 0, "5"},
        {"held to the bound", 't', 0, "-5000", {-1000, 10, 30}, 0, "-5000"},
        // "Copier" makes a guide at the entry's position, after its equals.
        {"copied", 'c', 0, "", {-1000, -1000, 10, 30}, 1, "-5000"},
        {"the copy moved", 't', 0, "25", {-1000, 10, 25, 30}, 2, "25"},
        {"deleted: the next one", 'd', 0, "", {-1000, 10, 30}, 2, "30.00"},
        {"first row", 'r', 0, "", {-1000, 10, 30}, 0, "-1000.00"},
        {"deleted: the first", 'd', 0, "", {10, 30}, 0, "10.00"},
        {"last row chosen", 'r', 1, "", {10, 30}, 1, "30.00"},
        {"last deleted: new last", 'd', 0, "", {10}, 0, "10.00"},
        {"only one deleted", 'd', 0, "", {}, -1, "10.00"},
        {"typed in an empty list", 't', 0, "40", {}, -1, "40"},
        {"copied into an empty list", 'c', 0, "", {40}, 0, "40"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        switch (s.action) {
        case 'r':
            ClickRow(Pane()->RetGuideList(), s.row);
            break;
        case 't':
            TypeInto(Pane()->RetPosition(), s.typed);
            break;
        case 'c':
            ClickView(Pane()->RetCreateButton());
            break;
        case 'd':
            ClickView(Pane()->RetDeleteButton());
            break;
        }
        EXPECT_EQ(Guides(true), s.after);
        EXPECT_EQ(Selected(), s.selected);
        EXPECT_EQ(Rows().size(), s.after.size());
        EXPECT_EQ(Pane()->RetPosition()->RetText()->AccessLatin(), std::string(s.entry));
        bool horizontal = false;
        int index = -2;
        Current(horizontal, index);
        EXPECT_TRUE(horizontal);
        if (s.selected >= 0)
            EXPECT_EQ(index, s.selected);
        else
            EXPECT_EQ(index, -1);
        // "Supprimer" only with a guide, "Copier" below 50.
        EXPECT_EQ(Enabled(Pane()->RetDeleteButton()), !s.after.empty());
        EXPECT_TRUE(Enabled(Pane()->RetCreateButton()));
    }
    // "Copier" leaves the keys with the entry.
    ZuViewRef main;
    dlg->RetWindow()->GetMainResponder(main);
    EXPECT_TRUE(main == ZuViewRef(Pane()->RetPosition()));
}

TEST_F(GuideSetupTest, FiftyGuidesDisableCopierInTheirListOnly)
{
    std::vector<double> fifty;
    for (int i = 0; i < 50; ++i)
        fifty.push_back(i * 2.0);
    SetGuides(true, fifty);
    SetGuides(false, {7.0});
    dlg->Update(0, 0);
    EXPECT_FALSE(Enabled(Pane()->RetCreateButton()));
    EXPECT_TRUE(Enabled(Pane()->RetDeleteButton()));
    ClickView(Pane()->RetCreateButton());
    EXPECT_EQ(Doc()->GetGuideCount(true), 50);
    // The other list is counted apart; the index is held to its length.
    ClickRow(Pane()->RetGuideList(), 3);
    ClickView(Pane()->RetRadio(1), 6);
    EXPECT_FALSE(Pane()->IsHorizontal());
    EXPECT_TRUE(On(Pane()->RetRadio(1)));
    EXPECT_FALSE(On(Pane()->RetRadio(0)));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(Enabled(Pane()->RetCreateButton()));
    bool horizontal = true;
    int index = -2;
    Current(horizontal, index);
    EXPECT_FALSE(horizontal);
    EXPECT_EQ(index, 0);
    ClickView(Pane()->RetRadio(0), 6);
    EXPECT_TRUE(Pane()->IsHorizontal());
    EXPECT_EQ(Selected(), 0);
    EXPECT_FALSE(Enabled(Pane()->RetCreateButton()));
}

TEST_F(GuideSetupTest, ARulersGuideNumberTurnsThePaneToItsListAndSelectsIt)
{
    SetGuides(true, {10.0, 20.0, 30.0});
    SetGuides(false, {1.0, 2.0});
    struct Case {
        int item;
        bool horizontal;
        int selected;
    } cases[] = {
        {51, true, 1}, {1, false, 1},  {0, false, 0},   {52, true, 2},   {53, true, 2},
        {2, false, 1}, {999, true, 2}, {-1, false, -1}, {-7, false, -1}, {50, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Doc()->SetCurrentGuide(true, 2);
        ClickTab(0);
        dlg->Update(4, c.item);
        EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 2u);
        EXPECT_EQ(Pane()->IsHorizontal(), c.horizontal);
        EXPECT_EQ(On(Pane()->RetRadio(0)), c.horizontal);
        EXPECT_EQ(Selected(), c.selected);
        if (c.selected >= 0) {
            EXPECT_NEAR(Pane()->RetPosition()->GetValue(),
                        Doc()->GetGuide(c.horizontal, c.selected), 1e-9);
        }
        // The document's current guide is the ruler's business.
        bool horizontal = false;
        int index = -2;
        Current(horizontal, index);
        EXPECT_TRUE(horizontal);
        EXPECT_EQ(index, 2);
    }
    // A negative number selected nothing: "Supprimer" and typing then
    // leave the document as it is.
    dlg->Update(4, -1);
    ASSERT_EQ(Selected(), -1);
    ClickView(Pane()->RetDeleteButton());
    TypeInto(Pane()->RetPosition(), "77");
    EXPECT_EQ(Guides(false), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(Guides(true), (std::vector<double>{10.0, 20.0, 30.0}));
}

TEST_F(GuideSetupTest, AGuideMadeAndMovedOnTheRulerComesToTheFront)
{
    ClickTab(0);
    SetGuides(false, {-50.0, 150.0});
    CRulerRef ruler(ZuObjectRef(Main()->RetRulerH()));
    ASSERT_TRUE(ruler.IsValid());
    // A press on a free place of the horizontal ruler makes a vertical
    // guide there; dragging moves it.
    const ZuRect& b = ruler->RetBox();
    const double x = b.X1() + b.DX() / 2, y = b.Y1() + b.DY() / 2;
    double ox = 0, oy = 0;
    Main()->RetWindow()->GetWindowOrigin(ox, oy);
    W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
    Pump();
    W32_HeadlessMouse(int(ox + x), int(oy + y), MK_LBUTTON);
    Pump();
    ASSERT_EQ(Doc()->GetGuideCount(false), 3);
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 2u);
    EXPECT_FALSE(Pane()->IsHorizontal());
    EXPECT_EQ(Selected(), 1);
    W32_HeadlessMouse(int(ox + x + 200), int(oy + y), MK_LBUTTON);
    Pump();
    W32_HeadlessMouse(int(ox + x + 200), int(oy + y), 0);
    Pump();
    EXPECT_EQ(Selected(), 2);
    // The entry shows it with the unit's two decimals.
    EXPECT_NEAR(Pane()->RetPosition()->GetValue(), Doc()->GetGuide(false, 2), 0.005);
    EXPECT_EQ(Rows().size(), 3u);

    // The vertical ruler makes horizontal guides: the pane turns to them.
    CRulerRef left(ZuObjectRef(Main()->RetRulerV()));
    ASSERT_TRUE(left.IsValid());
    const ZuRect& lb = left->RetBox();
    const int lx = int(ox + lb.X1() + lb.DX() / 2), ly = int(oy + lb.Y1() + lb.DY() / 2);
    W32_HeadlessMouse(lx, ly, 0);
    Pump();
    W32_HeadlessMouse(lx, ly, MK_LBUTTON);
    Pump();
    W32_HeadlessMouse(lx, ly, 0);
    Pump();
    ASSERT_EQ(Doc()->GetGuideCount(true), 1);
    EXPECT_TRUE(Pane()->IsHorizontal());
    EXPECT_TRUE(On(Pane()->RetRadio(0)));
    EXPECT_EQ(Selected(), 0);

    // A press that makes no guide (the list is full) names none.
    std::vector<double> far;
    for (int i = 0; i < 50; ++i)
        far.push_back(-900.0 + i);
    SetGuides(false, far);
    // (The main window is in front now: the tab is turned directly.)
    dlg->RetCardStack()->ActivateView(0u);
    W32_HeadlessMouse(int(ox + x), int(oy + y), MK_LBUTTON);
    Pump();
    W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
    Pump();
    EXPECT_EQ(Doc()->GetGuideCount(false), 50);
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 0u);
    EXPECT_TRUE(Pane()->IsHorizontal());
}

TEST_F(GuideSetupTest, VisiblesRedrawsTheGuideAndMagnetiquesChangesNoPixel)
{
    SetGuides(false, {105.0});                  // the page's centre line
    Doc()->GetColor(16)->SetRGB(0.0, 1.0, 0.0); // "Guides"
    Settings()->switches[CView::SHOW_GUIDES] = true;
    Settings()->switches[CView::GUIDE_MAGNETISM] = false;
    View()->Redraw(false);
    dlg->Update(0, 0);
    EXPECT_TRUE(On(Pane()->RetShowSwitch()));
    EXPECT_FALSE(On(Pane()->RetActiveSwitch()));
    EXPECT_TRUE(PageColourNear(0.0, 40.0, 0x00FF00, 1));
    ClickView(Pane()->RetShowSwitch(), 6);
    EXPECT_FALSE(Settings()->switches[CView::SHOW_GUIDES]);
    EXPECT_FALSE(PageColourNear(0.0, 40.0, 0x00FF00, 1));
    ClickView(Pane()->RetShowSwitch(), 6);
    EXPECT_TRUE(PageColourNear(0.0, 40.0, 0x00FF00, 1));

    // Magnetism: stored, and the page stays as it was.
    std::vector<std::uint32_t> before;
    for (int i = 0; i < 40; ++i)
        before.push_back(WindowPixel(Main()->RetWindow(), 300 + i * 5, 400));
    ClickView(Pane()->RetActiveSwitch(), 6);
    EXPECT_TRUE(Settings()->switches[CView::GUIDE_MAGNETISM]);
    Pump();
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(WindowPixel(Main()->RetWindow(), 300 + i * 5, 400), before[size_t(i)]) << i;
    // The switches follow the settings at the next refresh only.
    Settings()->switches[CView::GUIDE_MAGNETISM] = false;
    EXPECT_TRUE(On(Pane()->RetActiveSwitch()));
    dlg->Update(0, 0);
    EXPECT_FALSE(On(Pane()->RetActiveSwitch()));
}

TEST_F(GuideSetupTest, ANewMainUnitRewritesTheListedPositions)
{
    SetGuides(true, {25.4, 50.8});
    dlg->Update(0, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"25.40", "50.80"}));
    ClickTab(4);
    ClickView(Unit()->RetSlotSwitch(0));
    Unit()->RetUnitList()->Select(4); // "Pouces"
    EXPECT_TRUE(Send(ZuObjectRef(Unit()), "OnScrollList"));
    ASSERT_EQ(Doc()->GetUnit(0), 30);
    char one[32], two[32];
    FormatInUnit(one, sizeof one, 25.4, 0);
    FormatInUnit(two, sizeof two, 50.8, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{one, two}));
    EXPECT_EQ(std::string(one).substr(0, 1), "1");
    EXPECT_EQ(Guides(true), (std::vector<double>{25.4, 50.8}));
}

TEST_F(GuideSetupTest, GuideListsReadFromAFileAreShownAsKept)
{
    // A file whose horizontal guides no edit could make: a position that
    // is no number (the reader takes it as 0), an order that is not
    // ascending, more than fit.
    std::vector<double> stored = {std::numeric_limits<double>::quiet_NaN(), 5000.0, -7.5};
    for (int i = 0; i < 60; ++i)
        stored.push_back(100.0 + i);
    const std::string path = ::testing::TempDir() + "odd-guides.lumbra";
    ASSERT_TRUE(WriteOddDocument(path, stored, false));
    ASSERT_TRUE(View()->OpenDocument(ZuStringRef(path.c_str())));
    ASSERT_EQ(Doc()->GetGuideCount(true), 50);
    ASSERT_EQ(Doc()->GetGuide(true, 0), 0.0);
    Pump();
    // Shown as the reader kept them, the entry held to its bounds, and
    // "Copier" off for the full list.
    const std::vector<std::string> rows = Rows();
    ASSERT_EQ(rows.size(), 50u);
    EXPECT_EQ(rows[1], "5000.00");
    EXPECT_EQ(rows[2], "-7.50");
    EXPECT_FALSE(Enabled(Pane()->RetCreateButton()));
    ClickRow(Pane()->RetGuideList(), 1);
    EXPECT_EQ(Pane()->RetPosition()->GetValue(), 1000.0);
    ClickRow(Pane()->RetGuideList(), 2);
    EXPECT_EQ(Pane()->RetPosition()->GetValue(), -7.5);
    // Refreshing wrote nothing back.
    dlg->Update(4, 51);
    dlg->Update(0, 0);
    EXPECT_EQ(Doc()->GetGuide(true, 0), 0.0);
    EXPECT_EQ(Doc()->GetGuide(true, 1), 5000.0);
    EXPECT_EQ(Doc()->GetGuide(true, 2), -7.5);
    // Moving one places it among them without stopping.
    ClickRow(Pane()->RetGuideList(), 2);
    TypeInto(Pane()->RetPosition(), "12");
    EXPECT_EQ(Doc()->GetGuideCount(true), 50);
    // A file without its colours is refused: the pane keeps the document
    // it showed.
    ASSERT_TRUE(WriteOddDocument(path, {1.0}, true));
    DebugCapture quiet;
    EXPECT_FALSE(View()->OpenDocument(ZuStringRef(path.c_str())));
    EXPECT_EQ(Doc()->GetGuideCount(true), 50);
    EXPECT_EQ(Rows().size(), 50u);
    std::remove(path.c_str());
}
