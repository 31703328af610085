// ZuMenuSep: the etched line that stands for an empty element of a menu.
// The line runs along the longer side of the box (a square box gets a
// vertical one), kept `margin` away from both ends: a dark grey line with
// a white one just below it or just right of it.
#ifndef SI_MENUSEP_H
#define SI_MENUSEP_H

#include "si/control.h"

ZU_HANDLE(ZuMenuSep, ZuControl)
class ZuMenuSep : public ZuControl {
    ZU_CLASS(ZuMenuSep, ZuControl)
public:
    // No style at all, and disabled: a separator takes no click.
    ZuMenuSep();

    // Stores the margin; the caller redisplays.
    virtual bool SetMargin(double margin);
    virtual double RetMargin() const;

    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

protected:
    // "<ZuMenuSep margin>" after the control's fields.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double margin = 2.0;
};
ZU_CLASS_END(ZuMenuSep)

#endif
