// ZuWindowSizer: the view that resizes a window by its edges and corners.
// A window (si/window) keeps one for a style that asks for it; the class
// has no behaviour of its own yet, so no window makes one.
#ifndef SI_WINSIZER_H
#define SI_WINSIZER_H

#include "si/view.h"

ZU_HANDLE(ZuWindowSizer, ZuView)
class ZuWindowSizer : public ZuView {
    ZU_CLASS(ZuWindowSizer, ZuView)
public:
    ZuWindowSizer() {}
};
ZU_CLASS_END(ZuWindowSizer)

#endif
