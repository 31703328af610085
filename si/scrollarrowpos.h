#ifndef SI_SCROLLARROWPOS_H
#define SI_SCROLLARROWPOS_H

// ZuScrollArrowPos: where a scroller puts its arrows; a look policy chooses
// it for the whole interface.

#include "si/enumfamily.h"

#define ZU_SCROLL_ARROW_POS_LIST(X) \
    X(ZU_SCROLL_ARROW_NONE, 0)      \
    X(ZU_SCROLL_ARROW_MAX, 1)       \
    X(ZU_SCROLL_ARROW_MIN, 2) X(ZU_SCROLL_ARROW_NORMAL, 3) X(ZU_SCROLL_ARROW_BOTH, 4)
ZU_ENUM(ZuScrollArrowPos, ZU_SCROLL_ARROW_POS_LIST)

#endif
