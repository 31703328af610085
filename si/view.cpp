#include "si/view.h"

#include <vector>

#include "si/adorner.h"
#include "si/app.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/springboard.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuView, "si/view", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuViewStateBit)
ZU_ENUM_REGISTER(ZuDrawOp)
ZU_ENUM_REGISTER(ZuDragDropProtocol)

ZuAtomRef ZuView::notify_size_changed;
ZuAtomRef ZuView::notify_origin_changed;
ZU_EXPORT_NOTIFY(ZuView, size_changed, "notify_size_changed", &ZuView::notify_size_changed)
ZU_EXPORT_NOTIFY(ZuView, origin_changed, "notify_origin_changed", &ZuView::notify_origin_changed)
ZU_BITSET_REGISTER(ZuViewState)

ZuViewState Zuvi_ValueToZuViewState(const ZuValueRef& value)
{
    ZuViewState set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

ZuViewRef Zuvi_ValueToZuView(const ZuValueRef& value)
{
    ZuObjectRef o = value.IsValid() ? value->RetObject() : ZuObjectNull;
    return o.IsValid() && o->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(o) : ZuViewRef();
}

namespace {

// Calls by name, without argument; each answers true.
#define ZU_VIEW_ACTOR(TAG, NAME, CALL)     \
    Zuvi_TargetExport view_actor_##TAG(    \
        [](ZuObject* o) -> bool {          \
            static_cast<ZuView*>(o)->CALL; \
            return true;                   \
        },                                 \
        NAME, ZuViewRef::RetRuntime());
ZU_VIEW_ACTOR(display, "Display", Display(true))
ZU_VIEW_ACTOR(make_main, "MakeMainResponder", MakeMainResponder())
ZU_VIEW_ACTOR(reorder_first, "ReorderFirst", ReorderFirst())
ZU_VIEW_ACTOR(reorder_last, "ReorderLast", ReorderLast())
ZU_VIEW_ACTOR(set_enable, "SetEnable", SetEnable(true))
ZU_VIEW_ACTOR(set_disable, "SetDisable", SetDisable())
#undef ZU_VIEW_ACTOR

// The published data: what other objects read and write by name.
ZuView* AsView(ZuObject* o)
{
    return static_cast<ZuView*>(o);
}

void GetState(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<const ZuBitset&>(AsView(o)->RetState()));
}
bool SetState(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsView(o)->SetState(Zuvi_ValueToZuViewState(value), false);
}
void GetUserTag(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->RetUserTag());
}
bool SetUserTag(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsView(o)->SetUserTag(value->RetInt32());
}
void GetUserName(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsView(o)->RetUserName()));
}
bool SetUserName(const ZuValueRef& value, ZuObject* o)
{
    return AsView(o)->SetUserName(Zuvi_ValueToZuAtom(value));
}
void GetActiveRank(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->RetActiveRank());
}
bool SetActiveRank(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsView(o)->SetActiveRank(value->RetInt32());
}
void GetBox(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsView(o)->RetBox());
}
bool SetBox(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsView(o)->SetBox(value->RetRect());
}
void GetCursor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsView(o)->RetCursor()));
}
bool SetCursor(const ZuValueRef& value, ZuObject* o)
{
    return AsView(o)->SetCursor(Zuvi_ValueToZuAtom(value));
}

void DeclareViewData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuViewRef::RetRuntime(), "state", "View state", &ZuViewState_type, true, true, &GetState,
         &SetState},
        {&ZuViewRef::RetRuntime(), "user_tag", "User tag", &Int32_type, true, true, &GetUserTag,
         &SetUserTag},
        {&ZuViewRef::RetRuntime(), "user_name", "User name", &ZuAtom_type, true, true, &GetUserName,
         &SetUserName},
        {&ZuViewRef::RetRuntime(), "active_rank", "Active rank", &Int32_type, true, true,
         &GetActiveRank, &SetActiveRank},
        {&ZuViewRef::RetRuntime(), "box", "Bounding box", &ZuRect_type, true, true, &GetBox,
         &SetBox},
        {&ZuViewRef::RetRuntime(), "cursor", "Cursor", &ZuAtom_type, true, true, &GetCursor,
         &SetCursor},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport view_data(&DeclareViewData, ZuViewRef::RetRuntime());

// The handle of an object of that class, empty for an object of another
// class (stored data may name any object where a view is expected).
template <class R>
R AsKind(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(R::RetRuntime()) ? R(o) : R();
}

ZuStorageSync& ViewRecord()
{
    static ZuStorageSync record("<ZuView child_head child_tail { child } box state tag spring "
                                "num_overlays active_list is_in_active_list cursor name>");
    return record;
}

const char kCursorDefault[] = "Zuvi_CursorDefault";

// A path holds at most this many atoms below its first one.
const unsigned kMaxPathDepth = 20;

bool Inside(const ZuRect& box, double x, double y)
{
    return !box.IsEmpty() && box.X1() <= x && x <= box.X2() && box.Y1() <= y && y <= box.Y2();
}

// Walking children must not relink them: the walk checks the child and its
// siblings before and after each call.
struct LinkCheck {
    explicit LinkCheck(ZuView* c) : child(c)
    {
        c->GetNextSibling(next);
        c->GetPrevSibling(prev);
    }
    void Verify() const
    {
        ZuViewRef n, p;
        child->GetNextSibling(n);
        child->GetPrevSibling(p);
        ZU_ASSERT_TEXT(n == next, "i0n == i1n");
        ZU_ASSERT_TEXT(p == prev, "i0p == i1p");
    }
    ZuView* child;
    ZuViewRef next, prev;
};

} // namespace

ZuView::ZuView()
{
    state.SetBit(ZU_VIEW_IS_ENABLED);
    state.SetBit(ZU_VIEW_OK_HOT);
    state.SetBit(ZU_VIEW_OK_CLICKED);
    state.SetBit(ZU_VIEW_OK_ACTIVE);
    state.SetBit(ZU_VIEW_OK_DROP);
    cursor = ZuAtomRef(kCursorDefault);
}

