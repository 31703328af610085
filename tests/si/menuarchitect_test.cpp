// The menu architect: item sizes measured from icon, label and submenu
// arrow or fixed, the parts it puts into an item view, separators, and its
// stored form.
#include <gtest/gtest.h>

#include <vector>

#include "si/array.h"
#include "si/commandfactory.h"
#include "si/icon.h"
#include "si/lookman.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/menuarchitect.h"
#include "si/menusep.h"
#include "si/pictogram.h"
#include "si/providerview.h"
#include "si/viewprovider.h"
#include "si/string.h"
#include "si/texttag.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

class MenuArchitectTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        architect = ZuNew<ZuMenuArchitect>();
        ASSERT_TRUE(architect->Initialise(0.0, 0.0, true));
        // A 16 x 16 icon of the look for the items that show one.
        sheet = NewPixmap(32, 20, 20);
        ZuLookMan::Current()->AddUserIcon(ZuAtomRef("T_Menu16"), ZU_CTRL_STATE_NORMAL, sheet,
                                          ZuRect(0, 0, 15, 15));
    }
    void TearDown() override
    {
        for (ZuObjectRef& o : made)
            o->Delete();
        made.clear();
        architect->Delete();
        architect = ZuMenuArchitectRef();
        sheet = ZuGrailPixmapRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    ZuObjectRef Keep(const ZuObjectRef& o)
    {
        made.push_back(o);
        return o;
    }
    ZuObjectRef Item(const char* icon, const char* text)
    {
        ZuPictogramRef p = ZuNew<ZuPictogram>();
        p->DefineLabel(icon ? ZuAtomRef(icon) : ZuAtomRef(), ZuStringRef(),
                       text ? ZuStringRef(text) : ZuStringRef(), ZuStringRef(), ZuStringRef());
        return Keep(p);
    }
    // A factory labelled `text`, with one child command when `parent`.
    ZuObjectRef Factory(const char* text, bool parent)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>();
        f->Initialise(ZuAtomPathRef(), ZuAtomRef("Nothing"), true, false);
        f->DefineLabel(ZuAtomRef(), ZuStringRef(), ZuStringRef(text), ZuStringRef(), ZuStringRef());
        if (parent) {
            ZuCommandFactoryRef child = ZuNew<ZuCommandFactory>();
            child->Initialise(ZuAtomPathRef(), ZuAtomRef("Nothing"), true, false);
            Keep(child);
            ZuArrayRef children = ZuNew<ZuArray>();
            children->Insert(ZuObjectRef(child));
            f->SetChildFactories(children);
        }
        return Keep(f);
    }
    ZuProviderViewRef Cell(double w, double h)
    {
        ZuProviderViewRef cell = ZuNew<ZuProviderView>(Zuvi_app_zone);
        cell->Initialise(ZuViewProviderRef(), 0, 1, ZuRect(0, 0, w - 1, h - 1));
        Keep(cell);
        return cell;
    }
    static std::vector<ZuViewRef> Children(const ZuViewRef& cell)
    {
        std::vector<ZuViewRef> out;
        ZuViewRef v;
        for (bool ok = cell->GetFirstChild(v); ok; ok = v->GetNextSibling(v))
            out.push_back(v);
        return out;
    }
    static ZuGrailFontRef SysFont() { return ZuLookMan::Current()->RetSysFont(); }
    static double TextDx(const char* text)
    {
        return SysFont()->ComputeTextWidth(ZuStringRef(text));
    }
    static double TextDy() { return SysFont()->RetAscent() - SysFont()->RetDescent() + 4; }

    ZuMenuArchitectRef architect;
    ZuGrailPixmapRef sheet;
    std::vector<ZuObjectRef> made;
};

} // namespace

