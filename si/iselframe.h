// ZuiSelectionFrame: the frame with handles that the interface builder puts
// around a view being edited in a running window (the selection view). It
// takes the edited view's place in the tree while the selection runs. The
// window's dispatch starts and ends selections through this interface and
// makes the frames by class name (ZuWindow::selection_frame_class), since
// the selection view is a control, built on top of the window layer.
#ifndef SI_ISELFRAME_H
#define SI_ISELFRAME_H

#include "si/interface.h"
#include "si/view.h"

class ZuiSelectionFrame {
public:
    static const Zuvi_Interface interface;

    // Puts the frame around the view; false, with nothing changed, when a
    // selection runs already or the view refuses to be edited.
    virtual bool BeginSelection(const ZuViewRef& view) = 0;
    // Gives the view its place back.
    virtual void EndSelection() = 0;
    virtual ZuViewRef RetSelectedView() const = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiSelectionFrame() = default;
    ZuiSelectionFrame(const ZuiSelectionFrame&) = default;
    ZuiSelectionFrame& operator=(const ZuiSelectionFrame&) = default;
    ~ZuiSelectionFrame() = default;
};

#endif
