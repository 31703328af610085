// The object tree: finding pages and layers, counters kept by inserting
// and unlinking, deep walks, deletion, and the stored form (with links that
// disagree refused).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/graobject.h"
#include "app/tree.h"
#include "app/treeit.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class CTreeTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }
    // A node carrying a test object named by its value.
    static CTreeNodeRef Node(int value)
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(ZuTestNode::Make(value));
        return n;
    }
    static int ValueOf(const CTreeNodeRef& n)
    {
        if (n.IsInvalid() || n->RetObject().IsInvalid() ||
            !n->RetObject()->IsKindOf(ZuTestNodeRef::RetRuntime()))
            return -1;
        return ZuTestNodeRef(n->RetObject())->value;
    }
    static std::vector<int> DeepWalk(const CTreeNodeRef& from, int direction)
    {
        CTreeItRef it = Make<CTreeItRef>();
        EXPECT_TRUE(it->InitDeep(from, direction));
        std::vector<int> values;
        CTreeNodeRef n;
        for (it->NextDeep(n); n.IsValid(); it->NextDeep(n))
            values.push_back(ValueOf(n));
        return values;
    }
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        ZuTestNode::made = ZuTestNode::deleted = 0;
    }
};

TEST_F(CTreeTest, PagesAndLayersAreFoundByNumber)
{
    CTreeRef tree = Make<CTreeRef>();
    const CTreeNodeRef root = tree->RetRoot();
    for (int page = 0; page < 2; ++page) {
        CTreeNodeRef p = Node(10 + page);
        p->InsertLastChild(root);
        for (int layer = 0; layer < 3; ++layer)
            Node(100 + 10 * page + layer)->InsertLastChild(p);
    }
    struct Case {
        int page, layer, value;
    } const cases[] = {{-1, 5, -1}, {0, -1, 10}, {1, -1, 11}, {1, 2, 112},
                       {0, 1, 101}, {2, -1, -2}, {1, 3, -2},  {-2, -1, -2}};
    for (const Case& c : cases) {
        CTreeNodeRef out = Make<CTreeNodeRef>();
        tree->GetNode(out, c.page, c.layer);
        if (c.value == -2)
            EXPECT_TRUE(out.IsInvalid()) << c.page << "," << c.layer;
        else if (c.value == -1)
            EXPECT_TRUE(out == root) << c.page << "," << c.layer;
        else
            EXPECT_EQ(c.value, ValueOf(out)) << c.page << "," << c.layer;
    }
    CTreeNodeRef layer;
    tree->GetNode(layer, 1, 0);
    EXPECT_EQ(2, layer->GetDepth());
    EXPECT_EQ(10, ValueOf(layer->GetParentPrev()));
    EXPECT_TRUE(layer->GetParentNext().IsInvalid());
    EXPECT_TRUE(root->GetChild(-1).IsInvalid());
}

// A subtree whose top is listed again below it (its parent is one of its
// own descendants) is refused, not walked round for ever.
TEST_F(CTreeTest, CheckingLinksRefusesTheTopMetAgain)
{
    CTreeRef tree = Make<CTreeRef>();
    CTreeNodeRef page = Node(1), layer = Node(2);
    page->InsertLastChild(tree->RetRoot());
    layer->InsertLastChild(page);
    ASSERT_TRUE(CTree::CheckLinks(page));
    layer->RetFirstChild() = layer->RetLastChild() = page;
    page->RetParent() = layer;
    page->RetPrev() = page->RetNext() = CTreeNodeRef();
    EXPECT_FALSE(CTree::CheckLinks(page));
    page->RetParent() = layer->RetFirstChild() = layer->RetLastChild() = CTreeNodeRef();
}

