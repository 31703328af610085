// The settings window as the user meets it: opened by the page view's
// command, its tabs, the close button, and the format, units and
// duplication tabs writing straight into the document and the view
// settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/duplsetup.h"
#include "app/formatsetup.h"
#include "app/ichangeunit.h"
#include "app/pageview.h"
#include "app/setupdlg.h"
#include "app/unitsetup.h"
#include "si/cardtab.h"
#include "si/texttag.h"
#include "tests/app/setuptest.h"
#include "tests/support/text.h"

// An object that follows the main unit.
ZU_HANDLE(TSetupUnitProbe, ZuObject)
class TSetupUnitProbe : public ZuObject, public IChangeUnit {
    ZU_CLASS(TSetupUnitProbe, ZuObject)
public:
    TSetupUnitProbe() {}
    void ChangeUnit(int unit) override { calls.push_back(unit); }
    std::vector<int> calls;
};
ZU_CLASS_END(TSetupUnitProbe)
ZU_IMPLEMENT_CLASS(TSetupUnitProbe, "tests/app/setupdlg_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TSetupUnitProbe, IChangeUnit)

namespace {

class SetupDlgTest : public SetupTest {
protected:
    void SetPage(double w, double h)
    {
        Doc()->SetPageSize(w, h);
        dlg->Update(0, 0);
    }
};

} // namespace

TEST_F(SetupDlgTest, TheCommandOpensTheWindowWithItsSixTabsInOrder)
{
    EXPECT_FALSE(Shown());
    Open();
    EXPECT_EQ(Text(dlg->RetWindow()->RetTitle()), "R\xe9glages");
    const ZuRect box = dlg->RetWindow()->RetWindowBox();
    EXPECT_EQ(box.X1(), 350);
    // At least its first size, and the card stack's with a border of 2.
    EXPECT_GE(box.DX(), 268);
    EXPECT_GE(box.DY(), 200);
    EXPECT_EQ(box.DX(), dlg->RetCardStack()->RetBox().DX() + 4);
    EXPECT_EQ(box.DY(), dlg->RetCardStack()->RetBox().DY() + 4);
    const char* labels[] = {"Format", "Grille", "Guides", "Divers", "Unit\xe9", "Couleurs"};
    const char* classes[] = {"CFormatSetup", "CGridSetup", "CGuideSetup",
                             "CDuplSetup",   "CUnitSetup", "CColorSetup"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(CSetupDlg::TabLabel(i), labels[i]);
        ASSERT_TRUE(dlg->RetPane(i).IsValid());
        EXPECT_STREQ(dlg->RetPane(i)->RetRuntime()->RetClassName(), classes[i]);
        EXPECT_TRUE(dlg->RetPane(i)->RetPageView() == View());
    }
    for (int i = 6; i < 10; ++i)
        EXPECT_TRUE(dlg->RetPane(i).IsInvalid());
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 0u);

    // A second Create changes nothing.
    const CSetupPaneRef first = dlg->RetPane(0);
    EXPECT_TRUE(dlg->Create(10, 10));
    EXPECT_EQ(dlg->RetWindow()->RetWindowBox().X1(), 350);
    EXPECT_TRUE(dlg->RetPane(0) == first);
}

TEST_F(SetupDlgTest, UpdateBringsTheTopicsTabToTheFront)
{
    Open();
    struct Case {
        int topic;
        unsigned tab;
    } cases[] = {{1, 1}, {0, 1}, {2, 3}, {3, 4}, {4, 2}, {7, 2}, {-1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topic);
        dlg->Update(c.topic, 0);
        EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), c.tab);
    }
    // Every pane is refreshed whatever the topic.
    Doc()->SetPageSize(297.0, 210.0);
    dlg->Update(9, 0);
    EXPECT_TRUE(On(Format()->RetLandscapeSwitch()));
}

TEST_F(SetupDlgTest, ATabChosenWithTheMouseChangesNoSetting)
{
    Open();
    const double w = Doc()->GetPageWidth(), h = Doc()->GetPageHeight();
    const int unit = Doc()->GetUnit(0);
    ClickTab(4);
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 4u);
    EXPECT_TRUE(Unit()->RetWindow() == dlg->RetWindow());
    ClickTab(3);
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 3u);
    EXPECT_EQ(Doc()->GetPageWidth(), w);
    EXPECT_EQ(Doc()->GetPageHeight(), h);
    EXPECT_EQ(Doc()->GetUnit(0), unit);
}

