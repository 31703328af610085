// Menu rows and tool-bar buttons greyed out when their command cannot be
// used, in the program's main window as a user meets them: the rows of
// "Edition" and "Objets" read back from the menu's pixels in each state of
// the selection, a click on a greyed row, the keys of greyed commands, and
// "Terminer" while an object is being drawn.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/document.h"
#include "app/gralinetext.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/toolpalette.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/classfactory.h"
#include "si/button.h"
#include "si/commandfactory.h"
#include "si/list.h"
#include "tests/app/pageshelltest.h"

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The rows of the two menus, by bar index and row (separators skipped).
struct Row {
    unsigned menu, row;
    const char* command;
};
const Row kRows[] = {
    {1, 0, "Undo"},
    {1, 1, "Redo"},
    {1, 3, "ClipboardCut"},
    {1, 4, "ClipboardCopy"},
    {1, 5, "ClipboardPaste"},
    {1, 7, "GroupGoIn"},
    {1, 8, "GroupGoOut"},
    {1, 10, "DuplicateSelected"},
    {1, 11, "DeleteSelected"},
    {1, 12, "EndSelected"},
    {2, 0, "SelectSendToFront"},
    {2, 1, "SelectMoveToFront"},
    {2, 2, "SelectMoveToBack"},
    {2, 3, "SelectSendToBack"},
    {2, 5, "SelectMirrorX"},
    {2, 6, "SelectMirrorY"},
    {2, 8, "SelectRotate90"},
    {2, 9, "SelectRotate180"},
    {2, 10, "SelectRotate270"},
    {2, 12, "SelectGroup"},
    {2, 13, "SelectUngroup"},
};

// Tool codes of the palette.
const int kFreePolygon = 13;

class MenuStatesTest : public PageShellTest {
protected:
    int ObjectCount()
    {
        int n = 0;
        for (CTreeNodeRef c = Layer()->RetFirstChild(); c.IsValid(); c = c->RetNext())
            ++n;
        return n;
    }
    // The command as its menu row sends it.
    void Run(const char* command)
    {
        ZuObjectRef(view)->Action(ZuAtomRef(command), ZuObjectRef(), 0);
        Pump();
    }
    // The greyed commands of the table by their factories, in table order.
    static std::string GreyedByFactory()
    {
        std::string out;
        for (const Row& r : kRows) {
            const ZuCommandFactoryRef f = FindCommandFactory(r.command);
            if (f.IsInvalid() || !f->RetEnable())
                out += std::string(r.command) + " ";
        }
        return out;
    }
    // The darkest pixel of the label of a row of an open menu, as the sum
    // of its three channels. A greyed row draws its text in the look's dim
    // colour, far lighter than the black of an enabled row.
    int DarkestOfLabel(const ZuMenuRef& menu, unsigned index)
    {
        ZuRect item;
        if (!menu->RetViewPane()->RetLayout()->GetViewBox(index, item))
            return -1;
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        double ox = 0, oy = 0;
        menu->GetOrigin(ox, oy);
        // The label starts after the icon column.
        const int x1 = int(ox + pane.X1() + item.X1()) + 26, x2 = int(ox + pane.X1() + item.X2());
        const int y1 = int(oy + pane.Y1() + item.Y1()), y2 = int(oy + pane.Y1() + item.Y2());
        int darkest = 3 * 255;
        app->SyncWindows(true);
        const HWND hwnd = Hwnd(menu->RetMenuWindow());
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) {
                std::uint32_t p = 0xFFFFFF;
                W32_HeadlessWindowPixel(hwnd, x, y, p);
                const int sum = int(p & 0xFF) + int((p >> 8) & 0xFF) + int((p >> 16) & 0xFF);
                if (sum < darkest)
                    darkest = sum;
            }
        return darkest;
    }
    // The greyed commands of the table as the two menus show them, each
    // menu opened from the bar and closed again.
    std::string GreyedOnScreen()
    {
        std::string out;
        for (unsigned menu : {1u, 2u}) {
            const ZuMenuRef open = OpenBarMenu(menu);
            if (open.IsInvalid())
                return "(no menu)";
            for (const Row& r : kRows) {
                if (r.menu != menu)
                    continue;
                const int darkest = DarkestOfLabel(open, r.row);
                // Black text is well under 150; the dim colour well over.
                if (darkest > 150)
                    out += std::string(r.command) + " ";
            }
            // The bar's item again closes its menu.
            ClickMenuRow(Main()->RetMenuBar(), Main()->RetWindow(), menu);
        }
        return out;
    }
    // The keys pressed in order and released in reverse order.
    void Keys(std::initializer_list<UINT> keys)
    {
        for (UINT key : keys)
            W32_HeadlessKey(key, 0, false, true);
        for (auto k = std::rbegin(keys); k != std::rend(keys); ++k)
            W32_HeadlessKey(*k, 0, false, false);
        Pump();
    }
    void ClickPage(const DPoint& page)
    {
        DPoint p = page;
        view->PageToView(p);
        Click(Main()->RetWindow(), std::round(p.x), std::round(p.y));
    }
};

} // namespace

