// The drawing object base: its defaults, the shadow's definitions (answer,
// replace, prune, what is missing), the shadow pass on the port, the boxes,
// corner drawing and the stored form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/graobject.h"
#include "app/graport.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// A context that keeps the text it is sent.
ZU_HANDLE(CornerContext, GSContext)
class CornerContext : public GSContext {
    ZU_CLASS(CornerContext, GSContext)
public:
    CornerContext() {}
    bool ExecuteText(const char* text, int n) override
    {
        sent += std::string(text, n > 0 ? size_t(n) : std::strlen(text));
        return true;
    }
    int GetOutputLength() override { return 0; }
    bool ReadOutput(char*, int) override { return true; }
    bool ClearOutput() override { return true; }
    std::string sent;
};
ZU_CLASS_END(CornerContext)
ZU_IMPLEMENT_CLASS(CornerContext, "tests/app/graobject_test", ZU_CLASS_PLAIN)

// An object with handles, for the handles box.
ZU_HANDLE(HandledObject, CGraObject)
class HandledObject : public CGraObject {
    ZU_CLASS(HandledObject, CGraObject)
public:
    HandledObject() {}
    int GetHandleCount() const override { return int(handles.size()); }
    int GetHandleType(int n) const override { return handles[size_t(n)].type; }
    DPoint GetHandlePosition(int n) const override { return handles[size_t(n)].p; }
    void SetHandlePosition(int, const DPoint&) override { moved++; }
    void PlacePoint(const DPoint&, int flags) override { placed_flags = flags; }
    int moved = 0;
    int placed_flags = -1;
    struct Handle {
        int type;
        DPoint p;
    };
    std::vector<Handle> handles;
};
ZU_CLASS_END(HandledObject)
ZU_IMPLEMENT_CLASS(HandledObject, "tests/app/graobject_test", ZU_CLASS_PLAIN)

namespace {

// The port's requested state, as the port keeps it.
struct PortState : CGraPort {
    static CPenDefRef Pen(const CGraPortRef& p) { return p.RetRawObject()->*(&PortState::pen); }
    static CColorDefRef Stroke(const CGraPortRef& p)
    {
        return p.RetRawObject()->*(&PortState::strokeColour);
    }
    static CColorDefRef Fill(const CGraPortRef& p)
    {
        return p.RetRawObject()->*(&PortState::fillColour);
    }
    static CMotifDefRef Motif(const CGraPortRef& p)
    {
        return p.RetRawObject()->*(&PortState::motif);
    }
};

struct ObjectAccess : CGraObject {
    static void Store(const CGraObjectRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&ObjectAccess::StoreInstance))(s);
    }
    static void Restore(const CGraObjectRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&ObjectAccess::RestoreInstance))(s);
    }
};

class CGraObjectTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }
    // A shadow position of the mode with offsets (3, 5) and the share.
    static CPositionDefRef Position(int mode, double include = 1.0)
    {
        CPositionDefRef p = Make<CPositionDefRef>();
        p->SetValue(mode);
        p->SetOffsetX(3.0);
        p->SetOffsetY(5.0);
        p->SetInclude(include);
        return p;
    }
    // An object with all four shadow definitions.
    static CGraObjectRef Shadowed(int mode, double include = 1.0)
    {
        CGraObjectRef o = Make<CGraObjectRef>();
        EXPECT_TRUE(o->SetDefinition(100, Position(mode, include)));
        EXPECT_TRUE(o->SetDefinition(101, Make<CMotifDefRef>()));
        EXPECT_TRUE(o->SetDefinition(102, Make<CPatternDefRef>()));
        EXPECT_TRUE(o->SetDefinition(105, Make<CColorDefRef>()));
        return o;
    }
    static ZuObjectRef Definition(const CGraObjectRef& o, int kind)
    {
        ZuObjectRef out;
        EXPECT_TRUE(o->GetDefinition(kind, out));
        return out;
    }
};

