// The page view's commands on the view, sent by name as the menus send
// them, and the reports of dialogs it ignores.
#include <gtest/gtest.h>

#include "app/pageview.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "tests/app/shelltest.h"
#include "tests/support/debugcapture.h"

namespace {

class PageViewCommandsTest : public ShellTest {
protected:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    bool Send(const char* command)
    {
        return ZuObjectRef(View())->Action(ZuAtomRef(command), ZuObjectRef(), 0);
    }
    int ObjectCount() const
    {
        CTreeNodeRef layer;
        View()->RetDocument()->GetTree()->GetNode(layer, 0, 0);
        int n = 0;
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            ++n;
        return n;
    }
};

} // namespace

TEST_F(PageViewCommandsTest, UndoRendersOnlyWhenSomethingWasUndone)
{
    CPageViewRef view = View();
    view->SetRenderNeeded(false);
    EXPECT_TRUE(Send("Undo"));
    EXPECT_TRUE(Send("Redo"));
    EXPECT_FALSE(view->IsRenderNeeded());

    CTreeNodeRef layer;
    view->RetDocument()->GetTree()->GetNode(layer, 0, 0);
    CTreeNodeRef node = ZuNew<CTreeNode>(Zuvi_app_zone);
    node->SetObject(NewGraObject(CGraObjectRef::RetRuntime()));
    view->RetSelectObject()->InsertNewObject(node, layer);
    ASSERT_EQ(ObjectCount(), 1);
    EXPECT_TRUE(Send("Undo"));
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_TRUE(view->IsRenderNeeded());
    view->SetRenderNeeded(false);
    EXPECT_TRUE(Send("Redo"));
    EXPECT_EQ(ObjectCount(), 1);
    EXPECT_TRUE(view->IsRenderNeeded());
}

TEST_F(PageViewCommandsTest, SwitchesToggleAndTheGridTakesItsMagnetismAlong)
{
    const CViewRef v = View()->RetView();
    const bool starts[4][2] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const auto& s : starts) {
        v->switches[CView::SHOW_GRID] = s[0];
        v->switches[CView::GRID_MAGNETISM] = s[1];
        EXPECT_TRUE(Send("SwapGrid"));
        EXPECT_EQ(v->switches[CView::SHOW_GRID], !s[0]);
        EXPECT_EQ(v->switches[CView::GRID_MAGNETISM], !s[0]);
    }
    for (int sw : {int(CView::OUTLINE), int(CView::SHOW_BOUNDING_BOXES)}) {
        const bool before = v->switches[sw];
        View()->SetRenderNeeded(false);
        EXPECT_TRUE(Send(sw == CView::OUTLINE ? "SwapOutline" : "SwapBBox"));
        EXPECT_EQ(v->switches[sw], !before);
        EXPECT_TRUE(View()->IsRenderNeeded());
    }
    EXPECT_TRUE(Send("SwapProperty"));
    EXPECT_TRUE(Send("ChangeSetup"));
}

TEST_F(PageViewCommandsTest, DebugListsTheUndoAndRedoLists)
{
    DebugCapture capture;
    EXPECT_TRUE(Send("Debug"));
    const std::string text = capture.DebugText();
    EXPECT_NE(text.find("UndoList :\n"), std::string::npos);
    EXPECT_NE(text.find("RedoList :\n"), std::string::npos);
}

TEST_F(PageViewCommandsTest, ReportsOfOtherClassesChangeNothing)
{
    CPageViewRef view = View();
    view->SetRenderNeeded(false);
    const ZuObjectRef stranger = ZuStringRef("pas un dialogue");
    const char* const handlers[] = {"AsyncDefModify", "AsyncDefUpdateFullProperty",
                                    "AsyncDefUpdateQuickProperty", "AsyncPropertyModify",
                                    "AsyncPropertyRedraw"};
    for (const char* h : handlers) {
        EXPECT_TRUE(ZuObjectRef(view)->Action(ZuAtomRef(h), stranger, 0)) << h;
        EXPECT_FALSE(view->IsRenderNeeded()) << h;
        EXPECT_FALSE(view->RetDocument()->IsModified()) << h;
    }
}
