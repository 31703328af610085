// The attributes palette as the user and the program meet it: the default
// definitions of start-up in every card, the tabs and the closed-path
// switch shown for the kinds in use, falling back to another page, the
// several-definitions warning, its reports under "def" and the modified
// kinds the page view applies to the selection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/closedef.h"
#include "app/colordef.h"
#include "app/defdlg.h"
#include "app/grarect.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "app/pendef.h"
#include "app/selectobject.h"
#include "app/treenode.h"
#include "si/cardtab.h"
#include "tests/app/panetest.h"
#include "tests/app/shelltest.h"

namespace {

std::string ClassOf(const ZuObjectRef& o)
{
    return o.IsValid() ? o->RetRuntime()->RetClassName() : "";
}

class DefDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        dlg = app->RetDefDlg();
        ASSERT_TRUE(dlg.IsValid());
        listener = ZuNew<TDefListener>(Zuvi_app_zone);
        app->AttachAsyncObserver(listener, ZuAtomPathRef("def.notify_Modify"), ZuTextRef("Modify"),
                                 0);
    }
    void TearDown() override
    {
        app->FireAsyncEvents();
        app->DetachAsyncObserver(listener, ZuAtomPathRef("def.notify_Modify"), ZuTextRef("Modify"),
                                 0);
        listener = TDefListenerRef();
        dlg = CDefDlgRef();
        ShellTest::TearDown();
    }
    void Open()
    {
        dlg->Hide(false);
        Pump();
    }
    std::string Reports()
    {
        app->FireAsyncEvents();
        std::string out = listener->log;
        listener->log.clear();
        return out;
    }
    // A click at the middle of a view of the dialog (boxes are in window
    // coordinates).
    void ClickOn(const ZuViewRef& v)
    {
        const ZuRect& b = v->RetBox();
        W32_AdvanceTestClock(1000);
        Click(dlg->RetWindow(), b.X1() + b.DX() / 2, b.Y1() + b.DY() / 2);
    }
    void ClickCard(int page, int card)
    {
        const ZuCardStackRef stack = dlg->RetCardStack(page);
        stack->UpdateTabGeometry();
        ClickOn(ZuViewRef(ZuObjectRef(stack->RetTabs()[unsigned(card)])));
    }
    unsigned Cards(int page)
    {
        const ZuCardStackRef stack = dlg->RetCardStack(page);
        stack->UpdateTabGeometry();
        return stack->RetTabCount();
    }
    static bool Shown(const ZuViewRef& v) { return v.IsValid() && v->RetParent().IsValid(); }
    std::string ShownTabs()
    {
        std::string out;
        for (int p = 0; p < 5; ++p)
            out += Shown(dlg->RetTabButton(p)) ? char('0' + p) : '-';
        return out;
    }
    std::vector<int> Modified()
    {
        const int* list = nullptr;
        int count = 0;
        dlg->RetModifiedKinds(&list, &count);
        return std::vector<int>(list, list + count);
    }
    void Colour(int kind, int index, double& r, double& g, double& b)
    {
        // A copy, so that looking at stored colours changes nothing shown.
        CColorDefRef c = CColorDefRef(ZuObjectRef(NewDefinition(20)));
        c->CopyFrom(dlg->RetDefinition(kind));
        c->SetCount(10);
        c->SetIndex(index);
        c->GetRGB(r, g, b);
    }

    CDefDlgRef dlg;
    TDefListenerRef listener;
};

const int kAllKinds[] = {10, 15, 11, 12,  20,  25,  21,  22,  50,  51, 40,
                         41, 30, 31, 100, 105, 101, 102, 120, 125, 0};

} // namespace