TEST_F(CGraObjectTest, ANewObjectIsShownWithoutDefinitions)
{
    CGraObjectRef o = Make<CGraObjectRef>();
    EXPECT_TRUE(o->GetFlag());
    ZuObjectRef out = Make<CPenDefRef>();
    EXPECT_TRUE(o->GetDefinition(100, out));
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(o->GetDefinition(10, out));
    EXPECT_FALSE(o->SetDefinition(103, Make<CColorDefRef>()));
    // A definition of another class does not take a shadow's place.
    EXPECT_FALSE(o->SetDefinition(100, Make<CColorDefRef>()));
    EXPECT_TRUE(Definition(o, 100).IsInvalid());
    // The base's answers.
    EXPECT_EQ(0, o->GetIconId(0));
    EXPECT_EQ(10, o->GetIconId(1));
    EXPECT_EQ(-1, o->GetIconId(2));
    double lo = 0, hi = 0;
    EXPECT_TRUE(o->GetPropertyRange(0, lo, hi));
    EXPECT_EQ(-2000.0, lo);
    EXPECT_EQ(2000.0, hi);
    int kinds[4] = {7, 7, 7, 7};
    o->GetDefinitionKinds(kinds);
    EXPECT_EQ(0, kinds[0]);
    const DRect zero = o->GetHandlesBox();
    EXPECT_TRUE(zero.x1 == 0 && zero.y1 == 0 && zero.x2 == 0 && zero.y2 == 0);
}

TEST_F(CGraObjectTest, DefinitionsAreClonedUnlessShared)
{
    CColorDefRef colour = Make<CColorDefRef>();
    CGraObjectRef o = Make<CGraObjectRef>();
    ASSERT_TRUE(o->SetDefinition(105, colour));
    EXPECT_FALSE(Definition(o, 105) == colour);
    colour->SetShared(true);
    ASSERT_TRUE(o->SetDefinition(105, colour));
    EXPECT_TRUE(Definition(o, 105) == colour);
    // CopyFrom clones the other's, empties what the other lacks.
    CGraObjectRef a = Shadowed(117);
    a->SetFlag(false);
    CGraObjectRef b = Make<CGraObjectRef>();
    b->CopyFrom(a);
    EXPECT_FALSE(b->GetFlag());
    EXPECT_EQ(117, CDefRef(Definition(b, 100))->GetValue());
    EXPECT_FALSE(Definition(b, 101) == Definition(a, 101));
    b->CopyFrom(o);
    EXPECT_TRUE(Definition(b, 100).IsInvalid());
    EXPECT_TRUE(Definition(b, 105) == colour);
}

TEST_F(CGraObjectTest, PruneAndMissingFollowTheShadowPosition)
{
    CGraObjectRef o = Shadowed(120);
    EXPECT_TRUE(o->PruneDefinitions());
    for (int kind : {100, 101, 102, 105})
        EXPECT_TRUE(Definition(o, kind).IsInvalid()) << kind;
    int kinds[8] = {101};
    int count = 1;
    // Without a position nothing is missing.
    EXPECT_TRUE(o->GetMissingDefinitions(kinds, &count));
    EXPECT_EQ(1, count);
    o->SetDefinition(100, Position(116));
    EXPECT_TRUE(o->GetMissingDefinitions(kinds, &count));
    EXPECT_TRUE(o->GetMissingDefinitions(kinds, &count));
    ASSERT_EQ(3, count);
    EXPECT_EQ(std::vector<int>({101, 102, 105}), std::vector<int>(kinds, kinds + 3));
    // A shadow keeps its definitions.
    o = Shadowed(118);
    o->PruneDefinitions();
    EXPECT_TRUE(Definition(o, 102).IsValid());
}