TEST_F(SetupDlgTest, CloseShutsTheWholeWindowAndTheCommandOpensItAgain)
{
    // A bare pane: its placeholder and "Fermer".
    const CSetupPaneRef bare = ZuNew<CSetupPane>(Zuvi_app_zone);
    bare->Build();
    auto children = [](const CSetupPaneRef& pane, bool& placeholder, ZuButtonRef& close) {
        placeholder = false;
        ZuViewRef c;
        for (pane->GetFirstChild(c); c.IsValid();) {
            if (c->IsKindOf(ZuTextTagRef::RetRuntime())) {
                const ZuTextRef t = ZuTextTagRef(c)->RetText();
                placeholder |= t.IsValid() && Text(t->RetString()) == "(aucun r\xe9glage)";
            }
            if (c->IsKindOf(ZuButtonRef::RetRuntime()) && c->RetBox().DX() == 60)
                close = ZuButtonRef(c);
            ZuViewRef next;
            c->GetNextSibling(next);
            c = next;
        }
    };
    bool placeholder = false;
    ZuButtonRef close;
    children(bare, placeholder, close);
    EXPECT_TRUE(placeholder);
    ASSERT_TRUE(close.IsValid());
    EXPECT_EQ(close->RetBox().DX(), 60);
    bare->Delete();

    // The grid tab's own "Fermer", and no placeholder there.
    Open();
    ClickTab(1);
    close = ZuButtonRef();
    children(dlg->RetPane(1), placeholder, close);
    EXPECT_FALSE(placeholder);
    ASSERT_TRUE(close.IsValid());
    EXPECT_EQ(close->RetBox().X1() - dlg->RetPane(1)->RetBox().X1(), 188);
    // Its lower part: the slider of the entry above reaches into the top.
    ClickView(close, 30, 20);
    EXPECT_FALSE(Shown());
    Open();
    EXPECT_TRUE(Send(ZuObjectRef(dlg->RetPane(1)), "OnClose"));
    EXPECT_FALSE(Shown());
}

TEST_F(SetupDlgTest, PanesWithoutDocumentIgnoreUpdate)
{
    CFormatSetupRef pane = ZuNew<CFormatSetup>(Zuvi_app_zone);
    pane->Build();
    pane->Update(0, 0); // before any page view
    EXPECT_EQ(pane->RetFormatList()->RetSelected(), -1);
    pane->SetPageView(CPageViewRef());
    pane->Update(0, 0);
    EXPECT_TRUE(pane->RetDocument().IsInvalid());
    EXPECT_EQ(pane->RetFormatList()->RetSelected(), -1);
    EXPECT_TRUE(Send(ZuObjectRef(pane), "OnScrollList"));
    pane->Delete();
}

