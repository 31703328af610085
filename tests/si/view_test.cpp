#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "si/atompath.h"
#include "si/except.h"
#include "si/values.h"
#include "si/view.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

// A control made of parts placed beside it in its parent: its Delete takes
// them along, as the program's numeric entries do with their arrows.
ZU_HANDLE(TPartOwnerView, ZuView)
class TPartOwnerView : public ZuView {
    ZU_CLASS(TPartOwnerView, ZuView)
public:
    TPartOwnerView() {}
    void Delete() override
    {
        if (part.IsValid()) {
            part->SetParent(ZuViewNull);
            part->Delete();
        }
        part = ZuViewRef();
        ZuView::Delete();
    }
    ZuViewRef part;
};
ZU_CLASS_END(TPartOwnerView)
ZU_IMPLEMENT_CLASS(TPartOwnerView, "tests/view", ZU_CLASS_PLAIN)

class ViewTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        TProbeView::log.clear();
    }
    void TearDown() override
    {
        for (auto& v : made)
            if (v.IsValid() && v->RetParent().IsInvalid())
                v->Delete();
        made.clear();
        ZuviRuntimeTest::TearDown();
    }
    TProbeViewRef V(const char* label, double x1 = 0, double y1 = 0, double x2 = -1, double y2 = -1)
    {
        TProbeViewRef v = TProbeView::Make(label, x1, y1, x2, y2);
        made.push_back(v);
        return v;
    }
    // The labels of a view's children, head to tail.
    static std::string Children(const ZuViewRef& p)
    {
        std::string out;
        ZuViewRef c;
        for (p->GetFirstChild(c); c.IsValid();) {
            out += static_cast<TProbeView*>(c.Resolve())->label;
            ZuViewRef n;
            c->GetNextSibling(n);
            c = n;
        }
        // The list read backwards must say the same.
        std::string back;
        for (p->GetLastChild(c); c.IsValid();) {
            back.insert(0, static_cast<TProbeView*>(c.Resolve())->label);
            ZuViewRef n;
            c->GetPrevSibling(n);
            c = n;
        }
        EXPECT_EQ(out, back);
        return out;
    }
    std::vector<ZuViewRef> made;
};

TEST_F(ViewTest, NewViewStateAndChildAtTail)
{
    ZuViewRef v = V("p");
    ZuViewState expected;
    for (unsigned b : {0u, 25u, 26u, 27u, 29u})
        expected.SetBit(static_cast<ZuViewStateBit>(b));
    EXPECT_EQ(v->RetState(), expected);
    EXPECT_TRUE(v->RetBox().IsEmpty());
    EXPECT_EQ(v->RetUserTag(), 0);
    EXPECT_EQ(v->RetCursor(), ZuAtomRef("Zuvi_CursorDefault"));
    ZuViewRef a = V("a"), b = V("b"), c = V("c");
    for (auto& x : {a, b, c})
        EXPECT_TRUE(x->SetParent(v));
    EXPECT_EQ(Children(v), "abc");
    EXPECT_TRUE(a->SetParent(v)); // the same parent changes nothing
    EXPECT_EQ(Children(v), "abc");
    ZuResponderRef next;
    EXPECT_TRUE(a->GetNextResponder(next));
    EXPECT_EQ(next, v);
}

TEST_F(ViewTest, DeleteReachesEveryChildWhenOneTakesItsSiblingsAlong)
{
    TProbeViewRef p = V("p", 0, 0, 99, 99);
    TPartOwnerViewRef owner = ZuNew<TPartOwnerView>(Zuvi_app_zone);
    owner->SetParent(p);
    TProbeViewRef part = V("part");
    part->SetParent(p);
    owner->part = part;
    TProbeViewRef after = V("after");
    after->SetParent(p);
    TProbeViewRef grandchild = V("grandchild");
    grandchild->SetParent(after);
    p->Delete();
    // The children after the parts were deleted too, down to their own.
    EXPECT_TRUE(owner->part.IsInvalid());
    EXPECT_TRUE(part->RetParent().IsInvalid());
    EXPECT_TRUE(after->RetParent().IsInvalid());
    EXPECT_TRUE(grandchild->RetParent().IsInvalid());
    EXPECT_EQ(Children(p), "");
}

