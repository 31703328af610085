#ifndef SI_ATOM_H
#define SI_ATOM_H

// ZuAtom: an interned name. For each distinct 8-bit text there is at most
// one atom, so atoms compare by identity. Atoms live in their own zone
// ("AtomZone"), are found through a hash table of 211 buckets and hold a
// handle to themselves, so they last until ZuAtom::Kill.

#include "si/object.h"

class ZuAtom;

ZU_HANDLE_BEGIN(ZuAtom, ZuObject)
    ZuAtomRef(ZuAtom* atom);
    ZuAtomRef(const ZuAtomRef& other) : ZuObjectRef(other) {}
    // The atom of the text; an empty handle for a null or empty text.
    ZuAtomRef(const char* text);
    // 16-bit text is taken when every character is an ISO 8859-1 one;
    // otherwise, and for a null or empty text, the handle is empty.
    ZuAtomRef(const unsigned short* text);
    // An atom gives itself; what has no atom gives an empty handle.
    ZuAtomRef(const ZuObjectRef& obj);

    ZuAtomRef& operator=(ZuAtom* atom);
    ZuAtomRef& operator=(const ZuAtomRef& other);
    ZuAtomRef& operator=(const char* text);
    ZuAtomRef& operator=(const unsigned short* text);
    ZuAtomRef& operator=(const ZuObjectRef& obj);

    // Identity, and comparison with a text.
    bool operator==(const ZuAtomRef& other) const { return RetRawObject() == other.RetRawObject(); }
    bool operator!=(const ZuAtomRef& other) const { return RetRawObject() != other.RetRawObject(); }
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }

    // The atom's text; "" for an empty handle.
    operator const char*() const;
ZU_HANDLE_END(ZuAtom)

class ZuAtom : public ZuObject {
    ZU_CLASS(ZuAtom, ZuObject)
public:
    ZuAtom();
    ~ZuAtom() override;

    static void Initialise();
    static void Kill();
    static ZuAtom* NewAtom();
    static ZuAtom* FindAtom(const char* text);
    static ZuAtom* FindAtom(const unsigned short* text);
    static unsigned Hash(const char* text, unsigned num);

    virtual unsigned CharacterCount();
    const char* RetText() const { return text; }

    unsigned ComputeHashValue(unsigned num) const override;
    bool IsEqual(const ZuObjectRef& other) const override;
    int CompareWith(const ZuObjectRef& other) const override;

    enum { TABLE_SIZE = 211 };
    static ZuMemZone* zone;
    static ZuAtom* table[TABLE_SIZE];

protected:
    virtual void SetName(const char* name);
    virtual void AllocText(unsigned size);
    virtual void SetText(char* text);

private:
    // The atom of a text, made when missing (under the global lock).
    static ZuAtom* Intern(const char* text);
    static ZuAtom* FromWide(const unsigned short* text, bool create);

    ZuAtomRef self;
    ZuAtom* next;
    char* text;
    unsigned length;

    friend class ZuAtomRef;
};
ZU_CLASS_END(ZuAtom)

#endif
