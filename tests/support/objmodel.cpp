#include "tests/support/objmodel.h"

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"

void ZuviStartRuntime()
{
    ZuMemZone::Initialise();
    ZuAtom::Initialise();
    ZuClassFactory::Initialise();
}

void ZuviStopRuntime()
{
    ZuObjectRef::RealiseDeletions();
    ZuClassFactory::Kill();
    ZuObjectRef::RealiseDeletions();
    ZuAtom::Kill();
    ZuObjectRef::ReleaseDeletionQueue();
    ZuMemZone::Kill();
}
