#ifndef SI_VIEW_H
#define SI_VIEW_H

// ZuView: a node of the self-drawn interface. A view has a parent, an ordered
// list of children (head at the back, tail at the front) and the window at
// the root of its tree; its box is in window coordinates; its state bits say
// whether it is enabled, hidden, pressed, entered, the focus and so on. Its
// parent is its next responder. Views draw back to front into their
// window's port, are hit-tested front to back, and take part in drag and
// drop as targets.

#include "si/atom.h"
#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/list.h"
#include "si/rect.h"
#include "si/respond.h"

ZU_FORWARD(ZuGrailPort)
ZU_FORWARD(ZuGrailPixmap)
ZU_FORWARD(ZuLookMan)
ZU_FORWARD(ZuAdorner)
ZU_FORWARD(ZuAtomPath)
ZU_FORWARD(ZuSpringBoard)

// clang-format off
#define ZU_VIEW_STATE_BIT_LIST(X)                                                 \
    X(ZU_VIEW_IS_ENABLED, 0) X(ZU_VIEW_IS_ON, 1) X(ZU_VIEW_IS_ENTERED, 8)         \
    X(ZU_VIEW_IS_HOT, 9) X(ZU_VIEW_IS_CLICKED, 10) X(ZU_VIEW_IS_ACTIVE, 11)       \
    X(ZU_VIEW_IS_DRAG_SRC, 12) X(ZU_VIEW_IS_DROP_DST, 13)                         \
    X(ZU_VIEW_IS_CONNECT_SRC, 14) X(ZU_VIEW_IS_CONNECT_DST, 15)                   \
    X(ZU_VIEW_IS_AUTO_CLICKED, 16) X(ZU_VIEW_IS_FRAME_WIDGET, 20)                 \
    X(ZU_VIEW_OK_HOT, 25) X(ZU_VIEW_OK_CLICKED, 26) X(ZU_VIEW_OK_ACTIVE, 27)      \
    X(ZU_VIEW_OK_DRAG, 28) X(ZU_VIEW_OK_DROP, 29) X(ZU_VIEW_OK_CONNECT_SRC, 30)   \
    X(ZU_VIEW_OK_CONNECT_DST, 31) X(ZU_VIEW_NO_DETECT, 32)                        \
    X(ZU_VIEW_NO_DISPLAY, 33) X(ZU_VIEW_NO_UI_MODIF, 34)                          \
    X(ZU_VIEW_NO_UI_INSPECT, 35) X(ZU_VIEW_NO_PARTITION, 40)                      \
    X(ZU_VIEW_NO_SUBVIEW_DRAW, 41) X(ZU_VIEW_NO_DEFAULT_DRAW, 42)
#define ZU_DRAW_OP_LIST(X)                                                        \
    X(ZU_DRAW_NONE, 0) X(ZU_DRAW_FRONT, 1) X(ZU_DRAW_BACK, 2) X(ZU_DRAW_ALL, 3)   \
    X(ZU_DRAW_FRAME, 4) X(ZU_DRAW_FRAME_AND_OBJECT, 5)                            \
    X(ZU_DRAW_FRAME_AND_BACKGROUND, 6) X(ZU_DRAW_FRAME_AND_ALL, 7)
#define ZU_DRAG_DROP_PROTOCOL_LIST(X)                                             \
    X(ZU_DDP_DRAGnDROP, 0) X(ZU_DDP_DRAGnDROP_CHECK, 1)                           \
    X(ZU_DDP_DRAGnDROP_ENTER, 2) X(ZU_DDP_DRAGnDROP_LEAVE, 3)                     \
    X(ZU_DDP_DRAGnDROP_MOTION, 4) X(ZU_DDP_DRAGnDROP_CANCEL, 5)                   \
    X(ZU_DDP_DRAGnDROP_COMMIT, 6) X(ZU_DDP_DRAGnDROP_SUBST, 7)                    \
    X(ZU_DDP_CONNECT, 16) X(ZU_DDP_CONNECT_CHECK, 17) X(ZU_DDP_CONNECT_ENTER, 18) \
    X(ZU_DDP_CONNECT_LEAVE, 19) X(ZU_DDP_CONNECT_MOTION, 20)                      \
    X(ZU_DDP_CONNECT_CANCEL, 21) X(ZU_DDP_CONNECT_COMMIT, 22)                     \
    X(ZU_DDP_CONNECT_SUBST, 23) X(ZU_DDP_UI_EDIT, 32) X(ZU_DDP_UI_EDIT_CHECK, 33) \
    X(ZU_DDP_UI_EDIT_COMMIT, 38) X(ZU_DDP_UI_EDIT_SUBST, 39)
