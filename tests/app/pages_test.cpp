// Pages and layers added, removed and moved as undo steps by the selection
// object, the visibility of layers, and the current indexes kept inside the
// tree.
#include <gtest/gtest.h>

#include <vector>

#include "tests/app/selecttest.h"

namespace {

class CPagesTest : public CSelectObjectTest {
protected:
    CTreeNodeRef Page(int p)
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, p, -1);
        return n;
    }
    CTreeNodeRef Layer(int p, int l)
    {
        CTreeNodeRef n;
        doc->GetTree()->GetNode(n, p, l);
        return n;
    }
    int PageCount() { return doc->GetTree()->RetRoot()->CountChildren(); }
    // The pages, as the nodes given, in tree order.
    std::vector<CTreeNode*> Pages()
    {
        std::vector<CTreeNode*> out;
        for (int p = 0; p < PageCount(); p++)
            out.push_back(Page(p).Resolve());
        return out;
    }
    CGraObjectRef LayerObject(int p, int l) { return CGraObjectRef(Layer(p, l)->RetObject()); }
};

TEST_F(CPagesTest, NewPageHasOneVisibleEmptyLayerAfterTheCurrentAndOneUndo)
{
    view->current_page = 0;
    const CTreeNodeRef second = Page(1);
    sel->NewPage();
    ASSERT_EQ(PageCount(), 3);
    EXPECT_EQ(Page(2), second);
    const CTreeNodeRef fresh = Page(1);
    ASSERT_EQ(fresh->CountChildren(), 1);
    EXPECT_EQ(Layer(1, 0)->CountChildren(), 0);
    EXPECT_TRUE(LayerObject(1, 0)->GetFlag());
    EXPECT_TRUE(fresh->RetObject().IsInvalid());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(sel->RetUndoList()->GetCount(), 1);
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(Page(1), second);
    EXPECT_FALSE(sel->CanUndo());
}

TEST_F(CPagesTest, MovesPlacePagesAndLayersBesideTheirTarget)
{
    sel->NewPage(); // pages a, new, b
    const std::vector<CTreeNode*> before = Pages();
    view->current_page = 2;
    sel->MovePage(-1);
    EXPECT_EQ(Pages(), (std::vector<CTreeNode*>{before[0], before[2], before[1]}));
    view->current_page = 0;
    sel->MovePage(+1);
    EXPECT_EQ(Pages(), (std::vector<CTreeNode*>{before[2], before[0], before[1]}));
    // A target outside the tree moves nothing and records nothing.
    const int steps = sel->RetUndoList()->GetCount();
    view->current_page = 2;
    sel->MovePage(+1);
    EXPECT_EQ(sel->RetUndoList()->GetCount(), steps);
    ASSERT_TRUE(sel->Undo());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Pages(), before);

    view->current_page = 0;
    view->current_layer = 0;
    sel->NewLayer();
    const CTreeNodeRef l0 = Layer(0, 0), l1 = Layer(0, 1);
    view->current_layer = 1;
    sel->MoveLayer(-1);
    EXPECT_EQ(Layer(0, 0), l1);
    EXPECT_EQ(Layer(0, 1), l0);
}

TEST_F(CPagesTest, DeletingTheCurrentLastPageThenUpdatingMakesTheNewLastCurrent)
{
    view->current_page = 1;
    const CTreeNodeRef first = Page(0);
    sel->DeletePage();
    EXPECT_EQ(PageCount(), 1);
    sel->UpdatePageDialog();
    EXPECT_EQ(view->current_page, 0);
    EXPECT_EQ(shell.pageUpdates, 1);
    // The last page and the last layer of a page stay.
    sel->DeletePage();
    sel->DeleteLayer();
    EXPECT_EQ(PageCount(), 1);
    EXPECT_EQ(Page(0), first);
    EXPECT_EQ(first->CountChildren(), 1);
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(PageCount(), 2);
}

TEST_F(CPagesTest, VisibilityIsReadAndSwitchedWithoutAnUndoStep)
{
    sel->NewLayer();
    view->current_layer = 0;
    EXPECT_TRUE(sel->IsLayerVisible(1));
    EXPECT_TRUE(sel->IsLayerVisible(7)); // past the last layer
    sel->SwapLayerVisibility(1);
    EXPECT_FALSE(sel->IsLayerVisible(1));
    EXPECT_EQ(view->current_layer, 0);
    EXPECT_EQ(sel->RetUndoList()->GetCount(), 1); // the new layer only
    // The palette update shows a hidden current layer.
    view->current_layer = 1;
    sel->UpdateLayerDialog();
    EXPECT_TRUE(sel->IsLayerVisible(1));
    EXPECT_EQ(sel->RetUndoList()->GetCount(), 1);
}

TEST_F(CPagesTest, IndexesFromAStoredDocumentAreBroughtIntoTheTree)
{
    // A document that names a page and a layer it does not have.
    view->current_page = 9;
    view->current_layer = 5;
    sel->NewLayer();
    EXPECT_EQ(view->current_page, 1);
    EXPECT_EQ(view->current_layer, 0);
    EXPECT_EQ(Page(1)->CountChildren(), 2);
    view->current_page = -3;
    view->current_layer = 40;
    sel->MoveLayer(+30);
    sel->UpdateLayerDialog();
    EXPECT_EQ(view->current_page, 0);
    EXPECT_EQ(view->current_layer, 0);
    EXPECT_EQ(sel->RetUndoList()->GetCount(), 1);
}

} // namespace