// Each state of the selection greys out the rows whose command it cannot
// run, on the screen as in the command factories; the tool-bar buttons of
// the same commands follow.
TEST_F(MenuStatesTest, RowsAreGreyedByTheStateOfTheSelection)
{
    const std::string stacking = "SelectSendToFront SelectMoveToFront SelectMoveToBack "
                                 "SelectSendToBack SelectMirrorX SelectMirrorY SelectRotate90 "
                                 "SelectRotate180 SelectRotate270 ";
    const std::string nothing = "Undo Redo ClipboardCut ClipboardCopy ClipboardPaste GroupGoIn "
                                "GroupGoOut DuplicateSelected DeleteSelected EndSelected " +
                                stacking + "SelectGroup SelectUngroup ";
    // At start-up, before any selection.
    EXPECT_EQ(GreyedByFactory(), nothing);
    EXPECT_EQ(GreyedOnScreen(), nothing);

    const CTreeNodeRef a = Rect(-40, -30, 0, 10), b = Rect(10, -30, 50, 10);
    CGraLineTextRef text = Make<CGraLineTextRef>();
    const DPoint at{-40, 40};
    text->SetPoints(&at, 1);
    text->SetText(ZuStringRef("abc"));
    const CTreeNodeRef t = Attach(text);
    struct Case {
        const char* what;
        std::string greyed;
    };
    const Case cases[] = {
        {"one object", "Undo Redo ClipboardPaste GroupGoIn GroupGoOut SelectGroup SelectUngroup "},
        {"two objects", "Undo Redo ClipboardPaste GroupGoIn GroupGoOut SelectUngroup "},
        {"one group", "Redo ClipboardPaste GroupGoOut SelectGroup "},
        {"inside the group", "Redo ClipboardCut ClipboardCopy ClipboardPaste GroupGoIn "
                             "DuplicateSelected DeleteSelected EndSelected " +
                                 stacking + "SelectGroup SelectUngroup "},
        {"a text in its own editing",
         "Redo ClipboardPaste GroupGoIn GroupGoOut DuplicateSelected SelectGroup "
         "SelectUngroup "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string what = c.what;
        if (what == "one object") {
            sel->SelectOnly(a);
        } else if (what == "two objects") {
            sel->AddToSelection(b);
        } else if (what == "one group") {
            Run("SelectGroup");
        } else if (what == "inside the group") {
            Run("GroupGoIn");
        } else {
            Run("GroupGoOut");
            sel->EndSelection();
            sel->SelectForOwnEditing(t);
        }
        Pump();
        EXPECT_EQ(GreyedByFactory(), c.greyed);
        EXPECT_EQ(GreyedOnScreen(), c.greyed);
    }
    // The tool-bar buttons of the same commands, their pictures with them.
    for (const char* command : {"ClipboardCut", "ClipboardPaste", "Undo", "Redo"}) {
        SCOPED_TRACE(command);
        ZuViewRef button;
        ASSERT_TRUE(Main()->RetWindow()->FindUserName(
            ZuAtomRef((std::string("Toolbar") + command).c_str()), button));
        const bool enabled = FindCommandFactory(command)->RetEnable();
        EXPECT_EQ(button->RetState().TestBit(ZU_VIEW_IS_ENABLED), enabled);
        const ZuViewRef picture = ZuButtonRef(button)->RetContents();
        ASSERT_TRUE(picture.IsValid());
        EXPECT_EQ(picture->RetState().TestBit(ZU_VIEW_IS_ENABLED), enabled);
    }
}

// A new or opened document starts with nothing to undo, select or end:
// the rows of the last document's state do not stay enabled.
TEST_F(MenuStatesTest, ANewOrOpenedDocumentGreysTheRowsAgain)
{
    // An empty document to open.
    ASSERT_TRUE(view->SaveDocument(ZuStringRef("empty.lumbra")));
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "new");
        sel->SelectOnly(Rect(-40, -30, 0, 10));
        Run("DuplicateSelected");
        ASSERT_TRUE(FindCommandFactory("Undo")->RetEnable());
        ASSERT_TRUE(FindCommandFactory("DeleteSelected")->RetEnable());
        if (open) {
            ASSERT_TRUE(view->OpenDocument(ZuStringRef("empty.lumbra")));
        } else {
            view->RetDocument()->SetModified(false);
            view->NewDocument();
        }
        Pump();
        EXPECT_EQ(GreyedByFactory(),
                  "Undo Redo ClipboardCut ClipboardCopy ClipboardPaste GroupGoIn GroupGoOut "
                  "DuplicateSelected DeleteSelected EndSelected SelectSendToFront "
                  "SelectMoveToFront SelectMoveToBack SelectSendToBack SelectMirrorX "
                  "SelectMirrorY SelectRotate90 SelectRotate180 SelectRotate270 SelectGroup "
                  "SelectUngroup ");
    }
}