ZuView::~ZuView()
{
    ZU_ASSERT_TEXT(child_head.IsInvalid(), "this->child.head.IsInvalid ()");
    ZU_ASSERT_TEXT(child_tail.IsInvalid(), "this->child.tail.IsInvalid ()");
    ZU_ASSERT_TEXT(next_sibling.IsInvalid(), "this->sibling.next.IsInvalid ()");
    ZU_ASSERT_TEXT(prev_sibling.IsInvalid(), "this->sibling.prev.IsInvalid ()");
    ZU_ASSERT_TEXT(active_list.IsInvalid(), "this->active_list.IsInvalid ()");
}

bool ZuView::IsWindow() const
{
    return window.Resolve() == this;
}

// ---------------------------------------------------------------------------
// Tree
// ---------------------------------------------------------------------------

void ZuView::LinkAtTail(ZuView* c)
{
    c->next_sibling = ZuViewNull;
    c->prev_sibling = child_tail;
    if (child_tail.IsValid())
        child_tail->next_sibling = c;
    else
        child_head = c;
    child_tail = c;
}

void ZuView::Unlink(ZuView* c)
{
    if (c->prev_sibling.IsValid())
        c->prev_sibling->next_sibling = c->next_sibling;
    else
        child_head = c->next_sibling;
    if (c->next_sibling.IsValid())
        c->next_sibling->prev_sibling = c->prev_sibling;
    else
        child_tail = c->prev_sibling;
    c->next_sibling = ZuViewNull;
    c->prev_sibling = ZuViewNull;
}

bool ZuView::SetWindow(const ZuWindowRef& w)
{
    if (window == w)
        return true;
    ZuViewRef self(this);
    RemoveActive();
    if (window.IsValid() && !IsWindow())
        window->NotifyRemoveView(self);
    if (w.IsValid() && w.Resolve() != this)
        w->NotifyInsertView(self);
    window = w;
    for (ZuViewRef c = child_head; c.IsValid();) {
        LinkCheck check(c.Resolve());
        c->SetWindow(w);
        check.Verify();
        c = check.next;
    }
    return true;
}

bool ZuView::SetParent(const ZuViewRef& p)
{
    if (parent == p)
        return true;
    ZuViewRef self(this);
    if (state.TestBit(ZU_VIEW_IS_ENTERED))
        ChangeState(ZU_VIEW_IS_ENTERED, false, true);
    if (p.IsValid()) {
        if (!p->WouldAcceptChild(self))
            return false;
        // A view cannot become a child of itself or of one of its
        // descendants: that would make a cycle of the tree.
        for (ZuView* a = p.Resolve(); a != nullptr; a = a->parent.Resolve())
            if (a == this)
                return false;
        if (parent.IsValid())
            SetParent(ZuViewNull);
        parent = p;
        SetWindow(p->window);
        p->LinkAtTail(this);
        p->NotifyInsertChild(self);
    } else {
        ZuViewRef old = parent;
        old->NotifyRemoveChild(self);
        RemoveActive();
        old->Unlink(this);
        parent = ZuViewNull;
        SetWindow(ZuWindowNull);
    }
    if (window.IsValid())
        window->NotifyReparentView(self);
    SetNextResponder(p);
    return true;
}

bool ZuView::SetIntoParent(const ZuViewRef& p)
{
    double ox = 0, oy = 0, nx = 0, ny = 0;
    if (parent.IsValid() && !parent->IsWindow())
        parent->GetOrigin(ox, oy);
    if (!SetParent(p))
        return false;
    if (parent.IsValid() && !parent->IsWindow())
        parent->GetOrigin(nx, ny);
    if (ox != nx || oy != ny)
        SetOrigin(box.X1() + nx - ox, box.Y1() + ny - oy);
    return true;
}

bool ZuView::WouldAcceptChild(const ZuViewRef&)
{
    return true;
}

bool ZuView::RemoveAllChildren(bool delete_them)
{
    while (child_head.IsValid()) {
        ZuViewRef c = child_head;
        c->SetParent(ZuViewNull);
        if (delete_them)
            c->Delete();
    }
    return true;
}

void ZuView::ReorderFirst()
{
    if (parent.IsInvalid() || prev_sibling.IsInvalid())
        return;
    ZuView* p = parent.Resolve();
    ZuViewRef self(this);
    p->Unlink(this);
    next_sibling = p->child_head;
    p->child_head->prev_sibling = self;
    p->child_head = self;
}

void ZuView::ReorderLast()
{
    if (parent.IsInvalid() || next_sibling.IsInvalid())
        return;
    ZuView* p = parent.Resolve();
    p->Unlink(this);
    p->LinkAtTail(this);
}

void ZuView::ReorderBefore(const ZuViewRef& sibling)
{
    if (parent.IsInvalid())
        return;
    if (sibling.IsInvalid()) {
        ReorderLast();
        return;
    }
    // Before itself: the view is where it is asked to be.
    if (sibling.Resolve() == this || sibling->parent != parent)
        return;
    if (sibling->prev_sibling.IsInvalid()) {
        ReorderFirst();
        return;
    }
    if (sibling->prev_sibling.Resolve() == this)
        return;
    ZuView* p = parent.Resolve();
    ZuViewRef self(this);
    p->Unlink(this);
    ZuViewRef before = sibling->prev_sibling;
    prev_sibling = before;
    next_sibling = sibling;
    before->next_sibling = self;
    sibling->prev_sibling = self;
}

void ZuView::ReorderAfter(const ZuViewRef& sibling)
{
    if (parent.IsInvalid())
        return;
    if (sibling.IsInvalid()) {
        ReorderFirst();
        return;
    }
    if (sibling.Resolve() == this || sibling->parent != parent)
        return;
    if (sibling->next_sibling.IsInvalid()) {
        ReorderLast();
        return;
    }
    if (sibling->next_sibling.Resolve() == this)
        return;
    ZuView* p = parent.Resolve();
    ZuViewRef self(this);
    p->Unlink(this);
    ZuViewRef after = sibling->next_sibling;
    prev_sibling = sibling;
    next_sibling = after;
    after->prev_sibling = self;
    sibling->next_sibling = self;
}

