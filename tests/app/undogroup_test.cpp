// One undoable step: its walk order, the folding of two steps, its trace,
// and its stored form (cut or corrupt input refused whole).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tree.h"
#include "app/undogroup.h"
#include "si/except.h"
#include "tests/app/gratest.h"
#include "tests/support/debugcapture.h"

// A step whose stored record is written field by field as the test asks:
// what stands in the places of the actions, the label and the entered
// group, and the depth. Its class name has the step's length, so that a
// test can rename it in the stream.
ZU_HANDLE(CUndoGrouX, CUndoGroup)
class CUndoGrouX : public CUndoGroup {
    ZU_CLASS(CUndoGrouX, CUndoGroup)
public:
    CUndoGrouX() {}
    ZuObjectRef actionsSlot;
    ZuObjectRef labelSlot;
    ZuObjectRef enteredSlot;
    int depth = 0;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::StoreInstance(s);
        s << ZuStorageSync::begin << actionsSlot << 71 << labelSlot << ZuStorageSync::mark;
        for (int i = 0; i < 10; i++)
            s << double(i);
        s << true << 92 << ZuStorageSync::mark;
        s << enteredSlot << depth << ZuStorageSync::end;
    }
};
ZU_CLASS_END(CUndoGrouX)
ZU_IMPLEMENT_CLASS(CUndoGrouX, "tests/app/undogroup_test", ZU_CLASS_PLAIN)

namespace {

class CUndoGroupTest : public TreeTest {
protected:
    static void Add(const CUndoGroupRef& g, const CUndoActionRef& a)
    {
        CListNodeRef n = ZuNew<CListNode>();
        n->SetObject(a);
        g->AddAction(n);
    }
    CUndoActionRef Insert(const CTreeNodeRef& at)
    {
        CUndoActionRef a = Make<CUndoActionRef>();
        a->RecordInsert(Node(), at, CUndoAction::LAST_CHILD);
        return a;
    }
    CUndoActionRef Remove(const CTreeNodeRef& n)
    {
        CUndoActionRef a = Make<CUndoActionRef>();
        a->RecordRemove(n);
        return a;
    }
    CUndoActionRef Replace(const CTreeNodeRef& fresh, const CTreeNodeRef& old)
    {
        CUndoActionRef a = Make<CUndoActionRef>();
        a->RecordReplace(fresh, old);
        return a;
    }
    static std::vector<CUndoAction*> Walk(const CUndoGroupRef& g)
    {
        std::vector<CUndoAction*> out;
        g->StartIteration();
        for (CUndoActionRef a = g->NextAction(); a.IsValid(); a = g->NextAction())
            out.push_back(a.Resolve());
        return out;
    }
    static CSavedState State(double x, int mode)
    {
        CSavedState s = {};
        for (int i = 0; i < 4; i++)
            s.corners[i] = DPoint{x + i, 2.0 * i};
        s.centre = DPoint{x + 0.5, 7.25};
        s.boxShown = 1;
        s.handleMode = mode;
        s.page = 3;
        s.layer = 4;
        return s;
    }
};

TEST_F(CUndoGroupTest, AGroupHoldingARemovalIsWalkedLastToFirstInsertionsIncluded)
{
    CUndoGroupRef g = Make<CUndoGroupRef>();
    EXPECT_EQ(0, g->GetOper());
    EXPECT_EQ(0, g->GetCount());
    EXPECT_TRUE(g->GetLabel().IsInvalid());
    CUndoActionRef i1 = Insert(layer), i2 = Insert(layer);
    Add(g, i1);
    Add(g, i2);
    EXPECT_EQ((std::vector<CUndoAction*>{i1.Resolve(), i2.Resolve()}), Walk(g));
    CUndoActionRef r = Remove(layer->RetFirstChild());
    Add(g, r);
    CUndoActionRef i3 = Insert(layer);
    Add(g, i3);
    EXPECT_EQ(4, g->GetCount());
    EXPECT_EQ((std::vector<CUndoAction*>{i3.Resolve(), r.Resolve(), i2.Resolve(), i1.Resolve()}),
              Walk(g));
}

TEST_F(CUndoGroupTest, StepsFoldOnlyWithTheSameCodeCountAndChainedReplacements)
{
    // Two objects replaced twice: the older step, then the newer.
    CTreeNodeRef a = Node(layer), b = Node(layer);
    CTreeNodeRef a1 = Node(), b1 = Node(), a2 = Node(), b2 = Node();
    CUndoGroupRef older = Make<CUndoGroupRef>();
    older->SetOper(100);
    Add(older, Replace(a1, a));
    Add(older, Replace(b1, b));
    // A newer step: its first replacement chained to the older step's or
    // not, its second (count 2) chained.
    auto newer = [&](int oper, bool chained, int count) {
        CUndoGroupRef g = Make<CUndoGroupRef>();
        g->SetOper(oper);
        Add(g, Replace(Node(), chained ? a1 : Node(layer)));
        if (count > 1)
            Add(g, Replace(Node(), b1));
        return g;
    };
    struct Case {
        const char* what;
        int oper;
        bool chained;
        int count;
        bool folds;
    } const cases[] = {
        {"same code, both chained", 100, true, 2, true},
        {"another code", 120, true, 2, false},
        {"fewer actions", 100, true, 1, false},
        {"an unchained pair", 100, false, 2, false},
    };
    for (const Case& c : cases) {
        CUndoGroupRef g = newer(c.oper, c.chained, c.count);
        EXPECT_EQ(c.folds, g->CanMerge(older)) << c.what;
        // Put the tree back for the next case.
        g->StartIteration();
        for (CUndoActionRef act = g->NextAction(); act.IsValid(); act = g->NextAction()) {
            CUndoActionRef back;
            act->MakeInverse(back);
        }
    }
    EXPECT_FALSE(older->CanMerge(older));

    // Folded, each replacement goes from the older step's old node.
    CUndoGroupRef g = Make<CUndoGroupRef>();
    g->SetOper(100);
    Add(g, Replace(a2, a1));
    Add(g, Replace(b2, b1));
    ASSERT_TRUE(g->CanMerge(older));
    g->Merge(older);
    std::vector<CTreeNode*> olds;
    for (CUndoAction* act : Walk(g))
        olds.push_back(act->GetObjectNode().Resolve());
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), b.Resolve()}), olds);
}

