#include "si/basecontroller.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuBaseController, "si/basecontroller", ZU_CLASS_ABSTRACT)