bool ZuView::GetView(ZuViewRef& out)
{
    out = this;
    return true;
}

bool ZuView::GetWindow(ZuWindowRef& out) const
{
    out = window;
    return out.IsValid();
}
bool ZuView::GetParent(ZuViewRef& out) const
{
    out = parent;
    return out.IsValid();
}
const ZuWindowRef& ZuView::RetWindow() const
{
    return window;
}
const ZuViewRef& ZuView::RetParent() const
{
    return parent;
}
bool ZuView::GetNextSibling(ZuViewRef& out) const
{
    out = next_sibling;
    return out.IsValid();
}
bool ZuView::GetPrevSibling(ZuViewRef& out) const
{
    out = prev_sibling;
    return out.IsValid();
}
bool ZuView::GetFirstChild(ZuViewRef& out) const
{
    out = child_head;
    return out.IsValid();
}
bool ZuView::GetLastChild(ZuViewRef& out) const
{
    out = child_tail;
    return out.IsValid();
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

namespace {
ZuRect MakeBox(double x, double y, double dx, double dy)
{
    ZuRect r;
    r.SetOrigin(x, y);
    r.SetSize(dx, dy);
    return r;
}
} // namespace

bool ZuView::SetBox(const ZuRect& r)
{
    if (r != box)
        ChangeGeometry(r);
    return true;
}

void ZuView::SetOrigin(double x, double y)
{
    if (x == box.X1() && y == box.Y1())
        return;
    ChangeGeometry(MakeBox(x, y, box.DX(), box.DY()));
}

void ZuView::SetSize(double dx, double dy)
{
    if (dx == box.DX() && dy == box.DY())
        return;
    ChangeGeometry(MakeBox(box.X1(), box.Y1(), dx, dy));
}

void ZuView::MoveOrigin(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return;
    ChangeGeometry(MakeBox(box.X1() + dx, box.Y1() + dy, box.DX(), box.DY()));
}

void ZuView::ChangeSize(double ddx, double ddy)
{
    if (ddx == 0 && ddy == 0)
        return;
    double w = box.DX() + ddx, h = box.DY() + ddy;
    ChangeGeometry(MakeBox(box.X1(), box.Y1(), w < 0 ? 0 : w, h < 0 ? 0 : h));
}

void ZuView::ChangeGeometry(const ZuRect& r)
{
    if (r.X1() == box.X1() && r.Y1() == box.Y1() && r.DX() == box.DX() && r.DY() == box.DY())
        return;
    ZuRect old = box;
    box = r;
    NotifyGeometryChange(old);
}

void ZuView::NotifyGeometryChange(const ZuRect& old)
{
    double dw = box.DX() - old.DX(), dh = box.DY() - old.DY();
    double dx = box.X1() - old.X1(), dy = box.Y1() - old.Y1();
    bool resized = dw != 0 || dh != 0, moved = dx != 0 || dy != 0;
    ZuViewRef self(this);
    if (resized && parent.IsValid() && !parent->NotifyChildResize(self, old.DX(), old.DY()))
        return;
    for (ZuViewRef c = child_head; c.IsValid();) {
        ZuViewRef next = c->next_sibling;
        if (moved)
            c->MoveOrigin(dx, dy);
        if (resized)
            c->NotifyParentResize(old.DX(), old.DY());
        c = next;
    }
    if (resized) {
        ZuSpringBoardRef board = RetSpringBoard();
        if (board.IsValid())
            board->Resize(box);
    }
    if (resized)
        QuickReport(notify_size_changed, 0);
    if (moved)
        QuickReport(notify_origin_changed, 0);
}

void ZuView::NotifyParentResize(double, double) {}
bool ZuView::NotifyChildResize(const ZuViewRef&, double, double)
{
    return true;
}
void ZuView::NotifyInsertChild(const ZuViewRef&) {}
void ZuView::NotifyRemoveChild(const ZuViewRef& child)
{
    ZuSpringBoardRef board = RetSpringBoard();
    if (board.IsValid())
        board->RemoveView(child);
}
void ZuView::NotifyStateChange(const ZuViewState&) {}

bool ZuView::SetSpringBoard(const ZuSpringBoardRef& board)
{
    spring = board;
    return true;
}

bool ZuView::GetSpringBoard(ZuSpringBoardRef& out) const
{
    out = RetSpringBoard();
    return true;
}

// A stored view may hold anything in the place of its board: only a board
// counts.
ZuSpringBoardRef ZuView::RetSpringBoard() const
{
    return AsKind<ZuSpringBoardRef>(spring);
}

void ZuView::GetOrigin(double& x, double& y) const
{
    x = box.X1();
    y = box.Y1();
}
void ZuView::GetSize(double& dx, double& dy) const
{
    dx = box.DX();
    dy = box.DY();
}
void ZuView::GetMinSize(double& dx, double& dy) const
{
    dx = dy = 2;
}
void ZuView::GetMaxSize(double& dx, double& dy) const
{
    dx = dy = 10000;
}
const ZuRect& ZuView::RetBox() const
{
    return box;
}
bool ZuView::GetBox(ZuRect& out) const
{
    out = box;
    return true;
}

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------

const ZuViewState& ZuView::RetState() const
{
    return state;
}

bool ZuView::SetState(const ZuViewState& s, bool recursive)
{
    ZuViewState changed = state;
    changed ^= s;
    state = s;
    NotifyStateChange(changed);
    if (recursive)
        for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
            c->SetState(s, true);
    return true;
}

bool ZuView::ChangeState(ZuViewStateBit bit, bool value, bool recursive)
{
    if (value)
        state.SetBit(bit);
    else
        state.ClearBit(bit);
    ZuViewState changed;
    changed.SetBit(bit);
    NotifyStateChange(changed);
    if (recursive)
        for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling) {
            c->ChangeState(bit, value, true);
            if (bit == ZU_VIEW_IS_CLICKED)
                c->ChangeState(ZU_VIEW_IS_AUTO_CLICKED, value, false);
        }
    return true;
}