TEST_F(SetupDlgTest, TheFormatListAndSwitchesFollowThePageSize)
{
    Open();
    struct Case {
        double w, h;
        int row;
        bool portrait, landscape;
    } cases[] = {
        {210.0, 297.0, 4, true, false},
        {297.0, 210.0, 4, false, true},
        {215.9, 279.4, 11, true, false},
        {355.6, 215.9, 12, false, true},
        {297.0, 297.0, 0, false, false},
        {100.0, 120.0, 0, true, false},
        {0.0, 297.0, 0, true, false},
        {-5.0, -5.0, 0, false, false},
        {1e300, 210.0, 0, false, true},
        {std::numeric_limits<double>::quiet_NaN(), 297.0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        SetPage(c.w, c.h);
        EXPECT_EQ(Format()->RetFormatList()->RetSelected(), c.row);
        EXPECT_EQ(On(Format()->RetPortraitSwitch()), c.portrait);
        EXPECT_EQ(On(Format()->RetLandscapeSwitch()), c.landscape);
        // Showing the stored values writes nothing back.
        if (std::isnan(c.w))
            EXPECT_TRUE(std::isnan(Doc()->GetPageWidth()));
        else
            EXPECT_EQ(Doc()->GetPageWidth(), c.w);
        EXPECT_EQ(Doc()->GetPageHeight(), c.h);
        const double shown = Format()->RetWidthEntry()->GetValue();
        EXPECT_GE(shown, 1.0);
        EXPECT_LE(shown, 1000.0);
    }
}

TEST_F(SetupDlgTest, ChoosingAFormatKeepsTheOrientationAndRenders)
{
    Open();
    SetPage(300.0, 200.0);
    View()->SetRenderNeeded(false);
    ClickRow(Format()->RetFormatList(), 3); // "A3"
    EXPECT_EQ(Doc()->GetPageWidth(), 420.0);
    EXPECT_EQ(Doc()->GetPageHeight(), 297.0);
    EXPECT_TRUE(On(Format()->RetLandscapeSwitch()));
    EXPECT_FALSE(On(Format()->RetPortraitSwitch()));
    EXPECT_NEAR(Format()->RetWidthEntry()->GetValue(), 420.0, 1e-9);
    // The click's pump has rendered already: the handler by name shows
    // that the change asks for rendering.
    Format()->RetFormatList()->Select(4);
    EXPECT_TRUE(Send(ZuObjectRef(Format()), "OnScrollList"));
    EXPECT_EQ(Doc()->GetPageWidth(), 297.0);
    EXPECT_TRUE(View()->IsRenderNeeded());

    // "Personnalisé" changes nothing.
    ClickRow(Format()->RetFormatList(), 0);
    View()->SetRenderNeeded(false);
    EXPECT_TRUE(Send(ZuObjectRef(Format()), "OnScrollList"));
    EXPECT_EQ(Doc()->GetPageWidth(), 297.0);
    EXPECT_FALSE(View()->IsRenderNeeded());
}

TEST_F(SetupDlgTest, OrientationSwitchesSwapOnlyAPageTheOtherWay)
{
    Open();
    SetPage(210.0, 297.0);
    View()->SetRenderNeeded(false);
    ClickView(Format()->RetPortraitSwitch());
    EXPECT_EQ(Doc()->GetPageWidth(), 210.0);
    EXPECT_FALSE(View()->IsRenderNeeded());
    ClickView(Format()->RetLandscapeSwitch());
    EXPECT_EQ(Doc()->GetPageWidth(), 297.0);
    EXPECT_EQ(Doc()->GetPageHeight(), 210.0);
    EXPECT_TRUE(On(Format()->RetLandscapeSwitch()));
    EXPECT_FALSE(On(Format()->RetPortraitSwitch()));
    View()->SetRenderNeeded(false);
    EXPECT_TRUE(Send(ZuObjectRef(Format()), "OnPortrait"));
    EXPECT_TRUE(View()->IsRenderNeeded());
    EXPECT_EQ(Doc()->GetPageWidth(), 210.0);
    ClickView(Format()->RetLandscapeSwitch());
    ClickView(Format()->RetPortraitSwitch());
    EXPECT_EQ(Doc()->GetPageWidth(), 210.0);

    // A square page: neither switch swaps and both stay off.
    SetPage(297.0, 297.0);
    for (const ZuSwitchRef& s : {Format()->RetPortraitSwitch(), Format()->RetLandscapeSwitch()}) {
        ClickView(s);
        EXPECT_EQ(Doc()->GetPageWidth(), 297.0);
        EXPECT_EQ(Doc()->GetPageHeight(), 297.0);
        EXPECT_FALSE(On(Format()->RetPortraitSwitch()));
        EXPECT_FALSE(On(Format()->RetLandscapeSwitch()));
    }
}

TEST_F(SetupDlgTest, TypedSidesAreClampedAndNeverZero)
{
    Open();
    struct Case {
        const char* typed;
        double width;
    } cases[] = {{"297", 297.0}, {"5000", 1000.0}, {"0", 1.0}, {"-20", 1.0}, {"12.5", 12.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SetPage(210.0, 297.0);
        View()->SetRenderNeeded(false);
        TypeInto(Format()->RetWidthEntry(), c.typed);
        EXPECT_NEAR(Doc()->GetPageWidth(), c.width, 1e-9);
        EXPECT_EQ(Doc()->GetPageHeight(), 297.0);
        EXPECT_TRUE(View()->IsRenderNeeded());
    }
    // 297 x 297 after typing the height too: a square, "Personnalisé".
    SetPage(210.0, 297.0);
    TypeInto(Format()->RetWidthEntry(), "297");
    EXPECT_EQ(Format()->RetFormatList()->RetSelected(), 0);
    EXPECT_FALSE(On(Format()->RetPortraitSwitch()));
    EXPECT_FALSE(On(Format()->RetLandscapeSwitch()));
    TypeInto(Format()->RetHeightEntry(), "0");
    EXPECT_EQ(Doc()->GetPageHeight(), 1.0);
}

TEST_F(SetupDlgTest, HandlersAnswerTrueByName)
{
    Open();
    const struct {
        int pane;
        const char* handler;
    } calls[] = {{0, "OnEditWidth"},  {0, "OnEditHeight"},     {0, "OnScrollList"},
                 {0, "OnPortrait"},   {0, "OnLandscape"},      {3, "OnEditStepX"},
                 {3, "OnEditStepY"},  {3, "OnSwitchReticule"}, {3, "OnSwitchAfter"},
                 {4, "OnScrollList"}, {1, "OnClose"}};
    for (const auto& c : calls) {
        SCOPED_TRACE(c.handler);
        EXPECT_TRUE(Send(ZuObjectRef(dlg->RetPane(c.pane)), c.handler));
    }
    EXPECT_TRUE(Send(ZuObjectRef(dlg), "OnClickTab"));
}

TEST_F(SetupDlgTest, TheListShowsTheUnitOfTheChosenSlot)
{
    Open();
    ClickTab(4);
    EXPECT_EQ(Unit()->RetUnitList()->RetSelected(), 1); // "Millimètres"
    EXPECT_TRUE(On(Unit()->RetSlotSwitch(0)));
    ClickView(Unit()->RetSlotSwitch(1));
    EXPECT_EQ(Unit()->RetCurrentSlot(), 1);
    EXPECT_EQ(Unit()->RetUnitList()->RetSelected(), 2); // "Centimètres"
    EXPECT_FALSE(On(Unit()->RetSlotSwitch(0)));

    // A code not offered shows row 0 and writes nothing.
    Doc()->SetUnit(1, 13);
    dlg->Update(0, 0);
    EXPECT_EQ(Unit()->RetUnitList()->RetSelected(), 0);
    EXPECT_EQ(Doc()->GetUnit(1), 13);

    // A click from a control of another tag changes nothing.
    ZuSwitchRef stranger = ZuNew<ZuSwitch>(Zuvi_app_zone);
    stranger->SetUserTag(7);
    EXPECT_FALSE(Unit()->OnButtonRadio(stranger, 0));
    EXPECT_EQ(Unit()->RetCurrentSlot(), 1);
    stranger->Delete();
}

TEST_F(SetupDlgTest, ANewMainUnitReachesEveryFollowerOnce)
{
    TSetupUnitProbeRef probe = ZuNew<TSetupUnitProbe>(Zuvi_app_zone);
    Open();
    ClickTab(4);
    const CScrollListRef list = Unit()->RetUnitList();
    struct Case {
        int slot, row, code;
        std::vector<int> notices;
    } cases[] = {
        {0, 1, 23, {}},   // the unit already set
        {1, 4, 30, {}},   // secondary: no notice
        {0, 4, 30, {30}}, // main: one notice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        probe->calls.clear();
        ClickView(Unit()->RetSlotSwitch(c.slot));
        // The list, filled again, selects the slot's unit; the row is then
        // chosen as the list reports it.
        list->Select(c.row);
        View()->SetRenderNeeded(false);
        EXPECT_TRUE(Send(ZuObjectRef(Unit()), "OnScrollList"));
        EXPECT_EQ(Doc()->GetUnit(c.slot), c.code);
        EXPECT_EQ(probe->calls, c.notices);
        EXPECT_EQ(View()->IsRenderNeeded(), c.code != 23);
    }
    EXPECT_EQ(Doc()->GetUnit(0), 30);
    EXPECT_EQ(Doc()->GetUnit(1), 30);
    // Entries of unit 0 show inches at their next refresh.
    Doc()->SetDuplicationOffset(25.4, 10.0);
    dlg->Update(0, 0);
    const std::string shown = Text(Dupl()->RetOffsetX()->RetText());
    EXPECT_EQ(shown.substr(0, 1), "1");
    EXPECT_NEAR(Dupl()->RetOffsetX()->GetValue(), 25.4, 1e-6);
    probe->Delete();
}

TEST_F(SetupDlgTest, DuplicationOffsetsAndSwitchesAreWrittenWithoutRedraw)
{
    Open();
    ClickTab(3);
    EXPECT_NEAR(Dupl()->RetOffsetX()->GetValue(), 10.0, 1e-9);
    const CViewRef v = View()->RetView();
    struct Case {
        const char* typed;
        double stored;
    } cases[] = {{"25", 25.0}, {"500", 100.0}, {"-500", -100.0}, {"-3", -3.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TypeInto(Dupl()->RetOffsetX(), c.typed);
        TypeInto(Dupl()->RetOffsetY(), c.typed);
        EXPECT_NEAR(Doc()->GetDuplicationOffsetX(), c.stored, 1e-9);
        EXPECT_NEAR(Doc()->GetDuplicationOffsetY(), c.stored, 1e-9);
    }
    const ZuSwitchRef sw[2] = {Dupl()->RetReticuleSwitch(), Dupl()->RetAfterSwitch()};
    const int place[2] = {CView::RETICULE_VISIBLE, CView::SELECT_NEW_OBJECTS};
    for (int i = 0; i < 2; ++i) {
        const bool before = v->switches[place[i]];
        View()->SetRenderNeeded(false);
        ClickView(sw[i]);
        EXPECT_EQ(v->switches[place[i]], !before);
        EXPECT_EQ(On(sw[i]), !before);
        EXPECT_FALSE(View()->IsRenderNeeded());
    }
    // Out-of-range stored offsets are shown clamped and left as they are.
    Doc()->SetDuplicationOffset(900.0, -900.0);
    dlg->Update(2, 0);
    EXPECT_EQ(Dupl()->RetOffsetX()->GetValue(), 100.0);
    EXPECT_EQ(Doc()->GetDuplicationOffsetX(), 900.0);
    // A new document brings the defaults back.
    Doc()->Reset();
    dlg->Update(0, 0);
    EXPECT_NEAR(Dupl()->RetOffsetX()->GetValue(), 10.0, 1e-9);
    EXPECT_NEAR(Dupl()->RetOffsetY()->GetValue(), 10.0, 1e-9);
}

TEST_F(SetupDlgTest, AFormatChosenInTheListRedrawsThePageOnTheScreen)
{
    Open();
    SetPage(210.0, 297.0);
    ClickRow(Format()->RetFormatList(), 5); // "A5"
    ASSERT_EQ(Doc()->GetPageWidth(), 148.0);
    Pump();
    // The page's left frame is dark on the screen where the new width puts
    // it; where the old width put it, nothing dark is left.
    auto darkNear = [&](double pageX) {
        DPoint p{pageX, 0.0};
        View()->PageToView(p);
        const int x = int(std::lround(p.x)), y = int(p.y);
        for (int i = x - 1; i <= x + 8; i++)
            if ((WindowPixel(Main()->RetWindow(), i, y) & 0xFFFFFF) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(darkNear(-74.0));
    EXPECT_FALSE(darkNear(-105.0));
}

TEST_F(SetupDlgTest, OddValuesReadFromAFileAreShownClampedAndNotWrittenBack)
{
    // A drawing whose page, unit and offsets no pane could have written,
    // stored and opened as a user opens it.
    Doc()->SetPageSize(0.0, -40.0);
    Doc()->SetUnit(0, 99);
    Doc()->SetDuplicationOffset(900.0, -900.0);
    const std::string path = ::testing::TempDir() + "odd-settings.lumbra";
    ASSERT_TRUE(Doc()->WriteFile(ZuStringRef(path.c_str())));
    Doc()->SetPageSize(210.0, 297.0);
    ASSERT_TRUE(View()->OpenDocument(ZuStringRef(path.c_str())));
    ASSERT_EQ(Doc()->GetPageWidth(), 0.0);
    Open();
    EXPECT_EQ(Format()->RetFormatList()->RetSelected(), 0);
    EXPECT_GE(Format()->RetWidthEntry()->GetValue(), 1.0);
    ClickTab(4);
    EXPECT_EQ(Unit()->RetUnitList()->RetSelected(), 0);
    ClickTab(3);
    EXPECT_EQ(Dupl()->RetOffsetX()->GetValue(), 100.0);
    EXPECT_EQ(Dupl()->RetOffsetY()->GetValue(), -100.0);
    // Showing them wrote nothing back.
    EXPECT_EQ(Doc()->GetPageWidth(), 0.0);
    EXPECT_EQ(Doc()->GetPageHeight(), -40.0);
    EXPECT_EQ(Doc()->GetUnit(0), 99);
    EXPECT_EQ(Doc()->GetDuplicationOffsetX(), 900.0);
    std::remove(path.c_str());
}
