// The page view's page and layer operations as the palettes call them:
// which page and layer become current, what is an undo step, and that any
// of them ends the running edit first.
#include "app/gragroup.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/controls.h"

#include <gtest/gtest.h>

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

class PageOpsTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        win = NewShownWindow(50, 50, 320, 240);
        doc = Make<CDocumentRef>();
        doc->Reset();
        view = ZuNew<CPageView>(Zuvi_app_zone);
        view->SetBox(ZuRect(0, 0, 319, 239));
        view->SetParent(win);
        view->SetDocument(doc);
        view->Init(CMainWindowRef());
        settings = view->RetView();
        sel = view->RetSelectObject();
    }
    void TearDown() override
    {
        sel->ClearUndo();
        sel = CSelectObjectRef();
        view->Delete();
        view = CPageViewRef();
        SetCurrentDocument(CDocumentRef(), CViewRef());
        settings = CViewRef();
        doc = CDocumentRef();
        win = ZuWindowRef();
        ControlTest::TearDown();
    }
    CTreeNodeRef Node(int p, int l)
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, p, l);
        return n;
    }
    int Count(int p) { return Node(p, -1)->CountChildren(); }
    int Steps() { return sel->RetUndoList()->GetCount(); }
    CGraObjectRef LayerObject(int p, int l) { return CGraObjectRef(Node(p, l)->RetObject()); }
    ZuWindowRef win;
    CPageViewRef view;
    CDocumentRef doc;
    CViewRef settings;
    CSelectObjectRef sel;
};

TEST_F(PageOpsTest, PageOperationsMakeTheResultingPageCurrent)
{
    const ZuEventRef none;
    EXPECT_TRUE(view->NewPage(0, none));
    EXPECT_EQ(settings->current_page, 1);
    EXPECT_TRUE(view->NewPage(1, none));
    EXPECT_EQ(settings->current_page, 2);
    ASSERT_EQ(Count(-1), 3);
    EXPECT_EQ(Steps(), 2);
    const CTreeNodeRef last = Node(2, -1);
    EXPECT_TRUE(view->MovePage(2, none, -1));
    EXPECT_EQ(settings->current_page, 1);
    EXPECT_EQ(Node(1, -1), last);
    // Deleting the last page leaves the one before it current, deleting
    // page 0 the former page 1.
    EXPECT_TRUE(view->DeletePage(2, none));
    EXPECT_EQ(settings->current_page, 1);
    const CTreeNodeRef second = Node(1, -1);
    EXPECT_TRUE(view->DeletePage(0, none));
    EXPECT_EQ(settings->current_page, 0);
    EXPECT_EQ(Node(0, -1), second);
    // The last page stays; a move past the end changes nothing.
    EXPECT_TRUE(view->DeletePage(0, none));
    EXPECT_TRUE(view->MovePage(0, none, +1));
    EXPECT_EQ(Count(-1), 1);
    EXPECT_EQ(settings->current_page, 0);
    EXPECT_EQ(Steps(), 5);
}

TEST_F(PageOpsTest, GoingToAPageOrLayerShowsItsLayerAndIsNoUndoStep)
{
    const ZuEventRef none;
    view->NewLayer(0, none);
    view->NewLayer(1, none);
    EXPECT_EQ(settings->current_layer, 2);
    view->NewPage(0, none); // page 1 has one layer
    view->GoToPage(0, none);
    view->GoToLayer(2, none);
    const int steps = Steps();
    // A page with fewer layers: its last layer current and shown.
    LayerObject(1, 0)->SetFlag(false);
    view->GoToPage(1, none);
    EXPECT_EQ(settings->current_page, 1);
    EXPECT_EQ(settings->current_layer, 0);
    EXPECT_TRUE(LayerObject(1, 0)->GetFlag());
    // Going to a hidden layer shows it; switching another leaves the
    // current one.
    view->GoToPage(0, none);
    LayerObject(0, 1)->SetFlag(false);
    view->GoToLayer(1, none);
    EXPECT_EQ(settings->current_layer, 1);
    EXPECT_TRUE(LayerObject(0, 1)->GetFlag());
    view->SwapLayerVisibility(2, none);
    EXPECT_FALSE(LayerObject(0, 2)->GetFlag());
    EXPECT_EQ(settings->current_layer, 1);
    EXPECT_EQ(Steps(), steps);
    // Layer moves and deletions.
    const CTreeNodeRef moved = Node(0, 1);
    view->MoveLayer(1, none, +1);
    EXPECT_EQ(settings->current_layer, 2);
    EXPECT_EQ(Node(0, 2), moved);
    view->DeleteLayer(2, none);
    EXPECT_EQ(settings->current_layer, 1);
    EXPECT_EQ(Count(0), 2);
}

TEST_F(PageOpsTest, AnyOperationLeavesEnteredGroupsAndEmptiesTheSelection)
{
    const ZuEventRef none;
    const CTreeNodeRef layer = Node(0, 0);
    CGraGroupRef group = Make<CGraGroupRef>();
    CTreeNodeRef groupNode = Make<CTreeNodeRef>();
    groupNode->SetObject(group);
    groupNode->InsertLastChild(layer);
    CTreeNodeRef member = Make<CTreeNodeRef>();
    member->SetObject(Make<CGraRectRef>());
    member->InsertLastChild(groupNode);
    sel->SelectOnly(groupNode);
    ASSERT_TRUE(sel->GroupGoIn());
    sel->SelectOnly(member);
    ASSERT_EQ(sel->GetEnteredDepth(), 1);
    view->GoToLayer(0, none);
    EXPECT_EQ(sel->GetEnteredDepth(), 0);
    EXPECT_FALSE(sel->HasSelection());
    EXPECT_EQ(Steps(), 0);
}

TEST_F(PageOpsTest, IndexesOutsideTheTreeFromAStoredDocumentAreClamped)
{
    const ZuEventRef none;
    settings->current_page = 7;
    settings->current_layer = 9;
    view->GoToPage(4, none);
    EXPECT_EQ(settings->current_page, 0);
    EXPECT_EQ(settings->current_layer, 0);
    view->NewLayer(12, none);
    EXPECT_EQ(settings->current_layer, 1);
    EXPECT_EQ(Count(0), 2);
}

} // namespace
