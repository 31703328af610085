#ifndef SI_SLIDER_H
#define SI_SLIDER_H

// ZuSlider: a scroller turned into a value slider. It has no arrows; its
// knob is a small look icon of fixed size over a sunken groove, and a user
// value maps linearly onto the scroller's value in [0, 1]: user value =
// value x scale + offset (a scale of 0 maps nothing). Pointer, keys, steps
// and reports are the scroller's.

#include "si/scroller.h"

ZU_HANDLE(ZuSlider, ZuScroller)
class ZuSlider : public ZuScroller {
    ZU_CLASS(ZuSlider, ZuScroller)
public:
    ZuSlider();
    ~ZuSlider() override;

    void Delete() override;
    // A slider makes no arrows.
    void InitArrow(ZuIconRef& icon, unsigned part) override;
    void InitIcons(bool horizontal) override;
    void CheckSpaceForParts() override;
    // The knob's size is the breadth less the frame at both sides.
    void UpdateKnobSize() override;
    void DrawKnob(const ZuGrailPortRef& port) override;
    void DrawBody(const ZuGrailPortRef& port) override;
    void Scroll(unsigned part) override;
    // Whatever is asked, a slider has no arrows.
    void SetArrowPos(ZuScrollArrowPos pos) override;

    virtual bool SetSliderValue(double v);
    // Scale and offset keep the user value (clamped to the new range).
    virtual bool SetSliderScale(double scale);
    virtual bool SetSliderOffset(double offset);
    // The stored value mapped, not quantised to the steps.
    virtual double RetSliderValue() const;
    virtual double RetSliderScale() const;
    virtual double RetSliderOffset() const;

protected:
    // "<ZuSlider slider_scale slider_offset>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    double slider_scale = 1.0;
    double slider_offset = 0.0;
};
ZU_CLASS_END(ZuSlider)

#endif
