// The pages and layers palettes as the user meets them in the running
// program: the main window's buttons place and toggle them, their three
// layouts follow the window's size, every click reaches the page view and
// closes the palette unless it is permanent, and indexes that a document
// read from a file may carry are held inside the document.
#include <gtest/gtest.h>

#include <string>

#include "app/pagedlg.h"
#include "app/pageview.h"
#include "si/texttagb.h"
#include "tests/app/shelltest.h"

namespace {

class PageDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // The main window made to fit the headless screen, so that its
        // bottom band can be clicked.
        Main()->RetWindow()->SetWindowBox(ZuRect(40, 40, 40 + 699, 40 + 599));
        Pump();
    }
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    CPageDlgRef Pages() const { return CPageDlgRef(app->RetPageDlg()); }
    CPageDlgRef Layers() const { return CPageDlgRef(app->RetLayerDlg()); }
    CViewRef Settings() const { return View()->RetView(); }
    int PageCount() const
    {
        CTreeNodeRef root;
        app->RetDocument()->GetTree()->GetNode(root, -1, -1);
        return root->CountChildren();
    }
    int LayerCount(int page) const
    {
        CTreeNodeRef node;
        app->RetDocument()->GetTree()->GetNode(node, page, -1);
        return node->CountChildren();
    }
    // A click in the middle of a main-window button (icon 150 Pages, 151
    // Calques); views are placed in window coordinates.
    void ClickMainButton(int icon)
    {
        double x = 0, y = 0;
        Main()->RetButton(icon)->GetOrigin(x, y);
        Click(Main()->RetWindow(), x + 8, y + 8);
    }
    // A click on a palette's control of that button index.
    void ClickPalette(const CPageDlgRef& p, int index, double dx = 8, double dy = 12)
    {
        double x = 0, y = 0;
        const ZuViewRef c = p->RetControl(index);
        ASSERT_TRUE(c.IsValid()) << index;
        c->GetOrigin(x, y);
        Click(p->RetWindow(), x + dx, y + dy);
    }
    static bool Shown(const ZuViewRef& v) { return v.IsValid() && v->RetParent().IsValid(); }
    static bool Enabled(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ENABLED); }
    static bool On(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ON); }
    // The controls in the window: "index@x,y" for each, a '-' after a
    // disabled one, a '*' after one shown on.
    static std::string Layout(const CPageDlgRef& p)
    {
        std::string s;
        for (int i = 0; i < CPageDlg::SLOTS; ++i) {
            const ZuViewRef c = p->RetControl(i);
            if (!Shown(c))
                continue;
            double x = 0, y = 0;
            c->GetOrigin(x, y);
            s += std::to_string(i) + "@" + std::to_string(int(x)) + "," + std::to_string(int(y));
            if (!Enabled(c))
                s += "-";
            if (On(c))
                s += "*";
            s += " ";
        }
        return s;
    }
    // The texts of the choices shown.
    static std::string Choices(const CPageDlgRef& p)
    {
        std::string s;
        for (int i = CPageDlg::FIRST_CHOICE; i < CPageDlg::SLOTS; ++i) {
            const ZuViewRef c = p->RetControl(i);
            if (!Shown(c))
                continue;
            const ZuViewRef tag = CButtonRef(c)->RetContents();
            if (tag.IsValid() && tag->IsKindOf(ZuTextTagBaseRef::RetRuntime()) &&
                ZuTextTagBaseRef(tag)->RetText().IsValid())
                s += ZuTextTagBaseRef(tag)->RetText()->AccessLatin();
            else
                s += "?";
            s += " ";
        }
        return s;
    }
    void Resize(const CPageDlgRef& p, double w, double h)
    {
        p->SetPlace(DPoint{300, 300}, DPoint{w - 2, h - 2});
        p->UpdateButtons();
    }
};

} // namespace