bool ZuView::ChangeState(const ZuViewState& set, bool value, bool recursive)
{
    state.Change(set, value);
    NotifyStateChange(set);
    if (recursive) {
        ZuViewState down = set;
        if (set.TestBit(ZU_VIEW_IS_CLICKED))
            down.SetBit(ZU_VIEW_IS_AUTO_CLICKED);
        else
            down.ClearBit(ZU_VIEW_IS_AUTO_CLICKED);
        for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
            c->ChangeState(down, value, true);
    }
    return true;
}

void ZuView::SetEnableState(bool enable, bool recursive)
{
    if (enable)
        state.SetBit(ZU_VIEW_IS_ENABLED);
    else
        state.ClearBit(ZU_VIEW_IS_ENABLED);
    if (recursive)
        for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
            c->SetEnableState(enable, true);
}

bool ZuView::SetEnable(bool enable)
{
    if (state.TestBit(ZU_VIEW_IS_ENABLED) == enable)
        return true;
    SetEnableState(enable, true);
    Display(true);
    return true;
}

bool ZuView::SetDisable()
{
    return SetEnable(false);
}

bool ZuView::WouldAcceptMain() const
{
    return state.TestBit(ZU_VIEW_IS_ENABLED) && !state.TestBit(ZU_VIEW_NO_DISPLAY) &&
           state.TestBit(ZU_VIEW_OK_ACTIVE);
}

bool ZuView::IsMainResponder() const
{
    return state.TestBit(ZU_VIEW_IS_ACTIVE);
}

bool ZuView::MakeMainResponder()
{
    if (window.IsInvalid())
        return false;
    return window->SetMainResponder(ZuResponderRef(this), false);
}

void ZuView::BecomeMain(bool flag)
{
    ZuResponder::BecomeMain(flag);
    state.SetBit(ZU_VIEW_IS_ACTIVE);
    Display(true);
}

void ZuView::ResignMain()
{
    ZuResponder::ResignMain();
    state.ClearBit(ZU_VIEW_IS_ACTIVE);
    Display(true);
}

// ---------------------------------------------------------------------------
// Names, tags, cursor
// ---------------------------------------------------------------------------

bool ZuView::SetUserTag(int t)
{
    tag = t;
    return true;
}
int ZuView::RetUserTag() const
{
    return tag;
}

bool ZuView::SetUserName(const ZuAtomRef& n)
{
    ZuAtomRef atom = n;
    if (atom.IsValid() && atom->CharacterCount() == 0)
        atom = ZuAtomRef();
    if (atom == name)
        return true;
    ZuViewRef self(this);
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid()) {
        if (name.IsValid())
            app->UnregisterNamedView(name, self);
        if (atom.IsValid())
            app->RegisterNamedView(atom, self);
    }
    name = atom;
    if (name.IsValid())
        SetStatus(ZU_OBJECT_IS_ASYNC_SOURCE);
    else
        ClearStatus(ZU_OBJECT_IS_ASYNC_SOURCE);
    return true;
}

const ZuAtomRef& ZuView::RetUserName() const
{
    return name;
}

ZuAtomPathRef ZuView::RetUserPath() const
{
    ZuAtomPathRef path = parent.IsValid() ? parent->RetUserPath() : ZuNew<ZuAtomPath>(RetMemZone());
    if (name.IsValid())
        path->AddAtom(name);
    return path;
}

bool ZuView::SetCursor(const ZuAtomRef& c)
{
    cursor = c;
    return true;
}
const ZuAtomRef& ZuView::RetCursor() const
{
    return cursor;
}

void ZuView::SelectCursor()
{
    if (cursor.IsInvalid() || cursor == ZuAtomRef(kCursorDefault)) {
        if (IsWindow()) {
            if (ZuLookMan::current.IsValid())
                ZuLookMan::current->SelectCursor(ZuAtomRef("Zuvi_CursorNormal"));
        } else if (parent.IsValid()) {
            parent->SelectCursor();
        }
        return;
    }
    if (ZuLookMan::current.IsValid())
        ZuLookMan::current->SelectCursor(cursor);
}

bool ZuView::FindUserTag(int t, ZuViewRef& out)
{
    if (tag == t) {
        out = this;
        return true;
    }
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
        if (c->FindUserTag(t, out))
            return true;
    return false;
}

bool ZuView::FindUserName(const ZuAtomRef& n, unsigned index, ZuViewRef& out, unsigned& count)
{
    if (name.IsValid() && name == n) {
        ++count;
        if (index == 0) {
            out = this;
            return true;
        }
        --index;
    }
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling) {
        unsigned sub = 0;
        if (c->FindUserName(n, index, out, sub))
            return true;
        count += sub;
        index -= sub;
    }
    return false;
}

bool ZuView::FindUserName(const ZuAtomRef& n, unsigned index, ZuViewRef& out)
{
    unsigned count = 0;
    return FindUserName(n, index, out, count);
}

bool ZuView::FindUserName(const ZuAtomRef& n, ZuViewRef& out)
{
    return FindUserName(n, 0, out);
}

bool ZuView::SearchPath(const ZuAtomPathRef& path, unsigned first, unsigned index, ZuViewRef& out,
                        unsigned& count)
{
    unsigned total = path->TotalCount();
    ZuAtomRef head = path->RetAtom(first);
    unsigned rest = first;
    if (name.IsValid() && name == head) {
        if (first + 1 == total) {
            ++count;
            if (index == 0) {
                out = this;
                return true;
            }
            --index;
            // The rest of the path is empty: nothing below can match it.
            return false;
        }
        rest = first + 1;
        if (rest - 1 > kMaxPathDepth)
            return false;
    } else if (name.IsValid()) {
        return false;
    }
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling) {
        unsigned sub = 0;
        if (c->SearchPath(path, rest, index, out, sub))
            return true;
        count += sub;
        index -= sub;
    }
    return false;
}

