// CSlider: the program's slider: a horizontal or vertical track drawn from
// the look's images, a cursor image dragged along it and optional ticks on
// one or both sides. Its position lies in [0, 1]; an exponent makes the
// mapping between the cursor's place and the position non-linear
// (position = place ^ exponent) and a step quantises what the mouse picks.
// Every press, drag step and release reports "notify_Modify" once.
//
// The numeric entry with arrows makes its slider; minimum and maximum are
// only published, the slider itself works in [0, 1].
#ifndef LUMBRA_APP_SLIDER_H
#define LUMBRA_APP_SLIDER_H

#include "si/control.h"

ZU_HANDLE(CSlider, ZuControl)

class CSlider : public ZuControl {
    ZU_CLASS(CSlider, ZuControl)
public:
    // The style bits ("Slider style").
    enum : unsigned {
        VERTICAL = 1,
        HORIZONTAL = 2,
        INTERNAL_GRADUATE = 16,
        LEFT_GRADUATE = 32,
        RIGHT_GRADUATE = 64
    };

    CSlider();

    // Stores the style and sets the box in the parent's coordinates, with
    // room of one graduation length added on each side that shows ticks
    // outside the track (so set the graduations first).
    bool Place(double x, double y, double width, double height, unsigned style);

    using ZuControl::SetStyle;
    bool SetStyle(unsigned style);
    unsigned GetStyle() const { return slider_style; }
    // Clamps to [0, 1]; a value that is not a number gives 0.
    bool SetPos(double pos);
    double GetPos() const { return position; }
    bool SetMin(double v);
    double GetMin() const { return minimum; }
    bool SetMax(double v);
    double GetMax() const { return maximum; }
    bool SetStep(double v);
    double GetStep() const { return step; }
    bool SetLog(double v);
    double GetLog() const { return exponent; }
    bool SetGrad(unsigned count);
    unsigned GetGrad() const { return graduations; }
    // 0 is stored as 1.
    bool SetSubdiv(unsigned count);
    unsigned GetSubdiv() const { return subdivisions; }
    double GetCursorSize() const { return cursor_size; }
    double GetGradLength() const { return grad_length; }

    // Place on the track (0..1) to position, and back; both answer a
    // number in [0, 1] whatever the exponent.
    double Forward(double t) const;
    double Inverse(double pos) const;

    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    static ZuAtomRef notify_Modify;

private:
    // The position from the event's point, the control's press handling,
    // the report, and the drag taken.
    void PressStep(const ZuEventRef& event);
    // The track's rectangle: the box less the room kept for outside ticks.
    void TrackRect(double& x, double& y, double& w, double& h) const;
    void DrawTicks(const ZuGrailPortRef& port, const ZuRect& area, double x, double y, double w,
                   double h) const;

    unsigned slider_style = HORIZONTAL | RIGHT_GRADUATE;
    double cursor_size = 12.0;
    double grad_length = 4.0;
    double position = 0.0;
    double minimum = 0.0;
    double maximum = 1.0;
    double step = 0.0;
    double exponent = 0.0;
    unsigned graduations = 0;
    unsigned subdivisions = 1;
};
ZU_CLASS_END(CSlider)

#endif
