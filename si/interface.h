// Interfaces: small abstract classes (names beginning with Zui) that a class
// of the library takes on beside its single chain of classes. The class
// lists the interface as a further base, publishes it with its run-time
// class, and a caller holding only a ZuObjectRef asks the object whether it
// supports the interface (ZuObject::SupportsInterface) and gets the
// interface part (ZuObject::CastToInterface).
//
// Every interface class has one descriptor, its static member `interface`,
// and ends its virtual operations with RetSelfAsObject(), which leads from
// the interface part back to the whole object.
//
// A class X that implements interface I lists it as a base and declares it
// once in its source:
//
//     class X : public ZuObject, public ZuiContainer { ... };   // x.h
//     ZU_IMPLEMENT_INTERFACE(X, ZuiContainer)                   // x.cpp
//
// The declaration is a static record that the run-time class of X takes up
// when it is built (ZuRuntime::PublishInterface). Subclasses inherit the
// interfaces of their bases.
#ifndef SI_INTERFACE_H
#define SI_INTERFACE_H

#include "si/simplearray.h"

class ZuObject;
class ZuRuntimeRef;

// The two casts from an object to one of its interface parts; a null object
// gives null.
struct Zuvi_InterfaceCastDef {
    void* (*cast)(ZuObject* object);
    const void* (*cast_const)(const ZuObject* object);
};

class Zuvi_Interface {
public:
    explicit Zuvi_Interface(const char* name);

    const char* RetName() const { return name; }

    // Whether the class of that index (ZuObject::RetClassID) supports the
    // interface; the map is rebuilt first when classes were added since it
    // was built. An index beyond the map is false.
    bool CheckClassMap(unsigned int class_index) const;
    const Zuvi_SimpleArrayZero<bool>& RetClassMap() const;

    // Every interface rebuilds its map at its next check.
    static void NotifyNewClasses() { ++current_seq_id; }
    // Gives every map back while the zones that hold them still exist (the
    // class factory's shut-down); maps are built again after the next
    // start-up.
    static void ReleaseClassMaps();
    // The class-list generation counter; 0 means never built.
    static unsigned int current_seq_id;

    Zuvi_Interface(const Zuvi_Interface&) = delete;
    Zuvi_Interface& operator=(const Zuvi_Interface&) = delete;

private:
    mutable Zuvi_SimpleArrayZero<bool> class_map;
    const char* name;
    mutable unsigned int stamp;
    Zuvi_Interface* next_interface;

    static Zuvi_Interface* all_interfaces;
};

// The cast functions of class X to its interface I.
template <class X, class I>
struct Zuvi_InterfaceCast {
    static void* Cast(ZuObject* object)
    {
        return object ? static_cast<I*>(static_cast<X*>(object)) : nullptr;
    }
    static const void* CastConst(const ZuObject* object)
    {
        return object ? static_cast<const I*>(static_cast<const X*>(object)) : nullptr;
    }
    static const Zuvi_InterfaceCastDef def;
};

template <class X, class I>
const Zuvi_InterfaceCastDef Zuvi_InterfaceCast<X, I>::def = {&Zuvi_InterfaceCast<X, I>::Cast,
                                                             &Zuvi_InterfaceCast<X, I>::CastConst};

// The static declaration that class X implements interface I.
struct Zuvi_InterfaceExport {
    Zuvi_InterfaceExport(const ZuRuntimeRef* class_rt, const Zuvi_Interface* iface,
                         const Zuvi_InterfaceCastDef* cast);

    Zuvi_InterfaceExport* next;
    const ZuRuntimeRef* class_rt;
    const Zuvi_Interface* iface;
    const Zuvi_InterfaceCastDef* cast;

    static Zuvi_InterfaceExport* head;
    static Zuvi_InterfaceExport* tail;
};

#define ZU_IMPLEMENT_INTERFACE(X, I)                                                           \
    static Zuvi_InterfaceExport zuvi_interface_##X##_##I(&X##Ref::RetRuntime(), &I::interface, \
                                                         &Zuvi_InterfaceCast<X, I>::def);

#endif
