// CSeparator: the passive control that divides groups of controls: a
// two-tone groove across its box, horizontal or vertical, or a filled
// triangle ("arrow") that fills its box and points to one side.
//
// Style bits ("separator_style"): 0x1 vertical, 0x10 arrow, 0x20 reverse.
// A vertical arrow points right, or left when reversed; a horizontal one
// points down, or up when reversed.
#ifndef LUMBRA_APP_SEPARATOR_H
#define LUMBRA_APP_SEPARATOR_H

#include "si/control.h"

ZU_HANDLE(CSeparator, ZuControl)

class CSeparator : public ZuControl {
    ZU_CLASS(CSeparator, ZuControl)
public:
    enum : unsigned { VERTICAL = 0x1, ARROW = 0x10, REVERSE = 0x20 };

    CSeparator() {}

    // Stores the style; the owner sets it before the control is shown.
    bool SetStyle(unsigned int new_style);
    // (Named apart from the control style's RetStyle, whose type differs.)
    unsigned int RetSeparatorStyle() const { return separator_style; }
    using ZuControl::SetStyle;

    void GetMinSize(double& dx, double& dy) const override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& area) override;

private:
    unsigned int separator_style = 0;
};
ZU_CLASS_END(CSeparator)

#endif
