// ZuSelView: the frame with four corner handles that the interface builder
// puts around a view edited inside a running window. While the selection
// runs the frame stands where the view stood (in the tree, the parent's
// spring board and the active list) and holds the view as its only child;
// dragging the frame moves the view, dragging a corner resizes it, and
// keys and modified clicks become requests to the application's builder.
#ifndef SI_SELVIEW_H
#define SI_SELVIEW_H

#include "si/control.h"
#include "si/iselframe.h"

ZU_HANDLE(ZuSelView, ZuControl)
class ZuSelView : public ZuControl, public ZuiSelectionFrame {
    ZU_CLASS(ZuSelView, ZuControl)
public:
    ZuSelView() {}
    ~ZuSelView() override;

    // Deletes the selected view and the edited object too.
    void Delete() override;

    void BecomeMain(bool flag) override;
    void ResignMain() override;
    void KeyDown(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The frame alone is hit: the selected view gets no events.
    bool Detect(double x, double y, ZuViewRef& hit, bool any) override;
    using ZuView::Detect;

    bool BeginSelection(const ZuViewRef& view) override;
    void EndSelection() override;
    // Takes the selected view's place; the view calls it while it commits
    // to being edited.
    virtual bool CommitUIEdit(const ZuObjectRef& edited);
    ZuViewRef RetSelectedView() const override;
    virtual ZuObjectRef RetSelectedObject() const;

    // What the last press grabbed: 0 the whole view, 1 top-left corner,
    // 2 top-right, 3 bottom-right, 4 bottom-left.
    int RetDragCorner() const { return drag_corner; }

protected:
    // Publishes the selection on the builder, then runs the action when
    // it is valid; only while the frame is active.
    virtual void NotifySelectBuilder(const ZuAtomRef& action);
    // Withdraws the selection when the builder still names this frame.
    virtual void NotifyDeselectBuilder();

    // "<ZuSelView view object>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuViewRef view;
    ZuObjectRef object;
    int drag_corner = 0;
    double grab_x = 0;
    double grab_y = 0;
    ZuObjectRef builder;
};
ZU_CLASS_END(ZuSelView)

#endif
