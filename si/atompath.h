// ZuAtomPath: a short sequence of atoms written with dots ("def.notify_Modify").
// Paths name objects reached step by step from a root, notification and
// method paths, and attribute names. A path is a text (it shows and parses
// as dotted text) and a read-only container of its atoms. Comparison
// understands two wildcard atoms: "*" (any number of atoms, at least one
// when the other side has none left) and "?" (exactly one atom).
#ifndef SI_ATOMPATH_H
#define SI_ATOMPATH_H

#include "si/icontainer.h"
#include "si/text.h"

ZU_FORWARD(ZuAtom)

#define ZU_ATOM_PATH_LEN 20

// Every way of making a path handle from text makes a new path (in the
// application zone) parsed from that text; text that is no path gives an
// empty path. Assigning a text to a handle that holds a path re-parses that
// very path, so every handle to it sees the change.
ZU_HANDLE_BEGIN(ZuAtomPath, ZuText)
ZuAtomPathRef(ZuAtomPath* path);
ZuAtomPathRef(const ZuAtomPathRef& other) : ZuTextRef(other) {}
ZuAtomPathRef(const char* text);
ZuAtomPathRef(const unsigned short* text);
ZuAtomPathRef(const ZuTextRef& text);
ZuAtomPathRef(const ZuValueRef& value);
// An atom, a string or any other text (a path included) is parsed from
// its text, a value from the text it converts to; anything else, or an
// empty handle, gives an empty handle.
ZuAtomPathRef(const ZuObjectRef& object);

ZuAtomPathRef& operator=(ZuAtomPath* path);
ZuAtomPathRef& operator=(const ZuAtomPathRef& other);
ZuAtomPathRef& operator=(const char* text);
ZuAtomPathRef& operator=(const ZuTextRef& text);
ZuAtomPathRef& operator=(const ZuValueRef& value);
ZuAtomPathRef& operator=(const ZuObjectRef& object);
ZU_HANDLE_END(ZuAtomPath)

class ZuAtomPath : public ZuText, public ZuiContainer {
    ZU_CLASS(ZuAtomPath, ZuText)

public:
    ZuAtomPath();
    ~ZuAtomPath() override;

    // ZuText
    ZuStringRef RetString() override;
    // Parses dotted text. Text that cannot be a path (a segment of 100 or
    // more characters, more than ZU_ATOM_PATH_LEN atoms) leaves the path
    // empty and answers false.
    bool SetString(const ZuStringRef& text) override;
    unsigned CharacterCount() override;

    virtual int CompareWith(const ZuAtomPathRef& other);
    virtual bool IsEqual(const ZuAtomPathRef& other);
    virtual void Clear();
    virtual bool AddAtom(const ZuAtomRef& atom);
    virtual bool SetAtom(unsigned int index, const ZuAtomRef& atom);
    virtual bool GetAtom(unsigned int index, ZuAtomRef& atom);
    virtual ZuAtomRef RetAtom(unsigned int index);
    virtual ZuAtomArray RetArray();
    virtual bool ExtractAtomPath(unsigned int start, unsigned int count, ZuAtomPathRef& out);
    virtual bool TrimHead(unsigned int count, ZuAtomPathRef& out);
    virtual bool TrimTail(unsigned int count, ZuAtomPathRef& out);

    // ZuObject
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    unsigned ComputeHashValue(unsigned num) const override;
    int CompareWith(const ZuObjectRef& other) const override;
    bool IsEqual(const ZuObjectRef& other) const override;

    // ZuiContainer
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    // A new path in the application zone, parsed from the text.
    static ZuAtomPath* NewPath(const char* text);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int Compare(const ZuAtomPath& other) const;
    bool Matches(const ZuAtomPath& other) const;

    ZuAtom* atoms[ZU_ATOM_PATH_LEN];
    unsigned int num;
};
ZU_CLASS_END(ZuAtomPath)

#endif