// Measured sizes with width and height 0: the icon column of 7 is kept even
// without an icon; an icon adds its best size; a submenu arrow adds 13 in a
// vertical menu only.
TEST_F(MenuArchitectTest, MeasuresIconLabelAndArrow)
{
    double bw = 7, bh = 3;
    ZuLookMan::Current()->GetBestIconSize(ZuAtomRef("T_Menu16"), bw, bh);
    const double text_h = TextDy() > 3 ? TextDy() : 3;
    struct Case {
        const char* name;
        ZuObjectRef item;
        bool vertical;
        double w, h;
    } cases[] = {
        {"label", Item(nullptr, "Ouvrir"), true, 7 + TextDx("Ouvrir") + 8, text_h},
        {"icon", Item("T_Menu16", nullptr), true, bw + 7, bh + 3},
        {"command", Factory("Fichier", false), true, 7 + TextDx("Fichier") + 8, text_h},
        {"submenu", Factory("Fichier", true), true, 7 + TextDx("Fichier") + 8 + 13,
         text_h > 13 ? text_h : 13},
        {"submenu in a row", Factory("Fichier", true), false, 7 + TextDx("Fichier") + 8, text_h},
        {"string", Keep(ZuStringRef("Texte")), true, 7 + TextDx("Texte") + 8, text_h},
    };
    for (const Case& c : cases) {
        architect->SetVertical(c.vertical);
        double w = -1, h = -1;
        ASSERT_TRUE(architect->GetViewSize(c.item, w, h)) << c.name;
        EXPECT_DOUBLE_EQ(w, c.w) << c.name;
        EXPECT_DOUBLE_EQ(h, c.h) << c.name;
    }
}

TEST_F(MenuArchitectTest, FixedSizesWinOverMeasuredOnes)
{
    ZuObjectRef item = Item(nullptr, "Ouvrir");
    double w = 0, h = 0;
    architect->SetWidth(120);
    ASSERT_TRUE(architect->GetViewSize(item, w, h));
    EXPECT_EQ(w, 120);
    EXPECT_DOUBLE_EQ(h, TextDy() > 3 ? TextDy() : 3);
    architect->SetHeight(30);
    ASSERT_TRUE(architect->GetViewSize(item, w, h));
    EXPECT_EQ(w, 120);
    EXPECT_EQ(h, 30);
}

// A separator is 8 across the menu's direction; it is a ZuMenuSep and its
// cell takes no mouse event.
TEST_F(MenuArchitectTest, AnEmptyElementIsASeparator)
{
    double w = -1, h = -1;
    architect->SetWidth(50);
    architect->SetHeight(20);
    ASSERT_TRUE(architect->GetViewSize(ZuObjectNull, w, h));
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 8);
    architect->SetVertical(false);
    ASSERT_TRUE(architect->GetViewSize(ZuObjectNull, w, h));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 20);

    ZuProviderViewRef cell = Cell(8, 20);
    ASSERT_TRUE(architect->CreateView(ZuObjectNull, cell));
    std::vector<ZuViewRef> parts = Children(cell);
    ASSERT_EQ(parts.size(), 1u);
    ASSERT_TRUE(parts[0]->IsKindOf(ZuMenuSepRef::RetRuntime()));
    EXPECT_EQ(ZuMenuSepRef(parts[0])->RetMargin(), 2);
    EXPECT_TRUE(parts[0]->RetBox() == ZuRect(0, 0, 7, 19));
    EXPECT_TRUE(cell->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_FALSE(parts[0]->RetState().TestBit(ZU_VIEW_IS_ENABLED));
}

