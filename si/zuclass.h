#ifndef SI_ZUCLASS_H
#define SI_ZUCLASS_H

// The one class declaration of the library.
//
// A class X deriving from B (B is ZuObject or any class declared this way)
// is declared with three lines in its header and one in its source:
//
//   // x.h
//   #include "si/b.h"
//   ZU_HANDLE(X, B)                 // handle XRef and the constant XNull
//   class X : public B {
//       ZU_CLASS(X, B)              // first line of the body
//   public:
//       X();                        // a default constructor; X() = default works too
//       ...
//   };
//   ZU_CLASS_END(X)                 // what needs the complete class
//
//   // x.cpp
//   ZU_IMPLEMENT_CLASS(X, "si/x", ZU_CLASS_PLAIN)
//
// The super class is named once in the header (ZU_CLASS records it as
// X::Zuvi_Super); the source takes it from there. ZU_CLASS_END refuses at
// compile time a class whose ZU_CLASS names a super class that is not its
// C++ base, a ZU_HANDLE whose base handle is not the super class's handle,
// and a ZU_CLASS that names another class than the one it stands in.
//
// The last argument is a combination of ZU_CLASS_PLAIN, ZU_CLASS_ABSTRACT
// (Construct refuses with "Cannot instanciate X"), ZU_CLASS_SPECIAL,
// ZU_CLASS_SINGLETON, ZU_CLASS_PROTO_FROM_SUPER and ZU_CLASS_NOT_STORED.
//
// Every class stores itself: at the least its object part (observers,
// attributes), which ZuObject writes, and whatever its own StoreInstance
// adds. A class that cannot be stored (its StoreInstance refuses) or that
// is a service of the running program (the application, a manager, a port
// or window of the screen, a cursor, a stream, a thread) says
// ZU_CLASS_NOT_STORED, and so do all its subclasses: a storage refuses a
// record that names such a class before anything is constructed, so that
// bytes from outside never run its constructor.
//
// Objects are made in a zone with the typed factory call (si/classfactory.h):
//
//   XRef x = ZuNew<X>(zone);                      // zone null: the application zone
//   XRef y = ZuNew<X>(zone, __LINE__, kFile);     // where a dump should say so
//
// A handle whose class wants members of its own written by hand opens and
// closes the family itself instead of ZU_HANDLE, and its source uses
// ZU_IMPLEMENT_CLASS_CORE(X, "si/x", FLAGS) instead of ZU_IMPLEMENT_CLASS:
//
//   ZU_HANDLE_BEGIN(X, B)
//       ZU_HANDLE_CONVERSIONS(X)    // omit to write the typed sets by hand
//       XRef(char const*);          // hand-written extras
//   ZU_HANDLE_END(X)
//
// A header that only passes handles around (references, return types)
// needs no more than ZU_FORWARD(X). A handle held by value as a member
// needs the class's header.
//
// Everything the object model generates per class is assembled here from
// the sub-macros below, each in its own section: the handle family, the
// typed array class (ZU_GEN_ARRAY_*), the type descriptors
// (ZU_GEN_TYPEINFO_*) and the storage reader (ZU_GEN_READER_*). A part
// that is not ready yet expands to nothing.

#include <new>
#include <type_traits>

#include "si/typedef.h"

class ZuObject;
class ZuObjectRef;
class ZuRuntime;
class ZuRuntimeRef;
class Zuvi_CallFrame;
class ZuStorageRef;

enum Zuvi_ClassFlags {
    ZU_CLASS_PLAIN = 0,
    ZU_CLASS_ABSTRACT = 1,
    ZU_CLASS_SPECIAL = 2,
    ZU_CLASS_SINGLETON = 4,
    ZU_CLASS_PROTO_FROM_SUPER = 8,
    ZU_CLASS_NOT_STORED = 16
};

#define ZU_FORWARD(X) \
    class X;          \
    class X##Ref;     \
    ZU_GEN_ARRAY_DECL(X)

// ---------------------------------------------------------------------------
// Handle family (header part)
// ---------------------------------------------------------------------------