TEST_F(CUndoGroupTest, DumpWritesTheStepLineThenItsActionsInWalkOrder)
{
    CUndoGroupRef g = Make<CUndoGroupRef>();
    g->SetOper(10);
    g->SetSavedState(State(1.5, 91));
    Add(g, Make<CUndoActionRef>());
    DebugCapture capture;
    g->Dump(false);
    EXPECT_EQ("UndoGroup: oper=10, nb=1 rect=1.500000;0.000000 tool=91\n", capture.DebugText());
    capture.Clear();
    g->Dump(true);
    EXPECT_EQ("UndoGroup: oper=10, nb=1 rect=1.500000;0.000000 tool=91\n"
              "  UndoAction: oper=0 object=-------- attach=-------- mode=0\n",
              capture.DebugText());
}

class CUndoGroupStorageTest : public CUndoGroupTest {
protected:
    // A step of three actions, no label, a saved state and an entered group.
    CUndoGroupRef Sample()
    {
        CUndoGroupRef g = Make<CUndoGroupRef>();
        g->SetOper(33);
        Add(g, Insert(layer));
        Add(g, Insert(layer));
        Add(g, Remove(layer->RetFirstChild()));
        g->SetSavedState(State(-4.0, 95));
        g->SetEnteredGroup(layer, 2);
        return g;
    }
    std::vector<unsigned char> Bytes(const ZuObjectRef& o)
    {
        if (store.IsInvalid())
            store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(o);
        return store->Bytes();
    }
    // The group read back; empty (and false) when the storage refused.
    bool Read(const std::vector<unsigned char>& bytes, CUndoGroupRef& out)
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
};

TEST_F(CUndoGroupStorageTest, ARestoredGroupKeepsItsStepStateAndEnteredGroup)
{
    CUndoGroupRef g = Sample();
    CUndoGroupRef back;
    ASSERT_TRUE(Read(Bytes(g), back));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(0u, store->Remaining());
    EXPECT_EQ(33, back->GetOper());
    EXPECT_EQ(3, back->GetCount());
    EXPECT_TRUE(back->GetLabel().IsInvalid());
    CSavedState want = State(-4.0, 95), got;
    back->GetSavedState(got);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(want.corners[i].x, got.corners[i].x) << i;
        EXPECT_EQ(want.corners[i].y, got.corners[i].y) << i;
    }
    EXPECT_EQ(want.centre.x, got.centre.x);
    EXPECT_EQ(want.centre.y, got.centre.y);
    EXPECT_EQ(1, got.boxShown);
    EXPECT_EQ(95, got.handleMode);
    // Page and layer are not stored.
    EXPECT_EQ(0, got.page);
    EXPECT_EQ(0, got.layer);
    CTreeNodeRef entered;
    int depth = -1;
    back->GetEnteredGroup(entered, depth);
    EXPECT_EQ(2, depth);
    ASSERT_TRUE(entered.IsValid());
    EXPECT_EQ(1, entered->CountChildren());
    // The actions come back as actions, in order, and walk as a group.
    back->StartIteration();
    int actions = 0;
    for (CUndoActionRef a = back->NextAction(); a.IsValid(); a = back->NextAction())
        actions++;
    EXPECT_EQ(3, actions);
}

