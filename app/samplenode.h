// CSampleNode: one sample, a named set of copies of attribute definitions
// (at most one per attribute code) that the user keeps for reuse, with its
// kind (an icon number: 32 "Trait", 33 "Intérieur", 34 "Ombre", 35
// "Forme", 36 "Mise en page", 37 "Tout") and a class attached to it.
//
// Stored record (after the object part): begin, the name (a string object),
// the definitions (a CList, newest first), Int kind, the class (an object),
// end. A stored sample whose definitions are missing or are not
// definitions is refused as corrupt input.
#ifndef LUMBRA_APP_SAMPLENODE_H
#define LUMBRA_APP_SAMPLENODE_H

#include "app/def.h"
#include "app/list.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_HANDLE(CSampleNode, ZuObject)

class CSampleNode : public ZuObject {
    ZU_CLASS(CSampleNode, ZuObject)
public:
    enum { KIND_ALL = 37 };

    CSampleNode();
    ~CSampleNode() override;
    void Delete() override;

    bool GetName(ZuStringRef& out) const;
    // A new string holding a copy of the text.
    bool SetName(const ZuStringRef& name);
    // Gives def the attribute code, then copies it into the sample's
    // definition of that code, or into a new definition of its class put
    // in front of the others; true. Later changes to def do not reach the
    // sample.
    bool SetDef(int code, const CDefRef& def);
    // The first definition of that code; false when there is none.
    bool FindDef(int code, CDefRef& def) const;
    // A walk over the definitions' codes, first to last.
    void StartDefIteration();
    bool NextDefCode(int& code);
    int GetKind() const { return kind; }
    bool SetKind(int k);
    ZuRuntimeRef& GetObject() { return object_class; }
    bool SetObject(const ZuRuntimeRef& rt);

    const CListRef& RetDefinitions() const { return definitions; }

    // After a read (the storage's FinallyAwake): definitions that are
    // missing or not definitions are refused with ZuExcStream.
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuStringRef name;
    CListRef definitions;
    int kind = KIND_ALL;
    ZuRuntimeRef object_class;
};
ZU_CLASS_END(CSampleNode)

#endif
