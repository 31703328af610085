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
// The port is the screen window when the window is open; a window can also
// be given any port to draw into (SetGrailPort), which is how it is drawn
// into a pixmap.

#include "si/grailwdo.h"
#include "si/hashtab.h"
#include "si/string.h"
#include "si/view.h"

ZU_FORWARD(ZuApp)

class ZuWindow : public ZuView {
    ZU_CLASS(ZuWindow, ZuView)
public:
    ZuWindow();

    void Delete() override;
    void Awake() override;
    bool SetParent(const ZuViewRef& parent) override;

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
    const ZuGrailPortRef& RetGrailPort() const override;
    virtual void DrawOverlays(const ZuGrailPortRef& port, const ZuRect& rect);
    virtual void Redraw(const ZuRect& rect, bool frame);
    virtual void AddDelayedDisplay(const ZuRect& rect, bool frame);
    virtual bool RedrawDelayedDisplay();
    virtual void ResetDelayedDisplay();
    virtual bool UpdatePartitions();
    const ZuRect& RetDelayedRect() const { return delayed_rect; }
    bool RetDelayedFrame() const { return delayed_frame; }
    // The port the window draws into (tests and off-screen windows).
    virtual void SetGrailPort(const ZuGrailPortRef& port);

    // Style.
    virtual bool SetStyle(const ZuWinStyle& style);
    virtual const ZuWinStyle& RetStyle() const;
    virtual bool ChangeStyle(const ZuWinStyle& set, bool on);
    virtual bool ChangeStyle(ZuWinStyleBit bit, bool on);
    virtual bool SetTitle(const ZuStringRef& title);
    virtual const ZuStringRef& RetTitle() const;
    virtual bool SetFrameGeometry(const ZuRect& rect);
    virtual const ZuRect& RetFrameGeometry() const;
    virtual void SysChangedActive(bool active);
    virtual bool IsVisible() const;
    // Showing without a screen window: the flags and the modal parent.
    virtual bool IsReduced() const;
    virtual bool IsActive() const;
    virtual bool IsModal() const;
    virtual bool SetModalWindowParent(const ZuWindowRef& parent);
    virtual bool GetModalWindowParent(ZuWindowRef& out) const;
    virtual void NotifyMainWindow(bool main);
    virtual void Hide();
    virtual void Close();

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
    virtual void NotifyInsertModalWindow(const ZuWindowRef& window);
    virtual void NotifyRemoveModalWindow(const ZuWindowRef& window);
    virtual bool HasModalWindow() const;
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

    // The application that lists the window (empty without one).
    virtual ZuAppRef RetApp() const;

    // The class of the interface builder's selection frames, made by name
    // in build mode (it must implement ZuiSelectionFrame; si/iselframe.h).
    static const char* selection_frame_class;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The dispatch's steps for keyboard alternatives and for the builder's
    // selection; true when the step took the event.
    bool DispatchKeyAlternatives(const ZuEventRef& event);
    bool DispatchBuildSelection(const ZuEventRef& event);

    ZuGrailPortRef port;
    // The application that lists the window (a ZuApp; empty without one).
    ZuObjectRef app;
    ZuViewRef reduced_view;
    ZuRect window_box;
    ZuWinStyle style;
    ZuStringRef title;
    ZuViewRef main_responder;
    bool main_responder_enabled = true;
    bool visible = false;
    bool open = false;
    bool reduced = false;
    ZuWindowRef modal_parent;
    bool partitions_valid = false;
    bool pointer_inside = false;
    ZuHashTableRef view_collection;
    ZuHashTableRef view_overlays;
    ZuHashTableRef view_entered;
    ZuHashTableRef key_alternatives;
    ZuListRef modal_windows;
    ZuViewRef cursor_view;
    ZuViewRef dragging_view;
    ZuRect delayed_rect;
    bool delayed_frame = false;
    ZuRect frame_box;
};
ZU_CLASS_END(ZuWindow)

#endif
