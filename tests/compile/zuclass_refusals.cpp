// Declarations that the class macro must refuse at compile time. The test
// compiles this file once per case (ZUVI_CASE) and expects the macro's own
// message; case 0 is the correct declaration and must compile.

#include "si/object.h"

ZU_HANDLE(TMid, ZuObject)
class TMid : public ZuObject {
    ZU_CLASS(TMid, ZuObject)
public:
    TMid() {}
};
ZU_CLASS_END(TMid)

ZU_HANDLE(TOther, ZuObject)
class TOther : public ZuObject {
    ZU_CLASS(TOther, ZuObject)
public:
    TOther() {}
};
ZU_CLASS_END(TOther)

#if ZUVI_CASE == 0 // correct
ZU_HANDLE(TChild, TMid)
class TChild : public TMid {
    ZU_CLASS(TChild, TMid)
public:
    TChild() {}
};
#elif ZUVI_CASE == 1 // super class names the grandparent, handle the parent
ZU_HANDLE(TChild, TMid)
class TChild : public TMid {
    ZU_CLASS(TChild, ZuObject)
public:
    TChild() {}
};
#elif ZUVI_CASE == 2 // super class is no base at all
ZU_HANDLE(TChild, TMid)
class TChild : public TMid {
    ZU_CLASS(TChild, TOther)
public:
    TChild() {}
};
#elif ZUVI_CASE == 3 // handle derives from another handle than the super's
ZU_HANDLE(TChild, ZuObject)
class TChild : public TMid {
    ZU_CLASS(TChild, TMid)
public:
    TChild() {}
};
#elif ZUVI_CASE == 4 // ZU_CLASS copied from another class
ZU_HANDLE(TChild, TMid)
class TChild : public TMid {
    ZU_CLASS(TMid, TMid)
public:
    TChild() {}
};
#endif
ZU_CLASS_END(TChild)