TEST_F(ViewTest, ReorderTable)
{
    struct Case {
        const char* view;
        const char* op;
        const char* other; // "" for the empty handle
        const char* result;
    } cases[] = {
        {"b", "before", "", "acdb"},  {"b", "after", "", "bacd"},  {"c", "before", "a", "cabd"},
        {"a", "after", "c", "bcad"},  {"d", "after", "d", "abcd"}, {"b", "before", "b", "abcd"},
        {"a", "before", "b", "abcd"}, {"c", "after", "b", "abcd"}, {"a", "first", "", "abcd"},
        {"c", "first", "", "cabd"},   {"b", "last", "", "acdb"},   {"a", "after", "d", "bcda"},
    };
    for (const Case& c : cases) {
        ZuViewRef p = V("p");
        std::map<std::string, ZuViewRef> by;
        for (const char* l : {"a", "b", "c", "d"}) {
            by[l] = V(l);
            by[l]->SetParent(p);
        }
        ZuViewRef v = by[c.view];
        ZuViewRef other = *c.other ? by[c.other] : ZuViewRef();
        std::string op = c.op;
        if (op == "before")
            v->ReorderBefore(other);
        else if (op == "after")
            v->ReorderAfter(other);
        else if (op == "first")
            v->ReorderFirst();
        else
            v->ReorderLast();
        EXPECT_EQ(Children(p), c.result) << c.view << " " << c.op << " " << c.other;
    }
}

TEST_F(ViewTest, DetachClearsEnteredOnSubtreeAndCycleIsRefused)
{
    ZuViewRef p = V("p"), a = V("a"), b = V("b");
    a->SetParent(p);
    b->SetParent(a);
    a->ChangeState(ZU_VIEW_IS_ENTERED, true, true);
    EXPECT_TRUE(a->SetParent(ZuViewRef()));
    EXPECT_FALSE(a->RetState().TestBit(ZU_VIEW_IS_ENTERED));
    EXPECT_FALSE(b->RetState().TestBit(ZU_VIEW_IS_ENTERED));
    EXPECT_EQ(Children(p), "");
    // A view cannot go under itself or under one of its descendants.
    EXPECT_FALSE(a->SetParent(a));
    EXPECT_FALSE(a->SetParent(b));
    EXPECT_EQ(Children(a), "b");
}

TEST_F(ViewTest, GeometryMovesDescendantsAndReportsOnlyChanges)
{
    ZuViewRef p = V("p", 10, 10, 59, 59), c = V("c", 20, 20, 29, 29), g = V("g", 22, 22, 23, 23);
    c->SetParent(p);
    g->SetParent(c);
    p->MoveOrigin(5, -5);
    EXPECT_EQ(c->RetBox(), ZuRect(25, 15, 34, 24));
    EXPECT_EQ(g->RetBox(), ZuRect(27, 17, 28, 18));
    p->SetOrigin(20, 10);
    EXPECT_EQ(g->RetBox(), ZuRect(32, 22, 33, 23));
    c->SetSize(0, 5);
    double w = -1, h = -1;
    c->GetSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_TRUE(c->RetBox().IsEmpty());
    ZuRect before = p->RetBox();
    p->SetOrigin(before.X1(), before.Y1());
    p->MoveOrigin(0, 0);
    p->SetSize(before.DX(), before.DY());
    EXPECT_EQ(p->RetBox(), before);
}

TEST_F(ViewTest, ChangeStateRecursiveClickedMarksDescendantsAutoClicked)
{
    ZuViewRef p = V("p"), a = V("a"), b = V("b");
    a->SetParent(p);
    b->SetParent(a);
    p->ChangeState(ZU_VIEW_IS_CLICKED, true, true);
    for (auto& v : {p, a, b})
        EXPECT_TRUE(v->RetState().TestBit(ZU_VIEW_IS_CLICKED));
    EXPECT_FALSE(p->RetState().TestBit(ZU_VIEW_IS_AUTO_CLICKED));
    EXPECT_TRUE(a->RetState().TestBit(ZU_VIEW_IS_AUTO_CLICKED));
    EXPECT_TRUE(b->RetState().TestBit(ZU_VIEW_IS_AUTO_CLICKED));
    ZuViewState set;
    set.SetBit(ZU_VIEW_IS_CLICKED);
    p->ChangeState(set, false, true);
    EXPECT_FALSE(b->RetState().TestBit(ZU_VIEW_IS_CLICKED));
    EXPECT_FALSE(b->RetState().TestBit(ZU_VIEW_IS_AUTO_CLICKED));
}

