// Type definitions: every type the library can name at run time (classes,
// their typed arrays, enumerations, 64-bit sets, basic types and a few
// records) has a static definition and a static registration that links it
// into the global type table, in registration order.
#ifndef SI_TYPEDEF_H
#define SI_TYPEDEF_H

#include "si/types.h"

// The static description of one type. One object per type, named after the
// type with the suffix _type, and a constant pointer to it with the suffix
// TypeDef (Card32_type, Card32TypeDef).
struct Zuvi_TypeDef {
    const char* name;         // "Card32", "ZuValue", "ZuValueArray"
    const Zuvi_TypeDef* base; // the type it is made from, or null
    ZuSimpleType kind;        // 100 class, 102 typed array, 4 enumeration...
    // An enumeration's name table; the address of a class's run-time class
    // handle (for a typed array, that of ZuArray); null otherwise.
    const void* extra;
    unsigned int size; // bytes of a value; 0 for classes and arrays
};

// The registration of one type definition in the global table.
class Zuvi_TypeInfo {
public:
    explicit Zuvi_TypeInfo(const Zuvi_TypeDef* def);
    ~Zuvi_TypeInfo();

    const Zuvi_TypeDef* RetTypeDef() const { return type_def; }

    // Builds the table of registrations (in the application zone) and names
    // every registration, once: the first run-time class built at start-up
    // calls it. Later calls do nothing while the table exists.
    static void InitialiseAll();
    static bool IsTableBuilt() { return array != nullptr; }
    // Gives the table back at shut-down, so that a later start-up builds it
    // again.
    static void ReleaseTable();

    // Lookups over the table (ZuTypeInfo answers through them).
    static unsigned int RetCount() { return num; }
    static const Zuvi_TypeDef* RetNth(unsigned int n);
    // The lookup by name behind ZuTypeInfo::FindType: the name is taken to
    // at most 99 characters, a trailing "Ref" is dropped ("ZuStringRef"
    // names "ZuString"), and the first definition in registration order
    // whose name equals the rest exactly (case counts) answers; null when
    // there is none.
    static const Zuvi_TypeDef* Find(const char* name);

    Zuvi_TypeInfo(const Zuvi_TypeInfo&) = delete;
    Zuvi_TypeInfo& operator=(const Zuvi_TypeInfo&) = delete;

protected:
    void Initialise();

private:
    Zuvi_TypeInfo* previous;
    Zuvi_TypeInfo* next;
    const Zuvi_TypeDef* type_def;

    static Zuvi_TypeInfo* head;
    static Zuvi_TypeInfo* tail;
    static unsigned int num;
    static Zuvi_TypeInfo** array;
};

#define ZU_TYPEINFO_CONCAT2_(a, b) a##b
#define ZU_TYPEINFO_CONCAT_(a, b) ZU_TYPEINFO_CONCAT2_(a, b)

// Defines the type definition T_type (with its pointer TTypeDef) and
// registers it. For types that are not classes: enumerations use
// ZU_ENUM_REGISTER below.
#define ZU_TYPE_REGISTER(T, NAME, BASE, KIND, EXTRA, SIZE)         \
    extern const Zuvi_TypeDef T##_type;                            \
    extern const Zuvi_TypeDef* const T##TypeDef;                   \
    const Zuvi_TypeDef T##_type = {NAME, BASE, KIND, EXTRA, SIZE}; \
    const Zuvi_TypeDef* const T##TypeDef = &T##_type;              \
    static Zuvi_TypeInfo ZU_TYPEINFO_CONCAT_(zuvi_typeinfo_, T)(&T##_type);

// The registration of an enumeration declared with ZU_ENUM (kind 4, the
// name table as extra word, 4 bytes).
#define ZU_ENUM_REGISTER(E) ZU_TYPE_REGISTER(E, #E, nullptr, ZU_TYPE_ENUM, E##_names, 4)

// The registration of a 64-bit set over an enumeration (kind 6, 8 bytes).
#define ZU_BITSET_REGISTER(T) ZU_TYPE_REGISTER(T, #T, nullptr, ZU_TYPE_BITSET, nullptr, 8)

class ZuRuntimeRef;

// The run-time class handle of ZuArray, which every typed array names.
const ZuRuntimeRef& Zuvi_TypedArrayRuntime();

// The two registrations of a class X, generated with the class: the class
// under its own name (kind 100, extra word the address of its run-time class
// handle) and its typed array under the name followed by Array (kind 102,
// extra word the address of ZuArray's run-time class handle). Both have size
// 0. The handles are reached when the definitions are initialised, during
// static initialisation.
#define ZU_CLASS_TYPEINFO_DECL(X)                \
    extern Zuvi_TypeDef X##_type;                \
    extern const Zuvi_TypeDef* const X##TypeDef; \
    extern Zuvi_TypeDef X##Array_type;           \
    extern const Zuvi_TypeDef* const X##ArrayTypeDef;

#define ZU_CLASS_TYPEINFO_IMPL(X)                                                                \
    Zuvi_TypeDef X##_type = {#X, nullptr, ZU_TYPE_OBJECT, &X##Ref::RetRuntime(), 0};             \
    const Zuvi_TypeDef* const X##TypeDef = &X##_type;                                            \
    Zuvi_TypeDef X##Array_type = {#X "Array", nullptr, ZU_TYPE_ARRAY, &Zuvi_TypedArrayRuntime(), \
                                  0};                                                            \
    const Zuvi_TypeDef* const X##ArrayTypeDef = &X##Array_type;                                  \
    static Zuvi_TypeInfo ZU_TYPEINFO_CONCAT_(zuvi_typeinfo_, X)(&X##_type);                      \
    static Zuvi_TypeInfo ZU_TYPEINFO_CONCAT_(zuvi_typeinfo_array_, X)(&X##Array_type);

#endif
