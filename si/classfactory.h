#ifndef SI_CLASSFACTORY_H
#define SI_CLASSFACTORY_H

// ZuClassFactory: turns the static class registrations into run-time class
// records at start-up, finds classes by position or by name, and creates
// objects of any registered class in a memory zone.

#include "si/rtclass.h"

class ZuMemZone;

class ZuClassFactory {
public:
    // Builds the records of every class registered since the last call.
    static void Initialise();
    // Releases every record and lookup entry; a later Initialise rebuilds
    // every class again.
    static void Kill();

    static bool GetClass(unsigned index, ZuRuntimeRef& out);
    static bool GetClass(const ZuAtomRef& name, ZuRuntimeRef& out);
    static bool GetClass(const char* name, ZuRuntimeRef& out);
    static bool GetClass(const ZuStringRef& name, ZuRuntimeRef& out);
    static unsigned TotalCount() { return class_num; }
    static bool IsInitOk() { return is_init_ok; }

    // A new object of the class in the zone (null: ApplicationZone); a
    // singleton class answers its existing instance. A name that no class
    // registered throws ZuExcObject code 2.
    static ZuObject* New(const ZuRuntimeRef& runtime, ZuMemZone* zone, unsigned line,
                         const char* file);
    static ZuObject* New(const ZuAtomRef& name, ZuMemZone* zone, unsigned line, const char* file);
    static ZuObject* New(const char* name, ZuMemZone* zone, unsigned line, const char* file);
    static ZuObject* New(const ZuStringRef& name, ZuMemZone* zone, unsigned line, const char* file);

    // Class patches: objects supporting ZuiClassPatch that may supply the
    // construction function of any class. False for an empty handle, an
    // object without the interface, a patch already in (Insert) or not in
    // (Remove); the last patch removed takes the patch array with it.
    static bool InsertPatch(const ZuObjectRef& patch);
    static bool RemovePatch(const ZuObjectRef& patch);
    // Whether any patch is installed (the patch array exists).
    static bool HasPatches();

    // The construction function the first patch that concerns the class
    // supplies, or null.
    static Zuvi_ConstructFn FindAlternateConstructor(const ZuRuntime* runtime);

    struct ClassDef {
        ClassDef* next;
        ClassDef* prev;
        ZuRuntimeRef runtime;
        ZuAtomRef name;
    };

    static ZuRuntime* real_head;
    static ZuRuntime* real_tail;
    static ClassDef* list_head;
    static ClassDef* list_tail;
    static unsigned class_num;
    static bool is_init_ok;

protected:
    static void ResetAlternateConstructors();
};

// The typed form of New by run-time class: ZuNew<X>(zone) makes an X in
// the zone (the application zone when null) and answers its handle. Line
// and file default to the caller's; pass them where a zone dump should name
// a place of its own.
template <class X>
typename X::Zuvi_Handle ZuNew(ZuMemZone* zone = nullptr, unsigned line = __builtin_LINE(),
                              const char* file = __builtin_FILE())
{
    typedef typename X::Zuvi_Handle Handle;
    return Handle(ZuObjectRef(ZuClassFactory::New(Handle::RetRuntime(), zone, line, file)));
}

#endif
