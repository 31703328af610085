#include "si/winbar.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuWindowBar, "si/winbar", ZU_CLASS_PLAIN)
