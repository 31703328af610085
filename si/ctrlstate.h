#ifndef SI_CTRLSTATE_H
#define SI_CTRLSTATE_H

// ZuCtrlState: the eight states of a control. Icon records keep one image
// per state; a state without image falls back to a neighbouring one.

#include "si/enumfamily.h"

#define ZU_CTRL_STATE_LIST(X)          \
    X(ZU_CTRL_STATE_NORMAL, 0)         \
    X(ZU_CTRL_STATE_NORMAL_HOT, 1)     \
    X(ZU_CTRL_STATE_NORMAL_CLICKED, 2) \
    X(ZU_CTRL_STATE_NORMAL_DIMMED, 3)  \
    X(ZU_CTRL_STATE_ACTIVE, 4)         \
    X(ZU_CTRL_STATE_ACTIVE_HOT, 5)     \
    X(ZU_CTRL_STATE_ACTIVE_CLICKED, 6) X(ZU_CTRL_STATE_ACTIVE_DIMMED, 7)
ZU_ENUM(ZuCtrlState, ZU_CTRL_STATE_LIST)

#endif