TEST_F(DefDlgTest, StartUpLeavesEachCardWithItsDefaultDefinition)
{
    const ZuRect box = dlg->RetWindow()->RetWindowBox();
    EXPECT_EQ(box.X1(), 300);
    EXPECT_EQ(box.Y1(), 300);
    EXPECT_EQ(box.DX(), 413);
    EXPECT_EQ(box.DY(), 257);
    EXPECT_FALSE(dlg->RetWindow()->IsVisible());

    const struct {
        int kind;
        const char* cls;
        int value;
    } cards[] = {{10, "CPenDef", -2},     {15, "CColorDef", 52},  {11, "CPatternDef", -2},
                 {12, "CPulsarDef", -2},  {20, "CMotifDef", 60},  {25, "CColorDef", 52},
                 {21, "CPatternDef", -2}, {22, "CPulsarDef", -2}, {50, "CPolyRegDef", -2},
                 {51, "CArcDef", -2},     {40, "CArrowDef", 66},  {41, "CArrowDef", 67},
                 {30, "CCornerDef", -2},  {31, "CCornerDef", -2}, {100, "CPositionDef", -2},
                 {105, "CColorDef", 53},  {101, "CMotifDef", 60}, {102, "CPatternDef", -2},
                 {120, "CFontDef", -2},   {125, "CColorDef", 52}};
    for (const auto& c : cards) {
        SCOPED_TRACE(c.kind);
        const CDefRef def = dlg->RetDefinition(c.kind);
        ASSERT_TRUE(def.IsValid());
        EXPECT_EQ(ClassOf(def), c.cls);
        if (c.value != -2) {
            EXPECT_EQ(def->GetValue(), c.value);
        }
        EXPECT_EQ(def->GetCount(), 1);
        EXPECT_EQ(def->GetIndex(), 0);
    }
    EXPECT_DOUBLE_EQ(CPenDefRef(ZuObjectRef(dlg->RetDefinition(10)))->GetWidth(), 0.5);
    // Only the first colour is in use; the others stay stored.
    const struct {
        int kind, index;
        double r, g, b;
    } colours[] = {{15, 0, 0, 0, 0}, {15, 1, 1, 0, 0},           {15, 5, 0, 1, 1},
                   {25, 0, 0, 1, 1}, {25, 5, 1, 0, 1},           {25, 7, 0.5, 0.5, 0.5},
                   {25, 9, 0, 0, 0}, {105, 0, 0.75, 0.75, 0.75}, {125, 0, 0, 0, 0}};
    for (const auto& c : colours) {
        SCOPED_TRACE(c.kind * 100 + c.index);
        double r = -1, g = -1, b = -1;
        Colour(c.kind, c.index, r, g, b);
        EXPECT_NEAR(r, c.r, 1e-6);
        EXPECT_NEAR(g, c.g, 1e-6);
        EXPECT_NEAR(b, c.b, 1e-6);
    }
    // Both corner kinds come from one object.
    EXPECT_TRUE(dlg->RetDefinition(30)->IsEqualCurrent(dlg->RetDefinition(31)));

    // Kinds outside the table have nothing; kind 18 is the switch.
    EXPECT_FALSE(dlg->RetDefinition(7).IsValid());
    EXPECT_FALSE(dlg->SetDefinition(7, dlg->RetDefinition(10)));
    EXPECT_FALSE(dlg->HasPane(7));
    dlg->EnablePane(7, false);
    EXPECT_FALSE(dlg->RetPane(7).IsValid());
    const CDefRef closed = dlg->RetDefinition(18);
    ASSERT_EQ(ClassOf(closed), "CCloseDef");
    EXPECT_FALSE(CCloseDefRef(ZuObjectRef(closed))->GetClosed());
    CCloseDefRef on = ZuNew<CCloseDef>(Zuvi_app_zone);
    on->SetClosed(true);
    EXPECT_TRUE(dlg->SetDefinition(18, CDefRef(ZuObjectRef(on))));
    EXPECT_TRUE(dlg->RetCloseSwitch()->RetSwitchState());
    EXPECT_TRUE(CCloseDefRef(ZuObjectRef(dlg->RetDefinition(18)))->GetClosed());
    EXPECT_FALSE(dlg->SetDefinition(18, dlg->RetDefinition(10)));
}