// clang-format on
ZU_ENUM(ZuViewStateBit, ZU_VIEW_STATE_BIT_LIST)
ZU_ENUM(ZuDrawOp, ZU_DRAW_OP_LIST)
ZU_ENUM(ZuDragDropProtocol, ZU_DRAG_DROP_PROTOCOL_LIST)

typedef Bitset<ZuViewStateBit> ZuViewState;

ZU_HANDLE(ZuView, ZuResponder)
// A view holds its window's handle; the window class (si/window.h) is a view.
ZU_HANDLE(ZuWindow, ZuView)

extern const Zuvi_TypeDef ZuViewState_type;
ZuViewState Zuvi_ValueToZuViewState(const ZuValueRef& value);
// The view a value holds; empty for anything else.
ZuViewRef Zuvi_ValueToZuView(const ZuValueRef& value);

class ZuView : public ZuResponder {
    ZU_CLASS(ZuView, ZuResponder)
public:
    // The two ends of a child list and the two neighbours of a view, as
    // callers hand them around. Copies hold the views like any handle: a
    // copy adds one reference to each, its destruction removes them again.
    struct ViewChildren {
        ZuViewRef head;
        ZuViewRef tail;
    };
    struct ViewSiblings {
        ZuViewRef previous;
        ZuViewRef next;
    };

    ZuView();
    ~ZuView() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void Awake() override;