// The label starts after the icon column (7 without icon), leaves the
// arrow's 13 free, and every part lets the mouse through to the cell.
TEST_F(MenuArchitectTest, PlacesLabelAndArrowInTheCell)
{
    ZuProviderViewRef cell = Cell(100, 20);
    ASSERT_TRUE(architect->CreateView(Factory("Fichier", true), cell));
    std::vector<ZuViewRef> parts = Children(cell);
    ASSERT_EQ(parts.size(), 2u);
    ASSERT_TRUE(parts[0]->IsKindOf(ZuTextTagRef::RetRuntime()));
    ZuTextTagRef tag(parts[0]);
    EXPECT_TRUE(tag->RetBox() == ZuRect(7, 0, 86, 19));
    EXPECT_STREQ(tag->RetText()->AccessLatin(), "Fichier");
    ASSERT_TRUE(parts[1]->IsKindOf(ZuIconRef::RetRuntime()));
    EXPECT_TRUE(ZuIconRef(parts[1])->RetIcon() == "Zuvi_SubmenuRight");
    EXPECT_TRUE(parts[1]->RetBox() == ZuRect(87, 0, 99, 19));
    for (const ZuViewRef& part : parts)
        EXPECT_TRUE(part->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_FALSE(cell->RetState().TestBit(ZU_VIEW_NO_DETECT));

    ZuProviderViewRef with_icon = Cell(100, 20);
    ASSERT_TRUE(architect->CreateView(Item("T_Menu16", "Ouvrir"), with_icon));
    parts = Children(with_icon);
    ASSERT_EQ(parts.size(), 2u);
    double iw = 0, ih = 0;
    ZuIconRef(parts[0])->GetIconSize(iw, ih);
    EXPECT_EQ(parts[0]->RetBox().X1(), 3);
    EXPECT_EQ(parts[0]->RetBox().Y1(), 1);
    EXPECT_EQ(parts[1]->RetBox().X1(), iw + 7);
}

// A disabled command's cell is disabled with its label and icon, each in
// its dimmed state, so that the row draws greyed; the same cell made again
// once the command is enabled is enabled throughout.
TEST_F(MenuArchitectTest, ADisabledCommandIsGreyedThroughout)
{
    ZuCommandFactoryRef factory(Factory("Supprimer", false));
    factory->SetIcon(ZuAtomRef("T_Menu16"));
    ZuProviderViewRef cell = Cell(100, 20);
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled);
        factory->SetEnable(enabled);
        for (const ZuViewRef& part : Children(cell))
            part->Delete();
        ASSERT_TRUE(architect->CreateView(ZuObjectRef(factory), cell));
        EXPECT_EQ(cell->RetState().TestBit(ZU_VIEW_IS_ENABLED), enabled);
        const std::vector<ZuViewRef> parts = Children(cell);
        ASSERT_EQ(parts.size(), 2u);
        for (const ZuViewRef& part : parts) {
            EXPECT_EQ(part->RetState().TestBit(ZU_VIEW_IS_ENABLED), enabled);
            EXPECT_EQ(ZuControlRef(part)->RetInteractiveState(),
                      enabled ? ZU_CTRL_STATE_NORMAL : ZU_CTRL_STATE_NORMAL_DIMMED);
        }
    }
}

TEST_F(MenuArchitectTest, AnElementWithNothingToShowGetsNoView)
{
    ZuObjectRef other = Keep(ZuNew<ZuArray>());
    double w = 0, h = 0;
    EXPECT_FALSE(architect->GetViewSize(other, w, h));
    ZuProviderViewRef cell = Cell(50, 20);
    EXPECT_FALSE(architect->CreateView(other, cell));
    EXPECT_TRUE(Children(cell).empty());
}

TEST_F(MenuArchitectTest, StoresAndCopiesItsSizes)
{
    architect->SetWidth(90);
    architect->SetHeight(18);
    architect->SetVertical(false);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(architect);
    ZuTestStorageRef r = ZuTestStorage::Make();
    r->StartRestoring(s->Bytes());
    ZuObjectRef out;
    r->RestoreObject(out, ZuObjectRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuMenuArchitectRef::RetRuntime()));
    ZuMenuArchitectRef back(Keep(out));
    EXPECT_EQ(back->RetWidth(), 90);
    EXPECT_EQ(back->RetHeight(), 18);
    EXPECT_FALSE(back->RetVertical());

    ZuMenuArchitectRef copy = ZuNew<ZuMenuArchitect>();
    Keep(copy);
    copy->Copy(architect);
    EXPECT_EQ(copy->RetWidth(), 90);
    EXPECT_EQ(copy->RetHeight(), 18);
    EXPECT_FALSE(copy->RetVertical());
}
