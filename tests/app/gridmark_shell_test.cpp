// The grid's check mark as the user meets it when the document changes:
// the "Grille" row of "Vue", the tool bar's grid button, the switch of the
// settings' "Grille" tab and the grid's dots on the page tell the same
// after "Nouveau", after opening a saved document and after opening an
// older drawing that brings its own grid; "Grille" then switches all four.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/filenamedlg.h"
#include "app/questiondlg.h"
#include "si/menu.h"
#include "tests/app/setuptest.h"

namespace {

// Rows of "Vue" (separators count): "Grille" and "Brouillon", which stays
// off here.
const unsigned kViewMenu = 3, kGridRow = 2, kOutlineRow = 3;

class GridMarkTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        ChooseMenuRow(kViewMenu, 0); // "Réglages..."
        ASSERT_TRUE(Shown());
        ClickTab(1);
        ASSERT_EQ(dlg->RetCardStack()->RetActiveView(), 1u);
    }
    std::string Path(const std::string& name) const { return scratch.Path() + "/" + name; }
    // The pixels of a row's picture (the icon before its label) in an
    // open menu.
    std::vector<std::uint32_t> RowPicture(const ZuMenuRef& menu, unsigned index)
    {
        std::vector<std::uint32_t> out;
        ZuRect item;
        if (!menu->RetViewPane()->RetLayout()->GetViewBox(index, item))
            return out;
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        double ox = 0, oy = 0;
        menu->GetOrigin(ox, oy);
        const int x1 = int(ox + pane.X1() + item.X1()), y1 = int(oy + pane.Y1() + item.Y1());
        const int y2 = int(oy + pane.Y1() + item.Y2());
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x < x1 + 22; ++x)
                out.push_back(WindowPixel(menu->RetMenuWindow(), x, y));
        return out;
    }
    // Whether the "Grille" row shows its mark on the screen: its picture
    // differs from that of the unchecked "Brouillon". The menu is opened
    // from the bar and closed again.
    bool MenuMarked()
    {
        const ZuMenuRef vue = OpenBarMenu(kViewMenu);
        EXPECT_TRUE(vue.IsValid());
        if (vue.IsInvalid())
            return false;
        const std::vector<std::uint32_t> grid = RowPicture(vue, kGridRow);
        const std::vector<std::uint32_t> outline = RowPicture(vue, kOutlineRow);
        EXPECT_FALSE(grid.empty());
        ClickMenuRow(Main()->RetMenuBar(), Main()->RetWindow(), kViewMenu);
        EXPECT_FALSE(vue->IsShown());
        // The command's picture says the same as the screen.
        ZuAtomRef icon;
        EXPECT_TRUE(FindCommandFactory("SwapGrid")->GetIcon(icon));
        EXPECT_EQ(std::string(static_cast<const char*>(icon)) == "lumbra_Icon132", grid != outline);
        return grid != outline;
    }
    bool ButtonOn()
    {
        ZuViewRef button;
        EXPECT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarSwapGrid"), button));
        return button.IsValid() && On(button);
    }
    // Whether the page shows the grid of that step: its dots (red here) at
    // grid points and none half-way between.
    bool GridDrawn(double step)
    {
        Doc()->GetColor(15)->SetRGB(1.0, 0.0, 0.0); // "Grille magnétique"
        View()->Redraw(false);
        const bool a = PageColourNear(0.0, 0.0, 0xFF0000, 1);
        const bool b = PageColourNear(step, -2 * step, 0xFF0000, 1);
        const bool between = PageColourNear(step / 2, step / 2, 0xFF0000, 0);
        EXPECT_EQ(a, b);
        EXPECT_FALSE(between);
        return a && b;
    }
    // What the four show, as "menu bouton réglages page", each 0 or 1.
    std::string Seen(double step)
    {
        Pump();
        std::string s;
        s += MenuMarked() ? "1" : "0";
        s += ButtonOn() ? " 1" : " 0";
        s += On(Grid()->RetShowSwitch()) ? " 1" : " 0";
        s += GridDrawn(step) ? " 1" : " 0";
        return s;
    }
    void ChooseGrille() { ChooseMenuRow(kViewMenu, kGridRow); }
    // "Ouvrir...", the name given to the file-name dialog and confirmed.
    void OpenByMenu(const std::string& name)
    {
        ChooseMenuRow(0, 1);
        // A changed document: its changes are dropped.
        if (app->RetQuestionFileSave()->RetWindow()->IsVisible()) {
            app->RetQuestionFileSave()->OnClickButton2(); // "Non"
            Serve();
        }
        const CFilenameDlgRef open = app->RetFilenameOpen();
        ASSERT_TRUE(open->RetWindow()->IsVisible());
        open->SetFilename(ZuStringRef(name.c_str()));
        open->OnFile();
        Serve();
    }
    // The events, then the answers reported meanwhile, as the main loop
    // serves them.
    void Serve()
    {
        Pump();
        app->FireAsyncEvents();
        Pump();
    }
    static std::string Latin(const ZuStringRef& s)
    {
        return s.IsValid() ? std::string(s->AccessLatin()) : "";
    }
    // An older drawing of a page 210 x 297 mm holding only its grid code.
    std::string OlderDrawing(const std::string& name, int gridCode)
    {
        unsigned char header[16] = {0};
        header[5] = static_cast<unsigned char>(gridCode);
        header[6] = 2970 >> 8, header[7] = 2970 & 0xFF;
        header[8] = 2100 >> 8, header[9] = 2100 & 0xFF;
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header), 16);
        return path;
    }
};

} // namespace

TEST_F(GridMarkTest, TheMarkTellsTheGridAfterNouveauAndOpening)
{
    const std::string off = "0 0 0 0", on = "1 1 1 1";
    EXPECT_EQ(Seen(10.0), off);
    ChooseGrille();
    EXPECT_EQ(Seen(10.0), on);
    const std::string saved = Path("grille.lumbra");
    ASSERT_TRUE(View()->SaveDocument(ZuStringRef(saved.c_str())));

    // A new document starts without the grid; "Grille" turns it on.
    ChooseMenuRow(0, 0); // "Nouveau"
    ASSERT_FALSE(app->RetQuestionFileSave()->RetWindow()->IsVisible());
    ASSERT_EQ(Latin(View()->RetFileName()), "");
    EXPECT_EQ(Seen(10.0), off);
    ChooseGrille();
    EXPECT_EQ(Seen(10.0), on);

    // Opening a saved document keeps the view's grid, whichever it is.
    ChooseMenuRow(0, 0);
    OpenByMenu(saved);
    ASSERT_EQ(Latin(View()->RetFileName()), saved);
    EXPECT_EQ(Seen(10.0), off);
    ChooseGrille();
    EXPECT_EQ(Seen(10.0), on);
    OpenByMenu(saved);
    EXPECT_EQ(Seen(10.0), on);

    // An older drawing brings its own grid, or none: the grid is on
    // before the first, off before the second.
    OpenByMenu(OlderDrawing("sans.ravona", 0));
    EXPECT_EQ(Seen(10.0), off);
    ChooseGrille();
    EXPECT_EQ(Seen(10.0), on);
    ChooseGrille();
    EXPECT_EQ(Seen(10.0), off);
    OpenByMenu(OlderDrawing("avec.ravona", 5)); // steps of 3.2 mm
    EXPECT_EQ(Seen(3.2), on);
    ChooseGrille();
    EXPECT_EQ(Seen(3.2), off);
}
