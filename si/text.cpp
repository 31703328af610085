#include "si/text.h"

#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(ZuText, "si/text", ZU_CLASS_ABSTRACT)

ZuTextRef::ZuTextRef(const char* text) : ZuObjectRef(ZuTextRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(ZuStringRef(text), nullptr);
}

ZuTextRef::ZuTextRef(const unsigned short* text)
    : ZuObjectRef(ZuTextRef::RetRuntime(), Zuvi_CallFrame::head)
{
    _Set(ZuStringRef(text), nullptr);
}
