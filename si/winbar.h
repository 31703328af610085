// ZuWindowBar: the title and button bar on one edge of a window's frame.
// A window (si/window) keeps one for a style that asks for it; the class
// has no behaviour of its own yet, so no window makes one.
#ifndef SI_WINBAR_H
#define SI_WINBAR_H

#include "si/view.h"

ZU_HANDLE(ZuWindowBar, ZuView)
class ZuWindowBar : public ZuView {
    ZU_CLASS(ZuWindowBar, ZuView)
public:
    ZuWindowBar() {}
};
ZU_CLASS_END(ZuWindowBar)

#endif