    // Responder.
    bool GetView(ZuViewRef& out) override;
    bool WouldAcceptMain() const override;
    void BecomeMain(bool flag) override;
    void ResignMain() override;
    void EnterNotify(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;

    // Geometry hooks.
    virtual void ChangeGeometry(const ZuRect& box);
    virtual void NotifyGeometryChange(const ZuRect& old_box);
    virtual void NotifyParentResize(double old_dx, double old_dy);
    virtual bool NotifyChildResize(const ZuViewRef& child, double old_dx, double old_dy);
    virtual void NotifyInsertChild(const ZuViewRef& child);
    virtual void NotifyRemoveChild(const ZuViewRef& child);
    virtual void NotifyStateChange(const ZuViewState& changed);

    // Active list.
    virtual void SetEnableState(bool enable, bool recursive);
    virtual bool RemoveActive();
    virtual bool RemoveActive(const ZuViewRef& child);
    virtual const ZuListRef& RetAndCreateActiveList();
    virtual void NotifyActiveListChange();
    virtual void NotifyInsertIntoActiveList();
    virtual void NotifyRemoveFromActiveList();

    // Drawing.
    virtual void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect);
    virtual void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect);
    virtual void DrawChildren(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op);
    virtual void Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op);
    virtual void Draw(const ZuGrailPortRef& port, ZuDrawOp op);
    virtual void DrawOverlay(const ZuGrailPortRef& port, const ZuRect& rect);
    virtual void Display(const ZuRect& rect, bool delayed, bool frame);
    virtual void Display(bool delayed);
    virtual bool DefinePartition(const ZuGrailPixmapRef& pixmap);
    virtual const ZuGrailPortRef& RetGrailPort() const;
    virtual const ZuLookManRef& RetLookMan() const;
    // The port's adorner, empty without a port.
    virtual ZuAdornerRef RetAdorner() const;

    // Tree.
    virtual bool MakeMainResponder();
    virtual bool SetWindow(const ZuWindowRef& window);
    virtual bool SetParent(const ZuViewRef& parent);
    virtual bool SetIntoParent(const ZuViewRef& parent);
    // The board that lays out the children when the view's size changes.
    virtual bool SetSpringBoard(const ZuSpringBoardRef& board);
    virtual bool WouldAcceptChild(const ZuViewRef& child);
    virtual bool RemoveAllChildren(bool delete_them);
    virtual void ReorderFirst();
    virtual void ReorderLast();
    virtual void ReorderBefore(const ZuViewRef& sibling);
    virtual void ReorderAfter(const ZuViewRef& sibling);

    // Geometry.
    virtual bool SetBox(const ZuRect& box);
    virtual void SetOrigin(double x, double y);
    virtual void SetSize(double dx, double dy);
    virtual void MoveOrigin(double dx, double dy);
    virtual void ChangeSize(double ddx, double ddy);
    virtual bool GetWindow(ZuWindowRef& out) const;
    virtual bool GetParent(ZuViewRef& out) const;
    virtual const ZuWindowRef& RetWindow() const;
    virtual const ZuViewRef& RetParent() const;
    // Always true; the handle is empty when the view has no board.
    virtual bool GetSpringBoard(ZuSpringBoardRef& out) const;
    virtual ZuSpringBoardRef RetSpringBoard() const;
    virtual bool GetNextSibling(ZuViewRef& out) const;
    virtual bool GetPrevSibling(ZuViewRef& out) const;
    virtual bool GetFirstChild(ZuViewRef& out) const;
    virtual bool GetLastChild(ZuViewRef& out) const;
    virtual void GetOrigin(double& x, double& y) const;
    virtual void GetSize(double& dx, double& dy) const;
    virtual void GetMinSize(double& dx, double& dy) const;
    virtual void GetMaxSize(double& dx, double& dy) const;
    virtual const ZuRect& RetBox() const;
    virtual bool GetBox(ZuRect& out) const;

    // Focus order.
    virtual bool SetFirstActive();
    virtual bool SetLastActive();
    virtual bool SetActiveBefore(const ZuViewRef& view);
    virtual bool SetActiveAfter(const ZuViewRef& view);
    virtual ZuViewRef RetFirstActive();
    virtual ZuViewRef RetLastActive();
    virtual ZuViewRef RetNextActive();
    virtual ZuViewRef RetPrevActive();
    virtual bool FindNextActive(ZuViewRef& result);
    virtual bool FindPrevActive(ZuViewRef& result);
    virtual bool SetActiveRank(int rank);
    virtual int RetActiveRank();
    virtual const ZuListRef& RetActiveList() const;

    // Tags, names, state, cursor.
    virtual bool SetUserTag(int tag);
    virtual int RetUserTag() const;
    virtual bool SetUserName(const ZuAtomRef& name);
    virtual const ZuAtomRef& RetUserName() const;
    virtual ZuAtomPathRef RetUserPath() const;
    virtual bool SetState(const ZuViewState& state, bool recursive);
    virtual const ZuViewState& RetState() const;
    virtual bool ChangeState(const ZuViewState& set, bool value, bool recursive);
    virtual bool ChangeState(ZuViewStateBit bit, bool value, bool recursive);
    virtual bool SetEnable(bool enable);
    virtual bool SetDisable();
    virtual bool SetCursor(const ZuAtomRef& cursor);
    virtual const ZuAtomRef& RetCursor() const;
    virtual void SelectCursor();
    virtual bool FindUserTag(int tag, ZuViewRef& out);
    virtual bool FindUserName(const ZuAtomRef& name, unsigned index, ZuViewRef& out,
                              unsigned& count);
    virtual bool FindUserName(const ZuAtomRef& name, unsigned index, ZuViewRef& out);
    virtual bool FindUserName(const ZuAtomRef& name, ZuViewRef& out);
    virtual bool FindUserPath(const ZuAtomPathRef& path, unsigned index, ZuViewRef& out,
                              unsigned& count);
    virtual bool FindUserPath(const ZuAtomPathRef& path, unsigned index, ZuViewRef& out);
    virtual bool FindUserPath(const ZuAtomPathRef& path, ZuViewRef& out);

    // Detection and drag and drop.
    virtual bool Detect(const ZuRect& rect);
    virtual bool Detect(double x, double y, ZuViewRef& out, bool any);
    virtual bool IsMainResponder() const;
    virtual void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument);
    virtual bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                             ZuDragDropProtocol step);

    unsigned RetNumOverlays() const { return num_overlays; }
    bool IsInActiveList() const { return is_in_active_list; }
    // The view is its own window (a window's window field is itself).
    bool IsWindow() const;

    static ZuAtomRef notify_size_changed;
    static ZuAtomRef notify_origin_changed;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Links the child at the tail / unlinks it, without any notification.
    void LinkAtTail(ZuView* child);
    void Unlink(ZuView* child);
    bool SearchPath(const ZuAtomPathRef& path, unsigned first, unsigned index, ZuViewRef& out,
                    unsigned& count);

    ZuWindowRef window;
    ZuViewRef parent;
    ZuObjectRef spring;
    ZuViewRef next_sibling;
    ZuViewRef prev_sibling;
    ZuViewRef child_head;
    ZuViewRef child_tail;
    ZuListRef active_list;
    bool is_in_active_list = false;
    ZuRect box;
    ZuViewState state;
    int tag = 0;
    ZuAtomRef name;
    unsigned num_overlays = 0;
    ZuAtomRef cursor;
};
ZU_CLASS_END(ZuView)

#endif