TEST_F(DefDlgTest, TheKindsInUseChooseTheTabsTheSwitchAndThePage)
{
    Open();
    const int stroke[] = {10, 15, 11, 12, 0};
    dlg->SetUsedKinds(stroke, nullptr);
    EXPECT_EQ(ShownTabs(), "0----");
    EXPECT_FALSE(Shown(dlg->RetCloseSwitch()));
    EXPECT_EQ(Cards(0), 4u);

    const int closed[] = {10, 18, 25, 0};
    dlg->SetUsedKinds(closed, nullptr);
    EXPECT_EQ(ShownTabs(), "01---");
    EXPECT_TRUE(Shown(dlg->RetCloseSwitch()));
    // Only the used cards are offered.
    EXPECT_EQ(Cards(0), 1u);

    dlg->SetUsedKinds(nullptr, nullptr);
    EXPECT_EQ(ShownTabs(), "-----");
    EXPECT_FALSE(Shown(dlg->RetCloseSwitch()));

    // Clicks on the tab buttons and on the cards.
    dlg->SetUsedKinds(kAllKinds, nullptr);
    EXPECT_EQ(ShownTabs(), "01234");
    ClickOn(dlg->RetTabButton(2));
    EXPECT_EQ(dlg->RetCurrentPage(), 2);
    EXPECT_TRUE(Shown(dlg->RetCardStack(2)));
    EXPECT_FALSE(Shown(dlg->RetCardStack(0)));
    ClickCard(2, 4);
    EXPECT_EQ(dlg->RetCurrentEntry(2), 4);
    EXPECT_TRUE(Shown(dlg->RetPane(30)));
    ClickOn(dlg->RetTabButton(1));
    EXPECT_EQ(dlg->RetCurrentPage(), 1);
    ClickCard(1, 1);
    EXPECT_EQ(dlg->RetCurrentEntry(1), 1);
    EXPECT_TRUE(Shown(dlg->RetPane(25)));

    // The entry stays while its kind is used, else the page's first used
    // one; a page left without kinds gives way in the order 0 1 2 4 3.
    const int fill[] = {20, 25, 0};
    dlg->SetUsedKinds(fill, nullptr);
    EXPECT_EQ(dlg->RetCurrentPage(), 1);
    EXPECT_EQ(dlg->RetCurrentEntry(1), 1);
    const int motif[] = {20, 0};
    dlg->SetUsedKinds(motif, nullptr);
    EXPECT_EQ(dlg->RetCurrentEntry(1), 0);
    const int shadow_font[] = {100, 120, 0};
    dlg->SetUsedKinds(shadow_font, nullptr);
    EXPECT_EQ(dlg->RetCurrentPage(), 4);
    const int shadow[] = {105, 100, 0};
    dlg->SetUsedKinds(shadow, nullptr);
    EXPECT_EQ(dlg->RetCurrentPage(), 3);
    EXPECT_TRUE(Shown(dlg->RetCardStack(3)));
    // A page whose first kind is not used is passed over.
    const int odd[] = {105, 0};
    dlg->SetUsedKinds(odd, nullptr);
    EXPECT_EQ(dlg->RetCurrentPage(), 3);

    // The text about the selection, with its mark before it.
    dlg->SetSelectionInfo(ZuStringRef("2 objets"));
    EXPECT_STREQ(dlg->RetInfoTag()->RetText()->AccessLatin(), "2 objets");
    EXPECT_TRUE(Shown(dlg->RetInfoSeparator()));
    dlg->SetSelectionInfo(ZuStringRef(""));
    EXPECT_STREQ(dlg->RetInfoTag()->RetText()->AccessLatin(), "Aucun objet s\xe9lectionn\xe9");
    EXPECT_FALSE(Shown(dlg->RetInfoSeparator()));

    // Tags outside the pages are refused.
    CButtonRef stray = ZuNew<CButton>(Zuvi_app_zone);
    stray->SetUserTag(110);
    EXPECT_FALSE(dlg->OnClickDef(ZuObjectRef(stray), 0));
    stray->SetUserTag(99);
    EXPECT_FALSE(dlg->OnClickDef(ZuObjectRef(stray), 0));
    stray->Delete();
}

TEST_F(DefDlgTest, ThePenVariantEnablesTheBrushAndPulsarCards)
{
    Open();
    dlg->SetUsedKinds(kAllKinds, nullptr);
    // The plain pen of start-up leaves the brush and pulsar cards disabled.
    EXPECT_FALSE(dlg->RetPane(11)->IsViewEnabled());
    EXPECT_FALSE(dlg->RetPane(12)->IsViewEnabled());
    EXPECT_TRUE(dlg->RetPane(15)->IsViewEnabled());
    ClickCard(0, 0);
    const CDefViewRef pen = dlg->RetPane(10);
    ClickOn(pen->RetTagged(CDefView::STYLE_TAG + 1));
    EXPECT_EQ(dlg->RetDefinition(10)->GetValue(), 41);
    EXPECT_TRUE(dlg->RetPane(11)->IsViewEnabled());
    EXPECT_TRUE(dlg->RetPane(12)->IsViewEnabled());
    ClickCard(0, 2);
    EXPECT_TRUE(Shown(dlg->RetPane(11)));
    EXPECT_FALSE(dlg->RetPane(11)->RetShownPane() ==
                 dlg->RetPane(11)->RetPaneAt(CDefView::PLAIN_SLOT));
    ClickCard(0, 0);
    ClickOn(pen->RetTagged(CDefView::STYLE_TAG));
    EXPECT_FALSE(dlg->RetPane(11)->IsViewEnabled());
    EXPECT_TRUE(dlg->RetPane(11)->RetShownPane() ==
                dlg->RetPane(11)->RetPaneAt(CDefView::PLAIN_SLOT));
}

TEST_F(DefDlgTest, ReadingAKindHeldSeveralWaysClearsItsWarning)
{
    Open();
    const int used[] = {10, 15, 0};
    const int several[] = {15, 0};
    dlg->SetUsedKinds(used, several);
    EXPECT_TRUE(dlg->IsSeveral(15));
    EXPECT_FALSE(Shown(dlg->RetSeveralButton()));
    ClickCard(0, 1);
    EXPECT_TRUE(Shown(dlg->RetSeveralButton()));
    ClickCard(0, 0);
    EXPECT_FALSE(Shown(dlg->RetSeveralButton()));
    ClickCard(0, 1);
    ASSERT_TRUE(Shown(dlg->RetSeveralButton()));
    EXPECT_TRUE(dlg->RetDefinition(15).IsValid());
    EXPECT_FALSE(dlg->IsSeveral(15));
    EXPECT_FALSE(Shown(dlg->RetSeveralButton()));
}

