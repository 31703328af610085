#include "si/winsizer.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuWindowSizer, "si/winsizer", ZU_CLASS_PLAIN)
