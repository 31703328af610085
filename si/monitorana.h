// ZuMonitorAnalogic: the value of a monitor shown as an analogue gauge, a
// needle over the arc of a dial with 11 ticks, the end labels, the
// multiplier of the scale and the sign of the last value read. The scale
// runs from 0 to the maximum, or from -max to +max when symmetric; a
// rectified gauge shows the magnitude. A value past the maximum is clamped,
// or with a dynamic maximum the maximum grows to the next 5 or 10 of its
// decade. Setters store and answer true; the caller asks for Display.
#ifndef SI_MONITORANA_H
#define SI_MONITORANA_H

#include "si/monitorvalue.h"

ZU_HANDLE(ZuMonitorAnalogic, ZuMonitorValue)
class ZuMonitorAnalogic : public ZuMonitorValue {
    ZU_CLASS(ZuMonitorAnalogic, ZuMonitorValue)
public:
    ZuMonitorAnalogic();

    // Stores the magnitude.
    virtual bool SetMaximum(double maximum);
    virtual bool SetSymmetric(bool on);
    virtual bool SetRectified(bool on);
    virtual bool SetDynamicMax(bool on);
    double RetMaximum() const { return max_value; }
    bool IsSymmetric() const { return is_symmetric; }
    bool IsRectified() const { return is_rectified; }
    bool IsDynamicMax() const { return is_dynamic_max; }

    // A white box.
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The ticks, labels and needle, when the box less its frame and relief
    // is at least 20 x 7; a maximum of 0 (or one that is no number) gives
    // the ticks alone, having no scale to place the rest on.
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Reads entry 0 into the value the needle shows. A value below zero
    // shows 0 on a gauge neither symmetric nor rectified, whatever its size;
    // a value that is no number shows 0.
    void DoUpdate() override;

protected:
    // After the monitor's part, "<ZuMonitorAnalogic max_value is_symmetric
    // is_rectified is_dynamic_max>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double display_value = 0.0;
    double max_value = 1.0;
    bool is_symmetric = false;
    bool is_rectified = false;
    bool is_dynamic_max = false;
    bool negative = false;
};
ZU_CLASS_END(ZuMonitorAnalogic)

#endif