// A click on the greyed "Supprimer" runs nothing and leaves the menu open,
// as a click on no row; neither do the keys of greyed commands change the
// document. Once an object is selected the same row deletes it.
TEST_F(MenuStatesTest, AGreyedRowTakesNoClickAndItsKeysChangeNothing)
{
    const CTreeNodeRef a = Rect(-40, -30, 0, 10);
    Pump();
    const ZuMenuRef edition = OpenBarMenu(1);
    ASSERT_TRUE(edition.IsValid());
    ClickMenuRow(edition, edition->RetMenuWindow(), 11);
    LetDelayedCommandsRun();
    EXPECT_TRUE(edition->IsShown());
    EXPECT_EQ(ObjectCount(), 1);
    EXPECT_FALSE(sel->CanUndo());
    EXPECT_FALSE(view->RetDocument()->IsModified());
    // A press outside every menu closes it, running nothing either.
    Click(Main()->RetWindow(), 400, 300);
    LetDelayedCommandsRun();
    EXPECT_FALSE(edition->IsShown());
    EXPECT_EQ(ObjectCount(), 1);

    // The delete key and control-X, control-Z reach the page view.
    Main()->RetWindow()->SetMainResponder(ZuResponderRef(view), true);
    const UINT del = VK_DELETE, x = 'X', z = 'Z';
    Keys({del});
    Keys({VK_CONTROL, x});
    Keys({VK_CONTROL, z});
    EXPECT_EQ(ObjectCount(), 1);
    EXPECT_FALSE(sel->CanUndo());
    EXPECT_FALSE(view->RetDocument()->IsModified());

    // With the object selected the row deletes it, and control-Z, which
    // reaches the view, brings it back.
    sel->SelectOnly(a);
    ChooseMenuRow(1, 11);
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_TRUE(sel->CanUndo());
    Main()->RetWindow()->SetMainResponder(ZuResponderRef(view), true);
    Keys({VK_CONTROL, z});
    EXPECT_EQ(ObjectCount(), 1);
}

