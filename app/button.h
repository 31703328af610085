// CButton: the program's push button. It shows the icon and text of its
// library base inside the frame of the look "Zuvi_Button" for its state, so
// every button of the panes, palettes and tool bar wears the program's look.
// The frame's edges and corners are drawn over the contents; its surface is
// drawn behind them, since an opaque surface in front would hide the icon
// and text (a clear surface gives the same picture either way).
#ifndef LUMBRA_APP_BUTTON_H
#define LUMBRA_APP_BUTTON_H

#include "si/button.h"

ZU_HANDLE(CButton, ZuButton)

class CButton : public ZuButton {
    ZU_CLASS(CButton, ZuButton)
public:
    CButton() {}

    // Places the button (origin and size) and gives it the program's
    // style: no highlight when on, the pressed effect when on, no relief.
    // Called right after the button is made and attached to its parent.
    bool SetPlace(double x, double y, double w, double h);

    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // The look's frame "Zuvi_Button".
    static ZuAtomRef RetLookFrame();
};
ZU_CLASS_END(CButton)

#endif