bool ZuView::FindUserPath(const ZuAtomPathRef& path, unsigned index, ZuViewRef& out,
                          unsigned& count)
{
    if (path.IsInvalid() || path->TotalCount() == 0)
        return false;
    return SearchPath(path, 0, index, out, count);
}

bool ZuView::FindUserPath(const ZuAtomPathRef& path, unsigned index, ZuViewRef& out)
{
    unsigned count = 0;
    return FindUserPath(path, index, out, count);
}

bool ZuView::FindUserPath(const ZuAtomPathRef& path, ZuViewRef& out)
{
    return FindUserPath(path, 0, out);
}

void ZuView::Broadcast(const ZuAtomRef& n, const ZuObjectRef& argument)
{
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
        c->Broadcast(n, argument);
}

// ---------------------------------------------------------------------------
// Active list and focus traversal
// ---------------------------------------------------------------------------

const ZuListRef& ZuView::RetActiveList() const
{
    return active_list;
}

const ZuListRef& ZuView::RetAndCreateActiveList()
{
    if (active_list.IsInvalid()) {
        active_list = ZuNew<ZuList>(RetMemZone());
        active_list->SetInsertMode(false);
    }
    return active_list;
}

void ZuView::NotifyInsertIntoActiveList()
{
    ZU_ASSERT_TEXT(!is_in_active_list, "this->is_in_active_list == FALSE");
    is_in_active_list = true;
}

void ZuView::NotifyRemoveFromActiveList()
{
    ZU_ASSERT_TEXT(is_in_active_list, "this->is_in_active_list");
    is_in_active_list = false;
}

void ZuView::NotifyActiveListChange()
{
    if (active_list.IsValid() && active_list->TotalCount() == 0) {
        active_list->Delete();
        active_list = ZuListRef();
    }
}

namespace {
enum class Place { First, Last, Before, After, Rank };
}

static bool PlaceActive(ZuView* view, Place where, const ZuViewRef& other, int rank)
{
    ZuViewRef p = view->RetParent();
    if (p.IsInvalid())
        return false;
    ZuViewRef self(view);
    ZuListRef list = p->RetAndCreateActiveList();
    if (!view->IsInActiveList())
        view->NotifyInsertIntoActiveList();
    else
        list->Remove(self, 0);
    unsigned i = 0;
    switch (where) {
    case Place::First:
        list->PushHead(self);
        break;
    case Place::Last:
        list->PushTail(self);
        break;
    case Place::Before:
        list->PushHead(self);
        if (list->Find(other, i))
            list->MoveAtPosition(self, i);
        break;
    case Place::After:
        list->PushTail(self);
        if (list->Find(other, i))
            list->MoveAtPosition(self, i + 1);
        break;
    case Place::Rank:
        list->PushTail(self);
        list->MoveAtPosition(self, static_cast<unsigned>(rank));
        break;
    }
    p->NotifyActiveListChange();
    return true;
}

bool ZuView::SetFirstActive()
{
    return PlaceActive(this, Place::First, ZuViewNull, 0);
}
bool ZuView::SetLastActive()
{
    return PlaceActive(this, Place::Last, ZuViewNull, 0);
}
bool ZuView::SetActiveBefore(const ZuViewRef& v)
{
    if (v.IsInvalid())
        return SetLastActive();
    return PlaceActive(this, Place::Before, v, 0);
}
bool ZuView::SetActiveAfter(const ZuViewRef& v)
{
    if (v.IsInvalid())
        return SetFirstActive();
    return PlaceActive(this, Place::After, v, 0);
}
bool ZuView::SetActiveRank(int rank)
{
    if (rank < 0)
        return RemoveActive();
    return PlaceActive(this, Place::Rank, ZuViewNull, rank);
}

bool ZuView::RemoveActive()
{
    if (!is_in_active_list || parent.IsInvalid() || window.IsInvalid())
        return false;
    ZuViewRef self(this);
    window->NoLongerActive(self);
    parent->RemoveActive(self);
    return true;
}

bool ZuView::RemoveActive(const ZuViewRef& child)
{
    ZU_ASSERT_TEXT(child.IsValid(), "child.IsValid ()");
    if (active_list.IsInvalid())
        return false;
    active_list->Remove(child, 0);
    child->NotifyRemoveFromActiveList();
    NotifyActiveListChange();
    return true;
}

int ZuView::RetActiveRank()
{
    unsigned i = 0;
    if (!is_in_active_list || parent.IsInvalid() || parent->active_list.IsInvalid() ||
        !parent->active_list->Find(ZuViewRef(this), i))
        return -1;
    return static_cast<int>(i);
}

static ZuViewRef ActiveNeighbour(ZuView* view, int step)
{
    ZuViewRef p = view->RetParent();
    if (p.IsInvalid() || p->RetActiveList().IsInvalid())
        return ZuViewNull;
    ZuListRef list = p->RetActiveList();
    unsigned i = 0;
    if (!list->Find(ZuViewRef(view), i))
        return ZuViewNull;
    if (step < 0 && i == 0)
        return ZuViewNull;
    ZuObjectRef out;
    if (!list->Get(step < 0 ? i - 1 : i + 1, out))
        return ZuViewNull;
    return AsKind<ZuViewRef>(out);
}

ZuViewRef ZuView::RetNextActive()
{
    return ActiveNeighbour(this, 1);
}
ZuViewRef ZuView::RetPrevActive()
{
    return ActiveNeighbour(this, -1);
}

ZuViewRef ZuView::RetFirstActive()
{
    if (active_list.IsInvalid())
        return ZuViewNull;
    ZuObjectRef first;
    if (!active_list->Get(0, first))
        return ZuViewNull;
    ZuViewRef v(first);
    while (v.IsValid() && !v->WouldAcceptMain())
        v = v->RetNextActive();
    if (v.IsValid() && v->active_list.IsValid() && v->active_list->TotalCount() != 0)
        return v->RetFirstActive();
    return v;
}

