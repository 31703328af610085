#ifndef SI_WINDOW_H
#define SI_WINDOW_H

// ZuWindow: the root of a view tree. Its box is its client area (0, 0,
// width - 1, height - 1); it keeps the tables of the views of its tree, of
// those that show a drag-and-drop highlight and of those the pointer is in,
// the main responder that receives keys, the view under the pointer and the
// view that has grabbed the mouse, the windows that are modal for it, and
// one pending rectangle of delayed display. It picks the view that gets
// each event and draws its tree into its port.
//
// Opening a window makes its screen window (a ZuGrailWindow: the platform
// window and the pixels the tree is drawn into) from the window box, the
// style and the title; showing, reducing and hiding go through it, and the
// platform's own changes come back through the SysChanged operations,
// which report the window notifications. Closing deletes the screen window.
//
// The port is the screen window when the window is open; a window can also
// be given any port to draw into (SetGrailPort), which is how it is drawn
// into a pixmap.

#include "si/dataslot.h"
#include "si/grailwdo.h"
#include "si/hashtab.h"
#include "si/ititlewidget.h"
#include "si/string.h"
#include "si/view.h"
#include "si/winbar.h"
#include "si/winsizer.h"

ZU_FORWARD(ZuApp)

extern const Zuvi_TypeDef ZuWinStyle_type;
ZuWinStyle Zuvi_ValueToZuWinStyle(const ZuValueRef& value);
// The value's object when it is a window, else an empty handle.
ZuWindowRef Zuvi_ValueToZuWindow(const ZuValueRef& value);

// Told of every move of a window on the screen, whoever moves it (its bar,
// the system, the program); filled in at start-up by a higher layer: the
// tool tips, which close when the window they belong to moves.
struct Zuvi_WindowMoveCalls {
    void (*moved)(const ZuWindowRef& window) = nullptr;
};

class ZuWindow : public ZuView, public ZuiTitleWidget {
    ZU_CLASS(ZuWindow, ZuView)
public:
    ZuWindow();

    void Delete() override;
    void Awake() override;
    void AwakeFromApp(const ZuAppRef& app) override;
    bool SetParent(const ZuViewRef& parent) override;
    // The window of the whole tree, and its visibility brought in line.
    virtual void AwakeMyself();
    // Close if open, then delete the whole tree depth first and the window.
    virtual void Kill();

    // Dispatch.
    void DispatchEvent(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;
    void EnterNotify(const ZuEventRef& event) override;
    bool Detect(double x, double y, ZuViewRef& out, bool any) override;
    using ZuView::Detect;

    // Drawing.
    void Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op) override;
    using ZuView::Draw;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void Display(bool delayed) override;
    using ZuView::Display;
    // The screen window when there is one, else the port given.
    const ZuGrailPortRef& RetGrailPort() const override;
    virtual void DrawOverlays(const ZuGrailPortRef& port, const ZuRect& rect);
    virtual void Redraw(const ZuRect& rect, bool frame);
    virtual void AddDelayedDisplay(const ZuRect& rect, bool frame);
    virtual bool RedrawDelayedDisplay();
    virtual void ResetDelayedDisplay();
    virtual bool UpdatePartitions();
    const ZuRect& RetDelayedRect() const { return delayed_rect; }
    bool RetDelayedFrame() const { return delayed_frame; }
    // The port the window draws into when it has no screen window (tests
    // and off-screen windows).
    virtual void SetGrailPort(const ZuGrailPortRef& port);

    // Geometry. The window box is the client area on the screen; the frame
    // box is the whole frame in window coordinates. A client size change
    // (SetSize) moves the window box's far corner and rebuilds the frame.
    void NotifyGeometryChange(const ZuRect& old_box) override;
    virtual void SetWindowOrigin(double x, double y);
    virtual void GetWindowOrigin(double& x, double& y) const;
    virtual void SetWindowBox(const ZuRect& rect);
    virtual void GetWindowBox(ZuRect& out) const;
    virtual const ZuRect& RetWindowBox() const;
    // The frame must contain the client box.
    virtual bool SetFrameGeometry(const ZuRect& rect);
    virtual void GetFrameGeometry(ZuRect& out) const;
    virtual const ZuRect& RetFrameGeometry() const;
    // The left and top frame sizes of the style; and left + right, top +
    // bottom.
    virtual void GetFrameOffset(double& dx, double& dy) const;
    virtual void GetFrameOverhead(double& dx, double& dy) const;
    // The user moved or resized the screen window (and SetWindowBox).
    virtual void UserChangedWindowGeometry(const ZuRect& rect);
    virtual void UpdateWindowFrame();
    virtual void UpdateWindowBar();
    virtual void UpdateWindowSizer();