TEST_F(CTreeTest, CountersFollowInsertionAndUnlinking)
{
    CTreeRef tree = Make<CTreeRef>();
    const CTreeNodeRef root = tree->RetRoot();
    CTreeNodeRef page = Node(1), layer = Node(2);
    page->InsertLastChild(root);
    layer->InsertLastChild(page);
    Node(3)->InsertLastChild(layer);
    // A group of four descendants: two members, one of which holds two.
    CTreeNodeRef group = Node(4), member = Node(5);
    member->InsertLastChild(group);
    Node(6)->InsertLastChild(member);
    Node(7)->InsertFirstChild(member);
    EXPECT_EQ(3, group->GetSubtreeSize());
    Node(8)->InsertAfter(member);
    ASSERT_EQ(4, group->GetSubtreeSize());
    group->InsertFirstChild(layer);
    EXPECT_EQ(6, layer->GetSubtreeSize());
    EXPECT_EQ(7, page->GetSubtreeSize());
    EXPECT_EQ(8, root->GetSubtreeSize());
    EXPECT_EQ(2, layer->CountChildren());
    EXPECT_EQ(1, page->CountChildren());
    EXPECT_TRUE(CTree::CheckLinks(root));
    // Unlinking takes the counters back; the group keeps its members.
    group->Unlink();
    EXPECT_EQ(1, layer->GetSubtreeSize());
    EXPECT_EQ(3, root->GetSubtreeSize());
    EXPECT_EQ(4, group->GetSubtreeSize());
    EXPECT_TRUE(group->RetParent().IsInvalid() && group->RetNext().IsInvalid());
    // The only child: the parent's ends empty, its count 0.
    const CTreeNodeRef only = layer->RetFirstChild();
    only->Unlink();
    EXPECT_TRUE(layer->RetFirstChild().IsInvalid() && layer->RetLastChild().IsInvalid());
    EXPECT_EQ(0, layer->CountChildren());
    // A node without a parent: nothing changes.
    group->Unlink();
    EXPECT_EQ(4, group->GetSubtreeSize());
    EXPECT_TRUE(CTree::CheckLinks(root));
    group->RemoveAllChildren();
    EXPECT_EQ(0, group->GetSubtreeSize());
    EXPECT_EQ(0, group->CountChildren());
    EXPECT_EQ(0, member->GetSubtreeSize());
}

TEST_F(CTreeTest, WalksVisitParentsBeforeChildren)
{
    CTreeRef tree = Make<CTreeRef>();
    const CTreeNodeRef root = tree->RetRoot();
    root->SetObject(ZuTestNode::Make(0));
    CTreeNodeRef a = Node(1), b = Node(2);
    a->InsertLastChild(root);
    b->InsertLastChild(root);
    Node(11)->InsertLastChild(a);
    EXPECT_EQ(std::vector<int>({0, 2, 1, 11}), DeepWalk(root, -1));
    EXPECT_EQ(std::vector<int>({0, 1, 11, 2}), DeepWalk(root, 1));
    // A subtree walk stays inside it, even when its root has siblings.
    EXPECT_EQ(std::vector<int>({1, 11}), DeepWalk(a, 1));
    EXPECT_EQ(std::vector<int>({2}), DeepWalk(b, -1));
    // Children walks; NextDeep answers nothing in one.
    CTreeItRef it = Make<CTreeItRef>();
    it->Init(root, -1);
    CTreeNodeRef n;
    it->NextDeep(n);
    EXPECT_TRUE(n.IsInvalid());
    std::vector<int> children;
    for (it->Next(n); n.IsValid(); it->Next(n))
        children.push_back(ValueOf(n));
    EXPECT_EQ(std::vector<int>({2, 1}), children);
    // SkipChildren passes over the members of the node just returned.
    it->InitDeep(root, 1);
    std::vector<int> skipped;
    for (it->NextDeep(n); n.IsValid(); it->NextDeep(n)) {
        skipped.push_back(ValueOf(n));
        if (ValueOf(n) == 1)
            it->SkipChildren();
    }
    EXPECT_EQ(std::vector<int>({0, 1, 2}), skipped);
}

TEST_F(CTreeTest, DeletingAPageDeletesItsObjects)
{
    CTreeRef tree = Make<CTreeRef>();
    const CTreeNodeRef root = tree->RetRoot();
    CTreeNodeRef page = Node(1), other = Node(2), layer = Node(3);
    page->InsertLastChild(root);
    other->InsertLastChild(root);
    layer->InsertLastChild(page);
    Node(4)->InsertLastChild(layer);
    Node(5)->InsertLastChild(layer);
    page->Delete();
    EXPECT_EQ(4u, ZuTestNode::deleted);
    EXPECT_EQ(0, page->GetSubtreeSize());
    EXPECT_EQ(2, root->GetSubtreeSize());
    EXPECT_TRUE(CTree::CheckLinks(root));
    // A drawing object learns its node; one of another class is only kept.
    CGraObjectRef g = Make<CGraObjectRef>();
    CTreeNodeRef holder = Make<CTreeNodeRef>();
    holder->SetObject(g);
    EXPECT_TRUE(g->GetTreeNode() == holder);
    holder->InsertLastChild(other);
    tree->Delete();
    EXPECT_EQ(5u, ZuTestNode::deleted);
    EXPECT_TRUE(g->GetTreeNode().IsInvalid());
}