ZuViewRef ZuView::RetLastActive()
{
    if (active_list.IsInvalid() || active_list->TotalCount() == 0)
        return ZuViewNull;
    ZuObjectRef last;
    if (!active_list->Get(active_list->TotalCount() - 1, last))
        return ZuViewNull;
    ZuViewRef v(last);
    while (v.IsValid() && !v->WouldAcceptMain())
        v = v->RetPrevActive();
    if (v.IsValid() && v->active_list.IsValid() && v->active_list->TotalCount() != 0)
        return v->RetLastActive();
    return v;
}

bool ZuView::FindNextActive(ZuViewRef& result)
{
    result = RetNextActive();
    while (result.IsValid() && !result->WouldAcceptMain())
        result = result->RetNextActive();
    if (result.IsInvalid()) {
        if (parent.IsInvalid()) {
            result = ZuViewNull;
            return false;
        }
        if (parent->IsWindow()) {
            result = parent->RetFirstActive();
            return result.IsValid();
        }
        return parent->FindNextActive(result);
    }
    if (result->active_list.IsValid() && result->active_list->TotalCount() != 0) {
        result = result->RetFirstActive();
        return result.IsValid();
    }
    return true;
}

bool ZuView::FindPrevActive(ZuViewRef& result)
{
    result = RetPrevActive();
    while (result.IsValid() && !result->WouldAcceptMain())
        result = result->RetPrevActive();
    if (result.IsInvalid()) {
        if (parent.IsInvalid()) {
            result = ZuViewNull;
            return false;
        }
        if (parent->IsWindow()) {
            result = parent->RetLastActive();
            return result.IsValid();
        }
        return parent->FindPrevActive(result);
    }
    if (result->active_list.IsValid() && result->active_list->TotalCount() != 0) {
        result = result->RetLastActive();
        return result.IsValid();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Drawing and display
// ---------------------------------------------------------------------------

void ZuView::DrawBack(const ZuGrailPortRef&, const ZuRect&) {}
void ZuView::DrawFront(const ZuGrailPortRef&, const ZuRect&) {}

void ZuView::Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op)
{
    if (!IsWindow()) {
        if (rect.IsEmpty() || box.IsEmpty() || rect.X1() > box.X2() || rect.X2() < box.X1() ||
            rect.Y1() > box.Y2() || rect.Y2() < box.Y1())
            return;
    }
    if (port.IsInvalid() || state.TestBit(ZU_VIEW_NO_DISPLAY))
        return;
    unsigned bits = static_cast<unsigned>(op);
    if (bits & 2)
        DrawBack(port, rect);
    if (bits & 3)
        DrawChildren(port, rect, op);
    if (bits & 1)
        DrawFront(port, rect);
}

void ZuView::Draw(const ZuGrailPortRef& port, ZuDrawOp op)
{
    if (state.TestBit(ZU_VIEW_NO_DEFAULT_DRAW) || state.TestBit(ZU_VIEW_NO_DISPLAY) ||
        window.IsInvalid() || port.IsInvalid())
        return;
    if (IsWindow()) {
        ZuRect r(0, 0, box.X2() - box.X1(), box.Y2() - box.Y1());
        if (box.IsEmpty())
            r.MakeEmpty();
        Draw(port, r, op);
        return;
    }
    window->Draw(port, box, op);
}

void ZuView::DrawChildren(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op)
{
    if (child_head.IsInvalid())
        return;
    ZuRect saved;
    port->GetClipRect(saved);
    bool frame = (static_cast<unsigned>(op) & 4) != 0;
    for (ZuViewRef c = child_head; c.IsValid();) {
        LinkCheck check(c.Resolve());
        const ZuViewState& cs = c->state;
        if (!cs.TestBit(ZU_VIEW_NO_DISPLAY)) {
            ZuRect clip;
            bool draw = true;
            if (frame && cs.TestBit(ZU_VIEW_IS_FRAME_WIDGET)) {
                clip = c->box;
            } else if (cs.TestBit(ZU_VIEW_NO_SUBVIEW_DRAW)) {
                draw = false;
            } else {
                clip = rect;
                clip *= c->box;
                draw = !clip.IsEmpty();
            }
            if (draw) {
                port->SetClipRect(clip, 0);
                c->Draw(port, clip, op);
                check.Verify();
            }
        }
        c = check.next;
    }
    port->SetClipRect(saved, 0);
}

void ZuView::DrawOverlay(const ZuGrailPortRef& port, const ZuRect&)
{
    if (IsWindow() || port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    if (state.TestBit(ZU_VIEW_IS_CONNECT_DST)) {
        adorner->DrawRect(box, ZU_COLOR_VIEW_CONNECT, -1);
        adorner->DrawRect(box, ZU_COLOR_VIEW_CONNECT, -2);
    }
    if (state.TestBit(ZU_VIEW_IS_DROP_DST))
        adorner->FillRect(box, ZU_COLOR_VIEW_DROPPING, 0);
}

void ZuView::Display(const ZuRect& rect, bool delayed, bool frame)
{
    if (window.IsInvalid() || state.TestBit(ZU_VIEW_NO_DISPLAY))
        return;
    if (delayed)
        window->AddDelayedDisplay(rect, frame);
    else
        window->Redraw(rect, frame);
}

void ZuView::Display(bool delayed)
{
    if (RetGrailPort().IsInvalid() || window.IsInvalid() || state.TestBit(ZU_VIEW_NO_DISPLAY))
        return;
    ZuRect r = box;
    bool reached = IsWindow();
    for (ZuView* a = parent.Resolve(); a != nullptr; a = a->parent.Resolve()) {
        if (a->IsWindow()) {
            reached = true;
            break;
        }
        if (r.IsEmpty())
            break;
        r *= a->box;
    }
    if (IsWindow()) {
        r = ZuRect(0, 0, box.X2() - box.X1(), box.Y2() - box.Y1());
        if (box.IsEmpty())
            r.MakeEmpty();
    }
    if (!r.IsEmpty() && reached)
        Display(r, delayed, state.TestBit(ZU_VIEW_IS_FRAME_WIDGET));
}

bool ZuView::DefinePartition(const ZuGrailPixmapRef&)
{
    return false;
}

const ZuGrailPortRef& ZuView::RetGrailPort() const
{
    if (window.IsValid() && !IsWindow())
        return window->RetGrailPort();
    return ZuGrailPortNull;
}

const ZuLookManRef& ZuView::RetLookMan() const
{
    return ZuLookMan::current;
}

ZuAdornerRef ZuView::RetAdorner() const
{
    const ZuGrailPortRef& port = RetGrailPort();
    return port.IsValid() ? port->RetAdorner() : ZuAdornerRef();
}

// ---------------------------------------------------------------------------
// Detection, pointer, drag and drop
// ---------------------------------------------------------------------------

bool ZuView::Detect(const ZuRect& rect)
{
    if (state.TestBit(ZU_VIEW_NO_DETECT) || !state.TestBit(ZU_VIEW_IS_ENABLED) ||
        state.TestBit(ZU_VIEW_NO_DISPLAY))
        return false;
    return box.DoOverlap(rect);
}

bool ZuView::Detect(double x, double y, ZuViewRef& out, bool any)
{
    if (state.TestBit(ZU_VIEW_NO_DETECT))
        return false;
    if (!any && (!state.TestBit(ZU_VIEW_IS_ENABLED) || state.TestBit(ZU_VIEW_NO_DISPLAY)))
        return false;
    if (!IsWindow() && !Inside(box, x, y))
        return false;
    for (ZuViewRef c = child_tail; c.IsValid(); c = c->prev_sibling)
        if (c->Detect(x, y, out, any))
            return true;
    out = this;
    return true;
}

void ZuView::EnterNotify(const ZuEventRef& event)
{
    if (!state.TestBit(ZU_VIEW_IS_ENTERED)) {
        ChangeState(ZU_VIEW_IS_ENTERED, true, false);
        if (window.IsValid())
            window->NotifyInsertEntered(ZuViewRef(this));
        ZuResponder::EnterNotify(event);
    }
    SelectCursor();
}

void ZuView::LeaveNotify(const ZuEventRef& event)
{
    if (state.TestBit(ZU_VIEW_IS_ENTERED)) {
        ChangeState(ZU_VIEW_IS_ENTERED, false, false);
        if (window.IsValid())
            window->NotifyRemoveEntered(ZuViewRef(this));
        ZuResponder::LeaveNotify(event);
    }
}

namespace {

void SendCommit(ZuView* view, const char* method, const char* attribute, const ZuObjectRef& object)
{
    ZuObjectRef embedded;
    view->GetAttribute(attribute, embedded, 0);
    ZuMessageRef message = ZuNew<ZuMessage>(view->RetMemZone());
    message->SetMethod(method);
    message->Clear();
    message->StoreObject(embedded);
    message->Send(object);
    message->Delete();
}

} // namespace

bool ZuView::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object, ZuDragDropProtocol step)
{
    if (state.TestBit(ZU_VIEW_NO_DISPLAY))
        return false;
    ZuViewRef up = IsWindow() ? ZuViewNull : parent;
    ZuViewRef self(this);
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_ENTER:
    case ZU_DDP_CONNECT_ENTER:
        state.SetBit(step == ZU_DDP_DRAGnDROP_ENTER ? ZU_VIEW_IS_DROP_DST : ZU_VIEW_IS_CONNECT_DST);
        if (num_overlays++ == 0 && window.IsValid()) {
            window->NotifyInsertOverlay(self);
            window->Display(true);
        } else {
            Display(true);
        }
        return true;
    case ZU_DDP_DRAGnDROP_LEAVE:
    case ZU_DDP_DRAGnDROP_CANCEL:
    case ZU_DDP_DRAGnDROP_COMMIT:
    case ZU_DDP_CONNECT_LEAVE:
    case ZU_DDP_CONNECT_CANCEL:
    case ZU_DDP_CONNECT_COMMIT: {
        bool drop = static_cast<unsigned>(step) < 16;
        state.ClearBit(drop ? ZU_VIEW_IS_DROP_DST : ZU_VIEW_IS_CONNECT_DST);
        // An unbalanced leave finds no highlight to take away.
        if (num_overlays > 0 && --num_overlays == 0 && window.IsValid()) {
            window->NotifyRemoveOverlay(self);
            window->Display(true);
        } else {
            Display(true);
        }
        if (step == ZU_DDP_DRAGnDROP_COMMIT)
            SendCommit(this, "CommitDrop", "embedded_object_for_drop", object);
        else if (step == ZU_DDP_CONNECT_COMMIT)
            SendCommit(this, "CommitConnect", "embedded_object_for_connect", object);
        return true;
    }
    case ZU_DDP_UI_EDIT_COMMIT:
        SendCommit(this, "CommitUIEdit", "embedded_object_for_ui_edit", object);
        return true;
    case ZU_DDP_DRAGnDROP_MOTION:
    case ZU_DDP_CONNECT_MOTION:
        return true;
    case ZU_DDP_DRAGnDROP_CHECK:
        if (!state.TestBit(ZU_VIEW_NO_UI_MODIF) && object.IsValid()) {
            ZuValueRef embeds;
            if (ZuObject::QueryData(object, ZuTextRef(ZuAtomRef("auto_embed")), embeds) &&
                embeds.IsValid() && embeds->RetBool())
                return true;
        }
        return up.IsValid() ? up->DragAndDrop(rect, object, step) : false;
    case ZU_DDP_CONNECT_CHECK:
    case ZU_DDP_DRAGnDROP_SUBST:
    case ZU_DDP_CONNECT_SUBST:
    case ZU_DDP_UI_EDIT_SUBST:
        return up.IsValid() ? up->DragAndDrop(rect, object, step) : true;
    case ZU_DDP_UI_EDIT_CHECK: {
        if (state.TestBit(ZU_VIEW_NO_UI_MODIF) || state.TestBit(ZU_VIEW_NO_UI_INSPECT) ||
            window.IsInvalid())
            return false;
        ZuAppRef app = window->RetApp();
        if (app.IsInvalid() || !app->IsBuildEnabled())
            return false;
        return up.IsValid() ? up->DragAndDrop(rect, object, step) : true;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Life, copying, storage
// ---------------------------------------------------------------------------

void ZuView::Awake()
{
    ZuResponder::Awake();
    const ZuAppRef& app = ZuApp::Current();
    if (name.IsValid() && app.IsValid())
        app->RegisterNamedView(name, ZuViewRef(this));
}

void ZuView::Delete()
{
    ZuViewRef self(this);
    RemoveActive();
    // The children are read first: a child's Delete may take siblings along
    // (a control deletes the parts it placed beside itself), which leaves
    // no way on from it in the list. Those are gone already; the others are
    // detached and deleted.
    std::vector<ZuViewRef> children;
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
        children.push_back(c);
    for (const ZuViewRef& c : children) {
        if (c->parent != self)
            continue;
        c->SetParent(ZuViewNull);
        c->Delete();
    }
    children.clear();
    if (parent.IsValid())
        SetParent(ZuViewNull);
    if (window.IsValid() && !IsWindow())
        window->NotifyRemoveView(self);
    spring = ZuObjectRef();
    if (active_list.IsValid()) {
        active_list->Delete();
        active_list = ZuListRef();
    }
    const ZuAppRef& app = ZuApp::Current();
    if (name.IsValid() && app.IsValid())
        app->UnregisterNamedView(name, self);
    name = ZuAtomRef();
    ZuResponder::Delete();
}

ZuObjectRef ZuView::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuViewRef::RetRuntime())) {
        ZuView* s = static_cast<ZuView*>(source.Resolve());
        if (s != this) {
            for (ZuViewRef c = s->child_head; c.IsValid(); c = c->next_sibling) {
                ZuViewRef clone = AsKind<ZuViewRef>(c->Clone());
                if (clone.IsValid())
                    clone->SetParent(ZuViewRef(this));
            }
            box = s->box;
            state = s->state;
            tag = s->tag;
            SetUserName(s->name);
            cursor = s->cursor;
        }
    }
    return ZuResponder::Copy(source);
}

