#ifndef SI_ATOM_H
#define SI_ATOM_H

// ZuAtom: an interned name. For each distinct 8-bit text there is at most
// one atom, so atoms compare by identity. Atoms live in their own zone
// ("AtomZone"), are found through a hash table of 211 buckets and hold a
// handle to themselves, so they last until ZuAtom::Kill.

#include "si/text.h"

class ZuAtom;

ZU_HANDLE_BEGIN(ZuAtom, ZuText)
ZuAtomRef(ZuAtom* atom);
ZuAtomRef(const ZuAtomRef& other) : ZuTextRef(other) {}
// The atom of the text; an empty handle for a null or empty text.
ZuAtomRef(const char* text);
// 16-bit text is taken when every character is an ISO 8859-1 one;
// otherwise, and for a null or empty text, the handle is empty.
ZuAtomRef(const unsigned short* text);
// The atom of the string's text; an empty handle for an empty handle,
// an empty text or a text of 255 characters or more.
ZuAtomRef(const ZuStringRef& text);
// What the value converts to; an empty handle when it does not.
ZuAtomRef(const ZuValueRef& value);
// An atom gives itself, a string or another text the atom of its text,
// a value what it converts to; anything else an empty handle.
ZuAtomRef(const ZuObjectRef& obj);

ZuAtomRef& operator=(ZuAtom* atom);
ZuAtomRef& operator=(const ZuAtomRef& other);
ZuAtomRef& operator=(const char* text);
ZuAtomRef& operator=(const unsigned short* text);
ZuAtomRef& operator=(const ZuStringRef& text);
ZuAtomRef& operator=(const ZuValueRef& value);
ZuAtomRef& operator=(const ZuObjectRef& obj);

// Identity, and comparison with a text.
bool operator==(const ZuAtomRef& other) const
{
    return RetRawObject() == other.RetRawObject();
}
bool operator!=(const ZuAtomRef& other) const
{
    return RetRawObject() != other.RetRawObject();
}
bool operator==(const char* text) const;
bool operator!=(const char* text) const
{
    return !(*this == text);
}
bool operator==(const unsigned short* text) const;
bool operator!=(const unsigned short* text) const
{
    return !(*this == text);
}
bool operator==(const ZuStringRef& text) const;
bool operator!=(const ZuStringRef& text) const
{
    return !(*this == text);
}

// The atom's text; "" for an empty handle.
operator const char*() const;
ZU_HANDLE_END(ZuAtom)

class ZuAtom : public ZuText {
    ZU_CLASS(ZuAtom, ZuText)
public:
    ZuAtom();
    ~ZuAtom() override;

    static void Initialise();
    static void Kill();
    static ZuAtom* NewAtom();
    static ZuAtom* FindAtom(const char* text);
    static ZuAtom* FindAtom(const unsigned short* text);
    // Null also for a text of 255 characters or more, which no atom holds.
    static ZuAtom* FindAtom(const ZuStringRef& text);
    static unsigned Hash(const char* text, unsigned num);

    ZuStringRef RetString() override;
    // Atoms never change: stops the program.
    bool SetString(const ZuStringRef& text) override;
    unsigned CharacterCount() override;
    const char* RetText() const { return text; }

    unsigned ComputeHashValue(unsigned num) const override;
    bool IsEqual(const ZuObjectRef& other) const override;
    int CompareWith(const ZuObjectRef& other) const override;

    enum { TABLE_SIZE = 211 };
    static ZuMemZone* zone;
    static ZuAtom* table[TABLE_SIZE];

protected:
    virtual void SetName(const unsigned short* name);
    virtual void SetName(const char* name);
    virtual void SetName(const ZuStringRef& name);
    virtual void AllocText(unsigned size);
    virtual void SetText(char* text);

public:
    // The atom of a text, made when missing (under the global lock); null
    // for a null or empty text.
    static ZuAtom* Intern(const char* text);

private:
    static ZuAtom* FromWide(const unsigned short* text, bool create);

    ZuAtomRef self;
    ZuAtom* next;
    char* text;
    unsigned length;

    friend class ZuAtomRef;
};
ZU_CLASS_END(ZuAtom)

ZuAtomRef Zuvi_ValueToZuAtom(const ZuValueRef& value);

#endif
