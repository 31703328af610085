#ifndef SI_COLSLIDER_H
#define SI_COLSLIDER_H

// ZuColSlider: a slider whose track is a gradient from a minimum colour at
// the start to a maximum colour at the end; the slider's value picks the
// colour between them, published as the current colour. Changing an end
// colour neither reports nor redraws: the owner redisplays the slider.

#include "si/colorpixel.h"
#include "si/slider.h"

ZU_HANDLE(ZuColSlider, ZuSlider)
class ZuColSlider : public ZuSlider {
    ZU_CLASS(ZuColSlider, ZuSlider)
public:
    ZuColSlider();

    // The gradient in place of the slider's groove.
    void DrawBody(const ZuGrailPortRef& port) override;

    // Lays the slider out along its box's width (horizontal) or height.
    virtual void Initialise(bool is_horizontal);
    virtual void Initialise(double x, double y, double length, bool is_horizontal);
    using ZuSlider::Initialise;
    virtual bool SetMinColor(const ZuColorPixel& color);
    virtual bool SetMaxColor(const ZuColorPixel& color);
    virtual ZuColorPixel RetMinColor() const;
    virtual ZuColorPixel RetMaxColor() const;
    // The blend of the two at the slider's value.
    virtual ZuColorPixel RetCurrentColor() const;

    // The explicit colour a x (1 - t) + b x t, component by component.
    static ZuColorPixel Blend(const ZuColorPixel& a, const ZuColorPixel& b, double t);

protected:
    // "<ZuColSlider min_color max_color>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuColorPixel min_color;
    ZuColorPixel max_color;
};
ZU_CLASS_END(ZuColSlider)

#endif