TEST_F(CGraObjectTest, TheShadowPassShiftsThePortAndSetsItsPaint)
{
    CGraPortRef port = Make<CGraPortRef>();
    CGraTransform start{1.0, 2.0, 1.0, 0.0};
    port->SetTransform(start);
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetWidth(2.0);
    struct Case {
        double include;
        bool with_pen;
        bool stroked;
        double width; // of the pen set; 0 for none
    } const cases[] = {{0.0, true, false, 0.0},
                       {1.0, false, false, 0.0},
                       {1.0, true, true, 2.0},
                       {0.25, true, true, 0.5}};
    for (const Case& c : cases) {
        CGraPortRef p = Make<CGraPortRef>();
        p->SetTransform(start);
        CGraObjectRef o = Shadowed(117, c.include);
        const CPenDefRef before = PortState::Pen(p);
        EXPECT_EQ(c.stroked, o->BeginShadow(p, c.with_pen ? pen : CPenDefRef())) << c.include;
        CGraTransform t;
        p->GetTransform(t);
        EXPECT_EQ(4.0, t.dx);
        EXPECT_EQ(7.0, t.dy);
        EXPECT_TRUE(PortState::Stroke(p) == Definition(o, 105));
        EXPECT_TRUE(PortState::Fill(p) == Definition(o, 105));
        EXPECT_TRUE(PortState::Motif(p) == Definition(o, 101));
        if (c.width == 0.0)
            EXPECT_TRUE(PortState::Pen(p) == before) << c.include;
        else
            EXPECT_EQ(c.width, PortState::Pen(p)->GetWidth()) << c.include;
        o->EndShadow(p);
        p->GetTransform(t);
        EXPECT_EQ(1.0, t.dx);
        EXPECT_EQ(2.0, t.dy);
    }
    // The pen itself is used at a share of 1; the caller's pen keeps its
    // width at any other.
    EXPECT_EQ(2.0, pen->GetWidth());
    // Without a position: false, the port untouched.
    CGraObjectRef bare = Make<CGraObjectRef>();
    const CPenDefRef before = PortState::Pen(port);
    EXPECT_FALSE(bare->BeginShadow(port, pen));
    bare->EndShadow(port);
    CGraTransform t;
    port->GetTransform(t);
    EXPECT_EQ(1.0, t.dx);
    EXPECT_TRUE(PortState::Pen(port) == before);
}

TEST_F(CGraObjectTest, BoxesWidenOnTheShadowsSide)
{
    struct Case {
        int mode;
        DRect expected;
    } const cases[] = {{116, {-3, 0, 10, 15}},
                       {117, {0, 0, 13, 15}},
                       {118, {-3, -5, 10, 10}},
                       {119, {0, -5, 13, 10}},
                       {120, {0, 0, 10, 10}}};
    for (const Case& c : cases) {
        CGraObjectRef o = Shadowed(c.mode);
        DRect box{0, 0, 10, 10};
        o->AddShadowToBox(box);
        EXPECT_EQ(c.expected.x1, box.x1) << c.mode;
        EXPECT_EQ(c.expected.y1, box.y1) << c.mode;
        EXPECT_EQ(c.expected.x2, box.x2) << c.mode;
        EXPECT_EQ(c.expected.y2, box.y2) << c.mode;
    }
    // Handles of kinds 2 and 3 make the handles box; others do not count.
    HandledObjectRef h = Make<HandledObjectRef>();
    h->handles = {{1, {-50, -50}}, {2, {4, 1}}, {3, {-2, 6}}, {0, {90, 90}}, {2, {3, -1}}};
    const DRect box = h->GetHandlesBox();
    EXPECT_EQ(-2.0, box.x1);
    EXPECT_EQ(-1.0, box.y1);
    EXPECT_EQ(4.0, box.x2);
    EXPECT_EQ(6.0, box.y2);
}

