// CTextLineArrow: the numeric entry of the panes, setups and dialogs: a
// one-line text that shows a value in a unit, followed on its right by a
// unit button, a pair of small plus and minus arrows and, when asked, a
// slider. The parts are siblings of the entry in its parent, placed by
// Build and following the entry's parent and geometry.
//
// The value lives between a minimum and a maximum, in the base quantity
// of the unit (millimetres for lengths, a fraction for per cent, radians
// for degrees); the text is only its display. The user types, steps with
// the arrows or Page Up / Page Down, or slides; the entry then reports
// "notify_user_text_changed". SetValue, SetUnit and the unit button never
// report.
//
// Typed text that is not a number (letters, a lone sign) is refused: it is
// not reported, value and slider stay, and Return or leaving the entry
// shows the last value again. Empty text reads 0.
#ifndef LUMBRA_APP_TEXTLINEARROW_H
#define LUMBRA_APP_TEXTLINEARROW_H

#include "app/ichangeunit.h"
#include "app/slider.h"
#include "si/icon.h"
#include "si/textline.h"

ZU_HANDLE(CTextLineArrow, ZuTextLine)

class CTextLineArrow : public ZuTextLine, public IChangeUnit {
    ZU_CLASS(CTextLineArrow, ZuTextLine)
public:
    CTextLineArrow() {}

    void Delete() override;

    // Lays the entry and its parts out in the parent's coordinates and
    // binds them; unit 0 is the document's main unit.
    bool Build(double x, double y, double width, double height, int unit, bool with_slider,
               unsigned slider_style);

    bool SetValue(double value);
    double GetValue() const;
    bool SetUnit(int unit);
    int GetUnit() const { return unit; }
    bool SetStep(double v);
    double GetStep() const { return step; }
    bool SetMax(double v);
    double GetMax() const { return maximum; }
    bool SetMin(double v);
    double GetMin() const { return minimum; }
    bool SetSliderLog(double v);
    double GetSliderLog() const;
    bool SetSliderGrad(unsigned count);
    unsigned GetSliderGrad() const;
    bool SetSliderSubdiv(unsigned count);
    unsigned GetSliderSubdiv() const;

    const ZuIconRef& RetUnitButton() const { return unit_button; }
    const ZuIconRef& RetPlusArrow() const { return plus_arrow; }
    const ZuIconRef& RetMinusArrow() const { return minus_arrow; }
    const CSliderRef& RetSlider() const { return slider; }
    // The icon that shows a unit.
    static const char* UnitIconName(int unit);

    // The tool tip T of the entry: the arrows "[+] " T and "[-] " T, the
    // slider T, the entry T with the range of its bounds at this moment.
    bool SetToolTip(const ZuStringRef& text) override;
    bool SetEnable(bool on) override;
    virtual bool SetVisible(bool visible);
    virtual void DisplayAll();

    void KeyDown(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    bool SetWindow(const ZuWindowRef& window) override;
    bool SetParent(const ZuViewRef& parent) override;
    void ResignMain() override;
    void NotifyTextChange(bool user) override;

    // Handlers bound by name.
    bool OnClickUnit(const ZuObjectRef& source, unsigned id);
    bool OnClickPlus(const ZuObjectRef& source, unsigned id);
    bool OnClickMinus(const ZuObjectRef& source, unsigned id);
    bool OnTextChange(const ZuObjectRef& source, unsigned id);
    bool OnSliderChange(const ZuObjectRef& source, unsigned id);

    // IChangeUnit: the document's unit changed.
    void ChangeUnit(int new_unit) override;

    // Whether a text reads as a number: blanks, then an optional sign and
    // digits (or a point and digits); an empty or blank text reads 0.
    static bool IsNumberText(const ZuStringRef& text);

private:
    bool IsWholeUnit() const { return unit == 10 || unit == 14; }
    // Into [minimum, maximum] (the minimum wins when they cross); what is
    // not a number gives the minimum.
    double Clamp(double v) const;
    double ReadText() const;
    void Step(double direction);
    void UpdateSlider();
    void SetUnitIcon();
    void PlaceParts();
    // Shows the last value again when the text is refused.
    void RestoreRefusedText();

    int unit = 11;
    ZuIconRef unit_button;
    ZuIconRef plus_arrow;
    ZuIconRef minus_arrow;
    CSliderRef slider;
    double step = 1.0;
    double minimum = -10000.0;
    double maximum = 10000.0;
    // The last value shown or typed as a number.
    double last_value = 0.0;
};
ZU_CLASS_END(CTextLineArrow)

#endif
