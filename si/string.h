// ZuString: the library's string object, 8-bit (ISO 8859-1) or 16-bit
// characters, owned or borrowed, optionally bound to a resource whose text is
// fetched on first access.
#ifndef ZUVI_SI_STRING_H
#define ZUVI_SI_STRING_H

#include "si/text.h"

struct ZuResIDDef;
ZU_FORWARD(ZuAtom)

ZU_HANDLE_BEGIN(ZuString, ZuText)
// Handles share the string they are given.
ZuStringRef(ZuString* string);
ZuStringRef(const ZuStringRef& other) : ZuTextRef(other) {}
ZuStringRef& operator=(ZuString* string);
ZuStringRef& operator=(const ZuStringRef& other);
// Text makes a new string each time; the old string is left unchanged.
ZuStringRef(const char* text);
ZuStringRef(const unsigned short* text); // not provided: stops with "NIY"
ZuStringRef(const ZuAtomRef& atom);
ZuStringRef& operator=(const char* text);
ZuStringRef& operator=(const unsigned short* text);
ZuStringRef& operator=(const ZuAtomRef& atom);
// A string is shared; an atom, another text or a value gives a string
// of its text; anything else gives an empty handle.
ZuStringRef(const ZuObjectRef& object);
ZuStringRef(const ZuValueRef& value);
ZuStringRef& operator=(const ZuObjectRef& object);
ZuStringRef& operator=(const ZuValueRef& value);
// The character at i widened without sign; 0 past the end or when empty.
unsigned short operator[](unsigned i) const;
ZU_HANDLE_END(ZuString)

ZuStringRef Zuvi_ValueToZuString(const ZuValueRef& value);
ZuTextRef Zuvi_ValueToZuText(const ZuValueRef& value);

class ZuString : public ZuText {
    ZU_CLASS(ZuString, ZuText)

public:
    // The state of a string's characters.
    enum AnyTextType : unsigned {
        TEXT_IS_RESOURCE = 0,      // bound to a resource not fetched yet
        TEXT_IS_LATIN = 1,         // 8-bit, owned
        TEXT_IS_UNICODE = 2,       // 16-bit, owned
        TEXT_IS_SOLID_LATIN = 3,   // 8-bit, borrowed
        TEXT_IS_SOLID_UNICODE = 4, // 16-bit, borrowed
    };

    ZuString();
    virtual ~ZuString();

    // ZuText
    ZuStringRef RetString() override;
    bool SetString(const ZuStringRef& other) override;
    unsigned CharacterCount() override;

    virtual void FreeMemory();
    virtual void AllocMemory(AnyTextType type, unsigned n);
    virtual void ResizeMemory(unsigned n);
    virtual void Desolidify();
    virtual bool ResolveResID();
    virtual bool SetString(ZuResIDDef* res_id);
    virtual bool SetString(const ZuAtomRef& atom);
    virtual bool SetString(const ZuStringRef& other, unsigned max);
    virtual bool SetString(const unsigned short* text, unsigned max = 0);
    virtual bool SetString(const char* text, unsigned max = 0);
    virtual bool GetString(ZuStringRef& out);
    virtual bool SetSolidString(const unsigned short* text);
    virtual bool SetSolidString(const char* text);
    virtual bool InsertString(unsigned pos, const ZuStringRef& other, unsigned max = 0);
    virtual bool InsertString(unsigned pos, const unsigned short* text, unsigned max = 0);
    virtual bool InsertString(unsigned pos, const char* text, unsigned max = 0);
    virtual bool AppendString(const ZuStringRef& other, unsigned max = 0);
    virtual bool AppendString(const unsigned short* text, unsigned max = 0);
    virtual bool AppendString(const char* text, unsigned max = 0);
    virtual bool ClearString();
    virtual bool DeleteString(unsigned pos, unsigned count);
    virtual void Invalidate();
    virtual bool IsDefaultLatin();
    virtual bool IsDefaultUnicode();
    virtual bool IsEmpty();
    virtual const char* AccessLatin();
    virtual const unsigned short* AccessUnicode();
    virtual ZuResIDDef* RetResID();
    virtual bool GetCharacter(unsigned i, unsigned short& c);
    virtual bool GetCharacter(unsigned i, char& c);
    virtual bool SetCharacter(unsigned i, unsigned short c);
    virtual unsigned short RetCharacter(unsigned i);
    virtual void ConvertToUpper();
    virtual void ConvertToLower();
    virtual void ConvertToLatin();
    virtual void ConvertToUnicode();
    virtual bool GetStringCopy(unsigned short* buffer, unsigned size);
    virtual bool GetStringCopy(char* buffer, unsigned size);
    virtual bool ExtractStringCopy(unsigned short* buffer, unsigned start, unsigned count);
    virtual bool ExtractStringCopy(char* buffer, unsigned start, unsigned count);
    virtual bool Find(const ZuStringRef& what, unsigned& pos, int direction = 1);
    virtual bool Find(unsigned short c, unsigned& pos, int direction = 1);
    virtual bool MakeLeft(unsigned n, ZuStringRef& out);
    virtual bool MakeMiddle(unsigned start, unsigned count, ZuStringRef& out);
    virtual bool MakeRight(unsigned n, ZuStringRef& out);
    virtual int CompareWith(const unsigned short* text, bool exact);
    virtual int CompareWith(const char* text, bool exact);
    virtual int CompareWith(const ZuStringRef& other, bool exact);
    virtual int CompareSubsetWith(unsigned start, unsigned count, const ZuStringRef& other,
                                  unsigned other_start, bool exact);

    // ZuObject
    unsigned ComputeHashValue(unsigned num) const override;
    int CompareWith(const ZuObjectRef& other) const override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;

    // Case tables of ISO 8859-1 and the narrowing of 16-bit characters.
    static unsigned short ConvertToUpper(unsigned short c);
    static unsigned short ConvertToLower(unsigned short c);
    static char UnicodeToLatin(unsigned short c);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    void QuickResolveResID()
    {
        if (type == TEXT_IS_RESOURCE && res_id != nullptr)
            ResolveResID();
    }

    void* data; // the characters and a terminating 0, or null
    AnyTextType type;
    unsigned len;       // characters, terminator not counted
    unsigned reserve;   // capacity of an owned buffer, 0 otherwise
    ZuResIDDef* res_id; // the bound resource, or null

private:
    // Exactly n characters: a zero among them is kept like any other (a
    // restored text may hold one), so no edit cuts a text at it.
    bool SetCounted(const char* text, unsigned n);
    bool SetCounted(const unsigned short* text, unsigned n);
    bool InsertCounted(unsigned pos, const char* text, unsigned n);
    bool InsertCounted(unsigned pos, const unsigned short* text, unsigned n);
    // Replaces every character by its image under map, in place.
    void MapCharacters(unsigned short (*map)(unsigned short));
    friend class ZuStringRef;
    bool IsWide() const { return type == TEXT_IS_UNICODE || type == TEXT_IS_SOLID_UNICODE; }
    bool IsOwned() const { return type == TEXT_IS_LATIN || type == TEXT_IS_UNICODE; }
    unsigned short At(unsigned i) const;
    bool OwnsPointer(const void* p) const;
    void* AllocChars(bool wide, unsigned n);
    void FreeChars(void* p);
    void ReportChange();
};
ZU_CLASS_END(ZuString)

// Texts compared with strings.
#include "si/textcompare.h"

#endif