void ZuView::StoreInstance(const ZuStorageRef& s)
{
    ZuResponder::StoreInstance(s);
    s << ViewRecord() << ZuStorageSync::begin;
    s->StoreObject(child_head);
    s->StoreObject(child_tail);
    s << ZuStorageSync::repeat;
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling)
        s->StoreObject(c);
    s << ZuStorageSync::end_repeat;
    s << box << state;
    s->StoreInt(tag);
    s->StoreObject(spring);
    s->StoreCard(num_overlays);
    s->StoreObject(active_list);
    s->StoreBool(is_in_active_list);
    s->StoreAtom(cursor);
    s->StoreAtom(name);
    s << ZuStorageSync::end;
}

void ZuView::RestoreInstance(const ZuStorageRef& s)
{
    ZuResponder::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef head_obj, tail_obj;
    s->RestoreObject(head_obj, ZuViewRef::RetRuntime());
    s->RestoreObject(tail_obj, ZuViewRef::RetRuntime());
    ZuViewRef tail = AsKind<ZuViewRef>(tail_obj);
    if (tail_obj.IsValid() && tail.IsInvalid())
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    s >> ZuStorageSync::repeat;
    // A stored child list is outside data: it must reach its stored tail,
    // and no child may be the view or one of its ancestors. Anything else
    // is refused whole, with the children read so far detached again.
    if (tail.IsValid()) {
        bool good = true;
        for (;;) {
            if (s->CheckForEnd() || s->CheckForMark()) {
                good = false;
                break;
            }
            ZuObjectRef obj;
            s->RestoreObject(obj, ZuViewRef::RetRuntime());
            ZuViewRef child = AsKind<ZuViewRef>(obj);
            if (child.IsInvalid() || child->parent.IsValid() ||
                !child->SetParent(ZuViewRef(this))) {
                good = false;
                break;
            }
            if (child == tail)
                break;
        }
        if (!good) {
            RemoveAllChildren(false);
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        }
    }
    s >> ZuStorageSync::end_repeat;
    s >> box >> state;
    // Whether the pointer is inside belongs to the window that holds the
    // view now: a stored view was entered in the window it was written from.
    state.ClearBit(ZU_VIEW_IS_ENTERED);
    tag = static_cast<int>(s->RestoreInt(0));
    s->RestoreObject(spring, ZuObjectRef::RetRuntime());
    num_overlays = static_cast<unsigned>(s->RestoreCard(0));
    ZuObjectRef list;
    s->RestoreObject(list, ZuListRef::RetRuntime());
    s->RestoreBool(false); // the parent sets the flag from its own list
    s->RestoreAtom(cursor);
    ZuAtomRef stored_name;
    s->RestoreAtom(stored_name);
    s >> ZuStorageSync::end;
    SetUserName(stored_name);
    // The focus order is kept only when it lists distinct children of this
    // view; each child's flag follows the list, whatever it stored.
    ZuListRef order = AsKind<ZuListRef>(list);
    bool order_ok = order.IsValid();
    for (unsigned i = 0; order_ok && i < order->TotalCount(); ++i) {
        ZuObjectRef item;
        order->Get(i, item);
        ZuViewRef v = AsKind<ZuViewRef>(item);
        unsigned first = 0;
        order_ok =
            v.IsValid() && v->parent.Resolve() == this && order->Find(item, first) && first == i;
    }
    if (order_ok && order->TotalCount() != 0) {
        active_list = order;
        active_list->SetInsertMode(false);
    } else if (order.IsValid()) {
        order->Delete();
    }
    for (ZuViewRef c = child_head; c.IsValid(); c = c->next_sibling) {
        unsigned at = 0;
        c->is_in_active_list = active_list.IsValid() && active_list->Find(c, at);
    }
    if (cursor.IsInvalid())
        cursor = ZuAtomRef(kCursorDefault);
    if (window.IsValid() && state.TestBit(ZU_VIEW_IS_ACTIVE))
        window->SetMainResponder(ZuResponderRef(this), false);
}