TEST_F(ViewTest, NamesAndPaths)
{
    // p(x) > [a(x) > b(x)], c(unnamed) > d(y)
    ZuViewRef p = V("p"), a = V("a"), b = V("b"), c = V("c"), d = V("d");
    a->SetParent(p);
    b->SetParent(a);
    c->SetParent(p);
    d->SetParent(c);
    for (auto& v : {p, a, b})
        v->SetUserName(ZuAtomRef("x"));
    d->SetUserName(ZuAtomRef("y"));
    ZuViewRef found;
    EXPECT_TRUE(p->FindUserName(ZuAtomRef("x"), 0, found));
    EXPECT_EQ(found, p);
    EXPECT_TRUE(p->FindUserName(ZuAtomRef("x"), 1, found));
    EXPECT_EQ(found, a);
    EXPECT_TRUE(p->FindUserName(ZuAtomRef("x"), 2, found));
    EXPECT_EQ(found, b);
    EXPECT_FALSE(p->FindUserName(ZuAtomRef("x"), 3, found));
    ZuAtomPathRef path = ZuNew<ZuAtomPath>(Zuvi_app_zone);
    path->SetString(ZuStringRef("x.y"));
    EXPECT_TRUE(p->FindUserPath(path, found));
    EXPECT_EQ(found, d); // through the unnamed view c
    path->SetString(ZuStringRef("y"));
    EXPECT_FALSE(p->FindUserPath(path, found)); // p is named and is not y
    EXPECT_TRUE(c->FindUserPath(path, found));
    EXPECT_EQ(found, d);
    ZuAtomPathRef up = b->RetUserPath();
    EXPECT_EQ(up->TotalCount(), 3u);
    EXPECT_EQ(d->RetUserPath()->TotalCount(), 2u); // c adds nothing
}

TEST_F(ViewTest, FocusTraversalSkipsDisabledAndHiddenAndWraps)
{
    ZuWindowRef w = NewTestWindow(100, 60);
    ZuViewRef a = V("a"), b = V("b"), c = V("c"), d = V("d");
    for (auto& v : {a, b, c, d}) {
        v->SetParent(w);
        v->SetLastActive();
    }
    EXPECT_EQ(c->RetActiveRank(), 2);
    b->SetDisable();
    c->ChangeState(ZU_VIEW_NO_DISPLAY, true, false);
    ZuViewRef next;
    EXPECT_TRUE(a->FindNextActive(next));
    EXPECT_EQ(next, d);
    EXPECT_TRUE(d->FindNextActive(next)); // wraps to the first
    EXPECT_EQ(next, a);
    EXPECT_TRUE(a->FindPrevActive(next));
    EXPECT_EQ(next, d);
    for (auto& v : {a, b, c, d})
        v->RemoveActive();
    EXPECT_TRUE(w->RetActiveList().IsInvalid()); // gone with its last member
    w->Delete();
}