class CTreeStorageTest : public CTreeTest {
protected:
    void SetUp() override
    {
        CTreeTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        CTreeTest::TearDown();
    }
    std::vector<unsigned char> Stored(const ZuObjectRef& o)
    {
        store->StartStoring();
        store->StoreObject(o);
        return store->Bytes();
    }
    bool Restored(const std::vector<unsigned char>& bytes, CTreeRef& out)
    {
        store->StartRestoring(bytes);
        try {
            ZuStorageRef(store) >> out;
            store->FinallyAwake();
        } catch (const ZuExcStream&) {
            return false;
        }
        return true;
    }
    // Root, pages 1 and 2, page 1 with layer 3 holding a drawing object.
    CTreeRef Sample(std::vector<CTreeNodeRef>& nodes)
    {
        CTreeRef tree = Make<CTreeRef>();
        nodes = {tree->RetRoot(), Node(1), Node(2), Node(3), Make<CTreeNodeRef>()};
        nodes[1]->InsertLastChild(nodes[0]);
        nodes[2]->InsertLastChild(nodes[0]);
        nodes[3]->InsertLastChild(nodes[1]);
        nodes[4]->SetObject(Make<CGraObjectRef>());
        nodes[4]->InsertLastChild(nodes[3]);
        return tree;
    }
    ZuTestStorageRef store;
};

TEST_F(CTreeStorageTest, ARestoredTreeKeepsItsShapeAndObjects)
{
    DebugCapture quiet;
    std::vector<CTreeNodeRef> nodes;
    CTreeRef tree = Sample(nodes);
    CTreeRef back;
    ASSERT_TRUE(Restored(Stored(tree), back));
    const CTreeNodeRef root = back->RetRoot();
    EXPECT_TRUE(CTree::CheckLinks(root));
    EXPECT_EQ(4, root->GetSubtreeSize());
    EXPECT_EQ(std::vector<int>({-1, 1, 3, -1, 2}), DeepWalk(root, 1));
    // The drawing object knows its node again.
    CTreeNodeRef object;
    back->GetNode(object, 0, 0);
    object = object->RetFirstChild();
    EXPECT_TRUE(CGraObjectRef(object->RetObject())->GetTreeNode() == object);
    EXPECT_NE(std::string::npos, quiet.DebugText().find("CTreeNode::RestoreInstance\n"));
    back->Delete();
    tree->Delete();
}

TEST_F(CTreeStorageTest, StoredLinksThatDisagreeAreRefused)
{
    DebugCapture quiet;
    struct Case {
        const char* what;
        std::function<void(const std::vector<CTreeNodeRef>&)> spoil;
    } const cases[] = {
        // Page 2 also claims the layer as its only child.
        {"child with another parent",
         [](const std::vector<CTreeNodeRef>& n) {
             n[2]->RetFirstChild() = n[3];
             n[2]->RetLastChild() = n[3];
         }},
        // The layer's next leads back to page 1.
        {"cycle", [](const std::vector<CTreeNodeRef>& n) { n[3]->RetNext() = n[1]; }},
        // Page 2's prev is not page 1.
        {"prev", [](const std::vector<CTreeNodeRef>& n) { n[2]->RetPrev() = n[3]; }},
        // The root's last child is page 1.
        {"ends", [](const std::vector<CTreeNodeRef>& n) { n[0]->RetLastChild() = n[1]; }},
        // The object's node counts a child that is not there.
        {"counters",
         [](const std::vector<CTreeNodeRef>& n) {
             Make<CTreeNodeRef>()->InsertLastChild(n[4]);
             n[4]->RetFirstChild() = n[4]->RetLastChild() = CTreeNodeRef();
         }},
        // The root has a parent.
        {"root", [](const std::vector<CTreeNodeRef>& n) { n[0]->RetParent() = n[1]; }},
    };
    for (const Case& c : cases) {
        std::vector<CTreeNodeRef> nodes;
        CTreeRef tree = Sample(nodes);
        c.spoil(nodes);
        CTreeRef back;
        EXPECT_FALSE(Restored(Stored(tree), back)) << c.what;
        // Refused when it awakes, with its nodes cut loose.
        ASSERT_TRUE(back.IsValid()) << c.what;
        EXPECT_TRUE(back->RetRoot()->RetFirstChild().IsInvalid()) << c.what;
        for (const CTreeNodeRef& n : nodes) {
            n->RetParent() = n->RetPrev() = n->RetNext() = n->RetFirstChild() = n->RetLastChild() =
                CTreeNodeRef();
        }
    }
    EXPECT_NE(std::string::npos,
              quiet.DebugText().find("CTree: links of the stored tree disagree"));
}

} // namespace