TEST_F(PageDlgTest, BothPalettesStartHiddenAndTheButtonsPlaceThemOnce)
{
    ASSERT_TRUE(Pages().IsValid());
    ASSERT_TRUE(Layers().IsValid());
    EXPECT_FALSE(Pages()->IsVisible());
    EXPECT_FALSE(Layers()->IsVisible());
    EXPECT_STREQ(Pages()->RetWindow()->RetTitle()->AccessLatin(), "Pages");
    EXPECT_STREQ(Layers()->RetWindow()->RetTitle()->AccessLatin(), "Calques");
    EXPECT_FALSE(Pages()->IsLayers());
    EXPECT_TRUE(Layers()->IsLayers());

    // The first click places the pages palette just above its button.
    ClickMainButton(150);
    EXPECT_TRUE(Pages()->IsVisible());
    EXPECT_TRUE(On(Main()->RetButton(150)));
    double wx = 0, wy = 0, bx = 0, by = 0, px = 0, py = 0, pw = 0, ph = 0;
    Main()->RetWindow()->GetWindowOrigin(wx, wy);
    Main()->RetButton(150)->GetOrigin(bx, by);
    Pages()->RetWindow()->GetWindowOrigin(px, py);
    Pages()->RetWindow()->GetSize(pw, ph);
    EXPECT_EQ(px, wx + bx + 4);
    EXPECT_EQ(py, wy + by - 27);
    EXPECT_EQ(pw, 220);
    EXPECT_EQ(ph, 23);
    EXPECT_FALSE(Pages()->IsFirstShow());

    // A second click hides it, a third shows it where the user left it.
    ClickMainButton(150);
    EXPECT_FALSE(Pages()->IsVisible());
    EXPECT_FALSE(On(Main()->RetButton(150)));
    Pages()->RetWindow()->SetWindowOrigin(500, 500);
    ClickMainButton(150);
    EXPECT_TRUE(Pages()->IsVisible());
    Pages()->RetWindow()->GetWindowOrigin(px, py);
    EXPECT_EQ(px, 500);
    EXPECT_EQ(py, 500);

    // The layers palette: below and left of the Calques button.
    ClickMainButton(151);
    EXPECT_TRUE(Layers()->IsVisible());
    EXPECT_TRUE(On(Main()->RetButton(151)));
    Main()->RetButton(151)->GetOrigin(bx, by);
    Layers()->RetWindow()->GetWindowOrigin(px, py);
    EXPECT_EQ(px, wx + bx - 224);
    EXPECT_EQ(py, wy + by + 20);
}

TEST_F(PageDlgTest, TheLayoutFollowsTheWindowsSize)
{
    struct Case {
        double w, h;
        int current, count;
        const char* layout;
        const char* choices;
    } cases[] = {
        // One row, tools at its right end; with count 1 only the permanent
        // switch, create and the choice are enabled.
        {213, 25, 0, 1, "0@1,1 3@143,1- 4@154,1- 5@166,1 6@189,1- 7@28,1* ", "1 "},
        {213, 25, 1, 3, "0@1,1 3@143,1 4@154,1 5@166,1 6@189,1 7@28,1 8@51,1* 9@74,1 ", "1 2 3 "},
        // More pages than fit: previous and next around a window of three.
        {213, 25, 5, 10,
         "0@1,1 1@28,1 2@120,1 3@143,1 4@154,1 5@166,1 6@189,1 7@51,1 8@74,1* 9@97,1 ", "5 6 7 "},
        {213, 25, 9, 10,
         "0@1,1 1@28,1 2@120,1- 3@143,1 4@154,1- 5@166,1 6@189,1 7@51,1 8@74,1 9@97,1* ",
         "8 9 10 "},
        // A grid with the tools below it.
        {120, 100, 0, 5,
         "0@1,1 3@1,76- 4@12,76 5@24,76 6@47,76 7@28,1* 8@51,1 9@74,1 10@28,24 11@51,24 ",
         "1 2 3 4 5 "},
        // Too narrow for three buttons: one column, tools at the bottom.
        {40, 300, 2, 3, "0@1,1 3@1,230 4@12,230- 5@1,253 6@1,276 7@1,28 8@1,51 9@1,74* ", "1 2 3 "},
        // One column too short for the tools: they are left out.
        {40, 150, 0, 9, "0@1,1 1@1,28- 2@1,74 7@1,51* ", "1 "},
    };
    const CPageDlgRef p = Pages();
    for (const Case& c : cases) {
        p->SetCount(c.count);
        p->SetCurrent(c.current);
        Resize(p, c.w, c.h);
        EXPECT_EQ(Layout(p), c.layout) << c.w << "x" << c.h << " " << c.current << "/" << c.count;
        EXPECT_EQ(Choices(p), c.choices) << c.w << "x" << c.h;
    }
}