    // Geometry, title and style in one call. A window takes no parent view:
    // the form with one stops the program.
    using ZuiTitleWidget::InitGeom;
    bool InitGeom(double x, double y, double dx, double dy) override;
    bool InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title) override;
    bool InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title,
                  const ZuViewRef& parent) override;
    virtual bool InitGeom(double x, double y, double dx, double dy, const ZuStringRef& title,
                          const ZuWinStyle& style);

    // Style and title. A style change of an open window rebuilds its
    // screen window, keeping it shown or reduced as it was.
    virtual bool SetStyle(const ZuWinStyle& style);
    virtual const ZuWinStyle& RetStyle() const;
    virtual bool ChangeStyle(const ZuWinStyle& set, bool on);
    virtual bool ChangeStyle(ZuWinStyleBit bit, bool on);
    // An empty handle stores the empty string.
    bool SetTitle(const ZuStringRef& title) override;
    virtual bool GetTitle(ZuStringRef& out) const;
    virtual const ZuStringRef& RetTitle() const;
    virtual const ZuWindowBarRef& RetWindowBar() const;
    virtual const ZuWindowSizerRef& RetWindowSizer() const;
    // Kept for the program; the window does nothing else with it.
    virtual bool SetReducedView(const ZuViewRef& view);
    virtual bool GetReducedView(ZuViewRef& out) const;
    virtual const ZuViewRef& RetReducedView() const;

    // Showing. Open makes the screen window without showing it; the Show
    // operations open first.
    virtual void Open();
    virtual void Close();
    virtual void ShowNormal();
    // Centred on the reference window's box, or on display 0 for an empty
    // handle.
    virtual void ShowCentered(const ZuWindowRef& reference);
    virtual void ShowReduced();
    virtual void Hide();
    virtual void ActivateAsFrontWindow(bool activate);
    virtual void UpdateWindowVisibility();
    // The platform changed the window (the screen window and the bar call
    // these); each reports its notification.
    virtual void SysChangedActive(bool active);
    virtual void SysChangedOpen(bool open);
    virtual void SysChangedVisible(bool visible);
    virtual void SysChangedReduced(bool reduced);
    virtual bool IsVisible() const;
    virtual bool IsReduced() const;
    virtual bool IsActive() const;
    virtual bool IsModal() const;
    virtual void NotifyMainWindow(bool main);
    // Called by the bar after a drag and by the sizer after a resize.
    virtual void NotifyWindowDragged();
    virtual void NotifyWindowResized();

    // Modal windows and the window parent.
    virtual bool SetModalWindowParent(const ZuWindowRef& parent);
    virtual bool GetModalWindowParent(ZuWindowRef& out) const;
    virtual const ZuWindowRef& RetModalWindowParent() const;
    virtual void NotifyInsertModalWindow(const ZuWindowRef& window);
    virtual void NotifyRemoveModalWindow(const ZuWindowRef& window);
    virtual void NotifyActiveModalWindow(const ZuWindowRef& window);
    // The modal window at that position, 0 the most recently active.
    virtual bool GetModalWindow(ZuWindowRef& out, unsigned index) const;
    virtual bool GetModalWindowList(ZuListRef& out) const;
    virtual bool HasModalWindow() const;
    // Kept for the program; no behaviour of its own.
    virtual bool SetWindowParent(const ZuWindowRef& parent);
    virtual bool GetWindowParent(ZuWindowRef& out) const;
    virtual const ZuWindowRef& RetWindowParent() const;

    // Tables.
    virtual void NotifyInsertView(const ZuViewRef& view);
    virtual void NotifyRemoveView(const ZuViewRef& view);
    virtual void NotifyReparentView(const ZuViewRef& view);
    virtual void NoLongerActive(const ZuViewRef& view);
    // Controls with a keyboard alternative. The dispatch offers each of
    // them every key press by name: "HandleKeyAlt", an observer target that
    // gets the event as its source and answers whether it took the key.
    virtual void NotifyInsertKeyAlt(const ZuViewRef& control);
    virtual void NotifyRemoveKeyAlt(const ZuViewRef& control);
    virtual void NotifyInsertOverlay(const ZuViewRef& view);
    virtual void NotifyRemoveOverlay(const ZuViewRef& view);
    virtual void NotifyInsertEntered(const ZuViewRef& view);
    virtual void NotifyRemoveEntered(const ZuViewRef& view);
    const ZuHashTableRef& RetViewCollection() const { return view_collection; }
    const ZuHashTableRef& RetViewOverlays() const { return view_overlays; }
    const ZuHashTableRef& RetViewEntered() const { return view_entered; }

    // Responders.
    virtual bool SetMainResponder(const ZuResponderRef& responder, bool flag);
    virtual bool GetMainResponder(ZuViewRef& out) const;
    // The same view as GetMainResponder.
    virtual bool GetActiveView(ZuViewRef& out) const;
    // A main responder is set and enabled.
    virtual bool IsMainResponderOk() const;
    virtual void RemoveMainResponder();
    virtual void EnableMainResponder();
    virtual void DisableMainResponder();
    virtual bool GetCursorView(ZuViewRef& out) const;
    virtual bool SetDraggingView(const ZuViewRef& view);
    virtual bool GetDraggingView(ZuViewRef& out) const;

    // The application that lists the window (empty without one), and the
    // program's data slot.
    virtual ZuAppRef RetApp() const;
    virtual bool SetSlot(const ZuDataSlotRef& slot);
    virtual bool GetSlot(ZuDataSlotRef& out) const;
    virtual const ZuDataSlotRef& RetSlot() const;
    // The screen window, empty while the window is closed.
    const ZuGrailWindowRef& RetScreenWindow() const { return screen_window; }

    // The class of the interface builder's selection frames, made by name
    // in build mode (it must implement ZuiSelectionFrame; si/iselframe.h).
    static const char* selection_frame_class;
    static Zuvi_WindowMoveCalls move_calls;

    static ZuAtomRef notify_window_opened;
    static ZuAtomRef notify_window_closed;
    static ZuAtomRef notify_window_activated;
    static ZuAtomRef notify_window_deactivated;
    static ZuAtomRef notify_window_shown;
    static ZuAtomRef notify_window_hidden;
    static ZuAtomRef notify_window_reduced;
    static ZuAtomRef notify_window_restored;
    static ZuAtomRef notify_window_dragged;
    static ZuAtomRef notify_window_resized;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    // Close without leaving the modal parent.
    void CloseScreenWindow();

    // The dispatch's steps for keyboard alternatives and for the builder's
    // selection; true when the step took the event.
    bool DispatchKeyAlternatives(const ZuEventRef& event);
    bool DispatchBuildSelection(const ZuEventRef& event);

    // The application that lists the window (a ZuApp; empty without one).
    ZuObjectRef app;
    ZuDataSlotRef slot;
    ZuGrailWindowRef screen_window;
    ZuWinStyle style;
    ZuStringRef title;
    ZuViewRef reduced_view;
    ZuWindowBarRef window_bar;
    ZuWindowSizerRef window_sizer;
    ZuViewRef main_responder;
    bool main_responder_enabled = true;
    bool open = false;
    bool visible = false;
    bool reduced = false;
    bool partitions_valid = false;
    bool pointer_inside = false;
    ZuHashTableRef view_collection;
    ZuHashTableRef view_overlays;
    ZuHashTableRef view_entered;
    ZuHashTableRef key_alternatives;
    ZuListRef modal_windows;
    ZuWindowRef modal_parent;
    ZuWindowRef window_parent;
    ZuViewRef cursor_view;
    ZuViewRef dragging_view;
    ZuRect delayed_rect;
    bool delayed_frame = false;
    ZuRect window_box;
    ZuRect frame_box;
    // The port given by SetGrailPort.
    ZuGrailPortRef port;
    // The screen window is being closed.
    bool closing = false;
};
ZU_CLASS_END(ZuWindow)

#endif
