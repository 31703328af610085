// ZuTextVersion: which of the four texts of a pictogram or label is meant.
#ifndef SI_TEXTVERSION_H
#define SI_TEXTVERSION_H

#include "si/enumfamily.h"

// clang-format off
#define ZU_TEXT_VERSION_LIST(X)                                                 \
    X(ZU_TEXTVER_SHORT, 0) X(ZU_TEXTVER_NORMAL, 1) X(ZU_TEXTVER_TIP, 2)         \
    X(ZU_TEXTVER_DESC, 3)
// clang-format on
ZU_ENUM(ZuTextVersion, ZU_TEXT_VERSION_LIST)

#endif