TEST_F(PageDlgTest, NeverMoreThanTwentyThreeChoicesEvenForThousandsOfPages)
{
    const CPageDlgRef p = Pages();
    p->SetCount(3000);
    p->SetCurrent(1500);
    Resize(p, 900, 400);
    int shown = 0;
    for (int i = CPageDlg::FIRST_CHOICE; i < CPageDlg::SLOTS; ++i)
        shown += Shown(p->RetControl(i)) ? 1 : 0;
    EXPECT_EQ(shown, 23);
    EXPECT_TRUE(Shown(p->RetControl(1)));
    EXPECT_TRUE(Shown(p->RetControl(2)));
    // The current page lies among the choices.
    EXPECT_LE(p->RetFirst(), 1500);
    EXPECT_GT(p->RetFirst() + 23, 1500);
}

TEST_F(PageDlgTest, IndexesOutsideTheCountAreHeldInsideBeforeAnythingIsAsked)
{
    const CPageDlgRef p = Pages();
    // A count of 0 counts as 1; a current page past the count is the last.
    struct Case {
        int current, count, held_current, held_count;
    } cases[] = {{5, 0, 0, 1}, {-3, 4, 0, 4}, {7, 3, 2, 3}, {0, -20, 0, 1}};
    for (const Case& c : cases) {
        p->SetCount(c.count);
        p->SetCurrent(c.current);
        Resize(p, 213, 25);
        EXPECT_EQ(p->RetCurrent(), c.held_current) << c.current << "/" << c.count;
        EXPECT_EQ(p->RetCount(), c.held_count) << c.current << "/" << c.count;
        EXPECT_LE(Choices(p).size(), 2u * size_t(c.held_count) + 1);
    }

    // The document has three pages and the palette is told page 7 is the
    // current one: "previous" asks for page 1, which exists, not page 6.
    const ZuEventRef none;
    View()->NewPage(0, none);
    View()->NewPage(1, none);
    ASSERT_EQ(PageCount(), 3);
    ClickMainButton(150);
    p->SetCount(3);
    p->SetCurrent(7);
    p->SetPlace(DPoint{300, 300}, DPoint{150, 21});
    p->UpdateButtons();
    Pump();
    ASSERT_TRUE(Shown(p->RetControl(1)));
    ClickPalette(p, 1);
    EXPECT_EQ(Settings()->current_page, 1);
    EXPECT_EQ(p->RetCurrent(), 1);
}

TEST_F(PageDlgTest, RequestsReachThePageViewAndClosePaletteUnlessPermanent)
{
    const CPageDlgRef p = Pages();
    ClickMainButton(150);
    ASSERT_TRUE(p->IsVisible());
    ASSERT_EQ(PageCount(), 1);

    // Create: a new page after the current one, made current; the
    // palette closes and the main window's button goes off.
    ClickPalette(p, 5);
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(Settings()->current_page, 1);
    EXPECT_FALSE(p->IsVisible());
    EXPECT_FALSE(On(Main()->RetButton(150)));
    EXPECT_EQ(p->RetCount(), 2);
    EXPECT_EQ(p->RetCurrent(), 1);

    // Permanent: the lock stays on and the palette stays open.
    ClickMainButton(150);
    ClickPalette(p, 0);
    EXPECT_TRUE(p->IsPermanent());
    EXPECT_TRUE(On(p->RetControl(0)));
    ClickPalette(p, 7); // the choice "1"
    EXPECT_EQ(Settings()->current_page, 0);
    EXPECT_TRUE(p->IsVisible());
    EXPECT_TRUE(On(p->RetControl(7)));
    ClickPalette(p, 4, 4); // move after
    EXPECT_EQ(Settings()->current_page, 1);
    EXPECT_EQ(p->RetCurrent(), 1);
    // Disabled at the end: a click on "move after" asks nothing.
    EXPECT_FALSE(Enabled(p->RetControl(4)));
    ClickPalette(p, 4, 4);
    EXPECT_EQ(Settings()->current_page, 1);
    ClickPalette(p, 6); // delete
    EXPECT_EQ(PageCount(), 1);
    EXPECT_EQ(p->RetCount(), 1);
    EXPECT_EQ(p->RetCurrent(), 0);
    EXPECT_FALSE(Enabled(p->RetControl(6)));
    EXPECT_TRUE(p->IsVisible());

    // Its close box behaves as closing after an action.
    p->OnClose();
    EXPECT_FALSE(p->IsVisible());
    EXPECT_FALSE(On(Main()->RetButton(150)));
}