#define ZU_HANDLE_BEGIN(X, B)                                                               \
    class X;                                                                                \
    class X##Ref : public B##Ref {                                                          \
    public:                                                                                 \
        typedef B##Ref Zuvi_BaseRef;                                                        \
        X##Ref() : B##Ref(X##Ref::RetRuntime(), Zuvi_CallFrame::head) {}                    \
        virtual ~X##Ref();                                                                  \
        virtual unsigned SizeOf() const;                                                    \
        static const ZuRuntimeRef& RetRuntime();                                            \
        X* Resolve() const;                                                                 \
        X* CheckAndResolve() const;                                                         \
        X* operator->() const { return CheckAndResolve(); }                                 \
        X* RetRawObject() const;                                                            \
        bool operator==(const ZuObjectRef& o) const { return ZuObjectRef::operator==(o); }  \
        bool operator!=(const ZuObjectRef& o) const { return !ZuObjectRef::operator==(o); } \
        bool operator==(const X* p) const;                                                  \
        bool operator!=(const X* p) const { return !(*this == p); }                         \
                                                                                            \
    protected:                                                                              \
        X##Ref(const ZuRuntimeRef& rt, const Zuvi_CallFrame* frame) : B##Ref(rt, frame) {}  \
                                                                                            \
    public:

// The typed constructors and assignments of the common family.
#define ZU_HANDLE_CONVERSIONS(X)                                                            \
    X##Ref(X* obj);                                                                         \
    X##Ref(const X##Ref& o) : Zuvi_BaseRef(o) {}                                            \
    X##Ref(const ZuObjectRef& o) : Zuvi_BaseRef(X##Ref::RetRuntime(), Zuvi_CallFrame::head) \
    {                                                                                       \
        _Set(o, X##Ref::RetRuntime(), Zuvi_CallFrame::head);                                \
    }                                                                                       \
    X##Ref& operator=(X* obj);                                                              \
    X##Ref& operator=(const X##Ref& o)                                                      \
    {                                                                                       \
        _Set(o, nullptr);                                                                   \
        return *this;                                                                       \
    }                                                                                       \
    X##Ref& operator=(const ZuObjectRef& o)                                                 \
    {                                                                                       \
        _Set(o, X##Ref::RetRuntime(), nullptr);                                             \
        return *this;                                                                       \
    }

#define ZU_HANDLE_END(X) \
    }                    \
    ;                    \
    extern const X##Ref X##Null;

#define ZU_HANDLE(X, B)      \
    ZU_HANDLE_BEGIN(X, B)    \
    ZU_HANDLE_CONVERSIONS(X) \
    ZU_HANDLE_END(X)

// ---------------------------------------------------------------------------
// Members generated in the class body
// ---------------------------------------------------------------------------

#define ZU_CLASS(X, B)                                        \
public:                                                       \
    typedef B Zuvi_Super;                                     \
    typedef X##Ref Zuvi_Handle;                               \
    static const ZuRuntimeRef& RetSuperRuntime();             \
    const ZuRuntimeRef& RetRuntime() const override;          \
    ZuObject* RetSelfAsObject() override;                     \
    void _Destroy() override;                                 \
    static void Construct(void* buffer, unsigned length);     \
    static void InitConstruct(void* buffer, unsigned length); \
                                                              \
protected:                                                    \
    X(void* buffer, unsigned length) : B(buffer, length) {}   \
    template <class, int>                                     \
    friend struct Zuvi_ClassMaker;                            \
                                                              \
private:

// After the class: the parts that need the complete class.
#define ZU_CLASS_END(X)                                                                  \
    static_assert(std::is_same<X::Zuvi_Handle, X##Ref>::value,                           \
                  "ZU_CLASS in class " #X " names another class");                       \
    static_assert(std::is_base_of<X::Zuvi_Super, X>::value,                              \
                  "the super class that ZU_CLASS names is not a base of " #X);           \
    static_assert(std::is_same<X::Zuvi_Super::Zuvi_Handle, X##Ref::Zuvi_BaseRef>::value, \
                  "ZU_HANDLE of " #X " names another base than its super class");        \
    ZU_GEN_READER_DECL(X)                                                                \
    ZU_GEN_ARRAY_DECL(X)                                                                 \
    ZU_GEN_TYPEINFO_DECL(X)

// ---------------------------------------------------------------------------
// Source part
// ---------------------------------------------------------------------------

// Placement construction with the class's checks; abstract classes refuse.
[[noreturn]] void Zuvi_RefuseInstance(const char* class_name, const char* file);
[[noreturn]] void Zuvi_ResolveNull(const ZuRuntimeRef& rt);
void Zuvi_CheckPlacement(unsigned size, const ZuRuntimeRef& rt, void* buffer, unsigned length,
                         const char* file);

template <class X, int Flags>
struct Zuvi_ClassMaker {
    static constexpr bool refuses = std::is_abstract<X>::value || (Flags & ZU_CLASS_ABSTRACT) != 0;
    static void Construct(void* buffer, unsigned length, const ZuRuntimeRef& rt, const char* name,
                          const char* file)
    {
        if constexpr (refuses) {
            (void)buffer, (void)length, (void)rt;
            Zuvi_RefuseInstance(name, file);
        } else {
            Zuvi_CheckPlacement(sizeof(X), rt, buffer, length, file);
            // Default-initialised, not X(): value-initialising a class
            // whose constructor is defaulted would zero the zone field that
            // the factory wrote into the memory before construction.
            ::new (buffer) X;
        }
    }
    static void InitConstruct(void* buffer, unsigned length, const ZuRuntimeRef& rt,
                              const char* name, const char* file)
    {
        if constexpr (refuses) {
            (void)buffer, (void)length, (void)rt;
            Zuvi_RefuseInstance(name, file);
        } else {
            Zuvi_CheckPlacement(sizeof(X), rt, buffer, length, file);
            ::new (buffer) X(buffer, length);
        }
    }
};

#define ZU_IMPLEMENT_HANDLE(X)                                            \
    X##Ref::~X##Ref() {}                                                  \
    unsigned X##Ref::SizeOf() const                                       \
    {                                                                     \
        return sizeof(X);                                                 \
    }                                                                     \
    const ZuRuntimeRef& X##Ref::RetRuntime()                              \
    {                                                                     \
        static ZuRuntimeRef rt{ZuRuntimeRef::SlotTag()};                  \
        return rt;                                                        \
    }                                                                     \
    X* X##Ref::Resolve() const                                            \
    {                                                                     \
        ZuObject* o = ZuObjectRef::Resolve();                             \
        return static_cast<X*>(o);                                        \
    }                                                                     \
    X* X##Ref::CheckAndResolve() const                                    \
    {                                                                     \
        ZuObject* o = ZuObjectRef::RetRawObject();                        \
        if (!o)                                                           \
            Zuvi_ResolveNull(X##Ref::RetRuntime());                       \
        return static_cast<X*>(o->CheckAndResolve());                     \
    }                                                                     \
    X* X##Ref::RetRawObject() const                                       \
    {                                                                     \
        return static_cast<X*>(ZuObjectRef::RetRawObject());              \
    }                                                                     \
    bool X##Ref::operator==(const X* p) const                             \
    {                                                                     \
        return ZuObjectRef::Resolve() == static_cast<const ZuObject*>(p); \
    }                                                                     \
    const X##Ref X##Null;

#define ZU_IMPLEMENT_HANDLE_CONVERSIONS(X)                                     \
    X##Ref::X##Ref(X* obj) : Zuvi_BaseRef(static_cast<X::Zuvi_Super*>(obj)) {} \
    X##Ref& X##Ref::operator=(X* obj)                                          \
    {                                                                          \
        _Set(static_cast<ZuObject*>(obj), nullptr);                            \
        return *this;                                                          \
    }

#define ZU_IMPLEMENT_MEMBERS(X, FILE, FLAGS)                                                    \
    const ZuRuntimeRef& X::RetSuperRuntime()                                                    \
    {                                                                                           \
        return X##Ref::Zuvi_BaseRef::RetRuntime();                                              \
    }                                                                                           \
    const ZuRuntimeRef& X::RetRuntime() const                                                   \
    {                                                                                           \
        return X##Ref::RetRuntime();                                                            \
    }                                                                                           \
    ZuObject* X::RetSelfAsObject()                                                              \
    {                                                                                           \
        return this;                                                                            \
    }                                                                                           \
    void X::_Destroy()                                                                          \
    {                                                                                           \
        this->~X();                                                                             \
    }                                                                                           \
    void X::Construct(void* buffer, unsigned length)                                            \
    {                                                                                           \
        Zuvi_ClassMaker<X, (FLAGS)>::Construct(buffer, length, X##Ref::RetRuntime(), #X, FILE); \
    }                                                                                           \
    void X::InitConstruct(void* buffer, unsigned length)                                        \
    {                                                                                           \
        Zuvi_ClassMaker<X, (FLAGS)>::InitConstruct(buffer, length, X##Ref::RetRuntime(), #X,    \
                                                   FILE);                                       \
    }

#define ZU_IMPLEMENT_RUNTIME(X, FILE, FLAGS)                                                       \
    static Zuvi_RuntimeInfo zuvi_rtinfo_##X(                                                       \
        const_cast<ZuRuntimeRef&>(X##Ref::RetRuntime()), &X::RetSuperRuntime, #X, FILE, sizeof(X), \
        &X::Construct, &X::InitConstruct, ((FLAGS)&ZU_CLASS_ABSTRACT) != 0,                        \
        ((FLAGS)&ZU_CLASS_SPECIAL) != 0, ((FLAGS)&ZU_CLASS_SINGLETON) != 0,                        \
        ((FLAGS)&ZU_CLASS_PROTO_FROM_SUPER) != 0, ((FLAGS)&ZU_CLASS_NOT_STORED) != 0);

// The whole family of a class whose handle is generated completely.
#define ZU_IMPLEMENT_CLASS(X, FILE, FLAGS) \
    ZU_IMPLEMENT_HANDLE(X)                 \
    ZU_IMPLEMENT_HANDLE_CONVERSIONS(X)     \
    ZU_IMPLEMENT_MEMBERS(X, FILE, FLAGS)   \
    ZU_IMPLEMENT_RUNTIME(X, FILE, FLAGS)   \
    ZU_GEN_ARRAY_IMPL(X)                   \
    ZU_GEN_TYPEINFO_IMPL(X)                \
    ZU_GEN_READER_IMPL(X)

// The same for a class whose handle conversions are written by hand
// (declared with ZU_HANDLE_BEGIN and without ZU_HANDLE_CONVERSIONS).
#define ZU_IMPLEMENT_CLASS_CORE(X, FILE, FLAGS) \
    ZU_IMPLEMENT_HANDLE(X)                      \
    ZU_IMPLEMENT_MEMBERS(X, FILE, FLAGS)        \
    ZU_IMPLEMENT_RUNTIME(X, FILE, FLAGS)        \
    ZU_GEN_ARRAY_IMPL(X)                        \
    ZU_GEN_TYPEINFO_IMPL(X)                     \
    ZU_GEN_READER_IMPL(X)

// ---------------------------------------------------------------------------
// Typed array class XArray: a handle onto a ZuArray whose elements read as
// XRef. One template over the element handle serves every class; it is
// defined with ZuArray (si/array.h), which code that uses an XArray includes.
// ---------------------------------------------------------------------------
template <class R>
class ZuTypedArray;
#define ZU_GEN_ARRAY_DECL(X) typedef ZuTypedArray<X##Ref> X##Array;
#define ZU_GEN_ARRAY_IMPL(X)

// ---------------------------------------------------------------------------
// Type descriptors Zuvi_TypeInfo for "X" and "XArray" (si/typedef.h).
// ---------------------------------------------------------------------------
#define ZU_GEN_TYPEINFO_DECL(X) ZU_CLASS_TYPEINFO_DECL(X)
#define ZU_GEN_TYPEINFO_IMPL(X) ZU_CLASS_TYPEINFO_IMPL(X)

// ---------------------------------------------------------------------------
// Storage reader: operator>> from a ZuStorageRef into XRef restores an
// object of class X (or one that converts to it) through the storage's
// RestoreObject (si/storage.h).
// ---------------------------------------------------------------------------
const ZuStorageRef& Zuvi_RestoreTyped(const ZuStorageRef& storage, ZuObjectRef& handle,
                                      const ZuRuntimeRef& type);
#define ZU_GEN_READER_DECL(X) \
    const ZuStorageRef& operator>>(const ZuStorageRef& storage, X##Ref& handle);
#define ZU_GEN_READER_IMPL(X)                                                   \
    const ZuStorageRef& operator>>(const ZuStorageRef& storage, X##Ref& handle) \
    {                                                                           \
        return Zuvi_RestoreTyped(storage, handle, X##Ref::RetRuntime());        \
    }

#endif
