// CColorSlider: a field of colours, a strip or a square, in which the user
// picks a point. The colours run between four corner colours (bilinear) or
// through the hues at full saturation and brightness. The point is a
// position of two values in [0, 1] (x from the left, y from the top);
// every press, drag step and release reports "notify_Modify". The owner
// reads the colour under the point (RetColor) or hands a colour in and
// lets the slider find the nearest point (ApplyColor). None of the setters
// redisplays.
//
// Style bits ("colorslider_style"): 0x1 "vertical" (the colour varies along
// y), 0x2 "horizontal" (along x), 0x100 "hue", 0x10000 "enable click" (the
// mouse moves the point, which is drawn), 0x20000 "full size" (no margin
// of 5 pixels). With both axis bits the field is two-dimensional; with
// neither the colour follows x.
#ifndef LUMBRA_APP_COLORSLIDER_H
#define LUMBRA_APP_COLORSLIDER_H

#include "si/colorpixel.h"
#include "si/control.h"

ZU_HANDLE(CColorSlider, ZuControl)

class CColorSlider : public ZuControl {
    ZU_CLASS(CColorSlider, ZuControl)
public:
    enum : unsigned {
        VERTICAL = 0x1,
        HORIZONTAL = 0x2,
        HUE = 0x100,
        ENABLE_CLICK = 0x10000,
        FULL_SIZE = 0x20000
    };

    CColorSlider();

    using ZuControl::SetStyle;
    // Stores the style; the margin follows "full size" (0, else 5).
    bool SetStyle(unsigned style);
    unsigned GetStyle() const { return slider_style; }
    int RetMargin() const { return margin; }

    bool SetColorUL(const ZuColorPixel& color);
    bool SetColorUR(const ZuColorPixel& color);
    bool SetColorDL(const ZuColorPixel& color);
    bool SetColorDR(const ZuColorPixel& color);
    ZuColorPixel GetColorUL() const { return color_ul; }
    ZuColorPixel GetColorUR() const { return color_ur; }
    ZuColorPixel GetColorDL() const { return color_dl; }
    ZuColorPixel GetColorDR() const { return color_dr; }

    // Clamped to [0, 1]; a value that is not a number leaves the position.
    bool SetPositionX(double x);
    bool SetPositionY(double y);
    double GetPositionX() const { return position_x; }
    double GetPositionY() const { return position_y; }

    // The colour at the position.
    void RetColor(ZuColorPixel& out) const;
    // The position moves to the colour: its hue on both axes with "hue",
    // else the nearest point found in three passes of 10 x 10 samples.
    bool ApplyColor(const ZuColorPixel& color);
    // The same with the colour as three reals (0 to 1); a colour whose
    // components are not numbers leaves the position as it was.
    bool ApplyRGB(double r, double g, double b);

    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    static ZuAtomRef notify_Modify;
    static ZuAtomRef Modify;

private:
    // The colour at a point of the field as reals (x, y in [0, 1]).
    void ColorAt(double x, double y, double& r, double& g, double& b) const;
    // The field's origin and size inside the box; false when the box is too
    // small for the margin.
    bool Field(double& ox, double& oy, double& w, double& h) const;
    // The point from the event, the control's press, the report and the
    // drag taken.
    void PressStep(const ZuEventRef& event);

    unsigned slider_style = 0x10003;
    int margin = 5;
    ZuColorPixel color_ul;
    ZuColorPixel color_ur;
    ZuColorPixel color_dl;
    ZuColorPixel color_dr;
    double position_x = 0.5;
    double position_y = 0.5;
};
ZU_CLASS_END(CColorSlider)

#endif
