// The pane base as a host and the page view meet it: the plain pane with
// its caption and close button, the three reports under "def", the bounded
// code list, the companion colour kinds and the enabling of the dialog's
// dependent panes. Also the shared pane fixture.
#include <gtest/gtest.h>

#include <string>

#include "app/colordef.h"
#include "app/defpane.h"
#include "app/positiondef.h"
#include "si/string.h"
#include "si/texttag.h"
#include "tests/app/panetest.h"
#include "si/button.h"
#include "si/grailwdo.h"
#include "sd/win32/sd_grailwdo.h"
#include "w32/headless.h"
#include "w32/winuser.h"

ZU_IMPLEMENT_CLASS(TDefListener, "tests/app/defpane_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TDefListener, Modify)
ZU_EXPORT_OBSERVER(TDefListener, Full)
ZU_EXPORT_OBSERVER(TDefListener, Quick)
ZU_IMPLEMENT_CLASS(TDefDlg, "tests/app/defpane_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TDefDlg, IDefDlg)

void PaneTest::PaneMouse(double x, double y, unsigned buttons)
{
    double ox = 0, oy = 0;
    pw->GetWindowOrigin(ox, oy);
    W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
    Pump();
}

void PaneTest::TypeInto(double x, double y, const char* text)
{
    Click(x, y);
    Tap(VK_HOME, 0x47);
    Key(VK_SHIFT, 0x2A, true);
    Tap(VK_END, 0x4F);
    Key(VK_SHIFT, 0x2A, false);
    for (const char* c = text; *c != 0; ++c) {
        if (*c == '.')
            Tap(VK_DECIMAL, 0x53);
        else if (*c == '-')
            Tap(VK_SUBTRACT, 0x4A);
        else if (*c >= 'a' && *c <= 'z')
            Tap(UINT(*c - 'a' + 'A'), 0x1E);
        else
            Tap(UINT(*c), UINT(*c == '0' ? 0x0B : 0x02 + (*c - '1')));
    }
}

unsigned PaneTest::PanePixel(int x, int y)
{
    app->SyncWindows(true);
    Pump();
    const ZuGrailWindowRef& screen = pw->RetScreenWindow();
    uint32_t p = 0xDEADBEEF;
    if (screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr)
        W32_HeadlessWindowPixel(screen->RetPrivateWindowInfo()->hwnd, x, y, p);
    return p & 0xFFFFFF;
}

namespace {

// The child views of a view of one class, back to front.
std::vector<ZuViewRef> ChildrenOf(const ZuViewRef& view, const ZuRuntimeRef& runtime)
{
    std::vector<ZuViewRef> out;
    ZuViewRef child;
    bool more = view->GetFirstChild(child);
    while (more && child.IsValid()) {
        if (child->IsKindOf(runtime))
            out.push_back(child);
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
    return out;
}

class DefPaneTest : public PaneTest {};

} // namespace

TEST_F(DefPaneTest, ThePlainPaneSaysItHasNoDefinitionAndItsButtonClosesTheWindow)
{
    CDefPaneRef pane = MakePane<CDefPane>(100);
    EXPECT_EQ(pane->RetKind(), 100);
    EXPECT_EQ(std::string(pane->RetUserName()->RetText()), "def");
    std::vector<ZuViewRef> tags = ChildrenOf(pane, ZuTextTagRef::RetRuntime());
    ASSERT_EQ(tags.size(), 1u);
    ZuTextTagRef tag(tags[0]);
    EXPECT_EQ(Latin(tag->RetText()), "(aucune d\xe9"
                                     "finition)");
    EXPECT_EQ(tag->RetBox(), ZuRect(0, 0, 369, 195));
    EXPECT_TRUE(tag->RetTextStyle() == ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    std::vector<ZuViewRef> buttons = ChildrenOf(pane, ZuButtonRef::RetRuntime());
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->RetBox(), ZuRect(306, 168, 365, 191));
    EXPECT_TRUE(pw->IsVisible());
    Click(330, 180);
    EXPECT_FALSE(pw->IsVisible());
    EXPECT_EQ(Reports(), "");
}

TEST_F(DefPaneTest, NotifyChangeReportsModifyThenTheAskedPropertyUpdate)
{
    CDefPaneRef pane = MakePane<CDefPane>(50);
    const struct {
        bool property, full;
        const char* expected;
    } cases[] = {
        {false, false, "Modify "},
        {false, true, "Modify "},
        {true, false, "Modify Quick "},
        {true, true, "Modify Full "},
    };
    for (const auto& c : cases) {
        pane->NotifyChange(c.property, c.full);
        EXPECT_EQ(Reports(), c.expected) << c.property << c.full;
    }
    // The base itself lists nothing: the panes add their own kind.
    int* list = nullptr;
    int count = -1;
    pane->GetCodes(&list, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(DefPaneTest, TheCodeListKeepsEachKindOnceInOrderAndAtMostTen)
{
    CDefPaneRef pane = MakePane<CDefPane>(10);
    EXPECT_EQ(pane->AddCode(10), 0);
    EXPECT_EQ(pane->AddCode(15), 1);
    EXPECT_EQ(pane->AddCode(10), 2); // listed: nothing changes
    for (int k = 100; k < 110; ++k)
        pane->AddCode(k);
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 10);
    EXPECT_EQ(list[0], 10);
    EXPECT_EQ(list[1], 15);
    EXPECT_EQ(list[2], 100);
    EXPECT_EQ(list[9], 107); // 108 and 109 found the list full
    pane->ClearCodes();
    pane->GetCodes(&list, &count);
    EXPECT_EQ(count, 0);
    pane->AddCode(109);
    pane->GetCodes(&list, &count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(list[0], 109);
}

TEST_F(DefPaneTest, RegisterCodesListsTheCompanionColourAndMakesItOneColour)
{
    const struct {
        int kind, listed;
    } cases[] = {{10, 15}, {20, 25}, {101, 105}, {25, 25}, {100, 100}, {50, 50}};
    for (const auto& c : cases) {
        CColorDefRef colour = ZuNew<CColorDef>(Zuvi_app_zone);
        colour->SetCount(3);
        dialog->defs[c.listed] = CDefRef(ZuObjectRef(colour));
        CDefPaneRef pane = MakePane<CDefPane>(c.kind);
        pane->RegisterCodes();
        int* list = nullptr;
        int count = 0;
        pane->GetCodes(&list, &count);
        ASSERT_EQ(count, 1) << c.kind;
        EXPECT_EQ(list[0], c.listed) << c.kind;
        EXPECT_EQ(colour->GetCount(), c.kind != c.listed ? 1 : 3) << c.kind;
        pane->Delete();
    }
    // Without a dialog the companion kind is still listed.
    CDefPane::SetFallbackDefDlg(ZuObjectRef());
    CDefPaneRef pane = MakePane<CDefPane>(20);
    pane->RegisterCodes();
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 25);
}

TEST_F(DefPaneTest, UpdateDlgEnableFollowsTheValueOfThePanesOwnDefinition)
{
    const struct {
        int kind, value;
        const char* expected;
    } cases[] = {
        {10, 41, "11:1 12:1 "},
        {10, 40, "11:0 12:0 "},
        {20, 64, "21:1 22:1 "},
        {20, 60, "21:0 22:0 "},
        {101, 64, "102:1 103:1 "},
        {101, 61, "102:0 103:0 "},
        {100, 116, "105:1 101:1 "},
        {100, 120, "105:0 101:0 102:0 103:0 "},
        {50, 58, ""},
        {25, 64, ""},
    };
    for (const auto& c : cases) {
        CPositionDefRef def = ZuNew<CPositionDef>(Zuvi_app_zone);
        def->SetValue(c.value);
        dialog->defs[c.kind] = CDefRef(ZuObjectRef(def));
        dialog->log.clear();
        CDefPaneRef pane = MakePane<CDefPane>(c.kind);
        pane->UpdateDlgEnable();
        EXPECT_EQ(dialog->log, c.expected) << c.kind << " " << c.value;
        pane->Delete();
    }
    // No definition for the kind: nothing is asked.
    dialog->defs.clear();
    dialog->log.clear();
    CDefPaneRef pane = MakePane<CDefPane>(100);
    pane->UpdateDlgEnable();
    EXPECT_EQ(dialog->log, "");
}