TEST_F(CUndoGroupStorageTest, ALabelComesBackAndFieldsOfTheWrongKindAreRefused)
{
    // A list of actions holding something else than an action.
    CListRef odd = Make<CListRef>();
    CListNodeRef n = Make<CListNodeRef>();
    n->SetObject(ZuStringRef("pas une action"));
    odd->Append(n);
    struct Case {
        const char* what;
        ZuObjectRef actions, label, entered;
        int depth;
        bool read;
    } const cases[] = {
        {"a label", Make<CListRef>(), ZuStringRef("\xc9tape"), layer, 1, true},
        {"no list of actions", ZuObjectRef(), ZuObjectRef(), ZuObjectRef(), 0, true},
        {"a list holding no action", odd, ZuObjectRef(), ZuObjectRef(), 0, true},
        {"a text for the actions", ZuStringRef("x"), ZuObjectRef(), ZuObjectRef(), 0, false},
        {"a list for the label", Make<CListRef>(), Make<CListRef>(), ZuObjectRef(), 0, false},
        {"a text for the entered group", Make<CListRef>(), ZuObjectRef(), ZuStringRef("x"), 1,
         false},
        {"a negative depth", Make<CListRef>(), ZuObjectRef(), ZuObjectRef(), -1, false},
    };
    for (const Case& c : cases) {
        CUndoGrouXRef forged = Make<CUndoGrouXRef>();
        forged->actionsSlot = c.actions;
        forged->labelSlot = c.label;
        forged->enteredSlot = c.entered;
        forged->depth = c.depth;
        std::vector<unsigned char> bytes = Bytes(forged);
        const std::string name = "CUndoGrouX";
        auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
        ASSERT_NE(bytes.end(), at) << c.what;
        at[9] = 'p';
        CUndoGroupRef back;
        EXPECT_EQ(c.read, Read(bytes, back)) << c.what;
        if (!c.read) {
            EXPECT_TRUE(back.IsInvalid()) << c.what;
            continue;
        }
        ASSERT_TRUE(back.IsValid()) << c.what;
        EXPECT_EQ(CUndoGroupRef::RetRuntime(), back->RetRuntime()) << c.what;
        EXPECT_EQ(71, back->GetOper()) << c.what;
        EXPECT_EQ(c.label.IsValid(), back->GetLabel().IsValid()) << c.what;
        if (c.label.IsValid()) {
            EXPECT_EQ("\xc9tape", Text(back->GetLabel())) << c.what;
        }
        CSavedState got;
        back->GetSavedState(got);
        EXPECT_EQ(8.0, got.centre.x) << c.what;
        EXPECT_EQ(92, got.handleMode) << c.what;
        // Whatever the list held, the step walks and dumps.
        back->StartIteration();
        EXPECT_TRUE(back->NextAction().IsInvalid()) << c.what;
        DebugCapture capture;
        back->Dump(true);
        EXPECT_EQ(0u, capture.DebugText().find("UndoGroup: oper=71, nb=")) << c.what;
    }
}

TEST_F(CUndoGroupStorageTest, CutOrCorruptInputIsRefusedWithNoHalfBuiltGroup)
{
    const std::vector<unsigned char> whole = Bytes(Sample());
    for (size_t n = 0; n < whole.size(); n++) {
        CUndoGroupRef back;
        EXPECT_FALSE(Read(std::vector<unsigned char>(whole.begin(), whole.begin() + n), back)) << n;
        EXPECT_TRUE(back.IsInvalid()) << n;
    }
    // A negative depth is refused as corrupt.
    CUndoGroupRef bad = Make<CUndoGroupRef>();
    bad->SetEnteredGroup(CTreeNodeRef(), -1);
    CUndoGroupRef back;
    EXPECT_FALSE(Read(Bytes(bad), back));
    EXPECT_TRUE(back.IsInvalid());
}

} // namespace