TEST_F(PageDlgTest, LayerCornersSwitchVisibilityExceptForTheCurrentLayer)
{
    const CPageDlgRef p = Layers();
    ClickMainButton(151);
    ASSERT_TRUE(p->IsVisible());
    ClickPalette(p, 0); // permanent, to watch it
    ClickPalette(p, 5);
    ClickPalette(p, 5);
    ASSERT_EQ(LayerCount(0), 3);
    EXPECT_EQ(Choices(p), "A B C ");
    EXPECT_EQ(p->RetCurrent(), 2);
    EXPECT_EQ(Settings()->current_layer, 2);
    // No corner on the current layer's button.
    ASSERT_TRUE(Shown(p->RetCorner(7)));
    EXPECT_TRUE(Shown(p->RetCorner(8)));
    EXPECT_FALSE(Shown(p->RetCorner(9)));
    EXPECT_TRUE(p->RetCorner(7)->RetIcon() == "lumbra_HandleNormPV");

    double x = 0, y = 0;
    p->RetCorner(7)->GetOrigin(x, y);
    Click(p->RetWindow(), x + 2, y + 2);
    EXPECT_FALSE(View()->RetSelectObject()->IsLayerVisible(0));
    EXPECT_TRUE(p->RetCorner(7)->RetIcon() == "lumbra_HandleNormPR");
    EXPECT_EQ(Settings()->current_layer, 2);
    // A corner handler called for the current layer does nothing.
    EXPECT_FALSE(p->OnClicCorner(p->RetControl(9), 0));
    EXPECT_TRUE(View()->RetSelectObject()->IsLayerVisible(2));

    // Choosing layer A from the palette makes it current.
    ClickPalette(p, 7, 12, 14);
    EXPECT_EQ(Settings()->current_layer, 0);
    EXPECT_FALSE(Shown(p->RetCorner(7)));
}

TEST_F(PageDlgTest, AStoredDocumentsIndexesReachThePalettesHeldInside)
{
    // View settings read from a file name page 5000 and layer -3 of a
    // document of one page.
    Settings()->current_page = 5000;
    Settings()->current_layer = -3;
    const CSelectObjectRef sel = View()->RetSelectObject();
    sel->UpdatePageDialog();
    sel->UpdateLayerDialog();
    EXPECT_EQ(Pages()->RetCurrent(), 0);
    EXPECT_EQ(Pages()->RetCount(), 1);
    EXPECT_EQ(Layers()->RetCurrent(), 0);
    EXPECT_EQ(Layers()->RetCount(), 1);

    // A page that holds no layer at all: the palette counts one, and its
    // choice asks the page view for nothing that breaks.
    CTreeNodeRef page;
    app->RetDocument()->GetTree()->GetNode(page, 0, -1);
    page->RemoveAllChildren();
    sel->UpdateLayerDialog();
    EXPECT_EQ(Layers()->RetCount(), 1);
    EXPECT_EQ(Layers()->RetCurrent(), 0);
    ClickMainButton(151);
    ASSERT_TRUE(Layers()->IsVisible());
    EXPECT_EQ(Choices(Layers()), "A ");
    ClickPalette(Layers(), 7);
    EXPECT_FALSE(Layers()->IsVisible());
    EXPECT_EQ(Settings()->current_layer, 0);
}
