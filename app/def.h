// CDef: the base of every attribute definition (pens, colours, fills,
// corners, arrow heads, fonts ...). A definition is a small shared object:
// a name, a shared flag, the attribute kind it serves, and up to ten indexed
// integer values of which one is current. Subclasses keep their own data,
// most of them per index, and select it with the same SetIndex.
//
// Handing a definition on: CloneTo gives a copy made through the class
// factory, or the definition itself when it is shared.
//
// Stored record (after the object part): begin, mark, Bool shared, Int kind,
// mark, Int name length L, L + 1 bytes of name (its NUL included), Int 10,
// repeat, ten times {begin, Int value, end}, end_repeat, mark, Int count,
// Int index, Int style, end. All ten values are written whatever the count.
#ifndef LUMBRA_APP_DEF_H
#define LUMBRA_APP_DEF_H

#include "si/object.h"
#include "si/string.h"

ZU_HANDLE(CDef, ZuObject)

class CDef : public ZuObject {
    ZU_CLASS(CDef, ZuObject)
public:
    enum {
        NAME_PLACES = 50, // 49 characters and the terminating NUL
        MAX_VALUES = 10
    };

    CDef();
    ~CDef() override;
    void Delete() override;

    // The definition's own operations, in slot order.
    virtual bool IsEqualCurrent(const CDefRef& other) const;
    virtual bool IsEqualAll(const CDefRef& other) const;
    virtual void CopyFrom(const CDefRef& other);
    virtual void CloneTo(CDefRef& out) const;
    virtual int GetType() const;
    virtual bool SetKind(int kind);
    virtual int GetKind() const;
    virtual int GetValue() const;
    virtual bool SetValue(int value);
    virtual ZuStringRef GetDisplayName() const;
    virtual ZuStringRef GetName() const;
    virtual void SetName(const ZuStringRef& name);
    virtual bool IsShared() const;
    virtual void SetShared(bool shared);
    virtual int GetCount() const;
    virtual bool SetCount(int count);
    virtual int GetStyle() const;
    virtual bool SetStyle(int style);
    virtual int GetIndex() const;
    virtual bool SetIndex(int index);

    // The name as the 8-bit text it is kept in.
    const char* RetNameText() const { return name; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // CloneTo of the concrete classes: the definition itself when shared,
    // otherwise a new object of the same class with CopyFrom(this).
    void CloneSelf(CDefRef& out) const;
    // Every one of the ten values.
    void SetAllValues(int value);

    char name[NAME_PLACES];
    bool shared;
    int kind;
    int values[MAX_VALUES];
    int count;
    int index;
    int style;

private:
    void RestoreName(const ZuStorageRef& storage, long long length);
};
ZU_CLASS_END(CDef)

#endif
