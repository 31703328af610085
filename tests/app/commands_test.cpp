// The command vocabulary: icon names and labels, the menus built from the
// menu table with one registered factory per command, the check marks of
// switch commands and the tool-bar table.
#include <gtest/gtest.h>

#include "si/boxview.h"

#include <string>
#include <vector>

#include "app/commands.h"
#include "si/button.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/app/shelltest.h"

namespace {

TEST(IconNumbers, ImageNamesHaveAtLeastThreeDigits)
{
    const struct {
        int icon;
        const char* name;
    } cases[] = {{0, "lumbra_Icon000"},     {5, "lumbra_Icon005"},   {7, "lumbra_Icon007"},
                 {138, "lumbra_Icon138"},   {150, "lumbra_Icon150"}, {300, "lumbra_Icon300"},
                 {1000, "lumbra_Icon1000"}, {-1, "lumbra_Icon-001"}};
    for (const auto& c : cases)
        EXPECT_STREQ(IconImageName(c.icon), c.name) << c.icon;
}

TEST(IconNumbers, LabelsAreKeptByteForByte)
{
    const struct {
        int icon;
        const char* label;
    } cases[] = {
        {0, "Dessiner"},
        {3, "Loupe grossissante"},
        {52, "Teinte Saturation Intensit\xE9"},
        {69, "Fl\xE8"
             "che d'architecte"},
        {121, "Stretch\nObjets \xE9lastiques"},
        {130, ""},
        {153, "R\xE8glages"},           // as the program has always shown it
        {156, "Fen\xEAtre premanante"}, // likewise
        {192, "Sinuso\xEF"
              "de"},
        {206, "Transformation droite <-> courbe"},
        {267, "R\xE9parti verticalement les espaces"},
        {20, ""},
        {300, ""},
    };
    for (const auto& c : cases) {
        ASSERT_NE(GetIconLabel(c.icon), nullptr) << c.icon;
        EXPECT_STREQ(GetIconLabel(c.icon), c.label) << c.icon;
    }
    for (int outside : {-1, 301, 1000, -300})
        EXPECT_EQ(GetIconLabel(outside), nullptr) << outside;
    int labelled = 0;
    for (int icon = 0; icon < kIconCount; ++icon) {
        ASSERT_NE(IconLabelTable[icon], nullptr) << icon;
        labelled += IconLabelTable[icon][0] != '\0';
    }
    EXPECT_EQ(labelled, 211);
    EXPECT_EQ(IconLabelTable[kIconCount], nullptr);
}

TEST(ToolbarTable, TwentyButtonsInSevenGroups)
{
    std::vector<std::string> groups(1);
    int buttons = 0;
    const ToolbarRecord* r = ToolbarTable;
    for (; r->icon != kToolbarEnd; ++r) {
        if (r->icon == kToolbarGap) {
            EXPECT_EQ(r->command, nullptr);
            groups.emplace_back();
            continue;
        }
        ASSERT_GE(r->icon, 0);
        ++buttons;
        groups.back() += std::string(groups.back().empty() ? "" : " ") + r->command + ":" +
                         std::to_string(r->icon);
    }
    EXPECT_EQ(buttons, 20);
    const std::vector<std::string> want = {
        "FileNew:138 FileOpen:139 FileSave:140",
        "FilePrint:142 FileExport:144",
        "ClipboardCut:135 ClipboardCopy:136 ClipboardPaste:137",
        "Undo:133 Redo:134",
        "SelectSendToFront:96 SelectMoveToFront:98 SelectMoveToBack:99 SelectSendToBack:97",
        "SwapGrid:88 SwapOutline:86",
        "Glass100:75 GlassPage:73 GlassSel:74 GlassPrev:89",
    };
    EXPECT_EQ(groups, want);
}

// A level written as "label/command:icon" items, "-" for a separator and
// "label>" for a row with a submenu.
std::string Describe(const ZuBaseContainerRef& list)
{
    std::string out;
    ZuiContainer* items = list->RetSelfAsObject() != nullptr ? list.RetRawObject() : nullptr;
    for (unsigned i = 0; items != nullptr && i < items->TotalCount(); ++i) {
        ZuObjectRef item;
        items->Get(i, item);
        if (!out.empty())
            out += " | ";
        if (!item.IsValid()) {
            out += "-";
            continue;
        }
        ZuCommandFactoryRef factory(item);
        ZuStringRef text;
        factory->GetText(ZU_TEXTVER_NORMAL, text);
        out += text->AccessLatin();
        ZuAtomRef icon;
        if (factory->GetIcon(icon))
            out += std::string(":") + static_cast<const char*>(icon);
        if (factory->HasChildFactories())
            out += ">";
    }
    return out;
}

ZuBaseContainerRef Children(const ZuBaseContainerRef& list, unsigned index)
{
    ZuObjectRef item;
    list.RetRawObject()->Get(index, item);
    ZuBaseContainerRef children;
    ZuCommandFactoryRef(item)->GetChildFactories(children);
    return children;
}

class MenuTableTest : public ShellTest {};

TEST_F(MenuTableTest, TheMenuBarHoldsTheFiveMenus)
{
    ZuListRef top;
    const ZuMenuRef menu = CreateMenu(MenuTable, ZuObjectRef(), ZuViewRef(), top);
    ASSERT_TRUE(menu.IsValid());
    EXPECT_EQ(Describe(top), "Fichier> | Edition> | Objets> | Vue> | Aide>");
    EXPECT_EQ(Describe(Children(top, 0)),
              "Nouveau:lumbra_Icon138 | Ouvrir...:lumbra_Icon139 | "
              "Enregistrer...:lumbra_Icon140 | Enregistrer sous...:lumbra_Icon141 | - | "
              "Imprimer...:lumbra_Icon142 | Exporter...:lumbra_Icon144 | - | "
              "Quitter:lumbra_Icon130");
    EXPECT_EQ(Describe(Children(top, 1)),
              "Annuler:lumbra_Icon133 | Refaire:lumbra_Icon134 | - | Couper:lumbra_Icon135 | "
              "Copier:lumbra_Icon136 | Coller:lumbra_Icon137 | - | Entrer:lumbra_Icon083 | "
              "Sortir:lumbra_Icon084 | - | Dupliquer:lumbra_Icon080 | "
              "Supprimer:lumbra_Icon071 | Terminer:lumbra_Icon070");
    EXPECT_EQ(Describe(Children(top, 2)),
              "Avant plan:lumbra_Icon096 | Vers l'avant:lumbra_Icon098 | "
              "Vers l'arri\xE8re:lumbra_Icon099 | Arri\xE8re plan:lumbra_Icon097 | - | "
              "Miroir horizontal:lumbra_Icon093 | Miroir vertical:lumbra_Icon094 | - | "
              "1/4 de tour:lumbra_Icon107 | 1/2 tour:lumbra_Icon108 | "
              "3/4 de tour:lumbra_Icon109 | - | Grouper:lumbra_Icon081 | "
              "S\xE9parer:lumbra_Icon082");
    EXPECT_EQ(Describe(Children(top, 3)),
              "R\xE9glages...:lumbra_Icon079 | - | Grille:lumbra_Icon131 | "
              "Brouillon:lumbra_Icon131 | Propri\xE9t\xE9s:lumbra_Icon131 | - | "
              "Loupe:lumbra_Icon130>");
    EXPECT_EQ(Describe(Children(Children(top, 3), 6)),
              "Loupe minimale:lumbra_Icon076 | Loupe 100%:lumbra_Icon075 | "
              "Loupe maximale:lumbra_Icon077 | - | Loupe sur page:lumbra_Icon073 | "
              "Loupe sur s\xE9lection:lumbra_Icon074 | - | "
              "Loupe pr\xE9"
              "c\xE9"
              "dente:lumbra_Icon089");
    EXPECT_EQ(Describe(Children(top, 4)),
              "Trace debug:lumbra_Icon130 | - | A propos de...:lumbra_Icon143");
    menu->Delete();
}

TEST_F(MenuTableTest, EveryCommandHasItsRegisteredFactory)
{
    // The main window's menu bar registered them at start-up.
    for (const char* command : {"FileNew",
                                "FileOpen",
                                "FileSave",
                                "FileSaveAs",
                                "FilePrint",
                                "FileExport",
                                "FileQuit",
                                "Undo",
                                "Redo",
                                "ClipboardCut",
                                "ClipboardCopy",
                                "ClipboardPaste",
                                "GroupGoIn",
                                "GroupGoOut",
                                "DuplicateSelected",
                                "DeleteSelected",
                                "EndSelected",
                                "SelectSendToFront",
                                "SelectMoveToFront",
                                "SelectMoveToBack",
                                "SelectSendToBack",
                                "SelectMirrorX",
                                "SelectMirrorY",
                                "SelectRotate90",
                                "SelectRotate180",
                                "SelectRotate270",
                                "SelectGroup",
                                "SelectUngroup",
                                "ChangeSetup",
                                "SwapGrid",
                                "SwapOutline",
                                "SwapProperty",
                                "GlassMin",
                                "Glass100",
                                "GlassMax",
                                "GlassPage",
                                "GlassSel",
                                "GlassPrev",
                                "Debug",
                                "About"}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(FindCommandFactory(command).IsValid());
    }
    EXPECT_FALSE(FindCommandFactory("Loupe").IsValid());
    EXPECT_FALSE(FindCommandFactory(nullptr).IsValid());
}

TEST_F(MenuTableTest, EmptyLevelsAndSeparatorRows)
{
    // A level that begins with its end record is an empty menu.
    const MenuRecord empty[] = {{130, nullptr, nullptr, nullptr}};
    ZuListRef list;
    ZuMenuRef menu = CreateMenu(empty, ZuObjectRef(), ZuViewRef(), list);
    ASSERT_TRUE(menu.IsValid());
    EXPECT_EQ(list->TotalCount(), 0u);
    menu->Delete();
    // A separator row's icon and command are not read.
    const MenuRecord rows[] = {{5, "", nullptr, "NotACommand"},
                               {138, "Nouveau", nullptr, "NewOfThisTest"},
                               {-1, nullptr, nullptr, "AfterTheEnd"}};
    menu = CreateMenu(rows, ZuObjectRef(), ZuViewRef(), list);
    EXPECT_EQ(Describe(list), "- | Nouveau:lumbra_Icon138");
    EXPECT_FALSE(FindCommandFactory("NotACommand").IsValid());
    EXPECT_FALSE(FindCommandFactory("AfterTheEnd").IsValid());
    EXPECT_TRUE(FindCommandFactory("NewOfThisTest").IsValid());
    menu->Delete();
}

TEST_F(MenuTableTest, OnlyOneCountsAsCheckedAndButtonsFollow)
{
    // The tool bar's button of the grid.
    ZuViewRef button;
    ASSERT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarSwapGrid"), button));
    ZuAtomRef icon;
    const struct {
        int on;
        const char* icon;
        bool button_on;
    } cases[] = {{1, "lumbra_Icon132", true},
                 {2, "lumbra_Icon131", false},
                 {1, "lumbra_Icon132", true},
                 {0, "lumbra_Icon131", false},
                 {-1, "lumbra_Icon131", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on);
        SetCommandCheck("SwapGrid", c.on);
        ASSERT_TRUE(FindCommandFactory("SwapGrid")->GetIcon(icon));
        EXPECT_STREQ(static_cast<const char*>(icon), c.icon);
        EXPECT_EQ(button->RetState().TestBit(ZU_VIEW_IS_ON), c.button_on);
    }
    // A command without a button changes its menu row only; the editing
    // engine's questions reach the same place.
    RetEditShell().SetCommandCheck("SwapProperty", true);
    ASSERT_TRUE(FindCommandFactory("SwapProperty")->GetIcon(icon));
    EXPECT_STREQ(static_cast<const char*>(icon), "lumbra_Icon132");
    SetCommandCheck("NoSuchCommand", 1);
}

// Availability reaches the command's factory and its tool-bar button with
// the button's picture; a command without a button changes its factory
// only, and a name without either nothing.
TEST_F(MenuTableTest, AvailabilityReachesTheFactoryAndTheButton)
{
    ZuViewRef button;
    ASSERT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarUndo"), button));
    const ZuViewRef picture = ZuButtonRef(button)->RetContents();
    ASSERT_TRUE(picture.IsValid());
    for (bool on : {true, false, true}) {
        SCOPED_TRACE(on);
        RetEditShell().EnableCommand("Undo", on);
        EXPECT_EQ(FindCommandFactory("Undo")->RetEnable(), on);
        EXPECT_EQ(button->RetState().TestBit(ZU_VIEW_IS_ENABLED), on);
        EXPECT_EQ(picture->RetState().TestBit(ZU_VIEW_IS_ENABLED), on);
        EnableCommand("EndSelected", on);
        EXPECT_EQ(FindCommandFactory("EndSelected")->RetEnable(), on);
    }
    EnableCommand("NoSuchCommand", false);
    EnableCommand(nullptr, false);
    // Commands outside the selection's rules stay as the menu made them.
    EXPECT_TRUE(FindCommandFactory("FileNew")->RetEnable());
    EXPECT_TRUE(FindCommandFactory("SwapGrid")->RetEnable());
}

TEST_F(MenuTableTest, ViewStatesChangeAndRedisplayOnlyOnAChange)
{
    const ZuWindowRef& window = Main()->RetWindow();
    const ZuViewRef view = Main()->RetLeftColumn();
    Pump();
    SetViewOn(view, 2);
    EXPECT_FALSE(view->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_TRUE(window->RetDelayedRect().IsEmpty());
    SetViewOn(view, 1);
    EXPECT_TRUE(view->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_FALSE(window->RetDelayedRect().IsEmpty());
    Pump();
    SetViewEnabled(view, true);
    EXPECT_TRUE(window->RetDelayedRect().IsEmpty());
    SetViewEnabled(view, false);
    EXPECT_FALSE(view->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_FALSE(window->RetDelayedRect().IsEmpty());
    SetViewOn(ZuViewRef(), 1);
    SetToolbarButtonOn("NoSuchButton", 1);
}

TEST_F(MenuTableTest, IconButtonsShowTheirIconNumber)
{
    CButtonRef button;
    NewIconButton(button, Main()->RetTopBand(), 200, 5, 23, 23, 42, 139);
    ASSERT_TRUE(button.IsValid());
    EXPECT_EQ(button->RetParent(), Main()->RetTopBand());
    EXPECT_EQ(button->RetUserTag(), 42);
    EXPECT_STREQ(button->RetToolTip()->AccessLatin(), "Ouvrir");
    double x = 0, y = 0, w = 0, h = 0;
    button->GetOrigin(x, y);
    button->GetSize(w, h);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(w, 23);
    // Text buttons: neither tag nor icon.
    CButtonRef text;
    NewIconButton(text, Main()->RetTopBand(), 230, 5, 60, 23, -1, -1);
    EXPECT_EQ(text->RetUserTag(), 0);
    EXPECT_FALSE(text->RetToolTip().IsValid() && text->RetToolTip()->CharacterCount() != 0);
    NewIcon(text, 140);
    EXPECT_STREQ(text->RetToolTip()->AccessLatin(), "Enregistrer");
    // Box views: placed, untitled, framed by the adorner without relief.
    ZuViewRef box = NewBoxView(Main()->RetTopBand(), 3, 4, 50, 20);
    ASSERT_TRUE(box.IsValid());
    ASSERT_TRUE(box->IsKindOf(ZuBoxViewRef::RetRuntime()));
    box->GetOrigin(x, y);
    box->GetSize(w, h);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 4);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(box->RetParent(), Main()->RetTopBand());
    const ZuBoxViewRef framed(box);
    EXPECT_FALSE(framed->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_TRUE(framed->RetStyle().TestBit(ZU_CTRL_DRAW_ADORNER));
    EXPECT_FALSE(framed->RetEnableTitle());
}

} // namespace