TEST_F(ViewTest, DetectionTable)
{
    ZuWindowRef w = NewTestWindow(100, 60);
    ZuViewRef a = V("a", 10, 10, 49, 39), b = V("b", 30, 20, 69, 49);
    ZuViewRef inner = V("inner", 40, 30, 80, 55); // sticks out of b
    a->SetParent(w);
    b->SetParent(w);
    inner->SetParent(b);
    struct Case {
        double x, y;
        const char* found; // "" for the window itself (the general detection)
    } cases[] = {
        {40, 30, "inner"}, {35, 25, "b"}, {15, 15, "a"}, {69, 49, "inner"},
        {49, 39, "inner"}, {75, 52, ""},  {5, 5, ""},
    };
    for (const Case& c : cases) {
        ZuViewRef out;
        ASSERT_TRUE(static_cast<ZuView*>(w.Resolve())->ZuView::Detect(c.x, c.y, out, false));
        std::string label = out == w ? "" : static_cast<TProbeView*>(out.Resolve())->label;
        EXPECT_EQ(label, c.found) << c.x << "," << c.y;
    }
    ZuViewRef out;
    b->SetDisable();
    EXPECT_TRUE(static_cast<ZuView*>(w.Resolve())->ZuView::Detect(35, 25, out, false));
    EXPECT_EQ(out, a);
    EXPECT_TRUE(static_cast<ZuView*>(w.Resolve())->ZuView::Detect(40, 30, out, true));
    EXPECT_EQ(out, inner);
    b->SetEnable(true);
    b->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    EXPECT_TRUE(static_cast<ZuView*>(w.Resolve())->ZuView::Detect(40, 30, out, true));
    EXPECT_EQ(out, a);
    w->Delete();
}

TEST_F(ViewTest, StoredTreeComesBackAndBrokenListsAreRefused)
{
    ZuViewRef p = V("p", 0, 0, 9, 9), a = V("a", 1, 1, 2, 2), b = V("b", 3, 3, 4, 4);
    a->SetParent(p);
    b->SetParent(p);
    b->SetUserName(ZuAtomRef("bee"));
    p->SetUserTag(-7);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(p);
    std::vector<unsigned char> bytes = s->Bytes();
    {
        ZuTestStorageRef in = ZuTestStorage::Make();
        in->StartRestoring(bytes);
        ZuObjectRef back;
        in->RestoreObject(back, ZuViewRef::RetRuntime());
        ZuViewRef q(back);
        ASSERT_TRUE(q.IsValid());
        EXPECT_EQ(q->RetUserTag(), -7);
        EXPECT_EQ(q->RetBox(), ZuRect(0, 0, 9, 9));
        ZuViewRef found;
        EXPECT_TRUE(q->FindUserName(ZuAtomRef("bee"), found));
        EXPECT_EQ(found->RetBox(), ZuRect(3, 3, 4, 4));
        EXPECT_EQ(found->RetParent(), q);
        q->Delete();
    }
    // Cut the stream anywhere: a refusal or a tree, never a crash.
    for (size_t cut = 1; cut < bytes.size(); cut += 3) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
        ZuTestStorageRef in = ZuTestStorage::Make();
        in->StartRestoring(part);
        ZuObjectRef back;
        try {
            in->RestoreObject(back, ZuViewRef::RetRuntime());
        } catch (const ZuException&) {}
        ZuViewRef q(back);
        if (q.IsValid())
            q->Delete();
    }
}

TEST_F(ViewTest, ChildAndSiblingRecordsHoldTheirViews)
{
    ZuViewRef a = ZuNew<ZuView>(nullptr);
    ZuViewRef b = ZuNew<ZuView>(nullptr);
    ZuView::ViewChildren empty;
    EXPECT_FALSE(empty.head.IsValid());
    EXPECT_FALSE(empty.tail.IsValid());
    ZuView::ViewChildren children{a, b};
    ZuView::ViewSiblings siblings{b, a};
    unsigned ra = a->RetRefCount();
    unsigned rb = b->RetRefCount();
    {
        ZuView::ViewChildren copy(children);
        EXPECT_EQ(a->RetRefCount(), ra + 1);
        EXPECT_EQ(b->RetRefCount(), rb + 1);
        EXPECT_EQ(copy.head, a);
        EXPECT_EQ(copy.tail, b);
        ZuView::ViewSiblings other;
        other = siblings;
        EXPECT_EQ(other.previous, b);
        EXPECT_EQ(other.next, a);
        EXPECT_EQ(a->RetRefCount(), ra + 2);
    }
    EXPECT_EQ(a->RetRefCount(), ra);
    EXPECT_EQ(b->RetRefCount(), rb);
    children = ZuView::ViewChildren();
    siblings = ZuView::ViewSiblings();
    a->Delete();
    b->Delete();
}