// While a free polygon is being drawn nothing is selected, yet "Terminer"
// stays available, and chosen finishes it; "Supprimer" is greyed.
TEST_F(MenuStatesTest, TerminerStaysAvailableWhileAnObjectIsDrawn)
{
    CToolPaletteRef palette(app->RetToolPalette());
    ASSERT_TRUE(palette.IsValid());
    ASSERT_TRUE(ClickPaletteEntry(palette, 0));
    ASSERT_TRUE(ClickPaletteEntry(palette, kFreePolygon));
    for (const DPoint& p : {DPoint{-40, -30}, DPoint{30, -30}, DPoint{30, 20}})
        ClickPage(p);
    ASSERT_TRUE(sel->IsCreating());
    ASSERT_FALSE(sel->HasSelection());
    EXPECT_TRUE(FindCommandFactory("EndSelected")->RetEnable());
    EXPECT_FALSE(FindCommandFactory("DeleteSelected")->RetEnable());
    const ZuMenuRef edition = OpenBarMenu(1);
    ASSERT_TRUE(edition.IsValid());
    EXPECT_LT(DarkestOfLabel(edition, 12), 150);
    EXPECT_GT(DarkestOfLabel(edition, 11), 150);
    ClickMenuRow(edition, edition->RetMenuWindow(), 12);
    LetDelayedCommandsRun();
    EXPECT_FALSE(sel->IsCreating());
    EXPECT_EQ(ObjectCount(), 1);
    // Finished and not selected: nothing is left to end.
    EXPECT_FALSE(FindCommandFactory("EndSelected")->RetEnable());
}

// A new or opened document drops the object that was being drawn in the
// last one: "Terminer" is greyed and chosen all the same puts nothing into
// the document.
TEST_F(MenuStatesTest, ANewOrOpenedDocumentDropsTheObjectBeingDrawn)
{
    ASSERT_TRUE(view->SaveDocument(ZuStringRef("empty.lumbra")));
    CToolPaletteRef palette(app->RetToolPalette());
    ASSERT_TRUE(palette.IsValid());
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "new");
        ASSERT_TRUE(ClickPaletteEntry(palette, 0));
        ASSERT_TRUE(ClickPaletteEntry(palette, kFreePolygon));
        for (const DPoint& p : {DPoint{-40, -30}, DPoint{30, -30}, DPoint{30, 20}})
            ClickPage(p);
        ASSERT_TRUE(sel->IsCreating());
        if (open)
            ASSERT_TRUE(view->OpenDocument(ZuStringRef("empty.lumbra")));
        else
            ChooseMenuRow(0, 0); // "Fichier" > "Nouveau"
        Pump();
        EXPECT_FALSE(sel->IsCreating());
        EXPECT_FALSE(FindCommandFactory("EndSelected")->RetEnable());
        Run("EndSelected");
        EXPECT_EQ(ObjectCount(), 0);
        EXPECT_FALSE(view->RetDocument()->IsModified());
    }
}

// "Coller" follows the clipboard that a paste would take from: the text
// clipboard while a text is in its own editing, the object clipboard
// otherwise, as the editing starts and ends.
TEST_F(MenuStatesTest, CollerFollowsTheClipboardOfTheEditing)
{
    app->SetClipboardText(ZuStringRef("ab"));
    view->NewDocument();
    Pump();
    const ZuCommandFactoryRef paste = FindCommandFactory("ClipboardPaste");
    EXPECT_FALSE(paste->RetEnable());
    CGraLineTextRef text = Make<CGraLineTextRef>();
    const DPoint at{-40, 40};
    text->SetPoints(&at, 1);
    text->SetText(ZuStringRef("abc"));
    const CTreeNodeRef t = Attach(text);
    sel->SelectForOwnEditing(t);
    EXPECT_TRUE(paste->RetEnable());
    sel->EndSelection();
    EXPECT_FALSE(paste->RetEnable());
    sel->SelectForOwnEditing(t);
    EXPECT_TRUE(paste->RetEnable());
    sel->RemoveFromSelection(t);
    EXPECT_FALSE(paste->RetEnable());
}