TEST_F(CGraObjectTest, HandleAndPointDefaultsGoThroughTheObjectsOwn)
{
    // GetHandle shows kinds other than 0 and 1; MoveHandle sets; a drag
    // places and wants no further point. The bare object has none of them.
    HandledObjectRef h = Make<HandledObjectRef>();
    h->handles = {{0, {1, 1}}, {1, {2, 2}}, {2, {3, 4}}, {9, {5, 6}}};
    const DPoint none{-7, -7};
    for (int n = 0; n < 4; n++) {
        DPoint out = none;
        EXPECT_EQ(n >= 2, h->GetHandle(n, out)) << n;
        const DPoint want = n >= 2 ? h->handles[size_t(n)].p : none;
        EXPECT_TRUE(out.x == want.x && out.y == want.y) << n;
    }
    h->MoveHandle(2, DPoint{8, 8});
    EXPECT_EQ(1, h->moved);
    EXPECT_FALSE(h->DragPoint(DPoint{9, 9}, 2));
    EXPECT_EQ(2, h->placed_flags);
    CGraObjectRef bare = Make<CGraObjectRef>();
    DPoint out = none;
    EXPECT_FALSE(bare->GetHandle(0, out));
    EXPECT_EQ(none.x, out.x);
    EXPECT_FALSE(bare->DragPoint(DPoint{1, 1}, 0));
}

TEST_F(CGraObjectTest, CornersAreDrawnByKind)
{
    const DPoint a{0, 10}, corner{0, 0}, b{10, 0};
    struct Case {
        double size;
        int kind;
        const char* expected; // a part of the text sent; null for none
    } const cases[] = {
        {0.0, 111, nullptr},
        {0.0, 112, nullptr},
        {1.0, 110, nullptr},
        {1.0, 115, nullptr},
        {1.0, 111, "0.000000 10.000000 moveto 10.000000 0.000000 lineto"},
        {1.0, 112, "0.000000 0.000000 10.000000 0.000000 9.500000 arct"},
        {1.0, 113, "10.000000 10.000000 10.000000 0.000000 9.500000 arct"},
        {1.0, 114, "10.000000 10.000000 lineto"},
    };
    for (const Case& c : cases) {
        CGraPortRef port = Make<CGraPortRef>();
        CornerContextRef context = Make<CornerContextRef>();
        port->SetTarget(context);
        port->SetPenColor(Make<CColorDefRef>());
        port->SetPen(Make<CPenDefRef>());
        CGraObjectRef o = Make<CGraObjectRef>();
        o->DrawCorner(port, a, b, corner, c.size, c.kind);
        if (c.expected == nullptr)
            EXPECT_EQ("", context->sent) << c.kind;
        else
            EXPECT_NE(std::string::npos, context->sent.find(c.expected))
                << c.kind << ": " << context->sent;
    }
}

TEST_F(CGraObjectTest, StorageKeepsDefinitionsAndFlagButNotTheNode)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    CGraObjectRef o = Shadowed(119, 0.5);
    o->SetFlag(false);
    o->SetTreeNode(Make<CTreeNodeRef>());
    store->StartStoring();
    store->StoreObject(o);
    store->StartRestoring(store->Bytes());
    CGraObjectRef back;
    ZuStorageRef(store) >> back;
    EXPECT_EQ(0u, store->Remaining());
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->GetFlag());
    EXPECT_TRUE(back->GetTreeNode().IsInvalid());
    const CPositionDefRef p(Definition(back, 100));
    EXPECT_EQ(119, p->GetValue());
    EXPECT_EQ(0.5, p->GetInclude());
    for (int kind : {101, 102, 105})
        EXPECT_TRUE(Definition(back, kind).IsValid()) << kind;
    // An empty definition stays empty.
    o = Make<CGraObjectRef>();
    store->StartStoring();
    store->StoreObject(o);
    store->StartRestoring(store->Bytes());
    ZuStorageRef(store) >> back;
    EXPECT_TRUE(back->GetFlag());
    EXPECT_TRUE(Definition(back, 100).IsInvalid());
    store = static_cast<ZuTestStorage*>(nullptr);
}

} // namespace
