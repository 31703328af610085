// CButtonColor: a button that shows a colour swatch instead of an icon or
// text, inside the frame of the look "Zuvi_Button" drawn without its
// surface. The swatch keeps an inset of 4 pixels on every side; a new
// button shows mid-grey.
#ifndef LUMBRA_APP_BUTTONCOLOR_H
#define LUMBRA_APP_BUTTONCOLOR_H

#include "si/button.h"
#include "si/colorpixel.h"

ZU_HANDLE(CButtonColor, ZuButton)

class CButtonColor : public ZuButton {
    ZU_CLASS(CButtonColor, ZuButton)
public:
    CButtonColor();

    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // As CButton::SetPlace, and the adorner drawing on.
    bool SetPlace(double x, double y, double w, double h);

    // Takes the colour of the swatch for the next drawing; neither redraws
    // nor reports (the caller asks for a redisplay).
    bool SetBackColor(const ZuColorPixel& color) override;
    const ZuColorPixel& RetColor() const { return colour; }
    double RetInset() const { return inset; }

    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

protected:
    double inset = 4.0;
    ZuColorPixel colour;
};
ZU_CLASS_END(CButtonColor)

#endif
