// ZuDragView: one drag-and-drop operation made visible. A topmost frameless
// window carries the dragged view, follows the pointer, asks the views
// under the pointer whether they take the drop (their DragAndDrop steps,
// with the drag view as the dragged object) and, at the release, commits
// the drop (embedding the dragged view in the target, or letting observers
// do a "smart" drop) or cancels it, sliding back to where it started.
//
// Whoever starts a drag makes a drag view, configures it, calls DragBegin
// while the button is still down and hands the pointer over to it
// (ZuEvent::HandOverToWindow). A target answers the commit step by sending
// the drag view "CommitDrop" with the object to drop into.
#ifndef SI_DRAGVIEW_H
#define SI_DRAGVIEW_H

#include "si/window.h"

// How the drag view snaps an embedded view to a window's "BuilderGrid":
// filled in at start-up by the grid view's class, which lies above.
struct Zuvi_DragGridCalls {
    void (*align)(const ZuObjectRef& grid, double& x, double& y) = nullptr;
};

ZU_HANDLE(ZuDragView, ZuWindow)
class ZuDragView : public ZuWindow {
    ZU_CLASS(ZuDragView, ZuWindow)
public:
    // Topmost and frameless (no sizer); everything else empty or off.
    ZuDragView();

    // A dragged view still held goes with the drag view.
    void Delete() override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;

    // Close, move the window onto the box (screen coordinates), show it.
    virtual void SetDragBox(const ZuRect& box);
    // Forgets a drag under way; shows the drag window exactly over a view
    // that has a window, else closes it and keeps no view.
    virtual void SetDragView(const ZuViewRef& view);
    virtual bool SetDragObject(const ZuObjectRef& object);
    virtual const ZuViewRef& RetDragView() const;
    virtual const ZuObjectRef& RetDragObject() const;
    // Drops are allowed only inside the view's box (an empty handle lifts
    // the restriction).
    virtual void DropOnlyInView(const ZuViewRef& view);
    // Both truncated toward zero.
    virtual void SetHotSpot(double x, double y);
    virtual void SetDetectSpot(double x, double y);
    virtual bool GetHotSpot(double& x, double& y) const;
    virtual bool GetDetectSpot(double& x, double& y) const;
    virtual bool SetAutoStop(bool flag);
    virtual bool SetAutoOops(bool flag);
    virtual bool SetAutoEmbed(bool flag);
    virtual bool RetAutoStop() const;
    virtual bool RetAutoOops() const;
    virtual bool RetAutoEmbed() const;
    // Lifts the dragged view out of its parent into the drag window.
    virtual void DragBegin();
    // Lets go of the dragged view (it keeps no parent).
    virtual void DragForget();
    // Slides the drag window back to where the drag started, in ten steps.
    virtual void DragOops();
    // Only while "do_check_drop" or "do_commit_smart_drop" is reported.
    virtual bool GetDropOrigin(double& x, double& y) const;
    virtual bool GetDropView(ZuViewRef& view) const;
    virtual bool GetDropBox(ZuRect& box) const;
    virtual bool IsDropViewValid() const;
    // Only while "do_check_drop" is reported.
    virtual bool ValidateDropView();
    virtual bool InvalidateDropView();
    // The target's answer to the commit step: an empty target stands for
    // the drop view that sent it.
    virtual void CommitDrop(const ZuObjectRef& target);
    virtual void CommitConnect(const ZuObjectRef& target);
    virtual void SubstituteTarget(const ZuObjectRef& target);

    // The drag state, for the owner of a drag that does not stop by itself.
    bool IsStarted() const { return started; }
    bool IsLifted() const { return lifted; }
    bool WasRefused() const { return refused; }

    static Zuvi_DragGridCalls grid_calls;

    static ZuAtomRef notify_drag_began;
    static ZuAtomRef notify_drag_ended;
    static ZuAtomRef notify_drop_committed;
    static ZuAtomRef notify_drop_cancelled;
    static ZuAtomRef do_check_drop;
    static ZuAtomRef do_commit_smart_drop;

protected:
    virtual bool FindDropView();
    virtual void DragEnd();
    virtual void UndoDragEnd();
    virtual bool DragDrop();

    // "<ZuDragView drag_view drag_object auto_stop auto_oops auto_embed>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuViewRef drag_view;
    ZuObjectRef drag_object;
    ZuViewState saved_state;
    ZuViewRef drop_view;
    ZuRect drop_box;
    bool started = false;
    bool auto_stop = false;
    bool auto_oops = false;
    bool auto_embed = false;
    bool committing = false;
    bool checking = false;
    bool drop_valid = false;
    bool lifted = false;
    bool hot_spot_set = false;
    bool detect_spot_set = false;
    double start_x = 0, start_y = 0;
    double hot_x = 0, hot_y = 0;
    double drop_x = 0, drop_y = 0;
    double detect_x = 0, detect_y = 0;
    bool restricted = false;
    ZuRect restrict_box;
    ZuWindowRef restrict_window;
    bool refused = false;

private:
    void Report(const ZuAtomRef& event);
    // The step on a view with the drop box and this drag view.
    bool Step(const ZuViewRef& view, ZuDragDropProtocol step);
};
ZU_CLASS_END(ZuDragView)

#endif