TEST_F(DefDlgTest, TheSwitchReportsOnceAndEachModifiedKindIsListedOnce)
{
    Open();
    const int used[] = {10, 18, 0};
    dlg->SetUsedKinds(used, nullptr);
    Reports();
    ClickOn(dlg->RetCloseSwitch());
    EXPECT_TRUE(dlg->RetCloseSwitch()->RetSwitchState());
    EXPECT_EQ(Modified(), std::vector<int>{18});
    ClickOn(dlg->RetCloseSwitch());
    EXPECT_FALSE(dlg->RetCloseSwitch()->RetSwitchState());
    EXPECT_EQ(Modified(), std::vector<int>{18});
    // The page view takes the list when the report arrives.
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_TRUE(Modified().empty());

    // A kind is added once; the list never holds more than 100.
    for (int i = 0; i < 5; ++i)
        dlg->AddModifiedKind(25);
    EXPECT_EQ(Modified(), std::vector<int>{25});
    for (int k = 1; k <= 150; ++k)
        dlg->AddModifiedKind(k);
    const std::vector<int> list = Modified();
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list[0], 25);
    EXPECT_EQ(list[1], 1);
    EXPECT_EQ(list[99], 100);
    dlg->ClearModifiedKinds();
    EXPECT_TRUE(Modified().empty());
}

TEST_F(DefDlgTest, ThePageViewGivesTheModifiedKindsToTheSelection)
{
    const CPageViewRef view(Main()->RetPageView());
    const CSelectObjectRef sel = view->RetSelectObject();
    CTreeNodeRef layer;
    sel->GetEditParent(layer);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone);
    const DPoint corners[2] = {{-20, -20}, {20, 20}};
    rect->SetPoints(corners, 2);
    CTreeNodeRef node = ZuNew<CTreeNode>(Zuvi_app_zone);
    node->SetObject(rect);
    node->InsertLastChild(layer);
    sel->EndSelection();
    sel->AddToSelection(node);
    Pump();

    CColorDefRef fill(ZuObjectRef(dlg->RetDefinition(25)));
    fill->SetRGB(1, 0, 0);
    dlg->AddModifiedKind(25);
    dlg->NotifyChange(false, false);
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_TRUE(Modified().empty());
    // The selected rectangle (a copy of it, for undo) holds the red fill.
    CTreeNodeRef now;
    sel->GetFirstSelectedNode(now);
    ASSERT_TRUE(now.IsValid());
    ZuObjectRef held;
    ASSERT_TRUE(CGraObjectRef(now->RetObject())->GetDefinition(25, held));
    double r = 0, g = 0, b = 0;
    CColorDefRef(held)->GetRGB(r, g, b);
    EXPECT_NEAR(r, 1, 1e-6);
    EXPECT_NEAR(g, 0, 1e-6);
}

// The palette's "Attributs" entry brings the window up, and the summary of
// the selection reaches it as the selection changes.
TEST_F(DefDlgTest, ThePaletteEntryShowsItAndTheSelectionIsSummarised)
{
    const CPageViewRef view(Main()->RetPageView());
    dlg->Hide(true);
    Pump();
    ASSERT_FALSE(dlg->RetWindow()->IsVisible());
    view->ClickTool(30, ZuEventRef());
    Pump();
    EXPECT_TRUE(dlg->RetWindow()->IsVisible());

    const CSelectObjectRef sel = view->RetSelectObject();
    CTreeNodeRef layer;
    sel->GetEditParent(layer);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone);
    const DPoint corners[2] = {{-20, -20}, {20, 20}};
    rect->SetPoints(corners, 2);
    CTreeNodeRef node = ZuNew<CTreeNode>(Zuvi_app_zone);
    node->SetObject(rect);
    node->InsertLastChild(layer);
    sel->EndSelection();
    sel->AddToSelection(node);
    view->UpdateStatus();
    ZuStringRef ours;
    ASSERT_TRUE(rect->GetTypeName(ours));
    EXPECT_STREQ(dlg->RetInfoTag()->RetText()->AccessLatin(), ours->AccessLatin());
    sel->EndSelection();
    view->UpdateStatus();
    EXPECT_STREQ(dlg->RetInfoTag()->RetText()->AccessLatin(), "Aucun objet s\xe9lectionn\xe9");
}
