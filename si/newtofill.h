#ifndef SI_NEWTOFILL_H
#define SI_NEWTOFILL_H

// Objects made for a stored record to fill right after (the storage makes
// every object it reads so). While such an object's own constructor runs,
// not those of the objects it makes, Zuvi_BuildsObjectToFill answers true:
// the constructor may then leave out defaults that the record replaces, and
// its RestoreInstance makes those the record has no item for. Defined with
// the class factory.

#include "si/classfactory.h"

// ZuClassFactory::New, for an object that a record fills.
ZuObject* Zuvi_NewToFill(const ZuRuntimeRef& runtime, ZuMemZone* zone, unsigned line,
                         const char* file);
bool Zuvi_BuildsObjectToFill();

// ZuNew, or an empty handle while the constructor runs for an object that a
// record fills.
template <class X>
typename X::Zuvi_Handle ZuNewUnlessFilled(unsigned line = __builtin_LINE(),
                                          const char* file = __builtin_FILE())
{
    using Handle = typename X::Zuvi_Handle;
    if (Zuvi_BuildsObjectToFill())
        return Handle();
    return Handle(ZuObjectRef(ZuClassFactory::New(Handle::RetRuntime(), nullptr, line, file)));
}

#endif
