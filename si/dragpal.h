// ZuDragPalette: a control whose children are samples that the user drags
// out of it with the left button: a copy of the pressed child (a builder's
// tool palette) or, with automatic copy off, the child itself. A drag view
// carries it; the palette learns from it whether the drop was committed or
// cancelled and reports that in turn. The palette takes no drops itself.
#ifndef SI_DRAGPAL_H
#define SI_DRAGPAL_H

#include "si/control.h"

ZU_HANDLE(ZuDragPalette, ZuControl)
class ZuDragPalette : public ZuControl {
    ZU_CLASS(ZuDragPalette, ZuControl)
public:
    ZuDragPalette();

    void Delete() override;
    bool WouldAcceptChild(const ZuViewRef& child) override;
    // The palette, not its children, receives the clicks.
    void NotifyInsertChild(const ZuViewRef& child) override;
    void NotifyRemoveChild(const ZuViewRef& child) override;
    // Refuses every check: nothing is dropped onto a palette.
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;
    void ButtonPress(const ZuEventRef& event) override;

    // Takes the view's parent and place, one pixel wider on every side, and
    // the view as its child.
    virtual void Initialise(const ZuViewRef& view);
    virtual void SetAutoCopy(bool flag);
    virtual bool RetAutoCopy() const;
    // The drag view's answers, passed on.
    virtual bool NotifyCommitDrop();
    // A moved child that was not dropped comes back with the palette's box.
    virtual bool NotifyCancelDrop();

    const ZuViewRef& RetMovedView() const { return moved_view; }

    static ZuAtomRef notify_drop_committed;
    static ZuAtomRef notify_drop_cancelled;

protected:
    // "<ZuDragPalette>": no fields.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // A copy of the child through an in-memory storage: the application,
    // the builder's active data slot and the embedded object are referenced,
    // not copied. Empty when the child cannot be copied.
    ZuViewRef CopyChild(const ZuViewRef& child, const ZuObjectRef& embedded);

    bool auto_copy = true;
    ZuViewRef moved_view;
};
ZU_CLASS_END(ZuDragPalette)

#endif