TEST_F(ViewTest, PublishedDataAndCallsByName)
{
    TProbeViewRef p = V("p", 0, 0, 99, 99);
    TProbeViewRef v = V("v", 10, 10, 19, 19);
    TProbeViewRef w = V("w", 30, 30, 39, 39);
    v->SetParent(p);
    w->SetParent(p);
    v->SetLastActive();
    w->SetLastActive();

    // Reading by name gives the fields.
    ZuValueRef value;
    ASSERT_TRUE(v->QueryData(ZuAtomRef("box"), value));
    EXPECT_EQ(value->RetRect(), ZuRect(10, 10, 19, 19));
    ASSERT_TRUE(w->QueryData(ZuAtomRef("active_rank"), value));
    EXPECT_EQ(value->RetInt32(), 1);
    ASSERT_TRUE(v->QueryData(ZuAtomRef("state"), value));
    EXPECT_EQ(value->RetCard64(), v->RetState().RetBits());
    ZuObjectRef cursor;
    ASSERT_TRUE(v->QueryData(ZuAtomRef("cursor"), cursor));
    EXPECT_EQ(cursor, ZuObjectRef(ZuAtomRef("Zuvi_CursorDefault")));

    // Writing by name goes through the setters.
    EXPECT_TRUE(v->DefineData(ZuAtomRef("user_tag"), ZuValueRef(42)));
    EXPECT_EQ(v->RetUserTag(), 42);
    EXPECT_TRUE(v->DefineData(ZuAtomRef("user_name"), ZuObjectRef(ZuAtomRef("nom"))));
    EXPECT_EQ(v->RetUserName(), ZuAtomRef("nom"));
    ZuObjectRef name;
    ASSERT_TRUE(v->QueryData(ZuAtomRef("user_name"), name));
    EXPECT_EQ(name, ZuObjectRef(ZuAtomRef("nom")));
    EXPECT_TRUE(v->DefineData(ZuAtomRef("box"), ZuValueRef(ZuRect(5, 5, 24, 14))));
    EXPECT_EQ(v->RetBox(), ZuRect(5, 5, 24, 14));
    EXPECT_TRUE(v->DefineData(ZuAtomRef("active_rank"), ZuValueRef(1)));
    EXPECT_EQ(v->RetActiveRank(), 1);
    EXPECT_EQ(w->RetActiveRank(), 0);
    ZuViewState hidden = v->RetState();
    hidden.SetBit(ZU_VIEW_NO_DISPLAY);
    EXPECT_TRUE(v->DefineData(ZuAtomRef("state"), ZuValueRef(hidden)));
    EXPECT_EQ(v->RetState(), hidden);
    EXPECT_TRUE(v->DefineData(ZuAtomRef("cursor"), ZuObjectRef(ZuAtomRef("Zuvi_CursorMoveX"))));
    EXPECT_EQ(v->RetCursor(), ZuAtomRef("Zuvi_CursorMoveX"));

    // The methods callable by name.
    EXPECT_TRUE(v->Action(ZuAtomRef("SetDisable"), ZuObjectNull, 0));
    EXPECT_FALSE(v->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_TRUE(v->Action(ZuAtomRef("SetEnable"), ZuObjectNull, 0));
    EXPECT_TRUE(v->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_TRUE(v->Action(ZuAtomRef("ReorderLast"), ZuObjectNull, 0));
    EXPECT_EQ(Children(p), "wv");
    EXPECT_TRUE(v->Action(ZuAtomRef("ReorderFirst"), ZuObjectNull, 0));
    EXPECT_EQ(Children(p), "vw");
    EXPECT_TRUE(v->Action(ZuAtomRef("Display"), ZuObjectNull, 0));
    EXPECT_TRUE(v->Action(ZuAtomRef("MakeMainResponder"), ZuObjectNull, 0));

    // The value conversions of the view and its state set.
    EXPECT_EQ(Zuvi_ValueToZuView(ZuValueRef(ZuObjectRef(v))), ZuViewRef(v));
    EXPECT_FALSE(Zuvi_ValueToZuView(ZuValueRef(ZuObjectRef(ZuAtomRef("v")))).IsValid());
    EXPECT_EQ(Zuvi_ValueToZuViewState(ZuValueRef(uint64_t(1) << 33)).RetBits(), uint64_t(1) << 33);
}
